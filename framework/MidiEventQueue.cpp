#include "framework/MidiEventQueue.h"

#include <algorithm>
#include <limits>

MidiEventQueue::MidiEventQueue (int maxEvents)
    : capacity (juce::jmax (1, maxEvents))
{
    storeA.events.resize ((size_t) capacity);
    storeB.events.resize ((size_t) capacity);
    clear();
}

//==============================================================================
void MidiEventQueue::clear() noexcept
{
    storeA.numEvents = 0;
    storeB.numEvents = 0;
    reset();
}

void MidiEventQueue::setCarryLimit (double sampleRate, int maximumBlockSize) noexcept
{
    const auto limit = juce::jmax ((double) maximumBlockSize, sampleRate * carrySeconds);
    carryLimit = limit > 0.0 ? (int) juce::jmin (limit, (double) std::numeric_limits<int>::max()) : 0;
}

void MidiEventQueue::reset() noexcept
{
    nextIndex = 0;
}

void MidiEventQueue::addIncoming (const juce::MidiBuffer& incoming) noexcept
{
    // The incoming events that fit decide how many carried ones stay: those furthest ahead go first.
    int numIncoming = 0;

    for (const auto metadata : incoming)
        if (getCarriedLength (metadata.data, metadata.numBytes, metadata.samplePosition) > 0)
            ++numIncoming;

    numIncoming = juce::jmin (numIncoming, capacity);
    const auto numCarried = juce::jmin (current->numEvents, capacity - numIncoming);
    const auto& carried = current->events;
    auto& merged = other->events;
    int c = 0, n = 0, taken = 0;

    // One merge of two runs in time order; carried events come first at the same position.
    for (const auto metadata : incoming)
    {
        if (taken == numIncoming)
            break;

        const auto length = getCarriedLength (metadata.data, metadata.numBytes, metadata.samplePosition);

        if (length == 0)
            continue;

        while (c < numCarried && carried[(size_t) c].position <= metadata.samplePosition)
            merged[(size_t) n++] = carried[(size_t) c++];

        setEvent (merged[(size_t) n++], metadata.data, length, metadata.samplePosition);
        ++taken;
    }

    while (c < numCarried)
        merged[(size_t) n++] = carried[(size_t) c++];

    other->numEvents = n;
    std::swap (current, other);
    reset();
}

bool MidiEventQueue::addEvent (const juce::uint8* data, int numBytes, int samplePosition) noexcept
{
    const auto length = getCarriedLength (data, numBytes, samplePosition);

    if (length == 0)
        return false;

    if (current->numEvents >= capacity)
    {
        // Full: the event furthest ahead makes room, and that may be this one.
        if (samplePosition >= current->events[(size_t) current->numEvents - 1].position)
            return false;

        --current->numEvents;
    }

    const auto begin = current->events.begin();
    const auto end = begin + current->numEvents;

    // After every event already at this position, so carried and earlier events come first.
    const auto place = std::upper_bound (begin, end, samplePosition,
                                         [] (int position, const Event& e) { return position < e.position; });
    std::move_backward (place, end, end + 1);

    setEvent (*place, data, length, samplePosition);
    ++current->numEvents;
    return true;
}

void MidiEventQueue::advance (int blockLength) noexcept
{
    blockLength = juce::jmax (0, blockLength);
    other->numEvents = 0;

    for (int i = 0; i < current->numEvents; ++i)
    {
        const auto& e = current->events[(size_t) i];

        // The position is at least the block length here, so the difference cannot overflow.
        if (e.position >= blockLength && e.position - blockLength <= carryLimit)
        {
            auto& carried = other->events[(size_t) other->numEvents++];
            carried = e;
            carried.position -= blockLength;
        }
    }

    std::swap (current, other);
    reset();
}

//==============================================================================
int MidiEventQueue::getNextEventPosition() const noexcept
{
    return hasMoreEvents() ? current->events[(size_t) nextIndex].position : -1;
}

bool MidiEventQueue::getNextEvent (juce::MidiMessage& message, int& samplePosition)
{
    if (! hasMoreEvents())
        return false;

    const auto& e = current->events[(size_t) nextIndex++];
    message = juce::MidiMessage (e.bytes.data(), e.numBytes, (double) e.position);
    samplePosition = e.position;
    return true;
}

//==============================================================================
int MidiEventQueue::getCarriedLength (const juce::uint8* data, int numBytes, int samplePosition) noexcept
{
    if (data == nullptr || numBytes <= 0 || samplePosition < 0)
        return 0;

    const auto status = data[0];

    // No status byte, or the start of a system-exclusive or meta event: not carried.
    if (status < 0x80 || status == 0xf0 || status == 0xf7 || status == 0xff)
        return 0;

    const auto length = juce::MidiMessage::getMessageLengthFromFirstByte (status);

    if (numBytes < length)
        return 0;

    for (int i = 1; i < length; ++i)
        if (data[i] >= 0x80)
            return 0;

    return length;
}

void MidiEventQueue::setEvent (Event& e, const juce::uint8* data, int length, int position) noexcept
{
    e.position = position;
    e.numBytes = length;
    std::copy (data, data + length, e.bytes.begin());
}
