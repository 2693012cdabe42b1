/*
    The skin's one-line text field, drawn with a bitmap font: it shows the text of its linked
    parameter (the preset name) and lets the user edit it with the keyboard.

    The font is a strip one glyph wide holding two blocks one above the other: the glyphs for
    the codes first..last in order, then the same glyphs drawn with the caret before them.

    While the user edits it, the field lifts itself out of the editor onto the desktop, as a
    temporary window in the same screen place, so that it gets the key presses even inside a
    host's window; when the edit ends it goes back to its place in its parent.
*/
#pragma once

#include "gui/controls/GFXDisplayListener.h"
#include "gui/controls/GUIController.h"

class GFXDisplay : public GUIController,
                   public juce::Component,
                   public juce::Timer
{
public:
    /** The colour ids the skin sets (JUCE's text editor ids, which the skin's colours stand for). */
    enum ColourIds
    {
        backgroundColourId = 0x1000200,     /**< Fills the field. */
        caretColourId      = 0x1000204      /**< Kept for the look-and-feel; the caret itself is in the font strip. */
    };

    /** A field with that component name, not yet read from the skin. */
    explicit GFXDisplay (const juce::String& name);

    /** Leaves the desktop if the field is being edited; its parent is not told. */
    ~GFXDisplay() override;

    //==============================================================================
    /** Reads the links and actions, then the attributes "name" (the text), "caretColour",
        "backgroundColour" and "readonly", then each "gfx", "pos" and "size" child in order. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** Shows the parameter's text. */
    void updateFromParameter (Parameter* parameter) override;

    //==============================================================================
    /** Sets the text and shows it; no listener is told. */
    void setText (const juce::String& newText);

    /** The text of the field. */
    const juce::String& getText() const noexcept        { return text; }

    /** What is painted: the text, or nothing in the "on" phase of a blink. */
    const juce::String& getShownText() const noexcept   { return shownText; }

    using GUIController::addListener;
    using GUIController::removeListener;

    /** Adds a listener told of the user's edits; null or one already there is ignored. */
    void addListener (GFXDisplayListener* listener);

    /** Removes a listener; it may do so while being told. */
    void removeListener (GFXDisplayListener* listener);

    //==============================================================================
    /** Sets the glyph strip from code; a null image keeps the one there is. Then the glyph
        height and the code of the first glyph, and the metrics follow. */
    void setFont (const juce::Image& strip, int glyphHeight, int firstCharacterCode);

    /** The glyph strip, or a null image. */
    const juce::Image& getFontImage() const noexcept    { return fontImage; }

    /** The width of a glyph (the strip's width; 8 without a strip). */
    int getGlyphWidth() const noexcept                  { return glyphWidth; }

    /** The height of a glyph. */
    int getFontHeight() const noexcept                  { return fontHeight; }

    /** The character codes that have glyphs: first..last. */
    int getFirstCode() const noexcept                   { return firstCode; }
    int getLastCode() const noexcept                    { return lastCode; }

    /** The number of glyphs in each block of the strip. */
    int getGlyphCount() const noexcept                  { return glyphCount; }

    /** How many characters fit across the field. */
    int getNumColumns() const noexcept;

    /** The glyph that stands for a character: its own when the strip holds it, otherwise the
        blank glyph (the space's, or the first): never outside 0..glyphCount-1 when there are glyphs. */
    int getGlyphIndex (juce::juce_wchar character) const noexcept;

    //==============================================================================
    /** The index of the character before which the caret stands. */
    int getCaretPosition() const noexcept               { return caretPosition; }

    /** The index of the character shown in the first column. */
    int getScrollOffset() const noexcept                { return scrollOffset; }

    /** True while the user edits the field (it is then a desktop window). */
    bool isEditing() const noexcept                     { return editing; }

    //==============================================================================
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    bool keyPressed (const juce::KeyPress& key) override;
    /** @internal */
    void focusGained (FocusChangeType cause) override;
    /** @internal */
    void focusLost (FocusChangeType cause) override;
    /** @internal */
    void colourChanged() override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void timerCallback() override;

protected:
    /** Blanks the shown text in the "on" phase of a blink. */
    void blinkStateChanged() override;

private:
    void beginEditing();
    void endEditing();
    void insertAtCaret (juce::juce_wchar character);
    void keepCaretVisible();
    void restartCaretBlink();
    void updateGlyphMetrics();
    void updateOpacity();
    void loadGfxFromXml (const juce::XmlElement& gfx);

    juce::Image fontImage;
    int glyphWidth = 8;
    int fontHeight = 0;
    int firstCode = 32;
    int lastCode = 160;
    int glyphCount = 0;

    bool caretPhase = false;
    int caretPosition = 0;
    int scrollOffset = 0;

    juce::String text, shownText, savedText;

    bool editing = false;
    juce::Component::SafePointer<juce::Component> savedParent;
    juce::Rectangle<int> savedBounds;
    int savedIndexInParent = -1;

    ListenerArray<GFXDisplayListener> displayListeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (GFXDisplay)
};
