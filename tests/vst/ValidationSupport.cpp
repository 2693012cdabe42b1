#include "ValidationSupport.h"

#include <X11/Xlib.h>

#include <dlfcn.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <limits>
#include <sstream>
#include <thread>

namespace ValidationSupport
{
namespace
{
/** A temporary folder holding the plug-in, removed at exit. */
class PrivateCopy
{
public:
    PrivateCopy()
    {
        char pattern[] = "/tmp/velcroft-validation-XXXXXX";

        if (mkdtemp (pattern) == nullptr)
            return;

        folder = pattern;
        // A link where the file system allows one, else a copy.
        const auto target = folder / "Velcroft.so";
        std::error_code error;
        std::filesystem::create_hard_link (VELCROFT_PLUGIN_PATH, target, error);

        if (error)
        {
            error.clear();
            std::filesystem::copy_file (VELCROFT_PLUGIN_PATH, target, error);
        }

        if (! error)
            path = target.string();
    }

    ~PrivateCopy()
    {
        std::error_code error;

        if (! folder.empty())
            std::filesystem::remove_all (folder, error);
    }

    std::filesystem::path folder;
    std::string path;
};
} // namespace

const std::string& pluginPath()
{
    static const PrivateCopy copy;
    return copy.path;
}

std::shared_ptr<vsthost::VstLibrary> loadLibrary()
{
    if (pluginPath().empty())
    {
        ADD_FAILURE() << "cannot copy " << VELCROFT_PLUGIN_PATH << " into a temporary folder";
        return {};
    }

    return velcroft_vst_test::loadLibrary (pluginPath());
}

std::vector<float> parameterValues (vsthost::VstPlugin& plugin)
{
    std::vector<float> values;

    for (int i = 0; i < plugin.getNumParameters(); ++i)
        values.push_back (plugin.getParameter (i));

    return values;
}

//==============================================================================
TestSignal::TestSignal (double sampleRate, std::uint32_t seed)
    : rate (sampleRate), noise (seed)
{
}

void TestSignal::fill (float* left, float* right, int numFrames)
{
    constexpr double twoPi = 6.283185307179586;
    std::uniform_real_distribution<float> white (-0.05f, 0.05f);

    for (int i = 0; i < numFrames; ++i, ++position)
    {
        // A fifth of every quarter second is silence, so that filters and smoothing decay.
        const auto inQuarter = std::fmod ((double) position / rate, 0.25);

        if (inQuarter >= 0.2)
        {
            left[i] = right[i] = 0.0f;
            continue;
        }

        sweep = std::fmod (sweep + 1.0 / rate, 1.0);
        const auto sweepHz = 50.0 * std::pow (400.0, sweep);
        phase1 = std::fmod (phase1 + twoPi * 220.0 / rate, twoPi);
        phase2 = std::fmod (phase2 + twoPi * sweepHz / rate, twoPi);

        const auto a = 0.6 * std::sin (phase1);
        const auto b = 0.5 * std::sin (phase2);
        left[i] = (float) (a + b) + white (noise);
        right[i] = (float) (a - b) + white (noise);
    }
}

//==============================================================================
void OutputCheck::add (const float* samples, int numFrames)
{
    frames += numFrames;

    for (int i = 0; i < numFrames; ++i)
    {
        const auto s = samples[i];

        if (std::isnan (s))             ++nans;
        else if (std::isinf (s))        ++infinities;
        else if (std::fpclassify (s) == FP_SUBNORMAL) ++subnormals;
        else                            peak = std::max (peak, (double) std::abs (s));
    }
}

void OutputCheck::merge (const OutputCheck& other)
{
    frames += other.frames;
    nans += other.nans;
    infinities += other.infinities;
    subnormals += other.subnormals;
    peak = std::max (peak, other.peak);
}

std::string OutputCheck::describe() const
{
    std::ostringstream text;
    text << frames << " samples: " << nans << " NaN, " << infinities << " infinite, "
         << subnormals << " subnormal, peak " << peak;
    return text.str();
}

//==============================================================================
StereoBuffers::StereoBuffers (int frames)
    : maxFrames (std::max (1, frames))
{
    for (int ch = 0; ch < 2; ++ch)
    {
        in[ch].assign ((size_t) maxFrames, 0.0f);
        out[ch].assign ((size_t) maxFrames, 0.0f);
        inPointers[ch] = in[ch].data();
        outPointers[ch] = out[ch].data();
    }
}

OutputCheck processSignal (vsthost::VstPlugin& plugin, TestSignal& signal, std::int64_t numFrames,
                           const std::vector<int>& blockSizes, std::vector<float>* recorded)
{
    OutputCheck check;
    const auto largest = *std::max_element (blockSizes.begin(), blockSizes.end());
    StereoBuffers buffers (largest);
    std::vector<float> inputCopy[2];
    size_t blockIndex = 0;

    for (std::int64_t done = 0; done < numFrames;)
    {
        const auto n = (int) std::min<std::int64_t> (blockSizes[blockIndex++ % blockSizes.size()], numFrames - done);
        signal.fill (buffers.input (0), buffers.input (1), n);

        for (int ch = 0; ch < 2; ++ch)
        {
            inputCopy[ch].assign (buffers.input (ch), buffers.input (ch) + n);

            // Whatever the plug-in leaves unwritten shows up as NaN.
            std::fill (buffers.output (ch), buffers.output (ch) + n, std::numeric_limits<float>::quiet_NaN());
        }

        plugin.process (buffers.inputs(), buffers.outputs(), n);

        for (int ch = 0; ch < 2; ++ch)
        {
            check.add (buffers.output (ch), n);
            EXPECT_TRUE (std::equal (inputCopy[ch].begin(), inputCopy[ch].end(), buffers.input (ch)))
                << "the plug-in wrote into its input " << ch;
        }

        if (recorded != nullptr)
            for (int i = 0; i < n; ++i)
                for (int ch = 0; ch < 2; ++ch)
                    recorded->push_back (buffers.output (ch)[i]);

        done += n;
    }

    return check;
}

//==============================================================================
struct HostWindow::Xlib
{
    /** The one set of functions, bound on first use. */
    static Xlib& get()
    {
        static Xlib xlib;
        return xlib;
    }

    Xlib()
    {
        handle = dlopen ("libX11.so.6", RTLD_NOW | RTLD_LOCAL);

        if (handle == nullptr)
            return;

        const auto bind = [this] (auto& function, const char* name)
        {
            function = reinterpret_cast<std::remove_reference_t<decltype (function)>> (dlsym (handle, name));
            return function != nullptr;
        };

        loaded = bind (initThreads, "XInitThreads") && bind (setErrorHandler, "XSetErrorHandler")
              && bind (openDisplay, "XOpenDisplay") && bind (closeDisplay, "XCloseDisplay")
              && bind (defaultScreen, "XDefaultScreen") && bind (rootWindow, "XRootWindow")
              && bind (blackPixel, "XBlackPixel") && bind (createSimpleWindow, "XCreateSimpleWindow")
              && bind (mapWindow, "XMapWindow") && bind (destroyWindow, "XDestroyWindow")
              && bind (sync, "XSync") && bind (queryTree, "XQueryTree") && bind (freeMemory, "XFree")
              && bind (getImage, "XGetImage") && bind (grabServer, "XGrabServer") && bind (ungrabServer, "XUngrabServer")
              && bind (sendEvent, "XSendEvent");

        if (loaded)
        {
            // A host owns the process's X error handling; this one counts what reaches it.
            initThreads();
            setErrorHandler (&Xlib::countError);
        }
    }

    ~Xlib()
    {
        // libX11 stays loaded: the plug-in's own use of it may outlive the host's windows.
    }

    static std::atomic<int> numErrors;
    static int countError (Display*, XErrorEvent*)      { ++numErrors; return 0; }

    void* handle = nullptr;
    bool loaded = false;
    Status (*initThreads)() = nullptr;
    XErrorHandler (*setErrorHandler) (XErrorHandler) = nullptr;
    Display* (*openDisplay) (const char*) = nullptr;
    int (*closeDisplay) (Display*) = nullptr;
    int (*defaultScreen) (Display*) = nullptr;
    Window (*rootWindow) (Display*, int) = nullptr;
    unsigned long (*blackPixel) (Display*, int) = nullptr;
    Window (*createSimpleWindow) (Display*, Window, int, int, unsigned, unsigned, unsigned, unsigned long, unsigned long) = nullptr;
    int (*mapWindow) (Display*, Window) = nullptr;
    int (*destroyWindow) (Display*, Window) = nullptr;
    int (*sync) (Display*, Bool) = nullptr;
    Status (*queryTree) (Display*, Window, Window*, Window*, Window**, unsigned*) = nullptr;
    int (*freeMemory) (void*) = nullptr;
    XImage* (*getImage) (Display*, Drawable, int, int, unsigned, unsigned, unsigned long, int) = nullptr;
    int (*grabServer) (Display*) = nullptr;
    int (*ungrabServer) (Display*) = nullptr;
    Status (*sendEvent) (Display*, Window, Bool, long, XEvent*) = nullptr;
};

std::atomic<int> HostWindow::Xlib::numErrors { 0 };

HostWindow::HostWindow (int width, int height, int left, int top)
    : x (&Xlib::get())
{
    if (! x->loaded)
        return;

    auto* d = x->openDisplay (nullptr);

    if (d == nullptr)
        return;

    display = d;
    const auto screen = x->defaultScreen (d);
    window = x->createSimpleWindow (d, x->rootWindow (d, screen), left, top, (unsigned) width, (unsigned) height, 0,
                                    x->blackPixel (d, screen), x->blackPixel (d, screen));
    x->mapWindow (d, window);
    x->sync (d, False);
}

HostWindow::~HostWindow()
{
    if (display == nullptr)
        return;

    auto* d = static_cast<Display*> (display);

    if (window != 0 && ! destroyed)
        x->destroyWindow (d, window);

    x->sync (d, False);
    x->closeDisplay (d);
}

void HostWindow::destroy()
{
    if (window == 0 || destroyed)
        return;

    auto* d = static_cast<Display*> (display);
    x->destroyWindow (d, window);
    x->sync (d, False);
    destroyed = true;
}

void HostWindow::raiseXError()
{
    if (display == nullptr)
        return;

    auto* d = static_cast<Display*> (display);
    x->mapWindow (d, (Window) 1);
    x->sync (d, False);
}

int HostWindow::getNumXErrors()
{
    return Xlib::numErrors.load();
}

void HostWindow::useXlibDefaultErrorHandler()
{
    if (Xlib::get().loaded)
        Xlib::get().setErrorHandler (nullptr);
}

int HostWindow::countChildWindows()
{
    if (window == 0 || destroyed)
        return 0;

    auto* d = static_cast<Display*> (display);
    x->sync (d, False);

    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;

    if (x->queryTree (d, window, &root, &parent, &children, &count) == 0)
        return -1;

    if (children != nullptr)
        x->freeMemory (children);

    return (int) count;
}

void HostWindow::holdServer (bool held)
{
    if (display == nullptr)
        return;

    auto* d = static_cast<Display*> (display);

    if (held)
        x->grabServer (d);
    else
        x->ungrabServer (d);

    x->sync (d, False);
}

bool HostWindow::clickChild (int px, int py)
{
    if (window == 0 || destroyed)
        return false;

    auto* d = static_cast<Display*> (display);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;

    if (x->queryTree (d, window, &root, &parent, &children, &count) == 0 || count == 0)
        return false;

    const auto child = children[0];
    x->freeMemory (children);

    for (const bool press : { true, false })
    {
        XEvent event {};
        auto& button = event.xbutton;
        button.type = press ? ButtonPress : ButtonRelease;
        button.display = d;
        button.window = child;
        button.root = root;
        button.time = CurrentTime;
        button.x = button.x_root = px;
        button.y = button.y_root = py;
        button.state = press ? 0 : Button1Mask;
        button.button = Button1;
        button.same_screen = True;

        if (x->sendEvent (d, child, False, press ? ButtonPressMask : ButtonReleaseMask, &event) == 0)
            return false;
    }

    x->sync (d, False);
    return true;
}

vsthost::RgbImage HostWindow::capture (int width, int height)
{
    if (window == 0 || destroyed)
        return {};

    auto* d = static_cast<Display*> (display);
    x->sync (d, False);
    auto* image = x->getImage (d, window, 0, 0, (unsigned) width, (unsigned) height, ~0ul, ZPixmap);

    if (image == nullptr)
        return {};

    // A 24-bit true-colour server, as Xvfb's "-screen 0 WxHx24" is.
    vsthost::RgbImage picture = vsthost::RgbImage::filled (width, height, 0);

    for (int row = 0; row < height; ++row)
    {
        for (int col = 0; col < width; ++col)
        {
            const auto pixel = image->f.get_pixel (image, col, row);
            auto* out = picture.pixels.data() + ((size_t) row * (size_t) width + (size_t) col) * 3;
            out[0] = (std::uint8_t) ((pixel & image->red_mask) >> 16);
            out[1] = (std::uint8_t) ((pixel & image->green_mask) >> 8);
            out[2] = (std::uint8_t) (pixel & image->blue_mask);
        }
    }

    image->f.destroy_image (image);
    return picture;
}

vsthost::RgbImage HostWindow::waitForSettledPicture (int width, int height)
{
    // Painted means not the window's own black, and the same twice in a row.
    auto last = capture (width, height);

    for (int i = 0; i < 200; ++i)
    {
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
        auto next = capture (width, height);

        if (next == last && next != vsthost::RgbImage::filled (width, height, 0))
            return next;

        last = std::move (next);
    }

    return last;
}

int HostWindow::waitForChildWindows (int expected)
{
    // The plug-in talks to the server over its own connection: give its requests time to land.
    int count = countChildWindows();

    for (int i = 0; i < 200 && count != expected; ++i)
    {
        std::this_thread::sleep_for (std::chrono::milliseconds (10));
        count = countChildWindows();
    }

    return count;
}
} // namespace ValidationSupport
