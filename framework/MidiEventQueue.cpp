#include "framework/MidiEventQueue.h"

#include <algorithm>

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

void MidiEventQueue::reset() noexcept
{
    nextIndex = 0;
}

void MidiEventQueue::addIncoming (const juce::MidiBuffer& incoming) noexcept
{
    for (const auto metadata : incoming)
        addEvent (metadata.data, metadata.numBytes, metadata.samplePosition);

    reset();
}

bool MidiEventQueue::addEvent (const juce::uint8* data, int numBytes, int samplePosition) noexcept
{
    const auto length = getCarriedLength (data, numBytes);

    if (length == 0 || samplePosition < 0 || current->numEvents >= capacity)
        return false;

    const auto begin = current->events.begin();
    const auto end = begin + current->numEvents;

    // After every event already at this position, so carried and earlier events come first.
    const auto place = std::upper_bound (begin, end, samplePosition,
                                         [] (int position, const Event& e) { return position < e.position; });
    std::move_backward (place, end, end + 1);

    place->position = samplePosition;
    place->numBytes = length;
    std::copy (data, data + length, place->bytes.begin());
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

        if (e.position >= blockLength)
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
int MidiEventQueue::getCarriedLength (const juce::uint8* data, int numBytes) noexcept
{
    if (data == nullptr || numBytes <= 0)
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
