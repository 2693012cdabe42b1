/*
    A whole Velcroft instance for the fuzz targets, started as the entry routine starts it but
    with its plug-in file in a temporary folder of its own: the settings file it reads at
    start-up and writes when it is destroyed, and every file a target hands it, live there and
    nowhere else. The folder goes when the instance goes.
*/
#pragma once

#include "FuzzSupport.h"
#include "product/Velcroft.h"

#include <juce_audio_basics/juce_audio_basics.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

class FuzzPlugin
{
public:
    /** The sample rate and largest block the instance is prepared for. */
    static constexpr double sampleRate = 44100.0;
    static constexpr int maxBlockSize = 256;

    /** Creates the folder and the instance. When settings are given they are written as the
        settings file first, so that start-up reads them. */
    explicit FuzzPlugin (const juce::MemoryBlock& settings = {})
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile ("velcroft-fuzz-" + juce::Uuid().toString()))
    {
        FuzzSupport::startJuce();

        if (! folder.createDirectory())
            fail ("cannot create the temporary folder");

        plugin = std::make_unique<Velcroft>();

        // preInitialise would take the fuzzer's own executable as the plug-in file.
        plugin->setPluginFile (folder.getChildFile ("Velcroft.so"));

        if (! settings.isEmpty())
            plugin->getSettingsFile().replaceWithData (settings.getData(), settings.getSize());

        plugin->initialise();
        plugin->prepareToPlay (sampleRate, maxBlockSize);
    }

    /** Destroys the instance (which writes its settings file) and then the folder. */
    ~FuzzPlugin()
    {
        plugin.reset();
        folder.deleteRecursively();
    }

    FuzzPlugin (const FuzzPlugin&) = delete;
    FuzzPlugin& operator= (const FuzzPlugin&) = delete;

    /** The instance. */
    Velcroft& get() noexcept                                    { return *plugin; }
    /** The temporary folder that holds the plug-in file. */
    const juce::File& getFolder() const noexcept                { return folder; }

    /** Destroys the instance alone, so that a target can read the settings file it wrote. */
    void destroyPlugin()                                        { plugin.reset(); }

    /** Reports a broken invariant and stops the run, so that libFuzzer keeps the input. */
    [[noreturn]] static void fail (const char* what)
    {
        std::fprintf (stderr, "Invariant broken: %s\n", what);
        std::abort();
    }

    /** Every host parameter holds a normalised value, the current slot is a slot and the groups
        cover the 128 slots exactly. */
    void checkParametersAndBank()
    {
        auto& p = get();

        for (int i = 0; i < p.getNumHostParameters(); ++i)
        {
            const auto value = p.getHostParameter (i);

            if (! (value >= 0.0f && value <= 1.0f))
                fail ("a parameter outside 0..1");
        }

        if (! BasePluginOldStyle::isValidSlot (p.getCurrentPresetIndex()))
            fail ("the current slot is no slot");

        int covered = 0;

        for (int g = 0; g < p.getNumGroups(); ++g)
        {
            if (p.getNumPresetsInGroup (g) < 0)
                fail ("a group with a negative count");

            covered += p.getNumPresetsInGroup (g);
        }

        if (covered != BasePluginOldStyle::numPresetSlots)
            fail ("the groups do not cover the 128 slots");
    }

    /** Processes a block of a test tone with the given MIDI and checks that every output sample is finite. */
    void processAndCheck (juce::MidiBuffer& midi, int numSamples = 64)
    {
        numSamples = juce::jlimit (1, maxBlockSize, numSamples);
        juce::AudioBuffer<float> buffer (2, numSamples);

        for (int i = 0; i < numSamples; ++i)
        {
            const auto s = 0.8f * (float) std::sin (0.05 * (double) (phase + i));
            buffer.setSample (0, i, s);
            buffer.setSample (1, i, -s);
        }

        phase += numSamples;
        get().processBlock (buffer, midi);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < numSamples; ++i)
                if (! std::isfinite (buffer.getSample (ch, i)))
                    fail ("a non-finite output sample");
    }

    /** Processes a block without MIDI and checks the output. */
    void processAndCheck()
    {
        juce::MidiBuffer none;
        processAndCheck (none);
    }

private:
    juce::File folder;
    std::unique_ptr<Velcroft> plugin;
    juce::int64 phase = 0;
};

/** One input of a chunk target: restores the chunk (the state chunk, or the program chunk when
    program is true) into a running instance, then checks the parameters, the bank and the audio,
    and that an accepted chunk leaves something that reads back to the very same bytes. Every
    input starts from the same chunk, so that a failing input fails on its own. */
inline int fuzzChunkInput (bool program, const std::uint8_t* data, std::size_t size)
{
    // What the last input posted is delivered before this one starts.
    FuzzSupport::dispatchPendingMessages();

    static FuzzPlugin instance;
    auto& plugin = instance.get();

    auto take = [&plugin, program] (juce::MemoryBlock& block)
    {
        if (program)
            plugin.getCurrentProgramStateInformation (block);
        else
            plugin.getStateInformation (block);
    };

    auto restore = [&plugin, program] (const void* bytes, int numBytes)
    {
        if (program)
            plugin.setCurrentProgramStateInformation (bytes, numBytes);
        else
            plugin.setStateInformation (bytes, numBytes);
    };

    static const juce::MemoryBlock initial = [&take]
    {
        juce::MemoryBlock block;
        take (block);
        return block;
    }();
    static bool changed = false;

    if (changed)
        restore (initial.getData(), (int) initial.getSize());

    const bool accepted = BasePlugin::parseStateChunk (data, (int) size) != nullptr;
    restore (data, (int) size);
    changed = accepted;

    instance.checkParametersAndBank();
    instance.processAndCheck();

    if (! accepted)
        return 0;

    juce::MemoryBlock first, second;
    take (first);
    restore (first.getData(), (int) first.getSize());
    take (second);

    if (first != second)
        FuzzPlugin::fail (program ? "the program does not read back to the same bytes"
                                  : "the state does not read back to the same bytes");

    return 0;
}
