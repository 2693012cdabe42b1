#include "EditorTestSupport.h"

#include "editor/OldStylePresetBrowserWindow.h"

#include <gtest/gtest.h>

#include <thread>

namespace PresetBrowserWindowTestsDetail
{
using namespace EditorTestSupport;
using Browser = OldStylePresetsBrowser;

/** The editor with its preset browser docked and showing, on the desktop so that renames get the real focus. */
struct BrowserRig : public EditorRig
{
    BrowserRig()
    {
        editor().controllerEvent (nullptr, PluginCommand::browsePresets);
        editor().addToDesktop (0);
        editor().setVisible (true);
        settle();
    }

    OldStylePresetBrowserWindow& window() const     { return editor().getPresetBrowser(); }
    Browser& browser() const                        { return window().getBrowser(); }
    Browser::GroupListColumn& groups() const        { return *browser().getGroupColumn(); }
    Browser::PresetListColumn& presets() const      { return *browser().getPresetColumn(); }

    /** The rows of a column as "text" strings. */
    static juce::StringArray rows (ColumnBrowser::ListColumn& column)
    {
        juce::StringArray texts;

        for (int i = 0; i < column.getNumRows(); ++i)
            texts.add (column.getRowText (i));

        return texts;
    }

    /** The group of each group and its size, as "name:count". */
    juce::StringArray groupSizes() const
    {
        juce::StringArray sizes;

        for (int g = 0; g < plugin->getNumGroups(); ++g)
            sizes.add (plugin->getGroupName (g) + ":" + juce::String (plugin->getNumPresetsInGroup (g)));

        return sizes;
    }

    /** The bank as text, to tell whether anything changed. */
    juce::String bankText() const                   { return plugin->createPresetBankXml()->toString(); }

    /** Renames a row in place: a double click on the selected row, typing, Return. */
    void renameInPlace (ColumnBrowser::ListColumn& column, int row, const juce::String& text,
                        const std::function<void (ModalTextEditor&)>& whileEditing = {})
    {
        column.selectRow (row);
        auto& list = column.getList();
        const auto at = list.getRowPosition (row, true).getCentre().toFloat();
        list.listBoxItemDoubleClicked (row, SkinTestSupport::Mouse::event (list, at, at, {}, false));
        settle();

        auto* item = dynamic_cast<ColumnBrowser::ListColumn::ItemComponent*> (list.getComponentForRowNumber (row));
        ASSERT_NE (item, nullptr);
        auto* editor = item->getLabel().getEditor();
        ASSERT_NE (editor, nullptr);

        if (! editor->isEditing())
            editor->focusGained (juce::Component::focusChangedDirectly);

        ASSERT_TRUE (editor->isOnDesktop());
        editor->setText ({}, false);
        editor->insertTextAtCaret (text);
        settle();

        if (whileEditing)
            whileEditing (*editor);

        editor->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        settle();
        settle();
        EXPECT_FALSE (editor->isOnDesktop());
    }

    /** What the editor shows, with the lifted rename editor drawn where it stands on the screen. */
    juce::Image pictureWith (ModalTextEditor& lifted) const
    {
        auto picture = SkinTestSupport::snapshot (editor());
        juce::Graphics g (picture);
        const auto at = lifted.getScreenPosition() - editor().getScreenPosition();
        g.drawImageAt (SkinTestSupport::snapshot (lifted), at.x, at.y);
        return picture;
    }
};

void savePicture (const juce::Image& picture, const juce::String& name)
{
    SkinTestSupport::savePictureIfAsked (picture, "editor/" + name + ".png");
}

const juce::StringArray factoryGroups { "Classic Boxes:11", "Linked Channels:19", "Unlinked Channels:12", "Not used:86" };
} // namespace PresetBrowserWindowTestsDetail

using namespace PresetBrowserWindowTestsDetail;

TEST (PresetBrowserWindow, ColumnsShowTheFactoryBankAndFollowAProgramChangeOnTheMessageThread)
{
    BrowserRig rig;
    ASSERT_EQ (rig.groupSizes(), factoryGroups);
    ASSERT_EQ (rig.browser().getNumColumns(), 2);

    // The current preset's group and row are selected; groups with presets are marked.
    EXPECT_EQ (BrowserRig::rows (rig.groups()), juce::StringArray ({ "Classic Boxes", "Linked Channels", "Unlinked Channels", "Not used" }));
    EXPECT_EQ (rig.browser().getSelectedGroup(), 0);
    EXPECT_EQ (rig.presets().getGroup(), 0);
    EXPECT_EQ (rig.presets().getNumRows(), 11);
    EXPECT_EQ (rig.presets().getRowText (0), rig.plugin->getPresetName (0));
    EXPECT_TRUE (rig.presets().getList().isRowSelected (0));
    EXPECT_TRUE (rig.groups().hasChildren (3));
    EXPECT_EQ (rig.presets().getRowText (40), juce::String());      // rows past the end are blank
    EXPECT_EQ (rig.browser().getColumn (0)->getWidth(), 241);
    EXPECT_EQ (rig.browser().getColumn (1)->getWidth(), 350);

    // A program change on another thread reaches the columns only through the message queue.
    auto* columnBefore = rig.browser().getPresetColumn();
    std::thread audio ([&rig] { rig.plugin->selectPreset (20); });
    audio.join();
    EXPECT_EQ (rig.browser().getPresetColumn(), columnBefore);
    EXPECT_EQ (rig.presets().getGroup(), 0);

    rig.settle();
    EXPECT_EQ (rig.browser().getSelectedGroup(), 1);
    EXPECT_EQ (rig.presets().getGroup(), 1);
    EXPECT_EQ (rig.presets().getList().getSelectedRows().size(), 1);
    EXPECT_TRUE (rig.presets().getList().isRowSelected (9));        // slot 20 is the 10th of "Linked Channels" (11..29)
    EXPECT_EQ (rig.plugin->getCurrentPresetIndex(), 20);

    // A notice that arrives after the audio thread has moved on only shows the older preset.
    rig.plugin->setCurrentPresetIndex (30, false);
    auto* number = rig.plugin->getParameterManager().getParameter (ParameterManager::currentPresetNumberIndex);
    number->setIntValue (25, false);
    rig.window().parameterChanged (number);
    EXPECT_TRUE (rig.presets().getList().isRowSelected (14));
    EXPECT_EQ (rig.plugin->getCurrentPresetIndex(), 30);
    rig.plugin->selectPreset (20);
    rig.settle();

    // Clicking a group shows its presets without changing the current preset.
    rig.groups().selectRow (3);
    EXPECT_EQ (rig.presets().getGroup(), 3);
    EXPECT_EQ (rig.presets().getList().getNumSelectedRows(), 0);
    rig.groups().selectRow (1);
    EXPECT_TRUE (rig.presets().getList().isRowSelected (9));
    EXPECT_EQ (rig.plugin->getCurrentPresetIndex(), 20);

    // Selecting a preset row makes it current.
    rig.presets().selectRow (2);
    EXPECT_EQ (rig.plugin->getCurrentPresetIndex(), 13);

    rig.settle();
    savePicture (SkinTestSupport::snapshot (rig.editor()), "10-browser");
}

TEST (PresetBrowserWindow, GroupButtonsFollowTheSelectionAndAddAndRemoveGroups)
{
    BrowserRig rig;
    auto* add = rig.window().getIconButton ("Add Group");
    auto* remove = rig.window().getIconButton ("Rem Group");
    ASSERT_TRUE (add != nullptr && remove != nullptr);
    EXPECT_EQ (add->getTooltip(), "Add group");
    // A window's text button keeps its tooltip when the pointer comes over it.
    auto& saveBank = rig.window().getFileButton (true, true);
    saveBank.mouseEnter (SkinTestSupport::Mouse::event (saveBank, {}, {}, {}, false));
    EXPECT_EQ (saveBank.getTooltip(), "Save current preset bank");

    // One group holding presets: only adding.
    EXPECT_TRUE (add->isEnabled());
    EXPECT_FALSE (remove->isEnabled());

    // A new empty group goes in before the selected one and is selected: both.
    rig.window().buttonClicked (add);
    EXPECT_EQ (rig.groupSizes()[0], "New Group:0");
    EXPECT_EQ (rig.browser().getSelectedGroup(), 0);
    EXPECT_EQ (BrowserRig::rows (rig.groups())[0], "New Group");
    EXPECT_TRUE (add->isEnabled());
    EXPECT_TRUE (remove->isEnabled());

    rig.window().buttonClicked (remove);
    EXPECT_EQ (rig.groupSizes(), factoryGroups);

    // No group selected: neither.
    rig.groups().getList().deselectAllRows();
    rig.browser().refresh();
    EXPECT_FALSE (add->isEnabled());
    EXPECT_FALSE (remove->isEnabled());
}

TEST (PresetBrowserWindow, RenamesAGroupAndAPresetInPlace)
{
    BrowserRig rig;

    rig.renameInPlace (rig.groups(), 2, "Split Channels", [&rig] (ModalTextEditor& lifted)
    {
        savePicture (rig.pictureWith (lifted), "11-rename");
    });
    EXPECT_EQ (rig.plugin->getGroupName (2), "Split Channels");
    EXPECT_EQ (rig.browser().getSelectedGroup(), 2);

    // The current preset: its name parameter changes too, and the browser shows it.
    rig.groups().selectRow (0);
    rig.presets().selectRow (3);
    rig.renameInPlace (rig.presets(), 3, "Tin Can");
    EXPECT_EQ (rig.plugin->getPresetName (3), "Tin Can");
    EXPECT_EQ (rig.plugin->getParameterManager().getText (ParameterManager::currentPresetNameIndex), "Tin Can");
    EXPECT_EQ (rig.presets().getRowText (3), "Tin Can");
}

TEST (PresetBrowserWindow, DropsMovePresetsAndGroups)
{
    BrowserRig rig;
    auto& bank = *rig.plugin;
    const auto names = [&bank] (int first, int count)
    {
        juce::StringArray n;
        for (int i = first; i < first + count; ++i)
            n.add (bank.getPresetName (i));
        return n;
    };

    // Within a group: position 2 before position 5 lands at first + 4 and is selected there ...
    rig.groups().selectRow (1);
    const auto linked = names (11, 19);
    rig.presets().selectRow (2);
    rig.presets().dropBeforeRow (&rig.presets(), 5);
    EXPECT_EQ (bank.getPresetName (15), linked[2]);
    EXPECT_EQ (bank.getPresetName (14), linked[5 - 1]);
    EXPECT_TRUE (rig.presets().getList().isRowSelected (4));
    EXPECT_EQ (bank.getCurrentPresetIndex(), 15);

    // ... and after position 0 lands at first + 1.
    rig.presets().selectRow (2);
    const auto moved = bank.getPresetName (13);
    rig.presets().dropAfterRow (&rig.presets(), 0);
    EXPECT_EQ (bank.getPresetName (12), moved);
    EXPECT_TRUE (rig.presets().getList().isRowSelected (1));

    // Two presets onto another group: they join its end.
    juce::StringArray chosen;
    chosen.add (bank.getPresetName (0));
    chosen.add (bank.getPresetName (1));
    rig.groups().selectRow (0);
    rig.presets().getList().selectRangeOfRows (0, 1);
    auto& source = rig.presets();
    rig.groups().dropOnRow (&source, 2);
    EXPECT_EQ (rig.groupSizes(), juce::StringArray ({ "Classic Boxes:9", "Linked Channels:19", "Unlinked Channels:14", "Not used:86" }));
    EXPECT_EQ (names (9 + 19 + 12, 2), chosen);

    // A group before the group right below it stays; after a later one it moves there.
    rig.groups().selectRow (1);
    rig.groups().dropBeforeRow (&rig.groups(), 2);
    EXPECT_EQ (rig.groupSizes()[1], "Linked Channels:19");
    EXPECT_EQ (rig.browser().getSelectedGroup(), 1);
    rig.groups().dropAfterRow (&rig.groups(), 3);
    EXPECT_EQ (rig.groupSizes(), juce::StringArray ({ "Classic Boxes:9", "Unlinked Channels:14", "Not used:86", "Linked Channels:19" }));
    EXPECT_EQ (rig.browser().getSelectedGroup(), 3);
    EXPECT_EQ (rig.presets().getGroup(), 3);

    // What each column accepts.
    EXPECT_FALSE (rig.groups().canDropOnColumn (&rig.presets()));
    EXPECT_FALSE (rig.presets().canDropOnRow (&rig.presets(), 0));
    rig.presets().getList().selectRangeOfRows (0, 2);
    EXPECT_FALSE (rig.presets().canDropBeforeRow (&rig.presets(), 0));
}

TEST (PresetBrowserWindow, ARealMouseDragTakesAPresetOntoAnotherGroup)
{
    // The X server's own pointer, moved by xdotool: the drag starts in one column, selects the
    // group it hovers (which takes the dragged column out of the strip) and drops there.
    if (! juce::File ("/usr/bin/xdotool").existsAsFile())
        GTEST_SKIP() << "xdotool is not installed";

    const juce::StringArray before { "Classic Boxes:11", "Linked Channels:19", "Unlinked Channels:12", "Not used:86" };
    std::unique_ptr<BrowserRig> rigHolder;
    juce::String dragged;

    // A display shared with other tests now and then loses a drag's first events before the
    // window is under the pointer; then nothing at all has moved, and a fresh editor tries again.
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        rigHolder.reset();
        rigHolder = std::make_unique<BrowserRig>();
        auto& rig = *rigHolder;
        rig.editor().setTopLeftPosition (560, 480);
        rig.settle();
        dragged = rig.plugin->getPresetNameInGroup (0, 1);

        const auto rowCentre = [] (ColumnBrowser::ListColumn& column, int row)
        {
            auto& list = column.getList();
            return list.localPointToGlobal (list.getRowPosition (row, true).getCentre());
        };
        const auto from = rowCentre (rig.presets(), 1);
        const auto to = rowCentre (rig.groups(), 2);
        const auto at = [] (juce::Point<int> p) { return juce::String (p.x) + " " + juce::String (p.y); };

        juce::StringArray command { "/usr/bin/xdotool", "mousemove", "--sync", at (from), "sleep", "0.2", "mousedown", "1", "sleep", "0.2" };

        for (int step = 1; step <= 10; ++step)
            command.addArray ({ "mousemove", at (from + (to - from) * step / 10), "sleep", "0.05" });

        command.addArray ({ "sleep", "0.3", "mouseup", "1", "sleep", "0.2" });
        command = juce::StringArray::fromTokens (command.joinIntoString (" "), false);

        juce::ChildProcess xdotool;
        ASSERT_TRUE (xdotool.start (command));

        for (int i = 0; i < 100 && xdotool.isRunning(); ++i)
            rig.settle();

        rig.settle();
        EXPECT_EQ (xdotool.getExitCode(), 0u);

        if (rig.groupSizes() != before)
            break;
    }

    auto& rig = *rigHolder;
    const auto names = [&rig] (int group)
    {
        juce::StringArray n;
        for (int i = 0; i < rig.plugin->getNumPresetsInGroup (group); ++i)
            n.add (rig.plugin->getPresetNameInGroup (group, i));
        return n;
    };

    EXPECT_EQ (rig.groupSizes(), juce::StringArray ({ "Classic Boxes:10", "Linked Channels:19", "Unlinked Channels:13", "Not used:86" }));
    EXPECT_EQ (names (2)[12], dragged);
    EXPECT_EQ (rig.browser().getSelectedGroup(), 2);
    EXPECT_EQ (rig.presets().getGroup(), 2);
    EXPECT_NE (rig.browser().getParkedColumn(), nullptr);
}

TEST (PresetBrowserWindow, CopyPasteAndSteppingGoThroughTheBank)
{
    BrowserRig rig;
    auto& bank = *rig.plugin;
    const auto first = bank.getPresetName (0);

    rig.window().getIconButton ("Copy")->triggerClick();
    rig.window().getIconButton ("Down")->triggerClick();
    rig.settle();
    EXPECT_EQ (bank.getCurrentPresetIndex(), 1);
    EXPECT_TRUE (rig.presets().getList().isRowSelected (1));

    rig.window().getIconButton ("Paste")->triggerClick();
    rig.settle();
    EXPECT_EQ (bank.getPresetName (1), first + "_copy");
    EXPECT_EQ (rig.presets().getRowText (1), first + "_copy");

    rig.window().getIconButton ("Up")->triggerClick();
    rig.settle();
    EXPECT_EQ (bank.getCurrentPresetIndex(), 0);
    EXPECT_TRUE (rig.presets().getList().isRowSelected (0));
}

TEST (PresetBrowserWindow, FileHelpersLoadAndSaveAndRefuseBadFilesLeavingTheBankAlone)
{
    BrowserRig rig;
    auto& bank = *rig.plugin;
    auto& window = rig.window();
    const auto folder = rig.place.folder.getChildFile ("files");
    folder.createDirectory();

    // Saving puts the extension on a bare name; loading puts a preset into the current slot.
    ASSERT_TRUE (window.savePresetToFile (folder.getChildFile ("mine")));
    const auto presetFile = folder.getChildFile ("mine" + bank.getPresetFileExtension());
    EXPECT_TRUE (presetFile.existsAsFile());
    EXPECT_EQ (bank.getRecentlyUsedDirectory(), folder);

    bank.selectPreset (5);
    ASSERT_TRUE (window.loadPresetFromFile (presetFile));
    EXPECT_EQ (bank.getPresetName (5), bank.getPresetName (0));

    ASSERT_TRUE (window.saveBankToFile (folder.getChildFile ("all" + bank.getPresetBankFileExtension())));
    const auto bankFile = folder.getChildFile ("all" + bank.getPresetBankFileExtension());
    EXPECT_TRUE (bankFile.existsAsFile());

    // A loaded bank replaces the groups the columns show.
    bank.setGroupName (0, "Changed");
    bank.removeGroup (bank.getNumGroups() - 1);
    ASSERT_TRUE (window.loadBankFromFile (bankFile));
    EXPECT_EQ (rig.groupSizes(), factoryGroups);
    EXPECT_EQ (BrowserRig::rows (rig.groups())[0], "Classic Boxes");

    // Broken or foreign files are refused and change nothing.
    const auto before = rig.bankText();
    const auto junk = folder.getChildFile ("junk" + bank.getPresetFileExtension());
    junk.replaceWithText ("<Preset application=\"Velcroft\"><unclosed");
    const auto foreign = folder.getChildFile ("foreign" + bank.getPresetFileExtension());
    foreign.replaceWithText ("<Preset application=\"Other\" name=\"x\"/>");

    EXPECT_FALSE (window.loadPresetFromFile (junk));
    EXPECT_FALSE (window.loadBankFromFile (junk));
    EXPECT_FALSE (window.loadBankFromFile (presetFile));        // a preset is no bank
    EXPECT_FALSE (window.loadPresetFromFile (foreign));
    EXPECT_FALSE (window.loadPresetFromFile (folder.getChildFile ("missing.vlprs")));
    EXPECT_EQ (rig.bankText(), before);
    EXPECT_EQ (rig.groupSizes(), factoryGroups);
}
