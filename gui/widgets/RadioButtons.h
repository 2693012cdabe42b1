/*
    A titled group of radio buttons, one per option, framed by a rounded outline that the
    title interrupts. Exactly one option or none is selected; a click selects its option
    (again, when it already was) and tells the listeners. Metrics, fonts and images come
    from DefaultLookAndFeel; the group sizes itself to them and never narrows itself.
*/
#pragma once

#include "framework/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

class RadioButtons : public juce::Component,
                     public juce::Button::Listener
{
public:
    /** Told when the selection is made, by a click or by setSelectedIndex with notification. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The group's selection was set. */
        virtual void radioButtonsChanged (RadioButtons* group) = 0;
    };

    /** A group with a title and its options, none selected. The buttons are named
        "RadioButton" and the option's index ("RadioButton0" for the first). */
    RadioButtons (const juce::String& title, const juce::StringArray& options);
    ~RadioButtons() override;

    /** Selects an option; an index out of range selects none. With notify the listeners
        are told, even when the selection stays the same; selectionChanged follows in any case. */
    void setSelectedIndex (int index, bool notify);

    /** The selected option, or -1. */
    int getSelectedIndex() const noexcept                   { return selectedIndex; }

    /** The title and the options. */
    const juce::String& getTitle() const noexcept           { return title; }
    const juce::StringArray& getOptions() const noexcept    { return options; }

    /** The button of an option, or null. */
    juce::ImageButton* getButton (int index) const noexcept { return buttons[index]; }

    /** Adds a listener (not owned; null or one already there is ignored). */
    void addListener (Listener* listener)                   { listeners.add (listener); }
    /** Removes a listener. */
    void removeListener (Listener* listener)                { listeners.remove (listener); }

    //==============================================================================
    /** Called after every setSelectedIndex. */
    virtual void selectionChanged() {}

    /** Called at the end of every layout, for groups that add to it. */
    virtual void updateSize() {}

    //==============================================================================
    /** @internal */
    void buttonClicked (juce::Button* button) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;

protected:
    /** Tells every listener, the last added first. */
    void notifyListeners();

    /** The layout, for groups that place more on the rows. */
    int getTextX() const noexcept                           { return textX; }
    int getMaxTextWidth() const noexcept                    { return maxTextWidth; }
    int getFirstRowY() const noexcept                       { return firstRowY; }
    int getRowHeight() const noexcept                       { return rowHeight; }
    int getTextGap() const noexcept                         { return textGap; }
    int getTitleSpacing() const noexcept                    { return titleSpacing; }
    int getTitleHeight() const noexcept                     { return (int) titleFont.getHeight(); }

private:
    juce::String title;
    juce::StringArray options;
    juce::OwnedArray<juce::ImageButton> buttons;
    int selectedIndex = -1;
    juce::Font titleFont, optionFont;
    int titleIndent = 13, titlePadding = 4, buttonIndent = 6, titleSpacing = 2, rowHeight = 20;
    float cornerSize = 4.0f;
    int textGap = 6;
    juce::Rectangle<int> titleBox, frame;
    int firstRowY = 0, textX = 0, maxTextWidth = 0;
    ListenerArray<Listener> listeners;

    void layout();

    JUCE_DECLARE_NON_COPYABLE (RadioButtons)
};
