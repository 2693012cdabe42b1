/*
    The inner loops that are not run at every sample (the step output's queue additions,
    once per new step), written once for SSE2 (every x86-64 processor has it) and once
    for AVX2 with fused multiply-add, which is chosen at run time when the processor has it.
    Both sets compute the same sums; they may differ in the last bit, because fused
    multiply-adds round once. The loops run at every sample (sinc sums, step
    output runs, converter filters) are in VectorLanes, inlined into a sample loop compiled
    for the set chosen here.

    Objects take the set that is active when they are made (getActive); select() exists so
    that tests and the benchmark can run the baseline set on any machine.
*/
#pragma once

struct VectorKernels
{
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
