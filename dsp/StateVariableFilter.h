/*
    A Chamberlin state-variable filter run twice per sample, with low-pass, band-pass,
    high-pass and band-reject outputs. Each recursive value adds 1e-20 so that silence
    never leaves denormal numbers in the state.
*/
#pragma once

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

    /** Filters one sample with frequency coefficient f, damping q and input gain g (the
        square root of q) and returns the output of the given type. */
    double process (double in, double f, double q, double g, int type) noexcept
    {
        const double u = g * in;

        for (int pass = 0; pass < 2; ++pass)
        {
            low = low + f * band + 1e-20;
            high = u - low - q * band + 1e-20;
            band = band + f * high + 1e-20;
        }

        notch = high + low + 1e-20;

        switch (type)
        {
            case lowPass:   return low;
            case bandPass:  return band;
            case highPass:  return high;
            default:        return notch;
        }
    }

    /** Clears the state. */
    void reset() noexcept                   { low = band = high = notch = 0.0; }

    double low = 0.0, band = 0.0, high = 0.0, notch = 0.0;
};
