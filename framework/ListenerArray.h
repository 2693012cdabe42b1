/*
    The listener list every class of the framework uses: raw, unowned pointers without
    duplicates (adding null or a present listener does nothing), told from the last added
    to the first. The position is clamped to the current size before every call, so a
    listener may remove itself, or others, while the list is being walked.
*/
#pragma once

#include <juce_core/juce_core.h>

template <typename ListenerType>
class ListenerArray
{
public:
    /** Adds a listener unless it is null or already there. */
    void add (ListenerType* listener)
    {
        if (listener != nullptr)
            listeners.addIfNotAlreadyThere (listener);
    }

    /** Removes a listener; nothing happens when it is not there. */
    void remove (ListenerType* listener)                 { listeners.removeFirstMatchingValue (listener); }

    /** True when the listener is in the list. */
    bool contains (ListenerType* listener) const         { return listeners.contains (listener); }

    /** The number of listeners. */
    int size() const noexcept                            { return listeners.size(); }

    /** Calls callback (listener) for every listener, the last added first. */
    template <typename Callback>
    void call (Callback&& callback)
    {
        for (int i = listeners.size(); --i >= 0;)
        {
            i = juce::jmin (i, listeners.size() - 1);

            if (i < 0)
                break;

            callback (*listeners.getUnchecked (i));
        }
    }

    /** Calls callback (listener) as call does, stopping before any further call once
        shouldStop() answers true: the owner of the list may be deleted by a listener. */
    template <typename StopCheck, typename Callback>
    void callChecked (StopCheck&& shouldStop, Callback&& callback)
    {
        for (int i = listeners.size(); --i >= 0;)
        {
            if (shouldStop())
                return;

            i = juce::jmin (i, listeners.size() - 1);

            if (i < 0)
                break;

            callback (*listeners.getUnchecked (i));
        }
    }

private:
    juce::Array<ListenerType*> listeners;
};
