/*
    The straightforward rate converter the fast one in dsp/ must agree with: one channel,
    a polyphase bank of 65-tap windowed-sinc rows in doubles, one plain dot product per
    output. Kept simple on purpose; only the tests and the benchmark use it.
*/
#pragma once

#include <vector>

class ReferenceRateConverter
{
public:
    /** Number of filter taps per polyphase row. */
    static constexpr int numTaps = 65;

    /** Room a caller provides for the outputs of one push. */
    static constexpr int maxOutputsPerPush = 10;

    /** Builds the filter bank for a conversion from inRate to outRate. A rate that is not
        supported is treated like the other one, so the converter becomes a plain delay. */
    ReferenceRateConverter (int inRate, int outRate);

    /** True for the six supported rates. */
    static bool isSupportedRate (double rate) noexcept;

    /** rate / 300 for a supported rate, else 0. */
    static int getRateFactor (int rate) noexcept;

    /** Feeds one input sample and writes the outputs that became due to out[0], out[1]...
        (the caller provides maxOutputsPerPush places); returns their number. */
    int pushSample (double x, double* out) noexcept;

    /** Clears the delay line and restarts at the first row. */
    void reset() noexcept;

    /** The converters' filter kernel: the 65 taps of the delay line starting at taps
        (oldest first) weighted by one row of coefficients. */
    static double firDotProduct (const double* taps, const double* row) noexcept;

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
