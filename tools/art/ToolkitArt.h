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

    /** Draws the glyph of icon index (0 to 16) into a square area in one colour, with lines
        of the given width, as the icons show it. */
    static void drawIconGlyph (ArtCanvas& canvas, int index, juce::Rectangle<float> area, float lineWidth, juce::Colour ink);
};
