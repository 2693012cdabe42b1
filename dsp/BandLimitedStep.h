/*
    The band-limited step residual that the crusher adds beside each new held value, so
    that a jump in the held signal comes out as a smooth, band-limited transition.

    The table holds, at 128 entries per sample period, the difference between a
    minimum-phase band-limited unit step and the ideal unit step: exactly -1 up to entry
    134, a rise that crosses -0.5 near entry 762 and 0 near entry 875, an overshoot that
    peaks near entry 976 and a ringing tail that ends at exactly 0 from entry 4223 on.

    It is generated once per process (see generate()) and shared by every core.
*/
#pragma once

#include <vector>

class BandLimitedStep
{
public:
    /** Number of table entries. */
    static constexpr int tableSize = 4229;

    /** Table entries per sample period. */
    static constexpr int entriesPerSample = 128;

    /** Last entry that is exactly -1 (the step has not started yet). */
    static constexpr int lastSilentEntry = 134;

    /** First entry that is exactly 0 (the step has settled). */
    static constexpr int firstSettledEntry = 4223;

    /** The shared table of tableSize entries, generated on first use (thread-safe). */
    static const double* getTable();

    /** Computes the table; getTable() calls this once. */
    static std::vector<double> generate();
};
