#include "editor/OldStylePresetsBrowser.h"
#include "editor/OldStylePresetBrowserWindow.h"
#include "framework/EmbeddedResources.h"
#include "gui/widgets/ToolkitImageNames.h"

OldStylePresetsBrowser::OldStylePresetsBrowser (OldStylePresetBrowserWindow& owner, BasePluginOldStyle& pluginToBrowse)
    : window (owner), plugin (pluginToBrowse)
{
}

OldStylePresetsBrowser::~OldStylePresetsBrowser()
{
    // The columns call back into this browser while they go.
    clearColumns();
}

OldStylePresetsBrowser::GroupListColumn* OldStylePresetsBrowser::getGroupColumn() const
{
    return dynamic_cast<GroupListColumn*> (getColumn (0));
}

OldStylePresetsBrowser::PresetListColumn* OldStylePresetsBrowser::getPresetColumn() const
{
    return dynamic_cast<PresetListColumn*> (getColumn (1));
}

void OldStylePresetsBrowser::selectGroupAndPreset (int group, int position)
{
    if (group < 0)
        return;

    // The current preset may have moved on (on the audio thread) since this notice was sent:
    // showing an older one must not select it again.
    const juce::ScopedValueSetter<bool> showingOnly (following, true);
    auto* presets = getPresetColumn();

    if (presets == nullptr || presets->getGroup() != group)
    {
        showColumn (std::make_unique<PresetListColumn> (*this, group));
        presets = getPresetColumn();
    }

    if (presets != nullptr && ! presets->getList().isRowSelected (position))
    {
        if (position >= 0)
            presets->selectRow (position);
        else
            presets->getList().deselectAllRows();
    }

    if (auto* groups = getGroupColumn())
        groups->selectRow (group);
}

void OldStylePresetsBrowser::selectCurrentPresetRow()
{
    const juce::ScopedValueSetter<bool> showingOnly (following, true);
    auto* presets = getPresetColumn();
    const auto slot = plugin.getCurrentPresetIndex();

    if (presets != nullptr && presets->getGroup() == plugin.getGroupOfPreset (slot))
        presets->selectRow (slot - plugin.getGroupFirstPresetIndex (presets->getGroup()));
}

int OldStylePresetsBrowser::getSelectedGroup() const
{
    auto* groups = getGroupColumn();
    return groups != nullptr ? groups->getList().getSelectedRow (0) : -1;
}

void OldStylePresetsBrowser::columnsChanged()
{
    window.updateGroupButtons();
}

//==============================================================================
OldStylePresetsBrowser::CommonColumn::CommonColumn (OldStylePresetsBrowser& owner, bool groupIcons)
    : ListColumn (owner), presetsBrowser (owner), plugin (owner.getPlugin())
{
    loadImageResource (ToolkitImageNames::browserRowIcon (groupIcons, false), icon);
    loadImageResource (ToolkitImageNames::browserRowIcon (groupIcons, true), selectedIcon);
}

const juce::Image& OldStylePresetsBrowser::CommonColumn::getRowIcon (int, bool selected)
{
    return selected ? selectedIcon : icon;
}

//==============================================================================
OldStylePresetsBrowser::GroupListColumn::GroupListColumn (OldStylePresetsBrowser& owner)
    : CommonColumn (owner, true)
{
    getList().setMultipleSelectionEnabled (false);
}

int OldStylePresetsBrowser::GroupListColumn::getNumRows()
{
    return plugin.getNumGroups();
}

juce::String OldStylePresetsBrowser::GroupListColumn::getRowText (int row)
{
    return plugin.getGroupName (row);
}

bool OldStylePresetsBrowser::GroupListColumn::hasChildren (int row)
{
    return plugin.getNumPresetsInGroup (row) > 0;
}

std::unique_ptr<ColumnBrowser::Column> OldStylePresetsBrowser::GroupListColumn::createChildColumn (int row)
{
    return std::make_unique<PresetListColumn> (presetsBrowser, row);
}

void OldStylePresetsBrowser::GroupListColumn::rowSelected (int)
{
    presetsBrowser.selectCurrentPresetRow();
}

void OldStylePresetsBrowser::GroupListColumn::renameRow (int row, const juce::String& newText)
{
    plugin.setGroupName (row, newText);
}

bool OldStylePresetsBrowser::GroupListColumn::canDropOnRow (ListColumn* source, int)
{
    return dynamic_cast<PresetListColumn*> (source) != nullptr;
}

bool OldStylePresetsBrowser::GroupListColumn::canDropBeforeRow (ListColumn* source, int)
{
    return dynamic_cast<GroupListColumn*> (source) != nullptr;
}

bool OldStylePresetsBrowser::GroupListColumn::canDropAfterRow (ListColumn* source, int)
{
    return dynamic_cast<GroupListColumn*> (source) != nullptr;
}

void OldStylePresetsBrowser::GroupListColumn::dropOnRow (ListColumn* source, int row)
{
    auto* presets = dynamic_cast<PresetListColumn*> (source);

    if (presets == nullptr)
        return;

    plugin.movePresetsToGroup (row, presets->getGroup(), presets->getList().getSelectedRows());

    if (auto* next = getNextColumn())
        next->refresh();

    presetsBrowser.selectCurrentPresetRow();
}

void OldStylePresetsBrowser::GroupListColumn::dropBeforeRow (ListColumn* source, int row)
{
    moveGroup (source, row, false);
}

void OldStylePresetsBrowser::GroupListColumn::dropAfterRow (ListColumn* source, int row)
{
    moveGroup (source, row, true);
}

void OldStylePresetsBrowser::GroupListColumn::moveGroup (ListColumn* source, int row, bool after)
{
    if (source != this || getList().getNumSelectedRows() != 1)
        return;

    const auto from = getList().getSelectedRow (0);
    const auto to = after ? (row < from ? row + 1 : row)
                          : (row > from ? row - 1 : row);

    plugin.moveGroup (from, to);
    selectRow (to);
}

//==============================================================================
OldStylePresetsBrowser::PresetListColumn::PresetListColumn (OldStylePresetsBrowser& owner, int groupToShow)
    : CommonColumn (owner, false), group (groupToShow)
{
    getList().setMultipleSelectionEnabled (true);
}

bool OldStylePresetsBrowser::PresetListColumn::canFollow (Column* left)
{
    auto* groups = dynamic_cast<GroupListColumn*> (left);
    return groups != nullptr && &groups->getPlugin() == &plugin;
}

std::unique_ptr<ColumnBrowser::Column> OldStylePresetsBrowser::PresetListColumn::createParentColumn()
{
    return std::make_unique<GroupListColumn> (presetsBrowser);
}

int OldStylePresetsBrowser::PresetListColumn::getNumRows()
{
    return plugin.getNumPresetsInGroup (group);
}

juce::String OldStylePresetsBrowser::PresetListColumn::getRowText (int row)
{
    return plugin.getPresetNameInGroup (group, row);
}

void OldStylePresetsBrowser::PresetListColumn::rowSelected (int row)
{
    if (presetsBrowser.isFollowingCurrentPreset())
        return;

    const auto slot = plugin.getPresetIndex (group, row);

    if (slot != plugin.getCurrentPresetIndex() && BasePluginOldStyle::isValidSlot (slot))
        plugin.selectPreset (slot);
}

void OldStylePresetsBrowser::PresetListColumn::renameRow (int row, const juce::String& newText)
{
    plugin.setPresetName (plugin.getPresetIndex (group, row), newText);
}

bool OldStylePresetsBrowser::PresetListColumn::canDropOnColumn (ListColumn* source)
{
    return dynamic_cast<PresetListColumn*> (source) != nullptr;
}

bool OldStylePresetsBrowser::PresetListColumn::canDropBeforeRow (ListColumn* source, int)
{
    return dynamic_cast<PresetListColumn*> (source) != nullptr && source->getList().getNumSelectedRows() == 1;
}

bool OldStylePresetsBrowser::PresetListColumn::canDropAfterRow (ListColumn* source, int row)
{
    return canDropBeforeRow (source, row);
}

void OldStylePresetsBrowser::PresetListColumn::dropOnColumn (ListColumn* source)
{
    auto* presets = dynamic_cast<PresetListColumn*> (source);

    if (presets == nullptr)
        return;

    plugin.movePresetsToGroup (group, presets->getGroup(), presets->getList().getSelectedRows());
    refresh();
    presetsBrowser.selectCurrentPresetRow();
}

void OldStylePresetsBrowser::PresetListColumn::dropBeforeRow (ListColumn* source, int row)
{
    movePreset (source, row, false);
}

void OldStylePresetsBrowser::PresetListColumn::dropAfterRow (ListColumn* source, int row)
{
    movePreset (source, row, true);
}

void OldStylePresetsBrowser::PresetListColumn::movePreset (ListColumn* source, int row, bool after)
{
    auto* presets = dynamic_cast<PresetListColumn*> (source);

    if (presets == nullptr || presets->getList().getNumSelectedRows() != 1)
        return;

    const auto fromGroup = presets->getGroup();
    const auto fromSlot = plugin.getPresetIndex (fromGroup, presets->getList().getSelectedRow (0));
    const auto toSlot = plugin.getPresetIndex (group, row);

    if (fromSlot < 0 || toSlot < 0)
        return;

    const auto target = after ? (toSlot < fromSlot ? toSlot + 1 : toSlot)
                              : (toSlot > fromSlot ? toSlot - 1 : toSlot);

    plugin.movePreset (fromSlot, target, fromGroup, group);
    refresh();

    // The row that now holds the moved preset (its own row when the drop left it in place).
    const auto movedRow = fromGroup != group ? (after ? row + 1 : row)
                        : after ? (toSlot >= fromSlot ? row : row + 1)
                                : (toSlot > fromSlot ? row - 1 : row);
    selectRow (movedRow);
}
