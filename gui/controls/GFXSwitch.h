/*
    A stepped switch of the skin (tag "Switch"): a filmstrip frame chosen from its value 0..1
    (steps of 0.005), dragged vertically, horizontally or as a rotary control.
*/
#pragma once

#include "gui/controls/GFXSlider.h"

class GFXSwitch : public GFXSlider
{
public:
    /** How the switch is dragged. */
    enum SwitchStyle
    {
        vertical = 0,
        horizontal = 1,
        rotary = 2
    };

    /** Creates a rotary switch at 0, range 0..1 in steps of 0.005, with no text box, named name. */
    explicit GFXSwitch (const juce::String& name);

    /** Reads the knob's part of the skin element, then its "style": "Rotary", "Horizontal" or
        "Vertical" (case-sensitive); any other value keeps the style. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** Sets how the switch is dragged (a value outside 0..2 is ignored). */
    void setSwitchStyle (int newStyle);

    /** How the switch is dragged. */
    int getSwitchStyle() const noexcept                 { return switchStyle; }

    /** The filmstrip frame for the current value: value × (frames - 1) rounded (double
        precision), frame 0 when the switch is disabled. */
    int getFrameForValue() const;

    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    int switchStyle = rotary;

    JUCE_DECLARE_NON_COPYABLE (GFXSwitch)
};
