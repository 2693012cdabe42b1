/*
    The plug-in's own connection to the X server (JUCE's display), as the editor opcodes and the
    message thread use it inside a host.

    Xlib has one error handler per process, and it belongs to the host: a host that keeps Xlib's
    default one exits on the first error. Errors that our windows cause (a parent the host has
    already destroyed, a window id that is no window) must never reach it, so every piece of our
    code that talks to the X server runs inside an ErrorTrap. Errors JUCE would cause on a server
    without a window manager are avoided instead: see prepare().
*/
#pragma once

class JuceX11Display
{
public:
    /** Opens JUCE's connection if that has not been done and readies it for our windows (the
        window-manager atoms JUCE needs, a repaint rate of at most 40 Hz). False when there is
        no X server to talk to. Call with the message thread held. */
    static bool prepare();

    /** True when window names a window on the X server that can hold our editor (it exists and
        draws: not an input-only window). Call after prepare(), inside an ErrorTrap. */
    static bool isUsableParent (void* window);

    /** Dispatches the events Xlib has already read from the connection, if any; true when that
        handled some. Any round trip reads what came before its reply, and a poll() on the
        connection then does not wake for them: JUCE makes such trips while it waits for its
        paints, and the editor opcodes make them on the host's thread. A click read that way
        would wait for the next input to arrive. Call on the message thread, inside an ErrorTrap. */
    static bool dispatchQueuedEvents();

    /** While any trap lives, X errors on JUCE's display are dropped, and errors on the host's
        own displays go on to the handler the host installed. Traps nest and may live on several
        threads at once; the host's handler is back when the last one ends. A trap made while
        JUCE has no X connection does nothing. */
    class ErrorTrap
    {
    public:
        ErrorTrap();
        ~ErrorTrap();

        ErrorTrap (const ErrorTrap&) = delete;
        ErrorTrap& operator= (const ErrorTrap&) = delete;

    private:
        bool installed = false;
    };
};
