#include "gui/controls/GFXRocker.h"

GFXRocker::GFXRocker (const juce::String& name)
    : juce::Component (name)
{
}

void GFXRocker::addAction (const juce::String& actionType, int eventId, const juce::String&)
{
    if (actionType == "onLessClick")
        lessEvent = eventId;
    else if (actionType == "onMoreClick")
        moreEvent = eventId;
    else if (actionType == "onLessClickWithCtrl")
        ctrlLessEvent = eventId;
    else if (actionType == "onMoreClickWithCtrl")
        ctrlMoreEvent = eventId;
}

void GFXRocker::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                             EventsMap& events, juce::Component* owner)
{
    BaseGFXController::loadFromXml (element, parameters, events, owner);

    if (element.getTagName() == "Rocker")
    {
        const auto typeName = element.getStringAttribute ("type", "vertical");

        if (typeName == "vertical")
            type = 0;
        else if (typeName == "horizontal")
            type = 1;
    }

    setBounds (getSkinPosition().x, getSkinPosition().y, getFrameWidth(), getFrameHeight());
    repaint();
}

//==============================================================================
void GFXRocker::mouseDown (const juce::MouseEvent& event)
{
    dragged = false;

    const auto more = type == 0 ? event.y < getHeight() / 2
                                : event.x > getWidth() / 2;
    const auto ctrl = event.mods.isCtrlDown();
    shownFrame = more ? 2 : 0;

    if (const auto eventId = more ? (ctrl ? ctrlMoreEvent : moreEvent) : (ctrl ? ctrlLessEvent : lessEvent); eventId != -1)
        notifyEvent (eventId);

    repaint();
}

void GFXRocker::mouseDrag (const juce::MouseEvent& event)
{
    // Dragged off the rocker it looks released: letting go there is letting go of the press.
    dragged = ! getLocalBounds().contains (event.getPosition());
    repaint();
}

void GFXRocker::mouseUp (const juce::MouseEvent&)
{
    dragged = false;
    shownFrame = 1;
    repaint();
}

//==============================================================================
void GFXRocker::paint (juce::Graphics& g)
{
    if (hasImage())
        drawFrame (g, getShownFrame());
    else
        paintFallback (g);
}

void GFXRocker::paintFallback (juce::Graphics& g)
{
    const auto width = getWidth(), height = getHeight();
    const auto pressed = juce::Colour (0xff7f7f7f), released = juce::Colour (0xffb2b2b2);

    g.fillAll (juce::Colour (0xffe5e5e5));

    if (type == 0)
    {
        g.setColour (shownFrame == 2 ? pressed : released);
        g.fillRect (0, 0, width, height / 2 - 1);
        g.setColour (shownFrame == 0 ? pressed : released);
        g.fillRect (0, height / 2 + 1, width, height / 2 - 1);
    }
    else
    {
        g.setColour (shownFrame == 0 ? pressed : released);
        g.fillRect (0, 0, width / 2 - 1, height);
        g.setColour (shownFrame == 2 ? pressed : released);
        g.fillRect (width / 2 + 1, 0, width / 2 - 1, height);
    }

    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds());
}
