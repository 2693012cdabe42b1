/*
    The drawing toolkit of the art generator: one image being drawn, and the few things
    every picture is made of (faces, crisp strokes, fades). Coordinates are pixels; a
    pixel's centre is at .5, so a 1-pixel line along a row or column of pixels runs
    through .5 coordinates.
*/
#pragma once

#include "tools/art/ArtPalette.h"

#include <juce_graphics/juce_graphics.h>

class ArtCanvas
{
public:
    /** Draws into an area of the image, which must be ARGB; the area's top left is (0, 0). */
    ArtCanvas (juce::Image& target, juce::Rectangle<int> area);

    /** Corners of a face to round (combine the flags). */
    enum Corners
    {
        topLeft = 1, topRight = 2, bottomLeft = 4, bottomRight = 8,
        leftCorners = topLeft | bottomLeft,
        rightCorners = topRight | bottomRight,
        allCorners = leftCorners | rightCorners,
        noCorners = 0
    };

    /** The edge at which a fade is darkest. */
    enum class Edge { top, bottom, left, right };

    juce::Graphics& getGraphics() noexcept                  { return g; }
    int getWidth() const noexcept                           { return size.x; }
    int getHeight() const noexcept                          { return size.y; }

    /** A coordinate moved to where a line of this width is crisp: pixel centres for odd
        widths, pixel edges for even ones. */
    static float snap (float coordinate, float lineWidth);

    /** The outline of the pixel area (edges on pixel edges), its chosen corners rounded. */
    static juce::Path roundedArea (juce::Rectangle<float> area, float radius, int corners);

    /** A face over the pixel area: a soft line under it, the gradient, a light line under
        its top edge and a 1-pixel rim on its outer pixels. Parts of the area outside the
        image are cut off, which is how the caps and the middle of a button are made. */
    void drawFace (const ArtPalette::Face& face, juce::Rectangle<int> area, float radius, int corners = allCorners);

    /** Fills a path with a vertical gradient from the top colour at y1 to the bottom colour at y2. */
    void fillVertical (const juce::Path& path, juce::Colour top, float y1, juce::Colour bottom, float y2);

    /** Fills a path in one colour. */
    void fill (const juce::Path& path, juce::Colour colour);

    /** Strokes a path; rounded gives round ends and joins, else square ends and mitred joins. */
    void stroke (const juce::Path& path, float width, juce::Colour colour, bool rounded = true);

    /** Fills the area with the colour fading from full at the edge to nothing at the opposite
        side, smoothly (the square of the distance), the same along the edge. */
    void fillFade (juce::Rectangle<int> area, juce::Colour colour, Edge darkEdge);

private:
    juce::Graphics g;
    juce::Point<int> size;

    JUCE_DECLARE_NON_COPYABLE (ArtCanvas)
};
