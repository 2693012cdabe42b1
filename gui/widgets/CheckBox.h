/*
    A check box with a text beside it. The box is an image button that toggles on click;
    its toggle state is the ticked state. The widget sizes itself to the box and its text.
*/
#pragma once

#include "framework/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

class CheckBox : public juce::Component,
                 public juce::Button::Listener
{
public:
    /** Told when the box is clicked. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The box was clicked (its state is the new one). */
        virtual void checkBoxChanged (CheckBox* checkBox) = 0;
    };

    /** An unticked box without text. */
    CheckBox();
    ~CheckBox() override;

    /** Sets the text beside the box and sizes the widget to it. */
    void setText (const juce::String& newText);
    const juce::String& getText() const noexcept            { return text; }

    /** The box: its toggle state is the ticked state. */
    juce::ImageButton& getBox() noexcept                    { return box; }

    /** The ticked state (the box's toggle state). */
    bool getToggleState() const noexcept                    { return box.getToggleState(); }

    /** Ticks or unticks the box; with a notification the listeners hear as from a click. */
    void setToggleState (bool shouldBeTicked, juce::NotificationType notification);

    /** Adds a listener (not owned; null or one already there is ignored). */
    void addListener (Listener* listener)                   { listeners.add (listener); }
    /** Removes a listener. */
    void removeListener (Listener* listener)                { listeners.remove (listener); }

    //==============================================================================
    /** @internal */
    void buttonClicked (juce::Button* button) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    ListenerArray<Listener> listeners;
    juce::ImageButton box;
    juce::String text;
    juce::Font font;
    int textGap = 5;

    void layout();

    JUCE_DECLARE_NON_COPYABLE (CheckBox)
};
