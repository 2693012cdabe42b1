/*
    An on/off button of the skin (tag "ToggleButton") that shows and sets a boolean parameter.
    A click toggles it and writes the new state to the parameter; a change of the parameter
    elsewhere moves it without writing back. It can be one of a radio group (the library's)
    and of a drag group (GFXToggleButtonDragGroup). Its filmstrip has 2 frames ("2D": off, on)
    or 4 ("3D": off, -, on, on while held down); a disabled button, or one in the on-phase of
    a blink, shows frame 0. Without an image it draws "On"/"Off", the parameter's name and a
    square, filled when on.
*/
#pragma once

#include "gui/controls/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

class GFXToggleButton : public BaseGFXController,
                        public juce::Button
{
public:
    /** Creates the button with name as its component name; a click toggles it. */
    explicit GFXToggleButton (const juce::String& name);

    /** Leaves its drag group. */
    ~GFXToggleButton() override;

    using GUIController::addListener;
    using GUIController::removeListener;
    using juce::Button::addListener;
    using juce::Button::removeListener;

    /** Takes the parameter's boolean value without writing back or telling anybody. */
    void updateFromParameter (Parameter* parameter) override;

    /** Reads links and actions, "pos" and "size"; for the tag "ToggleButton" also "style",
        "gfx" (2 or 4 frames by style, whatever "framesNum" says), "clickEvent",
        "radioGroupId" and "dragGroup". */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** 0 for "2D" (2 frames), 1 for "3D" (4 frames). */
    int getStyle() const noexcept                       { return style; }

    /** Makes the button a member of the named drag group, leaving the one it was in; an empty
        name leaves any group. */
    void setDragGroup (const juce::String& groupName);

    /** The name of the button's drag group, empty when it is in none. */
    const juce::String& getDragGroupName() const noexcept   { return dragGroupName; }

    /** Where the picture without an image puts its square in a button of this size: side
        min (height - 32, width) x 0.75 (truncated, never below 0), centred. */
    static juce::Rectangle<int> getFallbackSquare (int width, int height);

    //==============================================================================
    /** @internal */
    void mouseDown (const juce::MouseEvent& event) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent& event) override;

protected:
    using juce::Button::clicked;

    /** The button has been toggled by the user (or by its radio or drag group): writes the
        new state to the parameter, tells the listeners and the drag group. */
    void clicked() override;

    /** The frame for the state, or the picture without an image. */
    void paintButton (juce::Graphics& g, bool isHighlighted, bool isDown) override;

    /** @internal */
    void frameSizeChanged() override;
    /** @internal */
    void positionChanged() override;
    /** @internal */
    void blinkStateChanged() override;

private:
    void paintFallback (juce::Graphics& g, bool showsOn);

    int style = 0;
    juce::String dragGroupName;

    JUCE_DECLARE_NON_COPYABLE (GFXToggleButton)
};
