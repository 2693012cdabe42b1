/*
    One digit cell of a NumericDisplay: blank or a numeral 0 to 9. Cells of the integer part
    and of the fraction are told apart when drawn without an image. It takes no mouse
    clicks, so the display under it receives them.
*/
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class NumericDisplayDigit : public juce::Component
{
public:
    /** A blank cell; integerPart tells whether its place value is 1 or more. */
    explicit NumericDisplayDigit (bool integerPart);

    /** Draws the cell from a strip of eleven frames (0 blank, 1 to 10 the digits 0 to 9);
        a null image draws text. */
    void setImage (const juce::Image& newImage);

    /** Shows a digit 0 to 9, or nothing when blank; repaints only when either changes. */
    void setDigit (int newDigit, bool shouldBeBlank);

    /** The digit the cell holds. */
    int getDigit() const noexcept               { return digit; }

    /** True when the cell shows nothing. */
    bool isBlank() const noexcept               { return blank; }

    /** True when the cell's place value is 1 or more. */
    bool isIntegerPart() const noexcept         { return integerPart; }

    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    juce::Image image;
    const bool integerPart;
    bool blank = true;
    int digit = 0;

    JUCE_DECLARE_NON_COPYABLE (NumericDisplayDigit)
};
