/*
    The VST 2.4 plug-in interface as seen from both sides of the binary boundary:
    the effect record, the host callback, the dispatcher and host opcodes, flags,
    events, time info and the small property records some opcodes pass.

    Written from the documented numbers and the 64-bit layout of the interface;
    every record is plain data whose size and offsets are checked at compile time.
*/
#pragma once

#include <cstdint>
#include <cstddef>

namespace vst
{

using int16 = std::int16_t;
using int32 = std::int32_t;
using IntPtr = std::intptr_t;

struct AEffect;

/** The host callback ("audioMaster"): the plug-in calls the host through it. */
using HostCallback       = IntPtr (*) (AEffect*, int32 opcode, int32 index, IntPtr value, void* ptr, float opt);
using DispatcherProc     = IntPtr (*) (AEffect*, int32 opcode, int32 index, IntPtr value, void* ptr, float opt);
using ProcessProc        = void   (*) (AEffect*, float** inputs, float** outputs, int32 sampleFrames);
using ProcessDoubleProc  = void   (*) (AEffect*, double** inputs, double** outputs, int32 sampleFrames);
using SetParameterProc   = void   (*) (AEffect*, int32 index, float value);
using GetParameterProc   = float  (*) (AEffect*, int32 index);

/** Builds a four-character code with the first character in the highest byte. */
constexpr int32 fourCharCode (char a, char b, char c, char d) noexcept
{
    return (int32) (((std::uint32_t) (unsigned char) a << 24) | ((std::uint32_t) (unsigned char) b << 16)
                  | ((std::uint32_t) (unsigned char) c << 8)  |  (std::uint32_t) (unsigned char) d);
}

constexpr int32 effectMagic = fourCharCode ('V', 's', 't', 'P');

/** The record through which the host reaches a plug-in instance. */
struct AEffect
{
    int32 magic;
    DispatcherProc dispatcher;
    ProcessProc process;                    // accumulating; deprecated
    SetParameterProc setParameter;
    GetParameterProc getParameter;
    int32 numPrograms;
    int32 numParams;
    int32 numInputs;
    int32 numOutputs;
    int32 flags;
    IntPtr reserved1;
    IntPtr reserved2;
    int32 initialDelay;
    int32 realQualities;                    // deprecated
    int32 offQualities;                     // deprecated
    float ioRatio;                          // deprecated
    void* object;
    void* user;
    int32 uniqueID;
    int32 version;
    ProcessProc processReplacing;
    ProcessDoubleProc processDoubleReplacing;
    char future[56];
};

static_assert (sizeof (AEffect) == 192, "AEffect layout");
static_assert (offsetof (AEffect, dispatcher) == 8 && offsetof (AEffect, numPrograms) == 40
               && offsetof (AEffect, flags) == 56 && offsetof (AEffect, initialDelay) == 80
               && offsetof (AEffect, ioRatio) == 92 && offsetof (AEffect, object) == 96
               && offsetof (AEffect, uniqueID) == 112 && offsetof (AEffect, processReplacing) == 120
               && offsetof (AEffect, future) == 136, "AEffect layout");

/** Bits of AEffect::flags. */
enum EffectFlags : int32
{
    effFlagsHasEditor          = 1,
    effFlagsHasClip            = 2,     // deprecated
    effFlagsHasVu              = 4,     // deprecated
    effFlagsCanMono            = 8,     // deprecated
    effFlagsCanReplacing       = 16,
    effFlagsProgramChunks      = 32,
    effFlagsIsSynth            = 256,
    effFlagsNoSoundInStop      = 512,
    effFlagsExtIsAsync         = 1024,  // deprecated
    effFlagsExtHasBuffer       = 2048,  // deprecated
    effFlagsCanDoubleReplacing = 4096
};

/** Opcodes the host sends through the dispatcher. */
enum EffectOpcodes : int32
{
    effOpen = 0, effClose, effSetProgram, effGetProgram, effSetProgramName, effGetProgramName,
    effGetParamLabel, effGetParamDisplay, effGetParamName, effGetVu,
    effSetSampleRate, effSetBlockSize, effMainsChanged,
    effEditGetRect, effEditOpen, effEditClose, effEditDraw, effEditMouse, effEditKey, effEditIdle,
    effEditTop, effEditSleep, effIdentify, effGetChunk, effSetChunk,
    effProcessEvents, effCanBeAutomated, effString2Parameter, effGetNumProgramCategories,
    effGetProgramNameIndexed, effCopyProgram, effConnectInput, effConnectOutput,
    effGetInputProperties, effGetOutputProperties, effGetPlugCategory, effGetCurrentPosition,
    effGetDestinationBuffer, effOfflineNotify, effOfflinePrepare, effOfflineRun, effProcessVarIo,
    effSetSpeakerArrangement, effSetBlockSizeAndSampleRate, effSetBypass, effGetEffectName,
    effGetErrorText, effGetVendorString, effGetProductString, effGetVendorVersion, effVendorSpecific,
    effCanDo, effGetTailSize, effIdle, effGetIcon, effSetViewPosition, effGetParameterProperties,
    effKeysRequired, effGetVstVersion, effEditKeyDown, effEditKeyUp, effSetEditKnobMode,
    effGetMidiProgramName, effGetCurrentMidiProgram, effGetMidiProgramCategory,
    effHasMidiProgramsChanged, effGetMidiKeyName, effBeginSetProgram, effEndSetProgram,
    effGetSpeakerArrangement, effShellGetNextPlugin, effStartProcess, effStopProcess,
    effSetTotalSampleToProcess, effSetPanLaw, effBeginLoadBank, effBeginLoadProgram,
    effSetProcessPrecision, effGetNumMidiInputChannels, effGetNumMidiOutputChannels
};

static_assert (effSetChunk == 24 && effProcessEvents == 25 && effCanDo == 51 && effGetVstVersion == 58
               && effGetNumMidiOutputChannels == 79, "opcode numbers");

/** Opcodes the plug-in sends through the host callback. */
enum HostOpcodes : int32
{
    audioMasterAutomate = 0, audioMasterVersion, audioMasterCurrentId, audioMasterIdle,
    audioMasterPinConnected, audioMasterWantMidi = 6, audioMasterGetTime, audioMasterProcessEvents,
    audioMasterSetTime, audioMasterTempoAt, audioMasterGetNumAutomatableParameters,
    audioMasterGetParameterQuantization, audioMasterIOChanged, audioMasterNeedIdle, audioMasterSizeWindow,
    audioMasterGetSampleRate, audioMasterGetBlockSize, audioMasterGetInputLatency, audioMasterGetOutputLatency,
    audioMasterGetPreviousPlug, audioMasterGetNextPlug, audioMasterWillReplaceOrAccumulate,
    audioMasterGetCurrentProcessLevel, audioMasterGetAutomationState, audioMasterOfflineStart,
    audioMasterOfflineRead, audioMasterOfflineWrite, audioMasterOfflineGetCurrentPass,
    audioMasterOfflineGetCurrentMetaPass, audioMasterSetOutputSampleRate,
    audioMasterGetOutputSpeakerArrangement, audioMasterGetVendorString, audioMasterGetProductString,
    audioMasterGetVendorVersion, audioMasterVendorSpecific, audioMasterSetIcon, audioMasterCanDo,
    audioMasterGetLanguage, audioMasterOpenWindow, audioMasterCloseWindow, audioMasterGetDirectory,
    audioMasterUpdateDisplay, audioMasterBeginEdit, audioMasterEndEdit, audioMasterOpenFileSelector,
    audioMasterCloseFileSelector, audioMasterEditFile, audioMasterGetChunkFile,
    audioMasterGetInputSpeakerArrangement
};

static_assert (audioMasterGetTime == 7 && audioMasterCanDo == 37 && audioMasterUpdateDisplay == 42
               && audioMasterGetInputSpeakerArrangement == 49, "host opcode numbers");

/** Text limits of the interface, terminating zero included. */
enum StringLimits : int32
{
    kVstMaxProgNameLen   = 24,
    kVstMaxParamStrLen   = 8,
    kVstMaxVendorStrLen  = 64,
    kVstMaxProductStrLen = 64,
    kVstMaxEffectNameLen = 32,
    kVstMaxNameLen       = 64,
    kVstMaxLabelLen      = 64,
    kVstMaxShortLabelLen = 8
};

/** A generic event; the type field says which record it really is. */
struct VstEvent
{
    int32 type;
    int32 byteSize;
    int32 deltaFrames;
    int32 flags;
    char data[16];
};

enum EventTypes : int32 { kVstMidiType = 1, kVstSysExType = 6 };

/** A MIDI event of up to three bytes. */
struct VstMidiEvent
{
    int32 type;
    int32 byteSize;
    int32 deltaFrames;
    int32 flags;
    int32 noteLength;
    int32 noteOffset;
    char midiData[4];
    char detune;
    char noteOffVelocity;
    char reserved1;
    char reserved2;
};

static_assert (sizeof (VstMidiEvent) == 32, "VstMidiEvent layout");

enum MidiEventFlags : int32 { kVstMidiEventIsRealtime = 1 };

/** A system-exclusive message. */
struct VstMidiSysexEvent
{
    int32 type;
    int32 byteSize;
    int32 deltaFrames;
    int32 flags;
    int32 dumpBytes;
    IntPtr reserved1;
    char* sysexDump;
    IntPtr reserved2;
};

/** A block of events; the host allocates it with as many pointers as numEvents needs. */
struct VstEvents
{
    int32 numEvents;
    IntPtr reserved;
    VstEvent* events[2];
};

/** The host's transport and timing record (audioMasterGetTime). */
struct VstTimeInfo
{
    double samplePos;
    double sampleRate;
    double nanoSeconds;
    double ppqPos;
    double tempo;
    double barStartPos;
    double cycleStartPos;
    double cycleEndPos;
    int32 timeSigNumerator;
    int32 timeSigDenominator;
    int32 smpteOffset;
    int32 smpteFrameRate;
    int32 samplesToNextClock;
    int32 flags;
};

enum TimeInfoFlags : int32
{
    kVstTransportChanged = 1, kVstTransportPlaying = 2, kVstTransportCycleActive = 4,
    kVstTransportRecording = 8, kVstAutomationWriting = 64, kVstAutomationReading = 128,
    kVstNanosValid = 256, kVstPpqPosValid = 512, kVstTempoValid = 1024, kVstBarsValid = 2048,
    kVstCyclePosValid = 4096, kVstTimeSigValid = 8192, kVstSmpteValid = 16384, kVstClockValid = 32768
};

/** An editor rectangle (effEditGetRect). */
struct ERect
{
    int16 top, left, bottom, right;
};

/** Properties of one input or output pin. */
struct VstPinProperties
{
    char label[kVstMaxLabelLen];
    int32 flags;
    int32 arrangementType;
    char shortLabel[kVstMaxShortLabelLen];
    char future[48];
};

static_assert (sizeof (VstPinProperties) == 128, "VstPinProperties layout");

enum PinPropertiesFlags : int32 { kVstPinIsActive = 1, kVstPinIsStereo = 2, kVstPinUseSpeaker = 4 };

/** One speaker of an arrangement. */
struct VstSpeakerProperties
{
    float azimuth;
    float elevation;
    float radius;
    float reserved;
    char name[kVstMaxNameLen];
    int32 type;
    char future[28];
};

static_assert (sizeof (VstSpeakerProperties) == 112, "VstSpeakerProperties layout");

/** A speaker arrangement; allocated with room for numChannels speakers. */
struct VstSpeakerArrangement
{
    int32 type;
    int32 numChannels;
    VstSpeakerProperties speakers[8];
};

static_assert (offsetof (VstSpeakerArrangement, speakers) == 8, "VstSpeakerArrangement layout");

enum SpeakerArrangementType : int32
{
    kSpeakerArrUserDefined = -2, kSpeakerArrEmpty = -1, kSpeakerArrMono = 0, kSpeakerArrStereo = 1
};

enum SpeakerType : int32 { kSpeakerUndefined = 0x7fffffff, kSpeakerM = 0, kSpeakerL = 1, kSpeakerR = 2 };

/** Properties of one parameter (effGetParameterProperties). */
struct VstParameterProperties
{
    float stepFloat;
    float smallStepFloat;
    float largeStepFloat;
    char label[kVstMaxLabelLen];
    int32 flags;
    int32 minInteger;
    int32 maxInteger;
    int32 stepInteger;
    int32 largeStepInteger;
    char shortLabel[kVstMaxShortLabelLen];
    int16 displayIndex;
    int16 category;
    int16 numParametersInCategory;
    int16 reserved;
    char categoryLabel[24];
    char future[16];
};

/** Plug-in categories (effGetPlugCategory). */
enum PlugCategory : int32
{
    kPlugCategUnknown = 0, kPlugCategEffect, kPlugCategSynth, kPlugCategAnalysis, kPlugCategMastering,
    kPlugCategSpacializer, kPlugCategRoomFx, kPlugSurroundFx, kPlugCategRestoration,
    kPlugCategOfflineProcess, kPlugCategShell, kPlugCategGenerator
};

/** The interface version this binding speaks. */
constexpr int32 kVstVersion = 2400;

/** The exported entry's signature. */
using PluginEntryProc = AEffect* (*) (HostCallback);

} // namespace vst
