/*
    A panel that holds one control of every skin tag, and the contact sheet of the toolkit's
    displays, keyboard, menus and modulator (pictures/toolkit-controls-contact-sheet*.png),
    drawn without images and with images whose frames carry their own labels.
*/
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
#include "gui/controls/NoteDisplay.h"
#include "gui/controls/NumericDisplay.h"
#include "gui/controls/ParameterModulator.h"
#include "gui/controls/PatternNumberDisplay.h"
#include "gui/controls/PitchBender.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/ToolkitImageNames.h"
#include "tools/art/ArtContactSheet.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace ToolkitControlsSheetTestsDetail
{
using namespace SkinTestSupport;

/** One control of every tag, laid out on a 900 x 430 panel; images named where a control takes them. */
const char* const everyTagPanel = R"(
<Panel name="Every control">
  <size width="900" height="430"/>
  <controls>
    <Knob name="Knob"><links><link as="connectedTo" param="Alpha"/></links><size width="50" height="80"/><pos left="10" top="10"/></Knob>
    <Switch name="Switch" style="Vertical"><links><link as="connectedTo" param="Beta"/></links><size width="50" height="80"/><pos left="70" top="10"/></Switch>
    <Animation name="Animation"><gfx framesNum="4"/><size width="30" height="30"/><pos left="130" top="35"/></Animation>
    <Button name="Button"><size width="60" height="24"/><pos left="170" top="10"/></Button>
    <ToggleButton name="ToggleButton"><size width="60" height="24"/><pos left="170" top="40"/></ToggleButton>
    <MultiStateButton name="MultiStateButton"><size width="60" height="24"/><pos left="170" top="70"/></MultiStateButton>
    <Display name="Display" backgroundColour="FFFFFFFF"><links><link as="connectedTo" param="Name"/></links><size width="150" height="16"/><pos left="240" top="10"/></Display>
    <DisplayFloat name="DisplayFloat" backgroundColour="FFFFFFFF"><links><link as="connectedTo" param="Gamma"/></links><size width="150" height="16"/><pos left="240" top="34"/></DisplayFloat>
    <Rocker name="Rocker"><size width="30" height="40"/><pos left="400" top="10"/></Rocker>
    <Panel name="Inner"><size width="60" height="40"/><pos left="440" top="10"/></Panel>
    <NumericDisplay name="NumericDisplay" digitsNum="4" firstDigitOrder="10" minValue="-99" maxValue="99">
      <size width="14" height="22"/><sign><gfx resource="Sign.png"/></sign><digits><gfx resource="Digits.png"/></digits><pos left="520" top="10"/>
    </NumericDisplay>
    <NoteDisplay name="NoteDisplay"><size width="60" height="22"/>
      <gfx><notes resource="Notes.png"/><tones resource="Tones.png"/><octaves resource="Octaves.png"/></gfx><pos left="520" top="40"/>
    </NoteDisplay>
    <PatternNumberDisplay name="PatternNumberDisplay"><size width="80" height="22"/><pos left="620" top="10"/>
      <gfx firstDigit="First.png" secondDigit="Second.png" thirdDigit="Third.png" fourthDigit="Fourth.png"/>
    </PatternNumberDisplay>
    <MusicKeyboard name="MusicKeyboard" firstKey="48" lastKey="71"><size width="336" height="60"/><pos left="10" top="110"/>
      <Keys><Key/><Key/><Key left="1" right="1"><gfx resource="Key.png" framesNum="8"/><size width="24" height="24"/><pos left="33" top="146"/></Key></Keys>
    </MusicKeyboard>
    <PitchBender name="PitchBender"><size width="50" height="80"/><pos left="720" top="10"/></PitchBender>
    <ModWheel name="ModWheel"><size width="50" height="80"/><pos left="780" top="10"/></ModWheel>
    <ParameterModulator name="ParameterModulator"><size width="880" height="230"/><pos left="10" top="190"/></ParameterModulator>
  </controls>
</Panel>)";

/** A filmstrip whose frames show their texts, light on a dark face; an empty text is a blank frame. */
juce::Image labelStrip (int width, int height, const juce::StringArray& frameTexts)
{
    juce::Image strip (juce::Image::ARGB, width, height * frameTexts.size(), true);
    juce::Graphics g (strip);

    for (int i = 0; i < frameTexts.size(); ++i)
    {
        const juce::Rectangle<int> frame (0, i * height, width, height);
        g.setColour (juce::Colour (0xff20262c));
        g.fillRect (frame);
        g.setColour (juce::Colour (0xff8fe3ff));
        g.setFont (juce::Font ((float) height * 0.8f, juce::Font::bold));
        g.drawText (frameTexts[i], frame, juce::Justification::centred, false);
    }

    return strip;
}

juce::StringArray withDigits (juce::StringArray before, const juce::StringArray& after = {})
{
    for (int d = 0; d < 10; ++d)
        before.add (juce::String (d));

    before.addArray (after);
    return before;
}

/** The label strips of every image the panel names. */
void addLabelStrips (ScopedResources& resources)
{
    resources.add ("Sign.png", labelStrip (10, 22, { "", "-" }));
    resources.add ("Digits.png", labelStrip (14, 22, withDigits ({ "" })));
    resources.add ("Notes.png", labelStrip (18, 22, { "", "C", "D", "E", "F", "G", "A", "B", "" }));
    resources.add ("Tones.png", labelStrip (14, 22, { "", "#", "-" }));
    resources.add ("Octaves.png", labelStrip (18, 22, withDigits ({ "" }, { "10", "" })));
    resources.add ("First.png", labelStrip (20, 22, withDigits ({ "" }, { "P." })));
    resources.add ("Second.png", labelStrip (20, 22, withDigits ({ "" }, { "C", "D", "E", "F", "G", "A", "B", "-" })));
    resources.add ("Third.png", labelStrip (20, 22, withDigits ({ "" }, { "#", "-" })));
    resources.add ("Fourth.png", labelStrip (20, 22, withDigits ({ "" })));
    resources.add ("Key.png", labelStrip (24, 24, { "0", "1", "2", "3", "4*", "5*", "6*", "7*" }));
}

/** The panel read with the bench, its controls showing values. */
std::unique_ptr<GFXPanel> makePanel (SkinTestBench& bench, DefaultLookAndFeel& laf)
{
    auto panel = std::make_unique<GFXPanel> ("Every control");
    panel->setLookAndFeel (&laf);
    bench.load (*panel, everyTagPanel);

    bench["Alpha"].setValue (0.3f, true);
    bench["Beta"].setValue (0.7f, true);
    bench["Gamma"].setValue (0.125f, true);

    for (auto* name : { "Alpha", "Beta", "Gamma", "Name" })
        bench[name].handleUpdateNowIfNeeded();

    for (auto* controller : panel->getChildControllers())
    {
        if (auto* numeric = dynamic_cast<NumericDisplay*> (controller))
            numeric->setValue (-42.6, false);
        else if (auto* pattern = dynamic_cast<PatternNumberDisplay*> (controller))
            pattern->setValue (61);
        else if (auto* keyboard = dynamic_cast<MusicKeyboard*> (controller))
            for (auto note : { 49, 50, 60, 64 })
                keyboard->getKey (note)->setPressed (true);
        else if (auto* modulator = dynamic_cast<ParameterModulator*> (controller))
            for (int i = 0; i < 3; ++i)
                modulator->buttonClicked (modulator->getButton (ToolkitImageNames::addRowButton));
    }

    return panel;
}
} // namespace ToolkitControlsSheetTestsDetail

using namespace ToolkitControlsSheetTestsDetail;

TEST (SkinControlFactory, APanelBuildsEveryKindOfControl)
{
    SkinTestBench bench;
    DefaultLookAndFeel laf;
    auto panel = makePanel (bench, laf);
    const auto controls = panel->getChildControllers();
    ASSERT_EQ (controls.size(), 17);

    const auto is = [&controls] (int index, auto* typeTag)
    {
        return dynamic_cast<std::remove_pointer_t<decltype (typeTag)>*> (controls[index]) != nullptr;
    };

    EXPECT_TRUE (is (0, (GFXKnob*) nullptr));
    EXPECT_TRUE (is (1, (GFXSwitch*) nullptr));
    EXPECT_TRUE (is (2, (GFXAnimation*) nullptr));
    EXPECT_TRUE (is (3, (GFXButton*) nullptr));
    EXPECT_TRUE (is (4, (GFXToggleButton*) nullptr));
    EXPECT_TRUE (is (5, (GFXMultiStateButton*) nullptr));
    EXPECT_TRUE (is (6, (GFXDisplay*) nullptr));
    EXPECT_TRUE (is (7, (GFXDisplayFloat*) nullptr));
    EXPECT_TRUE (is (8, (GFXRocker*) nullptr));
    EXPECT_TRUE (is (9, (GFXPanel*) nullptr));
    EXPECT_TRUE (is (10, (NumericDisplay*) nullptr));
    EXPECT_TRUE (is (11, (NoteDisplay*) nullptr));
    EXPECT_TRUE (is (12, (PatternNumberDisplay*) nullptr));
    EXPECT_TRUE (is (13, (MusicKeyboard*) nullptr));
    EXPECT_TRUE (is (14, (PitchBender*) nullptr));
    EXPECT_TRUE (is (15, (ModWheel*) nullptr));
    EXPECT_TRUE (is (16, (ParameterModulator*) nullptr));

    // At the top of the editor's skin the keyboard, the note display, the benders and the modulator are not read.
    for (auto* tag : { "NoteDisplay", "MusicKeyboard", "PitchBender", "ModWheel", "ParameterModulator" })
        EXPECT_FALSE (SkinControlFactory::canCreate (tag, SkinControlFactory::Level::editor)) << tag;

    for (auto* tag : { "NumericDisplay", "PatternNumberDisplay" })
        EXPECT_TRUE (SkinControlFactory::canCreate (tag, SkinControlFactory::Level::editor)) << tag;

    panel->setLookAndFeel (nullptr);
}

TEST (ToolkitContactSheet, ControlsWithAndWithoutImages)
{
    DefaultLookAndFeel laf;
    ArtContactSheet sheet;

    {
        SkinTestBench bench;
        auto panel = makePanel (bench, laf);
        sheet.addPicture ("Every control, without images", snapshot (*panel));
        panel->setLookAndFeel (nullptr);
    }

    {
        SkinTestBench bench;
        ScopedResources resources;
        addLabelStrips (resources);
        auto panel = makePanel (bench, laf);
        sheet.addPicture ("The same with labelled images: numeric -42.6, note display 0, pattern 61, image key 50",
                          snapshot (*panel).getClippedImage ({ 0, 0, 900, 180 }));

        for (auto* controller : panel->getChildControllers())
            if (auto* component = dynamic_cast<juce::Component*> (controller))
                component->setEnabled (false);

        sheet.addPicture ("Disabled", snapshot (*panel).getClippedImage ({ 500, 0, 220, 70 }));
        panel->setLookAndFeel (nullptr);
    }

    {
        // The modulator's lines, one selected, and its curve with a line being drawn.
        ParameterModulationMatrix matrix;
        ParameterModulator modulator;
        modulator.setLookAndFeel (&laf);
        modulator.setModulationMatrix (&matrix);
        modulator.setSize (800, 150);

        for (int i = 0; i < 3; ++i)
            modulator.buttonClicked (modulator.getButton (ToolkitImageNames::addRowButton));

        auto& row = *modulator.getRow (1);
        row.sourceBox.getMenu().addItem (3, "Key follow");
        row.destinationBox.getMenu().addItem (12, "Left Cutoff");
        row.showRouting ({ 3, 12, 0.6f });
        row.mouseDown (Mouse::event (row, {}, {}, juce::ModifierKeys::leftButtonModifier, false));
        sheet.addPicture ("Modulator lines, the second selected", snapshot (modulator));

        auto& scaler = modulator.getPitchScaler();
        scaler.setPitchScaleFromLine ({ 0, 190 }, { 420, 20 });
        scaler.setPitchScaleFromLine ({ 421, 20 }, { 895, 120 });
        const auto rightButton = juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier);
        scaler.mouseDown (Mouse::event (scaler, { 600.0f, 60.0f }, { 600.0f, 60.0f }, rightButton, false));
        scaler.mouseMove (Mouse::event (scaler, { 760.0f, 150.0f }, { 760.0f, 150.0f }, {}, false));
        sheet.addPicture ("Pitch scaler: a curve, the cross-hair and a line from a right-click anchor", snapshot (scaler));

        std::vector<juce::Image> buttons;

        for (int i = 0; i < ToolkitImageNames::numModulatorButtons; ++i)
            for (auto over : { false, true })
            {
                juce::Image image;
                loadImageResource (ToolkitImageNames::modulatorButton ((ToolkitImageNames::ModulatorButton) i, over), image);
                sheet.addImage (ToolkitImageNames::modulatorButton ((ToolkitImageNames::ModulatorButton) i, over), image);
            }

        modulator.setModulationMatrix (nullptr);
        modulator.setLookAndFeel (nullptr);
    }

    {
        // Combo boxes and an open menu with a sub-menu.
        struct MenuDesktop : public juce::Component, public PseudoModalComponent::Desktop {};
        MenuDesktop desktop;
        desktop.setLookAndFeel (&laf);
        desktop.setSize (420, 200);
        ComboBoxEx chosen, placeholder;
        auto& more = chosen.getMenu().addSubMenu ("Envelopes");
        chosen.getMenu().addItem (1, "LFO 1");
        chosen.getMenu().addItem (2, "LFO 2");
        more.addItem (3, "Envelope 1");
        more.addItem (4, "Envelope 2 (long name)");
        chosen.getMenu().addItem (5, "Off", false);
        chosen.setSelectedId (4);
        placeholder.update();
        chosen.setBounds (10, 10, 150, 20);
        placeholder.setBounds (170, 10, 150, 20);
        desktop.addAndMakeVisible (chosen);
        desktop.addAndMakeVisible (placeholder);

        Mouse::press (chosen, { 5.0f, 5.0f });
        auto& layer = chosen.getMenu().getComponent();
        auto& root = *layer.getWindow (0);
        root.mouseMove (Mouse::event (root, { 8.0f, 11.0f }, { 8.0f, 11.0f }, {}, false));
        layer.timerCallback();
        auto& sub = *layer.getWindow (1);
        sub.mouseMove (Mouse::event (sub, { 8.0f, 27.0f }, { 8.0f, 27.0f }, {}, false));
        sheet.addPicture ("Combo boxes (chosen, placeholder) and the open menu, bold where the choice lies", snapshot (desktop));
        layer.hide();
        desktop.setLookAndFeel (nullptr);
    }

    const auto file = juce::File (VELCROFT_BINARY_DIR).getChildFile ("pictures/toolkit-controls-contact-sheet.png");
    ASSERT_TRUE (sheet.writeTo (file));
    EXPECT_TRUE (juce::ImageFileFormat::loadFrom (file).isValid());
}
