/*
    Shared set-up of the fuzz targets: JUCE is started once, on the fuzzing thread.
*/
#pragma once

#include "host/JuceMessageDispatch.h"

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

/** Delivers every message posted so far (asynchronous updates of parameters, the MIDI map and
    the state): the fuzzing thread is JUCE's message thread, and nothing else would run them,
    so they would pile up from one input to the next. */
inline void dispatchPendingMessages()
{
    startJuce();

    // (Bounded, in case a handler ever posted again.)
    for (int i = 0; i < 100000 && juce::dispatchNextMessageOnSystemQueue (true); ++i)
    {
    }
}

/** The input as text, read as UTF-8 (invalid sequences are JUCE's to handle). */
inline juce::String asText (const std::uint8_t* data, std::size_t size)
{
    return juce::String::fromUTF8 (reinterpret_cast<const char*> (data), (int) size);
}
} // namespace FuzzSupport
