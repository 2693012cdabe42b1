#include "gui/controls/MusicKeyboard.h"

#include "framework/EmbeddedResources.h"
#include "framework/NoteNames.h"
#include "gui/controls/SkinXml.h"
#include "gui/widgets/DefaultLookAndFeel.h"

namespace MusicKeyboardDetail
{
/** To the nearest integer, halves away from zero. */
int roundAway (double v)
{
    return (int) (v >= 0.0 ? v + 0.5 : v - 0.5);
}

bool isBlack (int note)
{
    return ! isWhiteKey (note);
}
} // namespace MusicKeyboardDetail

MusicKeyboard::Key::Key (MusicKeyboard& owner, int noteNumber)
    : juce::Component (juce::String::formatted ("Key No. %d", noteNumber)),
      keyboard (owner),
      note (noteNumber)
{
    setInterceptsMouseClicks (false, false);
}

void MusicKeyboard::Key::setPressed (bool shouldBePressed)
{
    if (pressed == shouldBePressed)
        return;

    pressed = shouldBePressed;
    repaint();
    keyboard.repaintNeighbours (note);
}

void MusicKeyboard::Key::setNeighbours (int left, int right)
{
    // The frame index holds one bit per neighbour: keep the shift within an int.
    leftNeighbours = juce::jlimit (0, maxNeighbours, left);
    rightNeighbours = juce::jlimit (0, maxNeighbours, right);
}

void MusicKeyboard::Key::setImage (const juce::Image& newImage, int numFrames)
{
    image = newImage;
    framesNum = juce::jmax (0, numFrames);
    pressedFrameOffset = framesNum / 2;
    repaint();
}

void MusicKeyboard::Key::setFrameSize (int width, int height)
{
    frameWidth = juce::jmax (0, width);
    frameHeight = juce::jmax (0, height);
    setSize (frameWidth, frameHeight);
}

bool MusicKeyboard::Key::showsNote (int otherNote) const
{
    return hasImage() && otherNote >= note - leftNeighbours && otherNote <= note + rightNeighbours;
}

int MusicKeyboard::Key::getFrameIndex() const
{
    const auto isDown = [this] (int n) { return n >= 0 && n < 128 && keyboard.getKey (n)->isPressed(); };
    int bits = 0;

    for (int n = note + rightNeighbours; n > note; --n)
        bits = (bits << 1) | (isDown (n) ? 1 : 0);

    for (int n = note - 1; n >= note - leftNeighbours; --n)
        bits = (bits << 1) | (isDown (n) ? 1 : 0);

    return bits + (pressed ? pressedFrameOffset : 0);
}

void MusicKeyboard::Key::paint (juce::Graphics& g)
{
    if (hasImage())
    {
        const juce::Rectangle<int> source (0, getFrameIndex() * frameHeight, frameWidth, frameHeight);

        // A strip shorter than its frames shows nothing for the missing ones.
        if (! source.isEmpty() && image.getBounds().contains (source))
            g.drawImageAt (image.getClippedImage (source), 0, 0);

        return;
    }

    const auto outline = keyboard.getKeyboardColour (backgroundColourId);

    if (MusicKeyboardDetail::isBlack (note))
    {
        g.setColour (keyboard.getKeyboardColour (pressed ? blackKeyDownColourId : blackKeyColourId));
        DefaultLookAndFeel::fillRoundedRectangle (g, getLocalBounds(), 1.5f);
        g.setColour (outline);
        DefaultLookAndFeel::drawRoundedOutline (g, getLocalBounds(), 1.5f, 1.0f);
    }
    else
    {
        g.setColour (keyboard.getKeyboardColour (pressed ? whiteKeyDownColourId : whiteKeyColourId));
        g.fillRect (getLocalBounds());
        g.setColour (outline);
        g.drawRect (getLocalBounds(), 1);
    }
}

//==============================================================================
MusicKeyboard::MusicKeyboard (const juce::String& name)
    : juce::Component (name)
{
    for (int note = 0; note < 128; ++note)
        keys.add (std::make_unique<Key> (*this, note));

    // White keys first, so that every black key lies in front of them.
    for (auto black : { false, true })
        for (auto* key : keys)
            if (MusicKeyboardDetail::isBlack (key->getNote()) == black)
                addChildComponent (key);

    layoutKeyboardKeys();
}

MusicKeyboard::~MusicKeyboard() = default;

void MusicKeyboard::addListener (Listener* listener)
{
    keyListeners.add (listener);
}

void MusicKeyboard::removeListener (Listener* listener)
{
    keyListeners.remove (listener);
}

void MusicKeyboard::setKeyRange (int newFirstKey, int newLastKey)
{
    // An empty or upside-down range would divide by zero; notes past 127 have no key.
    if (newFirstKey < 0 || newLastKey > 127 || newFirstKey > newLastKey)
        return;

    if (newFirstKey == firstKey && newLastKey == lastKey)
        return;

    firstKey = newFirstKey;
    lastKey = newLastKey;
    layoutKeyboardKeys();
}

void MusicKeyboard::setMouseEnabled (bool shouldBeEnabled)
{
    if (shouldBeEnabled == mouseEnabled)
        return;

    mouseEnabled = shouldBeEnabled;

    // A key the mouse holds must not stay down once the mouse no longer plays the keys.
    if (heldKey != nullptr)
        releaseKey (*heldKey);

    heldKey = nullptr;
}

MusicKeyboard::Key* MusicKeyboard::getKeyAt (juce::Point<int> position) const
{
    // Hidden keys keep the bounds of an earlier layout: only the keys shown can be hit.
    for (int note = 127; note >= 0; --note)
    {
        auto* key = keys.getUnchecked (note);

        if (key->isVisible() && key->getBounds().contains (position))
            return key;
    }

    return nullptr;
}

juce::Colour MusicKeyboard::getKeyboardColour (int colourId) const
{
    for (auto* c = static_cast<const juce::Component*> (this); c != nullptr; c = c->getParentComponent())
        if (c->isColourSpecified (colourId))
            return c->findColour (colourId);

    auto& lookAndFeel = getLookAndFeel();

    if (lookAndFeel.isColourSpecified (colourId))
        return lookAndFeel.findColour (colourId);

    switch (colourId)
    {
        case whiteKeyColourId:      return juce::Colour (0xffffffff);
        case whiteKeyDownColourId:  return juce::Colour (0xffb2b2b2);
        case blackKeyDownColourId:  return juce::Colour (0xff7f7f7f);
        default:                    return juce::Colour (0xff000000);
    }
}

void MusicKeyboard::layoutKeyboardKeys()
{
    const auto unit = (float) getWidth() / (float) (lastKey - firstKey + 1);
    const auto height = getHeight();
    auto x = 0.0f;

    struct WhiteKeyShape { double width, shift; };
    static const WhiteKeyShape shapes[12] = { { 1.6666, 0.0 }, {}, { 1.6666, 0.3333 }, {}, { 1.6666, 0.6666 },
                                              { 1.75, 0.0 }, {}, { 1.75, 0.25 }, {}, { 1.9, 0.51 }, {}, { 1.75, 0.75 } };

    for (int note = firstKey; note <= lastKey; ++note)
    {
        auto* key = keys.getUnchecked (note);

        if (! key->hasImage())
        {
            if (MusicKeyboardDetail::isBlack (note))
            {
                key->setBounds (MusicKeyboardDetail::roundAway (x), -2, (int) unit + 1, 2 + (int) (0.642 * height));
            }
            else
            {
                const auto& shape = shapes[note % 12];
                key->setBounds (MusicKeyboardDetail::roundAway (x - shape.shift * unit), -2,
                                MusicKeyboardDetail::roundAway (shape.width * unit) + 1, height + 2);
            }
        }

        x += unit;
    }

    for (auto* key : keys)
        key->setVisible (key->getNote() >= firstKey && key->getNote() <= lastKey);
}

void MusicKeyboard::pressKey (Key& key)
{
    key.setPressed (true);
    heldKey = &key;
    const auto note = key.getNote();
    keyListeners.call ([note] (Listener& l) { l.keyboardKeyPressed (note); });
}

void MusicKeyboard::releaseKey (Key& key)
{
    if (! key.pressed)
        return;

    key.setPressed (false);
    const auto note = key.getNote();
    keyListeners.call ([note] (Listener& l) { l.keyboardKeyReleased (note); });
}

void MusicKeyboard::repaintNeighbours (int note)
{
    for (auto* key : keys)
        if (key->showsNote (note))
            key->repaint();
}

//==============================================================================
void MusicKeyboard::loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                 EventsMap& events, juce::Component* owner)
{
    GUIController::loadFromXml (element, parameters, events, owner);

    if (element.getTagName() != "MusicKeyboard")
    {
        setSize (0, 0);
        repaint();
        return;
    }

    int width = 0, height = 0;

    if (auto* size = element.getChildByName ("size"))
    {
        width = juce::jmax (0, SkinXml::getInt (*size, "width"));
        height = juce::jmax (0, SkinXml::getInt (*size, "height"));
    }

    if (auto* pos = element.getChildByName ("pos"))
        setTopLeftPosition (SkinXml::getInt (*pos, "left"), SkinXml::getInt (*pos, "top"));

    setMouseEnabled (element.getBoolAttribute ("mouseEnabled", true));

    if (element.hasAttribute ("firstKey") && element.hasAttribute ("lastKey"))
        setKeyRange (SkinXml::getInt (element, "firstKey"), SkinXml::getInt (element, "lastKey"));

    if (auto* keysElement = element.getChildByName ("Keys"))
    {
        auto note = firstKey;

        for (auto* keyElement : keysElement->getChildWithTagNameIterator ("Key"))
        {
            if (note > 127)
                break;

            auto* key = keys.getUnchecked (note++);
            key->setNeighbours (SkinXml::getInt (*keyElement, "left"), SkinXml::getInt (*keyElement, "right"));

            if (auto* gfx = keyElement->getChildByName ("gfx"))
            {
                juce::Image image;

                if (loadImageResource (gfx->getStringAttribute ("resource"), image) && image.isValid())
                    key->setImage (image, SkinXml::getInt (*gfx, "framesNum"));
            }

            if (auto* size = keyElement->getChildByName ("size"))
                key->setFrameSize (SkinXml::getInt (*size, "width"), SkinXml::getInt (*size, "height"));

            if (auto* pos = keyElement->getChildByName ("pos"))
                key->setTopLeftPosition (SkinXml::getInt (*pos, "left") - getX(), SkinXml::getInt (*pos, "top") - getY());
        }
    }

    setSize (width, height);
    repaint();
}

void MusicKeyboard::paint (juce::Graphics& g)
{
    g.fillAll (getKeyboardColour (backgroundColourId));
}

void MusicKeyboard::resized()
{
    layoutKeyboardKeys();
}

void MusicKeyboard::mouseDown (const juce::MouseEvent& e)
{
    if (! mouseEnabled)
        return;

    if (auto* key = getKeyAt (e.getPosition()))
        if (! key->isPressed())
            pressKey (*key);
}

void MusicKeyboard::mouseDrag (const juce::MouseEvent& e)
{
    if (! mouseEnabled)
        return;

    auto* key = getKeyAt (e.getPosition());
    auto* previous = heldKey;

    if (heldKey != nullptr && heldKey != key)
    {
        releaseKey (*heldKey);
        heldKey = nullptr;
    }

    if (key != nullptr && key != previous && ! key->isPressed())
        pressKey (*key);
}

void MusicKeyboard::mouseUp (const juce::MouseEvent&)
{
    if (! mouseEnabled)
        return;

    // The key the mouse holds comes up wherever the button is released: releasing over
    // another key without a drag in between must not leave a note hanging.
    if (heldKey != nullptr)
        releaseKey (*heldKey);

    heldKey = nullptr;
}
