#include <gtest/gtest.h>

#include "host/PendingMidiEvents.h"

#include <utility>
#include <vector>

namespace PendingMidiEventsTestsDetail
{
using Contents = std::vector<std::pair<int, int>>;

/** The position and controller number of every event of a buffer, in its order. */
Contents contents (const juce::MidiBuffer& buffer)
{
    Contents result;

    for (const auto metadata : buffer)
        result.emplace_back (metadata.samplePosition, metadata.data[1]);

    return result;
}

void addController (PendingMidiEvents& events, int number, int position)
{
    const juce::uint8 cc[] = { 0xb0, (juce::uint8) number, 64 };
    events.add (cc, 3, position);
}
} // namespace PendingMidiEventsTestsDetail

TEST (PendingMidiEvents, HandsOverInTimeOrderJustAsAMidiBufferKeepsEvents)
{
    using namespace PendingMidiEventsTestsDetail;
    PendingMidiEvents events;
    juce::MidiBuffer handed, expected;
    handed.ensureSize (events.getMidiBufferBytes());
    const auto* storage = handed.data.begin();

    // As from several calls, the later ones partly earlier; at one position the order of arrival stays.
    for (auto [number, position] : Contents { { 1, 10 }, { 2, 20 }, { 3, 20 }, { 4, 5 }, { 5, 20 }, { 6, 0 }, { 7, 700 } })
    {
        addController (events, number, position);
        expected.addEvent (juce::MidiMessage::controllerEvent (1, number, 64), position);
    }

    const juce::uint8 programChange[] = { 0xc3, 9, 0x7f }, clock[] = { 0xf8 };
    events.add (programChange, 2, 20);
    events.add (clock, 1, 3);
    expected.addEvent (programChange, 2, 20);
    expected.addEvent (clock, 1, 3);

    events.moveTo (handed);
    EXPECT_EQ (handed.data, expected.data) << "the very bytes MidiBuffer::addEvent stores";
    EXPECT_EQ (events.getNumEvents(), 0);

    // A full store: the oldest make room, and the buffer sized for it does not grow.
    for (int i = 0; i < events.getCapacity() + 3; ++i)
        addController (events, i % 128, i);

    events.moveTo (handed);
    EXPECT_EQ (handed.getNumEvents(), events.getCapacity());
    EXPECT_EQ (handed.getFirstEventTime(), 3);
    EXPECT_EQ (handed.data.begin(), storage);

    PendingMidiEvents small (3);
    for (int i = 0; i < 5; ++i)
        addController (small, i, 100 - i);

    small.moveTo (handed);
    EXPECT_EQ (contents (handed), (Contents { { 96, 4 }, { 97, 3 }, { 98, 2 } }));
}
