/*
    The test host against a small plug-in linked into the test: entry and magic checks, the
    routing of callbacks to each instance's host, block scheduling, MIDI timing, parameter
    changes inside blocks, transport position, and state chunks.
*/
#include "tools/host/VstPlugin.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace
{
using vsthost::VstHost;
using vsthost::VstPlugin;

/** A plug-in that records what its host does: 2 in, 2 out, 4 parameters; output = input ×
    parameter 0; controller 7 sets parameter 1 and reports it to the host as a gesture. */
struct RecordingPlugin
{
    vst::AEffect effect {};
    vst::HostCallback host = nullptr;
    float parameters[4] { 1.0f, 0.0f, 0.0f, 0.0f };
    std::vector<int> blockSizes;
    std::vector<double> blockPositions;
    std::vector<vst::IntPtr> processLevels;
    std::vector<std::pair<size_t, vst::VstMidiEvent>> events;   // block index, event
    std::vector<vst::IntPtr> mainsCalls;
    float sampleRate = 0.0f;
    vst::IntPtr blockSize = 0;
    std::vector<std::uint8_t> chunk;

    static inline int liveInstances = 0;
    static inline bool breakMagic = false;
    static inline RecordingPlugin* lastCreated = nullptr;

    static RecordingPlugin& of (vst::AEffect* e) { return *reinterpret_cast<RecordingPlugin*> (e); }

    static vst::AEffect* entry (vst::HostCallback callback)
    {
        if (callback (nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;

        auto* p = new RecordingPlugin();
        lastCreated = p;
        ++liveInstances;
        p->host = callback;
        auto& e = p->effect;
        e.magic = breakMagic ? 0 : vst::effectMagic;
        e.dispatcher = dispatch;
        e.setParameter = [] (vst::AEffect* x, vst::int32 i, float v) { if (i >= 0 && i < 4) of (x).parameters[i] = v; };
        e.getParameter = [] (vst::AEffect* x, vst::int32 i) { return i >= 0 && i < 4 ? of (x).parameters[i] : 0.0f; };
        e.processReplacing = processReplacing;
        e.numParams = 4;
        e.numInputs = 2;
        e.numOutputs = 2;
        e.flags = vst::effFlagsCanReplacing | vst::effFlagsProgramChunks;
        e.uniqueID = vst::fourCharCode ('T', 'e', 's', 't');
        return &e;
    }

    static vst::IntPtr dispatch (vst::AEffect* e, vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt)
    {
        auto& p = of (e);

        switch (opcode)
        {
            case vst::effClose:         --liveInstances; delete &p; return 1;
            case vst::effSetSampleRate: p.sampleRate = opt; return 0;
            case vst::effSetBlockSize:  p.blockSize = value; return 0;
            case vst::effMainsChanged:  p.mainsCalls.push_back (value); return 0;
            case vst::effGetEffectName: std::strcpy (static_cast<char*> (ptr), "Recorder"); return 1;

            case vst::effGetChunk:
                p.chunk.assign (reinterpret_cast<std::uint8_t*> (p.parameters),
                                reinterpret_cast<std::uint8_t*> (p.parameters) + (index == 0 ? 16 : 4));
                *static_cast<void**> (ptr) = p.chunk.data();
                return (vst::IntPtr) p.chunk.size();

            case vst::effSetChunk:
                if (value == (index == 0 ? 16 : 4))
                    std::memcpy (p.parameters, ptr, (size_t) value);
                return 1;

            case vst::effProcessEvents:
            {
                auto* list = static_cast<vst::VstEvents*> (ptr);

                for (int i = 0; i < list->numEvents; ++i)
                {
                    auto midi = *reinterpret_cast<vst::VstMidiEvent*> (list->events[i]);
                    p.events.push_back ({ p.blockSizes.size(), midi });

                    if ((midi.midiData[0] & 0xf0) == 0xb0 && midi.midiData[1] == 7)
                    {
                        p.parameters[1] = (float) midi.midiData[2] / 127.0f;
                        p.host (e, vst::audioMasterBeginEdit, 1, 0, nullptr, 0.0f);
                        p.host (e, vst::audioMasterAutomate, 1, 0, nullptr, p.parameters[1]);
                        p.host (e, vst::audioMasterEndEdit, 1, 0, nullptr, 0.0f);
                    }
                }
                return 1;
            }

            default:
                return 0;
        }
    }

    static void processReplacing (vst::AEffect* e, float** in, float** out, vst::int32 n)
    {
        auto& p = of (e);
        auto* time = reinterpret_cast<vst::VstTimeInfo*> (p.host (e, vst::audioMasterGetTime, 0, 0, nullptr, 0.0f));
        p.blockPositions.push_back (time != nullptr ? time->samplePos : -1.0);
        p.processLevels.push_back (p.host (e, vst::audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0.0f));
        p.blockSizes.push_back (n);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < n; ++i)
                out[ch][i] = in[ch][i] * p.parameters[0];
    }
};

struct OpenedRecorder
{
    std::shared_ptr<VstHost> host = std::make_shared<VstHost>();
    std::unique_ptr<VstPlugin> plugin;

    OpenedRecorder()
    {
        std::string error;
        plugin = VstPlugin::openWithEntry (RecordingPlugin::entry, host, error);
        EXPECT_NE (plugin, nullptr) << error;
    }

    RecordingPlugin& recorder() { return RecordingPlugin::of (plugin->getEffect()); }
};

vsthost::AudioData ramp (std::int64_t frames)
{
    auto audio = vsthost::AudioData::silence (2, frames, 48000.0);

    for (std::int64_t i = 0; i < frames; ++i)
        audio.channels[0][(size_t) i] = audio.channels[1][(size_t) i] = 1.0f + (float) i;

    return audio;
}
} // namespace

TEST (VstHostEntry, VersionAnswerMagicAndClose)
{
    std::string error;
    auto refusing = std::make_shared<VstHost>();
    refusing->setVersionAnswer (0);
    EXPECT_EQ (VstPlugin::openWithEntry (RecordingPlugin::entry, refusing, error), nullptr);
    EXPECT_EQ (refusing->getCallCount (vst::audioMasterVersion), 1);
    EXPECT_EQ (RecordingPlugin::liveInstances, 0);

    RecordingPlugin::breakMagic = true;
    EXPECT_EQ (VstPlugin::openWithEntry (RecordingPlugin::entry, std::make_shared<VstHost>(), error), nullptr);
    EXPECT_NE (error.find ("magic"), std::string::npos);
    RecordingPlugin::breakMagic = false;

    // A host cannot close a record without the magic number; the test cleans up after it.
    delete RecordingPlugin::lastCreated;
    RecordingPlugin::liveInstances = 0;

    {
        OpenedRecorder opened;
        ASSERT_NE (opened.plugin, nullptr);
        EXPECT_EQ (opened.plugin->getName(), "Recorder");
        EXPECT_EQ (VstPlugin::uniqueIdToText (opened.plugin->getUniqueId()), "Test");
        EXPECT_FLOAT_EQ (opened.recorder().sampleRate, 44100.0f);
        EXPECT_EQ (opened.recorder().blockSize, 512);
        EXPECT_EQ (RecordingPlugin::liveInstances, 1);

        opened.plugin->setMainsOn (true);
        opened.plugin->close();
        EXPECT_FALSE (opened.plugin->isOpen());
        EXPECT_EQ (RecordingPlugin::liveInstances, 0);
        EXPECT_EQ (opened.plugin->dispatch (vst::effGetVendorVersion), 0);
        EXPECT_EQ (opened.plugin->getNumParameters(), 0);
    }

    EXPECT_EQ (VstPlugin::uniqueIdToText ((vst::int32) 0x01020304), "0x01020304");
}

TEST (VstHostEntry, EachInstanceReportsToItsOwnHost)
{
    OpenedRecorder a, b;
    ASSERT_TRUE (a.plugin != nullptr && b.plugin != nullptr);

    float left[8] {}, right[8] {};
    float* channels[] { left, right };
    a.plugin->process (channels, channels, 8, { VstPlugin::MidiEvent::controlChange (7, 127, 0, 3) });

    const auto automation = a.host->getNotifications (vst::audioMasterAutomate);
    ASSERT_EQ (automation.size(), 1u);
    EXPECT_EQ (automation[0].index, 1);
    EXPECT_FLOAT_EQ (automation[0].value, 1.0f);

    const auto all = a.host->getNotifications();
    ASSERT_EQ (all.size(), 3u);
    EXPECT_EQ (all[0].opcode, vst::audioMasterBeginEdit);
    EXPECT_EQ (all[2].opcode, vst::audioMasterEndEdit);
    EXPECT_TRUE (b.host->getNotifications().empty());

    // Answers given while processing and outside it.
    EXPECT_EQ (a.recorder().processLevels, std::vector<vst::IntPtr> ({ 2 }));
    EXPECT_EQ (VstHost::callback (a.plugin->getEffect(), vst::audioMasterGetCurrentProcessLevel, 0, 0, nullptr, 0), 1);

    a.host->clearNotifications();
    EXPECT_TRUE (a.host->getNotifications().empty());
    EXPECT_EQ (a.host->getCallCount (vst::audioMasterGetTime), 0);
}

TEST (VstHostCallback, AnswersLikeAHost)
{
    VstHost host;
    host.setSampleRate (96000.0);
    host.setBlockSize (256);
    host.setSamplePosition (48000.0);
    host.setTempo (90.0);

    EXPECT_EQ (host.handleCall (nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0), 2400);
    EXPECT_EQ (host.handleCall (nullptr, vst::audioMasterGetSampleRate, 0, 0, nullptr, 0), 96000);
    EXPECT_EQ (host.handleCall (nullptr, vst::audioMasterGetBlockSize, 0, 0, nullptr, 0), 256);

    auto* time = reinterpret_cast<vst::VstTimeInfo*> (host.handleCall (nullptr, vst::audioMasterGetTime, 0, 0, nullptr, 0));
    ASSERT_NE (time, nullptr);
    EXPECT_DOUBLE_EQ (time->samplePos, 48000.0);
    EXPECT_DOUBLE_EQ (time->sampleRate, 96000.0);
    EXPECT_DOUBLE_EQ (time->tempo, 90.0);
    EXPECT_DOUBLE_EQ (time->ppqPos, 0.75);
    EXPECT_NE (time->flags & vst::kVstTempoValid, 0);

    const struct { const char* text; vst::IntPtr answer; } canDos[] = {
        { "sendVstEvents", 1 }, { "sendVstMidiEvent", 1 }, { "sendVstTimeInfo", 1 },
        { "sizeWindow", 0 }, { "", 0 }, { "openFileSelector", 0 } };

    for (auto& c : canDos)
        EXPECT_EQ (host.handleCall (nullptr, vst::audioMasterCanDo, 0, 0, const_cast<char*> (c.text), 0), c.answer) << c.text;

    EXPECT_EQ (host.handleCall (nullptr, vst::audioMasterCanDo, 0, 0, nullptr, 0), 0);

    char vendor[vst::kVstMaxVendorStrLen];
    host.setVendorAndProduct (std::string (100, 'v'), "Product");
    host.handleCall (nullptr, vst::audioMasterGetVendorString, 0, 0, vendor, 0);
    EXPECT_EQ (std::string (vendor), std::string (vst::kVstMaxVendorStrLen - 1, 'v'));
    host.handleCall (nullptr, vst::audioMasterGetProductString, 0, 0, vendor, 0);
    EXPECT_EQ (std::string (vendor), "Product");

    host.setVersionAnswer (0);
    EXPECT_EQ (host.handleCall (nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0), 0);
}

TEST (VstHostCallback, RecordsNotificationsFromManyThreads)
{
    auto host = std::make_shared<VstHost>();
    vst::AEffect effect {};
    VstHost::registerEffect (&effect, host);

    constexpr int numThreads = 8, callsPerThread = 2000;
    std::vector<std::thread> threads;

    for (int t = 0; t < numThreads; ++t)
        threads.emplace_back ([&effect, t]
        {
            for (int i = 0; i < callsPerThread; ++i)
                VstHost::callback (&effect, vst::audioMasterAutomate, t, 0, nullptr, (float) i);
        });

    for (auto& thread : threads)
        thread.join();

    VstHost::callback (&effect, vst::audioMasterUpdateDisplay, 0, 0, nullptr, 0);
    VstHost::callback (&effect, vst::audioMasterIOChanged, 0, 0, nullptr, 0);
    VstHost::unregisterEffect (&effect);
    VstHost::callback (&effect, vst::audioMasterAutomate, 0, 0, nullptr, 0);   // no longer routed here

    const auto automation = host->getNotifications (vst::audioMasterAutomate);
    ASSERT_EQ (automation.size(), (size_t) numThreads * callsPerThread);

    // Each thread's values arrive in its own order.
    std::vector<float> lastValue (numThreads, -1.0f);

    for (auto& n : automation)
    {
        EXPECT_GT (n.value, lastValue[(size_t) n.index]);
        lastValue[(size_t) n.index] = n.value;
    }

    EXPECT_EQ (host->getNotifications (vst::audioMasterUpdateDisplay).size(), 1u);
    EXPECT_EQ (host->getNotifications (vst::audioMasterIOChanged).size(), 1u);
    EXPECT_EQ (host->getCallCount (vst::audioMasterAutomate), numThreads * callsPerThread);
}

TEST (VstHostRender, CyclesBlockSizesAndPlacesEventsAndChanges)
{
    OpenedRecorder opened;
    ASSERT_NE (opened.plugin, nullptr);
    auto& rec = opened.recorder();

    VstPlugin::RenderOptions options;
    options.blockSizes = { 100, 37, 64 };
    options.tailFrames = 20;
    options.parameterChanges = { { 250, 0, 0.5f }, { 0, 0, 2.0f }, { 5000, 0, 0.0f } };
    options.midiEvents = { { 1020, VstPlugin::MidiEvent::noteOn (60, 0) },      // the last frame of the tail
                           { 99, VstPlugin::MidiEvent::noteOn (61, 1) },
                           { 100, VstPlugin::MidiEvent::noteOn (62, 2) },
                           { 300, VstPlugin::MidiEvent::noteOn (63, 3) },
                           { 1021, VstPlugin::MidiEvent::noteOn (64, 4) } };    // past the end: dropped

    vsthost::AudioData output;
    std::string error;
    ASSERT_TRUE (opened.plugin->render (ramp (1001), options, output, error)) << error;

    ASSERT_EQ (output.getNumChannels(), 2);
    ASSERT_EQ (output.getNumFrames(), 1021);
    EXPECT_DOUBLE_EQ (output.sampleRate, 48000.0);
    EXPECT_FLOAT_EQ (rec.sampleRate, 48000.0f);
    EXPECT_EQ (rec.blockSize, 100);
    EXPECT_EQ (rec.mainsCalls, std::vector<vst::IntPtr> ({ 1, 0 }));

    // 100, 37, 64, 100 ... with the block from 201 to 301 cut at the change at 250.
    const std::vector<int> expectedSizes { 100, 37, 64, 49, 51, 37, 64, 100, 37, 64, 100, 37, 64, 100, 37, 64, 16 };
    EXPECT_EQ (rec.blockSizes, expectedSizes);

    std::int64_t start = 0;

    for (size_t i = 0; i < rec.blockSizes.size(); ++i)
    {
        EXPECT_DOUBLE_EQ (rec.blockPositions[i], (double) start) << "block " << i;
        start += rec.blockSizes[i];
    }

    // Gain 2 from the start, 0.5 from sample 250, both exactly; silence in the tail.
    EXPECT_FLOAT_EQ (output.channels[0][0], 2.0f);
    EXPECT_FLOAT_EQ (output.channels[1][249], 2.0f * 250.0f);
    EXPECT_FLOAT_EQ (output.channels[0][250], 0.5f * 251.0f);
    EXPECT_FLOAT_EQ (output.channels[0][1000], 0.5f * 1001.0f);
    EXPECT_FLOAT_EQ (output.channels[0][1001], 0.0f);

    // Events: (block index, deltaFrames, note).
    const std::vector<std::tuple<size_t, int, int>> expectedEvents { { 0, 99, 61 }, { 1, 0, 62 }, { 4, 50, 63 }, { 16, 15, 60 } };
    ASSERT_EQ (rec.events.size(), expectedEvents.size());

    for (size_t i = 0; i < expectedEvents.size(); ++i)
    {
        EXPECT_EQ (rec.events[i].first, std::get<0> (expectedEvents[i]));
        EXPECT_EQ (rec.events[i].second.deltaFrames, std::get<1> (expectedEvents[i]));
        EXPECT_EQ (rec.events[i].second.midiData[1], std::get<2> (expectedEvents[i]));
        EXPECT_EQ (rec.events[i].second.type, vst::kVstMidiType);
        EXPECT_EQ (rec.events[i].second.byteSize, (int) sizeof (vst::VstMidiEvent));
    }
}

TEST (VstHostRender, ChangesAtBlockStartsWhenNotSplittingAndRejectsBadOptions)
{
    OpenedRecorder opened;
    ASSERT_NE (opened.plugin, nullptr);

    VstPlugin::RenderOptions options;
    options.blockSizes = { 64 };
    options.splitBlocksAtParameterChanges = false;
    options.parameterChanges = { { 100, 0, 3.0f } };

    vsthost::AudioData output;
    std::string error;
    auto mono = ramp (200);
    mono.channels.resize (1);
    ASSERT_TRUE (opened.plugin->render (mono, options, output, error)) << error;

    EXPECT_EQ (opened.recorder().blockSizes, std::vector<int> ({ 64, 64, 64, 8 }));
    EXPECT_FLOAT_EQ (output.channels[1][63], 64.0f);          // mono input feeds both inputs
    EXPECT_FLOAT_EQ (output.channels[0][64], 3.0f * 65.0f);   // the change at 100 applies from 64

    const std::vector<std::vector<int>> badBlockSizes { {}, { 0 }, { 64, -1 } };

    for (auto& sizes : badBlockSizes)
    {
        options.blockSizes = sizes;
        EXPECT_FALSE (opened.plugin->render (mono, options, output, error));
    }

    options.blockSizes = { 64 };
    auto uneven = ramp (10);
    uneven.channels[1].pop_back();
    EXPECT_FALSE (opened.plugin->render (uneven, options, output, error));

    auto noRate = ramp (10);
    noRate.sampleRate = 0.0;
    EXPECT_FALSE (opened.plugin->render (noRate, options, output, error));
}

TEST (VstHostState, ChunksRoundTripThroughFiles)
{
    OpenedRecorder opened;
    ASSERT_NE (opened.plugin, nullptr);
    auto& plugin = *opened.plugin;

    const auto folder = ::testing::TempDir() + "velcroft_chunks_" + std::to_string (getpid());
    ASSERT_EQ (system (("mkdir -p '" + folder + "'").c_str()), 0);
    const auto bankFile = folder + "/bank.bin", programFile = folder + "/program.bin";

    for (int i = 0; i < 4; ++i)
        plugin.setParameter (i, 0.1f * (float) (i + 1));

    std::string error;
    ASSERT_TRUE (plugin.saveChunk (bankFile, false, error)) << error;
    ASSERT_TRUE (plugin.saveChunk (programFile, true, error)) << error;
    EXPECT_EQ (plugin.getChunk (false).size(), 16u);
    EXPECT_EQ (plugin.getChunk (true).size(), 4u);

    for (int i = 0; i < 4; ++i)
        plugin.setParameter (i, 0.9f);

    ASSERT_TRUE (plugin.loadChunk (programFile, true, error)) << error;
    EXPECT_FLOAT_EQ (plugin.getParameter (0), 0.1f);
    EXPECT_FLOAT_EQ (plugin.getParameter (3), 0.9f);

    ASSERT_TRUE (plugin.loadChunk (bankFile, false, error)) << error;
    EXPECT_FLOAT_EQ (plugin.getParameter (3), 0.4f);

    // Missing and empty files are refused and change nothing.
    EXPECT_FALSE (plugin.loadChunk (folder + "/missing.bin", false, error));
    ASSERT_EQ (system (("touch '" + folder + "/empty.bin'").c_str()), 0);
    EXPECT_FALSE (plugin.loadChunk (folder + "/empty.bin", false, error));
    EXPECT_FALSE (plugin.loadChunk (folder, false, error));
    EXPECT_FLOAT_EQ (plugin.getParameter (3), 0.4f);

    // A save into a folder that does not exist fails and leaves no file behind.
    EXPECT_FALSE (plugin.saveChunk (folder + "/no/such/folder/bank.bin", false, error));

    std::remove (bankFile.c_str());
    std::remove (programFile.c_str());
    std::remove ((folder + "/empty.bin").c_str());
    rmdir (folder.c_str());
}
