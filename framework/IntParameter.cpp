#include "framework/IntParameter.h"

#include <cmath>

IntParameter::IntParameter (int parameterIndex, const juce::String& parameterName,
                            int minimumValue, int maximumValue, int initialValue)
    : Parameter (parameterIndex, parameterName)
{
    setRange (minimumValue, maximumValue);
    value = juce::jlimit (minimum, maximum, initialValue);
}

void IntParameter::setRange (int newMinimum, int newMaximum)
{
    minimum = juce::jmin (newMinimum, newMaximum);
    maximum = juce::jmax (newMinimum, newMaximum);
    value = juce::jlimit (minimum, maximum, value.load());
}

std::unique_ptr<Parameter> IntParameter::clone() const
{
    auto copy = std::make_unique<IntParameter> (getIndex(), getName(), minimum, maximum, getIntValue());
    copyPropertiesTo (*copy);
    return copy;
}

void IntParameter::store (int newValue, bool notify)
{
    const auto clamped = juce::jlimit (minimum, maximum, newValue);

    if (value.exchange (clamped) == clamped)
        return;

    valueChanged (notify);
}

//==============================================================================
float IntParameter::getValue() const
{
    return (float) getIntValue();
}

float IntParameter::getNormalisedValue() const
{
    if (maximum <= minimum)
        return 0.0f;

    // Differences in 64 bits: a range spanning the whole int type must not overflow.
    return (float) ((juce::int64) getIntValue() - minimum) / (float) ((juce::int64) maximum - minimum);
}

int IntParameter::getIntValue() const
{
    return value.load();
}

bool IntParameter::getBoolValue() const
{
    return getIntValue() != minimum;
}

juce::String IntParameter::getText() const
{
    return juce::String (getIntValue());
}

//==============================================================================
void IntParameter::setValue (float newValue, bool notify)
{
    if (std::isnan (newValue))
        return;

    // Clamped while still a float, so the conversion to int is always defined.
    store (truncateToInt (juce::jlimit ((double) minimum, (double) maximum, (double) newValue)), notify);
}

void IntParameter::setNormalisedValue (float newValue, bool notify)
{
    if (std::isnan (newValue))
        return;

    const auto n = juce::jlimit (0.0f, 1.0f, newValue);
    const auto steps = std::floor ((float) ((juce::int64) maximum - minimum) * n + 0.5f);
    store (truncateToInt (juce::jlimit ((double) minimum, (double) maximum, (double) minimum + steps)), notify);
}

void IntParameter::setIntValue (int newValue, bool notify)
{
    store (newValue, notify);
}

void IntParameter::setBoolValue (bool newValue, bool notify)
{
    store (newValue ? maximum : minimum, notify);
}

void IntParameter::setValueFromText (const juce::String& text, bool notify)
{
    store (readInteger (text), notify);
}

void IntParameter::setValueFrom (const Parameter& other, bool notify)
{
    store (other.getIntValue(), notify);
}
