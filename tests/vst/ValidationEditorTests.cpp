/*
    The validator sweep, part four: the editor opcodes as careless hosts send them, on an X
    server without a window manager (window ids that name no window, a window destroyed before
    effEditClose, instances closed in either order and the library unloaded), and hosts that
    exit with instances open, also from inside an X error.
*/
#include "ValidationSupport.h"

#include <chrono>
#include <cstdlib>
#include <thread>

#include <unistd.h>

using namespace ValidationSupport;
using vsthost::VstPlugin;

namespace ValidationEditorTestsDetail
{
/** Ends this (child) process with status 99 after a generous time, so that an exit that hangs
    fails the test instead of never returning. */
void startWatchdog()
{
    std::thread ([]
    {
        std::this_thread::sleep_for (std::chrono::seconds (30));
        _exit (99);
    }).detach();
}

/** In a child process: loads the plug-in, opens two resumed instances, the first with its editor
    in the window, and leaves them open for good. They stay reachable from here, so a leak
    checker at exit does not take them for lost. */
void openInstancesForGood (HostWindow& window)
{
    static std::shared_ptr<vsthost::VstLibrary> library;
    static VstPlugin* instances[2] {};

    library = loadLibrary();

    for (auto*& instance : instances)
    {
        instance = openInstance (library).release();
        instance->setMainsOn (true);
    }

    instances[0]->dispatch (vst::effEditOpen, 0, 0, window.getHandle());
    instances[1]->dispatch (vst::effEditOpen, 0, 0, reinterpret_cast<void*> (0x12345678));
    window.waitForChildWindows (1);
}

bool hasXDisplay()
{
    const HostWindow probe (16, 16);
    return probe.isAvailable();
}
} // namespace ValidationEditorTestsDetail

using namespace ValidationEditorTestsDetail;

TEST (ValidationEditor, RefusesAParentThatIsNoWindowAndStaysUsable)
{
    HostWindow window (800, 600), destroyed (100, 100);

    if (! window.isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    destroyed.destroy();

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);
    plugin->setMainsOn (true);
    const auto errorsBefore = HostWindow::getNumXErrors();

    for (auto* id : { reinterpret_cast<void*> (0x1), reinterpret_cast<void*> (0x12345678), destroyed.getHandle() })
        EXPECT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, id), 0) << "window id " << id;

    TestSignal signal (44100.0);
    const auto check = processSignal (*plugin, signal, 4096, { 512 });
    EXPECT_TRUE (check.isClean()) << check.describe();
    EXPECT_GT (check.peak, 1.0e-3) << check.describe();

    EXPECT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, window.getHandle()), 1);
    EXPECT_EQ (window.waitForChildWindows (1), 1) << "the editor did not appear after the refusals";
    plugin->dispatch (vst::effEditClose);
    EXPECT_EQ (window.waitForChildWindows (0), 0);

    plugin->close();
    EXPECT_EQ (HostWindow::getNumXErrors(), errorsBefore) << "X errors of the plug-in reached the host";
}

TEST (ValidationEditor, ClosesQuietlyAfterTheHostDestroyedItsWindow)
{
    HostWindow first (800, 600), second (800, 600);

    if (! first.isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);
    const auto errorsBefore = HostWindow::getNumXErrors();

    ASSERT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, first.getHandle()), 1);
    EXPECT_EQ (first.waitForChildWindows (1), 1);

    // The editor's window goes with the host's; the plug-in hears of it on its message thread.
    first.destroy();

    for (int i = 0; i < 5; ++i)
    {
        plugin->dispatch (vst::effEditIdle);
        std::this_thread::sleep_for (std::chrono::milliseconds (20));
    }

    plugin->dispatch (vst::effEditClose);

    EXPECT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, second.getHandle()), 1);
    EXPECT_EQ (second.waitForChildWindows (1), 1) << "no editor after the host's window went first";

    // And once more, with the instance closed while its editor is open.
    second.destroy();
    plugin->close();
    EXPECT_EQ (HostWindow::getNumXErrors(), errorsBefore) << "X errors of the plug-in reached the host";
}

TEST (ValidationEditor, InstancesWithEditorsCloseInEitherOrderAndTheLibraryUnloads)
{
    HostWindow windows[] { { 640, 480 }, { 640, 480 } };

    if (! windows[0].isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    // A first thread of our own: runtimes that start a thread of theirs with the first one
    // (ThreadSanitizer does) are then in the count before.
    std::thread ([] {}).join();
    const auto threadsBefore = countThreads();
    const auto errorsBefore = HostWindow::getNumXErrors();

    for (auto lastOpenedFirst : { true, false })
    {
        auto library = loadLibrary();
        ASSERT_NE (library, nullptr);
        std::unique_ptr<VstPlugin> instances[] { openInstance (library), openInstance (library) };

        for (int i = 0; i < 2; ++i)
        {
            ASSERT_NE (instances[i], nullptr);
            EXPECT_EQ (instances[i]->dispatch (vst::effEditOpen, 0, 0, windows[i].getHandle()), 1);
            EXPECT_EQ (windows[i].waitForChildWindows (1), 1);
        }

        instances[lastOpenedFirst ? 1 : 0]->close();
        instances[lastOpenedFirst ? 0 : 1]->close();

        for (auto& window : windows)
            EXPECT_EQ (window.waitForChildWindows (0), 0) << "an editor outlived its instance";

        ASSERT_TRUE (library->unload());
        EXPECT_EQ (countThreads(), threadsBefore) << (lastOpenedFirst ? "last opened closed first" : "first opened closed first");
    }

    EXPECT_EQ (HostWindow::getNumXErrors(), errorsBefore) << "X errors of the plug-in reached the host";
}

TEST (ValidationEditor, AHostThatExitsWithInstancesOpenEndsWithItsStatus)
{
    if (! hasXDisplay())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

   #if defined (__SANITIZE_THREAD__)
    // With instances open, JUCE's own timer thread runs on through exit() (stopping it is JUCE's
    // shut-down, which must not run then) and touches JUCE's statics while exit destroys them:
    // harmless there, but ThreadSanitizer reports each. The other builds run this test.
    GTEST_SKIP() << "JUCE's timer thread outlives exit() by design here";
   #endif

    // Each case runs in a fresh child process. The host keeps Xlib's default error handler,
    // so any error of the plug-in's connection would end the child from inside the plug-in
    // (status 1, or a hang or an abort there); a hang ends with the watchdog's 99.
    GTEST_FLAG_SET (death_test_style, "threadsafe");

    EXPECT_EXIT ({
        startWatchdog();
        HostWindow window (640, 480);
        HostWindow::useXlibDefaultErrorHandler();
        openInstancesForGood (window);
        std::exit (7);
    }, ::testing::ExitedWithCode (7), "") << "exit() on the host's thread";

    EXPECT_EXIT ({
        startWatchdog();
        HostWindow window (640, 480);
        HostWindow::useXlibDefaultErrorHandler();
        openInstancesForGood (window);
        window.raiseXError();
        std::exit (7);
    }, ::testing::ExitedWithCode (1), "") << "exit() from inside Xlib's error handler";
}

TEST (ValidationEditor, AnOpenIdleEditorLetsTheProcessSleepBetweenRepaints)
{
    HostWindow window (800, 600);

    if (! window.isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);
    plugin->setMainsOn (true);
    ASSERT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, window.getHandle()), 1);

    // The host idles the editor every 40 ms, as Ardour does, while nothing changes.
    const auto idleFor = [&plugin] (int milliseconds)
    {
        for (int elapsed = 0; elapsed < milliseconds; elapsed += 40)
        {
            plugin->dispatch (vst::effEditIdle);
            std::this_thread::sleep_for (std::chrono::milliseconds (40));
        }
    };

    idleFor (300);

    // JUCE repaints from a timer at the screen's rate, 100 Hz on a server that reports none,
    // which woke the process about 800 times a second; at 40 Hz it wakes about 330 times (JUCE's
    // timer thread, the message thread, this host's idle calls), a few hundred more in a busy
    // second of a loaded machine, so the quietest of several seconds counts.
    const auto wakeUps = velcroft_vst_test::fewestWakeUpsInASecond (idleFor, 650, 8);
    EXPECT_LT (wakeUps, 650) << "the process woke at least " << wakeUps << " times in every second";

    plugin->dispatch (vst::effEditClose);
    plugin->close();
}

TEST (ValidationEditor, AClickReadOnTheWayToAReplyIsAnswered)
{
    HostWindow window (633, 479);

    if (! window.isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);
    ASSERT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, window.getHandle()), 1);
    window.waitForSettledPicture (633, 223);

    // An editor call holds the plug-in's message thread and makes a round trip, answered only
    // once a click on Options has reached the plug-in's connection: Xlib reads the click on
    // its way to the reply, and nothing else arrives to wake the message thread for it.
    window.holdServer (true);
    std::thread hostThread ([&plugin] { plugin->dispatch (vst::effEditOpen, 0, 0, reinterpret_cast<void*> (0x12345678)); });
    std::this_thread::sleep_for (std::chrono::milliseconds (200));
    const auto clicked = window.clickChild (97, 35);
    window.holdServer (false);
    hostThread.join();
    ASSERT_TRUE (clicked);

    // Options docks the panel: the host is asked for the taller window.
    bool asked = false;

    for (int i = 0; i < 150 && ! asked; ++i)
    {
        plugin->dispatch (vst::effEditIdle);

        for (auto& notice : plugin->getHost().getNotifications (vst::audioMasterSizeWindow))
            asked = asked || (notice.index == 633 && (int) notice.value == 479);

        std::this_thread::sleep_for (std::chrono::milliseconds (20));
    }

    EXPECT_TRUE (asked) << "the click was left unread in the plug-in's connection";
    plugin->dispatch (vst::effEditClose);
    plugin->close();
}

TEST (ValidationEditor, TwoInstancesShowTheirOwnEditorsAtOnce)
{
    // A window covered by another cannot be read back: these two lie side by side, below the
    // windows of the other editor tests (at the top left, up to 1024 x 768), which may run at
    // the same time on the same server (1280 x 1024 under the suite's xvfb-run).
    HostWindow windows[] { { 640, 240, 0, 780 }, { 640, 240, 640, 780 } };

    if (! windows[0].isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    std::unique_ptr<VstPlugin> instances[] { openInstance (library), openInstance (library) };
    ASSERT_TRUE (instances[0] != nullptr && instances[1] != nullptr);

    // The second plays factory preset 25, chosen by a program change: its display shows another name.
    StereoBuffers buffers (512);
    instances[1]->setMainsOn (true);
    instances[1]->process (buffers.inputs(), buffers.outputs(), 512, { VstPlugin::MidiEvent::programChange (25) });

    vst::ERect* rect = nullptr;
    ASSERT_EQ (instances[0]->dispatch (vst::effEditGetRect, 0, 0, &rect), 1);
    const auto width = rect->right - rect->left, height = rect->bottom - rect->top;
    vsthost::RgbImage pictures[2];

    for (int i = 0; i < 2; ++i)
    {
        ASSERT_EQ (instances[i]->dispatch (vst::effEditOpen, 0, 0, windows[i].getHandle()), 1);
        ASSERT_EQ (windows[i].waitForChildWindows (1), 1);
    }

    for (int i = 0; i < 2; ++i)
    {
        pictures[i] = windows[i].waitForSettledPicture (width, height);
        ASSERT_FALSE (pictures[i].isEmpty());
        EXPECT_NE (pictures[i], vsthost::RgbImage::filled (width, height, 0)) << "editor " << i << " never painted";
    }

    EXPECT_NE (pictures[0], pictures[1]) << "both windows show the same editor";

    // Closing one leaves the other as it was; the closed one comes back as it was.
    instances[0]->dispatch (vst::effEditClose);
    EXPECT_EQ (windows[0].waitForChildWindows (0), 0);
    EXPECT_EQ (windows[1].waitForSettledPicture (width, height), pictures[1]);

    ASSERT_EQ (instances[0]->dispatch (vst::effEditOpen, 0, 0, windows[0].getHandle()), 1);
    EXPECT_EQ (windows[0].waitForSettledPicture (width, height), pictures[0]) << "the reopened editor looks different";

    for (auto& instance : instances)
        instance->close();
}
