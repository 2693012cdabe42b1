/*
    One open instance of a VST 2.4 plug-in, driven as a host drives it: identity, parameters,
    programs, state chunks, sample rate, block size, mains switching, block processing with
    MIDI events, and an offline render of a whole buffer with timed parameter changes and
    MIDI events.
*/
#pragma once

#include "host/VstInterface.h"
#include "tools/host/AudioData.h"
#include "tools/host/VstHost.h"
#include "tools/host/VstLibrary.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vsthost
{

class VstPlugin
{
public:
    /** A MIDI message of up to three bytes, to be delivered deltaFrames into a block. */
    struct MidiEvent
    {
        vst::int32 deltaFrames = 0;
        std::uint8_t data[3] {};

        /** Makes a program change (program 0..127, channel 0..15). */
        static MidiEvent programChange (int program, int channel = 0, int deltaFrames = 0) noexcept;
        /** Makes a control change (controller and value 0..127, channel 0..15). */
        static MidiEvent controlChange (int controller, int value, int channel = 0, int deltaFrames = 0) noexcept;
        /** Makes a note-on (a velocity of 0 makes a note-off, as MIDI says). */
        static MidiEvent noteOn (int note, int velocity, int channel = 0, int deltaFrames = 0) noexcept;
    };

    /** A MIDI message at an absolute sample position of a render. */
    struct TimedMidiEvent
    {
        std::int64_t position = 0;
        MidiEvent event;
    };

    /** A parameter value set at an absolute sample position of a render. */
    struct ParameterChange
    {
        std::int64_t position = 0;
        vst::int32 index = 0;
        float value = 0.0f;
    };

    /** How render() streams audio through the plug-in. */
    struct RenderOptions
    {
        /** The block sizes, used in turn and cycled (one entry gives a fixed block size). */
        std::vector<int> blockSizes { 512 };

        /** Parameter values to set; each is set before the sample at its position is processed.
            Changes at or past the end of the render are never applied. */
        std::vector<ParameterChange> parameterChanges;

        /** MIDI events to deliver; an event inside a block is delivered with that block with
            deltaFrames = position - block start. Events at or past the end are not delivered. */
        std::vector<TimedMidiEvent> midiEvents;

        /** The sample rate to run at; 0 uses the input's rate. */
        double sampleRate = 0.0;

        /** Silent frames processed after the input, so that tails and delays come out. */
        std::int64_t tailFrames = 0;

        /** When true, a block is cut at each parameter change inside it so that the change takes
            effect at its exact sample; when false, changes are set before the block they fall in. */
        bool splitBlocksAtParameterChanges = true;
    };

    //==============================================================================
    /** Creates an instance from a loaded library, answering its callbacks with the given host:
        calls the entry, checks the magic number, then sends effOpen and the host's sample rate
        and block size. Returns null with a reason on failure. */
    static std::unique_ptr<VstPlugin> open (std::shared_ptr<VstLibrary> library, std::shared_ptr<VstHost> host,
                                            std::string& error);

    /** Loads a library and creates an instance from it with a new host. */
    static std::unique_ptr<VstPlugin> open (const std::string& path, std::string& error);

    /** Creates an instance from an entry function linked into this program (no library). */
    static std::unique_ptr<VstPlugin> openWithEntry (vst::PluginEntryProc entry, std::shared_ptr<VstHost> host,
                                                     std::string& error);

    /** Closes the instance if that has not been done yet; the library stays loaded. */
    ~VstPlugin();

    VstPlugin (const VstPlugin&) = delete;
    VstPlugin& operator= (const VstPlugin&) = delete;

    /** Switches the mains off if on, sends effClose and counts the instance as closed in its
        library. Afterwards every operation answers 0, false or empty. */
    void close();

    /** Returns true until close(). */
    bool isOpen() const noexcept                                { return effect != nullptr; }

    /** Returns the plug-in's record (null once closed). */
    vst::AEffect* getEffect() const noexcept                    { return effect; }
    /** Returns the host that answers this instance's callbacks. */
    VstHost& getHost() const noexcept                           { return *host; }
    /** Returns the library the instance came from (null for an entry linked in). */
    const std::shared_ptr<VstLibrary>& getLibrary() const noexcept { return library; }

    /** Sends an opcode to the plug-in's dispatcher and returns its answer (0 once closed). */
    vst::IntPtr dispatch (vst::int32 opcode, vst::int32 index = 0, vst::IntPtr value = 0,
                          void* ptr = nullptr, float opt = 0.0f);

    /** Asks the dispatcher for a text (effGetEffectName and the like). */
    std::string getText (vst::int32 opcode, vst::int32 index = 0);

    //==============================================================================
    /** The effect name (effGetEffectName). */
    std::string getName()                                       { return getText (vst::effGetEffectName); }
    /** The vendor (effGetVendorString). */
    std::string getVendor()                                     { return getText (vst::effGetVendorString); }
    /** The product (effGetProductString). */
    std::string getProduct()                                    { return getText (vst::effGetProductString); }
    /** The vendor's version number (effGetVendorVersion). */
    vst::int32 getVendorVersion()                               { return (vst::int32) dispatch (vst::effGetVendorVersion); }
    /** The VST version the plug-in speaks (effGetVstVersion). */
    vst::int32 getVstVersion()                                  { return (vst::int32) dispatch (vst::effGetVstVersion); }
    /** The plug-in's category (effGetPlugCategory). */
    vst::int32 getCategory()                                    { return (vst::int32) dispatch (vst::effGetPlugCategory); }
    /** The plug-in's answer to a canDo text: 1 yes, -1 no, 0 don't know. */
    vst::IntPtr canDo (const std::string& text);

    /** The unique id from the record. */
    vst::int32 getUniqueId() const noexcept                     { return effect != nullptr ? effect->uniqueID : 0; }
    /** The record's flags. */
    vst::int32 getFlags() const noexcept                        { return effect != nullptr ? effect->flags : 0; }
    /** True when all the given flag bits are set. */
    bool hasFlag (vst::int32 flag) const noexcept               { return (getFlags() & flag) == flag; }
    /** The record's version field. */
    vst::int32 getRecordVersion() const noexcept                { return effect != nullptr ? effect->version : 0; }
    /** The number of audio inputs. */
    int getNumInputs() const noexcept                           { return effect != nullptr ? effect->numInputs : 0; }
    /** The number of audio outputs. */
    int getNumOutputs() const noexcept                          { return effect != nullptr ? effect->numOutputs : 0; }
    /** The number of programs. */
    int getNumPrograms() const noexcept                         { return effect != nullptr ? effect->numPrograms : 0; }
    /** The number of parameters. */
    int getNumParameters() const noexcept                       { return effect != nullptr ? effect->numParams : 0; }
    /** The latency the record reports, in samples. */
    int getInitialDelay() const noexcept                        { return effect != nullptr ? effect->initialDelay : 0; }

    /** Writes a unique id as its four characters, or as hexadecimal when any is not printable. */
    static std::string uniqueIdToText (vst::int32 id);

    //==============================================================================
    /** The parameter's normalised value. The index goes to the plug-in unchecked. */
    float getParameter (vst::int32 index);
    /** Sets a parameter's normalised value. The index goes to the plug-in unchecked. */
    void setParameter (vst::int32 index, float value);
    /** The parameter's name (effGetParamName). */
    std::string getParameterName (vst::int32 index)             { return getText (vst::effGetParamName, index); }
    /** The text of the parameter's value (effGetParamDisplay). */
    std::string getParameterDisplay (vst::int32 index)          { return getText (vst::effGetParamDisplay, index); }
    /** The parameter's unit label (effGetParamLabel). */
    std::string getParameterLabel (vst::int32 index)            { return getText (vst::effGetParamLabel, index); }
    /** True when the plug-in says the parameter can be automated (effCanBeAutomated). */
    bool canBeAutomated (vst::int32 index)                      { return dispatch (vst::effCanBeAutomated, index) == 1; }

    /** The current program (effGetProgram). */
    int getProgram()                                            { return (int) dispatch (vst::effGetProgram); }
    /** Selects a program (effSetProgram). */
    void setProgram (int program)                               { dispatch (vst::effSetProgram, 0, program); }
    /** The current program's name (effGetProgramName). */
    std::string getProgramName()                                { return getText (vst::effGetProgramName); }
    /** Any program's name (effGetProgramNameIndexed). */
    std::string getProgramName (int program)                    { return getText (vst::effGetProgramNameIndexed, program); }

    //==============================================================================
    /** Gets the state chunk: the whole state (bank) or only the current program. Empty when the
        plug-in returns none. */
    std::vector<std::uint8_t> getChunk (bool programOnly);
    /** Hands the plug-in a state chunk (effSetChunk) and returns its answer. */
    vst::IntPtr setChunk (const std::vector<std::uint8_t>& chunk, bool programOnly);
    /** Writes the state chunk to a file (replaced only once the new one is complete). */
    bool saveChunk (const std::string& path, bool programOnly, std::string& error);
    /** Reads a state chunk from a file and hands it to the plug-in. */
    bool loadChunk (const std::string& path, bool programOnly, std::string& error);

    /** The largest state chunk the host accepts from a plug-in or a file. */
    static constexpr std::int64_t maxChunkSize = (std::int64_t) 256 << 20;

    //==============================================================================
    /** Tells the host and the plug-in the sample rate (effSetSampleRate). */
    void setSampleRate (double sampleRate);
    /** Tells the host and the plug-in the largest block size (effSetBlockSize). */
    void setBlockSize (int blockSize);
    /** Switches the plug-in on (resume) or off (suspend) with effMainsChanged. */
    void setMainsOn (bool shouldBeOn);
    /** True after setMainsOn (true) until setMainsOn (false). */
    bool isMainsOn() const noexcept                             { return mainsOn; }

    /** Delivers MIDI events with effProcessEvents (nothing is sent for an empty list). */
    vst::IntPtr sendEvents (const std::vector<MidiEvent>& events);

    /** Processes one block: the events first (effProcessEvents), then processReplacing. inputs
        and outputs hold getNumInputs() and getNumOutputs() channel pointers of numFrames samples.
        The host's sample position moves on by numFrames afterwards. */
    void process (const float* const* inputs, float* const* outputs, int numFrames,
                  const std::vector<MidiEvent>& events = {});

    /** Streams a whole buffer through the plug-in. Sets the rate and the largest block size with
        the mains off, switches them on, and switches them off again at the end if they were off.
        Plug-in inputs beyond the input's channels get the mono channel or silence. The output
        has the plug-in's output channels. False with a reason for unusable options. */
    bool render (const AudioData& input, const RenderOptions& options, AudioData& output, std::string& error);

private:
    VstPlugin (vst::AEffect* effect, std::shared_ptr<VstHost> host, std::shared_ptr<VstLibrary> library);

    static std::unique_ptr<VstPlugin> create (vst::PluginEntryProc entry, std::shared_ptr<VstHost> host,
                                              std::shared_ptr<VstLibrary> library, std::string& error);

    vst::AEffect* effect;
    std::shared_ptr<VstHost> host;
    std::shared_ptr<VstLibrary> library;
    bool mainsOn = false;

    std::vector<vst::VstMidiEvent> midiEventStorage;
    std::vector<std::uintptr_t> eventListStorage;
};

} // namespace vsthost
