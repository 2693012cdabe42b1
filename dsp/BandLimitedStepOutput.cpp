#include "dsp/BandLimitedStepOutput.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>

BandLimitedStepOutput::BandLimitedStepOutput() noexcept
    : rows (BandLimitedStep::getRows())
{
    rowValuesF = rows->valuesF.data();
    rowSlopesF = rows->slopesF.data();
    reversedValuesF = rows->reversedValuesF.data();
    reversedSlopesF = rows->reversedSlopesF.data();
    reset();
}

void BandLimitedStepOutput::reset() noexcept
{
    held = 0.0;
    travel = 0.0;
    std::fill (std::begin (delta), std::end (delta), 0.0);
    std::fill (std::begin (base), std::end (base), 0.0);
    std::fill (std::begin (queue), std::end (queue), 0.0f);
    std::fill (std::begin (sizes), std::end (sizes), 0.0f);
    std::fill (std::begin (sizeIndex), std::end (sizeIndex), 0);
    std::fill (std::begin (runTop), std::end (runTop), 0);
    std::fill (std::begin (runBase), std::end (runBase), 0.0);
    newest = capacity;
    count = queuePos = 0;
    sizesTop = -1;
    firstRun = 0;
    lastRun = -1;
    queueing = true;
    queueStep = rowSpacing;
    expiry = noExpiry;
}

void BandLimitedStepOutput::dropOldest() noexcept
{
    const auto oldest = forgetOldest();
    const auto position = base[oldest] + getTravel();

    if (delta[oldest] != 0.0 && position < endPosition)
        addToQueue<2> (-delta[oldest], position);
}

void BandLimitedStepOutput::takeUpQueue() noexcept
{
    // Every slot's future goes into the queue now; the travel so far is the queue's start.
    queueing = true;
    queueStep = rowSpacing;
    std::fill (std::begin (queue), std::end (queue), 0.0f);
    queuePos = 0;
    setExpiry();

    for (int k = 0; k < count; ++k)
    {
        const auto slot = newest + k;
        const auto position = base[slot] + travel;

        if (delta[slot] != 0.0 && position < endPosition)
            addToQueue<2> (delta[slot], position);
    }
}

void BandLimitedStepOutput::takeUpRuns() noexcept
{
    // The runs are found again from the slots' positions, oldest first.
    travel = getTravel();
    queueing = false;
    queueStep = std::numeric_limits<double>::quiet_NaN();
    sizesTop = -1;
    firstRun = 0;
    lastRun = -1;

    for (int k = count - 1; k >= 0; --k)
    {
        const auto slot = newest + k;
        appendToRuns (slot, k < count - 1 && continuesRun (base[slot + 1], base[slot]));
    }
}

void BandLimitedStepOutput::moveSlotsToTop() noexcept
{
    const auto top = capacity - count;
    std::memmove (delta + top, delta + newest, sizeof (double) * (size_t) count);
    std::memmove (base + top, base + newest, sizeof (double) * (size_t) count);
    std::memmove (sizeIndex + top, sizeIndex + newest, sizeof (int) * (size_t) count);
    newest = top;
}

void BandLimitedStepOutput::moveRunsToFront() noexcept
{
    const auto live = lastRun - firstRun + 1;
    std::memmove (runTop, runTop + firstRun, sizeof (int) * (size_t) live);
    std::memmove (runBase, runBase + firstRun, sizeof (double) * (size_t) live);
    firstRun = 0;
    lastRun = live - 1;
}

void BandLimitedStepOutput::compactSizes() noexcept
{
    // What a read can still reach: the oldest live run's sizes and the zeros before them.
    // Slots whose sizes lie before that have passed the table's end.
    const auto from = lastRun >= firstRun ? runTop[firstRun] - wholeRun : sizesTop + 1;
    const auto kept = sizesTop + 1 - from;
    std::memmove (sizes, sizes + from, sizeof (float) * (size_t) kept);
    sizesTop = kept - 1;

    for (int r = firstRun; r <= lastRun; ++r)
        runTop[r] -= from;

    // Every place moves, also those of slots being added or forgotten around this call.
    for (auto& index : sizeIndex)
        index -= from;
}

void BandLimitedStepOutput::shiftQueue() noexcept
{
    std::memcpy (queue, queue + queueLength, sizeof (float) * queueLength);
    std::fill (queue + queueLength, queue + 2 * queueLength, 0.0f);
    queuePos = 0;
    travel += rowSpacing * queueLength;

    if (travel >= rebaseDistance)
        rebase();
}

void BandLimitedStepOutput::rebase() noexcept
{
    for (int k = 0; k < count; ++k)
        base[newest + k] += travel;

    if (count > 0)
        expiry -= travel;

    for (int r = firstRun; r <= lastRun; ++r)
        runBase[r] += travel;

    travel = 0.0;
}

bool BandLimitedStepOutput::bringInStep (BandLimitedStepOutput& a, BandLimitedStepOutput& b) noexcept
{
    if (areInStep (a, b))
        return true;

    if (! (a.queueing && b.queueing) || a.count != b.count)
        return false;

    const auto travelA = a.getTravel(), travelB = b.getTravel();

    for (int k = 0; k < a.count; ++k)
        if (! (std::abs ((a.base[a.newest + k] + travelA) - (b.base[b.newest + k] + travelB)) <= runTolerance))
            return false;

    // The pending output: entries past a queue's position are due that many samples ahead.
    float pending[2 * queueLength] = {};
    std::copy (b.queue + b.queuePos, b.queue + 2 * queueLength, pending);
    std::fill (std::begin (b.queue), std::end (b.queue), 0.0f);
    std::copy (pending, pending + (2 * queueLength - a.queuePos), b.queue + a.queuePos);

    std::memmove (b.delta + a.newest, b.delta + b.newest, sizeof (double) * (size_t) b.count);
    std::copy (a.base + a.newest, a.base + a.newest + a.count, b.base + a.newest);
    b.newest = a.newest;
    b.travel = a.travel;
    b.queuePos = a.queuePos;
    b.expiry = a.expiry;

    return areInStep (a, b);
}
