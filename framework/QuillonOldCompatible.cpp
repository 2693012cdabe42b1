#include "framework/QuillonOldCompatible.h"

QuillonOldCompatible::QuillonOldCompatible (int numPresetParameters)
    : QuillonEffect (numPresetParameters)
{
}

//==============================================================================
juce::String QuillonOldCompatible::getOldExtension (const char* suffix) const
{
    return ("." + getPluginCode() + suffix).toLowerCase();
}

juce::String QuillonOldCompatible::getOldPresetFileExtension (int) const       { return getOldExtension ("p"); }
juce::String QuillonOldCompatible::getOldPresetBankFileExtension (int) const   { return getOldExtension ("b"); }
juce::String QuillonOldCompatible::getOldMidiCCMapFileExtension (int) const    { return MidiControl::getOldMapFileExtension (getPluginCode()); }

//==============================================================================
bool QuillonOldCompatible::isPresetXml (const juce::XmlElement& element) const
{
    return QuillonEffect::isPresetXml (element) || element.hasTagName (getOldTag ("Preset"));
}

bool QuillonOldCompatible::isPresetGroupXml (const juce::XmlElement& element) const
{
    return QuillonEffect::isPresetGroupXml (element) || element.hasTagName (getOldTag ("PresetGroup"));
}

bool QuillonOldCompatible::isPresetBankXml (const juce::XmlElement& element) const
{
    return QuillonEffect::isPresetBankXml (element) || element.hasTagName (getOldTag ("PresetBank"));
}

bool QuillonOldCompatible::isOldPluginStateXml (const juce::XmlElement& xml) const
{
    return xml.hasTagName (getOldTag ("PluginState"));
}

bool QuillonOldCompatible::isPluginStateXml (const juce::XmlElement& xml) const
{
    return QuillonEffect::isPluginStateXml (xml) || isOldPluginStateXml (xml);
}

void QuillonOldCompatible::loadPluginState (const juce::XmlElement& xml)
{
    if (! isOldPluginStateXml (xml))
    {
        QuillonEffect::loadPluginState (xml);
        return;
    }

    const auto* lastBank = findLastPresetBank (xml);

    for (auto* child : xml.getChildIterator())
    {
        if (child->hasTagName ("UniqueData"))
            loadUniqueData (*child);
        else if (child == lastBank)
            loadPresetBankFromXml (*child);
        else if (getMidiControl().isMapElement (*child))
            getMidiControl().loadFromXml (*child);
    }

    // The older state holds no parameter values: they come from the selected slot.
    setCurrentPresetIndex (xml.getIntAttribute ("currentPreset", 0), true);
    applyCurrentPreset();
}
