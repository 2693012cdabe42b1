/*
    Reads and writes RIFF WAVE files: 16-, 24- and 32-bit PCM and 32- and 64-bit float on
    reading (plain or extensible format), 16- and 24-bit PCM and 32-bit float on writing.
    Malformed input is refused with a reason; nothing is read outside the given bytes.
*/
#pragma once

#include "tools/host/AudioData.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vsthost
{

class WavFile
{
public:
    /** The sample formats the writer can produce. */
    enum class SampleFormat
    {
        int16,
        int24,
        float32
    };

    /** The most channels a file may have. */
    static constexpr int maxChannels = 64;

    /** Reads a WAV file; false with a reason when it cannot be read or is not a valid WAV file. */
    static bool read (const std::string& path, AudioData& audio, std::string& error);

    /** Decodes a WAV file held in memory; false with a reason when it is not a valid WAV file. */
    static bool decode (const std::uint8_t* data, std::size_t size, AudioData& audio, std::string& error);

    /** Encodes audio as a WAV file in memory; false with a reason when the audio cannot be stored
        (no channels, channels of different lengths, a bad sample rate, or too long for RIFF). */
    static bool encode (const AudioData& audio, SampleFormat format, std::vector<std::uint8_t>& bytes, std::string& error);

    /** Writes audio to a WAV file, replacing any previous file only once the new one is complete. */
    static bool write (const std::string& path, const AudioData& audio, SampleFormat format, std::string& error);
};

} // namespace vsthost
