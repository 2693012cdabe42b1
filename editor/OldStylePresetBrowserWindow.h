/*
    The preset browser: the bank's groups and the selected group's presets in two columns,
    with buttons to add and remove groups, copy, paste and step through presets, and to
    load and save single presets and whole banks. It keeps no copy of the bank: every
    change goes through the bank's own operations, and the browser follows the current
    preset through "Current Preset Number" and "Current Preset Name", heard on the message
    thread (program changes arrive on the audio thread, state restores on the host's).

    Each file action has a helper taking the chosen file, which the dialogs call and tests
    call directly.
*/
#pragma once

#include "editor/OldStylePresetsBrowser.h"
#include "framework/BasePluginOldStyle.h"
#include "gui/widgets/ComponentRow.h"
#include "gui/widgets/TextButtonEx.h"
#include "gui/widgets/WindowComponent.h"

#include <memory>

class OldStylePresetBrowserWindow : public WindowComponent,
                                    public Parameter::Listener
{
public:
    /** A browser of the plug-in's bank, which must outlive it. */
    explicit OldStylePresetBrowserWindow (BasePluginOldStyle& plugin);
    ~OldStylePresetBrowserWindow() override;

    /** The plug-in whose bank is browsed. */
    BasePluginOldStyle& getPlugin() const noexcept              { return plugin; }

    /** The two-column browser. */
    OldStylePresetsBrowser& getBrowser() noexcept               { return browser; }

    /** Enables "Add Group" while exactly one group is selected, and "Rem Group" when that
        group is also empty; both are disabled otherwise. */
    void updateGroupButtons();

    //==============================================================================
    /** Loads a preset file into the current slot; its folder becomes the dialogs' folder. */
    bool loadPresetFromFile (const juce::File& file);
    /** Saves the current slot, adding the preset extension to a name without it; the
        folder becomes the dialogs' folder. */
    bool savePresetToFile (const juce::File& file);
    /** Replaces the bank with a bank file's. */
    bool loadBankFromFile (const juce::File& file);
    /** Saves the bank, adding the bank extension to a name without it. */
    bool saveBankToFile (const juce::File& file);

    /** The buttons, by name: "Add Group", "Rem Group", "Copy", "Paste", "Up", "Down". */
    juce::ImageButton* getIconButton (const juce::String& name) const;
    /** The file buttons: "Load" or "Save" of the preset or of the bank. */
    TextButtonEx& getFileButton (bool bank, bool save) noexcept;

    //==============================================================================
    /** "Current Preset Number" selects the group and the preset; "Current Preset Name" refreshes. */
    void parameterChanged (Parameter* parameter) override;
    /** @internal */
    void buttonClicked (juce::Button* button) override;
    /** True: the editor is dimmed under the window when it is shown as a window. */
    bool isBackgroundDimmed() const override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;
    /** @internal */
    void parentHierarchyChanged() override;
    /** @internal */
    void visibilityChanged() override;

private:
    /** Shows the current preset, and the bank's names afresh, once the window is on screen. */
    void catchUpWhenShowing();
    /** Selects the group and the row of preset slot. */
    void showPreset (int slot);

    /** Opens a file dialog; a chosen file goes to the action. */
    void launchDialog (const juce::String& title, const juce::String& patterns, bool save,
                       std::function<void (const juce::File&)> action);

    BasePluginOldStyle& plugin;
    ParameterManager& parameters;       // outlives the preset layer of the plug-in, which goes before the editor
    bool catchUpPending = false;        // the bank changed while the window was not on screen
    OldStylePresetsBrowser browser { *this, plugin };
    ComponentRow iconRow, fileRow;      // before their children, which go first and keep the look
    juce::Label presetLabel { "Preset", "Preset" }, bankLabel { "Bank", "Bank" };
    juce::ImageButton addGroupButton { "Add Group" }, removeGroupButton { "Rem Group" },
                      copyButton { "Copy" }, pasteButton { "Paste" }, upButton { "Up" }, downButton { "Down" };
    TextButtonEx loadPresetButton { "Load", 0 }, savePresetButton { "Save", 0 },
                 loadBankButton { "Load", 0 }, saveBankButton { "Save", 0 };
    std::unique_ptr<juce::FileChooser> chooser;

    JUCE_DECLARE_NON_COPYABLE (OldStylePresetBrowserWindow)
};
