// MIDI controller map files, read into a map that already holds assignments.
#include "FuzzSupport.h"
#include "framework/MidiControl.h"
#include "product/VelcroftParameters.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // Starts JUCE, and delivers what the last input posted before this one starts.
    FuzzSupport::dispatchPendingMessages();

    ParameterManager parameters;
    parameters.loadParameterDefinitions ("parameters.xml");
    MidiControl control (parameters);
    control.setPluginName ("Velcroft");
    control.assignController (7, parameters.getParameter (VelcroftParameters::outputVolume), false);

    static const juce::TemporaryFile temporary (".vlccmap");
    const auto& file = temporary.getFile();
    file.replaceWithData (data, size);

    if (! control.loadFromFile (file) && control.getAssignedParameter (7) != parameters.getParameter (VelcroftParameters::outputVolume))
        __builtin_trap();   // a refused file must leave the map as it was
    return 0;
}
