#include "framework/Clock.h"

#include <cmath>
#include <limits>

namespace ClockDetail
{
/** A number of samples rounded up to a whole tick, kept within int range for very slow tempos. */
int ticksUntil (double samples) noexcept
{
    constexpr auto longest = (double) (std::numeric_limits<int>::max() / 2);
    return (int) juce::jlimit (-1.0, longest, std::ceil (samples));
}
} // namespace ClockDetail

//==============================================================================
Clock::Clock() = default;

Clock::~Clock()
{
    cancelPendingUpdate();
}

//==============================================================================
void Clock::start (double ppq)
{
    if (running)
        return;

    dirty = true;
    position = 0.0;
    state = -1;
    running = true;
    runningChanged = 1;
    triggerAsyncUpdate();

    if (std::isfinite (ppq))
        position = ppq;
}

void Clock::stop()
{
    if (! running)
        return;

    dirty = true;
    position = 0.0;
    state = -1;
    running = false;
    runningChanged = 1;
    triggerAsyncUpdate();
}

bool Clock::tick()
{
    edgeNow = false;

    if (! running || (dirty && ! recomputeSchedule()))
        return false;

    if (samplesToEdge == 0 && ! (state != -1 && state == nextState))
    {
        firstEdge = (state == -1);
        state = nextState;
        edgeHappened = 1;
        edgeNow = true;
        triggerAsyncUpdate();
    }

    --samplesToEdge;
    position += beatsPerSample;

    // Past the edge (or never scheduled): work the schedule out again at the next tick.
    if (samplesToEdge < 0)
        dirty = true;

    return edgeNow;
}

bool Clock::recomputeSchedule() noexcept
{
    const auto samplesPerBeat = sampleRate * 60.0 / bpm;
    const auto stepBeats = 1.0 / division;

    if (! (bpm > 0.0 && division > 0.0 && samplesPerBeat > 0.0
            && std::isfinite (samplesPerBeat) && std::isfinite (stepBeats)))
        return false;

    beatsPerSample = 1.0 / samplesPerBeat;
    dirty = false;

    const auto p = position;
    const auto nextStart = std::ceil (p / stepBeats) * stepBeats;
    const auto prevStart = nextStart - stepBeats;
    const auto gateBeats = stepBeats * gate;
    const auto ticksTo = [&] (double beat) { return ClockDetail::ticksUntil ((beat - p) * samplesPerBeat); };

    if (p < 0.0)
    {
        state = -1;
        samplesToEdge = -1;
        nextState = 0;
    }
    else if (p > prevStart + gateBeats)
    {
        // In the off part of the step.
        if (state == -1)
        {
            nextState = 0;
            samplesToEdge = 0;
        }
        else if (state == 0)
        {
            // So close to the next step that the gate stays on through it.
            nextState = 1;
            samplesToEdge = p > nextStart - 0.005 * stepBeats ? ticksTo (nextStart + gateBeats) : 0;
        }
        else
        {
            nextState = 0;
            samplesToEdge = ticksTo (nextStart);
        }
    }
    else
    {
        // In the on part of the step.
        if (state == -1)
        {
            nextState = 0;
            samplesToEdge = 0;
        }
        else if (state == 0)
        {
            nextState = 1;
            samplesToEdge = ticksTo (prevStart + gateBeats);
        }
        else
        {
            // Within half a percent of the step's start the gate opens at once.
            nextState = 0;
            samplesToEdge = p > prevStart + 0.005 * stepBeats ? ticksTo (nextStart) : 0;
        }
    }

    return true;
}

bool Clock::isInFirstHalfOfStep() const noexcept
{
    if (! (division > 0.0))
        return false;

    const auto next = std::ceil (division * position) / division;
    return position - (next - 1.0 / division) < next - position;
}

//==============================================================================
void Clock::setValue (double& value, double newValue) noexcept
{
    if (std::isfinite (newValue) && value != newValue)
    {
        value = newValue;
        dirty = true;
    }
}

void Clock::setSampleRate (double newSampleRate) noexcept  { setValue (sampleRate, newSampleRate); }
void Clock::setBpm (double newBpm) noexcept                { setValue (bpm, newBpm); }
void Clock::setPosition (double newPosition) noexcept      { setValue (position, newPosition); }
void Clock::setDivision (double newDivision) noexcept      { setValue (division, newDivision); }
void Clock::setGate (double newGate) noexcept              { setValue (gate, newGate); }

//==============================================================================
void Clock::addListener (Listener* listener)      { listeners.add (listener); }
void Clock::removeListener (Listener* listener)   { listeners.remove (listener); }

void Clock::handleAsyncUpdate()
{
    if (runningChanged.exchange (0) == 1)
        callListeners (&Listener::clockRunningChanged);

    if (edgeHappened.exchange (0) == 1)
        callListeners (&Listener::clockEdge);
}

void Clock::callListeners (void (Listener::*method) (Clock*))
{
    listeners.call ([this, method] (Listener& l) { (l.*method) (this); });
}
