/*
    Which instruction set the bit crusher's sample loops use: the baseline (SSE2 on x86-64,
    which every such processor has) or AVX2 with fused multiply-add, chosen at run time when
    the processor has it. The loops are compiled for both, with the per-sample and per-step
    inner loops (VectorLanes) inlined into each; the two compute the same sums and may
    differ in the last bit, because fused multiply-adds round once.

    Objects take the set that is active when they are made (getActive); select() exists so
    that tests and the benchmark can run the baseline set on any machine.
*/
#pragma once

struct VectorKernels
{
    /** A name for reports: "SSE2", "AVX2+FMA" or "portable". */
    const char* name;

    /** True for AVX2 + FMA: objects that compile their sample loops for it run that loop. */
    bool wide;

    /** The set new objects take. */
    static const VectorKernels& getActive() noexcept;

    /** Makes the widest set the processor has active (true), or the baseline set (false). */
    static void select (bool widest) noexcept;

    /** True when the processor can run the AVX2 set. */
    static bool hasWideSet() noexcept;
};
