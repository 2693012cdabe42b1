/*
    velcroft_host's command line: the demo signal command, usage errors (exit status 2),
    failures (exit status 1), and a render through the built plug-in.
*/
#include "tools/host/WavFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
int runHostQuietly (const std::string& arguments)
{
    const auto command = std::string ("'") + VELCROFT_HOST_PATH + "' " + arguments + " >/dev/null 2>&1";
    const auto status = std::system (command.c_str());
    return WIFEXITED (status) ? WEXITSTATUS (status) : -1;
}
} // namespace

TEST (HostCommandLine, WritesTheDemoSignalAndRejectsBadArguments)
{
    const auto folder = ::testing::TempDir() + "velcroft_cli_" + std::to_string (getpid());
    mkdir (folder.c_str(), 0755);
    const auto wav = folder + "/demo.wav";

    ASSERT_EQ (runHostQuietly ("demo-signal '" + wav + "' --rate 22050 --seconds 0.5"), 0);
    vsthost::AudioData demo;
    std::string error;
    ASSERT_TRUE (vsthost::WavFile::read (wav, demo, error)) << error;
    EXPECT_EQ (demo.getNumChannels(), 2);
    EXPECT_EQ (demo.getNumFrames(), 11025);
    EXPECT_EQ (demo.sampleRate, 22050.0);

    const struct { const char* arguments; int exitCode; } cases[] = {
        { "", 2 },
        { "frobnicate", 2 },
        { "info", 2 },
        { "info a.so b.so", 2 },
        { "demo-signal", 2 },
        { "demo-signal x.wav --rate", 2 },
        { "demo-signal x.wav --rate fast", 2 },
        { "demo-signal x.wav --rate 0", 2 },
        { "demo-signal x.wav --seconds -1", 2 },
        { "demo-signal x.wav --loud", 2 },
        { "render", 2 },
        { "render p.so --out x.wav", 2 },                              // neither --in nor --demo
        { "render p.so --in a.wav --demo 1 --out x.wav", 2 },          // both
        { "render p.so --demo 1", 2 },                                 // no --out
        { "render p.so --demo 1 --out x.wav --block 0", 2 },
        { "render p.so --demo 1 --out x.wav --block 64,", 2 },
        { "render p.so --demo 1 --out x.wav --set 3", 2 },
        { "render p.so --demo 1 --out x.wav --set a=0.5", 2 },
        { "render p.so --demo 1 --out x.wav --set 3=0.5@-1", 2 },
        { "render p.so --demo 1 --out x.wav --program 0:128", 2 },
        { "render p.so --demo 1 --out x.wav --program 5", 2 },
        { "render p.so --demo 1 --out x.wav --cc 0:7", 2 },
        { "render p.so --demo 1 --out x.wav --cc 0:7:200", 2 },
        { "render p.so --demo 1 --out x.wav --bits 8", 2 },
        { "info /no/such/plugin.so", 1 },
        { "render /no/such/plugin.so --demo 0.1 --out x.wav", 1 },
        { "render /no/such/plugin.so --in /no/such/input.wav --out x.wav", 1 },
    };

    for (auto& c : cases)
        EXPECT_EQ (runHostQuietly (c.arguments), c.exitCode) << "velcroft_host " << c.arguments;

    // A file that is not a WAV file is refused as input.
    EXPECT_EQ (runHostQuietly ("render /no/such/plugin.so --in '" + std::string (VELCROFT_HOST_PATH) + "' --out x.wav"), 1);
    EXPECT_EQ (runHostQuietly ("demo-signal '" + folder + "/missing/demo.wav'"), 1);

    std::remove (wav.c_str());
    rmdir (folder.c_str());
}

TEST (HostCommandLine, DescribesAndRendersThroughVelcroft)
{
    const auto folder = ::testing::TempDir() + "velcroft_cli_render_" + std::to_string (getpid());
    mkdir (folder.c_str(), 0755);
    const auto in = folder + "/in.wav", out = folder + "/out.wav";

    ASSERT_EQ (runHostQuietly ("info '" VELCROFT_PLUGIN_PATH "'"), 0);
    ASSERT_EQ (runHostQuietly ("demo-signal '" + in + "' --rate 48000 --seconds 0.5"), 0);
    ASSERT_EQ (runHostQuietly ("render '" VELCROFT_PLUGIN_PATH "' --in '" + in + "' --out '" + out
                               + "' --block 256 --program 100:11 --cc 200:7:64"), 0);

    vsthost::AudioData input, rendered;
    std::string error;
    ASSERT_TRUE (vsthost::WavFile::read (in, input, error)) << error;
    ASSERT_TRUE (vsthost::WavFile::read (out, rendered, error)) << error;
    ASSERT_EQ (rendered.getNumChannels(), 2);
    ASSERT_EQ (rendered.getNumFrames(), input.getNumFrames());
    EXPECT_EQ (rendered.sampleRate, 48000.0);

    double energy = 0.0;

    for (auto& channel : rendered.channels)
        for (auto sample : channel)
            energy += (double) sample * sample;

    EXPECT_GT (energy, 1.0) << "the crushed demo is not silent";
}
