#include "dsp/BandLimitedStepOutput.h"

#include <algorithm>
#include <cstring>
#include <iterator>

BandLimitedStepOutput::BandLimitedStepOutput() noexcept
    : rowValues (BandLimitedStep::getRows().values.data()),
      rowSlopes (BandLimitedStep::getRows().slopes.data()),
      rowValuesF (BandLimitedStep::getRows().valuesF.data()),
      rowSlopesF (BandLimitedStep::getRows().slopesF.data())
{
    reset();
}

void BandLimitedStepOutput::reset() noexcept
{
    held = 0.0;
    travel = 0.0;
    std::fill (std::begin (delta), std::end (delta), 0.0);
    std::fill (std::begin (deltaF), std::end (deltaF), 0.0f);
    std::fill (std::begin (base), std::end (base), 0.0);
    std::fill (std::begin (queue), std::end (queue), 0.0);
    std::fill (std::begin (runLength), std::end (runLength), 0);
    newest = capacity;
    newestRun = capacity;
    count = queuePos = runs = 0;
    queueing = true;
    expiry = noExpiry;
}

void BandLimitedStepOutput::dropOldest() noexcept
{
    if (! queueing)
    {
        dropOldestOfRuns();
        return;
    }

    // A slot still inside the table takes its pending output with it.
    const auto oldest = forgetOldest();
    const auto position = base[oldest] + travel;

    if (delta[oldest] != 0.0 && position < endPosition)
        addToQueue<2> (-delta[oldest], position);
}

void BandLimitedStepOutput::takeUpQueue() noexcept
{
    // Every slot's future goes into the queue now.
    queueing = true;
    std::fill (std::begin (queue), std::end (queue), 0.0);
    queuePos = 0;

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
    // The runs are found again from the slots' positions, newest first.
    queueing = false;

    while (travel >= expiry)
        dropExpiredOldest();

    newestRun = 0;
    runs = 0;

    for (int k = 0; k < count; ++k)
    {
        const auto slot = newest + k;
        deltaF[slot] = (float) delta[slot];

        if (k > 0 && continuesRun (base[slot], base[slot - 1]))
        {
            ++runLength[runs - 1];
        }
        else
        {
            runLength[runs] = 1;
            ++runs;
        }
    }
}

void BandLimitedStepOutput::moveSlotsToTop() noexcept
{
    const auto top = capacity - count;
    std::memmove (delta + top, delta + newest, sizeof (double) * (size_t) count);
    std::memmove (deltaF + top, deltaF + newest, sizeof (float) * (size_t) count);
    std::memmove (base + top, base + newest, sizeof (double) * (size_t) count);
    newest = top;
}

void BandLimitedStepOutput::moveRunsToTop() noexcept
{
    const auto top = capacity - runs;
    std::memmove (runLength + top, runLength + newestRun, sizeof (int) * (size_t) runs);
    newestRun = top;
}

void BandLimitedStepOutput::shiftQueue() noexcept
{
    std::memcpy (queue, queue + queueLength, sizeof (double) * queueLength);
    std::fill (queue + queueLength, queue + 2 * queueLength, 0.0);
    queuePos = 0;
}

void BandLimitedStepOutput::rebase() noexcept
{
    for (int k = 0; k < count; ++k)
        base[newest + k] += travel;

    if (count > 0)
        expiry -= travel;

    travel = 0.0;
}
