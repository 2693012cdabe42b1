#include "host/PendingMidiEvents.h"

#include <algorithm>
#include <cstring>

namespace PendingMidiEventsDetail
{
// What juce::MidiBuffer stores before an event's bytes: its position and its size.
constexpr size_t headerBytes = sizeof (juce::int32) + sizeof (juce::uint16);
} // namespace PendingMidiEventsDetail

PendingMidiEvents::PendingMidiEvents (int maxEvents)
    : ring ((size_t) juce::jmax (1, maxEvents)),
      ordered (ring.size())
{
}

//==============================================================================
void PendingMidiEvents::add (const juce::uint8* data, int numBytes, int samplePosition) noexcept
{
    if (data == nullptr || numBytes <= 0)
        return;

    const auto capacity = (int) ring.size();

    if (count == capacity)
    {
        first = (first + 1) % capacity;
        --count;
    }

    auto& e = ring[(size_t) ((first + count) % capacity)];
    e.position = samplePosition;
    e.numBytes = juce::jmin (3, numBytes);
    std::copy (data, data + e.numBytes, e.bytes.begin());
    ++count;
}

void PendingMidiEvents::moveTo (juce::MidiBuffer& destination) noexcept
{
    destination.clear();

    const auto capacity = (int) ring.size();
    bool inOrder = true;

    for (int i = 0; i < count; ++i)
    {
        auto& e = ordered[(size_t) i];
        e = ring[(size_t) ((first + i) % capacity)];
        e.order = i;
        inOrder = inOrder && (i == 0 || ordered[(size_t) i - 1].position <= e.position);
    }

    // Hosts send in time order as a rule; otherwise the events are sorted in place.
    if (! inOrder)
        std::sort (ordered.begin(), ordered.begin() + count, [] (const Event& a, const Event& b)
                   { return a.position != b.position ? a.position < b.position : a.order < b.order; });

    for (int i = 0; i < count; ++i)
        appendInOrder (destination, ordered[(size_t) i]);

    clear();
}

size_t PendingMidiEvents::getMidiBufferBytes() const noexcept
{
    return ring.size() * (PendingMidiEventsDetail::headerBytes + 3);
}

void PendingMidiEvents::appendInOrder (juce::MidiBuffer& destination, const Event& e) noexcept
{
    // juce::MidiBuffer::addEvent looks for each event's place from the start: quadratic time for
    // a block of many events. These come in time order, so each is written at the end, in the
    // form the buffer keeps its events in.
    using PendingMidiEventsDetail::headerBytes;

    auto& data = destination.data;
    const auto at = data.size();
    data.resize (at + (int) headerBytes + e.numBytes);

    auto* d = data.begin() + at;
    juce::writeUnaligned<juce::int32> (d, e.position);
    juce::writeUnaligned<juce::uint16> (d + sizeof (juce::int32), (juce::uint16) e.numBytes);
    std::memcpy (d + headerBytes, e.bytes.data(), (size_t) e.numBytes);
}
