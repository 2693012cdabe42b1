/*
    The framework's processor base. It owns the parameters, the MIDI control, the events
    map and the editor component; maps parameters onto the host's parameter slots and
    keeps the host's own changes from echoing back as automation; turns the host's state
    and program chunks into plug-in XML and back; and knows the plug-in's file, folder
    and settings file.

    Start-up runs in three steps after construction: preInitialise, initialise and
    createGui (the entry routine calls them in that order).
*/
#pragma once

#include "framework/EventsMap.h"
#include "framework/ListenerArray.h"
#include "framework/MidiControl.h"
#include "framework/ParameterManager.h"
#include "framework/SoftwareDesignation.h"
#include "host/HostedProcessor.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <memory>

class BasePlugin : public juce::AudioProcessor,
                   public juce::AsyncUpdater,
                   public Parameter::Listener,
                   public SoftwareDesignation,
                   public HostedProcessor
{
public:
    /** Told on the message thread after the host set or retrieved the state. */
    class StateListener
    {
    public:
        virtual ~StateListener() = default;

        /** The host has restored the plug-in's state. */
        virtual void stateWasSet() = 0;

        /** The host has taken the plug-in's state. */
        virtual void stateWasRetrieved() = 0;
    };

    /** The most host slots the base keeps shadow values and echo flags for. */
    static constexpr int maxHostSlots = 128;

    /** Loads the parameter definitions and registers the editor commands. */
    explicit BasePlugin (const BusesProperties& buses = BusesProperties());

    /** Deletes the editor component and everything else the plug-in owns. */
    ~BasePlugin() override;

    //==============================================================================
    /** True when the entry routine must run preInitialise, initialise and createGui. */
    bool needsInitialisation() const noexcept                   { return initialisationNeeded; }

    /** Records the plug-in's own file and folder. */
    void preInitialise();

    /** Listens to every parameter, reads the settings file and loads a user MIDI map. */
    virtual void initialise();

    /** Builds the editor component once, sends it a look-and-feel change and announces every parameter. */
    void createGui();

    //==============================================================================
    /** The plug-in's name; also the processor's name and the settings file's name. */
    virtual juce::String getPluginName() const                  { return "BasePlugin"; }

    /** The two-letter product code behind resource types and file extensions. */
    virtual juce::String getPluginCode() const                  { return "XX"; }

    /** The editor component to build once; a plain panel unless a product gives its own. */
    virtual std::unique_ptr<juce::Component> createEditorComponent();

    /** The text the host shows for the value of the parameter with this index. */
    virtual juce::String getParameterValueText (int index);

    /** Runs an editor command (see PluginCommand); the preset layer gives it meaning. */
    virtual void handleCommand (int commandId);

    /** True for a build with debug parameters and events. */
    virtual bool isDebugMode() const                            { return false; }

    /** True for products that keep a state dump beside the plug-in. */
    virtual bool isDumpEnabled() const                          { return false; }

    //==============================================================================
    /** A new root element with this tag and "application" = the plug-in's name. */
    std::unique_ptr<juce::XmlElement> createRootElement (const juce::String& tag) const;

    /** True when the element has this tag and "application" equal to the plug-in's name. */
    bool isRootElementFor (const juce::XmlElement& xml, const juce::String& tag) const;

    /** True for this plug-in's "PluginState". */
    virtual bool isPluginStateXml (const juce::XmlElement& xml) const;
    /** Restores the plug-in state from its element. */
    virtual void loadPluginState (const juce::XmlElement& xml)           {}
    /** The plug-in state as a new element. */
    virtual std::unique_ptr<juce::XmlElement> createPluginStateXml();

    /** Restores the current program from the host's program chunk. */
    virtual void loadProgramState (const juce::XmlElement& xml)          {}
    /** The current program as a new element, or null. */
    virtual std::unique_ptr<juce::XmlElement> createProgramStateXml()    { return {}; }

    /** True for this plug-in's "UserSettings". */
    virtual bool isUserSettingsXml (const juce::XmlElement& xml) const;
    /** Takes the user settings from their element. */
    virtual void loadUserSettings (const juce::XmlElement& xml)          {}
    /** The user settings as a new element, or null. */
    virtual std::unique_ptr<juce::XmlElement> createUserSettingsXml()    { return {}; }

    //==============================================================================
    /** The plug-in file (the loaded library), known after preInitialise. */
    const juce::File& getPluginFile() const noexcept            { return pluginFile; }
    /** The folder of the plug-in file. */
    const juce::File& getPluginFolder() const noexcept          { return pluginFolder; }
    /** Sets the plug-in file and folder directly (tests and tools). */
    void setPluginFile (const juce::File& file);

    /** The settings file: the plug-in's folder / name + ".ini". */
    juce::File getSettingsFile() const;
    /** Reads the settings file, if there is a readable one. */
    void loadIniFile();
    /** Writes the settings file (and the dump when enabled); false when it could not be written.
        A settings file that cannot be read as this plug-in's is kept first, beside it with
        ".unreadable" added to its name, so that writing the settings over it loses nothing. */
    bool saveIniFile();

    /** The state dump file: the plug-in's folder / name + ".dump". */
    juce::File getDumpFile() const;
    /** Restores the state from the dump file (only when dumps are enabled). */
    void loadDumpFile();
    /** Writes the state to the dump file (only when dumps are enabled). */
    bool saveDumpFile();

    //==============================================================================
    /** The parameters. */
    ParameterManager& getParameterManager() noexcept            { return parameterManager; }
    /** The MIDI controller map. */
    MidiControl& getMidiControl() noexcept                      { return *midiControl; }
    /** The editor commands and skin events. */
    EventsMap& getEventsMap() noexcept                          { return eventsMap; }
    /** The editor component, or null before createGui. */
    juce::Component* getEditorComponent() const noexcept        { return editorComponent.get(); }

    /** Puts a parameter into a host slot (null empties it); slots beyond the count are ignored. */
    void setHostSlot (int slot, Parameter* parameter);

    /** Raised by MIDI handling, read and cleared by the editor's activity light. */
    void signalMidiActivity() noexcept                          { midiActivity.store (1); }
    /** Returns and clears the MIDI-activity flag. */
    bool takeMidiActivity() noexcept                            { return midiActivity.exchange (0) != 0; }

    /** Asks the host to read names and texts again. */
    void requestHostDisplayUpdate();

    /** Holds back the host notices the calling thread causes (automation of parameter
        changes, display updates) until sendHeldHostNotices. For a thread about to take locks
        that other threads of the host may wait for: the host is never called with one held.
        Holds of the same thread nest. */
    void holdHostNotices() noexcept override;

    /** Ends one hold; the outermost one stops holding back and sends what was held: each held
        slot once, with its current value, then one display update. */
    void sendHeldHostNotices() override;

    /** Adds a listener told when the host sets or takes the state (not twice). */
    void addStateListener (StateListener* listener);
    /** Removes a state listener. */
    void removeStateListener (StateListener* listener);

    //==============================================================================
    // Host parameter slots.
    int getNumHostParameters() override                         { return maxHostSlots; }
    float getHostParameter (int slot) override;
    void setHostParameter (int slot, float value) override;
    juce::String getHostParameterName (int slot) override;
    juce::String getHostParameterText (int slot) override;
    bool isHostParameterAutomatable (int slot) override;
    int getVstUniqueId() override;
    int getVstVendorVersion() override;
    juce::String getVendorName() override                       { return "Kestrom Audio Works"; }

    //==============================================================================
    // Parameter::Listener
    void parameterChanged (Parameter* parameter) override;
    void parameterGestureBegin (Parameter* parameter) override;
    void parameterGestureEnd (Parameter* parameter) override;

    //==============================================================================
    // SoftwareDesignation: the base knows only where it runs and how wide it is.
    juce::String getSoftwareLocation() const override           { return pluginFile.getFullPathName(); }
    juce::String getSoftwareBitness() const override            { return "64bit"; }

    //==============================================================================
    // juce::AudioProcessor
    const juce::String getName() const override                 { return getPluginName(); }
    bool hasEditor() const override                             { return true; }
    juce::AudioProcessorEditor* createEditor() override;
    int getNumPrograms() override                               { return 0; }
    int getCurrentProgram() override                            { return 0; }
    void setCurrentProgram (int) override                       {}
    const juce::String getProgramName (int) override            { return {}; }
    void changeProgramName (int, const juce::String&) override  {}
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destData) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;
    double getTailLengthSeconds() const override                { return 0.0; }
    bool acceptsMidi() const override                           { return true; }
    bool producesMidi() const override                          { return false; }

    /** Parses a chunk in JUCE's binary XML form, refusing anything malformed or nested deeper than our files. */
    static std::unique_ptr<juce::XmlElement> parseStateChunk (const void* data, int sizeInBytes);

protected:
    /** Deletes the editor component, if there is one. The editor reaches into every layer of
        the plug-in, so each layer that owns what it reads calls this first in its destructor:
        the editor goes while the whole plug-in is still there. */
    void deleteEditorComponent();

    /** Set by effect bases whose start-up must run through the entry routine. */
    void setNeedsInitialisation() noexcept                      { initialisationNeeded = true; }

    /** Marks the host slot whose own set is running, so its change is not echoed back. */
    int getHostSlotOf (const Parameter& parameter) const;

private:
    void handleAsyncUpdate() override;
    bool isValidHostSlot (int slot) noexcept                    { return slot >= 0 && slot < juce::jmin (getNumHostParameters(), maxHostSlots); }
    bool isHoldingHostNotices() const noexcept;
    Parameter* getSlotParameter (int slot) const;
    std::unique_ptr<juce::XmlElement> readSettingsFile() const;
    bool keepUnreadableSettingsFile();

    std::unique_ptr<juce::Component> editorComponent;
    juce::File pluginFolder, pluginFile;
    ParameterManager parameterManager;

    juce::CriticalSection slotLock;
    juce::Array<Parameter*> hostSlots;
    juce::CriticalSection slotMapLock;
    juce::HashMap<int, int> slotOfIndex { 101 };
    std::array<std::atomic<float>, maxHostSlots> shadowValues {};
    std::array<std::atomic<int>, maxHostSlots> setByHost {};
    std::atomic<juce::Thread::ThreadID> holdingThread { nullptr };
    int holdDepth = 0;                  // only the holding thread touches it
    std::array<std::atomic<bool>, maxHostSlots> heldAutomation {};
    std::atomic<bool> automationHeld { false }, displayUpdateHeld { false };

    std::unique_ptr<MidiControl> midiControl;
    std::atomic<int> midiActivity { 0 };
    EventsMap eventsMap;
    std::atomic<int> stateSet { 0 }, stateRetrieved { 0 };
    ListenerArray<StateListener> stateListeners;
    bool initialisationNeeded = false;

    JUCE_DECLARE_NON_COPYABLE (BasePlugin)
};
