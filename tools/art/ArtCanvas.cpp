#include "tools/art/ArtCanvas.h"

#include <cmath>

ArtCanvas::ArtCanvas (juce::Image& target, juce::Rectangle<int> area)
    : g (target), size (area.getWidth(), area.getHeight())
{
    jassert (target.getFormat() == juce::Image::ARGB);
    g.setOrigin (area.getPosition());
    g.setImageResamplingQuality (juce::Graphics::highResamplingQuality);
}

float ArtCanvas::snap (float coordinate, float lineWidth)
{
    const auto oddWidth = ((int) std::round (lineWidth) % 2) != 0;
    return oddWidth ? std::floor (coordinate) + 0.5f : std::round (coordinate);
}

juce::Path ArtCanvas::roundedArea (juce::Rectangle<float> area, float radius, int corners)
{
    juce::Path p;
    p.addRoundedRectangle (area.getX(), area.getY(), area.getWidth(), area.getHeight(), radius, radius,
                           (corners & topLeft) != 0, (corners & topRight) != 0,
                           (corners & bottomLeft) != 0, (corners & bottomRight) != 0);
    return p;
}

void ArtCanvas::drawFace (const ArtPalette::Face& face, juce::Rectangle<int> area, float radius, int corners)
{
    const auto outer = area.toFloat();

    // The soft line under the face: the same shape one pixel lower, mostly hidden by the face.
    fill (roundedArea (outer.translated (0.0f, 1.0f), radius, corners), face.dropShadow);

    fillVertical (roundedArea (outer, radius, corners), face.top, outer.getY(), face.bottom, outer.getBottom());

    // The light line runs along the first row inside the rim, clipped to the rounded inside.
    {
        juce::Graphics::ScopedSaveState state (g);
        const auto inner = outer.reduced (1.0f);
        g.reduceClipRegion (roundedArea (inner, juce::jmax (0.0f, radius - 1.0f), corners));
        g.setColour (face.topLight);
        g.fillRect (inner.withHeight (1.0f));
    }

    stroke (roundedArea (outer.reduced (0.5f), radius - 0.5f, corners), 1.0f, face.rim, false);
}

void ArtCanvas::fillVertical (const juce::Path& path, juce::Colour top, float y1, juce::Colour bottom, float y2)
{
    g.setGradientFill (juce::ColourGradient::vertical (top, y1, bottom, y2));
    g.fillPath (path);
}

void ArtCanvas::fill (const juce::Path& path, juce::Colour colour)
{
    g.setColour (colour);
    g.fillPath (path);
}

void ArtCanvas::stroke (const juce::Path& path, float width, juce::Colour colour, bool rounded)
{
    g.setColour (colour);
    g.strokePath (path, juce::PathStrokeType (width,
                                              rounded ? juce::PathStrokeType::curved : juce::PathStrokeType::mitered,
                                              rounded ? juce::PathStrokeType::rounded : juce::PathStrokeType::butt));
}

void ArtCanvas::fillFade (juce::Rectangle<int> area, juce::Colour colour, Edge darkEdge)
{
    const auto vertical = darkEdge == Edge::top || darkEdge == Edge::bottom;
    const auto depth = vertical ? area.getHeight() : area.getWidth();

    for (int i = 0; i < depth; ++i)
    {
        // Distance of this row or column from the dark edge, measured at pixel centres.
        const auto t = 1.0f - ((float) i + 0.5f) / (float) depth;
        g.setColour (colour.withMultipliedAlpha (t * t));

        switch (darkEdge)
        {
            case Edge::top:     g.fillRect (area.getX(), area.getY() + i, area.getWidth(), 1); break;
            case Edge::bottom:  g.fillRect (area.getX(), area.getBottom() - 1 - i, area.getWidth(), 1); break;
            case Edge::left:    g.fillRect (area.getX() + i, area.getY(), 1, area.getHeight()); break;
            case Edge::right:   g.fillRect (area.getRight() - 1 - i, area.getY(), 1, area.getHeight()); break;
        }
    }
}
