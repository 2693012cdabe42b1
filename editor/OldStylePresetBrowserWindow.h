/*
    The preset browser: the slot bank's groups and presets in two columns, with buttons to
    add and remove groups, copy, paste and step through presets, and to load and save
    presets and banks. For now it is the framed window alone, empty, so that the editor can
    show and dock it; its columns and buttons are still to come.
*/
#pragma once

#include "framework/BasePluginOldStyle.h"
#include "gui/widgets/WindowComponent.h"

class OldStylePresetBrowserWindow : public WindowComponent
{
public:
    /** A browser of the plug-in's bank, which must outlive it. */
    explicit OldStylePresetBrowserWindow (BasePluginOldStyle& plugin);
    ~OldStylePresetBrowserWindow() override;

    /** The plug-in whose bank is browsed. */
    BasePluginOldStyle& getPlugin() const noexcept              { return plugin; }

private:
    BasePluginOldStyle& plugin;

    JUCE_DECLARE_NON_COPYABLE (OldStylePresetBrowserWindow)
};
