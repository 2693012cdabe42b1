#include "gui/controls/GFXDisplayFloat.h"

#include <charconv>

void GFXDisplayFloat::updateFromParameter (Parameter* parameter)
{
    setText (formatValue ((double) parameter->getValue(), getNumColumns()));
}

juce::String GFXDisplayFloat::formatValue (double value, int columns)
{
    // to_chars writes what "%.9g" writes in the C locale, whatever locale the host has set.
    char buffer[64];
    const auto result = std::to_chars (buffer, buffer + sizeof (buffer), value, std::chars_format::general, 9);
    juce::String formatted (buffer, (size_t) (result.ptr - buffer));

    // A point alone in the last visible column would read as a whole number.
    if (columns >= 1 && formatted.length() >= columns && formatted[columns - 1] == '.')
        formatted = " " + formatted;

    return formatted;
}
