/*
    A parameter holding an integer in a range min..max, read and written atomically.
*/
#pragma once

#include "framework/Parameter.h"

#include <atomic>

class IntParameter : public Parameter
{
public:
    /** Creates the parameter with its range and initial value (clamped, not announced).
        A reversed range is put in order. */
    IntParameter (int index, const juce::String& name, int minimum, int maximum, int initialValue);

    /** The lower end of the range. */
    int getMinimum() const noexcept     { return minimum; }

    /** The upper end of the range. */
    int getMaximum() const noexcept     { return maximum; }

    std::unique_ptr<Parameter> clone() const override;

    float getValue() const override;
    float getNormalisedValue() const override;
    int getIntValue() const override;
    bool getBoolValue() const override;
    juce::String getText() const override;

    void setValue (float newValue, bool notify) override;
    void setNormalisedValue (float newValue, bool notify) override;
    void setIntValue (int newValue, bool notify) override;
    void setBoolValue (bool newValue, bool notify) override;
    void setValueFromText (const juce::String& text, bool notify) override;
    void setValueFrom (const Parameter& other, bool notify) override;

protected:
    /** Changes the range (derived types whose range follows their content); the value is clamped
        to it without notification. */
    void setRange (int newMinimum, int newMaximum);

private:
    void store (int newValue, bool notify);

    int minimum = 0, maximum = 0;
    std::atomic<int> value { 0 };
};
