#include "gui/controls/GFXAnimation.h"

GFXAnimation::GFXAnimation (const juce::String& name)
    : juce::Component (name)
{
}

void GFXAnimation::setValue (float value)
{
    // A level gone bad must not pick a frame from an undefined conversion.
    if (std::isnan (value))
        value = 0.0f;

    const auto lastFrame = (float) juce::jmax (0, getFramesNum() - 1);
    setCurrentFrame ((int) std::floor (lastFrame * juce::jlimit (0.0f, 1.0f, value) + 0.5f));
}

void GFXAnimation::showFrame (int frame, int holdMilliseconds)
{
    setCurrentFrame (frame);
    startTimer (holdMilliseconds);
}

void GFXAnimation::setCurrentFrame (int frame)
{
    if (frame == currentFrame)
        return;

    currentFrame = frame;
    repaint();
}

void GFXAnimation::timerCallback()
{
    stopTimer();
    setCurrentFrame (restFrame);
}

//==============================================================================
void GFXAnimation::updateFromParameter (Parameter* parameter)
{
    if (parameter != nullptr)
        setValue (parameter->getNormalisedValue());
}

void GFXAnimation::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                EventsMap& events, juce::Component* owner)
{
    BaseGFXController::loadFromXml (element, parameters, events, owner);
    setCurrentFrame (0);
    repaint();
}

void GFXAnimation::frameSizeChanged()
{
    setSize (getFrameWidth(), getFrameHeight());
}

void GFXAnimation::positionChanged()
{
    setTopLeftPosition (getSkinPosition());
}

void GFXAnimation::blinkStateChanged()
{
    repaint();
}

//==============================================================================
void GFXAnimation::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        drawFrame (g, isInBlinkOnPhase() ? 0 : currentFrame);
        return;
    }

    const juce::Rectangle<int> box (juce::jmax ((getWidth() - 16) / 2, 0),
                                    juce::jmax ((getHeight() - 16) / 2, 0), 16, 16);
    g.setColour (juce::Colour (0xffe5e5e5));
    g.fillRect (box);
    g.setColour (juce::Colour (0xff000000));
    g.drawRect (box, 1);

    // The dot grows from nothing at frame 0 to 10 pixels at the last frame. With a single
    // frame there is no range to show: no dot.
    const auto lastFrame = getFramesNum() - 1;

    if (lastFrame < 1)
        return;

    const auto diameter = juce::jlimit (0.0f, 1.0f, (float) currentFrame / (float) lastFrame) * 10.0f;
    g.fillEllipse (juce::Rectangle<float> (diameter, diameter).withCentre (box.getCentre().toFloat()));
}
