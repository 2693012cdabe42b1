#include "gui/controls/GFXSwitch.h"

#include <cmath>

GFXSwitch::GFXSwitch (const juce::String& name)
    : GFXSlider (name)
{
    setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    setRange (0.0, 1.0, 0.005);
    setValue (0.0, juce::dontSendNotification);
    setSwitchStyle (rotary);
}

void GFXSwitch::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                             EventsMap& events, juce::Component* owner)
{
    GFXSlider::loadFromXml (element, parameters, events, owner);

    const auto style = element.getStringAttribute ("style");

    if (style == "Rotary")              setSwitchStyle (rotary);
    else if (style == "Horizontal")     setSwitchStyle (horizontal);
    else if (style == "Vertical")       setSwitchStyle (vertical);
}

void GFXSwitch::setSwitchStyle (int newStyle)
{
    static constexpr juce::Slider::SliderStyle sliderStyles[] { juce::Slider::LinearVertical,
                                                                juce::Slider::LinearHorizontal,
                                                                juce::Slider::RotaryVerticalDrag };

    if (! juce::isPositiveAndBelow (newStyle, (int) std::size (sliderStyles)))
        return;

    switchStyle = newStyle;
    setSliderStyle (sliderStyles[newStyle]);    // repaints and refreshes the look when it changes
    repaint();
}

int GFXSwitch::getFrameForValue() const
{
    if (! isEnabled())
        return 0;

    const auto frame = (int) std::floor (getValue() * (double) (getFramesNum() - 1) + 0.5);
    return juce::jlimit (0, juce::jmax (0, getFramesNum() - 1), frame);
}

void GFXSwitch::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        drawFrame (g, getFrameForValue());
        return;
    }

    paintFallback (g, juce::String::formatted ("%.9g", getValue()));
}
