/*
    A push button of the skin (tag "Button"): a click fires the editor event of its "onClick"
    action, a click with Ctrl held that of its "onClickWithCtrl" action, and the tooltip names
    the event that a click would fire. With an image it shows frame 0, or frame 1 while held
    down; without one it draws a plain box with the button text.

    Text buttons build on it: a button made from code (never read from the skin) keeps the
    default size and can be given actions with addAction.
*/
#pragma once

#include "gui/controls/BaseGFXController.h"
#include "gui/controls/SkinButtonSupport.h"

#include <juce_gui_basics/juce_gui_basics.h>

class GFXButton : public BaseGFXController,
                  public juce::Button
{
public:
    /** Creates the button with name as its component name, sized to the name: 18 by 18 without
        one, otherwise the name's width in a plain 12-point font + 8 by 18. */
    explicit GFXButton (const juce::String& name);

    using GUIController::addListener;
    using GUIController::removeListener;
    using juce::Button::addListener;
    using juce::Button::removeListener;

    /** "onClick" and "onClickWithCtrl" keep their event and the event's name as its tooltip;
        other types are ignored. */
    void addAction (const juce::String& type, int eventId, const juce::String& eventName) override;

    /** Reads the skin element (links, actions, gfx, size, pos); for the tag "Button" also
        "clickEvent" and "autorepeat"; then takes the skin's place and frame size. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** Holding the button down repeats its click: after 1 s, then every 100 ms. Off by default. */
    void setAutoRepeat (bool shouldRepeat);

    /** True when holding the button down repeats its click. */
    bool isAutoRepeating() const noexcept               { return autoRepeat; }

    //==============================================================================
    /** @internal */
    void mouseEnter (const juce::MouseEvent& event) override;
    /** @internal */
    void modifierKeysChanged (const juce::ModifierKeys& modifiers) override;

protected:
    /** Fires the event for the modifier keys of the click, when there is one. */
    void clicked (const juce::ModifierKeys& modifiers) override;

    /** Frame 1 of the image while over and held down, else frame 0; the fallback without an image. */
    void paintButton (juce::Graphics& g, bool isHighlighted, bool isDown) override;

    /** The picture without an image: a light box (dark while held down), a black outline and
        the button text centred in a plain 12-point font (grey when disabled). */
    void paintFallback (juce::Graphics& g, bool isPressed);

private:
    void updateTooltip (const juce::ModifierKeys& modifiers);

    SkinButtonSupport::ClickEvents clickEvents;
    juce::String clickTooltip, ctrlClickTooltip;
    bool autoRepeat = false;

    JUCE_DECLARE_NON_COPYABLE (GFXButton)
};
