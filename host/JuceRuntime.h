/*
    JUCE inside a Linux host: nothing in the host pumps JUCE's messages, so the plug-in
    library runs a message thread of its own. The first holder starts JUCE and that
    thread; the last one stops the thread and shuts JUCE down, so a host may open and
    close instances in any order and then unload the library.

    A host may also exit() with instances open, from any thread: then nothing is joined or
    shut down (the thread may be waiting for the very thread that exits). Instead an exit
    handler holds the message thread still, once it has finished the step it is in, before
    the statics it uses are destroyed. Exit handlers and static destructors run in the reverse
    order of their registration, so the handler is registered again after code that builds
    statics of JUCE for the first time (JUCE's start, the first editor).
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

    /** Call when an editor has been put on the desktop: the first time in this process, the
        exit handler is registered again, after what JUCE built for it. */
    static void editorShown();
};
