/*
    A note number or a small pattern number shown in four bitmap digit cells: a note as
    "P.", letter, sharp sign and octave; a two-digit number; or a bank and a slot. The cells
    exist only when the skin gives their images ("gfx"); without images they draw the same
    texts in grey boxes.
*/
#pragma once

#include "gui/controls/GFXAnimation.h"
#include "gui/controls/GUIController.h"

class PatternNumberDisplay : public GUIController,
                             public juce::Component
{
public:
    /** What the four cells show. */
    enum Mode
    {
        notePattern = 0,        ///< "P.", note letter, "#" or "-", octave
        numericPattern = 1,     ///< blank, tens, units, blank
        bankAndSlotPattern = 2  ///< bank from 1, "-", two-digit slot from 1
    };

    //==============================================================================
    /** One digit cell: a filmstrip animation whose frame the display chooses. */
    class PatternNumberDisplayDigit : public GFXAnimation
    {
    public:
        /** The number of frames of this cell's strip. */
        virtual int getNumFrames() const = 0;

        /** What a frame reads as, drawn when the cell has no image; empty for a blank frame. */
        virtual juce::String getFrameText (int frame) const = 0;

        /** Draws the frame, or without an image its text in a grey box. */
        void paint (juce::Graphics& g) override;
    };

    /** 0 blank, 1..10 the digits 0..9, 11 "P.". */
    class PatternNumberDisplayFirstDigit : public PatternNumberDisplayDigit
    {
    public:
        int getNumFrames() const override                   { return 12; }
        juce::String getFrameText (int frame) const override;
    };

    /** 0 blank, 1..10 the digits, 11..17 the letters C D E F G A B, 18 "-". */
    class PatternNumberDisplaySecondDigit : public PatternNumberDisplayDigit
    {
    public:
        int getNumFrames() const override                   { return 19; }
        juce::String getFrameText (int frame) const override;
    };

    /** 0 blank, 1..10 the digits, 11 "#", 12 "-". */
    class PatternNumberDisplayThirdDigit : public PatternNumberDisplayDigit
    {
    public:
        int getNumFrames() const override                   { return 13; }
        juce::String getFrameText (int frame) const override;
    };

    /** 0 blank, n >= 1 the number n - 1. */
    class PatternNumberDisplayFourthDigit : public PatternNumberDisplayDigit
    {
    public:
        int getNumFrames() const override                   { return 11; }
        juce::String getFrameText (int frame) const override;
    };

    //==============================================================================
    /** A display with no cells yet, in the note mode. */
    explicit PatternNumberDisplay (const juce::String& name = {});
    ~PatternNumberDisplay() override;

    /** Shows a value, clamped to the current mode's range. */
    void setValue (int newValue);

    /** The value shown. */
    int getValue() const noexcept                           { return value; }

    /** Chooses what the cells show; the value is clamped to the new mode's range. */
    void setMode (int newMode);

    /** The current mode. */
    int getMode() const noexcept                            { return mode; }

    /** The slots per bank of the bank-and-slot mode (4 to 16). */
    int getSlotsPerBank() const noexcept                    { return slotsPerBank; }

    /** The cells, left to right (none without "gfx"). */
    int getNumDigits() const noexcept                       { return digits.size(); }
    PatternNumberDisplayDigit* getDigit (int index) const   { return digits[index]; }

    /** The frame each cell shows, left to right. */
    juce::Array<int> getDigitFrames() const;

    //==============================================================================
    /** Shows the parameter's integer value. */
    void updateFromParameter (Parameter* parameter) override;

    /** Reads links and actions, then the ranges, the slots per bank, position, size and cells. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** @internal */
    void enablementChanged() override;

private:
    juce::Range<int> getModeRange() const;
    int clampToMode (int v) const;
    void updateDigits();

    juce::OwnedArray<PatternNumberDisplayDigit> digits;
    int value = 0;
    int mode = notePattern;
    int noteMin = 0, noteMax = 127;
    int numericMin = 1, numericMax = 16;
    int bankAndSlotMin = 1, bankAndSlotMax = 96;
    int slotsPerBank = 12;

    JUCE_DECLARE_NON_COPYABLE (PatternNumberDisplay)
};
