#include "editor/BasePluginEditorOldStyle.h"
#include "editor/MidiControlComponent.h"
#include "editor/OldStylePresetBrowserWindow.h"
#include "gui/controls/GFXDisplay.h"

BasePluginEditorOldStyle::BasePluginEditorOldStyle (BasePluginOldStyle& pluginToEdit)
    : BasePluginEditor (pluginToEdit), plugin (pluginToEdit)
{
    presetNameDisplay = dynamic_cast<GFXDisplay*> (findControlByName (this, "PresetNameDisplay"));

    if (presetNameDisplay != nullptr)
        presetNameDisplay->addListener (static_cast<GFXDisplayListener*> (this));

    getMidiControlPage().setFileExtension (plugin.getMidiCCMapFileExtension());
    getMidiControlPage().setFileWildcard (plugin.getMidiCCMapFilePatterns());

    presetBrowser = std::make_unique<OldStylePresetBrowserWindow> (plugin);
    addChildComponent (*presetBrowser);
    presetBrowser->setSize (639, 350);

    presetsPage = std::make_unique<PresetsSettingsComponent> (plugin, plugin.getPresetBankFilePatterns());
    presetsPage->getDefaultPresetsGroup().addListener (this);
    getOptionsWindow().addPage (presetsPage.get(), "Presets", 0);
}

BasePluginEditorOldStyle::~BasePluginEditorOldStyle()
{
    if (presetNameDisplay != nullptr)
        presetNameDisplay->removeListener (static_cast<GFXDisplayListener*> (this));

    presetsPage.reset();
    presetBrowser.reset();
}

void BasePluginEditorOldStyle::controllerEvent (GUIController* controller, int eventId)
{
    if (eventId == PluginCommand::browsePresets)
        presetBrowser->show();
    else
        BasePluginEditor::controllerEvent (controller, eventId);
}

void BasePluginEditorOldStyle::radioButtonsChanged (RadioButtons* group)
{
    if (presetsPage != nullptr && group == &presetsPage->getDefaultPresetsGroup())
        showSettingsNotice ("Default Presets");
}

void BasePluginEditorOldStyle::displayTextEdited (GFXDisplay* display)
{
    if (display != nullptr && display == presetNameDisplay)
        plugin.setPresetName (plugin.getCurrentPresetIndex(), display->getText());
}

//==============================================================================
BasePluginEditorOldStyle::PresetsSettingsComponent::PresetsSettingsComponent (BasePluginOldStyle& pluginToSet,
                                                                              const juce::String& bankFilePatterns)
    : plugin (pluginToSet)
{
    setName ("PresetsPage");

    storingGroup = std::make_unique<RadioButtons> ("Preset storing", juce::StringArray { "Automatic", "On demand" });
    storingGroup->addListener (this);
    addAndMakeVisible (*storingGroup);

    changingGroup = std::make_unique<RadioButtons> ("Changing type", juce::StringArray { "Normal", "Silent" });
    changingGroup->addListener (this);
    addChildComponent (*changingGroup);
    changingGroup->setVisible (plugin.isSilentChangingSelectable());

    defaultPresetsGroup = std::make_unique<DefaultResourcesRadioButtons> (
        "Default presets", juce::StringArray { "Factory presets", "Clear presets", "User defined" });
    defaultPresetsGroup->addListener (this);
    auto& path = defaultPresetsGroup->getPathComponent();
    path.setDialogArguments (path.getDialogTitle(), path.getInitialLocation(), bankFilePatterns);
    path.addListener (this);
    addAndMakeVisible (*defaultPresetsGroup);

    updateFromPlugin();
}

BasePluginEditorOldStyle::PresetsSettingsComponent::~PresetsSettingsComponent()
{
    defaultPresetsGroup->getPathComponent().removeListener (this);
}

void BasePluginEditorOldStyle::PresetsSettingsComponent::updateFromPlugin()
{
    storingGroup->setSelectedIndex ((int) plugin.getStoringMode(), false);
    changingGroup->setSelectedIndex ((int) plugin.getChangingMode(), false);
    defaultPresetsGroup->setSelectedIndex ((int) plugin.getPresetsMode(), false);

    auto& path = defaultPresetsGroup->getPathComponent();

    if (path.getPath() != plugin.getUserDefinedPresetsFile())
        path.setPath (plugin.getUserDefinedPresetsFile(), false);
}

void BasePluginEditorOldStyle::PresetsSettingsComponent::radioButtonsChanged (RadioButtons* group)
{
    const int selected = group != nullptr ? group->getSelectedIndex() : -1;

    // The plug-in stores the current preset at once when storing becomes automatic.
    if (group == storingGroup.get())
        plugin.setStoringMode (selected);
    else if (group == changingGroup.get())
        plugin.setChangingMode (selected);
    else if (group == defaultPresetsGroup.get())
        plugin.setPresetsMode (selected);
}

void BasePluginEditorOldStyle::PresetsSettingsComponent::pathChanged (PathComponent* field)
{
    if (field == &defaultPresetsGroup->getPathComponent())
        plugin.setUserDefinedPresetsFile (field->getPath());
}

void BasePluginEditorOldStyle::PresetsSettingsComponent::resized()
{
    const bool silent = plugin.isSilentChangingSelectable();
    const int w = getWidth();
    const int half = silent ? w / 2 - 3 : w;

    storingGroup->setBounds (0, 0, half, storingGroup->getHeight());

    if (silent)
        changingGroup->setBounds (w - half, 0, half, changingGroup->getHeight());

    defaultPresetsGroup->setBounds (0, storingGroup->getBottom() + 10, w, defaultPresetsGroup->getHeight());
}
