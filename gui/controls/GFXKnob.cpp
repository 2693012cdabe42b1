#include "gui/controls/GFXKnob.h"

#include "gui/SkinFonts.h"

#include <cmath>

GFXKnob::GFXKnob (const juce::String& name)
    : GFXSlider (name)
{
    setSliderStyle (juce::Slider::RotaryVerticalDrag);
    setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    setRange (0.0, 1.0, 0.0);
    setValue (0.0, juce::dontSendNotification);
}

int GFXKnob::getFrameForValue() const
{
    if (! isEnabled())
        return 0;

    const auto range = getMaximum() - getMinimum();
    const auto proportion = range > 0.0 ? (float) ((getValue() - getMinimum()) / range) : 0.0f;
    const auto frame = (int) std::floor ((float) (getFramesNum() - 1) * proportion + 0.5f);
    return juce::jlimit (0, juce::jmax (0, getFramesNum() - 1), frame);
}

void GFXKnob::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        drawFrame (g, getFrameForValue());
        return;
    }

    g.setFont (SkinFonts::getFont (13.0f));
    paintFallback (g, juce::String::formatted ("%f", getValue()));
}
