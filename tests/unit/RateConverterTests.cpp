#include <gtest/gtest.h>

#include "ReferenceRateConverter.h"
#include "dsp/RateConverter.h"
#include "dsp/SampleRateContext.h"

#include <cmath>
#include <random>
#include <type_traits>
#include <vector>

namespace RateConverterTestsDetail
{
using Converter = RateConverter<double>;

constexpr double pi = 3.14159265358979323846;

/** Amplitude (relative to the input's) and delay (in samples of the input) of a sine. */
struct SineResponse
{
    double gainDb;
    double delay;
};

/** The phase of a sine of frequency w (radians per sample) in x, over a whole number of
    periods starting at sample start. */
SineResponse analyseSine (const std::vector<double>& x, double w, int start, int length, double inputAmplitude)
{
    double s = 0.0, c = 0.0;

    for (int n = start; n < start + length; ++n)
    {
        s += x[(size_t) n] * std::sin (w * n);
        c += x[(size_t) n] * std::cos (w * n);
    }

    const auto amplitude = 2.0 * std::hypot (s, c) / length;
    // x[n] = A sin (w n - w D) = A (sin (w n) cos (w D) - cos (w n) sin (w D))
    auto delay = std::atan2 (-c, s) / w;
    const auto period = 2.0 * pi / w;

    while (delay < 0.0)
        delay += period;

    return { 20.0 * std::log10 (amplitude / inputAmplitude), delay };
}

/** A sine through host rate -> 44,100 Hz -> host rate (the right channel carries the
    sine inverted and must come out inverted). */
SineResponse roundTrip (int rate, double frequency)
{
    Converter down (rate, 44100), up (44100, rate);
    const auto w = 2.0 * pi * frequency / rate;
    const int total = rate;  // one second
    std::vector<double> out;
    out.reserve ((size_t) total + 16);
    double mid[2 * Converter::maxOutputsPerPush], res[2 * Converter::maxOutputsPerPush];

    for (int n = 0; n < total; ++n)
    {
        const auto x = 0.5 * std::sin (w * n);
        const auto produced = down.pushFrame (x, -x, mid);

        for (int i = 0; i < produced; ++i)
        {
            const auto m = up.pushFrame (mid[2 * i], mid[2 * i + 1], res);

            for (int j = 0; j < m; ++j)
            {
                EXPECT_NEAR (res[2 * j + 1], -res[2 * j], 1e-15);
                out.push_back (res[2 * j]);
            }
        }
    }

    // A tenth of a second is a whole number of periods of 100 Hz and 1 kHz at every rate.
    return analyseSine (out, w, rate / 2, rate / 10, 0.5);
}
} // namespace RateConverterTestsDetail

TEST (RateConverter, SampleRateContextValues)
{
    SampleRateContext c;
    setSampleRateContext (c, 44100.0);
    EXPECT_EQ (c.k, 1.0);
    EXPECT_DOUBLE_EQ (c.smooth, 0.002);
    EXPECT_DOUBLE_EQ (c.ratio, 1.0);
    EXPECT_DOUBLE_EQ (c.fade, 0.002);
    EXPECT_EQ (c.rateIndex, 0);

    const struct { double rate; int index; } rates[] = { { 48000.0, 1 }, { 88200.0, 2 }, { 96000.0, 3 }, { 192000.0, 4 } };

    for (const auto& r : rates)
    {
        setSampleRateContext (c, r.rate);
        EXPECT_EQ (c.rateIndex, r.index) << r.rate;
        EXPECT_DOUBLE_EQ (c.k, 2.0 * (1.0 - std::pow (0.5, 44100.0 / r.rate))) << r.rate;
        EXPECT_LT (c.k, 1.0) << r.rate;
        EXPECT_DOUBLE_EQ (c.ratio, r.rate / 44100.0) << r.rate;
        EXPECT_DOUBLE_EQ (c.nyquist, r.rate / 2.0) << r.rate;
    }

    // 176,400 Hz has no index of its own; a bad rate changes nothing.
    setSampleRateContext (c, 176400.0);
    EXPECT_EQ (c.rateIndex, 4);
    EXPECT_EQ (c.rate, 176400.0);

    for (const double bad : { 0.0, -48000.0, std::nan (""), HUGE_VAL })
    {
        setSampleRateContext (c, bad);
        EXPECT_EQ (c.rate, 176400.0);
    }
}

TEST (RateConverter, PhasesAdvancesAndOutputCounts)
{
    using RateConverterTestsDetail::Converter;

    Converter down (48000, 44100);
    EXPECT_EQ (down.getNumPhases(), 147);
    EXPECT_DOUBLE_EQ (down.getStep(), 160.0 / 147.0);
    EXPECT_EQ (down.getAdvance (0), 2);

    Converter up (44100, 48000);
    EXPECT_EQ (up.getNumPhases(), 160);
    EXPECT_DOUBLE_EQ (up.getStep(), 0.91875);

    // Whole-number ratios need one row each way round.
    EXPECT_EQ (Converter (88200, 44100).getNumPhases(), 1);
    EXPECT_EQ (Converter (88200, 44100).getAdvance (0), 2);
    EXPECT_EQ (Converter (44100, 176400).getNumPhases(), 4);

    // Over one cycle of the ratio, every converter gives exactly the output factor's
    // number of samples, each push within its bounds.
    const int rates[] = { 48000, 88200, 96000, 176400, 192000 };
    double out[2 * Converter::maxOutputsPerPush];

    for (const auto rate : rates)
    {
        for (const bool toHost : { false, true })
        {
            const auto inRate = toHost ? 44100 : rate;
            const auto outRate = toHost ? rate : 44100;
            Converter converter (inRate, outRate);
            int total = 0, fewest = 100, most = 0;

            for (int n = 0; n < 3 * Converter::getRateFactor (inRate); ++n)
            {
                const auto produced = converter.pushFrame (1.0, 1.0, out);
                total += produced;
                fewest = std::min (fewest, produced);
                most = std::max (most, produced);
            }

            EXPECT_EQ (total, 3 * Converter::getRateFactor (outRate)) << inRate << " -> " << outRate;
            EXPECT_EQ (fewest, toHost ? (int) std::floor (rate / 44100.0) : 0) << inRate << " -> " << outRate;
            EXPECT_EQ (most, toHost ? (int) std::ceil (rate / 44100.0) : 1) << inRate << " -> " << outRate;
        }
    }
}

TEST (RateConverter, EqualRatesDelayBy32Samples)
{
    using RateConverterTestsDetail::Converter;

    Converter same (44100, 44100);
    double out[2 * Converter::maxOutputsPerPush];

    for (int n = 0; n < 200; ++n)
    {
        ASSERT_EQ (same.pushFrame (std::sin (0.1 * n) + 0.25, std::cos (0.3 * n), out), 1);
        EXPECT_NEAR (out[0], n >= 32 ? std::sin (0.1 * (n - 32)) + 0.25 : 0.0, 1e-12) << n;
        EXPECT_NEAR (out[1], n >= 32 ? std::cos (0.3 * (n - 32)) : 0.0, 1e-12) << n;
    }
}

TEST (RateConverter, RoundTripDelayAndPassband)
{
    using namespace RateConverterTestsDetail;

    // The core's total delays at each rate consist of this round trip, the crusher's 21
    // samples at 44,100 Hz and the output ring's 4 samples.
    const struct { int rate; double coreDelay; } cases[] = {
        { 48000, 93.0 }, { 88200, 141.0 }, { 96000, 149.0 }, { 176400, 245.0 }, { 192000, 263.0 },
    };

    for (const auto& c : cases)
    {
        const auto expectedDelay = c.coreDelay - 21.0 * c.rate / 44100.0 - 4.0;
        const auto low = roundTrip (c.rate, 100.0);
        const auto mid = roundTrip (c.rate, 1000.0);

        EXPECT_NEAR (low.delay, expectedDelay, 0.5) << c.rate;
        const auto period = c.rate / 1000.0;
        const auto difference = mid.delay - low.delay;
        EXPECT_NEAR (difference - period * std::round (difference / period), 0.0, 0.01) << c.rate;
        EXPECT_NEAR (low.gainDb, 0.0, 0.1) << c.rate;
        EXPECT_NEAR (mid.gainDb, 0.0, 0.1) << c.rate;
    }
}

TEST (RateConverter, AgreesWithThePlainConverterOnBothChannels)
{
    // Every supported pair, both directions, against two single-channel plain converters:
    // the same outputs for the same inputs, up to rounding in double precision and to the
    // float's resolution in single precision.
    std::mt19937 random (5);
    std::uniform_real_distribution<double> sample (-1.0, 1.0);

    const auto compare = [&] (auto& stereo, int inRate, int outRate, double tolerance)
    {
        // Blocks of varied length (1 up to the most a converter takes), each against the
        // same samples pushed one at a time through the plain converters.
        using Sample = std::remove_reference_t<decltype (*stereo.getLeftInput())>;
        ReferenceRateConverter plainLeft (inRate, outRate), plainRight (inRate, outRate);
        std::vector<double> out;
        double left[ReferenceRateConverter::maxOutputsPerPush], right[ReferenceRateConverter::maxOutputsPerPush];
        const int lengths[] = { 1, 2, 7, 64, RateConverter<double>::maxBlock, 13, 1, 1 };
        double largest = 0.0;

        for (int block = 0, n = 0; block < 40; ++block)
        {
            const auto length = lengths[block % 8];
            std::vector<double> expected;

            for (int i = 0; i < length; ++i, ++n)
            {
                const auto l = sample (random), r = sample (random);
                stereo.getLeftInput()[i] = (Sample) l;
                stereo.getRightInput()[i] = (Sample) r;
                const auto plain = plainLeft.pushSample ((double) (Sample) l, left);
                ASSERT_EQ (plain, plainRight.pushSample ((double) (Sample) r, right));

                for (int k = 0; k < plain; ++k)
                {
                    expected.push_back (left[k]);
                    expected.push_back (right[k]);
                }
            }

            out.assign (2 * (size_t) stereo.getMaxOutputs (length), 0.0);
            const auto produced = stereo.convert (length, out.data());
            ASSERT_EQ (2 * (size_t) produced, expected.size()) << inRate << " -> " << outRate << " in block " << block;

            for (size_t i = 0; i < expected.size(); ++i)
                largest = std::max (largest, std::abs (out[i] - expected[i]));
        }

        EXPECT_LT (largest, tolerance) << inRate << " -> " << outRate;
    };

    for (const auto rate : { 48000, 88200, 96000, 176400, 192000 })
    {
        for (const bool toHost : { false, true })
        {
            const auto inRate = toHost ? 44100 : rate;
            const auto outRate = toHost ? rate : 44100;
            RateConverter<double> precise (inRate, outRate);
            RateConverter<float> single (inRate, outRate);
            compare (precise, inRate, outRate, 1e-13);
            compare (single, inRate, outRate, 2e-6);
        }
    }

    // The banks are built once per rate pair and shared.
    EXPECT_EQ (RateConverter<double>::getBank (640, 147), RateConverter<double>::getBank (640, 147));
}
