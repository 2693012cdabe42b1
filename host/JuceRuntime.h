/*
    JUCE inside a Linux host: nothing in the host pumps JUCE's messages, so the plug-in
    library runs a message thread of its own. The first holder starts JUCE and that
    thread; the last one stops the thread and shuts JUCE down, so a host may open and
    close instances in any order and then unload the library.
*/
#pragma once

class JuceRuntime
{
public:
    /** Holds JUCE and the message thread running for as long as it lives. */
    class Holder
    {
    public:
        Holder();
        ~Holder();

        Holder (const Holder&) = delete;
        Holder& operator= (const Holder&) = delete;
    };

    /** The number of holders alive now (for tests and diagnostics). */
    static int getNumHolders();
};
