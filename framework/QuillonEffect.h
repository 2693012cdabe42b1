/*
    The base of every effect of the product line. It owns the product's DSP core and its
    tempo clocks, carries MIDI events across host blocks, and cuts each host block into runs
    of samples that it hands to the core, split exactly at the positions of MIDI events and
    clock edges. Every parameter change reaches the core under one lock before the preset
    bank and the host hear of it. It also keeps the line's optional "Quality" setting in the
    state and the user settings.
*/
#pragma once

#include "framework/BasePluginOldStyle.h"
#include "framework/Clock.h"
#include "framework/MidiEventQueue.h"
#include "framework/QuillonEffectCore.h"

class QuillonEffect : public BasePluginOldStyle
{
public:
    /** The interface to the product's DSP core. */
    using Core = QuillonEffectCore;

    /** An effect with numPresetParameters parameters in its presets; stereo in, stereo out. */
    explicit QuillonEffect (int numPresetParameters);

    /** Deletes the clocks and the core. */
    ~QuillonEffect() override;

    //==============================================================================
    /** Creates the clocks and the core, makes the core the preset changer, then runs the preset layer's start-up. */
    void initialise() override;

    /** The product's DSP core, owned by the effect; null by default. */
    virtual std::unique_ptr<Core> createCore()                  { return {}; }
    /** How many tempo clocks the product needs. */
    virtual int getNumClocks() const                            { return 0; }
    /** Whether the product has the "Quality" setting. */
    virtual bool hasQuality() const = 0;
    /** True: a quality change reaches the core only at the next prepareToPlay. */
    virtual bool qualityNeedsRestart() const                    { return true; }

    /** The line's own element inside "PluginState": "UniqueData", with the quality when there is one. */
    virtual std::unique_ptr<juce::XmlElement> createUniqueData();
    /** Restores what createUniqueData wrote. */
    virtual void loadUniqueData (const juce::XmlElement& element);

    /** The current quality index 0..3 from the "Quality" parameter. */
    int getQualityIndex() const;
    /** The quality used when the settings name none, 0..3. */
    int getDefaultQuality() const noexcept                      { return defaultQuality; }

    /** The core, or null. */
    Core* getCore() const noexcept                              { return core.get(); }
    /** The core lock: held around every call that changes core state while audio runs. */
    const juce::CriticalSection& getCoreLock() const noexcept   { return coreLock; }
    /** True between prepareToPlay and releaseResources. */
    bool isPrepared() const noexcept                            { return prepared.load() != 0; }

    //==============================================================================
    void prepareToPlay (double sampleRate, int maximumBlockSize) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using BasePluginOldStyle::processBlock;
    const juce::String getInputChannelName (int channelIndex) const override    { return juce::String (channelIndex + 1); }
    const juce::String getOutputChannelName (int channelIndex) const override   { return juce::String (channelIndex + 1); }

    void loadPluginState (const juce::XmlElement& xml) override;
    std::unique_ptr<juce::XmlElement> createPluginStateXml() override;
    void loadUserSettings (const juce::XmlElement& xml) override;
    std::unique_ptr<juce::XmlElement> createUserSettingsXml() override;

    /** Hands the change to the core under the core lock, then to the preset bank and the host. */
    void parameterChanged (Parameter* parameter) override;

private:
    void flushPendingSamples();
    void handleMidiEvent (const juce::MidiMessage& message);
    void updateClocksFromHost();
    void setQualityFromIndex (int index);

    int pending = 0, position = 0;
    bool stereo = true;
    float* left = nullptr;
    float* right = nullptr;
    int defaultQuality = 0;
    Parameter* qualityParameter = nullptr;
    std::atomic<int> prepared { 0 };
    MidiEventQueue midiQueue;
    juce::CriticalSection coreLock;
    std::unique_ptr<Core> core;
    juce::OwnedArray<Clock> clocks;

    JUCE_DECLARE_NON_COPYABLE (QuillonEffect)
};
