/*
    The preset layer of the plug-in class chain, between BasePlugin and the effect base.

    It owns the preset bank: 128 preset slots, a partition of those slots into named groups,
    one current slot, the empty ("default") preset that cleared slots take their values from,
    a copy buffer, and the two pseudo-parameters "Current Preset Number" and "Current Preset
    Name" through which preset changes reach the editor. It decides how a preset change is
    carried out (at once, or handed to a PresetChanger that fades out and in) and whether
    parameter edits go into the current slot as they happen or only on request.

    It also fills the XML of the plug-in state, the program chunk and the user settings, reads
    and writes preset and bank files, and builds the file extensions and dialog patterns.

    Locks: the presets lock guards the slot array and the groups lock the group array (and the
    bank name); neither is held together with the other, nor while parameters or listeners
    are called. A preset's name has a lock of its own and its values are atomic, so a slot
    fetched with getPreset can be read and written from any thread. Slot objects live as long
    as the plug-in: loading or clearing a bank changes them in place and moves reorder them.
*/
#pragma once

#include "framework/BasePlugin.h"
#include "framework/PresetChanger.h"
#include "framework/PresetManagerListener.h"

#include <atomic>
#include <memory>

class BasePluginOldStyle : public BasePlugin,
                           public PresetChanger::Target
{
public:
    using PresetChanger = ::PresetChanger;
    using PresetManagerListener = ::PresetManagerListener;

    //==============================================================================
    /** One preset: a name and one normalised value (0..1) per preset parameter. */
    class Preset
    {
    public:
        /** Creates a preset of numValues zero values; programNumber is the slot it was made for, -1 for none. */
        Preset (int numValues, int programNumber = -1, const juce::String& name = "Preset");

        /** The preset's name. */
        juce::String getName() const;
        /** Replaces the preset's name. */
        void setName (const juce::String& newName);

        /** The number of values the preset holds. */
        int getNumValues() const noexcept                   { return numValues; }
        /** Value k, or 0 when k is out of range. */
        float getValue (int k) const noexcept;
        /** Sets value k, clamped to 0..1; an index out of range or a NaN changes nothing. */
        void setValue (int k, float newValue) noexcept;
        /** Takes every value from another preset (0 where it holds fewer). */
        void copyValuesFrom (const Preset& other) noexcept;

        /** The slot the preset was created for (not renumbered by moves), -1 for none. */
        int getProgramNumber() const noexcept               { return programNumber; }

    private:
        juce::SpinLock nameLock;
        juce::String name;
        const int numValues;
        const int programNumber;
        std::unique_ptr<std::atomic<float>[]> values;

        JUCE_DECLARE_NON_COPYABLE (Preset)
    };

    //==============================================================================
    /** A named run of consecutive slots; the groups, in order, cover all slots from slot 0. */
    class PresetGroup
    {
    public:
        /** Creates a group holding the given number of slots. */
        PresetGroup (const juce::String& groupName, int presetCount) : name (groupName), numPresets (presetCount) {}

        /** The group's name. */
        juce::String name;
        /** How many consecutive slots the group holds (0 or more). */
        int numPresets = 0;
    };

    //==============================================================================
    /** The number of preset slots in the bank. */
    static constexpr int numPresetSlots = 128;

    /** What initialise loads into the bank (the "Presets" setting). */
    enum PresetsMode  { factoryPresets = 0, clearPresets = 1, userDefinedPresets = 2 };
    /** When parameter edits are written into the current slot. */
    enum StoringMode  { storingAutomatic = 0, storingOnDemand = 1 };
    /** How a preset change is carried out. */
    enum ChangingMode { changingNormal = 0, changingSilent = 1 };

    /** Creates the bank for numPresetParameters parameters (0..N-1, held in every preset and in the
        state) and numNonPresetParameters further ones, and adds the two preset pseudo-parameters. */
    BasePluginOldStyle (int numPresetParameters, int numNonPresetParameters,
                        const BusesProperties& buses = BusesProperties());

    ~BasePluginOldStyle() override;

    /** Fills the host slots, reads the settings, loads the empty preset and the bank the settings
        name (falling back to the factory bank, then to a cleared bank) and applies the current slot. */
    void initialise() override;

    //==============================================================================
    /** The number of parameters held in each preset. */
    int getNumPresetParameters() const noexcept                 { return numPresetParameters; }
    /** The number of parameters written to and read from the plug-in state. */
    int getNumStateParameters() const noexcept                  { return numStateParameters; }
    /** The number of parameters after the preset parameters that presets do not hold. */
    int getNumNonPresetParameters() const noexcept              { return numNonPresetParameters; }

    //==============================================================================
    // Slots and groups. Every index out of range (negative ones too) answers null, an empty
    // text, 0 or -1, and changes nothing.

    /** True for an index of a slot. */
    static bool isValidSlot (int index) noexcept                { return index >= 0 && index < numPresetSlots; }
    /** The slot's preset, or null. */
    Preset* getPreset (int index) const;
    /** The slot's name, or an empty String. */
    juce::String getPresetName (int index) const;
    /** Renames a slot; renaming the current slot also sets "Current Preset Name" (with notification). */
    void setPresetName (int index, const juce::String& name);

    /** The number of groups. */
    int getNumGroups() const;
    /** The group's name, or an empty String. */
    juce::String getGroupName (int group) const;
    /** Renames a group. */
    void setGroupName (int group, const juce::String& name);
    /** The number of slots in the group, or 0. */
    int getNumPresetsInGroup (int group) const;
    /** The group's first slot, or -1. */
    int getGroupFirstPresetIndex (int group) const;
    /** The group's last slot (first - 1 for an empty group), or -1. */
    int getGroupLastPresetIndex (int group) const;
    /** The slot at a position inside a group, or -1. */
    int getPresetIndex (int group, int position) const;
    /** The name of the slot at a position inside a group, or an empty String. */
    juce::String getPresetNameInGroup (int group, int position) const;
    /** The group that holds a slot, or -1. */
    int getGroupOfPreset (int index) const;

    /** The name of the loaded bank. */
    juce::String getBankName() const;
    /** Renames the bank. */
    void setBankName (const juce::String& name);

    //==============================================================================
    /** The current slot. */
    int getCurrentPresetIndex() const noexcept                  { return current.load(); }
    /** Makes a slot current and sets both pseudo-parameters, with or without notification; parameter values are not touched. */
    void setCurrentPresetIndex (int index, bool notify);
    /** Sets every preset parameter from the current slot, then the pseudo-parameters (with
        notification), then tells the preset manager listeners. */
    void applyCurrentPreset() override;
    /** Makes a slot current and changes to it: through the preset changer in silent mode, else at once. */
    void selectPreset (int index);
    /** Selects the next slot; nothing at the last one. */
    void selectNextPreset();
    /** Selects the previous slot; nothing at the first one. */
    void selectPreviousPreset();

    //==============================================================================
    /** Writes the present parameter values into a preset. */
    void storeParametersInto (Preset& preset);
    /** Writes the present parameter values into a slot. */
    void storePreset (int index);
    /** Copies the present parameter values and the current slot's name + "_copy" into the copy buffer. */
    void copyCurrentPreset();
    /** Sets the parameters from the copy buffer, names the current slot after it, stores and applies it; nothing while the buffer is empty. */
    void pasteCopiedPreset();
    /** True once something was copied. */
    bool isCopyBufferFull() const noexcept                      { return copyBufferFull.load(); }
    /** The copy buffer. */
    const Preset& getCopyBuffer() const noexcept                { return copyBuffer; }
    /** The empty preset that cleared slots take their values from. */
    Preset& getDefaultPreset() noexcept                         { return defaultPreset; }
    /** Names every slot "Preset " + its index, gives it the empty preset's values and puts all slots into one group "Not used". */
    void resetPresetBank();

    //==============================================================================
    // Group and slot moves. Each keeps the same preset object current (under its new index,
    // without notification) and answers whether anything changed.

    /** Inserts an empty group "New Group" before an existing group. */
    bool addGroup (int group);
    /** Removes a group that holds no slots. */
    bool removeGroup (int group);
    /** Moves a slot of fromGroup so that it ends up at toSlot inside toGroup; toSlot must lie in
        toGroup as it is after the move. Within one group the two slots must differ. */
    bool movePreset (int fromSlot, int toSlot, int fromGroup, int toGroup);
    /** Moves the slots at the given positions of fromGroup, in their order, to the end of toGroup. */
    bool movePresetsToGroup (int toGroup, int fromGroup, const juce::SparseSet<int>& positions);
    /** Moves a group with its slots to another place in the group order. */
    bool moveGroup (int fromGroup, int toGroup);

    //==============================================================================
    /** Runs the preset commands 1002, 1003, 1007, 1008 and 1009; other ids are ignored. */
    void handleCommand (int commandId) override;

    /** The "Presets" setting. */
    PresetsMode getPresetsMode() const noexcept                 { return (PresetsMode) presetsMode.load(); }
    /** Sets the "Presets" setting (effective at the next start); values outside the modes are ignored. */
    void setPresetsMode (int mode);
    /** The bank file loaded in userDefinedPresets mode. */
    juce::String getUserDefinedPresetsFile() const;
    /** Sets the bank file loaded in userDefinedPresets mode. */
    void setUserDefinedPresetsFile (const juce::String& path);

    /** The storing mode. */
    StoringMode getStoringMode() const noexcept                 { return (StoringMode) storingMode.load(); }
    /** Sets the storing mode; switching to automatic stores the current slot at once. Other values are ignored. */
    void setStoringMode (int mode);
    /** The changing mode. */
    ChangingMode getChangingMode() const noexcept               { return (ChangingMode) changingMode.load(); }
    /** Sets the changing mode; other values are ignored. */
    void setChangingMode (int mode);

    /** The start folder of the preset and bank dialogs. */
    juce::File getRecentlyUsedDirectory() const;
    /** Takes the folder only when it exists as a folder; answers whether it was taken. */
    bool setRecentlyUsedDirectory (const juce::File& folder);

    //==============================================================================
    /** Sets the changer that carries out silent changes (null: none) and makes this bank its target. */
    void setPresetChanger (PresetChanger* changer);
    /** The changer of silent changes, or null. */
    PresetChanger* getPresetChanger() const noexcept            { return presetChanger.load(); }

    /** Adds a listener told after every apply (not twice, not null). */
    void addPresetManagerListener (PresetManagerListener* listener);
    /** Removes a listener; it may do so while it is being told. */
    void removePresetManagerListener (PresetManagerListener* listener);

    //==============================================================================
    /** True when the storing mode may be chosen (the "storing" setting is written and read). */
    virtual bool isPresetStoringSelectable() const              { return true; }
    /** True when the changing mode may be chosen (the "changing" setting is written and read). */
    virtual bool isSilentChangingSelectable() const             { return true; }

    /** The number of older preset file extensions still read. */
    virtual int getNumOldPresetFileExtensions() const           { return 0; }
    /** An older preset file extension. */
    virtual juce::String getOldPresetFileExtension (int) const  { return {}; }
    /** The number of older bank file extensions still read. */
    virtual int getNumOldPresetBankFileExtensions() const       { return 0; }
    /** An older bank file extension. */
    virtual juce::String getOldPresetBankFileExtension (int) const { return {}; }
    /** The number of older MIDI map file extensions still read. */
    virtual int getNumOldMidiCCMapFileExtensions() const        { return 0; }
    /** An older MIDI map file extension. */
    virtual juce::String getOldMidiCCMapFileExtension (int) const { return {}; }

    /** "." + code + "prs", lower case. */
    juce::String getPresetFileExtension() const;
    /** "." + code + "prsb", lower case. */
    juce::String getPresetBankFileExtension() const;
    /** "." + code + "ccmap", lower case. */
    juce::String getMidiCCMapFileExtension() const;
    /** "*" + the preset extension. */
    juce::String getPresetFilePattern() const;
    /** "*" + the bank extension. */
    juce::String getPresetBankFilePattern() const;
    /** The preset pattern, then "; *" + each older preset extension. */
    juce::String getPresetFilePatterns() const;
    /** The bank pattern, then "; *" + each older bank extension. */
    juce::String getPresetBankFilePatterns() const;
    /** The MIDI map pattern, then "; *" + each older map extension. */
    juce::String getMidiCCMapFilePatterns() const;

    //==============================================================================
    // Elements.

    /** True for a "Preset" of this plug-in. */
    virtual bool isPresetXml (const juce::XmlElement& element) const;
    /** True for a "PresetGroup". */
    virtual bool isPresetGroupXml (const juce::XmlElement& element) const;
    /** True for a "PresetBank". */
    virtual bool isPresetBankXml (const juce::XmlElement& element) const;

    /** Loads a preset element into a preset: name ("unnamed" when absent) and the values of
        the parameters it names (clamped to 0..1; unknown names and NaNs skipped). False when it is no preset. */
    virtual bool loadPresetFromXml (const juce::XmlElement& element, Preset& preset);
    /** Loads a preset element into a slot; false for a bad slot or no preset. */
    virtual bool loadPresetFromXmlAt (const juce::XmlElement& element, int slot);
    /** A "Preset" element for a preset, values rounded to six decimals. */
    virtual std::unique_ptr<juce::XmlElement> createPresetXml (const Preset& preset);
    /** A "Preset" element for a slot, or null for a bad slot. */
    virtual std::unique_ptr<juce::XmlElement> createPresetXmlAt (int slot);

    /** Replaces the bank with a bank element (current slot kept, nothing applied); false when it is no bank. */
    virtual bool loadPresetBankFromXml (const juce::XmlElement& element);
    /** The last bank element among the children, or null. Each bank loaded replaces the whole
        bank, so a state that holds several is read by loading this one alone: a reset of every
        slot per bank would make a state of thousands of empty banks take seconds. */
    const juce::XmlElement* findLastPresetBank (const juce::XmlElement& parent) const;
    /** The bank as a "PresetBank" element. */
    virtual std::unique_ptr<juce::XmlElement> createPresetBankXml();

    /** True for a "NotPresetableParams" element (or the older "NotPresetParams"). */
    virtual bool isNotPresetableParamsXml (const juce::XmlElement& element) const;
    /** Sets the parameters that such an element names. */
    virtual void loadNotPresetableParams (const juce::XmlElement& element);
    /** The parameters outside presets as a "NotPresetableParams" element. */
    virtual std::unique_ptr<juce::XmlElement> createNotPresetableParamsXml();

    /** Reads the "ResourcesSettings" element ("Presets" and "MidiCCMap"). */
    virtual void loadResourcesSettings (const juce::XmlElement& element);
    /** The "ResourcesSettings" element. */
    virtual std::unique_ptr<juce::XmlElement> createResourcesSettingsXml();

    //==============================================================================
    // Files. Reads refuse malformed or oversized files; writes go beside the target and are
    // renamed into place, answering false (previous file intact) on failure.

    /** Loads a preset file into a slot and applies it when the slot is current; false when nothing was loaded. */
    bool loadPresetFile (const juce::File& file, int slot);
    /** Writes a slot to a preset file (the slot is not stored from the parameters first). */
    bool savePresetFile (const juce::File& file, int slot);
    /** Loads a bank file and applies the current slot; the file's folder becomes the recently used folder. */
    bool loadPresetBankFile (const juce::File& file);
    /** Writes the bank to a file; the file's folder becomes the recently used folder. */
    bool savePresetBankFile (const juce::File& file);
    /** Loads the embedded empty preset of that resource name into the default preset. */
    bool loadDefaultPresetFromResource (const juce::String& resourceName);
    /** Loads the embedded bank of that resource name and applies the current slot; false when no bank was loaded. */
    bool loadPresetBankFromText (const juce::String& resourceName);

    //==============================================================================
    // State and settings.
    void loadPluginState (const juce::XmlElement& xml) override;
    std::unique_ptr<juce::XmlElement> createPluginStateXml() override;
    /** Loads the program chunk's preset into the current slot and applies it. */
    void loadProgramState (const juce::XmlElement& xml) override;
    /** The current slot as the program chunk's preset. */
    std::unique_ptr<juce::XmlElement> createProgramStateXml() override;
    void loadUserSettings (const juce::XmlElement& xml) override;
    std::unique_ptr<juce::XmlElement> createUserSettingsXml() override;

    //==============================================================================
    /** Renames the current slot for "Current Preset Name"; for other parameters stores into the
        current slot in automatic mode, then reports to the host. */
    void parameterChanged (Parameter* parameter) override;

private:
    /** The slot's preset; the caller holds the presets lock. */
    Preset* getPresetLocked (int index) const noexcept          { return isValidSlot (index) ? presets.getUnchecked (index) : nullptr; }
    bool isValidGroupLocked (int group) const noexcept          { return group >= 0 && group < groups.size(); }
    int getGroupFirstPresetIndexLocked (int group) const noexcept;

    /** Runs a change of the slot order and keeps the current preset object current. */
    template <typename Function>
    void restructureKeepingCurrent (Function&& change);

    void loadParameterValues (const juce::XmlElement& element);
    void appendParameterValues (juce::XmlElement& element, int first, int end);
    void loadInitialBank();
    void notifyPresetManagerListeners();
    juce::String buildFilePatterns (const juce::String& extension, int numOld,
                                    juce::String (BasePluginOldStyle::*getOld) (int) const) const;

    const int numPresetParameters, numStateParameters, numNonPresetParameters;

    mutable juce::CriticalSection settingsLock;
    juce::File recentlyUsedDirectory;
    juce::String userBankFile;
    std::atomic<int> presetsMode { factoryPresets }, storingMode { storingOnDemand }, changingMode { changingNormal };
    std::atomic<int> current { 0 };

    mutable juce::CriticalSection presetsLock;
    juce::OwnedArray<Preset> presets;

    mutable juce::CriticalSection groupsLock;
    juce::OwnedArray<PresetGroup> groups;
    juce::String bankName { "Preset Bank" };

    Preset defaultPreset, copyBuffer;
    std::atomic<bool> copyBufferFull { false };

    std::atomic<PresetChanger*> presetChanger { nullptr };
    juce::CriticalSection listenersLock;
    juce::Array<PresetManagerListener*> presetManagerListeners;

    JUCE_DECLARE_NON_COPYABLE (BasePluginOldStyle)
};
