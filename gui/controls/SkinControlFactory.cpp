#include "gui/controls/SkinControlFactory.h"

#include "gui/controls/GFXButton.h"
#include "gui/controls/GFXMultiStateButton.h"
#include "gui/controls/GFXRocker.h"
#include "gui/controls/GFXToggleButton.h"

namespace SkinControlFactoryDetail
{
using Create = SkinControlFactory::Control (*) (const juce::String& name);

template <typename ControlType>
SkinControlFactory::Control create (const juce::String& name)
{
    auto control = std::make_unique<ControlType> (name);
    GUIController* controller = control.get();
    return { std::move (control), controller };
}

struct Entry
{
    const char* tag;
    Create create;          // null while the class is not part of the toolkit
    bool atEditorLevel;     // also read at the top of the editor's skin
};

// In the order the tags are compared.
const Entry entries[] = {
    { "Knob",                 nullptr, true  },
    { "Switch",               nullptr, true  },
    { "Animation",            nullptr, true  },
    { "Button",               create<GFXButton>, true  },
    { "ToggleButton",         create<GFXToggleButton>, true  },
    { "MultiStateButton",     create<GFXMultiStateButton>, true  },
    { "Display",              nullptr, true  },
    { "DisplayFloat",         nullptr, true  },
    { "Rocker",               create<GFXRocker>, true  },
    { "Panel",                nullptr, true  },
    { "NumericDisplay",       nullptr, true  },
    { "NoteDisplay",          nullptr, false },
    { "PatternNumberDisplay", nullptr, true  },
    { "MusicKeyboard",        nullptr, false },
    { "PitchBender",          nullptr, false },
    { "ModWheel",             nullptr, false },
    { "ParameterModulator",   nullptr, false },
};

Create findCreate (const juce::String& tag, SkinControlFactory::Level level)
{
    for (auto& entry : entries)
        if (tag == entry.tag)
            return (entry.atEditorLevel || level == SkinControlFactory::Level::panel) ? entry.create : nullptr;

    return nullptr;
}
} // namespace SkinControlFactoryDetail

bool SkinControlFactory::canCreate (const juce::String& tag, Level level)
{
    return SkinControlFactoryDetail::findCreate (tag, level) != nullptr;
}

SkinControlFactory::Control SkinControlFactory::create (const juce::String& tag, const juce::String& name, Level level)
{
    if (auto create = SkinControlFactoryDetail::findCreate (tag, level))
        return create (name);

    return {};
}

SkinControlFactory::Control SkinControlFactory::createFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                                               EventsMap& events, juce::Component* owner, Level level)
{
    auto control = create (element.getTagName(), element.getStringAttribute ("name"), level);

    if (control)
        control.controller->loadFromXml (element, parameters, events, owner);

    return control;
}
