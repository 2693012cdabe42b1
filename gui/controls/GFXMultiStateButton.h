/*
    A button of the skin (tag "MultiStateButton") that shows its parameter as one of N states
    and fires editor events when clicked ("onClick", "onClickWithCtrl"). A click does not change
    the state: the parameter does, or the owner (the editor's MIDI-learn button). The filmstrip
    has one frame per state ("2D") or two, normal and held down ("3D"); in the on-phase of a blink
    it shows frame 0 (1 for a "3D" button held down). Without an image it draws a small box with
    a dot that grows with the state.
*/
#pragma once

#include "gui/controls/BaseGFXController.h"
#include "gui/controls/SkinButtonSupport.h"

#include <juce_gui_basics/juce_gui_basics.h>

class GFXMultiStateButton : public BaseGFXController,
                            public juce::Button
{
public:
    /** Creates the button with name as its component name: 2 states, showing state 0. */
    explicit GFXMultiStateButton (const juce::String& name);

    using GUIController::addListener;
    using GUIController::removeListener;
    using juce::Button::addListener;
    using juce::Button::removeListener;

    /** "onClick" and "onClickWithCtrl" keep their events; other types are ignored. */
    void addAction (const juce::String& type, int eventId, const juce::String& eventName) override;

    /** Shows the state nearest to the parameter's normalised value (clamped to 0..1). */
    void updateFromParameter (Parameter* parameter) override;

    /** Reads links and actions, "pos" and "size"; for the tag "MultiStateButton" also "style",
        "states" (taken when 2 or more), "gfx" (states or 2 x states frames by style, whatever
        "framesNum" says), "clickEvent" and "radioGroupId". */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** Shows a state (clamped to 0..states - 1); repaints only when it changes. */
    void setShownState (int newState);

    /** The state shown, 0 .. getNumStates() - 1. */
    int getShownState() const noexcept                  { return shownState; }

    /** The number of states, at least 2. */
    int getNumStates() const noexcept                   { return numStates; }

    /** 0 for "2D" (a frame per state), 1 for "3D" (two frames per state). */
    int getStyle() const noexcept                       { return style; }

protected:
    using juce::Button::clicked;

    /** Fires the event for the modifier keys of the click, when there is one. */
    void clicked (const juce::ModifierKeys& modifiers) override;

    /** The frame for the state, or the picture without an image. */
    void paintButton (juce::Graphics& g, bool isHighlighted, bool isDown) override;

    /** @internal */
    void frameSizeChanged() override;
    /** @internal */
    void positionChanged() override;
    /** @internal */
    void blinkStateChanged() override;

private:
    void paintFallback (juce::Graphics& g, bool isPressed);

    int style = 0, shownState = 0, numStates = 2;
    SkinButtonSupport::ClickEvents clickEvents;

    JUCE_DECLARE_NON_COPYABLE (GFXMultiStateButton)
};
