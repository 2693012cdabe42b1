/*
    The interface between the product line's effect base and a product's DSP core, and what
    every core shares: the core's own lock, the VU levels the editor shows, the table that
    turns a sample amplitude into a meter position, and the fade that a silent preset change
    runs on the audio thread.

    The effect base calls the core only through the virtual operations below. A silent
    change (beginPresetChange) fades the output out, asks the plug-in held in the
    PresetChanger base to apply its current preset at silence, holds 4,000 samples of
    silence at 44,100 Hz (the same time at other rates) and fades back in; the product core
    drives it by calling fadeStep once per output sample.
*/
#pragma once

#include "dsp/SampleRateContext.h"
#include "framework/PresetChanger.h"
#include "framework/PresetManagerListener.h"

#include <juce_core/juce_core.h>

#include <atomic>

namespace juce
{
class AudioProcessor;
}

class Clock;

class QuillonEffectCore : public PresetChanger,
                          public PresetManagerListener
{
public:
    /** Number of entries in the meter table. */
    static constexpr int vuTableSize = 400;

    /** Creates the core for the plug-in that owns it. */
    explicit QuillonEffectCore (juce::AudioProcessor* ownerPlugin);

    ~QuillonEffectCore() override;

    //==============================================================================
    /** Starts a silent change to the preset slot already selected (the PresetChanger
        operation): the output fades out from its present level, the preset is applied at
        silence and the output fades back in. Takes the core lock. */
    void beginPresetChange() override;

    /** The same as beginPresetChange. */
    void beginSilentPresetChange()                              { beginPresetChange(); }

    /** Called with the largest number of samples one process call will be given. */
    virtual void prepare (int maximumBlockSize)                 { juce::ignoreUnused (maximumBlockSize); }

    /** Called with the host's sample rate before processing starts. */
    virtual void setSampleRate (float sampleRate)               { juce::ignoreUnused (sampleRate); }

    /** Called with a parameter's index and normalised value whenever it changes. */
    virtual void setParameter (int index, float normalisedValue) { juce::ignoreUnused (index, normalisedValue); }

    /** Called with the host's tempo in beats per minute. */
    virtual void setTempo (double beatsPerMinute)               { juce::ignoreUnused (beatsPerMinute); }

    /** Called with the quality index 0..3 of products that have a quality setting. */
    virtual void setQuality (int qualityIndex)                  { juce::ignoreUnused (qualityIndex); }

    /** Called when one of the effect's tempo clocks begins a step. */
    virtual void clockTick (int clockIndex, Clock* clock)       { juce::ignoreUnused (clockIndex, clock); }

    /** The latency the plug-in reports to the host, in samples. */
    virtual int getLatencySamples()                             { return 0; }

    /** Processes count samples in place, starting at *left and *right. */
    virtual void processStereo (float** left, float** right, int count) { juce::ignoreUnused (left, right, count); }

    /** Processes count samples of one channel in place, starting at *channel. */
    virtual void processMono (float** channel, int count)       { juce::ignoreUnused (channel, count); }

    /** Told after every application of the current preset; nothing to do here. */
    void currentPresetApplied() override {}

    //==============================================================================
    /** The core's own lock: the effect holds it around every processing run, and a silent
        change takes it to start. */
    juce::CriticalSection& getCoreLock() noexcept               { return coreLock; }

    /** The plug-in that created the core. */
    juce::AudioProcessor* getOwner() const noexcept             { return owner; }

    /** The base's rate record, filled for 44,100 Hz. */
    const SampleRateContext& getRateContext() const noexcept    { return rateContext; }

    //==============================================================================
    /** Publishes the meter positions (each clamped to 0..1) for the editor. Lock-free, so the
        audio thread never waits for a reader. */
    void publishVuLevels (float left, float right) noexcept;

    /** Reads the last published meter positions. */
    void getVuLevels (float& left, float& right) const noexcept;

    /** The last published left meter position, 0..1. */
    float getVuLeft() const noexcept                            { return vuLeft.load (std::memory_order_relaxed); }

    /** The last published right meter position, 0..1. */
    float getVuRight() const noexcept                           { return vuRight.load (std::memory_order_relaxed); }

    /** One entry of the meter table; index i stands for the amplitude (i - 200) / 100. */
    double getVuTableEntry (int index) const noexcept;

    /** The meter position of a sample amplitude: the table entry at trunc(amplitude x 100 + 200),
        the index clamped to the table before it is converted (a NaN reads entry 0). */
    double getVuPosition (double amplitude) const noexcept
    {
        return vuTable[(int) getVuIndex (amplitude)];
    }

    /** The same for the two lanes of a vector of two doubles (both channels side by side).
        The clamped index is converted to 64 bits directly, which saves widening it. */
    template <typename Pair>
    Pair getVuPositions (Pair amplitudes) const noexcept
    {
        const auto index = getVuIndex (amplitudes);
        return Pair { vuTable[(long long) index[0]], vuTable[(long long) index[1]] };
    }

    /** The same for a vector of four doubles (two frames of both channels), given as two
        pairs, first and second frame. */
    template <typename Lanes, typename Pair>
    void getVuPositions (Lanes amplitudes, Pair& first, Pair& second) const noexcept
    {
        const auto index = getVuIndex (amplitudes);
        first = Pair { vuTable[(long long) index[0]], vuTable[(long long) index[1]] };
        second = Pair { vuTable[(long long) index[2]], vuTable[(long long) index[3]] };
    }

    //==============================================================================
    /** Advances the silent-change fade by one output sample and returns the factor for that
        sample's outputs: the fade gain while a change runs, else exactly 1. fadeK is the
        smoothing coefficient for the host rate (its k x 0.002), rateRatio the host rate
        / 44,100. May apply the selected preset (on the calling thread), which calls
        setParameter. */
    double fadeStep (double fadeK, double rateRatio) noexcept
    {
        return fading ? advanceFade (fadeK, rateRatio) : 1.0;
    }

    /** True while a silent change runs. */
    bool isFading() const noexcept                              { return fading; }

    /** The present fade gain (1 when no change runs). */
    double getFadeGain() const noexcept                         { return gain; }

private:
    double advanceFade (double fadeK, double rateRatio) noexcept;

    /** amplitude x 100 + 200 clamped to the table's indices (not yet truncated), for a double
        or a vector of them. Clamped as a max and a min (a NaN gives 0), which compile without
        branches. */
    template <typename Value>
    static Value getVuIndex (Value amplitude) noexcept
    {
        const Value x = amplitude * 100.0 + 200.0;
        const Value low = x > 0.0 ? x : Value {} + 0.0;
        return low < (double) (vuTableSize - 1) ? low : Value {} + (double) (vuTableSize - 1);
    }

    SampleRateContext rateContext;
    juce::AudioProcessor* const owner;
    std::atomic<float> vuLeft { 0.0f }, vuRight { 0.0f };
    double vuTable[vuTableSize];
    juce::CriticalSection coreLock;

    bool fading = false;
    bool fadingOut = false;
    bool fadingIn = false;
    bool holding = false;
    double targetGain = 1.0;
    double gain = 1.0;
    int holdCount = 0;

    JUCE_DECLARE_NON_COPYABLE (QuillonEffectCore)
};
