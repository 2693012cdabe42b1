#include "host/AudioEffect.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace AudioEffectDetail
{
    AudioEffect* effectOf (vst::AEffect* e) noexcept
    {
        return e != nullptr ? static_cast<AudioEffect*> (e->object) : nullptr;
    }

    bool isInt32Size (vst::IntPtr value) noexcept
    {
        return value > 0 && value <= std::numeric_limits<vst::int32>::max();
    }

    /** Writes the decimal digits of a non-negative number at out; returns the end. */
    char* writeDigits (char* out, std::int64_t number) noexcept
    {
        char reversed[24];
        int count = 0;

        do
        {
            reversed[count++] = (char) ('0' + number % 10);
            number /= 10;
        }
        while (number > 0);

        while (count > 0)
            *out++ = reversed[--count];

        return out;
    }

    constexpr const char* hugeText = "Huge!";
}

//==============================================================================
AudioEffect::AudioEffect (vst::HostCallback hostCallback, vst::int32 programs, vst::int32 params)
    : audioMaster (hostCallback),
      numPrograms (programs > 0 ? programs : 0),
      numParams (params > 0 ? params : 0)
{
    cEffect = vst::AEffect {};
    cEffect.magic = vst::effectMagic;
    cEffect.dispatcher = dispatchEffectClass;
    cEffect.process = processClass;
    cEffect.setParameter = setParameterClass;
    cEffect.getParameter = getParameterClass;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = vst::effFlagsCanReplacing;
    cEffect.ioRatio = 1.0f;
    cEffect.object = this;
    cEffect.uniqueID = vst::fourCharCode ('N', 'o', 'E', 'f');
    cEffect.version = 1;
    cEffect.processReplacing = processClassReplacing;
    cEffect.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect() = default;

//==============================================================================
vst::IntPtr AudioEffect::dispatchEffectClass (vst::AEffect* e, vst::int32 opcode, vst::int32 index,
                                              vst::IntPtr value, void* ptr, float opt)
{
    auto* effect = AudioEffectDetail::effectOf (e);

    if (effect == nullptr)
        return 0;

    if (opcode == vst::effClose)
    {
        effect->dispatcher (opcode, index, value, ptr, opt);
        e->object = nullptr;
        delete effect;   // the host owns the instance through the record and ends it here
        return 1;
    }

    return effect->dispatcher (opcode, index, value, ptr, opt);
}

float AudioEffect::getParameterClass (vst::AEffect* e, vst::int32 index)
{
    auto* effect = AudioEffectDetail::effectOf (e);
    return effect != nullptr && effect->isParameterIndex (index) ? effect->getParameter (index) : 0.0f;
}

void AudioEffect::setParameterClass (vst::AEffect* e, vst::int32 index, float value)
{
    if (auto* effect = AudioEffectDetail::effectOf (e))
        if (effect->isParameterIndex (index))
            effect->setParameter (index, value);
}

void AudioEffect::processClass (vst::AEffect* e, float** inputs, float** outputs, vst::int32 sampleFrames)
{
    if (auto* effect = AudioEffectDetail::effectOf (e))
        effect->process (inputs, outputs, sampleFrames);
}

void AudioEffect::processClassReplacing (vst::AEffect* e, float** inputs, float** outputs, vst::int32 sampleFrames)
{
    if (auto* effect = AudioEffectDetail::effectOf (e))
        effect->processReplacing (inputs, outputs, sampleFrames);
}

void AudioEffect::processClassDoubleReplacing (vst::AEffect* e, double** inputs, double** outputs, vst::int32 sampleFrames)
{
    if (auto* effect = AudioEffectDetail::effectOf (e))
        effect->processDoubleReplacing (inputs, outputs, sampleFrames);
}

//==============================================================================
vst::IntPtr AudioEffect::dispatcher (vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt)
{
    // Parameter texts: refused without a buffer, empty for an index out of range.
    const auto writeParameterText = [this, index, ptr] (vst::int32 bytes, auto write) -> vst::IntPtr
    {
        if (ptr == nullptr)
            return 0;

        if (! isParameterIndex (index))
            writeEmptyText (static_cast<char*> (ptr));
        else
            writeLimitedText (ptr, bytes, [this, index, &write] (char* text) { (this->*write) (index, text); });

        return 0;
    };

    switch (opcode)
    {
        case vst::effOpen:              open(); return 0;
        case vst::effClose:             close(); return 0;

        case vst::effSetProgram:
            if (isProgramIndex (value))
                setProgram ((vst::int32) value);
            return 0;

        case vst::effGetProgram:        return getProgram();

        case vst::effSetProgramName:
            if (ptr != nullptr)
                readLimitedText (ptr, programNameBytes, [this] (char* text) { setProgramName (text); return 0; });
            return 0;

        case vst::effGetProgramName:
            if (ptr != nullptr)
                writeLimitedText (ptr, programNameBytes, [this] (char* text) { getProgramName (text); });
            return 0;

        case vst::effGetParamLabel:     return writeParameterText (paramLabelBytes,   &AudioEffect::getParameterLabel);
        case vst::effGetParamDisplay:   return writeParameterText (paramDisplayBytes, &AudioEffect::getParameterDisplay);
        case vst::effGetParamName:      return writeParameterText (paramNameBytes,    &AudioEffect::getParameterName);

        case vst::effSetSampleRate:
            if (opt > 0.0f && std::isfinite (opt))
                setSampleRate (opt);
            return 0;

        case vst::effSetBlockSize:
            if (AudioEffectDetail::isInt32Size (value))
                setBlockSize ((vst::int32) value);
            return 0;

        case vst::effMainsChanged:
            if (value == 0)
                suspend();
            else
                resume();
            return 0;

        case vst::effEditGetRect:
            if (ptr == nullptr)
                return 0;
            *static_cast<vst::ERect**> (ptr) = nullptr;
            return editor != nullptr && editor->getRect (static_cast<vst::ERect**> (ptr)) ? 1 : 0;

        case vst::effEditOpen:
            return editor != nullptr && editor->open (ptr) ? 1 : 0;

        case vst::effEditClose:
            if (editor != nullptr)
                editor->close();
            return 0;

        case vst::effEditIdle:
            if (editor != nullptr)
                editor->idle();
            return 0;

        case vst::effIdentify:          return vst::fourCharCode ('N', 'v', 'E', 'f');

        case vst::effGetChunk:
        {
            if (ptr == nullptr)
                return 0;

            auto** data = static_cast<void**> (ptr);
            *data = nullptr;
            const auto size = getChunk (data, index != 0);

            if (size > 0 && *data != nullptr)
                return size;

            *data = nullptr;
            return 0;
        }

        case vst::effSetChunk:
            if (ptr == nullptr || ! AudioEffectDetail::isInt32Size (value))
                return 0;
            return setChunk (ptr, (vst::int32) value, index != 0);

        default:
            return 0;
    }
}

//==============================================================================
void AudioEffect::setParameterAutomated (vst::int32 index, float value)
{
    setParameter (index, value);
    callHost (vst::audioMasterAutomate, index, 0, nullptr, value);
}

vst::int32 AudioEffect::getMasterVersion()
{
    const auto version = (vst::int32) callHost (vst::audioMasterVersion);
    return version != 0 ? version : 1;
}

vst::int32 AudioEffect::getCurrentUniqueId()
{
    return (vst::int32) callHost (vst::audioMasterCurrentId);
}

void AudioEffect::masterIdle()
{
    callHost (vst::audioMasterIdle);
}

bool AudioEffect::isInputConnected (vst::int32 index)
{
    return audioMaster != nullptr && callHost (vst::audioMasterPinConnected, index, 0) == 0;
}

bool AudioEffect::isOutputConnected (vst::int32 index)
{
    return audioMaster != nullptr && callHost (vst::audioMasterPinConnected, index, 1) == 0;
}

//==============================================================================
void AudioEffect::dB2string (float value, char* text, vst::int32 maxLen)
{
    if (! (value > 0.0f))
        copyText (text, "-oo", maxLen);
    else
        float2string ((float) (20.0 * std::log10 ((double) value)), text, maxLen);
}

void AudioEffect::Hz2string (float samples, char* text, vst::int32 maxLen)
{
    float2string (samples != 0.0f ? sampleRate / samples : 0.0f, text, maxLen);
}

void AudioEffect::ms2string (float samples, char* text, vst::int32 maxLen)
{
    float2string ((float) ((double) samples * 1000.0 / (double) sampleRate), text, maxLen);
}

void AudioEffect::float2string (float value, char* text, vst::int32 maxLen)
{
    constexpr int budget = 8;   // characters, sign and point included
    const double v = value;
    const bool negative = v < 0.0;
    const double magnitude = std::abs (v);

    if (std::isnan (v) || magnitude > (negative ? 9999999.0 : 99999999.0))
    {
        copyText (text, AudioEffectDetail::hugeText, maxLen);
        return;
    }

    char result[32];
    char* out = result;

    if (negative)
        *out++ = '-';

    // Every digit of the integer part stays, even where they and the point need a ninth character.
    const double integerPart = std::floor (magnitude);
    out = AudioEffectDetail::writeDigits (out, (std::int64_t) integerPart);
    *out++ = '.';

    // A float's fraction times 10^k (k <= 7) is exact in a double, so floor cuts without rounding.
    const auto fractionDigits = budget - (int) (out - result);

    if (fractionDigits > 0)
    {
        auto fraction = (std::int64_t) std::floor ((magnitude - integerPart) * std::pow (10.0, fractionDigits));

        for (int i = fractionDigits; --i >= 0;)
        {
            out[i] = (char) ('0' + fraction % 10);
            fraction /= 10;
        }

        out += fractionDigits;
    }

    *out = 0;
    copyText (text, result, maxLen);
}

void AudioEffect::int2string (vst::int32 value, char* text, vst::int32 maxLen)
{
    if (value >= 100000000)
    {
        copyText (text, AudioEffectDetail::hugeText, maxLen);
        return;
    }

    char result[16];
    char* out = result;
    std::int64_t number = value;

    if (number < 0)
    {
        *out++ = '-';
        number = -number;
    }

    *AudioEffectDetail::writeDigits (out, number) = 0;
    copyText (text, result, maxLen);
}

//==============================================================================
void AudioEffect::setEditor (std::unique_ptr<AEffEditor> newEditor)
{
    editor = std::move (newEditor);
    setFlag (vst::effFlagsHasEditor, editor != nullptr);
}

void AudioEffect::copyText (char* dest, const char* source, vst::int32 maxChars) noexcept
{
    if (dest == nullptr)
        return;

    vst::int32 length = 0;

    if (source != nullptr)
        while (length < maxChars && source[length] != 0)
        {
            dest[length] = source[length];
            ++length;
        }

    dest[length] = 0;
}

vst::IntPtr AudioEffect::callHost (vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt)
{
    return audioMaster != nullptr ? audioMaster (&cEffect, opcode, index, value, ptr, opt) : 0;
}

void AudioEffect::setFlag (vst::int32 bit, bool state) noexcept
{
    if (state)
        cEffect.flags |= bit;
    else
        cEffect.flags &= ~bit;
}
