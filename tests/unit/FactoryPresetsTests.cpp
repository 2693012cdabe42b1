#include "framework/EmbeddedResources.h"
#include "framework/ParameterManager.h"
#include "product/VelcroftParameters.h"

#include <gtest/gtest.h>

#include <vector>

namespace FactoryPresetsTestsDetail
{
std::unique_ptr<juce::XmlElement> parseResource (const char* name)
{
    return juce::XmlDocument::parse (loadResourceAsString (name));
}

/** The parameter names of parameters.xml, in order. */
juce::StringArray definedParameterNames()
{
    juce::StringArray names;

    if (auto xml = parseResource ("parameters.xml"))
        for (auto* param : xml->getChildWithTagNameIterator ("param"))
            names.add (param->getStringAttribute ("name"));

    return names;
}

std::vector<double> presetValues (const juce::XmlElement& preset)
{
    std::vector<double> values;

    for (auto* param : preset.getChildWithTagNameIterator ("param"))
        values.push_back (param->getDoubleAttribute ("value", -1.0));

    return values;
}

std::vector<const juce::XmlElement*> allPresets (const juce::XmlElement& bank)
{
    std::vector<const juce::XmlElement*> presets;

    for (auto* group : bank.getChildWithTagNameIterator ("PresetGroup"))
        for (auto* preset : group->getChildWithTagNameIterator ("Preset"))
            presets.push_back (preset);

    return presets;
}

/** Checks the attributes every stored preset carries and that its params follow parameters.xml. */
void expectWellFormedPreset (const juce::XmlElement& preset, const juce::StringArray& names)
{
    const auto presetName = preset.getStringAttribute ("name");
    EXPECT_EQ (preset.getStringAttribute ("application"), "Velcroft") << presetName;
    EXPECT_EQ (preset.getStringAttribute ("rev"), "1") << presetName;
    ASSERT_EQ (preset.getNumChildElements(), VelcroftParameters::numParameters) << presetName;

    for (int i = 0; i < VelcroftParameters::numParameters; ++i)
    {
        auto* param = preset.getChildElement (i);
        EXPECT_EQ (param->getTagName(), "param") << presetName;
        EXPECT_EQ (param->getStringAttribute ("name"), names[i]) << presetName << " param " << i;
        EXPECT_TRUE (param->hasAttribute ("value")) << presetName << " param " << i;
    }
}

TEST (FactoryPresets, BankHoldsThreeGroupsOfFortyTwoCompletePresets)
{
    const auto names = definedParameterNames();
    ASSERT_EQ (names.size(), VelcroftParameters::numParameters);

    auto bank = parseResource ("default.vlprsb");
    ASSERT_NE (bank, nullptr);
    EXPECT_TRUE (bank->hasTagName ("PresetBank"));
    EXPECT_EQ (bank->getStringAttribute ("name"), "Velcroft Default Bank");
    EXPECT_FALSE (bank->hasAttribute ("application"));

    const std::pair<const char*, int> expectedGroups[] = {
        { "Classic Boxes", 11 }, { "Linked Channels", 19 }, { "Unlinked Channels", 12 }
    };

    ASSERT_EQ (bank->getNumChildElements(), 3);

    for (int g = 0; g < 3; ++g)
    {
        auto* group = bank->getChildElement (g);
        EXPECT_TRUE (group->hasTagName ("PresetGroup"));
        EXPECT_EQ (group->getStringAttribute ("name"), expectedGroups[g].first);
        EXPECT_EQ (group->getNumChildElements(), expectedGroups[g].second) << expectedGroups[g].first;
    }

    const auto presets = allPresets (*bank);
    ASSERT_EQ (presets.size(), 42u);

    for (auto* preset : presets)
        expectWellFormedPreset (*preset, names);
}

TEST (FactoryPresets, BankValuesAreThoseOfTheFactoryTable)
{
    auto bank = parseResource ("default.vlprsb");
    ASSERT_NE (bank, nullptr);
    const auto presets = allPresets (*bank);
    ASSERT_EQ (presets.size(), 42u);

    struct Row { size_t slot; const char* name; std::vector<double> values; };

    const Row rows[] = {
        { 0, "MPC 60", { 0.475, 0.685, 0.93, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0.235, 0, 0 } },
        { 10, "SP-1200", { 0.35, 0.705, 0.78, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0.23, 0, 0 } },
        { 11, "Liquid", { 0, 1, 0.7, 0, 0.31, 0.484, 0.236, 1, 1, 0, 1, 1, 0, 1, 1, 0.616, 1, 0 } },
        { 16, "High Voltage", { 0, 0.295, 0.9, 0, 0, 0.72, 0.224, 0.305, 1, 0, 0, 0.724, 0, 1, 0.652, 0.608, 0.73, 0.73 } },
        { 19, "Bottomizer /Ruff'n'Jam", { 0.37, 0.545, 0.76, 0, 0.415, 0.055, 0.595, 1, 1, 0, 1, 1, 0, 1, 0.685, 0.39, 0, 0 } },
        { 38, "Dist'n'Crush", { 0.925, 0.4, 0.885, 0, 0.51, 0.145, 0.03, 0.51, 0.825, 0, 0.49, 0.16, 0.03, 0, 1, 0.175, 0, 0 } },
        { 41, "Stereo Wide", { 0, 1, 0.76, 0, 1, 1, 0, 1, 0.875, 0, 1, 1, 0, 0, 1, 0.5, 0, 0 } },
    };

    for (auto& row : rows)
    {
        EXPECT_EQ (presets[row.slot]->getStringAttribute ("name"), row.name) << "slot " << row.slot;
        EXPECT_EQ (presetValues (*presets[row.slot]), row.values) << row.name;
    }

    // Values are written as the table spells them, not through a float's long decimal form.
    EXPECT_EQ (presets[0]->getChildElement (VelcroftParameters::preamp)->getStringAttribute ("value"), "0.475");
    EXPECT_EQ (presets[0]->getChildElement (VelcroftParameters::leftBits)->getStringAttribute ("value"), "0.685");
}

TEST (FactoryPresets, BankMatchesItsSourceTable)
{
    // Every preset of the embedded bank against the table it is generated from, cell by cell:
    // column 2 + k holds the value of the parameter whose index is k.
    ParameterManager parameters;
    parameters.loadParameterDefinitions ("parameters.xml");
    const auto table = juce::File (VELCROFT_SOURCE_DIR).getChildFile ("product/presets/factory-bank.tsv");
    juce::StringArray lines;
    lines.addLines (table.loadFileAsString());
    lines.removeEmptyStrings();

    auto bank = parseResource ("default.vlprsb");
    ASSERT_NE (bank, nullptr);

    std::vector<std::pair<juce::String, const juce::XmlElement*>> presets;

    for (auto* group : bank->getChildWithTagNameIterator ("PresetGroup"))
        for (auto* preset : group->getChildWithTagNameIterator ("Preset"))
            presets.emplace_back (group->getStringAttribute ("name"), preset);

    size_t slot = 0;

    for (auto& line : lines)
    {
        if (line.startsWithChar ('#'))
            continue;

        ASSERT_LT (slot, presets.size());
        juce::StringArray cells;
        cells.addTokens (line, "\t", {});
        ASSERT_EQ (cells.size(), 2 + VelcroftParameters::numParameters) << line;

        auto& [groupName, preset] = presets[slot];
        EXPECT_EQ (groupName, cells[0]) << "slot " << slot;
        EXPECT_EQ (preset->getStringAttribute ("name"), cells[1]) << "slot " << slot;

        for (int k = 0; k < VelcroftParameters::numParameters; ++k)
        {
            const auto name = parameters.getParameterName (k);
            auto* param = preset->getChildByAttribute ("name", name);
            ASSERT_NE (param, nullptr) << cells[1] << ": no " << name;
            EXPECT_EQ (param->getStringAttribute ("value"), cells[k + 2]) << cells[1] << ", " << name;
        }

        ++slot;
    }

    EXPECT_EQ (slot, presets.size());
}

TEST (FactoryPresets, EmptyPresetHoldsTheNeutralValues)
{
    const auto names = definedParameterNames();
    ASSERT_EQ (names.size(), VelcroftParameters::numParameters);

    auto preset = parseResource ("default.vlprs");
    ASSERT_NE (preset, nullptr);
    EXPECT_TRUE (preset->hasTagName ("Preset"));
    EXPECT_EQ (preset->getStringAttribute ("name"), "empty");
    expectWellFormedPreset (*preset, names);

    const std::vector<double> expected { 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0, 1, 1, 0.5, 0, 0 };
    EXPECT_EQ (presetValues (*preset), expected);
    EXPECT_TRUE (loadResourceAsString ("default.vlprs").startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
}

} // namespace FactoryPresetsTestsDetail
