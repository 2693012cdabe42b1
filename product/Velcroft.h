/*
    The Velcroft plug-in: the product's identity, its 18 parameters and their display
    texts, its bit-crusher core, and the preset revision rule. Everything else comes from
    the framework's chain of bases.
*/
#pragma once

#include "framework/QuillonOldCompatible.h"
#include "product/VelcroftParameters.h"

class VelcroftCore;

class Velcroft final : public QuillonOldCompatible
{
public:
    Velcroft();

    /** Writes the user settings beside the plug-in. */
    ~Velcroft() override;

    //==============================================================================
    juce::String getPluginName() const override                 { return "Velcroft"; }
    juce::String getPluginCode() const override                 { return "VL"; }
    int getNumHostParameters() override                         { return VelcroftParameters::numParameters; }
    bool hasQuality() const override                            { return false; }
    std::unique_ptr<Core> createCore() override;
    /** The product's editor, a VelcroftEditor. */
    std::unique_ptr<juce::Component> createEditorComponent() override;

    /** The text the host shows for a parameter's value, in the product's own units. */
    juce::String getDisplayText (int index);
    juce::String getParameterValueText (int index) override     { return getDisplayText (index); }

    /** Hands the change on; the host re-reads its texts when the channels are linked or unlinked. */
    void parameterChanged (Parameter* parameter) override;

    /** Presets without a revision predate the filter order: it reads as "Post" unless given. */
    bool loadPresetFromXml (const juce::XmlElement& element, Preset& preset) override;
    /** Every preset written carries the revision "1". */
    std::unique_ptr<juce::XmlElement> createPresetXml (const Preset& preset) override;

    //==============================================================================
    juce::String getSoftwareName() const override               { return "Velcroft"; }
    juce::String getSoftwareDescription() const override        { return "High Quality Bit Crusher"; }
    juce::String getSoftwareVersion() const override            { return "1.3.1"; }
    juce::String getSoftwareWebPage() const override            { return "https://kestrom-audio.example/velcroft"; }
    juce::String getSoftwareYear() const override               { return "2008"; }
    juce::String getBuildDate() const override                  { return "2012-02-27"; }
    juce::String getBuildNote() const override                  { return {}; }
    juce::String getBuildNumber() const override                { return juce::String (274) + "." + juce::String (1324); }
    juce::String getSoftwareFormat() const override             { return "VST"; }
    juce::String getBuildRevision() const override             { return "0"; }

private:
    VelcroftCore* getVelcroftCore() const;

    JUCE_DECLARE_NON_COPYABLE (Velcroft)
};
