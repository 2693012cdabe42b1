/*
    Maps MIDI control-change numbers to plug-in parameters, one controller to at most one
    parameter and one parameter to at most one controller, and drives the mapped parameter
    when a controller message arrives. It runs MIDI learn (the user moves a controller and a
    parameter, in either order, to pair them), remembers the optional default map file of the
    user settings, and reads and writes the map as a "MidiControlMap" element and as files.

    One re-entrant lock guards the map, the count, learn mode and the pending pair. A
    controller message takes its parameter under the lock and sets it after releasing it:
    the parameter's synchronous listeners take the effect's core lock and tell the host, and
    no lock of ours may be held while the host is called. The notices to listeners go through
    the message thread, except learnStateChanged from setLearnMode on the message thread,
    which is called at once.
*/
#pragma once

#include "framework/ListenerArray.h"
#include "framework/ParameterManager.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <atomic>

class MidiControl : public juce::AsyncUpdater
{
public:
    //==============================================================================
    /** Told of changes to the map, to learn mode and of mapped controllers moving. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The map changed (message thread). */
        virtual void midiMapChanged (MidiControl* source) {}

        /** Learn mode or the pending pair changed (message thread; at once from setLearnMode
            under the lock when that runs on the message thread). */
        virtual void learnStateChanged (MidiControl* source) {}

        /** A mapped controller moved; its parameter is now the last-moved one (message thread). */
        virtual void controllerMoved (MidiControl* source) {}
    };

    /** The number of MIDI controllers, and so of map entries. */
    static constexpr int numControllers = 128;

    //==============================================================================
    /** Creates an empty map whose parameters are looked up in the given manager, which must outlive it. */
    explicit MidiControl (ParameterManager& parameterManager);

    ~MidiControl() override;

    //==============================================================================
    /** Sets the plug-in name written into map files and compared with theirs. */
    void setPluginName (const juce::String& newName);

    /** The plug-in name given by setPluginName. */
    juce::String getPluginName() const;

    //==============================================================================
    /** Switches learn mode; a change clears the pending pair and tells every listener, at once
        on the message thread and through it from any other thread. */
    void setLearnMode (bool shouldLearn);

    /** True while learn mode is on. */
    bool isLearnMode() const;

    /** In learn mode, takes a moved parameter as one half of a pair (automatable parameters only). */
    void learnParameter (Parameter* parameter);

    /** In learn mode, takes a moved controller as one half of a pair. */
    void learnController (int controller);

    /** Assigns the pending pair when both halves are there and the controller is free; always posts a learn notice. */
    void tryAssignPending();

    /** In learn mode, makes an assigned controller and its parameter the pending pair. */
    void setPendingAssignment (int controller);

    /** The parameter waiting for a controller, or null. */
    Parameter* getPendingParameter() const;

    /** The controller waiting for a parameter, or -1. */
    int getPendingController() const;

    //==============================================================================
    /** Maps a controller to a parameter (null frees it), moving the parameter away from any
        other controller. Controllers outside 0..127 are refused. */
    void assignController (int controller, Parameter* parameter, bool notify);

    /** Frees a controller; in learn mode the pending pair is cleared too. */
    void removeAssignment (int controller);

    /** Frees every controller and posts a map notice; in learn mode the pending pair is cleared too. */
    void clearMap();

    /** The lowest controller mapped to the parameter, or -1. */
    int indexOfParameter (const Parameter* parameter) const;

    /** The parameter mapped to a controller, or null (also for controllers outside 0..127). */
    Parameter* getAssignedParameter (int controller) const;

    /** The number of controllers that hold a parameter. */
    int getNumAssignments() const;

    /** The parameter of the last controller message that hit a mapping, or null. */
    Parameter* getLastMovedParameter() const noexcept   { return lastMoved.load(); }

    /** The lock guarding the map and learn state; hold it to read several entries consistently. */
    const juce::CriticalSection& getLock() const noexcept { return lock; }

    //==============================================================================
    /** Handles one incoming MIDI event (audio thread): a control change drives its mapped
        parameter to value / 127, outside the lock, and, in learn mode, is learnt. Anything
        else, and a message whose data bytes are not 0..127, is ignored. */
    void handleMidiMessage (const juce::MidiMessage& message);

    //==============================================================================
    /** True for a "MidiControlMap" element, or the older "MidiCCMap". */
    virtual bool isMapElement (const juce::XmlElement& element) const;

    /** True for a map element made by this plug-in: no own name yet, or its "name" or "application" equals it. */
    virtual bool isMapForThisPlugin (const juce::XmlElement& element) const;

    /** Replaces the map with the element's assignments and switches learn mode off. An
        element that is not a map of this plug-in is refused (false) and changes nothing. */
    virtual bool loadFromXml (const juce::XmlElement& element);

    /** The map as a "MidiControlMap" element, assignments in controller order. */
    std::unique_ptr<juce::XmlElement> createXml() const;

    /** Loads a map file (any extension); a file that cannot be read, does not parse or is not
        a map of this plug-in is refused (false) and the current map is kept. */
    bool loadFromFile (const juce::File& file);

    /** Writes the map to a file; the previous file survives a failed write, which answers false. */
    bool saveToFile (const juce::File& file) const;

    //==============================================================================
    /** Sets whether the user settings name a map file to load at start-up. */
    void setDefaultMapEnabled (bool shouldLoadDefaultMap);

    /** True when the user settings name a map file to load at start-up. */
    bool isDefaultMapEnabled() const;

    /** Sets the full path of the map file to load at start-up. */
    void setDefaultMapFile (const juce::String& path);

    /** The full path of the map file to load at start-up. */
    juce::String getDefaultMapFile() const;

    /** Loads the default map file when it is enabled and names an absolute path; false when nothing was loaded. */
    bool loadDefaultMap();

    //==============================================================================
    /** The map file extension for a two-letter plug-in code: "." + code + "ccmap", lower case. */
    static juce::String getMapFileExtension (const juce::String& pluginCode);

    /** The older map file extension, still read: "." + code + "c", lower case. */
    static juce::String getOldMapFileExtension (const juce::String& pluginCode);

    //==============================================================================
    /** Adds a listener; null or a present listener is ignored. */
    void addListener (Listener* listener);

    /** Removes a listener; a listener may remove itself while it is being told. */
    void removeListener (Listener* listener);

    /** Delivers the waiting notices (message thread). */
    void handleAsyncUpdate() override;

private:
    using Map = std::array<Parameter*, (size_t) numControllers>;

    static bool isValidController (int controller) noexcept   { return controller >= 0 && controller < numControllers; }
    static bool hasApplicationName (const juce::XmlElement& element, const juce::String& name);

    void updateCount();
    void clearPending();
    void postNotice (std::atomic<bool>& flag);
    void callListeners (void (Listener::*method) (MidiControl*));

    ParameterManager& parameters;
    ListenerArray<Listener> listeners;

    juce::CriticalSection lock;
    Map map {};
    int count = 0;
    bool learn = false;
    Parameter* pendingParameter = nullptr;
    int pendingController = -1;
    juce::String name;
    bool defaultMapEnabled = false;
    juce::String defaultMapFile;

    std::atomic<bool> mapChanged { false }, learnChanged { false }, controllerWasMoved { false };
    std::atomic<Parameter*> lastMoved { nullptr };

    JUCE_DECLARE_NON_COPYABLE (MidiControl)
};
