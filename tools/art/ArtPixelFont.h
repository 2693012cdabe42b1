/*
    The generator's own bitmap font: printable ASCII (codes 32 to 127), each glyph 5 pixels
    wide and 7 high above the baseline, with two rows below it for descenders. It draws
    captions and cap labels pixel by pixel, so the images never depend on the fonts that
    happen to be installed, and it is the font of the preset name display.
*/
#pragma once

#include <juce_graphics/juce_graphics.h>

class ArtPixelFont
{
public:
    ArtPixelFont() = delete;

    static constexpr int firstCode = 32;        ///< code of the first glyph (space)
    static constexpr int lastCode = 127;        ///< code of the last glyph
    static constexpr int glyphWidth = 5;        ///< pixels, without spacing
    static constexpr int capHeight = 7;         ///< rows from the top of a capital to the baseline
    static constexpr int glyphHeight = 9;       ///< rows of a glyph, descenders included

    /** True when the glyph of a character sets the pixel at column x, row y (0..4, 0..8);
        characters without a glyph are blank. */
    static bool isSet (juce::juce_wchar character, int x, int y) noexcept;

    /** The width in pixels of a text drawn at a scale with one scaled pixel between glyphs. */
    static int getTextWidth (const juce::String& text, int scale = 1) noexcept;

    /** Draws a text with its top left at (x, y): every set pixel a scale x scale square. */
    static void drawText (juce::Graphics& g, const juce::String& text, int x, int y,
                          juce::Colour colour, int scale = 1);

    /** Draws a text centred on the column centreX (the text's width decides where it starts). */
    static void drawCentred (juce::Graphics& g, const juce::String& text, float centreX, int y,
                             juce::Colour colour, int scale = 1);
};
