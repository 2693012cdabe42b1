#include "dsp/BandLimitedStep.h"

#include <cmath>
#include <complex>

/*
    How the step is made:

    1. A low-pass impulse at 128 samples per sample period: a sinc with its cutoff at
       0.7906 of the Nyquist frequency, under a Kaiser window (beta 16.78) that spans
       2459 entries (19.2 sample periods) on each side of the centre.
    2. Its magnitude response, multiplied by that of a 0.7506-period moving average (a
       short hold, which softens the top of the band so the overshoot stays round), and
       floored at -200 dB so the logarithm below stays finite.
    3. The minimum-phase impulse with that magnitude, through the real cepstrum: fold the
       cepstrum onto positive time, exponentiate its spectrum and transform back.
    4. The running sum of that impulse, begun at entry 135 (the delay that keeps the first
       entries exactly -1) and scaled so that entry 4223 reaches exactly 1; the tail past
       entry 4223 (less than 1e-5 of the total) is dropped.
    5. Minus the ideal unit step, which is 1 from entry 0 on.

    The constants were chosen so that the residual passes within 0.004 of the landmark
    values the crusher was voiced with: -0.99932 at entry 384, -0.98430 at 512, -0.86746 at
    640, a crossing of -0.5 between 761 and 762 and of 0 between 874 and 875, the peak of
    0.2126 at 976, then 0.1678 at 1024, -0.1049 at 1152, -0.0119 at 1280, 0.0237 at 2048 and
    -0.0033 at 3072.
*/
namespace BandLimitedStepDetail
{
using Complex = std::complex<double>;

constexpr double pi = 3.14159265358979323846;
constexpr double cutoff = 0.7906;           // relative to the Nyquist frequency
constexpr int windowHalfLength = 2459;      // entries on each side of the centre
constexpr double kaiserBeta = 16.78;
constexpr double holdLength = 0.7506;       // in sample periods
constexpr double magnitudeFloor = 1e-10;    // relative to the pass-band gain
constexpr int fftSize = 65536;

/** In-place radix-2 FFT; inverse transforms are scaled by 1 / size. */
void fft (std::vector<Complex>& data, const std::vector<Complex>& twiddles, bool inverse)
{
    const auto n = data.size();

    for (size_t i = 1, j = 0; i < n; ++i)
    {
        auto bit = n >> 1;

        for (; (j & bit) != 0; bit >>= 1)
            j ^= bit;

        j ^= bit;

        if (i < j)
            std::swap (data[i], data[j]);
    }

    for (size_t length = 2; length <= n; length <<= 1)
    {
        const auto stride = n / length;

        for (size_t start = 0; start < n; start += length)
        {
            for (size_t k = 0; k < length / 2; ++k)
            {
                const auto w = inverse ? std::conj (twiddles[k * stride]) : twiddles[k * stride];
                const auto u = data[start + k];
                const auto v = data[start + k + length / 2] * w;
                data[start + k] = u + v;
                data[start + k + length / 2] = u - v;
            }
        }
    }

    if (inverse)
        for (auto& x : data)
            x /= (double) n;
}

/** The modified Bessel function of the first kind, order 0 (for the Kaiser window). */
double besselI0 (double x)
{
    double sum = 1.0, term = 1.0;

    for (int k = 1; k < 200; ++k)
    {
        const auto t = x / (2.0 * k);
        term *= t * t;
        sum += term;

        if (term < 1e-17 * sum)
            break;
    }

    return sum;
}
} // namespace BandLimitedStepDetail

std::vector<double> BandLimitedStep::generate()
{
    using namespace BandLimitedStepDetail;

    std::vector<Complex> twiddles (fftSize / 2);

    for (size_t k = 0; k < twiddles.size(); ++k)
        twiddles[k] = std::polar (1.0, -2.0 * pi * (double) k / fftSize);

    // 1. The windowed sinc.
    std::vector<Complex> data (fftSize, 0.0);
    const auto windowNorm = besselI0 (kaiserBeta);

    for (int i = 0; i <= 2 * windowHalfLength; ++i)
    {
        const auto x = (double) (i - windowHalfLength) / entriesPerSample;
        const auto sinc = (i == windowHalfLength) ? cutoff : std::sin (pi * cutoff * x) / (pi * x);
        const auto u = (double) (i - windowHalfLength) / windowHalfLength;
        data[(size_t) i] = sinc * besselI0 (kaiserBeta * std::sqrt (std::fmax (0.0, 1.0 - u * u))) / windowNorm;
    }

    // 2. The log magnitude, with the hold's response and the floor.
    fft (data, twiddles, false);

    for (int k = 0; k < fftSize; ++k)
    {
        const auto bin = k <= fftSize / 2 ? k : fftSize - k;
        const auto nu = (double) bin / fftSize * entriesPerSample * holdLength;
        const auto hold = bin == 0 ? 1.0 : std::fabs (std::sin (pi * nu) / (pi * nu));
        data[(size_t) k] = std::log (std::fmax (std::abs (data[(size_t) k]) * hold, magnitudeFloor * cutoff));
    }

    // 3. Minimum phase through the folded real cepstrum.
    fft (data, twiddles, true);

    for (int n = 1; n < fftSize / 2; ++n)
        data[(size_t) n] *= 2.0;

    for (int n = fftSize / 2 + 1; n < fftSize; ++n)
        data[(size_t) n] = 0.0;

    fft (data, twiddles, false);

    for (auto& x : data)
        x = std::exp (x);

    fft (data, twiddles, true);

    // 4. and 5. The delayed, normalised running sum minus the ideal step.
    const int start = lastSilentEntry + 1;
    const int length = firstSettledEntry - start + 1;
    double total = 0.0;

    for (int n = 0; n < length; ++n)
        total += data[(size_t) n].real();

    std::vector<double> table ((size_t) tableSize, 0.0);
    double sum = 0.0;

    for (int i = 0; i < tableSize; ++i)
    {
        if (i < start)
        {
            table[(size_t) i] = -1.0;
        }
        else if (i < firstSettledEntry)
        {
            sum += data[(size_t) (i - start)].real();
            table[(size_t) i] = sum / total - 1.0;
        }
        else
        {
            table[(size_t) i] = 0.0;
        }
    }

    return table;
}

const double* BandLimitedStep::getTable()
{
    static const std::vector<double> table = generate();
    return table.data();
}

std::shared_ptr<const BandLimitedStep::Rows> BandLimitedStep::getRows()
{
    static const std::shared_ptr<const Rows> rows = []
    {
        const auto* table = getTable();
        const auto entry = [table] (int i) { return i < tableSize ? table[i] : 0.0; };

        // Computed in double precision, kept in single.
        const auto numEntries = (size_t) (entriesPerSample * rowLength);
        std::vector<double> values (numEntries, 0.0), slopes (numEntries, 0.0);

        for (int residue = 0; residue < entriesPerSample; ++residue)
        {
            for (int q = 0; q < rowLength; ++q)
            {
                const auto i = residue + entriesPerSample * q;
                values[(size_t) (residue * rowLength + q)] = entry (i);
                slopes[(size_t) (residue * rowLength + q)] = entry (i + 1) - entry (i);
            }
        }

        Rows r;
        r.valuesF.assign (values.begin(), values.end());
        r.slopesF.assign (slopes.begin(), slopes.end());
        r.reversedValuesF.assign ((size_t) (entriesPerSample * reversedRowLength), 0.0f);
        r.reversedSlopesF.assign ((size_t) (entriesPerSample * reversedRowLength), 0.0f);

        for (int residue = 0; residue < entriesPerSample; ++residue)
        {
            for (int q = 0; q < rowLength; ++q)
            {
                const auto place = (size_t) (residue * reversedRowLength + reversedRowLength - 1 - q);
                r.reversedValuesF[place] = (float) values[(size_t) (residue * rowLength + q)];
                r.reversedSlopesF[place] = (float) slopes[(size_t) (residue * rowLength + q)];
            }
        }

        return std::make_shared<const Rows> (std::move (r));
    }();

    return rows;
}
