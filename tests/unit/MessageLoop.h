/*
    Runs the test program's message loop for a while on the calling thread (the message
    thread), so that asynchronous updates posted before are delivered. Modal loops are off
    in this build, so JUCE's own runDispatchLoopUntil is not available.
*/
#pragma once

#include <juce_events/juce_events.h>

namespace juce
{
// Defined by JUCE's Linux messaging code: handles one message or one input event.
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

namespace MessageLoop
{
/** Delivers the pending messages for about the given time. */
inline void runFor (int milliseconds)
{
    jassert (juce::MessageManager::getInstance()->isThisTheMessageThread());
    const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

    while (juce::Time::getMillisecondCounter() < end)
        if (! juce::dispatchNextMessageOnSystemQueue (true))
            juce::Thread::sleep (1);
}
} // namespace MessageLoop
