/*
    The crusher's building blocks against their plain forms: the band-limited step output
    against reading every slot at every sample, the state-variable filter against its two
    Chamberlin passes, and the vector inner loops against plain loops at either width.
*/
#include <gtest/gtest.h>

#include "dsp/BandLimitedStepOutput.h"
#include "dsp/StateVariableFilter.h"
#include "dsp/VectorKernels.h"

#include <cmath>
#include <random>
#include <vector>

namespace BandLimitedStepOutputTestsDetail
{
/** The step output read the plain way: 36 slots, each read and advanced every sample. */
struct PlainStepOutput
{
    void startStep (double value, double position)
    {
        delta[slot] = value - held;
        pos[slot] = position;
        held = value;
        slot = (slot + 1) % 36;
    }

    double next (double step)
    {
        const auto* table = BandLimitedStep::getTable();
        const auto limit = BandLimitedStep::tableSize - step - 2.0;
        auto out = held;

        for (int s = 0; s < 36; ++s)
        {
            const auto i = (int) pos[s];
            out += (table[i] + (pos[s] - i) * (table[i + 1] - table[i])) * delta[s] + 1e-20;
            pos[s] = pos[s] >= limit ? BandLimitedStep::tableSize - 2.0 : pos[s] + step;
        }

        return out;
    }

    double held = 0.0, delta[36] = {}, pos[36] = {};
    int slot = 0;
};

/** Runs both forms through a decimation with a ratio and a Link Freq setting that change
    every `every` samples and returns the largest difference. */
double largestDifference (unsigned seed, int samples, int every, bool quantised)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<double> unit (0.0, 1.0);
    BandLimitedStepOutput fast;
    PlainStepOutput plain;
    double phase = 1.0, ratio = 0.5, step = 128.0, largest = 0.0;

    for (int n = 0; n < samples; ++n)
    {
        if (n % every == 0)
        {
            // Ratios from 0.001 to 1, a step that follows the ratio or stays at 128.
            ratio = unit (random) < 0.2 ? 1.0 : std::pow (10.0, -3.0 * unit (random));
            step = unit (random) < 0.5 ? 128.0 : ratio * 128.0;
        }

        phase -= 1.0;

        if (phase <= 0.0)
        {
            const auto offset = -phase;
            phase += 1.0 / ratio;
            auto value = unit (random) * 2.0 - 1.0;

            if (quantised)
                value = std::round (value * 4.0) / 4.0;

            fast.startStep (value, step * offset);
            plain.startStep (value, step * offset);
        }

        largest = std::max (largest, std::abs (fast.next (step) - plain.next (step)));
    }

    return largest;
}
} // namespace BandLimitedStepOutputTestsDetail

TEST (BandLimitedStepOutput, AgreesWithReadingEverySlot)
{
    using namespace BandLimitedStepOutputTestsDetail;

    // Long stretches of one way or the other, then changes every few samples (runs broken
    // up, the queue rebuilt often); quantised values repeat, so steps of size 0 occur too.
    for (const int every : { 5000, 300, 37, 3 })
    {
        EXPECT_LT (largestDifference (1u + (unsigned) every, 40000, every, false), 1e-5) << every;
        EXPECT_LT (largestDifference (7u + (unsigned) every, 40000, every, true), 1e-5) << every;
    }

    // A step at every sample, each at a random position within the first sample period's
    // worth of the table; returns the largest difference.
    const auto stepEverySample = [] (double step, int samples)
    {
        BandLimitedStepOutput fast;
        PlainStepOutput plain;
        std::mt19937 random (3);
        std::uniform_real_distribution<double> unit (-1.0, 1.0);
        double largest = 0.0;

        for (int n = 0; n < samples; ++n)
        {
            const auto value = unit (random), position = 0.5 * step * (unit (random) + 1.0);
            fast.startStep (value, position);
            plain.startStep (value, position);
            largest = std::max (largest, std::abs (fast.next (step) - plain.next (step)));
        }

        EXPECT_EQ (fast.getNumSlotsInUse(), BandLimitedStepOutput::numSlots);      // every one still inside
        return largest;
    };

    // At the full rate with the 128-entry step, the queue alone is in double precision.
    EXPECT_LT (stepEverySample (128.0, 10000), 1e-12);

    // With steps that move only one entry per sample, every step is a run of its own and the
    // 37th replaces a slot still far inside the table.
    EXPECT_LT (stepEverySample (1.0, 20000), 1e-5);
}

TEST (StateVariableFilter, MatchesTheTwoChamberlinPasses)
{
    std::mt19937 random (9);
    std::uniform_real_distribution<double> unit (0.0, 1.0);

    for (int type = 0; type < 4; ++type)
    {
        StateVariableFilter filter;
        double low = 0.0, band = 0.0, largest = 0.0;
        double f = 0.1, q = 0.5;

        for (int n = 0; n < 20000; ++n)
        {
            // The coefficients glide, then hold still for a while.
            if (n % 1000 < 500)
            {
                f = 0.001 + 0.829 * unit (random);
                q = std::pow (100.0, -unit (random));
            }

            const auto in = unit (random) * 2.0 - 1.0;
            const auto g = std::sqrt (q), u = g * in;
            double high = 0.0;

            for (int pass = 0; pass < 2; ++pass)
            {
                low = low + f * band + 1e-20;
                high = u - low - q * band + 1e-20;
                band = band + f * high + 1e-20;
            }

            const double outputs[] = { low, band, high, high + low };
            filter.setFrequencyAndDamping (f, q);
            const auto out = filter.process (in, type);
            largest = std::max (largest, std::abs (out - outputs[type]) / (1.0 + std::abs (outputs[type])));
        }

        EXPECT_LT (largest, 1e-9) << "type " << type;
    }
}

namespace BandLimitedStepOutputTestsDetail
{
/** The inner loops against plain loops, at the width of the function they are inlined into
    (the queue additions Width doubles at a time). */
template <int Width>
VELCROFT_ALWAYS_INLINE void checkVectorLanes()
{
    std::mt19937 random (13);
    std::uniform_real_distribution<double> unit (-1.0, 1.0);

    alignas (32) double left[72], right[72], row[72], ring[40], dst1[48], a[48], s[48];
    alignas (32) float leftF[72], rightF[72], rowF[72], d[48], aF[48], sF[48];

    for (int trial = 0; trial < 20; ++trial)
    {
        for (int i = 0; i < 72; ++i)
        {
            left[i] = unit (random);
            right[i] = unit (random);
            row[i] = unit (random);
            leftF[i] = (float) left[i];
            rightF[i] = (float) right[i];
            rowF[i] = (float) row[i];
        }

        double out[2], plainL = 0.0, plainR = 0.0;

        for (int t = 0; t < 64; ++t)
        {
            plainL += left[t] * row[t];
            plainR += right[t] * row[t];
        }

        VectorLanes::firStereo (left, right, row, out);
        EXPECT_NEAR (out[0], plainL, 1e-13);
        EXPECT_NEAR (out[1], plainR, 1e-13);
        VectorLanes::firStereo (leftF, rightF, rowF, out);
        EXPECT_NEAR (out[0], plainL, 1e-5);
        EXPECT_NEAR (out[1], plainR, 1e-5);

        double sinc = 0.0;

        for (int j = 0; j < 32; ++j)
        {
            ring[j] = unit (random);
            sinc += row[j] * ring[j];
        }

        EXPECT_NEAR (VectorLanes::sincDot (row, ring, ring[31]), sinc, 1e-13);

        // Both linked channels at once: each sum exactly as sincDot gives it.
        const auto both = VectorLanes::sincDots (row, ring, ring[31], left, left[31]);
        EXPECT_EQ (both[0], VectorLanes::sincDot (row, ring, ring[31]));
        EXPECT_EQ (both[1], VectorLanes::sincDot (row, left, left[31]));

        for (int n = 0; n <= 40; ++n)
        {
            double plain1[48];

            for (int i = 0; i < 48; ++i)
            {
                dst1[i] = plain1[i] = unit (random);
                a[i] = unit (random);
                s[i] = unit (random);
                d[i] = (float) unit (random);
            }

            const auto x = unit (random), y = unit (random), f = 0.5 * (unit (random) + 1.0);
            VectorLanes::addRows<Width> (dst1, x, a, y, s, n);

            for (int i = 0; i < 48; ++i)
            {
                if (i < n)
                    plain1[i] += x * a[i] + y * s[i];

                ASSERT_NEAR (dst1[i], plain1[i], 1e-14) << n << " " << i;
            }

            // One run of n slots (n <= 40), read whole at one fraction: the sizes past the
            // run are zeros, whatever the rows hold there.
            double plainRun = 0.0;

            for (int j = 0; j < 48; ++j)
            {
                aF[j] = (float) a[j];
                sF[j] = (float) s[j];

                if (j < n)
                    plainRun += (double) d[j] * (aF[j] + f * sF[j]);
                else
                    d[j] = 0.0f;
            }

            const auto run = VectorLanes::addWholeRun<Width> (VectorLanes::FloatLanes<Width> {}, d, aF, sF, (float) f);
            EXPECT_NEAR (VectorLanes::sum (run), plainRun, 1e-4) << n;

            double twice1[48], twice2[48];

            for (int i = 0; i < 48; ++i)
                twice1[i] = twice2[i] = 0.0;

            VectorLanes::addRowsTwice<Width> (twice1, x, twice2, y, a, f, s, n);

            for (int i = 0; i < 48; ++i)
            {
                const auto w = i < n ? a[i] + f * s[i] : 0.0;
                ASSERT_NEAR (twice1[i], x * w, 1e-14) << n << " " << i;
                ASSERT_NEAR (twice2[i], y * w, 1e-14) << n << " " << i;
            }
        }
    }
}

void checkBaselineLanes()        { checkVectorLanes<2>(); }

#if defined (__x86_64__) && defined (__GNUC__)
__attribute__ ((target ("avx2,fma"))) void checkWideLanes()      { checkVectorLanes<2>(); checkVectorLanes<4>(); }
#endif
} // namespace BandLimitedStepOutputTestsDetail

TEST (VectorLanes, MatchPlainLoopsAtEitherWidth)
{
    using namespace BandLimitedStepOutputTestsDetail;
    checkBaselineLanes();

   #if defined (__x86_64__) && defined (__GNUC__)
    if (VectorKernels::hasWideSet())
        checkWideLanes();
   #endif
}
