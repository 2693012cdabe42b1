/*
    The preset browser's two columns: the bank's groups at the left and the presets of the
    selected group at the right. Every change goes through the bank's own operations; the
    columns keep nothing of the bank but the group index a preset column shows.
*/
#pragma once

#include "framework/BasePluginOldStyle.h"
#include "gui/widgets/ColumnBrowser.h"

class OldStylePresetBrowserWindow;

class OldStylePresetsBrowser : public ColumnBrowser
{
public:
    class CommonColumn;
    class GroupListColumn;
    class PresetListColumn;

    /** A browser of the plug-in's bank inside that window; both must outlive it. */
    OldStylePresetsBrowser (OldStylePresetBrowserWindow& window, BasePluginOldStyle& plugin);
    ~OldStylePresetsBrowser() override;

    /** Shows a group's presets (making the columns when needed) and selects the group and the
        preset at a position in it (-1 for none). */
    void selectGroupAndPreset (int group, int position);

    /** Selects the current preset's row when the preset column shows its group. */
    void selectCurrentPresetRow();

    /** The group column's first selected row; -1 without a group column or a selection. */
    int getSelectedGroup() const;

    /** The group column (the first column), or null. */
    GroupListColumn* getGroupColumn() const;
    /** The preset column (the second column), or null. */
    PresetListColumn* getPresetColumn() const;

    /** The plug-in whose bank is browsed. */
    BasePluginOldStyle& getPlugin() const noexcept          { return plugin; }

    /** True while the columns are being set to show the current preset: the rows selected
        then only show it and change no preset. */
    bool isFollowingCurrentPreset() const noexcept          { return following; }

    /** Tells the window to update its group buttons. */
    void columnsChanged() override;

private:
    OldStylePresetBrowserWindow& window;
    BasePluginOldStyle& plugin;
    bool following = false;

    JUCE_DECLARE_NON_COPYABLE (OldStylePresetsBrowser)
};

//==============================================================================
/** What both columns share: the browser, the plug-in and a pair of row icons. */
class OldStylePresetsBrowser::CommonColumn : public ColumnBrowser::ListColumn
{
public:
    /** A column of that browser showing the group icons or the preset icons. */
    CommonColumn (OldStylePresetsBrowser& browser, bool groupIcons);

    /** The selected or the unselected icon, for any row number. */
    const juce::Image& getRowIcon (int row, bool selected) override;

    /** Both columns keep their width. */
    bool isResizable() override                             { return false; }

protected:
    OldStylePresetsBrowser& presetsBrowser;
    BasePluginOldStyle& plugin;

private:
    juce::Image icon, selectedIcon;
};

//==============================================================================
/** The bank's groups: one selected at a time; presets are dropped onto a group, and a group
    is moved between two others. */
class OldStylePresetsBrowser::GroupListColumn : public OldStylePresetsBrowser::CommonColumn
{
public:
    explicit GroupListColumn (OldStylePresetsBrowser& browser);

    /** The bank the column shows. */
    BasePluginOldStyle& getPlugin() const noexcept          { return plugin; }

    bool canFollow (Column*) override                       { return false; }
    bool isChildOf (Column*) override                       { return false; }
    int getPreferredWidth() override                        { return 241; }
    int getNumRows() override;
    juce::String getRowText (int row) override;
    bool hasChildren (int row) override;
    std::unique_ptr<Column> createChildColumn (int row) override;
    void rowSelected (int row) override;
    void renameRow (int row, const juce::String& newText) override;
    bool canDropOnColumn (ListColumn*) override             { return false; }
    bool canDropOnRow (ListColumn* source, int row) override;
    bool canDropBeforeRow (ListColumn* source, int row) override;
    bool canDropAfterRow (ListColumn* source, int row) override;
    void dropOnRow (ListColumn* source, int row) override;
    void dropBeforeRow (ListColumn* source, int row) override;
    void dropAfterRow (ListColumn* source, int row) override;

private:
    void moveGroup (ListColumn* source, int row, bool after);
};

//==============================================================================
/** The presets of one group: several may be selected and dropped onto another group, and one
    is moved before or after another preset. Selecting a preset makes it current. */
class OldStylePresetsBrowser::PresetListColumn : public OldStylePresetsBrowser::CommonColumn
{
public:
    /** The column of a group's presets. */
    PresetListColumn (OldStylePresetsBrowser& browser, int group);

    /** The group shown. */
    int getGroup() const noexcept                           { return group; }

    bool canFollow (Column* left) override;
    bool isChildOf (Column* left) override                  { return canFollow (left); }
    std::unique_ptr<Column> createParentColumn() override;
    int getPreferredWidth() override                        { return 350; }
    int getNumRows() override;
    juce::String getRowText (int row) override;
    void rowSelected (int row) override;
    void renameRow (int row, const juce::String& newText) override;
    bool canDropOnColumn (ListColumn* source) override;
    bool canDropOnRow (ListColumn*, int) override           { return false; }
    bool canDropBeforeRow (ListColumn* source, int row) override;
    bool canDropAfterRow (ListColumn* source, int row) override;
    void dropOnColumn (ListColumn* source) override;
    void dropBeforeRow (ListColumn* source, int row) override;
    void dropAfterRow (ListColumn* source, int row) override;

private:
    void movePreset (ListColumn* source, int row, bool after);

    const int group;
};
