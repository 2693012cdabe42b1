/*
    Converts a stereo signal between a host rate and 44,100 Hz by a fixed rational ratio, with
    a polyphase bank of 65-tap windowed-sinc filters. The supported rates are 44,100,
    48,000, 88,200, 96,000, 176,400 and 192,000 Hz; each is a whole multiple of 300 Hz, and
    rate / 300 is its factor in the ratio.

    Both channels go through the same rows at the same instants, so each output frame is one
    pass over the taps that loads every coefficient once for both channels' delay lines
    (VectorLanes::firStereo, inlined into the caller's sample loop). The
    coefficient banks are built once per rate pair and sample type for the whole process and
    never change; a converter itself holds only its delay lines and position.

    The sample type is the precision of the delay line, the coefficients and the sums:
    double where the result is quantised afterwards (the way in), float where it goes
    straight to the host (the way out), which halves the work.

    Downsampling gives 0 or 1 output per input frame, upsampling 1 or more (at most 5 for
    the supported rates). Equal rates give the input delayed by 32 samples.
*/
#pragma once

#include "dsp/VectorLanes.h"

#include <memory>
#include <vector>

//==============================================================================
template <typename Sample>
class RateConverter
{
public:
    /** Number of filter taps per polyphase row. */
    static constexpr int numTaps = 65;

    /** Room, in frames, a caller provides for the outputs of one push. */
    static constexpr int maxOutputsPerPush = 10;

    /** The shared, immutable filter bank of one rate pair. */
    struct Bank
    {
        int inFactor = 1, outFactor = 1;
        double step = 1.0;                  /**< input samples per output sample */
        std::vector<int> advance;           /**< input samples consumed before each row is used */
        std::vector<Sample> rows;           /**< per row numTaps coefficients, then zeros up to rowStride */
    };

    /** Prepares a conversion from inRate to outRate. A rate that is not supported is treated like the other one, so the converter becomes a
        plain delay. */
    RateConverter (int inRate, int outRate);

    /** True for the six supported rates. */
    static bool isSupportedRate (double rate) noexcept;

    /** rate / 300 for a supported rate, else 0. */
    static int getRateFactor (int rate) noexcept;

    /** Feeds one input frame and writes the output frames that became due, interleaved
        (out[0] left, out[1] right, out[2] left...; the caller provides maxOutputsPerPush
        frames); returns their number. */
    int pushFrame (double left, double right, double* out) noexcept
    {
        if (down)
        {
            --countdown;
            write (left, right);

            if (countdown >= 1)
                return 0;

            VectorLanes::firStereo (leftLine + writePos, rightLine + writePos, rows + phase * rowStride,
                                    leftLine[writePos + 64], rightLine[writePos + 64], out);

            if (++phase >= phases)
                phase = 0;

            countdown = advance[phase];
            return 1;
        }

        write (left, right);
        int n = 0;

        do
        {
            VectorLanes::firStereo (leftLine + writePos, rightLine + writePos, rows + phase * rowStride,
                                    leftLine[writePos + 64], rightLine[writePos + 64], out + 2 * n);
            ++n;

            if (++phase >= phases)
                phase = 0;
        }
        while (advance[phase] == 0 && n < maxOutputsPerPush);

        countdown = advance[phase];
        return n;
    }

    /** Clears the delay line and restarts at the first row. */
    void reset() noexcept;

    /** Number of polyphase rows (the output rate's factor). */
    int getNumPhases() const noexcept           { return bank->outFactor; }

    /** Input samples per output sample. */
    double getStep() const noexcept             { return bank->step; }

    /** Input samples consumed before the given row is used. */
    int getAdvance (int phase) const noexcept   { return bank->advance[(size_t) phase]; }

    /** The shared bank for a pair of rate factors, built on first use (thread-safe). */
    static std::shared_ptr<const Bank> getBank (int inFactor, int outFactor);

    /** Samples from one row of a bank to the next: the taps and zeros up to a whole number of
        eight-sample groups, so that a row's wide loads split fewer cache lines. */
    static constexpr int rowStride = 72;

private:
    void write (double leftSample, double rightSample) noexcept
    {
        // Each sample is stored twice, so the last 65 are always samples w .. w + 64.
        leftLine[writePos] = leftLine[writePos + numTaps] = (Sample) leftSample;
        rightLine[writePos] = rightLine[writePos + numTaps] = (Sample) rightSample;

        if (++writePos >= numTaps)
            writePos = 0;
    }

    std::shared_ptr<const Bank> bank;
    const Sample* rows = nullptr;
    const int* advance = nullptr;
    int phases = 1;
    bool down = false;
    int phase = 0;
    int countdown = 0;
    int writePos = 0;
    Sample leftLine[2 * numTaps] = {};      // each channel's last 65 samples, stored twice
    Sample rightLine[2 * numTaps] = {};
};
