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
void Parameter::addListener (Listener* listener)           { listeners.add (listener); }
void Parameter::removeListener (Listener* listener)        { listeners.remove (listener); }
void Parameter::addAsyncListener (Listener* listener)      { asyncListeners.add (listener); }
void Parameter::removeAsyncListener (Listener* listener)   { asyncListeners.remove (listener); }

void Parameter::callEach (ListenerArray<Listener>& list, void (Listener::*method) (Parameter*))
{
    list.call ([this, method] (Listener& l) { (l.*method) (this); });
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
