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

    // The back with its tab, then the front of the folder over it.
    juce::Path back;
    back.startNewSubPath (1.5f, 13.5f);
    back.lineTo (1.5f, 2.5f);
    back.lineTo (6.5f, 2.5f);
    back.lineTo (8.5f, 4.5f);
    back.lineTo (14.5f, 4.5f);
    back.lineTo (14.5f, 13.5f);
    back.closeSubPath();
    c.fill (back, colours.inside.darker (0.35f));
    c.stroke (back, 1.0f, colours.line, false);

    juce::Path front;
    front.addRectangle (1.5f, 6.5f, 13.0f, 7.0f);
    c.fill (front, colours.inside);
    c.stroke (front, 1.0f, colours.line, false);
}

void drawPreset (ArtCanvas& c, bool selected)
{
    const auto colours = inkFor (selected);

    // A sheet with a folded corner.
    juce::Path sheet;
    sheet.startNewSubPath (2.5f, 0.5f);
    sheet.lineTo (9.5f, 0.5f);
    sheet.lineTo (13.5f, 4.5f);
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

    // One period of a sine held in one-pixel steps on five levels: the crushed wave, pixel by
    // pixel, each rise filling the column of the step it leads to.
    const int rows[] = { 10, 8, 7, 8, 10, 12, 13, 12, 10 };
    juce::Path steps;

    for (int i = 0; i < juce::numElementsInArray (rows); ++i)
    {
        const auto x = (float) (4 + i);
        const auto top = i > 0 ? juce::jmin (rows[i], rows[i - 1]) : rows[i];
        const auto bottom = i > 0 ? juce::jmax (rows[i], rows[i - 1]) : rows[i];
        steps.addRectangle (x, (float) top, 1.0f, (float) (bottom - top + 1));
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
