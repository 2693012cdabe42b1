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

TEST (MidiEventQueue, FullQueueDropsTheNewestEvents)
{
    using namespace MidiEventQueueTestsDetail;
    MidiEventQueue queue (4);
    EXPECT_EQ (queue.getCapacity(), 4);

    runBlock (queue, controllers ({ { 1, 5 }, { 2, 300 }, { 3, 301 }, { 4, 302 } }), 256);

    // Three carried events leave room for one new event: the later new ones are dropped.
    EXPECT_EQ (runBlock (queue, controllers ({ { 5, 0 }, { 6, 50 }, { 7, 60 } }), 256),
               (H { { 0, 0xb0, 5 }, { 44, 0xb0, 2 }, { 45, 0xb0, 3 }, { 46, 0xb0, 4 } }));

    const juce::uint8 cc[] = { 0xb0, 8, 64 };
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE (queue.addEvent (cc, 3, 1000 + i));

    EXPECT_FALSE (queue.addEvent (cc, 3, 0));
    EXPECT_EQ (queue.getNumEvents(), 4);
    EXPECT_EQ (queue.getNextEventPosition(), 1000);

    // Once handled, the room is there again.
    runBlock (queue, {}, 2000);
    EXPECT_TRUE (queue.addEvent (cc, 3, 0));
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
