#include "gui/controls/NumericDisplaySign.h"

NumericDisplaySign::NumericDisplaySign()
{
    setInterceptsMouseClicks (false, false);
}

void NumericDisplaySign::setImage (const juce::Image& newImage)
{
    image = newImage;
    repaint();
}

void NumericDisplaySign::setNegative (bool shouldBeNegative)
{
    if (negative == shouldBeNegative)
        return;

    negative = shouldBeNegative;
    repaint();
}

void NumericDisplaySign::paint (juce::Graphics& g)
{
    const auto shown = isEnabled() && negative;

    if (image.isValid())
    {
        const auto frameHeight = image.getHeight() / 2;
        g.drawImageAt (image.getClippedImage ({ 0, shown ? frameHeight : 0, image.getWidth(), frameHeight }), 0, 0);
        return;
    }

    if (! isEnabled())
    {
        g.fillAll (juce::Colour (0xff000000));
        return;
    }

    g.fillAll (juce::Colour (0xffffffff));

    if (shown)
    {
        g.setColour (juce::Colour (0xff000000));
        g.setFont (juce::Font (juce::jlimit (0.1f, 10000.0f, (float) getHeight())));
        g.drawFittedText ("-", getLocalBounds(), juce::Justification::centred, 1, 0.7f);
    }
}
