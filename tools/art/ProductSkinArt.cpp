#include "tools/art/ProductSkinArt.h"
#include "tools/art/ArtGlyphBox.h"
#include "tools/art/ArtPixelFont.h"

#include <cmath>
#include <tuple>
#include <utility>

namespace ProductSkinArtDetail
{
using namespace ArtPalette;
using Kind = ProductSkinArt::Kind;
using Font = ArtPixelFont;

constexpr float pi = juce::MathConstants<float>::pi;

/** The sweep of every knob and selector: from 7:30 to 4:30 through 12 o'clock. */
constexpr float sweepStart = -0.75f * pi, sweepEnd = 0.75f * pi;

float angleOf (float proportion)     { return sweepStart + (sweepEnd - sweepStart) * proportion; }

juce::Point<float> polar (juce::Point<float> centre, float radius, float angle)
{
    return centre.getPointOnCircumference (radius, angle);
}

//==============================================================================
// The layout of the panel: the fields the controls sit in and the captions printed on it.

const juce::Rectangle<int> leftRow { 12, 66, 459, 63 };
const juce::Rectangle<int> rightRow { 12, 132, 459, 64 };
const juce::Rectangle<int> mixerField { 478, 39, 147, 157 };
const juce::Rectangle<int> meterBay { 553, 88, 67, 104 };
const juce::Rectangle<int> displayBezel { 126, 24, 161, 21 };

constexpr int topCaptionY = 5;          // captions of the top row, over their controls
constexpr int sectionY = 57;            // the section titles over the channel rows

/** Top keys: the cap's top edge and size on the panel, the same for all four. */
constexpr int keyCapTop = 18, keyCapWidth = 29, keyCapHeight = 27;

/** The meters' segments: the bottom one's top edge on the panel, height and pitch, and
    where each meter's column of segments starts on the panel. */
constexpr int meterSegments = 11, segmentBottomTop = 180, segmentHeight = 5, segmentPitch = 7, segmentWidth = 16;
constexpr int leftSegmentsX = 560, rightSegmentsX = 594;

//==============================================================================
/** A sunken field: dark inside, shadowed under its top edge, lit along its bottom edge. */
void drawRecess (ArtCanvas& c, juce::Rectangle<int> area, float radius = 4.0f)
{
    auto& g = c.getGraphics();
    const auto r = area.toFloat();
    c.fill (ArtCanvas::roundedArea (r.translated (0.0f, 1.0f), radius, ArtCanvas::allCorners), skinEdgeLight);
    c.fill (ArtCanvas::roundedArea (r, radius, ArtCanvas::allCorners), skinRecess);

    {
        juce::Graphics::ScopedSaveState state (g);
        g.reduceClipRegion (ArtCanvas::roundedArea (r, radius, ArtCanvas::allCorners));
        c.fillFade (area.withHeight (5), juce::Colours::black.withAlpha (0.45f), ArtCanvas::Edge::top);
        c.fillFade (area.withWidth (3), juce::Colours::black.withAlpha (0.25f), ArtCanvas::Edge::left);
    }

    c.stroke (ArtCanvas::roundedArea (r.reduced (0.5f), radius - 0.5f, ArtCanvas::allCorners), 1.0f, skinDivider, false);
}

/** A vertical groove between groups of a field. */
void drawGroove (ArtCanvas& c, int x, int y1, int y2)
{
    auto& g = c.getGraphics();
    g.setColour (skinDivider);
    g.fillRect (x, y1, 1, y2 - y1);
    g.setColour (juce::Colours::white.withAlpha (0.05f));
    g.fillRect (x + 1, y1, 1, y2 - y1);
}

void drawScrew (ArtCanvas& c, float cx, float cy, float angle)
{
    const juce::Point<float> centre (cx, cy);
    juce::Path hole;
    hole.addEllipse (cx - 4.0f, cy - 4.0f, 8.0f, 8.0f);
    c.fill (hole, juce::Colours::black.withAlpha (0.55f));
    juce::Path face;
    face.addEllipse (cx - 3.5f, cy - 3.5f, 7.0f, 7.0f);
    c.fillVertical (face, skinScrew.brighter (0.4f), cy - 3.5f, skinScrew.darker (0.5f), cy + 3.5f);

    for (auto turn : { 0.0f, 0.5f * pi })
    {
        juce::Path slot;
        slot.startNewSubPath (polar (centre, 2.8f, angle + turn));
        slot.lineTo (polar (centre, 2.8f, angle + turn + pi));
        c.stroke (slot, 1.0f, skinDivider, false);
    }
}

/** A caption with a thin rule running out to each side, the whole set between x1 and x2. */
void drawSectionTitle (ArtCanvas& c, const juce::String& title, int x1, int x2, int y)
{
    auto& g = c.getGraphics();
    const auto width = Font::getTextWidth (title);
    const auto textX = (x1 + x2 - width) / 2;
    Font::drawText (g, title, textX, y, skinCaptionDim);
    g.setColour (skinCaptionDim.withAlpha (0.55f));
    g.fillRect (x1, y + 3, textX - 4 - x1, 1);
    g.fillRect (textX + width + 4, y + 3, x2 - (textX + width + 4), 1);
}

/** Fine horizontal streaks over the face plate, as on brushed metal; the same every time. */
void drawBrushing (ArtCanvas& c, juce::Rectangle<int> area)
{
    auto& g = c.getGraphics();
    juce::Random random (1809);

    for (int y = area.getY(); y < area.getBottom(); ++y)
    {
        for (int x = area.getX(); x < area.getRight();)
        {
            const auto length = 12 + random.nextInt (90);
            const auto alpha = random.nextFloat() * 0.035f;
            g.setColour ((random.nextBool() ? juce::Colours::white : juce::Colours::black).withAlpha (alpha));
            g.fillRect (x, y, juce::jmin (length, area.getRight() - x), 1);
            x += length;
        }
    }
}

/** The name as on a dot-matrix display: each pixel of the font a lit dot with a faint halo. */
void drawDotMatrixText (ArtCanvas& c, const juce::String& text, float centreX, int y, juce::Colour colour)
{
    auto& g = c.getGraphics();
    constexpr int pitch = 3;
    const auto width = (text.length() * (Font::glyphWidth + 1) - 1) * pitch;
    auto x = (int) std::floor (centreX - (float) width / 2.0f);

    for (auto character : text)
    {
        for (int row = 0; row < Font::capHeight; ++row)
        {
            for (int column = 0; column < Font::glyphWidth; ++column)
            {
                const auto dotX = x + column * pitch, dotY = y + row * pitch;

                if (Font::isSet (character, column, row))
                {
                    g.setColour (colour.withAlpha (0.16f));
                    g.fillRect (dotX - 1, dotY - 1, 4, 4);
                    g.setColour (colour);
                    g.fillRect (dotX, dotY, 2, 2);
                }
            }
        }

        x += (Font::glyphWidth + 1) * pitch;
    }
}

void drawLogo (ArtCanvas& c)
{
    const auto centre = 546.0f;
    drawDotMatrixText (c, "VELCROFT", centre, 6, skinInk);
    Font::drawCentred (c.getGraphics(), "HIGH QUALITY BIT CRUSHER", centre, 31, skinCaptionDim);
}

void drawBackground (ArtCanvas& c)
{
    auto& g = c.getGraphics();
    const juce::Rectangle<int> all (0, 0, ProductSkinArt::panelWidth, ProductSkinArt::panelHeight);

    c.fillVertical (ArtCanvas::roundedArea (all.toFloat(), 0.0f, ArtCanvas::noCorners),
                    skinPanelTop, 0.0f, skinPanelBottom, (float) all.getHeight());
    drawBrushing (c, all);

    // The plate's own edges: lit along the top, dark along the bottom and the sides.
    g.setColour (juce::Colours::white.withAlpha (0.12f));
    g.fillRect (0, 0, all.getWidth(), 1);
    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.fillRect (0, all.getBottom() - 1, all.getWidth(), 1);
    g.fillRect (0, 0, 1, all.getHeight());
    g.fillRect (all.getRight() - 1, 0, 1, all.getHeight());

    for (auto [x, y, a] : { std::tuple { 6.0f, 6.0f, 0.3f }, { 627.0f, 6.0f, 1.1f }, { 6.0f, 202.0f, 2.0f }, { 627.0f, 202.0f, 0.7f } })
        drawScrew (c, x, y, a);

    // Top row: drive, the preset section, the name.
    drawRecess (c, displayBezel, 3.0f);
    Font::drawCentred (g, "PREAMP", 38.5f, topCaptionY, skinCaption);
    Font::drawCentred (g, "OPTIONS", 97.0f, topCaptionY, skinCaption);
    Font::drawCentred (g, "PRESET", (float) displayBezel.getCentreX(), topCaptionY, skinCaption);
    Font::drawCentred (g, "PREV", 313.5f, topCaptionY, skinCaption);
    Font::drawCentred (g, "NEXT", 352.0f, topCaptionY, skinCaption);
    Font::drawCentred (g, "BROWSE", 388.5f, topCaptionY, skinCaption);
    drawLogo (c);

    // The two channels: a sunken row each, the crusher and the filter parted by a groove.
    drawSectionTitle (c, "CRUSHER", 86, 254, sectionY);
    drawSectionTitle (c, "FILTER", 268, 464, sectionY);

    for (auto [row, captionY, name] : { std::tuple { leftRow, 71, "LEFT" }, { rightRow, 137, "RIGHT" } })
    {
        drawRecess (c, row);
        drawGroove (c, 72, row.getY() + 6, row.getBottom() - 6);
        drawGroove (c, 261, row.getY() + 6, row.getBottom() - 6);

        Font::drawCentred (g, "BITS", 104.5f, captionY, skinCaption);
        Font::drawCentred (g, "RATE", 175.5f, captionY, skinCaption);
        Font::drawCentred (g, "AA LPF", 235.0f, captionY, skinCaption);
        Font::drawCentred (g, "TYPE", 329.0f, captionY, skinCaption);
        Font::drawCentred (g, "CUTOFF", 388.5f, captionY, skinCaption);
        Font::drawCentred (g, "RESO/BW", 445.0f, captionY, skinCaption);
        Font::drawCentred (g, name, 39.5f, captionY + 24, skinCaption);
    }

    // The mixer: wet mix, channel link, output level and the meters.
    drawRecess (c, mixerField);
    Font::drawCentred (g, "VOLUME", 584.5f, 42, skinCaption);
    Font::drawCentred (g, "DRY/WET", 516.5f, 71, skinCaption);
    Font::drawCentred (g, "LINK", 517.5f, 137, skinCaption);
    c.fill (ArtCanvas::roundedArea (meterBay.toFloat(), 3.0f, ArtCanvas::allCorners), juce::Colour (0xff19181c));
    c.stroke (ArtCanvas::roundedArea (meterBay.toFloat().reduced (0.5f), 2.5f, ArtCanvas::allCorners), 1.0f, skinDivider, false);
    Font::drawCentred (g, "L", (float) leftSegmentsX + segmentWidth / 2.0f, 91, skinCaption);
    Font::drawCentred (g, "R", (float) rightSegmentsX + segmentWidth / 2.0f, 91, skinCaption);

    // Level marks between the two columns: a tick per segment, the clip zone in red.
    for (int i = 0; i < meterSegments; ++i)
    {
        const auto y = segmentBottomTop - i * segmentPitch + segmentHeight / 2;
        const auto halfLength = i % 2 == 0 ? 4 : 2;
        const auto middle = (leftSegmentsX + segmentWidth + rightSegmentsX) / 2;
        g.setColour (i >= 8 ? skinSignalRed.withAlpha (0.8f) : skinCaptionDim.withAlpha (0.7f));
        g.fillRect (middle - halfLength, y, 2 * halfLength + 1, 1);
    }
}

//==============================================================================
// The controls' frames. Each is drawn in the frame's own coordinates (0, 0 at its top left).

/** A knob cap: a shadow under it, the body lit from above, a machined top. */
void drawCap (ArtCanvas& c, juce::Point<float> centre, float radius)
{
    juce::Path shadow;
    shadow.addEllipse (juce::Rectangle<float> (radius * 2.0f + 2.0f, radius * 2.0f + 2.0f).withCentre (centre.translated (0.0f, 1.5f)));
    c.fill (shadow, juce::Colours::black.withAlpha (0.5f));

    juce::Path body;
    body.addEllipse (juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre));
    c.fillVertical (body, skinCapFace.top, centre.y - radius, skinCapFace.bottom, centre.y + radius);

    const auto inner = radius - 2.5f;
    juce::Path top;
    top.addEllipse (juce::Rectangle<float> (inner * 2.0f, inner * 2.0f).withCentre (centre));
    c.fillVertical (top, juce::Colour (0xff333238), centre.y - inner, juce::Colour (0xff47464c), centre.y + inner);

    juce::Path rim;
    rim.addEllipse (juce::Rectangle<float> (radius * 2.0f - 1.0f, radius * 2.0f - 1.0f).withCentre (centre));
    c.stroke (rim, 1.0f, skinCapFace.rim, false);

    juce::Path light;
    light.addCentredArc (centre.x, centre.y, radius - 1.5f, radius - 1.5f, 0.0f, -0.4f * pi, 0.4f * pi, true);
    c.stroke (light, 1.0f, skinCapFace.topLight);
}

juce::Path arc (juce::Point<float> centre, float radius, float from, float to)
{
    juce::Path p;
    p.addCentredArc (centre.x, centre.y, radius, radius, 0.0f, from, to, true);
    return p;
}

constexpr float knobRadius = 11.5f, arcRadius = 15.0f;

juce::Point<float> frameCentre (int width, int height)
{
    return { (float) width / 2.0f, (float) height / 2.0f };
}

/** A knob at a proportion of its travel: the lit arc from its origin, the pointer on the cap. */
void drawKnob (ArtCanvas& c, int width, int height, float proportion, bool fromCentre)
{
    const auto centre = frameCentre (width, height);
    const auto angle = angleOf (proportion);
    const auto origin = fromCentre ? 0.0f : sweepStart;

    c.stroke (arc (centre, arcRadius, sweepStart, sweepEnd), 2.0f, skinTrack, false);

    if (std::abs (angle - origin) > 0.01f)
    {
        // The lit arc with a faint glow around it.
        const auto lit = arc (centre, arcRadius, juce::jmin (origin, angle), juce::jmax (origin, angle));
        c.stroke (lit, 4.0f, skinIndicator.withAlpha (0.16f), false);
        c.stroke (lit, 2.0f, skinIndicator, false);
    }

    if (fromCentre)
    {
        // The mark of the middle (unity gain), over the arc.
        juce::Path tick;
        tick.startNewSubPath (centre.x, centre.y - arcRadius - 1.5f);
        tick.lineTo (centre.x, centre.y - arcRadius + 1.0f);
        c.stroke (tick, 1.0f, skinPointer.withAlpha (0.7f), false);
    }

    drawCap (c, centre, knobRadius);

    juce::Path pointer;
    pointer.startNewSubPath (polar (centre, 4.0f, angle));
    pointer.lineTo (polar (centre, knobRadius - 1.5f, angle));
    c.stroke (pointer, 2.0f, skinPointer);
}

/** A rotary selector on one of its detents: a dot per detent, the chosen one lit, and the
    setting printed on the cap. */
void drawSelector (ArtCanvas& c, int width, int height, int detent, int detents, const juce::String& label)
{
    const auto centre = frameCentre (width, height);

    for (int i = 0; i < detents; ++i)
    {
        const auto chosen = i == detent;
        const auto at = polar (centre, arcRadius, angleOf ((float) i / (float) (detents - 1)));
        juce::Path dot;
        const auto r = chosen ? 1.9f : 1.1f;
        dot.addEllipse (at.x - r, at.y - r, 2.0f * r, 2.0f * r);
        c.fill (dot, chosen ? skinIndicator : skinCaptionDim.withAlpha (0.75f));
    }

    drawCap (c, centre, knobRadius);

    // The pointer's notch on the rim, then the setting in the middle.
    const auto angle = angleOf ((float) detent / (float) (detents - 1));
    juce::Path notch;
    notch.startNewSubPath (polar (centre, knobRadius - 3.0f, angle));
    notch.lineTo (polar (centre, knobRadius - 0.5f, angle));
    c.stroke (notch, 2.0f, skinIndicator);

    Font::drawCentred (c.getGraphics(), label, centre.x, (int) std::floor (centre.y - 3.0f), skinPointer);
}

/** The filter's place: a lever in a slot, up for before the crusher, down for after. */
void drawLever (ArtCanvas& c, int width, int height, bool up)
{
    auto& g = c.getGraphics();
    const auto cx = (float) width / 2.0f;
    Font::drawCentred (g, "PRE", cx, 1, up ? skinIndicator : skinCaptionDim);
    Font::drawCentred (g, "POST", cx, height - 8, up ? skinCaptionDim : skinIndicator);

    const juce::Rectangle<float> slot (cx - 4.0f, 12.0f, 8.0f, (float) height - 24.0f);
    c.fill (ArtCanvas::roundedArea (slot, 3.0f, ArtCanvas::allCorners), juce::Colour (0xff0e0d10));
    c.stroke (ArtCanvas::roundedArea (slot.expanded (0.5f), 3.5f, ArtCanvas::allCorners), 1.0f, juce::Colours::white.withAlpha (0.08f), false);

    const juce::Point<float> pivot (cx, (float) height / 2.0f);
    const juce::Point<float> end (cx, up ? 17.0f : (float) height - 17.0f);

    juce::Path nut;
    nut.addEllipse (juce::Rectangle<float> (11.0f, 11.0f).withCentre (pivot));
    c.fillVertical (nut, juce::Colour (0xff8e8d94), pivot.y - 5.5f, juce::Colour (0xff3b3a40), pivot.y + 5.5f);
    c.stroke (nut, 1.0f, skinDivider, false);

    juce::Path bat;
    bat.startNewSubPath (pivot);
    bat.lineTo (end);
    c.stroke (bat, 4.0f, juce::Colour (0xffb9b8bf));

    juce::Path ball;
    ball.addEllipse (juce::Rectangle<float> (9.0f, 9.0f).withCentre (end));
    c.fillVertical (ball, juce::Colour (0xfff0eff4), end.y - 4.5f, juce::Colour (0xff7a7980), end.y + 4.5f);
    c.stroke (ball, 1.0f, skinDivider, false);
}

/** A small lamp: dark glass, or lit with a glow around it. */
void drawLamp (ArtCanvas& c, juce::Rectangle<float> area, juce::Colour colour, bool lit)
{
    if (lit)
    {
        for (auto [grow, alpha] : { std::pair { 3.0f, 0.12f }, { 2.0f, 0.2f }, { 1.0f, 0.35f } })
            c.fill (ArtCanvas::roundedArea (area.expanded (grow), 2.0f + grow, ArtCanvas::allCorners), colour.withAlpha (alpha));

        c.fillVertical (ArtCanvas::roundedArea (area, 2.0f, ArtCanvas::allCorners),
                        colour.interpolatedWith (juce::Colours::white, 0.55f), area.getY(), colour, area.getBottom());
    }
    else
    {
        c.fillVertical (ArtCanvas::roundedArea (area, 2.0f, ArtCanvas::allCorners),
                        colour.withMultipliedBrightness (0.22f), area.getY(), colour.withMultipliedBrightness (0.32f), area.getBottom());
        c.fill (ArtCanvas::roundedArea (area.withHeight (1.0f).reduced (2.0f, 0.0f).translated (0.0f, 1.0f), 0.0f,
                                        ArtCanvas::noCorners), juce::Colours::white.withAlpha (0.10f));
    }

    c.stroke (ArtCanvas::roundedArea (area.expanded (0.5f), 2.5f, ArtCanvas::allCorners), 1.0f, juce::Colours::black.withAlpha (0.7f), false);
}

/** A panel key over the cap's area, up or held down (a pixel lower). */
void drawKey (ArtCanvas& c, juce::Rectangle<int> cap, bool down)
{
    c.drawFace (down ? skinKeyPressedFace : skinKeyFace, down ? cap.translated (0, 1) : cap, 3.0f);
}

/** The picture on a toggle key, in a box centred on the cap: the slope of a low-pass filter,
    or two links of a chain. */
void drawToggleIcon (ArtCanvas& c, Kind kind, juce::Rectangle<int> cap, juce::Colour ink)
{
    if (kind == Kind::filterToggleKey)
    {
        const ArtGlyphBox box (juce::Rectangle<float> (17.0f, 9.0f).withCentre (cap.getCentre().toFloat()), 1.5f);
        juce::Path slope;
        slope.startNewSubPath (box.at (0.0f, 0.1f));
        slope.lineTo (box.at (0.45f, 0.1f));
        slope.quadraticTo (box.at (0.75f, 0.1f), box.at (1.0f, 1.0f));
        c.stroke (slope, 1.5f, ink);
        return;
    }

    const ArtGlyphBox box (juce::Rectangle<float> (19.0f, 7.0f).withCentre (cap.getCentre().toFloat()), 1.5f);
    c.stroke (box.frame (0.0f, 0.0f, 0.6f, 1.0f, 3.0f), 1.5f, ink);
    c.stroke (box.frame (0.4f, 0.0f, 1.0f, 1.0f, 3.0f), 1.5f, ink);
}

/** A toggle key: the lamp above, the key with its picture below. */
void drawToggleKey (ArtCanvas& c, Kind kind, int width, int height, bool on, bool down)
{
    const juce::Rectangle<float> lamp ((float) width / 2.0f - 7.0f, 3.0f, 14.0f, 4.0f);
    drawLamp (c, lamp, skinIndicator, on);

    const juce::Rectangle<int> cap (4, 11, width - 8, height - 14);
    drawKey (c, cap, down);
    drawToggleIcon (c, kind, down ? cap.translated (0, 1) : cap, on ? skinInk : skinPointer);
}

/** The icon of a top key, in a 13-pixel box centred on the cap. */
void drawKeyIcon (ArtCanvas& c, Kind kind, juce::Rectangle<int> cap, juce::Colour ink)
{
    const ArtGlyphBox box (juce::Rectangle<float> (13.0f, 13.0f).withCentre (cap.getCentre().toFloat()), 1.0f);

    switch (kind)
    {
        case Kind::previousKey:
        case Kind::nextKey:
        {
            // An arrowhead with a bar at its point, as on a transport key.
            const auto left = kind == Kind::previousKey;
            juce::Path head;
            const auto tip = left ? 0.15f : 0.85f, back = left ? 0.85f : 0.15f;
            head.startNewSubPath (box.edgeX (back), box.edgeY (0.05f));
            head.lineTo (box.edgeX (tip), box.edgeY (0.5f));
            head.lineTo (box.edgeX (back), box.edgeY (0.95f));
            head.closeSubPath();
            c.fill (head, ink);
            c.fill (box.block (left ? 0.0f : 0.88f, 0.05f, left ? 0.12f : 1.0f, 0.95f), ink);
            break;
        }
        case Kind::browseKey:
            for (auto y : { 0.1f, 0.45f, 0.8f })
            {
                c.fill (box.block (0.0f, y, 0.16f, y + 0.16f), ink);
                c.fill (box.block (0.3f, y, 1.0f, y + 0.16f), ink);
            }
            break;
        case Kind::optionsKey:
            // Three faders at different settings.
            for (auto [x, knob] : { std::pair { 0.15f, 0.62f }, { 0.5f, 0.2f }, { 0.85f, 0.48f } })
            {
                c.stroke (box.line (x, 0.0f, x, 1.0f), 1.0f, ink.withAlpha (0.6f), false);
                c.fill (box.block (x - 0.16f, knob - 0.1f, x + 0.16f, knob + 0.14f), ink);
            }
            break;
        default:
            break;
    }
}

void drawTopKey (ArtCanvas& c, Kind kind, const ProductSkinArt::Control& control, bool down)
{
    const juce::Rectangle<int> cap ((control.width - keyCapWidth) / 2, keyCapTop - control.top, keyCapWidth, keyCapHeight);
    drawKey (c, cap, down);
    drawKeyIcon (c, kind, down ? cap.translated (0, 1) : cap, down ? skinIndicator : skinPointer);
}

juce::Colour segmentColour (int segment)
{
    return segment < 6 ? skinSignalGreen : segment < 8 ? skinSignalYellow : skinSignalRed;
}

/** A meter showing lit segments from the bottom: the column of segments that stands
    inside the control, placed on the panel's grid, so the two meters line up although
    their controls do not. */
void drawMeter (ArtCanvas& c, const ProductSkinArt::Control& control, int lit)
{
    const auto inside = [&control] (int x) { return x >= control.left && x + segmentWidth <= control.left + control.width; };
    const auto x = (inside (leftSegmentsX) ? leftSegmentsX : rightSegmentsX) - control.left;

    for (int i = 0; i < meterSegments; ++i)
    {
        const juce::Rectangle<float> segment ((float) x, (float) (segmentBottomTop - i * segmentPitch - control.top),
                                              (float) segmentWidth, (float) segmentHeight);
        auto& g = c.getGraphics();
        const auto colour = segmentColour (i);

        if (i < lit)
        {
            g.setColour (colour.withAlpha (0.22f));
            g.fillRect (segment.expanded (1.0f));
            g.setGradientFill (juce::ColourGradient::vertical (colour.interpolatedWith (juce::Colours::white, 0.35f), segment.getY(),
                                                               colour, segment.getBottom()));
            g.fillRect (segment);
        }
        else
        {
            g.setColour (colour.withMultipliedBrightness (0.2f).withMultipliedSaturation (0.7f));
            g.fillRect (segment);
            g.setColour (juce::Colours::white.withAlpha (0.05f));
            g.fillRect (segment.withHeight (1.0f));
        }
    }
}

/** The glyph strip of the preset display: each glyph on the display's ground, then each
    again with the caret, a bar in the column before the glyph. */
void drawFontStrip (ArtCanvas& c)
{
    auto& g = c.getGraphics();
    const auto count = Font::lastCode - Font::firstCode + 1;
    g.setColour (skinDisplay);
    g.fillRect (0, 0, c.getWidth(), c.getHeight());

    for (int block = 0; block < 2; ++block)
    {
        for (int i = 0; i < count; ++i)
        {
            const auto y = (block * count + i) * Font::glyphHeight;
            Font::drawText (g, juce::String::charToString ((juce::juce_wchar) (Font::firstCode + i)), 1, y, skinInk);

            if (block == 1)
            {
                g.setColour (skinInk);
                g.fillRect (0, y, 1, Font::glyphHeight);
            }
        }
    }
}

juce::String bitsLabel (int frame)
{
    return frame == 16 ? "OFF" : juce::String (frame + 1);
}

juce::String filterTypeLabel (int frame)
{
    static const char* const labels[] = { "LP", "BP", "HP", "BR", "OFF" };
    return labels[juce::jlimit (0, 4, frame)];
}

void drawFrame (ArtCanvas& c, const ProductSkinArt::Control& control, int frame)
{
    const auto w = control.width, h = control.height;
    const auto proportion = control.frames > 1 ? (float) frame / (float) (control.frames - 1) : 0.0f;

    switch (control.kind)
    {
        case Kind::optionsKey:
        case Kind::previousKey:
        case Kind::nextKey:
        case Kind::browseKey:       drawTopKey (c, control.kind, control, frame == 1); break;
        case Kind::meter:           drawMeter (c, control, frame); break;
        case Kind::knob:            drawKnob (c, w, h, proportion, false); break;
        case Kind::centredKnob:     drawKnob (c, w, h, proportion, true); break;
        case Kind::bitsSelector:    drawSelector (c, w, h, frame, control.frames, bitsLabel (frame)); break;
        case Kind::filterTypeSelector: drawSelector (c, w, h, frame, control.frames, filterTypeLabel (frame)); break;
        case Kind::orderLever:      drawLever (c, w, h, frame == 1); break;
        case Kind::filterToggleKey:
        case Kind::linkToggleKey:   drawToggleKey (c, control.kind, w, h, frame >= 2, frame % 2 == 1); break;
        case Kind::activityLight:   drawLamp (c, { 5.0f, 4.0f, (float) w - 10.0f, (float) h - 8.0f }, skinSignalGreen, frame == 1); break;
        case Kind::font:            break;
    }
}

/** A control's strip: every frame over the panel under the control, then its own picture. */
void drawStrip (ArtCanvas& c, const ProductSkinArt::Control& control)
{
    if (control.kind == Kind::font)
    {
        drawFontStrip (c);
        return;
    }

    const auto background = ProductSkinArt::renderBackground()
                                .getClippedImage ({ control.left, control.top, control.width, control.height });
    auto& g = c.getGraphics();

    for (int frame = 0; frame < control.frames; ++frame)
    {
        juce::Graphics::ScopedSaveState state (g);
        g.setOrigin ({ 0, frame * control.height });
        g.reduceClipRegion (0, 0, control.width, control.height);
        g.drawImageAt (background, 0, 0);
        g.setOrigin ({ control.nudgeX, control.nudgeY });
        drawFrame (c, control, frame);
    }
}
} // namespace ProductSkinArtDetail

const std::vector<ProductSkinArt::Control>& ProductSkinArt::getControls()
{
    using K = Kind;

    // Some controls stand a pixel off the line of their row or of their twin in the other
    // channel; their pictures are nudged back onto it.
    static const std::vector<Control> controls {
        { "OptionsButton.png",          78,  14, 38, 43,  2, K::optionsKey },
        { "PrevPresetButton.png",       297, 15, 33, 42,  2, K::previousKey },
        { "NextPresetButton.png",       335, 16, 34, 41,  2, K::nextKey },
        { "BrowsePresetButton.png",     372, 17, 33, 40,  2, K::browseKey },
        { "Fonts.png",                  130, 28, ArtPixelFont::glyphWidth + 2, ArtPixelFont::glyphHeight,
                                        2 * (ArtPixelFont::lastCode - ArtPixelFont::firstCode + 1), K::font },
        { "LeftVUMeterAnimation.png",   551, 99, 34, 89, 12, K::meter },
        { "RightVUMeterAnimation.png",  585, 100, 37, 89, 12, K::meter },
        { "OutputVolumeKnob.png",       566, 50, 37, 35, 61, K::centredKnob },
        { "PreampKnob.png",             20,  15, 37, 35, 61, K::knob },
        { "LeftBitsKnob.png",           86,  83, 37, 35, 17, K::bitsSelector },
        { "LeftFrequencyKnob.png",      157, 84, 37, 35, 61, K::knob, 0, -1 },
        { "LeftAALPFButton.png",        216, 82, 37, 39,  4, K::filterToggleKey, 0, 1 },
        { "LeftFilterOrderSwitch.png",  268, 67, 27, 59,  2, K::orderLever },
        { "LeftFilterTypeKnob.png",     311, 84, 37, 35,  5, K::filterTypeSelector, 0, -1 },
        { "LeftCutoffKnob.png",         370, 83, 37, 35, 61, K::knob },
        { "LeftResoKnob.png",           426, 83, 37, 35, 61, K::knob },
        { "RightBitsKnob.png",          86,  149, 37, 35, 17, K::bitsSelector },
        { "RightFrequencyKnob.png",     157, 149, 37, 35, 61, K::knob },
        { "RightAALPFButton.png",       217, 149, 37, 39,  4, K::filterToggleKey, -1, 0 },
        { "RightFilterOrderSwitch.png", 268, 134, 27, 59,  2, K::orderLever, 0, -1 },
        { "RightFilterTypeKnob.png",    310, 149, 37, 35,  5, K::filterTypeSelector, 1, 0 },
        { "RightCutoffKnob.png",        370, 149, 37, 35, 61, K::knob },
        { "RightResoKnob.png",          427, 149, 37, 35, 61, K::knob, -1, 0 },
        { "LinkParamsButton.png",       499, 147, 37, 42,  4, K::linkToggleKey, -1, 0 },
        { "FXKnob.png",                 498, 83, 37, 35, 61, K::knob },
        { "LeftChannelProcessLed.png",  22,  78, 34, 13,  2, K::activityLight },
        { "RightChannelProcessLed.png", 23,  143, 34, 13,  2, K::activityLight, -1, 1 },
    };
    return controls;
}

juce::Image ProductSkinArt::renderBackground()
{
    static const juce::Image background = []
    {
        juce::Image image (juce::Image::ARGB, panelWidth, panelHeight, true);
        ArtCanvas canvas (image, { 0, 0, panelWidth, panelHeight });
        ProductSkinArtDetail::drawBackground (canvas);
        return image;
    }();

    return background;
}

ArtImageList ProductSkinArt::getImages()
{
    ArtImageList images;
    images.push_back ({ "Background.png", panelWidth, panelHeight,
                        [] (ArtCanvas& c) { c.getGraphics().drawImageAt (renderBackground(), 0, 0); } });

    for (auto& control : getControls())
        images.push_back ({ control.image, control.width, control.height * control.frames,
                            [control] (ArtCanvas& c) { ProductSkinArtDetail::drawStrip (c, control); } });

    return images;
}
