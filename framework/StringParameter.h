/*
    A parameter holding a text, guarded by its own read-write lock.
*/
#pragma once

#include "framework/Parameter.h"

class StringParameter : public Parameter
{
public:
    /** Creates the parameter with its initial text (not announced). */
    StringParameter (int index, const juce::String& name, const juce::String& initialText = {});

    std::unique_ptr<Parameter> clone() const override;

    /** The text read as a number. */
    float getValue() const override;

    /** The text read as a number, clamped to 0..1. */
    float getNormalisedValue() const override;

    /** The text's leading integer, 0 when it has none. */
    int getIntValue() const override;

    /** True for "true", "on" or "yes" (any case) and for a non-zero number; false otherwise. */
    bool getBoolValue() const override;

    /** The text. */
    juce::String getText() const override;

    /** Stores the value printed with nine significant digits. */
    void setValue (float newValue, bool notify) override;

    /** The same as setValue. */
    void setNormalisedValue (float newValue, bool notify) override;

    void setIntValue (int newValue, bool notify) override;
    void setBoolValue (bool newValue, bool notify) override;
    void setValueFromText (const juce::String& text, bool notify) override;
    void setValueFrom (const Parameter& other, bool notify) override;

private:
    void store (const juce::String& newText, bool notify);

    juce::ReadWriteLock lock;
    juce::String text;
};
