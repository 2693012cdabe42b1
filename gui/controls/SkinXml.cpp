#include "gui/controls/SkinXml.h"

#include "framework/Parameter.h"

int SkinXml::parseInt (const juce::String& text) noexcept
{
    // The parameter definitions read integers by the same rule.
    return Parameter::readInteger (text);
}

int SkinXml::getInt (const juce::XmlElement& element, juce::StringRef attribute, int defaultValue)
{
    return element.hasAttribute (attribute) ? parseInt (element.getStringAttribute (attribute)) : defaultValue;
}

juce::Colour SkinXml::parseColour (const juce::String& text) noexcept
{
    auto p = text.getCharPointer();

    while (p.isWhitespace())
        ++p;

    if (*p == '#')
        ++p;
    else if (*p == '0' && (p[1] == 'x' || p[1] == 'X'))
        p += 2;

    // Only the last eight digits count, as in any 32-bit reading of a longer hex text.
    juce::uint32 argb = 0;

    for (int digit; (digit = juce::CharacterFunctions::getHexDigitValue (*p)) >= 0; ++p)
        argb = (argb << 4) | (juce::uint32) digit;

    return juce::Colour (argb);
}

juce::Colour SkinXml::getColour (const juce::XmlElement& element, juce::StringRef attribute, juce::Colour defaultColour)
{
    return element.hasAttribute (attribute) ? parseColour (element.getStringAttribute (attribute)) : defaultColour;
}
