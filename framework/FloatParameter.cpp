#include "framework/FloatParameter.h"

#include <cmath>

FloatParameter::FloatParameter (int parameterIndex, const juce::String& parameterName,
                                float minimumValue, float maximumValue, float initialValue)
    : Parameter (parameterIndex, parameterName)
{
    if (std::isfinite (minimumValue) && std::isfinite (maximumValue))
    {
        minimum = juce::jmin (minimumValue, maximumValue);
        maximum = juce::jmax (minimumValue, maximumValue);
    }

    value = std::isnan (initialValue) ? minimum : clampToRange (initialValue);
}

std::unique_ptr<Parameter> FloatParameter::clone() const
{
    auto copy = std::make_unique<FloatParameter> (getIndex(), getName(), minimum, maximum, getValue());
    copyPropertiesTo (*copy);
    return copy;
}

float FloatParameter::clampToRange (double v) const noexcept
{
    // Adding zero turns a -0 into +0, so the stored value never prints as "-0".
    return (float) juce::jlimit ((double) minimum, (double) maximum, v) + 0.0f;
}

void FloatParameter::store (double newValue, bool notify)
{
    if (std::isnan (newValue))
        return;

    const auto clamped = clampToRange (newValue);

    if (value.exchange (clamped) == clamped)
        return;

    valueChanged (notify);
}

//==============================================================================
float FloatParameter::getValue() const
{
    return value.load();
}

float FloatParameter::getNormalisedValue() const
{
    if (maximum <= minimum)
        return 0.0f;

    // In double: the difference of two large floats may not fit in a float.
    return (float) (((double) getValue() - minimum) / ((double) maximum - minimum));
}

int FloatParameter::getIntValue() const
{
    return truncateToInt (getValue());
}

bool FloatParameter::getBoolValue() const
{
    // The upper half of the range, the midpoint included.
    const auto v = (double) getValue();
    return maximum - v <= v - minimum;
}

juce::String FloatParameter::getText() const
{
    return juce::String ((double) getValue(), 9);
}

//==============================================================================
void FloatParameter::setValue (float newValue, bool notify)
{
    store (newValue, notify);
}

void FloatParameter::setNormalisedValue (float newValue, bool notify)
{
    if (std::isnan (newValue))
        return;

    const auto n = juce::jlimit (0.0f, 1.0f, newValue);
    store (minimum + ((double) maximum - minimum) * n, notify);
}

void FloatParameter::setIntValue (int newValue, bool notify)
{
    store ((float) newValue, notify);
}

void FloatParameter::setBoolValue (bool newValue, bool notify)
{
    store (newValue ? maximum : minimum, notify);
}

void FloatParameter::setValueFromText (const juce::String& text, bool notify)
{
    store (text.getDoubleValue(), notify);
}

void FloatParameter::setValueFrom (const Parameter& other, bool notify)
{
    store (other.getValue(), notify);
}
