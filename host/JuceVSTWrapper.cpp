#include "host/JuceVSTWrapper.h"
#include "host/JuceX11Display.h"

namespace
{
int numHostParametersOf (juce::AudioProcessor& p)
{
    auto* hosted = dynamic_cast<HostedProcessor*> (&p);
    return hosted != nullptr ? hosted->getNumHostParameters() : 0;
}

/** Copies text into a host buffer of maxBytes bytes, terminating zero included. */
void copyToHostBuffer (char* dest, const juce::String& text, size_t maxBytes)
{
    if (dest != nullptr)
        text.copyToUTF8 (dest, maxBytes);
}
} // namespace

JuceVSTWrapper::JuceVSTWrapper (vst::HostCallback audioMasterToUse, std::unique_ptr<juce::AudioProcessor> processorToWrap)
    : AudioEffectX (audioMasterToUse, processorToWrap->getNumPrograms(), numHostParametersOf (*processorToWrap)),
      processor (std::move (processorToWrap))
{
    hosted = dynamic_cast<HostedProcessor*> (processor.get());

    setNumInputs (processor->getTotalNumInputChannels());
    setNumOutputs (processor->getTotalNumOutputChannels());
    canProcessReplacing();
    programsAreChunks();
    setInitialDelay (processor->getLatencySamples());

    auto* effect = getAeffect();
    effect->flags &= ~(vst::effFlagsIsSynth | vst::effFlagsNoSoundInStop);

    if (processor->hasEditor())
        effect->flags |= vst::effFlagsHasEditor;

    if (hosted != nullptr)
    {
        setUniqueID (hosted->getVstUniqueId());
        effect->version = hosted->getVstVendorVersion();
        hosted->setHostNotifier (this);
    }

    // Room for every event a block can take, so the audio thread never allocates for them.
    blockMidi.ensureSize (pendingMidi.getMidiBufferBytes());
    inputScratch.setSize (juce::jmax (1, (int) getAeffect()->numInputs), scratchFrames);

    processor->setPlayHead (this);
    processor->setRateAndBufferSizeDetails (getSampleRate(), getBlockSize());
}

JuceVSTWrapper::~JuceVSTWrapper()
{
    if (hosted != nullptr)
        hosted->setHostNotifier (nullptr);

    const juce::MessageManagerLock lock;
    closeEditor();
    processor.reset();
}

//==============================================================================
vst::IntPtr JuceVSTWrapper::dispatcher (vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt)
{
    switch (opcode)
    {
        case vst::effEditGetRect:
        case vst::effEditOpen:
        case vst::effEditClose:
        {
            const auto result = handleEditorOpcode (opcode, value, ptr);
            sendPendingSizeRequest();
            return result;
        }

        case vst::effEditIdle:
            // Hosts call this many times a second: it leaves the message thread asleep.
            sendPendingSizeRequest();
            return 0;

        default:
            return AudioEffectX::dispatcher (opcode, index, value, ptr, opt);
    }
}

//==============================================================================
void JuceVSTWrapper::prepareProcessor()
{
    const auto rate = (double) getSampleRate();
    const auto block = juce::jmax (1, (int) getBlockSize());

    processor->setRateAndBufferSizeDetails (rate, block);
    processor->prepareToPlay (rate, block);
    isPrepared = true;
    hasBeenPrepared = true;
}

// A host may switch, or change the rate, while its audio thread runs (Ardour restores state
// that way): each change waits for the block in progress under the callback lock.
void JuceVSTWrapper::resume()
{
    {
        const juce::ScopedLock sl (processor->getCallbackLock());
        prepareProcessor();
    }

    wantEvents();
}

void JuceVSTWrapper::suspend()
{
    const juce::ScopedLock sl (processor->getCallbackLock());

    if (isPrepared)
    {
        isPrepared = false;
        processor->releaseResources();
    }
}

void JuceVSTWrapper::setSampleRate (float newRate)
{
    const juce::ScopedLock sl (processor->getCallbackLock());
    AudioEffectX::setSampleRate (newRate);

    // A host may change the rate while running, without suspending first.
    if (isPrepared)
        prepareProcessor();
}

void JuceVSTWrapper::setBlockSize (vst::int32 newSize)
{
    const juce::ScopedLock sl (processor->getCallbackLock());
    AudioEffectX::setBlockSize (newSize);
}

vst::int32 JuceVSTWrapper::processEvents (vst::VstEvents* events)
{
    if (events == nullptr || events->numEvents <= 0)
        return 0;

    const juce::ScopedLock sl (midiLock);

    for (vst::int32 i = 0; i < events->numEvents; ++i)
    {
        auto* e = events->events[i];

        if (e == nullptr || e->type != vst::kVstMidiType)
            continue;

        auto* midi = reinterpret_cast<const vst::VstMidiEvent*> (e);
        const auto* bytes = reinterpret_cast<const juce::uint8*> (midi->midiData);

        // A message starts with a status byte; a stray data byte is no event.
        if ((bytes[0] & 0x80) == 0 || bytes[0] == 0xf0)
            continue;

        // An event before the block's start belongs to no block.
        if (midi->deltaFrames < 0)
            continue;

        const auto length = juce::jmin (3, juce::MidiMessage::getMessageLengthFromFirstByte (bytes[0]));
        pendingMidi.add (bytes, length, (int) midi->deltaFrames);
    }

    return 1;
}

void JuceVSTWrapper::processReplacing (float** inputs, float** outputs, vst::int32 sampleFrames)
{
    if (sampleFrames <= 0 || outputs == nullptr)
        return;

    const juce::ScopedNoDenormals noDenormals;
    const auto numOutputs = juce::jmin ((int) getAeffect()->numOutputs, maxChannels);
    const auto numInputs = inputs != nullptr ? juce::jmin ((int) getAeffect()->numInputs, numOutputs) : 0;

    float* channels[maxChannels] = {};

    for (int ch = 0; ch < numOutputs; ++ch)
    {
        if (outputs[ch] == nullptr)
            return;

        channels[ch] = outputs[ch];
    }

    copyInputsToOutputs (inputs, channels, numInputs, numOutputs, sampleFrames);

    {
        const juce::ScopedLock sl (midiLock);
        pendingMidi.moveTo (blockMidi);
    }

    juce::AudioBuffer<float> buffer (channels, numOutputs, sampleFrames);

    // What the block reports to the host (automation from mapped controllers, a silent preset
    // change) waits until the callback lock is released: a host may hold the lock it takes in
    // those callbacks while it switches us or changes the rate, which waits for this lock.
    if (hosted != nullptr)
        hosted->holdHostNotices();

    {
        const juce::ScopedLock sl (processor->getCallbackLock());

        // A host that never switches the plug-in on gets it prepared with its first block; a
        // suspended one keeps its last preparation, so that the audio thread allocates nothing.
        if (! hasBeenPrepared)
            prepareProcessor();

        if (processor->isSuspended())
            buffer.clear();
        else
            processor->processBlock (buffer, blockMidi);
    }

    if (hosted != nullptr)
        hosted->sendHeldHostNotices();

    blockMidi.clear();
}

void JuceVSTWrapper::copyInputsToOutputs (float* const* inputs, float* const* outputs, int numInputs,
                                          int numOutputs, int numFrames)
{
    const auto bytes = [] (int frames) { return sizeof (float) * (size_t) frames; };

    // With crossed buffers (an input that is another channel's output) an input would be
    // overwritten before it is read: then the inputs go through the scratch, a piece at a time.
    bool crossed = false;

    for (int in = 0; in < numInputs; ++in)
        for (int out = 0; out < numOutputs; ++out)
            crossed = crossed || (out != in && inputs[in] != nullptr && inputs[in] == outputs[out]);

    const auto pieceLength = crossed ? scratchFrames : numFrames;

    for (int start = 0; start < numFrames; start += pieceLength)
    {
        const auto length = juce::jmin (pieceLength, numFrames - start);

        for (int ch = 0; crossed && ch < numInputs; ++ch)
            if (inputs[ch] != nullptr)
                std::memcpy (inputScratch.getWritePointer (ch), inputs[ch] + start, bytes (length));

        for (int ch = 0; ch < numOutputs; ++ch)
        {
            const float* in = nullptr;

            if (ch < numInputs && inputs[ch] != nullptr)
                in = crossed ? inputScratch.getReadPointer (ch) : inputs[ch] + start;

            auto* out = outputs[ch] + start;

            if (in == nullptr)
                juce::FloatVectorOperations::clear (out, length);
            else if (in != out)
                std::memmove (out, in, bytes (length));
        }
    }
}

//==============================================================================
void JuceVSTWrapper::setParameter (vst::int32 index, float value)
{
    if (hosted != nullptr)
        hosted->setHostParameter (index, value);
}

float JuceVSTWrapper::getParameter (vst::int32 index)
{
    return hosted != nullptr ? hosted->getHostParameter (index) : 0.0f;
}

void JuceVSTWrapper::getParameterName (vst::int32 index, char* text)
{
    copyToHostBuffer (text, hosted != nullptr ? hosted->getHostParameterName (index) : juce::String(), paramNameBytes);
}

void JuceVSTWrapper::getParameterDisplay (vst::int32 index, char* text)
{
    copyToHostBuffer (text, hosted != nullptr ? hosted->getHostParameterText (index) : juce::String(), paramDisplayBytes);
}

void JuceVSTWrapper::getParameterLabel (vst::int32, char* text)
{
    copyToHostBuffer (text, {}, paramLabelBytes);
}

bool JuceVSTWrapper::canParameterBeAutomated (vst::int32 index)
{
    return hosted != nullptr && hosted->isHostParameterAutomatable (index);
}

//==============================================================================
vst::int32 JuceVSTWrapper::getChunk (void** data, bool isPreset)
{
    if (data == nullptr)
        return 0;

    const juce::ScopedLock sl (chunkLock);
    chunkMemory.reset();

    if (isPreset)
        processor->getCurrentProgramStateInformation (chunkMemory);
    else
        processor->getStateInformation (chunkMemory);

    *data = chunkMemory.getData();
    return (vst::int32) chunkMemory.getSize();
}

vst::int32 JuceVSTWrapper::setChunk (void* data, vst::int32 byteSize, bool isPreset)
{
    if (data == nullptr || byteSize < 1)
        return 0;

    // A host may hand back the very buffer getChunk gave it: that one is kept until the restore
    // has read it, whatever getChunk is asked meanwhile. Any other is left for the host, which
    // may still be copying it on another thread.
    juce::MemoryBlock handedBack;

    {
        const juce::ScopedLock sl (chunkLock);
        const auto* ours = static_cast<const char*> (chunkMemory.getData());
        const auto* given = static_cast<const char*> (data);

        if (ours != nullptr && given >= ours && given < ours + chunkMemory.getSize())
            handedBack.swapWith (chunkMemory);
    }

    // Restoring tells the host of the parameters it changes, so it does not hold the lock that
    // getChunk takes: a host may take its own lock in those callbacks while another of its
    // threads, holding that lock, asks for the state.
    const juce::ScopedLock sl (restoreLock);

    if (isPreset)
        processor->setCurrentProgramStateInformation (data, byteSize);
    else
        processor->setStateInformation (data, byteSize);

    return 0;
}

//==============================================================================
bool JuceVSTWrapper::getEffectName (char* name)
{
    copyToHostBuffer (name, processor->getName(), effectNameBytes);
    return name != nullptr;
}

bool JuceVSTWrapper::getVendorString (char* text)
{
    copyToHostBuffer (text, hosted != nullptr ? hosted->getVendorName() : juce::String(), vendorBytes);
    return text != nullptr;
}

bool JuceVSTWrapper::getProductString (char* text)
{
    copyToHostBuffer (text, processor->getName(), productBytes);
    return text != nullptr;
}

vst::int32 JuceVSTWrapper::getVendorVersion()
{
    return hosted != nullptr ? hosted->getVstVendorVersion() : 0;
}

vst::int32 JuceVSTWrapper::canDo (char* text)
{
    if (text == nullptr)
        return 0;

    const juce::String what (text);

    for (auto* yes : { "receiveVstEvents", "receiveVstMidiEvent", "receiveVstMidiEvents",
                       "receiveVstTimeInfo", "conformsToWindowRules" })
        if (what == yes)
            return 1;

    for (auto* no : { "sendVstEvents", "sendVstMidiEvent", "sendVstMidiEvents", "openCloseAnyThread" })
        if (what == no)
            return -1;

    return 0;
}

vst::int32 JuceVSTWrapper::getPlugCategory()
{
    return vst::kPlugCategEffect;
}

bool JuceVSTWrapper::setBypass (bool)
{
    return false;
}

//==============================================================================
juce::Optional<juce::AudioPlayHead::PositionInfo> JuceVSTWrapper::getPosition() const
{
    auto* self = const_cast<JuceVSTWrapper*> (this);
    auto* info = self->getTimeInfo (vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid
                                    | vst::kVstTimeSigValid | vst::kVstCyclePosValid);

    if (info == nullptr)
        return {};

    PositionInfo position;
    position.setTimeInSamples ((juce::int64) info->samplePos);

    if (info->sampleRate > 0.0)
        position.setTimeInSeconds (info->samplePos / info->sampleRate);

    if ((info->flags & vst::kVstTempoValid) != 0)
        position.setBpm (info->tempo);

    if ((info->flags & vst::kVstPpqPosValid) != 0)
        position.setPpqPosition (info->ppqPos);

    if ((info->flags & vst::kVstBarsValid) != 0)
        position.setPpqPositionOfLastBarStart (info->barStartPos);

    if ((info->flags & vst::kVstTimeSigValid) != 0)
        position.setTimeSignature (juce::AudioPlayHead::TimeSignature { info->timeSigNumerator, info->timeSigDenominator });

    if ((info->flags & vst::kVstCyclePosValid) != 0)
        position.setLoopPoints (juce::AudioPlayHead::LoopPoints { info->cycleStartPos, info->cycleEndPos });

    position.setIsPlaying ((info->flags & vst::kVstTransportPlaying) != 0);
    position.setIsRecording ((info->flags & vst::kVstTransportRecording) != 0);
    position.setIsLooping ((info->flags & vst::kVstTransportCycleActive) != 0);
    return position;
}

//==============================================================================
void JuceVSTWrapper::hostAutomate (int slot, float normalisedValue)
{
    callHost (vst::audioMasterAutomate, slot, 0, nullptr, normalisedValue);
}

void JuceVSTWrapper::hostBeginEdit (int slot)  { beginEdit (slot); }
void JuceVSTWrapper::hostEndEdit (int slot)    { endEdit (slot); }
void JuceVSTWrapper::hostUpdateDisplay()       { updateDisplay(); }
void JuceVSTWrapper::hostIoChanged()           { ioChanged(); }

//==============================================================================
vst::IntPtr JuceVSTWrapper::handleEditorOpcode (vst::int32 opcode, vst::IntPtr, void* ptr)
{
    const juce::MessageManagerLock lock;

    // Making the editor may open JUCE's X connection: it is readied before the trap, which
    // then covers everything the opcode sends to the server.
    const auto hasDisplay = (opcode == vst::effEditGetRect || opcode == vst::effEditOpen) && JuceX11Display::prepare();
    const JuceX11Display::ErrorTrap trap;

    switch (opcode)
    {
        case vst::effEditGetRect:
        {
            if (ptr == nullptr)
                return 0;

            if (editor == nullptr)
                editor.reset (processor->createEditorIfNeeded());

            if (editor == nullptr)
                return 0;

            editorBounds = { 0, 0, (vst::int16) editor->getHeight(), (vst::int16) editor->getWidth() };
            *static_cast<vst::ERect**> (ptr) = &editorBounds;

            // The answer supersedes a request the host has not had yet.
            hostKnownWidth = editor->getWidth();
            hostKnownHeight = editor->getHeight();
            pendingHostSize = 0;
            return 1;
        }

        case vst::effEditOpen:
            // An id that names no window (never made, or already destroyed) gets no editor.
            if (ptr == nullptr || ! hasDisplay || ! JuceX11Display::isUsableParent (ptr))
                return 0;

            openEditor (ptr);
            return editor != nullptr ? 1 : 0;

        case vst::effEditClose:
            closeEditor();
            return 0;

        default:
            return 0;
    }
}

void JuceVSTWrapper::openEditor (void* parentWindow)
{
    if (editor == nullptr)
        editor.reset (processor->createEditorIfNeeded());

    if (editor == nullptr)
        return;

    editor->setOpaque (true);
    editor->setVisible (true);
    editor->addToDesktop (0, parentWindow);
    editor->addComponentListener (this);
    JuceRuntime::editorShown();

    // The editor changed size since the host asked (while closed): its window is told now. A
    // host that has not asked yet sizes its window from effEditGetRect.
    if (hostKnownWidth > 0)
        requestHostSize (editor->getWidth(), editor->getHeight());
}

void JuceVSTWrapper::closeEditor()
{
    if (editor != nullptr)
    {
        // The host may have destroyed its window, and ours with it, before closing the editor.
        const JuceX11Display::ErrorTrap trap;
        editor->removeComponentListener (this);
        releaseHeldMouseButtons();
        editor->removeFromDesktop();
        editor.reset();
    }

    pendingHostSize = 0;
}

void JuceVSTWrapper::releaseHeldMouseButtons()
{
    // A button held while the editor closes is let go of where no window of ours will see it,
    // so JUCE would take it as held from then on: the next editor would treat every movement
    // as a drag, and a control that repeats while held would repeat for ever. It is let go
    // here, with the editor disabled first so that letting go clicks nothing (JUCE asks the
    // pointer where it is, so moving the event away from the controls would not do).
    auto& mods = juce::ModifierKeys::currentModifiers;

    if (! mods.isAnyMouseButtonDown())
        return;

    editor->setEnabled (false);
    mods = mods.withoutMouseButtons();

    if (auto* peer = editor->getPeer())
        peer->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, editor->getMouseXYRelative().toFloat(), mods,
                                juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                juce::Time::currentTimeMillis());
}

void JuceVSTWrapper::componentMovedOrResized (juce::Component& component, bool, bool wasResized)
{
    // A docked panel opened or closed (on the message thread, or inside an editor opcode).
    if (wasResized && &component == editor.get())
        requestHostSize (component.getWidth(), component.getHeight());
}

void JuceVSTWrapper::requestHostSize (int width, int height)
{
    if (width <= 0 || height <= 0 || (width == hostKnownWidth && height == hostKnownHeight))
        return;

    hostKnownWidth = width;
    hostKnownHeight = height;
    pendingHostSize = ((juce::uint64) (juce::uint32) width << 32) | (juce::uint32) height;
}

void JuceVSTWrapper::sendPendingSizeRequest()
{
    // Only the host's own editor calls get here: never its audio thread, never our message
    // thread, and no lock of ours is held while the host resizes its window.
    const auto size = pendingHostSize.exchange (0);

    if (size != 0)
        sizeWindow ((vst::int32) (size >> 32), (vst::int32) (size & 0xffffffffu));
}
