/*
    A short stereo demo signal that shows what a bit crusher does: decaying sawtooth plucks,
    a kick and a noise snare, and a slow sine sweep underneath. The same arguments always give
    the same samples.
*/
#pragma once

#include "tools/host/AudioData.h"

namespace vsthost
{

class DemoSignal
{
public:
    /** The longest signal that can be made, in seconds. */
    static constexpr double maxSeconds = 600.0;

    /** Makes the demo signal at a sample rate (at least 8,000 Hz) and length (clamped to
        0 .. maxSeconds); peaks at 0.8. Returns empty audio for an unusable rate. */
    static AudioData make (double sampleRate, double seconds = 4.0);
};

} // namespace vsthost
