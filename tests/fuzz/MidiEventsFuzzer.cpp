// MIDI event lists as the effect carries them across blocks, and as MIDI control reads them.
#include "FuzzSupport.h"
#include "framework/MidiControl.h"
#include "framework/MidiEventQueue.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    FuzzSupport::startJuce();

    static ParameterManager parameters;
    static MidiControl control (parameters);

    if (parameters.getNumParameters() == 0)
        parameters.loadParameterDefinitions ("parameters.xml");

    MidiEventQueue queue (16);

    // Records of five bytes: position (two bytes, may be "negative"), then up to three data bytes.
    for (std::size_t i = 0; i + 5 <= size; i += 5)
    {
        const auto position = (int) (std::int16_t) (data[i] | (data[i + 1] << 8));
        const auto length = 1 + (int) (data[i + 2] % 3);
        queue.addEvent (data + i + 2, length, position);

        if ((i / 5) % 4 == 3)
        {
            juce::MidiMessage message;
            int at = 0;

            while (queue.getNextEventPosition() >= 0 && queue.getNextEventPosition() < 64 && queue.getNextEvent (message, at))
                control.handleMidiMessage (message);

            queue.advance (64);
        }
    }

    return 0;
}
