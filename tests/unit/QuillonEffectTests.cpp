#include "framework/QuillonEffect.h"
#include "product/VelcroftParameters.h"

#include <gtest/gtest.h>

namespace quilloneffecttests
{
struct Run
{
    bool stereo;
    int start, count;
};

/** A core that records every run it is given, relative to the block's first sample. */
class RecordingCore final : public QuillonEffectCore
{
public:
    explicit RecordingCore (juce::AudioProcessor* owner) : QuillonEffectCore (owner) {}

    void processStereo (float** left, float** right, int count) override
    {
        runs.push_back ({ true, (int) (*left - blockStart), count });
        juce::ignoreUnused (right);
    }

    void processMono (float** channel, int count) override
    {
        runs.push_back ({ false, (int) (*channel - blockStart), count });
    }

    void setParameter (int index, float value) override   { parameters.push_back ({ index, value }); }

    const float* blockStart = nullptr;
    std::vector<Run> runs;
    std::vector<std::pair<int, float>> parameters;
};

class TestEffect final : public QuillonEffect
{
public:
    TestEffect() : QuillonEffect (VelcroftParameters::numParameters) {}

    juce::String getPluginName() const override             { return "Velcroft"; }
    juce::String getPluginCode() const override             { return "VL"; }
    int getNumHostParameters() override                     { return VelcroftParameters::numParameters; }
    bool hasQuality() const override                        { return false; }

    std::unique_ptr<Core> createCore() override
    {
        auto c = std::make_unique<RecordingCore> (this);
        recorder = c.get();
        return c;
    }

    juce::String getSoftwareName() const override           { return "Velcroft"; }
    juce::String getSoftwareDescription() const override    { return {}; }
    juce::String getSoftwareVersion() const override        { return "1.3.1"; }
    juce::String getSoftwareWebPage() const override        { return {}; }
    juce::String getSoftwareYear() const override           { return {}; }
    juce::String getBuildDate() const override              { return {}; }
    juce::String getBuildNote() const override              { return {}; }
    juce::String getBuildNumber() const override            { return {}; }
    juce::String getSoftwareFormat() const override         { return "VST"; }
    juce::String getBuildRevision() const override          { return {}; }

    /** Processes one block of silence with the given events; returns the runs the core saw. */
    std::vector<Run> process (juce::AudioBuffer<float>& buffer, juce::MidiBuffer midi)
    {
        recorder->runs.clear();
        recorder->blockStart = buffer.getReadPointer (0);
        processBlock (buffer, midi);
        return recorder->runs;
    }

    RecordingCore* recorder = nullptr;
};

juce::MidiBuffer events (std::initializer_list<std::pair<int, juce::MidiMessage>> list)
{
    juce::MidiBuffer buffer;

    for (auto& [position, message] : list)
        buffer.addEvent (message, position);

    return buffer;
}

struct Fixture
{
    Fixture()
    {
        effect.initialise();
        effect.prepareToPlay (44100.0, 256);
    }

    TestEffect effect;
    juce::AudioBuffer<float> buffer { 2, 256 };
};
} // namespace quilloneffecttests

using namespace quilloneffecttests;

TEST (QuillonEffect, CutsBlocksExactlyAtMidiEvents)
{
    Fixture f;
    auto& effect = f.effect;

    auto runs = f.effect.process (f.buffer, {});
    ASSERT_EQ (runs.size(), 1u) << "a block without events is one call";
    EXPECT_EQ (runs[0].count, 256);

    // A program change at sample 37: samples 0..36, the preset applied, then 37..255.
    const auto before = effect.getCurrentPresetIndex();
    runs = effect.process (f.buffer, events ({ { 37, juce::MidiMessage::programChange (1, 5) } }));
    ASSERT_EQ (runs.size(), 2u);
    EXPECT_EQ (runs[0].start, 0);
    EXPECT_EQ (runs[0].count, 37);
    EXPECT_EQ (runs[1].start, 37);
    EXPECT_EQ (runs[1].count, 219);
    EXPECT_NE (before, 5);
    EXPECT_EQ (effect.getCurrentPresetIndex(), 5);
    EXPECT_TRUE (effect.takeMidiActivity()) << "handled events light the MIDI activity";
    EXPECT_FALSE (effect.takeMidiActivity());

    // Two events at one position: one cut, handled in buffer order.
    runs = effect.process (f.buffer, events ({ { 100, juce::MidiMessage::programChange (1, 7) },
                                                 { 100, juce::MidiMessage::programChange (1, 9) } }));
    ASSERT_EQ (runs.size(), 2u);
    EXPECT_EQ (runs[0].count, 100);
    EXPECT_EQ (effect.getCurrentPresetIndex(), 9);

    // An event at or past the block's end waits for the next block, at its position minus the length.
    runs = effect.process (f.buffer, events ({ { 256 + 40, juce::MidiMessage::programChange (1, 3) } }));
    EXPECT_EQ (runs.size(), 1u);
    EXPECT_EQ (effect.getCurrentPresetIndex(), 9);
    runs = effect.process (f.buffer, {});
    ASSERT_EQ (runs.size(), 2u);
    EXPECT_EQ (runs[1].start, 40);
    EXPECT_EQ (effect.getCurrentPresetIndex(), 3);

    // Program numbers beyond the bank and other messages change nothing.
    effect.process (f.buffer, events ({ { 0, juce::MidiMessage::noteOn (1, 60, 0.5f) } }));
    EXPECT_EQ (effect.getCurrentPresetIndex(), 3);
}

TEST (QuillonEffect, HandsParameterChangesToTheCoreFirst)
{
    Fixture f;
    f.effect.recorder->parameters.clear();
    f.effect.getParameterManager().setNormalisedValue (6, 0.25f);
    ASSERT_EQ (f.effect.recorder->parameters.size(), 1u);
    EXPECT_EQ (f.effect.recorder->parameters[0], std::make_pair (6, 0.25f));
}

TEST (QuillonEffect, ProcessesMonoAndClearsTheExtraOutput)
{
    TestEffect effect;
    ASSERT_TRUE (effect.setBusesLayout ({ { juce::AudioChannelSet::mono() }, { juce::AudioChannelSet::stereo() } }));
    effect.initialise();
    effect.prepareToPlay (44100.0, 64);

    juce::AudioBuffer<float> buffer (2, 64);
    buffer.clear();
    buffer.setSample (0, 10, 0.5f);
    buffer.setSample (1, 10, 0.5f);

    const auto runs = effect.process (buffer, {});
    ASSERT_EQ (runs.size(), 1u);
    EXPECT_FALSE (runs[0].stereo);
    EXPECT_EQ (buffer.getSample (1, 10), 0.0f);
    EXPECT_EQ (buffer.getSample (0, 10), 0.5f);
}

TEST (QuillonEffect, StateBeginsWithTheLinesOwnElement)
{
    TestEffect effect;
    effect.initialise();
    auto xml = effect.createPluginStateXml();
    ASSERT_NE (xml, nullptr);
    ASSERT_GT (xml->getNumChildElements(), 0);
    EXPECT_EQ (xml->getChildElement (0)->getTagName(), "UniqueData");
    EXPECT_EQ (xml->getChildElement (0)->getNumAttributes(), 0);
}
