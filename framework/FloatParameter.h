/*
    A parameter holding a float in a range min..max, read and written atomically.
*/
#pragma once

#include "framework/Parameter.h"

#include <atomic>

class FloatParameter : public Parameter
{
public:
    /** Creates the parameter with its range and initial value (clamped, not announced).
        A reversed range is put in order; a non-finite bound falls back to 0..1. */
    FloatParameter (int index, const juce::String& name, float minimum, float maximum, float initialValue);

    /** The lower end of the range. */
    float getMinimum() const noexcept   { return minimum; }

    /** The upper end of the range. */
    float getMaximum() const noexcept   { return maximum; }

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

private:
    float clampToRange (double v) const noexcept;
    void store (double newValue, bool notify);

    float minimum = 0.0f, maximum = 1.0f;
    std::atomic<float> value { 0.0f };
};
