/*
    The MIDI events a host hands over for the next block, kept until the block takes them.
    Hosts may send events in several calls, out of time order, and may send them without
    ever processing; so events are kept in the order they came, up to a fixed number, and
    when more come the oldest are dropped: the newest always get in. Each event costs the
    same to add however many are kept.

    The block takes them as a juce::MidiBuffer in time order (events at one position in the
    order they came), in time linear in their number except when they came out of order.
    Nothing allocates after construction, so both calls may run on the audio thread; the
    owner serialises them.
*/
#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <vector>

class PendingMidiEvents
{
public:
    /** The most events kept when no other number is given: more than a host sends for one block. */
    static constexpr int defaultCapacity = 4096;

    /** Keeps up to maxEvents events (at least one). */
    explicit PendingMidiEvents (int maxEvents = defaultCapacity);

    //==============================================================================
    /** Keeps a message of 1 to 3 bytes (anything longer is cut to 3) at a sample position of
        the next block; when the store is full, the oldest event is dropped to make room. */
    void add (const juce::uint8* data, int numBytes, int samplePosition) noexcept;

    /** Empties the buffer and moves every kept event into it, in time order; none is kept
        afterwards. A buffer sized with getMidiBufferBytes never allocates here. */
    void moveTo (juce::MidiBuffer& destination) noexcept;

    /** Drops every kept event. */
    void clear() noexcept                               { first = 0; count = 0; }

    //==============================================================================
    /** The number of events kept now. */
    int getNumEvents() const noexcept                   { return count; }

    /** The largest number of events kept. */
    int getCapacity() const noexcept                    { return (int) ring.size(); }

    /** The bytes a juce::MidiBuffer needs to take a full store without allocating. */
    size_t getMidiBufferBytes() const noexcept;

private:
    struct Event
    {
        int position = 0;
        int order = 0;
        int numBytes = 0;
        std::array<juce::uint8, 3> bytes {};
    };

    static void appendInOrder (juce::MidiBuffer& destination, const Event& e) noexcept;

    std::vector<Event> ring, ordered;
    int first = 0, count = 0;

    JUCE_DECLARE_NON_COPYABLE (PendingMidiEvents)
};
