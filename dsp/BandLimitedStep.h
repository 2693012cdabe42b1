/*
    The band-limited step residual that the crusher adds beside each new held value, so
    that a jump in the held signal comes out as a smooth, band-limited transition.

    The table holds, at 128 entries per sample period, the difference between a
    minimum-phase band-limited unit step and the ideal unit step: exactly -1 up to entry
    134, a rise that crosses -0.5 near entry 762 and 0 near entry 875, an overshoot that
    peaks near entry 976 and a ringing tail that ends at exactly 0 from entry 4223 on.

    It is generated once per process (see generate()) and shared by every core, in its
    natural order and in a polyphase order (getRows) in which the entries one sample period
    apart lie next to each other.
*/
#pragma once

#include <memory>
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

    /** Entries per polyphase row: a row holds every 128th entry, 34 of them, padded with
        zeros so that a queue addition, which reads whole groups of eight, stays inside the row. */
    static constexpr int rowLength = 48;

    /** Entries per reversed single-precision row: the 34 of a row and 46 zeros before them,
        so that 41 entries ending at any of the 34 lie inside the row. */
    static constexpr int reversedRowLength = 80;

    /** The table in polyphase order and single precision, for reading the sum of several
        steps that lie whole sample periods apart. For r = 0..127 and q = 0..rowLength - 1,
        with i = r + 128 q: valuesF[r * rowLength + q] = table[i] and
        slopesF[r * rowLength + q] = table[i + 1] - table[i] (0 past the table's end), so that
        the step at position i + f (0 <= f < 1) is values + f * slopes. */
    struct Rows
    {
        std::vector<float> valuesF, slopesF;
        /** The same backwards, each row reversedRowLength long:
            reversedValuesF[r * reversedRowLength + reversedRowLength - 1 - q] = valuesF[r * rowLength + q],
            and zeros before (past the table's end), so that the entries of slots one
            sample period apart, newest last, lie in increasing order. */
        std::vector<float> reversedValuesF, reversedSlopesF;
    };

    /** The shared table of tableSize entries, generated on first use (thread-safe). */
    static const double* getTable();

    /** The shared polyphase rows, built on first use (thread-safe). They last as long as any
        holder, so that objects reading them keep them even while the process exits. */
    static std::shared_ptr<const Rows> getRows();

    /** Computes the table; getTable() calls this once. */
    static std::vector<double> generate();
};
