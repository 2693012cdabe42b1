/*
    Converts a stereo signal between a host rate and 44,100 Hz by a fixed rational ratio, with
    a polyphase bank of 65-tap windowed-sinc filters. The supported rates are 44,100,
    48,000, 88,200, 96,000, 176,400 and 192,000 Hz; each is a whole multiple of 300 Hz, and
    rate / 300 is its factor in the ratio.

    A converter takes a block of frames at a time: the caller writes them after the last 64
    samples of the previous blocks, and each output is one pass over 64 consecutive samples
    there, so the per-frame work is a plain loop over the outputs alone. The first of the 65
    taps is left out: the window is zero there (below 1.4e-19 at every rate pair), and 64
    taps are whole vectors with nothing left over. Both channels go
    through the same rows at the same instants, so each pass loads every coefficient once
    for both channels (VectorLanes::firStereo, inlined into the caller's loop). The
    coefficient banks are built once per rate pair and sample type for the whole process and
    never change; a converter itself holds only its samples and position.

    The sample type is the precision of the delay line, the coefficients and the sums:
    double where the result is quantised afterwards (the way in), float where it goes
    straight to the host (the way out), which halves the work.

    Downsampling gives 0 or 1 output per input frame, upsampling 1 or more (at most 5 for
    the supported rates). Equal rates give the input delayed by 32 samples.
*/
#pragma once

#include "dsp/VectorLanes.h"

#include <cassert>
#include <cstring>
#include <memory>
#include <vector>

//==============================================================================
template <typename Sample>
class RateConverter
{
public:
    /** Number of filter taps per polyphase row. */
    static constexpr int numTaps = 65;

    /** Room, in frames, a caller provides for the outputs of one pushed frame. */
    static constexpr int maxOutputsPerPush = 10;

    /** The shared, immutable filter bank of one rate pair. */
    struct Bank
    {
        int inFactor = 1, outFactor = 1;
        double step = 1.0;                  /**< input samples per output sample */
        std::vector<int> advance;           /**< input samples consumed before each row is used */
        std::vector<Sample> rows;           /**< room for the rows and an alignment of 64 bytes */
        const Sample* firstRow = nullptr;   /**< per row taps 1 .. numTaps - 1 (rowStride coefficients), into rows */
    };

    /** Prepares a conversion from inRate to outRate. A rate that is not supported is treated like the other one, so the converter becomes a
        plain delay. */
    RateConverter (int inRate, int outRate);

    /** True for the six supported rates. */
    static bool isSupportedRate (double rate) noexcept;

    /** rate / 300 for a supported rate, else 0. */
    static int getRateFactor (int rate) noexcept;

    /** Most input frames one call to convert takes. */
    static constexpr int maxBlock = 256;

    /** Where the next block's left input goes: convert reads samples 0 .. count - 1 here
        (maxBlock places). */
    Sample* getLeftInput() noexcept             { return leftLine + history; }

    /** Where the next block's right input goes. */
    Sample* getRightInput() noexcept            { return rightLine + history; }

    /** The most output frames convert can give for count input frames. */
    int getMaxOutputs (int count) const noexcept
    {
        return (int) (((long long) count * bank->outFactor) / bank->inFactor) + 2;
    }

    /** Converts the count frames (at most maxBlock) written through getLeftInput and
        getRightInput, and writes the output frames that became due interleaved to out
        (out[0] left, out[1] right, out[2] left...; the caller provides getMaxOutputs (count)
        frames); returns their number. When inputIndices is given, it receives for each output
        frame the index of the input frame that completed it. Inlined into the caller's loop,
        so that the filters take its vector width (Width 4 only in a caller compiled for AVX2). */
    template <int Width = 2>
    VELCROFT_ALWAYS_INLINE int convert (int count, double* out, int* inputIndices = nullptr) noexcept
    {
        assert (count >= 0 && count <= maxBlock);
        int n = 0;

        // Input i completes the outputs that use samples i - 63 .. i, which lie at
        // leftLine[i + 1 .. i + 64]: the history of the previous blocks, then this block.
        // The position is kept in locals: a store to inputIndices could otherwise change a
        // member, which would then be read again from memory at every output.
        int p = phase;
        const auto numPhases = phases;
        const auto* const firstRow = rows;
        const auto* const steps = advance;
        const auto* row = firstRow + p * rowStride;
        const auto* const left = leftLine + 1;
        const auto* const right = rightLine + 1;

        // Always inlined: a call per output costs more than the output's bookkeeping.
        auto output = [&] (int i) VELCROFT_ALWAYS_INLINE_LAMBDA
        {
            VectorLanes::firStereo<Width> (left + i, right + i, row, out + 2 * n);

            if (inputIndices != nullptr)
                inputIndices[n] = i;

            ++n;

            if (++p < numPhases)
            {
                row += rowStride;
            }
            else
            {
                p = 0;
                row = firstRow;
            }
        };

        if (down)
        {
            // countdown inputs are still to come before the next output.
            int i = countdown - 1;

            for (; i < count; i += steps[p])
                output (i);

            countdown = i - count + 1;
        }
        else
        {
            // Every input gives an output, and further ones while the next row needs no new
            // input.
            for (int i = 0; i < count; i += steps[p])
                output (i);
        }

        phase = p;

        // The last 64 samples are the next block's history.
        std::memmove (leftLine, leftLine + count, sizeof (Sample) * history);
        std::memmove (rightLine, rightLine + count, sizeof (Sample) * history);
        return n;
    }

    /** Converts one input frame: the same as a block of one. */
    int pushFrame (double left, double right, double* out) noexcept
    {
        getLeftInput()[0] = (Sample) left;
        getRightInput()[0] = (Sample) right;
        return convert (1, out);
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

    /** Samples from one row of a bank to the next: the 64 taps used, whole groups of eight. */
    static constexpr int rowStride = 64;

private:
    static constexpr int history = numTaps - 1;

    std::shared_ptr<const Bank> bank;
    const Sample* rows = nullptr;
    const int* advance = nullptr;
    int phases = 1;
    bool down = false;
    int phase = 0;
    int countdown = 0;

    // Each channel's last 64 samples, then room for a block.
    Sample leftLine[history + maxBlock] = {};
    Sample rightLine[history + maxBlock] = {};
};
