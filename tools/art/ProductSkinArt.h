/*
    The product's skin: the panel background and every filmstrip its controls show, in the
    order of the skin document. Each frame is drawn over the piece of the background under
    its control, so a strip is opaque and looks exactly as it would over the panel.
*/
#pragma once

#include "tools/art/ArtImage.h"

#include <vector>

class ProductSkinArt
{
public:
    ProductSkinArt() = delete;

    /** What a control of the skin shows, which decides how its frames are drawn. */
    enum class Kind
    {
        font, optionsKey, previousKey, nextKey, browseKey, meter, knob, centredKnob,
        bitsSelector, filterTypeSelector, orderLever, filterToggleKey, linkToggleKey, activityLight
    };

    /** One image-bearing control: its image, where it stands on the panel, its frame size
        and count, and what it shows. */
    struct Control
    {
        juce::String image;                 ///< resource name, "NAME.png"
        int left = 0, top = 0, width = 0, height = 0, frames = 1;
        Kind kind = Kind::knob;
        int nudgeX = 0, nudgeY = 0;         ///< moves the picture inside the frame, to line up with its neighbours
    };

    static constexpr int panelWidth = 633;  ///< the background's size
    static constexpr int panelHeight = 207;

    /** The controls with images, in the order of the skin document. */
    static const std::vector<Control>& getControls();

    /** The background, then each control's strip, in that order. */
    static ArtImageList getImages();

    /** The background alone, as the editor paints it. */
    static juce::Image renderBackground();
};
