/*
    Told when the user has changed the text of a display: the old-style editor renames the
    current preset through it.
*/
#pragma once

class GFXDisplay;

class GFXDisplayListener
{
public:
    virtual ~GFXDisplayListener() = default;

    /** The user has finished an edit that left the display's text different from before. */
    virtual void displayTextEdited (GFXDisplay* display) = 0;
};
