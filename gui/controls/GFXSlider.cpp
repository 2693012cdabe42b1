#include "gui/controls/GFXSlider.h"

GFXSlider::GFXSlider (const juce::String& name)
    : juce::Slider (name)
{
}

GFXSlider::~GFXSlider()
{
    // The host would wait for the end of an edit that never comes. The control's own listeners
    // (the editor) may be going away themselves: only the parameter is told.
    if (gestureOpen)
        if (auto* parameter = getLinkedParameter())
            parameter->sendGestureEnd();
}

void GFXSlider::updateFromParameter (Parameter* parameter)
{
    setValue (parameter->getNormalisedValue(), juce::dontSendNotification);
}

void GFXSlider::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                             EventsMap& events, juce::Component* owner)
{
    BaseGFXController::loadFromXml (element, parameters, events, owner);
    setTopLeftPosition (getSkinPosition());
    setSize (getFrameWidth(), getFrameHeight());
    repaint();
}

//==============================================================================
void GFXSlider::mouseDown (const juce::MouseEvent& event)
{
    // Set first: the Slider begins its drag inside its own mouseDown.
    mouseButtonDown = true;
    juce::Slider::mouseDown (event);
}

void GFXSlider::mouseUp (const juce::MouseEvent& event)
{
    juce::Component::SafePointer<juce::Component> self (this);
    juce::Slider::mouseUp (event);

    if (self != nullptr)
        mouseButtonDown = false;
}

void GFXSlider::startedDragging()
{
    // The Slider also calls this around wheel steps, which are no gesture.
    if (! mouseButtonDown || gestureOpen)
        return;

    gestureOpen = true;
    beginGesture();
}

void GFXSlider::stoppedDragging()
{
    if (! gestureOpen)
        return;

    gestureOpen = false;
    endGesture();

    if (returnsToZero)
        setValue (0.0, juce::sendNotificationAsync);
}

void GFXSlider::valueChanged()
{
    writeNormalisedValue ((float) getValue());
}

//==============================================================================
void GFXSlider::paintFallback (juce::Graphics& g, const juce::String& unlinkedText)
{
    juce::String topText (unlinkedText), bottomText;

    if (auto* parameter = getLinkedParameter())
    {
        topText = parameter->getText();
        bottomText = parameter->getName();
    }

    const auto area = getLocalBounds();
    g.setColour (juce::Colour (0xffb2b2b2));
    g.drawRect (area, 1);

    {
        // The look-and-feel may change colour and font; the texts keep the caller's font.
        const juce::Graphics::ScopedSaveState state (g);
        juce::Slider::paint (g);
    }

    g.setColour (juce::Colour (0xff000000));
    g.drawFittedText (topText, area, juce::Justification::centredTop, 2, 0.7f);
    g.drawFittedText (bottomText, area, juce::Justification::centredBottom, 2, 0.7f);
}
