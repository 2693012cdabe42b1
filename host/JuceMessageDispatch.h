/*
    JUCE's Linux message loop step, which JUCE defines but declares in no public header. Every
    caller in the project (the library's message thread, the unit tests' and the fuzzers'
    message loops) takes the declaration from here.
*/
#pragma once

namespace juce
{
/** Handles the input of the ready file descriptors: the posted messages, the X connection's
    events. With returnIfNoPendingMessages false it first blocks until there is some; it
    returns false when it handled nothing. Only the message thread may call it. */
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce
