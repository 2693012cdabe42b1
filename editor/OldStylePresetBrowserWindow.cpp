#include "editor/OldStylePresetBrowserWindow.h"

OldStylePresetBrowserWindow::OldStylePresetBrowserWindow (BasePluginOldStyle& pluginToBrowse)
    : plugin (pluginToBrowse)
{
    setName ("PresetBrowser");
    setTitle ("Preset Browser");
}

OldStylePresetBrowserWindow::~OldStylePresetBrowserWindow() = default;
