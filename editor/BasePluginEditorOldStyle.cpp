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

void BasePluginEditorOldStyle::displayTextEdited (GFXDisplay* display)
{
    if (display != nullptr && display == presetNameDisplay)
        plugin.setPresetName (plugin.getCurrentPresetIndex(), display->getText());
}

//==============================================================================
BasePluginEditorOldStyle::PresetsSettingsComponent::PresetsSettingsComponent (BasePluginOldStyle& pluginToSet,
                                                                              const juce::String& patterns)
    : plugin (pluginToSet), bankFilePatterns (patterns)
{
    setName ("PresetsPage");
    updateFromPlugin();
}

BasePluginEditorOldStyle::PresetsSettingsComponent::~PresetsSettingsComponent() = default;

void BasePluginEditorOldStyle::PresetsSettingsComponent::updateFromPlugin()
{
}
