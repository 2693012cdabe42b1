/*
    Shared parts of the validation suite, which drives the built plug-in through the VST 2.4
    interface alone, the way strict plug-in validators do: a private copy of the library, a
    deterministic test signal, block processing with a check of every output sample, and a
    host window on the X server for the editor.
*/
#pragma once

#include "VelcroftTestSupport.h"
#include "tools/host/RgbImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace ValidationSupport
{
/** The six sample rates the plug-in supports. */
inline const std::vector<double>& supportedRates()
{
    static const std::vector<double> rates { 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 };
    return rates;
}

using velcroft_vst_test::numParameters;

/** The path of the plug-in linked (or copied) into a temporary folder of this test process, so
    that the settings file it reads at start-up and writes when closed is this process's own.
    The folder is made on first use and removed when the process ends. */
const std::string& pluginPath();

/** Loads the private copy of the library; a failure fails the test and gives null. */
std::shared_ptr<vsthost::VstLibrary> loadLibrary();

using velcroft_vst_test::countThreads;
using velcroft_vst_test::openInstance;

/** The values of all parameters, read through getParameter. */
std::vector<float> parameterValues (vsthost::VstPlugin& plugin);

//==============================================================================
/** A deterministic stereo test signal: two detuned sines, a slow sweep and a little noise,
    loud enough to reach the clipper, with an occasional silent stretch. */
class TestSignal
{
public:
    explicit TestSignal (double sampleRate, std::uint32_t seed = 1);

    /** Writes the next numFrames samples of both channels. */
    void fill (float* left, float* right, int numFrames);

private:
    double rate, phase1 = 0.0, phase2 = 0.0, sweep = 0.0;
    std::int64_t position = 0;
    std::mt19937 noise;
};

/** What the output samples held: counts of non-finite and subnormal samples, and the peak. */
struct OutputCheck
{
    std::int64_t frames = 0, nans = 0, infinities = 0, subnormals = 0;
    double peak = 0.0;

    /** Looks at every sample of one channel block. */
    void add (const float* samples, int numFrames);
    /** Adds the counts of another check. */
    void merge (const OutputCheck& other);
    /** True when every sample was a finite normal number or zero. */
    bool isClean() const noexcept           { return nans == 0 && infinities == 0 && subnormals == 0; }
    /** The counts as text for failure messages. */
    std::string describe() const;
};

/** Stereo buffers for processReplacing, with the channel pointer arrays a host hands over. */
class StereoBuffers
{
public:
    explicit StereoBuffers (int maxFrames);

    float* const* inputs() noexcept         { return inPointers; }
    float* const* outputs() noexcept        { return outPointers; }
    float* input (int channel) noexcept     { return in[(size_t) channel].data(); }
    float* output (int channel) noexcept    { return out[(size_t) channel].data(); }
    int getMaxFrames() const noexcept       { return maxFrames; }

private:
    int maxFrames;
    std::vector<float> in[2], out[2];
    float* inPointers[2];
    float* outPointers[2];
};

/** Streams numFrames of the signal through the plug-in in blocks of the given sizes (cycled),
    checking every output sample; the output is appended to recorded when it is given. */
OutputCheck processSignal (vsthost::VstPlugin& plugin, TestSignal& signal, std::int64_t numFrames,
                           const std::vector<int>& blockSizes, std::vector<float>* recorded = nullptr);

//==============================================================================
/** A top-level window on the X server named by DISPLAY, made with Xlib as a host makes the
    window that holds a plug-in's editor. libX11 is loaded at run time, as the plug-in itself
    loads it. Unavailable (no library or no display) means the test skips.

    The first window installs the host's X error handler, which counts the errors it receives:
    the plug-in's own connection must never make one reach it. */
class HostWindow
{
public:
    /** Makes a mapped window of the size at (left, top) of the screen. */
    HostWindow (int width, int height, int left = 0, int top = 0);
    ~HostWindow();

    HostWindow (const HostWindow&) = delete;
    HostWindow& operator= (const HostWindow&) = delete;

    /** True when the window exists. */
    bool isAvailable() const noexcept       { return window != 0; }
    /** The window's id, as effEditOpen takes it (kept after destroy()). */
    void* getHandle() const noexcept        { return reinterpret_cast<void*> (window); }
    /** The number of windows directly inside this one, as the X server reports it now. */
    int countChildWindows();
    /** Waits (a bounded number of short sleeps) until the child count is as expected; returns the last count. */
    int waitForChildWindows (int expected);
    /** The picture in the window's top left width x height pixels now (the editor's window
        inside it included); empty when it cannot be read. */
    vsthost::RgbImage capture (int width, int height);
    /** Waits (a bounded number of short sleeps) until the picture is not the window's own black
        and the same twice in a row; returns the last picture. */
    vsthost::RgbImage waitForSettledPicture (int width, int height);

    /** Grabs the X server for this connection (held), so that no other client's request is
        handled, or lets it go; either way waits until the server has done it. */
    void holdServer (bool held);
    /** Sends a left click at (x, y) straight to the first window inside this one (the
        editor's), as events from the server; false when there is none. */
    bool clickChild (int x, int y);

    /** Destroys the window now, as a host that closes its window before effEditClose. */
    void destroy();
    /** Sends a request the server refuses and waits for the answer, so that the host's error
        handler runs on this thread. */
    void raiseXError();

    /** The number of X errors the host's handler has received in this process. */
    static int getNumXErrors();
    /** Puts Xlib's own handler back, which ends the process with status 1 on any error, as a
        sloppy host keeps it. */
    static void useXlibDefaultErrorHandler();

private:
    struct Xlib;
    Xlib* x = nullptr;      // the process's one binding of libX11
    void* display = nullptr;
    unsigned long window = 0;
    bool destroyed = false;
};
} // namespace ValidationSupport
