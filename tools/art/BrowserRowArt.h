/*
    The preset browser's four row icons (16 x 16): a folder for a group and a sheet with a
    crushed wave for a preset, each for an unselected row and for the selected-row fill.
    Their names come from gui/widgets/ToolkitImageNames.h.
*/
#pragma once

#include "tools/art/ArtImage.h"

class BrowserRowArt
{
public:
    BrowserRowArt() = delete;

    /** The four row icons, in a stable order. */
    static ArtImageList getImages();
};
