#include "tools/host/EditorSession.h"
#include "tools/host/DemoSignal.h"
#include "tools/host/ProcessUsage.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string_view>

namespace vsthost
{

namespace EditorSessionDetail
{
    using Clock = std::chrono::steady_clock;

    double millisecondsSince (Clock::time_point start)
    {
        return std::chrono::duration<double, std::milli> (Clock::now() - start).count();
    }

    size_t hashOf (const RgbImage& image)
    {
        return std::hash<std::string_view>() (std::string_view (reinterpret_cast<const char*> (image.pixels.data()),
                                                                image.pixels.size()));
    }

    bool isOnlyBackground (const RgbImage& image)
    {
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x)
                if (image.getPixel (x, y) != EditorWindow::backgroundColour)
                    return false;

        return true;
    }

    std::string format (const char* pattern, double value)
    {
        char text[64];
        std::snprintf (text, sizeof (text), pattern, value);
        return text;
    }

    /** How long a picture must stay the same to count as settled after an open. */
    constexpr double settleMs = 300.0;
    /** The longest an open may take to settle. */
    constexpr double openLimitMs = 5000.0;
} // namespace EditorSessionDetail

EditorSession::EditorSession (VstPlugin& p, EditorWindow& w, std::string folder, std::ostream& o)
    : plugin (p), window (w), outFolder (std::move (folder)), out (o), hostThread (std::this_thread::get_id())
{
    // The window follows the plug-in's size requests, but only on this thread: Xlib is not
    // ours to call from the plug-in's threads (a request from elsewhere is refused and shown).
    plugin.getHost().setSizeWindowHandler ([this] (int width, int height)
    {
        if (std::this_thread::get_id() != hostThread)
            return false;

        window.setSize (width, height);
        return true;
    });
}

EditorSession::~EditorSession()
{
    stopAudio();
    closeEditor();
    plugin.getHost().setSizeWindowHandler (nullptr);
}

//==============================================================================
bool EditorSession::openEditor (std::string& error)
{
    const auto timing = openAndWaitForPaint (error);

    if (! editorOpen)
        return false;

    out << "editor:          " << window.getWidth() << " x " << window.getHeight() << "\n"
        << "first-paint-ms:  " << describe (timing) << "\n";
    reportNotices();
    return true;
}

void EditorSession::closeEditor()
{
    if (editorOpen)
    {
        plugin.dispatch (vst::effEditClose);
        editorOpen = false;
        window.sync();
    }
}

EditorSession::PaintTiming EditorSession::openAndWaitForPaint (std::string& error)
{
    using namespace EditorSessionDetail;
    PaintTiming timing;
    const auto start = Clock::now();

    vst::ERect* rect = nullptr;

    if (plugin.dispatch (vst::effEditGetRect, 0, 0, &rect) != 1 || rect == nullptr
        || rect->right - rect->left <= 0 || rect->bottom - rect->top <= 0)
    {
        error = "the plug-in gave no editor size (effEditGetRect)";
        return timing;
    }

    window.setSize (rect->right - rect->left, rect->bottom - rect->top);

    if (plugin.dispatch (vst::effEditOpen, 0, 0, window.getHandle()) != 1)
    {
        error = "the plug-in did not open its editor in the window (effEditOpen)";
        return timing;
    }

    editorOpen = true;
    timing.openReturnedMs = millisecondsSince (start);

    // Measuring, so the host may poll here: each capture is kept as a hash with its time.
    std::vector<std::pair<double, size_t>> captures;
    RgbImage last;
    double lastChange = 0.0, lastIdle = 0.0;

    for (;;)
    {
        auto picture = window.capture();
        const auto now = millisecondsSince (start);

        captures.emplace_back (now, hashOf (picture));

        if (picture != last || captures.size() == 1)
        {
            last = std::move (picture);
            lastChange = now;
        }

        if ((now - lastChange >= settleMs && ! isOnlyBackground (last)) || now >= openLimitMs)
            break;

        if (now - lastIdle >= idleIntervalMs)
        {
            plugin.dispatch (vst::effEditIdle);
            lastIdle = now;
        }

        std::this_thread::sleep_for (std::chrono::milliseconds (1));
    }

    if (! isOnlyBackground (last) && millisecondsSince (start) - lastChange >= settleMs)
    {
        const auto finalHash = hashOf (last);

        timing.firstCaptureMs = captures.front().first;

        for (size_t i = 0; i < captures.size(); ++i)
        {
            if (captures[i].second == finalHash)
            {
                timing.milliseconds = captures[i].first;
                break;
            }

            if (i == 0 || captures[i].second != captures[i - 1].second)
                ++timing.picturesBefore;
        }
    }

    timing.picture = std::move (last);
    return timing;
}

std::string EditorSession::describe (const PaintTiming& timing)
{
    using EditorSessionDetail::format;

    if (timing.milliseconds < 0)
        return "never";

    return format ("%.1f", timing.milliseconds) + "  (effEditGetRect + effEditOpen to the settled picture; effEditOpen returned at "
         + format ("%.1f", timing.openReturnedMs) + " ms, first capture at " + format ("%.1f", timing.firstCaptureMs) + " ms, " + std::to_string (timing.picturesBefore) + " other picture(s) before)";
}

//==============================================================================
void EditorSession::idleFor (double milliseconds)
{
    using namespace EditorSessionDetail;
    const auto start = Clock::now();

    for (;;)
    {
        if (editorOpen)
            plugin.dispatch (vst::effEditIdle);

        window.drainEvents();
        reportNotices();

        const auto left = milliseconds - millisecondsSince (start);

        if (left <= 0)
            return;

        std::this_thread::sleep_for (std::chrono::duration<double, std::milli> (std::min (left, (double) idleIntervalMs)));
    }
}

bool EditorSession::awaitUntil (const std::function<bool()>& condition)
{
    // A sanitizer build on a loaded machine may answer seconds late: the script waits for
    // the answer itself, not for a time that is long enough on most machines.
    const auto start = EditorSessionDetail::Clock::now();

    while (! condition())
    {
        if (EditorSessionDetail::millisecondsSince (start) >= awaitLimitMs)
            return false;

        idleFor (30);
    }

    return true;
}

bool EditorSession::findSizeRequest (int width, int height)
{
    const auto notices = plugin.getHost().getNotifications();

    for (; sizeRequestsAwaited < notices.size(); ++sizeRequestsAwaited)
    {
        const auto& notice = notices[sizeRequestsAwaited];

        if (notice.opcode == vst::audioMasterSizeWindow && notice.index == width && (int) notice.value == height)
        {
            ++sizeRequestsAwaited;
            return true;
        }
    }

    return false;
}

RgbImage EditorSession::settledPicture()
{
    // Moving meters never settle: then the picture after a short while is taken.
    // A still picture counts as settled once it has stayed the same for a few captures in a
    // row: the plug-in answers clicks on its own thread, which a loaded machine (or a sanitizer
    // build) may hold back for longer than one capture interval.
    auto last = window.capture();
    int unchanged = 0;

    for (int i = 0; i < 60; ++i)
    {
        idleFor (30);
        auto next = window.capture();
        unchanged = next == last ? unchanged + 1 : 0;

        if (unchanged >= 4 && ! audioRunning)
            return next;

        last = std::move (next);

        if (audioRunning && i >= 2)
            break;
    }

    return last;
}

void EditorSession::reportNotices()
{
    const auto notices = plugin.getHost().getNotifications();

    for (; noticesReported < notices.size(); ++noticesReported)
    {
        const auto& n = notices[noticesReported];
        const auto* thread = n.fromAudioThread ? "audio thread"
                           : (n.thread == hostThread ? "host GUI thread" : "another thread");

        switch (n.opcode)
        {
            case vst::audioMasterAutomate:
                out << "host: automate " << n.index << " " << EditorSessionDetail::format ("%.6f", n.value) << " (" << thread << ")\n";
                break;
            case vst::audioMasterBeginEdit:    out << "host: begin-edit " << n.index << " (" << thread << ")\n"; break;
            case vst::audioMasterEndEdit:      out << "host: end-edit " << n.index << " (" << thread << ")\n"; break;
            case vst::audioMasterUpdateDisplay: out << "host: update-display (" << thread << ")\n"; break;
            case vst::audioMasterIOChanged:    out << "host: io-changed (" << thread << ")\n"; break;
            case vst::audioMasterSizeWindow:
                out << "host: size-window " << n.index << " x " << (int) n.value << " (" << thread << ")"
                    << (n.thread == hostThread && ! n.fromAudioThread ? "" : ", refused") << "\n";
                break;
            default: break;
        }
    }

    out.flush();
}

//==============================================================================
void EditorSession::sendMidi (const VstPlugin::MidiEvent& event)
{
    if (audioRunning)
    {
        const std::lock_guard<std::mutex> guard (pendingLock);
        pendingMidi.push_back (event);
        return;
    }

    // No audio thread: one silent block carries the event, as a stopped host's would.
    const int frames = plugin.getHost().getBlockSize();
    std::vector<float> in ((size_t) frames), left ((size_t) frames), right ((size_t) frames);
    const float* inputs[] = { in.data(), in.data() };
    float* outputs[] = { left.data(), right.data() };
    const VstHost::ScopedProcessing processing;
    plugin.process (inputs, outputs, frames, { event });
}

void EditorSession::startAudio (Signal signal, double milliseconds)
{
    stopAudio();
    const auto numFrames = (std::int64_t) std::ceil (milliseconds / 1000.0 * plugin.getHost().getSampleRate());
    audioRunning = true;
    audioThread = std::thread ([this, signal, numFrames] { processAudio (signal, numFrames); });
}

void EditorSession::stopAudio()
{
    audioRunning = false;

    if (audioThread.joinable())
        audioThread.join();

    // An event that came as the audio ran out goes with a block of its own.
    std::vector<VstPlugin::MidiEvent> left;

    {
        const std::lock_guard<std::mutex> guard (pendingLock);
        left.swap (pendingMidi);
    }

    for (auto& event : left)
        sendMidi (event);
}

void EditorSession::processAudio (Signal signal, std::int64_t numFrames)
{
    const VstHost::ScopedProcessing processing;
    const auto rate = plugin.getHost().getSampleRate();
    const int frames = plugin.getHost().getBlockSize();
    const auto demo = signal == Signal::demo ? DemoSignal::make (rate, 4.0) : AudioData();
    std::vector<float> inLeft ((size_t) frames), inRight ((size_t) frames), outLeft ((size_t) frames), outRight ((size_t) frames);
    const float* inputs[] = { inLeft.data(), inRight.data() };
    float* outputs[] = { outLeft.data(), outRight.data() };
    std::vector<VstPlugin::MidiEvent> events;

    // Paced as a sound card would: one block per block's worth of time.
    auto next = std::chrono::steady_clock::now();
    const auto blockTime = std::chrono::duration_cast<std::chrono::steady_clock::duration> (
                               std::chrono::duration<double> ((double) frames / rate));

    for (std::int64_t position = 0; audioRunning && position < numFrames;)
    {
        for (int i = 0; i < frames; ++i, ++position)
        {
            float left = 0.0f, right = 0.0f;

            if (signal == Signal::demo && demo.getNumFrames() > 0)
            {
                const auto at = (size_t) (position % demo.getNumFrames());
                left = demo.channels[0][at];
                right = demo.channels[(size_t) (demo.getNumChannels() > 1 ? 1 : 0)][at];
            }
            else if (signal == Signal::sine)
            {
                left = right = 0.5f * (float) std::sin (2.0 * M_PI * 440.0 * (double) position / rate);
            }

            inLeft[(size_t) i] = left;
            inRight[(size_t) i] = right;
        }

        {
            const std::lock_guard<std::mutex> guard (pendingLock);
            events.swap (pendingMidi);
        }

        plugin.process (inputs, outputs, frames, events);
        events.clear();

        next += blockTime;
        std::this_thread::sleep_until (next);
    }

    audioRunning = false;
}

//==============================================================================
bool EditorSession::run (const EditorScript::Action& action, std::string& error)
{
    using Type = EditorScript::Action::Type;
    using namespace EditorSessionDetail;
    const auto& n = action.numbers;
    const auto at = [&n] (size_t i) { return (int) std::lround (n[i]); };

    switch (action.type)
    {
        case Type::click: case Type::ctrlClick: case Type::drag: case Type::press: case Type::release:
        case Type::key: case Type::type:
            if (editorOpen)
                pictureBeforeInput = window.capture();
            break;

        default:
            break;
    }

    switch (action.type)
    {
        case Type::awaitSize:
            if (! awaitUntil ([this, &n] { return findSizeRequest ((int) n[0], (int) n[1]); }))
            {
                error = "the plug-in did not ask for " + std::to_string (at (0)) + " x " + std::to_string (at (1)) + " within "
                      + std::to_string (awaitLimitMs / 1000) + " s";
                return false;
            }

            return true;

        case Type::awaitChange:
            if (! awaitUntil ([this] { return editorOpen && window.capture() != pictureBeforeInput; }))
            {
                error = "the editor's picture did not change within " + std::to_string (awaitLimitMs / 1000) + " s";
                return false;
            }

            return true;

        case Type::click:
        case Type::ctrlClick:
            window.click (at (0), at (1), action.type == Type::ctrlClick);
            idleFor (150);
            return true;

        case Type::drag:
            window.drag (at (0), at (1), at (2), at (3));
            idleFor (150);
            return true;

        case Type::press:
        case Type::release:
            window.setButton (at (0), at (1), action.type == Type::press);
            idleFor (150);
            return true;

        case Type::key:
            if (! window.pressKey (action.text))
            {
                error = "unknown key '" + action.text + "'";
                return false;
            }

            idleFor (100);
            return true;

        case Type::type:
            if (! window.typeText (action.text))
            {
                error = "cannot type '" + action.text + "' (printable ASCII only)";
                return false;
            }

            idleFor (100);
            return true;

        case Type::set:
            out << "set parameter " << at (0) << " to " << format ("%.6f", n[1]) << "\n";
            plugin.setParameter ((vst::int32) at (0), (float) n[1]);
            idleFor (100);
            return true;

        case Type::program:
            out << "program change " << at (0) << "\n";
            sendMidi (VstPlugin::MidiEvent::programChange (at (0)));
            idleFor (150);
            return true;

        case Type::controller:
            out << "control change " << at (0) << " " << at (1) << "\n";
            sendMidi (VstPlugin::MidiEvent::controlChange (at (0), at (1)));
            idleFor (150);
            return true;

        case Type::audio:
        {
            const auto signal = action.text == "demo" ? Signal::demo : (action.text == "silence" ? Signal::silence : Signal::sine);
            out << "audio: " << (action.text.empty() ? std::string ("sine") : action.text) << " for " << format ("%.0f", n[0]) << " ms\n";
            startAudio (signal, n[0]);
            idleFor (idleIntervalMs);
            return true;
        }

        case Type::wait:
            idleFor (n[0]);
            return true;

        case Type::screenshot:
        {
            const auto picture = settledPicture();
            const auto path = outFolder + "/" + action.text + (action.text.size() > 4 && action.text.substr (action.text.size() - 4) == ".png" ? "" : ".png");

            if (picture.isEmpty() || ! picture.writePng (path, error))
            {
                if (error.empty())
                    error = "the window could not be captured";

                return false;
            }

            out << "screenshot: " << path << " (" << picture.width << " x " << picture.height << ")\n";
            return true;
        }

        case Type::reopen:
        {
            stopAudio();
            const auto before = settledPicture();
            closeEditor();
            idleFor (100);
            const auto timing = openAndWaitForPaint (error);

            if (! editorOpen)
                return false;

            out << "reopen-paint-ms: " << describe (timing)
                << "  (same picture as before the close: " << (timing.picture == before ? "yes" : "no") << ")\n";
            reportNotices();
            return true;
        }

        case Type::close:
            stopAudio();
            closeEditor();
            out << "editor closed\n";
            idleFor (100);
            return true;

        case Type::open:
        {
            if (editorOpen)
                return true;

            const auto timing = openAndWaitForPaint (error);

            if (! editorOpen)
                return false;

            out << "open-paint-ms: " << describe (timing) << "\n";
            reportNotices();
            return true;
        }

        case Type::cpu:
        {
            const bool withAudio = action.text == "audio";
            stopAudio();

            if (withAudio)
            {
                // The meters move before the measured stretch begins.
                startAudio (Signal::sine, n[0] + 1000.0);
                idleFor (300);
            }

            const auto before = ProcessUsage::now();
            idleFor (n[0]);
            const auto used = ProcessUsage::now().since (before);

            if (withAudio)
                stopAudio();

            const auto seconds = n[0] / 1000.0;
            out << "cpu-ms-per-second: " << format ("%.2f", 1000.0 * used.cpuSeconds() / seconds)
                << " (user " << format ("%.2f", 1000.0 * used.userSeconds / seconds)
                << ", system " << format ("%.2f", 1000.0 * used.systemSeconds / seconds)
                << "; wake-ups per second " << format ("%.1f", (double) used.wakeUps / seconds)
                << "; editor open, " << (withAudio ? "audio running" : "no audio") << ")\n";
            return true;
        }
    }

    return true;
}

} // namespace vsthost
