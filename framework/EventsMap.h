/*
    The two-way table between event ids and event names. Skin controls name the commands
    they fire ("Save preset", "Toggle Midi Learn"); the editor and the preset layer handle
    them by id. Each id and each name occurs at most once.
*/
#pragma once

#include <juce_core/juce_core.h>

#include <map>

/** The ids of the editor commands that every plug-in registers in its events map. */
namespace PluginCommand
{
    enum : int
    {
        options              = 1000,
        about                = 1001,
        selectNextPreset     = 1002,
        selectPreviousPreset = 1003,
        browsePresets        = 1004,
        savePreset           = 1005,
        savePresetAs         = 1006,
        copyCurrentPreset    = 1007,
        pasteCopiedPreset    = 1008,
        storeCurrentPreset   = 1009,
        toggleMidiLearn      = 1010
    };
}

class EventsMap
{
public:
    EventsMap() = default;

    /** Adds an event; false (and nothing changes) when its id or its name is already present. */
    bool add (int id, const juce::String& name);

    /** The name of an event, or an empty String when there is no such id. */
    juce::String getName (int id) const;

    /** The id of the event with this name, or -1 when there is no such name. */
    int getId (const juce::String& name) const;

    /** The name as shown to the user: first character upper case, all the others lower case. */
    juce::String getDisplayName (int id) const;

    /** The number of events in the map. */
    int size() const noexcept                       { return (int) namesById.size(); }

    /** Removes every event. */
    void clear();

    /** Replaces the map with the "event" children of an "EventsMap" element; another root leaves the map empty. */
    void loadFromXml (const juce::XmlElement& root);

    /** Replaces the map with the embedded XML resource of that name; a missing or unparsable resource changes nothing. */
    void loadFromResource (const juce::String& resourceName);

private:
    std::map<juce::String, int> idsByName;
    std::map<int, juce::String> namesById;

    JUCE_DECLARE_NON_COPYABLE (EventsMap)
};

/** Registers the editor commands 1000 to 1010 in the map, in id order. */
void addPluginCommands (EventsMap& map);
