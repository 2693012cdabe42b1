#include <gtest/gtest.h>

#include "dsp/BandLimitedStep.h"
#include "dsp/VelcroftCore.h"
#include "VelcroftAgreement.h"

#include <cmath>
#include <limits>
#include <random>
#include <set>
#include <vector>

namespace VelcroftCoreTestsDetail
{
constexpr double pi = 3.14159265358979323846;


/** Full rate, no quantisation, filters off (order Post), no preamp, all wet, unity volume,
    channels unlinked. */
void setPlainCrusher (VelcroftCore& core)
{
    const float values[VelcroftParameters::numParameters] = {
        0.0f,                                   // Preamp
        1.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.0f,     // Left Bits, Frequency, Link Freq, Filter Type, Cutoff, Reso
        1.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.0f,     // the same for Right
        0.0f, 1.0f, 0.5f,                       // Link Channels, FX, Output Volume
        0.0f, 0.0f                              // Filter Orders
    };

    for (int i = 0; i < VelcroftParameters::numParameters; ++i)
        core.setParameter (i, values[i]);
}

/** Runs the two channels through processStereo in blocks of the given size. */
void processStereo (VelcroftCore& core, std::vector<float>& left, std::vector<float>& right, int blockSize)
{
    for (size_t start = 0; start < left.size(); start += (size_t) blockSize)
    {
        const auto n = (int) std::min ((size_t) blockSize, left.size() - start);
        float* l = left.data() + start;
        float* r = right.data() + start;
        core.processStereo (&l, &r, n);
    }
}

/** Gain in dB and delay in samples of a sine of frequency w (radians per sample) and
    amplitude a in x, over a whole number of periods from start. */
std::pair<double, double> analyseSine (const std::vector<float>& x, double w, double a, int start, int length)
{
    double s = 0.0, c = 0.0;

    for (int n = start; n < start + length; ++n)
    {
        s += x[(size_t) n] * std::sin (w * n);
        c += x[(size_t) n] * std::cos (w * n);
    }

    auto delay = std::atan2 (-c, s) / w;

    while (delay < 0.0)
        delay += 2.0 * pi / w;

    return { 20.0 * std::log10 (2.0 * std::hypot (s, c) / length / a), delay };
}

bool isCleanOutput (float x)
{
    return std::isfinite (x) && (x == 0.0f || std::abs (x) >= std::numeric_limits<float>::min());
}
} // namespace VelcroftCoreTestsDetail

TEST (VelcroftCore, StepTableEndsAndLandmarks)
{
    const auto* table = BandLimitedStep::getTable();

    for (int i = 0; i <= BandLimitedStep::lastSilentEntry; ++i)
        ASSERT_EQ (table[i], -1.0) << i;

    for (int i = BandLimitedStep::firstSettledEntry; i < BandLimitedStep::tableSize; ++i)
        ASSERT_EQ (table[i], 0.0) << i;

    const struct { int index; double value; } landmarks[] = {
        { 200, -0.9999749746062322 }, { 384, -0.9993231061620892 }, { 512, -0.9842990744562975 },
        { 640, -0.867455246982614 }, { 761, -0.5009562460910926 }, { 762, -0.4967480792136424 },
        { 874, -0.0014838369260604667 }, { 875, 0.0023796785002598853 }, { 976, 0.21258325725736515 },
        { 1024, 0.16777178849937213 }, { 1152, -0.10486838544116328 }, { 1280, -0.011914695349903526 },
        { 2048, 0.0236767488454781 }, { 3072, -0.0033102232413334542 },
    };

    for (const auto& l : landmarks)
        EXPECT_NEAR (table[l.index], l.value, 0.01) << "entry " << l.index;

    // The crossings and the peak fall on the same entries.
    EXPECT_LT (table[761], -0.5);
    EXPECT_GE (table[762], -0.5);
    EXPECT_LT (table[874], 0.0);
    EXPECT_GE (table[875], 0.0);
    EXPECT_EQ (std::max_element (table, table + BandLimitedStep::tableSize) - table, 976);

    // The rise is monotonic up to the peak, and the table is shared.
    for (int i = BandLimitedStep::lastSilentEntry; i < 976; ++i)
        ASSERT_LE (table[i], table[i + 1]) << i;

    EXPECT_EQ (BandLimitedStep::getTable(), table);
}

TEST (VelcroftCore, ParameterMappings)
{
    using C = VelcroftCore;

    EXPECT_EQ (C::leftLevelFromParameter (0.0), 1.0);
    EXPECT_EQ (C::rightLevelFromParameter (0.0), 2.0);
    EXPECT_EQ (C::leftLevelFromParameter (0.5), 511.0);
    EXPECT_EQ (C::rightLevelFromParameter (0.5), 512.0);
    EXPECT_GT (C::leftLevelFromParameter (1.0), C::maxQuantiserLevel);
    EXPECT_GT (C::rightLevelFromParameter (1.0), C::maxQuantiserLevel);

    const struct { double v, ratio; } ratios[] = { { 0.0, 0.001 }, { 0.2, 0.0625 }, { 0.4, 0.125 }, { 0.6, 0.25 }, { 0.8, 0.5 }, { 1.0, 1.0 } };

    for (const auto& r : ratios)
        EXPECT_NEAR (C::frequencyRatioFromParameter (r.v), r.ratio, 1e-12) << r.v;

    EXPECT_NEAR (C::cutoffFromParameter (0.0), 0.001, 1e-9);
    EXPECT_NEAR (C::cutoffFromParameter (0.5), 0.085, 5e-4);
    EXPECT_NEAR (C::cutoffFromParameter (1.0), 0.83, 1e-9);
    EXPECT_NEAR (C::dampingFromParameter (0.0), 1.0, 1e-9);
    EXPECT_NEAR (C::dampingFromParameter (0.5), 0.1, 1e-9);
    EXPECT_NEAR (C::dampingFromParameter (1.0), 0.01, 1e-9);
    EXPECT_NEAR (C::preampGainFromParameter (1.0), 251.18864315095806, 1e-9);
    EXPECT_EQ (C::preampGainFromParameter (0.0), 1.0);
    EXPECT_EQ (C::volumeFromParameter (0.5), 1.0);
    EXPECT_EQ (C::volumeFromParameter (1.0), 4.0);
    EXPECT_EQ (C::filterTypeFromParameter (0.0), 0);
    EXPECT_EQ (C::filterTypeFromParameter (0.6), 2);
    EXPECT_EQ (C::filterTypeFromParameter (1.0), C::filterOff);

    // Link Freq makes the step follow the ratio.
    VelcroftCore core (nullptr);
    core.setParameter (VelcroftParameters::leftFrequency, 0.8f);
    EXPECT_EQ (core.getChannelSettings (0).step, 128.0);
    core.setParameter (VelcroftParameters::leftLinkFreq, 1.0f);
    EXPECT_NEAR (core.getChannelSettings (0).step, 64.0, 1e-4);
}

TEST (VelcroftCore, SetParameterIgnoresBadInput)
{
    VelcroftCore core (nullptr);
    core.setParameter (VelcroftParameters::leftBits, 0.0f);
    core.setParameter (VelcroftParameters::leftBits, std::nanf (""));
    EXPECT_EQ (core.getChannelSettings (0).level, 1.0);
    EXPECT_EQ (core.getRawValue (VelcroftParameters::leftBits), 0.0);

    core.setParameter (VelcroftParameters::outputVolume, 7.0f);
    EXPECT_EQ (core.getVolumeTarget(), 4.0);
    EXPECT_EQ (core.getRawValue (VelcroftParameters::outputVolume), 1.0);
    core.setParameter (VelcroftParameters::outputVolume, -HUGE_VALF);
    EXPECT_EQ (core.getVolumeTarget(), 0.0);

    core.setParameter (VelcroftParameters::leftReso, -3.0f);
    EXPECT_NEAR (core.getChannelSettings (0).resoTarget, 1.0, 1e-9);

    // Indices outside 0..17 do nothing (and do not write outside the stored values).
    const auto before = core.getChannelSettings (1);
    for (const int index : { -1, -100, 18, 1000, std::numeric_limits<int>::min() })
        core.setParameter (index, 1.0f);

    core.setParameter (VelcroftParameters::rightFilterOrder, 1.0f);
    EXPECT_TRUE (core.getChannelSettings (1).pre);
    EXPECT_EQ (core.getChannelSettings (1).level, before.level);
    EXPECT_EQ (core.getRawValue (VelcroftParameters::leftFilterOrder), 0.0);
    EXPECT_EQ (core.getRawValue (-1), 0.0);
}

TEST (VelcroftCore, LinkingAndUnlinking)
{
    VelcroftCore core (nullptr);
    core.setParameter (VelcroftParameters::leftCutoff, 0.2f);
    core.setParameter (VelcroftParameters::leftReso, 0.3f);
    core.setParameter (VelcroftParameters::leftFilterType, 0.0f);
    core.setParameter (VelcroftParameters::linkChannels, 1.0f);

    EXPECT_TRUE (core.isLinked());
    auto right = core.getChannelSettings (1);
    EXPECT_EQ (right.cutoffTarget, VelcroftCore::cutoffFromParameter (0.2f));
    EXPECT_EQ (right.type, 0);

    // Right-channel values are only recorded while linked; left filter changes move both.
    core.setParameter (VelcroftParameters::rightCutoff, 0.9f);
    core.setParameter (VelcroftParameters::rightReso, 0.9f);
    core.setParameter (VelcroftParameters::rightBits, 0.0f);
    core.setParameter (VelcroftParameters::rightFrequency, 0.4f);
    core.setParameter (VelcroftParameters::rightLinkFreq, 1.0f);
    core.setParameter (VelcroftParameters::rightFilterType, 0.75f);
    right = core.getChannelSettings (1);
    EXPECT_EQ (right.cutoffTarget, VelcroftCore::cutoffFromParameter (0.2f));
    EXPECT_EQ (right.type, 0);
    EXPECT_GT (right.level, VelcroftCore::maxQuantiserLevel);

    core.setParameter (VelcroftParameters::leftReso, 0.6f);
    EXPECT_EQ (core.getChannelSettings (1).resoTarget, VelcroftCore::dampingFromParameter (0.6f));
    EXPECT_EQ (core.getChannelSettings (0).resoTarget, VelcroftCore::dampingFromParameter (0.6f));

    // Unlinking applies every recorded right value at once, without gliding.
    core.setParameter (VelcroftParameters::linkChannels, 0.0f);
    right = core.getChannelSettings (1);
    EXPECT_FALSE (core.isLinked());
    EXPECT_EQ (right.cutoffTarget, VelcroftCore::cutoffFromParameter (0.9f));
    EXPECT_EQ (right.cutoff, right.cutoffTarget);
    EXPECT_EQ (right.resoTarget, VelcroftCore::dampingFromParameter (0.9f));
    EXPECT_EQ (right.reso, right.resoTarget);
    EXPECT_EQ (right.level, 2.0);
    EXPECT_NEAR (right.ratio, 0.125, 1e-6);
    EXPECT_TRUE (right.linkFreq);
    EXPECT_NEAR (right.step, 16.0, 1e-4);
    EXPECT_EQ (right.type, 3);
}

TEST (VelcroftCore, SampleRateChanges)
{
    VelcroftCore core (nullptr);
    core.setParameter (VelcroftParameters::leftBits, 0.25f);
    core.setParameter (VelcroftParameters::rightFilterType, 0.5f);
    core.setSampleRate (44100.0f);

    // Move every target so the smoothed values lag behind.
    core.setParameter (VelcroftParameters::preamp, 0.5f);
    core.setParameter (VelcroftParameters::leftCutoff, 0.9f);
    core.setParameter (VelcroftParameters::rightReso, 0.7f);
    core.setParameter (VelcroftParameters::fx, 0.3f);
    core.setParameter (VelcroftParameters::outputVolume, 0.8f);
    std::vector<float> l (64, 0.1f), r (64, 0.1f);
    VelcroftCoreTestsDetail::processStereo (core, l, r, 64);
    EXPECT_NE (core.getPreamp(), core.getPreampTarget());

    core.setSampleRate (48000.0f);
    EXPECT_TRUE (core.isResampling());
    EXPECT_EQ (core.getChannelSettings (0).level, 31.0);
    EXPECT_EQ (core.getChannelSettings (1).type, 2);
    EXPECT_EQ (core.getPreamp(), core.getPreampTarget());
    EXPECT_EQ (core.getVolume(), core.getVolumeTarget());
    EXPECT_EQ (core.getMix(), core.getRawValue (VelcroftParameters::fx));

    for (int ch = 0; ch < 2; ++ch)
    {
        EXPECT_EQ (core.getChannelSettings (ch).cutoff, core.getChannelSettings (ch).cutoffTarget);
        EXPECT_EQ (core.getChannelSettings (ch).reso, core.getChannelSettings (ch).resoTarget);
    }

    // A rate that is not positive and finite keeps the previous one; another positive rate
    // runs without conversion.
    for (const float bad : { 0.0f, -44100.0f, std::nanf (""), HUGE_VALF })
    {
        core.setSampleRate (bad);
        EXPECT_EQ (core.getSampleRate(), 48000.0);
        EXPECT_TRUE (core.isResampling());
    }

    core.setSampleRate (32000.0f);
    EXPECT_EQ (core.getSampleRate(), 32000.0);
    EXPECT_FALSE (core.isResampling());
    core.setSampleRate (44100.0f);
    EXPECT_FALSE (core.isResampling());
}

TEST (VelcroftCore, DryPathAt44100IsTheInputDelayedBy21Samples)
{
    VelcroftCore core (nullptr);
    VelcroftCoreTestsDetail::setPlainCrusher (core);
    core.setParameter (VelcroftParameters::fx, 0.0f);
    core.setParameter (VelcroftParameters::outputVolume, 0.75f);
    core.setParameter (VelcroftParameters::leftBits, 0.0f);
    core.setSampleRate (44100.0f);

    std::mt19937 random (7);
    std::uniform_real_distribution<float> sample (-0.4f, 0.4f);
    std::vector<float> inL (2000), inR (2000);

    for (size_t i = 0; i < inL.size(); ++i)
    {
        inL[i] = sample (random);
        inR[i] = sample (random);
    }

    auto outL = inL, outR = inR;
    VelcroftCoreTestsDetail::processStereo (core, outL, outR, 100);

    for (size_t i = 0; i < inL.size(); ++i)
    {
        const auto expectedL = i >= 21 ? 2.25f * inL[i - 21] : 0.0f;
        const auto expectedR = i >= 21 ? 2.25f * inR[i - 21] : 0.0f;
        ASSERT_NEAR (outL[i], expectedL, 1e-6) << i;
        ASSERT_NEAR (outR[i], expectedR, 1e-6) << i;
    }
}

TEST (VelcroftCore, TotalDelayAtEveryRate)
{
    using namespace VelcroftCoreTestsDetail;
    // The six supported rates, and one that runs the crusher without conversion.
    const int rates[] = { 44100, 48000, 88200, 96000, 176400, 192000, 32000 };
    const double delays[] = { 21.0, 93.0, 141.0, 149.0, 245.0, 263.0, 21.0 };

    for (int i = 0; i < 7; ++i)
    {
        const auto rate = rates[i];
        VelcroftCore core (nullptr);
        setPlainCrusher (core);
        core.setParameter (VelcroftParameters::fx, 0.0f);
        core.setSampleRate ((float) rate);

        // 100 Hz for the delay, 1 kHz for the gain; a tenth of a second is a whole number
        // of periods of both.
        const auto wLow = 2.0 * pi * 100.0 / rate, wHigh = 2.0 * pi * 1000.0 / rate;
        std::vector<float> l ((size_t) rate / 2), r ((size_t) rate / 2);

        for (size_t n = 0; n < l.size(); ++n)
        {
            l[n] = (float) (0.25 * std::sin (wLow * (double) n) + 0.25 * std::sin (wHigh * (double) n));
            r[n] = l[n];
        }

        processStereo (core, l, r, 512);
        const auto low = analyseSine (l, wLow, 0.25, rate / 4, rate / 10);
        const auto high = analyseSine (r, wHigh, 0.25, rate / 4, rate / 10);

        EXPECT_NEAR (low.second, delays[i], 0.5) << rate;
        EXPECT_NEAR (low.first, 0.0, 0.1) << rate;
        EXPECT_NEAR (high.first, 0.0, 0.1) << rate;
        EXPECT_EQ (core.getLatencySamples(), 0);
    }

    // The wet path at full rate without quantisation is aligned with the dry one.
    VelcroftCore core (nullptr);
    setPlainCrusher (core);
    core.setSampleRate (44100.0f);
    const auto w = 2.0 * pi * 100.0 / 44100.0;
    std::vector<float> l (22050), r (22050);

    for (size_t n = 0; n < l.size(); ++n)
        l[n] = r[n] = (float) (0.5 * std::sin (w * (double) n));

    processStereo (core, l, r, 512);
    const auto wet = analyseSine (l, w, 0.5, 11025, 4410);
    EXPECT_NEAR (wet.second, 21.0, 1.0);
    EXPECT_NEAR (wet.first, 0.0, 0.1);
}

TEST (VelcroftCore, QuantiserLevelsOnASlowRamp)
{
    using namespace VelcroftCoreTestsDetail;

    struct Case { float bits; int channel; std::set<double> allowed; };
    const Case cases[] = {
        { 0.0f, 0, { 0.0, 2.0 } },
        { 0.0f, 1, { 0.0, 1.0 } },
        { 1.0f / 16.0f, 0, { -2.0 / 3.0, 0.0, 2.0 / 3.0, 4.0 / 3.0 } },
        { 1.0f / 16.0f, 1, { -0.5, 0.0, 0.5, 1.0 } },
    };

    for (const auto& c : cases)
    {
        VelcroftCore core (nullptr);
        setPlainCrusher (core);
        core.setParameter (VelcroftParameters::leftBits, c.bits);
        core.setParameter (VelcroftParameters::rightBits, c.bits);
        core.setParameter (VelcroftParameters::leftFrequency, 0.0f);     // a new sample every 1,000
        core.setParameter (VelcroftParameters::rightFrequency, 0.0f);
        core.setSampleRate (44100.0f);

        std::set<double> seen;

        for (int n = 0; n < 60000; ++n)
        {
            float x = (float) (-1.0 + 2.0 * n / 60000.0), y = x;
            float* l = &x;
            float* r = &y;
            core.processStereo (&l, &r, 1);
            seen.insert (core.getHeldValue (c.channel));
        }

        for (const auto v : seen)
            EXPECT_EQ (c.allowed.count (v), 1u) << "bits " << c.bits << " channel " << c.channel << " value " << v;

        EXPECT_GE (seen.size(), 2u);
    }

    // Nine bits: every held value is a whole multiple of 1 / 255.5 (left) or 1 / 256 (right);
    // without quantisation it follows the ramp.
    VelcroftCore core (nullptr);
    setPlainCrusher (core);
    core.setParameter (VelcroftParameters::leftBits, 0.5f);
    core.setParameter (VelcroftParameters::rightBits, 1.0f);
    core.setParameter (VelcroftParameters::leftFrequency, 0.4f);          // a new sample every 8
    core.setParameter (VelcroftParameters::rightFrequency, 0.4f);
    core.setSampleRate (44100.0f);
    std::set<double> seen;

    for (int n = 0; n < 20000; ++n)
    {
        float x = (float) (-1.0 + 2.0 * n / 20000.0), y = x;
        float* l = &x;
        float* r = &y;
        core.processStereo (&l, &r, 1);

        const auto held = core.getHeldValue (0) * 255.5;
        ASSERT_NEAR (held, std::round (held), 1e-9) << n;
        seen.insert (held);

        if (n > 100)
            ASSERT_NEAR (core.getHeldValue (1), -1.0 + 2.0 * (n - 15) / 20000.0, 2e-3) << n;
    }

    EXPECT_GT (seen.size(), 400u);
}

TEST (VelcroftCore, OutputDoesNotDependOnBlockSize)
{
    using namespace VelcroftCoreTestsDetail;

    for (const int rate : { 44100, 96000 })
    {
        for (const bool linked : { false, true })
        {
            std::vector<float> inL ((size_t) rate / 4), inR ((size_t) rate / 4);
            std::mt19937 random (11);
            std::uniform_real_distribution<float> noise (-0.3f, 0.3f);

            for (size_t n = 0; n < inL.size(); ++n)
            {
                inL[n] = (float) std::sin (0.01 * (double) n) * 0.7f + noise (random);
                inR[n] = n > inR.size() / 2 ? 0.0f : noise (random);
            }

            std::vector<float> reference;

            for (const int blockSize : { 1, 13, 512, 4096 })
            {
                VelcroftCore core (nullptr);
                const float values[VelcroftParameters::numParameters] = { 0.4f, 0.45f, 0.7f, 1.0f, 0.0f, 0.6f, 0.8f,
                                                                           0.2f, 0.55f, 0.0f, 0.5f, 0.3f, 0.2f,
                                                                           linked ? 1.0f : 0.0f, 0.8f, 0.6f, 1.0f, 0.0f };

                for (int i = 0; i < VelcroftParameters::numParameters; ++i)
                    core.setParameter (i, values[i]);

                core.prepare (512);
                core.setSampleRate ((float) rate);
                core.setParameter (VelcroftParameters::leftCutoff, 0.3f);   // something to glide

                auto l = inL, r = inR;
                processStereo (core, l, r, blockSize);
                l.insert (l.end(), r.begin(), r.end());

                if (reference.empty())
                    reference = l;
                else
                    EXPECT_TRUE (l == reference) << "rate " << rate << " linked " << linked << " block " << blockSize;
            }
        }
    }
}

TEST (VelcroftCore, RandomParametersGiveCleanOutput)
{
    using namespace VelcroftCoreTestsDetail;
    std::mt19937 random (3);
    std::uniform_real_distribution<float> unit (0.0f, 1.0f);

    for (const int rate : { 44100, 48000, 88200, 96000, 176400, 192000, 32000 })
    {
        for (const bool mono : { false, true })
        {
            VelcroftCore core (nullptr);
            core.prepare (256);
            core.setSampleRate ((float) rate);
            std::vector<float> l (256), r (256);

            for (int block = 0; block < rate / 256 / 4; ++block)
            {
                for (int i = 0; i < 3; ++i)
                {
                    const auto choice = unit (random);
                    const auto value = choice < 0.05f ? std::nanf ("") : (choice < 0.1f ? unit (random) * 4.0f - 2.0f
                                                                                         : (choice < 0.3f ? std::round (unit (random)) : unit (random)));
                    core.setParameter ((int) (unit (random) * (float) VelcroftParameters::numParameters), value);
                }

                // Stretches of silence, loud and tiny signals, and the odd non-finite sample.
                const auto level = (block / 8) % 4 == 3 ? 0.0f : std::pow (10.0f, unit (random) * 6.0f - 5.0f);

                for (size_t n = 0; n < l.size(); ++n)
                {
                    l[n] = (unit (random) * 2.0f - 1.0f) * level;
                    r[n] = (unit (random) * 2.0f - 1.0f) * level;
                }

                if (block % 17 == 5)
                {
                    l[3] = std::nanf ("");
                    r[100] = HUGE_VALF;
                    l[200] = -HUGE_VALF;
                }

                if (block % 50 == 10)
                    core.beginSilentPresetChange();

                float* lp = l.data();
                float* rp = r.data();

                if (mono)
                    core.processMono (&lp, 256);
                else
                    core.processStereo (&lp, &rp, 256);

                for (size_t n = 0; n < l.size(); ++n)
                {
                    ASSERT_TRUE (isCleanOutput (l[n])) << rate << " block " << block << " sample " << n << ": " << l[n];

                    if (! mono)
                        ASSERT_TRUE (isCleanOutput (r[n])) << rate << " block " << block << " sample " << n << ": " << r[n];
                }
            }

            EXPECT_EQ (core.getTableIndexFaults(), 0) << rate;
        }
    }
}

TEST (VelcroftCore, LinkedModeSurvivesLongSilence)
{
    using namespace VelcroftCoreTestsDetail;

    for (const float frequency : { 0.0f, 0.3f, 1.0f })
    {
        VelcroftCore core (nullptr);
        setPlainCrusher (core);
        core.setParameter (VelcroftParameters::linkChannels, 1.0f);
        core.setParameter (VelcroftParameters::leftFrequency, frequency);
        core.setParameter (VelcroftParameters::leftLinkFreq, 1.0f);
        core.setParameter (VelcroftParameters::leftBits, 0.4f);
        core.setParameter (VelcroftParameters::leftFilterType, 0.0f);
        core.setParameter (VelcroftParameters::leftFilterOrder, 1.0f);
        core.prepare (4096);
        core.setSampleRate (44100.0f);

        const auto sound = [] (size_t n) { return (float) (0.5 * std::sin (0.05 * (double) n)); };
        std::vector<float> l (44100), r (44100);

        for (size_t n = 0; n < l.size(); ++n)
            l[n] = r[n] = sound (n);

        processStereo (core, l, r, 4096);

        // Ten seconds of silence: once the activity lights are out, the crusher rests and
        // both outputs are (all but) exactly zero.
        std::vector<float> silenceL (441000, 0.0f), silenceR (441000, 0.0f);
        processStereo (core, silenceL, silenceR, 4096);

        bool leftLed = true, rightLed = true;
        core.getLeds (leftLed, rightLed);
        EXPECT_FALSE (leftLed);
        EXPECT_FALSE (rightLed);

        for (size_t n = 200000; n < silenceL.size(); ++n)
        {
            ASSERT_LE (std::abs (silenceL[n]), 1e-19f) << n;
            ASSERT_LE (std::abs (silenceR[n]), 1e-19f) << n;
        }

        for (size_t n = 0; n < l.size(); ++n)
            l[n] = r[n] = sound (n);

        processStereo (core, l, r, 4096);

        EXPECT_EQ (core.getTableIndexFaults(), 0) << frequency;
        double energy = 0.0;

        for (size_t n = 0; n < l.size(); ++n)
        {
            ASSERT_TRUE (std::isfinite (l[n]) && std::abs (l[n]) < 4.0f) << n;
            energy += (double) l[n] * l[n];
        }

        EXPECT_GT (energy / (double) l.size(), 0.01) << frequency;
    }
}

TEST (VelcroftCore, MetersFollowTheReferenceCoreOverNoise)
{
    // Both channels' meters are followed side by side in vector lanes: after every block they
    // must show what the plain per-sample meters of the reference core show. At 44,100 Hz the
    // outputs agree to the last bits, so the published levels are equal.
    for (const auto* setting : VelcroftAgreement::settings)
    {
        std::vector<float> levels[2];     // fast, reference: left and right after each block
        VelcroftAgreement::Scenario scenario;
        int which = 0;

        scenario.beforeBlock = [&] (QuillonEffectCore& core, std::int64_t)
        {
            levels[which].push_back (core.getVuLeft());
            levels[which].push_back (core.getVuRight());
            which = 1 - which;
        };

        const auto result = VelcroftAgreement::compare (*setting, 44100, 2.0, scenario);
        EXPECT_TRUE (result.agrees()) << setting->name;
        ASSERT_EQ (levels[0].size(), levels[1].size());
        int differing = 0;

        for (size_t i = 0; i < levels[0].size(); ++i)
            differing += levels[0][i] != levels[1][i] ? 1 : 0;

        EXPECT_EQ (differing, 0) << setting->name;
        EXPECT_GT (*std::max_element (levels[0].begin(), levels[0].end()), 0.5f) << setting->name;
    }
}

TEST (VelcroftCore, NonFiniteInputsCountAsSilenceAsInTheReferenceCore)
{
    // The input is copied and searched for silent frames four samples at a time: NaNs and
    // infinities, alone or in runs, on one channel or both, inside silent stretches and at
    // every place in a group of four, must count as silence as in the plain reference core
    // (in linked mode a silent frame starts a chunk).
    VelcroftAgreement::Scenario scenario;
    scenario.blockSize = 101;

    scenario.shapeInput = [] (std::vector<float>& l, std::vector<float>& r)
    {
        const float bad[] = { std::nanf (""), HUGE_VALF, -HUGE_VALF };

        for (size_t i = 0; i < l.size(); ++i)
        {
            if ((i / 700) % 3 == 2)
                l[i] = r[i] = 0.0f;

            if (i % 13 == 0 || (i / 5) % 41 == 7)
                l[i] = bad[i % 3];

            if (i % 29 == 3 || (i / 5) % 41 == 7)
                r[i] = bad[(i / 2) % 3];
        }
    };

    auto setting = VelcroftAgreement::factorySlot0;     // linked
    setting.values[VelcroftParameters::preamp] = 0.2f;

    for (const auto rate : { 44100, 48000 })
        EXPECT_TRUE (VelcroftAgreement::compare (setting, rate, 1.0, scenario).agrees()) << rate;
}

TEST (VelcroftCore, MetersAndActivityLights)
{
    using namespace VelcroftCoreTestsDetail;
    VelcroftCore core (nullptr);
    setPlainCrusher (core);
    core.setSampleRate (96000.0f);

    // Stereo: only the left channel carries sound.
    std::vector<float> l (9600, 0.5f), r (9600, 0.0f);
    processStereo (core, l, r, 512);
    bool leftLed = false, rightLed = true;
    core.getLeds (leftLed, rightLed);
    EXPECT_TRUE (leftLed);
    EXPECT_FALSE (rightLed);
    EXPECT_GT (core.getVuLeft(), 0.5f);
    EXPECT_LT (core.getVuRight(), 1e-12f);

    // Mono: the right meter shows the left one; the right light keeps its state.
    std::vector<float> m (9600, 0.9f);
    float* mp = m.data();
    core.processMono (&mp, (int) m.size());
    EXPECT_EQ (core.getVuLeft(), core.getVuRight());
    EXPECT_GT (core.getVuLeft(), 0.7f);
    core.getLeds (leftLed, rightLed);
    EXPECT_TRUE (leftLed);
    EXPECT_FALSE (rightLed);

    // A run of no samples still publishes.
    core.publishVuLevels (0.0f, 0.0f);
    core.processStereo (nullptr, nullptr, 0);
    EXPECT_EQ (core.getVuLeft(), core.getVuRight());
    EXPECT_GT (core.getVuLeft(), 0.7f);
}
