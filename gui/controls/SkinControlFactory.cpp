#include "gui/controls/SkinControlFactory.h"

#include "gui/controls/GFXAnimation.h"
#include "gui/controls/GFXButton.h"
#include "gui/controls/GFXDisplay.h"
#include "gui/controls/GFXDisplayFloat.h"
#include "gui/controls/GFXKnob.h"
#include "gui/controls/GFXMultiStateButton.h"
#include "gui/controls/GFXPanel.h"
#include "gui/controls/GFXRocker.h"
#include "gui/controls/GFXSwitch.h"
#include "gui/controls/GFXToggleButton.h"
#include "gui/controls/ModWheel.h"
#include "gui/controls/MusicKeyboard.h"
#include "gui/controls/NoteDisplay.h"
#include "gui/controls/NumericDisplay.h"
#include "gui/controls/ParameterModulator.h"
#include "gui/controls/PatternNumberDisplay.h"
#include "gui/controls/PitchBender.h"

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
    Create create;
    bool atEditorLevel;     // also read at the top of the editor's skin
};

// In the order the tags are compared.
const Entry entries[] = {
    { "Knob",                 create<GFXKnob>,               true  },
    { "Switch",               create<GFXSwitch>,             true  },
    { "Animation",            create<GFXAnimation>,          true  },
    { "Button",               create<GFXButton>,             true  },
    { "ToggleButton",         create<GFXToggleButton>,       true  },
    { "MultiStateButton",     create<GFXMultiStateButton>,   true  },
    { "Display",              create<GFXDisplay>,            true  },
    { "DisplayFloat",         create<GFXDisplayFloat>,       true  },
    { "Rocker",               create<GFXRocker>,             true  },
    { "Panel",                create<GFXPanel>,              true  },
    { "NumericDisplay",       create<NumericDisplay>,        true  },
    { "NoteDisplay",          create<NoteDisplay>,           false },
    { "PatternNumberDisplay", create<PatternNumberDisplay>,  true  },
    { "MusicKeyboard",        create<MusicKeyboard>,         false },
    { "PitchBender",          create<PitchBender>,           false },
    { "ModWheel",             create<ModWheel>,              false },
    { "ParameterModulator",   create<ParameterModulator>,    false },
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
