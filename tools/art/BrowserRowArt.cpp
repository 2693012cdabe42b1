#include "tools/art/BrowserRowArt.h"
#include "gui/widgets/ToolkitImageNames.h"

namespace BrowserRowArtDetail
{
using namespace ArtPalette;

/** The icon's colours: on a light row, or on the darker selected-row fill, where the
    outline turns white and the inside takes the accent so it still stands out. */
struct RowInk
{
    juce::Colour line, inside, mark;
};

RowInk inkFor (bool selected)
{
    return selected ? RowInk { white, accent, white }
                    : RowInk { ink, paper, accent };
}

void drawFolder (ArtCanvas& c, bool selected)
{
    const auto colours = inkFor (selected);

    // The tab at the back, then the front of the folder over it.
    juce::Path back;
    back.startNewSubPath (1.5f, 13.5f);
    back.lineTo (1.5f, 3.5f);
    back.lineTo (6.0f, 3.5f);
    back.lineTo (7.5f, 5.0f);
    back.lineTo (14.5f, 5.0f);
    back.lineTo (14.5f, 13.5f);
    back.closeSubPath();
    c.fill (back, colours.inside.darker (0.15f));
    c.stroke (back, 1.0f, colours.line, false);

    const auto front = ArtCanvas::roundedArea ({ 1.0f, 7.0f, 14.0f, 7.0f }, 1.0f, ArtCanvas::allCorners);
    c.fill (front, colours.inside);
    c.stroke (ArtCanvas::roundedArea ({ 1.5f, 7.5f, 13.0f, 6.0f }, 0.5f, ArtCanvas::allCorners), 1.0f, colours.line, false);
}

void drawPreset (ArtCanvas& c, bool selected)
{
    const auto colours = inkFor (selected);

    // A sheet with a folded corner.
    juce::Path sheet;
    sheet.startNewSubPath (2.5f, 0.5f);
    sheet.lineTo (10.0f, 0.5f);
    sheet.lineTo (13.5f, 4.0f);
    sheet.lineTo (13.5f, 15.5f);
    sheet.lineTo (2.5f, 15.5f);
    sheet.closeSubPath();
    c.fill (sheet, colours.inside);
    c.stroke (sheet, 1.0f, colours.line, false);

    juce::Path fold;
    fold.startNewSubPath (9.5f, 0.5f);
    fold.lineTo (9.5f, 4.5f);
    fold.lineTo (13.5f, 4.5f);
    c.stroke (fold, 1.0f, colours.line, false);

    // The crushed wave: four steps of a sine, two pixels each, with their rises.
    const int levels[] = { 9, 7, 7, 9, 11, 13, 13, 11 };
    juce::Path steps;

    for (int i = 0; i < 4; ++i)
    {
        const auto x = 4.0f + 2.0f * (float) i;
        const auto y = (float) levels[i * 2];
        steps.addRectangle (x, y, 2.0f, 1.0f);

        if (i > 0)
        {
            const auto previous = (float) levels[i * 2 - 2];
            steps.addRectangle (x, juce::jmin (y, previous), 1.0f, std::abs (y - previous) + 1.0f);
        }
    }

    c.fill (steps, colours.mark);
}
} // namespace BrowserRowArtDetail

ArtImageList BrowserRowArt::getImages()
{
    using namespace BrowserRowArtDetail;
    ArtImageList images;

    for (auto group : { true, false })
        for (auto selected : { false, true })
            images.push_back ({ ToolkitImageNames::browserRowIcon (group, selected), 16, 16,
                                [group, selected] (ArtCanvas& c) { group ? drawFolder (c, selected) : drawPreset (c, selected); } });

    return images;
}
