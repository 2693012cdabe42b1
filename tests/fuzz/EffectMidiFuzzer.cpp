// MIDI event lists through the whole effect: blocks of a running instance, with controllers
// mapped to every parameter, so that control changes, program changes and anything else a
// host might pass reach MIDI control, the preset bank and the core. After every block the
// parameters and the bank must be sound and every output sample finite.
//
// Input: one byte whose lowest bit chooses silent preset changes (the fade on the audio thread)
// and whose other bits give the block length (1 to 128), then records of five bytes: the event's
// position in the block (two bytes, little-endian, may be negative or past the block), then
// three message bytes of which the first one, 2 or 3 are used (the status byte modulo 3 chooses,
// so that messages also come cut short). Every eight records make one block.
#include "FuzzPlugin.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // What the last input posted is delivered before this one starts.
    FuzzSupport::dispatchPendingMessages();

    static FuzzPlugin instance;
    static const bool mapped = []
    {
        auto& plugin = instance.get();

        for (int k = 0; k < VelcroftParameters::numParameters; ++k)
            plugin.getMidiControl().assignController (k + 1, plugin.getParameterManager().getParameter (k), false);

        return true;
    }();
    juce::ignoreUnused (mapped);

    auto& plugin = instance.get();

    // Every input starts from slot 0 as the factory bank has it, with nothing queued from the last.
    plugin.setCurrentPresetIndex (0, true);
    plugin.applyCurrentPreset();
    plugin.prepareToPlay (FuzzPlugin::sampleRate, FuzzPlugin::maxBlockSize);

    if (size < 1)
        return 0;

    plugin.setChangingMode ((data[0] & 1) != 0 ? BasePluginOldStyle::changingSilent : BasePluginOldStyle::changingNormal);
    const auto blockLength = 1 + (int) (data[0] >> 1);
    juce::MidiBuffer midi;
    int recordsInBlock = 0;

    for (std::size_t i = 1; i + 5 <= size; i += 5)
    {
        const auto position = (int) (std::int16_t) (data[i] | (data[i + 1] << 8));
        const auto length = 1 + (int) (data[i + 2] % 3);
        midi.addEvent (data + i + 2, length, position);

        if (++recordsInBlock == 8)
        {
            instance.processAndCheck (midi, blockLength);
            instance.checkParametersAndBank();
            midi.clear();
            recordsInBlock = 0;
        }
    }

    instance.processAndCheck (midi, blockLength);
    instance.checkParametersAndBank();

    return 0;
}
