/*
    The validator sweep, part three: calls that arrive on other threads while the audio thread
    processes (parameters, state, switching, rate and block size, the editor), and two
    instances processing at once.
*/
#include "ValidationSupport.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace ValidationSupport;
using vsthost::VstHost;
using vsthost::VstPlugin;

namespace
{
/** Processes blocks on a thread of its own until stopped (or a generous block count is reached),
    setting a parameter from that thread now and then, as a host's automation does. */
class AudioThread
{
public:
    AudioThread (VstPlugin& pluginToRun, double rate, bool automate)
        : plugin (pluginToRun), signal (rate), thread ([this, automate] { run (automate); })
    {
    }

    ~AudioThread()                      { stop(); }

    /** Stops processing and returns what the output held. */
    OutputCheck stop()
    {
        stopRequested = true;

        if (thread.joinable())
            thread.join();

        return check;
    }

    /** The number of blocks processed so far. */
    int getBlocksDone() const noexcept  { return blocksDone.load(); }

    /** Waits until the thread has processed a few more blocks, so that other calls really overlap processing. */
    void waitForBlocks (int count)
    {
        const auto target = blocksDone.load() + count;

        for (int i = 0; i < 100000 && blocksDone.load() < target && thread.joinable(); ++i)
            std::this_thread::yield();
    }

private:
    void run (bool automate)
    {
        std::mt19937 random (3);

        for (int block = 0; block < 200000 && ! stopRequested.load(); ++block)
        {
            if (automate && block % 4 == 0)
                plugin.setParameter (VelcroftParameters::outputVolume, std::uniform_real_distribution<float> (0.3f, 0.7f) (random));

            check.merge (processSignal (plugin, signal, 128, { 128 }));
            ++blocksDone;
        }
    }

    VstPlugin& plugin;
    TestSignal signal;
    OutputCheck check;
    std::atomic<bool> stopRequested { false };
    std::atomic<int> blocksDone { 0 };
    std::thread thread;
};

/** Opens an instance and gives it a state chunk, running at the rate with the largest block. */
std::unique_ptr<VstPlugin> openWithState (const std::shared_ptr<vsthost::VstLibrary>& library,
                                          const std::vector<std::uint8_t>& state, double rate, int maxBlock)
{
    auto plugin = openInstance (library);

    if (plugin != nullptr)
    {
        plugin->setChunk (state, false);
        plugin->setSampleRate (rate);
        plugin->setBlockSize (maxBlock);
        plugin->setMainsOn (true);
    }

    return plugin;
}
} // namespace

TEST (Validation, TakesParametersAndStateFromAnotherThreadWhileProcessing)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    // Two states and a program to restore while audio runs.
    const auto stateA = plugin->getChunk (false);
    std::mt19937 random (5);

    for (int i = 0; i < numParameters; ++i)
        plugin->setParameter (i, std::uniform_real_distribution<float> (0.0f, 1.0f) (random));

    const auto stateB = plugin->getChunk (false);
    const auto program = plugin->getChunk (true);
    ASSERT_FALSE (stateA.empty() || stateB.empty() || program.empty());

    plugin->setMainsOn (true);
    AudioThread audio (*plugin, 44100.0, false);

    for (int round = 0; round < 300; ++round)
    {
        const auto index = std::uniform_int_distribution<int> (0, numParameters - 1) (random);
        plugin->setParameter (index, std::uniform_real_distribution<float> (0.0f, 1.0f) (random));
        EXPECT_FALSE (plugin->getParameterDisplay (index).empty());

        if (round % 10 == 0)
            plugin->setChunk (round % 20 == 0 ? stateA : stateB, false);

        if (round % 15 == 0)
            EXPECT_FALSE (plugin->getChunk (false).empty());

        if (round % 25 == 0)
        {
            plugin->setChunk (program, true);
            audio.waitForBlocks (2);
        }
    }

    audio.waitForBlocks (4);
    const auto check = audio.stop();
    EXPECT_GT (check.frames, 0);
    EXPECT_TRUE (check.isClean()) << check.describe();

    // After all that, a state still reads back as it was given.
    plugin->setChunk (stateB, false);
    EXPECT_EQ (plugin->getChunk (false), stateB);
    plugin->setChunk (stateA, false);
    EXPECT_EQ (plugin->getChunk (false), stateA);
}

TEST (Validation, SwitchesAndChangesRateAndBlockSizeFromAnotherThreadWhileProcessing)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    // Hosts should switch the plug-in off first; some restore state while audio runs. Straight
    // through the dispatcher: the test host's own bookkeeping is not made for other threads.
    plugin->setMainsOn (true);
    AudioThread audio (*plugin, 44100.0, true);
    const float rates[] = { 48000.0f, 44100.0f, 96000.0f, 22050.0f };

    for (int round = 0; round < 40; ++round)
    {
        plugin->dispatch (vst::effMainsChanged, 0, 0);
        plugin->dispatch (vst::effSetSampleRate, 0, 0, nullptr, rates[round % 4]);
        plugin->dispatch (vst::effSetBlockSize, 0, round % 2 == 0 ? 64 : 512);
        audio.waitForBlocks (1);
        plugin->dispatch (vst::effMainsChanged, 0, 1);
        plugin->dispatch (vst::effSetSampleRate, 0, 0, nullptr, rates[(round + 1) % 4]);
        audio.waitForBlocks (1);
    }

    const auto check = audio.stop();
    EXPECT_GT (check.frames, 0);
    EXPECT_TRUE (check.isClean()) << check.describe();
}

TEST (Validation, TwoInstancesProcessAtOnceIndependentlyAndIdentically)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);

    // The shared settings, made by an instance of their own.
    std::vector<std::uint8_t> state;
    {
        auto source = openInstance (library);
        ASSERT_NE (source, nullptr);
        std::mt19937 random (9);

        for (int i = 0; i < numParameters; ++i)
            source->setParameter (i, std::uniform_real_distribution<float> (0.0f, 1.0f) (random));

        source->setParameter (VelcroftParameters::outputVolume, 0.6f);
        state = source->getChunk (false);
    }

    constexpr double rate = 48000.0;
    constexpr std::int64_t half = 24000;
    auto reference = openWithState (library, state, rate, 512);
    auto first = openWithState (library, state, rate, 512);
    auto second = openWithState (library, state, rate, 512);
    ASSERT_TRUE (reference != nullptr && first != nullptr && second != nullptr);

    // The reference runs alone.
    std::vector<float> expected;
    {
        TestSignal signal (rate);
        processSignal (*reference, signal, 2 * half, { 512 }, &expected);
    }

    // The two others run at the same time on two threads; halfway, the second one's volume
    // changes, which must not reach the first.
    std::vector<float> outFirst, outSecond;
    std::thread firstThread ([&]
    {
        TestSignal signal (rate);
        processSignal (*first, signal, 2 * half, { 512 }, &outFirst);
    });
    std::thread secondThread ([&]
    {
        TestSignal signal (rate);
        processSignal (*second, signal, half, { 512 }, &outSecond);
        second->setParameter (VelcroftParameters::outputVolume, 0.3f);
        processSignal (*second, signal, half, { 512 }, &outSecond);
    });
    firstThread.join();
    secondThread.join();

    ASSERT_EQ (outFirst.size(), expected.size());
    ASSERT_EQ (outSecond.size(), expected.size());
    EXPECT_TRUE (outFirst == expected) << "an instance's output depends on another instance running beside it";

    const auto halfSamples = (std::ptrdiff_t) (2 * half);
    EXPECT_TRUE (std::equal (outSecond.begin(), outSecond.begin() + halfSamples, expected.begin()))
        << "two instances with the same settings and input give different output";
    EXPECT_FALSE (std::equal (outSecond.begin() + halfSamples, outSecond.end(), expected.begin() + halfSamples))
        << "the second instance's volume change did nothing";
}

TEST (Validation, OpensAndClosesTheEditorWhileAudioRuns)
{
    HostWindow window (1024, 768);

    if (! window.isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);
    ASSERT_TRUE (plugin->hasFlag (vst::effFlagsHasEditor));

    plugin->setMainsOn (true);
    AudioThread audio (*plugin, 44100.0, true);
    int width = -1, height = -1;

    for (int cycle = 0; cycle < 40; ++cycle)
    {
        vst::ERect* rect = nullptr;
        ASSERT_EQ (plugin->dispatch (vst::effEditGetRect, 0, 0, &rect), 1);
        ASSERT_NE (rect, nullptr);
        EXPECT_GT (rect->right - rect->left, 0);
        EXPECT_GT (rect->bottom - rect->top, 0);

        if (cycle == 0)
        {
            width = rect->right - rect->left;
            height = rect->bottom - rect->top;
        }

        EXPECT_EQ (rect->right - rect->left, width) << "cycle " << cycle;
        EXPECT_EQ (rect->bottom - rect->top, height) << "cycle " << cycle;

        EXPECT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, window.getHandle()), 1) << "cycle " << cycle;
        EXPECT_EQ (window.waitForChildWindows (1), 1) << "the editor did not appear in the host's window, cycle " << cycle;

        for (int i = 0; i < 3; ++i)
        {
            plugin->dispatch (vst::effEditIdle);
            audio.waitForBlocks (1);
        }

        plugin->dispatch (vst::effEditClose);
        EXPECT_EQ (window.waitForChildWindows (0), 0) << "the editor stayed in the host's window, cycle " << cycle;
    }

    // A host may also close the plug-in while its editor is open.
    EXPECT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, window.getHandle()), 1);
    EXPECT_EQ (window.waitForChildWindows (1), 1);
    audio.waitForBlocks (4);

    const auto check = audio.stop();
    EXPECT_TRUE (check.isClean()) << check.describe();

    plugin->close();
    EXPECT_EQ (window.waitForChildWindows (0), 0) << "the editor outlived its plug-in";
}

TEST (Validation, TakesTheEditorOpcodesFromAnotherHostThreadWithoutXErrors)
{
    // As Ardour does: the instance is made on one thread, its editor opened, sized, idled and
    // closed on a GUI thread of the host's own, while the audio thread runs. No error of the
    // plug-in's X connection may reach the host's handler (the server has no window manager).
    HostWindow window (1024, 768);

    if (! window.isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    plugin->setMainsOn (true);
    AudioThread audio (*plugin, 44100.0, true);
    const auto errorsBefore = HostWindow::getNumXErrors();

    std::thread gui ([&]
    {
        for (int cycle = 0; cycle < 3; ++cycle)
        {
            EXPECT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, window.getHandle()), 1) << "cycle " << cycle;
            EXPECT_EQ (window.waitForChildWindows (1), 1) << "cycle " << cycle;

            vst::ERect* rect = nullptr;
            EXPECT_EQ (plugin->dispatch (vst::effEditGetRect, 0, 0, &rect), 1);
            EXPECT_TRUE (rect != nullptr && rect->right > rect->left && rect->bottom > rect->top);

            for (int i = 0; i < 5; ++i)
            {
                plugin->dispatch (vst::effEditIdle);
                audio.waitForBlocks (1);
            }

            plugin->dispatch (vst::effEditClose);
            EXPECT_EQ (window.waitForChildWindows (0), 0) << "cycle " << cycle;
        }
    });
    gui.join();

    const auto check = audio.stop();
    EXPECT_TRUE (check.isClean()) << check.describe();
    EXPECT_GT (audio.getBlocksDone(), 0);

    plugin->close();
    EXPECT_EQ (HostWindow::getNumXErrors(), errorsBefore) << "X errors of the plug-in reached the host";
}

TEST (Validation, RestoresTheStateWhileTheEditorIsOpenAndAudioRuns)
{
    // As Ardour restores a session's state: on a thread of the host's own, while the audio
    // thread runs and the GUI thread idles the open editor.
    HostWindow window (1024, 768);

    if (! window.isAvailable())
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    const auto stateA = plugin->getChunk (false);
    const auto valuesA = parameterValues (*plugin);
    std::mt19937 random (11);

    for (int i = 0; i < numParameters; ++i)
        plugin->setParameter (i, std::uniform_real_distribution<float> (0.0f, 1.0f) (random));

    const auto stateB = plugin->getChunk (false);
    const auto valuesB = parameterValues (*plugin);
    ASSERT_NE (valuesA, valuesB);

    plugin->setMainsOn (true);
    const auto errorsBefore = HostWindow::getNumXErrors();
    ASSERT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, window.getHandle()), 1);
    ASSERT_EQ (window.waitForChildWindows (1), 1);

    AudioThread audio (*plugin, 44100.0, false);
    std::atomic<bool> restoring { true };

    std::thread loader ([&]
    {
        for (int round = 0; round < 40; ++round)
        {
            plugin->setChunk (round % 2 == 0 ? stateA : stateB, false);
            audio.waitForBlocks (1);
        }

        restoring = false;
    });

    while (restoring)
    {
        plugin->dispatch (vst::effEditIdle);
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
    }

    loader.join();
    EXPECT_EQ (parameterValues (*plugin), valuesB) << "the last restore did not hold";

    // The editor is still the one in the host's window, and closes and opens as before.
    EXPECT_EQ (window.countChildWindows(), 1);
    plugin->dispatch (vst::effEditClose);
    EXPECT_EQ (window.waitForChildWindows (0), 0);
    EXPECT_EQ (plugin->dispatch (vst::effEditOpen, 0, 0, window.getHandle()), 1);
    EXPECT_EQ (window.waitForChildWindows (1), 1);

    const auto check = audio.stop();
    EXPECT_TRUE (check.isClean()) << check.describe();
    EXPECT_GT (check.peak, 1.0e-3) << check.describe();

    plugin->close();
    EXPECT_EQ (HostWindow::getNumXErrors(), errorsBefore) << "X errors of the plug-in reached the host";
}
