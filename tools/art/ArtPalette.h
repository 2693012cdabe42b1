/*
    The colours every generated image is drawn from. The greys are the look-and-feel's own
    (window panel, field, title bar, outline, selection); the accent marks a chosen state
    and the product's emblem, nothing else.
*/
#pragma once

#include <juce_graphics/juce_graphics.h>

namespace ArtPalette
{
inline const juce::Colour panel      { 0xffc5c5c5 };   ///< window and tab panels
inline const juce::Colour field      { 0xffe3e3e3 };   ///< text fields, boxes
inline const juce::Colour titleBar   { 0xff444444 };   ///< title and status bars
inline const juce::Colour outline    { 0xff5b5b5b };   ///< frames and tab outlines
inline const juce::Colour selection  { 0xffadadad };   ///< selected rows
inline const juce::Colour accent     { 0xff2f80c8 };   ///< ticks, dots, the emblem

inline const juce::Colour ink        { 0xff3a3a3a };   ///< glyphs on light faces
inline const juce::Colour paper      { 0xfffbfbfb };   ///< sheets and labels inside glyphs
inline const juce::Colour white      { 0xffffffff };
inline const juce::Colour black      { 0xff000000 };

/** A raised or pressed face: a vertical gradient inside a 1-pixel outline, with a light
    line under the top edge and a soft line under the bottom edge. */
struct Face
{
    juce::Colour top, bottom, rim, topLight, dropShadow;
};

/** Buttons, icons and boxes at rest: light, lit from above. */
inline const Face raisedFace { juce::Colour (0xfff7f7f7), juce::Colour (0xffdadada), outline,
                               juce::Colours::white.withAlpha (0.85f), juce::Colours::black.withAlpha (0.14f) };

/** The same while pressed: darker, lit from below, no light edge. */
inline const Face pressedFace { juce::Colour (0xffb3b3b3), juce::Colour (0xffcacaca), juce::Colour (0xff4a4a4a),
                                juce::Colours::black.withAlpha (0.12f), juce::Colours::white.withAlpha (0.35f) };

/** Fields that take a tick or a dot: flat, slightly sunken. */
inline const Face fieldFace { juce::Colour (0xffd9d9d9), juce::Colour (0xfff2f2f2), outline,
                              juce::Colours::black.withAlpha (0.10f), juce::Colours::white.withAlpha (0.55f) };
} // namespace ArtPalette
