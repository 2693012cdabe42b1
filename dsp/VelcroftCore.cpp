#include "dsp/VelcroftCore.h"
#include "dsp/VectorKernels.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>

#if VELCROFT_X86_CORE
 #include <emmintrin.h>
#endif

#if defined (__linux__)
 #include <sys/mman.h>
#endif

namespace VelcroftCoreDetail
{
constexpr double pi = 3.14159265358979323846;

/** The largest offset a due sample may have: just below one sample period, so that the
    sinc and step table indices it yields stay inside their tables. */
const double maxDueOffset = std::nextafter (1.0, 0.0);

/** The sinc table in memory of its own, on large pages where the system offers them: rows
    are read at random, and with small pages nearly every read would first miss the address
    translation cache. */
class SincTableMemory
{
public:
    explicit SincTableMemory (std::vector<double> rows)
    {
        const auto bytes = rows.size() * sizeof (double);

        if (bytes % largePage == 0)
            memory = static_cast<double*> (std::aligned_alloc (largePage, bytes));

        if (memory == nullptr)
        {
            fallback = std::move (rows);
            return;
        }

       #if defined (__linux__)
        madvise (memory, bytes, MADV_HUGEPAGE);
       #endif
        std::memcpy (memory, rows.data(), bytes);
    }

    ~SincTableMemory()                      { std::free (memory); }

    const double* data() const noexcept     { return memory != nullptr ? memory : fallback.data(); }

private:
    static constexpr size_t largePage = (size_t) 2 << 20;
    double* memory = nullptr;
    std::vector<double> fallback;

    JUCE_DECLARE_NON_COPYABLE (SincTableMemory)
};

/** Where a channel's filter runs in a chunk, as a constant of the unlinked loop. */
enum FilterWhere { nowhere, beforeCrusher, afterCrusher };

inline FilterWhere filterWhere (int before, int after) noexcept
{
    return before != VelcroftCore::filterOff ? beforeCrusher : (after != VelcroftCore::filterOff ? afterCrusher : nowhere);
}
} // namespace VelcroftCoreDetail

//==============================================================================
VelcroftCore::VelcroftCore (juce::AudioProcessor* ownerPlugin)
    : QuillonEffectCore (ownerPlugin),
      wideLoop (VectorKernels::getActive().wide),
      sincTable (getSincTable())
{
    sincRows = sincTable.get();
    setSampleRateContext (hostRate, 44100.0);
    setSampleRate (44100.0f);
}

VelcroftCore::~VelcroftCore() = default;

std::vector<double> VelcroftCore::buildSincTable()
{
    using VelcroftCoreDetail::pi;
    std::vector<double> table ((size_t) sincTableSize);
    constexpr int rows = sincTableSize / sincTaps;

    // A sinc with 16,384 entries per sample period and 16 periods on each side, under a
    // Blackman window over the whole table, stored row by row: the entries one sampling
    // offset needs lie next to each other.
    for (int b = 0; b < rows; ++b)
    {
        for (int j = 0; j < sincTaps; ++j)
        {
            const auto i = b + sincEntriesPerSample * j;
            const auto d = (double) (i - sincTableSize / 2);
            const auto s = (i == sincTableSize / 2) ? 1.0 : std::sin (d * pi / sincEntriesPerSample) / (d * pi) * sincEntriesPerSample;
            const auto w = 0.42 - 0.5 * std::cos (2.0 * pi * i / sincTableSize) + 0.08 * std::cos (4.0 * pi * i / sincTableSize);
            table[(size_t) (b * sincTaps + j)] = s * w;
        }
    }

    return table;
}

std::shared_ptr<const double> VelcroftCore::getSincTable()
{
    // Not a static table: the process's static destructors run on exit while a host's audio
    // thread may still be reading it. The static holder is only one owner among the cores.
    static const auto table = std::make_shared<const VelcroftCoreDetail::SincTableMemory> (buildSincTable());
    return { table, table->data() };
}

//==============================================================================
double VelcroftCore::preampGainFromParameter (double v) noexcept
{
    return std::pow (10.0, v * 48.0 * 0.05);
}

int VelcroftCore::bitsFromParameter (double v) noexcept
{
    return (int) std::floor (16.0 * v + 0.5);
}

double VelcroftCore::leftLevelFromParameter (double v) noexcept
{
    return std::ldexp (1.0, bitsFromParameter (v) + 1) - 1.0;
}

double VelcroftCore::rightLevelFromParameter (double v) noexcept
{
    return std::ldexp (1.0, bitsFromParameter (v) + 1);
}

double VelcroftCore::frequencyRatioFromParameter (double v) noexcept
{
    const auto p = (((((1.6276041666666399 * v - 3.255208333333264) * v + 3.5807291666666026) * v
                       - 1.432291666666641) * v + 0.47916666666666236) * v) + 2.704652017625984e-16;
    return p >= 0.001 ? p : 0.001;
}

int VelcroftCore::filterTypeFromParameter (double v) noexcept
{
    return (int) std::floor (4.0 * v + 0.5);
}

double VelcroftCore::cutoffFromParameter (double v) noexcept
{
    return std::exp (4.365134839032704 * v) * 0.010674735250057944 - 0.009674735250774223;
}

double VelcroftCore::dampingFromParameter (double v) noexcept
{
    return std::exp ((1.0 - v) * 4.60517018598809 - 8.439068612150077) * 46.24246011657401;
}

double VelcroftCore::volumeFromParameter (double v) noexcept
{
    return 4.0 * v * v;
}

void VelcroftCore::updateStep (Channel& c) noexcept
{
    c.step = c.linkFreq ? c.ratio * 128.0 : 128.0;
    c.period = 1.0 / c.ratio;
}

void VelcroftCore::setLevel (Channel& c, double level) noexcept
{
    c.level = level;
    c.halfLevel = level * 0.5;
    c.stepSize = 1.0 / c.halfLevel;
    c.ditherScale = 0.5 / level;
}

//==============================================================================
void VelcroftCore::prepare (int)
{
}

void VelcroftCore::setSampleRate (float sampleRate)
{
    const auto rate = (sampleRate > 0.0f && std::isfinite (sampleRate)) ? (double) sampleRate : hostRate.rate;
    setSampleRateContext (hostRate, rate);

    auto& left = channels[0];
    auto& right = channels[1];

    // Only the six supported rates have converters; any other rate runs the crusher at
    // the host rate.
    resampling = RateConverter<double>::isSupportedRate (rate) && rate != 44100.0;

    if (resampling)
    {
        inConverter = std::make_unique<RateConverter<double>> ((int) rate, 44100);
        outConverter = std::make_unique<RateConverter<float>> (44100, (int) rate);
    }
    else
    {
        inConverter.reset();
        outConverter.reset();
    }

    std::fill (std::begin (outFrames), std::end (outFrames), 0.0);

    for (auto& c : channels)
    {
        c.active = false;
        c.envelope = 0.0;
    }

    outRead = 0;
    outWrite = 4;
    smoothK = hostRate.k * 0.002;
    vuDecay = 1.0 - hostRate.k * 0.0001;

    setTarget (preampSlot, preampGainFromParameter (raw[VelcroftParameters::preamp]));
    left.ratio = frequencyRatioFromParameter (raw[VelcroftParameters::leftFrequency]);
    left.linkFreq = raw[VelcroftParameters::leftLinkFreq] > 0.5;
    updateStep (left);

    if (! linked)
    {
        right.ratio = frequencyRatioFromParameter (raw[VelcroftParameters::rightFrequency]);
        right.linkFreq = raw[VelcroftParameters::rightLinkFreq] > 0.5;
        updateStep (right);
    }

    setTarget (cutoffSlot, cutoffFromParameter (raw[VelcroftParameters::leftCutoff]));

    if (! linked)
        setTarget (cutoffSlot + 1, cutoffFromParameter (raw[VelcroftParameters::rightCutoff]));

    // Every smoothed value jumps to its target.
    std::copy (std::begin (targets), std::end (targets), std::begin (smoothed));
    settled = false;
}

//==============================================================================
void VelcroftCore::setParameter (int index, float value)
{
    if (! juce::isPositiveAndBelow (index, (int) VelcroftParameters::numParameters) || std::isnan (value))
        return;

    const auto v = juce::jlimit (0.0, 1.0, (double) value);
    auto& left = channels[0];
    auto& right = channels[1];

    if (index < numRawValues)
        raw[index] = v;

    switch (index)
    {
        case VelcroftParameters::preamp:           setTarget (preampSlot, preampGainFromParameter (v)); break;
        case VelcroftParameters::leftBits:         setLevel (left, leftLevelFromParameter (v)); break;
        case VelcroftParameters::leftFrequency:    left.ratio = frequencyRatioFromParameter (v); updateStep (left); break;
        case VelcroftParameters::leftLinkFreq:     left.linkFreq = v > 0.5; updateStep (left); break;

        case VelcroftParameters::leftFilterType:
            left.type = filterTypeFromParameter (v);
            if (linked) right.type = left.type;
            break;

        case VelcroftParameters::leftCutoff:
            setTarget (cutoffSlot, cutoffFromParameter (v));
            if (linked) setTarget (cutoffSlot + 1, targets[cutoffSlot]);
            break;

        case VelcroftParameters::leftReso:
            setTarget (resoSlot, dampingFromParameter (v));
            if (linked) setTarget (resoSlot + 1, targets[resoSlot]);
            break;

        // While linked, the right channel's values are only recorded; unlinking applies them.
        case VelcroftParameters::rightBits:        if (! linked) setLevel (right, rightLevelFromParameter (v)); break;
        case VelcroftParameters::rightFrequency:   if (! linked) { right.ratio = frequencyRatioFromParameter (v); updateStep (right); } break;
        case VelcroftParameters::rightLinkFreq:    if (! linked) { right.linkFreq = v > 0.5; updateStep (right); } break;
        case VelcroftParameters::rightFilterType:  if (! linked) right.type = filterTypeFromParameter (v); break;
        case VelcroftParameters::rightCutoff:      if (! linked) setTarget (cutoffSlot + 1, cutoffFromParameter (v)); break;
        case VelcroftParameters::rightReso:        if (! linked) setTarget (resoSlot + 1, dampingFromParameter (v)); break;

        case VelcroftParameters::linkChannels:     if (v > 0.5) link(); else unlink(); break;
        case VelcroftParameters::fx:               setTarget (mixSlot, v); break;
        case VelcroftParameters::outputVolume:     setTarget (volumeSlot, volumeFromParameter (v)); break;
        case VelcroftParameters::leftFilterOrder:  left.pre = v > 0.5; break;
        case VelcroftParameters::rightFilterOrder: right.pre = v > 0.5; break;
        default:                                   break;
    }
}

void VelcroftCore::link() noexcept
{
    // The smoothed values are copied too, so both filters move together at once. Level,
    // ratio, step and order are not copied: the linked chain reads the left ones.
    linked = true;
    setTarget (cutoffSlot + 1, targets[cutoffSlot]);
    setTarget (resoSlot + 1, targets[resoSlot]);
    smoothed[cutoffSlot + 1] = smoothed[cutoffSlot];
    smoothed[resoSlot + 1] = smoothed[resoSlot];
    channels[1].type = channels[0].type;
}

void VelcroftCore::unlink() noexcept
{
    auto& right = channels[1];

    // The right channel is rebuilt from its recorded values, taking effect without gliding.
    linked = false;
    right.ratio = frequencyRatioFromParameter (raw[VelcroftParameters::rightFrequency]);
    right.linkFreq = raw[VelcroftParameters::rightLinkFreq] > 0.5;
    updateStep (right);
    setLevel (right, rightLevelFromParameter (raw[VelcroftParameters::rightBits]));
    setTarget (cutoffSlot + 1, cutoffFromParameter (raw[VelcroftParameters::rightCutoff]));
    setTarget (resoSlot + 1, dampingFromParameter (raw[VelcroftParameters::rightReso]));
    smoothed[cutoffSlot + 1] = targets[cutoffSlot + 1];
    smoothed[resoSlot + 1] = targets[resoSlot + 1];
    right.type = filterTypeFromParameter (raw[VelcroftParameters::rightFilterType]);
}

//==============================================================================
VelcroftCore::ChannelSettings VelcroftCore::getChannelSettings (int channel) const noexcept
{
    const auto ch = channel == 1 ? 1 : 0;
    const auto& c = channels[ch];
    return { c.level, c.ratio, c.step, c.linkFreq, c.type, c.pre,
             targets[cutoffSlot + ch], smoothed[cutoffSlot + ch], targets[resoSlot + ch], smoothed[resoSlot + ch] };
}

double VelcroftCore::getRawValue (int index) const noexcept
{
    return juce::isPositiveAndBelow (index, numRawValues) ? raw[index] : 0.0;
}

double VelcroftCore::getHeldValue (int channel) const noexcept
{
    return channels[channel == 1 ? 1 : 0].steps.getHeld();
}

void VelcroftCore::publishLeds (bool left, bool right) noexcept
{
    ledLeft.store (left, std::memory_order_relaxed);
    ledRight.store (right, std::memory_order_relaxed);
}

void VelcroftCore::getLeds (bool& left, bool& right) const noexcept
{
    left = ledLeft.load (std::memory_order_relaxed);
    right = ledRight.load (std::memory_order_relaxed);
}

//==============================================================================
void VelcroftCore::processStereo (float** left, float** right, int count)
{
    const juce::ScopedNoDenormals noDenormals;

    if (left != nullptr && right != nullptr && *left != nullptr && *right != nullptr && count > 0)
        renderStereo (*left, *right, count);

    publishVuLevels ((float) channels[0].vuPeak, (float) channels[1].vuPeak);
    publishLeds (channels[0].active, channels[1].active);
}

void VelcroftCore::processMono (float** channel, int count)
{
    const juce::ScopedNoDenormals noDenormals;

    if (channel != nullptr && *channel != nullptr && count > 0)
        renderMono (*channel, count);

    publishVuLevels ((float) channels[0].vuPeak, (float) channels[1].vuPeak);
    publishLeds (channels[0].active, channels[1].active);
}

void VelcroftCore::renderStereo (float* left, float* right, int count) noexcept
{
    // The sample loop exists twice, compiled for the baseline and for AVX2 with fused
    // multiply-add; everything it calls per sample is inlined into it.
   #if VELCROFT_X86_CORE
    if (wideLoop)
    {
        renderStereoWide (left, right, count);
        return;
    }
   #endif

    renderStereoLoop<2> (left, right, count);
}

void VelcroftCore::renderMono (float* samples, int count) noexcept
{
    // Compiled twice as well.
   #if VELCROFT_X86_CORE
    if (wideLoop)
    {
        renderMonoWide (samples, count);
        return;
    }
   #endif

    renderMonoLoop<2> (samples, count);
}

#if VELCROFT_X86_CORE
__attribute__ ((target ("avx2,fma"))) void VelcroftCore::renderStereoWide (float* left, float* right, int count) noexcept
{
    renderStereoLoop<4> (left, right, count);
}

__attribute__ ((target ("avx2,fma"))) void VelcroftCore::renderMonoWide (float* samples, int count) noexcept
{
    renderMonoLoop<4> (samples, count);
}
#endif

template <int Width>
forcedinline void VelcroftCore::renderStereoLoop (float* left, float* right, int count) noexcept
{
    // In chunks: first the crusher for every sample of the chunk, then the meters, the fade
    // and the output. That is the same as doing everything sample by sample as long as
    // nothing the crusher reads changes within a chunk: a silent-change fade (which may apply
    // a preset on any sample) goes one sample at a time, and in linked mode a frame that is
    // silent on both channels (whose crushing depends on the meters so far) starts a chunk.
    for (int done = 0; done < count;)
    {
        const auto limit = isFading() ? 1 : juce::jmin (count - done, chunkLength);
        const auto n = resampling ? crushResampledChunk<Width> (left + done, right + done, limit)
                                  : crushChunk<Width> (left + done, right + done, limit);
        finishChunk (left + done, right + done, n, resampling ? takeOutputFrames (n) : frames);
        done += n;
    }
}

template <int Width>
forcedinline void VelcroftCore::renderMonoLoop (float* samples, int count) noexcept
{
    // As the stereo loop, on the left channel alone.
    for (int done = 0; done < count;)
    {
        const auto limit = isFading() ? 1 : juce::jmin (count - done, chunkLength);
        const auto n = resampling ? crushResampledChunk<Width> (samples + done, nullptr, limit)
                                  : crushMonoChunk<Width> (samples + done, limit);
        finishMonoChunk (samples + done, n, resampling ? takeOutputFrames (n) : frames);
        done += n;
    }
}

forcedinline int VelcroftCore::getChunkLength (const float* leftSamples, const float* rightSamples, int count) const noexcept
{
    if (! linked)
        return count;

    // Four frames at a time while all of them sound, then one at a time from the group
    // where one does not.
    int i = 1;

    for (; i + 4 <= count; i += 4)
    {
        const auto sounding = VectorLanes::areSounding (VectorLanes::loadFloats<VectorLanes::FloatsHalf> (leftSamples + i))
                            | VectorLanes::areSounding (VectorLanes::loadFloats<VectorLanes::FloatsHalf> (rightSamples + i));

        if (! VectorLanes::allSet (sounding))
            break;
    }

    for (; i < count; ++i)
        if (! (isSounding (leftSamples[i]) || isSounding (rightSamples[i])))
            return i;

    return count;
}

forcedinline bool VelcroftCore::isChunkActive (const float* leftSamples, const float* rightSamples) const noexcept
{
    return ! linked || isSounding (leftSamples[0]) || isSounding (rightSamples[0])
        || channels[0].active || channels[1].active;
}

template <int Width>
forcedinline int VelcroftCore::crushChunk (const float* leftSamples, const float* rightSamples, int count) noexcept
{
    const auto n = getChunkLength (leftSamples, rightSamples, count);
    const auto startActive = isChunkActive (leftSamples, rightSamples);
    const auto places = getFilterPlaces();
    useStepLengths (false);
    updateFilters();

    // The inputs go into the frames first, four at a time, and are crushed in place.
    copyFiniteFrames<Width> (leftSamples, rightSamples, frames, n);

    // A loop for linked channels and one for unlinked ones, so that the frames are not asked.
    auto crushFrames = [&] (auto isLinked) VELCROFT_ALWAYS_INLINE_LAMBDA
    {
        for (int i = 0; i < n; ++i)
        {
            if (smoothParameters())
                updateFilters();

            crushFrame<Width, decltype (isLinked)::value> (frames[2 * i], frames[2 * i + 1], i > 0 || startActive, places, frames + 2 * i);
        }
    };

    if (linked)
    {
        findStepsInStep();

        if (settled && canCrushInStep (startActive, places))
            crushFramesInStep<Width> (n);
        else
            crushFrames (std::true_type {});
    }
    else if (settled && canCrushUnlinked())
    {
        crushUnlinkedFrames<Width> (n, places);
    }
    else
    {
        crushFrames (std::false_type {});
    }

    return n;
}

template <int Width>
forcedinline int VelcroftCore::crushMonoChunk (const float* samples, int count) noexcept
{
    const auto places = getFilterPlaces();
    useStepLengths (true);
    updateFilters();

    for (int i = 0; i < count; ++i)
    {
        if (smoothParameters())
            updateFilters();

        frames[2 * i] = crushMonoFrame<Width> (finiteOrZero (samples[i]), places);
    }

    return count;
}

template <int Width>
forcedinline int VelcroftCore::crushResampledChunk (const float* leftSamples, const float* rightSamples, int count) noexcept
{
    // In three passes, each a loop of its own: the chunk through the converter to 44,100 Hz,
    // the crusher over the frames that came out, and those through the converter back to the
    // host rate, where they wait to be output. A mono chunk (no right samples) carries
    // silence on the right. While the smoothing moves, each frame is crushed with the values
    // it had at the host sample that completed the frame.
    const auto mono = rightSamples == nullptr;
    const auto n = mono ? count : getChunkLength (leftSamples, rightSamples, count);
    const auto startActive = mono || isChunkActive (leftSamples, rightSamples);

    auto* inLeft = inConverter->getLeftInput();
    auto* inRight = inConverter->getRightInput();

    copyFinite<Width> (leftSamples, inLeft, n);

    if (mono)
        std::fill (inRight, inRight + n, 0.0);
    else
        copyFinite<Width> (rightSamples, inRight, n);

    int sources[chunkLength + 2];
    const auto numFrames = inConverter->template convert<Width> (n, frames, sources);
    const auto gliding = ! settled;

    if (gliding)
    {
        for (int i = 0, f = 0; i < n; ++i)
        {
            smoothParameters();

            for (; f < numFrames && sources[f] == i; ++f)
                std::memcpy (glide + numSmoothed * f, smoothed, sizeof (smoothed));
        }

        // The values at the chunk's end, put back once the frames are crushed.
        std::memcpy (glide + numSmoothed * numFrames, smoothed, sizeof (smoothed));
    }

    const auto places = getFilterPlaces();
    useStepLengths (mono);
    updateFilters();

    // A loop of its own for mono, linked and unlinked frames, so that the frames are not asked.
    auto crushFrames = [&] (auto crush) VELCROFT_ALWAYS_INLINE_LAMBDA
    {
        for (int f = 0; f < numFrames; ++f)
        {
            if (gliding)
            {
                std::memcpy (smoothed, glide + numSmoothed * f, sizeof (smoothed));
                updateFilters();
            }

            crush (f);
        }
    };

    if (mono)
    {
        crushFrames ([&] (int f) VELCROFT_ALWAYS_INLINE_LAMBDA
        {
            frames[2 * f] = crushMonoFrame<Width> (frames[2 * f], places);
            frames[2 * f + 1] = 0.0;
        });
    }
    else if (linked)
    {
        findStepsInStep();

        if (! gliding && canCrushInStep (startActive, places))
            crushFramesInStep<Width> (numFrames);
        else
            crushFrames ([&] (int f) VELCROFT_ALWAYS_INLINE_LAMBDA
            {
                crushFrame<Width, true> (frames[2 * f], frames[2 * f + 1], sources[f] > 0 || startActive, places, frames + 2 * f);
            });
    }
    else if (! gliding && canCrushUnlinked())
    {
        crushUnlinkedFrames<Width> (numFrames, places);
    }
    else
    {
        crushFrames ([&] (int f) VELCROFT_ALWAYS_INLINE_LAMBDA
        {
            crushFrame<Width, false> (frames[2 * f], frames[2 * f + 1], true, places, frames + 2 * f);
        });
    }

    if (gliding)
        std::memcpy (smoothed, glide + numSmoothed * numFrames, sizeof (smoothed));

    // Back to the host rate.
    compactOutputFrames();
    auto* outLeft = outConverter->getLeftInput();
    auto* outRight = outConverter->getRightInput();

    for (int f = 0; f < numFrames; ++f)
    {
        outLeft[f] = (float) frames[2 * f];
        outRight[f] = (float) frames[2 * f + 1];
    }

    if (outWrite + outConverter->getMaxOutputs (numFrames) <= outFrameCapacity)
        outWrite += outConverter->template convert<Width> (numFrames, outFrames + 2 * outWrite);
    else
        jassertfalse;           // never: a chunk gives about as many frames as it takes

    return n;
}

forcedinline const double* VelcroftCore::takeOutputFrames (int count) noexcept
{
    // The converter keeps at least one frame ahead of the host (it starts four ahead).
    jassert (outRead + count <= outWrite);
    const auto* taken = outFrames + 2 * outRead;
    outRead += count;
    return taken;
}

void VelcroftCore::compactOutputFrames() noexcept
{
    const auto waiting = juce::jlimit (0, outFrameCapacity, outWrite - outRead);
    std::memmove (outFrames, outFrames + 2 * outRead, sizeof (double) * 2 * (size_t) waiting);
    outRead = 0;
    outWrite = waiting;
}

forcedinline void VelcroftCore::finishChunk (float* leftSamples, float* rightSamples, int count, const double* outputs) noexcept
{
    auto& left = channels[0];
    auto& right = channels[1];

    // The activity lights: on with any input (a finite number other than 0), off once the
    // output has decayed; the input is read before the output overwrites it.
    const auto soundingLeft = lastSounding (leftSamples, count);
    const auto soundingRight = lastSounding (rightSamples, count);

    // Both channels side by side in the lanes of one pair, each lane computing what
    // updateMeters and toOutputSample compute for its channel.
    using Pair = VectorLanes::DoublesHalf;
    const auto envelopeDecay = vuDecay + 1e-20;
    Pair vuPeak = { left.vuPeak, right.vuPeak };
    Pair envelope = { left.envelope, right.envelope };
    Pair quiet = { -1.0, -1.0 }, place = {};

    auto updateBoth = [&] (Pair position, Pair magnitude) VELCROFT_ALWAYS_INLINE_LAMBDA
    {
        vuPeak = vuPeak < position ? position : vuPeak;
        vuPeak = vuDecay * vuPeak + 1e-20;
        const auto decayed = envelope * envelopeDecay;
        envelope = magnitude < decayed ? decayed : magnitude;
        quiet = envelope < 2e-5 ? place : quiet;
        place += 1.0;
    };

    int i = 0;

    // Without a fade (which runs a sample at a time), two frames at a time: what does not
    // depend on the frame before (meter positions, magnitudes, output) in four lanes.
    if (! isFading())
    {
        for (; i + 2 <= count; i += 2)
        {
            const auto out = VectorLanes::loadDoubles (outputs + 2 * i);
            Pair first, second;
            getVuPositions (out, first, second);
            const auto magnitudes = VectorLanes::abs (out);
            updateBoth (first, VectorLanes::lowHalf (magnitudes));
            updateBoth (second, VectorLanes::highHalf (magnitudes));

            const auto samples = toOutputSamples (out);
            leftSamples[i] = samples[0];
            rightSamples[i] = samples[1];
            leftSamples[i + 1] = samples[2];
            rightSamples[i + 1] = samples[3];
        }
    }

    for (; i < count; ++i)
    {
        const auto out = VectorLanes::loadPair (outputs + 2 * i);
        updateBoth (getVuPositions (out), VectorLanes::abs (out));

        const auto samples = toOutputSamples (out * fadeStep (hostRate.fade, hostRate.ratio));
        leftSamples[i] = samples[0];
        rightSamples[i] = samples[1];
    }

    left.vuPeak = vuPeak[0];
    right.vuPeak = vuPeak[1];
    left.envelope = envelope[0];
    right.envelope = envelope[1];
    left.active = isLitAfterChunk (left.active, soundingLeft, (int) quiet[0]);
    right.active = isLitAfterChunk (right.active, soundingRight, (int) quiet[1]);
}

forcedinline void VelcroftCore::finishMonoChunk (float* samples, int count, const double* outputs) noexcept
{
    auto& left = channels[0];
    const auto sounding = lastSounding (samples, count);
    int quiet = -1;

    for (int i = 0; i < count; ++i)
    {
        const auto out = outputs[2 * i];
        quiet = updateMeters (left, out) ? i : quiet;
        channels[1].vuPeak = left.vuPeak;       // both meters show the one channel

        samples[i] = toOutputSample (out * fadeStep (hostRate.fade, hostRate.ratio));
    }

    left.active = isLitAfterChunk (left.active, sounding, quiet);
}

//==============================================================================
forcedinline bool VelcroftCore::smoothParameters() noexcept
{
    // Once every value has reached the point where a step leaves it unchanged, nothing moves
    // until a target does.
    if (settled)
        return false;

    const auto k = smoothK;
    bool moved = false;

    for (int j = 0; j < numSmoothed; ++j)
    {
        const auto next = smoothed[j] - ((smoothed[j] - targets[j]) * k + 1e-20);
        moved = moved || next != smoothed[j];
        smoothed[j] = next;
    }

    settled = ! moved;
    return moved;
}

forcedinline void VelcroftCore::updateFilters() noexcept
{
    // The filters take their coefficients from the smoothed cutoff and resonance, computed
    // again only when those change: at the start of each chunk and whenever the values a
    // frame is crushed with move.
    for (int ch = 0; ch < 2; ++ch)
        channels[ch].filter.setFrequencyAndDamping (smoothed[cutoffSlot + ch], smoothed[resoSlot + ch]);
}

forcedinline void VelcroftCore::stepNoise() noexcept
{
    noise = noiseValue (nextNoise (noiseA, noiseB));
}

forcedinline juce::uint32 VelcroftCore::nextNoise (juce::uint32& a, juce::uint32& b) noexcept
{
    const auto t = b;
    a ^= t;
    b = a + t;
    return t;
}

forcedinline float VelcroftCore::noiseValue (juce::uint32 t) noexcept
{
    return (float) (juce::int32) t * 4.656612873077393e-10f;
}

forcedinline void VelcroftCore::advancePhase (Channel& c) noexcept
{
    c.phase -= 1.0;

    if (c.phase <= 0.0)
    {
        c.due = true;
        c.dueOffset = fallDue (c, c.phase);
    }
}

forcedinline double VelcroftCore::fallDue (const Channel& c, double& phase) noexcept
{
    using VelcroftCoreDetail::maxDueOffset;

    // The phase (c's, or a copy of it that a loop keeps) has just reached 0 or below: a
    // sample falls due, with this offset.
    const auto offset = limit (-phase, 0.0, maxDueOffset);
    phase += c.period + 1e-20;

    // The sample after next to fall due (at this ratio) lies this far into the sinc table.
    const auto ahead = phase + c.period;
    const auto whole = (double) (int) ahead;
    prefetchSincRow (((whole < ahead ? whole + 1.0 : whole) - ahead) * sincEntriesPerSample);
    return offset;
}

forcedinline double VelcroftCore::fallDueWide (const Channel& c, double& phase) noexcept
{
    // fallDue, rounding up in one instruction (which the baseline loops do not have: there
    // ceil would be a call).
    const auto offset = limit (-phase, 0.0, VelcroftCoreDetail::maxDueOffset);
    phase += c.period + 1e-20;
    const auto ahead = phase + c.period;
    prefetchSincRow ((__builtin_ceil (ahead) - ahead) * sincEntriesPerSample);
    return offset;
}

forcedinline void VelcroftCore::prefetchSincRow (double position) noexcept
{
    // Start fetching a sinc row before it is needed: rows lie at random in a table far larger
    // than the cache, and the next due sample's row was asked for at the previous one.
    // Limited rather than tested: a row fetched in vain costs less than the test.
   #if VELCROFT_X86_CORE
    // The processor's conversion (INT_MIN for a NaN or a value beyond an int), then the limit
    // on the index as an unsigned number: below 0 fetches the last row.
    const auto index = (unsigned) _mm_cvttsd_si32 (_mm_set_sd (position));
    const auto* row = sincRows + (size_t) std::min (index, (unsigned) (sincEntriesPerSample - 1)) * sincTaps;
   #else
    const auto* row = sincRows + (size_t) (int) limit (position, 0.0, (double) (sincEntriesPerSample - 1)) * sincTaps;
   #endif

    for (int line = 0; line < sincTaps; line += 8)
        __builtin_prefetch (row + line);
}

forcedinline double VelcroftCore::limit (double x, double low, double high) noexcept
{
    // A value that is not above low (a NaN too) becomes low. On x86 as the processor's max and
    // min, which the compiler would otherwise turn into a branch that the signal, often
    // lying at random around the limits, keeps mispredicting.
   #if VELCROFT_X86_CORE
    const auto above = _mm_max_sd (_mm_set_sd (x), _mm_set_sd (low));      // x > low ? x : low
    return _mm_cvtsd_f64 (_mm_min_sd (above, _mm_set_sd (high)));
   #else
    const auto above = x > low ? x : low;
    return above < high ? above : high;
   #endif
}

forcedinline double VelcroftCore::clip (double x) noexcept
{
    return limit (x, -1.0, 1.0);
}

forcedinline const double* VelcroftCore::getSincRow (double offset) noexcept
{
    auto position = offset * sincEntriesPerSample;

   #if VELCROFT_X86_CORE
    // One test on the row's index: the processor's conversion gives INT_MIN for a NaN or a
    // value beyond an int, and a position a hair below 0 reads row 0 as the limit would.
    const auto row = _mm_cvttsd_si32 (_mm_set_sd (position));

    if ((unsigned) row < (unsigned) sincEntriesPerSample)
        return sincRows + (size_t) row * sincTaps;
   #else
    if (position >= 0.0 && position < (double) sincEntriesPerSample)
        return sincRows + (size_t) (int) position * sincTaps;
   #endif

    jassertfalse;
    ++tableIndexFaults;
    position = position > 0.0 ? (double) (sincEntriesPerSample - 1) : 0.0;
    return sincRows + (size_t) (int) position * sincTaps;
}

forcedinline double VelcroftCore::sampleWetHistory (Channel& c, double offset) noexcept
{
    // Tap 0 is the oldest of the last 32 inputs; the sampled instant lies 15 + offset
    // samples back.
    return VectorLanes::sincDot (getSincRow (offset), c.wetHistory + historyPos - (ringLength - 1), c.wetHistory[historyPos]);
}

template <int Width>
forcedinline VectorLanes::DoublesHalf VelcroftCore::sampleWetHistories (double offset) noexcept
{
    // The same for both channels at one offset (linked): each row group is loaded once.
    return VectorLanes::sincDots<Width> (getSincRow (offset), channels[0].wetHistory + historyPos - (ringLength - 1), channels[0].wetHistory[historyPos],
                                         channels[1].wetHistory + historyPos - (ringLength - 1), channels[1].wetHistory[historyPos]);
}

forcedinline double VelcroftCore::quantise (double x, const Channel& c, float dither) noexcept
{
    if (c.level > maxQuantiserLevel)
        return x;

    // Truncation toward zero, as a 32-bit integer (the value is limited first so that the
    // conversion is always defined).
    const auto scaled = (dither * c.ditherScale + x) * c.halfLevel + 0.5;
    return (double) (juce::int32) limit (scaled, -1.0e9, 1.0e9) * c.stepSize;
}

forcedinline VectorLanes::DoublesHalf VelcroftCore::clipAndQuantiseBoth (VectorLanes::DoublesHalf x, const Channel& c, float dither) noexcept
{
    // clip and quantise on two values in the lanes of one pair (linked channels), each lane
    // as the two compute it for one value.
   #if VELCROFT_X86_CORE
    const auto clipped = _mm_min_pd (_mm_max_pd (x, _mm_set1_pd (-1.0)), _mm_set1_pd (1.0));

    if (c.level > maxQuantiserLevel)
        return clipped;

    const auto scaled = (dither * c.ditherScale + clipped) * c.halfLevel + 0.5;
    const auto limited = _mm_min_pd (_mm_max_pd (scaled, _mm_set1_pd (-1.0e9)), _mm_set1_pd (1.0e9));
    return _mm_cvtepi32_pd (_mm_cvttpd_epi32 (limited)) * c.stepSize;
   #else
    return VectorLanes::DoublesHalf { quantise (clip (x[0]), c, dither), quantise (clip (x[1]), c, dither) };
   #endif
}

VelcroftCore::FilterPlaces VelcroftCore::getFilterPlaces() const noexcept
{
    // Linked channels both follow the left channel's type and order.
    FilterPlaces places;

    for (int ch = 0; ch < 2; ++ch)
    {
        const auto& c = channels[linked ? 0 : ch];
        places.before[ch] = c.pre ? c.type : filterOff;
        places.after[ch] = c.pre ? filterOff : c.type;
    }

    return places;
}

template <int Width>
forcedinline void VelcroftCore::crushChannel (Channel& c, double x, int filterBefore, int filterAfter) noexcept
{
    advancePhase (c);

    c.rawHistory[historyPos] = x;

    auto y = clip (x * smoothed[preampSlot]);

    if (filterBefore != filterOff)
        y = c.filter.process (y, filterBefore);

    c.wetHistory[historyPos] = y;

    if (c.due)
    {
        c.due = false;
        const auto offset = c.dueOffset;
        c.steps.startStep<Width> (quantise (sampleWetHistory (c, offset), c, noise), c.step * offset);
    }

    auto out = c.steps.template nextAtStepLength<Width> (c.step);

    if (filterAfter != filterOff)
        out = c.filter.process (out, filterAfter);

    c.wet = out;
}

template <int Width>
forcedinline void VelcroftCore::crushLinkedChannels (double xLeft, double xRight, bool anyActive, const FilterPlaces& places) noexcept
{
    // Both channels follow the left channel's phase, ratio, step, level, type and order;
    // each keeps its own rings, held value, slots, filter state and coefficients.
    auto& left = channels[0];
    auto& right = channels[1];
    const double inputs[2] = { xLeft, xRight };

    advancePhase (left);

    for (int ch = 0; ch < 2; ++ch)
        channels[ch].rawHistory[historyPos] = inputs[ch];

    if (! anyActive)
    {
        // Nothing to crush: a due sample waits for the next call that gets here. The
        // crusher's inputs keep what lay there a ring's length before, as a ring would.
        for (int ch = 0; ch < 2; ++ch)
            channels[ch].wetHistory[historyPos] = channels[ch].wetHistory[historyPos - ringLength];

        // A sample still waiting to be taken recedes by one period for the next frame (only
        // here can a sample wait: everywhere else it is taken in the frame it falls due).
        if (left.due)
            left.dueOffset = juce::jmin (left.dueOffset + 1.0, VelcroftCoreDetail::maxDueOffset);

        left.wet = right.wet = 0.0;
        return;
    }

    // The Pre filter works on the raw inputs here; preamp and clip act on the sampled values.
    // Both channels take the left one's places (the same as the right's while linked; a
    // fixed index keeps them out of the loop's indexing).
    for (int ch = 0; ch < 2; ++ch)
    {
        auto& c = channels[ch];
        auto y = inputs[ch];

        if (places.before[0] != filterOff)
            y = c.filter.process (y, places.before[0]);

        c.wetHistory[historyPos] = y;
    }

    if (left.due)
    {
        left.due = false;
        const auto offset = left.dueOffset;

        const auto preamp = smoothed[preampSlot];
        const auto values = clipAndQuantiseBoth (sampleWetHistories<Width> (offset) * preamp, left, noise);
        const auto valueL = values[0], valueR = values[1];
        if (stepsInStep)
            BandLimitedStepOutput::startStepsInStep<Width> (left.steps, valueL, right.steps, valueR, left.step * offset);
        else
            BandLimitedStepOutput::startSteps<Width> (left.steps, valueL, right.steps, valueR, left.step * offset);
    }

    // Written out for each channel rather than as a loop, so that each channel's members lie
    // at fixed offsets instead of being found through the loop's index. Always inlined: left
    // to itself the compiler made it a call once the unit grew (about a third more
    // instructions at 48,000 Hz).
    auto output = [&] (Channel& c) VELCROFT_ALWAYS_INLINE_LAMBDA
    {
        auto out = c.steps.template nextAtStepLength<Width> (left.step);

        if (places.after[0] != filterOff)
            out = c.filter.process (out, places.after[0]);

        c.wet = out;
    };

    if (stepsInStep)
    {
        double outLeft, outRight;
        BandLimitedStepOutput::nextFromQueues (left.steps, outLeft, right.steps, outRight);

        if (places.after[0] != filterOff)
        {
            outLeft = left.filter.process (outLeft, places.after[0]);
            outRight = right.filter.process (outRight, places.after[0]);
        }

        left.wet = outLeft;
        right.wet = outRight;
        return;
    }

    output (left);
    output (right);
}

bool VelcroftCore::canCrushInStep (bool startActive, const FilterPlaces& places) const noexcept
{
    // What crushFramesInStep leaves out: the outputs in step (findStepsInStep), no filter, every
    // frame to be crushed, and no sample waiting from before.
    return stepsInStep && startActive && places.before[0] == filterOff && places.after[0] == filterOff
        && ! channels[0].due;
}

template <int Width>
VELCROFT_ALWAYS_INLINE void VelcroftCore::crushFramesInStep (int numFrames) noexcept
{
    // crushFrame<Width, true> over the chunk's frames, in place, for the chunk where it does
    // the least (canCrushInStep, and the smoothing settled): what it would test at every
    // frame is settled here once. The inputs go into the histories first, a stretch at a time
    // up to where the histories move back, so that the sinc sums read them in wide loads.
    auto& left = channels[0];
    auto& right = channels[1];
    const auto preamp = smoothed[preampSlot];
    const auto mix = smoothed[mixSlot];
    const auto volume = smoothed[volumeSlot];
    const auto step = left.step;
    auto phase = left.phase;
    auto noiseNowA = noiseA, noiseNowB = noiseB;
    juce::uint32 lastNoise = 0;
    using Pair = VectorLanes::DoublesHalf;
    Pair wet = {};

    for (int f = 0; f < numFrames;)
    {
        const auto stretch = juce::jmin (numFrames - f, historyLength - historyPos);
        const auto* in = frames + 2 * f;
        int k = 0;

        for (; k + 4 <= stretch; k += 4)
        {
            const auto p = historyPos + k;
            VectorLanes::splitFramesTwice (in + 2 * k, left.rawHistory + p, left.wetHistory + p, right.rawHistory + p, right.wetHistory + p);
        }

        for (; k < stretch; ++k)
        {
            const auto p = historyPos + k;
            left.rawHistory[p] = left.wetHistory[p] = in[2 * k];
            right.rawHistory[p] = right.wetHistory[p] = in[2 * k + 1];
        }

        // The histories are addressed from one index, the frames from another.
        auto* out = frames + 2 * f;
        const auto end = historyPos + stretch;

        for (int p = historyPos; p < end; ++p, out += 2)
        {
            // stepNoise, with the generator in registers; the dither value is needed only
            // when a sample falls due.
            lastNoise = nextNoise (noiseNowA, noiseNowB);

            phase -= 1.0;

            if (phase <= 0.0)
            {
                const auto offset = Width == 4 ? fallDueWide (left, phase) : fallDue (left, phase);
                const auto values = clipAndQuantiseBoth (VectorLanes::sincDotsStored<Width> (getSincRow (offset), left.wetHistory + p - (ringLength - 1),
                                                                                             right.wetHistory + p - (ringLength - 1)) * preamp,
                                                         left, noiseValue (lastNoise));
                BandLimitedStepOutput::startStepsInStep<Width> (left.steps, values[0], right.steps, values[1], step * offset);
            }

            double outLeft, outRight;
            BandLimitedStepOutput::nextFromQueues (left.steps, outLeft, right.steps, outRight);
            wet = Pair { outLeft, outRight };
            const Pair dry = { left.rawHistory[p - 21], right.rawHistory[p - 21] };
            VectorLanes::storePair (out, ((wet - dry) * mix + dry) * volume + 1e-20);
        }

        f += stretch;
        historyPos = end;

        if (historyPos == historyLength)
            moveHistoriesBack();
    }

    left.phase = phase;
    putBackChunkLoopState (noiseNowA, noiseNowB, lastNoise, wet, numFrames);
}

forcedinline void VelcroftCore::putBackChunkLoopState (juce::uint32 noiseNowA, juce::uint32 noiseNowB, juce::uint32 lastNoise,
                                                       VectorLanes::DoublesHalf wet, int numFrames) noexcept
{
    // What a chunk's own loop kept in registers: the noise generator, and after a frame, the
    // dither value and the outputs it left, as the general loop leaves them.
    noiseA = noiseNowA;
    noiseB = noiseNowB;

    if (numFrames > 0)
    {
        noise = noiseValue (lastNoise);
        channels[0].wet = wet[0];
        channels[1].wet = wet[1];
    }
}

bool VelcroftCore::canCrushUnlinked() const noexcept
{
    // What crushUnlinkedFrames leaves out: a sample waiting from before (only a linked chunk
    // can leave one).
    return ! (channels[0].due || channels[1].due);
}

template <int Width>
forcedinline void VelcroftCore::crushUnlinkedFrames (int numFrames, const FilterPlaces& places) noexcept
{
    // A call of its own, once per chunk, compiled for the sample loop's instruction set: inlined,
    // it made the compiler allocate the other loops' registers worse.
   #if VELCROFT_X86_CORE
    if constexpr (Width == 4)
        crushUnlinkedFramesWide (numFrames, places);
    else
   #endif
        crushUnlinkedFramesBase (numFrames, places);
}

void VelcroftCore::crushUnlinkedFramesBase (int numFrames, FilterPlaces places) noexcept
{
    crushUnlinkedFramesIn<2> (numFrames, places);
}

#if VELCROFT_X86_CORE
__attribute__ ((target ("avx2,fma"))) void VelcroftCore::crushUnlinkedFramesWide (int numFrames, FilterPlaces places) noexcept
{
    crushUnlinkedFramesIn<4> (numFrames, places);
}
#endif

template <int Width>
VELCROFT_ALWAYS_INLINE void VelcroftCore::crushUnlinkedFramesIn (int numFrames, FilterPlaces places) noexcept
{
    // A loop for each pair of the channels' filter places, so that no frame tests them.
    using namespace VelcroftCoreDetail;

    const auto forRight = [&] (auto leftWhere) VELCROFT_ALWAYS_INLINE_LAMBDA
    {
        constexpr auto l = decltype (leftWhere)::value;

        switch (filterWhere (places.before[1], places.after[1]))
        {
            case beforeCrusher: crushUnlinkedFramesLoop<Width, l, beforeCrusher> (numFrames, places); break;
            case afterCrusher:  crushUnlinkedFramesLoop<Width, l, afterCrusher> (numFrames, places); break;
            case nowhere:       crushUnlinkedFramesLoop<Width, l, nowhere> (numFrames, places); break;
        }
    };

    switch (filterWhere (places.before[0], places.after[0]))
    {
        case beforeCrusher: forRight (std::integral_constant<int, beforeCrusher> {}); break;
        case afterCrusher:  forRight (std::integral_constant<int, afterCrusher> {}); break;
        case nowhere:       forRight (std::integral_constant<int, nowhere> {}); break;
    }
}

template <int Width, int LeftWhere, int RightWhere>
VELCROFT_ALWAYS_INLINE void VelcroftCore::crushUnlinkedFramesLoop (int numFrames, FilterPlaces places) noexcept
{
    // crushFrame<Width, false> over the chunk's frames, in place, with the smoothing settled:
    // what is constant in the chunk (the smoothed values, filter places, step lengths) is read
    // once, the phases and the noise generator stay in registers, and the histories are
    // addressed from one index.
    auto& left = channels[0];
    auto& right = channels[1];
    const auto preamp = smoothed[preampSlot];
    const auto mix = smoothed[mixSlot];
    const auto volume = smoothed[volumeSlot];
    auto phaseLeft = left.phase, phaseRight = right.phase;
    auto noiseNowA = noiseA, noiseNowB = noiseB;
    juce::uint32 lastNoise = 0;
    using Pair = VectorLanes::DoublesHalf;
    Pair wet = {};

    // crushChannel, for one channel and the frame at history place p.
    auto crush = [&] (Channel& c, double& phase, auto where, int before, int after, double x, int p) VELCROFT_ALWAYS_INLINE_LAMBDA
    {
        constexpr auto place = decltype (where)::value;
        c.rawHistory[p] = x;
        auto y = clip (x * preamp);

        if constexpr (place == VelcroftCoreDetail::beforeCrusher)
            y = c.filter.process (y, before);

        c.wetHistory[p] = y;
        phase -= 1.0;

        if (phase <= 0.0)
        {
            const auto offset = Width == 4 ? fallDueWide (c, phase) : fallDue (c, phase);
            c.steps.template startStep<Width> (quantise (VectorLanes::sincDot (getSincRow (offset), c.wetHistory + p - (ringLength - 1), y),
                                                         c, noiseValue (lastNoise)),
                                               c.step * offset);
        }

        auto out = c.steps.template nextAtStepLength<Width> (c.step);

        if constexpr (place == VelcroftCoreDetail::afterCrusher)
            out = c.filter.process (out, after);

        return out;
    };

    auto* out = frames;

    for (int f = 0; f < numFrames;)
    {
        const auto end = historyPos + juce::jmin (numFrames - f, historyLength - historyPos);
        f += end - historyPos;

        for (int p = historyPos; p < end; ++p, out += 2)
        {
            // stepNoise, with the generator in registers.
            lastNoise = nextNoise (noiseNowA, noiseNowB);

            const auto outLeft = crush (left, phaseLeft, std::integral_constant<int, LeftWhere> {}, places.before[0], places.after[0], out[0], p);
            const auto outRight = crush (right, phaseRight, std::integral_constant<int, RightWhere> {}, places.before[1], places.after[1], out[1], p);
            wet = Pair { outLeft, outRight };
            const Pair dry = { left.rawHistory[p - 21], right.rawHistory[p - 21] };
            VectorLanes::storePair (out, ((wet - dry) * mix + dry) * volume + 1e-20);
        }

        historyPos = end;

        if (historyPos == historyLength)
            moveHistoriesBack();
    }

    left.phase = phaseLeft;
    right.phase = phaseRight;
    putBackChunkLoopState (noiseNowA, noiseNowB, lastNoise, wet, numFrames);
}

void VelcroftCore::useStepLengths (bool mono) noexcept
{
    // The step lengths change only between chunks, and with them the way each step output
    // reads its slots: that is settled here, not asked at every frame. Linked channels both
    // follow the left one's step length; a mono chunk crushes the left channel alone.
    auto& left = channels[0];
    left.steps.useStepLength (left.step);

    if (! mono)
        channels[1].steps.useStepLength (linked ? left.step : channels[1].step);
}

void VelcroftCore::findStepsInStep() noexcept
{
    // The step length changes only between chunks, and with it the way the outputs are read:
    // in step at a chunk's start, the linked outputs stay in step to its end.
    auto& left = channels[0].steps;
    stepsInStep = BandLimitedStepOutput::bringInStep (left, channels[1].steps) && left.readsQueueAt (channels[0].step);
}

template <int Width, bool Linked>
forcedinline void VelcroftCore::crushFrame (double xLeft, double xRight, bool anyActive, const FilterPlaces& places, double* mixed) noexcept
{
    stepNoise();

    if constexpr (Linked)
    {
        crushLinkedChannels<Width> (xLeft, xRight, anyActive, places);
    }
    else
    {
        crushChannel<Width> (channels[0], xLeft, places.before[0], places.after[0]);
        crushChannel<Width> (channels[1], xRight, places.before[1], places.after[1]);
    }

    // Both channels' mixes side by side, each as mixChannel computes it.
    using Pair = VectorLanes::DoublesHalf;
    const Pair wet = { channels[0].wet, channels[1].wet };
    const Pair dry = { channels[0].rawHistory[historyPos - 21], channels[1].rawHistory[historyPos - 21] };
    VectorLanes::storePair (mixed, ((wet - dry) * smoothed[mixSlot] + dry) * smoothed[volumeSlot] + 1e-20);
    advanceHistories();
}

template <int Width>
forcedinline double VelcroftCore::crushMonoFrame (double x, const FilterPlaces& places) noexcept
{
    stepNoise();
    crushChannel<Width> (channels[0], x, places.before[0], places.after[0]);
    const auto out = mixChannel (channels[0]);

    // The right channel's histories keep what lay there a ring's length before, as rings would.
    auto& right = channels[1];
    right.rawHistory[historyPos] = right.rawHistory[historyPos - ringLength];
    right.wetHistory[historyPos] = right.wetHistory[historyPos - ringLength];
    advanceHistories();
    return out;
}

forcedinline void VelcroftCore::advanceHistories() noexcept
{
    if (++historyPos == historyLength)
        moveHistoriesBack();
}

void VelcroftCore::moveHistoriesBack() noexcept
{
    for (auto& c : channels)
    {
        std::copy (c.rawHistory + historyLength - ringLength, c.rawHistory + historyLength, c.rawHistory);
        std::copy (c.wetHistory + historyLength - ringLength, c.wetHistory + historyLength, c.wetHistory);
    }

    historyPos = ringLength;
}

forcedinline double VelcroftCore::mixChannel (const Channel& c) const noexcept
{
    // The dry tap is the input 21 samples back, aligned with the crusher's delay.
    const auto dry = c.rawHistory[historyPos - 21];
    return ((c.wet - dry) * smoothed[mixSlot] + dry) * smoothed[volumeSlot] + 1e-20;
}

forcedinline bool VelcroftCore::updateMeters (Channel& c, double output) noexcept
{
    c.vuPeak = juce::jmax (c.vuPeak, getVuPosition (output));
    c.vuPeak = vuDecay * c.vuPeak + 1e-20;
    c.envelope = juce::jmax (std::abs (output), c.envelope * (vuDecay + 1e-20));
    return c.envelope < 2e-5;
}

forcedinline bool VelcroftCore::isLitAfterChunk (bool litBefore, int lastSoundingInput, int lastQuietOutput) noexcept
{
    // Within a sample the light goes on with its input before a quiet output puts it out.
    return lastSoundingInput > lastQuietOutput || (lastQuietOutput < 0 && litBefore);
}

forcedinline int VelcroftCore::lastSounding (const float* samples, int count) noexcept
{
    // From the end: with sound, the first place tried is usually the answer.
    int i = count - 1;

    while (i >= 0 && ! isSounding (samples[i]))
        --i;

    return i;
}

forcedinline bool VelcroftCore::isSounding (float x) noexcept
{
    const auto magnitude = std::abs (x);
    return (magnitude > 0.0f) & (magnitude <= std::numeric_limits<float>::max());
}

template <int Width>
forcedinline void VelcroftCore::copyFinite (const float* samples, double* out, int count) noexcept
{
    // Four at a time (VectorLanes::copyFiniteFour), the rest one by one.
    int i = 0;

    for (; i + 4 <= count; i += 4)
        VectorLanes::copyFiniteFour<Width> (samples + i, out + i);

    for (; i < count; ++i)
        out[i] = finiteOrZero (samples[i]);
}

template <int Width>
forcedinline void VelcroftCore::copyFiniteFrames (const float* left, const float* right, double* frames, int count) noexcept
{
    // Four frames at a time (VectorLanes::copyFiniteFrames), the rest one by one.
    int i = 0;

    for (; i + 4 <= count; i += 4)
        VectorLanes::copyFiniteFrames<Width> (left + i, right + i, frames + 2 * i);

    for (; i < count; ++i)
    {
        frames[2 * i] = finiteOrZero (left[i]);
        frames[2 * i + 1] = finiteOrZero (right[i]);
    }
}

forcedinline double VelcroftCore::finiteOrZero (float x) noexcept
{
    // A sample that is not a finite number counts as silence.
    return std::isfinite (x) ? (double) x : 0.0;
}

template <typename Lanes>
forcedinline VectorLanes::FloatsFor<Lanes> VelcroftCore::toOutputSamples (Lanes x) noexcept
{
    // What toOutputSample does, in every lane.
    using Floats = VectorLanes::FloatsFor<Lanes>;
    constexpr auto largest = (double) std::numeric_limits<float>::max();
    x = -largest < x ? x : Lanes {} - largest;
    x = x < largest ? x : Lanes {} + largest;
    const auto f = __builtin_convertvector (x, Floats);
    return VectorLanes::abs (f) < std::numeric_limits<float>::min() ? Floats {} : f;
}

forcedinline float VelcroftCore::toOutputSample (double x) noexcept
{
    // Within the float range, and never a subnormal number.
    constexpr auto largest = (double) std::numeric_limits<float>::max();
    const auto f = (float) std::min (largest, std::max (-largest, x));
    return std::abs (f) < std::numeric_limits<float>::min() ? 0.0f : f;
}
