#include "framework/QuillonEffectCore.h"

#include <cmath>

QuillonEffectCore::QuillonEffectCore (juce::AudioProcessor* ownerPlugin)
    : owner (ownerPlugin)
{
    setSampleRateContext (rateContext, 44100.0);

    // Index i stands for the amplitude (i - 200) / 100: 0 dB reads 0.8, +6 dB and above 1,
    // -24 dB and below 0, in steps of 1/30 per dB.
    for (int i = 0; i < vuTableSize; ++i)
    {
        const auto x = std::abs (i - 200) * 0.01;
        const auto v = (x > 0.0 ? 20.0 * std::log10 (x) : -320.0) * 0.03333333333333333 + 0.8;
        vuTable[i] = juce::jlimit (0.0, 1.0, v);
    }
}

QuillonEffectCore::~QuillonEffectCore() = default;

void QuillonEffectCore::beginPresetChange()
{
    const juce::ScopedLock sl (coreLock);

    // The gain keeps its present value, so a change during a fade continues from there.
    fading = true;
    fadingOut = true;
    fadingIn = false;
    holding = false;
    targetGain = 0.0;
    holdCount = 0;
}

void QuillonEffectCore::publishVuLevels (float left, float right) noexcept
{
    // A NaN reads as 0.
    vuLeft.store (left > 0.0f ? juce::jmin (left, 1.0f) : 0.0f, std::memory_order_relaxed);
    vuRight.store (right > 0.0f ? juce::jmin (right, 1.0f) : 0.0f, std::memory_order_relaxed);
}

void QuillonEffectCore::getVuLevels (float& left, float& right) const noexcept
{
    left = getVuLeft();
    right = getVuRight();
}

double QuillonEffectCore::getVuTableEntry (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, vuTableSize) ? vuTable[index] : 0.0;
}

double QuillonEffectCore::advanceFade (double fadeK, double rateRatio) noexcept
{
    gain = gain - ((gain - targetGain) * fadeK + 1e-20);

    if (fadingOut && gain < 0.001)
    {
        targetGain = 0.0;
        gain = 0.0;
        holding = true;
        fadingOut = false;
        // At least one sample, also for an absurd rate ratio (a count of 0 would hold forever).
        const auto holdLength = rateRatio * 4000.0;
        holdCount = holdLength >= 1.0 ? (holdLength < 1.0e9 ? (int) holdLength : 1000000000) : 1;

        // At silence: the plug-in applies its selected preset now, on this thread.
        if (auto* target = getPresetTarget())
            target->applyCurrentPreset();
    }

    // The count is decremented on the sample on which it is set, so the silence lasts
    // holdCount samples including that one.
    if (holding && holdCount >= 1)
    {
        if (--holdCount == 0)
        {
            targetGain = 1.0;
            holding = false;
            fadingIn = true;
        }
    }

    if (fadingIn && gain > 0.99)
    {
        fading = false;
        targetGain = 1.0;
        gain = 1.0;
        holding = false;
        fadingIn = false;
    }

    return fading ? gain : 1.0;
}
