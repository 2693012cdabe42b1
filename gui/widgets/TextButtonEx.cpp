#include "gui/widgets/TextButtonEx.h"

TextButtonEx::TextButtonEx (const juce::String& text, int buttonStyle)
    : GFXButton (text),
      style (buttonStyle)
{
    setButtonText (text);
    textWidth = measureText();
    lookAndFeelChanged();
    updateSize();
}

int TextButtonEx::measureText() const
{
    return (int) font.getStringWidthFloat (getButtonText());
}

void TextButtonEx::updateSize()
{
    setSize (leftWidth + textWidth + rightWidth, height);
}

void TextButtonEx::setImages (const juce::Image& newLeftNormal, const juce::Image& newMiddleNormal,
                              const juce::Image& newRightNormal, const juce::Image& newLeftDown,
                              const juce::Image& newMiddleDown, const juce::Image& newRightDown,
                              const juce::Image& newOverlay)
{
    leftWidth = newLeftNormal.getWidth();
    rightWidth = newRightNormal.getWidth();
    height = newLeftNormal.getHeight();

    leftNormal = newLeftNormal;
    middleNormal = newMiddleNormal;
    rightNormal = newRightNormal;
    leftDown = newLeftDown;
    middleDown = newMiddleDown;
    rightDown = newRightDown;
    overlay = newOverlay;

    updateSize();
    repaint();
}

void TextButtonEx::updateTextWidth()
{
    const auto newWidth = measureText();

    if (newWidth != textWidth)
    {
        textWidth = newWidth;
        updateSize();
    }
}

void TextButtonEx::lookAndFeelChanged()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        font = laf->getRadioButtonsTitleFont();
        updateTextWidth();
        laf->setTextButtonImages (*this, style);
    }
}

void TextButtonEx::paintButton (juce::Graphics& g, bool isMouseOver, bool isDown)
{
    if (leftNormal.isNull())
    {
        GFXButton::paintButton (g, isMouseOver, isDown);
        return;
    }

    // Everything, the text included, at half opacity while the button or a parent is disabled.
    if (! isEnabled())
        g.setOpacity (0.5f);

    const auto& left = isDown ? leftDown : leftNormal;
    const auto& middle = isDown ? middleDown : middleNormal;
    const auto& right = isDown ? rightDown : rightNormal;

    g.drawImageAt (left, 0, 0);
    g.drawImage (middle, leftWidth, 0, textWidth, height, 0, 0, middle.getWidth(), middle.getHeight());
    g.drawImageAt (right, leftWidth + textWidth, 0);

    // In the context's current colour, black unless the caller changed it.
    g.setFont (font);
    g.drawText (getButtonText(), leftWidth, 0, textWidth, getHeight(), juce::Justification::centred, false);

    g.drawImage (overlay, leftWidth, 0, textWidth, height, 0, 0, middleNormal.getWidth(), middleNormal.getHeight());
}
