/*
    The plug-in side of the VST 2.4 interface, extended part: the dispatcher for
    opcodes 25 to 79 with neutral defaults for every operation they reach, and the
    requests a plug-in sends to its host through the host callback.

    The host requests are plain member functions: a subclass calls them, it does not
    override them.
*/
#pragma once

#include "host/AudioEffect.h"

namespace vst
{
    // Records some opcodes pass by pointer; this binding only hands them on.
    struct VstAudioFile;
    struct VstOfflineTask;
    struct VstVariableIo;
    struct MidiProgramName;
    struct MidiProgramCategory;
    struct MidiKeyName;
    struct VstPatchChunkInfo;
    struct VstWindow;
    struct VstFileSelect;
}

class AudioEffectX : public AudioEffect
{
public:
    /** Sets up the record for a plug-in with the given program and parameter counts. */
    AudioEffectX (vst::HostCallback audioMaster, vst::int32 numPrograms, vst::int32 numParams);

    ~AudioEffectX() override;

    /** Handles opcodes 25 to 79 and passes everything else to AudioEffect::dispatcher. */
    vst::IntPtr dispatcher (vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt) override;

    //==============================================================================
    /** MIDI and other events for the next processReplacing call; the answer is unused by hosts. */
    virtual vst::int32 processEvents (vst::VstEvents* events)                               { return 0; }
    /** True when the host may automate parameter index. */
    virtual bool canParameterBeAutomated (vst::int32 index)                                 { return false; }
    /** Sets parameter index from a text; true when the text was understood. */
    virtual bool string2parameter (vst::int32 index, char* text)                            { return false; }
    /** Writes the name of program index (at most 23 characters); true when there is one. */
    virtual bool getProgramNameIndexed (vst::int32 category, vst::int32 index, char* text)  { return false; }
    /** Fills the properties of input pin index; true when filled. */
    virtual bool getInputProperties (vst::int32 index, vst::VstPinProperties* properties)  { return false; }
    /** Fills the properties of output pin index; true when filled. */
    virtual bool getOutputProperties (vst::int32 index, vst::VstPinProperties* properties) { return false; }
    /** The plug-in's category: a synth when effFlagsIsSynth is set, else unknown. */
    virtual vst::int32 getPlugCategory();

    /** Offline processing: the host's files changed. */
    virtual bool offlineNotify (vst::VstAudioFile* files, vst::int32 numFiles, bool start)  { return false; }
    /** Offline processing: prepare count tasks. */
    virtual bool offlinePrepare (vst::VstOfflineTask* tasks, vst::int32 count)              { return false; }
    /** Offline processing: run count tasks. */
    virtual bool offlineRun (vst::VstOfflineTask* tasks, vst::int32 count)                  { return false; }

    /** Processing with different input and output sample counts. */
    virtual bool processVariableIo (vst::VstVariableIo* io)                                  { return false; }
    /** The host proposes speaker arrangements; true when the plug-in accepts them. */
    virtual bool setSpeakerArrangement (vst::VstSpeakerArrangement* input,
                                        vst::VstSpeakerArrangement* output)                 { return false; }
    /** The host bypasses the plug-in; true when the plug-in does its own soft bypass. */
    virtual bool setBypass (bool onOff)                                                      { return false; }

    /** Writes the effect's name (at most 31 characters); true when written. */
    virtual bool getEffectName (char* name)                                                  { return false; }
    /** Writes the vendor's name (at most 63 characters); true when written. */
    virtual bool getVendorString (char* text)                                                { return false; }
    /** Writes the product's name (at most 63 characters); true when written. */
    virtual bool getProductString (char* text)                                               { return false; }
    /** The vendor's version number of the plug-in. */
    virtual vst::int32 getVendorVersion()                                                    { return 0; }
    /** A vendor's own extension. */
    virtual vst::IntPtr vendorSpecific (vst::int32 index, vst::IntPtr value, void* ptr, float opt) { return 0; }
    /** 1 when the plug-in can do text, -1 when it cannot, 0 when it does not know. */
    virtual vst::int32 canDo (char* text)                                                    { return 0; }
    /** The length of the tail after the input stops, in samples; 0 for the default, 1 for none. */
    virtual vst::int32 getGetTailSize()                                                      { return 0; }
    /** Fills the properties of parameter index; true when filled. */
    virtual bool getParameterProperties (vst::int32 index, vst::VstParameterProperties* p) { return false; }
    /** The interface version the plug-in speaks. */
    virtual vst::int32 getVstVersion()                                                       { return vst::kVstVersion; }

    /** Fills a MIDI program name of channel; the number of programs. */
    virtual vst::int32 getMidiProgramName (vst::int32 channel, vst::MidiProgramName* name)  { return 0; }
    /** Fills the current MIDI program of channel; its index, -1 for none. */
    virtual vst::int32 getCurrentMidiProgram (vst::int32 channel, vst::MidiProgramName* name) { return -1; }
    /** Fills a MIDI program category of channel; the number of categories. */
    virtual vst::int32 getMidiProgramCategory (vst::int32 channel, vst::MidiProgramCategory* category) { return 0; }
    /** True when the MIDI programs of channel changed since the host last asked. */
    virtual bool hasMidiProgramsChanged (vst::int32 channel)                                 { return false; }
    /** Fills the name of a MIDI key of channel; true when filled. */
    virtual bool getMidiKeyName (vst::int32 channel, vst::MidiKeyName* keyName)             { return false; }

    /** A program change is about to start. */
    virtual bool beginSetProgram()                                                           { return false; }
    /** A program change has finished. */
    virtual bool endSetProgram()                                                             { return false; }

    /** Points *input and *output at the plug-in's arrangements; true when set. */
    virtual bool getSpeakerArrangement (vst::VstSpeakerArrangement** input,
                                        vst::VstSpeakerArrangement** output)                { return false; }
    /** Shell plug-ins: writes the next plug-in's name (at most 63 characters); its id, 0 when done. */
    virtual vst::int32 getNextShellPlugin (char* name)                                       { return 0; }

    /** Processing is about to start. */
    virtual vst::int32 startProcess()                                                        { return 0; }
    /** Processing has stopped. */
    virtual vst::int32 stopProcess()                                                         { return 0; }
    /** Offline: the number of samples that will be processed. */
    virtual vst::int32 setTotalSampleToProcess (vst::int32 value)                            { return 0; }
    /** The host's pan law (type and gain); true when the plug-in takes it. */
    virtual bool setPanLaw (vst::int32 type, float value)                                    { return false; }
    /** A bank is about to be loaded: 1 to accept, -1 to refuse, 0 when unsupported. */
    virtual vst::int32 beginLoadBank (vst::VstPatchChunkInfo* info)                          { return 0; }
    /** A program is about to be loaded: 1 to accept, -1 to refuse, 0 when unsupported. */
    virtual vst::int32 beginLoadProgram (vst::VstPatchChunkInfo* info)                       { return 0; }
    /** The precision the host will process with (0 single, 1 double); true when taken. */
    virtual bool setProcessPrecision (vst::int32 precision)                                  { return false; }
    /** The number of MIDI input channels the plug-in uses. */
    virtual vst::int32 getNumMidiInputChannels()                                             { return 0; }
    /** The number of MIDI output channels the plug-in uses. */
    virtual vst::int32 getNumMidiOutputChannels()                                            { return 0; }

    //==============================================================================
    /** Sets or clears effFlagsIsSynth. */
    void isSynth (bool state = true)                          { setFlag (vst::effFlagsIsSynth, state); }
    /** Sets or clears effFlagsNoSoundInStop: silence in gives silence out. */
    void noTail (bool state = true)                           { setFlag (vst::effFlagsNoSoundInStop, state); }
    /** Sets or clears the deprecated effFlagsExtIsAsync. */
    void wantAsyncOperation (bool state = true)               { setFlag (vst::effFlagsExtIsAsync, state); }
    /** Sets or clears the deprecated effFlagsExtHasBuffer. */
    void hasExternalBuffer (bool state = true)                { setFlag (vst::effFlagsExtHasBuffer, state); }

    //==============================================================================
    // Requests to the host. Each answers 0 or false when there is no host callback.

    /** Asks for events (deprecated; filter 1 is MIDI); true when the host answers non-zero. */
    bool wantEvents (vst::int32 filter = 1);
    /** The host's time record with the fields filter asks for, or null. */
    vst::VstTimeInfo* getTimeInfo (vst::int32 filter);
    /** Sends events to the host; false for null events. */
    bool sendVstEventsToHost (vst::VstEvents* events);
    /** The tempo at sample position pos, in beats per minute × 10000 (deprecated). */
    vst::int32 tempoAt (vst::int32 pos);
    /** The number of parameters the host can automate (deprecated). */
    vst::int32 getNumAutomatableParameters();
    /** The host's parameter quantisation (deprecated). */
    vst::int32 getParameterQuantization();
    /** Tells the host the channel counts or latency changed; true when it took note. */
    bool ioChanged();
    /** Asks for idle calls (deprecated). */
    bool needIdle();
    /** Asks the host to resize the editor window. */
    bool sizeWindow (vst::int32 width, vst::int32 height);
    /** Asks the host's sample rate; stores a positive answer and returns the stored rate. */
    double updateSampleRate();
    /** Asks the host's block size; stores a positive answer and returns the stored size. */
    vst::int32 updateBlockSize();
    /** The host's input latency in samples. */
    vst::int32 getInputLatency();
    /** The host's output latency in samples. */
    vst::int32 getOutputLatency();
    /** The plug-in feeding input (deprecated). */
    vst::AEffect* getPreviousPlug (vst::int32 input);
    /** The plug-in fed by output (deprecated). */
    vst::AEffect* getNextPlug (vst::int32 output);
    /** 0 when the host does not know, 1 for replacing, 2 for accumulating (deprecated). */
    vst::int32 willProcessReplacing();
    /** 0 unknown, 1 user thread, 2 audio thread, 3 sequencer, 4 offline. */
    vst::int32 getCurrentProcessLevel();
    /** 0 unsupported, 1 off, 2 read, 3 write, 4 read and write. */
    vst::int32 getAutomationState();

    /** Offline: reads the task's data from the host. */
    bool offlineRead (vst::VstOfflineTask* task, vst::int32 option, bool readSource = true);
    /** Offline: writes the task's data to the host. */
    bool offlineWrite (vst::VstOfflineTask* task, vst::int32 option);
    /** Offline: the current pass. */
    bool offlineGetCurrentPass();
    /** Offline: the current meta pass. */
    bool offlineGetCurrentMetaPass();

    /** Tells the host the output sample rate differs (deprecated). */
    bool setOutputSamplerate (float rate);
    /** The host's output speaker arrangement (deprecated). */
    vst::VstSpeakerArrangement* getOutputSpeakerArrangement();
    /** The host's input speaker arrangement (deprecated). */
    vst::VstSpeakerArrangement* getInputSpeakerArrangement();

    /** Writes the host's vendor (at most 63 characters); true when the host gave it. */
    bool getHostVendorString (char* text);
    /** Writes the host's product name (at most 63 characters); true when the host gave it. */
    bool getHostProductString (char* text);
    /** The host's version number. */
    vst::int32 getHostVendorVersion();
    /** A host vendor's own extension. */
    vst::IntPtr hostVendorSpecific (vst::int32 index, vst::IntPtr value, void* ptr, float opt);
    /** True when the host says it can do text (answers 1); -1 means it cannot. */
    bool canHostDo (char* text);
    /** The host's language: 1 English, 2 German, 3 French, 4 Italian, 5 Spanish, 6 Japanese. */
    vst::int32 getHostLanguage();

    /** Asks the host to open a window (deprecated). */
    void* openWindow (vst::VstWindow* window);
    /** Asks the host to close a window (deprecated). */
    bool closeWindow (vst::VstWindow* window);
    /** The folder of the plug-in as the host sees it. */
    void* getDirectory();
    /** Names, texts or programs changed: the host should read them again. */
    bool updateDisplay();
    /** The user starts changing parameter index. */
    bool beginEdit (vst::int32 index);
    /** The user stops changing parameter index. */
    bool endEdit (vst::int32 index);
    /** Opens the host's file selector. */
    bool openFileSelector (vst::VstFileSelect* select);
    /** Closes the host's file selector. */
    bool closeFileSelector (vst::VstFileSelect* select);
    /** Asks the host for the file a chunk came from. */
    bool getChunkFile (void* nativePath);

    //==============================================================================
    /** Replaces *arrangement with a zeroed block for numChannels speakers; false when it cannot. */
    static bool allocateArrangement (vst::VstSpeakerArrangement** arrangement, vst::int32 numChannels);
    /** Frees *arrangement and sets it to null. */
    static bool deallocateArrangement (vst::VstSpeakerArrangement** arrangement);
    /** Copies one speaker; the name keeps at most 63 characters and a terminator. */
    static bool copySpeaker (vst::VstSpeakerProperties* to, const vst::VstSpeakerProperties* from);
    /** Replaces *to with a copy of from, speaker by speaker. */
    static bool matchArrangement (vst::VstSpeakerArrangement** to, const vst::VstSpeakerArrangement* from);

    /** The size of a block holding an arrangement of numChannels speakers. */
    static constexpr std::size_t arrangementBytes (vst::int32 numChannels) noexcept
    {
        return offsetof (vst::VstSpeakerArrangement, speakers)
                 + (std::size_t) numChannels * sizeof (vst::VstSpeakerProperties);
    }

    /** The most speakers an arrangement block may hold. */
    static constexpr vst::int32 maxArrangementChannels = 1024;

    /** Buffer sizes, terminating zero included, of the texts the dispatcher writes. */
    static constexpr vst::int32 effectNameBytes  = vst::kVstMaxEffectNameLen;
    static constexpr vst::int32 vendorBytes      = vst::kVstMaxVendorStrLen;
    static constexpr vst::int32 productBytes     = vst::kVstMaxProductStrLen;
    static constexpr vst::int32 shellNameBytes   = vst::kVstMaxProductStrLen;
    static constexpr vst::int32 canDoBytes       = 64;

private:
    /** Asks the host for a text with opcode into a buffer of ours and copies at most
        bytes - 1 characters of it to text; true when the host answered. */
    bool getHostText (vst::int32 opcode, char* text, vst::int32 bytes);
};
