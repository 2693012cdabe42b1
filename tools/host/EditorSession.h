/*
    `velcroft_host editor`: one plug-in instance with its editor open in an EditorWindow, driven
    through a script of EditorScript actions on the calling thread (the host's GUI thread, which
    makes every editor call) while an audio thread of its own processes blocks when asked. It
    writes screenshots and prints, as they come, what the plug-in told the host: size requests
    (with the thread they came on), begin and end of edits, automation.

    Figures it prints: the time from the first effEditGetRect/effEditOpen to the first painted
    frame and the same for later opens, and the CPU time of the whole process per second with
    the editor open and idle, with or without audio. "Painted" is the picture the window settles
    on: the window is captured every few milliseconds from the open call on, until its picture
    has not changed for a while, and the first capture equal to that final picture marks the
    paint.
*/
#pragma once

#include "tools/host/EditorScript.h"
#include "tools/host/EditorWindow.h"
#include "tools/host/VstPlugin.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

namespace vsthost
{

class EditorSession
{
public:
    /** Drives plugin (open, resumed) with its editor in window; screenshots go to outFolder
        (which must exist) and the report to out. */
    EditorSession (VstPlugin& plugin, EditorWindow& window, std::string outFolder, std::ostream& out);

    /** Stops the audio thread and closes the editor if open. */
    ~EditorSession();

    EditorSession (const EditorSession&) = delete;
    EditorSession& operator= (const EditorSession&) = delete;

    /** Asks the editor's size, sizes the window, opens the editor and waits for its first paint;
        false with a reason when the plug-in has no editor or refuses the window. */
    bool openEditor (std::string& error);

    /** Runs one action; false with a reason when it could not be done. */
    bool run (const EditorScript::Action& action, std::string& error);

    /** Closes the editor (effEditClose). */
    void closeEditor();

    /** How long the host calls effEditIdle apart, as Ardour does. */
    static constexpr int idleIntervalMs = 40;

private:
    struct PaintTiming
    {
        double milliseconds = -1.0;      // -1: never settled on a painted picture
        double openReturnedMs = 0.0;     // when effEditOpen returned
        double firstCaptureMs = 0.0;     // when the window was first captured after the open
        int picturesBefore = 0;          // other pictures captured before the painted one
        RgbImage picture;
    };

    PaintTiming openAndWaitForPaint (std::string& error);
    static std::string describe (const PaintTiming& timing);
    void idleFor (double milliseconds);
    /** Idles until condition holds; false after awaitLimitMs. */
    bool awaitUntil (const std::function<bool()>& condition);
    /** True once a size request for width x height follows the one the last await found. */
    bool findSizeRequest (int width, int height);
    static constexpr int awaitLimitMs = 30000;
    RgbImage settledPicture();
    void reportNotices();
    enum class Signal { sine, demo, silence };

    void startAudio (Signal signal, double milliseconds);
    void stopAudio();
    void processAudio (Signal signal, std::int64_t numFrames);
    /** Gives the plug-in a MIDI event: in the running audio's next block, else in a silent block of its own. */
    void sendMidi (const VstPlugin::MidiEvent& event);

    VstPlugin& plugin;
    EditorWindow& window;
    std::string outFolder;
    std::ostream& out;
    std::thread::id hostThread;
    size_t noticesReported = 0;
    bool editorOpen = false;
    RgbImage pictureBeforeClose;
    RgbImage pictureBeforeInput;        // taken as the last pointer or key action began
    size_t sizeRequestsAwaited = 0;     // notices an await-size has looked through

    std::thread audioThread;
    std::atomic<bool> audioRunning { false };     // set by this thread, cleared by either
    std::mutex pendingLock;
    std::vector<VstPlugin::MidiEvent> pendingMidi;     // handed to the audio thread's next block
};

} // namespace vsthost
