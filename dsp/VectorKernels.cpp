#include "dsp/VectorKernels.h"

#include <atomic>

namespace VectorKernelsDetail
{
#if defined (__x86_64__) || defined (__i386__)
bool processorHasWideSet() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
}

const VectorKernels baselineSet { "SSE2", false };
const VectorKernels wideSet { "AVX2+FMA", true };
#else
bool processorHasWideSet() noexcept     { return false; }

const VectorKernels baselineSet { "portable", false };
const VectorKernels& wideSet = baselineSet;
#endif

const VectorKernels* widest() noexcept
{
    static const bool wide = processorHasWideSet();
    return wide ? &wideSet : &baselineSet;
}

std::atomic<const VectorKernels*>& activeSet() noexcept
{
    static std::atomic<const VectorKernels*> active { widest() };
    return active;
}
} // namespace VectorKernelsDetail

const VectorKernels& VectorKernels::getActive() noexcept
{
    return *VectorKernelsDetail::activeSet().load (std::memory_order_acquire);
}

void VectorKernels::select (bool widest) noexcept
{
    VectorKernelsDetail::activeSet().store (widest ? VectorKernelsDetail::widest() : &VectorKernelsDetail::baselineSet,
                                            std::memory_order_release);
}

bool VectorKernels::hasWideSet() noexcept
{
    return VectorKernelsDetail::widest() != &VectorKernelsDetail::baselineSet;
}
