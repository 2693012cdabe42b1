#include "EditorTestSupport.h"

#include "editor/AboutWindow.h"
#include "editor/MidiControlComponent.h"
#include "editor/OldStylePresetBrowserWindow.h"
#include "gui/controls/GFXAnimation.h"
#include "gui/controls/GFXButton.h"
#include "gui/controls/GFXDisplay.h"
#include "gui/controls/GFXKnob.h"
#include "gui/controls/GFXMultiStateButton.h"
#include "gui/controls/GFXSwitch.h"
#include "gui/controls/GFXToggleButton.h"
#include "dsp/VelcroftCore.h"

#include <gtest/gtest.h>

#include <thread>

namespace EditorTestsDetail
{
using namespace EditorTestSupport;
using namespace SkinTestSupport;

void click (juce::Component& c, juce::ModifierKeys mods = {})
{
    const auto centre = c.getLocalBounds().getCentre().toFloat();
    Mouse::press (c, centre, mods);
    Mouse::release (c, centre, centre, mods);
}

void savePicture (juce::Component& editor, const juce::String& name)
{
    savePictureIfAsked (snapshot (editor), "editor/" + name + ".png");
}

/** Runs one block of a full-scale sine (or silence) with the given MIDI through the plug-in. */
void processBlock (Velcroft& plugin, float amplitude, juce::MidiBuffer midi = {})
{
    juce::AudioBuffer<float> buffer (2, 2048);

    for (int i = 0; i < buffer.getNumSamples(); ++i)
        for (int ch = 0; ch < 2; ++ch)
            buffer.setSample (ch, i, amplitude * std::sin ((float) i * 0.05f));

    plugin.processBlock (buffer, midi);
}

//==============================================================================
TEST (VelcroftEditor, ShowsTheSkinAboveTheStatusBarWithTheCurrentPresetsName)
{
    EditorRig rig;
    auto& editor = rig.editor();

    EXPECT_TRUE (editor.isSkinLoaded());
    EXPECT_TRUE (editor.getGenericControls().isEmpty());
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 633, 223));
    EXPECT_EQ (editor.getSkinHeight(), 207);
    EXPECT_EQ (editor.getStatusBar().getBounds(), juce::Rectangle<int> (0, 207, 633, 16));
    EXPECT_FALSE (editor.getOptionsWindow().isVisible());
    EXPECT_FALSE (editor.getPresetBrowser().isVisible());

    auto* display = rig.control<GFXDisplay> ("PresetNameDisplay");
    ASSERT_NE (display, nullptr);
    EXPECT_EQ (display->getText(), "MPC 60");

    // The controls show the first preset's values (Preamp 0.475, Left Bits 0.685).
    EXPECT_EQ (rig.control<GFXKnob> ("PreampKnob")->getFrameForValue(), 29);
    EXPECT_EQ (rig.control<GFXSwitch> ("LeftBitsKnob")->getFrameForValue(), 11);
    savePicture (editor, "01-idle");
}

TEST (VelcroftEditor, HostChangesMoveControlsAndUserEditsReachTheHostAsGestures)
{
    EditorRig rig;
    auto& editor = rig.editor();
    auto* knob = rig.control<GFXKnob> ("PreampKnob");
    ASSERT_NE (knob, nullptr);

    rig.host = {};
    rig.plugin->setHostParameter (VelcroftParameters::preamp, 0.75f);
    EditorRig::settle();
    EXPECT_EQ (knob->getFrameForValue(), 45);
    EXPECT_TRUE (rig.host.automated.empty()) << "the host's own change is not echoed";

    // A drag: begin-edit, automation, end-edit, and the value on the status bar.
    const juce::Point<float> down (18.0f, 17.0f);
    Mouse::press (*knob, down);
    Mouse::drag (*knob, down, down.translated (0.0f, 25.0f));
    Mouse::release (*knob, down, down.translated (0.0f, 25.0f));
    EXPECT_EQ (rig.host.begun, std::vector<int> { VelcroftParameters::preamp });
    EXPECT_EQ (rig.host.ended, std::vector<int> { VelcroftParameters::preamp });
    ASSERT_FALSE (rig.host.automated.empty());
    EXPECT_EQ (rig.host.automated.back().first, VelcroftParameters::preamp);
    EXPECT_NEAR (rig.host.automated.back().second, 0.65f, 0.01f);
    EXPECT_EQ (editor.getStatusBar().getText(), "Preamp: " + rig.plugin->getDisplayText (VelcroftParameters::preamp));
    EXPECT_EQ (editor.getStatusBar().getPriority(), 6);

    // The toggle and the lever follow clicks, and so do their parameters.
    auto* toggle = rig.control<GFXToggleButton> ("LeftAALPFButton");
    auto* lever = rig.control<GFXSwitch> ("LeftFilterOrderSwitch");
    auto& params = rig.plugin->getParameterManager();
    ASSERT_TRUE (toggle != nullptr && lever != nullptr);
    const bool linkWas = params.getParameter (VelcroftParameters::leftLinkFreq)->getBoolValue();
    click (*toggle);
    EXPECT_NE (params.getParameter (VelcroftParameters::leftLinkFreq)->getBoolValue(), linkWas);
    EXPECT_EQ (toggle->getToggleState(), ! linkWas);

    const int leverWas = lever->getFrameForValue();
    Mouse::press (*lever, { 13.0f, leverWas == 0 ? 5.0f : 54.0f });
    Mouse::release (*lever, { 13.0f, leverWas == 0 ? 5.0f : 54.0f }, { 13.0f, leverWas == 0 ? 5.0f : 54.0f });
    EditorRig::settle();
    EXPECT_EQ (lever->getFrameForValue(), 1 - leverWas);
    savePicture (editor, "02-after-edits");
}

TEST (VelcroftEditor, MetersAndLightsFollowTheCoreAndFallBackInSilence)
{
    EditorRig rig;
    auto& editor = rig.editor();
    auto* left = rig.control<GFXAnimation> ("LeftVUMeter");
    auto* right = rig.control<GFXAnimation> ("RightVUMeter");
    auto* leftLed = rig.control<GFXAnimation> ("LeftChannelProcessLed");
    auto* rightLed = rig.control<GFXAnimation> ("RightChannelProcessLed");
    ASSERT_TRUE (left != nullptr && right != nullptr && leftLed != nullptr && rightLed != nullptr);

    rig.plugin->prepareToPlay (44100.0, 2048);
    processBlock (*rig.plugin, 0.9f);
    editor.refreshDisplay();
    EXPECT_GT (left->getCurrentFrame(), 0) << "real audio moves the meters";
    EXPECT_EQ (leftLed->getCurrentFrame(), 1);
    EXPECT_EQ (rightLed->getCurrentFrame(), 1);
    savePicture (editor, "03-playing");

    // Exact levels, as the core publishes them.
    auto* core = dynamic_cast<VelcroftCore*> (rig.plugin->getCore());
    ASSERT_NE (core, nullptr);
    core->publishVuLevels (0.5f, 1.0f);
    core->publishLeds (false, true);
    editor.refreshDisplay();
    EXPECT_EQ (left->getCurrentFrame(), 6);
    EXPECT_EQ (right->getCurrentFrame(), 11);
    EXPECT_EQ (leftLed->getCurrentFrame(), 0);
    EXPECT_EQ (rightLed->getCurrentFrame(), 1);

    {
        // Nothing changed: nothing repaints.
        RepaintCounter meter (*right), led (*rightLed);
        editor.refreshDisplay();
        editor.refreshDisplay();
        EXPECT_EQ (meter.take(), 0);
        EXPECT_EQ (led.take(), 0);
    }

    // Stopped: the lights go out, the meters fall by 0.675 a tick down to 0.
    rig.plugin->releaseResources();
    editor.refreshDisplay();
    EXPECT_EQ (rightLed->getCurrentFrame(), 0);
    EXPECT_FLOAT_EQ (editor.getRightVuLevel(), 0.675f);
    editor.refreshDisplay();
    EXPECT_FLOAT_EQ (editor.getRightVuLevel(), 0.675f * 0.675f);
    EXPECT_EQ (right->getCurrentFrame(), 7) << "a tick shows the level, then lowers it";

    for (int tick = 0; tick < 20; ++tick)
        editor.refreshDisplay();

    EXPECT_EQ (editor.getRightVuLevel(), 0.0f);
    EXPECT_EQ (right->getCurrentFrame(), 0);
    EXPECT_EQ (left->getCurrentFrame(), 0);
}

TEST (VelcroftEditor, OptionsAndBrowseDockTheirPanelsUnderTheSkin)
{
    EditorRig rig;
    auto& editor = rig.editor();
    auto* options = rig.control<GFXButton> ("OptionsButton");
    auto* browse = rig.control<GFXButton> ("BrowsePresetButton");
    ASSERT_TRUE (options != nullptr && browse != nullptr);
    auto& optionsWindow = editor.getOptionsWindow();
    auto& tabs = optionsWindow.getTabbedComponent();

    EXPECT_EQ (tabs.getTabNames(), juce::StringArray ({ "Presets", "Midi Control" }));
    EXPECT_EQ (tabs.getCurrentTabIndex(), 0);
    EXPECT_EQ (tabs.getTabContentComponent (1), &editor.getMidiControlPage());

    editor.getStatusBar().setText ("a notice", 4, 0);
    click (*options);
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 633, 479));
    EXPECT_TRUE (optionsWindow.isVisible());
    EXPECT_EQ (optionsWindow.getBounds(), juce::Rectangle<int> (0, 207, 633, 256));
    EXPECT_EQ (editor.getStatusBar().getBounds(), juce::Rectangle<int> (0, 463, 633, 16));
    EXPECT_TRUE (editor.getStatusBar().getText().isEmpty());
    EXPECT_EQ (editor.getAboutWindow().getWidth(), 550);
    EXPECT_EQ (editor.getAboutWindow().getHeight(), 260);
    savePicture (editor, "04-options");

    click (*browse);
    EXPECT_FALSE (optionsWindow.isVisible());
    EXPECT_TRUE (editor.getPresetBrowser().isVisible());
    EXPECT_EQ (editor.getPresetBrowser().getBounds(), juce::Rectangle<int> (0, 207, 633, 256));
    EXPECT_EQ (editor.getHeight(), 479);
    savePicture (editor, "05-browser");

    click (*browse);
    EXPECT_FALSE (editor.getPresetBrowser().isVisible());
    EXPECT_EQ (editor.getBounds(), juce::Rectangle<int> (0, 0, 633, 223));
    EXPECT_EQ (editor.getAboutWindow().getHeight(), 190);
}

TEST (VelcroftEditor, PresetsPageShowsAndSetsThePluginsPresetSettings)
{
    EditorRig rig;
    auto& editor = rig.editor();
    auto& page = editor.getPresetsPage();
    auto& plugin = *rig.plugin;
    click (*rig.control<GFXButton> ("OptionsButton"));
    ASSERT_TRUE (page.isShowing() || page.getParentComponent() != nullptr);

    EXPECT_EQ (page.getStoringGroup().getSelectedIndex(), (int) plugin.getStoringMode());
    EXPECT_EQ (page.getChangingGroup().getSelectedIndex(), (int) plugin.getChangingMode());
    EXPECT_EQ (page.getDefaultPresetsGroup().getSelectedIndex(), (int) plugin.getPresetsMode());
    EXPECT_TRUE (page.getChangingGroup().isVisible());

    // Side by side, the defaults below them across the page.
    const int half = page.getWidth() / 2 - 3;
    EXPECT_EQ (page.getStoringGroup().getBounds().withHeight (0), juce::Rectangle<int> (0, 0, half, 0));
    EXPECT_EQ (page.getChangingGroup().getBounds().withHeight (0), juce::Rectangle<int> (page.getWidth() - half, 0, half, 0));
    EXPECT_EQ (page.getDefaultPresetsGroup().getY(), page.getStoringGroup().getBottom() + 10);
    EXPECT_EQ (page.getDefaultPresetsGroup().getWidth(), page.getWidth());

    // On demand stores nothing; switching back to automatic stores the present values at once.
    page.getStoringGroup().setSelectedIndex (1, true);
    EXPECT_EQ (plugin.getStoringMode(), BasePluginOldStyle::storingOnDemand);
    auto* preamp = plugin.getParameterManager().getParameter (VelcroftParameters::preamp);
    preamp->setNormalisedValue (0.9f, true);
    EXPECT_NE (plugin.getPreset (0)->getValue (VelcroftParameters::preamp), 0.9f);
    page.getStoringGroup().setSelectedIndex (0, true);
    EXPECT_FLOAT_EQ (plugin.getPreset (0)->getValue (VelcroftParameters::preamp), 0.9f);

    page.getChangingGroup().setSelectedIndex (1, true);
    EXPECT_EQ (plugin.getChangingMode(), BasePluginOldStyle::changingSilent);

    // The default bank changes at the next start only, and the status bar says so.
    page.getDefaultPresetsGroup().setSelectedIndex (1, true);
    EXPECT_EQ (plugin.getPresetsMode(), BasePluginOldStyle::clearPresets);
    EXPECT_EQ (plugin.getPresetName (1), "16bit 8kHz");
    EXPECT_EQ (editor.getStatusBar().getText(), "Default Presets settings will be affected when plugin is loaded.");
    EXPECT_EQ (editor.getStatusBar().getPriority(), 4);
    EXPECT_FALSE (page.getDefaultPresetsGroup().getPathComponent().isEnabled());
    page.getDefaultPresetsGroup().setSelectedIndex (2, true);
    EXPECT_TRUE (page.getDefaultPresetsGroup().getPathComponent().isEnabled());
    page.getDefaultPresetsGroup().getPathComponent().fileChosen (rig.place.folder.getChildFile ("mine.vlprsb"));
    EXPECT_EQ (plugin.getUserDefinedPresetsFile(), rig.place.folder.getChildFile ("mine.vlprsb").getFullPathName());
    savePicture (editor, "04b-presets-page");
}

TEST (VelcroftEditor, CtrlClickOnOptionsShowsAboutOverTheDimmedEditorUntilAClick)
{
    EditorRig rig;
    auto& editor = rig.editor();
    auto& about = editor.getAboutWindow();

    click (*rig.control<GFXButton> ("OptionsButton"), juce::ModifierKeys::ctrlModifier);
    EXPECT_FALSE (editor.getOptionsWindow().isVisible()) << "ctrl-click is About, not Options";
    EXPECT_TRUE (about.isShownInLayer());
    EXPECT_TRUE (about.isBackgroundDimmed());
    EXPECT_LE (about.getBounds().getCentre().getDistanceFrom (editor.getLocalBounds().getCentre()), 1) << "centred";

    // The product's 550 x 190 window, laid out inside its frame.
    EXPECT_EQ (about.getHeaderLeft(), juce::Rectangle<int> (8, 8, 209, 54));
    EXPECT_EQ (about.getHeaderRight(), juce::Rectangle<int> (225, 8, 317, 54));
    EXPECT_EQ (about.getMiddle(), juce::Rectangle<int> (12, 70, 526, 81));
    EXPECT_EQ (about.getBottom(), juce::Rectangle<int> (8, 159, 534, 23));
    EXPECT_EQ (about.getLink().getPosition(), juce::Point<int> (8, 35));
    EXPECT_EQ (about.getLink().getButtonText(), rig.plugin->getSoftwareWebPage());
    savePicture (editor, "06-about");

    Mouse::press (about, { 100.0f, 100.0f });
    EXPECT_FALSE (about.isShownInLayer());
}

TEST (AboutWindow, RightsNoticeYearsAndCredit)
{
    EXPECT_EQ (AboutWindow::getCopyrightYears ("2008", "2026"), "2008-26");
    EXPECT_EQ (AboutWindow::getCopyrightYears ("2026", "2026"), "2026");
    EXPECT_EQ (AboutWindow::getRightsNotice ("2008-26"),
               juce::String (juce::CharPointer_UTF8 ("Copyright \xc2\xa9 2008-26 Kestrom Audio Works. All rights reserved.")));
    EXPECT_EQ (AboutWindow::getVstCredit(), "VST is a trademark of Steinberg Media Technologies GmbH");
}

TEST (VelcroftEditor, ProgramChangesAndRenamesReachTheNameDisplay)
{
    EditorRig rig;
    auto* display = rig.control<GFXDisplay> ("PresetNameDisplay");
    ASSERT_NE (display, nullptr);

    rig.plugin->prepareToPlay (44100.0, 2048);
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::programChange (1, 2), 0);
    processBlock (*rig.plugin, 0.0f, midi);
    EditorRig::settle();
    EXPECT_EQ (rig.plugin->getCurrentPresetIndex(), 2);
    EXPECT_EQ (display->getText(), rig.plugin->getPresetName (2));
    EXPECT_EQ (display->getText(), "16bit 16kHz");

    // The user's edit of the display renames the current preset.
    display->setText ("Grit");
    rig.editor().displayTextEdited (display);
    EXPECT_EQ (rig.plugin->getPresetName (2), "Grit");
    EXPECT_EQ (rig.plugin->getPresetName (1), "16bit 8kHz");
    savePicture (rig.editor(), "07-renamed");
}

TEST (VelcroftEditor, StatusBarShowsMidiLearnAboveMovedControls)
{
    EditorRig rig;
    auto& editor = rig.editor();
    auto& bar = editor.getStatusBar();
    auto& midi = rig.plugin->getMidiControl();

    editor.controllerEvent (nullptr, PluginCommand::toggleMidiLearn);
    EXPECT_TRUE (midi.isLearnMode());
    EXPECT_EQ (bar.getText(), "Waiting for a controller or parameter movement...");
    EXPECT_EQ (bar.getPriority(), 7);

    // Moving a knob in learn mode learns its parameter; its value does not hide the learn text.
    auto* knob = rig.control<GFXKnob> ("PreampKnob");
    const juce::Point<float> down (18.0f, 17.0f);
    Mouse::press (*knob, down);
    Mouse::drag (*knob, down, down.translated (0.0f, -20.0f));
    Mouse::release (*knob, down, down.translated (0.0f, -20.0f));
    EditorRig::settle();
    EXPECT_EQ (bar.getText(), "'Preamp' parameter is free. Waiting for a free controller now...");

    midi.handleMidiMessage (juce::MidiMessage::controllerEvent (1, 20, 64));
    EditorRig::settle();
    EXPECT_EQ (bar.getText(), "CC# 20 is assigned to parameter 'Preamp'.");
    savePicture (editor, "08-midi-learn");

    // Switched off by a state restore on another thread: the bar learns of it later, on its own thread.
    std::thread ([&midi] { midi.setLearnMode (false); }).join();
    EXPECT_FALSE (midi.isLearnMode());
    EXPECT_EQ (bar.getPriority(), 7);
    EditorRig::settle();
    EXPECT_TRUE (bar.getText().isEmpty());

    // The controller now drives its parameter: priority 5, below a control moved by hand.
    midi.handleMidiMessage (juce::MidiMessage::controllerEvent (1, 20, 100));
    EditorRig::settle();
    EXPECT_EQ (bar.getText(), "Preamp: " + rig.plugin->getDisplayText (VelcroftParameters::preamp));
    EXPECT_EQ (bar.getPriority(), 5);
}

TEST (BasePluginEditor, ASkinsLearnButtonBlinksInLearnModeAndItsMidiLightFlashes)
{
    // The product's skin has neither; a skin that has them gets them driven.
    const auto skin = R"(<PluginEditor background="None.png">
        <MultiStateButton name="MidiLearnButton" states="2">
          <actions><action type="onClick" event="Toggle Midi Learn"/></actions><pos left="10" top="10"/><size width="20" height="20"/>
        </MultiStateButton>
        <Animation name="MidiActivityLed"><gfx resource="Led.png" framesNum="2"/><pos left="40" top="10"/></Animation>
      </PluginEditor>)";
    EditorRig rig ([skin] (ScopedResources& r)
    {
        r.add ("skin.xml", juce::String (skin));
        r.add ("Led.png", makeFilmstrip (10, 10, 2));
    });
    auto& editor = rig.editor();
    auto* button = rig.control<GFXMultiStateButton> ("MidiLearnButton");
    auto* led = rig.control<GFXAnimation> ("MidiActivityLed");
    ASSERT_TRUE (button != nullptr && led != nullptr);

    click (*button);
    EXPECT_TRUE (rig.plugin->getMidiControl().isLearnMode());
    EXPECT_EQ (button->getShownState(), 1);
    EXPECT_TRUE (button->isBlinking());
    EXPECT_EQ (button->getBlinkPeriod(), 100);
    click (*button);
    EXPECT_EQ (button->getShownState(), 0);
    EXPECT_FALSE (button->isBlinking());

    editor.refreshDisplay();
    EXPECT_EQ (led->getCurrentFrame(), 0);
    rig.plugin->signalMidiActivity();
    editor.refreshDisplay();
    EXPECT_EQ (led->getCurrentFrame(), 1);
    EXPECT_FALSE (rig.plugin->takeMidiActivity()) << "the flag is taken by the light";
    MessageLoop::runFor (250);
    EXPECT_EQ (led->getCurrentFrame(), 0) << "back to rest after 175 ms";
}

TEST (BasePluginEditor, ASkinThatDoesNotParseOrIsOfAnotherKindGivesTheGenericEditor)
{
    for (const auto* brokenSkin : { "<PluginEditor background=\"Background.png\"><Knob", "<Preset name=\"x\"/>" })
    {
        EditorRig rig ([brokenSkin] (ScopedResources& r) { r.add ("skin.xml", juce::String (brokenSkin)); });
        auto& editor = rig.editor();

        EXPECT_FALSE (editor.isSkinLoaded()) << brokenSkin;
        ASSERT_EQ (editor.getGenericControls().size(), VelcroftParameters::numParameters) << brokenSkin;
        EXPECT_EQ (editor.getWidth(), 1024);
        EXPECT_EQ (editor.getHeight(), 816);

        // 16 cells of 64 pixels a row, the 17th parameter on the next row.
        auto* first = editor.getGenericControls()[0];
        EXPECT_EQ (first->getBounds(), juce::Rectangle<int> (5, 30, 50, 80));
        EXPECT_EQ (editor.getGenericControls()[15]->getBounds(), juce::Rectangle<int> (965, 30, 50, 80));
        EXPECT_EQ (editor.getGenericControls()[16]->getBounds(), juce::Rectangle<int> (5, 150, 50, 80));
        ASSERT_NE (dynamic_cast<GFXKnob*> (first), nullptr);
        EXPECT_EQ (dynamic_cast<GFXKnob*> (first)->getLinkedParameter()->getName(), "Preamp");
        EXPECT_EQ (snapshot (editor).getPixelAt (1000, 700), juce::Colour (0xffe5e5e5));
        savePicture (editor, juce::String ("09-generic-") + (brokenSkin[1] == 'P' && brokenSkin[2] == 'l' ? "unparsed" : "other-root"));
    }
}

TEST (BasePluginEditor, EveryComponentKeepsTheEditorsLookAndFeelUntilItIsDeleted)
{
    // Watches every component below the editor and notes the look each one has as it goes.
    struct Watcher : juce::ComponentListener
    {
        void watchTree (juce::Component& root)
        {
            for (auto* child : root.getChildren())
            {
                child->addComponentListener (this);
                ++watched;
                watchTree (*child);
            }
        }

        void componentBeingDeleted (juce::Component& c) override
        {
            ++deleted;
            if (dynamic_cast<DefaultLookAndFeel*> (&c.getLookAndFeel()) == nullptr)
                withoutLook.add (c.getName() + " (" + typeid (c).name() + ")");
        }

        int watched = 0, deleted = 0;
        juce::StringArray withoutLook;
    } watcher;

    {
        EditorRig rig;
        watcher.watchTree (rig.editor());
    }

    EXPECT_GT (watcher.watched, 40);
    EXPECT_GT (watcher.deleted, 40);
    EXPECT_TRUE (watcher.withoutLook.isEmpty()) << watcher.withoutLook.joinIntoString (", ");
}

TEST (BasePluginEditor, DisplayTimerRunsOnlyWhileTheEditorIsShowing)
{
    EditorRig rig;
    auto& editor = rig.editor();
    const auto tooltipWindows = [&editor]
    {
        int count = 0;
        for (auto* child : editor.getChildren())
            count += dynamic_cast<juce::TooltipWindow*> (child) != nullptr ? 1 : 0;
        return count;
    };
    EXPECT_FALSE (editor.isTimerRunning()) << "a closed editor costs nothing";
    EXPECT_EQ (tooltipWindows(), 0);

    for (int round = 0; round < 2; ++round)
    {
        std::unique_ptr<juce::AudioProcessorEditor> window (rig.plugin->createEditor());
        window->addToDesktop (0);
        window->setVisible (true);
        EXPECT_TRUE (editor.isTimerRunning());
        EXPECT_EQ (tooltipWindows(), 1);

        window->setVisible (false);
        EXPECT_FALSE (editor.isTimerRunning());
        EXPECT_EQ (tooltipWindows(), 0) << "its mouse polling stops too";
        window->setVisible (true);
        EXPECT_TRUE (editor.isTimerRunning());

        window.reset();
        EXPECT_FALSE (editor.isTimerRunning());
    }
}
} // namespace EditorTestsDetail
