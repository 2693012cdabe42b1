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
constexpr int firTaps = VectorKernels::firTaps;
constexpr double firGuard = firTaps * 1e-20;

#if VELCROFT_X86
//==============================================================================
// SSE2: two doubles or four floats per operation.
void firDoubleSse2 (const double* left, const double* right, const double* row,
                    double newestLeft, double newestRight, double* out) noexcept
{
    // Each coefficient pair is loaded once for both channels.
    auto l0 = _mm_setzero_pd(), l1 = _mm_setzero_pd(), r0 = _mm_setzero_pd(), r1 = _mm_setzero_pd();

    for (int k = 0; k < firTaps - 1; k += 4)
    {
        const auto c0 = _mm_load_pd (row + k), c1 = _mm_load_pd (row + k + 2);
        l0 = _mm_add_pd (l0, _mm_mul_pd (_mm_loadu_pd (left + k), c0));
        r0 = _mm_add_pd (r0, _mm_mul_pd (_mm_loadu_pd (right + k), c0));
        l1 = _mm_add_pd (l1, _mm_mul_pd (_mm_loadu_pd (left + k + 2), c1));
        r1 = _mm_add_pd (r1, _mm_mul_pd (_mm_loadu_pd (right + k + 2), c1));
    }

    const auto l = _mm_add_pd (l0, l1), r = _mm_add_pd (r0, r1);
    auto sum = _mm_add_pd (_mm_unpacklo_pd (l, r), _mm_unpackhi_pd (l, r));     // (left, right)
    sum = _mm_add_pd (sum, _mm_mul_pd (_mm_set_pd (newestRight, newestLeft), _mm_set1_pd (row[firTaps - 1])));
    _mm_storeu_pd (out, _mm_add_pd (sum, _mm_set1_pd (firGuard)));
}

void firFloatSse2 (const float* left, const float* right, const float* row,
                   float newestLeft, float newestRight, double* out) noexcept
{
    auto l0 = _mm_setzero_ps(), l1 = _mm_setzero_ps(), r0 = _mm_setzero_ps(), r1 = _mm_setzero_ps();

    for (int k = 0; k < firTaps - 1; k += 8)
    {
        const auto c0 = _mm_load_ps (row + k), c1 = _mm_load_ps (row + k + 4);
        l0 = _mm_add_ps (l0, _mm_mul_ps (_mm_loadu_ps (left + k), c0));
        r0 = _mm_add_ps (r0, _mm_mul_ps (_mm_loadu_ps (right + k), c0));
        l1 = _mm_add_ps (l1, _mm_mul_ps (_mm_loadu_ps (left + k + 4), c1));
        r1 = _mm_add_ps (r1, _mm_mul_ps (_mm_loadu_ps (right + k + 4), c1));
    }

    // (l0 + l2, l1 + l3, r0 + r2, r1 + r3), then (left, right).
    const auto l = _mm_add_ps (l0, l1), r = _mm_add_ps (r0, r1);
    const auto halves = _mm_add_ps (_mm_movelh_ps (l, r), _mm_movehl_ps (r, l));
    auto sum = _mm_add_ps (halves, _mm_shuffle_ps (halves, halves, _MM_SHUFFLE (2, 3, 0, 1)));
    sum = _mm_shuffle_ps (sum, sum, _MM_SHUFFLE (2, 0, 2, 0));
    sum = _mm_add_ps (sum, _mm_mul_ps (_mm_set_ps (0.0f, 0.0f, newestRight, newestLeft), _mm_set1_ps (row[firTaps - 1])));
    _mm_storeu_pd (out, _mm_add_pd (_mm_cvtps_pd (sum), _mm_set1_pd (firGuard)));
}

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
// AVX2 with fused multiply-add: four doubles or eight floats per operation.
#define VELCROFT_WIDE __attribute__ ((target ("avx2,fma")))

VELCROFT_WIDE void firDoubleAvx2 (const double* left, const double* right, const double* row,
                                  double newestLeft, double newestRight, double* out) noexcept
{
    // Four sums per channel, so that the chains of dependent additions stay short; each
    // coefficient group is loaded once for both channels.
    auto l0 = _mm256_setzero_pd(), l1 = _mm256_setzero_pd(), l2 = _mm256_setzero_pd(), l3 = _mm256_setzero_pd();
    auto r0 = _mm256_setzero_pd(), r1 = _mm256_setzero_pd(), r2 = _mm256_setzero_pd(), r3 = _mm256_setzero_pd();

    for (int k = 0; k < firTaps - 1; k += 16)
    {
        const auto c0 = _mm256_load_pd (row + k), c1 = _mm256_load_pd (row + k + 4);
        const auto c2 = _mm256_load_pd (row + k + 8), c3 = _mm256_load_pd (row + k + 12);
        l0 = _mm256_fmadd_pd (_mm256_loadu_pd (left + k),       c0, l0);
        r0 = _mm256_fmadd_pd (_mm256_loadu_pd (right + k),      c0, r0);
        l1 = _mm256_fmadd_pd (_mm256_loadu_pd (left + k + 4),   c1, l1);
        r1 = _mm256_fmadd_pd (_mm256_loadu_pd (right + k + 4),  c1, r1);
        l2 = _mm256_fmadd_pd (_mm256_loadu_pd (left + k + 8),   c2, l2);
        r2 = _mm256_fmadd_pd (_mm256_loadu_pd (right + k + 8),  c2, r2);
        l3 = _mm256_fmadd_pd (_mm256_loadu_pd (left + k + 12),  c3, l3);
        r3 = _mm256_fmadd_pd (_mm256_loadu_pd (right + k + 12), c3, r3);
    }

    const auto l = _mm256_add_pd (_mm256_add_pd (l0, l1), _mm256_add_pd (l2, l3));
    const auto r = _mm256_add_pd (_mm256_add_pd (r0, r1), _mm256_add_pd (r2, r3));
    const auto pairs = _mm256_hadd_pd (l, r);                   // (l0 + l1, r0 + r1, l2 + l3, r2 + r3)
    auto sum = _mm_add_pd (_mm256_castpd256_pd128 (pairs), _mm256_extractf128_pd (pairs, 1));
    sum = _mm_fmadd_pd (_mm_set_pd (newestRight, newestLeft), _mm_set1_pd (row[firTaps - 1]), sum);
    _mm_storeu_pd (out, _mm_add_pd (sum, _mm_set1_pd (firGuard)));
}

VELCROFT_WIDE void firFloatAvx2 (const float* left, const float* right, const float* row,
                                 float newestLeft, float newestRight, double* out) noexcept
{
    auto l0 = _mm256_setzero_ps(), l1 = _mm256_setzero_ps(), r0 = _mm256_setzero_ps(), r1 = _mm256_setzero_ps();

    for (int k = 0; k < firTaps - 1; k += 16)
    {
        const auto c0 = _mm256_load_ps (row + k), c1 = _mm256_load_ps (row + k + 8);
        l0 = _mm256_fmadd_ps (_mm256_loadu_ps (left + k),      c0, l0);
        r0 = _mm256_fmadd_ps (_mm256_loadu_ps (right + k),     c0, r0);
        l1 = _mm256_fmadd_ps (_mm256_loadu_ps (left + k + 8),  c1, l1);
        r1 = _mm256_fmadd_ps (_mm256_loadu_ps (right + k + 8), c1, r1);
    }

    const auto l = _mm256_add_ps (l0, l1), r = _mm256_add_ps (r0, r1);
    const auto l4 = _mm_add_ps (_mm256_castps256_ps128 (l), _mm256_extractf128_ps (l, 1));
    const auto r4 = _mm_add_ps (_mm256_castps256_ps128 (r), _mm256_extractf128_ps (r, 1));
    const auto halves = _mm_add_ps (_mm_movelh_ps (l4, r4), _mm_movehl_ps (r4, l4));
    auto sum = _mm_add_ps (halves, _mm_shuffle_ps (halves, halves, _MM_SHUFFLE (2, 3, 0, 1)));
    sum = _mm_shuffle_ps (sum, sum, _MM_SHUFFLE (2, 0, 2, 0));
    sum = _mm_fmadd_ps (_mm_set_ps (0.0f, 0.0f, newestRight, newestLeft), _mm_set1_ps (row[firTaps - 1]), sum);
    _mm_storeu_pd (out, _mm_add_pd (_mm_cvtps_pd (sum), _mm_set1_pd (firGuard)));
}

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
template <typename Sample>
void firPlain (const Sample* left, const Sample* right, const Sample* row, Sample newestLeft, Sample newestRight, double* out) noexcept
{
    Sample l = newestLeft * row[firTaps - 1], r = newestRight * row[firTaps - 1];

    for (int k = 0; k < firTaps - 1; ++k)
    {
        l += left[k] * row[k];
        r += right[k] * row[k];
    }

    out[0] = l + firGuard;
    out[1] = r + firGuard;
}

void firDoubleSse2 (const double* left, const double* right, const double* row,
                    double newestLeft, double newestRight, double* out) noexcept
{
    firPlain (left, right, row, newestLeft, newestRight, out);
}

void firFloatSse2 (const float* left, const float* right, const float* row,
                   float newestLeft, float newestRight, double* out) noexcept
{
    firPlain (left, right, row, newestLeft, newestRight, out);
}

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

const VectorKernels baselineSet { firDoubleSse2, firFloatSse2, addRowsSse2, addRowsTwiceSse2,
                                  VELCROFT_X86 ? "SSE2" : "portable", false };

#if VELCROFT_X86
const VectorKernels wideSet { firDoubleAvx2, firFloatAvx2, addRowsAvx2, addRowsTwiceAvx2, "AVX2+FMA", true };
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
