/*
    The VST 2.4 binding classes: value texts, the record, dispatcher routing and guards,
    requests to the host and the speaker arrangement helpers.
*/
#include "host/AudioEffectX.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace AudioEffectTestsDetail
{
    /** A host callback that records every request and answers what a test sets. */
    struct FakeHost
    {
        struct Call { vst::int32 opcode, index; vst::IntPtr value; void* ptr; float opt; };

        std::vector<Call> calls;
        std::vector<std::string>* log = nullptr;
        vst::IntPtr answer = 0;
        const char* textAnswer = nullptr;

        static inline FakeHost* current = nullptr;

        static vst::IntPtr callback (vst::AEffect*, vst::int32 opcode, vst::int32 index, vst::IntPtr value, void* ptr, float opt)
        {
            current->calls.push_back ({ opcode, index, value, ptr, opt });

            if (current->log != nullptr)
                current->log->push_back ("host " + std::to_string (opcode));

            if (current->textAnswer != nullptr && ptr != nullptr)
                std::strcpy (static_cast<char*> (ptr), current->textAnswer);

            return current->answer;
        }
    };

    /** Records which operation the dispatcher reached; long texts test the limits. */
    class RecordingEffect : public AudioEffectX
    {
    public:
        RecordingEffect (vst::HostCallback host, vst::int32 programs, vst::int32 params, bool* deleted = nullptr)
            : AudioEffectX (host, programs, params), deletedFlag (deleted) {}

        ~RecordingEffect() override       { if (deletedFlag != nullptr) *deletedFlag = true; }

        std::vector<std::string> log;
        std::string lastText;

        void processReplacing (float**, float**, vst::int32) override      { log.push_back ("processReplacing"); }
        void open() override                                               { log.push_back ("open"); }
        void close() override                                              { log.push_back ("close"); }
        void suspend() override                                            { log.push_back ("suspend"); }
        void resume() override                                             { log.push_back ("resume"); }
        void setSampleRate (float r) override              { log.push_back ("setSampleRate"); AudioEffectX::setSampleRate (r); }
        void setBlockSize (vst::int32 s) override          { log.push_back ("setBlockSize"); AudioEffectX::setBlockSize (s); }
        void setParameter (vst::int32 i, float) override                   { log.push_back ("setParameter " + std::to_string (i)); }
        float getParameter (vst::int32) override                           { log.push_back ("getParameter"); return 0.25f; }
        void setProgram (vst::int32 p) override            { log.push_back ("setProgram " + std::to_string (p)); AudioEffectX::setProgram (p); }
        void setProgramName (char* name) override                          { log.push_back ("setProgramName"); lastText = name; }
        void getProgramName (char* name) override                          { log.push_back ("getProgramName"); std::strcpy (name, longText); }
        void getParameterName (vst::int32, char* text) override            { log.push_back ("getParameterName"); std::strcpy (text, longText); }
        void getParameterDisplay (vst::int32, char* text) override         { log.push_back ("getParameterDisplay"); std::strcpy (text, longText); }
        void getParameterLabel (vst::int32, char* text) override           { log.push_back ("getParameterLabel"); std::strcpy (text, longText); }
        vst::int32 getChunk (void** data, bool preset) override            { log.push_back (preset ? "getChunk preset" : "getChunk bank"); *data = chunk; return 4; }
        vst::int32 setChunk (void*, vst::int32 size, bool preset) override { log.push_back ("setChunk " + std::to_string (size) + (preset ? " preset" : " bank")); return 0; }
        vst::int32 processEvents (vst::VstEvents*) override                { log.push_back ("processEvents"); return 1; }
        bool canParameterBeAutomated (vst::int32) override                 { log.push_back ("canParameterBeAutomated"); return true; }
        bool string2parameter (vst::int32, char* text) override            { log.push_back ("string2parameter"); lastText = text; return true; }
        bool setBypass (bool onOff) override                               { log.push_back (onOff ? "setBypass on" : "setBypass off"); return false; }
        bool getEffectName (char* name) override                           { log.push_back ("getEffectName"); std::strcpy (name, longText); return true; }
        bool getVendorString (char* text) override                         { log.push_back ("getVendorString"); std::strcpy (text, "Vendor"); return true; }
        vst::int32 getVendorVersion() override                             { log.push_back ("getVendorVersion"); return 66305; }
        vst::int32 canDo (char* text) override                             { log.push_back ("canDo"); lastText = text; return -1; }
        vst::int32 getGetTailSize() override                               { log.push_back ("getGetTailSize"); return 123; }
        bool getParameterProperties (vst::int32, vst::VstParameterProperties*) override { log.push_back ("getParameterProperties"); return true; }
        bool setSpeakerArrangement (vst::VstSpeakerArrangement*, vst::VstSpeakerArrangement*) override { log.push_back ("setSpeakerArrangement"); return true; }
        vst::int32 startProcess() override                                 { log.push_back ("startProcess"); return 1; }

        static constexpr const char* longText = "A text far longer than any buffer the host gives for it";
        char chunk[4] = { 1, 2, 3, 4 };
        bool* deletedFlag;
    };

    std::string lastCall (const RecordingEffect& e)     { return e.log.empty() ? std::string() : e.log.back(); }

//==============================================================================
TEST (AudioEffectText, ValueToTextEdgeCasesAndLimits)
{
    RecordingEffect effect (nullptr, 1, 1);

    struct Case { std::function<void (char*, vst::int32)> write; vst::int32 maxLen; const char* expected; };

    const Case cases[] =
    {
        { [&] (char* t, vst::int32 n) { effect.float2string (0.5f, t, n); },           8, "0.500000" },
        { [&] (char* t, vst::int32 n) { effect.float2string (0.0f, t, n); },           8, "0.000000" },
        { [&] (char* t, vst::int32 n) { effect.float2string (-0.5f, t, n); },          8, "-0.50000" },
        { [&] (char* t, vst::int32 n) { effect.float2string (12.3456789f, t, n); },    8, "12.34567" },   // cut, not rounded
        { [&] (char* t, vst::int32 n) { effect.float2string (0.9999999f, t, n); },     8, "0.999999" },
        { [&] (char* t, vst::int32 n) { effect.float2string (1234567.0f, t, n); },     8, "1234567." },
        { [&] (char* t, vst::int32 n) { effect.float2string (12345678.0f, t, n); },   16, "12345678." },  // no digit lost
        { [&] (char* t, vst::int32 n) { effect.float2string (-9999999.0f, t, n); },   16, "-9999999." },
        { [&] (char* t, vst::int32 n) { effect.float2string (100000000.0f, t, n); },   8, "Huge!" },
        { [&] (char* t, vst::int32 n) { effect.float2string (-10000000.0f, t, n); },   8, "Huge!" },
        { [&] (char* t, vst::int32 n) { effect.float2string (INFINITY, t, n); },       8, "Huge!" },
        { [&] (char* t, vst::int32 n) { effect.float2string (NAN, t, n); },            8, "Huge!" },
        { [&] (char* t, vst::int32 n) { effect.float2string (0.5f, t, n); },           4, "0.50" },
        { [&] (char* t, vst::int32 n) { effect.float2string (100000000.0f, t, n); },   3, "Hug" },
        { [&] (char* t, vst::int32 n) { effect.float2string (0.5f, t, n); },           0, "" },
        { [&] (char* t, vst::int32 n) { effect.float2string (0.5f, t, n); },          -3, "" },
        { [&] (char* t, vst::int32 n) { effect.int2string (-5, t, n); },               8, "-5" },
        { [&] (char* t, vst::int32 n) { effect.int2string (0, t, n); },                8, "0" },
        { [&] (char* t, vst::int32 n) { effect.int2string (99999999, t, n); },         8, "99999999" },
        { [&] (char* t, vst::int32 n) { effect.int2string (100000000, t, n); },        8, "Huge!" },
        { [&] (char* t, vst::int32 n) { effect.int2string (INT_MIN, t, n); },         16, "-2147483648" },
        { [&] (char* t, vst::int32 n) { effect.int2string (12345, t, n); },            3, "123" },
        { [&] (char* t, vst::int32 n) { effect.dB2string (0.0f, t, n); },             8, "-oo" },
        { [&] (char* t, vst::int32 n) { effect.dB2string (-1.0f, t, n); },            8, "-oo" },
        { [&] (char* t, vst::int32 n) { effect.dB2string (1.0f, t, n); },             8, "0.000000" },
        { [&] (char* t, vst::int32 n) { effect.dB2string (10.0f, t, n); },            8, "20.00000" },
        { [&] (char* t, vst::int32 n) { effect.dB2string (0.5f, t, n); },             8, "-6.02059" },
        { [&] (char* t, vst::int32 n) { effect.Hz2string (100.0f, t, n); },           8, "441.0000" },
        { [&] (char* t, vst::int32 n) { effect.Hz2string (0.0f, t, n); },             8, "0.000000" },
        { [&] (char* t, vst::int32 n) { effect.ms2string (441.0f, t, n); },           8, "10.00000" },
    };

    for (const auto& c : cases)
    {
        char buffer[32];
        std::memset (buffer, 'x', sizeof (buffer));
        c.write (buffer, c.maxLen);

        EXPECT_STREQ (buffer, c.expected) << "maxLen " << c.maxLen;
        EXPECT_EQ (buffer[std::strlen (c.expected) + 1], 'x') << c.expected << ": wrote past its terminator";
    }
}

TEST (AudioEffectRecord, LayoutAfterConstructionAndFlagSetters)
{
    RecordingEffect effect (FakeHost::callback, 3, 5);
    const auto& r = *effect.getAeffect();

    EXPECT_EQ (r.magic, 0x56737450);
    EXPECT_EQ (r.dispatcher, &AudioEffect::dispatchEffectClass);
    EXPECT_EQ (r.process, &AudioEffect::processClass);
    EXPECT_EQ (r.setParameter, &AudioEffect::setParameterClass);
    EXPECT_EQ (r.getParameter, &AudioEffect::getParameterClass);
    EXPECT_EQ (r.processReplacing, &AudioEffect::processClassReplacing);
    EXPECT_EQ (r.processDoubleReplacing, &AudioEffect::processClassDoubleReplacing);
    EXPECT_EQ (r.numPrograms, 3);
    EXPECT_EQ (r.numParams, 5);
    EXPECT_EQ (r.numInputs, 1);
    EXPECT_EQ (r.numOutputs, 2);
    EXPECT_EQ (r.flags, 16);
    EXPECT_EQ (r.reserved1 | r.reserved2, 0);
    EXPECT_EQ (r.initialDelay | r.realQualities | r.offQualities, 0);
    EXPECT_EQ (r.ioRatio, 1.0f);
    EXPECT_EQ (r.object, static_cast<AudioEffect*> (&effect));
    EXPECT_EQ (r.user, nullptr);
    EXPECT_EQ (r.uniqueID, 0x4e6f4566);   // "NoEf"
    EXPECT_EQ (r.version, 1);
    EXPECT_EQ (std::count (std::begin (r.future), std::end (r.future), 0), 56);
    EXPECT_EQ (effect.getSampleRate(), 44100.0f);
    EXPECT_EQ (effect.getBlockSize(), 1024);
    EXPECT_EQ (effect.getEditor(), nullptr);

    struct FlagCase { std::function<void (bool)> set; vst::int32 bit; };
    const FlagCase flags[] =
    {
        { [&] (bool s) { effect.canProcessReplacing (s); }, 16 },   { [&] (bool s) { effect.canDoubleReplacing (s); }, 4096 },
        { [&] (bool s) { effect.programsAreChunks (s); }, 32 },     { [&] (bool s) { effect.isSynth (s); }, 256 },
        { [&] (bool s) { effect.noTail (s); }, 512 },               { [&] (bool s) { effect.hasClip (s); }, 2 },
        { [&] (bool s) { effect.hasVu (s); }, 4 },                  { [&] (bool s) { effect.canMono (s); }, 8 },
        { [&] (bool s) { effect.wantAsyncOperation (s); }, 1024 },  { [&] (bool s) { effect.hasExternalBuffer (s); }, 2048 },
    };

    for (const auto& f : flags)
    {
        const auto before = r.flags;
        f.set (true);
        EXPECT_EQ (r.flags, before | f.bit);
        f.set (false);
        EXPECT_EQ (r.flags, before & ~f.bit);
        f.set ((before & f.bit) != 0);
    }
}

TEST (AudioEffectDispatcher, RoutesEachOpcodeToItsOperation)
{
    RecordingEffect effect (nullptr, 3, 5);
    auto* r = effect.getAeffect();
    char buffer[512] = {};
    char* chunk = nullptr;
    vst::VstEvents events {};
    vst::VstParameterProperties properties {};
    vst::VstSpeakerArrangement input {}, output {};

    struct Case { vst::int32 opcode, index; vst::IntPtr value; void* ptr; float opt; const char* call; vst::IntPtr result; };

    const Case cases[] =
    {
        { vst::effOpen,                     0, 0, nullptr, 0, "open", 0 },
        { vst::effSetProgram,               0, 2, nullptr, 0, "setProgram 2", 0 },
        { vst::effGetProgram,               0, 0, nullptr, 0, "setProgram 2", 2 },
        { vst::effGetProgramName,           0, 0, buffer, 0, "getProgramName", 0 },
        { vst::effGetParamLabel,            1, 0, buffer, 0, "getParameterLabel", 0 },
        { vst::effGetParamDisplay,          1, 0, buffer, 0, "getParameterDisplay", 0 },
        { vst::effGetParamName,             1, 0, buffer, 0, "getParameterName", 0 },
        { vst::effSetSampleRate,            0, 0, nullptr, 48000.0f, "setSampleRate", 0 },
        { vst::effSetBlockSize,             0, 512, nullptr, 0, "setBlockSize", 0 },
        { vst::effMainsChanged,             0, 1, nullptr, 0, "resume", 0 },
        { vst::effMainsChanged,             0, 0, nullptr, 0, "suspend", 0 },
        { vst::effEditGetRect,              0, 0, &chunk, 0, "suspend", 0 },
        { vst::effIdentify,                 0, 0, nullptr, 0, "suspend", vst::fourCharCode ('N', 'v', 'E', 'f') },
        { vst::effGetChunk,                 1, 0, &chunk, 0, "getChunk preset", 4 },
        { vst::effGetChunk,                 0, 0, &chunk, 0, "getChunk bank", 4 },
        { vst::effSetChunk,                 1, 9, buffer, 0, "setChunk 9 preset", 0 },
        { vst::effProcessEvents,            0, 0, &events, 0, "processEvents", 1 },
        { vst::effCanBeAutomated,           4, 0, nullptr, 0, "canParameterBeAutomated", 1 },
        { vst::effString2Parameter,         4, 0, buffer, 0, "string2parameter", 1 },
        { vst::effSetSpeakerArrangement,    0, (vst::IntPtr) &input, &output, 0, "setSpeakerArrangement", 1 },
        { vst::effSetBypass,                0, 1, nullptr, 0, "setBypass on", 0 },
        { vst::effGetEffectName,            0, 0, buffer, 0, "getEffectName", 1 },
        { vst::effGetVendorString,          0, 0, buffer, 0, "getVendorString", 1 },
        { vst::effGetVendorVersion,         0, 0, nullptr, 0, "getVendorVersion", 66305 },
        { vst::effCanDo,                    0, 0, buffer, 0, "canDo", -1 },
        { vst::effGetTailSize,              0, 0, nullptr, 0, "getGetTailSize", 123 },
        { vst::effGetParameterProperties,   2, 0, &properties, 0, "getParameterProperties", 1 },
        { vst::effStartProcess,             0, 0, nullptr, 0, "startProcess", 1 },
        // defaults and opcodes without an operation
        { vst::effGetVstVersion,            0, 0, nullptr, 0, "startProcess", 2400 },
        { vst::effGetCurrentMidiProgram,    0, 0, buffer, 0, "startProcess", -1 },
        { vst::effGetPlugCategory,          0, 0, nullptr, 0, "startProcess", 0 },
        { vst::effGetVu,                    0, 0, nullptr, 0, "startProcess", 0 },
        { vst::effKeysRequired,             0, 0, nullptr, 0, "startProcess", 0 },
        { 80,                               0, 0, nullptr, 0, "startProcess", 0 },
    };

    for (const auto& c : cases)
    {
        std::strcpy (buffer, "typed");
        EXPECT_EQ (r->dispatcher (r, c.opcode, c.index, c.value, c.ptr, c.opt), c.result) << "opcode " << c.opcode;
        EXPECT_EQ (lastCall (effect), c.call) << "opcode " << c.opcode;
    }

    EXPECT_EQ (effect.getSampleRate(), 48000.0f);
    EXPECT_EQ (effect.getBlockSize(), 512);
    EXPECT_EQ (effect.lastText, "typed");
    EXPECT_EQ (chunk, effect.chunk);

    r->setParameter (r, 4, 0.5f);
    EXPECT_EQ (lastCall (effect), "setParameter 4");
    EXPECT_EQ (r->getParameter (r, 4), 0.25f);
}

TEST (AudioEffectDispatcher, CloseDeletesTheObjectAndAnswersOne)
{
    bool deleted = false;
    auto* effect = new RecordingEffect (nullptr, 0, 0, &deleted);
    auto* r = effect->getAeffect();

    EXPECT_EQ (r->dispatcher (r, vst::effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_TRUE (deleted);
}

TEST (AudioEffectDispatcher, HostInputIsCheckedBeforeUse)
{
    RecordingEffect effect (nullptr, 3, 5);
    auto* r = effect.getAeffect();

    // Programs: only 0 <= value < numPrograms is taken.
    for (const vst::IntPtr value : { (vst::IntPtr) -1, (vst::IntPtr) 3, (vst::IntPtr) 100, (vst::IntPtr) INT_MIN, (vst::IntPtr) 1 })
        r->dispatcher (r, vst::effSetProgram, 0, value, nullptr, 0.0f);

    EXPECT_EQ (effect.log, std::vector<std::string> { "setProgram 1" });
    EXPECT_EQ (effect.getProgram(), 1);

    // Null pointers are refused for every opcode that reads or writes through ptr.
    const vst::int32 pointerOpcodes[] =
    {
        vst::effSetProgramName, vst::effGetProgramName, vst::effGetParamLabel, vst::effGetParamDisplay,
        vst::effGetParamName, vst::effEditGetRect, vst::effGetChunk, vst::effSetChunk, vst::effProcessEvents,
        vst::effString2Parameter, vst::effGetProgramNameIndexed, vst::effGetInputProperties,
        vst::effGetOutputProperties, vst::effOfflineNotify, vst::effOfflinePrepare, vst::effOfflineRun,
        vst::effProcessVarIo, vst::effSetSpeakerArrangement, vst::effGetEffectName, vst::effGetVendorString,
        vst::effGetProductString, vst::effCanDo, vst::effGetParameterProperties, vst::effGetMidiProgramName,
        vst::effGetMidiProgramCategory, vst::effGetMidiKeyName, vst::effGetSpeakerArrangement,
        vst::effShellGetNextPlugin, vst::effBeginLoadBank, vst::effBeginLoadProgram
    };

    effect.log.clear();

    for (auto opcode : pointerOpcodes)
        EXPECT_EQ (r->dispatcher (r, opcode, 0, 8, nullptr, 0.0f), 0) << "opcode " << opcode;

    EXPECT_TRUE (effect.log.empty());

    // Bad values and indices out of range: nothing reaches the operations, texts come back empty.
    char text[64];
    const struct { vst::int32 opcode, index; vst::IntPtr value; float opt; } badValues[] =
    {
        { vst::effSetSampleRate, 0, 0, 0.0f },            { vst::effSetSampleRate, 0, 0, -44100.0f },
        { vst::effSetSampleRate, 0, 0, NAN },             { vst::effSetBlockSize, 0, 0, 0.0f },
        { vst::effSetBlockSize, 0, -64, 0.0f },           { vst::effSetBlockSize, 0, (vst::IntPtr) 1 << 40, 0.0f },
        { vst::effSetChunk, 0, 0, 0.0f },                 { vst::effSetChunk, 0, -5, 0.0f },
        { vst::effGetParamName, 5, 0, 0.0f },             { vst::effGetParamDisplay, -1, 0, 0.0f },
        { vst::effCanBeAutomated, 5, 0, 0.0f },           { vst::effGetParameterProperties, -1, 0, 0.0f },
        { vst::effGetProgramNameIndexed, 3, 0, 0.0f },    { vst::effGetOutputProperties, 2, 0, 0.0f },
    };

    for (const auto& c : badValues)
    {
        std::strcpy (text, "stale");
        EXPECT_EQ (r->dispatcher (r, c.opcode, c.index, c.value, text, c.opt), 0) << "opcode " << c.opcode;

        if (c.opcode == vst::effGetParamName || c.opcode == vst::effGetParamDisplay || c.opcode == vst::effGetProgramNameIndexed)
        {
            EXPECT_STREQ (text, "") << "opcode " << c.opcode;
        }
    }

    EXPECT_TRUE (effect.log.empty());
    EXPECT_EQ (r->getParameter (r, 5), 0.0f);
    r->setParameter (r, -1, 1.0f);
    EXPECT_TRUE (effect.log.empty());

    // Texts written for the host never pass their buffer's size.
    const struct { vst::int32 opcode; size_t bytes; } limits[] =
    {
        { vst::effGetProgramName, 24 }, { vst::effGetParamLabel, 8 }, { vst::effGetParamDisplay, 24 },
        { vst::effGetParamName, 16 },   { vst::effGetEffectName, 32 },
    };

    for (const auto& l : limits)
    {
        char hostBuffer[80];
        std::memset (hostBuffer, 'x', sizeof (hostBuffer));
        r->dispatcher (r, l.opcode, 0, 0, hostBuffer, 0.0f);

        EXPECT_EQ (std::strlen (hostBuffer), l.bytes - 1) << "opcode " << l.opcode;
        EXPECT_EQ (std::strncmp (hostBuffer, RecordingEffect::longText, l.bytes - 1), 0);
        EXPECT_EQ (hostBuffer[l.bytes], 'x') << "opcode " << l.opcode;
    }

    // A host text without a terminator is read only up to the limit.
    char unterminated[24];
    std::memset (unterminated, 'n', sizeof (unterminated));
    r->dispatcher (r, vst::effSetProgramName, 0, 0, unterminated, 0.0f);
    EXPECT_EQ (effect.lastText, std::string (23, 'n'));
}

TEST (AudioEffectHost, RequestsReachTheHostCallback)
{
    FakeHost host;
    FakeHost::current = &host;
    RecordingEffect effect (FakeHost::callback, 1, 8);
    char text[64] = {};
    vst::VstEvents events {};

    struct Case { std::function<vst::IntPtr()> request; vst::IntPtr hostAnswer; vst::int32 opcode, index; vst::IntPtr value; void* ptr; vst::IntPtr result; };

    const Case cases[] =
    {
        { [&] { return (vst::IntPtr) effect.getMasterVersion(); }, 2400, 1, 0, 0, nullptr, 2400 },
        { [&] { return (vst::IntPtr) effect.getMasterVersion(); }, 0, 1, 0, 0, nullptr, 1 },
        { [&] { return (vst::IntPtr) effect.getCurrentUniqueId(); }, 77, 2, 0, 0, nullptr, 77 },
        { [&] { return (vst::IntPtr) effect.isInputConnected (1); }, 0, 4, 1, 0, nullptr, 1 },
        { [&] { return (vst::IntPtr) effect.isOutputConnected (0); }, 1, 4, 0, 1, nullptr, 0 },
        { [&] { return (vst::IntPtr) effect.wantEvents (1); }, 1, 6, 0, 1, nullptr, 1 },
        { [&] { return (vst::IntPtr) effect.getTimeInfo (0x600); }, 0, 7, 0, 0x600, nullptr, 0 },
        { [&] { return (vst::IntPtr) effect.sendVstEventsToHost (&events); }, 1, 8, 0, 0, &events, 1 },
        { [&] { return (vst::IntPtr) effect.sizeWindow (300, 200); }, 1, 15, 300, 200, nullptr, 1 },
        { [&] { return (vst::IntPtr) effect.updateSampleRate(); }, 96000, 16, 0, 0, nullptr, 96000 },
        { [&] { return (vst::IntPtr) effect.updateSampleRate(); }, 0, 16, 0, 0, nullptr, 96000 },
        { [&] { return (vst::IntPtr) effect.updateBlockSize(); }, -1, 17, 0, 0, nullptr, 1024 },
        { [&] { return (vst::IntPtr) effect.updateBlockSize(); }, 256, 17, 0, 0, nullptr, 256 },
        { [&] { return (vst::IntPtr) effect.getHostVendorVersion(); }, 7, 34, 0, 0, nullptr, 7 },
        { [&] { return (vst::IntPtr) effect.canHostDo (text); }, 1, 37, 0, 0, text, 1 },
        { [&] { return (vst::IntPtr) effect.canHostDo (text); }, -1, 37, 0, 0, text, 0 },
        { [&] { return (vst::IntPtr) effect.updateDisplay(); }, 1, 42, 0, 0, nullptr, 1 },
        { [&] { return (vst::IntPtr) effect.beginEdit (3); }, 1, 43, 3, 0, nullptr, 1 },
        { [&] { return (vst::IntPtr) effect.endEdit (3); }, 0, 44, 3, 0, nullptr, 0 },
        { [&] { return (vst::IntPtr) effect.ioChanged(); }, 1, 13, 0, 0, nullptr, 1 },
    };

    for (const auto& c : cases)
    {
        host.calls.clear();
        host.answer = c.hostAnswer;
        EXPECT_EQ (c.request(), c.result) << "host opcode " << c.opcode;
        ASSERT_EQ (host.calls.size(), 1u) << "host opcode " << c.opcode;
        EXPECT_EQ (host.calls[0].opcode, c.opcode);
        EXPECT_EQ (host.calls[0].index, c.index) << "host opcode " << c.opcode;
        EXPECT_EQ (host.calls[0].value, c.value) << "host opcode " << c.opcode;
        EXPECT_EQ (host.calls[0].ptr, c.ptr) << "host opcode " << c.opcode;
    }

    // Automation: the plug-in's own value first, then the host hears of it.
    host.log = &effect.log;
    host.calls.clear();
    effect.log.clear();
    effect.setParameterAutomated (5, 0.75f);
    EXPECT_EQ (effect.log, (std::vector<std::string> { "setParameter 5", "host 0" }));
    EXPECT_EQ (host.calls[0].index, 5);
    EXPECT_EQ (host.calls[0].opt, 0.75f);
    host.log = nullptr;

    // The host's vendor text comes back cut to the caller's 64 bytes.
    const std::string longVendor (200, 'v');
    host.textAnswer = longVendor.c_str();
    host.answer = 1;
    char vendor[80];
    std::memset (vendor, 'x', sizeof (vendor));
    EXPECT_TRUE (effect.getHostVendorString (vendor));
    EXPECT_EQ (std::string (vendor), std::string (63, 'v'));
    EXPECT_EQ (vendor[64], 'x');
    host.textAnswer = nullptr;

    // Null pointers never reach the host.
    host.calls.clear();
    EXPECT_FALSE (effect.sendVstEventsToHost (nullptr));
    EXPECT_FALSE (effect.getHostProductString (nullptr));
    EXPECT_FALSE (effect.canHostDo (nullptr));
    EXPECT_TRUE (host.calls.empty());

    // Without a host callback: neutral answers, and version 1.
    RecordingEffect alone (nullptr, 1, 1);
    EXPECT_EQ (alone.getMasterVersion(), 1);
    EXPECT_FALSE (alone.isInputConnected (0));
    EXPECT_FALSE (alone.updateDisplay());
    EXPECT_EQ (alone.updateSampleRate(), 44100.0);

    FakeHost::current = nullptr;
}

TEST (AudioEffectSpeakers, ArrangementHelpers)
{
    vst::VstSpeakerArrangement* a = nullptr;

    EXPECT_FALSE (AudioEffectX::allocateArrangement (nullptr, 2));
    EXPECT_FALSE (AudioEffectX::allocateArrangement (&a, -1));
    EXPECT_EQ (a, nullptr);
    EXPECT_EQ (AudioEffectX::arrangementBytes (3), 8u + 3u * 112u);

    ASSERT_TRUE (AudioEffectX::allocateArrangement (&a, 3));
    EXPECT_EQ (a->numChannels, 3);
    const auto* bytes = reinterpret_cast<const unsigned char*> (a);
    EXPECT_EQ (std::count (bytes + 8, bytes + AudioEffectX::arrangementBytes (3), 0), 3 * 112);

    a->type = vst::kSpeakerArrStereo;
    vst::VstSpeakerProperties* speakers = a->speakers;
    speakers[2].azimuth = 0.5f;
    speakers[2].type = vst::kSpeakerR;
    std::memset (speakers[2].name, 'n', sizeof (speakers[2].name));   // no terminator

    vst::VstSpeakerArrangement* b = nullptr;
    ASSERT_TRUE (AudioEffectX::matchArrangement (&b, a));
    EXPECT_EQ (b->type, vst::kSpeakerArrStereo);
    EXPECT_EQ (b->numChannels, 3);
    const vst::VstSpeakerProperties* copied = b->speakers;
    EXPECT_EQ (copied[2].azimuth, 0.5f);
    EXPECT_EQ (copied[2].type, vst::kSpeakerR);
    EXPECT_EQ (std::string (copied[2].name), std::string (63, 'n'));

    // Matching an arrangement onto itself keeps its content.
    ASSERT_TRUE (AudioEffectX::matchArrangement (&b, b));
    copied = b->speakers;
    EXPECT_EQ (copied[2].type, vst::kSpeakerR);

    EXPECT_FALSE (AudioEffectX::copySpeaker (nullptr, copied));
    EXPECT_FALSE (AudioEffectX::matchArrangement (&b, nullptr));

    EXPECT_TRUE (AudioEffectX::deallocateArrangement (&a));
    EXPECT_TRUE (AudioEffectX::deallocateArrangement (&b));
    EXPECT_EQ (a, nullptr);
    EXPECT_EQ (b, nullptr);
}

} // namespace AudioEffectTestsDetail
