#include "gui/controls/GFXToggleButton.h"

#include "gui/controls/GFXToggleButtonDragGroup.h"
#include "gui/controls/SkinButtonSupport.h"

GFXToggleButton::GFXToggleButton (const juce::String& name)
    : juce::Button (name)
{
    setClickingTogglesState (true);
}

GFXToggleButton::~GFXToggleButton()
{
    setDragGroup ({});
}

void GFXToggleButton::updateFromParameter (Parameter* parameter)
{
    setToggleState (parameter->getBoolValue(), juce::dontSendNotification);
}

void GFXToggleButton::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                   EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);
    loadPositionFromXml (element);
    loadSizeFromXml (element);

    if (element.getTagName() == "ToggleButton")
    {
        style = SkinButtonSupport::readStyle (element, style);
        SkinButtonSupport::loadFilmstrip (*this, element, style == 1 ? 4 : 2);
        SkinButtonSupport::readClickEvent (*this, element);
        SkinButtonSupport::readRadioGroup (*this, element);

        if (element.hasAttribute ("dragGroup"))
            setDragGroup (element.getStringAttribute ("dragGroup"));
    }

    repaint();
}

void GFXToggleButton::setDragGroup (const juce::String& groupName)
{
    if (groupName == dragGroupName)
        return;

    if (dragGroupName.isNotEmpty())
        if (auto* groups = GFXToggleButtonDragGroup::getInstanceWithoutCreating())
            groups->removeFromDragGroups (this);

    dragGroupName = groupName;

    if (dragGroupName.isNotEmpty())
        if (auto* groups = GFXToggleButtonDragGroup::getInstance())
            groups->addToDragGroup (dragGroupName, this);
}

juce::Rectangle<int> GFXToggleButton::getFallbackSquare (int width, int height)
{
    // A button lower than 32 pixels has no room for the square between its two texts.
    const auto side = juce::jmax (0, (int) (juce::jmin (height - 32, width) * 0.75));
    return { (int) (width / 2.0 - side / 2.0), (int) (height / 2.0 - side / 2.0), side, side };
}

//==============================================================================
void GFXToggleButton::mouseDown (const juce::MouseEvent& event)
{
    // A button that switches on the press has been clicked by now, and its listeners may have deleted it.
    juce::Component::SafePointer<juce::Component> self (this);
    juce::Button::mouseDown (event);

    if (self != nullptr && dragGroupName.isNotEmpty())
        if (auto* groups = GFXToggleButtonDragGroup::getInstanceWithoutCreating())
            groups->dragGroupMouseDown (dragGroupName, event.getScreenX(), event.getScreenY());
}

void GFXToggleButton::mouseDrag (const juce::MouseEvent& event)
{
    juce::Button::mouseDrag (event);

    if (dragGroupName.isNotEmpty())
        if (auto* groups = GFXToggleButtonDragGroup::getInstanceWithoutCreating())
            groups->dragGroupMouseDrag (dragGroupName, *this, event.getScreenX(), event.getScreenY());
}

void GFXToggleButton::clicked()
{
    const auto state = getToggleState();
    writeParameter ([state] (Parameter& p) { p.setBoolValue (state, true); });

    if (dragGroupName.isNotEmpty())
        if (auto* groups = GFXToggleButtonDragGroup::getInstanceWithoutCreating())
            groups->dragGroupStateChanged (dragGroupName, state);
}

//==============================================================================
void GFXToggleButton::paintButton (juce::Graphics& g, bool isHighlighted, bool isDown)
{
    const auto showsOn = getToggleState() && isEnabled() && ! isInBlinkOnPhase();

    if (! hasImage())
    {
        paintFallback (g, showsOn);
        return;
    }

    auto frame = 0;

    if (showsOn)
        frame = style == 0 ? 1 : (isHighlighted && isDown ? 3 : 2);

    drawFrame (g, frame);
}

void GFXToggleButton::paintFallback (juce::Graphics& g, bool showsOn)
{
    const auto bounds = getLocalBounds();
    g.setColour (juce::Colour (0xffb2b2b2));
    g.drawRect (bounds);

    g.setColour (juce::Colours::black);
    g.drawFittedText (getToggleState() ? "On" : "Off", bounds, juce::Justification::centredTop, 2, 0.7f);

    if (auto* parameter = getLinkedParameter())
        g.drawFittedText (parameter->getName(), bounds, juce::Justification::centredBottom, 2, 0.7f);

    const auto square = getFallbackSquare (getWidth(), getHeight());

    if (showsOn)
        g.fillRect (square);
    else
        g.drawRect (square);
}

void GFXToggleButton::frameSizeChanged()
{
    setSize (getFrameWidth(), getFrameHeight());
}

void GFXToggleButton::positionChanged()
{
    setTopLeftPosition (getSkinPosition());
}

void GFXToggleButton::blinkStateChanged()
{
    repaint();
}
