#include <gtest/gtest.h>

#include "framework/QuillonEffectCore.h"

#include <cmath>
#include <vector>

namespace QuillonEffectCoreTestsDetail
{
/** A core whose whole processing is the silent-change fade, as a product core runs it. */
class FadeOnlyCore : public QuillonEffectCore
{
public:
    FadeOnlyCore() : QuillonEffectCore (nullptr) {}

    void setSampleRate (float rate) override   { setSampleRateContext (context, rate); }

    void processStereo (float** left, float** right, int count) override
    {
        for (int i = 0; i < count; ++i)
        {
            const auto gain = fadeStep (context.fade, context.ratio);
            (*left)[i] = (float) ((*left)[i] * gain);
            (*right)[i] = (float) ((*right)[i] * gain);
        }
    }

    /** Processes one sample of 1.0 and returns the output. */
    double next()
    {
        float l = 1.0f, r = 1.0f;
        float* lp = &l;
        float* rp = &r;
        processStereo (&lp, &rp, 1);
        EXPECT_EQ (l, r);
        return l;
    }

    SampleRateContext context;
};

/** Counts the preset applications a silent change asks for. */
struct CountingTarget : public PresetChanger::Target
{
    void applyCurrentPreset() override  { ++applied; }
    int applied = 0;
};
} // namespace QuillonEffectCoreTestsDetail

TEST (QuillonEffectCore, VuTableAndPublishedLevels)
{
    QuillonEffectCoreTestsDetail::FadeOnlyCore core;

    EXPECT_EQ (core.getVuTableEntry (200), 0.0);
    EXPECT_NEAR (core.getVuTableEntry (100), 0.8, 1e-12);
    EXPECT_NEAR (core.getVuTableEntry (300), 0.8, 1e-12);
    EXPECT_EQ (core.getVuTableEntry (0), 1.0);
    EXPECT_LT (core.getVuTableEntry (399), 1.0);              // +5.98 dB
    EXPECT_EQ (core.getVuTableEntry (206), 0.0);              // -24.4 dB
    EXPECT_GT (core.getVuTableEntry (207), 0.0);              // -23.1 dB
    EXPECT_NEAR (core.getVuTableEntry (150), 0.8 + 20.0 * std::log10 (0.5) / 30.0, 1e-12);

    // Reading by amplitude truncates and clamps before converting, whatever the value.
    EXPECT_EQ (core.getVuPosition (1.0), core.getVuTableEntry (300));
    EXPECT_EQ (core.getVuPosition (-0.999), core.getVuTableEntry (100));
    EXPECT_EQ (core.getVuPosition (1.0e30), core.getVuTableEntry (399));
    EXPECT_EQ (core.getVuPosition (-1.0e30), core.getVuTableEntry (0));
    EXPECT_EQ (core.getVuPosition (HUGE_VAL), core.getVuTableEntry (399));
    EXPECT_EQ (core.getVuPosition (std::nan ("")), core.getVuTableEntry (0));

    float l = -1.0f, r = -1.0f;
    core.getVuLevels (l, r);
    EXPECT_EQ (l, 0.0f);
    EXPECT_EQ (r, 0.0f);

    core.publishVuLevels (1.5f, -0.2f);
    core.getVuLevels (l, r);
    EXPECT_EQ (l, 1.0f);
    EXPECT_EQ (r, 0.0f);

    core.publishVuLevels (std::nanf (""), 0.25f);
    EXPECT_EQ (core.getVuLeft(), 0.0f);
    EXPECT_EQ (core.getVuRight(), 0.25f);

    // The defaults of the interface.
    EXPECT_EQ (core.getLatencySamples(), 0);
    EXPECT_FALSE (core.isFading());
    EXPECT_EQ (core.getFadeGain(), 1.0);
}

TEST (QuillonEffectCore, SilentChangeTimingFromOutput)
{
    using namespace QuillonEffectCoreTestsDetail;

    for (const double rate : { 44100.0, 96000.0 })
    {
        FadeOnlyCore core;
        CountingTarget target;
        core.setPresetTarget (&target);
        core.setSampleRate ((float) rate);

        const auto k = core.context.fade;
        const auto hold = (int) (rate / 44100.0 * 4000.0);
        // The first output scaled by a gain below 0.001 is zero: sample n - 1 for the
        // first n with (1 - k)^n < 0.001.
        const auto firstSilent = (int) std::floor (std::log (0.001) / std::log (1.0 - k));
        // The fade-in snaps once 1 - (1 - k)^m exceeds 0.99.
        const auto riseLength = (int) std::floor (std::log (0.01) / std::log (1.0 - k)) + 1;

        EXPECT_EQ (core.next(), 1.0);
        core.beginSilentPresetChange();
        EXPECT_TRUE (core.isFading());

        std::vector<double> out;

        for (int n = 0; n < firstSilent + hold + riseLength + 100; ++n)
        {
            out.push_back (core.next());

            if (n == firstSilent - 1)
                EXPECT_EQ (target.applied, 0) << rate;

            if (n == firstSilent)
                EXPECT_EQ (target.applied, 1) << rate;
        }

        SCOPED_TRACE (rate);
        EXPECT_GE (out[(size_t) firstSilent - 1], 0.001);
        EXPECT_EQ (out[(size_t) firstSilent], 0.0);

        int silent = 0;

        for (auto n = (size_t) firstSilent; n < out.size() && std::abs (out[n]) < 1e-12; ++n)
            ++silent;

        EXPECT_EQ (silent, hold);
        EXPECT_NEAR (out[(size_t) (firstSilent + hold)], k, 1e-6);

        int snapped = -1;

        for (size_t n = (size_t) (firstSilent + hold); n < out.size() && snapped < 0; ++n)
            if (out[n] == 1.0)
                snapped = (int) n;

        EXPECT_NEAR (snapped, firstSilent + hold + riseLength - 1, 1);
        EXPECT_LE (out[(size_t) snapped - 1], 0.99);

        for (auto n = (size_t) snapped; n < out.size(); ++n)
            ASSERT_EQ (out[n], 1.0) << n;

        EXPECT_FALSE (core.isFading());
        EXPECT_EQ (target.applied, 1);
    }
}

TEST (QuillonEffectCore, RepeatedChangesDuringAFade)
{
    using namespace QuillonEffectCoreTestsDetail;
    FadeOnlyCore core;
    CountingTarget target;
    core.setPresetTarget (&target);
    core.setSampleRate (44100.0f);
    const auto firstSilent = (int) std::floor (std::log (0.001) / std::log (0.998));

    // A second change during the fade-out continues from the present gain and applies once.
    core.beginSilentPresetChange();

    for (int n = 0; n < 1000; ++n)
        core.next();

    core.beginSilentPresetChange();

    for (int n = 1000; n < firstSilent; ++n)
        EXPECT_GT (core.next(), 0.0) << n;

    EXPECT_EQ (core.next(), 0.0);
    EXPECT_EQ (target.applied, 1);

    // A change while silence is held applies the new preset on the next sample and holds
    // a new full silence.
    for (int n = 0; n < 100; ++n)
        core.next();

    core.beginSilentPresetChange();
    EXPECT_EQ (core.next(), 0.0);
    EXPECT_EQ (target.applied, 2);

    for (int n = 1; n < 4000; ++n)
        ASSERT_LT (std::abs (core.next()), 1e-12) << n;

    EXPECT_GT (core.next(), 0.0);

    // A change while the fade-in is above 0.99 still fades out and applies the new preset.
    double gain = 0.0;

    while ((gain = core.next()) <= 0.99)
        ASSERT_TRUE (core.isFading());

    EXPECT_EQ (gain, 1.0);
    core.beginSilentPresetChange();

    while (core.next() > 0.0)
        ASSERT_TRUE (core.isFading());

    EXPECT_EQ (target.applied, 3);

    // Without a target the fade still runs to the end.
    core.setPresetTarget (nullptr);
    core.beginSilentPresetChange();

    for (int n = 0; n < 20000; ++n)
        core.next();

    EXPECT_FALSE (core.isFading());
    EXPECT_EQ (target.applied, 3);
}
