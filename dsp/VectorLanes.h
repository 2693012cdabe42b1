/*
    The inner loops the bit crusher runs for every sample or every new step, written once
    with the compiler's vector types and meant to be inlined into the sample loop itself.
    They become whatever the function they are inlined into is compiled for: SSE2 in the
    baseline loop, AVX2 with fused multiply-add in the loop VelcroftCore compiles for
    processors that have it (so the two may differ in the last bit; VectorKernels says which
    loop runs).
*/
#pragma once

#include "dsp/BandLimitedStep.h"

#include <cstring>
#include <limits>
#include <type_traits>

#if defined (__GNUC__)
 #define VELCROFT_ALWAYS_INLINE inline __attribute__ ((always_inline))
 #define VELCROFT_ALWAYS_INLINE_LAMBDA __attribute__ ((always_inline))
#else
 #define VELCROFT_ALWAYS_INLINE inline
 #define VELCROFT_ALWAYS_INLINE_LAMBDA
#endif

struct VectorLanes
{
    typedef double Doubles __attribute__ ((vector_size (32)));
    typedef float Floats __attribute__ ((vector_size (32)));
    typedef double DoublesHalf __attribute__ ((vector_size (16)));
    typedef float FloatsHalf __attribute__ ((vector_size (16)));

    /** Four doubles from p (any alignment). */
    static VELCROFT_ALWAYS_INLINE Doubles loadDoubles (const double* p) noexcept
    {
        Doubles v;
        std::memcpy (&v, p, sizeof (v));
        return v;
    }

    /** Eight floats from p, or as many as Lanes holds (any alignment). */
    template <typename Lanes = Floats>
    static VELCROFT_ALWAYS_INLINE Lanes loadFloats (const float* p) noexcept
    {
        Lanes v;
        std::memcpy (&v, p, sizeof (v));
        return v;
    }

    /** The sum of the four lanes. */
    static VELCROFT_ALWAYS_INLINE double sum (Doubles v) noexcept
    {
        const auto pair = lowHalf (v) + highHalf (v);
        return pair[0] + pair[1];
    }

    /** The sum of the eight lanes. */
    static VELCROFT_ALWAYS_INLINE float sum (Floats v) noexcept
    {
        return sum (lowHalf (v) + highHalf (v));
    }

    /** The crusher's sinc sum: row[0..31] times the 31 older ring entries ring[0..30] and the
        newest value (passed by value: it was stored a moment ago, and reading it back as
        part of a wide load would wait for that store), plus 32e-20 so that silence never
        leaves denormal numbers behind. */
    static VELCROFT_ALWAYS_INLINE double sincDot (const double* row, const double* ring, double newest) noexcept
    {
        auto a0 = loadDoubles (row) * loadDoubles (ring);
        auto a1 = loadDoubles (row + 4) * loadDoubles (ring + 4);
        auto a2 = loadDoubles (row + 8) * loadDoubles (ring + 8);
        auto a3 = loadDoubles (row + 12) * loadDoubles (ring + 12);
        a0 += loadDoubles (row + 16) * loadDoubles (ring + 16);
        a1 += loadDoubles (row + 20) * loadDoubles (ring + 20);
        a2 += loadDoubles (row + 24) * loadDoubles (ring + 24);
        const Doubles last = { ring[28], ring[29], ring[30], newest };
        a3 += loadDoubles (row + 28) * last;

        return sum ((a0 + a1) + (a2 + a3)) + 32.0e-20;
    }

    /** sincDot of two rings over one row, { left, right }: the row is loaded once for both,
        and each sum is added up as sincDot adds it up. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE DoublesHalf sincDots (const double* row, const double* left, double newestLeft,
                                                        const double* right, double newestRight) noexcept
    {
        return sincDotsWithLast<Width> (row, left, Doubles { left[28], left[29], left[30], newestLeft },
                                        right, Doubles { right[28], right[29], right[30], newestRight });
    }

    /** sincDots where the newest values were stored long enough ago to be read in wide loads
        with the others: left[0..31] and right[0..31]. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE DoublesHalf sincDotsStored (const double* row, const double* left, const double* right) noexcept
    {
        return sincDotsWithLast<Width> (row, left, loadDoubles (left + 28), right, loadDoubles (right + 28));
    }

    /** sincDots with the last four values of each ring given. */
    template <int Width>
    static VELCROFT_ALWAYS_INLINE DoublesHalf sincDotsWithLast (const double* row, const double* left, Doubles lastLeft,
                                                                const double* right, Doubles lastRight) noexcept
    {
        auto r0 = loadDoubles (row), r1 = loadDoubles (row + 4), r2 = loadDoubles (row + 8), r3 = loadDoubles (row + 12);
        auto r4 = loadDoubles (row + 16), r5 = loadDoubles (row + 20), r6 = loadDoubles (row + 24), r7 = loadDoubles (row + 28);
        keepInRegisters<Width> (r0, r1, r2, r3, r4, r5, r6, r7);

        auto l0 = r0 * loadDoubles (left), l1 = r1 * loadDoubles (left + 4);
        auto l2 = r2 * loadDoubles (left + 8), l3 = r3 * loadDoubles (left + 12);
        l0 += r4 * loadDoubles (left + 16);
        l1 += r5 * loadDoubles (left + 20);
        l2 += r6 * loadDoubles (left + 24);
        l3 += r7 * lastLeft;

        auto m0 = r0 * loadDoubles (right), m1 = r1 * loadDoubles (right + 4);
        auto m2 = r2 * loadDoubles (right + 8), m3 = r3 * loadDoubles (right + 12);
        m0 += r4 * loadDoubles (right + 16);
        m1 += r5 * loadDoubles (right + 20);
        m2 += r6 * loadDoubles (right + 24);
        m3 += r7 * lastRight;

        // { (a0 + a2) + (a1 + a3) } for each, the order sum takes.
        const auto a = (l0 + l1) + (l2 + l3), b = (m0 + m1) + (m2 + m3);
        const Doubles pairs = __builtin_shufflevector (a, b, 0, 4, 1, 5) + __builtin_shufflevector (a, b, 2, 6, 3, 7);
        return (lowHalf (pairs) + highHalf (pairs)) + 32.0e-20;
    }

    /** Makes the compiler hold vectors in registers from here on, in a loop compiled for AVX
        (Width 4). Left to itself it reads a coefficient used for both channels from memory at
        each use, as part of the multiply-add, and then needs an instruction of its own for
        each sample it multiplies: an instruction more per use. */
    template <int Width, typename... Vectors>
    static VELCROFT_ALWAYS_INLINE void keepInRegisters (Vectors&... vectors) noexcept
    {
        (keepInRegister<Width> (vectors), ...);
    }

    template <int Width, typename Vector>
    static VELCROFT_ALWAYS_INLINE void keepInRegister (Vector& v) noexcept
    {
        // GCC's choice only: clang checks the register's width against the file's instruction
        // set, not the function's, and refuses a vector of four doubles there.
       #if defined (__GNUC__) && ! defined (__clang__)
        if constexpr (Width == 4)
            asm ("" : "+x" (v));
       #endif
        (void) v;
    }

    /** The lanes of one output of the rate converters' filter, before they are added up. */
    template <typename Lanes>
    struct FirLanes
    {
        Lanes left, right;
    };

    /** The rate converters' filter: the 64 most recent samples of each channel (oldest
        first, from left and right) times one row of 64 coefficients: out[0] = left sum,
        out[1] = right sum, each plus 65e-20 (as over 65 taps) so that silence never leaves denormal numbers
        behind. */
    template <int Width = 2, typename Sample>
    static VELCROFT_ALWAYS_INLINE void firStereo (const Sample* left, const Sample* right, const Sample* row, double* out) noexcept
    {
        storeFirSums (out, firLanes<Width> (left, right, row));
    }

    /** firStereo for two outputs, stored one after the other in out[0..3]; each sum is added
        up as firStereo adds it up, and both outputs' lanes are added up together. */
    template <int Width = 2, typename Sample>
    static VELCROFT_ALWAYS_INLINE void firStereoTwice (const Sample* first, const Sample* second, int rightOffset,
                                                       const Sample* firstRow, const Sample* secondRow, double* out) noexcept
    {
        const auto a = firLanes<Width> (first, first + rightOffset, firstRow);
        const auto b = firLanes<Width> (second, second + rightOffset, secondRow);
        storeFirSums<Width> (out, a, b);
    }

    /** firStereo's products, summed in the lanes of each channel. */
    template <int Width>
    static VELCROFT_ALWAYS_INLINE FirLanes<Doubles> firLanes (const double* left, const double* right, const double* row) noexcept
    {
        // Four sums per channel, so that the chains of dependent additions stay short; each
        // coefficient group is loaded once for both channels. The sums start from the first
        // products (the same as adding them to zero, without copying the zeros).
        auto c0 = loadDoubles (row), c1 = loadDoubles (row + 4), c2 = loadDoubles (row + 8), c3 = loadDoubles (row + 12);
        keepInRegisters<Width> (c0, c1, c2, c3);
        auto l0 = loadDoubles (left) * c0, r0 = loadDoubles (right) * c0;
        auto l1 = loadDoubles (left + 4) * c1, r1 = loadDoubles (right + 4) * c1;
        auto l2 = loadDoubles (left + 8) * c2, r2 = loadDoubles (right + 8) * c2;
        auto l3 = loadDoubles (left + 12) * c3, r3 = loadDoubles (right + 12) * c3;

        for (int k = 16; k < 64; k += 16)
        {
            c0 = loadDoubles (row + k);
            c1 = loadDoubles (row + k + 4);
            c2 = loadDoubles (row + k + 8);
            c3 = loadDoubles (row + k + 12);
            keepInRegisters<Width> (c0, c1, c2, c3);
            l0 += loadDoubles (left + k) * c0;
            r0 += loadDoubles (right + k) * c0;
            l1 += loadDoubles (left + k + 4) * c1;
            r1 += loadDoubles (right + k + 4) * c1;
            l2 += loadDoubles (left + k + 8) * c2;
            r2 += loadDoubles (right + k + 8) * c2;
            l3 += loadDoubles (left + k + 12) * c3;
            r3 += loadDoubles (right + k + 12) * c3;
        }

        return { (l0 + l1) + (l2 + l3), (r0 + r1) + (r2 + r3) };
    }

    /** The same in single precision. */
    template <int Width>
    static VELCROFT_ALWAYS_INLINE FirLanes<Floats> firLanes (const float* left, const float* right, const float* row) noexcept
    {
        auto c0 = loadFloats (row), c1 = loadFloats (row + 8);
        keepInRegisters<Width> (c0, c1);
        auto l0 = loadFloats (left) * c0, r0 = loadFloats (right) * c0;
        auto l1 = loadFloats (left + 8) * c1, r1 = loadFloats (right + 8) * c1;

        for (int k = 16; k < 64; k += 16)
        {
            c0 = loadFloats (row + k);
            c1 = loadFloats (row + k + 8);
            keepInRegisters<Width> (c0, c1);
            l0 += loadFloats (left + k) * c0;
            r0 += loadFloats (right + k) * c0;
            l1 += loadFloats (left + k + 8) * c1;
            r1 += loadFloats (right + k + 8) * c1;

            // The sums too: else the compiler puts some into a coefficient's register, which
            // it first copies.
            keepInRegisters<Width> (l0, r0, l1, r1);
        }

        return { l0 + l1, r0 + r1 };
    }

    /** Stores one output's sums, { left, right }, plus 65e-20. */
    static VELCROFT_ALWAYS_INLINE void storeFirSums (double* out, FirLanes<Doubles> a) noexcept
    {
        storePair (out, sums (a.left, a.right) + 65.0e-20);
    }

    static VELCROFT_ALWAYS_INLINE void storeFirSums (double* out, FirLanes<Floats> a) noexcept
    {
        const auto total = sums (a.left, a.right);
        storePair (out, DoublesHalf { (double) total[0], (double) total[1] } + 65.0e-20);
    }

    /** The same for two outputs, { left a, right a, left b, right b }: the steps of sums, each
        taken for both outputs in one vector. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE void storeFirSums (double* out, FirLanes<Doubles> a, FirLanes<Doubles> b) noexcept
    {
        const auto pairsA = pairSums (a.left, a.right), pairsB = pairSums (b.left, b.right);
        const Doubles total = __builtin_shufflevector (pairsA, pairsB, 0, 1, 4, 5) + __builtin_shufflevector (pairsA, pairsB, 2, 3, 6, 7);
        const auto result = total + 65.0e-20;
        std::memcpy (out, &result, sizeof (result));
    }

    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE void storeFirSums (double* out, FirLanes<Floats> a, FirLanes<Floats> b) noexcept
    {
        const auto pairsA = pairSums (a.left, a.right), pairsB = pairSums (b.left, b.right);
        const Floats quads = __builtin_shufflevector (pairsA, pairsB, 0, 1, 2, 3, 8, 9, 10, 11)
                           + __builtin_shufflevector (pairsA, pairsB, 4, 5, 6, 7, 12, 13, 14, 15);
        // Each output's two sums in lanes 0 and 1 of its half, which are moved together as one
        // 64-bit lane each.
        const auto halfSums = (Doubles) (quads + __builtin_shufflevector (quads, quads, 2, 3, 2, 3, 6, 7, 6, 7));
        const auto total = (FloatsHalf) __builtin_shufflevector (halfSums, halfSums, 0, 2);
        const auto result = toDoubles<Width> (total) + 65.0e-20;
        std::memcpy (out, &result, sizeof (result));
    }

    typedef float FloatPair __attribute__ ((vector_size (8)));

    /** The sums of the lanes of a and of b, together: { sum (a), sum (b) }. */
    static VELCROFT_ALWAYS_INLINE DoublesHalf sums (Doubles a, Doubles b) noexcept
    {
        const auto pairs = pairSums (a, b);
        return lowHalf (pairs) + highHalf (pairs);     // (a0 + a1) + (a2 + a3), the same for b
    }

    /** The same for eight floats each. */
    static VELCROFT_ALWAYS_INLINE FloatPair sums (Floats a, Floats b) noexcept
    {
        const auto pairs = pairSums (a, b);
        const auto quads = lowHalf (pairs) + highHalf (pairs);
        return FloatPair { quads[0], quads[1] } + FloatPair { quads[2], quads[3] };
    }

    /** The first step of sums: { a0 + a1, b0 + b1, a2 + a3, b2 + b3 }. */
    static VELCROFT_ALWAYS_INLINE Doubles pairSums (Doubles a, Doubles b) noexcept
    {
        return __builtin_shufflevector (a, b, 0, 4, 2, 6) + __builtin_shufflevector (a, b, 1, 5, 3, 7);
    }

    /** The first step of sums for floats: { a0 + a2, b0 + b2, a1 + a3, b1 + b3 } and the same
        for lanes 4 to 7. */
    static VELCROFT_ALWAYS_INLINE Floats pairSums (Floats a, Floats b) noexcept
    {
        return __builtin_shufflevector (a, b, 0, 8, 1, 9, 4, 12, 5, 13)
             + __builtin_shufflevector (a, b, 2, 10, 3, 11, 6, 14, 7, 15);
    }

    /** The low and the high half of a vector. */
    static VELCROFT_ALWAYS_INLINE DoublesHalf lowHalf (Doubles v) noexcept     { return half<DoublesHalf> (v, 0); }
    static VELCROFT_ALWAYS_INLINE DoublesHalf highHalf (Doubles v) noexcept    { return half<DoublesHalf> (v, 1); }
    static VELCROFT_ALWAYS_INLINE FloatsHalf lowHalf (Floats v) noexcept       { return half<FloatsHalf> (v, 0); }
    static VELCROFT_ALWAYS_INLINE FloatsHalf highHalf (Floats v) noexcept      { return half<FloatsHalf> (v, 1); }

    template <typename Half, typename Vector>
    static VELCROFT_ALWAYS_INLINE Half half (Vector v, int which) noexcept
    {
        Half h;
        std::memcpy (&h, reinterpret_cast<const char*> (&v) + which * sizeof (h), sizeof (h));
        return h;
    }

    typedef long long DoubleBits __attribute__ ((vector_size (16)));
    typedef int FloatPairBits __attribute__ ((vector_size (8)));

    /** The magnitudes of the lanes (the sign bits cleared, as std::abs does). */
    static VELCROFT_ALWAYS_INLINE DoublesHalf abs (DoublesHalf v) noexcept
    {
        return (DoublesHalf) ((DoubleBits) v & ~(DoubleBits) -(DoublesHalf {}));      // -0.0: the sign bits alone
    }

    /** Floats for as many lanes as a vector of two or four doubles holds. */
    template <typename DoubleLanes>
    using FloatsFor = typename std::conditional<sizeof (DoubleLanes) == sizeof (Doubles), FloatsHalf, FloatPair>::type;

    typedef long long DoubleBitsWide __attribute__ ((vector_size (32)));

    static VELCROFT_ALWAYS_INLINE Doubles abs (Doubles v) noexcept
    {
        return (Doubles) ((DoubleBitsWide) v & ~(DoubleBitsWide) -(Doubles {}));
    }

    static VELCROFT_ALWAYS_INLINE FloatPair abs (FloatPair v) noexcept
    {
        return (FloatPair) ((FloatPairBits) v & ~(FloatPairBits) -(FloatPair {}));
    }

    typedef int FloatBits __attribute__ ((vector_size (16)));
    typedef long long FloatBitsWide __attribute__ ((vector_size (16)));

    static VELCROFT_ALWAYS_INLINE FloatsHalf abs (FloatsHalf v) noexcept
    {
        return (FloatsHalf) ((FloatBits) v & ~(FloatBits) -(FloatsHalf {}));
    }

    /** For each of four samples, all bits set where it is a finite number other than 0 (it
        sounds), else none. */
    static VELCROFT_ALWAYS_INLINE FloatBits areSounding (FloatsHalf v) noexcept
    {
        const auto magnitude = abs (v);
        return (magnitude > 0.0f) & (magnitude <= std::numeric_limits<float>::max());
    }

    /** True when every lane of a mask has all its bits set. */
    static VELCROFT_ALWAYS_INLINE bool allSet (FloatBits mask) noexcept
    {
        const auto halves = (FloatBitsWide) mask;
        return (halves[0] & halves[1]) == -1;
    }

    /** Four floats as doubles. GCC converts them in two halves and joins those; in a loop
        compiled for AVX (Width 4) one instruction converts all four. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE Doubles toDoubles (FloatsHalf v) noexcept
    {
       #if defined (__GNUC__) && ! defined (__clang__) && (defined (__x86_64__) || defined (__i386__))
        if constexpr (Width == 4)
        {
            Doubles wide;
            asm ("vcvtps2pd %1, %0" : "=x" (wide) : "x" (v));
            return wide;
        }
       #endif
        return __builtin_convertvector (v, Doubles);
    }

    /** Four samples as doubles, each where it is a finite number, else 0. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE Doubles loadFiniteFour (const float* in) noexcept
    {
        const auto x = loadFloats<FloatsHalf> (in);
        const auto kept = (FloatsHalf) ((FloatBits) x & (abs (x) <= std::numeric_limits<float>::max()));
        return toDoubles<Width> (kept);
    }

    /** out[i] = in[i] where it is a finite number, else 0, for the first four samples. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE void copyFiniteFour (const float* in, double* out) noexcept
    {
        const auto wide = loadFiniteFour<Width> (in);
        std::memcpy (out, &wide, sizeof (wide));
    }

    /** The same for four frames of two channels, interleaved: out[2 i] from left[i],
        out[2 i + 1] from right[i]. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE void copyFiniteFrames (const float* left, const float* right, double* out) noexcept
    {
        const auto l = loadFiniteFour<Width> (left), r = loadFiniteFour<Width> (right);
        const Doubles first = __builtin_shufflevector (l, r, 0, 4, 1, 5);
        const Doubles second = __builtin_shufflevector (l, r, 2, 6, 3, 7);
        std::memcpy (out, &first, sizeof (first));
        std::memcpy (out + 4, &second, sizeof (second));
    }

    /** The reverse of an interleaving, for four frames, each channel stored twice: frames[2 i]
        to left1[i] and left2[i], frames[2 i + 1] to right1[i] and right2[i]. */
    static VELCROFT_ALWAYS_INLINE void splitFramesTwice (const double* frames, double* left1, double* left2,
                                                         double* right1, double* right2) noexcept
    {
        const auto first = loadDoubles (frames), second = loadDoubles (frames + 4);
        const Doubles l = __builtin_shufflevector (first, second, 0, 2, 4, 6);
        const Doubles r = __builtin_shufflevector (first, second, 1, 3, 5, 7);
        std::memcpy (left1, &l, sizeof (l));
        std::memcpy (left2, &l, sizeof (l));
        std::memcpy (right1, &r, sizeof (r));
        std::memcpy (right2, &r, sizeof (r));
    }

    /** Two doubles from p (any alignment). */
    static VELCROFT_ALWAYS_INLINE DoublesHalf loadPair (const double* p) noexcept
    {
        DoublesHalf v;
        std::memcpy (&v, p, sizeof (v));
        return v;
    }

    /** Stores two doubles at p (any alignment). */
    static VELCROFT_ALWAYS_INLINE void storePair (double* p, DoublesHalf v) noexcept
    {
        std::memcpy (p, &v, sizeof (v));
    }

    /** Makes the compiler hold a pointer in one register from here on. A queue's address is
        its object's plus a position; left as that sum, each group of an unrolled loop over
        the queue would first compute its address with an instruction of its own. */
    static VELCROFT_ALWAYS_INLINE void inRegister (float*& p) noexcept
    {
       #if defined (__GNUC__)
        asm ("" : "+r" (p));
       #else
        (void) p;
       #endif
    }

    /** The single-precision lanes that go with Width doubles: eight in the AVX2 loop, four in
        the baseline loop (whose registers hold four: wider vectors would pass through the
        stack there). */
    template <int Width>
    using FloatLanes = typename std::conditional<Width == 4, Floats, FloatsHalf>::type;

    /** How many floats FloatLanes<Width> holds. */
    template <int Width>
    static constexpr int floatLanes = (int) (sizeof (FloatLanes<Width>) / sizeof (float));

    /** The step output's queue of pending output (see BandLimitedStepOutput), for one new
        step: dst[k] += x (a[k] + f s[k]), for k < n, a whole number of FloatLanes<Width>. */
    template <int Width>
    static VELCROFT_ALWAYS_INLINE void addRows (float* dst, float x, const float* a, float f, const float* s, int n) noexcept
    {
        using Lanes = FloatLanes<Width>;
        inRegister (dst);
        const auto fraction = f - Lanes {};      // f in every lane (x - 0 is x: no addition)

        for (int k = 0; k < n; k += floatLanes<Width>)
        {
            const auto sum = loadFloats<Lanes> (dst + k) + x * (loadFloats<Lanes> (a + k) + fraction * loadFloats<Lanes> (s + k));
            std::memcpy (dst + k, &sum, sizeof (sum));
        }
    }

    /** The same for a step on two linked channels, whose shape w = a[k] + f s[k] is shared:
        dst1[k] += x1 w and dst2[k] += x2 w. */
    template <int Width>
    static VELCROFT_ALWAYS_INLINE void addRowsTwice (float* dst1, float x1, float* dst2, float x2,
                                                     const float* a, float f, const float* s, int n) noexcept
    {
        using Lanes = FloatLanes<Width>;
        inRegister (dst1);
        inRegister (dst2);
        const auto fraction = f - Lanes {};      // f in every lane (x - 0 is x: no addition)

        for (int k = 0; k < n; k += floatLanes<Width>)
        {
            const auto w = loadFloats<Lanes> (a + k) + fraction * loadFloats<Lanes> (s + k);
            const auto sum1 = loadFloats<Lanes> (dst1 + k) + x1 * w;
            const auto sum2 = loadFloats<Lanes> (dst2 + k) + x2 * w;
            std::memcpy (dst1 + k, &sum1, sizeof (sum1));
            std::memcpy (dst2 + k, &sum2, sizeof (sum2));
        }
    }

    /** How many sizes addWholeRun reads: more than a run's slots inside the table other
        than its newest. */
    static constexpr int wholeRun = 40;

    /** The sum of the lanes. */
    static VELCROFT_ALWAYS_INLINE float sum (FloatsHalf v) noexcept
    {
        // (v[0] + v[2]) + (v[1] + v[3]), the first two additions in one vector instruction.
        const FloatsHalf pairs = v + __builtin_shufflevector (v, v, 2, 3, 2, 3);
        return pairs[0] + pairs[1];
    }

    /** One run of a band-limited step output's slots (see BandLimitedStepOutput), added to
        total: the sum over k < wholeRun of delta[k] (values[k] + fraction slopes[k]), in
        single precision, 2 Width slots at a time. */
    template <int Width>
    static VELCROFT_ALWAYS_INLINE FloatLanes<Width> addWholeRun (FloatLanes<Width> total, const float* delta, const float* values,
                                                                 const float* slopes, float fraction) noexcept
    {
        using Lanes = FloatLanes<Width>;
        constexpr int lanes = (int) (sizeof (Lanes) / sizeof (float));
        static_assert (wholeRun % lanes == 0, "whole groups");
        // The fraction in every lane: x - 0 is x, while x + 0 takes an addition (-0 + 0 is +0).
        const Lanes f = fraction - Lanes {};

        for (int k = 0; k < wholeRun; k += lanes)
            total += loadFloats<Lanes> (delta + k) * (loadFloats<Lanes> (values + k) + f * loadFloats<Lanes> (slopes + k));

        return total;
    }
};
