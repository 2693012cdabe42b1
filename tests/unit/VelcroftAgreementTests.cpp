/*
    The fast VelcroftCore against the plain VelcroftReferenceCore: over noise, at every
    supported rate, for factory slot 0, the heaviest setting and the cleared preset, with
    both sample loops (baseline and AVX2); and through the changes that make the fast core switch its
    ways of working (step length, linking, silence in linked mode, silent preset changes).
    Agreement: RMS difference below 1e-6, no sample further apart than one quantisation step
    of its channel (1e-6 without quantisation), the same activity lights and the same meter
    positions after every block.
*/
#include <gtest/gtest.h>

#include "VelcroftAgreement.h"
#include "dsp/VectorKernels.h"

namespace VelcroftAgreementTestsDetail
{
/** Makes one instruction set's sample loop the one new cores run, for the lifetime of the object. */
struct ScopedKernels
{
    explicit ScopedKernels (bool widest)    { VectorKernels::select (widest); }
    ~ScopedKernels()                        { VectorKernels::select (true); }
};

void expectAgreement (const VelcroftAgreement::Result& r, const std::string& what)
{
    EXPECT_LT (r.rms, 1.0e-6) << what;
    EXPECT_LE (r.maxDifference[0], r.allowed[0]) << what;
    EXPECT_LE (r.maxDifference[1], r.allowed[1]) << what;
    EXPECT_EQ (r.lightMismatches, 0) << what;
    EXPECT_LT (r.meterDifference, 1.0e-6) << what;
}
} // namespace VelcroftAgreementTestsDetail

TEST (VelcroftAgreement, AllRatesAndSettingsWithBothKernelSets)
{
    using namespace VelcroftAgreementTestsDetail;

    // Ten seconds at 44,100 Hz with the kernels this processor runs, shorter stretches
    // elsewhere (the benchmark runs ten seconds everywhere).
    for (const bool widest : { true, false })
    {
        if (widest && ! VectorKernels::hasWideSet())
            continue;

        const ScopedKernels kernels (widest);

        for (const auto rate : VelcroftAgreement::hostRates)
        {
            const auto seconds = rate == 44100 ? (widest ? 10.0 : 2.0) : (widest ? 1.0 : 0.25);

            for (const auto* setting : VelcroftAgreement::settings)
                expectAgreement (VelcroftAgreement::compare (*setting, rate, seconds),
                                 std::string (VectorKernels::getActive().name) + " " + setting->name + " at " + std::to_string (rate));
        }
    }
}

TEST (VelcroftAgreement, UnlinkedChannelsWithEveryPairOfFilterPlaces)
{
    using namespace VelcroftAgreementTestsDetail;
    using P = VelcroftParameters::Index;

    // The unlinked loop is made for each pair of places the two filters can have: off,
    // before or after the crusher.
    const char* const places[] = { "off", "before", "after" };

    for (int l = 0; l < 3; ++l)
    {
        for (int r = 0; r < 3; ++r)
        {
            auto setting = VelcroftAgreement::worstCase;
            const auto place = [&setting] (int where, P type, P order)
            {
                setting.values[type] = where == 0 ? 1.0f : setting.values[type];
                setting.values[order] = where == 1 ? 1.0f : 0.0f;
            };

            place (l, P::leftFilterType, P::leftFilterOrder);
            place (r, P::rightFilterType, P::rightFilterOrder);
            expectAgreement (VelcroftAgreement::compare (setting, 48000, 0.5),
                             std::string ("left filter ") + places[l] + ", right filter " + places[r]);
        }
    }
}

TEST (VelcroftAgreement, ThroughModeChangesSilenceAndPresetChanges)
{
    using namespace VelcroftAgreementTestsDetail;

    // Every 20 blocks something changes: Link Freq (step length 128 or not) on either side,
    // linking, the frequencies, the filters' order, and values that glide (preamp, cutoff,
    // dry/wet), so that the smoothing is still moving most of the time; a silent preset change now and then
    // (the fade alone: there is no bank here); and the input falls silent on both channels
    // for stretches, so linked mode rests and wakes.
    VelcroftAgreement::Scenario scenario;
    scenario.blockSize = 97;

    scenario.shapeInput = [] (std::vector<float>& l, std::vector<float>& r)
    {
        for (size_t i = 0; i < l.size(); ++i)
        {
            if ((i / 3000) % 4 == 3)
                l[i] = r[i] = 0.0f;
            else if ((i / 5000) % 3 == 1)
                r[i] = 0.0f;
        }
    };

    scenario.beforeBlock = [] (QuillonEffectCore& core, std::int64_t start)
    {
        const auto step = start / 97;

        if (step % 20 != 0)
            return;

        const auto phase = (int) (step / 20);
        core.setParameter (VelcroftParameters::leftLinkFreq, phase % 3 == 1 ? 1.0f : 0.0f);
        core.setParameter (VelcroftParameters::rightLinkFreq, phase % 4 == 2 ? 0.0f : 1.0f);
        core.setParameter (VelcroftParameters::leftFrequency, 0.55f + 0.05f * (float) (phase % 9));
        core.setParameter (VelcroftParameters::rightFrequency, phase % 5 == 0 ? 1.0f : 0.62f + 0.04f * (float) (phase % 7));
        core.setParameter (VelcroftParameters::linkChannels, phase % 6 < 3 ? 0.0f : 1.0f);
        core.setParameter (VelcroftParameters::leftFilterOrder, phase % 2 == 0 ? 1.0f : 0.0f);
        core.setParameter (VelcroftParameters::preamp, 0.1f + 0.05f * (float) (phase % 5));
        core.setParameter (VelcroftParameters::leftCutoff, 0.5f + 0.05f * (float) (phase % 6));
        core.setParameter (VelcroftParameters::fx, phase % 3 == 0 ? 1.0f : 0.6f);

        if (phase % 7 == 4)
            core.beginSilentPresetChange();
    };

    VelcroftAgreement::Setting setting = VelcroftAgreement::worstCase;
    setting.sweepsFrequency = false;
    setting.values[VelcroftParameters::leftBits] = 0.75f;
    setting.values[VelcroftParameters::rightBits] = 0.75f;

    for (const bool widest : { true, false })
    {
        const ScopedKernels kernels (widest);

        for (const auto rate : { 44100, 96000 })
            expectAgreement (VelcroftAgreement::compare (setting, rate, 2.0, scenario),
                             std::string (VectorKernels::getActive().name) + " at " + std::to_string (rate));
    }

    // Mono (the left channel), with and without the converters.
    scenario.mono = true;

    for (const auto rate : { 44100, 48000 })
        expectAgreement (VelcroftAgreement::compare (setting, rate, 2.0, scenario), "mono at " + std::to_string (rate));
}

TEST (VelcroftAgreement, ActivityLightsThroughLongSilencesAndSingleSamples)
{
    using namespace VelcroftAgreementTestsDetail;

    // Sound, then silences long enough for the output to decay and the lights to go out,
    // broken by single samples on one channel or both: faint ones (which light a channel
    // and leave its output quiet, so the light goes out at the same sample) and, late in
    // each silence, full ones. The lights must agree after every block, and in linked mode
    // the crusher rests and wakes with them.
    VelcroftAgreement::Scenario scenario;
    scenario.blockSize = 97;

    scenario.shapeInput = [] (std::vector<float>& l, std::vector<float>& r)
    {
        for (size_t i = 0; i < l.size(); ++i)
        {
            const auto t = i % 200000;

            if (t < 20000)
                continue;

            const auto blip = i % 997 == 0 || i % 1499 == 0;
            const auto scale = t > 190000 ? 1.0f : 1.0e-7f;
            l[i] = blip && (i / 997) % 4 != 1 ? l[i] * scale : 0.0f;
            r[i] = blip && (i / 997) % 4 != 2 ? r[i] * scale : 0.0f;
        }
    };

    for (const auto* setting : VelcroftAgreement::settings)
    {
        for (const auto rate : { 44100, 48000 })
        {
            for (const bool mono : { false, true })
            {
                scenario.mono = mono;
                expectAgreement (VelcroftAgreement::compare (*setting, rate, 10.0, scenario),
                                 std::string (setting->name) + (mono ? " mono" : " stereo") + " at " + std::to_string (rate));
            }
        }
    }
}
