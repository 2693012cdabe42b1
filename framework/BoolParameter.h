/*
    A parameter that is on or off, shown in one of four styles of text.
*/
#pragma once

#include "framework/Parameter.h"

#include <atomic>

class BoolParameter : public Parameter
{
public:
    /** The words the parameter's text uses for on and off. */
    enum Style
    {
        trueFalse = 0,  /**< "true" / "false" */
        onOff     = 1,  /**< "on" / "off", the style of a "state" definition */
        oneZero   = 2,  /**< "1" / "0" */
        yesNo     = 3   /**< "yes" / "no" */
    };

    /** Creates the parameter, off, with a text style (an unknown style reads as trueFalse). */
    BoolParameter (int index, const juce::String& name, int style = trueFalse, bool initialValue = false);

    /** The text style. */
    int getStyle() const noexcept       { return style; }

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
    const int style;
    std::atomic<int> value { 0 };
};
