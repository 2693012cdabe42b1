/*
    The validator sweep, part one: the plug-in's life cycle, its identity, its parameters and
    its (absent) programs, each driven through the VST 2.4 interface alone.
*/
#include "ValidationSupport.h"

#include <dlfcn.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <thread>

using namespace ValidationSupport;
using vsthost::VstHost;
using vsthost::VstPlugin;

namespace
{
/** The thread count once it has come down to the expected one, or after a bounded wait: the
    plug-in's threads are told to stop and waited for, but the system lists a finished thread a
    moment longer. */
int settledThreadCount (int expected)
{
    auto count = countThreads();

    for (int i = 0; i < 400 && count != expected; ++i)
    {
        std::this_thread::sleep_for (std::chrono::milliseconds (5));
        count = countThreads();
    }

    return count;
}

/** What must not change from one instance to the next. */
struct Identity
{
    vst::int32 magic, uniqueId, version, flags, numPrograms, numParams, numInputs, numOutputs, initialDelay;
    std::string name, vendor, product;
    std::vector<float> values;

    static Identity of (VstPlugin& p)
    {
        auto* e = p.getEffect();
        return { e->magic, e->uniqueID, e->version, e->flags, e->numPrograms, e->numParams, e->numInputs,
                 e->numOutputs, e->initialDelay, p.getName(), p.getVendor(), p.getProduct(), parameterValues (p) };
    }

    bool operator== (const Identity& o) const
    {
        return magic == o.magic && uniqueId == o.uniqueId && version == o.version && flags == o.flags
            && numPrograms == o.numPrograms && numParams == o.numParams && numInputs == o.numInputs
            && numOutputs == o.numOutputs && initialDelay == o.initialDelay && name == o.name
            && vendor == o.vendor && product == o.product && values == o.values;
    }
};

/** Processes a few blocks, so that an instance has run before it is closed. */
void runBriefly (VstPlugin& plugin)
{
    TestSignal signal (44100.0);
    plugin.setMainsOn (true);
    const auto check = processSignal (plugin, signal, 1024, { 256 });
    EXPECT_TRUE (check.isClean()) << check.describe();
}

const vst::int32 badIndices[] = { -1, 18, 19, 127, 128, 1000000, INT_MIN, INT_MAX };
} // namespace

TEST (Validation, OpensAndClosesColdAndWarmManyTimes)
{
    // A first thread of our own: runtimes that start a thread of theirs with the first one
    // (ThreadSanitizer does) are then in the count before.
    std::thread ([] {}).join();
    const auto threadsBefore = countThreads();
    std::unique_ptr<Identity> first;

    // Cold: the library is loaded for each instance and unloaded after it, so JUCE and the
    // plug-in's message thread start and stop every time.
    for (int round = 0; round < 20; ++round)
    {
        auto library = loadLibrary();
        ASSERT_NE (library, nullptr);
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr) << "cold round " << round;

        const auto identity = Identity::of (*plugin);

        if (first == nullptr)
            first = std::make_unique<Identity> (identity);

        EXPECT_TRUE (identity == *first) << "cold round " << round;

        if (round % 2 == 1)
            runBriefly (*plugin);

        plugin->close();
        ASSERT_TRUE (library->unload());
        EXPECT_EQ (dlopen (pluginPath().c_str(), RTLD_NOW | RTLD_NOLOAD), nullptr) << "cold round " << round;
        EXPECT_EQ (settledThreadCount (threadsBefore), threadsBefore) << "cold round " << round;
    }

    // Warm: the library stays loaded; instances come and go, one at a time and several at once,
    // closed in another order than they were opened in.
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);

    for (int round = 0; round < 20; ++round)
    {
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr) << "warm round " << round;
        EXPECT_TRUE (Identity::of (*plugin) == *first) << "warm round " << round;

        if (round % 4 == 0)
            runBriefly (*plugin);

        if (round % 5 == 0)
        {
            auto second = openInstance (library);
            auto third = openInstance (library);
            ASSERT_TRUE (second != nullptr && third != nullptr);
            EXPECT_TRUE (Identity::of (*third) == *first) << "warm round " << round;
            second->close();
            runBriefly (*third);
            plugin->close();
            third->close();
        }

        plugin->close();
        EXPECT_EQ (library->getNumOpenInstances(), 0);
    }

    ASSERT_TRUE (library->unload());
    EXPECT_EQ (settledThreadCount (threadsBefore), threadsBefore);
}

TEST (Validation, ReportsEveryParameterAndAnswersBadIndicesNeutrally)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto host = std::make_shared<VstHost>();
    auto plugin = openInstance (library, host);
    ASSERT_NE (plugin, nullptr);
    ASSERT_EQ (plugin->getNumParameters(), numParameters);

    std::set<std::string> names;

    for (int i = 0; i < numParameters; ++i)
    {
        const auto name = plugin->getParameterName (i);
        EXPECT_FALSE (name.empty()) << i;
        EXPECT_TRUE (names.insert (name).second) << "two parameters are named " << name;
        EXPECT_TRUE (plugin->canBeAutomated (i)) << name;
        EXPECT_EQ (plugin->getParameterLabel (i), "") << name;

        const auto initial = plugin->getParameter (i);
        EXPECT_TRUE (initial >= 0.0f && initial <= 1.0f) << name << " starts at " << initial;

        // Every value reads back exactly and has a text that fits the host's buffer.
        for (auto value : { 0.0f, 1.0f, 0.5f, 0.25f, 0.75f, 0.123456f, 0.999f, 0.001f, initial })
        {
            plugin->setParameter (i, value);
            EXPECT_EQ (plugin->getParameter (i), value) << name;

            const auto display = plugin->getParameterDisplay (i);
            EXPECT_FALSE (display.empty()) << name << " at " << value;
            EXPECT_LT (display.size(), 24u) << name << " at " << value << ": " << display;
        }
    }

    // Out-of-range indices answer 0 and empty texts, and setting them changes nothing.
    const auto values = parameterValues (*plugin);

    for (auto index : badIndices)
    {
        EXPECT_EQ (plugin->getParameter (index), 0.0f) << index;
        EXPECT_EQ (plugin->getParameterName (index), "") << index;
        EXPECT_EQ (plugin->getParameterDisplay (index), "") << index;
        EXPECT_EQ (plugin->getParameterLabel (index), "") << index;
        EXPECT_FALSE (plugin->canBeAutomated (index)) << index;

        plugin->setParameter (index, 0.7f);
        EXPECT_EQ (plugin->getParameter (index), 0.0f) << index;
        EXPECT_EQ (parameterValues (*plugin), values) << "setting parameter " << index;
    }

    // The host's own changes are not reported back to it as automation.
    EXPECT_TRUE (host->getNotifications (vst::audioMasterAutomate).empty());
}

TEST (Validation, HasNoProgramsAndAnswersProgramCallsNeutrally)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    EXPECT_EQ (plugin->getNumPrograms(), 0);
    EXPECT_EQ (plugin->getProgram(), 0);

    const auto state = plugin->getChunk (false);
    const auto values = parameterValues (*plugin);
    ASSERT_FALSE (state.empty());

    for (auto program : { 0, 1, -1, 5, 127, 128, 1000000, INT_MIN })
    {
        plugin->setProgram (program);
        EXPECT_EQ (plugin->getProgram(), 0) << program;
        EXPECT_EQ (plugin->getProgramName (program), "") << program;
    }

    char name[64] = "Renamed";
    plugin->dispatch (vst::effSetProgramName, 0, 0, name);
    EXPECT_EQ (plugin->getProgramName(), "");

    plugin->dispatch (vst::effBeginSetProgram);
    plugin->setProgram (3);
    plugin->dispatch (vst::effEndSetProgram);
    EXPECT_EQ (plugin->getProgram(), 0);

    // None of it touched the parameters or the state the host keeps.
    EXPECT_EQ (parameterValues (*plugin), values);
    EXPECT_EQ (plugin->getChunk (false), state);
}

TEST (Validation, AnswersEveryOpcodeWithoutHarm)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    const auto state = plugin->getChunk (false);
    const auto values = parameterValues (*plugin);
    alignas (16) unsigned char buffer[4096] {};

    // Every opcode of the interface and beyond it, with no pointer and with a zeroed buffer,
    // except those that close the instance or take a real window (the editor test has them).
    for (auto withBuffer : { false, true })
    {
        for (vst::int32 opcode = -5; opcode < 140; ++opcode)
        {
            if (opcode == vst::effClose || opcode == vst::effEditOpen)
                continue;

            std::fill (std::begin (buffer), std::end (buffer), 0);
            plugin->dispatch (opcode, 0, 0, withBuffer ? buffer : nullptr, 0.0f);
        }
    }

    for (auto opcode : { 1000, 65535, INT_MAX, INT_MIN })
        plugin->dispatch (opcode, 0, 0, buffer, 0.0f);

    // The sweep set the rate and the block size to 0 and suspended the instance: a host that
    // then sets them properly gets a working plug-in with its parameters and state as they were.
    EXPECT_EQ (parameterValues (*plugin), values);
    EXPECT_EQ (plugin->getChunk (false), state);

    plugin->setSampleRate (44100.0);
    plugin->setBlockSize (512);
    plugin->setMainsOn (true);
    TestSignal signal (44100.0);
    const auto check = processSignal (*plugin, signal, 4096, { 512 });
    EXPECT_TRUE (check.isClean()) << check.describe();
    EXPECT_GT (check.peak, 1.0e-3) << check.describe();
}

TEST (Validation, RestoresItsStateToTheSameBytes)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    std::mt19937 random (17);

    for (int i = 0; i < numParameters; ++i)
        plugin->setParameter (i, std::uniform_real_distribution<float> (0.0f, 1.0f) (random));

    plugin->setMainsOn (true);
    TestSignal signal (44100.0);
    processSignal (*plugin, signal, 4096, { 512 });

    for (auto programOnly : { false, true })
    {
        const auto chunk = plugin->getChunk (programOnly);
        ASSERT_FALSE (chunk.empty());
        EXPECT_EQ (plugin->getChunk (programOnly), chunk) << "taken twice";

        // Processing does not change the state.
        processSignal (*plugin, signal, 4096, { 512 });
        EXPECT_EQ (plugin->getChunk (programOnly), chunk) << "after processing";

        // Restored into the same instance and into a fresh one, it reads back byte for byte.
        plugin->setChunk (chunk, programOnly);
        EXPECT_EQ (plugin->getChunk (programOnly), chunk) << "restored into the same instance";

        // A host may hand back the very buffer effGetChunk gave it, without a copy of its own.
        void* handedOut = nullptr;
        const auto size = plugin->dispatch (vst::effGetChunk, programOnly ? 1 : 0, 0, &handedOut);
        ASSERT_TRUE (handedOut != nullptr && size > 0);
        const auto values = parameterValues (*plugin);
        plugin->setParameter (15, values[15] < 0.5f ? 0.9f : 0.1f);
        plugin->dispatch (vst::effSetChunk, programOnly ? 1 : 0, size, handedOut);
        EXPECT_EQ (parameterValues (*plugin), values) << "restored from the buffer the plug-in handed out, program only: " << programOnly;
        EXPECT_EQ (plugin->getChunk (programOnly), chunk) << "restored from the buffer the plug-in handed out, program only: " << programOnly;

        auto fresh = openInstance (library);
        ASSERT_NE (fresh, nullptr);
        fresh->setChunk (chunk, programOnly);
        EXPECT_EQ (fresh->getChunk (programOnly), chunk) << "restored into a fresh instance";

        if (! programOnly)
            EXPECT_EQ (parameterValues (*fresh), parameterValues (*plugin));
    }
}
