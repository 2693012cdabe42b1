/*
    The "Midi Control" page of the Options window: the MIDI controller map of the plug-in.
    For now the page only keeps what it is built with (the map and its file types) and is
    laid out as an empty page of the Options window; its table and buttons are still to come.
*/
#pragma once

#include "framework/MidiControl.h"

#include <juce_gui_basics/juce_gui_basics.h>

class MidiControlComponent : public juce::Component
{
public:
    /** A page for the plug-in's map, whose files carry this extension and open-dialog wildcard. */
    MidiControlComponent (MidiControl& midiControl, const juce::String& fileExtension, const juce::String& fileWildcard);
    ~MidiControlComponent() override;

    /** The map the page shows. */
    MidiControl& getMidiControl() const noexcept                { return midiControl; }

    /** The extension of map files (".vlccmap"). */
    const juce::String& getFileExtension() const noexcept       { return fileExtension; }
    /** Sets the extension of map files. */
    void setFileExtension (const juce::String& extension)       { fileExtension = extension; }

    /** The wildcard list of the open dialog. */
    const juce::String& getFileWildcard() const noexcept        { return fileWildcard; }
    /** Sets the wildcard list of the open dialog (the current extension first, older ones after). */
    void setFileWildcard (const juce::String& wildcard)         { fileWildcard = wildcard; }

private:
    MidiControl& midiControl;
    juce::String fileExtension, fileWildcard;

    JUCE_DECLARE_NON_COPYABLE (MidiControlComponent)
};
