/*
    The values a DSP core derives from one sample rate, so that smoothing, meter decay and
    fades take the same time at every rate.
*/
#pragma once

struct SampleRateContext
{
    double rate = 44100.0;          /**< The sample rate in Hz. */
    float rateF = 44100.0f;         /**< The sample rate as float. */
    int rateIndex = 0;              /**< 0 for 44,100, 1 for 48,000, 2 for 88,200, 3 for 96,000, 4 for 192,000. */
    double invRate = 0.0;           /**< 1 / rate. */
    float invRateF = 0.0f;          /**< 1 / rate as float. */
    double halfInvRate = 0.0;       /**< 1 / (2 rate). */
    double ratio = 1.0;             /**< rate / 44,100. */
    float ratioF = 1.0f;            /**< rate / 44,100 as float. */
    double k = 1.0;                 /**< Smoothing base 2 (1 - 0.5^(44100 / rate)): 1 at 44,100 Hz, smaller above. */
    float kF = 1.0f;                /**< k as float. */
    double inverseRatio = 1.0;      /**< 44,100 / rate. */
    double kCubed = 1.0;            /**< k cubed. */
    float kCubedF = 1.0f;           /**< k cubed as float. */
    double nyquist = 22050.0;       /**< rate / 2. */
    double smooth = 0.002;          /**< Per-sample parameter smoothing coefficient, k x 0.002. */
    float smoothF = 0.002f;         /**< smooth as float. */
    float fastF = 0.005f;           /**< A faster coefficient, k x 0.005. */
    float slowF = 0.0001f;          /**< A slower coefficient, k x 0.0001. */
    double fade = 0.002;            /**< Silent-change fade coefficient, k x 0.002. */
    float fadeF = 0.002f;           /**< fade as float. */
};

/** Fills a context for a sample rate. A rate that is not positive and finite leaves the
    context unchanged; a rate other than the five indexed ones leaves rateIndex as it was. */
void setSampleRateContext (SampleRateContext& context, double rate) noexcept;
