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

    /** The same, for a walk during which a listener may delete the list's owner: after each
        call, hasBailedOut () is asked first, and when it answers true the list (which may be
        gone) is not touched again. */
    template <typename BailOutCheck, typename Callback>
    void callChecked (BailOutCheck&& hasBailedOut, Callback&& callback)
    {
        for (int i = listeners.size(); --i >= 0;)
        {
            i = juce::jmin (i, listeners.size() - 1);

            if (i < 0)
                break;

            callback (*listeners.getUnchecked (i));

            if (hasBailedOut())
                return;
        }
    }

private:
    juce::Array<ListenerType*> listeners;
};
