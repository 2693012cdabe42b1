/*
    How skin elements read their numbers and colours. Every control reads its attributes
    through these, so one rule holds for the whole skin: integers are decimal text with
    optional leading white space and sign, read up to the first other character (no digits
    give 0); colours are 32-bit ARGB hexadecimal text.
*/
#pragma once

#include <juce_graphics/juce_graphics.h>

class SkinXml
{
public:
    SkinXml() = delete;

    /** The integer a skin text stands for; 0 when it starts with no digits. */
    static int parseInt (const juce::String& text) noexcept;

    /** The integer attribute of an element, or defaultValue when the attribute is missing. */
    static int getInt (const juce::XmlElement& element, juce::StringRef attribute, int defaultValue = 0);

    /** The colour a skin text stands for: ARGB hex digits (white space, "0x" or "#" before them
        are skipped), read up to the first other character; transparent black without digits. */
    static juce::Colour parseColour (const juce::String& text) noexcept;

    /** The colour attribute of an element, or defaultColour when the attribute is missing. */
    static juce::Colour getColour (const juce::XmlElement& element, juce::StringRef attribute,
                                   juce::Colour defaultColour = {});
};
