#include "tools/art/ArtContactSheet.h"
#include "tools/art/ArtPalette.h"

namespace ArtContactSheetDetail
{
constexpr int zoom = 4, gap = 8, labelHeight = 14, margin = 12;

juce::Font labelFont()    { return juce::Font (11.0f); }

juce::Point<int> tileSize (const juce::String& label, const juce::Image& image, bool zoomed)
{
    const auto w = image.getWidth(), h = image.getHeight();
    const auto picturesWidth = zoomed ? w + gap + w + 2 * gap + gap + zoom * w : w;
    const auto picturesHeight = zoomed ? juce::jmax (h + 2 * gap, zoom * h) : h;
    const auto labelWidth = (int) std::ceil (labelFont().getStringWidthFloat (label));
    return { juce::jmax (picturesWidth, labelWidth), labelHeight + picturesHeight };
}
} // namespace ArtContactSheetDetail

void ArtContactSheet::addImage (const juce::String& label, const juce::Image& image)
{
    tiles.push_back ({ label, image, true });
}

void ArtContactSheet::addPicture (const juce::String& label, const juce::Image& picture)
{
    tiles.push_back ({ label, picture, false });
}

std::vector<juce::Image> ArtContactSheet::render (int width, int pageHeight) const
{
    using namespace ArtContactSheetDetail;

    // Lay out first, to learn where the pages break and how tall each is.
    struct Place { int page; juce::Rectangle<int> area; };
    std::vector<Place> places;
    std::vector<int> pageHeights { 0 };
    int x = margin, y = margin, rowHeight = 0;

    for (auto& tile : tiles)
    {
        const auto size = tileSize (tile.label, tile.image, tile.zoomed);

        if (x > margin && x + size.x > width - margin)
        {
            x = margin;
            y += rowHeight + 2 * gap;
            rowHeight = 0;
        }

        if (x == margin && y > margin && y + size.y + margin > pageHeight)
        {
            pageHeights.push_back (0);
            y = margin;
        }

        places.push_back ({ (int) pageHeights.size() - 1, { x, y, size.x, size.y } });
        x += size.x + 3 * gap;
        rowHeight = juce::jmax (rowHeight, size.y);
        pageHeights.back() = juce::jmax (pageHeights.back(), y + rowHeight + margin);
    }

    std::vector<juce::Image> pages;

    for (auto h : pageHeights)
    {
        pages.emplace_back (juce::Image::RGB, width, juce::jmax (h, 2 * margin), true);
        juce::Graphics (pages.back()).fillAll (ArtPalette::panel);
    }

    for (size_t i = 0; i < tiles.size(); ++i)
    {
        auto& tile = tiles[i];
        auto area = places[i].area;
        juce::Graphics g (pages[(size_t) places[i].page]);
        const auto w = tile.image.getWidth(), h = tile.image.getHeight();

        g.setFont (labelFont());
        g.setColour (juce::Colours::black);
        g.drawText (tile.label, area.removeFromTop (labelHeight), juce::Justification::topLeft, false);
        g.drawImageAt (tile.image, area.getX(), area.getY());

        if (! tile.zoomed)
            continue;

        // The same on the dark grey that title bars and status bars use.
        const juce::Rectangle<int> dark (area.getX() + w + gap, area.getY(), w + 2 * gap, h + 2 * gap);
        g.setColour (ArtPalette::titleBar);
        g.fillRect (dark);
        g.drawImageAt (tile.image, dark.getX() + gap, dark.getY() + gap);

        // Enlarged with square pixels, on a checkerboard that shows the transparent parts.
        const juce::Rectangle<int> big (dark.getRight() + gap, area.getY(), zoom * w, zoom * h);
        g.fillCheckerBoard (big.toFloat(), (float) zoom * 2.0f, (float) zoom * 2.0f,
                            ArtPalette::panel, ArtPalette::panel.brighter (0.12f));
        g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
        g.drawImageTransformed (tile.image, juce::AffineTransform::scale ((float) zoom).translated (big.getPosition().toFloat()));
    }

    return pages;
}

bool ArtContactSheet::writeTo (const juce::File& file, int width, int pageHeight) const
{
    const auto pages = render (width, pageHeight);
    const auto pageFile = [&file] (size_t n)
    {
        return n == 0 ? file : file.getSiblingFile (file.getFileNameWithoutExtension() + "-" + juce::String (n + 1)
                                                      + file.getFileExtension());
    };

    file.getParentDirectory().createDirectory();

    for (size_t n = 0; n < pages.size(); ++n)
    {
        const auto target = pageFile (n);
        target.deleteFile();
        juce::FileOutputStream out (target);

        if (! (out.openedOk() && juce::PNGImageFormat().writeImageToStream (pages[n], out)))
            return false;
    }

    for (auto n = pages.size(); pageFile (n).existsAsFile(); ++n)
        pageFile (n).deleteFile();

    return true;
}
