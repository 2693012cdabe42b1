#include "editor/MidiControlComponent.h"

MidiControlComponent::MidiControlComponent (MidiControl& midi, const juce::String& extension, const juce::String& wildcard)
    : midiControl (midi), fileExtension (extension), fileWildcard (wildcard)
{
    setName ("MidiControlComponent");
}

MidiControlComponent::~MidiControlComponent() = default;
