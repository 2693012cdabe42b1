/*
    The toolkit's own images: the check box and radio button, the 17 icons in two sizes,
    normal and pressed, the two text-button sets, the window's icon and shadow edges, and
    the preset browser's row icons.
    Their names come from gui/widgets/ToolkitImageNames.h.
*/
#pragma once

#include "tools/art/ArtImage.h"

class ToolkitArt
{
public:
    ToolkitArt() = delete;

    /** Every toolkit image, in a stable order. */
    static ArtImageList getImages();
};
