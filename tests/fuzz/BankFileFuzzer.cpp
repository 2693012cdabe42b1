// Bank files (".vlprsb", older ".vlb") loaded into a running instance, as the preset browser
// and start-up load them. Afterwards the parameters and the bank must be sound, the instance
// must still process, and a bank that was taken in must save to a file that loads back into
// the same file.
#include "FuzzPlugin.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // What the last input posted is delivered before this one starts.
    FuzzSupport::dispatchPendingMessages();

    // A bank that loads replaces every slot and group; one that does not changes nothing.
    static FuzzPlugin instance;

    auto& plugin = instance.get();
    const auto input = instance.getFolder().getChildFile ("input.vlprsb");
    const auto saved = instance.getFolder().getChildFile ("saved.vlprsb");
    const auto savedAgain = instance.getFolder().getChildFile ("saved-again.vlprsb");

    input.replaceWithData (data, size);
    const bool loaded = plugin.loadPresetBankFile (input);

    instance.checkParametersAndBank();
    instance.processAndCheck();

    if (! loaded)
        return 0;

    if (! plugin.savePresetBankFile (saved) || ! plugin.loadPresetBankFile (saved)
         || ! plugin.savePresetBankFile (savedAgain))
        FuzzPlugin::fail ("a bank that was read cannot be saved and read back");

    juce::MemoryBlock first, second;
    saved.loadFileAsData (first);
    savedAgain.loadFileAsData (second);

    if (first != second)
        FuzzPlugin::fail ("a saved bank does not read back to the same file");

    return 0;
}
