#include "host/AudioEffectX.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace AudioEffectXDetail
{
    /** Truth values go to the host as 1 or 0. */
    constexpr vst::IntPtr truth (bool b) noexcept     { return b ? 1 : 0; }
}

AudioEffectX::AudioEffectX (vst::HostCallback hostCallback, vst::int32 programs, vst::int32 params)
    : AudioEffect (hostCallback, programs, params)
{
}

AudioEffectX::~AudioEffectX() = default;

//==============================================================================
vst::IntPtr AudioEffectX::dispatcher (vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt)
{
    using AudioEffectXDetail::truth;

    // Texts for the host: refused without a buffer, cut to the size the host's buffer has.
    const auto writeText = [ptr] (vst::int32 bytes, auto write) -> vst::IntPtr
    {
        if (ptr == nullptr)
            return 0;

        vst::IntPtr result = 0;
        writeLimitedText (ptr, bytes, [&] (char* text) { result = write (text); });
        return result;
    };

    switch (opcode)
    {
        case vst::effProcessEvents:
        {
            auto* events = static_cast<vst::VstEvents*> (ptr);
            return events != nullptr && events->numEvents >= 0 ? processEvents (events) : 0;
        }

        case vst::effCanBeAutomated:
            return truth (isParameterIndex (index) && canParameterBeAutomated (index));

        case vst::effString2Parameter:
            if (ptr == nullptr || ! isParameterIndex (index))
                return 0;
            return truth (readLimitedText (ptr, scratchTextBytes,
                                           [this, index] (char* text) { return string2parameter (index, text); }));

        case vst::effGetProgramNameIndexed:
            if (ptr != nullptr && ! isProgramIndex (index))
            {
                writeEmptyText (static_cast<char*> (ptr));
                return 0;
            }
            return writeText (programNameBytes, [this, index, value] (char* text)
                              { return truth (getProgramNameIndexed ((vst::int32) value, index, text)); });

        case vst::effGetInputProperties:
            if (ptr == nullptr || index < 0 || index >= cEffect.numInputs)
                return 0;
            return truth (getInputProperties (index, static_cast<vst::VstPinProperties*> (ptr)));

        case vst::effGetOutputProperties:
            if (ptr == nullptr || index < 0 || index >= cEffect.numOutputs)
                return 0;
            return truth (getOutputProperties (index, static_cast<vst::VstPinProperties*> (ptr)));

        case vst::effGetPlugCategory:
            return getPlugCategory();

        case vst::effOfflineNotify:
            return ptr != nullptr ? truth (offlineNotify (static_cast<vst::VstAudioFile*> (ptr), (vst::int32) value, index != 0)) : 0;

        case vst::effOfflinePrepare:
            return ptr != nullptr ? truth (offlinePrepare (static_cast<vst::VstOfflineTask*> (ptr), (vst::int32) value)) : 0;

        case vst::effOfflineRun:
            return ptr != nullptr ? truth (offlineRun (static_cast<vst::VstOfflineTask*> (ptr), (vst::int32) value)) : 0;

        case vst::effProcessVarIo:
            return ptr != nullptr ? truth (processVariableIo (static_cast<vst::VstVariableIo*> (ptr))) : 0;

        case vst::effSetSpeakerArrangement:
            if (value == 0 || ptr == nullptr)
                return 0;
            return truth (setSpeakerArrangement (reinterpret_cast<vst::VstSpeakerArrangement*> (value),
                                                 static_cast<vst::VstSpeakerArrangement*> (ptr)));

        case vst::effSetBypass:
            return truth (setBypass (value != 0));

        case vst::effGetEffectName:
            return writeText (effectNameBytes, [this] (char* text) { return truth (getEffectName (text)); });

        case vst::effGetVendorString:
            return writeText (vendorBytes, [this] (char* text) { return truth (getVendorString (text)); });

        case vst::effGetProductString:
            return writeText (productBytes, [this] (char* text) { return truth (getProductString (text)); });

        case vst::effGetVendorVersion:
            return getVendorVersion();

        case vst::effVendorSpecific:
            return vendorSpecific (index, value, ptr, opt);

        case vst::effCanDo:
            if (ptr == nullptr)
                return 0;
            return readLimitedText (ptr, canDoBytes, [this] (char* text) { return canDo (text); });

        case vst::effGetTailSize:
            return getGetTailSize();

        case vst::effGetParameterProperties:
            if (ptr == nullptr || ! isParameterIndex (index))
                return 0;
            return truth (getParameterProperties (index, static_cast<vst::VstParameterProperties*> (ptr)));

        case vst::effGetVstVersion:
            return getVstVersion();

        case vst::effEditKeyDown:
        case vst::effEditKeyUp:
        {
            if (editor == nullptr)
                return 0;

            AEffEditor::KeyCode key;
            key.character = index;
            key.virt = (unsigned char) value;
            key.modifier = (unsigned char) opt;
            return truth (opcode == vst::effEditKeyDown ? editor->onKeyDown (key) : editor->onKeyUp (key));
        }

        case vst::effSetEditKnobMode:
            return editor != nullptr ? truth (editor->setKnobMode ((vst::int32) value)) : 0;

        case vst::effGetMidiProgramName:
            return ptr != nullptr ? getMidiProgramName (index, static_cast<vst::MidiProgramName*> (ptr)) : 0;

        case vst::effGetCurrentMidiProgram:
            // Without a record to fill, the answer is "no current program".
            return ptr != nullptr ? getCurrentMidiProgram (index, static_cast<vst::MidiProgramName*> (ptr)) : -1;

        case vst::effGetMidiProgramCategory:
            return ptr != nullptr ? getMidiProgramCategory (index, static_cast<vst::MidiProgramCategory*> (ptr)) : 0;

        case vst::effHasMidiProgramsChanged:
            return truth (hasMidiProgramsChanged (index));

        case vst::effGetMidiKeyName:
            return ptr != nullptr ? truth (getMidiKeyName (index, static_cast<vst::MidiKeyName*> (ptr))) : 0;

        case vst::effBeginSetProgram:
            return truth (beginSetProgram());

        case vst::effEndSetProgram:
            return truth (endSetProgram());

        case vst::effGetSpeakerArrangement:
        {
            auto** input = reinterpret_cast<vst::VstSpeakerArrangement**> (value);
            auto** output = static_cast<vst::VstSpeakerArrangement**> (ptr);

            if (input == nullptr || output == nullptr)
                return 0;

            *input = nullptr;
            *output = nullptr;
            return truth (getSpeakerArrangement (input, output));
        }

        case vst::effShellGetNextPlugin:
            return writeText (shellNameBytes, [this] (char* text) { return getNextShellPlugin (text); });

        case vst::effStartProcess:
            return startProcess();

        case vst::effStopProcess:
            return stopProcess();

        case vst::effSetTotalSampleToProcess:
            return setTotalSampleToProcess ((vst::int32) value);

        case vst::effSetPanLaw:
            return truth (setPanLaw ((vst::int32) value, opt));

        case vst::effBeginLoadBank:
            return ptr != nullptr ? beginLoadBank (static_cast<vst::VstPatchChunkInfo*> (ptr)) : 0;

        case vst::effBeginLoadProgram:
            return ptr != nullptr ? beginLoadProgram (static_cast<vst::VstPatchChunkInfo*> (ptr)) : 0;

        case vst::effSetProcessPrecision:
            return truth (setProcessPrecision ((vst::int32) value));

        case vst::effGetNumMidiInputChannels:
            return getNumMidiInputChannels();

        case vst::effGetNumMidiOutputChannels:
            return getNumMidiOutputChannels();

        default:
            return AudioEffect::dispatcher (opcode, index, value, ptr, opt);
    }
}

vst::int32 AudioEffectX::getPlugCategory()
{
    return (cEffect.flags & vst::effFlagsIsSynth) != 0 ? vst::kPlugCategSynth : vst::kPlugCategUnknown;
}

//==============================================================================
bool AudioEffectX::wantEvents (vst::int32 filter)
{
    return callHost (vst::audioMasterWantMidi, 0, filter) != 0;
}

vst::VstTimeInfo* AudioEffectX::getTimeInfo (vst::int32 filter)
{
    return reinterpret_cast<vst::VstTimeInfo*> (callHost (vst::audioMasterGetTime, 0, filter));
}

bool AudioEffectX::sendVstEventsToHost (vst::VstEvents* events)
{
    return events != nullptr && callHost (vst::audioMasterProcessEvents, 0, 0, events) != 0;
}

vst::int32 AudioEffectX::tempoAt (vst::int32 pos)
{
    return (vst::int32) callHost (vst::audioMasterTempoAt, 0, pos);
}

vst::int32 AudioEffectX::getNumAutomatableParameters()
{
    return (vst::int32) callHost (vst::audioMasterGetNumAutomatableParameters);
}

vst::int32 AudioEffectX::getParameterQuantization()
{
    return (vst::int32) callHost (vst::audioMasterGetParameterQuantization);
}

bool AudioEffectX::ioChanged()
{
    return callHost (vst::audioMasterIOChanged) != 0;
}

bool AudioEffectX::needIdle()
{
    return callHost (vst::audioMasterNeedIdle) != 0;
}

bool AudioEffectX::sizeWindow (vst::int32 width, vst::int32 height)
{
    return callHost (vst::audioMasterSizeWindow, width, height) != 0;
}

double AudioEffectX::updateSampleRate()
{
    const auto rate = callHost (vst::audioMasterGetSampleRate);

    if (rate > 0)
        sampleRate = (float) rate;

    return sampleRate;
}

vst::int32 AudioEffectX::updateBlockSize()
{
    const auto size = callHost (vst::audioMasterGetBlockSize);

    if (size > 0 && size <= std::numeric_limits<vst::int32>::max())
        blockSize = (vst::int32) size;

    return blockSize;
}

vst::int32 AudioEffectX::getInputLatency()         { return (vst::int32) callHost (vst::audioMasterGetInputLatency); }
vst::int32 AudioEffectX::getOutputLatency()        { return (vst::int32) callHost (vst::audioMasterGetOutputLatency); }

vst::AEffect* AudioEffectX::getPreviousPlug (vst::int32 input)
{
    return reinterpret_cast<vst::AEffect*> (callHost (vst::audioMasterGetPreviousPlug, input));
}

vst::AEffect* AudioEffectX::getNextPlug (vst::int32 output)
{
    return reinterpret_cast<vst::AEffect*> (callHost (vst::audioMasterGetNextPlug, output));
}

vst::int32 AudioEffectX::willProcessReplacing()    { return (vst::int32) callHost (vst::audioMasterWillReplaceOrAccumulate); }
vst::int32 AudioEffectX::getCurrentProcessLevel()  { return (vst::int32) callHost (vst::audioMasterGetCurrentProcessLevel); }
vst::int32 AudioEffectX::getAutomationState()      { return (vst::int32) callHost (vst::audioMasterGetAutomationState); }

bool AudioEffectX::offlineRead (vst::VstOfflineTask* task, vst::int32 option, bool readSource)
{
    return task != nullptr && callHost (vst::audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}

bool AudioEffectX::offlineWrite (vst::VstOfflineTask* task, vst::int32 option)
{
    return task != nullptr && callHost (vst::audioMasterOfflineWrite, 0, option, task) != 0;
}

bool AudioEffectX::offlineGetCurrentPass()         { return callHost (vst::audioMasterOfflineGetCurrentPass) != 0; }
bool AudioEffectX::offlineGetCurrentMetaPass()     { return callHost (vst::audioMasterOfflineGetCurrentMetaPass) != 0; }

bool AudioEffectX::setOutputSamplerate (float rate)
{
    return callHost (vst::audioMasterSetOutputSampleRate, 0, 0, nullptr, rate) != 0;
}

vst::VstSpeakerArrangement* AudioEffectX::getOutputSpeakerArrangement()
{
    return reinterpret_cast<vst::VstSpeakerArrangement*> (callHost (vst::audioMasterGetOutputSpeakerArrangement));
}

vst::VstSpeakerArrangement* AudioEffectX::getInputSpeakerArrangement()
{
    return reinterpret_cast<vst::VstSpeakerArrangement*> (callHost (vst::audioMasterGetInputSpeakerArrangement));
}

bool AudioEffectX::getHostVendorString (char* text)
{
    return getHostText (vst::audioMasterGetVendorString, text, vendorBytes);
}

bool AudioEffectX::getHostProductString (char* text)
{
    return getHostText (vst::audioMasterGetProductString, text, productBytes);
}

bool AudioEffectX::getHostText (vst::int32 opcode, char* text, vst::int32 bytes)
{
    // The host writes into a buffer of ours; the caller's gets at most bytes - 1 characters of it.
    bool answered = false;

    if (text != nullptr)
        writeLimitedText (text, bytes, [this, opcode, &answered] (char* scratch)
                          { answered = callHost (opcode, 0, 0, scratch) != 0; });

    return answered;
}

vst::int32 AudioEffectX::getHostVendorVersion()
{
    return (vst::int32) callHost (vst::audioMasterGetVendorVersion);
}

vst::IntPtr AudioEffectX::hostVendorSpecific (vst::int32 index, vst::IntPtr value, void* ptr, float opt)
{
    return callHost (vst::audioMasterVendorSpecific, index, value, ptr, opt);
}

bool AudioEffectX::canHostDo (char* text)
{
    // Hosts answer 1 for yes, -1 for no and 0 for don't know.
    return text != nullptr && callHost (vst::audioMasterCanDo, 0, 0, text) > 0;
}

vst::int32 AudioEffectX::getHostLanguage()
{
    return (vst::int32) callHost (vst::audioMasterGetLanguage);
}

void* AudioEffectX::openWindow (vst::VstWindow* window)
{
    return window != nullptr ? reinterpret_cast<void*> (callHost (vst::audioMasterOpenWindow, 0, 0, window)) : nullptr;
}

bool AudioEffectX::closeWindow (vst::VstWindow* window)
{
    return window != nullptr && callHost (vst::audioMasterCloseWindow, 0, 0, window) != 0;
}

void* AudioEffectX::getDirectory()
{
    return reinterpret_cast<void*> (callHost (vst::audioMasterGetDirectory));
}

bool AudioEffectX::updateDisplay()
{
    return callHost (vst::audioMasterUpdateDisplay) != 0;
}

bool AudioEffectX::beginEdit (vst::int32 index)
{
    return callHost (vst::audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit (vst::int32 index)
{
    return callHost (vst::audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::openFileSelector (vst::VstFileSelect* select)
{
    return select != nullptr && callHost (vst::audioMasterOpenFileSelector, 0, 0, select) != 0;
}

bool AudioEffectX::closeFileSelector (vst::VstFileSelect* select)
{
    return select != nullptr && callHost (vst::audioMasterCloseFileSelector, 0, 0, select) != 0;
}

bool AudioEffectX::getChunkFile (void* nativePath)
{
    return nativePath != nullptr && callHost (vst::audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}

//==============================================================================
bool AudioEffectX::allocateArrangement (vst::VstSpeakerArrangement** arrangement, vst::int32 numChannels)
{
    if (arrangement == nullptr || numChannels < 0 || numChannels > maxArrangementChannels)
        return false;

    // The interface's own protocol: a C block, owned by whoever holds *arrangement,
    // released with deallocateArrangement.
    auto* block = static_cast<vst::VstSpeakerArrangement*> (std::calloc (1, arrangementBytes (numChannels)));

    if (block == nullptr)
        return false;

    block->numChannels = numChannels;
    deallocateArrangement (arrangement);
    *arrangement = block;
    return true;
}

bool AudioEffectX::deallocateArrangement (vst::VstSpeakerArrangement** arrangement)
{
    if (arrangement == nullptr)
        return false;

    std::free (*arrangement);
    *arrangement = nullptr;
    return true;
}

bool AudioEffectX::copySpeaker (vst::VstSpeakerProperties* to, const vst::VstSpeakerProperties* from)
{
    if (to == nullptr || from == nullptr)
        return false;

    char name[vst::kVstMaxNameLen] = {};
    copyText (name, from->name, vst::kVstMaxNameLen - 1);

    std::memmove (to, from, sizeof (vst::VstSpeakerProperties));
    std::memcpy (to->name, name, sizeof (name));
    return true;
}

bool AudioEffectX::matchArrangement (vst::VstSpeakerArrangement** to, const vst::VstSpeakerArrangement* from)
{
    if (to == nullptr || from == nullptr)
        return false;

    // Built aside first: *to may be from itself.
    vst::VstSpeakerArrangement* copy = nullptr;

    if (! allocateArrangement (&copy, from->numChannels))
        return false;

    copy->type = from->type;

    vst::VstSpeakerProperties* speakers = copy->speakers;
    const vst::VstSpeakerProperties* sourceSpeakers = from->speakers;

    for (vst::int32 i = 0; i < from->numChannels; ++i)
        copySpeaker (speakers + i, sourceSpeakers + i);

    deallocateArrangement (to);
    *to = copy;
    return true;
}
