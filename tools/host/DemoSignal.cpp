#include "tools/host/DemoSignal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vsthost
{

namespace demosignal_detail
{
    constexpr double pi = 3.14159265358979323846;
    constexpr double noteSpacing = 0.25;    // eighth notes at 120 bpm
    constexpr double beat = 0.5;
    constexpr double noteFrequencies[] = { 110.0, 130.81, 164.81, 220.0, 196.0, 164.81, 146.83, 130.81 };

    /** The correction that takes the step out of a sawtooth around its reset (two-sample polynomial). */
    double polyBlep (double phase, double increment) noexcept
    {
        if (phase < increment)
        {
            const auto t = phase / increment;
            return t + t - t * t - 1.0;
        }

        if (phase > 1.0 - increment)
        {
            const auto t = (phase - 1.0) / increment;
            return t * t + t + t + 1.0;
        }

        return 0.0;
    }

    /** A decaying band-limited sawtooth pluck, t seconds after its onset. */
    double pluck (int noteIndex, double t, double sampleRate) noexcept
    {
        if (noteIndex < 0 || t < 0.0)
            return 0.0;

        const auto frequency = noteFrequencies[noteIndex % 8];
        const auto phase = frequency * t - std::floor (frequency * t);
        const auto saw = 2.0 * phase - 1.0 - polyBlep (phase, frequency / sampleRate);
        const auto attack = std::min (1.0, t / 0.002);
        return saw * attack * std::exp (-t / 0.18);
    }

    /** A sine kick whose pitch falls from 150 Hz to 50 Hz, t seconds after its onset. */
    double kick (double t) noexcept
    {
        const auto phase = 50.0 * t + 100.0 * 0.03 * (1.0 - std::exp (-t / 0.03));
        return std::sin (2.0 * pi * phase) * std::exp (-t / 0.2) * std::min (1.0, t / 0.001);
    }

    /** A small deterministic noise source (linear congruential), uniform in [-1, 1). */
    struct Noise
    {
        std::uint32_t state;

        double next() noexcept
        {
            state = state * 1664525u + 1013904223u;
            return (double) (state >> 8) / 8388608.0 - 1.0;
        }
    };
} // namespace demosignal_detail

AudioData DemoSignal::make (double sampleRate, double seconds)
{
    using namespace demosignal_detail;

    if (! (sampleRate >= 8000.0 && sampleRate <= 1000000.0))
        return {};

    seconds = std::clamp (seconds == seconds ? seconds : 0.0, 0.0, maxSeconds);
    const auto numFrames = (std::int64_t) std::llround (seconds * sampleRate);
    auto audio = AudioData::silence (2, numFrames, sampleRate);

    if (numFrames == 0)
        return audio;

    Noise noiseLeft { 0x1234567u }, noiseRight { 0x89abcdefu };
    const double sweepStart = 80.0, sweepRatio = 4000.0 / 80.0;
    const double sweepScale = sweepStart * seconds / std::log (sweepRatio);
    auto& left = audio.channels[0];
    auto& right = audio.channels[1];
    double peak = 0.0;

    for (std::int64_t i = 0; i < numFrames; ++i)
    {
        const auto t = (double) i / sampleRate;
        double l = 0.0, r = 0.0;

        // Plucks, alternating a little left and right; the previous note rings on under the next.
        const auto note = (int) std::floor (t / noteSpacing);

        for (int n = note - 1; n <= note; ++n)
        {
            const auto v = 0.35 * pluck (n, t - n * noteSpacing, sampleRate);
            const auto pan = (n % 2 == 0) ? 0.35 : 0.65;
            l += v * (1.0 - pan) * 2.0 * 0.7;
            r += v * pan * 2.0 * 0.7;
        }

        // Kick on every beat, noise snare on the second and fourth.
        const auto beatIndex = (int) std::floor (t / beat);
        const auto sinceBeat = t - beatIndex * beat;
        const auto k = 0.6 * kick (sinceBeat);
        l += k;
        r += k;

        const auto snareEnvelope = (beatIndex % 2 == 1) ? 0.3 * std::exp (-sinceBeat / 0.06) : 0.0;
        l += snareEnvelope * noiseLeft.next();
        r += snareEnvelope * noiseRight.next();

        // An exponential sine sweep from 80 Hz to 4 kHz over the whole signal, moving left to right.
        const auto sweepPhase = sweepScale * (std::pow (sweepRatio, t / seconds) - 1.0);
        const auto sweep = 0.12 * std::sin (2.0 * pi * (sweepPhase - std::floor (sweepPhase)));
        const auto position = t / seconds;
        l += sweep * (1.0 - position);
        r += sweep * position;

        // Short fades at both ends.
        const auto fade = std::min ({ 1.0, t / 0.005, (seconds - t) / 0.02 });
        l *= std::max (0.0, fade);
        r *= std::max (0.0, fade);

        left[(size_t) i] = (float) l;
        right[(size_t) i] = (float) r;
        peak = std::max ({ peak, std::abs (l), std::abs (r) });
    }

    if (peak > 0.0)
    {
        const auto gain = (float) (0.8 / peak);

        for (auto& channel : audio.channels)
            for (auto& sample : channel)
                sample *= gain;
    }

    return audio;
}

} // namespace vsthost
