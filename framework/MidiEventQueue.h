/*
    The effect's store of MIDI events between host blocks. Each block's incoming events are
    merged into it in time order, the block fetches them one by one, and the events whose
    sample position lies at or beyond the block's end stay behind, shifted back by the block
    length, for the next block. At one position, events carried from earlier blocks come
    before the new ones, and events keep the order in which they arrived.

    It is used on the audio thread and never allocates after construction: two stores of a
    fixed number of events are made up front and used alternately, and a block's events are
    merged in one pass. What it keeps is bounded so that the newest events always get in:
    when the carried and the incoming events do not all fit, carried events are dropped
    first, then incoming ones, in each case those furthest ahead first. Events that would be
    carried further ahead than the carry limit (a few seconds, far beyond any block a host
    sends) are dropped, so they can never fill the store.

    Only short messages of 1 to 3 bytes are carried. Events with a negative position, empty
    events, events that do not start with a status byte, channel messages that are cut short
    or carry a data byte of 128 or more, and system-exclusive and meta events are dropped.
    A fetched message is therefore never longer than 3 bytes, so copying it into a
    juce::MidiMessage never allocates either.

    Clearing (from prepareToPlay) must not run while a block is being processed.
*/
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <vector>

class MidiEventQueue
{
public:
    //==============================================================================
    /** The number of events each store holds when no other size is given: more than a host sends in a block. */
    static constexpr int defaultCapacity = 4096;

    /** How far ahead events are carried, in seconds: far beyond any block a host sends. */
    static constexpr int carrySeconds = 4;

    /** The carry limit in samples until setCarryLimit is called: carrySeconds at 44,100 Hz. */
    static constexpr int defaultCarryLimit = carrySeconds * 44100;

    /** Creates an empty queue holding up to maxEvents events (at least one). */
    explicit MidiEventQueue (int maxEvents = defaultCapacity);

    //==============================================================================
    /** Empties the queue: no carried event remains. */
    void clear() noexcept;

    /** Sets how far ahead of the next block's start an event may be carried: carrySeconds at
        the sample rate, and never less than the largest block. Events further ahead are
        dropped when their block ends. */
    void setCarryLimit (double sampleRate, int maximumBlockSize) noexcept;

    /** The carry limit in samples. */
    int getCarryLimit() const noexcept                  { return carryLimit; }

    /** Fetches the events of the current block again from the first one. */
    void reset() noexcept;

    /** Merges a block's incoming events (in time order, as a MidiBuffer keeps them) into the
        queue, in time linear in the number of events, and fetches from the first event again.
        When they do not all fit, carried events make room first (see above). */
    void addIncoming (const juce::MidiBuffer& incoming) noexcept;

    /** Adds one event at a sample position, after the events already at that position. When
        the queue is full, the event furthest ahead, which may be this one, is dropped. False
        when the event is malformed or dropped. */
    bool addEvent (const juce::uint8* data, int numBytes, int samplePosition) noexcept;

    /** Ends a block of blockLength samples: the events at or beyond its end and no more than
        the carry limit beyond it are kept, moved back by blockLength, and the rest are
        removed. Fetching starts again from the first. */
    void advance (int blockLength) noexcept;

    //==============================================================================
    /** True while an event is left to fetch. */
    bool hasMoreEvents() const noexcept                 { return nextIndex < current->numEvents; }

    /** The sample position of the next event to fetch, or -1 when none is left. */
    int getNextEventPosition() const noexcept;

    /** Fetches the next event in time order and its sample position; false when none is left. */
    bool getNextEvent (juce::MidiMessage& message, int& samplePosition);

    //==============================================================================
    /** The number of events in the queue, fetched or not. */
    int getNumEvents() const noexcept                   { return current->numEvents; }

    /** The largest number of events the queue holds. */
    int getCapacity() const noexcept                    { return capacity; }

private:
    struct Event
    {
        int position = 0;
        int numBytes = 0;
        std::array<juce::uint8, 3> bytes {};
    };

    struct Store
    {
        std::vector<Event> events;
        int numEvents = 0;
    };

    static int getCarriedLength (const juce::uint8* data, int numBytes, int samplePosition) noexcept;
    static void setEvent (Event& e, const juce::uint8* data, int length, int position) noexcept;

    int capacity;
    int carryLimit = defaultCarryLimit;
    Store storeA, storeB;
    Store* current = &storeA;
    Store* other = &storeB;
    int nextIndex = 0;

    JUCE_DECLARE_NON_COPYABLE (MidiEventQueue)
};
