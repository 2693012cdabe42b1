// The host's program chunk (the current "Preset" in JUCE's binary XML form), restored into a
// running instance: it replaces the current slot and applies it. Afterwards the parameters and
// the bank must be sound, the instance must still process, and a chunk that was taken in must
// leave a program that reads back to the very same bytes.
#include "FuzzPlugin.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // What the last input posted is delivered before this one starts.
    FuzzSupport::dispatchPendingMessages();

    static FuzzPlugin instance;
    static const juce::MemoryBlock initialProgram = []
    {
        juce::MemoryBlock block;
        instance.get().getCurrentProgramStateInformation (block);
        return block;
    }();
    static bool changed = false;

    auto& plugin = instance.get();

    if (changed)
        plugin.setCurrentProgramStateInformation (initialProgram.getData(), (int) initialProgram.getSize());

    const bool accepted = BasePlugin::parseStateChunk (data, (int) size) != nullptr;
    plugin.setCurrentProgramStateInformation (data, (int) size);
    changed = accepted;

    instance.checkParametersAndBank();
    instance.processAndCheck();

    if (! accepted)
        return 0;

    juce::MemoryBlock first, second;
    plugin.getCurrentProgramStateInformation (first);
    plugin.setCurrentProgramStateInformation (first.getData(), (int) first.getSize());
    plugin.getCurrentProgramStateInformation (second);

    if (first != second)
        FuzzPlugin::fail ("the program does not read back to the same bytes");

    return 0;
}
