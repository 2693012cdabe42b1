/*
    The base of every skin control. A control is bound to at most one parameter, which it
    follows on the message thread and writes when the user moves it; it reports gestures,
    value changes and the skin actions it fires to its listeners (the editor); and it can
    blink. The concrete controls add a juce::Component (or Button, Slider) base.
*/
#pragma once

#include "framework/ListenerArray.h"
#include "framework/Parameter.h"
#include "gui/controls/BlinkingComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

class EventsMap;
class ParameterManager;

class GUIController : public Parameter::Listener,
                      public BlinkingComponent
{
public:
    //==============================================================================
    /** Told by a control of what the user does with it. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** A drag or edit on the control begins. */
        virtual void gestureBegin (GUIController* controller) {}

        /** The drag or edit ends. */
        virtual void gestureEnd (GUIController* controller) {}

        /** The control has just written a new value to its parameter. */
        virtual void controllerValueChanged (GUIController* controller) {}

        /** A skin action of the control fired; eventId is an EventsMap id. */
        virtual void controllerEvent (GUIController* controller, int eventId) {}
    };

    //==============================================================================
    GUIController() = default;

    /** Leaves the linked parameter's listeners; the control's own listeners are not deleted. */
    ~GUIController() override;

    /** The linked parameter has changed: shows its value (message thread). */
    void parameterChanged (Parameter* parameter) override;

    /** Keeps the event of a skin action; called once per accepted action. Ignored here. */
    virtual void addAction (const juce::String& type, int eventId, const juce::String& eventName) {}

    /** Shows the parameter's value without writing anything back or telling anybody. */
    virtual void updateFromParameter (Parameter* parameter) {}

    /** Adds a listener; null or one already there is ignored. */
    virtual void addListener (Listener* listener);

    /** Removes a listener; it may do so while being told. */
    void removeListener (Listener* listener);

    /** Reads the control's skin element: its links, then its actions. Each control reads its own
        attributes after these. Never copies the parameter's value: its next notification does. */
    virtual void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                              EventsMap& events, juce::Component* owner);

    //==============================================================================
    /** The parameter the control is bound to, or null. */
    Parameter* getLinkedParameter() const noexcept      { return linkedParameter; }

    /** Binds the control to a parameter (null unbinds it): leaves the listeners of the one bound
        before and follows the new one on the message thread. The value is not copied. */
    void setLinkedParameter (Parameter* parameter);

    //==============================================================================
    /** Begins a user gesture: the linked parameter's synchronous listeners, then this
        control's listeners, are told. Nothing when the control is unlinked. */
    void beginGesture();

    /** Ends a user gesture, told in the same order as its begin. Nothing when unlinked. */
    void endGesture();

    /** Writes a value the user chose (0..1) to the linked parameter with notification, then
        tells the listeners. Nothing when unlinked. */
    void writeNormalisedValue (float normalisedValue);

    /** The same for a write of another kind: write (parameter) is called on the linked
        parameter (it should notify), then the listeners are told. Nothing when unlinked. */
    template <typename WriteFunction>
    void writeParameter (WriteFunction&& write)
    {
        if (linkedParameter == nullptr)
            return;

        write (*linkedParameter);
        notifyValueChanged();
    }

    /** Tells every listener that the control has written a new value. */
    void notifyValueChanged();

    /** Tells every listener that a skin action fired. */
    void notifyEvent (int eventId);

protected:
    /** Reads the "links" child: the last "connectedTo" link to a known parameter binds the control. */
    void loadLinksFromXml (const juce::XmlElement& element, ParameterManager& parameters);

    /** Reads the "actions" child: each action with a type and a known event is passed to addAction. */
    void loadActionsFromXml (const juce::XmlElement& element, EventsMap& events);

    /** The control's listeners, told the last added first. */
    ListenerArray<Listener> listeners;

private:
    Parameter* linkedParameter = nullptr;

    JUCE_DECLARE_NON_COPYABLE (GUIController)
};
