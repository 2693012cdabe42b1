/*
    The plug-in side of the VST 2.4 interface, basic part: the effect record the host
    holds, the static callbacks stored in it, the dispatcher for the original opcodes
    (0 to 24), the first host requests and the value-to-text helpers.

    Nothing the host hands over is trusted: null pointers for texts, chunks and
    rectangles are refused, program and parameter indices are checked against the
    counts given to the constructor, and texts written into host buffers are cut to
    the size the interface allows for them.

    Ownership: the host owns an instance through its record. The instance is created
    with new by the entry routine and deletes itself when the host sends effClose.
*/
#pragma once

#include "host/AEffEditor.h"
#include "host/VstInterface.h"

#include <memory>

class AudioEffect
{
public:
    /** Sets up the record for a plug-in with the given program and parameter counts. */
    AudioEffect (vst::HostCallback audioMaster, vst::int32 numPrograms, vst::int32 numParams);

    /** Deletes the editor object, if any. */
    virtual ~AudioEffect();

    AudioEffect (const AudioEffect&) = delete;
    AudioEffect& operator= (const AudioEffect&) = delete;

    //==============================================================================
    /** The record's dispatcher: deletes the object after effClose and answers 1 for it. */
    static vst::IntPtr dispatchEffectClass (vst::AEffect* e, vst::int32 opcode, vst::int32 index,
                                            vst::IntPtr value, void* ptr, float opt);
    /** The record's getParameter: 0 for an index out of range. */
    static float getParameterClass (vst::AEffect* e, vst::int32 index);
    /** The record's setParameter: an index out of range is ignored. */
    static void setParameterClass (vst::AEffect* e, vst::int32 index, float value);
    /** The record's accumulating process call (deprecated). */
    static void processClass (vst::AEffect* e, float** inputs, float** outputs, vst::int32 sampleFrames);
    /** The record's processReplacing. */
    static void processClassReplacing (vst::AEffect* e, float** inputs, float** outputs, vst::int32 sampleFrames);
    /** The record's processDoubleReplacing. */
    static void processClassDoubleReplacing (vst::AEffect* e, double** inputs, double** outputs, vst::int32 sampleFrames);

    //==============================================================================
    /** Handles opcodes 0 to 24 and answers 0 to everything else. */
    virtual vst::IntPtr dispatcher (vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt);

    /** effOpen: the host has the record and is about to use it. */
    virtual void open() {}
    /** effClose: the host is done; the object is deleted right after. */
    virtual void close() {}
    /** effMainsChanged 0: processing stops. */
    virtual void suspend() {}
    /** effMainsChanged 1: processing (re)starts. */
    virtual void resume() {}

    /** Stores the host's sample rate (only positive, finite rates reach it). */
    virtual void setSampleRate (float newSampleRate)          { sampleRate = newSampleRate; }
    /** Stores the host's largest block size (only positive sizes reach it). */
    virtual void setBlockSize (vst::int32 newBlockSize)       { blockSize = newBlockSize; }

    /** Replaces outputs with the processed inputs. */
    virtual void processReplacing (float** inputs, float** outputs, vst::int32 sampleFrames) = 0;
    /** The double-precision processReplacing; does nothing by default. */
    virtual void processDoubleReplacing (double** inputs, double** outputs, vst::int32 sampleFrames) {}

    /** Sets parameter index to a normalised value (0 to 1). */
    virtual void setParameter (vst::int32 index, float value) {}
    /** The normalised value of parameter index. */
    virtual float getParameter (vst::int32 index)             { return 0.0f; }
    /** Sets a parameter and tells the host, which records it as automation. */
    virtual void setParameterAutomated (vst::int32 index, float value);

    /** The current program's index. */
    virtual vst::int32 getProgram()                           { return curProgram; }
    /** Makes program the current one (the dispatcher passes only indices in range). */
    virtual void setProgram (vst::int32 program)              { curProgram = program; }
    /** Renames the current program. */
    virtual void setProgramName (char* name) {}
    /** Writes the current program's name (at most 23 characters). */
    virtual void getProgramName (char* name)                  { writeEmptyText (name); }
    /** Writes the unit of parameter index (at most 7 characters). */
    virtual void getParameterLabel (vst::int32 index, char* label)   { writeEmptyText (label); }
    /** Writes the value text of parameter index (at most 23 characters). */
    virtual void getParameterDisplay (vst::int32 index, char* text)  { writeEmptyText (text); }
    /** Writes the name of parameter index (at most 15 characters). */
    virtual void getParameterName (vst::int32 index, char* text)     { writeEmptyText (text); }

    /** Points *data at the state (bank) or current-program (preset) chunk; its size, 0 for none. */
    virtual vst::int32 getChunk (void** data, bool isPreset = false)                    { return 0; }
    /** Restores a chunk of byteSize bytes (at least 1); the answer is unused by hosts. */
    virtual vst::int32 setChunk (void* data, vst::int32 byteSize, bool isPreset = false) { return 0; }

    /** Stores the plug-in's four-character id in the record. */
    virtual void setUniqueID (vst::int32 id)                  { cEffect.uniqueID = id; }
    /** Stores the number of audio inputs in the record. */
    virtual void setNumInputs (vst::int32 inputs)             { cEffect.numInputs = inputs; }
    /** Stores the number of audio outputs in the record. */
    virtual void setNumOutputs (vst::int32 outputs)           { cEffect.numOutputs = outputs; }

    /** Sets or clears effFlagsCanReplacing. */
    virtual void canProcessReplacing (bool state = true)      { setFlag (vst::effFlagsCanReplacing, state); }
    /** Sets or clears effFlagsCanDoubleReplacing. */
    virtual void canDoubleReplacing (bool state = true)       { setFlag (vst::effFlagsCanDoubleReplacing, state); }
    /** Sets or clears effFlagsProgramChunks: state travels as chunks rather than parameter lists. */
    virtual void programsAreChunks (bool state = true)        { setFlag (vst::effFlagsProgramChunks, state); }

    /** Stores the plug-in's latency in samples in the record. */
    virtual void setInitialDelay (vst::int32 delay)           { cEffect.initialDelay = delay; }

    /** The editor object, or null. */
    virtual AEffEditor* getEditor()                           { return editor.get(); }
    /** The record handed to the host. */
    virtual vst::AEffect* getAeffect()                        { return &cEffect; }
    /** The sample rate last set by the host. */
    virtual float getSampleRate()                             { return sampleRate; }
    /** The block size last set by the host. */
    virtual vst::int32 getBlockSize()                         { return blockSize; }

    //==============================================================================
    /** The host's VST version; 1 when the host answers 0 or there is no host. */
    virtual vst::int32 getMasterVersion();
    /** The unique id of the plug-in the host is currently loading (shell plug-ins). */
    virtual vst::int32 getCurrentUniqueId();
    /** Gives the host a chance to run its idle work. */
    virtual void masterIdle();
    /** True when input pin index is connected (the host answers 0 for connected). */
    virtual bool isInputConnected (vst::int32 index);
    /** True when output pin index is connected (the host answers 0 for connected). */
    virtual bool isOutputConnected (vst::int32 index);

    //==============================================================================
    /** Writes "-oo" for a value not above 0, else the value in decibels. */
    virtual void dB2string (float value, char* text, vst::int32 maxLen);
    /** Writes the frequency of a period of samples at the current sample rate. */
    virtual void Hz2string (float samples, char* text, vst::int32 maxLen);
    /** Writes the duration of samples in milliseconds at the current sample rate. */
    virtual void ms2string (float samples, char* text, vst::int32 maxLen);
    /** Writes value in at most eight characters, fraction digits cut off; "Huge!" beyond range. */
    virtual void float2string (float value, char* text, vst::int32 maxLen);
    /** Writes value in decimal; "Huge!" from 100,000,000 on. */
    virtual void int2string (vst::int32 value, char* text, vst::int32 maxLen);

    /** The accumulating process call of old hosts (deprecated); adds nothing by default. */
    virtual void process (float** inputs, float** outputs, vst::int32 sampleFrames) {}

    //==============================================================================
    /** Gives the plug-in an editor object (or none) and sets effFlagsHasEditor to match. */
    void setEditor (std::unique_ptr<AEffEditor> newEditor);

    /** Sets or clears the deprecated effFlagsHasClip. */
    void hasClip (bool state)                                 { setFlag (vst::effFlagsHasClip, state); }
    /** Sets or clears the deprecated effFlagsHasVu. */
    void hasVu (bool state)                                   { setFlag (vst::effFlagsHasVu, state); }
    /** Sets or clears the deprecated effFlagsCanMono. */
    void canMono (bool state)                                 { setFlag (vst::effFlagsCanMono, state); }

    /** Copies source into dest: at most maxChars characters and a terminating zero.
        Null pointers are ignored; a negative maxChars counts as 0.
    */
    static void copyText (char* dest, const char* source, vst::int32 maxChars) noexcept;

    /** Buffer sizes, terminating zero included, of the texts the dispatcher writes. */
    static constexpr vst::int32 programNameBytes  = vst::kVstMaxProgNameLen;
    static constexpr vst::int32 paramLabelBytes   = vst::kVstMaxParamStrLen;
    static constexpr vst::int32 paramDisplayBytes = 24;
    static constexpr vst::int32 paramNameBytes    = 16;

protected:
    /** Calls the host; 0 when there is no host callback. */
    vst::IntPtr callHost (vst::int32 opcode, vst::int32 index = 0, vst::IntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);

    /** Sets or clears one bit of the record's flags. */
    void setFlag (vst::int32 bit, bool state) noexcept;

    /** True for 0 <= index < numParams. */
    bool isParameterIndex (vst::int32 index) const noexcept   { return index >= 0 && index < numParams; }
    /** True for 0 <= index < numPrograms. */
    bool isProgramIndex (vst::IntPtr index) const noexcept    { return index >= 0 && index < numPrograms; }

    /** Lets a text operation write into a large zeroed buffer, then copies at most
        bufferBytes - 1 characters of it and a terminating zero to the host's buffer.
    */
    template <typename WriteFunction>
    static void writeLimitedText (void* hostBuffer, vst::int32 bufferBytes, WriteFunction&& write)
    {
        char text[scratchTextBytes] = {};
        write (text);
        text[scratchTextBytes - 1] = 0;
        copyText (static_cast<char*> (hostBuffer), text, bufferBytes - 1);
    }

    /** Copies a host's text, which may lack its terminator, into a terminated buffer of
        scratchTextBytes and hands that to read.
    */
    template <typename ReadFunction>
    static auto readLimitedText (const void* hostText, vst::int32 bufferBytes, ReadFunction&& read)
    {
        char text[scratchTextBytes] = {};
        copyText (text, static_cast<const char*> (hostText),
                  (bufferBytes < scratchTextBytes ? bufferBytes : scratchTextBytes) - 1);
        return read (text);
    }

    /** Writes an empty text when text is not null. */
    static void writeEmptyText (char* text) noexcept          { if (text != nullptr) *text = 0; }

    static constexpr vst::int32 scratchTextBytes = 256;

    //==============================================================================
    vst::HostCallback audioMaster = nullptr;
    std::unique_ptr<AEffEditor> editor;
    float sampleRate = 44100.0f;
    vst::int32 blockSize = 1024;
    vst::int32 numPrograms = 0;
    vst::int32 numParams = 0;
    vst::int32 curProgram = 0;
    vst::AEffect cEffect {};
};
