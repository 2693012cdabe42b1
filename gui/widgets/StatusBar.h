/*
    The editor's one-line status bar. Each message carries a priority: a new text replaces
    the shown one only when it differs and the shown priority is not higher, and a message
    given a timeout clears itself when it runs out.
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
        backgroundColourId = 0x0f004001,
        textColourId       = 0x0f004002
    };

    /** An empty bar. */
    StatusBar();
    ~StatusBar() override;

    /** Shows text with a priority for timeoutMs milliseconds (0: until replaced or cleared),
        unless it is the text already shown or the shown priority is higher. The same text
        again does not extend its time. */
    void setText (const juce::String& text, int priority, int timeoutMs);

    /** Empties the bar and sets the priority to 0. */
    void clear();

    /** The text shown. */
    const juce::String& getText() const noexcept            { return text; }

    /** The priority of the text shown (0 when empty). */
    int getPriority() const noexcept                        { return priority; }

    /** True while the shown text waits to run out; its time is getTimeout. */
    bool isTimingOut() const noexcept                       { return isTimerRunning(); }
    int getTimeout() const noexcept                         { return getTimerInterval(); }

    //==============================================================================
    /** The shown text has run out: clears the bar. */
    void timerCallback() override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    juce::Font font;
    juce::String text;
    int priority = 0;

    JUCE_DECLARE_NON_COPYABLE (StatusBar)
};
