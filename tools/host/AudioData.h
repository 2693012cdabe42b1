/*
    A piece of audio held in memory: one vector of samples per channel and a sample rate.
*/
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vsthost
{

struct AudioData
{
    /** The sample rate in Hz. */
    double sampleRate = 44100.0;

    /** The samples, one vector per channel; all channels have the same length. */
    std::vector<std::vector<float>> channels;

    /** Makes silent audio with a number of channels and frames. */
    static AudioData silence (int numChannels, std::int64_t numFrames, double rate)
    {
        AudioData audio;
        audio.sampleRate = rate;
        audio.channels.assign ((std::size_t) (numChannels > 0 ? numChannels : 0),
                               std::vector<float> ((std::size_t) (numFrames > 0 ? numFrames : 0), 0.0f));
        return audio;
    }

    /** Returns the number of channels. */
    int getNumChannels() const noexcept             { return (int) channels.size(); }

    /** Returns the number of frames (the length of the first channel). */
    std::int64_t getNumFrames() const noexcept      { return channels.empty() ? 0 : (std::int64_t) channels.front().size(); }

    /** Returns true when every channel has the same length. */
    bool hasEqualChannelLengths() const noexcept
    {
        for (auto& channel : channels)
            if (channel.size() != channels.front().size())
                return false;

        return true;
    }
};

} // namespace vsthost
