/*
    The square in which a glyph (an icon's picture) is designed: positions are given as
    fractions of the box (0 at the top left, 1 at the bottom right) and come out snapped to
    the pixel grid, so the same design is crisp at every size it is drawn at. Line
    positions snap for the box's line width, edges of filled areas to pixel edges.
*/
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <initializer_list>

class ArtGlyphBox
{
public:
    /** A box over the pixel area, whose lines are lineWidth pixels wide. */
    ArtGlyphBox (juce::Rectangle<float> area, float lineWidth);

    /** The same box with lines of another width. */
    ArtGlyphBox withLineWidth (float width) const           { return { area, width }; }

    /** The width of the box's lines. */
    float getLineWidth() const noexcept                     { return lineWidth; }

    /** The box's pixel area. */
    juce::Rectangle<float> getArea() const noexcept         { return area; }

    /** True when the box is large enough for details that a small one leaves out. */
    bool isLarge() const noexcept                           { return area.getWidth() >= 20.0f; }

    /** A length given as a fraction of the box's side, in pixels (not snapped). */
    float length (float fraction) const noexcept            { return fraction * area.getWidth(); }

    /** The x (or y) of a line at this fraction, snapped for the line width. */
    float lineX (float fx) const;
    float lineY (float fy) const;

    /** The x (or y) of an edge of a filled area at this fraction, on a pixel edge. */
    float edgeX (float fx) const;
    float edgeY (float fy) const;

    /** A point of a line: lineX, lineY. */
    juce::Point<float> at (float fx, float fy) const        { return { lineX (fx), lineY (fy) }; }

    /** A straight line. */
    juce::Path line (float fx1, float fy1, float fx2, float fy2) const;

    /** Lines through the points (fractions), closed back to the first when asked. */
    juce::Path lines (std::initializer_list<juce::Point<float>> points, bool closed = false) const;

    /** A rectangle whose sides are lines, corners rounded by radius pixels. */
    juce::Path frame (float fx1, float fy1, float fx2, float fy2, float radius = 0.0f) const;

    /** A filled rectangle whose edges lie on pixel edges, corners rounded by radius pixels. */
    juce::Path block (float fx1, float fy1, float fx2, float fy2, float radius = 0.0f) const;

    /** A circle (for a line or a filled disc) around a point, its radius a fraction of the side. */
    juce::Path circle (float fcx, float fcy, float fradius) const;

private:
    juce::Rectangle<float> area;
    float lineWidth;
};
