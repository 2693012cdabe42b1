/*
    An on-screen piano keyboard of the 128 MIDI notes, showing a range of them. Keys without
    images are laid out in proportion to the keyboard's width; keys with images (from the
    skin) keep the place the skin gives them and pick their frame from their own and their
    neighbours' pressed states. Key presses and releases made with the mouse go to the key
    listeners; the linked parameter is not followed.
*/
#pragma once

#include "gui/controls/GUIController.h"

class MusicKeyboard : public GUIController,
                      public juce::Component
{
public:
    /** The look-and-feel colours of the keyboard. */
    enum ColourIds
    {
        backgroundColourId    = 0x0f002100,   ///< behind the keys, and the keys' outlines
        whiteKeyColourId      = 0x0f002101,
        blackKeyColourId      = 0x0f002102,
        whiteKeyDownColourId  = 0x0f002103,
        blackKeyDownColourId  = 0x0f002104
    };

    /** The most neighbours on either side whose states a key image shows. */
    static constexpr int maxNeighbours = 8;

    //==============================================================================
    /** Told of the keys the mouse presses and releases. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** A key went down. */
        virtual void keyboardKeyPressed (int note) = 0;

        /** A key came up. */
        virtual void keyboardKeyReleased (int note) = 0;
    };

    //==============================================================================
    /** One key. It takes no mouse clicks: the keyboard handles them. */
    class Key : public juce::Component
    {
    public:
        /** The key of a note on a keyboard, released, without an image. */
        Key (MusicKeyboard& owner, int note);

        /** The key's note. */
        int getNote() const noexcept                    { return note; }

        /** True while the key is down. */
        bool isPressed() const noexcept                 { return pressed; }

        /** Shows the key down or up (repainting it and the image keys that show it) without
            telling the key listeners: for notes played from elsewhere than the mouse. */
        void setPressed (bool shouldBePressed);

        /** True when the key draws a frame of its image. */
        bool hasImage() const noexcept                  { return image.isValid(); }

        /** How many neighbours below and above the key its image shows. */
        int getLeftNeighbours() const noexcept          { return leftNeighbours; }
        int getRightNeighbours() const noexcept         { return rightNeighbours; }

        /** Sets how many neighbours below and above the image shows (each 0 to maxNeighbours). */
        void setNeighbours (int left, int right);

        /** Sets the key's strip: frame count (the second half are the pressed frames) and frame size. */
        void setImage (const juce::Image& newImage, int numFrames);

        /** Sets the frame size, which is also the key's size. */
        void setFrameSize (int width, int height);

        /** The frame the key's image shows now. */
        int getFrameIndex() const;

        /** True when the key's image shows the pressed state of that note. */
        bool showsNote (int otherNote) const;

        /** @internal */
        void paint (juce::Graphics& g) override;

    private:
        friend class MusicKeyboard;

        MusicKeyboard& keyboard;
        const int note;
        bool pressed = false;
        juce::Image image;
        int framesNum = 0;
        int frameWidth = 0, frameHeight = 0;
        int leftNeighbours = 0, rightNeighbours = 0;
        int pressedFrameOffset = 0;

        JUCE_DECLARE_NON_COPYABLE (Key)
    };

    //==============================================================================
    /** A keyboard showing all 128 notes, the mouse enabled. */
    explicit MusicKeyboard (const juce::String& name = {});
    ~MusicKeyboard() override;

    using GUIController::addListener;

    /** Adds a key listener; null or one already there is ignored. */
    void addListener (Listener* listener);

    /** Removes a key listener. */
    void removeListener (Listener* listener);

    /** Shows the notes first to last and lays the keys out again. A range outside 0..127 or
        upside down is refused: the old range stays. */
    void setKeyRange (int firstKey, int lastKey);

    /** The lowest and the highest note shown. */
    int getFirstKey() const noexcept                    { return firstKey; }
    int getLastKey() const noexcept                     { return lastKey; }

    /** Lets the mouse play the keys or not; a key held by the mouse is released first. */
    void setMouseEnabled (bool shouldBeEnabled);

    /** True when the mouse plays the keys. */
    bool isMouseEnabled() const noexcept                { return mouseEnabled; }

    /** The key of a note, or null outside 0..127. */
    Key* getKey (int note) const                        { return keys[note]; }

    /** The shown key under a point, the highest note first; null when there is none. */
    Key* getKeyAt (juce::Point<int> position) const;

    /** The colour of a keyboard colour id: set on the keyboard or a parent, else by the
        look-and-feel, else the toolkit's default. */
    juce::Colour getKeyboardColour (int colourId) const;

    //==============================================================================
    /** Reads links and actions, then size, position, mouse setting, range and key images. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void mouseDown (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& e) override;

private:
    void layoutKeyboardKeys();
    void pressKey (Key& key);
    void releaseKey (Key& key);
    void repaintNeighbours (int note);

    ListenerArray<Listener> keyListeners;
    juce::OwnedArray<Key> keys;
    Key* heldKey = nullptr;
    int firstKey = 0, lastKey = 127;
    bool mouseEnabled = true;

    JUCE_DECLARE_NON_COPYABLE (MusicKeyboard)
};
