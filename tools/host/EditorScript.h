/*
    The short scripts `velcroft_host editor` runs against a plug-in's open editor: one action a
    line (or separated by ";"), "#" starts a comment. Coordinates are in the editor's pixels.

        click X Y            ctrl-click X Y          drag X1 Y1 X2 Y2
        key NAME             (an X key name: Return, Escape, Tab, BackSpace, a ...; "ctrl+" prefix)
        type TEXT            (the rest of the action without its outer spaces, typed key by key;
                             in double quotes it is typed as written between them)
        set INDEX VALUE      (host parameter set, normalised)
        program N            (MIDI program change, 0..127)
        cc N V               (MIDI control change: controller N, value V, both 0..127)
        audio MS [sine|demo|silence]  (an audio thread processes MS milliseconds of the signal in
                             real time, a 440 Hz sine at -6 dB by default; the script goes on meanwhile)
        wait MS              screenshot NAME          reopen (effEditClose, then effEditOpen)
        await-size W H       (idles until the plug-in asks the host for this editor size)
        await-change         (idles until the picture differs from the one before the last
                             pointer or key action: the plug-in has seen it)
                             Both give up, failing the script, after 30 s.
        cpu MS [audio]       (CPU time of the whole process per second, editor idle; with audio)
*/
#pragma once

#include <string>
#include <vector>

namespace vsthost
{

class EditorScript
{
public:
    /** One step of a script. */
    struct Action
    {
        enum class Type { click, ctrlClick, drag, press, release, key, type, set, program, controller, audio, wait, screenshot, reopen,
                          close, open, cpu, awaitSize, awaitChange };

        Type type = Type::wait;
        std::vector<double> numbers;    // coordinates, index and value, milliseconds, program, controller and value
        std::string text;               // key name, typed text, screenshot name, signal name
        int line = 0;                   // where it was written (1-based)
    };

    /** Parses a script; false with a reason naming the line for anything it does not know. */
    static bool parse (const std::string& text, std::vector<Action>& actions, std::string& error);

    /** The action's name as a script writes it. */
    static const char* getName (Action::Type type) noexcept;
};

} // namespace vsthost
