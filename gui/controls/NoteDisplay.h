/*
    A MIDI note number 0..127 shown in three bitmap strips side by side: the note letter, the
    sharp sign (or a dash) and the octave. Dragging up raises the note a semitone every
    20 pixels, dragging down lowers it.
*/
#pragma once

#include "gui/controls/GUIController.h"

class NoteDisplay : public GUIController,
                    public juce::Component
{
public:
    /** The three strips, left to right. */
    enum Strip
    {
        notesStrip, tonesStrip, octavesStrip,
        numStrips
    };

    /** A display of note 0 with 10 x 16 cells and no images. */
    explicit NoteDisplay (const juce::String& name = {});

    /** The note shown. */
    int getValue() const noexcept                           { return value; }

    /** Where a strip's cell lies in the control. */
    juce::Rectangle<int> getStripBounds (Strip strip) const { return cells[strip]; }

    /** The frame a strip shows for the current note and state (0 when it shows nothing). */
    int getStripFrame (Strip strip) const;

    //==============================================================================
    /** Shows the parameter's integer value, clamped to 0..127. */
    void updateFromParameter (Parameter* parameter) override;

    /** Reads links and actions, then the cell size, the strips' images and the position. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void mouseDown (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& e) override;

protected:
    void blinkStateChanged() override;

private:
    bool isStripShown() const;

    juce::Image images[numStrips];
    juce::Rectangle<int> cells[numStrips];
    int value = 0;

    double valueAtMouseDown = 0.0;
    double dragScale = 1.0;
    int pixelsPerStep = 20;
    bool dragging = false;

    JUCE_DECLARE_NON_COPYABLE (NoteDisplay)
};
