/*
    The blink of a skin control: while blinking, a timer flips a flag at a fixed period and
    the control is told, so it can paint its "on" and "off" phases. A control blinks while
    the timer runs.
*/
#pragma once

#include <juce_events/juce_events.h>

#include <memory>

class BlinkingComponent
{
public:
    BlinkingComponent();

    /** Stops the blink timer. */
    virtual ~BlinkingComponent();

    /** Starts blinking from a cleared flag with the given period, and tells the control. */
    void startBlinking (int periodMilliseconds);

    /** Stops blinking and tells the control; nothing when it does not blink. */
    void stopBlinking();

    /** True while the blink timer runs. */
    bool isBlinking() const noexcept;

    /** The phase of the blink, flipped at each tick. */
    bool getBlinkFlag() const noexcept                  { return blinkFlag; }

    /** True in the "on" phase of a running blink: blinking and the flag set. */
    bool isInBlinkOnPhase() const noexcept              { return isBlinking() && blinkFlag; }

    /** The period of the blink in milliseconds (150 until a blink is started). */
    int getBlinkPeriod() const noexcept                 { return blinkPeriod; }

protected:
    /** Called when blinking starts or stops and at every tick. */
    virtual void blinkStateChanged() {}

private:
    class BlinkingComponentTimer;

    bool blinkFlag = false;
    int blinkPeriod = 150;
    std::unique_ptr<BlinkingComponentTimer> timer;

    JUCE_DECLARE_NON_COPYABLE (BlinkingComponent)
};
