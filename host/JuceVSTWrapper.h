/*
    The bridge between the VST 2.4 binding and a juce::AudioProcessor: it fills the
    effect record from the processor and routes the host's calls to it: parameters,
    chunks, suspend and resume, audio, MIDI events and the editor window.
*/
#pragma once

#include "host/AudioEffectX.h"
#include "host/HostedProcessor.h"
#include "host/JuceRuntime.h"
#include "host/PendingMidiEvents.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>

class JuceVSTWrapper final : public AudioEffectX,
                             private HostedProcessor::HostNotifier,
                             private juce::AudioPlayHead,
                             private juce::ComponentListener
{
public:
    /** Wraps processor for the host behind audioMaster; call from any thread but the message thread. */
    JuceVSTWrapper (vst::HostCallback audioMaster, std::unique_ptr<juce::AudioProcessor> processor);

    /** Closes the editor and deletes the processor on the message thread. */
    ~JuceVSTWrapper() override;

    /** The wrapped processor. */
    juce::AudioProcessor& getProcessor() const noexcept       { return *processor; }

    //==============================================================================
    vst::IntPtr dispatcher (vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt) override;

    void processReplacing (float** inputs, float** outputs, vst::int32 sampleFrames) override;
    vst::int32 processEvents (vst::VstEvents* events) override;

    void setParameter (vst::int32 index, float value) override;
    float getParameter (vst::int32 index) override;
    void getParameterName (vst::int32 index, char* text) override;
    void getParameterDisplay (vst::int32 index, char* text) override;
    void getParameterLabel (vst::int32 index, char* text) override;
    bool canParameterBeAutomated (vst::int32 index) override;

    vst::int32 getChunk (void** data, bool isPreset) override;
    vst::int32 setChunk (void* data, vst::int32 byteSize, bool isPreset) override;

    void resume() override;
    void suspend() override;
    void setSampleRate (float newRate) override;
    void setBlockSize (vst::int32 newSize) override;

    bool getEffectName (char* name) override;
    bool getVendorString (char* text) override;
    bool getProductString (char* text) override;
    vst::int32 getVendorVersion() override;
    vst::int32 canDo (char* text) override;
    vst::int32 getPlugCategory() override;
    bool setBypass (bool onOff) override;

private:
    //==============================================================================
    void hostAutomate (int slot, float normalisedValue) override;
    void hostBeginEdit (int slot) override;
    void hostEndEdit (int slot) override;
    void hostUpdateDisplay() override;
    void hostIoChanged() override;

    juce::Optional<PositionInfo> getPosition() const override;

    void componentMovedOrResized (juce::Component&, bool wasMoved, bool wasResized) override;

    vst::IntPtr handleEditorOpcode (vst::int32 opcode, vst::IntPtr value, void* ptr);
    void openEditor (void* parentWindow);
    void closeEditor();
    void releaseHeldMouseButtons();
    void requestHostSize (int width, int height);
    void sendPendingSizeRequest();
    void prepareProcessor();
    void copyInputsToOutputs (float* const* inputs, float* const* outputs, int numInputs, int numOutputs, int numFrames);
    void copyMidiEventsForBlock (int numSamples);

    // Keeps JUCE running until everything below has gone.
    JuceRuntime::Holder runtime;

    std::unique_ptr<juce::AudioProcessor> processor;
    HostedProcessor* hosted = nullptr;
    std::unique_ptr<juce::AudioProcessorEditor> editor;
    vst::ERect editorBounds {};

    // The editor's size as the host last learnt it (effEditGetRect or a size request), touched
    // with the message thread held; (0, 0) until the host first asks.
    int hostKnownWidth = 0, hostKnownHeight = 0;

    // A size the host has still to be asked for: width in the high half, height in the low
    // one, 0 for none. The editor changes size on the message thread, but the host is asked on
    // its own thread, in its next editor call, with no lock of ours held.
    std::atomic<juce::uint64> pendingHostSize { 0 };

    PendingMidiEvents pendingMidi;
    juce::MidiBuffer blockMidi;
    juce::CriticalSection midiLock;
    juce::MemoryBlock chunkMemory;     // kept until the next chunk call
    juce::CriticalSection chunkLock;
    juce::CriticalSection restoreLock;  // one restore at a time

    // Switched on (prepared, not released), and prepared at least once: both change only
    // under the processor's callback lock.
    std::atomic<bool> isPrepared { false }, hasBeenPrepared { false };

    // The inputs of crossed buffers are read into this before any output is written.
    static constexpr int maxChannels = 32, scratchFrames = 512;
    juce::AudioBuffer<float> inputScratch;

    JUCE_DECLARE_NON_COPYABLE (JuceVSTWrapper)
};
