/*
    An integer parameter holding a MIDI note 0..127, shown and read as a note name ("C-5").
*/
#pragma once

#include "framework/IntParameter.h"

class NoteParameter : public IntParameter
{
public:
    /** Creates the parameter at an initial note (clamped to 0..127, not announced). */
    NoteParameter (int index, const juce::String& name, int initialNote = 0);

    std::unique_ptr<Parameter> clone() const override;

    /** The note's name. */
    juce::String getText() const override;

    /** A note name selects its note; any other text is read as a normalised number. */
    void setValueFromText (const juce::String& text, bool notify) override;
};
