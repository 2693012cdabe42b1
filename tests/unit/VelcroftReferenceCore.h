/*
    The bit crusher written the plain way: every formula of the chain evaluated directly,
    one host sample at a time, in doubles, with its own rate converters and sinc table. It
    is the yardstick the fast VelcroftCore is measured against (tests and benchmark) and is
    kept simple on purpose: clarity over speed. The parameter mappings are VelcroftCore's
    own (they are checked against their tables on their own); the signal chain is not.

    Per host sample: smoothing, conversion to 44,100 Hz, for each channel preamp and hard
    clip, the state-variable filter before or after, decimation by windowed-sinc sampling,
    quantisation with dither and the 36-slot band-limited step output, the dry/wet mix with
    the dry signal delayed by 21 samples, the volume, conversion back, meters and the fade.
*/
#pragma once

#include "ReferenceRateConverter.h"
#include "dsp/SampleRateContext.h"
#include "framework/QuillonEffectCore.h"
#include "product/VelcroftParameters.h"

#include <atomic>
#include <memory>
#include <vector>

class VelcroftReferenceCore : public QuillonEffectCore
{
public:
    /** Creates the core at 44,100 Hz. */
    explicit VelcroftReferenceCore (juce::AudioProcessor* ownerPlugin);

    ~VelcroftReferenceCore() override;

    /** Longer runs are processed in pieces of this size. */
    void prepare (int maximumBlockSize) override;

    /** Sets the host rate (the six supported rates convert; other positive rates run the
        crusher at the host rate; a rate that is not positive and finite is ignored). */
    void setSampleRate (float sampleRate) override;

    /** Maps a normalised value (clamped to 0..1; NaN ignored) of a parameter (VelcroftParameters). */
    void setParameter (int index, float value) override;

    /** Processes count samples in place from *left and *right. */
    void processStereo (float** left, float** right, int count) override;

    /** Processes count samples of one channel in place, as the left channel. */
    void processMono (float** channel, int count) override;

    /** The current decimated, quantised value of channel 0 or 1. */
    double getHeldValue (int channel) const noexcept;

    /** The last published channel-activity flags. */
    void getLeds (bool& left, bool& right) const noexcept;

    /** The shared Blackman-windowed sinc table of 524,288 entries, 16,384 per sample
        period, in its natural order. */
    static const double* getSincTable();

private:
    static constexpr int filterOff = 4;
    static constexpr double maxQuantiserLevel = 65536.0;
    static constexpr int sincTableSize = 524288;
    static constexpr int sincEntriesPerSample = 16384;
    static constexpr int ringLength = 32;
    static constexpr int numSlots = 36;
    static constexpr int outRingLength = 50;
    static constexpr int defaultChunkSize = 512;

    /** The Chamberlin state-variable filter, run twice per sample. */
    struct Filter
    {
        double process (double in, double f, double q, double g, int type) noexcept;

        double low = 0.0, band = 0.0, high = 0.0, notch = 0.0;
    };

    struct Channel
    {
        double level = maxQuantiserLevel + 1.0;
        double ratio = 1.0;
        double step = 128.0;
        bool linkFreq = false;
        int type = filterOff;
        bool pre = false;
        double cutoffTarget = 0.0, cutoff = 0.0;
        double resoTarget = 0.0, reso = 0.0, sqrtReso = 0.0;

        double phase = 1.0;
        bool due = false;
        double dueOffset = 0.0;

        double rawRing[2 * ringLength] = {};
        double wetRing[2 * ringLength] = {};

        double held = 0.0;
        double stepDelta[numSlots] = {};
        double stepPos[numSlots] = {};
        int slotIndex = 0;
        Filter filter;
        double wet = 0.0;

        std::unique_ptr<ReferenceRateConverter> inConverter, outConverter;
        double converterOut[ReferenceRateConverter::maxOutputsPerPush] = {};
        double outRing[outRingLength] = {};

        double vuPeak = 0.0;
        double envelope = 0.0;
        bool active = false;
    };

    static std::vector<double> buildSincTable();
    static void updateStep (Channel& c) noexcept;
    static double clip (double x) noexcept;

    void link() noexcept;
    void unlink() noexcept;

    void renderStereo (float* left, float* right, int count) noexcept;
    void renderMono (float* samples, int count) noexcept;

    void smoothParameters() noexcept;
    void stepNoise() noexcept;
    void advancePhase (Channel& c) noexcept;
    double sampleWetRing (Channel& c, double offset) noexcept;
    double quantise (double x, double level) const noexcept;
    void startStep (Channel& c, double value, double position) noexcept;
    double bandLimitedOutput (Channel& c, double step) noexcept;
    void crushChannel (Channel& c, double x) noexcept;
    void crushLinkedChannels (double xLeft, double xRight) noexcept;
    void advanceRing() noexcept;
    double mixChannel (const Channel& c) const noexcept;
    void updateMeters (Channel& c, double output) noexcept;
    static float toOutputSample (double x) noexcept;

    static constexpr int numRawValues = VelcroftParameters::leftFilterOrder;    // all but the filter orders
    double raw[numRawValues] = {};
    double preampTarget = 1.0, preamp = 0.0;
    double mix = 0.0;
    double volumeTarget = 1.0, volume = 0.0;
    bool linked = false;
    double smoothK = 0.002;
    SampleRateContext hostRate;
    double vuDecay = 1.0;

    Channel channels[2];
    int ringIndex = 0;
    juce::uint32 noiseA = 0x67452301u, noiseB = 0xEFCDAB89u;
    float noise = 0.0f;
    const double* sincTable = nullptr;
    const double* stepTable = nullptr;
    bool resampling = false;
    int writePos = 4, readPos = 0;
    int maxChunk = defaultChunkSize;

    std::atomic<bool> ledLeft { false }, ledRight { false };

    JUCE_DECLARE_NON_COPYABLE (VelcroftReferenceCore)
};
