#include "framework/BasePlugin.h"
#include "product/VelcroftParameters.h"
#include "MessageLoop.h"
#include "PresetTestPlugin.h"
#include "RecordingHostNotifier.h"

#include <gtest/gtest.h>

namespace baseplugintests
{
using RecordingNotifier = RecordingHostNotifier;

class TestPlugin final : public BasePlugin
{
public:
    explicit TestPlugin (int slots = VelcroftParameters::numParameters) : numSlots (slots)
    {
        for (int i = 0; i < VelcroftParameters::numParameters; ++i)
            setHostSlot (i, getParameterManager().getParameter (i));

        setHostNotifier (&notifier);
    }

    juce::String getPluginName() const override          { return "Velcroft"; }
    juce::String getPluginCode() const override          { return "VL"; }
    int getNumHostParameters() override                  { return numSlots; }

    void prepareToPlay (double, int) override {}
    void releaseResources() override {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}

    juce::String getSoftwareName() const override         { return "Velcroft"; }
    juce::String getSoftwareDescription() const override  { return {}; }
    juce::String getSoftwareVersion() const override      { return "1.3.1"; }
    juce::String getSoftwareWebPage() const override      { return {}; }
    juce::String getSoftwareYear() const override         { return {}; }
    juce::String getBuildDate() const override            { return {}; }
    juce::String getBuildNote() const override            { return {}; }
    juce::String getBuildNumber() const override          { return {}; }
    juce::String getSoftwareFormat() const override       { return "VST"; }
    juce::String getBuildRevision() const override        { return "0"; }

    std::unique_ptr<juce::XmlElement> createPluginStateXml() override
    {
        auto xml = createRootElement ("PluginState");
        xml->setAttribute ("marker", marker);
        return xml;
    }

    void loadPluginState (const juce::XmlElement& xml) override
    {
        if (isPluginStateXml (xml))
            marker = xml.getStringAttribute ("marker");
    }

    RecordingNotifier notifier;
    juce::String marker { "initial" };
    int numSlots;
};
} // namespace baseplugintests

using baseplugintests::TestPlugin;

TEST (BasePlugin, HostSlotsDoNotEchoTheHostsOwnChanges)
{
    TestPlugin plugin;
    plugin.initialise();
    auto& notifier = plugin.notifier;

    plugin.setHostParameter (3, 0.25f);
    EXPECT_EQ (plugin.getParameterManager().getNormalisedValue (3), 0.25f);
    EXPECT_EQ (plugin.getHostParameter (3), 0.25f);
    EXPECT_TRUE (notifier.automated.empty()) << "the host's own change is not reported back";

    // A change from inside the plug-in (editor, MIDI, preset) is reported once.
    plugin.getParameterManager().setNormalisedValue (3, 0.5f);
    ASSERT_EQ (notifier.automated.size(), 1u);
    EXPECT_EQ (notifier.automated[0], std::make_pair (3, 0.5f));

    auto* parameter = plugin.getParameterManager().getParameter (3);
    parameter->sendGestureBegin();
    parameter->sendGestureEnd();
    EXPECT_EQ (notifier.begun, std::vector<int> { 3 });
    EXPECT_EQ (notifier.ended, std::vector<int> { 3 });

    plugin.setHostParameter (-1, 0.7f);
    plugin.setHostParameter (18, 0.7f);
    plugin.setHostParameter (3, std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (plugin.getParameterManager().getNormalisedValue (3), 0.5f);
    EXPECT_EQ (plugin.getHostParameter (-1), 0.0f);
}

TEST (BasePlugin, AnswersForSlotsOutOfRangeAndEmptySlots)
{
    TestPlugin plugin (128);

    EXPECT_EQ (plugin.getHostParameterName (VelcroftParameters::preamp), "Preamp");
    EXPECT_EQ (plugin.getHostParameterName (20), "Parameter 21");
    EXPECT_EQ (plugin.getHostParameterName (128), "");
    EXPECT_EQ (plugin.getHostParameterName (-5), "");

    plugin.setHostParameter (20, 0.125f);
    EXPECT_EQ (plugin.getHostParameter (20), 0.125f) << "an empty slot keeps what the host set";
    EXPECT_EQ (plugin.getHostParameterText (20), "0.125000000");
    EXPECT_EQ (plugin.getHostParameterText (VelcroftParameters::outputVolume), "0.500000000");
    EXPECT_TRUE (plugin.isHostParameterAutomatable (127));
    EXPECT_FALSE (plugin.isHostParameterAutomatable (128));

    TestPlugin eighteen;
    EXPECT_EQ (eighteen.getHostParameterName (18), "");
    EXPECT_EQ (eighteen.getVstUniqueId(), vst::fourCharCode ('V', 'L', 'm', '4'));
    EXPECT_EQ (eighteen.getVstVendorVersion(), 0x10301);
}

TEST (BasePlugin, StateChunksRoundTripAndRefuseWhatIsNotOurs)
{
    TestPlugin plugin;
    plugin.marker = "saved";

    juce::MemoryBlock chunk;
    plugin.getStateInformation (chunk);
    plugin.marker = "changed";
    plugin.setStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_EQ (plugin.marker, "saved");

    auto refuse = [&plugin] (const juce::MemoryBlock& block, const char* what)
    {
        plugin.marker = "kept";
        plugin.setStateInformation (block.getData(), (int) block.getSize());
        EXPECT_EQ (plugin.marker, "kept") << what;
    };

    juce::Random random (42);
    juce::MemoryBlock garbage (1000);
    random.fillBitsRandomly (garbage.getData(), garbage.getSize());
    refuse (garbage, "random bytes");

    for (size_t cut : { (size_t) 0, (size_t) 5, (size_t) 9, chunk.getSize() / 2, chunk.getSize() - 2 })
        refuse (juce::MemoryBlock (chunk.getData(), cut), "a truncated chunk");

    juce::MemoryBlock lyingLength (chunk);
    *reinterpret_cast<juce::uint32*> (static_cast<char*> (lyingLength.getData()) + 4) = 0x7fffffff;
    refuse (lyingLength, "a length beyond the chunk");

    juce::XmlElement foreign ("PluginState");
    foreign.setAttribute ("application", "SomethingElse");
    foreign.setAttribute ("marker", "foreign");
    juce::MemoryBlock foreignChunk;
    juce::AudioProcessor::copyXmlToBinary (foreign, foreignChunk);
    refuse (foreignChunk, "another plug-in's state");

    // Nesting deeper than any state we write is refused before it reaches the parser.
    juce::String deep;
    for (int i = 0; i < 5000; ++i)
        deep << "<a>";
    juce::MemoryBlock deepChunk;
    juce::MemoryOutputStream out (deepChunk, false);
    out.writeInt (0x21324356);
    out.writeInt (deep.getNumBytesAsUTF8() + 1);
    out << deep;
    out.writeByte (0);
    out.flush();
    EXPECT_EQ (BasePlugin::parseStateChunk (deepChunk.getData(), (int) deepChunk.getSize()), nullptr);

    plugin.setStateInformation (nullptr, 100);
    plugin.setStateInformation (chunk.getData(), -1);
}

TEST (BasePlugin, KeepsOneEditorComponentForTheHostWindows)
{
    TestPlugin plugin;
    EXPECT_EQ (plugin.createEditor(), nullptr) << "no editor before the start-up builds it";

    plugin.createGui();
    auto* component = plugin.getEditorComponent();
    ASSERT_NE (component, nullptr);

    for (int round = 0; round < 2; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> window (plugin.createEditor());
        ASSERT_NE (window, nullptr);
        EXPECT_EQ (window->getWidth(), component->getWidth());
        EXPECT_TRUE (component->isVisible());
        EXPECT_EQ (component->getParentComponent(), window.get());
        window.reset();
        EXPECT_FALSE (component->isVisible());
        EXPECT_EQ (plugin.getEditorComponent(), component) << "closing the host window keeps the component";
    }
}

TEST (BasePlugin, TheEditorGoesWhileEveryLayerOfThePluginIsStillThere)
{
    // An editor reads the bank and the core until it is gone: it must go before the layers
    // that own them, not last of all with the framework's base.
    struct Probe final : juce::Component
    {
        Probe (BasePlugin& p, bool& seen) : plugin (p), sawEffectLayer (seen) {}
        ~Probe() override { sawEffectLayer = dynamic_cast<QuillonEffect*> (&plugin) != nullptr; }

        BasePlugin& plugin;
        bool& sawEffectLayer;
    };

    struct PluginWithProbe final : PresetTestSupport::PresetPlugin
    {
        explicit PluginWithProbe (bool& seen) : sawEffectLayer (seen) {}
        std::unique_ptr<juce::Component> createEditorComponent() override { return std::make_unique<Probe> (*this, sawEffectLayer); }

        bool& sawEffectLayer;
    };

    bool sawEffectLayer = false;
    {
        PluginWithProbe plugin (sawEffectLayer);
        plugin.createGui();
        ASSERT_NE (plugin.getEditorComponent(), nullptr);
    }
    EXPECT_TRUE (sawEffectLayer);
}

TEST (BasePlugin, RootElementsCarryThePluginsName)
{
    TestPlugin plugin;
    auto root = plugin.createRootElement ("UserSettings");
    EXPECT_EQ (root->getStringAttribute ("application"), "Velcroft");
    EXPECT_TRUE (plugin.isUserSettingsXml (*root));

    juce::XmlElement noApplication ("PluginState");
    EXPECT_FALSE (plugin.isPluginStateXml (noApplication));
    juce::XmlElement wrongTag ("Pluginstate");
    wrongTag.setAttribute ("application", "Velcroft");
    EXPECT_FALSE (plugin.isPluginStateXml (wrongTag));
}
