// Preset files (".vlprs", older ".vlp") loaded into the current slot of a running instance, as
// the preset browser loads them. Afterwards the parameters and the bank must be sound, the
// instance must still process, and a preset that was taken in must save to a file that loads
// back into the same file.
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
    const auto input = instance.getFolder().getChildFile ("input.vlprs");
    const auto saved = instance.getFolder().getChildFile ("saved.vlprs");
    const auto savedAgain = instance.getFolder().getChildFile ("saved-again.vlprs");

    if (changed)
        plugin.setCurrentProgramStateInformation (initialProgram.getData(), (int) initialProgram.getSize());

    input.replaceWithData (data, size);
    const auto slot = plugin.getCurrentPresetIndex();
    changed = plugin.loadPresetFile (input, slot);

    instance.checkParametersAndBank();
    instance.processAndCheck();

    if (! changed)
        return 0;

    if (! plugin.savePresetFile (saved, slot) || ! plugin.loadPresetFile (saved, slot)
         || ! plugin.savePresetFile (savedAgain, slot))
        FuzzPlugin::fail ("a preset that was read cannot be saved and read back");

    juce::MemoryBlock first, second;
    saved.loadFileAsData (first);
    savedAgain.loadFileAsData (second);

    if (first != second)
        FuzzPlugin::fail ("a saved preset does not read back to the same file");

    return 0;
}
