/*
    What the plug-in-level tests of Velcroft share: opening the built library or a private copy
    of it in a folder of its own (so that its settings file is the test's own), JUCE's binary XML
    chunk form, the factory values the tests check against, test signals, and a block loop that
    hands events to single blocks as a host does.
*/
#pragma once

#include "product/VelcroftParameters.h"
#include "tools/host/VstLibrary.h"
#include "tools/host/VstPlugin.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace velcroft_vst_test
{
using vsthost::AudioData;
using vsthost::VstHost;
using vsthost::VstLibrary;
using vsthost::VstPlugin;

constexpr int numParameters = VelcroftParameters::numParameters;
using Values = std::array<float, numParameters>;

/** The values of factory slot 0, "MPC 60". */
constexpr Values mpc60Values { 0.475f, 0.685f, 0.93f, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0.235f, 0, 0 };
/** The values of factory slot 1, "16bit 8kHz". */
constexpr Values sixteenBit8kValues { 0, 1, 0.51f, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0.5f, 0, 0 };
/** The values of factory slot 3, "16bit 32kHz". */
constexpr Values sixteenBit32kValues { 0, 1, 0.91f, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0.5f, 0, 0 };
/** The values of factory slot 11, "Liquid". */
constexpr Values liquidValues { 0, 1, 0.7f, 0, 0.31f, 0.484f, 0.236f, 1, 1, 0, 1, 1, 0, 1, 1, 0.616f, 1, 0 };
/** The values of the embedded empty preset, which every slot of a cleared bank holds. */
constexpr Values emptyPresetValues { 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0.5f, 0, 0 };

//==============================================================================
/** Opens a library, failing the test with the reason when that does not work. */
inline std::shared_ptr<VstLibrary> loadLibrary (const std::string& path = VELCROFT_PLUGIN_PATH)
{
    std::string error;
    auto library = VstLibrary::open (path, error);
    EXPECT_NE (library, nullptr) << error;
    return library;
}

/** The number of threads this process runs now. */
inline int countThreads()
{
    int count = 0;

    if (auto* dir = opendir ("/proc/self/task"))
    {
        while (auto* entry = readdir (dir))
            if (entry->d_name[0] != '.')
                ++count;

        closedir (dir);
    }

    return count;
}

/** Opens an instance with a host of its own (or the given one). */
inline std::unique_ptr<VstPlugin> openInstance (const std::shared_ptr<VstLibrary>& library,
                                                std::shared_ptr<VstHost> host = {})
{
    std::string error;
    auto plugin = VstPlugin::open (library, host != nullptr ? std::move (host) : std::make_shared<VstHost>(), error);
    EXPECT_NE (plugin, nullptr) << error;
    return plugin;
}

/** Reads all 18 parameter values. */
inline Values readValues (VstPlugin& plugin)
{
    Values values {};

    for (int i = 0; i < numParameters; ++i)
        values[(size_t) i] = plugin.getParameter (i);

    return values;
}

/** Expects every parameter to hold exactly the given value; names the situation on failure. */
inline void expectValues (VstPlugin& plugin, const Values& expected, const std::string& situation)
{
    for (int i = 0; i < numParameters; ++i)
        EXPECT_EQ (plugin.getParameter (i), expected[(size_t) i]) << situation << ", parameter " << i;
}

//==============================================================================
/** A fresh folder holding a copy of the built plug-in; the folder goes when this object does.
    The copy reads and writes its settings file in this folder only. */
class PluginFolder
{
public:
    PluginFolder()
    {
        auto pattern = (std::filesystem::path (::testing::TempDir()) / "velcroft_plugin_XXXXXX").string();
        std::vector<char> name (pattern.begin(), pattern.end());
        name.push_back (0);

        if (mkdtemp (name.data()) == nullptr)
        {
            ADD_FAILURE() << "cannot make a folder from " << pattern;
            return;
        }

        folder = name.data();
        std::error_code error;
        std::filesystem::copy_file (VELCROFT_PLUGIN_PATH, getPluginPath(), error);
        EXPECT_FALSE (error) << error.message();
    }

    ~PluginFolder()
    {
        std::error_code ignored;

        if (! folder.empty())
            std::filesystem::remove_all (folder, ignored);
    }

    PluginFolder (const PluginFolder&) = delete;
    PluginFolder& operator= (const PluginFolder&) = delete;

    /** The folder. */
    const std::filesystem::path& getFolder() const noexcept     { return folder; }
    /** The copy of the plug-in in it. */
    std::string getPluginPath() const                           { return (folder / "Velcroft.so").string(); }
    /** The settings file the copy reads at start-up and writes when an instance closes. */
    std::string getSettingsPath() const                         { return (folder / "Velcroft.ini").string(); }

    /** Writes a text file in the folder and returns its path. */
    std::string writeFile (const std::string& name, const std::string& text) const
    {
        const auto path = (folder / name).string();
        std::ofstream out (path, std::ios::binary);
        out << text;
        return path;
    }

    /** Writes the settings file with the given children of "UserSettings". */
    void writeSettings (const std::string& children) const
    {
        writeFile ("Velcroft.ini", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                   "<UserSettings application=\"Velcroft\">\n" + children + "\n</UserSettings>\n");
    }

    /** The settings file's text, empty when there is none. */
    std::string readSettings() const
    {
        std::ifstream in (getSettingsPath(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    /** Loads the copy. */
    std::shared_ptr<VstLibrary> load() const                    { return loadLibrary (getPluginPath()); }

private:
    std::filesystem::path folder;
};

//==============================================================================
constexpr std::uint32_t binaryXmlMagic = 0x21324356;   // "VC2!" read as a little-endian number

inline std::uint32_t readLittleEndian32 (const std::uint8_t* bytes)
{
    return (std::uint32_t) bytes[0] | ((std::uint32_t) bytes[1] << 8) | ((std::uint32_t) bytes[2] << 16)
         | ((std::uint32_t) bytes[3] << 24);
}

/** The XML text inside a binary XML chunk, or empty when the chunk does not have that form. */
inline std::string chunkToXml (const std::vector<std::uint8_t>& chunk)
{
    if (chunk.size() < 9 || readLittleEndian32 (chunk.data()) != binaryXmlMagic)
        return {};

    const auto length = (size_t) readLittleEndian32 (chunk.data() + 4);

    if (length > chunk.size() - 8)
        return {};

    std::string text (chunk.begin() + 8, chunk.begin() + 8 + (std::ptrdiff_t) length);
    return text.substr (0, text.find ('\0'));
}

/** Wraps XML text as a binary XML chunk (magic, text length, text, terminating zero). */
inline std::vector<std::uint8_t> xmlToChunk (const std::string& text)
{
    std::vector<std::uint8_t> chunk;
    const auto put32 = [&chunk] (std::uint32_t v)
    {
        for (int shift = 0; shift < 32; shift += 8)
            chunk.push_back ((std::uint8_t) (v >> shift));
    };

    put32 (binaryXmlMagic);
    put32 ((std::uint32_t) text.size() + 1);
    chunk.insert (chunk.end(), text.begin(), text.end());
    chunk.push_back (0);
    return chunk;
}

/** Replaces the first element with the given tag (empty or with content) by another text. */
inline std::string replaceElement (const std::string& xml, const std::string& tag, const std::string& replacement)
{
    const auto start = xml.find ("<" + tag);

    if (start == std::string::npos)
        return {};

    const auto tagEnd = xml.find ('>', start);

    if (tagEnd == std::string::npos)
        return {};

    auto end = tagEnd + 1;

    if (xml[tagEnd - 1] != '/')
    {
        const auto close = xml.find ("</" + tag + ">", tagEnd);

        if (close == std::string::npos)
            return {};

        end = close + tag.size() + 3;
    }

    return xml.substr (0, start) + replacement + xml.substr (end);
}

/** The parameters' full names, as presets and states name them. */
inline const char* const parameterNames[numParameters] = {
    "Preamp", "Left Bits", "Left Frequency", "Left Link Freq", "Left Filter Type", "Left Cutoff",
    "Left Reso/Bandwidth", "Right Bits", "Right Frequency", "Right Link Freq", "Right Filter Type",
    "Right Cutoff", "Right Reso/Bandwidth", "Link Channels", "FX", "Output Volume",
    "Left Filter Order", "Right Filter Order"
};

/** A "Preset" element with all 18 values (written with six decimals). */
inline std::string presetXml (const std::string& name, const Values& values, const std::string& application = "Velcroft")
{
    std::string xml = "<Preset application=\"" + application + "\" name=\"" + name + "\" rev=\"1\">";

    for (int i = 0; i < numParameters; ++i)
        xml += "<param name=\"" + std::string (parameterNames[i]) + "\" value=\"" + std::to_string (values[(size_t) i]) + "\"/>";

    return xml + "</Preset>";
}

/** A "PresetBank" of one group holding the given presets in slots 0, 1, ... */
inline std::string bankXml (const std::vector<std::pair<std::string, Values>>& presets)
{
    std::string xml = "<PresetBank name=\"Test Bank\"><PresetGroup name=\"Test\">";

    for (auto& [name, values] : presets)
        xml += presetXml (name, values);

    return xml + "</PresetGroup></PresetBank>";
}

/** The state chunk of a plug-in with its bank replaced by one group of the given presets. */
inline std::vector<std::uint8_t> stateWithBank (VstPlugin& plugin, const std::vector<std::pair<std::string, Values>>& presets)
{
    const auto xml = replaceElement (chunkToXml (plugin.getChunk (false)), "PresetBank", bankXml (presets));
    EXPECT_FALSE (xml.empty()) << "the state has no bank to replace";
    return xmlToChunk (xml);
}

/** The state chunk of a plug-in with its MIDI map replaced by the given controller assignments. */
inline std::vector<std::uint8_t> stateWithMidiMap (VstPlugin& plugin,
                                                   const std::vector<std::pair<int, std::string>>& assignments)
{
    std::string map = "<MidiControlMap name=\"Velcroft\">";

    for (auto& [controller, name] : assignments)
        map += "<assign CC=\"" + std::to_string (controller) + "\" param=\"" + name + "\"/>";

    map += "</MidiControlMap>";
    const auto xml = replaceElement (chunkToXml (plugin.getChunk (false)), "MidiControlMap", map);
    EXPECT_FALSE (xml.empty()) << "the state has no MIDI map to replace";
    return xmlToChunk (xml);
}

//==============================================================================
/** A stereo sine of the given frequency and level (the right channel a fifth higher). */
inline AudioData makeSine (std::int64_t frames, double rate = 44100.0, double frequency = 997.0, float level = 0.6f)
{
    auto audio = AudioData::silence (2, frames, rate);

    for (std::int64_t i = 0; i < frames; ++i)
    {
        const auto t = (double) i / rate;
        audio.channels[0][(size_t) i] = level * (float) std::sin (2.0 * M_PI * frequency * t);
        audio.channels[1][(size_t) i] = level * (float) std::sin (2.0 * M_PI * frequency * 1.5 * t);
    }

    return audio;
}

/** A constant level on both channels. */
inline AudioData makeConstant (std::int64_t frames, double rate, float level)
{
    auto audio = AudioData::silence (2, frames, rate);

    for (auto& channel : audio.channels)
        std::fill (channel.begin(), channel.end(), level);

    return audio;
}

/** Renders a whole input through a plug-in, failing the test when the host refuses. */
inline AudioData render (VstPlugin& plugin, const AudioData& input, const VstPlugin::RenderOptions& options)
{
    AudioData output;
    std::string error;
    EXPECT_TRUE (plugin.render (input, options, output, error)) << error;
    return output;
}

/** The first frame at which two renders differ, or -1 when they are identical. */
inline std::int64_t firstDifference (const AudioData& a, const AudioData& b)
{
    if (a.getNumChannels() != b.getNumChannels() || a.getNumFrames() != b.getNumFrames())
        return 0;

    for (std::int64_t i = 0; i < a.getNumFrames(); ++i)
        for (int ch = 0; ch < a.getNumChannels(); ++ch)
            if (a.channels[(size_t) ch][(size_t) i] != b.channels[(size_t) ch][(size_t) i])
                return i;

    return -1;
}

//==============================================================================
/** Processes stereo blocks one at a time, as a host's audio callback does, keeping the output. */
class BlockStream
{
public:
    /** Switches the plug-in on at a rate and largest block size; every block takes its input from
        the given audio, silence past its end. */
    BlockStream (VstPlugin& p, AudioData in, int maxBlockSize)
        : plugin (p), input (std::move (in)), inputs (2, std::vector<float> ((size_t) maxBlockSize)),
          outputs (2, std::vector<float> ((size_t) maxBlockSize))
    {
        output = AudioData::silence (2, 0, input.sampleRate);
        plugin.setSampleRate (input.sampleRate);
        plugin.setBlockSize (maxBlockSize);
        plugin.setMainsOn (true);
    }

    /** Processes the next numFrames samples with the given events. */
    void process (int numFrames, const std::vector<VstPlugin::MidiEvent>& events = {})
    {
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < numFrames; ++i)
            {
                const auto at = position + i;
                inputs[(size_t) ch][(size_t) i] = at < input.getNumFrames() ? input.channels[(size_t) ch][(size_t) at] : 0.0f;
            }

        const float* in[] = { inputs[0].data(), inputs[1].data() };
        float* out[] = { outputs[0].data(), outputs[1].data() };
        plugin.process (in, out, numFrames, events);

        for (int ch = 0; ch < 2; ++ch)
            output.channels[(size_t) ch].insert (output.channels[(size_t) ch].end(), outputs[(size_t) ch].begin(),
                                                 outputs[(size_t) ch].begin() + numFrames);

        position += numFrames;
    }

    /** Everything processed so far. */
    const AudioData& getOutput() const noexcept             { return output; }

private:
    VstPlugin& plugin;
    AudioData input, output;
    std::vector<std::vector<float>> inputs, outputs;
    std::int64_t position = 0;
};

/** The ids of this process's threads now. */
inline std::set<std::string> threadIds()
{
    std::set<std::string> ids;

    for (auto& entry : std::filesystem::directory_iterator ("/proc/self/task"))
        ids.insert (entry.path().filename().string());

    return ids;
}

/** How often this process's threads have blocked and been woken so far (voluntary context
    switches), leaving out the threads in others: those that ran before the plug-in was loaded,
    such as the test's own and a sanitizer's. */
inline std::int64_t threadWakeUps (const std::set<std::string>& others = {})
{
    std::int64_t total = 0;

    for (auto& id : threadIds())
    {
        if (others.count (id) != 0)
            continue;

        std::ifstream status ("/proc/self/task/" + id + "/status");
        std::string line;

        while (std::getline (status, line))
            if (line.rfind ("voluntary_ctxt_switches:", 0) == 0)
                total += std::atoll (line.c_str() + line.find (':') + 1);
    }

    return total;
}

/** The fewest wake-ups of the process's threads (less others) in one second of idle (which is
    given the milliseconds to spend), over at most maxSeconds seconds; it stops at the first
    second with fewer than enough. On a loaded machine work posted at start-up can run into the
    first second; a thread that polls wakes in every one. Counted, not timed. */
inline std::int64_t fewestWakeUpsInASecond (const std::function<void (int)>& idle, std::int64_t enough, int maxSeconds = 5,
                                            const std::set<std::string>& others = {})
{
    std::int64_t fewest = -1;

    for (int second = 0; second < maxSeconds && (fewest < 0 || fewest >= enough); ++second)
    {
        const auto before = threadWakeUps (others);
        idle (1000);
        const auto wakeUps = threadWakeUps (others) - before;
        fewest = fewest < 0 ? wakeUps : std::min (fewest, wakeUps);
    }

    return fewest;
}

} // namespace velcroft_vst_test
