#include <gtest/gtest.h>

#include "framework/MidiEventQueue.h"

#include <vector>

namespace MidiEventQueueTestsDetail
{
struct Handled
{
    int position, status, data1;
    bool operator== (const Handled& o) const { return position == o.position && status == o.status && data1 == o.data1; }
};

void PrintTo (const Handled& h, std::ostream* os) { *os << "{" << h.position << ", " << h.status << ", " << h.data1 << "}"; }

juce::MidiBuffer controllers (std::initializer_list<std::pair<int, int>> numbersAndPositions)
{
    juce::MidiBuffer buffer;

    for (auto [number, position] : numbersAndPositions)
        buffer.addEvent (juce::MidiMessage::controllerEvent (1, number, 64), position);

    return buffer;
}

/** Runs one block as the effect does: merge, handle the events inside the block, carry the rest. */
std::vector<Handled> runBlock (MidiEventQueue& queue, const juce::MidiBuffer& incoming, int blockLength)
{
    std::vector<Handled> handled;
    queue.addIncoming (incoming);

    juce::MidiMessage message;
    int position = -1;

    while (queue.getNextEventPosition() >= 0 && queue.getNextEventPosition() < blockLength
            && queue.getNextEvent (message, position))
        handled.push_back ({ position, message.getRawData()[0], message.getRawDataSize() > 1 ? message.getRawData()[1] : -1 });

    queue.advance (blockLength);
    return handled;
}

using H = std::vector<Handled>;
} // namespace MidiEventQueueTestsDetail

TEST (MidiEventQueue, CarriesEventsAcrossSeveralBlocks)
{
    using namespace MidiEventQueueTestsDetail;
    MidiEventQueue queue;

    EXPECT_EQ (runBlock (queue, controllers ({ { 1, 10 }, { 2, 300 }, { 3, 600 }, { 4, 256 }, { 5, -5 } }), 256),
               (H { { 10, 0xb0, 1 } }));
    EXPECT_EQ (queue.getNumEvents(), 3);   // the event at -5 was dropped, the one at 10 is done

    EXPECT_EQ (runBlock (queue, {}, 256), (H { { 0, 0xb0, 4 }, { 44, 0xb0, 2 } }));
    EXPECT_EQ (runBlock (queue, {}, 256), (H { { 88, 0xb0, 3 } }));
    EXPECT_EQ (runBlock (queue, {}, 256), H {});
    EXPECT_EQ (queue.getNumEvents(), 0);

    // Blocks of varying length, and clearing drops what is carried.
    runBlock (queue, controllers ({ { 6, 1000 } }), 100);
    EXPECT_EQ (runBlock (queue, {}, 899), H {});
    EXPECT_EQ (runBlock (queue, {}, 2), (H { { 1, 0xb0, 6 } }));

    runBlock (queue, controllers ({ { 7, 500 } }), 100);
    queue.clear();
    EXPECT_FALSE (queue.hasMoreEvents());
    EXPECT_EQ (runBlock (queue, {}, 1000), H {});
}

TEST (MidiEventQueue, OrderAtTheSamePosition)
{
    using namespace MidiEventQueueTestsDetail;
    MidiEventQueue queue;
    runBlock (queue, controllers ({ { 1, 300 }, { 2, 300 } }), 256);

    // Carried events first, then the new ones in the order they came, all at 44.
    EXPECT_EQ (runBlock (queue, controllers ({ { 3, 44 }, { 4, 44 }, { 5, 10 }, { 6, 44 } }), 256),
               (H { { 10, 0xb0, 5 }, { 44, 0xb0, 1 }, { 44, 0xb0, 2 }, { 44, 0xb0, 3 }, { 44, 0xb0, 4 }, { 44, 0xb0, 6 } }));

    // reset fetches the block's events again from the first one.
    queue.addIncoming (controllers ({ { 7, 5 }, { 8, 3 } }));
    juce::MidiMessage message;
    int position = -1;
    ASSERT_TRUE (queue.getNextEvent (message, position));
    queue.reset();
    ASSERT_TRUE (queue.getNextEvent (message, position));
    EXPECT_EQ (position, 3);
    EXPECT_EQ (message.getControllerNumber(), 8);
}

TEST (MidiEventQueue, FullQueueMakesRoomForTheNewestEvents)
{
    using namespace MidiEventQueueTestsDetail;
    MidiEventQueue queue (4);
    EXPECT_EQ (queue.getCapacity(), 4);

    runBlock (queue, controllers ({ { 1, 5 }, { 2, 300 }, { 3, 301 }, { 4, 302 } }), 256);

    // Three new events leave room for one carried event: the carried ones furthest ahead go.
    EXPECT_EQ (runBlock (queue, controllers ({ { 5, 0 }, { 6, 50 }, { 7, 60 } }), 256),
               (H { { 0, 0xb0, 5 }, { 44, 0xb0, 2 }, { 50, 0xb0, 6 }, { 60, 0xb0, 7 } }));

    // More new events than room: those furthest ahead go.
    EXPECT_EQ (runBlock (queue, controllers ({ { 8, 9 }, { 9, 8 }, { 10, 7 }, { 11, 6 }, { 12, 5 } }), 256),
               (H { { 5, 0xb0, 12 }, { 6, 0xb0, 11 }, { 7, 0xb0, 10 }, { 8, 0xb0, 9 } }));

    // One at a time: an earlier event takes the place of the one furthest ahead, a later one is that one.
    const juce::uint8 cc[] = { 0xb0, 8, 64 };
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE (queue.addEvent (cc, 3, 1000 + i));

    EXPECT_FALSE (queue.addEvent (cc, 3, 2000));
    EXPECT_TRUE (queue.addEvent (cc, 3, 0));
    EXPECT_EQ (queue.getNumEvents(), 4);
    EXPECT_EQ (queue.getNextEventPosition(), 0);
}

TEST (MidiEventQueue, EventsBeyondTheCarryLimitAreDropped)
{
    using namespace MidiEventQueueTestsDetail;
    MidiEventQueue queue (64);
    EXPECT_EQ (queue.getCarryLimit(), MidiEventQueue::defaultCarryLimit);

    // A full store of events far ahead is gone when its block ends, and a program change gets in.
    juce::MidiBuffer farAhead;
    for (int i = 0; i < queue.getCapacity(); ++i)
        farAhead.addEvent (juce::MidiMessage::controllerEvent (1, 1, i % 128), 1000000000);

    EXPECT_EQ (runBlock (queue, farAhead, 256), H {});
    EXPECT_EQ (queue.getNumEvents(), 0);

    juce::MidiBuffer programChange;
    programChange.addEvent (juce::MidiMessage::programChange (1, 5), 10);
    EXPECT_EQ (runBlock (queue, programChange, 256), (H { { 10, 0xc0, 5 } }));

    // The limit: the rate's carry seconds, but never less than the largest block.
    queue.setCarryLimit (1000.0, 64);
    EXPECT_EQ (queue.getCarryLimit(), 4000);
    runBlock (queue, controllers ({ { 1, 4100 }, { 2, 4101 } }), 100);
    EXPECT_EQ (runBlock (queue, {}, 4001), (H { { 4000, 0xb0, 1 } }));

    queue.setCarryLimit (10.0, 512);
    EXPECT_EQ (queue.getCarryLimit(), 512);
}

TEST (MidiEventQueue, MalformedEventsAreDropped)
{
    using namespace MidiEventQueueTestsDetail;
    struct Case { std::vector<juce::uint8> bytes; int position; int carriedBytes; };

    const Case cases[] = {
        { {}, 0, 0 },                          // empty
        { { 0x40, 0x10, 0x10 }, 0, 0 },        // a data byte where the status belongs
        { { 0xb0, 0x07 }, 0, 0 },              // cut short
        { { 0xb0, 0x87, 0x10 }, 0, 0 },        // data byte of 128 or more
        { { 0xc0, 0x80 }, 0, 0 },
        { { 0xf0, 0x01, 0xf7 }, 0, 0 },        // system exclusive
        { { 0xff, 0x2f, 0x00 }, 0, 0 },        // meta event
        { { 0xb0, 0x07, 0x64 }, -5, 0 },       // before the block
        { { 0xc0, 0x05, 0x99 }, 0, 2 },        // surplus bytes are not carried
        { { 0xf8 }, 7, 1 },                    // real-time clock
        { { 0xe0, 0x00, 0x40 }, 3, 3 }
    };

    for (auto& c : cases)
    {
        MidiEventQueue queue;
        EXPECT_EQ (queue.addEvent (c.bytes.data(), (int) c.bytes.size(), c.position), c.carriedBytes > 0);

        juce::MidiMessage message;
        int position = -1;
        EXPECT_EQ (queue.getNextEvent (message, position), c.carriedBytes > 0);

        if (c.carriedBytes > 0)
        {
            EXPECT_EQ (position, c.position);
            EXPECT_EQ (message.getRawDataSize(), c.carriedBytes);
            EXPECT_EQ (message.getRawData()[0], c.bytes[0]);
        }
    }

    MidiEventQueue queue;
    const juce::uint8 cc[] = { 0xb0, 8, 64 };
    EXPECT_FALSE (queue.addEvent (nullptr, 3, 0));
    EXPECT_TRUE (queue.addEvent (cc, 3, 5));
    queue.advance (-10);                       // a negative length consumes nothing
    EXPECT_EQ (queue.getNextEventPosition(), 5);
}
