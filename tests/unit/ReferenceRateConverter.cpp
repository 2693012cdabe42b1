#include "ReferenceRateConverter.h"

#include <cmath>

namespace ReferenceRateConverterDetail
{
constexpr double pi = 3.14159265358979323846;

/** numerator / denominator rounded toward minus infinity (denominator > 0). */
int floorDiv (long long numerator, long long denominator) noexcept
{
    const auto q = numerator / denominator;
    return (int) ((numerator % denominator != 0 && numerator < 0) ? q - 1 : q);
}
} // namespace ReferenceRateConverterDetail

bool ReferenceRateConverter::isSupportedRate (double rate) noexcept
{
    return rate == 44100.0 || rate == 48000.0 || rate == 88200.0
        || rate == 96000.0 || rate == 176400.0 || rate == 192000.0;
}

int ReferenceRateConverter::getRateFactor (int rate) noexcept
{
    return isSupportedRate ((double) rate) ? rate / 300 : 0;
}

ReferenceRateConverter::ReferenceRateConverter (int inRate, int outRate)
{
    using namespace ReferenceRateConverterDetail;

    inFactor = getRateFactor (inRate);
    outFactor = getRateFactor (outRate);

    if (inFactor == 0 || outFactor == 0)
        inFactor = outFactor = (inFactor != 0 ? inFactor : (outFactor != 0 ? outFactor : 1));

    phases = outFactor;
    step = (double) inFactor / (double) outFactor;
    cutoff = std::fmin (1.0, (double) outFactor / (double) inFactor);

    rows.assign ((size_t) (phases * numTaps), 0.0);
    advance.assign ((size_t) phases, 0);

    for (int p = 0; p < phases; ++p)
    {
        // Whole input samples before this row's instant, in exact integer arithmetic.
        const int a = floorDiv ((long long) p * inFactor, outFactor);
        const int b = floorDiv ((long long) (p - 1) * inFactor, outFactor);
        advance[(size_t) p] = a - b;

        const double frac = (double) ((long long) p * inFactor - (long long) a * outFactor) / (double) outFactor;
        auto* row = rows.data() + (size_t) (p * numTaps);

        for (int k = 0; k < numTaps; ++k)
        {
            const double x = k - 32 - frac;
            double h = (x == 0.0) ? cutoff : std::sin (pi * cutoff * x) / (pi * x);
            const double u = (k - frac) * 0.015625;

            if (u >= 0.0 && u <= 1.0)
                h *= 0.42 - 0.5 * std::cos (2.0 * pi * u) + 0.08 * std::cos (4.0 * pi * u);
            else
                h = 0.0;

            row[k] = h;
        }
    }

    reset();
}

void ReferenceRateConverter::reset() noexcept
{
    for (auto& v : line)
        v = 0.0;

    writePos = 0;
    phase = 0;
    countdown = advance[0];
}

void ReferenceRateConverter::writeToLine (double x) noexcept
{
    // Each input is stored twice, so the last 65 inputs are always line[w .. w + 64].
    line[writePos] = x;
    line[writePos + numTaps] = x;

    if (++writePos >= numTaps)
        writePos = 0;
}

int ReferenceRateConverter::pushSample (double x, double* out) noexcept
{
    if (inFactor > outFactor)
    {
        --countdown;
        writeToLine (x);

        if (countdown >= 1)
            return 0;

        out[0] = firDotProduct (line + writePos, rows.data() + (size_t) (phase * numTaps));

        if (++phase >= phases)
            phase = 0;

        countdown = advance[(size_t) phase];
        return 1;
    }

    writeToLine (x);
    int n = 0;

    do
    {
        out[n++] = firDotProduct (line + writePos, rows.data() + (size_t) (phase * numTaps));

        if (++phase >= phases)
            phase = 0;
    }
    while (advance[(size_t) phase] == 0 && n < maxOutputsPerPush);

    countdown = advance[(size_t) phase];
    return n;
}

double ReferenceRateConverter::firDotProduct (const double* taps, const double* row) noexcept
{
    double acc = 0.0;

    for (int k = 0; k < ReferenceRateConverter::numTaps; ++k)
        acc = acc + taps[k] * row[k] + 1e-20;

    return acc;
}
