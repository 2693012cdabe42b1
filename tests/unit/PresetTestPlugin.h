/*
    A small plug-in on the preset layer for the preset, file and state tests: "Velcroft", code
    "VL", the 18 parameters of the embedded definitions, stereo buses, audio passed through.
*/
#pragma once

#include "framework/QuillonOldCompatible.h"
#include "product/VelcroftParameters.h"

#include <gtest/gtest.h>

#include <vector>

namespace PresetTestSupport
{
class PresetPlugin : public QuillonOldCompatible
{
public:
    PresetPlugin()
        : QuillonOldCompatible (VelcroftParameters::numParameters)
    {
    }

    juce::String getPluginName() const override                     { return "Velcroft"; }
    juce::String getPluginCode() const override                     { return "VL"; }
    int getNumHostParameters() override                             { return VelcroftParameters::numParameters; }
    bool hasQuality() const override                                { return false; }

    void prepareToPlay (double, int) override                       {}
    void releaseResources() override                                {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}

    juce::String getSoftwareName() const override                   { return "Velcroft"; }
    juce::String getSoftwareDescription() const override            { return "Test"; }
    juce::String getSoftwareVersion() const override                { return "1.3.1"; }
    juce::String getSoftwareWebPage() const override                { return {}; }
    juce::String getSoftwareYear() const override                   { return "2008"; }
    juce::String getBuildDate() const override                      { return {}; }
    juce::String getBuildNote() const override                      { return {}; }
    juce::String getBuildNumber() const override                    { return {}; }
    juce::String getSoftwareFormat() const override                 { return "VST"; }
    juce::String getBuildRevision() const override                  { return {}; }

    /** The values of all parameters, by index. */
    std::vector<float> values()
    {
        std::vector<float> v;
        for (int k = 0; k < VelcroftParameters::numParameters; ++k)
            v.push_back (getParameterManager().getNormalisedValue (k));
        return v;
    }

    /** Sets parameter k with notification. */
    void set (int k, float v)                                       { getParameterManager().setNormalisedValue (k, v); }

    /** The current preset pseudo-parameters. */
    int presetNumberParameter()                                     { return getParameterManager().getParameter (ParameterManager::currentPresetNumberIndex)->getIntValue(); }
    juce::String presetNameParameter()                              { return getParameterManager().getText (ParameterManager::currentPresetNameIndex); }
};

/** Parses an XML text written by a test; a failed parse fails the test. */
inline std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
{
    auto xml = juce::parseXML (text);
    EXPECT_TRUE (xml != nullptr) << text;
    return xml;
}

/** The values of a preset. */
inline std::vector<float> valuesOf (const BasePluginOldStyle::Preset& preset)
{
    std::vector<float> v;
    for (int k = 0; k < preset.getNumValues(); ++k)
        v.push_back (preset.getValue (k));
    return v;
}

/** Loads a bank of groups (name, count) whose presets are named "p" + slot and set "Preamp" to slot / 1000;
    their other values come from the empty preset. */
inline void makeBank (PresetPlugin& plugin, const std::vector<std::pair<juce::String, int>>& groupSizes)
{
    juce::String text = "<PresetBank name=\"Test\">";
    int slot = 0;

    for (auto& [name, count] : groupSizes)
    {
        text << "<PresetGroup name=\"" << name << "\">";
        for (int i = 0; i < count; ++i, ++slot)
            text << "<Preset application=\"Velcroft\" name=\"p" << slot << "\"><param name=\"Preamp\" value=\""
                 << juce::String (slot / 1000.0) << "\"/></Preset>";
        text << "</PresetGroup>";
    }

    text << "</PresetBank>";
    auto xml = juce::parseXML (text);
    ASSERT_TRUE (xml != nullptr);
    ASSERT_TRUE (plugin.loadPresetBankFromXml (*xml));
}

/** The slot names of the whole bank, in order. */
inline juce::StringArray slotNames (PresetPlugin& plugin)
{
    juce::StringArray names;
    for (int i = 0; i < BasePluginOldStyle::numPresetSlots; ++i)
        names.add (plugin.getPresetName (i));
    return names;
}

/** The group layout as "name:count" items. */
inline juce::StringArray groupLayout (PresetPlugin& plugin)
{
    juce::StringArray layout;
    for (int g = 0; g < plugin.getNumGroups(); ++g)
        layout.add (plugin.getGroupName (g) + ":" + juce::String (plugin.getNumPresetsInGroup (g)));
    return layout;
}

/** Counts the changes of one parameter. */
struct ChangeCounter : public Parameter::Listener
{
    void parameterChanged (Parameter*) override                     { ++count; }
    int count = 0;
};

/** Records silent change requests. */
struct FakeChanger : public PresetChanger
{
    void beginPresetChange() override                               { ++begun; }
    int begun = 0;
};

/** Counts applies. */
struct ApplyCounter : public PresetManagerListener
{
    void currentPresetApplied() override                            { ++applied; }
    int applied = 0;
};
} // namespace PresetTestSupport
