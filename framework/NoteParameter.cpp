#include "framework/NoteParameter.h"
#include "framework/NoteNames.h"

NoteParameter::NoteParameter (int parameterIndex, const juce::String& parameterName, int initialNote)
    : IntParameter (parameterIndex, parameterName, 0, 127, initialNote)
{
}

std::unique_ptr<Parameter> NoteParameter::clone() const
{
    auto copy = std::make_unique<NoteParameter> (getIndex(), getName(), getIntValue());
    copyPropertiesTo (*copy);
    return copy;
}

juce::String NoteParameter::getText() const
{
    return midiNoteName ((unsigned int) getIntValue());
}

void NoteParameter::setValueFromText (const juce::String& text, bool notify)
{
    const auto note = parseMidiNoteName (text);

    if (note >= 0)
        setIntValue (note, notify);
    else
        setNormalisedValue ((float) text.getDoubleValue(), notify);
}
