/*
    The inner loops that do much work per call (the rate converters' filters, and the step
    output's queue additions), written once for SSE2 (every x86-64 processor has it) and once
    for AVX2 with fused multiply-add, which is chosen at run time when the processor has it.
    Both sets compute the same sums; they may differ in the last bit, because fused
    multiply-adds round once. The loops run at every sample of the crusher are in
    VectorLanes, inlined into a sample loop compiled for the set chosen here.

    Objects take the set that is active when they are made (getActive); select() exists so
    that tests and the benchmark can run the baseline set on any machine.
*/
#pragma once

struct VectorKernels
{
    /** Taps of the rate converters' filters. */
    static constexpr int firTaps = 65;

    /** Taps of the crusher's sinc sum (see VectorLanes). */
    static constexpr int sincTaps = 32;

    /** Coefficients stored per converter row: the 65 taps and zeros up to a whole number of
        eight-sample groups. */
    static constexpr int firRowLength = 72;

    /** The converters' filter: the 65 most recent samples of each channel (oldest first)
        times one row of coefficients: out[0] = left sum, out[1] = right sum (each plus
        65e-20, so silence never leaves denormal numbers behind). The 64 older samples are
        read from left and right, the newest are passed by value: they were stored a moment
        ago, and reading them back as part of a wide load would wait for those stores. row is
        32-byte aligned. */
    void (*firDouble) (const double* left, const double* right, const double* row,
                       double newestLeft, double newestRight, double* out) noexcept;

    /** The same in single precision. */
    void (*firFloat) (const float* left, const float* right, const float* row,
                      float newestLeft, float newestRight, double* out) noexcept;

    /** dst[k] += x a[k] + y s[k], for k < n. */
    void (*addRows) (double* dst, double x, const double* a, double y, const double* s, int n) noexcept;

    /** w = a[k] + f s[k]; dst1[k] += x1 w; dst2[k] += x2 w, for k < n. */
    void (*addRowsTwice) (double* dst1, double x1, double* dst2, double x2,
                          const double* a, double f, const double* s, int n) noexcept;

    /** A name for reports: "SSE2" or "AVX2+FMA". */
    const char* name;

    /** True for the AVX2 + FMA set: objects that compile their own sample loops for AVX2
        (see VectorLanes) run that loop too. */
    bool wide;

    /** The set new objects take. */
    static const VectorKernels& getActive() noexcept;

    /** Makes the widest set the processor has active (true), or the SSE2 set (false). */
    static void select (bool widest) noexcept;

    /** True when the processor can run the AVX2 set. */
    static bool hasWideSet() noexcept;
};
