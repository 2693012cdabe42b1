/*
    Velcroft's state, program chunk, preset selection and settings file, seen through the VST 2.4
    interface of the built library: what comes up after loading, state chunks that restore every
    value exactly, chunks that must change nothing, program changes with their host automation,
    and the settings file beside the library that decides the bank and the changing mode.
*/
#include "tests/vst/VelcroftTestSupport.h"
#include "HostileXml.h"

#include <pthread.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <tuple>

using namespace velcroft_vst_test;

namespace state_tests_detail
{
/** Random values for all 18 parameters. */
Values randomValues (std::mt19937& random)
{
    std::uniform_real_distribution<float> distribution (0.0f, 1.0f);
    Values values {};

    for (auto& v : values)
        v = distribution (random);

    return values;
}

void setValues (VstPlugin& plugin, const Values& values)
{
    for (int i = 0; i < numParameters; ++i)
        plugin.setParameter (i, values[(size_t) i]);
}

/** The "param" children of an element's text: name and value in document order. */
std::vector<std::pair<std::string, double>> paramsOf (const std::string& xml)
{
    std::vector<std::pair<std::string, double>> params;

    for (auto at = xml.find ("<param "); at != std::string::npos; at = xml.find ("<param ", at + 1))
    {
        const auto nameStart = xml.find ("name=\"", at) + 6;
        const auto nameEnd = xml.find ('"', nameStart);
        const auto valueStart = xml.find ("value=\"", at) + 7;
        const auto valueEnd = xml.find ('"', valueStart);
        params.emplace_back (xml.substr (nameStart, nameEnd - nameStart),
                             std::stod (xml.substr (valueStart, valueEnd - valueStart)));
    }

    return params;
}

/** The text of the first tag with this name, up to its closing ">". */
std::string openingTagOf (const std::string& xml, const std::string& tag)
{
    const auto start = xml.find ("<" + tag + " ");
    return start == std::string::npos ? std::string() : xml.substr (start, xml.find ('>', start) - start + 1);
}

/** Replaces the first occurrence of a text. */
std::string replaceFirst (std::string text, const std::string& from, const std::string& to)
{
    const auto at = text.find (from);

    if (at != std::string::npos)
        text.replace (at, from.size(), to);

    return text;
}

/** Seconds since a point in time. */
double secondsSince (std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
}

/** Hands a copy of a chunk to the plug-in on a thread with a host-sized stack of 512 KiB;
    returns the seconds the plug-in took. */
double setChunkOnSmallStack (VstPlugin& plugin, const std::vector<std::uint8_t>& chunk, bool programOnly)
{
    struct Job { VstPlugin* plugin; const std::vector<std::uint8_t>* chunk; bool programOnly; double seconds; };
    Job job { &plugin, &chunk, programOnly, 0.0 };

    pthread_attr_t attributes;
    pthread_attr_init (&attributes);
    pthread_attr_setstacksize (&attributes, 512 * 1024);

    pthread_t thread;
    const auto started = pthread_create (&thread, &attributes, [] (void* arg) -> void*
    {
        auto& j = *static_cast<Job*> (arg);
        auto copy = *j.chunk;
        const auto start = std::chrono::steady_clock::now();
        j.plugin->dispatch (vst::effSetChunk, j.programOnly ? 1 : 0, (vst::IntPtr) copy.size(), copy.data());
        j.seconds = secondsSince (start);
        return nullptr;
    }, &job);

    pthread_attr_destroy (&attributes);
    EXPECT_EQ (started, 0);

    if (started == 0)
        pthread_join (thread, nullptr);

    return job.seconds;
}

/** The text with the name of the first preset in it replaced. */
std::string withFirstPresetName (const std::string& xml, const std::string& name)
{
    const auto start = xml.find (" name=\"", xml.find ("<Preset ")) + 7;
    return xml.substr (0, start) + name + xml.substr (xml.find ('"', start));
}

/** The name attribute of the program chunk, i.e. of the current slot. */
std::string currentSlotName (VstPlugin& plugin)
{
    const auto tag = openingTagOf (chunkToXml (plugin.getChunk (true)), "Preset");
    const auto start = tag.find ("name=\"");

    if (start == std::string::npos)
        return {};

    return tag.substr (start + 6, tag.find ('"', start + 6) - start - 6);
}

/** The parameters that differ between two sets of values. */
std::set<int> changedParameters (const Values& before, const Values& after)
{
    std::set<int> changed;

    for (int i = 0; i < numParameters; ++i)
        if (before[(size_t) i] != after[(size_t) i])
            changed.insert (i);

    return changed;
}
} // namespace state_tests_detail

using namespace state_tests_detail;

//==============================================================================
TEST (VelcroftState, StartsOnFactorySlotZeroAndRestoresEveryValueExactly)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    expectValues (*plugin, mpc60Values, "after load");
    EXPECT_EQ (currentSlotName (*plugin), "MPC 60");

    std::mt19937 random (20240611);

    for (int round = 0; round < 3; ++round)
    {
        const auto taken = randomValues (random);
        setValues (*plugin, taken);
        expectValues (*plugin, taken, "values as set");

        const auto state = plugin->getChunk (false);
        const auto program = plugin->getChunk (true);
        ASSERT_FALSE (state.empty());
        ASSERT_FALSE (program.empty());

        setValues (*plugin, randomValues (random));
        EXPECT_EQ (plugin->setChunk (state, false), 0);

        expectValues (*plugin, taken, "state restored in round " + std::to_string (round));
        EXPECT_EQ (plugin->getChunk (false), state) << "the restored state gives the same bytes again";
        EXPECT_EQ (plugin->getChunk (true), program);
    }

    // The state chunk of a fresh instance restores the factory start.
    auto fresh = openInstance (library);
    ASSERT_NE (fresh, nullptr);
    const auto freshState = fresh->getChunk (false);
    plugin->setChunk (freshState, false);
    expectValues (*plugin, mpc60Values, "fresh instance's state");
    EXPECT_EQ (plugin->getChunk (false), freshState);
}

TEST (VelcroftState, RefusesChunksThatAreNotItsOwnWithoutChangingAnything)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    // A valid state and preset from the factory start, which must not come back through a foreign wrapper.
    const auto factoryState = chunkToXml (plugin->getChunk (false));
    const auto factoryPreset = chunkToXml (plugin->getChunk (true));
    ASSERT_FALSE (factoryState.empty());
    ASSERT_FALSE (factoryPreset.empty());

    std::mt19937 random (77);
    const auto values = randomValues (random);
    setValues (*plugin, values);
    const auto state = plugin->getChunk (false);
    const auto program = plugin->getChunk (true);

    std::vector<std::uint8_t> noise (4096);
    std::generate (noise.begin(), noise.end(), [&random] { return (std::uint8_t) random(); });

    auto wrongLength = xmlToChunk (factoryState);
    wrongLength[4] = 0xff;                          // claims more text than there is
    wrongLength[5] = 0xff;

    auto badUtf8 = factoryState;
    badUtf8[badUtf8.find ("MPC 60")] = (char) 0xc3; // a lead byte followed by an ASCII byte
    badUtf8[badUtf8.find ("Preamp")] = (char) 0xff;

    const auto deep = [] (const std::string& root, int depth)
    {
        std::string text = root;
        text.reserve ((size_t) depth * 7 + 256);

        for (int i = 0; i < depth; ++i)
            text += "<a>";

        for (int i = 0; i < depth; ++i)
            text += "</a>";

        return text + "</" + root.substr (1, root.find (' ') - 1) + ">";
    };

    const std::pair<std::string, std::vector<std::uint8_t>> cases[] = {
        { "random bytes", noise },
        { "one byte", { 0x56 } },
        { "the magic alone", { 0x56, 0x43, 0x32, 0x21 } },
        { "header without text", { 0x56, 0x43, 0x32, 0x21, 0, 0, 0, 0, 0 } },
        { "first half of a state chunk", std::vector<std::uint8_t> (state.begin(), state.begin() + (std::ptrdiff_t) state.size() / 2) },
        { "a state cut in the middle of its text", xmlToChunk (factoryState.substr (0, factoryState.size() / 2)) },
        { "a length past the end", wrongLength },
        { "no binary XML header", std::vector<std::uint8_t> (factoryState.begin(), factoryState.end()) },
        { "not XML", xmlToChunk ("hello, this is no state") },
        { "another root", xmlToChunk ("<Foo application=\"Velcroft\"/>") },
        { "state of another plug-in", xmlToChunk (replaceFirst (factoryState, "application=\"Velcroft\"", "application=\"Velcrow\"")) },
        { "state without application", xmlToChunk (replaceFirst (factoryState, "application=\"Velcroft\"", "")) },
        { "preset of another plug-in", xmlToChunk (replaceFirst (factoryPreset, "application=\"Velcroft\"", "application=\"Velcrow\"")) },
        { "invalid UTF-8", xmlToChunk (badUtf8) },
        { "a document type", xmlToChunk ("<!DOCTYPE PluginState [<!ENTITY e \"x\">]>" + factoryState.substr (factoryState.find ("<PluginState"))) },
        { "state nested 200,000 deep", xmlToChunk (deep ("<PluginState application=\"Velcroft\">", 200000)) },
        { "preset nested 200,000 deep", xmlToChunk (deep ("<Preset application=\"Velcroft\" name=\"x\">", 200000)) },

        // Texts that cost JUCE's parser seconds to minutes, under a megabyte and beyond.
        { "state of 60,000 descending names (900 kB)", xmlToChunk ("<PluginState application=\"Velcroft\"" + HostileXml::descendingAttributes (60000) + "/>") },
        { "state of 110,000 descending names (1.6 MB)", xmlToChunk ("<PluginState application=\"Velcroft\"" + HostileXml::descendingAttributes (110000) + "/>") },
        { "preset of 60,000 descending names", xmlToChunk ("<Preset application=\"Velcroft\"" + HostileXml::descendingAttributes (60000) + "/>") },
        { "state with 900 kB of references in a preset name", xmlToChunk (withFirstPresetName (factoryState, HostileXml::denseReferences (900 << 10))) },
        { "preset with 900 kB of references in its name", xmlToChunk (withFirstPresetName (factoryPreset, HostileXml::denseReferences (900 << 10))) },
        { "preset with 3.2 MB of references in its name", xmlToChunk (withFirstPresetName (factoryPreset, HostileXml::denseReferences (3200 << 10))) },
        { "state of 100 MB", xmlToChunk (replaceFirst (factoryState, "</PluginState>", std::string (100 << 20, ' ') + "</PluginState>")) },
    };

    for (auto& [what, chunk] : cases)
    {
        for (bool programOnly : { false, true })
        {
            const auto situation = std::string (what) + (programOnly ? " as program chunk" : " as state chunk");
            EXPECT_LT (setChunkOnSmallStack (*plugin, chunk, programOnly), HostileXml::maxSeconds) << situation;

            expectValues (*plugin, values, situation);
            EXPECT_EQ (plugin->getChunk (false), state) << situation;
            EXPECT_EQ (plugin->getChunk (true), program) << situation;
        }
    }

    // A host that hands no data at all gets 0 and no change.
    EXPECT_EQ (plugin->dispatch (vst::effSetChunk, 0, 100, nullptr), 0);
    EXPECT_EQ (plugin->dispatch (vst::effSetChunk, 1, 0, const_cast<std::uint8_t*> (state.data())), 0);
    expectValues (*plugin, values, "no data");
}

TEST (VelcroftState, LoadsStatesOfThousandsOfBanksQuickly)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    // Each bank replaces the whole bank: the last one counts, and the others must not cost a
    // reset of every slot each.
    std::string banks;

    for (int i = 0; i < 19900; ++i)
        banks += "<PresetBank/>";

    const auto last = bankXml ({ { "Last", liquidValues } });
    const std::string older = "<VelcroftPluginState currentPreset=\"0\">" + banks + replaceFirst (replaceFirst (last, "<Preset ", "<VelcroftPreset "), "</Preset>", "</VelcroftPreset>");

    const std::pair<const char*, std::string> states[] = {
        { "state", "<PluginState application=\"Velcroft\"><PresetsState currentPreset=\"0\">" + banks + last + "</PresetsState></PluginState>" },
        { "older state", older + "</VelcroftPluginState>" },
    };

    for (auto& [what, text] : states)
    {
        plugin->setChunk (xmlToChunk (replaceFirst (text, "Last", "Other")), false);
        EXPECT_EQ (currentSlotName (*plugin), "Other") << what;
        EXPECT_LT (setChunkOnSmallStack (*plugin, xmlToChunk (text), false), HostileXml::maxSeconds) << what;
        EXPECT_EQ (currentSlotName (*plugin), "Last") << what;
    }
}

//==============================================================================
TEST (VelcroftPresets, ProgramChunkHoldsTheCurrentPresetAndAppliesIt)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    const auto chunk = plugin->getChunk (true);
    ASSERT_GE (chunk.size(), 9u);
    EXPECT_EQ (std::vector<std::uint8_t> (chunk.begin(), chunk.begin() + 4), (std::vector<std::uint8_t> { 'V', 'C', '2', '!' }));
    EXPECT_EQ (readLittleEndian32 (chunk.data()), binaryXmlMagic);
    EXPECT_EQ (readLittleEndian32 (chunk.data() + 4), chunk.size() - 9) << "text length, then the text and a zero";
    EXPECT_EQ (chunk.back(), 0);

    const auto xml = chunkToXml (chunk);
    const auto root = openingTagOf (xml, "Preset");
    EXPECT_NE (root.find ("application=\"Velcroft\""), std::string::npos) << root;
    EXPECT_NE (root.find ("name=\"MPC 60\""), std::string::npos) << root;
    EXPECT_NE (root.find ("rev=\"1\""), std::string::npos) << root;

    const auto params = paramsOf (xml);
    ASSERT_EQ (params.size(), (size_t) numParameters);

    for (int i = 0; i < numParameters; ++i)
    {
        EXPECT_EQ (params[(size_t) i].first, parameterNames[i]);
        EXPECT_EQ ((float) params[(size_t) i].second, mpc60Values[(size_t) i]) << parameterNames[i];
    }

    // Slot 11's program chunk, handed back while slot 0 is current, loads into slot 0 and applies.
    std::vector<std::uint8_t> liquidChunk;
    {
        BlockStream stream (*plugin, makeSine (256), 256);
        stream.process (128, { VstPlugin::MidiEvent::programChange (11) });
        liquidChunk = plugin->getChunk (true);
        stream.process (128, { VstPlugin::MidiEvent::programChange (0) });
    }
    expectValues (*plugin, mpc60Values, "back on slot 0");
    EXPECT_EQ (currentSlotName (*plugin), "MPC 60");

    plugin->setChunk (liquidChunk, true);
    expectValues (*plugin, liquidValues, "slot 11's program chunk applied");
    EXPECT_EQ (currentSlotName (*plugin), "Liquid");
    EXPECT_NE (chunkToXml (plugin->getChunk (false)).find ("currentPreset=\"0\""), std::string::npos)
        << "the program chunk replaces the current slot and selects no other";

    // A preset that names only some parameters changes those and keeps the slot's others, except
    // that a preset without revision has both filter orders at "Post" unless it names them.
    const std::string partial = "name=\"Half\"><param name=\"FX\" value=\"0.25\"/>"
                                "<param name=\"Nonsense\" value=\"0.5\"/><param name=\"Preamp\" value=\"0.75\"/></Preset>";
    plugin->setChunk (xmlToChunk ("<Preset application=\"Velcroft\" rev=\"1\" " + partial), true);
    auto expected = liquidValues;
    expected[VelcroftParameters::fx] = 0.25f;
    expected[VelcroftParameters::preamp] = 0.75f;
    expectValues (*plugin, expected, "a partial preset");
    EXPECT_EQ (currentSlotName (*plugin), "Half");

    plugin->setChunk (xmlToChunk ("<Preset application=\"Velcroft\" " + partial), true);
    expected[VelcroftParameters::leftFilterOrder] = expected[VelcroftParameters::rightFilterOrder] = 0.0f;
    expectValues (*plugin, expected, "a partial preset without revision");
}

TEST (VelcroftPresets, ProgramChangeSelectsTheSlotAndReportsOnlyChangedParameters)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto host = std::make_shared<VstHost>();
    auto plugin = openInstance (library, host);
    ASSERT_NE (plugin, nullptr);

    // The host's own changes are not echoed back to it.
    host->clearNotifications();
    plugin->setParameter (VelcroftParameters::leftLinkFreq, 0.25f);
    plugin->setParameter (VelcroftParameters::outputVolume, 0.125f);
    EXPECT_EQ (plugin->getParameter (VelcroftParameters::leftLinkFreq), 0.25f);
    EXPECT_EQ (plugin->getParameter (VelcroftParameters::outputVolume), 0.125f);
    plugin->setParameter (VelcroftParameters::leftLinkFreq, 0.0f);
    plugin->setParameter (VelcroftParameters::outputVolume, mpc60Values[VelcroftParameters::outputVolume]);
    EXPECT_TRUE (host->getNotifications (vst::audioMasterAutomate).empty());

    BlockStream stream (*plugin, makeSine (4096), 256);
    stream.process (256);
    host->clearNotifications();

    struct Step { int program; Values values; const char* name; };
    const Step steps[] = {
        { 1, sixteenBit8kValues, "16bit 8kHz" },
        { 11, liquidValues, "Liquid" },
        { 3, sixteenBit32kValues, "16bit 32kHz" },
        { 0, mpc60Values, "MPC 60" },
        { 0, mpc60Values, "MPC 60" },               // the same slot again changes nothing
        { 100, emptyPresetValues, "Preset 100" },   // an unused slot holds the empty preset
    };

    auto before = mpc60Values;

    for (auto& step : steps)
    {
        const auto situation = std::string ("program change to ") + std::to_string (step.program);
        host->clearNotifications();
        stream.process (256, { VstPlugin::MidiEvent::programChange (step.program, 3, 100) });

        expectValues (*plugin, step.values, situation);
        EXPECT_EQ (currentSlotName (*plugin), step.name) << situation;

        std::map<int, std::vector<float>> reported;

        for (auto& n : host->getNotifications (vst::audioMasterAutomate))
            reported[n.index].push_back (n.value);

        const auto changed = changedParameters (before, step.values);
        EXPECT_EQ (reported.size(), changed.size()) << situation;

        for (auto index : changed)
            EXPECT_EQ (reported[index], std::vector<float> { step.values[(size_t) index] }) << situation << ", parameter " << index;

        before = step.values;
    }
}

//==============================================================================
TEST (VelcroftSettings, WritesItsSettingsFileBesideTheLibraryWhenClosed)
{
    PluginFolder folder;
    auto library = folder.load();
    ASSERT_NE (library, nullptr);

    {
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);
        EXPECT_FALSE (std::filesystem::exists (folder.getSettingsPath())) << "written at close, not before";
        plugin->close();
    }

    const auto settings = folder.readSettings();
    EXPECT_NE (settings.find ("encoding=\"UTF-8\""), std::string::npos) << settings;
    EXPECT_NE (settings.find ("<UserSettings application=\"Velcroft\">"), std::string::npos) << settings;
    EXPECT_NE (settings.find ("<Presets default=\"factoryPresets\"/>"), std::string::npos) << settings;
    EXPECT_NE (settings.find ("<MidiCCMap default=\"noMapping\"/>"), std::string::npos) << settings;
    EXPECT_NE (settings.find ("storing=\"onDemand\""), std::string::npos) << settings;
    EXPECT_NE (settings.find ("changing=\"normal\""), std::string::npos) << settings;

    // Nothing but the settings file is left beside the library (no temporary files).
    int files = 0;

    for (auto& entry : std::filesystem::directory_iterator (folder.getFolder()))
        files += entry.is_regular_file() ? 1 : 0;

    EXPECT_EQ (files, 2);
    EXPECT_TRUE (library->unload());
}

TEST (VelcroftSettings, PresetsSettingDecidesTheBankThatComesUp)
{
    const Values ownValues { 0.125f, 0.25f, 0.375f, 1, 0.5f, 0.625f, 0.75f, 0.875f, 0.1f,
                             0, 0.2f, 0.3f, 0.4f, 0, 0.6f, 0.7f, 1, 0 };

    struct Case
    {
        const char* what;
        std::string settings;       // children of "UserSettings"; "BANK" stands for the bank file's path
        bool writeBank;
        Values values;
        const char* slotName;
        const char* writtenBack;    // what the settings file says after the instance closed
    };

    const Case cases[] = {
        { "no settings file", "", false, mpc60Values, "MPC 60", "factoryPresets" },
        { "factory presets", "<ResourcesSettings><Presets default=\"factoryPresets\"/></ResourcesSettings>",
          false, mpc60Values, "MPC 60", "factoryPresets" },
        { "cleared bank", "<ResourcesSettings><Presets default=\"clearPresets\"/></ResourcesSettings>",
          false, emptyPresetValues, "Preset 0", "clearPresets" },
        { "user bank", "<ResourcesSettings><Presets default=\"userDefinedPresets\" file=\"BANK\"/></ResourcesSettings>",
          true, ownValues, "Own", "userDefinedPresets" },
        { "missing user bank", "<ResourcesSettings><Presets default=\"userDefinedPresets\" file=\"BANK\"/></ResourcesSettings>",
          false, mpc60Values, "MPC 60", "userDefinedPresets" },
        { "user bank without file", "<ResourcesSettings><Presets default=\"userDefinedPresets\"/></ResourcesSettings>",
          false, mpc60Values, "MPC 60", "userDefinedPresets" },
        { "unknown mode", "<ResourcesSettings><Presets default=\"somethingElse\"/></ResourcesSettings>",
          false, mpc60Values, "MPC 60", "factoryPresets" },
        { "settings of another plug-in", "", false, mpc60Values, "MPC 60", "factoryPresets" },
        { "broken settings file", "", false, mpc60Values, "MPC 60", "factoryPresets" },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        PluginFolder folder;
        const auto bankPath = (folder.getFolder() / "My Bank.vlprsb").string();
        auto settings = c.settings;

        if (auto at = settings.find ("BANK"); at != std::string::npos)
            settings.replace (at, 4, bankPath);

        if (std::string (c.what) == "settings of another plug-in")
            folder.writeFile ("Velcroft.ini", "<UserSettings application=\"Other\"><ResourcesSettings>"
                                              "<Presets default=\"clearPresets\"/></ResourcesSettings></UserSettings>");
        else if (std::string (c.what) == "broken settings file")
            folder.writeFile ("Velcroft.ini", "<UserSettings application=\"Velcroft\"><ResourcesSettings>"
                                              "<Presets default=\"clearPresets\"/>");
        else if (! settings.empty())
            folder.writeSettings (settings);

        if (c.writeBank)
            folder.writeFile ("My Bank.vlprsb",
                              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<PresetBank name=\"Mine\">"
                              "<PresetGroup name=\"Only\">" + presetXml ("Own", ownValues)
                              + presetXml ("Second", mpc60Values) + "</PresetGroup></PresetBank>\n");

        auto library = folder.load();
        ASSERT_NE (library, nullptr);
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);

        Values expected = c.values;

        for (auto& v : expected)    // the bank file holds six decimals
            v = c.writeBank ? (float) std::stod (std::to_string (v)) : v;

        expectValues (*plugin, expected, c.what);
        EXPECT_EQ (currentSlotName (*plugin), c.slotName);

        if (c.writeBank)
        {
            // The rest of the bank: slot 1 from the file, slot 2 onward cleared.
            BlockStream stream (*plugin, makeSine (512), 256);
            stream.process (256, { VstPlugin::MidiEvent::programChange (1) });
            EXPECT_EQ (currentSlotName (*plugin), "Second");
            stream.process (256, { VstPlugin::MidiEvent::programChange (2) });
            EXPECT_EQ (currentSlotName (*plugin), "Preset 2");
            expectValues (*plugin, emptyPresetValues, "slot 2 of a user bank of two");
        }

        plugin->close();
        EXPECT_NE (folder.readSettings().find (std::string ("<Presets default=\"") + c.writtenBack + "\""), std::string::npos)
            << folder.readSettings();
        plugin.reset();
        EXPECT_TRUE (library->unload());

        // The file the plug-in wrote brings the same bank up at the next load.
        library = folder.load();
        ASSERT_NE (library, nullptr);
        plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);
        expectValues (*plugin, expected, std::string (c.what) + ", loaded again");
        EXPECT_EQ (currentSlotName (*plugin), c.slotName);
        plugin->close();
        plugin.reset();
        EXPECT_TRUE (library->unload());
    }
}

TEST (VelcroftSettings, ChangingSettingDecidesWhenAProgramChangeApplies)
{
    for (const bool silent : { false, true })
    {
        SCOPED_TRACE (silent ? "silent" : "normal");
        PluginFolder folder;
        folder.writeSettings (std::string ("<PresetSettings changing=\"") + (silent ? "silent" : "normal") + "\"/>");

        auto library = folder.load();
        ASSERT_NE (library, nullptr);
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);

        constexpr int block = 512, changeAt = 4 * block + 37;
        BlockStream stream (*plugin, makeSine (20 * block), block);

        for (int b = 0; b < 20; ++b)
        {
            std::vector<VstPlugin::MidiEvent> events;

            if (b == changeAt / block)
                events.push_back (VstPlugin::MidiEvent::programChange (1, 0, changeAt % block));

            stream.process (block, events);

            const auto processed = (b + 1) * block;

            // Silent: the values stay until the fade-out (about 3,450 samples) has reached silence.
            if (processed > changeAt && (! silent || processed > changeAt + 3460))
                expectValues (*plugin, sixteenBit8kValues, "after block " + std::to_string (b));
            else if (processed > changeAt && processed < changeAt + 3440)
                expectValues (*plugin, mpc60Values, "while fading out, after block " + std::to_string (b));
        }

        // The output: a silent change has a long stretch of silence after the change, a normal one none.
        const auto& out = stream.getOutput().channels[0];
        int longestSilence = 0, silence = 0;

        for (auto i = (size_t) changeAt; i < out.size(); ++i)
        {
            silence = std::abs (out[i]) < 1.0e-6f ? silence + 1 : 0;
            longestSilence = std::max (longestSilence, silence);
        }

        if (silent)
        {
            EXPECT_GE (longestSilence, 4000);
        }
        else
        {
            EXPECT_LT (longestSilence, 50);
        }

        plugin->close();
        EXPECT_NE (folder.readSettings().find (std::string ("changing=\"") + (silent ? "silent" : "normal") + "\""),
                   std::string::npos) << folder.readSettings();
        EXPECT_TRUE (library->unload());
    }
}

TEST (VelcroftSettings, CostlyFilesAtStartUpAreRefusedQuickly)
{
    using namespace HostileXml;
    const std::string header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    const std::string bankSetting = "<ResourcesSettings><Presets default=\"userDefinedPresets\" file=\"BANK\"/></ResourcesSettings>";
    const std::string mapSetting = "<ResourcesSettings><MidiCCMap default=\"userDefinedMidiCCMap\" file=\"MAP\"/></ResourcesSettings>";
    const Values ownValues { 0.125f, 0.25f, 0.375f, 1, 0.5f, 0.625f, 0.75f, 0.875f, 0.1f, 0, 0.2f, 0.3f, 0.4f, 0, 0.6f, 0.7f, 1, 0 };

    const auto bank = [&] (const std::string& attributes, const std::string& presetName)
    {
        return header + "<PresetBank name=\"Mine\"" + attributes + "><PresetGroup name=\"Only\">"
             + presetXml (presetName, ownValues) + "</PresetGroup></PresetBank>\n";
    };

    const auto map = [&] (const std::string& attributes, const std::string& parameter)
    {
        return header + "<MidiControlMap name=\"Velcroft\"" + attributes + "><assign CC=\"7\" param=\"FX\"/>"
             "<assign CC=\"8\" param=\"" + parameter + "\"/></MidiControlMap>\n";
    };

    struct Case
    {
        const char* what;
        std::string settings, bankFile, mapFile;    // the settings' children; "BANK" and "MAP" stand for the files' paths
    };

    const Case cases[] = {
        { "settings of 60,000 descending names (900 kB)", "<PresetSettings changing=\"silent\"" + descendingAttributes (60000) + "/>", "", "" },
        { "settings with 900 kB of references in a path",
          "<ResourcesSettings><Presets default=\"userDefinedPresets\" file=\"" + denseReferences (900 << 10) + "\"/></ResourcesSettings>", "", "" },
        { "bank of 60,000 descending names (900 kB)", bankSetting, bank (descendingAttributes (60000), "Own"), "" },
        { "bank of 110,000 descending names (1.6 MB)", bankSetting, bank (descendingAttributes (110000), "Own"), "" },
        { "bank with 3.2 MB of references in a preset name", bankSetting, bank ("", denseReferences (3200 << 10)), "" },
        { "map of 60,000 descending names (900 kB)", mapSetting, "", map (descendingAttributes (60000), "Preamp") },
        { "map with 900 kB of references in a parameter name", mapSetting, "", map ("", denseReferences (900 << 10)) },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        PluginFolder folder;
        auto settings = c.settings;

        for (auto [placeholder, name, text] : { std::tuple ("BANK", "Costly.vlprsb", &c.bankFile), std::tuple ("MAP", "Costly.vlccmap", &c.mapFile) })
            if (auto at = settings.find (placeholder); at != std::string::npos)
                settings.replace (at, std::strlen (placeholder), folder.writeFile (name, *text));

        folder.writeSettings (settings);

        const auto start = std::chrono::steady_clock::now();
        auto library = folder.load();
        ASSERT_NE (library, nullptr);
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);
        // Loading and opening alone take a good part of a second under the sanitizers.
        EXPECT_LT (secondsSince (start), 3 * HostileXml::maxSeconds);

        // The factory bank and no MIDI map.
        expectValues (*plugin, mpc60Values, c.what);
        EXPECT_EQ (chunkToXml (plugin->getChunk (false)).find ("<assign"), std::string::npos);

        plugin->close();
        plugin.reset();
        EXPECT_TRUE (library->unload());
    }
}

TEST (VelcroftSettings, KeepsASettingsFileItCannotReadBeforeWritingItsOwn)
{
    const std::string readable = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<UserSettings application=\"Velcroft\">\n"
                                 "  <PluginDirectories><RecentlyUsed dir=\"/home/me/Rock and Roll\"/></PluginDirectories>\n"
                                 "  <PresetSettings changing=\"silent\"/>\n</UserSettings>\n";
    std::string utf16;   // little-endian

    for (auto c : replaceFirst (readable, "UTF-8", "UTF-16"))
        utf16 += { c, '\0' };

    struct Case { const char* what; std::string text; bool unreadable; };

    const Case cases[] = {
        { "an unescaped ampersand", replaceFirst (readable, "Rock and Roll", "Rock & Roll"), true },
        { "a truncated last line", readable.substr (0, readable.size() - 8), true },
        { "an empty file", "", true },
        { "UTF-16", utf16, true },
        { "a readable file", readable, false },
        { "UTF-16 with a byte order mark", "\xff\xfe" + utf16, false },
    };

    for (auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        PluginFolder folder;
        folder.writeFile ("Velcroft.ini", c.text);
        const auto kept = folder.writeFile ("Velcroft.ini.unreadable", "an older one");

        auto library = folder.load();
        ASSERT_NE (library, nullptr);
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);

        ::testing::internal::CaptureStderr();
        plugin->close();
        const auto said = ::testing::internal::GetCapturedStderr();
        plugin.reset();
        EXPECT_TRUE (library->unload());

        // An unreadable file replaces the older kept one, and the defaults take its place; a
        // readable one is read and written back.
        std::ifstream in (kept, std::ios::binary);
        EXPECT_EQ (std::string (std::istreambuf_iterator<char> (in), {}), c.unreadable ? c.text : "an older one");
        EXPECT_EQ (said.find ("kept as " + kept) != std::string::npos, c.unreadable) << said;
        EXPECT_NE (folder.readSettings().find (c.unreadable ? "changing=\"normal\"" : "changing=\"silent\""), std::string::npos);
    }
}
