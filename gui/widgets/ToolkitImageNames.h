/*
    The names under which the toolkit's own images are embedded ("NAME.png"). The art
    generator in tools/art writes the images under these names and the look-and-feel and
    the windows load them by the same names, so both sides spell them in one place.
*/
#pragma once

#include <juce_core/juce_core.h>

class ToolkitImageNames
{
public:
    ToolkitImageNames() = delete;

    /** The number of icons in the icon set. */
    static constexpr int numIcons = 17;

    /** The parts of a text button's image set, in the order TextButtonEx takes them. */
    enum TextButtonPart
    {
        left, middle, right, leftDown, middleDown, rightDown, overlay,
        numTextButtonParts
    };

    /** The window's shadow edges, numbered as WindowComponent numbers them. */
    enum ShadowEdge
    {
        shadowTop = 1, shadowBottom, shadowLeft, shadowRight
    };

    /** The check box, unticked or ticked (15 x 14). */
    static juce::String checkBox (bool ticked)
    {
        return ticked ? "CheckBoxTicked.png" : "CheckBox.png";
    }

    /** The radio button, normal or selected (15 x 14). */
    static juce::String radioButton (bool selected)
    {
        return selected ? "RadioButtonSelected.png" : "RadioButton.png";
    }

    /** Icon 0 to 16, small (27 x 27) or large (43 x 43), normal or pressed. */
    static juce::String icon (int index, bool large, bool pressed)
    {
        return juce::String (large ? "IconLarge" : "IconSmall") + juce::String (index).paddedLeft ('0', 2)
                 + (pressed ? "Pressed.png" : ".png");
    }

    /** One part of the normal (28 high) or the large (32 high) text-button set. */
    static juce::String textButton (bool large, TextButtonPart part)
    {
        static const char* const partNames[] = { "Left", "Middle", "Right", "LeftDown", "MiddleDown", "RightDown", "Overlay" };
        jassert (part >= 0 && part < numTextButtonParts);
        return juce::String (large ? "TextButtonLarge" : "TextButton") + partNames[(int) part] + ".png";
    }

    /** A row icon of the preset browser (16 x 16): a group's or a preset's, drawn for an
        unselected row or for the selected-row fill. */
    static juce::String browserRowIcon (bool group, bool selected)
    {
        return juce::String (group ? "GroupIcon" : "PresetIcon") + (selected ? "Sel.png" : ".png");
    }

    /** The window's title-bar icon (24 x 24). */
    static juce::String windowIcon()
    {
        return "WindowIcon.png";
    }

    /** The parameter modulator's buttons, in the order of its button column. */
    enum ModulatorButton
    {
        addRowButton, deleteRowButton, moveUpButton, moveDownButton, settingsButton,
        numModulatorButtons
    };

    /** A modulator button (21 x 21), normal or under the mouse. */
    static juce::String modulatorButton (ModulatorButton button, bool mouseOver)
    {
        static const char* const buttonNames[] = { "AddRow", "DeleteRow", "MoveUp", "MoveDown", "Settings" };
        jassert (button >= 0 && button < numModulatorButtons);
        return juce::String ("Modulator") + buttonNames[(int) button] + (mouseOver ? "Over.png" : ".png");
    }

    /** The background of the modulator's per-key curve (897 x 200). */
    static juce::String pitchScalerBackground()
    {
        return "PitchScalerBackground.png";
    }

    /** One shadow edge of a window: top and bottom 40 x 10, left and right 10 x 40. */
    static juce::String windowShadow (ShadowEdge edge)
    {
        static const char* const edgeNames[] = { "Top", "Bottom", "Left", "Right" };
        jassert (edge >= shadowTop && edge <= shadowRight);
        return juce::String ("WindowShadow") + edgeNames[(int) edge - 1] + ".png";
    }
};
