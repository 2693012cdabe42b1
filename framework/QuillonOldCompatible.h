/*
    The Quillon product line's layer for files and states written by its earlier releases:
    it accepts the older element names (the plug-in's name + "Preset", "PresetGroup",
    "PresetBank"), the older file extensions (".??p", ".??b", ".??c" for presets, banks and
    MIDI maps) and the older state root (the plug-in's name + "PluginState").

    In the product chain it sits on the effect base QuillonEffect; until that is in place it
    rests directly on the preset layer.
*/
#pragma once

#include "framework/QuillonEffect.h"

class QuillonOldCompatible : public QuillonEffect
{
public:
    /** Creates the layer for an effect with numPresetParameters parameters in its presets. */
    explicit QuillonOldCompatible (int numPresetParameters);

    //==============================================================================
    int getNumOldPresetFileExtensions() const override                  { return 1; }
    /** "." + code + "p", lower case (the index is ignored). */
    juce::String getOldPresetFileExtension (int) const override;
    int getNumOldPresetBankFileExtensions() const override              { return 1; }
    /** "." + code + "b", lower case (the index is ignored). */
    juce::String getOldPresetBankFileExtension (int) const override;
    int getNumOldMidiCCMapFileExtensions() const override               { return 1; }
    /** "." + code + "c", lower case (the index is ignored). */
    juce::String getOldMidiCCMapFileExtension (int) const override;

    //==============================================================================
    /** Also the older tag (name + "Preset"), with any or no "application". */
    bool isPresetXml (const juce::XmlElement& element) const override;
    /** Also the older tag (name + "PresetGroup"). */
    bool isPresetGroupXml (const juce::XmlElement& element) const override;
    /** Also the older tag (name + "PresetBank"). */
    bool isPresetBankXml (const juce::XmlElement& element) const override;

    /** Also the older state root (name + "PluginState"). */
    bool isPluginStateXml (const juce::XmlElement& xml) const override;
    /** True for the older state root only. */
    bool isOldPluginStateXml (const juce::XmlElement& xml) const;

    /** Reads the older state root (line data, bank and MIDI map, then selects and applies
        "currentPreset"); any other root goes to the current reader. */
    void loadPluginState (const juce::XmlElement& xml) override;

private:
    juce::String getOldTag (const char* suffix) const                  { return getPluginName() + suffix; }
    juce::String getOldExtension (const char* suffix) const;

    JUCE_DECLARE_NON_COPYABLE (QuillonOldCompatible)
};
