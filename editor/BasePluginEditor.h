/*
    The framework's editor component: the one component a plug-in builds at start-up and
    keeps for its whole life, shown in the host's window by the editor wrapper. It builds its
    controls from the embedded skin ("skin.xml", root "PluginEditor") or, without a usable
    skin, a generic grid of one control per parameter; it owns the status bar under the
    content, the Options window with its "Midi Control" page and the About window; it runs
    the editor commands the skin's controls fire, and shows parameter values and MIDI learn
    on the status bar.

    A 25 ms display timer runs only while the editor is showing. Everything here runs on the
    message thread: notices from other threads (MIDI learn, parameter changes) come through it.
*/
#pragma once

#include "framework/BasePlugin.h"
#include "gui/controls/GUIController.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/DefaultResourceCheckBox.h"
#include "gui/widgets/OptionsWindow.h"
#include "gui/widgets/PseudoModalComponent.h"
#include "gui/widgets/StatusBar.h"

#include <memory>

class AboutWindow;
class GFXAnimation;
class GFXMultiStateButton;
class MidiControlComponent;

class BasePluginEditor : public juce::Component,
                         public Parameter::Listener,
                         public GUIController::Listener,
                         public MidiControl::Listener,
                         public DefaultResourceCheckBox::Listener,
                         public TabbedComponentEx::Listener,
                         public PseudoModalComponent::Desktop,
                         public juce::Timer
{
public:
    /** Builds the editor's windows and its skin for a plug-in, which must outlive it. */
    explicit BasePluginEditor (BasePlugin& plugin);

    ~BasePluginEditor() override;

    /** Makes an editor of a derived class and, when it has no skin, its generic controls:
        the way a product's createEditorComponent builds its editor. */
    template <typename EditorType, typename... Args>
    static std::unique_ptr<EditorType> create (Args&&... args)
    {
        auto editor = std::make_unique<EditorType> (std::forward<Args> (args)...);
        editor->buildGenericEditor();
        return editor;
    }

    //==============================================================================
    /** Reads a skin resource and builds its controls; false when the resource is missing,
        does not parse or its root is not "PluginEditor" (then nothing is built). */
    bool loadSkin (const juce::String& resourceName);

    /** True when the skin was loaded at construction. */
    bool isSkinLoaded() const noexcept                          { return skinLoaded; }

    /** Builds one control per host parameter in a grid; nothing when a skin was loaded. */
    void buildGenericEditor();

    /** The generic controls (empty with a skin). */
    const juce::OwnedArray<juce::Component>& getGenericControls() const noexcept   { return genericControls; }

    /** The controls built from the skin, in document order. */
    juce::Array<GUIController*> getControllers() const;

    /** Sets the content size; the editor is that plus the status bar below it. */
    void setEditorSize (int width, int contentHeight);

    /** The height of the content above the status bar. */
    int getContentHeight() const noexcept                       { return contentHeight; }

    /** The first component named name below root, searching its children first, then
        each child's subtree in child order; null when there is none. */
    static juce::Component* findControlByName (juce::Component* root, const juce::String& name);

    /** Shows a parameter's value on the status bar (and learns it in MIDI learn mode). */
    void showParameterStatus (Parameter* parameter);

    /** Shows that a setting will take effect at the next start ("Default Map", ...). */
    void showSettingsNotice (const juce::String& what);

    /** Asks whether to overwrite the current preset of a preset collection; nothing when the
        plug-in keeps no such collection (the slot bank plug-ins). */
    virtual void askStoreCurrentPreset (const juce::String& collectionName);

    /** Saves the presets of a collection under a new name; nothing without a collection. */
    virtual void savePresetsAs (const juce::String& collectionName);

    //==============================================================================
    /** The status bar. */
    StatusBar& getStatusBar() noexcept                          { return *statusBar; }
    /** The Options window. */
    OptionsWindow& getOptionsWindow() noexcept                  { return *optionsWindow; }
    /** The About window. */
    AboutWindow& getAboutWindow() noexcept                      { return *aboutWindow; }
    /** The "Midi Control" page of the Options window. */
    MidiControlComponent& getMidiControlPage() noexcept         { return *midiControlPage; }
    /** The editor's own look-and-feel. */
    DefaultLookAndFeel& getDefaultLookAndFeel() noexcept        { return lookAndFeel; }
    /** The plug-in. */
    BasePlugin& getPlugin() const noexcept                      { return plugin; }

    //==============================================================================
    /** The generic grid leaves an empty cell after this parameter's control. */
    virtual bool leaveGapAfterParameter (int parameterIndex)    { return false; }
    /** The generic grid starts a new row after this parameter's control. */
    virtual bool breakRowAfterParameter (int parameterIndex)    { return false; }
    /** Brings the displays up to date with the plug-in; called every 25 ms while showing. */
    virtual void refreshDisplay();
    /** Whether the status bar is shown under the content. */
    virtual bool isStatusBarVisible()                           { return true; }

    //==============================================================================
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;
    /** @internal */
    void visibilityChanged() override;
    /** @internal */
    void parentHierarchyChanged() override;
    /** @internal */
    void timerCallback() override;

    /** A control wrote a value: its parameter's value goes to the status bar. */
    void controllerValueChanged (GUIController* controller) override;
    /** A control fired an editor command. */
    void controllerEvent (GUIController* controller, int eventId) override;
    /** Shows the state of MIDI learn on the status bar. */
    void learnStateChanged (MidiControl* midiControl) override;
    /** Shows the parameter a MIDI controller moved on the status bar. */
    void controllerMoved (MidiControl* midiControl) override;
    /** A change of the MIDI page's default map shows that it takes effect at the next start. */
    void defaultResourceChanged (DefaultResourceCheckBox* box) override;
    /** Another Options page is shown: the status bar is cleared. */
    void tabChanged (TabbedComponentEx* tabbedComponent) override;

    /** Parameter notices reach the editor on the message thread; it needs none of them. */
    void parameterChanged (Parameter*) override                 {}

private:
    // Declared first so that it is destroyed last: every component below uses it until
    // it is gone.
    DefaultLookAndFeel lookAndFeel;

    BasePlugin& plugin;
    bool skinLoaded = false;
    int contentHeight = 0;
    juce::Image backgroundImage;
    GFXMultiStateButton* midiLearnButton = nullptr;
    GFXAnimation* midiActivityLed = nullptr;

    juce::CriticalSection controllersLock;
    juce::Array<GUIController*> controllers;            // the same objects skinComponents owns
    juce::OwnedArray<juce::Component> skinComponents;
    juce::OwnedArray<juce::Component> genericControls;

    std::unique_ptr<StatusBar> statusBar;
    std::unique_ptr<AboutWindow> aboutWindow;
    std::unique_ptr<MidiControlComponent> midiControlPage;
    std::unique_ptr<OptionsWindow> optionsWindow;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;

    void buildFromSkin (const juce::XmlElement& root);
    void addControl (juce::Component& component);
    void updateTimerState();

    JUCE_DECLARE_NON_COPYABLE (BasePluginEditor)
};
