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
    std::fill (std::begin (runStart), std::end (runStart), 0);
    std::fill (std::begin (runTop), std::end (runTop), 0);
    std::fill (std::begin (runAnchor), std::end (runAnchor), 0.0);
    newest = capacity;
    count = queuePos = 0;
    clearRuns();
    queueing = true;
    queueStep = rowSpacing;
    expiry = noExpiry;
}

int BandLimitedStepOutput::getNumSlotsInUse() const noexcept
{
    if (queueing)
        return count;

    // The runs' slots, of which the newest 36 are in use.
    int found = 0;

    for (int r = lastRun; r >= firstRun; --r)
        found += runTop[r] - runStart[r] + 1;

    return std::min (found, numSlots);
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
    takeSlotsFromRuns();
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
    clearRuns();

    for (int k = count - 1; k >= 0; --k)
    {
        const auto slot = newest + k;
        appendSize ((float) delta[slot], base[slot]);
    }
}

void BandLimitedStepOutput::takeSlotsFromRuns() noexcept
{
    // The newest 36 slots of the runs, newest first. Older runs, past the table's end,
    // would add nothing: they are left out.
    int found = 0;

    for (int r = lastRun; r >= firstRun && found < numSlots; --r)
        found += std::min (runTop[r] - runStart[r] + 1, numSlots - found);

    newest = capacity - found;
    count = found;
    auto slot = newest;

    for (int r = lastRun; r >= firstRun && slot < capacity; --r)
    {
        for (int place = runTop[r]; place >= runStart[r] && slot < capacity; --place, ++slot)
        {
            delta[slot] = (double) sizes[place];
            base[slot] = runAnchor[r] - placeOffset (place);
        }
    }
}

void BandLimitedStepOutput::clearRuns() noexcept
{
    // Every run is forgotten. What is left is an empty run that reads zeros (its window of
    // sizes is cleared, and it is parked far past the table's end); the next run starts
    // after it.
    std::fill (sizes, sizes + wholeRun + 1, 0.0f);
    firstRun = lastRun = 0;
    runStart[0] = wholeRun + 1;
    runTop[0] = wholeRun;
    park();
    updateFastTop();
}

void BandLimitedStepOutput::park() noexcept
{
    // The newest run, past the table's end, is held at a fixed distance beyond it: read until
    // the next run starts, it would otherwise go on growing with travel.
    runAnchor[lastRun] = placeOffset (runTop[lastRun]) + parkedPosition - travel;
    nextBase = runAnchor[lastRun] - placeOffset (runTop[lastRun] + 1);
}

void BandLimitedStepOutput::moveSlotsToTop() noexcept
{
    const auto top = capacity - count;
    std::memmove (delta + top, delta + newest, sizeof (double) * (size_t) count);
    std::memmove (base + top, base + newest, sizeof (double) * (size_t) count);
    newest = top;
}

void BandLimitedStepOutput::moveRunsToFront() noexcept
{
    const auto from = firstRun;
    const auto kept = lastRun - from + 1;
    std::memmove (runStart, runStart + from, sizeof (int) * (size_t) kept);
    std::memmove (runTop, runTop + from, sizeof (int) * (size_t) kept);
    std::memmove (runAnchor, runAnchor + from, sizeof (double) * (size_t) kept);
    firstRun -= from;
    lastRun -= from;
}

void BandLimitedStepOutput::compactSizes() noexcept
{
    // What a read can still reach: the oldest live run's newest wholeRun + 1 sizes (its
    // older slots lie more than 33 rows further on, past the table's end) and the runs after
    // it.
    const auto top = runTop[lastRun];
    const auto from = runTop[firstRun] - wholeRun;
    const auto kept = top + 1 - from;
    std::memmove (sizes, sizes + from, sizeof (float) * (size_t) kept);

    // The places move down, and the anchors with them.
    for (int r = firstRun; r <= lastRun; ++r)
    {
        runStart[r] = std::max (runStart[r] - from, 0);
        runTop[r] -= from;
        runAnchor[r] -= placeOffset (from);
    }
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
        runAnchor[r] += travel;

    nextBase += travel;
    travel = 0.0;

    if (runAnchor[lastRun] - placeOffset (runTop[lastRun]) >= endPosition)
        park();
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
