#include "framework/Parameter.h"

#include <cmath>
#include <limits>

Parameter::Parameter (int parameterIndex, const juce::String& parameterName)
    : index (parameterIndex), name (parameterName)
{
}

Parameter::~Parameter()
{
    cancelPendingUpdate();
}

void Parameter::copyPropertiesTo (Parameter& other) const noexcept
{
    other.automatable = automatable;
}

//==============================================================================
void Parameter::addListener (Listener* listener)
{
    if (listener != nullptr)
        listeners.addIfNotAlreadyThere (listener);
}

void Parameter::removeListener (Listener* listener)
{
    listeners.removeFirstMatchingValue (listener);
}

void Parameter::addAsyncListener (Listener* listener)
{
    if (listener != nullptr)
        asyncListeners.addIfNotAlreadyThere (listener);
}

void Parameter::removeAsyncListener (Listener* listener)
{
    asyncListeners.removeFirstMatchingValue (listener);
}

void Parameter::callEach (const juce::Array<Listener*>& list, void (Listener::*method) (Parameter*))
{
    // Last added first; the position is clamped to the current size before every call, so a
    // listener may remove itself (or others) while the walk is running.
    for (int i = list.size(); --i >= 0;)
    {
        i = juce::jmin (i, list.size() - 1);

        if (i < 0)
            break;

        (list.getUnchecked (i)->*method) (this);
    }
}

void Parameter::callListeners()
{
    callEach (listeners, &Listener::parameterChanged);
}

void Parameter::notifyListeners()
{
    callListeners();
    triggerAsyncUpdate();
}

void Parameter::sendGestureBegin()
{
    callEach (listeners, &Listener::parameterGestureBegin);
}

void Parameter::sendGestureEnd()
{
    callEach (listeners, &Listener::parameterGestureEnd);
}

void Parameter::handleAsyncUpdate()
{
    callEach (asyncListeners, &Listener::parameterChanged);
}

//==============================================================================
int Parameter::readInteger (const juce::String& text) noexcept
{
    auto p = text.getCharPointer();

    while (p.isWhitespace())
        ++p;

    const bool negative = *p == '-';

    if (*p == '-' || *p == '+')
        ++p;

    // Accumulated in 64 bits and saturated, so overlong digit runs cannot overflow.
    constexpr juce::int64 limit = (juce::int64) std::numeric_limits<int>::max() + 1;
    juce::int64 magnitude = 0;

    for (; *p >= '0' && *p <= '9'; ++p)
        magnitude = juce::jmin (limit, magnitude * 10 + (juce::int64) (*p - '0'));

    const auto value = negative ? -magnitude : magnitude;
    return (int) juce::jlimit ((juce::int64) std::numeric_limits<int>::min(),
                               (juce::int64) std::numeric_limits<int>::max(), value);
}

int Parameter::truncateToInt (double value) noexcept
{
    if (std::isnan (value))
        return 0;

    return (int) std::trunc (juce::jlimit ((double) std::numeric_limits<int>::min(),
                                           (double) std::numeric_limits<int>::max(), value));
}
