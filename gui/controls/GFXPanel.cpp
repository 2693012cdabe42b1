#include "gui/controls/GFXPanel.h"

#include "gui/controls/SkinControlFactory.h"
#include "gui/controls/SkinXml.h"

GFXPanel::GFXPanel (const juce::String& name)
    : juce::Component (name)
{
    setInterceptsMouseClicks (false, true);
}

void GFXPanel::addListener (Listener* listener)
{
    BaseGFXController::addListener (listener);

    for (int i = 0;; ++i)
    {
        GUIController* child = nullptr;

        {
            const juce::ScopedLock lock (childLock);

            if (i >= childControllers.size())
                break;

            child = childControllers.getUnchecked (i);
        }

        // Outside the lock: a nested panel takes its own.
        child->addListener (listener);
    }
}

void GFXPanel::setVisibleFromParameter (Parameter* parameter)
{
    if (parameter != nullptr)
        setVisible (parameter->getBoolValue());
}

void GFXPanel::setHiddenFromParameter (Parameter* parameter)
{
    if (parameter != nullptr)
        setVisible (! parameter->getBoolValue());
}

juce::Array<GUIController*> GFXPanel::getChildControllers() const
{
    const juce::ScopedLock lock (childLock);
    return childControllers;
}

//==============================================================================
void GFXPanel::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                            EventsMap& events, juce::Component* owner)
{
    BaseGFXController::loadFromXml (element, parameters, events, owner);

    if (auto* gfx = element.getChildByName ("gfx"))
    {
        const auto newTransparent = gfx->getBoolAttribute ("transparent", false);

        if (newTransparent != transparent)
        {
            transparent = newTransparent;
            repaint();
        }
    }

    if (auto* controls = element.getChildByName ("controls"))
    {
        const juce::Point<int> offset (SkinXml::getInt (*controls, "ofsX"), SkinXml::getInt (*controls, "ofsY"));

        for (auto* child : controls->getChildIterator())
            addChildControlFromXml (*child, parameters, events, owner);

        for (auto* child : getChildren())
            child->setTopLeftPosition (child->getPosition() + offset);
    }

    setBounds (juce::Rectangle<int> (getFrameWidth(), getFrameHeight()).withPosition (getSkinPosition()));
    repaint();
}

void GFXPanel::addChildControlFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                       EventsMap& events, juce::Component* owner)
{
    auto control = SkinControlFactory::create (element.getTagName(), element.getStringAttribute ("name"),
                                               SkinControlFactory::Level::panel);

    if (! control)
        return;

    auto* component = childComponents.add (control.component.release());

    {
        const juce::ScopedLock lock (childLock);
        childControllers.add (control.controller);
    }

    control.controller->loadFromXml (element, parameters, events, owner);
    addAndMakeVisible (component);
}

//==============================================================================
void GFXPanel::paint (juce::Graphics& g)
{
    if (transparent)
        return;

    if (hasImage())
        drawFrame (g, 0);
    else
        g.fillAll (juce::Colour (0xffe5e5e5));
}
