#include "tools/host/WavFile.h"
#include "tools/host/HostFile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vsthost
{

namespace wavfile_detail
{
    constexpr std::uint16_t formatPcm = 1;
    constexpr std::uint16_t formatFloat = 3;
    constexpr std::uint16_t formatExtensible = 0xfffe;

    // Bytes 2..15 of the sub-format GUID of an extensible header; bytes 0..1 hold the format tag.
    constexpr std::uint8_t subFormatTail[14] = { 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                                 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 };

    std::uint16_t readU16 (const std::uint8_t* p) noexcept { return (std::uint16_t) (p[0] | (p[1] << 8)); }

    std::uint32_t readU32 (const std::uint8_t* p) noexcept
    {
        return (std::uint32_t) p[0] | ((std::uint32_t) p[1] << 8) | ((std::uint32_t) p[2] << 16) | ((std::uint32_t) p[3] << 24);
    }

    bool hasId (const std::uint8_t* p, const char* id) noexcept { return std::memcmp (p, id, 4) == 0; }

    void putU16 (std::vector<std::uint8_t>& out, std::uint32_t v)
    {
        out.push_back ((std::uint8_t) v);
        out.push_back ((std::uint8_t) (v >> 8));
    }

    void putU32 (std::vector<std::uint8_t>& out, std::uint32_t v)
    {
        putU16 (out, v & 0xffff);
        putU16 (out, v >> 16);
    }

    void putId (std::vector<std::uint8_t>& out, const char* id) { out.insert (out.end(), id, id + 4); }

    /** Scales a sample to a signed integer of the given full scale, clipping and mapping NaN to 0. */
    std::int32_t toInteger (float sample, double fullScale) noexcept
    {
        if (! (sample == sample))
            return 0;

        const auto scaled = std::nearbyint ((double) sample * fullScale);
        return (std::int32_t) std::clamp (scaled, -fullScale, fullScale - 1.0);
    }

    struct Format
    {
        std::uint16_t tag = 0;
        std::uint16_t numChannels = 0;
        std::uint32_t sampleRate = 0;
        std::uint16_t blockAlign = 0;
        std::uint16_t bitsPerSample = 0;
    };

    bool parseFormat (const std::uint8_t* body, std::uint32_t size, Format& format, std::string& error)
    {
        if (size < 16)
        {
            error = "the fmt chunk is too short";
            return false;
        }

        format.tag = readU16 (body);
        format.numChannels = readU16 (body + 2);
        format.sampleRate = readU32 (body + 4);
        format.blockAlign = readU16 (body + 12);
        format.bitsPerSample = readU16 (body + 14);

        if (format.tag == formatExtensible)
        {
            if (size < 40 || readU16 (body + 16) < 22)
            {
                error = "the extensible fmt chunk is too short";
                return false;
            }

            if (std::memcmp (body + 26, subFormatTail, sizeof (subFormatTail)) != 0)
            {
                error = "unknown sub-format in the extensible fmt chunk";
                return false;
            }

            format.tag = readU16 (body + 24);
        }

        const bool pcm = format.tag == formatPcm && (format.bitsPerSample == 16 || format.bitsPerSample == 24 || format.bitsPerSample == 32);
        const bool floating = format.tag == formatFloat && (format.bitsPerSample == 32 || format.bitsPerSample == 64);

        if (! pcm && ! floating)
        {
            error = "unsupported sample format (tag " + std::to_string (format.tag) + ", "
                  + std::to_string (format.bitsPerSample) + " bits)";
            return false;
        }

        if (format.numChannels < 1 || format.numChannels > WavFile::maxChannels)
        {
            error = "unsupported channel count " + std::to_string (format.numChannels);
            return false;
        }

        if (format.sampleRate == 0)
        {
            error = "the sample rate is 0";
            return false;
        }

        if (format.blockAlign != format.numChannels * (format.bitsPerSample / 8))
        {
            error = "the block alignment does not match the channels and sample size";
            return false;
        }

        return true;
    }

    float decodeSample (const std::uint8_t* p, const Format& format) noexcept
    {
        if (format.tag == formatFloat)
        {
            if (format.bitsPerSample == 32)
            {
                const auto bits = readU32 (p);
                float value;
                std::memcpy (&value, &bits, sizeof (value));
                return value;
            }

            const auto bits = (std::uint64_t) readU32 (p) | ((std::uint64_t) readU32 (p + 4) << 32);
            double value;
            std::memcpy (&value, &bits, sizeof (value));
            return (float) value;
        }

        switch (format.bitsPerSample)
        {
            case 16:  return (float) (std::int16_t) readU16 (p) / 32768.0f;
            case 24:  return (float) ((std::int32_t) ((std::uint32_t) (p[0] | (p[1] << 8) | (p[2] << 16)) << 8) >> 8) / 8388608.0f;
            default:  return (float) ((double) (std::int32_t) readU32 (p) / 2147483648.0);
        }
    }
} // namespace wavfile_detail

//==============================================================================
bool WavFile::read (const std::string& path, AudioData& audio, std::string& error)
{
    std::vector<std::uint8_t> bytes;

    if (! HostFile::read (path, bytes, error))
        return false;

    if (! decode (bytes.data(), bytes.size(), audio, error))
    {
        error = path + ": " + error;
        return false;
    }

    return true;
}

bool WavFile::decode (const std::uint8_t* data, std::size_t size, AudioData& audio, std::string& error)
{
    using namespace wavfile_detail;

    if (data == nullptr || size < 12 || ! hasId (data, "RIFF") || ! hasId (data + 8, "WAVE"))
    {
        error = "not a RIFF WAVE file";
        return false;
    }

    Format format;
    bool haveFormat = false;
    const std::uint8_t* samples = nullptr;
    std::size_t sampleBytes = 0;
    std::size_t offset = 12;

    while (samples == nullptr && size - offset >= 8)
    {
        const auto* header = data + offset;
        const auto chunkSize = readU32 (header + 4);
        const auto available = size - offset - 8;

        if (hasId (header, "fmt "))
        {
            if (haveFormat)
            {
                error = "more than one fmt chunk";
                return false;
            }

            if (chunkSize > available)
            {
                error = "the fmt chunk runs past the end of the file";
                return false;
            }

            if (! parseFormat (header + 8, chunkSize, format, error))
                return false;

            haveFormat = true;
        }
        else if (hasId (header, "data"))
        {
            if (! haveFormat)
            {
                error = "the data chunk comes before the fmt chunk";
                return false;
            }

            // A data chunk cut short (or with an unset size) keeps the whole frames that are there.
            samples = header + 8;
            sampleBytes = std::min ((std::size_t) chunkSize, available);
            break;
        }

        const auto advance = (std::uint64_t) chunkSize + (chunkSize & 1u) + 8;

        if (advance > size - offset)
            break;

        offset += (std::size_t) advance;
    }

    if (! haveFormat)
    {
        error = "no fmt chunk";
        return false;
    }

    if (samples == nullptr)
    {
        error = "no data chunk";
        return false;
    }

    const auto numFrames = sampleBytes / format.blockAlign;
    const auto bytesPerSample = (std::size_t) format.bitsPerSample / 8;

    AudioData result;
    result.sampleRate = (double) format.sampleRate;
    result.channels.assign (format.numChannels, std::vector<float> (numFrames));

    for (std::size_t frame = 0; frame < numFrames; ++frame)
    {
        const auto* frameStart = samples + frame * format.blockAlign;

        for (std::size_t ch = 0; ch < format.numChannels; ++ch)
            result.channels[ch][frame] = decodeSample (frameStart + ch * bytesPerSample, format);
    }

    audio = std::move (result);
    return true;
}

//==============================================================================
bool WavFile::encode (const AudioData& audio, SampleFormat sampleFormat, std::vector<std::uint8_t>& bytes, std::string& error)
{
    using namespace wavfile_detail;

    const auto numChannels = audio.getNumChannels();

    if (numChannels < 1 || numChannels > maxChannels)
    {
        error = "cannot write " + std::to_string (numChannels) + " channels";
        return false;
    }

    if (! audio.hasEqualChannelLengths())
    {
        error = "the channels have different lengths";
        return false;
    }

    if (! (audio.sampleRate >= 1.0 && audio.sampleRate <= 4294967295.0))
    {
        error = "invalid sample rate";
        return false;
    }

    const bool isFloat = sampleFormat == SampleFormat::float32;
    const std::uint32_t bytesPerSample = sampleFormat == SampleFormat::int16 ? 2 : (sampleFormat == SampleFormat::int24 ? 3 : 4);
    const std::uint32_t blockAlign = bytesPerSample * (std::uint32_t) numChannels;
    const auto numFrames = (std::uint64_t) audio.getNumFrames();
    const auto dataSize = numFrames * blockAlign;
    const std::uint32_t fmtSize = isFloat ? 18 : 16;
    const std::uint64_t factSize = isFloat ? 12 : 0;
    const auto riffSize = 4 + (8 + fmtSize) + factSize + 8 + dataSize + (dataSize & 1);

    if (riffSize > 0xffffffffull)
    {
        error = "too long for a WAV file";
        return false;
    }

    const auto rate = (std::uint32_t) std::lround (audio.sampleRate);

    bytes.clear();
    bytes.reserve ((size_t) riffSize + 8);
    putId (bytes, "RIFF");
    putU32 (bytes, (std::uint32_t) riffSize);
    putId (bytes, "WAVE");

    putId (bytes, "fmt ");
    putU32 (bytes, fmtSize);
    putU16 (bytes, isFloat ? formatFloat : formatPcm);
    putU16 (bytes, (std::uint32_t) numChannels);
    putU32 (bytes, rate);
    putU32 (bytes, rate * blockAlign);
    putU16 (bytes, blockAlign);
    putU16 (bytes, bytesPerSample * 8);

    if (isFloat)
    {
        putU16 (bytes, 0);
        putId (bytes, "fact");
        putU32 (bytes, 4);
        putU32 (bytes, (std::uint32_t) numFrames);
    }

    putId (bytes, "data");
    putU32 (bytes, (std::uint32_t) dataSize);

    for (std::uint64_t frame = 0; frame < numFrames; ++frame)
    {
        for (auto& channel : audio.channels)
        {
            const float sample = channel[(size_t) frame];

            if (isFloat)
            {
                std::uint32_t bits;
                std::memcpy (&bits, &sample, sizeof (bits));
                putU32 (bytes, bits);
            }
            else if (sampleFormat == SampleFormat::int16)
            {
                putU16 (bytes, (std::uint32_t) toInteger (sample, 32768.0));
            }
            else
            {
                const auto value = (std::uint32_t) toInteger (sample, 8388608.0);
                bytes.push_back ((std::uint8_t) value);
                bytes.push_back ((std::uint8_t) (value >> 8));
                bytes.push_back ((std::uint8_t) (value >> 16));
            }
        }
    }

    if (dataSize & 1)
        bytes.push_back (0);

    return true;
}

bool WavFile::write (const std::string& path, const AudioData& audio, SampleFormat format, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    return encode (audio, format, bytes, error) && HostFile::write (path, bytes, error);
}

} // namespace vsthost
