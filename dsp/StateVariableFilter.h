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
        the given type. */
   #if defined (__GNUC__)
    __attribute__ ((always_inline))     // a call per sample costs more than the filter
   #endif
    double process (double in, int type) noexcept
    {
        const double f = lastF, q = lastQ;
        const double u = inputGain * in;
        const double low = state[0], band = state[1];

        // Low and band after both passes, side by side.
        const Pair next = (fromLow * low + fromBand * band) + (fromInput * u + 1e-20);
        const double low2 = next[0];

        double out = low2;

        if (type == bandPass)
        {
            out = next[1];
        }
        else if (type != lowPass)
        {
            // The high-pass output of the second pass needs the band after the first.
            const double band1 = bandOnce * band + f * (u - low);
            const double high2 = u - low2 - q * band1;
            out = type == highPass ? high2 : high2 + low2;
        }

        state = next;
        return out;
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
        bandOnce = a;
        const auto lowFromLow = 1.0 - ff;
        fromLow = Pair { lowFromLow, -f * (b + lowFromLow) };
        fromBand = Pair { f * (1.0 + a), a * b - ff * (1.0 + a) };
        fromInput = Pair { ff, f * (b + lowFromLow) };
    }

    typedef double Pair __attribute__ ((vector_size (16)));

    Pair state {};                  // low, band
    double lastF = 0.0, lastQ = 0.0;
    double inputGain = 0.0, bandOnce = 0.0;

    // What low and band after both passes take from low, band and the input before them.
    Pair fromLow {}, fromBand {}, fromInput {};
};
