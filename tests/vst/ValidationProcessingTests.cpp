/*
    The validator sweep, part two: audio processing at every supported rate and many block
    sizes, processing without the host's switching calls, automation in small sub-blocks, and
    parameter values and indices far outside what a host should send. Every output sample is
    checked for NaN, infinities and subnormal numbers.
*/
#include "ValidationSupport.h"

#include <climits>
#include <cmath>
#include <limits>

using namespace ValidationSupport;
using vsthost::VstHost;
using vsthost::VstPlugin;

namespace
{
/** Block sizes that change from call to call, between 1 and 4096. */
std::vector<int> changingBlockSizes()
{
    std::mt19937 random (7);
    std::vector<int> sizes { 1, 4096, 3, 2048, 17 };

    while (sizes.size() < 40)
        sizes.push_back (std::uniform_int_distribution<int> (1, 4096) (random));

    return sizes;
}

/** Sets every parameter: the instance's own values (none given), all at one value, or random ones. */
void setAllParameters (VstPlugin& plugin, float value)
{
    for (int i = 0; i < numParameters; ++i)
        plugin.setParameter (i, value);
}

void setRandomParameters (VstPlugin& plugin, std::mt19937& random)
{
    for (int i = 0; i < numParameters; ++i)
        plugin.setParameter (i, std::uniform_real_distribution<float> (0.0f, 1.0f) (random));
}

/** Switches the instance off, sets rate and largest block, and switches it on again. */
void restart (VstPlugin& plugin, double rate, int maxBlock)
{
    plugin.setMainsOn (false);
    plugin.setSampleRate (rate);
    plugin.setBlockSize (maxBlock);
    plugin.setMainsOn (true);
}

vsthost::AudioData testAudio (double rate, std::int64_t frames)
{
    auto audio = vsthost::AudioData::silence (2, frames, rate);
    TestSignal signal (rate, 3);
    signal.fill (audio.channels[0].data(), audio.channels[1].data(), (int) frames);
    return audio;
}

OutputCheck checkAudio (const vsthost::AudioData& audio)
{
    OutputCheck check;

    for (auto& channel : audio.channels)
        check.add (channel.data(), (int) channel.size());

    return check;
}

/** A sound output: clean, and neither silent nor blown up. */
void expectSound (const OutputCheck& check, const std::string& where)
{
    EXPECT_TRUE (check.isClean()) << where << ": " << check.describe();
    EXPECT_GT (check.peak, 1.0e-3) << where << ": " << check.describe();
    EXPECT_LT (check.peak, 100.0) << where << ": " << check.describe();
}
} // namespace

TEST (Validation, ProcessesCleanlyAtEveryRateAndBlockSize)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    const auto defaults = parameterValues (*plugin);
    const std::vector<std::vector<int>> configurations { { 1 }, { 2 }, { 7 }, { 64 }, { 511 }, { 512 }, { 4096 },
                                                         changingBlockSizes() };
    std::mt19937 random (11);

    for (auto rate : supportedRates())
    {
        for (size_t c = 0; c < configurations.size(); ++c)
        {
            const auto& sizes = configurations[c];
            const auto largest = *std::max_element (sizes.begin(), sizes.end());
            restart (*plugin, rate, largest);

            // Each block configuration runs with other settings: the defaults, everything at
            // its minimum or maximum, and random settings.
            switch (c % 4)
            {
                case 0:     for (int i = 0; i < numParameters; ++i) plugin->setParameter (i, defaults[(size_t) i]); break;
                case 1:     setAllParameters (*plugin, (c / 4) % 2 == 0 ? 0.0f : 1.0f); break;
                default:    setRandomParameters (*plugin, random); break;
            }

            // Enough to cover the silent stretches of the signal and three of the largest blocks.
            const auto frames = std::max<std::int64_t> (3 * (std::int64_t) largest, (std::int64_t) (rate * 0.06));
            TestSignal signal (rate, (std::uint32_t) c);
            const auto check = processSignal (*plugin, signal, frames, sizes);
            const auto where = "at " + std::to_string ((int) rate) + " Hz, block configuration " + std::to_string (c);

            EXPECT_TRUE (check.isClean()) << where << ": " << check.describe();
            EXPECT_LT (check.peak, 100.0) << where << ": " << check.describe();

            if (c % 4 == 0)
                EXPECT_GT (check.peak, 1.0e-3) << where << ": the default settings let no sound through";
        }
    }
}

TEST (Validation, ProcessesAtRatesItDoesNotConvertAndInPlace)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    // Rates without a converter run the crusher at the host's rate.
    for (auto rate : { 22050.0, 32000.0, 352800.0, 384000.0 })
    {
        restart (*plugin, rate, 512);
        TestSignal signal (rate);
        expectSound (processSignal (*plugin, signal, (std::int64_t) (rate * 0.06), { 512, 100 }),
                     "at " + std::to_string ((int) rate) + " Hz");
    }

    // A host may hand the same buffers as input and output, or cross them (each input in the
    // other channel's output, or only the right input in the left output): the result is the
    // same as with buffers of their own (fresh instances with the same settings), in blocks
    // shorter and longer than the plug-in's scratch for crossed buffers.
    std::mt19937 random (13);
    setRandomParameters (*plugin, random);
    const auto state = plugin->getChunk (false);
    std::vector<std::unique_ptr<VstPlugin>> instances;

    for (int i = 0; i < 4; ++i)
    {
        instances.push_back (openInstance (library));
        ASSERT_NE (instances.back(), nullptr);
        instances.back()->setChunk (state, false);
        restart (*instances.back(), 48000.0, 1500);
    }

    TestSignal signal (48000.0);
    StereoBuffers separate (1500), inPlace (1500), crossed (1500), halfCrossed (1500);
    auto* left = separate.input (0);
    auto* right = separate.input (1);

    struct Arrangement
    {
        const char* name;
        float* inputs[2];
        float* outputs[2];
    };

    const Arrangement arrangements[] = {
        { "in place",     { inPlace.output (0), inPlace.output (1) },   { inPlace.output (0), inPlace.output (1) } },
        { "crossed",      { crossed.output (0), crossed.output (1) },   { crossed.output (1), crossed.output (0) } },
        { "half crossed", { halfCrossed.input (0), halfCrossed.input (1) }, { halfCrossed.input (1), halfCrossed.output (1) } },
    };

    for (int block = 0; block < 30; ++block)
    {
        const auto length = block % 3 == 2 ? 1500 : 256;
        signal.fill (left, right, length);
        instances[0]->process (separate.inputs(), separate.outputs(), length);

        for (int a = 0; a < 3; ++a)
        {
            auto& arrangement = arrangements[a];
            std::copy (left, left + length, arrangement.inputs[0]);
            std::copy (right, right + length, arrangement.inputs[1]);
            instances[(size_t) a + 1]->process (arrangement.inputs, arrangement.outputs, length);

            for (int ch = 0; ch < 2; ++ch)
                ASSERT_TRUE (std::equal (separate.output (ch), separate.output (ch) + length, arrangement.outputs[ch]))
                    << arrangement.name << " processing differs, block " << block << ", channel " << ch;
        }
    }
}

TEST (Validation, DecaysToSilenceWithoutSubnormals)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    // Resonant filters on both channels, before and after the crusher, no quantisation: the
    // longest decays the plug-in has.
    for (auto rate : { 44100.0, 96000.0 })
    {
        for (auto order : { 0.0f, 1.0f })
        {
            restart (*plugin, rate, 512);
            namespace P = VelcroftParameters;

            for (auto [index, value] : { std::pair (P::leftBits, 1.0f), std::pair (P::leftFilterType, 0.0f),
                                         std::pair (P::leftCutoff, 0.3f), std::pair (P::leftReso, 1.0f),
                                         std::pair (P::rightBits, 1.0f), std::pair (P::rightFilterType, 0.25f),
                                         std::pair (P::rightCutoff, 0.6f), std::pair (P::rightReso, 1.0f),
                                         std::pair (P::linkChannels, 0.0f), std::pair (P::fx, 1.0f),
                                         std::pair (P::outputVolume, 1.0f), std::pair (P::leftFilterOrder, order),
                                         std::pair (P::rightFilterOrder, order) })
                plugin->setParameter (index, value);

            TestSignal signal (rate, 5);
            auto check = processSignal (*plugin, signal, (std::int64_t) (rate * 0.1), { 512 });

            // Then a tail far below hearing, whose decay runs through the subnormal range, then silence.
            StereoBuffers buffers (512);

            for (int block = 0; block < (int) (rate * 0.5) / 512; ++block)
            {
                const auto level = block < 20 ? 1.0e-30f : 0.0f;

                for (int i = 0; i < 512; ++i)
                {
                    buffers.input (0)[i] = (i % 2 == 0 ? level : -level);
                    buffers.input (1)[i] = (i % 3 == 0 ? level : -level);
                }

                plugin->process (buffers.inputs(), buffers.outputs(), 512);
                check.add (buffers.output (0), 512);
                check.add (buffers.output (1), 512);
            }

            EXPECT_TRUE (check.isClean()) << rate << " Hz, filter order " << order << ": " << check.describe();
        }
    }
}

TEST (Validation, ProcessesWithoutSwitchingCallsAndThroughChangesWhileRunning)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    TestSignal signal (44100.0);

    // No effMainsChanged at all: the plug-in must prepare itself.
    expectSound (processSignal (*plugin, signal, 8192, { 256 }), "without effMainsChanged");

    // A rate change while running, without a suspend first, both ways and to a rate that
    // needs conversion.
    plugin->setMainsOn (true);

    for (auto rate : { 96000.0, 44100.0, 192000.0, 48000.0 })
    {
        plugin->setSampleRate (rate);
        TestSignal atRate (rate);
        expectSound (processSignal (*plugin, atRate, (std::int64_t) (rate * 0.1), { 256 }),
                     "after a change to " + std::to_string ((int) rate) + " Hz without suspend");
    }

    // A new block size while running, then resume twice in a row (as Ardour does).
    plugin->setBlockSize (128);
    TestSignal at48 (48000.0);
    expectSound (processSignal (*plugin, at48, 4096, { 128 }), "after a block size change while running");
    plugin->setMainsOn (true);
    plugin->setMainsOn (true);
    expectSound (processSignal (*plugin, at48, 4096, { 128 }), "after two resumes in a row");

    // Blocks larger than the host announced, and processing while suspended.
    plugin->setBlockSize (64);
    expectSound (processSignal (*plugin, at48, 8192, { 1024, 4096, 64 }), "in blocks larger than announced");
    plugin->setMainsOn (false);
    const auto suspended = processSignal (*plugin, at48, 2048, { 256 });
    EXPECT_TRUE (suspended.isClean()) << "while suspended: " << suspended.describe();
    plugin->setMainsOn (true);
    expectSound (processSignal (*plugin, at48, 4096, { 256 }), "after resuming");
}

TEST (Validation, FollowsRandomAutomationIn32SampleSubBlocks)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto host = std::make_shared<VstHost>();
    auto plugin = openInstance (library, host);
    ASSERT_NE (plugin, nullptr);

    std::mt19937 random (23);

    for (auto rate : { 44100.0, 96000.0 })
    {
        const auto frames = (std::int64_t) (rate * 0.25);
        VstPlugin::RenderOptions options;
        options.sampleRate = rate;
        options.blockSizes = { 512 };
        std::vector<float> last (numParameters, -1.0f);

        // One to three parameters change every 32 samples, so every call processes 32 samples.
        for (std::int64_t position = 0; position < frames; position += 32)
        {
            const auto count = std::uniform_int_distribution<int> (1, 3) (random);

            for (int k = 0; k < count; ++k)
            {
                const auto index = std::uniform_int_distribution<int> (0, numParameters - 1) (random);
                const auto value = std::uniform_real_distribution<float> (0.0f, 1.0f) (random);
                options.parameterChanges.push_back ({ position, index, value });
                last[(size_t) index] = value;
            }
        }

        vsthost::AudioData output;
        std::string error;
        ASSERT_TRUE (plugin->render (testAudio (rate, frames), options, output, error)) << error;

        const auto check = checkAudio (output);
        EXPECT_TRUE (check.isClean()) << rate << " Hz: " << check.describe();
        EXPECT_LT (check.peak, 100.0) << rate << " Hz: " << check.describe();

        for (int i = 0; i < numParameters; ++i)
            if (last[(size_t) i] >= 0.0f)
                EXPECT_EQ (plugin->getParameter (i), last[(size_t) i]) << "parameter " << i;
    }

    EXPECT_TRUE (host->getNotifications (vst::audioMasterAutomate).empty())
        << "the host's own automation came back to it";
}

TEST (Validation, ParameterValuesAndIndicesOutsideTheRangeAreHarmless)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    plugin->setMainsOn (true);
    TestSignal signal (44100.0);

    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const float wild[] = { -1.0f, 2.0f, 1.0e30f, -1.0e30f, inf, -inf, nan, -nan, 1.0e-40f, -1.0e-40f, -0.0f,
                           std::numeric_limits<float>::max(), std::numeric_limits<float>::lowest(),
                           std::numeric_limits<float>::min(), 1.0000001f, -0.0000001f, 0.5f };

    for (int i = 0; i < numParameters; ++i)
    {
        for (auto value : wild)
        {
            const auto before = plugin->getParameter (i);
            plugin->setParameter (i, value);
            const auto after = plugin->getParameter (i);

            // A NaN is ignored; anything else is held within 0..1.
            const auto expected = std::isnan (value) ? before : std::min (1.0f, std::max (0.0f, value));
            EXPECT_TRUE (after >= 0.0f && after <= 1.0f) << "parameter " << i << " set to " << value << " reads " << after;
            EXPECT_EQ (after, expected) << "parameter " << i << " set to " << value;
            EXPECT_FALSE (plugin->getParameterDisplay (i).empty()) << "parameter " << i << " set to " << value;
        }

        const auto check = processSignal (*plugin, signal, 512, { 256 });
        EXPECT_TRUE (check.isClean()) << "after fuzzing parameter " << i << ": " << check.describe();
    }

    // Random values of every kind at random indices, good and bad, while audio runs.
    std::mt19937 random (31);
    const vst::int32 badIndices[] = { -1, 18, 1000000, INT_MIN, INT_MAX };

    for (int round = 0; round < 2000; ++round)
    {
        const auto pick = std::uniform_int_distribution<int> (0, 99) (random);
        const auto index = pick < 80 ? pick % numParameters : badIndices[pick % 5];
        const auto value = pick % 3 == 0 ? wild[(size_t) pick % std::size (wild)]
                                         : std::uniform_real_distribution<float> (-4.0f, 4.0f) (random);
        const auto valuesBefore = parameterValues (*plugin);
        plugin->setParameter (index, value);

        if (index < 0 || index >= numParameters)
            EXPECT_EQ (parameterValues (*plugin), valuesBefore) << "setting the bad index " << index;

        if (round % 50 == 0)
        {
            const auto check = processSignal (*plugin, signal, 256, { 64 });
            EXPECT_TRUE (check.isClean()) << "round " << round << ": " << check.describe();
        }
    }

    for (int i = 0; i < numParameters; ++i)
    {
        const auto value = plugin->getParameter (i);
        EXPECT_TRUE (value >= 0.0f && value <= 1.0f) << "parameter " << i << " reads " << value;
    }
}
