/*
    Runs the test program's message loop for a while on the calling thread (the message
    thread), so that asynchronous updates posted before are delivered. Modal loops are off
    in this build, so JUCE's own runDispatchLoopUntil is not available.
*/
#pragma once

#include "host/JuceMessageDispatch.h"

#include <juce_events/juce_events.h>

namespace MessageLoop
{
/** Delivers the messages that arrive during about the given time, sleeping while none do. */
inline void runFor (int milliseconds)
{
    jassert (juce::MessageManager::getInstance()->isThisTheMessageThread());

    // The end is a message of its own, so the loop can block until the next one.
    struct Deadline final : juce::Timer
    {
        bool reached = false;
        void timerCallback() override  { reached = true; stopTimer(); }
    };

    Deadline deadline;
    deadline.startTimer (juce::jmax (1, milliseconds));

    while (! deadline.reached)
        juce::dispatchNextMessageOnSystemQueue (false);
}
} // namespace MessageLoop
