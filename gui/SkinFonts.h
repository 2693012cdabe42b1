/*
    The fonts the skin's texts are drawn in. The skin is designed for Tahoma; where Tahoma is
    not installed the system's sans-serif face stands in for it. Styles are picked by the
    face's own style names, so a bold or italic font is the real face and not a synthesised one.
*/
#pragma once

#include <juce_graphics/juce_graphics.h>

class SkinFonts
{
public:
    SkinFonts() = delete;

    /** "Tahoma" when it is installed, otherwise the installed sans-serif family. */
    static juce::String getTypefaceName();

    /** A font of that family; styleFlags combine juce::Font::bold and juce::Font::italic
        ("Oblique" faces count as italic). A style the family lacks falls back to the nearest. */
    static juce::Font getFont (float height, int styleFlags = juce::Font::plain);

    /** The family's style name that getFont uses for these style flags. */
    static juce::String getStyleName (int styleFlags);
};
