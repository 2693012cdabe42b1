#include "framework/EventsMap.h"
#include "framework/EmbeddedResources.h"

bool EventsMap::add (int id, const juce::String& name)
{
    if (namesById.count (id) != 0 || idsByName.count (name) != 0)
        return false;

    namesById.emplace (id, name);
    idsByName.emplace (name, id);
    return true;
}

juce::String EventsMap::getName (int id) const
{
    const auto it = namesById.find (id);
    return it != namesById.end() ? it->second : juce::String();
}

int EventsMap::getId (const juce::String& name) const
{
    const auto it = idsByName.find (name);
    return it != idsByName.end() ? it->second : -1;
}

juce::String EventsMap::getDisplayName (int id) const
{
    const auto name = getName (id);

    if (name.isEmpty())
        return {};

    return name.substring (0, 1).toUpperCase() + name.substring (1).toLowerCase();
}

void EventsMap::clear()
{
    namesById.clear();
    idsByName.clear();
}

void EventsMap::loadFromXml (const juce::XmlElement& root)
{
    clear();

    if (! root.hasTagName ("EventsMap"))
        return;

    for (auto* e : root.getChildWithTagNameIterator ("event"))
        add (e->getIntAttribute ("uid", 0), e->getStringAttribute ("name"));
}

void EventsMap::loadFromResource (const juce::String& resourceName)
{
    const auto text = loadResourceAsString (resourceName);

    if (text.isEmpty())
        return;

    if (auto xml = juce::XmlDocument::parse (text))
        loadFromXml (*xml);
}

void addPluginCommands (EventsMap& map)
{
    map.add (PluginCommand::options,              "Options");
    map.add (PluginCommand::about,                "About");
    map.add (PluginCommand::selectNextPreset,     "Select next preset");
    map.add (PluginCommand::selectPreviousPreset, "Select previous preset");
    map.add (PluginCommand::browsePresets,        "Browse presets");
    map.add (PluginCommand::savePreset,           "Save preset");
    map.add (PluginCommand::savePresetAs,         "Save preset as");
    map.add (PluginCommand::copyCurrentPreset,    "Copy current preset");
    map.add (PluginCommand::pasteCopiedPreset,    "Paste copied preset");
    map.add (PluginCommand::storeCurrentPreset,   "Store current preset");
    map.add (PluginCommand::toggleMidiLearn,      "Toggle Midi Learn");
}
