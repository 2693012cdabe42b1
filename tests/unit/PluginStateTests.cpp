/*
    The plug-in state, the program chunk, the older state root and the user settings with
    their effect at start-up.
*/
#include "PresetTestPlugin.h"
#include "TemporaryFolder.h"

using PresetTestSupport::PresetPlugin;

namespace PluginStateTestsDetail
{
/** A fresh folder holding the plug-in file "Velcroft.so" (and so its settings), deleted with it. */
struct PluginFolder : TemporaryFolder
{
    PluginFolder() : TemporaryFolder ("VelcroftPluginState") {}

    void attach (PresetPlugin& plugin) const          { plugin.setPluginFile (folder.getChildFile ("Velcroft.so")); }
    juce::File settings() const                     { return folder.getChildFile ("Velcroft.ini"); }

    void writeSettings (const juce::String& children) const
    {
        settings().replaceWithText ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<UserSettings application=\"Velcroft\">"
                                    + children + "</UserSettings>");
    }
};

/** The bank a plug-in without settings starts with: the factory bank, or a cleared one without it. */
juce::String startupBank()
{
    PresetPlugin reference;
    reference.initialise();
    return reference.createPresetBankXml()->toString();
}

} // namespace PluginStateTestsDetail


TEST (PluginState, RoundTripThroughTheChunk)
{
    PresetPlugin source;
    source.initialise();
    PresetTestSupport::makeBank (source, { { "A", 12 }, { "B", 5 } });
    source.setGroupName (1, "Bee");

    juce::Random random (7);
    for (int k = 0; k < VelcroftParameters::numParameters; ++k)
        source.set (k, random.nextFloat());

    source.setCurrentPresetIndex (7, true);
    source.getMidiControl().assignController (21, source.getParameterManager().getParameter (VelcroftParameters::leftFilterType), false);

    juce::MemoryBlock chunk;
    source.getStateInformation (chunk);

    auto xml = source.createPluginStateXml();
    EXPECT_EQ (xml->getTagName(), "PluginState");
    EXPECT_EQ (xml->getStringAttribute ("application"), "Velcroft");
    ASSERT_EQ (xml->getNumChildElements(), 4);
    EXPECT_EQ (xml->getChildElement (0)->getTagName(), "UniqueData");
    EXPECT_EQ (xml->getChildElement (0)->getNumAttributes(), 0) << "no quality setting: an empty element";
    EXPECT_EQ (xml->getChildElement (1)->getTagName(), "ParametersState");
    EXPECT_EQ (xml->getChildElement (1)->getNumChildElements(), VelcroftParameters::numParameters);
    EXPECT_EQ (xml->getChildElement (2)->getIntAttribute ("currentPreset"), 7);
    EXPECT_EQ (xml->getChildElement (3)->getTagName(), "MidiControlMap");

    PresetPlugin target;
    target.initialise();
    PresetTestSupport::ApplyCounter applies;
    target.addPresetManagerListener (&applies);
    target.setStateInformation (chunk.getData(), (int) chunk.getSize());

    EXPECT_EQ (target.values(), source.values());       // bit for bit, not slot 7's values
    EXPECT_EQ (target.createPresetBankXml()->toString(), source.createPresetBankXml()->toString());
    EXPECT_EQ (target.getCurrentPresetIndex(), 7);
    EXPECT_EQ (target.presetNameParameter(), "p7");
    EXPECT_EQ (applies.applied, 0);
    EXPECT_EQ (target.getMidiControl().getAssignedParameter (21), target.getParameterManager().getParameter (VelcroftParameters::leftFilterType));
    EXPECT_EQ (target.getMidiControl().getNumAssignments(), 1);
    target.removePresetManagerListener (&applies);
}

TEST (PluginState, ReadingOddAndOlderStates)
{
    PresetPlugin plugin;
    plugin.initialise();
    plugin.setCurrentPresetIndex (5, true);
    const auto values = plugin.values();

    // "currentPreset" out of range: the bank loads, the slot stays; unknown parameters and NaNs are skipped, values clamped.
    plugin.loadPluginState (*PresetTestSupport::parse ("<PluginState application=\"Velcroft\">"
                                    "<ParametersState><param name=\"Nonsense\" value=\"0.5\"/><param name=\"FX\" value=\"nan\"/>"
                                    "<param name=\"Preamp\" value=\"2\"/><param name=\"Left Bits\"/></ParametersState>"
                                    "<PresetsState currentPreset=\"200\"><PresetBank name=\"Loaded\"/></PresetsState>"
                                    "</PluginState>"));
    EXPECT_EQ (plugin.getBankName(), "Loaded");
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 5);
    EXPECT_EQ (plugin.values()[VelcroftParameters::preamp], 1.0f);
    EXPECT_EQ (plugin.values()[VelcroftParameters::leftBits], 0.0f);
    EXPECT_EQ (plugin.values()[VelcroftParameters::fx], values[VelcroftParameters::fx]);

    plugin.loadPluginState (*PresetTestSupport::parse ("<PluginState><PresetsState currentPreset=\"-3\"><PresetBank name=\"NoApp\"/></PresetsState></PluginState>"));
    plugin.loadPluginState (*PresetTestSupport::parse ("<PluginState application=\"Other\"><PresetsState currentPreset=\"3\"><PresetBank name=\"Other\"/></PresetsState></PluginState>"));
    plugin.loadPluginState (*PresetTestSupport::parse ("<PluginState application=\"Velcroft\"><PresetsState currentPreset=\"-3\"/></PluginState>"));
    EXPECT_EQ (plugin.getBankName(), "Loaded");
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 5);

    // A chunk that holds no XML changes nothing.
    const char junk[] = "random bytes, no state";
    plugin.setStateInformation (junk, (int) sizeof (junk));
    EXPECT_EQ (plugin.getBankName(), "Loaded");

    // The older root: bank and map, then slot 3 is selected and applied.
    plugin.loadPluginState (*PresetTestSupport::parse ("<VelcroftPluginState currentPreset=\"3\"><UniqueData/>"
                                    "<VelcroftPresetBank name=\"Old\"><VelcroftPresetGroup name=\"G\">"
                                    "<VelcroftPreset name=\"a\"/><VelcroftPreset name=\"b\"/><VelcroftPreset name=\"c\"/>"
                                    "<VelcroftPreset name=\"d\"><param name=\"Output Volume\" value=\"0.8125\"/></VelcroftPreset>"
                                    "</VelcroftPresetGroup></VelcroftPresetBank>"
                                    "<MidiCCMap name=\"Velcroft\"><assign CC=\"9\" param=\"FX\"/></MidiCCMap>"
                                    "</VelcroftPluginState>"));
    EXPECT_EQ (plugin.getBankName(), "Old");
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 3);
    EXPECT_EQ (plugin.presetNameParameter(), "d");
    EXPECT_EQ (plugin.values()[VelcroftParameters::outputVolume], 0.8125f);
    EXPECT_EQ (plugin.getMidiControl().getAssignedParameter (9), plugin.getParameterManager().getParameter (VelcroftParameters::fx));
    EXPECT_TRUE (plugin.isPluginStateXml (*PresetTestSupport::parse ("<VelcroftPluginState/>")));

    // The element of parameters outside presets (none in this product) is read under either tag.
    EXPECT_EQ (plugin.createNotPresetableParamsXml()->getNumChildElements(), 0);
    plugin.loadNotPresetableParams (*PresetTestSupport::parse ("<NotPresetParams><param name=\"FX\" value=\"0.0625\"/></NotPresetParams>"));
    EXPECT_EQ (plugin.values()[VelcroftParameters::fx], 0.0625f);
    plugin.loadNotPresetableParams (*PresetTestSupport::parse ("<Other><param name=\"FX\" value=\"0.5\"/></Other>"));
    EXPECT_EQ (plugin.values()[VelcroftParameters::fx], 0.0625f);
    EXPECT_FALSE (plugin.isPluginStateXml (*PresetTestSupport::parse ("<OtherPluginState/>")));
}

TEST (PluginState, ProgramChunk)
{
    PresetPlugin plugin;
    plugin.initialise();
    PresetTestSupport::makeBank (plugin, { { "A", 10 } });
    plugin.selectPreset (6);

    juce::MemoryBlock chunk;
    plugin.getCurrentProgramStateInformation (chunk);

    PresetPlugin other;
    other.initialise();
    other.selectPreset (2);
    other.setCurrentProgramStateInformation (chunk.getData(), (int) chunk.getSize());
    EXPECT_EQ (other.getPresetName (2), "p6");
    EXPECT_EQ (other.values(), plugin.values());

    // Something that is no preset leaves slot and parameters alone.
    other.set (VelcroftParameters::preamp, 0.9f);
    other.loadProgramState (*PresetTestSupport::parse ("<PresetBank/>"));
    EXPECT_EQ (other.values()[VelcroftParameters::preamp], 0.9f);
    EXPECT_EQ (other.getPresetName (2), "p6");
}

TEST (PluginState, SettingsRoundTripAndStartup)
{
    PluginStateTestsDetail::PluginFolder place;
    const auto bankFile = place.folder.getChildFile ("user.vlprsb");
    const auto mapFile = place.folder.getChildFile ("user.vlccmap");

    {
        PresetPlugin writer;
        place.attach (writer);
        writer.initialise();
        PresetTestSupport::makeBank (writer, { { "User", 3 } });
        ASSERT_TRUE (writer.savePresetBankFile (bankFile));
        writer.getMidiControl().assignController (30, writer.getParameterManager().getParameter (VelcroftParameters::leftFrequency), false);
        ASSERT_TRUE (writer.getMidiControl().saveToFile (mapFile));

        writer.setPresetsMode (BasePluginOldStyle::userDefinedPresets);
        writer.setUserDefinedPresetsFile (bankFile.getFullPathName());
        writer.setStoringMode (BasePluginOldStyle::storingAutomatic);
        writer.setChangingMode (BasePluginOldStyle::changingSilent);
        writer.getMidiControl().setDefaultMapEnabled (true);
        writer.getMidiControl().setDefaultMapFile (mapFile.getFullPathName());
        ASSERT_TRUE (writer.setRecentlyUsedDirectory (place.folder));
        ASSERT_TRUE (writer.saveIniFile());
    }

    auto settings = PresetTestSupport::parse (place.settings().loadFileAsString());
    EXPECT_EQ (settings->getStringAttribute ("application"), "Velcroft");
    EXPECT_EQ (settings->getChildElement (0)->getTagName(), "PluginDirectories");
    EXPECT_EQ (settings->getChildElement (1)->getTagName(), "ResourcesSettings");
    EXPECT_EQ (settings->getChildElement (2)->getTagName(), "PresetSettings");

    PresetPlugin reader;
    place.attach (reader);
    reader.initialise();
    EXPECT_EQ (reader.getPresetsMode(), BasePluginOldStyle::userDefinedPresets);
    EXPECT_EQ (reader.getUserDefinedPresetsFile(), bankFile.getFullPathName());
    EXPECT_EQ (reader.getStoringMode(), BasePluginOldStyle::storingAutomatic);
    EXPECT_EQ (reader.getChangingMode(), BasePluginOldStyle::changingSilent);
    EXPECT_EQ (reader.getRecentlyUsedDirectory(), place.folder);
    EXPECT_TRUE (reader.getMidiControl().isDefaultMapEnabled());
    EXPECT_EQ (reader.getMidiControl().getAssignedParameter (30), reader.getParameterManager().getParameter (VelcroftParameters::leftFrequency));
    EXPECT_EQ (PresetTestSupport::groupLayout (reader), juce::StringArray ({ "User:3", "Not used:125" }));
    EXPECT_EQ (reader.presetNameParameter(), "p0");
    EXPECT_EQ (reader.values(), PresetTestSupport::valuesOf (*reader.getPreset (0)));

    // Written back the same.
    EXPECT_EQ (reader.createUserSettingsXml()->toString(), settings->toString());
}

TEST (PluginState, SettingsChoices)
{
    PluginStateTestsDetail::PluginFolder place;
    const auto factory = PluginStateTestsDetail::startupBank();

    struct Case { const char* presets; BasePluginOldStyle::PresetsMode mode; bool factoryBank; };

    const auto missing = place.folder.getChildFile ("missing.vlprsb").getFullPathName();
    const auto broken = place.folder.getChildFile ("broken.vlprsb");
    broken.replaceWithText ("<PresetBank><PresetGroup>");

    const std::vector<std::pair<juce::String, Case>> cases {
        { "<Presets default=\"clearPresets\"/>",                                       { "clear",    BasePluginOldStyle::clearPresets,       false } },
        { "<Presets default=\"userDefinedPresets\"/>",                                 { "no file",  BasePluginOldStyle::userDefinedPresets, true } },
        { "<Presets default=\"userDefinedPresets\" file=\"" + missing + "\"/>",        { "missing",  BasePluginOldStyle::userDefinedPresets, true } },
        { "<Presets default=\"userDefinedPresets\" file=\"" + broken.getFullPathName() + "\"/>", { "broken", BasePluginOldStyle::userDefinedPresets, true } },
        { "<Presets default=\"userDefinedPresets\" file=\"" + place.folder.getFullPathName() + "\"/>", { "folder", BasePluginOldStyle::userDefinedPresets, true } },
        { "<Presets default=\"userDefinedPresets\" file=\"relative.vlprsb\"/>",        { "relative", BasePluginOldStyle::userDefinedPresets, true } },
        { "<Presets default=\"somethingElse\"/>",                                      { "other",    BasePluginOldStyle::factoryPresets,     true } },
    };

    for (auto& [element, c] : cases)
    {
        SCOPED_TRACE (c.presets);
        place.writeSettings ("<ResourcesSettings>" + element + "</ResourcesSettings>");

        PresetPlugin plugin;
        place.attach (plugin);
        plugin.initialise();
        EXPECT_EQ (plugin.getPresetsMode(), c.mode);

        if (c.factoryBank)
        {
            EXPECT_EQ (plugin.createPresetBankXml()->toString(), factory);
        }
        else
        {
            EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ("Not used:128"));
            EXPECT_EQ (plugin.getPresetName (5), "Preset 5");
            EXPECT_EQ (PresetTestSupport::valuesOf (*plugin.getPreset (5)), PresetTestSupport::valuesOf (plugin.getDefaultPreset()));
        }

        // Whatever was loaded, the bank is usable: its groups cover every slot.
        EXPECT_EQ (plugin.getGroupOfPreset (127), plugin.getNumGroups() - 1);
        EXPECT_EQ (plugin.values(), PresetTestSupport::valuesOf (*plugin.getPreset (0)));
    }

    // "storing" "automatic" stores the current parameters as it is read; unknown texts change nothing.
    PresetPlugin plugin;
    plugin.initialise();
    plugin.set (VelcroftParameters::leftLinkFreq, 0.4375f);
    plugin.loadUserSettings (*PresetTestSupport::parse ("<UserSettings application=\"Velcroft\"><PresetSettings storing=\"sometimes\" changing=\"loud\"/>"
                                     "<PluginDirectories><RecentlyUsed dir=\"/no/such/folder\"/><RecentlyUsed dir=\"relative\"/></PluginDirectories>"
                                     "</UserSettings>"));
    EXPECT_EQ (plugin.getStoringMode(), BasePluginOldStyle::storingOnDemand);
    EXPECT_EQ (plugin.getChangingMode(), BasePluginOldStyle::changingNormal);
    EXPECT_EQ (plugin.getRecentlyUsedDirectory(), juce::File::getSpecialLocation (juce::File::userHomeDirectory));
    EXPECT_NE (plugin.getPreset (0)->getValue (VelcroftParameters::leftLinkFreq), 0.4375f);

    plugin.loadUserSettings (*PresetTestSupport::parse ("<UserSettings application=\"Other\"><PresetSettings storing=\"automatic\"/></UserSettings>"));
    EXPECT_EQ (plugin.getStoringMode(), BasePluginOldStyle::storingOnDemand);

    plugin.loadUserSettings (*PresetTestSupport::parse ("<UserSettings application=\"Velcroft\"><PresetSettings storing=\"automatic\"/></UserSettings>"));
    EXPECT_EQ (plugin.getStoringMode(), BasePluginOldStyle::storingAutomatic);
    EXPECT_EQ (plugin.getPreset (0)->getValue (VelcroftParameters::leftLinkFreq), 0.4375f);
}
