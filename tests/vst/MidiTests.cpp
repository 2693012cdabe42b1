/*
    MIDI through the built Velcroft library: program and control changes take effect at their
    exact sample, events past a block's end move to the next block, mapped controllers drive
    their parameter, a silent preset change fades out, holds silence and fades back in with the
    documented timing at 44,100 and 96,000 Hz, floods of events are quick and never crowd out
    the newest, events outside any block are dropped, and host automation, state restores and
    MIDI from two threads at once neither deadlock nor race, also with a host that locks in its
    callback.
*/
#include "tests/vst/VelcroftTestSupport.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

using namespace velcroft_vst_test;

namespace midi_tests_detail
{
using MidiEvent = VstPlugin::MidiEvent;
using TimedMidiEvent = VstPlugin::TimedMidiEvent;

constexpr int leftBits = VelcroftParameters::leftBits;
constexpr int outputVolume = VelcroftParameters::outputVolume;

/** What a controller value sets its parameter to: the value times 1/127 in single precision. */
float controllerValue (int value)
{
    return (float) value * (1.0f / 127.0f);
}

/** The empty preset with another "Left Bits" (both channels linked, so the right one follows).
    At a "Left Frequency" of 1 the crusher takes a new sample at every sample, so a change of the
    quantiser's level shows in the output from the sample on which it happens. */
Values withBits (float bits)
{
    auto values = emptyPresetValues;
    values[leftBits] = bits;
    return values;
}

const Values coarseValues = withBits (0.25f);
const Values fineValues = withBits (0.5f);

/** A state whose bank holds "Coarse" in slot 0 and "Fine" in slot 1, which differ in "Left Bits" alone. */
std::vector<std::uint8_t> makeTwoSlotState (const std::shared_ptr<VstLibrary>& library)
{
    auto plugin = openInstance (library);
    return plugin != nullptr ? stateWithBank (*plugin, { { "Coarse", coarseValues }, { "Fine", fineValues } })
                             : std::vector<std::uint8_t>();
}

/** Renders a sine through a fresh instance with the given state that starts on slot 0 (program
    change at sample 0), with more MIDI events and parameter changes (blocks of 64, cut at the changes). */
AudioData renderFromSlotZero (const std::shared_ptr<VstLibrary>& library, const std::vector<std::uint8_t>& state,
                              std::vector<TimedMidiEvent> events, std::vector<VstPlugin::ParameterChange> changes)
{
    auto plugin = openInstance (library);

    if (plugin == nullptr)
        return {};

    plugin->setChunk (state, false);
    events.insert (events.begin(), TimedMidiEvent { 0, MidiEvent::programChange (0) });

    VstPlugin::RenderOptions options;
    options.blockSizes = { 64 };
    options.midiEvents = std::move (events);
    options.parameterChanges = std::move (changes);
    return render (*plugin, makeSine (2048), options);
}

/** The lengths of a silent change as seen in the output of a constant input. */
struct FadeMeasurement
{
    int fadeOut = -1;   // samples from the change to the first silent one
    int silence = -1;   // silent samples in a row
    int fadeIn = -1;    // samples from the first audible one after the silence to the full level
};

FadeMeasurement measureFade (const std::vector<float>& out, int changeAt)
{
    FadeMeasurement m;
    const auto steady = out[(size_t) changeAt - 1];
    const auto isSilent = [&] (size_t i) { return std::abs (out[i]) < 1.0e-7f; };
    const auto isFull = [&] (size_t i) { return std::abs (out[i] - steady) <= 1.0e-4f * std::abs (steady); };

    auto i = (size_t) changeAt;

    for (; i < out.size() && ! isSilent (i); ++i)
        if (i > (size_t) changeAt && std::abs (out[i]) > std::abs (out[i - 1]))
            return m;   // a fade-out never rises

    m.fadeOut = (int) (i - (size_t) changeAt);
    const auto silenceStart = i;

    for (; i < out.size() && isSilent (i); ++i) {}

    m.silence = (int) (i - silenceStart);
    const auto fadeInStart = i;

    for (; i < out.size() && ! isFull (i); ++i) {}

    m.fadeIn = (int) (i - fadeInStart);

    for (auto j = i; j < std::min (out.size(), i + 500); ++j)
        if (! isFull (j))
            m.fadeIn = -1;  // the full level, once reached, stays

    return m;
}

/** The documented lengths: an exponential fade of coefficient 2 (1 - 0.5^(44100 / rate)) × 0.002
    down below 0.001, trunc(rate / 44100 × 4000) samples of silence, and the same fade up above 0.99. */
FadeMeasurement expectedFade (double rate)
{
    const auto k = 2.0 * (1.0 - std::pow (0.5, 44100.0 / rate)) * 0.002;
    FadeMeasurement m;
    int n = 1;

    while (std::pow (1.0 - k, n) >= 0.001)
        ++n;

    m.fadeOut = n - 1;     // the n-th step falls below 0.001 and is already silent
    m.silence = (int) (rate * 2.2675736961451248e-5 * 4000.0);
    n = 1;

    while (1.0 - std::pow (1.0 - k, n) <= 0.99)
        ++n;

    m.fadeIn = n - 1;      // the n-th step rises above 0.99 and comes out at the full level
    return m;
}

/** Runs each job on a thread of its own, all starting together, and waits for them. Jobs that
    have not finished within the bound are deadlocked: the process stops with a message about
    what ran instead of hanging (the threads cannot be joined). */
void runConcurrently (const std::vector<std::function<void()>>& jobs, std::chrono::seconds bound, const char* what)
{
    std::mutex lock;
    std::condition_variable finished;
    auto running = jobs.size();
    std::atomic<bool> go { false };
    std::vector<std::thread> threads;

    for (size_t i = 0; i < jobs.size(); ++i)
        threads.emplace_back ([&, i]
        {
            while (! go.load())
                std::this_thread::yield();

            jobs[i]();
            const std::lock_guard<std::mutex> guard (lock);
            --running;
            finished.notify_all();
        });

    go = true;

    {
        std::unique_lock<std::mutex> guard (lock);

        if (! finished.wait_for (guard, bound, [&] { return running == 0; }))
        {
            std::fprintf (stderr, "%s: not finished after %d s, deadlocked\n", what, (int) bound.count());
            std::abort();
        }
    }

    for (auto& thread : threads)
        thread.join();
}
} // namespace midi_tests_detail

using namespace midi_tests_detail;

//==============================================================================
TEST (VelcroftMidi, ProgramChangeTakesEffectAtItsExactSample)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    const auto state = makeTwoSlotState (library);

    // The change falls on sample 37 of the fourth block of 64.
    constexpr std::int64_t changeAt = 3 * 64 + 37;

    const auto byProgramChange = renderFromSlotZero (library, state, { { changeAt, MidiEvent::programChange (1) } }, {});
    const auto unchanged = renderFromSlotZero (library, state, {}, {});
    ASSERT_EQ (byProgramChange.getNumFrames(), 2048);
    ASSERT_GE (firstDifference (byProgramChange, unchanged), 0) << "the two slots must sound different";

    for (std::int64_t at : { changeAt - 1, changeAt, changeAt + 1 })
    {
        const auto byParameter = renderFromSlotZero (library, state, {}, { { at, leftBits, fineValues[leftBits] } });

        if (at == changeAt)
            EXPECT_EQ (firstDifference (byProgramChange, byParameter), -1) << "the same output as a change at sample " << at;
        else
            EXPECT_GE (firstDifference (byProgramChange, byParameter), 0) << "a change at sample " << at << " sounds different";
    }
}

TEST (VelcroftMidi, EventPastTheBlockEndTakesEffectInALaterBlock)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    const auto state = makeTwoSlotState (library);
    const auto input = makeSine (1280);

    // Program changes at 300 and 600 sent with the first block of 256 are handled at sample 44 of
    // the second block and at sample 88 of the third.
    auto early = openInstance (library);
    ASSERT_NE (early, nullptr);
    early->setChunk (state, false);
    BlockStream earlyStream (*early, input, 256);
    earlyStream.process (256, { MidiEvent::programChange (0, 0, 0), MidiEvent::programChange (1, 0, 300),
                                MidiEvent::programChange (0, 0, 600) });
    EXPECT_EQ (early->getParameter (leftBits), coarseValues[leftBits]) << "nothing yet in the first block";
    earlyStream.process (256);
    EXPECT_EQ (early->getParameter (leftBits), fineValues[leftBits]);
    earlyStream.process (256);
    EXPECT_EQ (early->getParameter (leftBits), coarseValues[leftBits]);
    earlyStream.process (256);

    const auto renderWithLaterEvents = [&] (int second, int third)
    {
        auto plugin = openInstance (library);
        plugin->setChunk (state, false);
        BlockStream stream (*plugin, input, 256);
        stream.process (256, { MidiEvent::programChange (0, 0, 0) });
        stream.process (256, { MidiEvent::programChange (1, 0, second) });
        stream.process (256, { MidiEvent::programChange (0, 0, third) });
        stream.process (256);
        return stream.getOutput();
    };

    EXPECT_EQ (firstDifference (earlyStream.getOutput(), renderWithLaterEvents (44, 88)), -1);
    EXPECT_GE (firstDifference (earlyStream.getOutput(), renderWithLaterEvents (43, 88)), 0);
    EXPECT_GE (firstDifference (earlyStream.getOutput(), renderWithLaterEvents (44, 89)), 0);

    // An event carried over is dropped when the host restarts processing.
    early->setMainsOn (false);
    early->setMainsOn (true);
    earlyStream.process (256, { MidiEvent::programChange (1, 0, 400) });
    early->setMainsOn (false);
    early->setMainsOn (true);
    earlyStream.process (256);
    EXPECT_EQ (early->getParameter (leftBits), coarseValues[leftBits]);
}

TEST (VelcroftMidi, ControlChangesDriveTheirMappedParameterAtTheirSample)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto host = std::make_shared<VstHost>();
    auto plugin = openInstance (library, host);
    ASSERT_NE (plugin, nullptr);

    // Controller 20 drives "Left Bits", controller 7 "Output Volume"; the map comes with a state.
    plugin->setChunk (makeTwoSlotState (library), false);
    const auto mapped = stateWithMidiMap (*plugin, { { 20, "Left Bits" }, { 7, "Output Volume" } });
    plugin->setChunk (mapped, false);
    EXPECT_NE (chunkToXml (plugin->getChunk (false)).find ("<assign CC=\"20\" param=\"Left Bits\"/>"), std::string::npos);

    // Every controller value, one per block, on any channel.
    {
        BlockStream stream (*plugin, makeSine (129 * 16), 16);
        host->clearNotifications();

        for (int value = 0; value < 128; ++value)
        {
            stream.process (16, { MidiEvent::controlChange (20, value, value % 16, value % 16) });
            EXPECT_EQ (plugin->getParameter (leftBits), controllerValue (value)) << "controller value " << value;
        }

        const auto reported = host->getNotifications (vst::audioMasterAutomate);
        ASSERT_EQ (reported.size(), 128u) << "each controller change is reported to the host";
        EXPECT_EQ (reported[36].index, leftBits);
        EXPECT_EQ (reported[36].value, controllerValue (36));

        // Unmapped controllers, notes and other messages change nothing.
        const auto before = readValues (*plugin);
        stream.process (16, { MidiEvent::controlChange (21, 5), MidiEvent::noteOn (60, 100), MidiEvent::controlChange (0, 0) });
        EXPECT_EQ (readValues (*plugin), before);
    }

    // At sample positions: the output equals that of an instance whose host sets the same values there.
    constexpr std::int64_t bitsAt = 3 * 64 + 37, volumeAt = 7 * 64 + 5;
    const auto byController = renderFromSlotZero (library, mapped, { { bitsAt, MidiEvent::controlChange (20, 100) },
                                                                     { volumeAt, MidiEvent::controlChange (7, 36, 9) } }, {});
    ASSERT_EQ (byController.getNumFrames(), 2048);

    const struct { std::int64_t bits, volume; bool same; } references[] = {
        { bitsAt, volumeAt, true }, { bitsAt + 1, volumeAt, false }, { bitsAt - 1, volumeAt, false }, { bitsAt, volumeAt + 1, false }
    };

    for (auto& r : references)
    {
        const auto byHost = renderFromSlotZero (library, mapped, {}, { { r.bits, leftBits, controllerValue (100) },
                                                                       { r.volume, outputVolume, controllerValue (36) } });
        if (r.same)
            EXPECT_EQ (firstDifference (byController, byHost), -1);
        else
            EXPECT_GE (firstDifference (byController, byHost), 0) << "host changes at " << r.bits << " and " << r.volume;
    }
}

TEST (VelcroftMidi, FloodsOfEventsAreQuickAndNeverCrowdOutTheNewest)
{
    constexpr int blockSize = 512;
    const auto milliseconds = [] (auto since) { return std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - since).count(); };

    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);
    plugin->setChunk (makeTwoSlotState (library), false);
    BlockStream stream (*plugin, makeSine (4 * blockSize), blockSize);
    stream.process (blockSize, { MidiEvent::programChange (0) });

    // Notes spread over the block, as from a busy MIDI track.
    const auto flood = [] (int numEvents)
    {
        std::vector<MidiEvent> events;

        for (int i = 0; i < numEvents; ++i)
            events.push_back (MidiEvent::noteOn (i % 128, 1 + i % 127, 0, (int) ((std::int64_t) i * blockSize / numEvents)));

        return events;
    };

    const auto oneCall = std::chrono::steady_clock::now();
    stream.process (blockSize, flood (20000));
    EXPECT_LT (milliseconds (oneCall), 250.0) << "20,000 events in one call and their block";

    // 60 calls with no block between them; the program change sent last acts in the next block.
    auto events = flood (10000);
    const auto floodStart = std::chrono::steady_clock::now();

    for (int call = 1; call <= 60; ++call)
    {
        if (call == 60)
            events.back() = MidiEvent::programChange (1, 0, blockSize - 1);

        plugin->sendEvents (events);
        ASSERT_LT (milliseconds (floodStart), 2000.0) << "after " << call << " calls of 10,000 events";
    }

    EXPECT_EQ (plugin->getParameter (leftBits), coarseValues[leftBits]);
    stream.process (blockSize);
    EXPECT_EQ (plugin->getParameter (leftBits), fineValues[leftBits]);
}

TEST (VelcroftMidi, EventsOutsideAnyBlockAreDropped)
{
    auto library = loadLibrary();
    ASSERT_NE (library, nullptr);
    auto plugin = openInstance (library);
    ASSERT_NE (plugin, nullptr);
    plugin->setChunk (makeTwoSlotState (library), false);
    BlockStream stream (*plugin, makeSine (2048), 256);
    stream.process (256, { MidiEvent::programChange (0) });

    // Before the block's start.
    stream.process (256, { MidiEvent::programChange (1, 0, -1), MidiEvent::programChange (1, 0, -100000) });
    stream.process (256);
    EXPECT_EQ (plugin->getParameter (leftBits), coarseValues[leftBits]);

    // A billion samples ahead, more of them than the plug-in keeps: a program change still gets in.
    stream.process (256, { MidiEvent::programChange (0) });
    stream.process (256, std::vector<MidiEvent> (5000, MidiEvent::controlChange (20, 1, 0, 1000000000)));
    stream.process (256, { MidiEvent::programChange (1, 0, 10) });
    EXPECT_EQ (plugin->getParameter (leftBits), fineValues[leftBits]);
}

//==============================================================================
TEST (VelcroftMidi, SilentChangeFadesOutHoldsSilenceAndFadesInOnTime)
{
    for (const double rate : { 44100.0, 96000.0 })
    {
        SCOPED_TRACE (rate);

        // A cleared bank: every slot holds the same values, so only the fade shows in the output.
        PluginFolder folder;
        folder.writeSettings ("<ResourcesSettings><Presets default=\"clearPresets\"/></ResourcesSettings>"
                              "<PresetSettings changing=\"silent\"/>");
        auto library = folder.load();
        ASSERT_NE (library, nullptr);
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);

        const auto expected = expectedFade (rate);
        const int changeAt = 16 * 512 + 37;
        const auto frames = changeAt + 2 * (expected.fadeOut + expected.silence + expected.fadeIn);

        VstPlugin::RenderOptions options;
        options.blockSizes = { 512 };
        options.midiEvents = { { changeAt, MidiEvent::programChange (5) } };
        const auto output = render (*plugin, makeConstant (frames, rate, 0.5f), options);
        ASSERT_EQ (output.getNumFrames(), frames);

        const auto& left = output.channels[0];
        const auto steady = left[(size_t) changeAt - 1];
        ASSERT_NEAR (steady, 0.5f, 0.01f);

        for (int i = changeAt - 500; i < changeAt; ++i)
            ASSERT_NEAR (left[(size_t) i], steady, 1.0e-5f) << "a constant input gives a constant output before the change";

        for (const auto& channel : output.channels)
        {
            const auto measured = measureFade (channel, changeAt);
            std::printf ("silent change at %.0f Hz: fade-out %d samples (expected %d), silence %d (%d), fade-in %d (%d)\n",
                         rate, measured.fadeOut, expected.fadeOut, measured.silence, expected.silence,
                         measured.fadeIn, expected.fadeIn);

            EXPECT_NEAR (measured.fadeOut, expected.fadeOut, 2);
            EXPECT_NEAR (measured.silence, expected.silence, 2);
            EXPECT_NEAR (measured.fadeIn, expected.fadeIn, 2);
        }

        EXPECT_NE (chunkToXml (plugin->getChunk (true)).find ("name=\"Preset 5\""), std::string::npos);
        plugin->close();
        EXPECT_TRUE (library->unload());
    }
}

TEST (VelcroftMidi, SecondProgramChangeDuringAFadeIsTheOneApplied)
{
    PluginFolder folder;
    folder.writeSettings ("<PresetSettings changing=\"silent\"/>");
    auto library = folder.load();
    ASSERT_NE (library, nullptr);
    auto host = std::make_shared<VstHost>();
    auto plugin = openInstance (library, host);
    ASSERT_NE (plugin, nullptr);

    BlockStream stream (*plugin, makeSine (20000), 512);
    stream.process (512, { MidiEvent::programChange (1, 0, 100) });
    stream.process (512, { MidiEvent::programChange (11, 0, 200) });
    expectValues (*plugin, mpc60Values, "during the fade-out");
    host->clearNotifications();

    for (int b = 0; b < 30; ++b)
        stream.process (512);

    expectValues (*plugin, liquidValues, "after the fade");
    // Slot 11 is applied once over slot 0; slot 1 never is.
    std::vector<std::pair<int, float>> expected, reported;

    for (int i = 0; i < numParameters; ++i)
        if (mpc60Values[(size_t) i] != liquidValues[(size_t) i])
            expected.emplace_back (i, liquidValues[(size_t) i]);

    for (auto& n : host->getNotifications (vst::audioMasterAutomate))
        reported.emplace_back (n.index, n.value);

    EXPECT_EQ (reported, expected);
}

//==============================================================================
TEST (VelcroftStress, HostAutomationAndStateRestoresWhileAudioRunsWithMidi)
{
    using namespace std::chrono_literals;

    for (const bool silent : { false, true })
    {
        SCOPED_TRACE (silent ? "silent changes" : "normal changes");
        PluginFolder folder;
        folder.writeSettings (std::string ("<PresetSettings changing=\"") + (silent ? "silent" : "normal") + "\"/>");
        auto library = folder.load();
        ASSERT_NE (library, nullptr);
        auto plugin = openInstance (library);
        ASSERT_NE (plugin, nullptr);

        // Two states with a controller map, and a program chunk.
        const auto firstState = stateWithMidiMap (*plugin, { { 20, "Left Frequency" }, { 7, "Output Volume" }, { 1, "FX" } });
        plugin->setChunk (firstState, false);
        plugin->setParameter (VelcroftParameters::preamp, 0.3f);
        plugin->setParameter (VelcroftParameters::linkChannels, 0.0f);
        const auto secondState = plugin->getChunk (false);
        const auto program = plugin->getChunk (true);

        // The audio thread keeps going while the host works, up to a bound of its own.
        constexpr int minBlocks = 400, maxBlocks = 40000, blockSize = 128, numHostSteps = 200;
        const auto sine = makeSine (blockSize);
        std::vector<float> outLeft (blockSize), outRight (blockSize);
        const float* inputs[] = { sine.channels[0].data(), sine.channels[1].data() };
        float* outputs[] = { outLeft.data(), outRight.data() };
        plugin->setBlockSize (blockSize);
        plugin->setMainsOn (true);

        std::atomic<bool> hostDone { false };
        int blocksProcessed = 0;

        const auto audio = [&]
        {
            int b = 0;

            for (; b < maxBlocks && (b < minBlocks || ! hostDone.load()); ++b)
            {
                std::vector<MidiEvent> events {
                    MidiEvent::controlChange (20, b % 128, b % 16, (b * 13) % blockSize),
                    MidiEvent::programChange (b % 45, 0, (b * 37) % blockSize),
                    MidiEvent::controlChange (7, (b * 5) % 128, 0, (b * 29) % blockSize),
                    MidiEvent::controlChange (1, (b * 3) % 128, 0, (b * 7) % blockSize + blockSize),   // next block
                };
                plugin->process (inputs, outputs, blockSize, events);
            }

            blocksProcessed = b;
        };

        const auto hostThread = [&]
        {
            std::mt19937 random (silent ? 2 : 1);
            std::uniform_real_distribution<float> value (0.0f, 1.0f);

            for (int step = 0; step < numHostSteps; ++step)
            {
                plugin->setParameter (step % numParameters, value (random));
                (void) plugin->getParameter ((step * 7) % numParameters);

                if (step % 10 == 0)
                    plugin->setChunk (step % 20 == 0 ? firstState : secondState, false);

                if (step % 15 == 0)
                    plugin->setChunk (program, true);

                if (step % 25 == 0)
                    (void) plugin->getChunk (false);

                if (step % 4 == 0)
                    std::this_thread::yield();
            }

            hostDone = true;
        };

        runConcurrently ({ audio, hostThread }, 240s, "audio and host threads");
        EXPECT_GE (blocksProcessed, minBlocks);

        for (int i = 0; i < numParameters; ++i)
        {
            const auto v = plugin->getParameter (i);
            EXPECT_TRUE (v >= 0.0f && v <= 1.0f) << "parameter " << i << " is " << v;
        }

        // Still whole: a restore afterwards gives its values back.
        plugin->setChunk (secondState, false);
        EXPECT_EQ (plugin->getChunk (false), secondState);
        plugin->close();
        EXPECT_TRUE (library->unload());
    }
}

TEST (VelcroftStress, HostThatLocksInItsCallbackIsNeverBlockedByThePlugin)
{
    using namespace std::chrono_literals;

    // The host takes a lock of its own when told of automation, and its GUI thread holds that lock
    // while it saves or restores the state, switches the plug-in and redraws: an autosave while controller automation
    // plays. The audio thread tells of mapped controllers and, with silent changes, of presets
    // applied at silence.
    for (const bool silent : { false, true })
    {
        SCOPED_TRACE (silent ? "silent changes" : "normal changes");
        const bool withLoader = ! silent;
        PluginFolder folder;
        folder.writeSettings (std::string ("<PresetSettings changing=\"") + (silent ? "silent" : "normal") + "\"/>");
        auto library = folder.load();
        ASSERT_NE (library, nullptr);
        auto host = std::make_shared<VstHost>();
        std::recursive_mutex hostLock;
        host->setNotificationLock (&hostLock);
        auto plugin = openInstance (library, host);
        ASSERT_NE (plugin, nullptr);

        const auto state = stateWithMidiMap (*plugin, { { 20, "Left Frequency" } });
        plugin->setChunk (state, false);

        constexpr int blockSize = 64, minBlocks = 3000, minSaves = 100;
        const auto sine = makeSine (blockSize);
        std::vector<float> outLeft (blockSize), outRight (blockSize);
        const float* inputs[] = { sine.channels[0].data(), sine.channels[1].data() };
        float* outputs[] = { outLeft.data(), outRight.data() };
        plugin->setBlockSize (blockSize);
        plugin->setMainsOn (true);
        host->clearNotifications();

        std::atomic<bool> playing { true };
        std::atomic<int> saves { 0 };

        const auto audio = [&]
        {
            for (int b = 0; b < minBlocks || saves.load() < minSaves; ++b)
            {
                // Not in every block, so that the audio thread does not keep in step with the GUI thread.
                std::vector<MidiEvent> events;

                if (b % 8 == 0)
                    events.push_back (MidiEvent::controlChange (20, (b / 8) % 128, 0, b % blockSize));

                // Slots 0 and 1 differ, and each silent change has the time to reach silence.
                if (b % 125 == 0)
                    events.push_back (MidiEvent::programChange ((b / 125) % 2));

                plugin->process (inputs, outputs, blockSize, events);
            }

            playing = false;
        };

        const auto gui = [&]
        {
            for (; playing.load(); ++saves)
            {
                {
                    const std::lock_guard<std::recursive_mutex> guard (hostLock);

                    if (saves.load() % 4 == 0 && ! withLoader)
                        plugin->setChunk (state, false);
                    else
                        (void) plugin->getChunk (false);

                    // Switching waits for the block in progress, which must not be waiting for this lock.
                    if (saves.load() % 16 == 1)
                    {
                        plugin->setMainsOn (false);
                        plugin->setMainsOn (true);
                    }

                    // A generic editor redraws too.
                    for (int i = 0; i < numParameters; ++i)
                        (void) plugin->getParameterDisplay (i);
                }

                std::this_thread::sleep_for (100us);
            }
        };

        // With normal changes, the state is restored by a loader thread of the host's instead,
        // without its lock, which the restore's automation takes.
        const auto loader = [&]
        {
            while (withLoader && playing.load())
            {
                plugin->setChunk (state, false);
                std::this_thread::sleep_for (200us);
            }
        };

        runConcurrently ({ audio, gui, loader }, 120s, "an audio thread with automation and a GUI thread saving under the host's lock");
        EXPECT_GE (host->getNotifications (vst::audioMasterAutomate).size(), (size_t) minBlocks / 8);
        plugin->close();
        EXPECT_TRUE (library->unload());
    }
}
