/*
    An integer parameter choosing one of a list of named items; its value is the item's position.
*/
#pragma once

#include "framework/IntParameter.h"

class EnumParameter : public IntParameter
{
public:
    /** Creates the parameter from a ';'-separated item list and an initial text (an item
        name or a normalised number). A list without items gives a single position 0 with no name. */
    EnumParameter (int index, const juce::String& name, const juce::String& itemList, const juce::String& initialText = {});

    /** The items in order. */
    const juce::StringArray& getItems() const noexcept     { return items; }

    /** The ';'-separated list the items came from. */
    const juce::String& getItemList() const noexcept       { return itemList; }

    /** Splits an item list at every ';': pieces between separators stay items even when
        empty, and a non-empty remainder after the last ';' is the last item. */
    static juce::StringArray splitItemList (const juce::String& itemList);

    std::unique_ptr<Parameter> clone() const override;

    /** The item at the value, empty when there is none. */
    juce::String getText() const override;

    /** An item's name selects it; any other text is read as a normalised number. */
    void setValueFromText (const juce::String& text, bool notify) override;

private:
    const juce::StringArray items;
    const juce::String itemList;
};
