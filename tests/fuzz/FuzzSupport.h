/*
    Shared set-up of the fuzz targets: JUCE is started once, on the fuzzing thread.
*/
#pragma once

#include <juce_events/juce_events.h>

#include <cstddef>
#include <cstdint>

namespace FuzzSupport
{
/** Starts JUCE the first time it is called. */
inline void startJuce()
{
    static juce::ScopedJuceInitialiser_GUI juce;
}

/** The input as text, read as UTF-8 (invalid sequences are JUCE's to handle). */
inline juce::String asText (const std::uint8_t* data, std::size_t size)
{
    return juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);
}
} // namespace FuzzSupport
