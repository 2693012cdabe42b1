/*
    A contact sheet: images laid out in labelled tiles on the window grey, each shown at
    its own size, at its own size on the title-bar grey and enlarged four times with
    square pixels, so that every pixel can be judged. Whole pictures (a window, a row of
    widgets) can be added to be shown at their own size only. A sheet taller than a page is
    cut into pages between rows of tiles, each small enough to be looked at unscaled.
*/
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

class ArtContactSheet
{
public:
    ArtContactSheet() = default;

    /** Adds an image, shown three ways. */
    void addImage (const juce::String& label, const juce::Image& image);

    /** Adds a picture shown at its own size only. */
    void addPicture (const juce::String& label, const juce::Image& picture);

    /** The pages of the sheet, its tiles flowing left to right in rows no wider than
        width, rows moved to a new page where a page would grow taller than pageHeight. */
    std::vector<juce::Image> render (int width = 1100, int pageHeight = 1050) const;

    /** Renders the sheet and writes its pages as PNG files: the first into the file, page n
        into the file's name followed by "-n"; false when a page cannot be written. Pages
        left from an earlier, longer sheet are removed. */
    bool writeTo (const juce::File& file, int width = 1100, int pageHeight = 1050) const;

private:
    struct Tile
    {
        juce::String label;
        juce::Image image;
        bool zoomed;
    };

    std::vector<Tile> tiles;
};
