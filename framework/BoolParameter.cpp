#include "framework/BoolParameter.h"

#include <cmath>

BoolParameter::BoolParameter (int parameterIndex, const juce::String& parameterName, int textStyle, bool initialValue)
    : Parameter (parameterIndex, parameterName),
      style (juce::isPositiveAndBelow (textStyle, 4) ? textStyle : trueFalse),
      value (initialValue ? 1 : 0)
{
}

std::unique_ptr<Parameter> BoolParameter::clone() const
{
    auto copy = std::make_unique<BoolParameter> (getIndex(), getName(), style, getBoolValue());
    copyPropertiesTo (*copy);
    return copy;
}

//==============================================================================
float BoolParameter::getValue() const
{
    return getBoolValue() ? 1.0f : 0.0f;
}

float BoolParameter::getNormalisedValue() const
{
    return getValue();
}

int BoolParameter::getIntValue() const
{
    return value.load();
}

bool BoolParameter::getBoolValue() const
{
    return value.load() == 1;
}

juce::String BoolParameter::getText() const
{
    static const char* const words[4][2] = { { "false", "true" }, { "off", "on" }, { "0", "1" }, { "no", "yes" } };
    return words[style][getBoolValue() ? 1 : 0];
}

//==============================================================================
void BoolParameter::setBoolValue (bool newValue, bool notify)
{
    const int v = newValue ? 1 : 0;

    if (value.exchange (v) == v)
        return;

    valueChanged (notify);
}

void BoolParameter::setValue (float newValue, bool notify)
{
    if (! std::isnan (newValue))
        setBoolValue (newValue != 0.0f, notify);
}

void BoolParameter::setNormalisedValue (float newValue, bool notify)
{
    if (! std::isnan (newValue))
        setBoolValue (newValue >= 0.5f, notify);
}

void BoolParameter::setIntValue (int newValue, bool notify)
{
    setBoolValue (newValue != 0, notify);
}

void BoolParameter::setValueFromText (const juce::String& text, bool notify)
{
    if (text == "true" || text == "1" || text == "on" || text == "yes")
        setBoolValue (true, notify);
    else if (text == "false" || text == "0" || text == "off" || text == "no")
        setBoolValue (false, notify);
    else
        setNormalisedValue ((float) text.getDoubleValue(), notify);
}

void BoolParameter::setValueFrom (const Parameter& other, bool notify)
{
    setBoolValue (other.getBoolValue(), notify);
}
