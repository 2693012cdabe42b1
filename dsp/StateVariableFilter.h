/*
    A Chamberlin state-variable filter run twice per sample, with low-pass, band-pass,
    high-pass and band-reject outputs.

    Each pass is low += f band; high = u - low - q band; band += f high. Written out, the two
    passes are a linear map of (low, band, u), so the state is updated directly with
    coefficients computed from f and q: the same filter, with a dependency chain from one
    sample to the next a third as long. A bias of 1e-20 per sample keeps silence from
    leaving denormal numbers in the state.
*/
#pragma once

#include <cmath>

class StateVariableFilter
{
public:
    /** The filter outputs, as the type values of the crusher's filter parameter. */
    enum Type
    {
        lowPass = 0,
        bandPass = 1,
        highPass = 2,
        bandReject = 3
    };

    /** A filter at rest, with frequency and damping 0. */
    StateVariableFilter() noexcept          { setCoefficients (0.0, 0.0); }

    /** Sets the frequency coefficient f and the damping q (the input gain is the square root
        of q) that process uses; the coefficients are computed again only when they change. */
   #if defined (__GNUC__)
    __attribute__ ((always_inline))
   #endif
    void setFrequencyAndDamping (double f, double q) noexcept
    {
        if (f != lastF || q != lastQ)
            setCoefficients (f, q);
    }

    /** Filters one sample with the last frequency and damping set, and returns the output of
        the given type (0 to 3). */
   #if defined (__GNUC__)
    __attribute__ ((always_inline))     // a call per sample costs more than the filter
   #endif
    double process (double in, int type) noexcept
    {
        const double u = inputGain * in;

        // Every output after both passes, side by side: low and band (the new state), high
        // and band-reject; the one asked for is picked without a branch.
        const Outputs next = (fromLow * state[0] + fromBand * state[1]) + (fromInput * u + 1e-20);
        state = Pair { next[0], next[1] };
        return next[type & 3];
    }

    /** Clears the state. */
    void reset() noexcept                   { state = Pair {}; }

private:
    void setCoefficients (double f, double q) noexcept
    {
        const double ff = f * f;
        const double a = 1.0 - f * (f + q);         // band's own factor in one pass
        const double b = 1.0 - f * q;

        lastF = f;
        lastQ = q;
        inputGain = std::sqrt (q > 0.0 ? q : 0.0);

        // After the first pass band is a band + f (u - low); after the second, low is as below,
        // high = u - low - q band (of the first pass) and band-reject = high + low.
        const auto lowFromLow = 1.0 - ff, lowFromBand = f * (1.0 + a);
        fromLow = Outputs { lowFromLow, -f * (b + lowFromLow), q * f - lowFromLow, q * f };
        fromBand = Outputs { lowFromBand, a * b - ff * (1.0 + a), -lowFromBand - q * a, -q * a };
        fromInput = Outputs { ff, f * (b + lowFromLow), 1.0 - ff - q * f, 1.0 - q * f };
    }

    typedef double Pair __attribute__ ((vector_size (16)));
    typedef double Outputs __attribute__ ((vector_size (32)));

    Pair state {};                  // low, band
    double lastF = 0.0, lastQ = 0.0;
    double inputGain = 0.0;

    // What low, band, high and band-reject after both passes take from low, band and the
    // input before them.
    Outputs fromLow {}, fromBand {}, fromInput {};
};
