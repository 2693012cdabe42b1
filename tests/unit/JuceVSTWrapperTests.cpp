#include "host/JuceVSTWrapper.h"

#include <gtest/gtest.h>

#include <vector>

namespace wrappertests
{
struct HostCall
{
    vst::int32 opcode, index;
    vst::IntPtr value;
    float opt;
};

std::vector<HostCall> hostCalls;

vst::IntPtr recordingHost (vst::AEffect*, vst::int32 opcode, vst::int32 index, vst::IntPtr value, void*, float opt)
{
    hostCalls.push_back ({ opcode, index, value, opt });
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

struct ProcessorLog
{
    int prepared = 0, released = 0;
    double preparedRate = 0;
    int preparedBlock = 0;
    std::vector<std::pair<int, int>> midi;   // (sample position, first byte)
    std::vector<float> firstInputSamples;
    juce::String lastStateSet, lastProgramSet;
    bool destroyed = false;
};

class FakeProcessor final : public juce::AudioProcessor, public HostedProcessor
{
public:
    explicit FakeProcessor (ProcessorLog& l)
        : juce::AudioProcessor (BusesProperties().withInput ("In", juce::AudioChannelSet::stereo(), true)
                                                 .withOutput ("Out", juce::AudioChannelSet::stereo(), true)),
          log (l)
    {
        setLatencySamples (7);
    }

    ~FakeProcessor() override { log.destroyed = true; }

    const juce::String getName() const override { return "FakeProcessorWithAVeryLongNameIndeed"; }
    void prepareToPlay (double rate, int block) override  { ++log.prepared; log.preparedRate = rate; log.preparedBlock = block; }
    void releaseResources() override                      { ++log.released; }

    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override
    {
        for (const auto m : midi)
            log.midi.push_back ({ m.samplePosition, (int) m.data[0] });

        log.firstInputSamples.push_back (buffer.getSample (0, 0));
        buffer.applyGain (2.0f);
    }

    double getTailLengthSeconds() const override { return 0; }
    bool acceptsMidi() const override { return true; }
    bool producesMidi() const override { return false; }
    bool hasEditor() const override { return true; }

    juce::AudioProcessorEditor* createEditor() override
    {
        struct Editor final : juce::AudioProcessorEditor
        {
            explicit Editor (juce::AudioProcessor& p) : juce::AudioProcessorEditor (p) { setSize (320, 200); }
        };
        return new Editor (*this);
    }

    int getNumPrograms() override { return 0; }
    int getCurrentProgram() override { return 0; }
    void setCurrentProgram (int) override {}
    const juce::String getProgramName (int) override { return {}; }
    void changeProgramName (int, const juce::String&) override {}

    void getStateInformation (juce::MemoryBlock& m) override                 { m.append ("state", 5); }
    void setStateInformation (const void* d, int n) override                 { log.lastStateSet = juce::String ((const char*) d, (size_t) n); }
    void getCurrentProgramStateInformation (juce::MemoryBlock& m) override   { m.append ("prog", 4); }
    void setCurrentProgramStateInformation (const void* d, int n) override   { log.lastProgramSet = juce::String ((const char*) d, (size_t) n); }

    int getNumHostParameters() override                 { return 4; }
    float getHostParameter (int i) override             { return juce::isPositiveAndBelow (i, 4) ? values[(size_t) i] : 0.0f; }
    void setHostParameter (int i, float v) override     { if (juce::isPositiveAndBelow (i, 4)) values[(size_t) i] = v; }
    juce::String getHostParameterName (int i) override  { return "Parameter number " + juce::String (i); }
    juce::String getHostParameterText (int i) override  { return juce::String (getHostParameter (i), 9) + " units of something"; }
    bool isHostParameterAutomatable (int i) override    { return i == 1; }
    int getVstUniqueId() override                       { return vst::fourCharCode ('T', 'e', 's', 't'); }
    int getVstVendorVersion() override                  { return 0x10203; }
    juce::String getVendorName() override               { return "Tester"; }

    std::array<float, 4> values {};
    ProcessorLog& log;
};

struct Instance
{
    Instance()
    {
        hostCalls.clear();
        auto processor = std::make_unique<FakeProcessor> (log);
        fake = processor.get();
        effect = (new JuceVSTWrapper (recordingHost, std::move (processor)))->getAeffect();
    }

    ~Instance()
    {
        if (effect != nullptr)
            close();
    }

    vst::IntPtr dispatch (vst::int32 opcode, vst::int32 index = 0, vst::IntPtr value = 0, void* ptr = nullptr, float opt = 0)
    {
        return effect->dispatcher (effect, opcode, index, value, ptr, opt);
    }

    vst::IntPtr close()
    {
        auto result = dispatch (vst::effClose);
        effect = nullptr;
        return result;
    }

    void process (std::vector<float>& left, std::vector<float>& right)
    {
        float* channels[] = { left.data(), right.data() };
        effect->processReplacing (effect, channels, channels, (vst::int32) left.size());
    }

    ProcessorLog log;
    FakeProcessor* fake = nullptr;
    vst::AEffect* effect = nullptr;
};

vst::VstMidiEvent midiEvent (int delta, int status, int data1, int data2)
{
    vst::VstMidiEvent e {};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof (e);
    e.deltaFrames = delta;
    e.midiData[0] = (char) status;
    e.midiData[1] = (char) data1;
    e.midiData[2] = (char) data2;
    return e;
}
} // namespace wrappertests

using namespace wrappertests;

TEST (JuceVSTWrapper, FillsTheRecordFromTheProcessor)
{
    Instance plugin;
    auto* e = plugin.effect;

    EXPECT_EQ (e->magic, vst::effectMagic);
    EXPECT_EQ (e->numPrograms, 0);
    EXPECT_EQ (e->numParams, 4);
    EXPECT_EQ (e->numInputs, 2);
    EXPECT_EQ (e->numOutputs, 2);
    EXPECT_EQ (e->flags, vst::effFlagsHasEditor | vst::effFlagsCanReplacing | vst::effFlagsProgramChunks);
    EXPECT_EQ (e->initialDelay, 7);
    EXPECT_EQ (e->uniqueID, vst::fourCharCode ('T', 'e', 's', 't'));
    EXPECT_EQ (e->version, 0x10203);
    EXPECT_EQ (plugin.dispatch (vst::effGetVendorVersion), 0x10203);
    EXPECT_EQ (plugin.dispatch (vst::effGetPlugCategory), vst::kPlugCategEffect);

    char text[100];
    std::memset (text, 'x', sizeof (text));
    plugin.dispatch (vst::effGetEffectName, 0, 0, text);
    EXPECT_STREQ (text, juce::String ("FakeProcessorWithAVeryLongNameIndeed").substring (0, vst::kVstMaxEffectNameLen - 1).toRawUTF8());
    plugin.dispatch (vst::effGetVendorString, 0, 0, text);
    EXPECT_STREQ (text, "Tester");
    EXPECT_EQ (plugin.dispatch (vst::effGetEffectName), 0) << "a null text pointer is refused";
}

TEST (JuceVSTWrapper, RoutesParameterCallsToTheHostSlots)
{
    Instance plugin;
    auto* e = plugin.effect;

    e->setParameter (e, 2, 0.25f);
    EXPECT_EQ (plugin.fake->values[2], 0.25f);
    EXPECT_EQ (e->getParameter (e, 2), 0.25f);

    char text[64];
    std::memset (text, 'x', sizeof (text));
    plugin.dispatch (vst::effGetParamName, 3, 0, text);
    EXPECT_STREQ (text, "Parameter numbe") << "names are cut to 15 characters";
    plugin.dispatch (vst::effGetParamDisplay, 2, 0, text);
    EXPECT_STREQ (text, "0.250000000 units of so") << "display texts are cut to 23 characters";
    plugin.dispatch (vst::effGetParamLabel, 2, 0, text);
    EXPECT_STREQ (text, "");

    EXPECT_EQ (plugin.dispatch (vst::effCanBeAutomated, 1), 1);
    EXPECT_EQ (plugin.dispatch (vst::effCanBeAutomated, 0), 0);

    for (auto op : { vst::effGetParamName, vst::effGetParamDisplay, vst::effGetParamLabel })
        EXPECT_EQ (plugin.dispatch (op, 1, 0, nullptr), 0);
}

TEST (JuceVSTWrapper, ReportsChangesToTheHost)
{
    Instance plugin;
    hostCalls.clear();

    auto* notifier = plugin.fake->getHostNotifier();
    ASSERT_NE (notifier, nullptr);
    notifier->hostBeginEdit (3);
    notifier->hostAutomate (3, 0.75f);
    notifier->hostEndEdit (3);
    notifier->hostUpdateDisplay();

    ASSERT_EQ (hostCalls.size(), 4u);
    EXPECT_EQ (hostCalls[0].opcode, vst::audioMasterBeginEdit);
    EXPECT_EQ (hostCalls[0].index, 3);
    EXPECT_EQ (hostCalls[1].opcode, vst::audioMasterAutomate);
    EXPECT_EQ (hostCalls[1].index, 3);
    EXPECT_EQ (hostCalls[1].opt, 0.75f);
    EXPECT_EQ (hostCalls[2].opcode, vst::audioMasterEndEdit);
    EXPECT_EQ (hostCalls[3].opcode, vst::audioMasterUpdateDisplay);

    plugin.close();
    EXPECT_TRUE (plugin.log.destroyed);
}

TEST (JuceVSTWrapper, HandsChunksToTheStateOperations)
{
    Instance plugin;
    void* data = nullptr;

    ASSERT_EQ (plugin.dispatch (vst::effGetChunk, 0, 0, &data), 5);
    EXPECT_EQ (std::memcmp (data, "state", 5), 0);
    ASSERT_EQ (plugin.dispatch (vst::effGetChunk, 1, 0, &data), 4);
    EXPECT_EQ (std::memcmp (data, "prog", 4), 0);
    EXPECT_EQ (plugin.dispatch (vst::effGetChunk, 0, 0, nullptr), 0);

    char bank[] = "bank!", program[] = "preset";
    plugin.dispatch (vst::effSetChunk, 0, 5, bank);
    plugin.dispatch (vst::effSetChunk, 1, 6, program);
    EXPECT_EQ (plugin.log.lastStateSet, "bank!");
    EXPECT_EQ (plugin.log.lastProgramSet, "preset");

    plugin.dispatch (vst::effSetChunk, 0, 0, program);
    plugin.dispatch (vst::effSetChunk, 0, -3, program);
    plugin.dispatch (vst::effSetChunk, 0, 5, nullptr);
    EXPECT_EQ (plugin.log.lastStateSet, "bank!") << "empty, negative and null chunks are ignored";
}

TEST (JuceVSTWrapper, PreparesOnResumeAndWhenTheRateChanges)
{
    Instance plugin;

    plugin.dispatch (vst::effSetSampleRate, 0, 0, nullptr, 96000.0f);
    plugin.dispatch (vst::effSetBlockSize, 0, 256);
    EXPECT_EQ (plugin.log.prepared, 0);

    plugin.dispatch (vst::effMainsChanged, 0, 1);
    EXPECT_EQ (plugin.log.prepared, 1);
    EXPECT_EQ (plugin.log.preparedRate, 96000.0);
    EXPECT_EQ (plugin.log.preparedBlock, 256);

    plugin.dispatch (vst::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    EXPECT_EQ (plugin.log.prepared, 2) << "a rate change while running prepares again";
    EXPECT_EQ (plugin.log.preparedRate, 48000.0);

    plugin.dispatch (vst::effMainsChanged, 0, 0);
    plugin.dispatch (vst::effMainsChanged, 0, 0);
    EXPECT_EQ (plugin.log.released, 1);
}

TEST (JuceVSTWrapper, ProcessesAudioWithTheQueuedMidiEvents)
{
    Instance plugin;
    std::vector<float> left (64, 0.5f), right (64, -0.25f);

    // Processing without effMainsChanged prepares the processor first.
    plugin.process (left, right);
    EXPECT_EQ (plugin.log.prepared, 1);
    EXPECT_EQ (left[10], 1.0f);
    EXPECT_EQ (right[63], -0.5f);

    auto programChange = midiEvent (37, 0xc0, 5, 0);
    auto controller = midiEvent (3, 0xb1, 7, 100);
    auto strayDataByte = midiEvent (4, 0x45, 7, 100);
    vst::VstEvent sysex {};
    sysex.type = vst::kVstSysExType;

    struct { vst::int32 num; vst::IntPtr reserved; vst::VstEvent* events[5]; } block
        { 5, 0, { (vst::VstEvent*) &programChange, nullptr, &sysex, (vst::VstEvent*) &strayDataByte, (vst::VstEvent*) &controller } };

    plugin.dispatch (vst::effProcessEvents, 0, 0, &block);
    plugin.process (left, right);

    ASSERT_EQ (plugin.log.midi.size(), 2u) << "null, non-MIDI and malformed events are dropped";
    EXPECT_EQ (plugin.log.midi[0], std::make_pair (3, 0xb1));
    EXPECT_EQ (plugin.log.midi[1], std::make_pair (37, 0xc0));

    plugin.process (left, right);
    EXPECT_EQ (plugin.log.midi.size(), 2u) << "events belong to the next block only";

    block.num = -1;
    EXPECT_EQ (plugin.dispatch (vst::effProcessEvents, 0, 0, &block), 0);
    EXPECT_EQ (plugin.dispatch (vst::effProcessEvents, 0, 0, nullptr), 0);

    const auto blocks = plugin.log.firstInputSamples.size();
    float* channels[] = { left.data(), right.data() };
    plugin.effect->processReplacing (plugin.effect, channels, channels, 0);
    plugin.effect->processReplacing (plugin.effect, channels, nullptr, 64);
    EXPECT_EQ (plugin.log.firstInputSamples.size(), blocks) << "empty blocks and null buffers are ignored";
}

TEST (JuceVSTWrapper, AnswersCanDoAsAnEffectThatReceivesMidi)
{
    Instance plugin;

    const std::pair<const char*, int> answers[] = {
        { "receiveVstEvents", 1 }, { "receiveVstMidiEvent", 1 }, { "receiveVstMidiEvents", 1 },
        { "receiveVstTimeInfo", 1 }, { "conformsToWindowRules", 1 },
        { "sendVstEvents", -1 }, { "sendVstMidiEvent", -1 }, { "sendVstMidiEvents", -1 },
        { "openCloseAnyThread", -1 }, { "bypass", 0 }, { "", 0 }
    };

    for (auto& [text, answer] : answers)
        EXPECT_EQ ((int) plugin.dispatch (vst::effCanDo, 0, 0, (void*) text), answer) << text;

    EXPECT_EQ (plugin.dispatch (vst::effCanDo, 0, 0, nullptr), 0);
}

TEST (JuceVSTWrapper, GivesTheEditorSizeAndClosesIt)
{
    Instance plugin;

    vst::ERect* rect = nullptr;
    ASSERT_EQ (plugin.dispatch (vst::effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE (rect, nullptr);
    EXPECT_EQ (rect->right - rect->left, 320);
    EXPECT_EQ (rect->bottom - rect->top, 200);
    EXPECT_NE (plugin.fake->getActiveEditor(), nullptr);

    EXPECT_EQ (plugin.dispatch (vst::effEditGetRect, 0, 0, nullptr), 0);
    EXPECT_EQ (plugin.dispatch (vst::effEditOpen, 0, 0, nullptr), 0);

    plugin.dispatch (vst::effEditClose);
    EXPECT_EQ (plugin.fake->getActiveEditor(), nullptr);

    EXPECT_EQ (plugin.close(), 1);
    EXPECT_TRUE (plugin.log.destroyed);
}

TEST (JuceVSTWrapper, AsksTheHostForTheEditorsNewSizeInItsNextEditorCall)
{
    Instance plugin;
    vst::ERect* rect = nullptr;
    ASSERT_EQ (plugin.dispatch (vst::effEditGetRect, 0, 0, &rect), 1);

    // The host's window, as a host makes it for the editor.
    juce::Component hostWindow;
    hostWindow.setSize (320, 200);
    hostWindow.addToDesktop (0);

    if (hostWindow.getWindowHandle() == nullptr)
        GTEST_SKIP() << "no X display (the suite runs under Xvfb)";

    ASSERT_EQ (plugin.dispatch (vst::effEditOpen, 0, 0, hostWindow.getWindowHandle()), 1);
    auto* editor = plugin.fake->getActiveEditor();
    ASSERT_NE (editor, nullptr);

    const auto sizeRequests = []
    {
        std::vector<std::pair<int, int>> requests;

        for (auto& call : hostCalls)
            if (call.opcode == vst::audioMasterSizeWindow)
                requests.emplace_back (call.index, (int) call.value);

        return requests;
    };

    using Sizes = std::vector<std::pair<int, int>>;

    // A docked panel opens on the message thread: the host hears of it in its next editor call,
    // once, and its window follows.
    editor->setSize (320, 456);
    EXPECT_EQ (sizeRequests(), Sizes {}) << "asked outside the host's editor call";
    plugin.dispatch (vst::effEditIdle);
    EXPECT_EQ (sizeRequests(), (Sizes { { 320, 456 } }));
    plugin.dispatch (vst::effEditIdle);
    EXPECT_EQ (sizeRequests().size(), 1u) << "asked twice for one change";

    ASSERT_EQ (plugin.dispatch (vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ (rect->bottom - rect->top, 456);

    // Changes between two host calls make one request for the last size.
    editor->setSize (320, 300);
    editor->setSize (320, 200);
    plugin.dispatch (vst::effEditIdle);
    EXPECT_EQ (sizeRequests(), (Sizes { { 320, 456 }, { 320, 200 } }));

    // The host that asks the size itself has its answer: no request follows.
    editor->setSize (320, 500);
    ASSERT_EQ (plugin.dispatch (vst::effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ (rect->bottom - rect->top, 500);
    plugin.dispatch (vst::effEditIdle);
    EXPECT_EQ (sizeRequests().size(), 2u);

    // A closed editor asks nothing, also for a change made just before the close.
    editor->setSize (320, 222);
    plugin.dispatch (vst::effEditClose);
    plugin.dispatch (vst::effEditIdle);
    EXPECT_EQ (sizeRequests().size(), 2u);
}
