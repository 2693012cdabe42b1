/*
    A modulation wheel of the skin (tag "ModWheel"): a 0..1 knob that springs back to 0 after
    every drag, like the pitch bender.
*/
#pragma once

#include "gui/controls/GFXKnob.h"

class ModWheel : public GFXKnob
{
public:
    /** Creates the wheel at 0, range 0..1, named name. */
    explicit ModWheel (const juce::String& name);

    JUCE_DECLARE_NON_COPYABLE (ModWheel)
};
