#include "dsp/SampleRateContext.h"

#include <cmath>

void setSampleRateContext (SampleRateContext& context, double rate) noexcept
{
    if (! (rate > 0.0) || ! std::isfinite (rate))
        return;

    context.rate = rate;
    context.rateF = (float) rate;

    if (rate == 44100.0)        context.rateIndex = 0;
    else if (rate == 48000.0)   context.rateIndex = 1;
    else if (rate == 88200.0)   context.rateIndex = 2;
    else if (rate == 96000.0)   context.rateIndex = 3;
    else if (rate == 192000.0)  context.rateIndex = 4;

    context.invRate = 1.0 / rate;
    context.invRateF = (float) context.invRate;
    context.halfInvRate = 1.0 / (2.0 * rate);
    context.ratio = rate * 2.2675736961451248e-5;
    context.ratioF = (float) context.ratio;
    context.k = 2.0 * (1.0 - std::pow (0.5, 44100.0 / rate));
    context.kF = (float) context.k;
    context.inverseRatio = (1.0 / rate) * 44100.0;
    context.kCubed = context.k * context.k * context.k;
    context.kCubedF = (float) context.kCubed;
    context.nyquist = rate * 0.5;
    context.smooth = context.k * 0.002;
    context.smoothF = (float) context.smooth;
    context.fastF = (float) (context.k * 0.005);
    context.slowF = (float) (context.k * 0.0001);
    context.fade = context.k * 0.002;
    context.fadeF = (float) context.fade;
}
