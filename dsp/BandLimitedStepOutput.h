/*
    One channel's band-limited step output: the held value plus the residual of the last 36
    steps, each read from the BandLimitedStep table at its own position, all positions
    advancing by the same step per 44,100 Hz sample (128 table entries, or the decimation
    ratio x 128 when the step length follows the ratio). A step whose position has passed
    the table's end adds nothing; the 37th step replaces the oldest.

    The sum is the same as reading every slot at every sample, but it is computed in one of
    two cheaper ways, chosen per sample by the step length:

    - A step length of exactly 128 entries (one table row per sample): a slot's fractional
      table position never changes, so its whole future is known when it starts and is added
      at once into a queue of pending output (the queue is rebuilt from the slots when this
      way is taken up again). Single precision, as the runs below.
    - Any other length: slots that started one decimated sample period apart (128 table
      entries apart, as they do while the ratio stays put) form runs that share their
      fractional position, and a run is read in one pass over one polyphase row, every
      entry interpolated at that shared fraction (VectorLanes::addWholeRun), in single
      precision (the result goes to the output, never back into the quantiser). The sizes
      of a run's steps lie one after another, and each run is read over a fixed number of
      them: the rows are stored backwards with zeros past the table's end, and runs are
      kept apart by zeros, so that slots that have passed the end, and places before a
      run's first slot, add nothing without being counted or forgotten. The runs are found
      again from the slots when this way is taken up again, and while it is used they are
      the only record of the slots (the slots are found again from them for the queue).

    Each slot's position is kept as an offset from a travel counter that all slots share, so
    advancing costs one addition per sample (none while the queue is read: the travel then
    follows the queue's position). The slots lie newest first in arrays far longer
    than the slots in use: a new one goes just below the newest, and only when the bottom is
    reached are the ones in use moved back to the top. The runs' sizes and records grow the
    other way, and are moved back to the front in the same way.
*/
#pragma once

#include "dsp/BandLimitedStep.h"
#include "dsp/VectorLanes.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <memory>

class BandLimitedStepOutput
{
public:
    /** Number of step slots. */
    static constexpr int numSlots = 36;

    /** An output with no steps. */
    BandLimitedStepOutput() noexcept;

    /** Forgets every step and sets the held value to 0. */
    void reset() noexcept;

    /** The current held value. */
    double getHeld() const noexcept                 { return held; }

    /** Starts a step to a new held value at a table position (the step length times the
        time since the exact sampling instant, so below 128). A step of size 0 goes through
        the same work: testing for it costs more in mispredicted branches than it saves.
        Width 4 only in a caller compiled for AVX2: the queue additions then take eight floats
        at a time, else four (see VectorLanes::addRows). */
    template <int Width = 2>
    VELCROFT_ALWAYS_INLINE void startStep (double value, double position) noexcept
    {
        const auto d = addSlot (value, position);

        if (queueing)
            addToQueue<Width> (d, position);
    }

    /** Starts steps on two outputs at the same table position (the linked channels): the
        same as calling startStep on each, with the shared part of the work done once. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE void startSteps (BandLimitedStepOutput& a, double valueA, BandLimitedStepOutput& b,
                                                   double valueB, double position) noexcept
    {
        const auto da = a.addSlot (valueA, position);
        const auto db = b.addSlot (valueB, position);

        if (a.queueing && b.queueing)
        {
            addToQueues<Width> (a, da, b, db, position);
            return;
        }

        if (a.queueing)
            a.addToQueue<Width> (da, position);

        if (b.queueing)
            b.addToQueue<Width> (db, position);
    }

    /** True when two outputs (the linked channels) both read their queues and keep the same
        slots: started at the same places at the same times, the oldest passing the table's
        end at the same moment. Then startStepsInStep and nextFromQueues give both what
        startSteps and next give each, with the bookkeeping done once, and they stay in step. */
    static bool areInStep (const BandLimitedStepOutput& a, const BandLimitedStepOutput& b) noexcept
    {
        return a.queueing && b.queueing && a.travel == b.travel && a.queuePos == b.queuePos
            && a.count == b.count && a.newest == b.newest && a.expiry == b.expiry
            && std::equal (a.base + a.newest, a.base + a.newest + a.count, b.base + b.newest);
    }

    /** Puts b in step with a where the two only keep the same slots in different places: the
        same number of slots at the same table positions (to within rounding), while both
        read their queues. That is so once linked channels have replaced every slot they
        started apart. b's slots take a's places, positions and travel, and its pending output
        moves with its queue's position; what b puts out stays the same. Returns areInStep. */
    static bool bringInStep (BandLimitedStepOutput& a, BandLimitedStepOutput& b) noexcept;

    /** startSteps for two outputs in step (areInStep), which it leaves in step. */
    template <int Width = 2>
    static VELCROFT_ALWAYS_INLINE void startStepsInStep (BandLimitedStepOutput& a, double valueA, BandLimitedStepOutput& b,
                                                         double valueB, double position) noexcept
    {
        const auto da = valueA - a.held;
        const auto db = valueB - b.held;
        a.held = valueA;
        b.held = valueB;

        // What addSlot does on each while the queue is read, its tests made once.
        const auto travelNow = a.travel + rowSpacing * a.queuePos;

        if (a.count == numSlots)
        {
            if (travelNow >= a.expiry)
            {
                a.forgetOldest();
                b.forgetOldest();
            }
            else
            {
                a.dropOldest();
                b.dropOldest();
            }

            a.setExpiry();
            b.expiry = a.expiry;
        }

        if (a.newest == 0)
        {
            a.moveSlotsToTop();
            b.moveSlotsToTop();
        }

        const auto slot = --a.newest;
        b.newest = slot;
        a.delta[slot] = da;
        b.delta[slot] = db;
        const auto slotBase = position - travelNow;
        a.base[slot] = slotBase;
        b.base[slot] = slotBase;
        const auto slots = ++a.count;
        b.count = slots;

        if (slots == 1)
        {
            a.setExpiry();
            b.expiry = a.expiry;
        }

        addNewStepToQueues<Width> (a, da, b, db, position);
    }

    /** True when next (step) would read the queue on. */
    bool readsQueueAt (double step) const noexcept  { return step == queueStep; }

    /** next on two outputs in step whose queues are read on (readsQueueAt), which it leaves in
        step: their outputs, with the bookkeeping done once. */
    static VELCROFT_ALWAYS_INLINE void nextFromQueues (BandLimitedStepOutput& a, double& outA, BandLimitedStepOutput& b, double& outB) noexcept
    {
        const auto place = a.queuePos;
        outA = a.held + (double) a.queue[place];
        outB = b.held + (double) b.queue[place];

        if (place + 1 == queueLength)
        {
            a.shiftQueue();
            b.shiftQueue();
        }
        else
        {
            a.queuePos = place + 1;
            b.queuePos = place + 1;
        }
    }

    /** This sample's output (the held value plus every slot's residual), after which every
        slot advances by the step length. Inlined into the caller's sample loop; Width as for
        startStep (the runs are read 2 Width slots at a time). */
    template <int Width = 2>
    VELCROFT_ALWAYS_INLINE double next (double step) noexcept
    {
        // The usual case first, with one test: the queue read on.
        if (step == queueStep)
            return nextFromQueue();

        useStepLength (step);
        return nextAtStepLength<Width> (step);
    }

    /** Takes up the way of reading the slots that a step length needs (see the class
        comment). A caller whose step length changes only now and then calls this whenever it
        may have changed, and then nextAtStepLength, which need not ask at every sample. */
    void useStepLength (double step) noexcept
    {
        if (step == rowSpacing)
        {
            if (! queueing)
                takeUpQueue();
        }
        else if (queueing)
        {
            takeUpRuns();
        }
    }

    /** next, for the step length last given to useStepLength. */
    template <int Width = 2>
    VELCROFT_ALWAYS_INLINE double nextAtStepLength (double step) noexcept
    {
        assert (queueing == (step == rowSpacing));

        if (queueing)
            return nextFromQueue();

        const auto sum = sumRuns<Width>();
        advance (step);
        return held + sum;
    }

    /** Number of slots that may still be inside the table. */
    int getNumSlotsInUse() const noexcept;

private:
    static constexpr double endPosition = (double) BandLimitedStep::firstSettledEntry;
    static constexpr double rowSpacing = (double) BandLimitedStep::entriesPerSample;
    static constexpr int queueLength = 128;
    static constexpr int rowSpan = 34;              // entries per row inside the table
    static_assert (rowSpan + 7 <= BandLimitedStep::rowLength && queueLength + rowSpan + 7 <= 2 * queueLength,
                   "a queue addition stays inside its row and the queue");
    static constexpr double rebaseDistance = 65536.0;
    static_assert (BandLimitedStep::entriesPerSample == 128, "positions are split into row and entry by shifts");

    /** Room for slots: the ones in use move back to the top about once every
        (capacity - numSlots) new ones. */
    static constexpr int capacity = 256;

    /** How far from 128 entries two slots may lie and still count as a run (their positions
        are offsets from a counter of at most 65536, so rounding leaves them about 1e-11 apart). */
    static constexpr double runTolerance = 1.0e-8;

    /** While the queue is read: this sample's output, after which the queue moves on by one
        sample (and with it the travel, which follows the queue's position then). */
    VELCROFT_ALWAYS_INLINE double nextFromQueue() noexcept
    {
        const auto out = held + (double) queue[queuePos];

        if (++queuePos == queueLength)
            shiftQueue();

        return out;
    }

    /** The travel of every slot so far. */
    VELCROFT_ALWAYS_INLINE double getTravel() const noexcept
    {
        return queueing ? travel + rowSpacing * queuePos : travel;
    }

    /** The last row entry inside the table (entry 33 of every row is past its end). */
    static constexpr int lastEntry = 32;

    /** The last row entry at which a run's window of sizes still lies inside the reversed
        rows: from entry 33 on it reads only their zeros (see park). */
    static constexpr int zeroEntry = BandLimitedStep::reversedRowLength - 1 - VectorLanes::wholeRun;

    /** Where park holds a newest run that has passed the table's end. */
    static constexpr double parkedPosition = 8192.0;
    static_assert (zeroEntry > lastEntry && parkedPosition >= 128.0 * (lastEntry + 1), "a parked run reads zeros");
    static_assert (BandLimitedStep::firstSettledEntry <= (lastEntry + 1) * 128, "a run past its last entry reads zeros");

    /** Records a new slot and returns its step size. */
    VELCROFT_ALWAYS_INLINE double addSlot (double value, double position) noexcept
    {
        const auto d = value - held;
        held = value;

        // The 37th step takes the oldest slot (usually one that has passed the table's end).
        if (queueing)
        {
            const auto travelNow = travel + rowSpacing * queuePos;

            if (count == numSlots)
            {
                if (travelNow >= expiry)
                    forgetOldest();         // it has passed the table's end: nothing pending
                else
                    dropOldest();

                setExpiry();
            }

            pushSlot (d, position - travelNow);

            if (count == 1)
                setExpiry();
        }
        else
        {
            appendToRuns ((float) d, position - travel);
        }

        return d;
    }

    /** Puts a new slot (its size and its position minus the travel) below the newest and
        returns it. */
    VELCROFT_ALWAYS_INLINE int pushSlot (double d, double slotBase) noexcept
    {
        if (newest == 0)
            moveSlotsToTop();

        --newest;
        delta[newest] = d;
        base[newest] = slotBase;
        ++count;
        return newest;
    }

    /** While the queue is read: the travel at which the oldest slot passes the table's end. */
    VELCROFT_ALWAYS_INLINE void setExpiry() noexcept
    {
        expiry = count > 0 ? endPosition - base[newest + count - 1] : noExpiry;
    }

    /** Whether a slot whose position minus travel, plus one row per place in the sizes,
        comes to newerAnchor continues the run whose anchor is olderAnchor. */
    static VELCROFT_ALWAYS_INLINE bool continuesRun (double olderAnchor, double newerAnchor) noexcept
    {
        return std::abs (olderAnchor - newerAnchor) <= runTolerance;
    }

    /** Where a slot's size at place index lies from its run's anchor (its position minus
        travel is the anchor minus this). */
    static VELCROFT_ALWAYS_INLINE double placeOffset (int index) noexcept      { return rowSpacing * index; }

    /** While the runs are read: a new slot's size, and its position minus travel. In the
        usual case one run is inside the table and the slot continues it: the size is
        written after it and nothing else changes (the slot 36 back lies 36 rows further on
        in that run, or in one that has passed the table's end, so the 37th forgets nothing
        still inside). */
    VELCROFT_ALWAYS_INLINE void appendToRuns (float size, double slotBase) noexcept
    {
        const auto top = runTop[lastRun];

        if (top < fastTop && continuesRun (nextBase, slotBase))
        {
            sizes[top + 1] = size;
            runTop[lastRun] = top + 1;
            nextBase -= rowSpacing;
            return;
        }

        dropOldestOfRuns();
        appendSize (size, slotBase);
    }

    /** Writes a slot's size after the sizes read in runs: after the newest run's when it
        continues that run, else after a gap of zeros as a run of its own. */
    VELCROFT_ALWAYS_INLINE void appendSize (float size, double slotBase) noexcept
    {
        if (runTop[lastRun] + wholeRun + 1 >= sizesCapacity)
            compactSizes();

        auto place = runTop[lastRun] + 1;

        if (! continuesRun (runAnchor[lastRun], slotBase + placeOffset (place)))
        {
            if (lastRun + 1 == runCapacity)
                moveRunsToFront();

            std::fill (sizes + place, sizes + (place + wholeRun), 0.0f);
            place += wholeRun;
            ++lastRun;
            runStart[lastRun] = place;
            runAnchor[lastRun] = slotBase + placeOffset (place);
            updateFastTop();
        }

        sizes[place] = size;
        runTop[lastRun] = place;
        nextBase = slotBase - rowSpacing;
    }

    /** The fast way of appendToRuns holds while there is a single run (inside the table or
        not: a slot cannot continue one that has passed its end) and its next size fits. */
    VELCROFT_ALWAYS_INLINE void updateFastTop() noexcept
    {
        fastTop = firstRun == lastRun ? sizesCapacity - 1 : -1;
    }

    void advance (double step) noexcept
    {
        travel += step;

        if (travel >= rebaseDistance)
            rebase();
    }

    /** Forgets the oldest slot while the queue is read: one still inside the table takes its
        pending output with it. */
    void dropOldest() noexcept;

    /** While the runs are read, with more than one run inside the table or a new run
        starting: the 37th slot takes the oldest. The slot 36 back from the new one is found
        from the newest run back; when it is still inside the table its size is cleared, and
        the runs wholly older than it are forgotten, so that there are never more runs than
        slots. Slots older still were dealt with as the slots after them came. */
    VELCROFT_ALWAYS_INLINE void dropOldestOfRuns() noexcept
    {
        auto staying = numSlots - 1;

        for (int r = lastRun; r >= firstRun; --r)
        {
            const auto length = runTop[r] - runStart[r] + 1;

            if (length > staying)
            {
                const auto oldest = runTop[r] - staying;

                if (runAnchor[r] - placeOffset (oldest) + travel < endPosition)
                    sizes[oldest] = 0.0f;

                firstRun = staying == 0 ? r + 1 : r;
                updateFastTop();
                return;
            }

            staying -= length;
        }
    }

    /** Forgets the oldest slot's place (the caller deals with what it added) and returns it. */
    VELCROFT_ALWAYS_INLINE int forgetOldest() noexcept
    {
        --count;
        return newest + count;
    }

    /** The residual of every slot: each run is read at the position of its newest slot (the
        older ones lying whole rows further on), over its newest wholeRun + 1 sizes. The
        newest run is always read: once it has passed the table's end (or while there has
        been none) it reads zeros. Older runs whose newest slot has passed the end are
        forgotten. */
    template <int Width>
    VELCROFT_ALWAYS_INLINE float sumRuns() noexcept
    {
        VectorLanes::FloatLanes<Width> total = {};
        float newestPart = 0.0f;

        // Adds run r: position is its anchor's position, i the whole entries of that, and entry
        // the row entry of the run's newest slot.
        const auto addRun = [&] (int r, double position, int i, int entry) VELCROFT_ALWAYS_INLINE_LAMBDA
        {
            // The row holds the entries of the run's slots backwards: the newest slot's entry
            // at the place after the older ones' wholeRun.
            const auto start = (i & 127) * BandLimitedStep::reversedRowLength
                             + (BandLimitedStep::reversedRowLength - 1 - wholeRun) - entry;
            const auto fraction = (float) (position - i);
            const auto* d = sizes + runTop[r] - wholeRun;

            // The newest size may have been stored a moment ago: it is read on its own (a
            // wide read would wait for that store).
            newestPart += d[wholeRun] * (reversedValuesF[start + wholeRun] + fraction * reversedSlopesF[start + wholeRun]);
            total = VectorLanes::addWholeRun<Width> (total, d, reversedValuesF + start, reversedSlopesF + start, fraction);
        };

        // The anchor's position splits into the newest slot's row and fraction, and its entry
        // plus top rows (the anchor lies top rows beyond the newest slot).
        {
            // Rounding may leave a slot that starts at position 0 a hair below it, which would
            // be read a row before its first entry: it is read at 0.
            const auto position = std::max (runAnchor[lastRun] + travel, rowSpacing * runTop[lastRun]);
            const auto i = (int) position;
            addRun (lastRun, position, i, std::min ((i >> 7) - runTop[lastRun], zeroEntry));
        }

        // Older runs are newest first from lastRun, so once one lies past the step's end the
        // older ones do too.
        for (int r = lastRun - 1; r >= firstRun; --r)
        {
            const auto position = runAnchor[r] + travel;
            const auto i = (int) position;
            const auto entry = (i >> 7) - runTop[r];

            if (entry > lastEntry)
            {
                firstRun = r + 1;
                updateFastTop();
                break;
            }

            addRun (r, position, i, entry);
        }

        return VectorLanes::sum (total) + newestPart;
    }

    /** Adds a step's whole future to the queue: its fractional position stays, and it moves
        one row entry per sample. */
    template <int Width>
    VELCROFT_ALWAYS_INLINE void addToQueue (double d, double position) noexcept
    {
        const auto i = (int) position;
        const auto q = i >> 7;
        const auto offset = rowOffset (i);

        // A new step starts in the first entry of its row: that count is known here, so the
        // additions unroll.
        const auto fraction = (float) (position - i);

        if (q == 0)
            VectorLanes::addRows<Width> (queue + queuePos, (float) d, rowValuesF + offset, fraction, rowSlopesF + offset, queuedEntries<Width> (0));
        else
            VectorLanes::addRows<Width> (queue + queuePos, (float) d, rowValuesF + offset, fraction, rowSlopesF + offset, queuedEntries<Width> (q));
    }

    /** The same for a step on two linked outputs: the step's shape is computed once. */
    template <int Width>
    static VELCROFT_ALWAYS_INLINE void addToQueues (BandLimitedStepOutput& a, double da, BandLimitedStepOutput& b, double db,
                                                    double position) noexcept
    {
        const auto i = (int) position;
        const auto q = i >> 7;
        const auto offset = rowOffset (i);

        const auto fraction = (float) (position - i);

        if (q == 0)
            addNewStepToQueues<Width> (a, da, b, db, position);
        else
            VectorLanes::addRowsTwice<Width> (a.queue + a.queuePos, (float) da, b.queue + b.queuePos, (float) db,
                                              a.rowValuesF + offset, fraction, a.rowSlopesF + offset, queuedEntries<Width> (q));
    }

    /** addToQueues for a new step, whose position (below one row's spacing) lies in the
        first entry of its row. */
    template <int Width>
    static VELCROFT_ALWAYS_INLINE void addNewStepToQueues (BandLimitedStepOutput& a, double da, BandLimitedStepOutput& b, double db,
                                                           double position) noexcept
    {
        assert (position >= 0.0 && position < rowSpacing);
        const auto i = (int) position;
        const auto offset = rowOffset (i & 127);
        const auto fraction = (float) (position - i);

        VectorLanes::addRowsTwice<Width> (a.queue + a.queuePos, (float) da, b.queue + b.queuePos, (float) db,
                                          a.rowValuesF + offset, fraction, a.rowSlopesF + offset, queuedEntries<Width> (0));
    }

    /** How many queue entries a step from row entry q adds to: the rest of its row, rounded
        up to whole groups of the additions' lanes (the rows are zeros past the table's end,
        and the queue has room past them). */
    template <int Width>
    static constexpr int queuedEntries (int q) noexcept
    {
        constexpr int lanes = VectorLanes::floatLanes<Width>;
        return (rowSpan - q + lanes - 1) & ~(lanes - 1);
    }

    /** Where table entry i lies in the polyphase rows: row i mod 128, entry i / 128. */
    static constexpr int rowOffset (int i) noexcept         { return (i & 127) * BandLimitedStep::rowLength + (i >> 7); }

    void takeUpQueue() noexcept;
    void takeUpRuns() noexcept;
    void moveSlotsToTop() noexcept;
    void moveRunsToFront() noexcept;
    void compactSizes() noexcept;
    void clearRuns() noexcept;
    void park() noexcept;
    void takeSlotsFromRuns() noexcept;
    void rebase() noexcept;
    void shiftQueue() noexcept;

    const float* rowValuesF;
    const float* rowSlopesF;
    const float* reversedValuesF;
    const float* reversedSlopesF;

    static constexpr double noExpiry = 1.0e300;

    double held = 0.0;
    double travel = 0.0;            // while queueing, the travel when the queue's position was 0
    double queueStep = rowSpacing;  // the step length while queueing, else not a number
    double expiry = noExpiry;       // while queueing, the travel at which the oldest slot passes the table's end

    int newest = 0, count = 0;
    bool queueing = true;
    int queuePos = 0;
    int firstRun = 0, lastRun = 0;
    int fastTop = -1;               // see updateFastTop
    double nextBase = 0.0;          // position minus travel of a slot that would continue the newest run

    // The slots in use while the queue is read, newest first from index newest: size of the
    // step and position minus travel. While the runs are read they are not kept (the runs
    // say the same); they are found again from the runs when the queue is taken up.
    double delta[capacity];
    double base[capacity];

    // The pending output while the step is 128 entries (queueing): queue[queuePos + n] is due
    // n samples ahead.
    float queue[2 * queueLength];

    // Otherwise the runs, oldest first from firstRun to lastRun (the newest may have passed
    // the table's end, or be an empty one that stands for no run): the places of a run's
    // oldest and newest sizes, and its anchor, from which the slot whose size lies at place k has the position anchor - 128 k + travel.
    // A continuing run's anchor stays put, so a new slot in it writes only its size and top.
    // runTop[lastRun] is the top of all the sizes, also once every run has passed the end.
    static constexpr int runCapacity = 64;
    int runStart[runCapacity];
    int runTop[runCapacity];
    double runAnchor[runCapacity];

    // The slots' sizes in single precision, oldest first, in runs of slots spaced one row
    // apart, each run after wholeRun zeros (a slot's size is cleared when it is forgotten
    // while still inside the table). A run is read over the wholeRun
    // sizes before its newest and that one: past the table's end the rows are zeros, so the
    // slots that have passed it need no forgetting.
    static constexpr int wholeRun = VectorLanes::wholeRun;
    static constexpr int sizesCapacity = 2048;      // room for 38 runs of one slot, and more
    float sizes[sizesCapacity];

    // The rows the pointers above read, held so that they outlast a process exit while in use;
    // last, to leave the layout of what the sample loops read as it was.
    std::shared_ptr<const BandLimitedStep::Rows> rows;
};
