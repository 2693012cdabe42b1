// The settings file ("Velcroft.ini" beside the plug-in), read by a new instance at start-up:
// it may switch the preset modes, name a bank file and a MIDI map file to load. Afterwards the
// parameters and the bank must be sound and the instance must process; the settings file it
// writes when it is destroyed, read by the next instance, must come out again unchanged.
#include "FuzzPlugin.h"

namespace SettingsFileFuzzerDetail
{
/** Starts an instance on the given settings, checks it and returns the settings file it writes. */
juce::MemoryBlock runInstance (const juce::MemoryBlock& settings)
{
    FuzzPlugin instance (settings);
    instance.checkParametersAndBank();
    instance.processAndCheck();

    const auto file = instance.get().getSettingsFile();
    instance.destroyPlugin();

    // What the instance posted goes before the next one starts.
    FuzzSupport::dispatchPendingMessages();

    juce::MemoryBlock written;

    if (! file.loadFileAsData (written) || written.isEmpty())
        FuzzPlugin::fail ("no settings file was written");

    return written;
}
} // namespace SettingsFileFuzzerDetail

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    using namespace SettingsFileFuzzerDetail;

    const auto first = runInstance (juce::MemoryBlock (data, size));
    const auto second = runInstance (first);

    if (first != second)
        FuzzPlugin::fail ("the settings written do not read back to the same file");

    return 0;
}
