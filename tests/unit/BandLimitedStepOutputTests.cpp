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

    // At the full rate with the 128-entry step, every step's future goes into the queue at once.
    EXPECT_LT (stepEverySample (128.0, 10000), 1e-5);

    // With steps that move only one entry per sample, every step is a run of its own and the
    // 37th replaces a slot still far inside the table.
    EXPECT_LT (stepEverySample (1.0, 20000), 1e-5);

    // Steps that start exactly at position 0, a run's row apart, with a step length that is no
    // whole number of entries: rounding leaves the newest a hair below 0.
    BandLimitedStepOutput fast;
    PlainStepOutput plain;
    double largest = 0.0;

    for (int n = 0; n < 20000; ++n)
    {
        if (n % 7 == 0)
        {
            const auto value = n % 14 == 0 ? 0.5 : -0.25;
            fast.startStep (value, 0.0);
            plain.startStep (value, 0.0);
        }

        largest = std::max (largest, std::abs (fast.next (128.0 / 7.0) - plain.next (128.0 / 7.0)));
    }

    EXPECT_LT (largest, 1e-5);
}

TEST (BandLimitedStepOutput, LinkedOutputsSteppedTogetherPutOutWhatEachWouldAlone)
{
    // Two channels through stretches apart (steps of their own, each with its own step length)
    // and linked (steps at the same times and places, one step length), as the crusher drives
    // them: once with every call made on each output, once with the outputs stepped together
    // whenever they are found in step at the start of a chunk of 64 samples.
    std::mt19937 random (21);
    std::uniform_real_distribution<double> unit (0.0, 1.0);
    BandLimitedStepOutput alone[2], together[2];
    double phase[2] = { 1.0, 0.7 }, ratio[2] = { 0.8, 0.55 }, step[2] = { 128.0, 128.0 };
    bool inStep = false;
    int samplesInStep = 0, linkedSamples = 0;
    double largest = 0.0;

    for (int n = 0; n < 60000; ++n)
    {
        // Stretches of 5000 samples, every other one linked; within them the ratio and the
        // Link Freq setting change now and then.
        const bool linked = (n / 5000) % 2 == 1;

        if (n % 1500 == 0)
        {
            for (int ch = 0; ch < 2; ++ch)
            {
                ratio[ch] = 0.3 + 0.7 * unit (random);
                step[ch] = unit (random) < 0.7 ? 128.0 : ratio[ch] * 128.0;
            }
        }

        if (n % 64 == 0)
            inStep = linked && BandLimitedStepOutput::bringInStep (together[0], together[1]);

        double outAlone[2], outTogether[2];

        if (linked)
        {
            ++linkedSamples;
            phase[0] -= 1.0;

            if (phase[0] <= 0.0)
            {
                const auto position = step[0] * -phase[0];
                phase[0] += 1.0 / ratio[0];
                const auto left = std::round (unit (random) * 8.0) / 4.0 - 1.0, right = std::round (unit (random) * 8.0) / 4.0 - 1.0;
                BandLimitedStepOutput::startSteps (alone[0], left, alone[1], right, position);

                if (inStep)
                    BandLimitedStepOutput::startStepsInStep (together[0], left, together[1], right, position);
                else
                    BandLimitedStepOutput::startSteps (together[0], left, together[1], right, position);
            }

            outAlone[0] = alone[0].next (step[0]);
            outAlone[1] = alone[1].next (step[0]);

            if (inStep && together[0].readsQueueAt (step[0]))
            {
                ++samplesInStep;
                BandLimitedStepOutput::nextFromQueues (together[0], outTogether[0], together[1], outTogether[1]);
            }
            else
            {
                inStep = false;
                outTogether[0] = together[0].next (step[0]);
                outTogether[1] = together[1].next (step[0]);
            }
        }
        else
        {
            for (int ch = 0; ch < 2; ++ch)
            {
                phase[ch] -= 1.0;

                if (phase[ch] <= 0.0)
                {
                    const auto position = step[ch] * -phase[ch];
                    phase[ch] += 1.0 / ratio[ch];
                    const auto value = unit (random) * 2.0 - 1.0;
                    alone[ch].startStep (value, position);
                    together[ch].startStep (value, position);
                }

                outAlone[ch] = alone[ch].next (step[ch]);
                outTogether[ch] = together[ch].next (step[ch]);
            }
        }

        for (int ch = 0; ch < 2; ++ch)
            largest = std::max (largest, std::abs (outAlone[ch] - outTogether[ch]));
    }

    // Bringing the outputs in step moves the right one's slots by rounding at most.
    EXPECT_LT (largest, 1e-9);
    EXPECT_GT (samplesInStep, linkedSamples / 2) << "linked outputs are found in step, also after stretches apart";
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

    alignas (32) double left[72], right[72], row[72], ring[40], a[48], s[48];
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

        // Two outputs at once (both channels in one array, as the converters keep them): each
        // sum exactly as firStereo gives it.
        const auto checkTwice = [] (const auto* l, const auto* r, const auto* coefficients) VELCROFT_ALWAYS_INLINE_LAMBDA
        {
            using Sample = std::remove_const_t<std::remove_pointer_t<decltype (l)>>;
            Sample lines[144];
            std::copy (l, l + 72, lines);
            std::copy (r, r + 72, lines + 72);
            double both[4], first[2], second[2];
            VectorLanes::firStereoTwice<Width> (lines, lines + 5, 72, coefficients, coefficients + 8, both);
            VectorLanes::firStereo<Width> (l, r, coefficients, first);
            VectorLanes::firStereo<Width> (l + 5, r + 5, coefficients + 8, second);
            EXPECT_EQ (both[0], first[0]);
            EXPECT_EQ (both[1], first[1]);
            EXPECT_EQ (both[2], second[0]);
            EXPECT_EQ (both[3], second[1]);
        };

        checkTwice (left, right, row);
        checkTwice (leftF, rightF, rowF);

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
            alignas (32) float queue[48];

            for (int i = 0; i < 48; ++i)
            {
                queue[i] = (float) unit (random);
                plain1[i] = queue[i];
                a[i] = unit (random);
                s[i] = unit (random);
                aF[i] = (float) a[i];
                sF[i] = (float) s[i];
                d[i] = (float) unit (random);
            }

            const auto x = unit (random), y = unit (random), f = 0.5 * (unit (random) + 1.0);
            constexpr int lanes = VectorLanes::floatLanes<Width>;
            const auto whole = (n + lanes - 1) / lanes * lanes;
            VectorLanes::addRows<Width> (queue, (float) x, aF, (float) f, sF, whole);

            for (int i = 0; i < 48; ++i)
            {
                if (i < whole)
                    plain1[i] += x * (aF[i] + f * sF[i]);

                ASSERT_NEAR (queue[i], plain1[i], 1e-5) << n << " " << i;
            }

            // One run of n slots (n <= 40), read whole at one fraction: the sizes past the
            // run are zeros, whatever the rows hold there.
            double plainRun = 0.0;

            for (int j = 0; j < 48; ++j)
            {
                if (j < n)
                    plainRun += (double) d[j] * (aF[j] + f * sF[j]);
                else
                    d[j] = 0.0f;
            }

            const auto run = VectorLanes::addWholeRun<Width> (VectorLanes::FloatLanes<Width> {}, d, aF, sF, (float) f);
            EXPECT_NEAR (VectorLanes::sum (run), plainRun, 1e-4) << n;

            alignas (32) float twice1[48] = {}, twice2[48] = {};
            VectorLanes::addRowsTwice<Width> (twice1, (float) x, twice2, (float) y, aF, (float) f, sF, whole);

            for (int i = 0; i < 48; ++i)
            {
                const auto w = i < whole ? aF[i] + f * sF[i] : 0.0;
                ASSERT_NEAR (twice1[i], x * w, 1e-5) << n << " " << i;
                ASSERT_NEAR (twice2[i], y * w, 1e-5) << n << " " << i;
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
