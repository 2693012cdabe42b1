/*
    A tempo clock: turns the host's tempo and song position into a gate on a beat grid.
    Each step of the grid (1 / division quarter notes) begins with the gate on and turns
    it off after the gate fraction of the step. The effect updates it from the host's play
    head once per block and ticks it once per sample; a tick reports when the gate changed.

    The schedule is worked out at a tick after anything changed and after every edge: the
    number of samples to the next edge is counted down, so a block does not test the grid
    per sample. Any setter given a new value makes the next tick work it out again.

    tick, start, stop and the setters run on the audio thread; all they hand on is a request
    for an asynchronous update, which JUCE posts at most once until it is delivered. Listeners
    are added, removed and told on the message thread; several edges between two deliveries
    give one notice. With a tempo, sample rate or division that is not a positive number the
    clock has no grid: tick reports nothing and the position stays where it is.
*/
#pragma once

#include "framework/ListenerArray.h"

#include <juce_events/juce_events.h>

#include <atomic>

class Clock : public juce::AsyncUpdater
{
public:
    //==============================================================================
    /** Told on the message thread of a clock starting or stopping and of its gate edges. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The clock was started or stopped. */
        virtual void clockRunningChanged (Clock* clock) {}

        /** The gate changed at least once since the last notice. */
        virtual void clockEdge (Clock* clock) {}
    };

    //==============================================================================
    /** Creates a stopped clock: 44,100 Hz, no tempo, four steps per quarter note, gate 0.5. */
    Clock();

    /** Cancels a pending notice. */
    ~Clock() override;

    //==============================================================================
    /** Starts counting from the song position ppq (quarter notes); a running clock is left alone. */
    void start (double ppq);

    /** Stops the clock and moves it back to position 0; a stopped clock is left alone. */
    void stop();

    /** True between start and stop. */
    bool isRunning() const noexcept                     { return running; }

    /** Advances by one sample; true when the gate changed at this sample. */
    virtual bool tick();

    /** True while the gate is on. */
    virtual bool isGateOn() const noexcept              { return state == 0; }

    /** True while the gate is off. */
    virtual bool isGateOff() const noexcept             { return state == 1; }

    /** True when the position is nearer the start of its step than the end (false on a step boundary). */
    virtual bool isInFirstHalfOfStep() const noexcept;

    /** True when the last tick changed the gate. */
    bool isEdgeNow() const noexcept                     { return edgeNow; }

    /** True when the last edge was the first one after the gate was undetermined. */
    bool isFirstEdge() const noexcept                   { return firstEdge; }

    //==============================================================================
    /** Sets the sample rate in Hz. */
    void setSampleRate (double newSampleRate) noexcept;

    /** The sample rate in Hz. */
    double getSampleRate() const noexcept               { return sampleRate; }

    /** Sets the tempo in beats per minute. */
    void setBpm (double newBpm) noexcept;

    /** The tempo in beats per minute. */
    double getBpm() const noexcept                      { return bpm; }

    /** Moves the clock to a song position in quarter notes. */
    void setPosition (double newPosition) noexcept;

    /** The song position in quarter notes, advanced by each tick. */
    double getPosition() const noexcept                 { return position; }

    /** Sets the number of grid steps per quarter note. */
    void setDivision (double newDivision) noexcept;

    /** The number of grid steps per quarter note. */
    double getDivision() const noexcept                 { return division; }

    /** Sets the fraction of each step during which the gate is on. */
    void setGate (double newGate) noexcept;

    /** The fraction of each step during which the gate is on. */
    double getGate() const noexcept                     { return gate; }

    /** Sets the clock's name. */
    void setName (const juce::String& newName)          { name = newName; }

    /** The clock's name. */
    const juce::String& getName() const noexcept        { return name; }

    //==============================================================================
    /** Adds a listener (message thread); null or a present listener is ignored. */
    void addListener (Listener* listener);

    /** Removes a listener (message thread); a listener may remove itself while it is told. */
    void removeListener (Listener* listener);

    /** Delivers the waiting notices to the listeners, the last added first. */
    void handleAsyncUpdate() override;

private:
    void setValue (double& value, double newValue) noexcept;
    bool recomputeSchedule() noexcept;
    void callListeners (void (Listener::*method) (Clock*));

    double position = 0.0;
    double sampleRate = 44100.0;
    double bpm = 0.0;
    double division = 4.0;
    double gate = 0.5;
    double beatsPerSample = 0.0;
    int samplesToEdge = 0;
    int state = -1;
    int nextState = 0;
    bool running = false;
    bool dirty = true;
    bool firstEdge = false;
    bool edgeNow = false;
    juce::String name;
    std::atomic<int> runningChanged { 0 }, edgeHappened { 0 };
    ListenerArray<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE (Clock)
};
