// The host's state chunk ("PluginState" in JUCE's binary XML form), restored into a running
// instance. Afterwards the parameters and the bank must be sound and the instance must still
// process, and a chunk that was taken in must leave a state that reads back to the very same bytes.
#include "FuzzPlugin.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // What the last input posted is delivered before this one starts.
    FuzzSupport::dispatchPendingMessages();

    static FuzzPlugin instance;
    static const juce::MemoryBlock initialState = []
    {
        juce::MemoryBlock block;
        instance.get().getStateInformation (block);
        return block;
    }();
    static bool changed = false;

    auto& plugin = instance.get();

    // Every input starts from the same state, so that a failing input fails on its own.
    if (changed)
        plugin.setStateInformation (initialState.getData(), (int) initialState.getSize());

    const bool accepted = BasePlugin::parseStateChunk (data, (int) size) != nullptr;
    plugin.setStateInformation (data, (int) size);
    changed = accepted;

    instance.checkParametersAndBank();
    instance.processAndCheck();

    if (! accepted)
        return 0;

    juce::MemoryBlock first, second;
    plugin.getStateInformation (first);
    plugin.setStateInformation (first.getData(), (int) first.getSize());
    plugin.getStateInformation (second);

    if (first != second)
        FuzzPlugin::fail ("the state does not read back to the same bytes");

    return 0;
}
