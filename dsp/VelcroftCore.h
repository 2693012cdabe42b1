/*
    Velcroft's DSP core: a stereo bit crusher that runs at 44,100 Hz whatever the host's
    rate. Per host sample it smooths the parameters, converts to 44,100 Hz when needed,
    crushes each channel (preamp and hard clip, a state-variable filter before or after,
    decimation by windowed-sinc sampling, quantisation with dither, a band-limited step
    output), mixes the result with the dry signal delayed to match, applies the output
    volume, converts back to the host rate, follows the meters and activity lights and runs
    the silent-change fade.

    The processed signal is delayed by 21 samples at 44,100 Hz; through the converters it is
    93 samples at 48,000 Hz, 141 at 88,200, 149 at 96,000, 245 at 176,400 and 263 at 192,000.
    The plug-in reports no latency.

    The per-sample work is kept small: the sinc table is stored in rows of the 32 taps one
    sampling offset needs (on large memory pages, since rows are read at random), the
    band-limited step output sums its slots in runs or as a queue of pending output
    (BandLimitedStepOutput), both channels share one pass of each rate converter, the meters
    and the output of both channels run side by side in vector lanes, linked channels share
    one pass over the sinc row, the stereo
    and mono sample loops are compiled twice (baseline and AVX2 with fused multiply-add,
    chosen with the VectorKernels set) with the per-sample inner loops inlined into them
    (VectorLanes), the
    smoothing stops once it has settled, the filter coefficients are computed only when they
    change, a block is processed in chunks (the crusher for the whole chunk, then meters,
    fade and output; when resampling, the conversion to 44,100 Hz, the crusher and the
    conversion back each run over the whole chunk in a loop of their own), the converters'
    coefficient banks and all tables are built once per process and shared, and at
    44,100 Hz no converter runs at all. The plain form of the same chain is
    kept beside the tests (VelcroftReferenceCore), which check that both agree.

    Threads: setParameter and processing run under the effect's core lock; setSampleRate and
    prepare run while no audio is processed. Applying a preset at the end of a silent
    fade-out happens inside processing, so parameters may change in the middle of a run.
*/
#pragma once

#include "dsp/BandLimitedStepOutput.h"
#include "dsp/RateConverter.h"
#include "dsp/SampleRateContext.h"
#include "dsp/StateVariableFilter.h"
#include "dsp/VectorLanes.h"
#include "framework/QuillonEffectCore.h"
#include "product/VelcroftParameters.h"

#include <atomic>
#include <memory>
#include <vector>

#if (defined (__x86_64__) || defined (__i386__)) && defined (__GNUC__)
 #define VELCROFT_X86_CORE 1
#else
 #define VELCROFT_X86_CORE 0
#endif

class VelcroftCore : public QuillonEffectCore
{
public:
    /** The filter type value that switches a channel's filter off (0..3 are the
        StateVariableFilter types). */
    static constexpr int filterOff = 4;

    /** A quantiser level above this means no quantisation. */
    static constexpr double maxQuantiserLevel = 65536.0;

    /** Creates the core for its plug-in, at 44,100 Hz, running the sample loop of the
        instruction set active now (VectorKernels). */
    explicit VelcroftCore (juce::AudioProcessor* ownerPlugin);

    ~VelcroftCore() override;

    //==============================================================================
    /** Nothing to prepare: the core keeps no buffers that depend on the block size. */
    void prepare (int maximumBlockSize) override;

    /** Sets the host rate: rebuilds the converters and the rate-dependent values and lets
        every smoothed value jump to its target. A rate that is not positive and finite keeps
        the previous rate; a positive rate other than the six supported ones runs the crusher
        at the host rate without conversion. */
    void setSampleRate (float sampleRate) override;

    /** Maps a normalised value (clamped to 0..1; NaN ignored) of a parameter (VelcroftParameters)
        to the DSP quantities; other indices are ignored. */
    void setParameter (int index, float value) override;

    /** Processes count samples in place from *left and *right, then publishes the meters and
        activity lights (also when count is below 1). */
    void processStereo (float** left, float** right, int count) override;

    /** Processes count samples of one channel in place, as the left channel of processStereo;
        both meters show the left one. */
    void processMono (float** channel, int count) override;

    //==============================================================================
    /** Publishes the two channel-activity flags for the editor (lock-free). */
    void publishLeds (bool left, bool right) noexcept;

    /** Reads the last published channel-activity flags. */
    void getLeds (bool& left, bool& right) const noexcept;

    //==============================================================================
    /** Preamp gain factor for a normalised value: 0 to +48 dB. */
    static double preampGainFromParameter (double v) noexcept;

    /** The bits step n = floor(16 v + 0.5), 0..16; the display shows n + 1 bits. */
    static int bitsFromParameter (double v) noexcept;

    /** The left channel's quantiser level 2^(n+1) - 1. */
    static double leftLevelFromParameter (double v) noexcept;

    /** The right channel's quantiser level 2^(n+1). */
    static double rightLevelFromParameter (double v) noexcept;

    /** The decimation ratio (new samples per 44,100 Hz sample) for a Frequency value:
        one octave per 0.2 from 1.0 down, never below 0.001. */
    static double frequencyRatioFromParameter (double v) noexcept;

    /** The filter type floor(4 v + 0.5): 0 LP, 1 BP, 2 HP, 3 BR, 4 off. */
    static int filterTypeFromParameter (double v) noexcept;

    /** The filter's frequency coefficient: 0.001 at 0, 0.085 at 0.5, 0.83 at 1. */
    static double cutoffFromParameter (double v) noexcept;

    /** The filter's damping coefficient 100^-v. */
    static double dampingFromParameter (double v) noexcept;

    /** The output gain 4 v^2 (0.5 gives unity). */
    static double volumeFromParameter (double v) noexcept;

    //==============================================================================
    /** One channel's settings as the crusher uses them. */
    struct ChannelSettings
    {
        double level;           /**< quantiser level count; above 65536 no quantisation */
        double ratio;           /**< decimation ratio 0.001..1 */
        double step;            /**< band-limited step table advance per 44,100 Hz sample */
        bool linkFreq;          /**< the step length follows the ratio */
        int type;               /**< filter type, 4 = off */
        bool pre;               /**< filter before the crusher */
        double cutoffTarget;    /**< filter frequency coefficient the smoothing glides to */
        double cutoff;          /**< smoothed filter frequency coefficient */
        double resoTarget;      /**< filter damping the smoothing glides to */
        double reso;            /**< smoothed filter damping */
    };

    /** The settings of channel 0 (left) or 1 (right). */
    ChannelSettings getChannelSettings (int channel) const noexcept;

    /** The last normalised value received for a parameter before the filter orders (0 for
        other indices). */
    double getRawValue (int index) const noexcept;

    /** True while Link Channels is on. */
    bool isLinked() const noexcept                      { return linked; }

    /** The preamp gain factor the smoothing glides to. */
    double getPreampTarget() const noexcept             { return targets[preampSlot]; }

    /** The smoothed preamp gain factor. */
    double getPreamp() const noexcept                   { return smoothed[preampSlot]; }

    /** The smoothed dry/wet amount. */
    double getMix() const noexcept                      { return smoothed[mixSlot]; }

    /** The output gain factor the smoothing glides to. */
    double getVolumeTarget() const noexcept             { return targets[volumeSlot]; }

    /** The smoothed output gain factor. */
    double getVolume() const noexcept                   { return smoothed[volumeSlot]; }

    /** The host rate in use. */
    double getSampleRate() const noexcept               { return hostRate.rate; }

    /** True when the host rate is converted to and from 44,100 Hz. */
    bool isResampling() const noexcept                  { return resampling; }

    /** The current decimated, quantised value of channel 0 or 1. */
    double getHeldValue (int channel) const noexcept;

    /** How often a table read would have left its table (each is clamped and counted); 0 in
        a sound core. */
    int getTableIndexFaults() const noexcept            { return tableIndexFaults; }

    //==============================================================================
    /** Number of entries of the decimation's sinc table: 16,384 per sample period over
        16 periods on each side. */
    static constexpr int sincTableSize = 524288;

    /** Sinc table entries per sample period. */
    static constexpr int sincEntriesPerSample = 16384;

    /** Taps of the sinc sum: the 32 most recent crusher inputs. */
    static constexpr int sincTaps = 32;

    /** The shared, Blackman-windowed sinc table, built on first use (thread-safe), in rows of
        the 32 taps one sampling offset needs: entry b * 32 + j is the sinc at table index
        b + 16384 j (d = b + 16384 j - 262144 table steps from the centre). It lasts as long
        as any holder: a core keeps it while a host exits with its audio thread still running. */
    static std::shared_ptr<const double> getSincTable();

private:
    static constexpr int ringLength = 32;
    static constexpr int historyLength = 256;      // room for ringLength and more in each history
    static constexpr int chunkLength = RateConverter<double>::maxBlock;
    static constexpr int outFrameCapacity = chunkLength + 64;

    /** The values the per-sample smoothing moves, as indices into smoothed and targets. */
    enum SmoothedIndex
    {
        preampSlot = 0,
        cutoffSlot,             // + channel
        resoSlot = 3,           // + channel
        mixSlot = 5,
        volumeSlot,
        numSmoothed = 8         // (one spare, so the update runs in pairs)
    };

    struct Channel
    {
        // Settings (the quantiser's factors follow the level: L / 2, 2 / L and 1 / (2 L))
        double level = maxQuantiserLevel + 1.0;
        double halfLevel = level * 0.5, stepSize = 1.0 / halfLevel, ditherScale = 0.5 / level;
        double ratio = 1.0;
        double period = 1.0;    // 1 / ratio
        double step = 128.0;
        bool linkFreq = false;
        int type = filterOff;
        bool pre = false;

        // Decimation: the phase counts down one per 44,100 Hz sample; a sample that falls
        // due stays due (with its offset, which grows while it waits) until it is taken.
        double phase = 1.0;
        bool due = false;
        double dueOffset = 0.0;

        // The input and the crusher's input, newest at historyPos: the last ringLength of
        // each always lie one after another. Once the end is reached they move back to the
        // start (moveHistoriesBack), instead of being stored twice in rings.
        double rawHistory[historyLength] = {};
        double wetHistory[historyLength] = {};

        BandLimitedStepOutput steps;
        StateVariableFilter filter;
        double wet = 0.0;

        // Meters
        double vuPeak = 0.0;
        double envelope = 0.0;
        bool active = false;
    };

    static std::vector<double> buildSincTable();
    static void updateStep (Channel& c) noexcept;
    static void setLevel (Channel& c, double level) noexcept;
    static double limit (double x, double low, double high) noexcept;     // a NaN gives low
    static double clip (double x) noexcept;

    void link() noexcept;
    void unlink() noexcept;
    void setTarget (int slot, double value) noexcept    { targets[slot] = value; settled = false; }

    // The sample loops and the per-sample work inlined into them take Width, the doubles a
    // step output's queue addition handles at a time: 4 in the loops compiled for AVX2, 2 in
    // the baseline ones.
    void renderStereo (float* left, float* right, int count) noexcept;
    template <int Width> forcedinline void renderStereoLoop (float* left, float* right, int count) noexcept;
   #if VELCROFT_X86_CORE
    void renderStereoWide (float* left, float* right, int count) noexcept;
   #endif
    int getChunkLength (const float* left, const float* right, int count) const noexcept;
    bool isChunkActive (const float* left, const float* right) const noexcept;
    template <int Width> forcedinline int crushChunk (const float* left, const float* right, int count) noexcept;
    template <int Width> forcedinline int crushMonoChunk (const float* samples, int count) noexcept;
    template <int Width> forcedinline int crushResampledChunk (const float* left, const float* right, int count) noexcept;
    const double* takeOutputFrames (int count) noexcept;
    void compactOutputFrames() noexcept;
    void finishChunk (float* left, float* right, int count, const double* outputs) noexcept;
    void finishMonoChunk (float* samples, int count, const double* outputs) noexcept;
    void renderMono (float* samples, int count) noexcept;
    template <int Width> forcedinline void renderMonoLoop (float* samples, int count) noexcept;
   #if VELCROFT_X86_CORE
    void renderMonoWide (float* samples, int count) noexcept;
   #endif

    bool smoothParameters() noexcept;                  // true when a value moved
    void updateFilters() noexcept;
    void stepNoise() noexcept;
    static juce::uint32 nextNoise (juce::uint32& a, juce::uint32& b) noexcept;  // one step of the dither generator a, b
    static float noiseValue (juce::uint32 state) noexcept;    // the dither value for a generator step
    void useStepLengths (bool mono) noexcept;
    void findStepsInStep() noexcept;
    void advanceHistories() noexcept;
    void moveHistoriesBack() noexcept;
    void advancePhase (Channel& c) noexcept;
    double fallDue (const Channel& c, double& phase) noexcept;     // the due offset; phase moves on
    double fallDueWide (const Channel& c, double& phase) noexcept;     // the same in the AVX2 loops
    void prefetchSincRow (double position) noexcept;
    const double* getSincRow (double offset) noexcept;
    double sampleWetHistory (Channel& c, double offset) noexcept;
    template <int Width>
    VectorLanes::DoublesHalf sampleWetHistories (double offset) noexcept;     // both channels, linked
    static double quantise (double x, const Channel& c, float dither) noexcept;
    static VectorLanes::DoublesHalf clipAndQuantiseBoth (VectorLanes::DoublesHalf x, const Channel& c, float dither) noexcept;
    /** Where each channel's filter runs during a chunk: its type before the crusher and after
        it, filterOff where it does not run. */
    struct FilterPlaces
    {
        int before[2];
        int after[2];
    };

    FilterPlaces getFilterPlaces() const noexcept;
    template <int Width> forcedinline void crushChannel (Channel& c, double x, int filterBefore, int filterAfter) noexcept;
    template <int Width> forcedinline void crushLinkedChannels (double xLeft, double xRight, bool anyActive, const FilterPlaces& places) noexcept;
    bool canCrushInStep (bool startActive, const FilterPlaces& places) const noexcept;
    void putBackChunkLoopState (juce::uint32 noiseNowA, juce::uint32 noiseNowB, juce::uint32 lastNoise,
                                VectorLanes::DoublesHalf wet, int numFrames) noexcept;
    template <int Width> VELCROFT_ALWAYS_INLINE void crushFramesInStep (int numFrames) noexcept;
    bool canCrushUnlinked() const noexcept;
    template <int Width> void crushUnlinkedFrames (int numFrames, const FilterPlaces& places) noexcept;
    template <int Width> VELCROFT_ALWAYS_INLINE void crushUnlinkedFramesIn (int numFrames, FilterPlaces places) noexcept;
    template <int Width, int LeftWhere, int RightWhere>
    VELCROFT_ALWAYS_INLINE void crushUnlinkedFramesLoop (int numFrames, FilterPlaces places) noexcept;
    void crushUnlinkedFramesBase (int numFrames, FilterPlaces places) noexcept;
   #if VELCROFT_X86_CORE
    void crushUnlinkedFramesWide (int numFrames, FilterPlaces places) noexcept;
   #endif
    template <int Width, bool Linked> forcedinline void crushFrame (double xLeft, double xRight, bool anyActive, const FilterPlaces& places, double* mixed) noexcept;
    template <int Width> forcedinline double crushMonoFrame (double x, const FilterPlaces& places) noexcept;
    double mixChannel (const Channel& c) const noexcept;
    bool updateMeters (Channel& c, double output) noexcept;      // true once the output has decayed
    static bool isSounding (float x) noexcept;         // a finite input sample other than 0
    static int lastSounding (const float* samples, int count) noexcept;   // -1 when none
    static bool isLitAfterChunk (bool litBefore, int lastSoundingInput, int lastQuietOutput) noexcept;
    static double finiteOrZero (float x) noexcept;
    template <int Width>
    static void copyFinite (const float* samples, double* out, int count) noexcept;     // finiteOrZero of each
    template <int Width>
    static void copyFiniteFrames (const float* left, const float* right, double* frames, int count) noexcept;     // the same, interleaved
    static float toOutputSample (double x) noexcept;
    template <typename Lanes>
    static VectorLanes::FloatsFor<Lanes> toOutputSamples (Lanes x) noexcept;    // toOutputSample in each lane of two or four doubles

    // Parameters: the smoothed values and their targets (the mix target is raw[fx]'s value).
    static constexpr int numRawValues = VelcroftParameters::leftFilterOrder;
    double raw[numRawValues] = {};
    alignas (16) double smoothed[numSmoothed] = {};
    alignas (16) double targets[numSmoothed] = { 1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, 1.0 };
    bool settled = false;                           // the smoothing has reached its fixed point
    bool linked = false;
    bool stepsInStep = false;       // linked, the step outputs in step and reading their queues (findStepsInStep)
    double smoothK = 0.002;
    SampleRateContext hostRate;
    double vuDecay = 1.0;

    // Signal chain
    Channel channels[2];
    int historyPos = ringLength;    // this frame's place in the histories
    juce::uint32 noiseA = 0x67452301u, noiseB = 0xEFCDAB89u;
    float noise = 0.0f;
    const bool wideLoop;                            // the AVX2 + FMA sample loop
    const double* sincRows = nullptr;               // sincTable's entries
    bool resampling = false;
    std::unique_ptr<RateConverter<double>> inConverter;     // its output is quantised: double
    std::unique_ptr<RateConverter<float>> outConverter;     // its output goes to the host: float
    int tableIndexFaults = 0;

    // A chunk's frames (interleaved): the crusher's outputs at 44,100 Hz, or while resampling
    // the converted inputs, crushed in place.
    double frames[2 * (chunkLength + 2)] = {};
    double glide[numSmoothed * (chunkLength + 1)] = {};    // smoothed values per frame, then the chunk's last, while they move

    // The frames converted back to the host rate, waiting to be output: outRead .. outWrite - 1.
    double outFrames[2 * outFrameCapacity] = {};
    int outRead = 0, outWrite = 4;

    std::atomic<bool> ledLeft { false }, ledRight { false };

    // Held, so that the table outlasts a process exit while in use; last, to leave the layout
    // of what the sample loops read as it was.
    std::shared_ptr<const double> sincTable;

    JUCE_DECLARE_NON_COPYABLE (VelcroftCore)
};
