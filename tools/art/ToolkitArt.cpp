#include "tools/art/ToolkitArt.h"
#include "tools/art/ArtGlyphBox.h"
#include "tools/art/BrowserRowArt.h"
#include "tools/art/ModulatorArt.h"
#include "gui/widgets/ToolkitImageNames.h"

#include <cmath>
#include <vector>

namespace ToolkitArtDetail
{
using namespace ArtPalette;
using Names = ToolkitImageNames;

/** What a glyph is drawn with: the canvas, its box and its colour. */
struct Pen
{
    ArtCanvas& canvas;
    ArtGlyphBox box;
    juce::Colour ink;

    void stroke (const juce::Path& p) const                 { canvas.stroke (p, box.getLineWidth(), ink); }
    void fill (const juce::Path& p) const                   { canvas.fill (p, ink); }

    /** A thin line (1 pixel, or 2 in a large box) for details. */
    void detail (float fx1, float fy1, float fx2, float fy2) const
    {
        const auto width = box.isLarge() ? 2.0f : 1.0f;
        canvas.stroke (box.withLineWidth (width).line (fx1, fy1, fx2, fy2), width, ink);
    }

    /** A sheet of paper: the light inside, then its outline. */
    void sheet (const juce::Path& p) const                  { canvas.fill (p, paper); stroke (p); }
};

//==============================================================================
// The glyphs, one per icon. Positions are fractions of the glyph box.

void closeGlyph (const Pen& p)
{
    const auto& b = p.box;
    p.stroke (b.line (0.12f, 0.12f, 0.88f, 0.88f));
    p.stroke (b.line (0.88f, 0.12f, 0.12f, 0.88f));
}

void copyGlyph (const Pen& p)
{
    const auto& b = p.box;
    const auto r = b.length (0.08f);
    p.sheet (b.frame (0.04f, 0.0f, 0.62f, 0.66f, r));
    p.sheet (b.frame (0.38f, 0.34f, 0.96f, 1.0f, r));

    if (b.isLarge())
        for (auto y : { 0.56f, 0.7f, 0.84f })
            p.detail (0.52f, y, 0.82f, y);
}

void cutGlyph (const Pen& p)
{
    const auto& b = p.box;
    p.stroke (b.circle (0.24f, 0.8f, 0.16f));
    p.stroke (b.circle (0.76f, 0.8f, 0.16f));
    p.stroke (b.line (0.34f, 0.66f, 0.8f, 0.0f));
    p.stroke (b.line (0.66f, 0.66f, 0.2f, 0.0f));
}

void pasteGlyph (const Pen& p)
{
    // A board with a sheet on it, held by a clip that stands out above the board.
    const auto& b = p.box;
    p.sheet (b.frame (0.08f, 0.12f, 0.92f, 1.0f, b.length (0.08f)));
    p.fill (b.block (0.3f, 0.0f, 0.7f, 0.28f, b.length (0.06f)));
    p.canvas.fill (b.block (0.42f, 0.08f, 0.58f, 0.16f), paper);

    const auto lineRows = b.isLarge() ? std::vector<float> { 0.48f, 0.64f, 0.8f } : std::vector<float> { 0.52f, 0.76f };

    for (auto y : lineRows)
        p.detail (0.3f, y, 0.7f, y);
}

void deleteGlyph (const Pen& p)
{
    const auto& b = p.box;
    p.stroke (b.line (0.04f, 0.18f, 0.96f, 0.18f));
    p.stroke (b.lines ({ { 0.36f, 0.18f }, { 0.36f, 0.02f }, { 0.64f, 0.02f }, { 0.64f, 0.18f } }));
    p.stroke (b.lines ({ { 0.16f, 0.18f }, { 0.22f, 1.0f }, { 0.78f, 1.0f }, { 0.84f, 0.18f } }));

    if (b.isLarge())
    {
        for (auto x : { 0.38f, 0.62f })
            p.detail (x, 0.4f, x, 0.8f);
    }
    else
    {
        p.detail (0.5f, 0.42f, 0.5f, 0.78f);
    }
}

/** An arrow along one axis; (dx, dy) is the direction it points in. */
void arrowGlyph (const Pen& p, int dx, int dy)
{
    const auto& b = p.box;

    // Designed pointing down, then turned by swapping and mirroring the fractions.
    const auto place = [dx, dy] (float across, float along) -> juce::Point<float>
    {
        const auto a = (dx + dy) > 0 ? along : 1.0f - along;
        return dy != 0 ? juce::Point<float> (across, a) : juce::Point<float> (a, across);
    };

    const auto tail = place (0.5f, 0.06f), tip = place (0.5f, 0.92f);
    p.stroke (b.line (tail.x, tail.y, tip.x, tip.y));
    p.stroke (b.lines ({ place (0.14f, 0.56f), tip, place (0.86f, 0.56f) }));
}

void plusGlyph (const Pen& p)
{
    const auto& b = p.box;
    p.stroke (b.line (0.5f, 0.08f, 0.5f, 0.92f));
    p.stroke (b.line (0.08f, 0.5f, 0.92f, 0.5f));
}

void minusGlyph (const Pen& p)
{
    p.stroke (p.box.line (0.08f, 0.5f, 0.92f, 0.5f));
}

void pencilGlyph (const Pen& p)
{
    const auto& b = p.box;
    p.stroke (b.lines ({ { 0.06f, 0.94f }, { 0.13f, 0.66f }, { 0.7f, 0.09f }, { 0.91f, 0.3f }, { 0.34f, 0.87f } }, true));
    p.stroke (b.line (0.58f, 0.21f, 0.79f, 0.42f));
}

void eraserGlyph (const Pen& p)
{
    const auto& b = p.box;
    // A block at 45 degrees whose lower end is the rubber, standing on the line it wipes.
    const juce::Point<float> left (0.04f, 0.6f), top (0.5f, 0.14f), right (0.92f, 0.56f), bottom (0.46f, 1.0f);
    const juce::Point<float> splitA (0.27f, 0.37f), splitB (0.69f, 0.79f);
    p.fill (b.lines ({ left, splitA, splitB, bottom }, true));
    p.stroke (b.lines ({ left, top, right, bottom }, true));
    p.stroke (b.line (0.46f, 1.0f, 0.98f, 1.0f));
}

void gearGlyph (const Pen& p)
{
    const auto area = p.box.getArea();
    const auto centre = area.getCentre();
    const auto outer = area.getWidth() * 0.5f, inner = area.getWidth() * 0.36f;
    const auto teeth = 8;
    const auto step = juce::MathConstants<float>::twoPi / (float) teeth;
    const auto root = 0.2f, tip = 0.12f;   // half widths of a tooth, in radians

    juce::Path gear;

    for (int i = 0; i < teeth; ++i)
    {
        const auto a = step * (float) i;
        const auto pointAt = [&] (float angle, float radius) { return centre.getPointOnCircumference (radius, angle); };

        if (i == 0)
            gear.startNewSubPath (pointAt (a - root, inner));

        gear.lineTo (pointAt (a - tip, outer));
        gear.lineTo (pointAt (a + tip, outer));
        gear.lineTo (pointAt (a + root, inner));
        gear.addCentredArc (centre.x, centre.y, inner, inner, 0.0f, a + root, a + step - root);
    }

    gear.closeSubPath();
    const auto hole = area.getWidth() * 0.16f;
    gear.addEllipse (centre.x - hole, centre.y - hole, 2.0f * hole, 2.0f * hole);
    gear.setUsingNonZeroWinding (false);
    p.fill (gear);
}

void infoGlyph (const Pen& p)
{
    const auto& b = p.box;
    const auto side = b.getArea().getWidth();
    p.stroke (b.circle (0.5f, 0.5f, 0.5f - b.getLineWidth() / (2.0f * side)));
    p.fill (b.circle (0.5f, 0.28f, b.getLineWidth() * 0.65f / side));
    p.stroke (b.line (0.5f, 0.46f, 0.5f, 0.74f));
}

void openFolderGlyph (const Pen& p)
{
    const auto& b = p.box;
    p.stroke (b.lines ({ { 0.02f, 0.9f }, { 0.02f, 0.1f }, { 0.36f, 0.1f }, { 0.46f, 0.22f }, { 0.86f, 0.22f }, { 0.86f, 0.42f } }));
    p.sheet (b.lines ({ { 0.02f, 0.9f }, { 0.2f, 0.42f }, { 0.98f, 0.42f }, { 0.8f, 0.9f } }, true));
}

void floppyGlyph (const Pen& p)
{
    const auto& b = p.box;
    p.sheet (b.lines ({ { 0.0f, 0.0f }, { 0.76f, 0.0f }, { 1.0f, 0.24f }, { 1.0f, 1.0f }, { 0.0f, 1.0f } }, true)
                 .createPathWithRoundedCorners (b.length (0.06f)));
    p.stroke (b.lines ({ { 0.24f, 0.0f }, { 0.24f, 0.32f }, { 0.7f, 0.32f }, { 0.7f, 0.0f } }));
    p.fill (b.block (0.5f, 0.08f, 0.62f, 0.26f));
    p.sheet (b.frame (0.18f, 0.56f, 0.82f, 1.0f));
}

void drawGlyph (int index, const Pen& p)
{
    switch (index)
    {
        case 0:  closeGlyph (p); break;
        case 1:  copyGlyph (p); break;
        case 2:  cutGlyph (p); break;
        case 3:  pasteGlyph (p); break;
        case 4:  deleteGlyph (p); break;
        case 5:  arrowGlyph (p, 0, 1); break;
        case 6:  arrowGlyph (p, 0, -1); break;
        case 7:  arrowGlyph (p, -1, 0); break;
        case 8:  arrowGlyph (p, 1, 0); break;
        case 9:  plusGlyph (p); break;
        case 10: minusGlyph (p); break;
        case 11: pencilGlyph (p); break;
        case 12: eraserGlyph (p); break;
        case 13: gearGlyph (p); break;
        case 14: infoGlyph (p); break;
        case 15: openFolderGlyph (p); break;
        case 16: floppyGlyph (p); break;
        default: jassertfalse; break;
    }
}

//==============================================================================
void drawIcon (ArtCanvas& c, int index, bool large, bool pressed)
{
    // The last row is left to the soft line under the face.
    const auto size = large ? 43 : 27;
    const juce::Rectangle<int> faceArea (0, 0, size, size - 1);
    c.drawFace (pressed ? pressedFace : raisedFace, faceArea, large ? 6.0f : 4.0f);

    const auto side = large ? 23.0f : 15.0f;
    const auto glyphArea = juce::Rectangle<float> (side, side).withCentre (faceArea.toFloat().getCentre())
                                                             .translated (0.0f, pressed ? 1.0f : 0.0f);
    drawGlyph (index, Pen { c, ArtGlyphBox (glyphArea, large ? 3.0f : 2.0f), ink });
}

/** A soft white shine over the upper part of a text button's inside (below the rim). */
void drawGloss (ArtCanvas& c, int faceHeight)
{
    c.fillFade ({ 0, 2, c.getWidth(), (faceHeight * 9) / 20 }, white.withAlpha (0.2f), ArtCanvas::Edge::top);
}

/** One part of a text-button set: a face cut off at the sides where the next part goes on. */
void drawTextButtonPart (ArtCanvas& c, Names::TextButtonPart part, bool large)
{
    const auto faceHeight = c.getHeight() - 1;   // the last row is the soft line under the face

    if (part == Names::overlay)
    {
        drawGloss (c, faceHeight);
        return;
    }

    const auto radius = large ? 5.0f : 4.0f;
    const auto spill = 10;                       // how far a face runs on past an open side
    const auto width = c.getWidth();
    const auto isLeft = part == Names::left || part == Names::leftDown;
    const auto isRight = part == Names::right || part == Names::rightDown;
    const auto down = part == Names::leftDown || part == Names::middleDown || part == Names::rightDown;

    const auto area = isLeft  ? juce::Rectangle<int> (0, 0, width + spill, faceHeight)
                    : isRight ? juce::Rectangle<int> (-spill, 0, width + spill, faceHeight)
                              : juce::Rectangle<int> (-spill, 0, width + 2 * spill, faceHeight);
    const auto corners = isLeft ? ArtCanvas::leftCorners : isRight ? ArtCanvas::rightCorners : ArtCanvas::noCorners;

    c.drawFace (down ? pressedFace : raisedFace, area, radius, corners);

    // The overlay shines over the middle only, so the caps carry the same shine themselves.
    if (isLeft || isRight)
    {
        juce::Graphics::ScopedSaveState state (c.getGraphics());
        c.getGraphics().reduceClipRegion (ArtCanvas::roundedArea (area.toFloat().reduced (1.0f), radius - 1.0f, corners));
        drawGloss (c, faceHeight);
    }
}

void drawCheckBox (ArtCanvas& c, bool ticked)
{
    const juce::Rectangle<int> box (1, 0, 13, 13);
    c.drawFace (fieldFace, box, 2.5f);

    if (ticked)
    {
        const ArtGlyphBox b (box.toFloat().reduced (3.0f), 2.0f);
        c.stroke (b.lines ({ { 0.0f, 0.55f }, { 0.36f, 0.9f }, { 1.0f, 0.12f } }), 2.0f, accent);
    }
}

void drawRadioButton (ArtCanvas& c, bool selected)
{
    const juce::Rectangle<int> box (1, 0, 13, 13);
    c.drawFace (fieldFace, box, 6.5f);

    if (selected)
    {
        const auto centre = box.toFloat().getCentre();
        juce::Path dot;
        dot.addEllipse (centre.x - 3.0f, centre.y - 3.0f, 6.0f, 6.0f);
        c.fill (dot, accent);
    }
}

void drawWindowIcon (ArtCanvas& c)
{
    const Face emblem { accent.brighter (0.35f), accent.darker (0.25f), accent.darker (0.9f),
                        juce::Colours::white.withAlpha (0.45f), juce::Colours::black.withAlpha (0.3f) };
    c.drawFace (emblem, { 1, 1, 22, 21 }, 5.0f);

    // One period of a sine, held in eight steps and quantised to four levels: the crushed
    // wave the product makes, drawn over the smooth one.
    const juce::Rectangle<float> area (4.0f, 5.0f, 16.0f, 13.0f);
    juce::Path sine;

    for (int i = 0; i <= 32; ++i)
    {
        const auto x = (float) i / 32.0f;
        const juce::Point<float> pt (area.getX() + x * area.getWidth(),
                                     area.getCentreY() - 0.46f * area.getHeight() * std::sin (juce::MathConstants<float>::twoPi * x));
        i == 0 ? sine.startNewSubPath (pt) : sine.lineTo (pt);
    }

    c.stroke (sine, 1.0f, white.withAlpha (0.35f));

    // Drawn pixel by pixel: each step holds for two columns at its level, and the rise to the
    // next level fills the first column of the next step.
    const int levels[] = { -2, -5, -5, -2, 2, 5, 5, 2 };   // rows from the middle, upwards negative
    const auto x0 = (int) area.getX(), middle = (int) area.getCentreY();
    juce::Path steps;

    for (int i = 0; i < 8; ++i)
    {
        const auto x = x0 + 2 * i, y = middle + levels[i];
        steps.addRectangle ((float) x, (float) y, 2.0f, 1.0f);

        if (i > 0)
        {
            const auto previous = middle + levels[i - 1];
            steps.addRectangle ((float) x, (float) juce::jmin (y, previous), 1.0f, (float) (std::abs (y - previous) + 1));
        }
    }

    c.fill (steps, white);
}

ArtImage shadowEdge (Names::ShadowEdge edge)
{
    const auto vertical = edge == Names::shadowTop || edge == Names::shadowBottom;
    const auto darkEdge = edge == Names::shadowTop ? ArtCanvas::Edge::top
                        : edge == Names::shadowBottom ? ArtCanvas::Edge::bottom
                        : edge == Names::shadowLeft ? ArtCanvas::Edge::left : ArtCanvas::Edge::right;
    const auto w = vertical ? 40 : 10, h = vertical ? 10 : 40;

    return { Names::windowShadow (edge), w, h, [=] (ArtCanvas& c)
             {
                 c.fillFade ({ 0, 0, w, h }, juce::Colours::black.withAlpha (0.45f), darkEdge);
             } };
}
} // namespace ToolkitArtDetail

void ToolkitArt::drawIconGlyph (ArtCanvas& canvas, int index, juce::Rectangle<float> area, float lineWidth, juce::Colour ink)
{
    ToolkitArtDetail::drawGlyph (index, ToolkitArtDetail::Pen { canvas, ArtGlyphBox (area, lineWidth), ink });
}

ArtImageList ToolkitArt::getImages()
{
    using namespace ToolkitArtDetail;
    ArtImageList images;

    for (auto ticked : { false, true })
        images.push_back ({ Names::checkBox (ticked), 15, 14, [ticked] (ArtCanvas& c) { drawCheckBox (c, ticked); } });

    for (auto selected : { false, true })
        images.push_back ({ Names::radioButton (selected), 15, 14, [selected] (ArtCanvas& c) { drawRadioButton (c, selected); } });

    for (auto large : { false, true })
        for (int i = 0; i < Names::numIcons; ++i)
            for (auto pressed : { false, true })
            {
                const auto size = large ? 43 : 27;
                images.push_back ({ Names::icon (i, large, pressed), size, size,
                                    [i, large, pressed] (ArtCanvas& c) { drawIcon (c, i, large, pressed); } });
            }

    for (auto large : { false, true })
    {
        // Left cap, middle and right cap: 15 / 31 / 15 by 28 in the normal set, 15 / 44 / 14 by 32 in the large one.
        const int widths[] = { 15, large ? 44 : 31, large ? 14 : 15 };
        const auto height = large ? 32 : 28;

        for (int i = 0; i < Names::numTextButtonParts; ++i)
        {
            const auto part = (Names::TextButtonPart) i;
            const auto width = part == Names::overlay ? widths[1] : widths[i % 3];
            images.push_back ({ Names::textButton (large, part), width, height,
                                [part, large] (ArtCanvas& c) { drawTextButtonPart (c, part, large); } });
        }
    }

    images.push_back ({ Names::windowIcon(), 24, 24, drawWindowIcon });

    for (auto edge : { Names::shadowTop, Names::shadowBottom, Names::shadowLeft, Names::shadowRight })
        images.push_back (shadowEdge (edge));

    for (auto& image : ModulatorArt::getImages())
        images.push_back (std::move (image));

    for (auto& image : BrowserRowArt::getImages())
        images.push_back (std::move (image));

    return images;
}
