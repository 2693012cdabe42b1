#include "gui/controls/ModWheel.h"

ModWheel::ModWheel (const juce::String& name)
    : GFXKnob (name)
{
    setValue (0.0, juce::dontSendNotification);
    setReturnsToZero (true);
}
