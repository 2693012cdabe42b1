/*
    The one table from skin tags to control classes, used by the panel for its "controls"
    and by the editor for the skin's top-level elements. Tags are compared case-sensitively;
    a tag without a class here makes nothing, and the caller skips its element silently.
*/
#pragma once

#include "gui/controls/GUIController.h"

#include <memory>

class SkinControlFactory
{
public:
    SkinControlFactory() = delete;

    /** Where the element stands: the editor reads fewer tags at the top of its skin than a panel does. */
    enum class Level
    {
        editor,
        panel
    };

    /** A control made by the factory: the component that owns it and its controller side,
        which are the same object. Empty when the tag names no control. */
    struct Control
    {
        std::unique_ptr<juce::Component> component;
        GUIController* controller = nullptr;

        explicit operator bool() const noexcept    { return component != nullptr; }
    };

    /** True when a control can be made for the tag at that level. */
    static bool canCreate (const juce::String& tag, Level level = Level::panel);

    /** Makes the control for a tag with name as its component name, not yet read from the skin. */
    static Control create (const juce::String& tag, const juce::String& name, Level level = Level::panel);

    /** Makes the control for a skin element (its tag, its "name" attribute) and reads it from the
        element with the plug-in's parameters and events; empty for an element that is no control. */
    static Control createFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                  EventsMap& events, juce::Component* owner, Level level = Level::panel);
};
