/*
    The editor interface of the VST 2.4 binding: what the dispatcher asks of an editor
    object for the editor opcodes. The JUCE wrapper answers those opcodes itself and sets
    no editor object, but the route stays open for a plug-in that does.
*/
#pragma once

#include "host/VstInterface.h"

class AEffEditor
{
public:
    /** A key press as the host reports it: character, virtual key code and modifier bits. */
    struct KeyCode
    {
        vst::int32 character = 0;
        unsigned char virt = 0;
        unsigned char modifier = 0;
    };

    virtual ~AEffEditor() = default;

    /** Points *rect at the editor's size; false when it has none. */
    virtual bool getRect (vst::ERect** rect) = 0;

    /** Opens the editor inside the host's parent window; false when it cannot. */
    virtual bool open (void* parentWindow) = 0;

    /** Closes the editor window. */
    virtual void close() = 0;

    /** Called by the host from its idle loop while the editor is open. */
    virtual void idle() {}

    /** A key went down; true when the editor used it. */
    virtual bool onKeyDown (KeyCode&)                       { return false; }

    /** A key went up; true when the editor used it. */
    virtual bool onKeyUp (KeyCode&)                         { return false; }

    /** The host's knob mode (circular, relative circular, linear); true when the editor took it. */
    virtual bool setKnobMode (vst::int32)                   { return false; }
};
