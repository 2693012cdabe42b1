#include "framework/EnumParameter.h"

EnumParameter::EnumParameter (int parameterIndex, const juce::String& parameterName,
                              const juce::String& itemListText, const juce::String& initialText)
    : IntParameter (parameterIndex, parameterName, 0, 0, 0),
      items (splitItemList (itemListText)),
      itemList (itemListText)
{
    setRange (0, juce::jmax (0, items.size() - 1));
    setValueFromText (initialText, false);
}

juce::StringArray EnumParameter::splitItemList (const juce::String& list)
{
    juce::StringArray result;
    int start = 0;

    for (int separator; (separator = list.indexOfChar (start, ';')) >= 0; start = separator + 1)
        result.add (list.substring (start, separator));

    if (start < list.length())
        result.add (list.substring (start));

    return result;
}

std::unique_ptr<Parameter> EnumParameter::clone() const
{
    auto copy = std::make_unique<EnumParameter> (getIndex(), getName(), itemList);
    copy->setIntValue (getIntValue(), false);
    copyPropertiesTo (*copy);
    return copy;
}

juce::String EnumParameter::getText() const
{
    return items[getIntValue()];
}

void EnumParameter::setValueFromText (const juce::String& text, bool notify)
{
    const auto position = items.indexOf (text);

    if (position >= 0)
        setIntValue (position, notify);
    else
        setNormalisedValue ((float) text.getDoubleValue(), notify);
}
