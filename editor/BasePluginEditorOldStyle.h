/*
    The editor layer of plug-ins with the slot preset bank: the skin's preset name display
    renames the current preset, the preset browser window lives here, the MIDI map page gets
    the plug-in's map file types, and the Options window gains the "Presets" page, on which
    the user picks how presets are stored, how preset changes sound and which bank loads at
    start-up.
*/
#pragma once

#include "editor/BasePluginEditor.h"
#include "framework/BasePluginOldStyle.h"
#include "gui/controls/GFXDisplayListener.h"
#include "gui/widgets/DefaultResourcesRadioButtons.h"
#include "gui/widgets/RadioButtons.h"

class GFXDisplay;
class OldStylePresetBrowserWindow;

class BasePluginEditorOldStyle : public BasePluginEditor,
                                 public RadioButtons::Listener,
                                 public GFXDisplayListener
{
public:
    /** The "Presets" page of the Options window: how presets are stored, how preset changes
        sound and which bank the plug-in loads at its next start. */
    class PresetsSettingsComponent : public juce::Component,
                                     public RadioButtons::Listener,
                                     public PathComponent::Listener
    {
    public:
        /** A page for the plug-in's preset settings; bank files match bankFilePatterns. */
        PresetsSettingsComponent (BasePluginOldStyle& plugin, const juce::String& bankFilePatterns);
        ~PresetsSettingsComponent() override;

        /** Shows the plug-in's present settings, telling nobody. */
        void updateFromPlugin();

        /** "Preset storing": Automatic, On demand. */
        RadioButtons& getStoringGroup() noexcept                        { return *storingGroup; }
        /** "Changing type": Normal, Silent (shown when the plug-in offers silent changes). */
        RadioButtons& getChangingGroup() noexcept                       { return *changingGroup; }
        /** "Default presets": Factory presets, Clear presets, User defined with its bank file. */
        DefaultResourcesRadioButtons& getDefaultPresetsGroup() noexcept { return *defaultPresetsGroup; }

        /** A choice on the page goes to the plug-in. */
        void radioButtonsChanged (RadioButtons* group) override;
        /** The user bank file goes to the plug-in. */
        void pathChanged (PathComponent* field) override;
        /** @internal */
        void resized() override;

    private:
        BasePluginOldStyle& plugin;
        std::unique_ptr<RadioButtons> storingGroup, changingGroup;
        std::unique_ptr<DefaultResourcesRadioButtons> defaultPresetsGroup;

        JUCE_DECLARE_NON_COPYABLE (PresetsSettingsComponent)
    };

    /** Builds the base editor, then the browser and the "Presets" page, for a plug-in that must outlive it. */
    explicit BasePluginEditorOldStyle (BasePluginOldStyle& plugin);
    ~BasePluginEditorOldStyle() override;

    /** The preset browser window. */
    OldStylePresetBrowserWindow& getPresetBrowser() noexcept    { return *presetBrowser; }
    /** The "Presets" page. */
    PresetsSettingsComponent& getPresetsPage() noexcept         { return *presetsPage; }
    /** The skin's preset name display, or null. */
    GFXDisplay* getPresetNameDisplay() const noexcept           { return presetNameDisplay; }

    //==============================================================================
    /** "Browse presets" shows the browser; every other command goes to the base. */
    void controllerEvent (GUIController* controller, int eventId) override;
    /** A change of the default presets shows that it takes effect at the next start. */
    void radioButtonsChanged (RadioButtons* group) override;
    /** An edit of the preset name display renames the current preset. */
    void displayTextEdited (GFXDisplay* display) override;

private:
    BasePluginOldStyle& plugin;
    GFXDisplay* presetNameDisplay = nullptr;
    std::unique_ptr<OldStylePresetBrowserWindow> presetBrowser;
    std::unique_ptr<PresetsSettingsComponent> presetsPage;

    JUCE_DECLARE_NON_COPYABLE (BasePluginEditorOldStyle)
};
