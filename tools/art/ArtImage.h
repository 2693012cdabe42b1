/*
    One image the art generator makes: its resource name, its size and how it is drawn.
*/
#pragma once

#include "tools/art/ArtCanvas.h"

#include <functional>
#include <vector>

struct ArtImage
{
    juce::String name;                          ///< resource name, "NAME.png"
    int width = 0, height = 0;
    std::function<void (ArtCanvas&)> draw;

    /** Draws the image onto a transparent ARGB image of its size. */
    juce::Image render() const
    {
        // Drawn with a margin that is cut off after: the renderer leaves the image's last
        // column a little short of a shape that runs on past it, which would show where
        // a stretched middle repeats.
        const auto margin = 2;
        juce::Image padded (juce::Image::ARGB, width + 2 * margin, height + 2 * margin, true);

        {
            ArtCanvas canvas (padded, { margin, margin, width, height });
            draw (canvas);
        }

        return padded.getClippedImage ({ margin, margin, width, height }).createCopy();
    }
};

using ArtImageList = std::vector<ArtImage>;
