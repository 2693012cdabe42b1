#include "gui/controls/GFXButton.h"

#include "gui/controls/SkinXml.h"

namespace GFXButtonDetail
{
juce::Font fallbackFont()   { return juce::Font (12.0f); }

int defaultWidth (const juce::String& name)
{
    // Truncated, as the skins were measured; the library rounds a text's width up.
    return name.isEmpty() ? 18 : (int) fallbackFont().getStringWidthFloat (name) + 8;
}
} // namespace GFXButtonDetail

GFXButton::GFXButton (const juce::String& name)
    : juce::Button (name)
{
    setSize (GFXButtonDetail::defaultWidth (name), 18);
}

void GFXButton::addAction (const juce::String& type, int eventId, const juce::String& eventName)
{
    if (! clickEvents.set (type, eventId))
        return;

    (type == "onClick" ? clickTooltip : ctrlClickTooltip) = eventName;
}

void GFXButton::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                             EventsMap& events, juce::Component* owner)
{
    BaseGFXController::loadFromXml (element, parameters, events, owner);

    // Buttons that build on this one (text buttons) take neither attribute.
    if (element.getTagName() == "Button")
    {
        SkinButtonSupport::readClickEvent (*this, element);

        const auto repeat = element.getStringAttribute ("autorepeat", "no");

        if (repeat == "yes" || repeat == "no")
            setAutoRepeat (repeat == "yes");
    }

    setBounds (getSkinPosition().x, getSkinPosition().y, getFrameWidth(), getFrameHeight());
    repaint();
}

void GFXButton::setAutoRepeat (bool shouldRepeat)
{
    autoRepeat = shouldRepeat;

    // Without acceleration. Off is the library's own "no repeat" (a delay of -1): a delay of 0
    // would still start a timer at every press.
    if (shouldRepeat)
        setRepeatSpeed (1000, 100, -1);
    else
        setRepeatSpeed (-1, 0, -1);
}

//==============================================================================
void GFXButton::mouseEnter (const juce::MouseEvent& event)
{
    juce::Button::mouseEnter (event);
    updateTooltip (event.mods);
}

void GFXButton::modifierKeysChanged (const juce::ModifierKeys& modifiers)
{
    juce::Button::modifierKeysChanged (modifiers);
    updateTooltip (modifiers);
}

void GFXButton::updateTooltip (const juce::ModifierKeys& modifiers)
{
    // A button without skin actions (a window's text button) keeps the tooltip its owner gave it.
    if (clickEvents.click == -1 && clickEvents.ctrlClick == -1)
        return;

    setTooltip (modifiers.isCtrlDown() && clickEvents.ctrlClick != -1 ? ctrlClickTooltip : clickTooltip);
}

void GFXButton::clicked (const juce::ModifierKeys& modifiers)
{
    const auto eventId = clickEvents.forClick (modifiers);

    if (eventId != -1)
        notifyEvent (eventId);
}

//==============================================================================
void GFXButton::paintButton (juce::Graphics& g, bool isHighlighted, bool isDown)
{
    const auto pressed = isHighlighted && isDown;

    if (hasImage())
        drawFrame (g, pressed ? 1 : 0);
    else
        paintFallback (g, pressed);
}

void GFXButton::paintFallback (juce::Graphics& g, bool isPressed)
{
    g.fillAll (juce::Colour (isPressed ? 0xff666666 : 0xffe5e5e5));
    g.setColour (juce::Colours::black);
    g.drawRect (getLocalBounds());

    if (getButtonText().isEmpty())
        return;

    g.setColour (isEnabled() ? juce::Colours::black : juce::Colour (0xff808080));
    g.setFont (GFXButtonDetail::fallbackFont());
    g.drawText (getButtonText(), getLocalBounds(), juce::Justification::centred, true);
}
