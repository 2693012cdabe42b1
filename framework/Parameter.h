/*
    The base of every plug-in parameter: a typed, thread-safe value with an index, a name
    and two listener lists. Synchronous listeners are called on the thread that changed the
    value; asynchronous listeners are called later on the message thread, several changes
    collapsing into one call.
*/
#pragma once

#include "framework/ListenerArray.h"

#include <juce_events/juce_events.h>

#include <memory>

class Parameter : public juce::AsyncUpdater
{
public:
    //==============================================================================
    /** Told of a parameter's changes and of the begin and end of a user's gesture on it. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The parameter's value has changed (or is being announced again). */
        virtual void parameterChanged (Parameter* parameter) = 0;

        /** A user has started dragging a control linked to the parameter. */
        virtual void parameterGestureBegin (Parameter* parameter) {}

        /** A user has finished dragging a control linked to the parameter. */
        virtual void parameterGestureEnd (Parameter* parameter) {}
    };

    //==============================================================================
    /** Creates a parameter with its identity; the value is set up by the derived type. */
    Parameter (int index, const juce::String& name);

    /** Cancels a pending asynchronous update. */
    ~Parameter() override;

    /** The parameter's identity within the plug-in. */
    int getIndex() const noexcept                       { return index; }

    /** The parameter's name, unique within the plug-in. */
    const juce::String& getName() const noexcept        { return name; }

    /** True when the host may automate the parameter and MIDI may be learnt for it. */
    bool isAutomatable() const noexcept                 { return automatable; }

    /** Sets the automatable flag (read from a definition's "auto" attribute). */
    void setAutomatable (bool shouldBeAutomatable) noexcept { automatable = shouldBeAutomatable; }

    //==============================================================================
    /** A new parameter of the same type, identity, range and value, with no listeners. */
    virtual std::unique_ptr<Parameter> clone() const = 0;

    /** The value in the parameter's own range. */
    virtual float getValue() const = 0;

    /** The value mapped to 0..1. */
    virtual float getNormalisedValue() const = 0;

    /** The value as an integer. */
    virtual int getIntValue() const = 0;

    /** The value as on or off. */
    virtual bool getBoolValue() const = 0;

    /** The value as the text shown to the user. */
    virtual juce::String getText() const = 0;

    /** Sets the value in the parameter's own range; a NaN is ignored. */
    virtual void setValue (float newValue, bool notify) = 0;

    /** Sets the value from 0..1; a NaN is ignored. */
    virtual void setNormalisedValue (float newValue, bool notify) = 0;

    /** Sets the value from an integer. */
    virtual void setIntValue (int newValue, bool notify) = 0;

    /** Sets the value to the upper or lower end. */
    virtual void setBoolValue (bool newValue, bool notify) = 0;

    /** Sets the value from a text as the type reads it. */
    virtual void setValueFromText (const juce::String& text, bool notify) = 0;

    /** Takes over another parameter's value, as this type reads it. */
    virtual void setValueFrom (const Parameter& other, bool notify) = 0;

    //==============================================================================
    /** Adds a listener called on the changing thread; null or a present listener is ignored. */
    void addListener (Listener* listener);

    /** Removes a synchronous listener; it may do so from inside its own call. */
    void removeListener (Listener* listener);

    /** Adds a listener called on the message thread; null or a present listener is ignored. */
    void addAsyncListener (Listener* listener);

    /** Removes an asynchronous listener. */
    void removeAsyncListener (Listener* listener);

    /** Calls every synchronous listener now, the last added first. */
    void callListeners();

    /** Calls the synchronous listeners now and the asynchronous ones later on the message thread. */
    void notifyListeners();

    /** Tells every synchronous listener that a user gesture on the parameter begins. */
    void sendGestureBegin();

    /** Tells every synchronous listener that a user gesture on the parameter ends. */
    void sendGestureEnd();

    /** Calls the asynchronous listeners, the last added first (message thread). */
    void handleAsyncUpdate() override;

    //==============================================================================
    /** Reads the leading integer of a text (optional sign, digits), saturated to the int range; 0 when none. */
    static int readInteger (const juce::String& text) noexcept;

    /** Truncates toward zero, saturated to the int range; 0 for a NaN. */
    static int truncateToInt (double value) noexcept;

protected:
    /** Gives a clone the flags of this parameter that are not part of its type. */
    void copyPropertiesTo (Parameter& other) const noexcept;

    /** Runs the notifications of a changed value when asked to. */
    void valueChanged (bool notify)                     { if (notify) notifyListeners(); }

private:
    void callEach (ListenerArray<Listener>& list, void (Listener::*method) (Parameter*));

    const int index;
    const juce::String name;
    bool automatable = false;
    ListenerArray<Listener> listeners, asyncListeners;

    JUCE_DECLARE_NON_COPYABLE (Parameter)
};
