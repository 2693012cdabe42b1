/*
    The Velcroft processor: identity, host parameters and state. Audio passes through
    unchanged for now.
*/
#pragma once

#include "host/HostedProcessor.h"

#include <juce_audio_processors/juce_audio_processors.h>

class Velcroft final : public juce::AudioProcessor,
                       public HostedProcessor
{
public:
    Velcroft();

    //==============================================================================
    const juce::String getName() const override                  { return "Velcroft"; }
    void prepareToPlay (double, int) override                    {}
    void releaseResources() override                             {}
    void processBlock (juce::AudioBuffer<float>&, juce::MidiBuffer&) override {}
    double getTailLengthSeconds() const override                 { return 0.0; }
    bool acceptsMidi() const override                            { return true; }
    bool producesMidi() const override                           { return false; }
    bool hasEditor() const override                              { return true; }
    juce::AudioProcessorEditor* createEditor() override;
    int getNumPrograms() override                                { return 0; }
    int getCurrentProgram() override                             { return 0; }
    void setCurrentProgram (int) override                        {}
    const juce::String getProgramName (int) override             { return {}; }
    void changeProgramName (int, const juce::String&) override   {}
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;

    //==============================================================================
    int getNumHostParameters() override                          { return values.size(); }
    float getHostParameter (int i) override;
    void setHostParameter (int i, float value) override;
    juce::String getHostParameterName (int i) override;
    juce::String getHostParameterText (int i) override;
    bool isHostParameterAutomatable (int i) override;
    int getVstUniqueId() override;
    int getVstVendorVersion() override                           { return 0x10301; }
    juce::String getVendorName() override                        { return "Kestrom Audio Works"; }

private:
    bool isValidSlot (int i) const noexcept                      { return i >= 0 && i < values.size(); }

    juce::StringArray names;
    juce::Array<float> values;

    JUCE_DECLARE_NON_COPYABLE (Velcroft)
};
