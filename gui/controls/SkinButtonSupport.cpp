#include "gui/controls/SkinButtonSupport.h"

#include "framework/EmbeddedResources.h"
#include "gui/controls/SkinXml.h"

bool SkinButtonSupport::ClickEvents::set (const juce::String& actionType, int eventId)
{
    if (actionType == "onClick")
        click = eventId;
    else if (actionType == "onClickWithCtrl")
        ctrlClick = eventId;
    else
        return false;

    return true;
}

int SkinButtonSupport::ClickEvents::forClick (const juce::ModifierKeys& modifiers) const noexcept
{
    return modifiers.isCtrlDown() ? ctrlClick : click;
}

//==============================================================================
void SkinButtonSupport::readClickEvent (juce::Button& button, const juce::XmlElement& element)
{
    const auto mode = element.getStringAttribute ("clickEvent", "onRelease");

    if (mode == "onRelease")
        button.setTriggeredOnMouseDown (false);
    else if (mode == "onPress")
        button.setTriggeredOnMouseDown (true);
}

void SkinButtonSupport::readRadioGroup (juce::Button& button, const juce::XmlElement& element)
{
    // The library switches the other members off only when the group changes and the button is on.
    button.setRadioGroupId (SkinXml::getInt (element, "radioGroupId", 0), juce::sendNotification);
}

int SkinButtonSupport::readStyle (const juce::XmlElement& element, int currentStyle)
{
    const auto style = element.getStringAttribute ("style", "2D");

    if (style == "2D")
        return 0;

    if (style == "3D")
        return 1;

    return currentStyle;
}

void SkinButtonSupport::loadFilmstrip (BaseGFXController& control, const juce::XmlElement& element, int numFrames)
{
    auto* gfx = element.getChildByName ("gfx");

    if (gfx == nullptr)
        return;

    juce::Image image;

    if (loadImageResource (gfx->getStringAttribute ("resource"), image) && image.isValid())
        control.setImage (image, numFrames);
}
