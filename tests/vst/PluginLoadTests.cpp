/*
    The built Velcroft.so loaded with dlopen and driven through the VST 2.4 record, as a
    host does.
*/
#include "VelcroftTestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

using vsthost::VstHost;
using vsthost::VstLibrary;
using vsthost::VstPlugin;

namespace
{
vst::IntPtr bareHost (vst::AEffect*, vst::int32 opcode, vst::int32, vst::IntPtr, void*, float)
{
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

/** Run in a child process: an instance processes without pause on a thread of its own while
    the main thread calls exit. Straight through the record, with a host callback that keeps no
    state, so that the only static destructors the audio thread can meet are the plug-in's. */
[[noreturn]] void exitWhileProcessing()
{
    // A hang at exit ends the child by this alarm, which the parent sees as a failure.
    alarm (30);

    auto* library = dlopen (VELCROFT_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    auto* entry = library != nullptr ? reinterpret_cast<vst::PluginEntryProc> (dlsym (library, "VSTPluginMain")) : nullptr;
    auto* effect = entry != nullptr ? entry (bareHost) : nullptr;

    if (effect == nullptr)
        std::_Exit (3);

    // At 48 kHz the rate converters run too, and the crusher reads its shared tables.
    effect->dispatcher (effect, vst::effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher (effect, vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher (effect, vst::effSetBlockSize, 0, 256, nullptr, 0.0f);
    effect->dispatcher (effect, vst::effMainsChanged, 0, 1, nullptr, 0.0f);

    static std::atomic<int> blocksDone { 0 };

    std::thread ([effect]
    {
        float left[256], right[256];
        float* channels[] = { left, right };

        for (int block = 0;; ++block)
        {
            for (int i = 0; i < 256; ++i)
                left[i] = right[i] = 0.8f * (float) std::sin (0.05 * (block * 256 + i));

            effect->processReplacing (effect, channels, channels, 256);
            blocksDone.fetch_add (1);
        }
    }).detach();

    while (blocksDone.load() < 20)
        std::this_thread::yield();

    std::exit (0);
}
} // namespace

TEST (PluginLibrary, ExportsTheEntryPointAlone)
{
    auto* lib = dlopen (VELCROFT_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE (lib, nullptr) << dlerror();
    EXPECT_NE (dlsym (lib, "VSTPluginMain"), nullptr);

    for (auto* hidden : { "main", "createPluginFilter", "_ZN4juce6String5emptyE", "pluginEntryPoint" })
        EXPECT_EQ (dlsym (lib, hidden), nullptr) << hidden;

    dlclose (lib);
}

TEST (PluginLibrary, DescribesItselfToTheHost)
{
    auto library = velcroft_vst_test::loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = velcroft_vst_test::openInstance (library);
    ASSERT_NE (plugin, nullptr);

    auto* effect = plugin->getEffect();
    EXPECT_EQ (effect->magic, vst::fourCharCode ('V', 's', 't', 'P'));
    EXPECT_EQ (effect->flags, 49);
    EXPECT_EQ (effect->numPrograms, 0);
    EXPECT_EQ (effect->numParams, VelcroftParameters::numParameters);
    EXPECT_EQ (effect->numInputs, 2);
    EXPECT_EQ (effect->numOutputs, 2);
    EXPECT_EQ (effect->initialDelay, 0);
    EXPECT_EQ (VstPlugin::uniqueIdToText (effect->uniqueID), "VLm4");
    EXPECT_EQ (effect->uniqueID, 0x564c6d34);
    EXPECT_EQ (effect->version, 0x10301);
    EXPECT_EQ (plugin->getVendorVersion(), 0x10301);
    EXPECT_EQ (plugin->getVstVersion(), 2400);

    EXPECT_EQ (plugin->getName(), "Velcroft");
    EXPECT_EQ (plugin->getProduct(), "Velcroft");
    EXPECT_EQ (plugin->getVendor(), "Kestrom Audio Works");

    // Texts stay inside the interface's limits: nothing is written past them.
    char buffer[128];
    std::memset (buffer, 0x7f, sizeof (buffer));
    effect->dispatcher (effect, vst::effGetVendorString, 0, 0, buffer, 0);
    EXPECT_EQ (buffer[sizeof ("Kestrom Audio Works")], 0x7f);

    for (int i = 0; i < VelcroftParameters::numParameters; ++i)
    {
        std::memset (buffer, 0x7f, sizeof (buffer));
        effect->dispatcher (effect, vst::effGetParamName, i, 0, buffer, 0);
        EXPECT_LT (std::strlen (buffer), 16u);
        EXPECT_EQ (buffer[16], 0x7f);
        std::memset (buffer, 0x7f, sizeof (buffer));
        effect->dispatcher (effect, vst::effGetParamDisplay, i, 0, buffer, 0);
        EXPECT_LT (std::strlen (buffer), 24u);
        EXPECT_EQ (buffer[24], 0x7f);
    }

    EXPECT_EQ (plugin->getParameterName (VelcroftParameters::preamp), "Preamp");
    EXPECT_EQ (plugin->getParameterName (VelcroftParameters::leftReso), "Left Reso/Bandw") << "cut to 15 characters";
    EXPECT_EQ (plugin->getParameterName (VelcroftParameters::rightFilterOrder), "Right Filter Or");
    EXPECT_EQ (plugin->getParameterName (18), "");

    const std::pair<const char*, int> canDo[] = {
        { "receiveVstEvents", 1 }, { "receiveVstMidiEvent", 1 }, { "receiveVstMidiEvents", 1 },
        { "receiveVstTimeInfo", 1 }, { "conformsToWindowRules", 1 }, { "sendVstEvents", -1 },
        { "sendVstMidiEvent", -1 }, { "sendVstMidiEvents", -1 }, { "openCloseAnyThread", -1 },
        { "offline", 0 }, { "somethingElse", 0 }
    };

    for (auto& [text, answer] : canDo)
        EXPECT_EQ (plugin->canDo (text), answer) << text;

    // There are no VST programs: setting one, even a negative one, changes nothing.
    for (auto program : { 1, -1, 5 })
    {
        plugin->setProgram (program);
        EXPECT_EQ (plugin->getProgram(), 0);
    }
}

TEST (PluginLibrary, CloseAnswersOneAndAHostWithoutVersionGetsNoPlugin)
{
    auto library = velcroft_vst_test::loadLibrary();
    ASSERT_NE (library, nullptr);

    VstHost host;
    vst::AEffect* effect = nullptr;
    {
        const VstHost::ScopedCreation creation (host);
        effect = library->getEntry() (&VstHost::callback);
    }
    ASSERT_NE (effect, nullptr);
    EXPECT_EQ (effect->dispatcher (effect, vst::effClose, 0, 0, nullptr, 0), 1);

    auto refusing = std::make_shared<VstHost>();
    refusing->setVersionAnswer (0);
    std::string error;
    EXPECT_EQ (VstPlugin::open (library, refusing, error), nullptr);
}

TEST (PluginLibrary, RunsTwoInstancesAtOnce)
{
    auto library = velcroft_vst_test::loadLibrary();
    ASSERT_NE (library, nullptr);

    auto first = velcroft_vst_test::openInstance (library);
    auto second = velcroft_vst_test::openInstance (library);
    ASSERT_TRUE (first != nullptr && second != nullptr);

    first->setParameter (VelcroftParameters::outputVolume, 0.25f);
    second->setParameter (VelcroftParameters::outputVolume, 0.75f);
    EXPECT_EQ (first->getParameter (VelcroftParameters::outputVolume), 0.25f);
    EXPECT_EQ (second->getParameter (VelcroftParameters::outputVolume), 0.75f);

    std::vector<float> left (256, 0.5f), right (256, -0.5f), outLeft (256), outRight (256);
    const float* inputs[] = { left.data(), right.data() };
    float* outputs[] = { outLeft.data(), outRight.data() };

    for (auto* p : { first.get(), second.get() })
    {
        p->setMainsOn (true);
        p->process (inputs, outputs, 256);
    }

    first->close();
    EXPECT_EQ (second->getParameter (VelcroftParameters::outputVolume), 0.75f) << "closing one instance leaves the other working";
    second->process (inputs, outputs, 256);
    second->close();
}

TEST (PluginLibrary, LoadsAndUnloadsRepeatedlyWithoutLeavingThreads)
{
    // A first thread of our own: runtimes that start a thread of theirs with the first one
    // (ThreadSanitizer does) are then in the count before.
    std::thread ([] {}).join();
    const auto threadsBefore = velcroft_vst_test::countThreads();

    for (int round = 0; round < 3; ++round)
    {
        auto library = velcroft_vst_test::loadLibrary();
        ASSERT_NE (library, nullptr);

        {
            auto a = velcroft_vst_test::openInstance (library);
            auto b = velcroft_vst_test::openInstance (library);
            ASSERT_TRUE (a != nullptr && b != nullptr);

            std::vector<float> samples (64, 0.1f);
            float* channels[] = { samples.data(), samples.data() };
            a->setMainsOn (true);
            a->process (channels, channels, 64);

            // Close in the order they were not opened in.
            a->close();
            b->close();
        }

        EXPECT_EQ (library->getNumOpenInstances(), 0);
        ASSERT_TRUE (library->unload());
        EXPECT_EQ (velcroft_vst_test::countThreads(), threadsBefore) << "round " << round;
    }

    // The library really went away, so a new load runs its initialisers again.
    EXPECT_EQ (dlopen (VELCROFT_PLUGIN_PATH, RTLD_NOW | RTLD_NOLOAD), nullptr);
}

TEST (PluginLibrary, LetsTheHostExitWhileItsAudioThreadProcesses)
{
    // The child is this program started afresh rather than a bare fork, which the sanitizers'
    // own threads would not survive. A race: a few rounds.
    GTEST_FLAG_SET (death_test_style, "threadsafe");

    for (int round = 0; round < 5; ++round)
        EXPECT_EXIT (exitWhileProcessing(), ::testing::ExitedWithCode (0), "") << "round " << round;
}

TEST (PluginLibrary, AnIdleInstanceLeavesTheProcessAsleep)
{
    // Only the threads the plug-in starts count, not this test's own sleeps, nor the thread a
    // sanitizer's runtime starts with the first thread the process makes.
    std::thread ([] {}).join();
    const auto earlierThreads = velcroft_vst_test::threadIds();
    auto library = velcroft_vst_test::loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = velcroft_vst_test::openInstance (library);
    ASSERT_NE (plugin, nullptr);
    plugin->setMainsOn (true);

    // A thread that polls its queue wakes hundreds of times a second whatever the machine's
    // load, one that blocks until there is work about never; JUCE's timer thread, once any
    // timer has run, wakes ten times a second for good: an editor nobody has opened starts none.
    // What opening posted may take seconds on a loaded machine under a sanitizer, and a
    // sanitizer's runtime wakes now and then: the quietest of up to 20 seconds counts.
    const auto sleep = [] (int ms) { std::this_thread::sleep_for (std::chrono::milliseconds (ms)); };
    const auto wakeUps = velcroft_vst_test::fewestWakeUpsInASecond (sleep, 6, 20, earlierThreads);
    EXPECT_LT (wakeUps, 6) << "the plug-in's threads woke at least " << wakeUps << " times in every second";

    plugin->close();
}
