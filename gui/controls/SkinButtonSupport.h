/*
    What the skin's button classes share: the two events a click fires (plain and with Ctrl)
    and the readers of the attributes several button tags accept ("clickEvent", "radioGroupId",
    "style", and a "gfx" whose frame count the style decides).
*/
#pragma once

#include "gui/controls/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

class SkinButtonSupport
{
public:
    SkinButtonSupport() = delete;

    /** The events of the actions "onClick" and "onClickWithCtrl"; -1 when not given. */
    struct ClickEvents
    {
        int click = -1;
        int ctrlClick = -1;

        /** Keeps the event of an "onClick" or "onClickWithCtrl" action; false for other types. */
        bool set (const juce::String& actionType, int eventId);

        /** The event a click with these modifier keys fires: with Ctrl held the ctrl-click
            event (-1 when there is none, so no plain event stands in for it), else the click event. */
        int forClick (const juce::ModifierKeys& modifiers) const noexcept;
    };

    /** "clickEvent": "onPress" fires on the mouse-down, "onRelease" on the release; other values keep the mode. */
    static void readClickEvent (juce::Button& button, const juce::XmlElement& element);

    /** "radioGroupId" (0 when missing): a different group becomes the button's radio group; when
        the button is on, the others of the group are switched off with notification. */
    static void readRadioGroup (juce::Button& button, const juce::XmlElement& element);

    /** The style "style" names: "2D" 0, "3D" 1; a missing attribute gives 0, other values currentStyle. */
    static int readStyle (const juce::XmlElement& element, int currentStyle);

    /** Loads the image "gfx" names, cut into numFrames frames whatever its "framesNum" says;
        nothing changes when there is no "gfx" or its image does not load. */
    static void loadFilmstrip (BaseGFXController& control, const juce::XmlElement& element, int numFrames);
};
