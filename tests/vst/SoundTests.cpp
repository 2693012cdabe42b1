/*
    What Velcroft does to sound and how it names its values, heard through the built library
    as a host hears it: the parameters' display texts, the dry path's delay, the quantiser's
    levels, independence from the block size, clean output under wild automation at every
    rate, and linked mode waking after a long silence.
*/
#include "VelcroftTestSupport.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <set>

namespace SoundTestsDetail
{
using namespace velcroft_vst_test;

/** Unlinked, no quantisation, filters off, full rate, no preamp, all wet, unity volume. */
constexpr Values plainValues { 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 0, 1, 0.5f, 0, 0 };

void setValues (VstPlugin& plugin, const Values& values)
{
    for (int i = 0; i < numParameters; ++i)
        plugin.setParameter (i, values[(size_t) i]);
}

/** Stereo noise, uniform in -level..level, different on the two channels. */
AudioData makeNoise (std::int64_t frames, double rate, float level, unsigned seed)
{
    auto audio = AudioData::silence (2, frames, rate);
    std::mt19937 random (seed);
    std::uniform_real_distribution<float> sample (-level, level);

    for (std::int64_t i = 0; i < frames; ++i)
        for (auto& channel : audio.channels)
            channel[(size_t) i] = sample (random);

    return audio;
}

bool isCleanSample (float x)
{
    return std::isfinite (x) && (x == 0.0f || std::abs (x) >= std::numeric_limits<float>::min());
}
} // namespace SoundTestsDetail

TEST (Sound, DisplayTextsOfEveryParameter)
{
    using namespace SoundTestsDetail;
    PluginFolder folder;
    auto library = folder.load();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);
    setValues (*plugin, plainValues);
    namespace P = VelcroftParameters;

    struct Case { int index; float value; const char* text; };
    const Case cases[] = {
        { P::preamp, 0.0f, "0.0dB" }, { P::preamp, 0.475f, "+22.8dB" }, { P::preamp, 0.5f, "+24.0dB" },
        { P::preamp, 1.0f, "+48.0dB" },
        { P::leftBits, 1.0f, "Quant. Off" }, { P::leftBits, 0.0f, "1 bit" }, { P::leftBits, 0.5f, "9 bits" },
        { P::leftBits, 0.685f, "12 bits" },
        { P::leftFrequency, 0.8f, "22050Hz" }, { P::leftFrequency, 0.0f, "44Hz" },
        { P::leftFrequency, 1.0f, "44100Hz" }, { P::leftFrequency, 0.6f, "11025Hz" },
        { P::leftFrequency, 0.93f, "34586Hz" },
        { P::leftLinkFreq, 1.0f, "On" }, { P::leftLinkFreq, 0.0f, "Off" },
        { P::leftFilterType, 0.0f, "LP" }, { P::leftFilterType, 0.25f, "BP" }, { P::leftFilterType, 0.5f, "HP" },
        { P::leftFilterType, 0.75f, "BR" }, { P::leftFilterType, 1.0f, "Off" },
        { P::leftCutoff, 0.0f, "14Hz" }, { P::leftCutoff, 0.5f, "1229Hz" }, { P::leftCutoff, 0.7f, "3137Hz" },
        { P::leftCutoff, 1.0f, "12000Hz" },
        { P::leftReso, 0.0f, "0%" }, { P::leftReso, 0.3f, "30%" }, { P::leftReso, 0.236f, "24%" },
        { P::leftReso, 1.0f, "100%" },
        { P::rightBits, 1.0f, "Quant. Off" }, { P::rightBits, 0.0f, "1 bit" }, { P::rightBits, 0.5f, "9 bits" },
        { P::rightFrequency, 0.8f, "22050Hz" }, { P::rightFrequency, 0.0f, "44Hz" },
        { P::rightFrequency, 0.5f, "7784Hz" },
        { P::rightLinkFreq, 1.0f, "On" }, { P::rightLinkFreq, 0.0f, "Off" },
        { P::rightFilterType, 0.0f, "LP" }, { P::rightFilterType, 0.75f, "BR" }, { P::rightFilterType, 1.0f, "Off" },
        { P::rightCutoff, 0.0f, "14Hz" }, { P::rightCutoff, 1.0f, "12000Hz" },
        { P::rightReso, 0.3f, "30%" }, { P::rightReso, 1.0f, "100%" },
        { P::linkChannels, 0.0f, "Off" },
        { P::fx, 0.3f, "70/30% (Dry/Wet)" }, { P::fx, 1.0f, "0/100% (Dry/Wet)" }, { P::fx, 0.0f, "100/0% (Dry/Wet)" },
        { P::outputVolume, 0.0f, "-Inf." }, { P::outputVolume, 0.5f, "0.0dB" }, { P::outputVolume, 1.0f, "+12.0dB" },
        { P::outputVolume, 0.25f, "-12.0dB" },
        { P::leftFilterOrder, 1.0f, "Pre" }, { P::leftFilterOrder, 0.0f, "Post" },
        { P::rightFilterOrder, 1.0f, "Pre" }, { P::rightFilterOrder, 0.0f, "Post" },
    };

    for (const auto& c : cases)
    {
        plugin->setParameter (c.index, c.value);
        EXPECT_EQ (plugin->getParameterDisplay (c.index), c.text) << "parameter " << c.index << " at " << c.value;
    }

    // Linked: the right channel's values read "linked" and keep what was set meanwhile,
    // which unlinking shows again.
    plugin->setParameter (P::rightFrequency, 0.6f);
    plugin->setParameter (P::linkChannels, 1.0f);
    EXPECT_EQ (plugin->getParameterDisplay (P::linkChannels), "On");

    for (const int index : { P::rightBits, P::rightFrequency, P::rightLinkFreq, P::rightFilterType, P::rightCutoff,
                             P::rightReso, P::rightFilterOrder })
        EXPECT_EQ (plugin->getParameterDisplay (index), "linked") << index;

    EXPECT_EQ (plugin->getParameterDisplay (P::leftFrequency), "34586Hz") << "the left channel is still shown";
    plugin->setParameter (P::rightFrequency, 0.8f);
    plugin->setParameter (P::linkChannels, 0.0f);
    EXPECT_EQ (plugin->getParameterDisplay (P::linkChannels), "Off");
    EXPECT_EQ (plugin->getParameterDisplay (P::rightFrequency), "22050Hz");
    EXPECT_EQ (plugin->getParameterDisplay (P::rightFilterOrder), "Post");

    // Every text fits the host's 23 characters.
    for (int i = 0; i < numParameters; ++i)
        EXPECT_LE (plugin->getParameterDisplay (i).size(), 23u) << i;
}

TEST (Sound, WithoutEffectTheOutputIsTheInputDelayedBy21Samples)
{
    using namespace SoundTestsDetail;
    PluginFolder folder;
    auto library = folder.load();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    // FX 0 with the crusher at its harshest and the volume at 0.75 (a gain of 2.25).
    namespace P = VelcroftParameters;
    auto values = plainValues;
    values[P::preamp] = 1.0f;
    values[P::leftBits] = values[P::rightBits] = 0.0f;
    values[P::leftFrequency] = values[P::rightFrequency] = 0.1f;
    values[P::leftFilterType] = 0.0f;
    values[P::fx] = 0.0f;
    values[P::outputVolume] = 0.75f;
    setValues (*plugin, values);

    const auto input = makeNoise (6000, 44100.0, 0.4f, 5);
    VstPlugin::RenderOptions options;
    options.blockSizes = { 256, 100 };
    const auto output = render (*plugin, input, options);
    ASSERT_EQ (output.getNumFrames(), input.getNumFrames());

    for (int ch = 0; ch < 2; ++ch)
        for (std::int64_t i = 0; i < input.getNumFrames(); ++i)
        {
            const auto expected = i >= 21 ? 2.25f * input.channels[(size_t) ch][(size_t) (i - 21)] : 0.0f;
            ASSERT_NEAR (output.channels[(size_t) ch][(size_t) i], expected, 1e-6) << "channel " << ch << " frame " << i;
        }
}

TEST (Sound, QuantiserLevelsOnASlowRamp)
{
    using namespace SoundTestsDetail;
    PluginFolder folder;
    auto library = folder.load();
    ASSERT_NE (library, nullptr);

    // A slow ramp from -0.95 to 0.95 at the full rate (a new sample every sample); wherever
    // the output rests (40 samples unchanged, so every step has settled) it sits on a level of
    // its channel: a whole multiple of 2 / L, with L = 2^(n+1) - 1 on the left and 2^(n+1) on
    // the right for the Bits step n.
    const std::int64_t frames = 120000;
    auto ramp = AudioData::silence (2, frames, 44100.0);

    for (std::int64_t i = 0; i < frames; ++i)
        ramp.channels[0][(size_t) i] = ramp.channels[1][(size_t) i] = (float) (-0.95 + 1.9 * (double) i / (double) frames);

    for (const float bits : { 0.0f, 1.0f / 16.0f, 0.25f, 0.5f })
    {
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);
        auto values = plainValues;
        values[VelcroftParameters::leftBits] = values[VelcroftParameters::rightBits] = bits;
        setValues (*plugin, values);
        VstPlugin::RenderOptions options;
        options.blockSizes = { 1024 };
        const auto output = render (*plugin, ramp, options);

        const auto n = (int) std::floor (bits * 16.0f + 0.5f);
        const double levels[2] = { std::ldexp (1.0, n + 1) - 1.0, std::ldexp (1.0, n + 1) };

        for (int ch = 0; ch < 2; ++ch)
        {
            const auto& out = output.channels[(size_t) ch];
            std::set<long> seen;

            for (std::int64_t i = 40; i < frames; ++i)
            {
                const auto v = out[(size_t) i];
                const auto resting = std::all_of (out.begin() + (i - 40), out.begin() + i, [v] (float x) { return x == v; });

                if (! resting)
                    continue;

                const auto step = (double) v * levels[ch] / 2.0;
                ASSERT_NEAR (step, std::round (step), 1e-4) << "bits " << bits << " channel " << ch << " value " << v;
                seen.insert (std::lround (step));
            }

            // The finer settings rest on many levels; the coarsest dither between their few.
            EXPECT_GE (seen.size(), levels[ch] > 16.0 ? 20u : 1u) << "bits " << bits << " channel " << ch;
        }
    }
}

TEST (Sound, OutputDoesNotDependOnTheBlockSize)
{
    using namespace SoundTestsDetail;
    PluginFolder folder;
    auto library = folder.load();
    ASSERT_NE (library, nullptr);

    // Every part of the crusher busy (filters before and after, Link Freq, quantisation),
    // with changes at fixed samples: frequencies, linking, and a silent stretch in linked mode.
    auto input = makeNoise (24000, 48000.0, 0.5f, 11);

    for (std::int64_t i = 14000; i < 16000; ++i)
        input.channels[0][(size_t) i] = input.channels[1][(size_t) i] = 0.0f;

    VstPlugin::RenderOptions options;
    namespace P = VelcroftParameters;
    options.parameterChanges = { { 3000, P::leftFrequency, 0.83f }, { 6000, P::rightFrequency, 0.7f },
                                 { 9000, P::leftLinkFreq, 0.0f }, { 12000, P::linkChannels, 1.0f },
                                 { 17000, P::leftFrequency, 0.95f }, { 20000, P::linkChannels, 0.0f },
                                 { 21000, P::rightFilterOrder, 1.0f } };
    const Values values { 0.2f, 0.5f, 0.85f, 1, 0, 0.7f, 0.4f, 0.5f, 0.9f, 1, 0.5f, 0.6f, 0.5f, 0, 0.8f, 0.5f, 1, 0 };

    std::vector<AudioData> outputs;

    for (const int blockSize : { 1, 13, 512, 4096 })
    {
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);
        setValues (*plugin, values);
        options.blockSizes = { blockSize };
        outputs.push_back (render (*plugin, input, options));
    }

    for (size_t k = 1; k < outputs.size(); ++k)
        EXPECT_EQ (firstDifference (outputs[0], outputs[k]), -1) << "block size index " << k;
}

TEST (Sound, CleanOutputUnderRandomAutomationAtEveryRate)
{
    using namespace SoundTestsDetail;
    PluginFolder folder;
    auto library = folder.load();
    ASSERT_NE (library, nullptr);
    std::mt19937 random (17);
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);

    const float wild[] = { -3.0f, 7.5f, std::numeric_limits<float>::quiet_NaN(), HUGE_VALF, -HUGE_VALF, 1.0e30f, -0.0f };

    for (const double rate : { 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0 })
    {
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);
        const auto frames = (std::int64_t) (rate / 4);
        auto input = makeNoise (frames, rate, 1.0f, (unsigned) rate);

        // Loud, tiny and silent stretches.
        for (std::int64_t i = 0; i < frames; ++i)
        {
            const auto stretch = (i / 2000) % 4;
            const auto gain = stretch == 0 ? 8.0f : (stretch == 1 ? 1.0e-6f : (stretch == 2 ? 0.0f : 1.0f));

            for (auto& channel : input.channels)
                channel[(size_t) i] *= gain;
        }

        BlockStream stream (*plugin, input, 256);

        for (std::int64_t done = 0; done < frames;)
        {
            for (int k = 0; k < 3; ++k)
            {
                const auto choice = unit (random);
                const auto value = choice < 0.3f ? wild[(size_t) (unit (random) * 6.99f)] : (choice < 0.5f ? std::round (unit (random)) : unit (random));
                plugin->setParameter ((int) (unit (random) * (numParameters - 0.01f)), value);
            }

            const auto n = (int) std::min<std::int64_t> (1 + (int) (unit (random) * 255.0f), frames - done);
            stream.process (n);
            done += n;
        }

        const auto& output = stream.getOutput();

        for (int ch = 0; ch < 2; ++ch)
            for (std::int64_t i = 0; i < output.getNumFrames(); ++i)
                ASSERT_TRUE (isCleanSample (output.channels[(size_t) ch][(size_t) i]))
                    << rate << " Hz, channel " << ch << ", frame " << i << ": " << output.channels[(size_t) ch][(size_t) i];
    }
}

TEST (Sound, LinkedModeWakesAfterTenSecondsOfSilence)
{
    using namespace SoundTestsDetail;
    PluginFolder folder;
    auto library = folder.load();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);

    // Linked, decimated, quantised, filtered before the crusher; a second of sound, ten of
    // silence, a second of sound.
    setValues (*plugin, { 0.3f, 0.4f, 0.6f, 1, 0, 0.6f, 0.3f, 1, 1, 0, 1, 1, 0, 1, 1, 0.5f, 1, 0 });
    const std::int64_t second = 44100;
    auto input = AudioData::silence (2, 12 * second, 44100.0);

    for (std::int64_t i = 0; i < 12 * second; ++i)
    {
        if (i < second || i >= 11 * second)
        {
            input.channels[0][(size_t) i] = 0.5f * (float) std::sin (0.05 * (double) i);
            input.channels[1][(size_t) i] = 0.5f * (float) std::sin (0.031 * (double) i);
        }
    }

    VstPlugin::RenderOptions options;
    options.blockSizes = { 4096 };
    const auto output = render (*plugin, input, options);
    ASSERT_EQ (output.getNumFrames(), 12 * second);

    for (int ch = 0; ch < 2; ++ch)
    {
        const auto& out = output.channels[(size_t) ch];
        double silentPeak = 0.0, energy = 0.0;

        for (std::int64_t i = 0; i < 12 * second; ++i)
        {
            ASSERT_TRUE (isCleanSample (out[(size_t) i])) << "channel " << ch << " frame " << i;

            if (i >= 6 * second && i < 11 * second)
                silentPeak = std::max (silentPeak, (double) std::abs (out[(size_t) i]));
            else if (i >= 11 * second + 1000)
                energy += (double) out[(size_t) i] * out[(size_t) i];
        }

        EXPECT_LT (silentPeak, 1e-6) << "channel " << ch << " rests in the silence";
        EXPECT_GT (energy / (double) (second - 1000), 0.01) << "channel " << ch << " sounds again";
    }
}
