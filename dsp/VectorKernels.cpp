#include "dsp/VectorKernels.h"

#include <atomic>

#if defined (__x86_64__) || defined (__i386__)
 #define VELCROFT_X86 1
 #include <immintrin.h>
#else
 #define VELCROFT_X86 0
#endif

namespace VectorKernelsDetail
{
#if VELCROFT_X86
//==============================================================================
// SSE2: two doubles per operation.
void addRowsSse2 (double* dst, double x, const double* a, double y, const double* s, int n) noexcept
{
    const auto vx = _mm_set1_pd (x), vy = _mm_set1_pd (y);
    int k = 0;

    for (; k + 2 <= n; k += 2)
    {
        const auto sum = _mm_add_pd (_mm_mul_pd (vx, _mm_loadu_pd (a + k)), _mm_mul_pd (vy, _mm_loadu_pd (s + k)));
        _mm_storeu_pd (dst + k, _mm_add_pd (_mm_loadu_pd (dst + k), sum));
    }

    for (; k < n; ++k)
        dst[k] += x * a[k] + y * s[k];
}

void addRowsTwiceSse2 (double* dst1, double x1, double* dst2, double x2,
                       const double* a, double f, const double* s, int n) noexcept
{
    const auto vf = _mm_set1_pd (f), v1 = _mm_set1_pd (x1), v2 = _mm_set1_pd (x2);
    int k = 0;

    for (; k + 2 <= n; k += 2)
    {
        const auto w = _mm_add_pd (_mm_loadu_pd (a + k), _mm_mul_pd (vf, _mm_loadu_pd (s + k)));
        _mm_storeu_pd (dst1 + k, _mm_add_pd (_mm_loadu_pd (dst1 + k), _mm_mul_pd (v1, w)));
        _mm_storeu_pd (dst2 + k, _mm_add_pd (_mm_loadu_pd (dst2 + k), _mm_mul_pd (v2, w)));
    }

    for (; k < n; ++k)
    {
        const auto w = a[k] + f * s[k];
        dst1[k] += x1 * w;
        dst2[k] += x2 * w;
    }
}

//==============================================================================
// AVX2 with fused multiply-add: four doubles per operation.
#define VELCROFT_WIDE __attribute__ ((target ("avx2,fma")))

VELCROFT_WIDE void addRowsAvx2 (double* dst, double x, const double* a, double y, const double* s, int n) noexcept
{
    const auto vx = _mm256_set1_pd (x), vy = _mm256_set1_pd (y);
    int k = 0;

    for (; k + 4 <= n; k += 4)
    {
        const auto sum = _mm256_fmadd_pd (vx, _mm256_loadu_pd (a + k), _mm256_loadu_pd (dst + k));
        _mm256_storeu_pd (dst + k, _mm256_fmadd_pd (vy, _mm256_loadu_pd (s + k), sum));
    }

    for (; k < n; ++k)
        dst[k] += x * a[k] + y * s[k];
}

VELCROFT_WIDE void addRowsTwiceAvx2 (double* dst1, double x1, double* dst2, double x2,
                                     const double* a, double f, const double* s, int n) noexcept
{
    const auto vf = _mm256_set1_pd (f), v1 = _mm256_set1_pd (x1), v2 = _mm256_set1_pd (x2);
    int k = 0;

    for (; k + 4 <= n; k += 4)
    {
        const auto w = _mm256_fmadd_pd (vf, _mm256_loadu_pd (s + k), _mm256_loadu_pd (a + k));
        _mm256_storeu_pd (dst1 + k, _mm256_fmadd_pd (v1, w, _mm256_loadu_pd (dst1 + k)));
        _mm256_storeu_pd (dst2 + k, _mm256_fmadd_pd (v2, w, _mm256_loadu_pd (dst2 + k)));
    }

    for (; k < n; ++k)
    {
        const auto w = a[k] + f * s[k];
        dst1[k] += x1 * w;
        dst2[k] += x2 * w;
    }
}

#undef VELCROFT_WIDE

bool processorHasWideSet() noexcept
{
    __builtin_cpu_init();
    return __builtin_cpu_supports ("avx2") && __builtin_cpu_supports ("fma");
}

#else
//==============================================================================
// Other processors: plain loops, which the compiler vectorises as it can.
void addRowsSse2 (double* dst, double x, const double* a, double y, const double* s, int n) noexcept
{
    for (int k = 0; k < n; ++k)
        dst[k] += x * a[k] + y * s[k];
}

void addRowsTwiceSse2 (double* dst1, double x1, double* dst2, double x2,
                       const double* a, double f, const double* s, int n) noexcept
{
    for (int k = 0; k < n; ++k)
    {
        const auto w = a[k] + f * s[k];
        dst1[k] += x1 * w;
        dst2[k] += x2 * w;
    }
}

bool processorHasWideSet() noexcept     { return false; }
#endif

const VectorKernels baselineSet { addRowsSse2, addRowsTwiceSse2,
                                  VELCROFT_X86 ? "SSE2" : "portable", false };

#if VELCROFT_X86
const VectorKernels wideSet { addRowsAvx2, addRowsTwiceAvx2, "AVX2+FMA", true };
#else
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
