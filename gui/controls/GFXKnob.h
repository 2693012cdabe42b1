/*
    A rotary knob of the skin (tag "Knob"): a filmstrip frame chosen from the value, dragged
    up and down. Its value runs 0..1 and is written to the linked parameter as it is.
*/
#pragma once

#include "gui/controls/GFXSlider.h"

class GFXKnob : public GFXSlider
{
public:
    /** Creates a continuous 0..1 rotary knob at 0, with no text box, named name. */
    explicit GFXKnob (const juce::String& name);

    /** The filmstrip frame for the current value: the value's place in the range spread over
        the frames and rounded (single precision), frame 0 when the knob is disabled. */
    int getFrameForValue() const;

    /** @internal */
    void paint (juce::Graphics& g) override;

    JUCE_DECLARE_NON_COPYABLE (GFXKnob)
};
