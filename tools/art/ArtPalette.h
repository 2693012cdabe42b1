/*
    The colours every generated image is drawn from. The greys are the look-and-feel's own
    (window panel, field, title bar, outline, selection); the accent marks a chosen state
    and the product's emblem, nothing else. The product's skin is a dark panel drawn from
    the same family: its indicator cyan is the preset display's own ink, and the signal
    colours (green, yellow, red) belong to the meters and lights alone.
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

//==============================================================================
// The product's skin: a dark hardware panel.

inline const juce::Colour skinPanelTop     { 0xff3d3c42 };   ///< face plate, top of its gradient
inline const juce::Colour skinPanelBottom  { 0xff2b2a2f };   ///< face plate, bottom
inline const juce::Colour skinRecess       { 0xff222125 };   ///< sunken fields: channel rows, meter bay
inline const juce::Colour skinDivider      { 0xff18171a };   ///< grooves and the dark side of edges
inline const juce::Colour skinEdgeLight    { 0x1affffff };   ///< the lit side of edges
inline const juce::Colour skinCaption      { 0xffd6d4cc };   ///< printed captions
inline const juce::Colour skinCaptionDim   { 0xff8d8b90 };   ///< secondary print, unlit labels
inline const juce::Colour skinDisplay      { 0xff232224 };   ///< preset display background (the skin's own)
inline const juce::Colour skinInk          { 0xffbef6ff };   ///< preset display text and caret (the skin's own)
inline const juce::Colour skinIndicator    { 0xff52d4ee };   ///< value arcs, chosen detents, lit lamps
inline const juce::Colour skinTrack        { 0xff141316 };   ///< the unlit part of a value arc
inline const juce::Colour skinPointer      { 0xfff4f2ea };   ///< knob pointers and key glyphs
inline const juce::Colour skinSignalGreen  { 0xff58ea6e };   ///< meter and activity lights
inline const juce::Colour skinSignalYellow { 0xfff2d24a };
inline const juce::Colour skinSignalRed    { 0xffff5238 };
inline const juce::Colour skinScrew        { 0xff6a6970 };

/** Knob caps: dark, lit from above. */
inline const Face skinCapFace { juce::Colour (0xff5b5a61), juce::Colour (0xff2c2b30), juce::Colour (0xff101012),
                                juce::Colours::white.withAlpha (0.22f), juce::Colours::black.withAlpha (0.55f) };

/** Keys of the panel at rest. */
inline const Face skinKeyFace { juce::Colour (0xff55545b), juce::Colour (0xff3a393f), juce::Colour (0xff111013),
                                juce::Colours::white.withAlpha (0.20f), juce::Colours::black.withAlpha (0.6f) };

/** The same key held down: darker, no light edge. */
inline const Face skinKeyPressedFace { juce::Colour (0xff333237), juce::Colour (0xff404045), juce::Colour (0xff0c0b0d),
                                       juce::Colours::black.withAlpha (0.15f), juce::Colours::white.withAlpha (0.06f) };
} // namespace ArtPalette
