#include "dsp/RateConverter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <map>
#include <mutex>
#include <numeric>
#include <utility>


namespace RateConverterDetail
{
constexpr double pi = 3.14159265358979323846;

/** numerator / denominator rounded toward minus infinity (denominator > 0). */
int floorDiv (long long numerator, long long denominator) noexcept
{
    const auto q = numerator / denominator;
    return (int) ((numerator % denominator != 0 && numerator < 0) ? q - 1 : q);
}

template <typename Sample>
std::shared_ptr<const typename RateConverter<Sample>::Bank> buildBank (int inFactor, int outFactor)
{
    auto bank = std::make_shared<typename RateConverter<Sample>::Bank>();
    const auto phases = outFactor;
    const auto cutoff = std::fmin (1.0, (double) outFactor / (double) inFactor);
    constexpr int taps = RateConverter<Sample>::numTaps;

    bank->inFactor = inFactor;
    bank->outFactor = outFactor;
    bank->step = (double) inFactor / (double) outFactor;
    bank->advance.assign ((size_t) phases, 0);
    // Rows start on 64-byte boundaries, so that no wide load splits a cache line.
    constexpr size_t alignment = 64 / sizeof (Sample);
    bank->rows.assign ((size_t) (phases * RateConverter<Sample>::rowStride) + alignment, Sample());
    const auto misalignment = (reinterpret_cast<std::uintptr_t> (bank->rows.data()) / sizeof (Sample)) % alignment;
    auto* firstRow = bank->rows.data() + (misalignment == 0 ? 0 : alignment - misalignment);
    bank->firstRow = firstRow;

    for (int p = 0; p < phases; ++p)
    {
        // Whole input samples before this row's instant, in exact integer arithmetic.
        const int a = floorDiv ((long long) p * inFactor, outFactor);
        const int b = floorDiv ((long long) (p - 1) * inFactor, outFactor);
        bank->advance[(size_t) p] = a - b;

        const double frac = (double) ((long long) p * inFactor - (long long) a * outFactor) / (double) outFactor;
        auto* row = firstRow + (size_t) (p * RateConverter<Sample>::rowStride) - 1;

        // Tap 0 lies at the window's zero (below 1.4e-19) and is left out.
        for (int k = 1; k < taps; ++k)
        {
            const double x = k - 32 - frac;
            double h = (x == 0.0) ? cutoff : std::sin (pi * cutoff * x) / (pi * x);
            const double u = (k - frac) * 0.015625;

            if (u >= 0.0 && u <= 1.0)
                h *= 0.42 - 0.5 * std::cos (2.0 * pi * u) + 0.08 * std::cos (4.0 * pi * u);
            else
                h = 0.0;

            // In single precision the near-zero ends of the window are made exactly zero, so
            // that no product with a tiny sample can be a denormal number.
            if (sizeof (Sample) < sizeof (double) && std::abs (h) < 1.0e-9)
                h = 0.0;

            row[k] = (Sample) h;
        }
    }

    // A block starts at any row and gives at most getMaxOutputs (maxBlock) outputs; the
    // entry after its last ends the block's loop, so the schedule runs one further.
    const auto length = phases + (int) (((long long) RateConverter<Sample>::maxBlock * outFactor) / inFactor) + 4;
    bank->schedule.reserve ((size_t) length);

    for (int m = 0; m < length; ++m)
        bank->schedule.push_back ({ firstRow + (size_t) ((m % phases) * RateConverter<Sample>::rowStride),
                                    floorDiv ((long long) m * inFactor, outFactor) });

    return bank;
}
} // namespace RateConverterDetail

//==============================================================================
template <typename Sample>
bool RateConverter<Sample>::isSupportedRate (double rate) noexcept
{
    return rate == 44100.0 || rate == 48000.0 || rate == 88200.0
        || rate == 96000.0 || rate == 176400.0 || rate == 192000.0;
}

template <typename Sample>
int RateConverter<Sample>::getRateFactor (int rate) noexcept
{
    return isSupportedRate ((double) rate) ? rate / 300 : 0;
}

template <typename Sample>
std::shared_ptr<const typename RateConverter<Sample>::Bank> RateConverter<Sample>::getBank (int inFactor, int outFactor)
{
    // Built on the thread that sets the sample rate, never on the audio thread; a bank,
    // once built, is only read. Each converter holds its own bank, so the map going with the
    // process's static destructors takes none from under an audio thread still running.
    static std::mutex lock;
    static std::map<std::pair<int, int>, std::shared_ptr<const Bank>> banks;

    const std::lock_guard<std::mutex> sl (lock);
    auto& bank = banks[{ inFactor, outFactor }];

    if (bank == nullptr)
        bank = RateConverterDetail::buildBank<Sample> (inFactor, outFactor);

    return bank;
}

template <typename Sample>
RateConverter<Sample>::RateConverter (int inRate, int outRate)
{
    auto inFactor = getRateFactor (inRate);
    auto outFactor = getRateFactor (outRate);

    if (inFactor == 0 || outFactor == 0)
        inFactor = outFactor = (inFactor != 0 ? inFactor : (outFactor != 0 ? outFactor : 1));

    // In lowest terms: 88,200 Hz to 44,100 Hz is 2 to 1, one row instead of 147 equal ones.
    const auto common = std::gcd (inFactor, outFactor);
    inFactor /= common;
    outFactor /= common;

    bank = getBank (inFactor, outFactor);
    schedule = bank->schedule.data();
    phases = outFactor;
    reset();
}

template <typename Sample>
void RateConverter<Sample>::reset() noexcept
{
    std::fill (std::begin (lines), std::end (lines), Sample());

    phase = 0;
    countdown = bank->advance[0];
}

template class RateConverter<double>;
template class RateConverter<float>;
