#include "framework/StringParameter.h"

#include <charconv>
#include <cmath>

StringParameter::StringParameter (int parameterIndex, const juce::String& parameterName, const juce::String& initialText)
    : Parameter (parameterIndex, parameterName), text (initialText)
{
}

std::unique_ptr<Parameter> StringParameter::clone() const
{
    auto copy = std::make_unique<StringParameter> (getIndex(), getName(), getText());
    copyPropertiesTo (*copy);
    return copy;
}

void StringParameter::store (const juce::String& newText, bool notify)
{
    {
        // Compare and store as one step; the listeners run after the lock is released,
        // because they may take other locks (the effect's core lock) that a thread reading
        // this text could be holding.
        const juce::ScopedWriteLock sl (lock);

        if (text == newText)
            return;

        text = newText;
    }

    valueChanged (notify);
}

//==============================================================================
float StringParameter::getValue() const
{
    return (float) getText().getDoubleValue();
}

float StringParameter::getNormalisedValue() const
{
    const auto v = getValue();
    return std::isnan (v) ? 0.0f : juce::jlimit (0.0f, 1.0f, v);
}

int StringParameter::getIntValue() const
{
    return readInteger (getText());
}

bool StringParameter::getBoolValue() const
{
    const auto t = getText().trim();

    if (t.equalsIgnoreCase ("true") || t.equalsIgnoreCase ("on") || t.equalsIgnoreCase ("yes"))
        return true;

    const auto v = t.getDoubleValue();
    return v != 0.0 && ! std::isnan (v);
}

juce::String StringParameter::getText() const
{
    const juce::ScopedReadLock sl (lock);
    return text;
}

//==============================================================================
void StringParameter::setValue (float newValue, bool notify)
{
    if (std::isnan (newValue))
        return;

    // "%.9g" without the C library's locale: the decimal point is always '.'.
    char buffer[32];
    const auto result = std::to_chars (buffer, buffer + sizeof (buffer), (double) newValue, std::chars_format::general, 9);
    store (juce::String (buffer, (size_t) (result.ptr - buffer)), notify);
}

void StringParameter::setNormalisedValue (float newValue, bool notify)
{
    setValue (newValue, notify);
}

void StringParameter::setIntValue (int newValue, bool notify)
{
    store (juce::String (newValue), notify);
}

void StringParameter::setBoolValue (bool newValue, bool notify)
{
    store (newValue ? "true" : "false", notify);
}

void StringParameter::setValueFromText (const juce::String& newText, bool notify)
{
    store (newText, notify);
}

void StringParameter::setValueFrom (const Parameter& other, bool notify)
{
    store (other.getText(), notify);
}
