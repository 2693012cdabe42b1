#include "gui/controls/GUIController.h"

#include "framework/EventsMap.h"
#include "framework/ParameterManager.h"

GUIController::~GUIController()
{
    setLinkedParameter (nullptr);
}

void GUIController::parameterChanged (Parameter* parameter)
{
    updateFromParameter (parameter);
}

void GUIController::addListener (Listener* listener)
{
    listeners.add (listener);
}

void GUIController::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

//==============================================================================
void GUIController::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                 EventsMap& events, juce::Component*)
{
    loadLinksFromXml (element, parameters);
    loadActionsFromXml (element, events);
}

void GUIController::loadLinksFromXml (const juce::XmlElement& element, ParameterManager& parameters)
{
    auto* links = element.getChildByName ("links");

    if (links == nullptr)
        return;

    for (auto* link : links->getChildWithTagNameIterator ("link"))
    {
        auto* parameter = parameters.getParameterByName (link->getStringAttribute ("param"));

        if (parameter != nullptr && link->getStringAttribute ("as") == "connectedTo")
            setLinkedParameter (parameter);
    }
}

void GUIController::loadActionsFromXml (const juce::XmlElement& element, EventsMap& events)
{
    auto* actions = element.getChildByName ("actions");

    if (actions == nullptr)
        return;

    for (auto* action : actions->getChildWithTagNameIterator ("action"))
    {
        const auto type = action->getStringAttribute ("type");
        const auto eventId = events.getId (action->getStringAttribute ("event"));

        if (type.isNotEmpty() && eventId != -1)
            addAction (type, eventId, events.getDisplayName (eventId));
    }
}

//==============================================================================
void GUIController::setLinkedParameter (Parameter* parameter)
{
    if (parameter == linkedParameter)
        return;

    if (linkedParameter != nullptr)
        linkedParameter->removeAsyncListener (this);

    linkedParameter = parameter;

    if (linkedParameter != nullptr)
        linkedParameter->addAsyncListener (this);
}

void GUIController::beginGesture()
{
    if (linkedParameter == nullptr)
        return;

    linkedParameter->sendGestureBegin();
    listeners.call ([this] (Listener& l) { l.gestureBegin (this); });
}

void GUIController::endGesture()
{
    if (linkedParameter == nullptr)
        return;

    linkedParameter->sendGestureEnd();
    listeners.call ([this] (Listener& l) { l.gestureEnd (this); });
}

void GUIController::writeNormalisedValue (float normalisedValue)
{
    writeParameter ([normalisedValue] (Parameter& p) { p.setNormalisedValue (normalisedValue, true); });
}

void GUIController::notifyValueChanged()
{
    listeners.call ([this] (Listener& l) { l.controllerValueChanged (this); });
}

void GUIController::notifyEvent (int eventId)
{
    listeners.call ([this, eventId] (Listener& l) { l.controllerEvent (this, eventId); });
}
