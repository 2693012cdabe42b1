/*
    A two-sided less/more switch of the skin (tag "Rocker"). Pressing a half fires its event at
    once ("onLessClick", "onMoreClick", or their "...WithCtrl" forms with Ctrl held) and shows
    that half pressed until the release; dragged off the rocker it shows the neutral frame.
    Vertical: the upper half is "more"; horizontal: the right half. Filmstrip frames: 0 less
    pressed, 1 neutral, 2 more pressed. Without an image it draws the two halves in grey.
*/
#pragma once

#include "gui/controls/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

class GFXRocker : public BaseGFXController,
                  public juce::Component
{
public:
    /** Creates the rocker with name as its component name: vertical, neutral. */
    explicit GFXRocker (const juce::String& name);

    /** The four click actions keep their events; other types are ignored. */
    void addAction (const juce::String& type, int eventId, const juce::String& eventName) override;

    /** Reads the skin element (links, actions, gfx, size, pos); for the tag "Rocker" also "type"
        ("vertical" or "horizontal"); then takes the skin's place and frame size. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** 0 vertical (upper half = more), 1 horizontal (right half = more). */
    int getType() const noexcept                        { return type; }

    /** The frame for the rocker's state: 0 less pressed, 1 neutral, 2 more pressed. */
    int getShownFrame() const noexcept                  { return dragged ? 1 : shownFrame; }

    //==============================================================================
    /** @internal */
    void mouseDown (const juce::MouseEvent& event) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent& event) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& event) override;
    /** @internal */
    void paint (juce::Graphics& g) override;

private:
    void paintFallback (juce::Graphics& g);

    int type = 0;
    int lessEvent = -1, moreEvent = -1, ctrlLessEvent = -1, ctrlMoreEvent = -1;
    int shownFrame = 1;
    bool dragged = false;

    JUCE_DECLARE_NON_COPYABLE (GFXRocker)
};
