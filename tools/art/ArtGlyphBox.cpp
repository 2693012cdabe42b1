#include "tools/art/ArtGlyphBox.h"
#include "tools/art/ArtCanvas.h"

#include <cmath>

ArtGlyphBox::ArtGlyphBox (juce::Rectangle<float> areaToUse, float width)
    : area (areaToUse), lineWidth (width)
{
}

float ArtGlyphBox::lineX (float fx) const   { return ArtCanvas::snap (area.getX() + fx * area.getWidth(), lineWidth); }
float ArtGlyphBox::lineY (float fy) const   { return ArtCanvas::snap (area.getY() + fy * area.getHeight(), lineWidth); }
float ArtGlyphBox::edgeX (float fx) const   { return std::round (area.getX() + fx * area.getWidth()); }
float ArtGlyphBox::edgeY (float fy) const   { return std::round (area.getY() + fy * area.getHeight()); }

juce::Path ArtGlyphBox::line (float fx1, float fy1, float fx2, float fy2) const
{
    juce::Path p;
    p.startNewSubPath (at (fx1, fy1));
    p.lineTo (at (fx2, fy2));
    return p;
}

juce::Path ArtGlyphBox::lines (std::initializer_list<juce::Point<float>> points, bool closed) const
{
    juce::Path p;
    auto first = true;

    for (auto& point : points)
    {
        if (first)
            p.startNewSubPath (at (point.x, point.y));
        else
            p.lineTo (at (point.x, point.y));

        first = false;
    }

    if (closed)
        p.closeSubPath();

    return p;
}

juce::Path ArtGlyphBox::frame (float fx1, float fy1, float fx2, float fy2, float radius) const
{
    juce::Path p;
    const auto x1 = lineX (fx1), y1 = lineY (fy1);
    p.addRoundedRectangle (x1, y1, lineX (fx2) - x1, lineY (fy2) - y1, radius);
    return p;
}

juce::Path ArtGlyphBox::block (float fx1, float fy1, float fx2, float fy2, float radius) const
{
    juce::Path p;
    const auto x1 = edgeX (fx1), y1 = edgeY (fy1);
    p.addRoundedRectangle (x1, y1, edgeX (fx2) - x1, edgeY (fy2) - y1, radius);
    return p;
}

juce::Path ArtGlyphBox::circle (float fcx, float fcy, float fradius) const
{
    juce::Path p;
    const auto centre = juce::Point<float> (area.getX() + fcx * area.getWidth(), area.getY() + fcy * area.getHeight());
    const auto r = length (fradius);
    p.addEllipse (centre.x - r, centre.y - r, 2.0f * r, 2.0f * r);
    return p;
}
