/*
    A push button with a text, drawn from an image set of the look-and-feel: a left cap, a
    middle part stretched under the text, a right cap (each in a normal and a pressed form)
    and an overlay stretched over the text. It is as wide as the caps and its text, and as
    high as its images. Clicks, tooltips and listeners are GFXButton's.
*/
#pragma once

#include "gui/controls/GFXButton.h"
#include "gui/widgets/DefaultLookAndFeel.h"

class TextButtonEx : public GFXButton,
                     public DefaultLookAndFeel::ImageTextButton
{
public:
    /** A button showing text, which is also its name. style chooses the image set the
        look-and-feel gives it: 0 or 1 the normal set, 2 the large one. */
    TextButtonEx (const juce::String& text, int style);

    /** Takes an image set (see DefaultLookAndFeel::ImageTextButton) and sizes the button to
        its caps, its text and the left cap's height. */
    void setImages (const juce::Image& leftNormal, const juce::Image& middleNormal,
                    const juce::Image& rightNormal, const juce::Image& leftDown,
                    const juce::Image& middleDown, const juce::Image& rightDown,
                    const juce::Image& overlay) override;

    /** Measures the text again and, when its width changed, resizes the button. */
    void updateTextWidth();

    /** The image set the button asks its look-and-feel for. */
    int getStyle() const noexcept                   { return style; }

    /** The width of the text in the button's font, truncated. */
    int getTextWidth() const noexcept               { return textWidth; }

    /** The font the text is drawn in. */
    const juce::Font& getFont() const noexcept      { return font; }

    //==============================================================================
    /** @internal */
    void lookAndFeelChanged() override;

protected:
    /** The image set with the text between the caps; GFXButton's drawing without images. */
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isDown) override;

private:
    juce::Image leftNormal, middleNormal, rightNormal, leftDown, middleDown, rightDown, overlay;
    int textWidth = 0, leftWidth = 10, rightWidth = 10, height = 20;
    juce::Font font { 14.0f };
    int style;

    int measureText() const;
    void updateSize();

    JUCE_DECLARE_NON_COPYABLE (TextButtonEx)
};
