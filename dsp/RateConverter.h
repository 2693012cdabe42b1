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

        /** Where the output m places after a cycle's first lies: its input sample (counted
            from the cycle's first output's) and its row. */
        struct Output
        {
            const Sample* row;
            int input;
        };

        /** The outputs of a cycle and a block beyond it, so that a block's outputs, from
            whatever row it starts at, are read in order with no row wrapping round. */
        std::vector<Output> schedule;
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
    Sample* getLeftInput() noexcept             { return lines + history; }

    /** Where the next block's right input goes. */
    Sample* getRightInput() noexcept            { return lines + lineLength + history; }

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

        // Input i completes the outputs that use samples i - 63 .. i, which lie at
        // lines[i + 1 .. i + 64]: the history of the previous blocks, then this block.
        // The schedule gives each output's input and row from the block's first output on,
        // so the loop has no row to wrap and no advance to add; it ends at the first output
        // whose input lies beyond the block.
        const auto* const first = schedule + phase;
        const auto offset = countdown - 1 - first->input;       // input of an output: offset + its entry's
        const auto* const left = lines + 1 + offset;
        const auto end = count - offset;
        const auto* o = first;
        int n = 0;

        // Two outputs at a time, whose sums are added up together, then the last one alone.
        for (; o[1].input < end; o += 2, n += 2)
        {
            VectorLanes::firStereoTwice<Width> (left + o[0].input, left + o[1].input, lineLength, o[0].row, o[1].row, out + 2 * n);

            if (inputIndices != nullptr)
            {
                inputIndices[n] = offset + o[0].input;
                inputIndices[n + 1] = offset + o[1].input;
            }
        }

        if (o->input < end)
        {
            const auto* const samples = left + o->input;
            VectorLanes::firStereo<Width> (samples, samples + lineLength, o->row, out + 2 * n);

            if (inputIndices != nullptr)
                inputIndices[n] = offset + o->input;

            ++o;
            ++n;
        }

        countdown = offset + o->input - count + 1;
        phase = (phase + n) % phases;

        // The last 64 samples are the next block's history.
        std::memmove (lines, lines + count, sizeof (Sample) * history);
        std::memmove (lines + lineLength, lines + lineLength + count, sizeof (Sample) * history);
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
    const typename Bank::Output* schedule = nullptr;
    int phases = 1;
    int phase = 0;
    int countdown = 0;          // the next output's input, counted from the next block's first, plus 1

    // Each channel's last 64 samples, then room for a block: the left channel's, then the
    // right one's, so that one register addresses both.
    static constexpr int lineLength = history + maxBlock;
    Sample lines[2 * lineLength] = {};
};
