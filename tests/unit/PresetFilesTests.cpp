/*
    Preset and bank elements, the older names and extensions, and preset and bank files.
*/
#include "HostileXml.h"
#include "PresetTestPlugin.h"
#include "TemporaryFolder.h"

#include <chrono>
#include <csignal>
#include <sys/resource.h>

using PresetTestSupport::PresetPlugin;

namespace PresetFilesTestsDetail
{
/** A bank element of groups holding the given numbers of presets ("q" + running number), with these tags. */
juce::String bankText (const std::vector<int>& counts, const juce::String& bankTag = "PresetBank",
                       const juce::String& groupTag = "PresetGroup", const juce::String& presetTag = "Preset")
{
    juce::String text = "<" + bankTag + ">";
    int n = 0;

    for (auto count : counts)
    {
        text << "<" << groupTag << ">";
        for (int i = 0; i < count; ++i, ++n)
            text << "<" << presetTag << " application=\"Velcroft\" name=\"q" << n << "\"><param name=\"FX\" value=\"0.25\"/></" << presetTag << ">";
        text << "</" << groupTag << ">";
    }

    return text + "</" + bankTag + ">";
}

} // namespace PresetFilesTestsDetail


TEST (PresetFiles, PresetElements)
{
    PresetPlugin plugin;
    plugin.initialise();
    BasePluginOldStyle::Preset preset (VelcroftParameters::numParameters);

    // Written values are rounded to six decimals.
    preset.setName ("Round");
    preset.setValue (VelcroftParameters::preamp, 0.1234567f);
    preset.setValue (VelcroftParameters::leftBits, 1.0f);
    preset.setValue (VelcroftParameters::leftFrequency, 0.5f);
    auto xml = plugin.createPresetXml (preset);
    EXPECT_EQ (xml->getTagName(), "Preset");
    EXPECT_EQ (xml->getStringAttribute ("application"), "Velcroft");
    EXPECT_EQ (xml->getStringAttribute ("name"), "Round");
    ASSERT_EQ (xml->getNumChildElements(), VelcroftParameters::numParameters);
    EXPECT_EQ (xml->getChildElement (VelcroftParameters::preamp)->getStringAttribute ("name"), "Preamp");
    EXPECT_EQ (xml->getChildElement (VelcroftParameters::preamp)->getStringAttribute ("value"), "0.123457");
    EXPECT_EQ (xml->getChildElement (VelcroftParameters::leftBits)->getDoubleAttribute ("value"), 1.0);
    EXPECT_EQ (xml->getChildElement (VelcroftParameters::rightFilterOrder)->getStringAttribute ("name"), "Right Filter Order");

    // Reading: "unnamed", a param without value is 0, unknown names, NaNs and other tags are skipped, values clamped.
    for (int k = 0; k < VelcroftParameters::numParameters; ++k)
        preset.setValue (k, 0.5f);

    ASSERT_TRUE (plugin.loadPresetFromXml (*PresetTestSupport::parse ("<Preset application=\"Velcroft\">"
                                                   "<param name=\"Preamp\"/>"
                                                   "<param name=\"Nonsense\" value=\"0.9\"/>"
                                                   "<param name=\"Left Bits\" value=\"0.75\"/>"
                                                   "<param name=\"Left Cutoff\" value=\"1.5\"/>"
                                                   "<param name=\"Left Frequency\" value=\"-3\"/>"
                                                   "<param name=\"FX\" value=\"nan\"/>"
                                                   "<value name=\"Output Volume\" value=\"0.9\"/>"
                                                   "<param name=\"Current Preset Number\" value=\"1\"/>"
                                                   "</Preset>"), preset));
    EXPECT_EQ (preset.getName(), "unnamed");
    EXPECT_EQ (preset.getValue (VelcroftParameters::preamp), 0.0f);
    EXPECT_EQ (preset.getValue (VelcroftParameters::leftBits), 0.75f);
    EXPECT_EQ (preset.getValue (VelcroftParameters::leftCutoff), 1.0f);
    EXPECT_EQ (preset.getValue (VelcroftParameters::leftFrequency), 0.0f);
    EXPECT_EQ (preset.getValue (VelcroftParameters::fx), 0.5f);
    EXPECT_EQ (preset.getValue (VelcroftParameters::outputVolume), 0.5f);
    EXPECT_EQ (preset.getValue (VelcroftParameters::rightFilterOrder), 0.5f);

    // Another plug-in's preset or another tag is refused; the older tag needs no application.
    EXPECT_FALSE (plugin.loadPresetFromXml (*PresetTestSupport::parse ("<Preset application=\"Other\" name=\"x\"/>"), preset));
    EXPECT_FALSE (plugin.loadPresetFromXml (*PresetTestSupport::parse ("<Preset name=\"x\"/>"), preset));
    EXPECT_FALSE (plugin.loadPresetFromXml (*PresetTestSupport::parse ("<OtherPreset application=\"Velcroft\" name=\"x\"/>"), preset));
    EXPECT_EQ (preset.getName(), "unnamed");
    EXPECT_TRUE (plugin.loadPresetFromXml (*PresetTestSupport::parse ("<VelcroftPreset name=\"Old\"><param name=\"FX\" value=\"0.125\"/></VelcroftPreset>"), preset));
    EXPECT_EQ (preset.getName(), "Old");
    EXPECT_EQ (preset.getValue (VelcroftParameters::fx), 0.125f);
}

TEST (PresetFiles, BankElements)
{
    PresetPlugin plugin;
    plugin.initialise();
    plugin.getDefaultPreset().setValue (VelcroftParameters::preamp, 0.375f);
    plugin.setCurrentPresetIndex (40, true);

    // 130 presets in one group: 128 are taken, no "Not used"; groups after that come empty.
    ASSERT_TRUE (plugin.loadPresetBankFromXml (*PresetTestSupport::parse (PresetFilesTestsDetail::bankText ({ 130, 2 }))));
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "group 1:128", "group 2:0" }));
    EXPECT_EQ (plugin.getPresetName (127), "q127");
    EXPECT_EQ (plugin.getBankName(), "Preset Bank");
    EXPECT_EQ (plugin.getCurrentPresetIndex(), 40);     // kept, nothing applied

    // 10 presets: the rest is cleared into a final "Not used" group; a missing group name counts the groups.
    ASSERT_TRUE (plugin.loadPresetBankFromXml (*PresetTestSupport::parse ("<PresetBank name=\"Mine\">"
                                                       "<PresetGroup name=\"First\">"
                                                       "<Preset application=\"Velcroft\" name=\"a\"/>"
                                                       "<Preset application=\"Other\" name=\"skipped\"/>"
                                                       "<Junk/>"
                                                       "<Preset application=\"Velcroft\" name=\"b\"/>"
                                                       "</PresetGroup>"
                                                       "<Preset application=\"Velcroft\" name=\"outside\"/>"
                                                       + PresetFilesTestsDetail::bankText ({ 8 }).fromFirstOccurrenceOf ("<PresetBank>", false, false)
                                                                                              .upToLastOccurrenceOf ("</PresetBank>", false, false)
                                                       + "</PresetBank>")));
    EXPECT_EQ (plugin.getBankName(), "Mine");
    EXPECT_EQ (PresetTestSupport::groupLayout (plugin), juce::StringArray ({ "First:2", "group 2:8", "Not used:118" }));
    EXPECT_EQ (plugin.getPresetName (1), "b");
    EXPECT_EQ (plugin.getPresetName (2), "q0");
    EXPECT_EQ (plugin.getPresetName (10), "Preset 10");
    EXPECT_EQ (plugin.getPresetName (127), "Preset 127");
    EXPECT_EQ (plugin.getPreset (100)->getValue (VelcroftParameters::preamp), 0.375f);
    EXPECT_EQ (plugin.getPreset (2)->getValue (VelcroftParameters::fx), 0.25f);

    // The older tags load like the current ones.
    PresetPlugin other;
    other.initialise();
    other.getDefaultPreset().setValue (VelcroftParameters::preamp, 0.375f);
    ASSERT_TRUE (other.loadPresetBankFromXml (*PresetTestSupport::parse (PresetFilesTestsDetail::bankText ({ 3, 4 }))));
    ASSERT_TRUE (plugin.loadPresetBankFromXml (*PresetTestSupport::parse (PresetFilesTestsDetail::bankText ({ 3, 4 }, "VelcroftPresetBank",
                                                                                          "VelcroftPresetGroup", "VelcroftPreset"))));
    EXPECT_EQ (plugin.createPresetBankXml()->toString(), other.createPresetBankXml()->toString());

    // Anything else leaves the bank as it was.
    EXPECT_FALSE (plugin.loadPresetBankFromXml (*PresetTestSupport::parse ("<OtherPresetBank><PresetGroup/></OtherPresetBank>")));
    EXPECT_EQ (plugin.createPresetBankXml()->toString(), other.createPresetBankXml()->toString());

    // Writing: every group, empty ones too, with the presets of its slots.
    plugin.addGroup (1);
    auto bank = plugin.createPresetBankXml();
    EXPECT_EQ (bank->getTagName(), "PresetBank");
    EXPECT_FALSE (bank->hasAttribute ("application"));
    ASSERT_EQ (bank->getNumChildElements(), 4);
    EXPECT_EQ (bank->getChildElement (1)->getStringAttribute ("name"), "New Group");
    EXPECT_EQ (bank->getChildElement (1)->getNumChildElements(), 0);
    EXPECT_EQ (bank->getChildElement (2)->getChildElement (0)->getStringAttribute ("name"), "q3");
    EXPECT_EQ (bank->getChildElement (3)->getNumChildElements(), 121);
}

TEST (PresetFiles, ExtensionsAndPatterns)
{
    PresetPlugin plugin;

    EXPECT_EQ (plugin.getPresetFileExtension(), ".vlprs");
    EXPECT_EQ (plugin.getPresetBankFileExtension(), ".vlprsb");
    EXPECT_EQ (plugin.getMidiCCMapFileExtension(), ".vlccmap");
    EXPECT_EQ (plugin.getPresetFilePattern(), "*.vlprs");
    EXPECT_EQ (plugin.getPresetBankFilePattern(), "*.vlprsb");
    EXPECT_EQ (plugin.getPresetFilePatterns(), "*.vlprs; *.vlp");
    EXPECT_EQ (plugin.getPresetBankFilePatterns(), "*.vlprsb; *.vlb");
    EXPECT_EQ (plugin.getMidiCCMapFilePatterns(), "*.vlccmap; *.vlc");
    EXPECT_EQ (plugin.getOldPresetFileExtension (5), ".vlp");
}

TEST (PresetFiles, FileRoundTrips)
{
    const TemporaryFolder temp { "VelcroftPresetFiles" };
    PresetPlugin plugin;
    plugin.initialise();
    PresetTestSupport::makeBank (plugin, { { "A", 6 }, { "B", 4 } });

    for (auto* extension : { ".vlprs", ".vlp" })
    {
        SCOPED_TRACE (extension);
        const auto file = temp.folder.getChildFile (juce::String ("single") + extension);
        plugin.getPreset (3)->setValue (VelcroftParameters::rightBits, 0.3125f);
        ASSERT_TRUE (plugin.savePresetFile (file, 3));

        // Loaded into a slot that is not current: the parameters stay.
        plugin.selectPreset (1);
        const auto before = plugin.values();
        ASSERT_TRUE (plugin.loadPresetFile (file, 8));
        EXPECT_EQ (plugin.getPresetName (8), "p3");
        EXPECT_EQ (PresetTestSupport::valuesOf (*plugin.getPreset (8)), PresetTestSupport::valuesOf (*plugin.getPreset (3)));
        EXPECT_EQ (plugin.values(), before);

        // Into the current slot: applied.
        ASSERT_TRUE (plugin.loadPresetFile (file, 1));
        EXPECT_EQ (plugin.values()[VelcroftParameters::rightBits], 0.3125f);
        EXPECT_EQ (plugin.presetNameParameter(), "p3");

        EXPECT_FALSE (plugin.loadPresetFile (file, 128));
        EXPECT_FALSE (plugin.savePresetFile (temp.folder.getChildFile ("bad.vlprs"), -1));
    }

    // An older preset file with the older tag.
    const auto oldPreset = temp.folder.getChildFile ("old.vlp");
    oldPreset.replaceWithText ("<?xml version=\"1.0\"?><VelcroftPreset name=\"Vintage\"><param name=\"Preamp\" value=\"0.5\"/></VelcroftPreset>");
    ASSERT_TRUE (plugin.loadPresetFile (oldPreset, 9));
    EXPECT_EQ (plugin.getPresetName (9), "Vintage");

    for (auto* extension : { ".vlprsb", ".vlb" })
    {
        SCOPED_TRACE (extension);
        const auto file = temp.folder.getChildFile (juce::String ("bank") + extension);
        ASSERT_TRUE (plugin.savePresetBankFile (file));
        EXPECT_EQ (plugin.getRecentlyUsedDirectory(), temp.folder);

        PresetPlugin other;
        other.initialise();
        other.setCurrentPresetIndex (4, false);
        ASSERT_TRUE (other.loadPresetBankFile (file));
        EXPECT_EQ (other.createPresetBankXml()->toString(), plugin.createPresetBankXml()->toString());
        EXPECT_EQ (other.values(), PresetTestSupport::valuesOf (*other.getPreset (4)));    // the current slot applied
        EXPECT_EQ (other.getRecentlyUsedDirectory(), temp.folder);
    }

    // Files that do not parse or hold something else change nothing.
    const auto reference = plugin.createPresetBankXml()->toString();
    const auto broken = temp.folder.getChildFile ("broken.vlprsb");
    broken.replaceWithText ("<PresetBank><PresetGroup>");
    EXPECT_FALSE (plugin.loadPresetBankFile (broken));
    EXPECT_FALSE (plugin.loadPresetFile (broken, 0));
    const auto wrongRoot = temp.folder.getChildFile ("wrong.vlprsb");
    wrongRoot.replaceWithText ("<Preset application=\"Velcroft\" name=\"x\"/>");
    EXPECT_FALSE (plugin.loadPresetBankFile (wrongRoot));
    EXPECT_FALSE (plugin.loadPresetBankFile (temp.folder.getChildFile ("missing.vlprsb")));
    EXPECT_EQ (plugin.createPresetBankXml()->toString(), reference);
}

TEST (PresetFiles, CostlyPresetFilesAreRefusedQuickly)
{
    // Banks and MIDI maps are read at start-up too: the plug-in tests try those through the library.
    using namespace HostileXml;
    const TemporaryFolder temp { "VelcroftCostlyFiles" };
    PresetPlugin plugin;
    plugin.initialise();
    const auto file = temp.folder.getChildFile ("costly.vlprs");
    const auto name = plugin.getPresetName (0);

    for (auto& text : { "<Preset application=\"Velcroft\"" + descendingAttributes (60000) + "/>",
                        "<Preset application=\"Velcroft\" name=\"" + denseReferences (900 << 10) + "\"/>" })
    {
        ASSERT_TRUE (file.replaceWithData (text.data(), text.size()));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE (plugin.loadPresetFile (file, 0));
        EXPECT_LT (std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count(), HostileXml::maxSeconds);
    }

    EXPECT_EQ (plugin.getPresetName (0), name);
}

TEST (PresetFiles, FailedWritesKeepThePreviousFile)
{
    const TemporaryFolder temp { "VelcroftPresetFiles" };
    PresetPlugin plugin;
    plugin.initialise();

    const auto presetFile = temp.folder.getChildFile ("keep.vlprs");
    const auto bankFile = temp.folder.getChildFile ("keep.vlprsb");
    presetFile.replaceWithText ("previous preset");
    bankFile.replaceWithText ("previous bank");

    // A folder in the way and a path under a file cannot be written.
    EXPECT_FALSE (plugin.savePresetFile (temp.folder, 0));
    EXPECT_FALSE (plugin.savePresetBankFile (presetFile.getChildFile ("under.vlprsb")));

    // A write cut short by a size limit (a full disk behaves alike) fails and leaves the old files.
    rlimit old {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 200;
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &small), 0);
    const bool presetSaved = plugin.savePresetFile (presetFile, 0);
    const bool bankSaved = plugin.savePresetBankFile (bankFile);
    setrlimit (RLIMIT_FSIZE, &old);
    std::signal (SIGXFSZ, oldHandler);

    EXPECT_FALSE (presetSaved);
    EXPECT_FALSE (bankSaved);
    EXPECT_EQ (presetFile.loadFileAsString(), "previous preset");
    EXPECT_EQ (bankFile.loadFileAsString(), "previous bank");
    EXPECT_EQ (temp.folder.getNumberOfChildFiles (juce::File::findFiles), 2);

    EXPECT_TRUE (plugin.savePresetFile (presetFile, 0));
    EXPECT_TRUE (presetFile.loadFileAsString().startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
}
