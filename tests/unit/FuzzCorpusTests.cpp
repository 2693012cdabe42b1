/*
    The seed corpus of the fuzz targets (tests/fuzz/corpus/<target>/), made from what a running
    Velcroft writes: its state and program chunks, preset, bank, settings and MIDI map files,
    the embedded parameter definitions, and MIDI event lists in the targets' record form.

    Run with VELCROFT_WRITE_FUZZ_CORPUS=<folder> to write the seeds into <folder>/<target>/.
    Banks are cut to a preset or two per group, so that every seed stays a few kilobytes and the
    fuzzers run quickly; everything else is as the plug-in writes it.
*/
#include "framework/BasePlugin.h"
#include "framework/EmbeddedResources.h"
#include "framework/XmlFiles.h"
#include "product/Velcroft.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace FuzzCorpusTestsDetail
{
struct Seed
{
    juce::String target, name;
    juce::MemoryBlock data;
};

/** A Velcroft whose plug-in file sits in a fresh temporary folder, deleted with it. */
class SeedPlugin
{
public:
    SeedPlugin()
    {
        plugin = std::make_unique<Velcroft>();
        plugin->setPluginFile (place.folder.getChildFile ("Velcroft.so"));
        plugin->initialise();
    }

    Velcroft& operator*() noexcept                  { return *plugin; }
    Velcroft* operator->() noexcept                 { return plugin.get(); }
    juce::File file (const juce::String& name) const { return place.folder.getChildFile (name); }

    /** Destroys the instance (so that it writes its settings file) and returns that file's bytes. */
    juce::MemoryBlock settingsWrittenAtClose()
    {
        const auto settings = plugin->getSettingsFile();
        plugin.reset();
        juce::MemoryBlock data;
        settings.loadFileAsData (data);
        return data;
    }

private:
    const TemporaryFolder place { "VelcroftFuzzCorpus" };       // outlives the plug-in
    std::unique_ptr<Velcroft> plugin;
};

juce::MemoryBlock fileBytes (const juce::File& file)
{
    juce::MemoryBlock data;
    file.loadFileAsData (data);
    return data;
}

juce::MemoryBlock textBytes (const juce::String& text)
{
    return juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8());
}

/** Keeps the first presets of every group of every bank below the element. */
void cutBanks (juce::XmlElement& element, int presetsPerGroup)
{
    for (auto* child : element.getChildIterator())
    {
        if (child->getTagName().endsWith ("PresetGroup"))
        {
            while (child->getNumChildElements() > presetsPerGroup)
                child->removeChildElement (child->getChildElement (child->getNumChildElements() - 1), true);
        }
        else
        {
            cutBanks (*child, presetsPerGroup);
        }
    }
}

/** Renames every element whose tag is one of the current names to the older product-prefixed name. */
void renameToOlderTags (juce::XmlElement& element)
{
    for (auto* tag : { "PluginState", "PresetBank", "PresetGroup", "Preset" })
        if (element.hasTagName (tag))
            element.setTagName ("Velcroft" + juce::String (tag));

    if (element.hasTagName ("MidiControlMap"))
        element.setTagName ("MidiCCMap");

    for (auto* child : element.getChildIterator())
        renameToOlderTags (*child);
}

juce::MemoryBlock binaryXml (const juce::XmlElement& xml)
{
    juce::MemoryBlock data;
    juce::AudioProcessor::copyXmlToBinary (xml, data);
    return data;
}

juce::MemoryBlock writtenFile (const juce::XmlElement& xml, const juce::File& file)
{
    writeXmlFile (xml, file);
    return fileBytes (file);
}

/** MIDI records as the event targets read them: position (two bytes, little-endian), then three
    message bytes whose length the status byte's value modulo 3 chooses (hence the channels). */
juce::MemoryBlock midiRecords (std::initializer_list<std::array<int, 4>> events, int blockLengthByte = -1)
{
    juce::MemoryOutputStream out;

    if (blockLengthByte >= 0)
        out.writeByte ((char) blockLengthByte);

    for (auto& e : events)
    {
        out.writeShort ((short) e[0]);
        out.writeByte ((char) e[1]);
        out.writeByte ((char) e[2]);
        out.writeByte ((char) e[3]);
    }

    return out.getMemoryBlock();
}

std::vector<Seed> makeSeeds()
{
    std::vector<Seed> seeds;
    const auto add = [&] (const char* target, const char* name, juce::MemoryBlock data)
    {
        seeds.push_back ({ target, name, std::move (data) });
    };

    SeedPlugin plugin;
    auto& parameters = plugin->getParameterManager();

    // A state with a chosen slot, edited parameters and a MIDI map.
    plugin->setCurrentPresetIndex (11, true);
    plugin->applyCurrentPreset();
    parameters.setNormalisedValue (VelcroftParameters::preamp, 0.25f);
    parameters.setNormalisedValue (VelcroftParameters::outputVolume, 0.8125f);
    plugin->getMidiControl().assignController (7, parameters.getParameter (VelcroftParameters::outputVolume), true);
    plugin->getMidiControl().assignController (1, parameters.getParameter (VelcroftParameters::fx), true);

    juce::MemoryBlock chunk;
    plugin->getStateInformation (chunk);
    auto state = BasePlugin::parseStateChunk (chunk.getData(), (int) chunk.getSize());
    cutBanks (*state, 1);
    add ("StateChunkFuzzer", "state", binaryXml (*state));
    // The older root: the slot as its attribute, the bank and the map straight below it, no values.
    auto olderState = std::make_unique<juce::XmlElement> ("PluginState");
    olderState->setAttribute ("currentPreset", 11);
    olderState->addChildElement (new juce::XmlElement (*state->getChildByName ("UniqueData")));
    olderState->addChildElement (new juce::XmlElement (*state->getChildByName ("PresetsState")->getChildByName ("PresetBank")));
    olderState->addChildElement (new juce::XmlElement (*state->getChildByName ("MidiControlMap")));
    renameToOlderTags (*olderState);
    add ("StateChunkFuzzer", "older-state", binaryXml (*olderState));

    juce::MemoryBlock program;
    plugin->getCurrentProgramStateInformation (program);
    add ("ProgramChunkFuzzer", "program", program);
    auto olderProgram = BasePlugin::parseStateChunk (program.getData(), (int) program.getSize());
    olderProgram->removeAttribute ("rev");
    renameToOlderTags (*olderProgram);
    add ("ProgramChunkFuzzer", "older-program", binaryXml (*olderProgram));

    add ("PresetFileFuzzer", "empty-preset", textBytes (loadResourceAsString ("default" + plugin->getPresetFileExtension())));
    plugin->savePresetFile (plugin.file ("Liquid.vlprs"), 11);
    add ("PresetFileFuzzer", "saved-preset", fileBytes (plugin.file ("Liquid.vlprs")));

    auto factoryBank = parseUntrustedXml (loadResourceAsString ("default" + plugin->getPresetBankFileExtension()), bankFileXmlLimits);
    cutBanks (*factoryBank, 2);
    add ("BankFileFuzzer", "factory-bank", textBytes (factoryBank->toString()));
    auto savedBank = plugin->createPresetBankXml();
    cutBanks (*savedBank, 1);
    add ("BankFileFuzzer", "saved-bank", writtenFile (*savedBank, plugin.file ("saved.vlprsb")));

    plugin->getMidiControl().saveToFile (plugin.file ("map.vlccmap"));
    add ("MidiMapFuzzer", "map", fileBytes (plugin.file ("map.vlccmap")));

    add ("ParameterDefinitionsFuzzer", "parameters", textBytes (loadResourceAsString ("parameters.xml")));

    // A control change ramp, a program change, notes and a controller on another channel.
    add ("MidiEventsFuzzer", "events", midiRecords ({ { 0, 0xb0, 7, 0 }, { 16, 0xb0, 7, 64 }, { 32, 0xb0, 7, 127 },
                                                      { 40, 0xc1, 3, 0 }, { 48, 0x92, 60, 100 }, { 60, 0x92, 60, 0 },
                                                      { 70, 0xb3, 1, 90 }, { 200, 0xb0, 1, 10 } }));
    add ("EffectMidiFuzzer", "events", midiRecords ({ { 0, 0xb0, 16, 0 }, { 8, 0xb0, 16, 127 }, { 20, 0xb0, 1, 64 },
                                                      { 30, 0xc1, 3, 0 }, { 40, 0x92, 60, 100 }, { 50, 0xb3, 15, 30 },
                                                      { 63, 0xc1, 40, 0 }, { 100, 0xb0, 5, 90 } }, 63));

    // Settings as the plug-in writes them at close: the defaults, and every mode switched.
    add ("SettingsFileFuzzer", "default-settings", plugin.settingsWrittenAtClose());

    SeedPlugin changed;
    changed->setRecentlyUsedDirectory (juce::File ("/tmp"));
    changed->setPresetsMode (BasePluginOldStyle::clearPresets);
    changed->setStoringMode (BasePluginOldStyle::storingAutomatic);
    changed->setChangingMode (BasePluginOldStyle::changingSilent);
    changed->getMidiControl().setDefaultMapEnabled (true);
    changed->getMidiControl().setDefaultMapFile ("/nonexistent/Velcroft.vlccmap");
    add ("SettingsFileFuzzer", "changed-settings", changed.settingsWrittenAtClose());

    return seeds;
}

juce::File corpusFolder()
{
    return juce::File (VELCROFT_SOURCE_DIR).getChildFile ("tests/fuzz/corpus");
}
} // namespace FuzzCorpusTestsDetail

TEST (FuzzCorpus, SeedsAreWhatThePluginWritesAndReadsBack)
{
    using namespace FuzzCorpusTestsDetail;

    const auto seeds = makeSeeds();

    if (auto* out = std::getenv ("VELCROFT_WRITE_FUZZ_CORPUS"))
    {
        for (auto& seed : seeds)
        {
            const auto folder = juce::File (out).getChildFile (seed.target);
            folder.createDirectory();
            ASSERT_TRUE (folder.getChildFile (seed.name).replaceWithData (seed.data.getData(), seed.data.getSize()));
        }
    }

    // Each seed is taken in by the input it stands for, so that the fuzzers start from inputs
    // that reach deep into the plug-in.
    std::map<juce::String, const Seed*> byName;

    for (auto& seed : seeds)
    {
        EXPECT_LE (seed.data.getSize(), 8192u) << seed.name;
        byName[seed.target + "/" + seed.name] = &seed;
    }

    SeedPlugin target;
    auto& parameters = target->getParameterManager();

    const auto& state = byName.at ("StateChunkFuzzer/state")->data;
    target->setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (target->getCurrentPresetIndex(), 11);
    EXPECT_EQ (parameters.getNormalisedValue (VelcroftParameters::outputVolume), 0.8125f);
    EXPECT_EQ (target->getMidiControl().getAssignedParameter (7), parameters.getParameter (VelcroftParameters::outputVolume));
    EXPECT_EQ (target->getPresetName (0), "MPC 60");
    EXPECT_EQ (target->getNumGroups(), 5) << "three groups, the cut \"Not used\" and the one that fills the bank";

    const auto& olderState = byName.at ("StateChunkFuzzer/older-state")->data;
    target->setCurrentPresetIndex (0, true);
    target->setStateInformation (olderState.getData(), (int) olderState.getSize());
    EXPECT_EQ (target->getCurrentPresetIndex(), 11);

    for (auto* name : { "ProgramChunkFuzzer/program", "ProgramChunkFuzzer/older-program" })
    {
        target->setPresetName (target->getCurrentPresetIndex(), "x");
        const auto& program = byName.at (name)->data;
        target->setCurrentProgramStateInformation (program.getData(), (int) program.getSize());
        EXPECT_EQ (target->getPresetName (target->getCurrentPresetIndex()), "Liquid") << name;
    }

    for (auto* name : { "PresetFileFuzzer/empty-preset", "PresetFileFuzzer/saved-preset" })
    {
        target.file ("seed").replaceWithData (byName.at (name)->data.getData(), byName.at (name)->data.getSize());
        EXPECT_TRUE (target->loadPresetFile (target.file ("seed"), 3)) << name;
    }

    for (auto [name, groups] : { std::pair ("BankFileFuzzer/factory-bank", 4), std::pair ("BankFileFuzzer/saved-bank", 5) })
    {
        target.file ("seed").replaceWithData (byName.at (name)->data.getData(), byName.at (name)->data.getSize());
        EXPECT_TRUE (target->loadPresetBankFile (target.file ("seed"))) << name;
        EXPECT_EQ (target->getNumGroups(), groups) << name;
    }

    const auto& map = byName.at ("MidiMapFuzzer/map")->data;
    target.file ("seed").replaceWithData (map.getData(), map.getSize());
    EXPECT_TRUE (target->getMidiControl().loadFromFile (target.file ("seed")));
    EXPECT_EQ (target->getMidiControl().getNumAssignments(), 2);

    const auto changedSettings = parseUntrustedXml (byName.at ("SettingsFileFuzzer/changed-settings")->data.toString(), settingsXmlLimits);
    ASSERT_NE (changedSettings, nullptr);
    target->loadUserSettings (*changedSettings);
    EXPECT_EQ (target->getPresetsMode(), BasePluginOldStyle::clearPresets);
    EXPECT_EQ (target->getChangingMode(), BasePluginOldStyle::changingSilent);
    EXPECT_TRUE (target->getMidiControl().isDefaultMapEnabled());
}

TEST (FuzzCorpus, EveryTargetHasCommittedSeedsThatStillParse)
{
    using namespace FuzzCorpusTestsDetail;

    const auto targets = juce::File (VELCROFT_SOURCE_DIR).getChildFile ("tests/fuzz")
                             .findChildFiles (juce::File::findFiles, false, "*Fuzzer.cpp");
    ASSERT_FALSE (targets.isEmpty());

    for (auto& source : targets)
    {
        const auto name = source.getFileNameWithoutExtension();
        const auto seeds = corpusFolder().getChildFile (name).findChildFiles (juce::File::findFiles, false);
        EXPECT_FALSE (seeds.isEmpty()) << name << " has no seeds";

        for (auto& seed : seeds)
        {
            EXPECT_LE (seed.getSize(), 8192) << seed.getFullPathName();

            // Seeds of the XML inputs must still be read as XML by the current code.
            const auto data = fileBytes (seed);

            if (name == "StateChunkFuzzer" || name == "ProgramChunkFuzzer")
                EXPECT_NE (BasePlugin::parseStateChunk (data.getData(), (int) data.getSize()), nullptr) << seed.getFullPathName();
            else if (! name.contains ("Midi") || name == "MidiMapFuzzer")
                EXPECT_NE (parseUntrustedXml (data.toString(), name == "PresetFileFuzzer" ? presetFileXmlLimits
                                                             : name == "BankFileFuzzer" ? bankFileXmlLimits
                                                             : name == "MidiMapFuzzer" ? midiMapXmlLimits
                                                             : name == "SettingsFileFuzzer" ? settingsXmlLimits
                                                                                            : stateXmlLimits),
                           nullptr) << seed.getFullPathName();
        }
    }
}
