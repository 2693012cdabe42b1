/*
    The parameter modulator's images: its five buttons, normal and under the mouse, and the
    background of its per-key curve. Their names come from gui/widgets/ToolkitImageNames.h.
*/
#pragma once

#include "tools/art/ArtImage.h"

class ModulatorArt
{
public:
    ModulatorArt() = delete;

    /** The modulator's images, in a stable order. */
    static ArtImageList getImages();
};
