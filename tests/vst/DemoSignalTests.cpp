/*
    The demo signal: deterministic, of the asked length and level, stereo, and sounding all
    the way through.
*/
#include "tools/host/DemoSignal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using vsthost::DemoSignal;

TEST (DemoSignal, IsDeterministicStereoAndSoundsThroughout)
{
    for (double rate : { 44100.0, 48000.0, 96000.0 })
    {
        const auto signal = DemoSignal::make (rate, 4.0);
        ASSERT_EQ (signal.getNumChannels(), 2);
        ASSERT_EQ (signal.getNumFrames(), (std::int64_t) std::llround (4.0 * rate));
        EXPECT_EQ (signal.sampleRate, rate);
        EXPECT_EQ (signal.channels, DemoSignal::make (rate, 4.0).channels) << "the same arguments give the same samples";
        EXPECT_NE (signal.channels[0], signal.channels[1]);

        float peak = 0.0f;

        for (auto& channel : signal.channels)
            for (auto s : channel)
            {
                ASSERT_TRUE (std::isfinite (s));
                peak = std::max (peak, std::abs (s));
            }

        EXPECT_NEAR (peak, 0.8f, 1.0e-6f);

        // Every tenth of a second (after the fade-in) has sound on both channels.
        const auto window = (size_t) (rate / 10.0);

        for (size_t start = 0; start + window <= (size_t) signal.getNumFrames(); start += window)
        {
            for (auto& channel : signal.channels)
            {
                double energy = 0.0;

                for (size_t i = start; i < start + window; ++i)
                    energy += (double) channel[i] * channel[i];

                EXPECT_GT (std::sqrt (energy / (double) window), 0.01) << "rate " << rate << " at frame " << start;
            }
        }
    }

    EXPECT_EQ (DemoSignal::make (44100.0, 0.5).getNumFrames(), 22050);
    EXPECT_EQ (DemoSignal::make (44100.0, 0.0).getNumFrames(), 0);
    EXPECT_EQ (DemoSignal::make (44100.0, -3.0).getNumFrames(), 0);
    EXPECT_EQ (DemoSignal::make (44100.0, NAN).getNumFrames(), 0);
    EXPECT_EQ (DemoSignal::make (0.0).getNumChannels(), 0);
    EXPECT_EQ (DemoSignal::make (NAN).getNumChannels(), 0);
    EXPECT_EQ (DemoSignal::make (8000.0, 1.0e9).getNumFrames(), (std::int64_t) (DemoSignal::maxSeconds * 8000.0));
}
