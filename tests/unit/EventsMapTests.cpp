#include <gtest/gtest.h>

#include "framework/EventsMap.h"

TEST (EventsMap, AddAndLookUpBothWays)
{
    EventsMap map;

    EXPECT_TRUE (map.add (7, "Seven"));
    EXPECT_TRUE (map.add (-3, "Minus three"));
    EXPECT_FALSE (map.add (7, "Another seven"));   // id taken
    EXPECT_FALSE (map.add (8, "Seven"));           // name taken

    EXPECT_EQ (map.size(), 2);
    EXPECT_EQ (map.getName (-3), "Minus three");
    EXPECT_EQ (map.getId ("Seven"), 7);

    // Refused additions leave no half entry behind; absent entries give the neutral answers.
    EXPECT_EQ (map.getId ("Another seven"), -1);
    EXPECT_EQ (map.getName (8), "");
    EXPECT_EQ (map.getDisplayName (99), "");
    EXPECT_EQ (map.getId ("seven"), -1);           // names are compared exactly

    map.clear();
    EXPECT_EQ (map.getId ("Seven"), -1);
    EXPECT_TRUE (map.add (7, "Seven"));
}

TEST (EventsMap, PluginCommands)
{
    EventsMap map;
    addPluginCommands (map);

    const std::pair<int, const char*> commands[] = {
        { 1000, "Options" }, { 1001, "About" }, { 1002, "Select next preset" },
        { 1003, "Select previous preset" }, { 1004, "Browse presets" }, { 1005, "Save preset" },
        { 1006, "Save preset as" }, { 1007, "Copy current preset" }, { 1008, "Paste copied preset" },
        { 1009, "Store current preset" }, { 1010, "Toggle Midi Learn" }
    };

    EXPECT_EQ (map.size(), 11);

    for (auto& [id, name] : commands)
    {
        EXPECT_EQ (map.getName (id), name);
        EXPECT_EQ (map.getId (name), id);
    }

    EXPECT_EQ (map.getDisplayName (PluginCommand::toggleMidiLearn), "Toggle midi learn");
    EXPECT_EQ (map.getDisplayName (PluginCommand::options), "Options");

    EXPECT_FALSE (map.add (1005, "Save preset"));
    EXPECT_FALSE (map.add (2000, "Options"));
    EXPECT_EQ (map.size(), 11);
    EXPECT_EQ (map.getName (2000), "");
}

TEST (EventsMap, LoadFromXmlAndResource)
{
    EventsMap map;

    auto xml = juce::parseXML ("<EventsMap>"
                               "<event uid='5' name='Five'/>"
                               "<other uid='6' name='Six'/>"
                               "<event uid='5' name='Again five'/>"
                               "<event name='No id'/>"
                               "<event uid='9'/>"
                               "</EventsMap>");
    ASSERT_NE (xml, nullptr);

    map.add (1, "Before");
    map.loadFromXml (*xml);

    EXPECT_EQ (map.getId ("Before"), -1);          // the load replaces the map
    EXPECT_EQ (map.getId ("Five"), 5);
    EXPECT_EQ (map.getId ("Six"), -1);             // only "event" children count
    EXPECT_EQ (map.getId ("Again five"), -1);      // duplicate id dropped
    EXPECT_EQ (map.getId ("No id"), 0);
    EXPECT_EQ (map.getName (9), "");
    EXPECT_EQ (map.getId (""), 9);
    EXPECT_EQ (map.size(), 3);

    // Another root empties the map; the commands still go in afterwards.
    auto wrong = juce::parseXML ("<Events><event uid='5' name='Five'/></Events>");
    ASSERT_NE (wrong, nullptr);
    map.loadFromXml (*wrong);
    EXPECT_EQ (map.size(), 0);
    addPluginCommands (map);
    EXPECT_EQ (map.size(), 11);

    // The product embeds no events map: loading it finds nothing and keeps the commands.
    map.loadFromResource ("events.xml");
    EXPECT_EQ (map.size(), 11);
    EXPECT_EQ (map.getId ("Toggle Midi Learn"), 1010);
}
