/*
    A text display that shows a float parameter as a number, with nine significant digits:
    enough for the float to be read back exactly.
*/
#pragma once

#include "gui/controls/GFXDisplay.h"

class GFXDisplayFloat : public GFXDisplay
{
public:
    /** A field with that component name, not yet read from the skin. */
    explicit GFXDisplayFloat (const juce::String& name) : GFXDisplay (name) {}

    /** Shows the parameter's value as a number. */
    void updateFromParameter (Parameter* parameter) override;

    /** The text for a value in a field columns characters wide: printf's "%.9g" (with a "."
        whatever the locale), and a space before it when a "." would stand in the last column. */
    static juce::String formatValue (double value, int columns);
};
