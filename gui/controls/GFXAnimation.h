/*
    A skin control that shows one frame of its filmstrip: the frame follows a value between
    0 and 1 (a level meter), or is shown for a while and then falls back to the rest frame
    (an activity light). The editor drives it at every display refresh, so it repaints only
    when the frame it shows changes.
*/
#pragma once

#include "gui/controls/BaseGFXController.h"

class GFXAnimation : public BaseGFXController,
                     public juce::Component,
                     public juce::Timer
{
public:
    /** Makes an animation with the given component name, showing frame 0. */
    explicit GFXAnimation (const juce::String& name = {});

    /** Shows the frame for a value between 0 and 1: the nearest of the frames spread evenly over
        the range. Values outside it show the first or the last frame; NaN shows the first. */
    void setValue (float value);

    /** Shows a frame (repainting only when it changes), then returns to the rest frame once
        holdMilliseconds have passed; a second call restarts the wait. */
    void showFrame (int frame, int holdMilliseconds);

    /** Shows a frame until told otherwise; repaints only when it changes. */
    void setCurrentFrame (int frame);

    /** The frame the animation shows (blinking aside). */
    int getCurrentFrame() const noexcept                { return currentFrame; }

    /** The frame a held frame falls back to (0 unless set). */
    int getRestFrame() const noexcept                   { return restFrame; }

    /** Sets the frame a held frame falls back to; the frame shown now is left alone. */
    void setRestFrame (int frame) noexcept              { restFrame = frame; }

    /** The hold has ended: the rest frame is shown again. Called by the hold timer. */
    void timerCallback() override;

    //==============================================================================
    /** Shows the parameter's normalised value. */
    void updateFromParameter (Parameter* parameter) override;

    /** Reads the skin element as every bitmap control does, then shows frame 0. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** Draws the frame shown, frame 0 in the "on" phase of a blink; without an image, a grey
        box whose black dot grows with the frame. */
    void paint (juce::Graphics& g) override;

protected:
    void frameSizeChanged() override;
    void positionChanged() override;
    void blinkStateChanged() override;

private:
    int currentFrame = 0;
    int restFrame = 0;

    JUCE_DECLARE_NON_COPYABLE (GFXAnimation)
};
