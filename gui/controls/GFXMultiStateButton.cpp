#include "gui/controls/GFXMultiStateButton.h"

#include "gui/controls/SkinXml.h"

#include <cmath>

GFXMultiStateButton::GFXMultiStateButton (const juce::String& name)
    : juce::Button (name)
{
}

void GFXMultiStateButton::addAction (const juce::String& type, int eventId, const juce::String&)
{
    clickEvents.set (type, eventId);
}

void GFXMultiStateButton::updateFromParameter (Parameter* parameter)
{
    const auto value = juce::jlimit (0.0f, 1.0f, parameter->getNormalisedValue());
    setShownState ((int) std::floor ((float) (numStates - 1) * value + 0.5f));
}

void GFXMultiStateButton::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                       EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);
    loadPositionFromXml (element);
    loadSizeFromXml (element);

    if (element.getTagName() == "MultiStateButton")
    {
        style = SkinButtonSupport::readStyle (element, style);

        const auto states = SkinXml::getInt (element, "states", numStates);

        if (states >= 2)
        {
            numStates = states;
            shownState = juce::jmin (shownState, numStates - 1);
        }

        SkinButtonSupport::loadFilmstrip (*this, element, style == 1 ? 2 * numStates : numStates);
        SkinButtonSupport::readClickEvent (*this, element);
        SkinButtonSupport::readRadioGroup (*this, element);
    }

    repaint();
}

void GFXMultiStateButton::setShownState (int newState)
{
    newState = juce::jlimit (0, numStates - 1, newState);

    if (newState != shownState)
    {
        shownState = newState;
        repaint();
    }
}

void GFXMultiStateButton::clicked (const juce::ModifierKeys& modifiers)
{
    const auto eventId = clickEvents.forClick (modifiers);

    if (eventId != -1)
        notifyEvent (eventId);
}

//==============================================================================
void GFXMultiStateButton::paintButton (juce::Graphics& g, bool isHighlighted, bool isDown)
{
    const auto pressed = isHighlighted && isDown;

    if (! hasImage())
    {
        paintFallback (g, pressed);
        return;
    }

    const auto pressedFrame = style == 1 && pressed ? 1 : 0;

    if (isInBlinkOnPhase())
        drawFrame (g, pressedFrame);
    else
        drawFrame (g, style == 0 ? shownState : 2 * shownState + pressedFrame);
}

void GFXMultiStateButton::paintFallback (juce::Graphics& g, bool isPressed)
{
    const juce::Rectangle<int> box (juce::jmax ((getWidth() - 16) / 2, 0), juce::jmax ((getHeight() - 16) / 2, 0), 16, 16);
    g.setColour (juce::Colour (isPressed ? 0xff666666 : 0xffe5e5e5));
    g.fillRect (box);
    g.setColour (juce::Colours::black);
    g.drawRect (box);

    const auto diameter = (float) shownState / (float) (numStates - 1) * 10.0f + 2.0f;
    g.fillEllipse (juce::Rectangle<float> (diameter, diameter).withCentre (box.toFloat().getCentre()));
}

void GFXMultiStateButton::frameSizeChanged()
{
    setSize (getFrameWidth(), getFrameHeight());
}

void GFXMultiStateButton::positionChanged()
{
    setTopLeftPosition (getSkinPosition());
}

void GFXMultiStateButton::blinkStateChanged()
{
    repaint();
}
