/*
    A pitch-bend wheel of the skin (tag "PitchBender"): a knob from -1 to 1 that springs back
    to 0 after every drag. Its value reaches the parameter's normalised setter unscaled.
*/
#pragma once

#include "gui/controls/GFXKnob.h"

class PitchBender : public GFXKnob
{
public:
    /** Creates the wheel at 0, range -1..1, named name. */
    explicit PitchBender (const juce::String& name);

    JUCE_DECLARE_NON_COPYABLE (PitchBender)
};
