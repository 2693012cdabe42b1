/*
    The sign cell in front of a NumericDisplay's digits: blank or a minus. It takes no mouse
    clicks, so the display under it receives them.
*/
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class NumericDisplaySign : public juce::Component
{
public:
    /** A blank cell without an image. */
    NumericDisplaySign();

    /** Draws the cell from a strip of two frames (0 blank, 1 minus); a null image draws text. */
    void setImage (const juce::Image& newImage);

    /** Shows or hides the minus; repaints only when that changes. */
    void setNegative (bool shouldBeNegative);

    /** True while the minus is shown. */
    bool isNegative() const noexcept            { return negative; }

    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    juce::Image image;
    bool negative = false;

    JUCE_DECLARE_NON_COPYABLE (NumericDisplaySign)
};
