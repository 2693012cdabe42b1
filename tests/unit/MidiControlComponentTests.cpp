#include "EditorTestSupport.h"

#include "editor/MidiControlComponent.h"
#include "gui/controls/GFXButton.h"
#include "gui/controls/GFXKnob.h"

#include <gtest/gtest.h>

namespace MidiControlComponentTestsDetail
{
using namespace EditorTestSupport;
using namespace SkinTestSupport;

/** The editor with the Options window open on its "Midi Control" page. */
MidiControlComponent& openPage (EditorRig& rig)
{
    Mouse::click (*rig.control<GFXButton> ("OptionsButton"));
    rig.editor().getOptionsWindow().getTabbedComponent().setCurrentTabIndex (1);
    return rig.editor().getMidiControlPage();
}

/** Sends a control change through the plug-in's MIDI input, as a host does. */
void sendController (Velcroft& plugin, int controller, int value)
{
    juce::AudioBuffer<float> buffer (2, 256);
    buffer.clear();
    juce::MidiBuffer midi;
    midi.addEvent (juce::MidiMessage::controllerEvent (1, controller, value), 10);
    plugin.processBlock (buffer, midi);
}

/** Turns a skin knob down by hand (some start at their top). */
void turnKnob (EditorRig& rig, const juce::String& name)
{
    auto& knob = *rig.control<GFXKnob> (name);
    const juce::Point<float> from (18.0f, 17.0f), to (18.0f, 37.0f);
    Mouse::press (knob, from);
    Mouse::drag (knob, from, to);
    Mouse::release (knob, from, to);
}

/** The page's rows as "cc=name" words. */
juce::String describeRows (MidiControlComponent& page)
{
    juce::StringArray words;

    for (auto& row : page.getList().getRows())
        words.add (juce::String (row.controller) + "=" + row.parameterName);

    return words.joinIntoString (" ");
}

/** Assigns the plug-in's first n parameters to controllers 10, 11, ... and lets the page hear. */
void assignParameters (Velcroft& plugin, int n)
{
    for (int i = 0; i < n; ++i)
        plugin.getMidiControl().assignController (10 + i, plugin.getParameterManager().getParameter (i), true);

    EditorRig::settle();
}

/** Clicks inside a row's cell. */
void clickRow (MidiControlComponent::ListComponent& list, int index)
{
    Mouse::press (list, list.getRowBounds (index).getCentre().toFloat());
}
} // namespace MidiControlComponentTestsDetail

using namespace MidiControlComponentTestsDetail;

//==============================================================================
TEST (MidiControlComponent, LearnsFromThePageAndMidiAndSelectsAndDeletesRows)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& list = page.getList();
    auto& bar = rig.editor().getStatusBar();
    auto& midi = rig.plugin->getMidiControl();
    rig.plugin->prepareToPlay (44100.0, 256);

    // The docked page: three empty columns, nothing to delete or clear, the buttons level with the table.
    EXPECT_EQ (list.getBounds(), juce::Rectangle<int> (0, page.getLearnBox().getHeight() + 4, 573, 146));
    EXPECT_EQ (list.getRowsPerColumn(), 5);
    EXPECT_EQ (page.getButtonRow().getBounds(), juce::Rectangle<int> (578, list.getY() + list.getTableBounds().getY(), 27, 108));
    EXPECT_EQ (list.getVisibleColumns(), 3);
    EXPECT_FALSE (page.getDeleteButton().isEnabled() || page.getClearButton().isEnabled());

    Mouse::click (page.getLearnBox().getBox());
    EXPECT_TRUE (midi.isLearnMode());
    EXPECT_EQ (bar.getText(), "Waiting for a controller or parameter movement...");

    // Knob first, controller first, knob first again; the controllers come through the plug-in's MIDI input.
    turnKnob (rig, "PreampKnob");
    sendController (*rig.plugin, 20, 64);
    sendController (*rig.plugin, 7, 100);
    turnKnob (rig, "OutputVolumeKnob");
    turnKnob (rig, "LeftCutoffKnob");
    sendController (*rig.plugin, 74, 30);
    EditorRig::settle();
    EXPECT_EQ (describeRows (page), "7=Output Volume 20=Preamp 74=Left Cutoff");
    EXPECT_EQ (bar.getText(), "CC# 74 is assigned to parameter 'Left Cutoff'.");
    EXPECT_EQ (list.getSelectedRow(), 2) << "the learnt pair";
    EXPECT_TRUE (page.getDeleteButton().isEnabled() && page.getClearButton().isEnabled());
    savePictureIfAsked (snapshot (rig.editor()), "editor/10-midi-control-page.png");

    // A row clicked in learn mode becomes the pending pair, shown on the status bar.
    clickRow (list, 1);
    EditorRig::settle();
    EXPECT_EQ (bar.getText(), "CC# 20 is assigned to parameter 'Preamp'.");
    EXPECT_EQ (list.getSelectedRow(), 1);

    // Learn switched off by the editor's command: the box follows. Now a click only selects.
    rig.editor().controllerEvent (nullptr, PluginCommand::toggleMidiLearn);
    EXPECT_FALSE (page.getLearnBox().getToggleState());
    EXPECT_EQ (list.getSelectedRow(), -1);
    clickRow (list, 0);
    EXPECT_EQ (midi.getPendingController(), -1);
    Mouse::click (page.getDeleteButton());
    EditorRig::settle();
    EXPECT_EQ (describeRows (page), "20=Preamp 74=Left Cutoff");
    EXPECT_FALSE (page.getDeleteButton().isEnabled());

    // A click in the header selects nothing; one below the last row selects nothing to delete.
    Mouse::press (list, list.getTableBounds().getPosition().translated (30, 5).toFloat());
    EXPECT_EQ (list.getSelectedRow(), -1);
    clickRow (list, 4);
    EXPECT_EQ (list.getSelectedRow(), 4);
    EXPECT_FALSE (page.getDeleteButton().isEnabled());
}

TEST (MidiControlComponent, ClearAllAsksFirstAndReplacesItsQuestionOnlyOnceHidden)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& midi = rig.plugin->getMidiControl();
    assignParameters (*rig.plugin, 3);

    Mouse::click (page.getClearButton());
    auto* question = page.getClearAllQuestion();
    ASSERT_NE (question, nullptr);
    EXPECT_TRUE (question->isShownInLayer());
    savePictureIfAsked (snapshot (rig.editor()), "editor/11-clear-all-question.png");

    page.buttonClicked (&page.getClearButton());
    EXPECT_EQ (page.getClearAllQuestion(), question) << "kept while it shows";
    Mouse::click (*question->getButton (1));    // "No"
    EditorRig::settle();
    EXPECT_EQ (page.getList().getRows().size(), 3);

    Mouse::click (page.getClearButton());
    question = page.getClearAllQuestion();
    Mouse::click (*question->getButton (0));    // "Yes"
    EXPECT_EQ (midi.getNumAssignments(), 0);
    EXPECT_EQ (page.getList().getRows().size(), 3) << "heard through the message thread";
    EditorRig::settle();
    EXPECT_TRUE (page.getList().getRows().isEmpty());
    EXPECT_FALSE (page.getClearButton().isEnabled());

    // The editor may go while a question shows.
    assignParameters (*rig.plugin, 1);
    Mouse::click (page.getClearButton());
    rig.plugin.reset();
}

TEST (MidiControlComponent, LoadsAndSavesMapFilesThroughItsHelpersRefusingBadFiles)
{
    EditorRig rig;
    auto& page = openPage (rig);
    const auto& folder = rig.place.folder;
    assignParameters (*rig.plugin, 2);

    // A saved map always carries the map extension.
    EXPECT_TRUE (page.saveMapFile (folder.getChildFile ("mine.txt")));
    const auto saved = folder.getChildFile ("mine.vlccmap");
    EXPECT_TRUE (saved.existsAsFile());
    EXPECT_FALSE (page.saveMapFile ({})) << "a cancelled dialog";

    rig.plugin->getMidiControl().clearMap();
    assignParameters (*rig.plugin, 1);
    const auto garbage = folder.getChildFile ("garbage.vlccmap");
    garbage.replaceWithText ("not a map <<<");
    const auto foreign = folder.getChildFile ("foreign.vlccmap");
    foreign.replaceWithText (R"(<MidiControlMap name="Other" application="Other"><assign CC="1" param="Preamp"/></MidiControlMap>)");

    for (auto& bad : { juce::File(), folder.getChildFile ("missing.vlccmap"), garbage, foreign, folder })
    {
        EXPECT_FALSE (page.loadMapFile (bad)) << bad.getFullPathName();
        EditorRig::settle();
        EXPECT_EQ (describeRows (page), "10=Preamp");
    }

    EXPECT_TRUE (page.loadMapFile (saved));
    EditorRig::settle();
    EXPECT_EQ (describeRows (page), "10=Preamp 11=Left Bits");
    EXPECT_FALSE (page.saveMapFile (garbage.getChildFile ("inside.vlccmap"))) << "a failed write";
}

TEST (MidiControlComponent, DefaultMapBoxSetsTheStartUpMapAndTheStatusBarSaysWhenItApplies)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& midi = rig.plugin->getMidiControl();
    auto& box = page.getDefaultMapBox();
    const auto file = rig.place.folder.getChildFile ("start.vlccmap");

    Mouse::click (box.getCheckBox().getBox());
    box.getPathComponent().fileChosen (file);
    EXPECT_TRUE (midi.isDefaultMapEnabled());
    EXPECT_EQ (midi.getDefaultMapFile(), file.getFullPathName());
    EXPECT_EQ (rig.editor().getStatusBar().getText(), "Default Map settings will be affected when plugin is loaded.");
    EXPECT_EQ (box.getPathComponent().getFilePatterns(), rig.plugin->getMidiCCMapFilePatterns());

    // A page made for a map with a default file starts ticked with it.
    MidiControlComponent another (midi, ".vlccmap", "*.vlccmap");
    EXPECT_TRUE (another.getDefaultMapBox().getCheckBox().getToggleState());
    EXPECT_EQ (another.getDefaultMapBox().getPathComponent().getPath(), file.getFullPathName());
}

TEST (MidiControlComponent, ColumnsBeyondThreeScrollAndASelectedRowsColumnComesIntoView)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& list = page.getList();
    auto& bar = list.getScrollBar();

    assignParameters (*rig.plugin, 15);
    EXPECT_FALSE (bar.isVisible());
    const auto width = list.getColumnWidth();
    EXPECT_EQ (width, (573 - 2) / 3 + 1);
    EXPECT_EQ (list.getControllerColumnWidth() + list.getParameterColumnWidth(), width);

    // The sixteenth row needs a fourth column: the columns keep their width and scroll.
    assignParameters (*rig.plugin, 16);
    EXPECT_EQ (list.getVisibleColumns(), 4);
    EXPECT_EQ (list.getColumnWidth(), width);
    EXPECT_TRUE (bar.isVisible());
    EXPECT_EQ (bar.getNumChildComponents(), 2) << "its arrow buttons, made while it was hidden";
    EXPECT_EQ (bar.getRangeLimit(), juce::Range<double> (0.0, 4.0 * width));
    EXPECT_EQ (bar.getCurrentRange(), juce::Range<double> (0.0, 3.0 * width));

    list.selectRow (15);
    EXPECT_EQ (bar.getCurrentRange(), juce::Range<double> (width, 4.0 * width));
    EXPECT_EQ (list.getRowBounds (15).getX(), list.getTableBounds().getX() + 1 + 2 * width);
    savePictureIfAsked (snapshot (page), "editor/12-midi-control-scrolled.png");

    // A click lands on the row drawn under it, wherever the table is scrolled.
    clickRow (list, 12);
    EXPECT_EQ (list.getSelectedRow(), 12);
    list.selectRow (0);
    EXPECT_EQ (list.getDrawingBounds().getX(), 1);

    // Back to three columns from a scrolled table: the bar goes and the table is not left scrolled.
    list.selectRow (15);
    rig.plugin->getMidiControl().removeAssignment (25);
    EditorRig::settle();
    EXPECT_FALSE (bar.isVisible());
    EXPECT_EQ (list.getDrawingBounds().getX(), 1);
}

TEST (MidiControlComponent, AShortOrUnplacedListStillHasOneRowPerColumn)
{
    EditorRig rig;
    assignParameters (*rig.plugin, 3);
    MidiControlComponent page (rig.plugin->getMidiControl(), ".vlccmap", "*.vlccmap");
    page.setLookAndFeel (&rig.editor().getDefaultLookAndFeel());
    auto& list = page.getList();

    for (auto height : { 60, 0 })
    {
        page.setSize (605, height);
        EXPECT_EQ (list.getRowsPerColumn(), 1);
        EXPECT_EQ (list.getVisibleColumns(), 3);
        list.selectRow (2);
        clickRow (list, 1);
        EXPECT_EQ (list.getSelectedRow(), 1);

        juce::Image picture (juce::Image::ARGB, 605, 60, true);
        juce::Graphics g (picture);
        page.paintEntireComponent (g, true);
    }

    page.setLookAndFeel (nullptr);
}
