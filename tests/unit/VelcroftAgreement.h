/*
    What the fast VelcroftCore is compared with the plain VelcroftReferenceCore on, shared by
    the unit tests and the benchmark: three settings (factory slot 0 "MPC 60", the heaviest
    setting and the cleared preset), a deterministic noise input, the Frequency sweep of the
    heaviest setting, and a run of both cores side by side that measures how far apart their
    outputs are.
*/
#pragma once

#include "VelcroftReferenceCore.h"
#include "dsp/VelcroftCore.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

namespace VelcroftAgreement
{
/** One setting of the 18 parameters, possibly with the Frequency sweep. */
struct Setting
{
    const char* name;
    float values[VelcroftParameters::numParameters];
    bool sweepsFrequency;   /**< Left and Right Frequency move at every block */
};

/** Factory slot 0 "MPC 60". */
inline const Setting factorySlot0 { "MPC 60 (factory slot 0)",
    { 0.475f, 0.685f, 0.93f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.235f, 0.0f, 0.0f },
    false };

/** The heaviest setting: unlinked, both filters on (left before, right after the crusher),
    Link Freq on, 9 bits, and both Frequencies swept so that every sinc phase is visited. */
inline const Setting worstCase { "worst case",
    { 0.2f, 0.5f, 0.85f, 1.0f, 0.0f, 0.7f, 0.4f, 0.5f, 0.9f, 1.0f, 0.5f, 0.6f, 0.5f, 0.0f, 0.8f, 0.5f, 1.0f, 0.0f },
    true };

/** The cleared preset: the empty preset's values. */
inline const Setting clearedPreset { "cleared preset",
    { 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.0f, 0.0f },
    false };

/** The three settings, in the order they are reported. */
inline const Setting* const settings[] = { &factorySlot0, &worstCase, &clearedPreset };

/** The six supported host rates. */
inline const int hostRates[] = { 44100, 48000, 88200, 96000, 176400, 192000 };

/** Samples per block handed to the cores. */
constexpr int blockSize = 512;

/** The swept Frequency value of a channel for the block starting at a host sample: a
    triangle between 0.7 and 1.0 (ratios 0.35 to 1), 1.3 s for the left channel and 1.7 s for
    the right, the same in time at every rate. */
inline float sweptFrequency (int channel, std::int64_t blockStart, int rate)
{
    const auto period = channel == 0 ? 1.3 : 1.7;
    const auto t = std::fmod ((double) blockStart / rate / period, 1.0);
    return (float) (0.7 + 0.3 * (t < 0.5 ? 2.0 * t : 2.0 - 2.0 * t));
}

/** Sets a setting's values on a core (in index order). */
template <typename Core>
void applySetting (Core& core, const Setting& setting)
{
    for (int i = 0; i < VelcroftParameters::numParameters; ++i)
        core.setParameter (i, setting.values[i]);
}

/** Before processing the block that starts at blockStart: moves the swept Frequencies. */
template <typename Core>
void beforeBlock (Core& core, const Setting& setting, std::int64_t blockStart, int rate)
{
    if (setting.sweepsFrequency)
    {
        core.setParameter (VelcroftParameters::leftFrequency, sweptFrequency (0, blockStart, rate));
        core.setParameter (VelcroftParameters::rightFrequency, sweptFrequency (1, blockStart, rate));
    }
}

/** Deterministic white noise, uniform in -0.5..0.5, different on the two channels. */
inline void makeNoise (std::vector<float>& left, std::vector<float>& right, std::int64_t frames, std::uint32_t seed = 1)
{
    left.resize ((size_t) frames);
    right.resize ((size_t) frames);
    auto state = seed * 2654435761u + 12345u;

    const auto next = [&state]
    {
        state = state * 1664525u + 1013904223u;
        return (float) ((double) (state >> 8) / 16777216.0 - 0.5);
    };

    for (size_t i = 0; i < left.size(); ++i)
    {
        left[i] = next();
        right[i] = next();
    }
}

/** The largest difference allowed per channel: one quantisation step (1 / level) when the
    channel quantises, else 1e-6. Linked channels both use the left level. */
inline double allowedDifference (const Setting& setting, int channel)
{
    const auto linked = setting.values[VelcroftParameters::linkChannels] > 0.5f;
    const auto bits = setting.values[channel == 1 && ! linked ? VelcroftParameters::rightBits : VelcroftParameters::leftBits];
    const auto level = channel == 1 && ! linked ? VelcroftCore::rightLevelFromParameter (bits)
                                                : VelcroftCore::leftLevelFromParameter (bits);
    return level > VelcroftCore::maxQuantiserLevel ? 1.0e-6 : 1.0 / level;
}

/** How far apart the two cores came out. */
struct Result
{
    double rms = 0.0;                   /**< over both channels */
    double maxDifference[2] {};         /**< per channel */
    double allowed[2] {};               /**< per channel */
    std::int64_t frames = 0;
    std::int64_t lightMismatches = 0;   /**< blocks after which the activity lights differed */
    double meterDifference = 0.0;       /**< the most the published meter positions differed after a block */

    bool agrees() const noexcept
    {
        return rms < 1.0e-6 && maxDifference[0] <= allowed[0] && maxDifference[1] <= allowed[1] && lightMismatches == 0
            && meterDifference < 1.0e-6;
    }
};

/** What else happens during a comparison: the input's shape and events between blocks. */
struct Scenario
{
    /** Changes the noise before it is processed (for example silent stretches). */
    std::function<void (std::vector<float>& left, std::vector<float>& right)> shapeInput;

    /** Called for each core before the block that starts at blockStart (after the setting's
        own Frequency sweep): parameter changes, silent preset changes. */
    std::function<void (QuillonEffectCore& core, std::int64_t blockStart)> beforeBlock;

    /** Samples per processing call. */
    int blockSize = VelcroftAgreement::blockSize;

    /** Both cores process the left channel alone (processMono); the right one stays the input
        in both, so it compares equal. */
    bool mono = false;
};

/** Runs the fast and the reference core side by side over seconds of noise at a rate. */
inline Result compare (const Setting& setting, int rate, double seconds, const Scenario& scenario = {})
{
    const auto frames = (std::int64_t) std::llround (seconds * rate);
    std::vector<float> inL, inR;
    makeNoise (inL, inR, frames, (std::uint32_t) rate);

    if (scenario.shapeInput)
        scenario.shapeInput (inL, inR);

    // As in the plug-in: the preset first, then the host's rate.
    VelcroftCore fast (nullptr);
    VelcroftReferenceCore reference (nullptr);
    applySetting (fast, setting);
    applySetting (reference, setting);

    for (auto* core : { (QuillonEffectCore*) &fast, (QuillonEffectCore*) &reference })
    {
        core->prepare (scenario.blockSize);
        core->setSampleRate ((float) rate);
    }

    Result result;
    result.frames = frames;
    double sumOfSquares = 0.0;
    const auto block = (std::int64_t) std::max (1, scenario.blockSize);
    std::vector<float> fl ((size_t) block), fr ((size_t) block), rl ((size_t) block), rr ((size_t) block);

    for (std::int64_t start = 0; start < frames; start += block)
    {
        const auto n = (int) std::min (block, frames - start);
        beforeBlock (fast, setting, start, rate);
        beforeBlock (reference, setting, start, rate);

        if (scenario.beforeBlock)
        {
            scenario.beforeBlock (fast, start);
            scenario.beforeBlock (reference, start);
        }

        std::copy (inL.begin() + start, inL.begin() + start + n, fl.begin());
        std::copy (inR.begin() + start, inR.begin() + start + n, fr.begin());
        std::copy (fl.begin(), fl.begin() + n, rl.begin());
        std::copy (fr.begin(), fr.begin() + n, rr.begin());

        float* channels[] = { fl.data(), fr.data(), rl.data(), rr.data() };
        if (scenario.mono)
        {
            fast.processMono (&channels[0], n);
            reference.processMono (&channels[2], n);
        }
        else
        {
            fast.processStereo (&channels[0], &channels[1], n);
            reference.processStereo (&channels[2], &channels[3], n);
        }

        bool fastLights[2], referenceLights[2];
        fast.getLeds (fastLights[0], fastLights[1]);
        reference.getLeds (referenceLights[0], referenceLights[1]);
        result.lightMismatches += (fastLights[0] != referenceLights[0] || fastLights[1] != referenceLights[1]) ? 1 : 0;
        result.meterDifference = std::max ({ result.meterDifference,
                                             (double) std::abs (fast.getVuLeft() - reference.getVuLeft()),
                                             (double) std::abs (fast.getVuRight() - reference.getVuRight()) });

        for (int i = 0; i < n; ++i)
        {
            const double d[2] = { (double) fl[(size_t) i] - rl[(size_t) i], (double) fr[(size_t) i] - rr[(size_t) i] };

            for (int ch = 0; ch < 2; ++ch)
            {
                // A sample that is not a finite number counts as infinitely far off.
                const auto distance = std::isfinite (d[ch]) ? std::abs (d[ch]) : HUGE_VAL;
                sumOfSquares += distance * distance;
                result.maxDifference[ch] = std::max (result.maxDifference[ch], distance);
            }
        }
    }

    result.rms = frames > 0 ? std::sqrt (sumOfSquares / (2.0 * (double) frames)) : 0.0;
    result.allowed[0] = allowedDifference (setting, 0);
    result.allowed[1] = allowedDifference (setting, 1);
    return result;
}
} // namespace VelcroftAgreement
