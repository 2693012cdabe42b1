#include "gui/controls/NumericDisplayDigit.h"

NumericDisplayDigit::NumericDisplayDigit (bool isIntegerPart)
    : integerPart (isIntegerPart)
{
    setInterceptsMouseClicks (false, false);
}

void NumericDisplayDigit::setImage (const juce::Image& newImage)
{
    image = newImage;
    repaint();
}

void NumericDisplayDigit::setDigit (int newDigit, bool shouldBeBlank)
{
    if (digit == newDigit && blank == shouldBeBlank)
        return;

    digit = newDigit;
    blank = shouldBeBlank;
    repaint();
}

void NumericDisplayDigit::paint (juce::Graphics& g)
{
    const auto shown = isEnabled() && ! blank;

    if (image.isValid())
    {
        const auto frameHeight = image.getHeight() / 11;
        const auto frame = shown ? digit + 1 : 0;
        g.drawImageAt (image.getClippedImage ({ 0, frame * frameHeight, image.getWidth(), frameHeight }), 0, 0);
        return;
    }

    if (! isEnabled())
    {
        g.fillAll (juce::Colour (0xff000000));
        return;
    }

    g.fillAll (juce::Colour (integerPart ? 0xffffffff : 0xffcccccc));

    if (shown)
    {
        g.setColour (juce::Colour (0xff000000));
        g.setFont (juce::Font (juce::jlimit (0.1f, 10000.0f, (float) getHeight())));
        g.drawFittedText (juce::String (digit), getLocalBounds(), juce::Justification::centred, 1, 0.7f);
    }
}
