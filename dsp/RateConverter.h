/*
    Converts one channel between a host rate and 44,100 Hz by a fixed rational ratio, with
    a polyphase bank of 65-tap windowed-sinc filters. The supported rates are 44,100,
    48,000, 88,200, 96,000, 176,400 and 192,000 Hz; each is a whole multiple of 300 Hz, and
    rate / 300 is its factor in the ratio.

    Downsampling gives 0 or 1 output per input sample, upsampling 1 or more (at most 5 for
    the supported rates). Equal rates give the input delayed by 32 samples.
*/
#pragma once

#include <vector>

class RateConverter
{
public:
    /** Number of filter taps per polyphase row. */
    static constexpr int numTaps = 65;

    /** Room a caller provides for the outputs of one push. */
    static constexpr int maxOutputsPerPush = 10;

    /** Builds the filter bank for a conversion from inRate to outRate. A rate that is not
        supported is treated like the other one, so the converter becomes a plain delay. */
    RateConverter (int inRate, int outRate);

    /** True for the six supported rates. */
    static bool isSupportedRate (double rate) noexcept;

    /** rate / 300 for a supported rate, else 0. */
    static int getRateFactor (int rate) noexcept;

    /** Feeds one input sample and writes the outputs that became due to out[0], out[1]...
        (the caller provides maxOutputsPerPush places); returns their number. */
    int pushSample (double x, double* out) noexcept;

    /** Clears the delay line and restarts at the first row. */
    void reset() noexcept;

    /** Number of polyphase rows (the output rate's factor). */
    int getNumPhases() const noexcept           { return phases; }

    /** Input samples per output sample. */
    double getStep() const noexcept             { return step; }

    /** Input samples consumed before the given row is used. */
    int getAdvance (int phase) const noexcept   { return advance[(size_t) phase]; }

private:
    void writeToLine (double x) noexcept;

    int phase = 0;
    int countdown = 0;
    double cutoff = 1.0;
    double step = 1.0;
    int outFactor = 1, inFactor = 1;
    int phases = 1;
    std::vector<double> rows;
    std::vector<int> advance;
    double line[2 * numTaps] = {};
    int writePos = 0;
};

/** The converters' filter kernel: the 65 taps of the delay line starting at taps (oldest
    first) weighted by one row of coefficients. */
double firDotProduct (const double* taps, const double* row) noexcept;
