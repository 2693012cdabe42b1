#include "gui/controls/GFXDisplay.h"

#include "framework/EmbeddedResources.h"
#include "gui/controls/SkinXml.h"

namespace GFXDisplayDetail
{
// The timer runs only while the user edits (the caret's blink): an idle display costs nothing.
constexpr int editingPeriodMs = 500;

// A key's character is inserted only when it prints: a ctrl+letter can come with a control
// character as its text.
bool isPrintable (juce::juce_wchar character) noexcept
{
    const auto code = (juce::uint32) character;
    return code >= 0x20 && code != 0x7f && ! (code >= 0x80 && code < 0xa0);
}
} // namespace GFXDisplayDetail

GFXDisplay::GFXDisplay (const juce::String& name)
    : juce::Component (name)
{
    updateOpacity();
    setWantsKeyboardFocus (true);
}

// Being edited, the field is a desktop window: juce::Component takes it off the desktop.
GFXDisplay::~GFXDisplay() = default;

//==============================================================================
void GFXDisplay::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                              EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);

    setText (element.getStringAttribute ("name"));
    setColour (caretColourId, SkinXml::parseColour (element.getStringAttribute ("caretColour", "0")));
    setColour (backgroundColourId, SkinXml::parseColour (element.getStringAttribute ("backgroundColour", "0")));
    setEnabled (element.getStringAttribute ("readonly", "no") != "yes");

    // Every child counts, in document order, not only the first of each tag.
    for (auto* child : element.getChildIterator())
    {
        const auto& tag = child->getTagName();

        if (tag == "gfx")
            loadGfxFromXml (*child);
        else if (tag == "pos")
            setTopLeftPosition (SkinXml::getInt (*child, "left"), SkinXml::getInt (*child, "top"));
        else if (tag == "size")
            setSize (juce::jmax (0, SkinXml::getInt (*child, "width")), juce::jmax (0, SkinXml::getInt (*child, "height")));
    }

    updateGlyphMetrics();
    repaint();
}

void GFXDisplay::loadGfxFromXml (const juce::XmlElement& gfx)
{
    juce::Image loaded;

    if (loadImageResource (gfx.getStringAttribute ("resource"), loaded) && loaded.isValid())
    {
        fontImage = loaded;
        updateGlyphMetrics();
    }

    fontHeight = SkinXml::getInt (gfx, "fontHeight", 0);
    firstCode = (int) gfx.getStringAttribute ("firstASCII", " ")[0];
}

void GFXDisplay::updateFromParameter (Parameter* parameter)
{
    setText (parameter->getText());
}

//==============================================================================
void GFXDisplay::setText (const juce::String& newText)
{
    text = newText;
    shownText = newText;
    repaint();
}

void GFXDisplay::addListener (GFXDisplayListener* listener)
{
    displayListeners.add (listener);
}

void GFXDisplay::removeListener (GFXDisplayListener* listener)
{
    displayListeners.remove (listener);
}

void GFXDisplay::blinkStateChanged()
{
    shownText = isInBlinkOnPhase() ? juce::String() : text;
    repaint();
}

//==============================================================================
void GFXDisplay::setFont (const juce::Image& strip, int glyphHeight, int firstCharacterCode)
{
    if (strip.isValid())
        fontImage = strip;

    fontHeight = glyphHeight;
    firstCode = firstCharacterCode;
    updateGlyphMetrics();
}

void GFXDisplay::updateGlyphMetrics()
{
    if (! fontImage.isValid())
        return;

    glyphWidth = fontImage.getWidth();
    lastCode = fontHeight < 1 ? firstCode
                              : (int) (fontImage.getHeight() / (2 * (juce::int64) fontHeight)) + firstCode - 1;
    glyphCount = lastCode - firstCode + 1;
    repaint();
}

int GFXDisplay::getNumColumns() const noexcept
{
    return glyphWidth > 0 ? getWidth() / glyphWidth : 0;
}

int GFXDisplay::getGlyphIndex (juce::juce_wchar character) const noexcept
{
    const auto code = (juce::int64) character;

    if (code >= firstCode && code <= lastCode)
        return (int) (code - firstCode);

    // A character the strip has no glyph for shows as a blank, never as some other glyph.
    if (firstCode <= ' ' && ' ' <= lastCode)
        return ' ' - firstCode;

    return 0;
}

//==============================================================================
void GFXDisplay::paint (juce::Graphics& g)
{
    g.fillAll (findColour (backgroundColourId));

    if (! fontImage.isValid())
    {
        g.setColour (juce::Colour (0xff000000));
        g.drawText (shownText, getLocalBounds(), juce::Justification::centredLeft, true);
        return;
    }

    // A strip too short for one glyph of each block has nothing to draw.
    if (glyphWidth < 1 || fontHeight < 1 || glyphCount < 1)
        return;

    const auto columns = getNumColumns();
    const auto left = (getWidth() - columns * glyphWidth) / 2;
    const auto top = (getHeight() - fontHeight) / 2;
    const auto caretIndex = (hasKeyboardFocus (false) && caretPhase) ? caretPosition : -1;
    const auto characters = shownText.toUTF32();
    const auto length = (int) characters.length();

    for (int i = 0; i < columns; ++i)
    {
        const auto index = scrollOffset + i;
        const auto character = juce::isPositiveAndBelow (index, length) ? characters[index] : (juce::juce_wchar) ' ';
        auto sourceRow = getGlyphIndex (character) * fontHeight;

        if (index == caretIndex)
            sourceRow += glyphCount * fontHeight;

        g.drawImage (fontImage, left + i * glyphWidth, top, glyphWidth, fontHeight,
                     0, sourceRow, glyphWidth, fontHeight);
    }
}

void GFXDisplay::colourChanged()
{
    updateOpacity();
}

void GFXDisplay::lookAndFeelChanged()
{
    updateOpacity();
}

void GFXDisplay::updateOpacity()
{
    // An opaque field that fills itself with a see-through colour would leave stale pixels.
    setOpaque (findColour (backgroundColourId).isOpaque());
}

//==============================================================================
bool GFXDisplay::keyPressed (const juce::KeyPress& key)
{
    const auto code = key.getKeyCode();
    const auto named = [&] (int keyCode) { return code == keyCode && ! key.getModifiers().isAnyModifierKeyDown(); };

    if (named (juce::KeyPress::returnKey))
    {
        focusLost (focusChangedDirectly);
        return true;
    }

    if (named (juce::KeyPress::escapeKey))
    {
        setText (savedText);
        focusLost (focusChangedDirectly);
        return true;
    }

    auto edited = shownText;
    caretPosition = juce::jlimit (0, edited.length(), caretPosition);

    if (named (juce::KeyPress::backspaceKey))
    {
        if (caretPosition > 0)
        {
            edited = edited.substring (0, caretPosition - 1) + edited.substring (caretPosition);
            --caretPosition;
        }
    }
    else if (named (juce::KeyPress::deleteKey))
    {
        edited = edited.substring (0, caretPosition) + edited.substring (caretPosition + 1);
    }
    else if (named (juce::KeyPress::homeKey))   caretPosition = 0;
    else if (named (juce::KeyPress::endKey))    caretPosition = edited.length();
    else if (named (juce::KeyPress::leftKey))   --caretPosition;
    else if (named (juce::KeyPress::rightKey))  ++caretPosition;
    else if (code >= firstCode && code <= lastCode && GFXDisplayDetail::isPrintable (key.getTextCharacter()))
    {
        edited = edited.substring (0, caretPosition) + juce::String::charToString (key.getTextCharacter())
                 + edited.substring (caretPosition);
        ++caretPosition;
    }

    if (edited != shownText)
        setText (edited);

    caretPosition = juce::jlimit (0, shownText.length(), caretPosition);
    keepCaretVisible();
    startTimer (GFXDisplayDetail::editingPeriodMs);
    caretPhase = true;
    repaint();
    return true;
}

void GFXDisplay::keepCaretVisible()
{
    // One character of context stays visible on the left and, when more text follows, on the right.
    const auto columns = getNumColumns();

    if (caretPosition + 1 > scrollOffset + columns - 1)
        scrollOffset = caretPosition - columns + 1 + (caretPosition < shownText.length() ? 1 : 0);

    if (scrollOffset >= caretPosition)
        scrollOffset = caretPosition - 1;

    scrollOffset = juce::jmax (0, scrollOffset);
}

void GFXDisplay::timerCallback()
{
    if (hasKeyboardFocus (true))
    {
        caretPhase = ! caretPhase;
        repaint();
    }
}

//==============================================================================
void GFXDisplay::focusGained (FocusChangeType)
{
    if (isOnDesktop())
        repaint();
    else
        beginEditing();
}

void GFXDisplay::focusLost (FocusChangeType)
{
    endEditing();
}

void GFXDisplay::beginEditing()
{
    // Edits start from the shown text, which a blink may have blanked.
    stopBlinking();

    scrollOffset = 0;
    caretPosition = text.length();
    keepCaretVisible();
    startTimer (GFXDisplayDetail::editingPeriodMs);
    savedText = text;

    savedParent = getParentComponent();
    savedBounds = getBounds();
    savedIndexInParent = savedParent != nullptr ? savedParent->getIndexOfChildComponent (this) : -1;

    // Leaving the parent takes the focus away (focusLost comes before the field is on the
    // desktop, and finds no edit to end); the field then takes it back as a window of its own.
    addToDesktop (juce::ComponentPeer::windowIsTemporary);
    editing = true;
    grabKeyboardFocus();
    repaint();
}

void GFXDisplay::endEditing()
{
    if (editing)
    {
        editing = false;
        scrollOffset = 0;
        caretPosition = 0;
        keepCaretVisible();
        stopTimer();

        if (auto* parent = savedParent.getComponent())
        {
            // Back to its own place among its siblings, below windows shown since the edit began.
            parent->addChildComponent (this, savedIndexInParent);   // also takes it off the desktop
            setBounds (savedBounds);
            moveKeyboardFocusToSibling (true);
        }
        else
        {
            // The parent went away during the edit: there is nowhere to go back to.
            removeFromDesktop();
        }

        savedParent = nullptr;

        // With no sibling to take the focus, the field must still let it go, or the next
        // click on it would not begin an edit.
        if (hasKeyboardFocus (false))
            giveAwayKeyboardFocus();
    }

    if (text != savedText)
    {
        // Moving the focus away can end the edit a second time, from inside this one: the
        // listeners hear of the change once.
        savedText = text;
        displayListeners.call ([this] (GFXDisplayListener& l) { l.displayTextEdited (this); });
    }

    repaint();
}
