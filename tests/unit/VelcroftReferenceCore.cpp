#include "VelcroftReferenceCore.h"

#include "dsp/BandLimitedStep.h"
#include "dsp/VelcroftCore.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

namespace VelcroftReferenceCoreDetail
{
constexpr double pi = 3.14159265358979323846;

/** The largest offset a due sample may have: just below one sample period, so that the
    sinc and step table indices it yields stay inside their tables. */
const double maxDueOffset = std::nextafter (1.0, 0.0);
} // namespace VelcroftReferenceCoreDetail

//==============================================================================
VelcroftReferenceCore::VelcroftReferenceCore (juce::AudioProcessor* ownerPlugin)
    : QuillonEffectCore (ownerPlugin),
      sincTable (getSincTable()),
      stepTable (BandLimitedStep::getTable())
{
    setSampleRateContext (hostRate, 44100.0);
    setSampleRate (44100.0f);
}

VelcroftReferenceCore::~VelcroftReferenceCore() = default;

std::vector<double> VelcroftReferenceCore::buildSincTable()
{
    using VelcroftReferenceCoreDetail::pi;
    std::vector<double> table ((size_t) sincTableSize);

    // A sinc with 16,384 entries per sample period and 16 periods on each side, under a
    // Blackman window over the whole table.
    for (int i = 0; i < sincTableSize; ++i)
    {
        const auto d = (double) (i - sincTableSize / 2);
        const auto s = (i == sincTableSize / 2) ? 1.0 : std::sin (d * pi / sincEntriesPerSample) / (d * pi) * sincEntriesPerSample;
        const auto w = 0.42 - 0.5 * std::cos (2.0 * pi * i / sincTableSize) + 0.08 * std::cos (4.0 * pi * i / sincTableSize);
        table[(size_t) i] = s * w;
    }

    return table;
}

const double* VelcroftReferenceCore::getSincTable()
{
    static const std::vector<double> table = buildSincTable();
    return table.data();
}

double VelcroftReferenceCore::Filter::process (double in, double f, double q, double g, int type) noexcept
{
    const double u = g * in;

    for (int pass = 0; pass < 2; ++pass)
    {
        low = low + f * band + 1e-20;
        high = u - low - q * band + 1e-20;
        band = band + f * high + 1e-20;
    }

    notch = high + low + 1e-20;

    switch (type)
    {
        case 0:     return low;
        case 1:     return band;
        case 2:     return high;
        default:    return notch;
    }
}

//==============================================================================
void VelcroftReferenceCore::updateStep (Channel& c) noexcept
{
    c.step = c.linkFreq ? c.ratio * 128.0 : 128.0;
}

//==============================================================================
void VelcroftReferenceCore::prepare (int maximumBlockSize)
{
    maxChunk = juce::jmax (1, maximumBlockSize);
}

void VelcroftReferenceCore::setSampleRate (float sampleRate)
{
    const auto rate = (sampleRate > 0.0f && std::isfinite (sampleRate)) ? (double) sampleRate : hostRate.rate;
    setSampleRateContext (hostRate, rate);

    auto& left = channels[0];
    auto& right = channels[1];

    // Only the six supported rates have converters; any other rate runs the crusher at
    // the host rate.
    resampling = ReferenceRateConverter::isSupportedRate (rate) && rate != 44100.0;

    for (auto& c : channels)
    {
        if (resampling)
        {
            c.inConverter = std::make_unique<ReferenceRateConverter> ((int) rate, 44100);
            c.outConverter = std::make_unique<ReferenceRateConverter> (44100, (int) rate);
        }
        else
        {
            c.inConverter.reset();
            c.outConverter.reset();
        }

        std::fill (std::begin (c.converterOut), std::end (c.converterOut), 0.0);
        std::fill (std::begin (c.outRing), std::end (c.outRing), 0.0);
        c.active = false;
        c.envelope = 0.0;
    }

    writePos = 4;
    readPos = 0;
    smoothK = hostRate.k * 0.002;
    vuDecay = 1.0 - hostRate.k * 0.0001;

    preampTarget = VelcroftCore::preampGainFromParameter (raw[VelcroftParameters::preamp]);
    left.ratio = VelcroftCore::frequencyRatioFromParameter (raw[VelcroftParameters::leftFrequency]);
    left.linkFreq = raw[VelcroftParameters::leftLinkFreq] > 0.5;
    updateStep (left);

    if (! linked)
    {
        right.ratio = VelcroftCore::frequencyRatioFromParameter (raw[VelcroftParameters::rightFrequency]);
        right.linkFreq = raw[VelcroftParameters::rightLinkFreq] > 0.5;
        updateStep (right);
    }

    left.cutoffTarget = VelcroftCore::cutoffFromParameter (raw[VelcroftParameters::leftCutoff]);

    if (! linked)
        right.cutoffTarget = VelcroftCore::cutoffFromParameter (raw[VelcroftParameters::rightCutoff]);

    preamp = preampTarget;
    mix = raw[VelcroftParameters::fx];
    volume = volumeTarget;

    for (auto& c : channels)
    {
        c.cutoff = c.cutoffTarget;
        c.reso = c.resoTarget;
        c.sqrtReso = std::sqrt (juce::jmax (0.0, c.reso));
    }
}

//==============================================================================
void VelcroftReferenceCore::setParameter (int index, float value)
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
        case VelcroftParameters::preamp:           preampTarget = VelcroftCore::preampGainFromParameter (v); break;
        case VelcroftParameters::leftBits:         left.level = VelcroftCore::leftLevelFromParameter (v); break;
        case VelcroftParameters::leftFrequency:    left.ratio = VelcroftCore::frequencyRatioFromParameter (v); updateStep (left); break;
        case VelcroftParameters::leftLinkFreq:     left.linkFreq = v > 0.5; updateStep (left); break;

        case VelcroftParameters::leftFilterType:
            left.type = VelcroftCore::filterTypeFromParameter (v);
            if (linked) right.type = left.type;
            break;

        case VelcroftParameters::leftCutoff:
            left.cutoffTarget = VelcroftCore::cutoffFromParameter (v);
            if (linked) right.cutoffTarget = left.cutoffTarget;
            break;

        case VelcroftParameters::leftReso:
            left.resoTarget = VelcroftCore::dampingFromParameter (v);
            if (linked) right.resoTarget = left.resoTarget;
            break;

        // While linked, the right channel's values are only recorded; unlinking applies them.
        case VelcroftParameters::rightBits:        if (! linked) right.level = VelcroftCore::rightLevelFromParameter (v); break;
        case VelcroftParameters::rightFrequency:   if (! linked) { right.ratio = VelcroftCore::frequencyRatioFromParameter (v); updateStep (right); } break;
        case VelcroftParameters::rightLinkFreq:    if (! linked) { right.linkFreq = v > 0.5; updateStep (right); } break;
        case VelcroftParameters::rightFilterType:  if (! linked) right.type = VelcroftCore::filterTypeFromParameter (v); break;
        case VelcroftParameters::rightCutoff:      if (! linked) right.cutoffTarget = VelcroftCore::cutoffFromParameter (v); break;
        case VelcroftParameters::rightReso:        if (! linked) right.resoTarget = VelcroftCore::dampingFromParameter (v); break;

        case VelcroftParameters::linkChannels:     if (v > 0.5) link(); else unlink(); break;
        case VelcroftParameters::fx:               break; // raw[fx] is the mix target
        case VelcroftParameters::outputVolume:     volumeTarget = VelcroftCore::volumeFromParameter (v); break;
        case VelcroftParameters::leftFilterOrder:  left.pre = v > 0.5; break;
        case VelcroftParameters::rightFilterOrder: right.pre = v > 0.5; break;
        default:                                   break;
    }
}

void VelcroftReferenceCore::link() noexcept
{
    auto& left = channels[0];
    auto& right = channels[1];

    // The smoothed values are copied too, so both filters move together at once. Level,
    // ratio, step and order are not copied: the linked chain reads the left ones.
    linked = true;
    right.cutoffTarget = left.cutoffTarget;
    right.resoTarget = left.resoTarget;
    right.cutoff = left.cutoff;
    right.reso = left.reso;
    right.type = left.type;
}

void VelcroftReferenceCore::unlink() noexcept
{
    auto& right = channels[1];

    // The right channel is rebuilt from its recorded values, taking effect without gliding.
    linked = false;
    right.ratio = VelcroftCore::frequencyRatioFromParameter (raw[VelcroftParameters::rightFrequency]);
    right.linkFreq = raw[VelcroftParameters::rightLinkFreq] > 0.5;
    updateStep (right);
    right.level = VelcroftCore::rightLevelFromParameter (raw[VelcroftParameters::rightBits]);
    right.cutoffTarget = right.cutoff = VelcroftCore::cutoffFromParameter (raw[VelcroftParameters::rightCutoff]);
    right.resoTarget = right.reso = VelcroftCore::dampingFromParameter (raw[VelcroftParameters::rightReso]);
    right.type = VelcroftCore::filterTypeFromParameter (raw[VelcroftParameters::rightFilterType]);
}

//==============================================================================
double VelcroftReferenceCore::getHeldValue (int channel) const noexcept
{
    return channels[channel == 1 ? 1 : 0].held;
}

void VelcroftReferenceCore::getLeds (bool& left, bool& right) const noexcept
{
    left = ledLeft.load (std::memory_order_relaxed);
    right = ledRight.load (std::memory_order_relaxed);
}

//==============================================================================
void VelcroftReferenceCore::processStereo (float** left, float** right, int count)
{
    if (left != nullptr && right != nullptr && *left != nullptr && *right != nullptr)
    {
        auto* l = *left;
        auto* r = *right;

        for (int done = 0; done < count;)
        {
            const auto n = juce::jmin (count - done, maxChunk);
            renderStereo (l + done, r + done, n);
            done += n;
        }
    }

    publishVuLevels ((float) channels[0].vuPeak, (float) channels[1].vuPeak);
    ledLeft.store (channels[0].active, std::memory_order_relaxed);
    ledRight.store (channels[1].active, std::memory_order_relaxed);
}

void VelcroftReferenceCore::processMono (float** channel, int count)
{
    if (channel != nullptr && *channel != nullptr)
    {
        auto* samples = *channel;

        for (int done = 0; done < count;)
        {
            const auto n = juce::jmin (count - done, maxChunk);
            renderMono (samples + done, n);
            done += n;
        }
    }

    publishVuLevels ((float) channels[0].vuPeak, (float) channels[1].vuPeak);
    ledLeft.store (channels[0].active, std::memory_order_relaxed);
    ledRight.store (channels[1].active, std::memory_order_relaxed);
}

void VelcroftReferenceCore::renderStereo (float* leftSamples, float* rightSamples, int count) noexcept
{
    auto& left = channels[0];
    auto& right = channels[1];

    for (int i = 0; i < count; ++i)
    {
        smoothParameters();

        // A sample that is not a finite number counts as silence.
        const auto xL = std::isfinite (leftSamples[i]) ? (double) leftSamples[i] : 0.0;
        const auto xR = std::isfinite (rightSamples[i]) ? (double) rightSamples[i] : 0.0;

        if (xL != 0.0) left.active = true;
        if (xR != 0.0) right.active = true;

        double outL, outR;

        if (resampling)
        {
            double inL[ReferenceRateConverter::maxOutputsPerPush], inR[ReferenceRateConverter::maxOutputsPerPush];
            const auto delivered = left.inConverter->pushSample (xL, inL);
            right.inConverter->pushSample (xR, inR);

            if (delivered > 0)
            {
                stepNoise();

                if (linked)
                {
                    crushLinkedChannels (inL[0], inR[0]);
                }
                else
                {
                    crushChannel (left, inL[0]);
                    crushChannel (right, inR[0]);
                }

                advanceRing();

                const auto produced = left.outConverter->pushSample (mixChannel (left), left.converterOut);
                right.outConverter->pushSample (mixChannel (right), right.converterOut);

                for (int j = 0; j < produced; ++j)
                {
                    left.outRing[writePos] = left.converterOut[j];
                    right.outRing[writePos] = right.converterOut[j];
                    writePos = writePos + 1 < outRingLength ? writePos + 1 : 0;
                }
            }

            outL = left.outRing[readPos];
            outR = right.outRing[readPos];
            readPos = readPos + 1 < outRingLength ? readPos + 1 : 0;
        }
        else
        {
            stepNoise();

            if (linked)
            {
                crushLinkedChannels (xL, xR);
            }
            else
            {
                crushChannel (left, xL);
                crushChannel (right, xR);
            }

            advanceRing();
            outL = mixChannel (left);
            outR = mixChannel (right);
        }

        updateMeters (left, outL);
        updateMeters (right, outR);

        const auto gain = fadeStep (hostRate.fade, hostRate.ratio);
        leftSamples[i] = toOutputSample (outL * gain);
        rightSamples[i] = toOutputSample (outR * gain);
    }
}

void VelcroftReferenceCore::renderMono (float* samples, int count) noexcept
{
    auto& left = channels[0];

    for (int i = 0; i < count; ++i)
    {
        smoothParameters();

        const auto x = std::isfinite (samples[i]) ? (double) samples[i] : 0.0;

        if (x != 0.0)
            left.active = true;

        double out;

        if (resampling)
        {
            double in[ReferenceRateConverter::maxOutputsPerPush];

            if (left.inConverter->pushSample (x, in) > 0)
            {
                stepNoise();
                crushChannel (left, in[0]);
                advanceRing();

                const auto produced = left.outConverter->pushSample (mixChannel (left), left.converterOut);

                for (int j = 0; j < produced; ++j)
                {
                    left.outRing[writePos] = left.converterOut[j];
                    writePos = writePos + 1 < outRingLength ? writePos + 1 : 0;
                }
            }

            out = left.outRing[readPos];
            readPos = readPos + 1 < outRingLength ? readPos + 1 : 0;
        }
        else
        {
            stepNoise();
            crushChannel (left, x);
            advanceRing();
            out = mixChannel (left);
        }

        updateMeters (left, out);
        channels[1].vuPeak = left.vuPeak;

        samples[i] = toOutputSample (out * fadeStep (hostRate.fade, hostRate.ratio));
    }
}

//==============================================================================
void VelcroftReferenceCore::smoothParameters() noexcept
{
    const auto k = smoothK;

    preamp = preamp - ((preamp - preampTarget) * k + 1e-20);

    for (auto& c : channels)
    {
        c.cutoff = c.cutoff - ((c.cutoff - c.cutoffTarget) * k + 1e-20);
        c.reso = c.reso - ((c.reso - c.resoTarget) * k + 1e-20);
    }

    mix = mix - ((mix - raw[VelcroftParameters::fx]) * k + 1e-20);
    volume = volume - ((volume - volumeTarget) * k + 1e-20);

    for (auto& c : channels)
        c.sqrtReso = std::sqrt (c.reso > 0.0 ? c.reso : 0.0);
}

void VelcroftReferenceCore::stepNoise() noexcept
{
    const auto t = noiseB;
    noiseA ^= t;
    noiseB = noiseA + t;
    noise = (float) (juce::int32) t * 4.656612873077393e-10f;
}

void VelcroftReferenceCore::advancePhase (Channel& c) noexcept
{
    using VelcroftReferenceCoreDetail::maxDueOffset;

    c.phase -= 1.0;

    // A sample still waiting to be taken recedes by one period.
    if (c.due)
        c.dueOffset = juce::jmin (c.dueOffset + 1.0, maxDueOffset);

    if (c.phase <= 0.0)
    {
        c.due = true;
        c.dueOffset = juce::jmin (juce::jmax (0.0, -c.phase), maxDueOffset);
        c.phase += 1.0 / c.ratio + 1e-20;
    }
}

double VelcroftReferenceCore::clip (double x) noexcept
{
    // A value that is not >= -1 (a NaN too) becomes -1.
    return x >= -1.0 ? (x > 1.0 ? 1.0 : x) : -1.0;
}

double VelcroftReferenceCore::sampleWetRing (Channel& c, double offset) noexcept
{
    auto position = offset * sincEntriesPerSample;

    if (! (position >= 0.0 && position < (double) sincEntriesPerSample))
    {
        position = position > 0.0 ? (double) (sincEntriesPerSample - 1) : 0.0;
    }

    const auto base = (int) position;

    // j = 0 is the oldest of the last 32 inputs; the sampled instant lies 15 + offset
    // samples back.
    const auto* sinc = sincTable + base;
    const auto* ring = c.wetRing + ringIndex + 1;
    double acc = 0.0;

    for (int j = 0; j < ringLength; ++j)
        acc = acc + sinc[j * sincEntriesPerSample] * ring[j] + 1e-20;

    return acc;
}

double VelcroftReferenceCore::quantise (double x, double level) const noexcept
{
    if (level > maxQuantiserLevel)
        return x;

    const auto s = level * 0.5;

    // Truncation toward zero, as a 32-bit integer (the value is limited first so that the
    // conversion is always defined).
    const auto scaled = juce::jlimit (-1.0e9, 1.0e9, ((double) noise / (2.0 * level) + x) * s + 0.5);
    return (double) (juce::int32) scaled / s;
}

void VelcroftReferenceCore::startStep (Channel& c, double value, double position) noexcept
{
    c.stepDelta[c.slotIndex] = value - c.held;
    c.stepPos[c.slotIndex] = position;
    c.held = value;
    c.slotIndex = c.slotIndex + 1 < numSlots ? c.slotIndex + 1 : 0;
}

double VelcroftReferenceCore::bandLimitedOutput (Channel& c, double step) noexcept
{
    constexpr int lastIndex = BandLimitedStep::tableSize - 2;
    const auto limit = BandLimitedStep::tableSize - step - 2.0;
    auto out = c.held;

    for (int s = 0; s < numSlots; ++s)
    {
        auto p = c.stepPos[s];

        if (! (p >= 0.0 && p < (double) (lastIndex + 1)))
        {
            p = p > 0.0 ? (double) lastIndex : 0.0;
        }

        const auto i = (int) p;

        const auto t = stepTable[i] + (p - i) * (stepTable[i + 1] - stepTable[i]);
        out = out + (t * c.stepDelta[s] + 1e-20);
        c.stepPos[s] = p >= limit ? (double) lastIndex : p + step;
    }

    return out;
}

void VelcroftReferenceCore::crushChannel (Channel& c, double x) noexcept
{
    advancePhase (c);

    c.rawRing[ringIndex] = c.rawRing[ringIndex + ringLength] = x;

    auto y = clip (x * preamp);
    const auto filtered = c.type != filterOff;

    if (filtered && c.pre)
        y = c.filter.process (y, c.cutoff, c.reso, c.sqrtReso, c.type);

    c.wetRing[ringIndex] = c.wetRing[ringIndex + ringLength] = y;

    if (c.due)
    {
        c.due = false;
        const auto offset = c.dueOffset;
        startStep (c, quantise (sampleWetRing (c, offset), c.level), c.step * offset);
    }

    auto out = bandLimitedOutput (c, c.step);

    if (filtered && ! c.pre)
        out = c.filter.process (out, c.cutoff, c.reso, c.sqrtReso, c.type);

    c.wet = out;
}

void VelcroftReferenceCore::crushLinkedChannels (double xLeft, double xRight) noexcept
{
    // Both channels follow the left channel's phase, ratio, step, level, type and order;
    // each keeps its own rings, held value, slots, filter state and coefficients.
    auto& left = channels[0];
    auto& right = channels[1];
    const double inputs[2] = { xLeft, xRight };

    advancePhase (left);

    for (int ch = 0; ch < 2; ++ch)
        channels[ch].rawRing[ringIndex] = channels[ch].rawRing[ringIndex + ringLength] = inputs[ch];

    if (! left.active && ! right.active)
    {
        // Nothing to crush: a due sample waits for the next call that gets here.
        left.wet = right.wet = 0.0;
        return;
    }

    const auto type = left.type;
    const auto filtered = type != filterOff;
    const auto pre = left.pre;

    // The Pre filter works on the raw inputs here; preamp and clip act on the sampled values.
    for (int ch = 0; ch < 2; ++ch)
    {
        auto& c = channels[ch];
        auto y = inputs[ch];

        if (filtered && pre)
            y = c.filter.process (y, c.cutoff, c.reso, c.sqrtReso, type);

        c.wetRing[ringIndex] = c.wetRing[ringIndex + ringLength] = y;
    }

    if (left.due)
    {
        left.due = false;
        const auto offset = left.dueOffset;

        for (auto& c : channels)
            startStep (c, quantise (clip (sampleWetRing (c, offset) * preamp), left.level), left.step * offset);
    }

    for (auto& c : channels)
    {
        auto out = bandLimitedOutput (c, left.step);

        if (filtered && ! pre)
            out = c.filter.process (out, c.cutoff, c.reso, c.sqrtReso, type);

        c.wet = out;
    }
}

void VelcroftReferenceCore::advanceRing() noexcept
{
    ringIndex = ringIndex + 1 < ringLength ? ringIndex + 1 : 0;
}

double VelcroftReferenceCore::mixChannel (const Channel& c) const noexcept
{
    // The dry tap is the input 21 samples back, aligned with the crusher's delay.
    const auto dry = c.rawRing[ringIndex + 10];
    return ((c.wet - dry) * mix + dry) * volume + 1e-20;
}

void VelcroftReferenceCore::updateMeters (Channel& c, double output) noexcept
{
    c.vuPeak = juce::jmax (c.vuPeak, getVuPosition (output));
    c.vuPeak = vuDecay * c.vuPeak + 1e-20;
    c.envelope = juce::jmax (std::abs (output), c.envelope * (vuDecay + 1e-20));

    if (c.envelope < 2e-5)
        c.active = false;
}

float VelcroftReferenceCore::toOutputSample (double x) noexcept
{
    // Within the float range, and never a subnormal number.
    const auto f = (float) juce::jlimit ((double) -std::numeric_limits<float>::max(),
                                         (double) std::numeric_limits<float>::max(), x);
    return std::abs (f) < std::numeric_limits<float>::min() ? 0.0f : f;
}
