/*
    A parameter's plain value as a row of digit cells behind a sign cell. The user changes it
    by dragging a digit up or down: the digit under the mouse decides the step (or, for a
    "continous" display, one tenth of the first digit's unit every 20 pixels).
*/
#pragma once

#include "gui/controls/GUIController.h"
#include "gui/controls/NumericDisplayDigit.h"
#include "gui/controls/NumericDisplaySign.h"

#include <memory>

class NumericDisplay : public GUIController,
                       public juce::Component
{
public:
    /** The most digit cells a display makes, whatever its skin asks for. */
    static constexpr int maxDigits = 15;

    /** An empty display (no digit cells) with the given component name. */
    explicit NumericDisplay (const juce::String& name = {});
    ~NumericDisplay() override;

    /** Shows a value, clamped to the display's range. A changed value is written to the
        linked parameter (plain, not normalised) and told to the listeners when notify is set. */
    void setValue (double newValue, bool notify);

    /** The value shown. */
    double getValue() const noexcept                    { return value; }

    /** The range values are clamped to, lower end first. */
    juce::Range<double> getRange() const noexcept       { return { minValue, maxValue }; }

    /** The place value of the leftmost digit. */
    double getFirstDigitUnit() const noexcept           { return firstDigitUnit; }

    /** The number of digit cells. */
    int getNumDigits() const noexcept                   { return cells.size(); }

    /** A digit cell, left to right; null outside the range. */
    NumericDisplayDigit* getDigitCell (int index) const { return cells[index]; }

    /** The sign cell. */
    NumericDisplaySign& getSignCell() noexcept          { return sign; }

    /** The step and the pixels per step a drag starting at this x would use. */
    std::pair<double, int> getDragStep (int x) const;

    //==============================================================================
    /** Shows the parameter's plain value without writing it back. */
    void updateFromParameter (Parameter* parameter) override;

    /** Reads the links and actions, then the digits, the range, the drag style, the cells'
        images or size, and the position. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void enablementChanged() override;
    /** @internal */
    void mouseDown (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void setDigits (int numDigits, double firstUnit);
    void updateCells();

    int digitsNum = 0;
    int unitExponent = 0;           // log10 of the first digit's unit, a whole number
    double firstDigitUnit = 1.0;
    double scale = 1.0;
    double firstDivisor = 1.0;
    int unitsIndex = 0;
    double minValue = 0.0, maxValue = 0.0;
    double value = 0.0;
    bool continuous = false;

    NumericDisplaySign sign;
    juce::OwnedArray<NumericDisplayDigit> cells;

    bool dragging = false;
    double valueAtMouseDown = 0.0;
    double step = 0.0;
    int pixelsPerStep = 1;

    JUCE_DECLARE_NON_COPYABLE (NumericDisplay)
};
