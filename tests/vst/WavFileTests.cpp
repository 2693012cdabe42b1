/*
    The test host's WAV reader and writer: round trips in every written format, hand-made
    headers in the formats the reader takes, and malformed files, which must be refused
    without reading outside the bytes given.
*/
#include "tools/host/WavFile.h"
#include "tools/host/HostFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace
{
using vsthost::AudioData;
using vsthost::WavFile;

void put16 (std::vector<std::uint8_t>& b, std::uint32_t v) { b.push_back ((std::uint8_t) v); b.push_back ((std::uint8_t) (v >> 8)); }
void put32 (std::vector<std::uint8_t>& b, std::uint32_t v) { put16 (b, v & 0xffff); put16 (b, v >> 16); }
void putId (std::vector<std::uint8_t>& b, const char* id) { b.insert (b.end(), id, id + 4); }

/** The fields of a fmt chunk, filled in for 16-bit stereo at 44,100 Hz. */
struct Fmt
{
    std::uint32_t tag = 1, channels = 2, rate = 44100, bits = 16;
    std::int64_t blockAlign = -1;       // -1: channels × bytes per sample
    std::uint32_t size = 16;
    bool extensible = false;
    std::uint32_t subFormatTag = 1;
    bool badGuid = false;
};

std::vector<std::uint8_t> fmtChunk (const Fmt& f)
{
    std::vector<std::uint8_t> b;
    const auto align = f.blockAlign >= 0 ? (std::uint32_t) f.blockAlign : f.channels * f.bits / 8;
    const auto size = f.extensible ? 40u : f.size;
    putId (b, "fmt ");
    put32 (b, size);
    put16 (b, f.extensible ? 0xfffe : f.tag);
    put16 (b, f.channels);
    put32 (b, f.rate);
    put32 (b, f.rate * align);
    put16 (b, align);
    put16 (b, f.bits);

    if (f.extensible)
    {
        put16 (b, 22);
        put16 (b, f.bits);
        put32 (b, 3);
        put16 (b, f.subFormatTag);
        const std::uint8_t tail[14] = { 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xaa, 0, 0x38, 0x9b, (std::uint8_t) (f.badGuid ? 0 : 0x71) };
        b.insert (b.end(), tail, tail + 14);
    }

    while (b.size() < size + 8)
        b.push_back (0);

    return b;
}

std::vector<std::uint8_t> dataChunk (const std::vector<std::uint8_t>& samples, std::int64_t claimedSize = -1)
{
    std::vector<std::uint8_t> b;
    putId (b, "data");
    put32 (b, claimedSize >= 0 ? (std::uint32_t) claimedSize : (std::uint32_t) samples.size());
    b.insert (b.end(), samples.begin(), samples.end());
    return b;
}

std::vector<std::uint8_t> riff (const std::vector<std::vector<std::uint8_t>>& chunks, const char* form = "WAVE")
{
    std::vector<std::uint8_t> body;
    putId (body, form);

    for (auto& c : chunks)
        body.insert (body.end(), c.begin(), c.end());

    std::vector<std::uint8_t> b;
    putId (b, "RIFF");
    put32 (b, (std::uint32_t) body.size());
    b.insert (b.end(), body.begin(), body.end());
    return b;
}

bool decode (const std::vector<std::uint8_t>& bytes, AudioData& audio, std::string& error)
{
    return WavFile::decode (bytes.data(), bytes.size(), audio, error);
}

AudioData testSignal (int channels, int frames, double rate)
{
    auto audio = AudioData::silence (channels, frames, rate);

    for (int ch = 0; ch < channels; ++ch)
        for (int i = 0; i < frames; ++i)
            audio.channels[(size_t) ch][(size_t) i] = (float) std::sin (0.05 * i * (ch + 1)) * 0.9f;

    if (frames > 3)
    {
        audio.channels[0][0] = 1.5f;        // clipped by the integer formats
        audio.channels[0][1] = -2.0f;
        audio.channels[0][2] = -1.0f;
    }

    return audio;
}
} // namespace

TEST (WavFile, RoundTripsEveryWrittenFormat)
{
    const struct { WavFile::SampleFormat format; double tolerance; bool clips; } formats[] = {
        { WavFile::SampleFormat::float32, 0.0, false },
        { WavFile::SampleFormat::int24, 1.0 / 8388608.0, true },
        { WavFile::SampleFormat::int16, 1.0 / 32768.0, true } };

    for (auto& f : formats)
    {
        for (int channels : { 1, 2 })
        {
            for (int frames : { 0, 1, 7, 1001 })
            {
                const auto original = testSignal (channels, frames, channels == 1 ? 96000.0 : 44100.0);
                std::vector<std::uint8_t> bytes;
                std::string error;
                ASSERT_TRUE (WavFile::encode (original, f.format, bytes, error)) << error;
                EXPECT_EQ (bytes.size() % 2, 0u) << "RIFF chunks are padded to even sizes";

                AudioData decoded;
                ASSERT_TRUE (decode (bytes, decoded, error)) << error;
                ASSERT_EQ (decoded.getNumChannels(), channels);
                ASSERT_EQ (decoded.getNumFrames(), frames);
                EXPECT_EQ (decoded.sampleRate, original.sampleRate);

                for (int ch = 0; ch < channels; ++ch)
                {
                    for (int i = 0; i < frames; ++i)
                    {
                        auto expected = original.channels[(size_t) ch][(size_t) i];

                        if (f.clips)
                            expected = std::clamp (expected, -1.0f, 1.0f);

                        EXPECT_NEAR (decoded.channels[(size_t) ch][(size_t) i], expected, f.tolerance + 1.0e-9)
                            << "format " << (int) f.format << " channel " << ch << " frame " << i;
                    }
                }
            }
        }
    }

    // Non-finite samples become silence in integer files.
    auto odd = AudioData::silence (1, 2, 44100.0);
    odd.channels[0] = { NAN, INFINITY };
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE (WavFile::encode (odd, WavFile::SampleFormat::int16, bytes, error));
    AudioData decoded;
    ASSERT_TRUE (decode (bytes, decoded, error));
    EXPECT_EQ (decoded.channels[0][0], 0.0f);
    EXPECT_NEAR (decoded.channels[0][1], 1.0f, 1.0e-4);
}

TEST (WavFile, ReadsHandMadeHeaders)
{
    AudioData audio;
    std::string error;

    // 16-bit with a LIST chunk of odd size before the data.
    std::vector<std::uint8_t> list;
    putId (list, "LIST");
    put32 (list, 3);
    list.insert (list.end(), { 'a', 'b', 'c', 0 });
    ASSERT_TRUE (decode (riff ({ fmtChunk ({}), list, dataChunk ({ 0x00, 0x80, 0xff, 0x7f, 0x00, 0x40, 0x00, 0x00 }) }), audio, error)) << error;
    ASSERT_EQ (audio.getNumFrames(), 2);
    EXPECT_EQ (audio.channels[0][0], -1.0f);
    EXPECT_EQ (audio.channels[1][0], 32767.0f / 32768.0f);
    EXPECT_EQ (audio.channels[0][1], 0.5f);

    // 24-bit mono.
    Fmt mono24;
    mono24.channels = 1;
    mono24.bits = 24;
    ASSERT_TRUE (decode (riff ({ fmtChunk (mono24), dataChunk ({ 0x00, 0x00, 0x80, 0xff, 0xff, 0x7f, 0x00, 0x00, 0xc0, 0 }) }), audio, error)) << error;
    ASSERT_EQ (audio.getNumFrames(), 3);
    EXPECT_EQ (audio.channels[0][0], -1.0f);
    EXPECT_EQ (audio.channels[0][1], 8388607.0f / 8388608.0f);
    EXPECT_EQ (audio.channels[0][2], -0.5f);

    // Extensible 32-bit float, mono.
    Fmt extensibleFloat;
    extensibleFloat.channels = 1;
    extensibleFloat.bits = 32;
    extensibleFloat.extensible = true;
    extensibleFloat.subFormatTag = 3;
    std::vector<std::uint8_t> floatBytes (4);
    const float quarter = 0.25f;
    std::memcpy (floatBytes.data(), &quarter, 4);
    ASSERT_TRUE (decode (riff ({ fmtChunk (extensibleFloat), dataChunk (floatBytes) }), audio, error)) << error;
    ASSERT_EQ (audio.getNumFrames(), 1);
    EXPECT_EQ (audio.channels[0][0], 0.25f);

    // A data chunk that claims more than the file holds keeps the whole frames that are there.
    ASSERT_TRUE (decode (riff ({ fmtChunk ({}), dataChunk ({ 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3 }, 100000) }), audio, error)) << error;
    EXPECT_EQ (audio.getNumFrames(), 2);
}

TEST (WavFile, RefusesMalformedFiles)
{
    const std::vector<std::uint8_t> someSamples { 0, 0, 0, 0, 0, 0, 0, 0 };
    auto fmtWith = [] (auto change) { Fmt f; change (f); return fmtChunk (f); };

    std::vector<std::uint8_t> tooLongFmt;
    putId (tooLongFmt, "fmt ");
    put32 (tooLongFmt, 1000);
    tooLongFmt.resize (24, 0);

    std::vector<std::uint8_t> hugeChunk;
    putId (hugeChunk, "junk");
    put32 (hugeChunk, 0xfffffff0u);

    const struct { const char* name; std::vector<std::uint8_t> bytes; } cases[] = {
        { "empty", {} },
        { "shorter than a header", { 'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V' } },
        { "not RIFF", [&] { auto b = riff ({ fmtChunk ({}), dataChunk (someSamples) }); b[3] = 'X'; return b; }() },
        { "not WAVE", riff ({ fmtChunk ({}), dataChunk (someSamples) }, "AVI ") },
        { "no chunks", riff ({}) },
        { "data before fmt", riff ({ dataChunk (someSamples), fmtChunk ({}) }) },
        { "no data", riff ({ fmtChunk ({}) }) },
        { "no fmt", riff ({ hugeChunk }) },
        { "fmt too short", riff ({ fmtWith ([] (Fmt& f) { f.size = 14; }), dataChunk (someSamples) }) },
        { "fmt past the end", riff ({ tooLongFmt }) },
        { "two fmt chunks", riff ({ fmtChunk ({}), fmtChunk ({}), dataChunk (someSamples) }) },
        { "no channels", riff ({ fmtWith ([] (Fmt& f) { f.channels = 0; }), dataChunk (someSamples) }) },
        { "too many channels", riff ({ fmtWith ([] (Fmt& f) { f.channels = 65; }), dataChunk (someSamples) }) },
        { "rate 0", riff ({ fmtWith ([] (Fmt& f) { f.rate = 0; }), dataChunk (someSamples) }) },
        { "8-bit", riff ({ fmtWith ([] (Fmt& f) { f.bits = 8; }), dataChunk (someSamples) }) },
        { "12-bit", riff ({ fmtWith ([] (Fmt& f) { f.bits = 12; }), dataChunk (someSamples) }) },
        { "ADPCM", riff ({ fmtWith ([] (Fmt& f) { f.tag = 2; }), dataChunk (someSamples) }) },
        { "16-bit float", riff ({ fmtWith ([] (Fmt& f) { f.tag = 3; }), dataChunk (someSamples) }) },
        { "block align 0", riff ({ fmtWith ([] (Fmt& f) { f.blockAlign = 0; }), dataChunk (someSamples) }) },
        { "block align wrong", riff ({ fmtWith ([] (Fmt& f) { f.blockAlign = 3; }), dataChunk (someSamples) }) },
        { "extensible too short", riff ({ fmtWith ([] (Fmt& f) { f.tag = 0xfffe; f.size = 18; }), dataChunk (someSamples) }) },
        { "extensible unknown GUID", riff ({ fmtWith ([] (Fmt& f) { f.extensible = true; f.badGuid = true; }), dataChunk (someSamples) }) },
        { "extensible ADPCM", riff ({ fmtWith ([] (Fmt& f) { f.extensible = true; f.subFormatTag = 2; }), dataChunk (someSamples) }) },
    };

    for (auto& c : cases)
    {
        AudioData audio;
        std::string error;
        EXPECT_FALSE (decode (c.bytes, audio, error)) << c.name;
        EXPECT_FALSE (error.empty()) << c.name;
    }

    AudioData audio;
    std::string error;
    EXPECT_FALSE (WavFile::decode (nullptr, 100, audio, error));
}

TEST (WavFile, SurvivesTruncatedAndCorruptedFiles)
{
    std::vector<std::uint8_t> valid;
    std::string error;
    ASSERT_TRUE (WavFile::encode (testSignal (2, 40, 48000.0), WavFile::SampleFormat::int24, valid, error));

    // Every prefix: refused, or read with no more than the frames written. Each prefix is copied
    // into a buffer of its own size so that a read past the end is caught by a sanitizer build.
    for (size_t length = 0; length <= valid.size(); ++length)
    {
        std::vector<std::uint8_t> prefix (valid.begin(), valid.begin() + (long) length);
        AudioData audio;

        if (decode (prefix, audio, error))
            EXPECT_LE (audio.getNumFrames(), 40) << length;
    }

    // Single-byte corruptions anywhere in the header.
    std::uint32_t seed = 12345;

    for (int round = 0; round < 3000; ++round)
    {
        auto corrupt = valid;
        seed = seed * 1664525u + 1013904223u;
        corrupt[(seed >> 8) % 64] = (std::uint8_t) (seed >> 24);
        AudioData audio;

        if (decode (corrupt, audio, error))
            EXPECT_LE ((size_t) audio.getNumFrames() * (size_t) audio.getNumChannels(), corrupt.size());
    }
}

TEST (WavFile, RefusesAudioItCannotWriteAndKeepsTheOldFile)
{
    const auto folder = ::testing::TempDir() + "velcroft_wav_" + std::to_string (getpid());
    ASSERT_EQ (system (("mkdir -p '" + folder + "'").c_str()), 0);
    const auto path = folder + "/out.wav";
    std::string error;

    ASSERT_TRUE (WavFile::write (path, testSignal (2, 100, 44100.0), WavFile::SampleFormat::float32, error)) << error;

    auto uneven = testSignal (2, 100, 44100.0);
    uneven.channels[1].resize (50);
    auto badRate = testSignal (1, 10, 0.0);
    auto nanRate = testSignal (1, 10, NAN);
    auto tooManyChannels = testSignal (65, 1, 44100.0);

    for (auto* bad : { &uneven, &badRate, &nanRate, &tooManyChannels })
    {
        EXPECT_FALSE (WavFile::write (path, *bad, WavFile::SampleFormat::int16, error));
        EXPECT_FALSE (error.empty());
    }

    EXPECT_FALSE (WavFile::write (path, AudioData(), WavFile::SampleFormat::int16, error));
    EXPECT_FALSE (WavFile::write (folder + "/missing/out.wav", testSignal (1, 10, 44100.0), WavFile::SampleFormat::int16, error));

    // The file written first is still there, whole.
    AudioData reread;
    ASSERT_TRUE (WavFile::read (path, reread, error)) << error;
    EXPECT_EQ (reread.getNumFrames(), 100);
    EXPECT_EQ (reread.getNumChannels(), 2);

    // A successful write replaces it, and leaves no temporary file beside it.
    ASSERT_TRUE (WavFile::write (path, testSignal (1, 10, 22050.0), WavFile::SampleFormat::int16, error)) << error;
    ASSERT_TRUE (WavFile::read (path, reread, error)) << error;
    EXPECT_EQ (reread.getNumFrames(), 10);
    EXPECT_EQ (reread.sampleRate, 22050.0);

    EXPECT_FALSE (WavFile::read (folder + "/missing.wav", reread, error));
    EXPECT_FALSE (WavFile::read (folder, reread, error));

    std::remove (path.c_str());
    EXPECT_EQ (rmdir (folder.c_str()), 0) << "something was left in " << folder;
}
