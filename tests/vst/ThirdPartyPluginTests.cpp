/*
    The test host against a real third-party Linux VST 2.4 plug-in from Debian's packages
    (lsp-plugins-vst or dpf-plugins-vst), looked for where Linux hosts look for plug-ins.
    Skipped when none is installed. VELCROFT_THIRD_PARTY_VST names another plug-in to use.
*/
#include "tools/host/DemoSignal.h"
#include "tools/host/VstPlugin.h"
#include "tools/host/WavFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using vsthost::AudioData;
using vsthost::VstLibrary;
using vsthost::VstPlugin;

/** A plug-in the tests know, with the name of a parameter that scales its output level. */
struct KnownPlugin
{
    const char* fileName;
    const char* outputLevelParameter;
};

// Plain stereo effects that pass audio through at their default settings.
constexpr KnownPlugin knownPlugins[] = {
    { "graph-equalizer-x16-stereo.so", "g_out" },   // lsp-plugins-vst
    { "para-equalizer-x16-stereo.so", "g_out" },    // lsp-plugins-vst
    { "3BandEQ-vst.so", "Master" },                 // dpf-plugins-vst
};

bool isFile (const std::string& path)
{
    struct stat info {};
    return stat (path.c_str(), &info) == 0 && S_ISREG (info.st_mode);
}

std::vector<std::string> pluginFolders()
{
    std::vector<std::string> folders;

    for (const char* variable : { "VST_PATH", "LXVST_PATH" })
    {
        if (const char* value = std::getenv (variable))
        {
            std::string list (value);
            size_t start = 0;

            for (auto colon = list.find (':'); ; colon = list.find (':', start))
            {
                const auto folder = list.substr (start, colon == std::string::npos ? std::string::npos : colon - start);

                if (! folder.empty())
                    folders.push_back (folder);

                if (colon == std::string::npos)
                    break;

                start = colon + 1;
            }
        }
    }

    if (const char* home = std::getenv ("HOME"))
        folders.push_back (std::string (home) + "/.vst");

    for (const char* folder : { "/usr/local/lib/vst", "/usr/lib/vst", "/usr/lib/lxvst" })
        folders.push_back (folder);

    return folders;
}

/** The plug-in to test: the one the environment names, else the first known one installed. */
struct FoundPlugin
{
    std::string path;
    std::string outputLevelParameter;
};

FoundPlugin findPlugin()
{
    if (const char* chosen = std::getenv ("VELCROFT_THIRD_PARTY_VST"); chosen != nullptr && *chosen != 0)
        return { chosen, "" };

    for (auto& known : knownPlugins)
        for (auto& folder : pluginFolders())
            for (const auto& candidate : { folder + "/" + known.fileName, folder + "/lsp-plugins/" + known.fileName })
                if (isFile (candidate))
                    return { candidate, known.outputLevelParameter };

    return {};
}

#define SKIP_WITHOUT_PLUGIN(found)                                                                      \
    const auto found = findPlugin();                                                                    \
    if (found.path.empty())                                                                             \
        GTEST_SKIP() << "no third-party VST 2.4 plug-in installed (e.g. apt-get install lsp-plugins-vst)"

int findParameter (VstPlugin& plugin, const std::string& name)
{
    for (int i = 0; i < plugin.getNumParameters(); ++i)
        if (plugin.getParameterName (i) == name)
            return i;

    return -1;
}

double rms (const AudioData& audio, std::int64_t from, std::int64_t to)
{
    double sum = 0.0;
    std::int64_t count = 0;

    for (auto& channel : audio.channels)
        for (auto i = from; i < to; ++i, ++count)
            sum += (double) channel[(size_t) i] * channel[(size_t) i];

    return count > 0 ? std::sqrt (sum / (double) count) : 0.0;
}

bool allFinite (const AudioData& audio)
{
    for (auto& channel : audio.channels)
        for (auto s : channel)
            if (! std::isfinite (s))
                return false;

    return true;
}

struct CommandResult
{
    int exitCode = -1;
    std::string output;
};

CommandResult runHost (const std::string& arguments)
{
    CommandResult result;
    const auto command = std::string ("'") + VELCROFT_HOST_PATH + "' " + arguments + " 2>&1";
    auto* pipe = popen (command.c_str(), "r");

    if (pipe == nullptr)
        return result;

    char buffer[4096];

    while (auto got = fread (buffer, 1, sizeof (buffer), pipe))
        result.output.append (buffer, got);

    const auto status = pclose (pipe);
    result.exitCode = WIFEXITED (status) ? WEXITSTATUS (status) : -1;
    return result;
}

std::string temporaryFolder (const std::string& name)
{
    const auto folder = ::testing::TempDir() + name + "_" + std::to_string (getpid());
    mkdir (folder.c_str(), 0755);
    return folder;
}
} // namespace

TEST (ThirdPartyPlugin, LoadsAndDescribesItself)
{
    SKIP_WITHOUT_PLUGIN (found);

    std::string error;
    auto plugin = VstPlugin::open (found.path, error);
    ASSERT_NE (plugin, nullptr) << error;

    EXPECT_FALSE (plugin->getName().empty());
    EXPECT_NE (plugin->getUniqueId(), 0);
    EXPECT_GE (plugin->getVstVersion(), 2000);
    EXPECT_TRUE (plugin->hasFlag (vst::effFlagsCanReplacing));
    EXPECT_GE (plugin->getNumOutputs(), 1);
    ASSERT_GT (plugin->getNumParameters(), 0);

    for (int i = 0; i < plugin->getNumParameters(); ++i)
    {
        EXPECT_FALSE (plugin->getParameterName (i).empty()) << i;
        const auto value = plugin->getParameter (i);
        EXPECT_TRUE (value >= 0.0f && value <= 1.0f) << i << ": " << value;
    }

    if (! found.outputLevelParameter.empty())
    {
        const auto level = findParameter (*plugin, found.outputLevelParameter);
        ASSERT_GE (level, 0);
        const auto before = plugin->getParameterDisplay (level);
        plugin->setParameter (level, 0.25f);
        EXPECT_NEAR (plugin->getParameter (level), 0.25f, 0.01f);
        EXPECT_NE (plugin->getParameterDisplay (level), before);
    }
}

TEST (ThirdPartyPlugin, RendersTheDemoSignalThroughTwoInstances)
{
    SKIP_WITHOUT_PLUGIN (found);

    std::string error;
    auto library = VstLibrary::open (found.path, error);
    ASSERT_NE (library, nullptr) << error;

    auto first = VstPlugin::open (library, std::make_shared<vsthost::VstHost>(), error);
    auto second = VstPlugin::open (library, std::make_shared<vsthost::VstHost>(), error);
    ASSERT_TRUE (first != nullptr && second != nullptr) << error;
    EXPECT_EQ (library->getNumOpenInstances(), 2);

    const auto input = vsthost::DemoSignal::make (48000.0, 2.0);
    VstPlugin::RenderOptions options;
    options.blockSizes = { 256, 1000, 64 };

    AudioData a, b;
    ASSERT_TRUE (first->render (input, options, a, error)) << error;
    ASSERT_TRUE (second->render (input, options, b, error)) << error;

    ASSERT_EQ (a.getNumFrames(), input.getNumFrames());
    EXPECT_EQ (a.sampleRate, 48000.0);
    EXPECT_TRUE (allFinite (a));
    EXPECT_GT (rms (a, 0, a.getNumFrames()), 0.01);
    EXPECT_EQ (a.channels, b.channels) << "two instances fed the same input give the same output";
    EXPECT_DOUBLE_EQ (first->getHost().getSamplePosition(), (double) input.getNumFrames());

    // The output written as a WAV file reads back unchanged.
    const auto folder = temporaryFolder ("velcroft_thirdparty");
    const auto wav = folder + "/out.wav";
    ASSERT_TRUE (vsthost::WavFile::write (wav, a, vsthost::WavFile::SampleFormat::float32, error)) << error;
    AudioData reread;
    ASSERT_TRUE (vsthost::WavFile::read (wav, reread, error)) << error;
    EXPECT_EQ (reread.channels, a.channels);
    std::remove (wav.c_str());
    rmdir (folder.c_str());

    // Turning the output level down half-way through makes the second half quieter than before.
    if (! found.outputLevelParameter.empty())
    {
        const auto level = findParameter (*second, found.outputLevelParameter);
        ASSERT_GE (level, 0);
        const auto half = input.getNumFrames() / 2;
        options.parameterChanges = { { half, level, 0.1f } };
        AudioData quieter;
        ASSERT_TRUE (second->render (input, options, quieter, error)) << error;
        EXPECT_NEAR (rms (quieter, 0, half / 2), rms (a, 0, half / 2), 1.0e-3);
        EXPECT_LT (rms (quieter, half + 4800, quieter.getNumFrames()), 0.5 * rms (a, half + 4800, a.getNumFrames()));
    }
}

TEST (ThirdPartyPlugin, StateChunkRestoresParameters)
{
    SKIP_WITHOUT_PLUGIN (found);

    std::string error;
    auto plugin = VstPlugin::open (found.path, error);
    ASSERT_NE (plugin, nullptr) << error;

    if (! plugin->hasFlag (vst::effFlagsProgramChunks) || found.outputLevelParameter.empty())
        GTEST_SKIP() << plugin->getName() << " keeps no state chunks the test knows how to check";

    const auto level = findParameter (*plugin, found.outputLevelParameter);
    ASSERT_GE (level, 0);
    plugin->setParameter (level, 0.3f);
    const auto saved = plugin->getParameter (level);
    const auto chunk = plugin->getChunk (false);
    ASSERT_FALSE (chunk.empty());

    plugin->setParameter (level, 0.9f);
    ASSERT_NE (plugin->getParameter (level), saved);
    plugin->setChunk (chunk, false);
    EXPECT_NEAR (plugin->getParameter (level), saved, 1.0e-4);

    // Into a second instance through a file.
    const auto folder = temporaryFolder ("velcroft_thirdparty_state");
    const auto file = folder + "/state.bin";
    ASSERT_TRUE (plugin->saveChunk (file, false, error)) << error;
    auto other = VstPlugin::open (found.path, error);
    ASSERT_NE (other, nullptr) << error;
    ASSERT_TRUE (other->loadChunk (file, false, error)) << error;
    EXPECT_NEAR (other->getParameter (level), saved, 1.0e-4);
    std::remove (file.c_str());
    rmdir (folder.c_str());
}

TEST (ThirdPartyPlugin, LibraryStaysLoadedUntilUnloadedAfterTheLastInstance)
{
    SKIP_WITHOUT_PLUGIN (found);

    std::string error;
    auto library = VstLibrary::open (found.path, error);
    ASSERT_NE (library, nullptr) << error;

    auto first = VstPlugin::open (library, std::make_shared<vsthost::VstHost>(), error);
    auto second = VstPlugin::open (library, std::make_shared<vsthost::VstHost>(), error);
    ASSERT_TRUE (first != nullptr && second != nullptr) << error;

    first->close();
    EXPECT_EQ (library->getNumOpenInstances(), 1);
    EXPECT_FALSE (library->unload()) << "an open instance keeps the library loaded";
    EXPECT_TRUE (library->isLoaded());

    // The remaining instance still works.
    float silence[64] {}, out[2][64] {};
    std::vector<const float*> inputs ((size_t) second->getNumInputs(), silence);
    float* outputs[] { out[0], out[1] };
    ASSERT_LE (second->getNumOutputs(), 2);
    second->setMainsOn (true);
    second->process (inputs.data(), outputs, 64);

    second->close();
    EXPECT_EQ (library->getNumOpenInstances(), 0);
    EXPECT_TRUE (library->isLoaded()) << "closing the last instance does not unload";
    EXPECT_TRUE (library->unload());
    EXPECT_FALSE (library->isLoaded());
    EXPECT_TRUE (library->unload());

    EXPECT_EQ (VstPlugin::open (library, std::make_shared<vsthost::VstHost>(), error), nullptr);
    EXPECT_NE (error.find ("unloaded"), std::string::npos);
}

TEST (ThirdPartyPlugin, CommandLineHostDescribesAndRenders)
{
    SKIP_WITHOUT_PLUGIN (found);

    std::string error;
    std::string name;
    int levelIndex = -1;
    bool keepsChunks = false;

    {
        auto plugin = VstPlugin::open (found.path, error);
        ASSERT_NE (plugin, nullptr) << error;
        name = plugin->getName();
        keepsChunks = plugin->hasFlag (vst::effFlagsProgramChunks);

        if (! found.outputLevelParameter.empty())
            levelIndex = findParameter (*plugin, found.outputLevelParameter);
    }

    const auto info = runHost ("info '" + found.path + "'");
    EXPECT_EQ (info.exitCode, 0) << info.output;
    EXPECT_NE (info.output.find (name), std::string::npos) << info.output;
    EXPECT_NE (info.output.find ("parameters:"), std::string::npos);

    const auto folder = temporaryFolder ("velcroft_thirdparty_cli");
    const auto in = folder + "/in.wav", out = folder + "/out.wav", state = folder + "/state.bin";
    ASSERT_EQ (runHost ("demo-signal '" + in + "' --rate 48000 --seconds 1").exitCode, 0);

    const auto set = levelIndex >= 0 ? " --set " + std::to_string (levelIndex) + "=0.5@24000" : std::string();
    const auto render = runHost ("render '" + found.path + "' --in '" + in + "' --out '" + out + "' --block 128,333"
                                 + set + " --program 0:1 --cc 100:7:64"
                                 + (keepsChunks ? " --save-state '" + state + "'" : std::string()));
    EXPECT_EQ (render.exitCode, 0) << render.output;
    EXPECT_NE (render.output.find ("peak"), std::string::npos) << render.output;
    EXPECT_NE (render.output.find (out), std::string::npos) << render.output;

    AudioData rendered;
    ASSERT_TRUE (vsthost::WavFile::read (out, rendered, error)) << error;
    EXPECT_EQ (rendered.getNumFrames(), 48000);
    EXPECT_EQ (rendered.sampleRate, 48000.0);

    // A render of the demo signal at another rate, starting from the saved state.
    const auto again = runHost ("render '" + found.path + "' --demo 0.5 --rate 44100 --out '" + out + "' --bits 16"
                                + (keepsChunks ? " --load-state '" + state + "'" : std::string()));
    EXPECT_EQ (again.exitCode, 0) << again.output;
    ASSERT_TRUE (vsthost::WavFile::read (out, rendered, error)) << error;
    EXPECT_EQ (rendered.getNumFrames(), 22050);

    const auto badIndex = runHost ("render '" + found.path + "' --demo 0.1 --out '" + out + "' --set 100000=0.5");
    EXPECT_EQ (badIndex.exitCode, 1) << badIndex.output;

    for (auto* file : { &in, &out, &state })
        std::remove (file->c_str());

    rmdir (folder.c_str());
}
