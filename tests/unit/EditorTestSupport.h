/*
    The editor's test bench: a real Velcroft in a temporary folder, started as the entry
    routine starts it (initialise, then createGui), with a host side that records what it
    is told. Without the product's skin compiled in, a skin of the product's shape (the
    controls the tests use, at the product's places, with colour-coded filmstrips) is added
    for the bench's life.
*/
#pragma once

#include "editor/VelcroftEditor.h"
#include "product/Velcroft.h"
#include "MessageLoop.h"
#include "RecordingHostNotifier.h"
#include "SkinTestSupport.h"
#include "TemporaryFolder.h"

namespace EditorTestSupport
{
/** The skin of the product's shape: the controls the editor tests use, named and placed as the product's. */
inline juce::String productShapedSkin()
{
    struct Row { const char* tag; const char* name; int frames; const char* param; int x, y, w, h; const char* extra; };
    const Row rows[] = {
        { "Button", "OptionsButton", 2, "", 78, 14, 38, 43, R"( autorepeat="yes")" },
        { "Button", "BrowsePresetButton", 2, "", 372, 17, 33, 40, "" },
        { "Animation", "LeftVUMeter", 12, "", 551, 99, 34, 89, "" },
        { "Animation", "RightVUMeter", 12, "", 585, 100, 37, 89, "" },
        { "Knob", "PreampKnob", 61, "Preamp", 20, 15, 37, 35, "" },
        { "Switch", "LeftBitsKnob", 17, "Left Bits", 86, 83, 37, 35, R"( style="Rotary")" },
        { "ToggleButton", "LeftAALPFButton", 4, "Left Link Freq", 216, 82, 37, 39, R"( style="3D" clickEvent="onRelease")" },
        { "Switch", "LeftFilterOrderSwitch", 2, "Left Filter Order", 268, 67, 27, 59, R"( style="Vertical")" },
        { "Animation", "LeftChannelProcessLed", 2, "", 22, 78, 34, 13, "" },
        { "Animation", "RightChannelProcessLed", 2, "", 23, 143, 34, 13, "" },
    };

    juce::String xml = R"(<PluginEditor background="Background.png" application="Velcroft">)";
    xml << R"(<Display name="PresetNameDisplay" caretColour="FFBEF6FF" backgroundColour="FF232224">)"
        << R"(<links><link as="connectedTo" param="Current Preset Name"/></links>)"
        << R"(<gfx resource="Fonts.png" firstASCII=" " fontHeight="9"/><pos left="130" top="28"/><size width="153" height="13"/></Display>)";

    for (const auto& r : rows)
    {
        xml << "<" << r.tag << " name=\"" << r.name << "\"" << r.extra << ">";

        if (juce::String (r.param).isNotEmpty())
            xml << R"(<links><link as="connectedTo" param=")" << r.param << R"("/></links>)";

        if (juce::String (r.name) == "OptionsButton")
            xml << R"(<actions><action type="onClick" event="Options"/><action type="onClickWithCtrl" event="About"/></actions>)";
        else if (juce::String (r.name) == "BrowsePresetButton")
            xml << R"(<actions><action type="onClick" event="Browse presets"/><action type="onClickWithCtrl" event="Store current preset"/></actions>)";

        xml << "<gfx resource=\"" << r.name << ".png\" framesNum=\"" << r.frames << "\"/>"
            << "<pos left=\"" << r.x << "\" top=\"" << r.y << "\"/>"
            << "<size width=\"" << r.w << "\" height=\"" << r.h << "\"/></" << r.tag << ">";
    }

    return xml + "</PluginEditor>";
}

/** Adds the product-shaped skin and its images, unless the product's own skin is compiled in. */
inline void addSkinUnlessBuiltIn (SkinTestSupport::ScopedResources& resources)
{
    if (loadResourceAsString ("skin.xml").isNotEmpty())
        return;

    const auto skin = productShapedSkin();
    resources.add ("skin.xml", skin);

    juce::Image background (juce::Image::ARGB, 633, 207, true);
    background.clear (background.getBounds(), juce::Colour (0xff2b2a2e));
    resources.add ("Background.png", background);
    resources.add ("Fonts.png", SkinTestSupport::makeFilmstrip (7, 9, 192));

    const auto root = juce::parseXML (skin);

    for (auto* element : root->getChildIterator())
        if (auto* gfx = element->getChildByName ("gfx"); gfx != nullptr && element->getTagName() != "Display")
            if (auto* size = element->getChildByName ("size"))
                resources.add (gfx->getStringAttribute ("resource"),
                               SkinTestSupport::makeFilmstrip (size->getIntAttribute ("width"), size->getIntAttribute ("height"),
                                                               gfx->getIntAttribute ("framesNum")));
}

/** A started Velcroft with its editor and a recording host. */
class EditorRig
{
public:
    /** Starts the plug-in; extraSetup runs on the resources before the editor is built. */
    template <typename Setup>
    explicit EditorRig (Setup&& extraSetup)
    {
        addSkinUnlessBuiltIn (resources);
        extraSetup (resources);
        plugin = std::make_unique<Velcroft>();
        plugin->setPluginFile (place.folder.getChildFile ("Velcroft.so"));
        plugin->setHostNotifier (&host);
        plugin->initialise();
        plugin->createGui();
        MessageLoop::runFor (30);       // the first notice of every parameter reaches the controls
    }

    EditorRig() : EditorRig ([] (SkinTestSupport::ScopedResources&) {}) {}

    ~EditorRig()
    {
        plugin.reset();
    }

    /** The editor; the test fails when it is not a VelcroftEditor. */
    VelcroftEditor& editor() const
    {
        auto* e = dynamic_cast<VelcroftEditor*> (plugin->getEditorComponent());
        jassert (e != nullptr);
        return *e;
    }

    /** The editor's control of that name, as the class asked for (null when missing or of another class). */
    template <typename ControlType>
    ControlType* control (const juce::String& name) const
    {
        return dynamic_cast<ControlType*> (BasePluginEditor::findControlByName (&editor(), name));
    }

    /** Delivers what was posted to the message thread. */
    static void settle()                            { MessageLoop::runFor (30); }

    SkinTestSupport::ScopedResources resources;
    const TemporaryFolder place { "VelcroftEditorTests" };
    RecordingHostNotifier host;
    std::unique_ptr<Velcroft> plugin;
};
} // namespace EditorTestSupport
