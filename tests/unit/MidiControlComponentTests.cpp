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
    auto& tabs = rig.editor().getOptionsWindow().getTabbedComponent();
    tabs.setCurrentTabIndex (tabs.getTabNames().indexOf ("Midi Control"));
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

/** Turns a skin knob by hand. */
void turnKnob (EditorRig& rig, const juce::String& name)
{
    auto* knob = rig.control<GFXKnob> (name);
    ASSERT_NE (knob, nullptr) << name;
    const juce::Point<float> down (18.0f, 17.0f);
    Mouse::press (*knob, down);
    Mouse::drag (*knob, down, down.translated (0.0f, 20.0f));     // down: some knobs start at their top
    Mouse::release (*knob, down, down.translated (0.0f, 20.0f));
}

/** The rows of the page as "cc=name" lines. */
juce::String describeRows (MidiControlComponent& page)
{
    juce::StringArray lines;

    for (auto& row : page.getList().getRows())
        lines.add (juce::String (row.controller) + "=" + row.parameterName);

    return lines.joinIntoString (" ");
}

/** Assigns the first n parameters of the plug-in to controllers 10, 11, ... */
void assignParameters (Velcroft& plugin, int n)
{
    auto& parameters = plugin.getParameterManager();

    for (int i = 0; i < n; ++i)
        plugin.getMidiControl().assignController (10 + i, parameters.getParameter (i), true);

    EditorRig::settle();
}

/** Clicks inside a row's cell (list coordinates). */
void clickRow (MidiControlComponent::ListComponent& list, int index)
{
    Mouse::press (list, list.getRowBounds (index).getCentre().toFloat());
}
} // namespace MidiControlComponentTestsDetail

using namespace MidiControlComponentTestsDetail;

//==============================================================================
TEST (MidiControlComponent, LearnsFromPageAndMidiAndShowsTheAssignmentsInTheOptionsWindow)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& list = page.getList();
    auto& bar = rig.editor().getStatusBar();
    auto& midi = rig.plugin->getMidiControl();
    rig.plugin->prepareToPlay (44100.0, 256);

    // The docked page: the table beside its buttons, their top level with the table's.
    EXPECT_EQ (page.getBounds().getWidth(), 605);
    EXPECT_EQ (list.getBounds(), juce::Rectangle<int> (0, page.getLearnBox().getHeight() + 4, 573, 146));
    EXPECT_EQ (list.getRowsPerColumn(), 5);
    EXPECT_EQ (page.getButtonRow().getBounds(), juce::Rectangle<int> (578, list.getY() + list.getTableBounds().getY(), 27, 108));
    EXPECT_EQ (page.getDefaultMapBox().getBottom(), page.getHeight());

    // Empty: three empty columns, nothing to delete or clear.
    EXPECT_TRUE (list.getRows().isEmpty());
    EXPECT_EQ (list.getVisibleColumns(), 3);
    EXPECT_FALSE (list.getScrollBar().isVisible());
    EXPECT_FALSE (page.getDeleteButton().isEnabled());
    EXPECT_FALSE (page.getClearButton().isEnabled());

    // Learn switched on from the page: the status bar shows it.
    Mouse::click (page.getLearnBox().getBox());
    EXPECT_TRUE (midi.isLearnMode());
    EXPECT_EQ (bar.getText(), "Waiting for a controller or parameter movement...");

    // Knob first, controller first, and knob first again, the controllers through the plug-in's MIDI input.
    turnKnob (rig, "PreampKnob");
    sendController (*rig.plugin, 20, 64);
    sendController (*rig.plugin, 7, 100);
    turnKnob (rig, "OutputVolumeKnob");
    turnKnob (rig, "LeftCutoffKnob");
    sendController (*rig.plugin, 74, 30);
    EditorRig::settle();
    EXPECT_EQ (describeRows (page), "7=Output Volume 20=Preamp 74=Left Cutoff");
    EXPECT_EQ (bar.getText(), "CC# 74 is assigned to parameter 'Left Cutoff'.");
    EXPECT_EQ (list.getSelectedRow(), 2) << "the learnt pair is selected";
    EXPECT_TRUE (page.getClearButton().isEnabled());
    EXPECT_TRUE (page.getDeleteButton().isEnabled());
    savePictureIfAsked (snapshot (rig.editor()), "editor/10-midi-control-page.png");

    // A row clicked in learn mode becomes the pending pair, which the status bar shows.
    clickRow (list, 1);
    EXPECT_EQ (midi.getPendingController(), 20);
    EditorRig::settle();
    EXPECT_EQ (bar.getText(), "CC# 20 is assigned to parameter 'Preamp'.");
    EXPECT_EQ (list.getSelectedRow(), 1);

    // Learn switched off from the editor (its command): the page's box follows.
    rig.editor().controllerEvent (nullptr, PluginCommand::toggleMidiLearn);
    EXPECT_FALSE (page.getLearnBox().getToggleState());
    EXPECT_TRUE (bar.getText().isEmpty());
    EXPECT_EQ (list.getSelectedRow(), -1);

    // Outside learn mode a click only selects; "Delete Assign" removes the selected row.
    clickRow (list, 0);
    EXPECT_EQ (midi.getPendingController(), -1);
    EXPECT_EQ (list.getSelectedRow(), 0);
    Mouse::click (page.getDeleteButton());
    EditorRig::settle();
    EXPECT_EQ (describeRows (page), "20=Preamp 74=Left Cutoff");
    EXPECT_FALSE (page.getDeleteButton().isEnabled()) << "the rebuilt rows have no selection";

    // Clicks in the header or below the last row select no row.
    Mouse::press (list, list.getTableBounds().getPosition().translated (30, 5).toFloat());
    EXPECT_EQ (list.getSelectedRow(), -1);
    clickRow (list, 4);
    EXPECT_EQ (list.getSelectedRow(), 4);
    EXPECT_FALSE (page.getDeleteButton().isEnabled());
}

TEST (MidiControlComponent, ClearAllAsksFirstAndAnAnsweredQuestionIsReplacedOnlyOnceHidden)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& midi = rig.plugin->getMidiControl();
    assignParameters (*rig.plugin, 3);

    Mouse::click (page.getClearButton());
    auto* question = page.getClearAllQuestion();
    ASSERT_NE (question, nullptr);
    EXPECT_TRUE (question->isShownInLayer()) << "shown over the editor";
    EXPECT_EQ (question->getMessageLabel().getText(), "Do you really want to clear all assignations?");
    savePictureIfAsked (snapshot (rig.editor()), "editor/11-clear-all-question.png");

    // Asked again while it shows: the same window stays.
    page.buttonClicked (&page.getClearButton());
    EXPECT_EQ (page.getClearAllQuestion(), question);

    Mouse::click (*question->getButton (1));    // "No"
    EditorRig::settle();
    EXPECT_FALSE (question->isShownInLayer());
    EXPECT_EQ (midi.getNumAssignments(), 3);
    EXPECT_EQ (page.getList().getRows().size(), 3);

    // Asked again once hidden: a new window, and "Yes" clears the map, heard later.
    Mouse::click (page.getClearButton());
    question = page.getClearAllQuestion();
    EXPECT_TRUE (question->isShownInLayer());
    Mouse::click (*question->getButton (0));    // "Yes"
    EXPECT_EQ (midi.getNumAssignments(), 0);
    EXPECT_EQ (page.getList().getRows().size(), 3) << "the page hears through the message thread";
    EditorRig::settle();
    EXPECT_TRUE (page.getList().getRows().isEmpty());
    EXPECT_FALSE (page.getClearButton().isEnabled());

    // The editor goes while a question shows.
    assignParameters (*rig.plugin, 1);
    Mouse::click (page.getClearButton());
    EXPECT_TRUE (page.getClearAllQuestion()->isShownInLayer());
    rig.plugin.reset();
}

TEST (MidiControlComponent, LoadsAndSavesMapFilesThroughItsHelpersRefusingBadFiles)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& midi = rig.plugin->getMidiControl();
    const auto& folder = rig.place.folder;
    assignParameters (*rig.plugin, 2);

    // A saved map always carries the map extension.
    EXPECT_TRUE (page.saveMapFile (folder.getChildFile ("mine.txt")));
    const auto saved = folder.getChildFile ("mine.vlccmap");
    EXPECT_TRUE (saved.existsAsFile());
    EXPECT_FALSE (folder.getChildFile ("mine.txt").exists());
    EXPECT_FALSE (page.saveMapFile ({})) << "a cancelled dialog";

    midi.clearMap();
    midi.assignController (50, rig.plugin->getParameterManager().getParameter (14), true);
    EditorRig::settle();
    const auto before = describeRows (page);
    EXPECT_EQ (before, "50=FX");

    // Bad files are refused and the map is kept.
    const auto garbage = folder.getChildFile ("garbage.vlccmap");
    garbage.replaceWithText ("not a map <<<");
    const auto foreign = folder.getChildFile ("foreign.vlccmap");
    foreign.replaceWithText (R"(<MidiControlMap name="Other" application="Other"><assign CC="1" param="Preamp"/></MidiControlMap>)");

    for (auto& bad : { juce::File(), folder.getChildFile ("missing.vlccmap"), garbage, foreign, folder })
    {
        EXPECT_FALSE (page.loadMapFile (bad)) << bad.getFullPathName();
        EditorRig::settle();
        EXPECT_EQ (describeRows (page), before);
    }

    EXPECT_TRUE (page.loadMapFile (saved));
    EditorRig::settle();
    EXPECT_EQ (describeRows (page), "10=Preamp 11=Left Bits");

    EXPECT_FALSE (page.saveMapFile (garbage.getChildFile ("inside.vlccmap"))) << "a failed write";
}

TEST (MidiControlComponent, DefaultMapBoxSetsTheMapsStartUpFileAndTheStatusBarSaysWhen)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& midi = rig.plugin->getMidiControl();
    auto& box = page.getDefaultMapBox();
    EXPECT_FALSE (box.getCheckBox().getToggleState());

    const auto file = rig.place.folder.getChildFile ("start.vlccmap");
    Mouse::click (box.getCheckBox().getBox());
    box.getPathComponent().fileChosen (file);
    EXPECT_TRUE (midi.isDefaultMapEnabled());
    EXPECT_EQ (midi.getDefaultMapFile(), file.getFullPathName());
    EXPECT_EQ (rig.editor().getStatusBar().getText(), "Default Map settings will be affected when plugin is loaded.");
    EXPECT_EQ (box.getPathComponent().getFilePatterns(), rig.plugin->getMidiCCMapFilePatterns());
    EXPECT_EQ (page.getFileWildcard(), rig.plugin->getMidiCCMapFilePatterns());

    Mouse::click (box.getCheckBox().getBox());
    EXPECT_FALSE (midi.isDefaultMapEnabled());

    // A page made for a map with a default file starts ticked with it.
    midi.setDefaultMapFile (file.getFullPathName());
    MidiControlComponent another (midi, ".vlccmap", "*.vlccmap");
    EXPECT_TRUE (another.getDefaultMapBox().getCheckBox().getToggleState());
    EXPECT_EQ (another.getDefaultMapBox().getPathComponent().getPath(), file.getFullPathName());
}

TEST (MidiControlComponent, ColumnsBeyondThreeScrollAndASelectedRowsColumnComesIntoView)
{
    EditorRig rig;
    auto& page = openPage (rig);
    auto& list = page.getList();

    assignParameters (*rig.plugin, 15);
    EXPECT_EQ (list.getVisibleColumns(), 3);
    EXPECT_FALSE (list.getScrollBar().isVisible());
    const auto width = list.getColumnWidth();
    EXPECT_EQ (width, (573 - 2) / 3 + 1);
    EXPECT_GT (list.getControllerColumnWidth(), 8);
    EXPECT_EQ (list.getControllerColumnWidth() + list.getParameterColumnWidth(), width);

    // The sixteenth row needs a fourth column: the columns keep their width and scroll.
    assignParameters (*rig.plugin, 16);
    EXPECT_EQ (list.getVisibleColumns(), 4);
    EXPECT_EQ (list.getColumnWidth(), width);
    auto& bar = list.getScrollBar();
    EXPECT_TRUE (bar.isVisible());
    EXPECT_EQ (bar.getBounds(), juce::Rectangle<int> (0, list.getTableBounds().getBottom() + 4, 573, 13));
    EXPECT_EQ (bar.getRangeLimit(), juce::Range<double> (0.0, 4.0 * width));
    EXPECT_EQ (bar.getCurrentRange(), juce::Range<double> (0.0, 3.0 * width));

    list.selectRow (15);
    EXPECT_EQ (bar.getCurrentRange(), juce::Range<double> (width, 4.0 * width));
    EXPECT_EQ (list.getDrawingBounds().getX(), 1 - width);
    // The fourth column in view (columns are a pixel wider than a third of the table).
    EXPECT_EQ (list.getRowBounds (15).getX(), list.getTableBounds().getX() + 1 + 2 * width);
    EXPECT_LE (list.getRowBounds (15).getRight(), list.getTableBounds().getRight() + 1);
    savePictureIfAsked (snapshot (page), "editor/12-midi-control-scrolled.png");
    EXPECT_EQ (bar.getNumChildComponents(), 2) << "its arrow buttons, made while it was hidden";

    // A click lands on the row drawn under it, wherever the table is scrolled.
    clickRow (list, 12);
    EXPECT_EQ (list.getSelectedRow(), 12);
    list.selectRow (0);
    EXPECT_EQ (bar.getCurrentRange().getStart(), 0.0);
    EXPECT_EQ (list.getDrawingBounds().getX(), 1);

    // Back to fewer rows: the bar goes and the table is not left scrolled.
    list.selectRow (15);
    rig.plugin->getMidiControl().removeAssignment (25);
    EditorRig::settle();
    EXPECT_EQ (list.getVisibleColumns(), 3);
    EXPECT_FALSE (bar.isVisible());
    EXPECT_EQ (list.getDrawingBounds().getX(), 1);
}

TEST (MidiControlComponent, AShortOrUnplacedListStillHasOneRowPerColumn)
{
    EditorRig rig;
    auto& midi = rig.plugin->getMidiControl();
    assignParameters (*rig.plugin, 3);

    MidiControlComponent page (midi, ".vlccmap", "*.vlccmap");
    page.setLookAndFeel (&rig.editor().getDefaultLookAndFeel());
    auto& list = page.getList();
    EXPECT_EQ (list.getRows().size(), 3) << "built before any layout";

    // Too short for a row: each row gets a column of its own, and nothing divides by zero.
    page.setSize (605, 60);
    EXPECT_EQ (list.getRowsPerColumn(), 1);
    EXPECT_EQ (list.getVisibleColumns(), 3);
    list.selectRow (2);
    clickRow (list, 1);
    EXPECT_EQ (list.getSelectedRow(), 1);
    EXPECT_FALSE (snapshot (page).isNull());

    page.setSize (0, 0);
    EXPECT_EQ (list.getRowsPerColumn(), 1);
    list.selectRow (0);
    page.setLookAndFeel (nullptr);
}
