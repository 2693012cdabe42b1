/*
    The editor's one-line status bar under the content. Messages carry a priority: a text
    replaces the shown one only when it differs and the shown priority is not higher; a
    message with a timeout clears itself when the time is up.
*/
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class StatusBar : public juce::Component,
                  private juce::Timer
{
public:
    /** The bar's colours (defaults in DefaultLookAndFeel). */
    enum ColourIds
    {
        backgroundColourId = 0x0f004001,    ///< the bar's face
        textColourId       = 0x0f004002     ///< the text
    };

    StatusBar();
    ~StatusBar() override;

    /** Shows a text unless it is the one shown or a message of higher priority is shown; a
        timeout of 0 keeps it until it is replaced or cleared. */
    void setText (const juce::String& text, int priority, int timeoutMilliseconds);

    /** Empties the bar and sets the priority to 0. */
    void clear();

    /** The text shown. */
    const juce::String& getText() const noexcept            { return text; }

    /** The priority of the text shown (0 when empty). */
    int getPriority() const noexcept                        { return priority; }

    //==============================================================================
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    void timerCallback() override;

    juce::Font font;
    juce::String text;
    int priority = 0;

    JUCE_DECLARE_NON_COPYABLE (StatusBar)
};
