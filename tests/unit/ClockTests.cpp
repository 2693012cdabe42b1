#include <gtest/gtest.h>

#include "framework/Clock.h"
#include "unit/MessageLoop.h"

#include <cmath>
#include <limits>
#include <vector>

namespace ClockTestsDetail
{
using Edges = std::vector<std::pair<int, bool>>;   // sample, gate on after the edge

/** Ticks samples firstSample up to endSample, noting the edges. */
Edges collectEdges (Clock& clock, int endSample, int firstSample = 0)
{
    Edges edges;

    for (int n = firstSample; n < endSample; ++n)
        if (clock.tick())
            edges.push_back ({ n, clock.isGateOn() });

    return edges;
}

struct CountingListener : public Clock::Listener
{
    void clockRunningChanged (Clock* c) override
    {
        ++runningChanges;

        if (removeSelf)
            c->removeListener (this);
    }

    void clockEdge (Clock*) override   { ++edges; }

    int runningChanges = 0, edges = 0;
    bool removeSelf = false;
};
} // namespace ClockTestsDetail

TEST (Clock, GateEdgesFromTheStart)
{
    using namespace ClockTestsDetail;
    Clock clock;
    clock.setBpm (120.0);

    EXPECT_FALSE (clock.tick());               // stopped
    EXPECT_EQ (clock.getPosition(), 0.0);

    // 22,050 samples per beat, steps of 0.25 beat: on at 0, off at 0.125 beat (2756.25 samples),
    // on at 0.25 beat (5512.5), off at 0.375 beat (8268.75); each edge at the first sample at or after.
    clock.start (0.0);
    EXPECT_TRUE (clock.tick());
    EXPECT_TRUE (clock.isGateOn());
    EXPECT_TRUE (clock.isFirstEdge());

    EXPECT_EQ (collectEdges (clock, 9000, 1), (Edges { { 2757, false }, { 5513, true }, { 8269, false } }));
    EXPECT_FALSE (clock.isFirstEdge());

    clock.stop();
    EXPECT_FALSE (clock.tick());
    EXPECT_EQ (clock.getPosition(), 0.0);
    EXPECT_FALSE (clock.isGateOn() || clock.isGateOff());
}

TEST (Clock, EdgesAcrossBlocksTempoChangesAndLoops)
{
    using namespace ClockTestsDetail;
    // 60 bpm at 32,768 Hz, then 120 bpm: every position is exact, so the edges must land on the
    // first sample whose position is at or past each half step, whatever the block boundaries.
    constexpr double rate = 32768.0;
    constexpr int blockLength = 1000;

    Clock clock;
    clock.setSampleRate (rate);

    Edges edges, expected;
    double hostBeat = 0.0;
    int wasOn = -1;

    for (int blockStart = 0; blockStart < 30000; blockStart += blockLength)
    {
        const double bpm = blockStart < 10000 ? 60.0 : 120.0;

        if (blockStart == 20000)
            hostBeat = 0.0;                    // the host loops back to the start of the song

        clock.setBpm (bpm);
        clock.setPosition (hostBeat);
        clock.start (hostBeat);

        for (int n = blockStart; n < blockStart + blockLength; ++n)
        {
            const int on = std::fmod (hostBeat, 0.25) < 0.125 ? 1 : 0;

            if (on != wasOn)
                expected.push_back ({ n, on == 1 });

            wasOn = on;

            if (clock.tick())
                edges.push_back ({ n, clock.isGateOn() });

            hostBeat += bpm / 60.0 / rate;
        }
    }

    EXPECT_GT (expected.size(), 10u);
    EXPECT_EQ (edges, expected);
}

TEST (Clock, StepHalvesAndUnusableSettings)
{
    using namespace ClockTestsDetail;
    Clock clock;

    const std::pair<double, bool> halves[] = { { 0.0, false }, { 0.25, false }, { 0.3125, true },
                                               { 0.375, false }, { 0.4375, false }, { 0.265625, true } };
    for (auto [position, firstHalf] : halves)
    {
        clock.setPosition (position);
        EXPECT_EQ (clock.isInFirstHalfOfStep(), firstHalf) << position;
    }

    // Without a tempo there is no grid: nothing happens and the position stays.
    clock.setPosition (0.0);
    clock.start (0.0);
    EXPECT_TRUE (collectEdges (clock, 100).empty());
    EXPECT_EQ (clock.getPosition(), 0.0);

    clock.setBpm (std::numeric_limits<double>::quiet_NaN());
    clock.setPosition (std::numeric_limits<double>::infinity());
    EXPECT_EQ (clock.getBpm(), 0.0);
    EXPECT_EQ (clock.getPosition(), 0.0);

    clock.setBpm (120.0);
    EXPECT_TRUE (clock.tick());

    clock.setDivision (0.0);
    const auto position = clock.getPosition();
    EXPECT_TRUE (collectEdges (clock, 100).empty());
    EXPECT_EQ (clock.getPosition(), position);
    EXPECT_FALSE (clock.isInFirstHalfOfStep());

    // A tempo so slow that the next edge lies beyond any sample count.
    clock.setDivision (4.0);
    clock.setBpm (1.0e-9);
    EXPECT_TRUE (collectEdges (clock, 100).empty());
    EXPECT_TRUE (clock.isGateOn());

    // A negative song position keeps the gate undetermined until the song reaches 0.
    clock.stop();
    clock.setSampleRate (32768.0);
    clock.setBpm (60.0);
    clock.start (-100.0 / 32768.0);
    EXPECT_EQ (collectEdges (clock, 200), (Edges { { 100, true } }));
}

TEST (Clock, ListenersHearStartAndEdgesOnTheMessageThread)
{
    using namespace ClockTestsDetail;
    Clock clock;
    CountingListener first, second;
    second.removeSelf = true;

    clock.addListener (&first);
    clock.addListener (&first);
    clock.addListener (nullptr);
    clock.addListener (&second);

    clock.setBpm (120.0);
    clock.start (0.0);
    EXPECT_EQ (collectEdges (clock, 9000).size(), 4u);

    MessageLoop::runFor (50);
    EXPECT_EQ (first.runningChanges, 1);
    EXPECT_EQ (first.edges, 1);                // several edges, one notice
    EXPECT_EQ (second.runningChanges, 1);
    EXPECT_EQ (second.edges, 0);               // it removed itself when told of the start

    clock.stop();
    clock.stop();
    MessageLoop::runFor (50);
    EXPECT_EQ (first.runningChanges, 2);
    EXPECT_EQ (first.edges, 1);
}
