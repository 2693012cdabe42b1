/*
    The part that the dragged skin controls (knobs, switches, pitch bender, mod wheel) share:
    a juce::Slider that follows its parameter silently, writes every value the user sets,
    and turns a mouse drag into one gesture. Value changes that do not come from a mouse
    drag (the wheel, accessibility) write the value without a gesture, although the Slider
    wraps them in drag notifications too.
*/
#pragma once

#include "gui/controls/BaseGFXController.h"

#include <juce_gui_basics/juce_gui_basics.h>

class GFXSlider : public BaseGFXController,
                  public juce::Slider
{
public:
    /** Creates the slider with name as its component name. */
    explicit GFXSlider (const juce::String& name);

    /** Closes a gesture still open on the linked parameter. */
    ~GFXSlider() override;

    using GUIController::addListener;
    using GUIController::removeListener;
    using juce::Slider::addListener;
    using juce::Slider::removeListener;

    /** Moves the slider to the parameter's normalised value without writing it back or telling anybody. */
    void updateFromParameter (Parameter* parameter) override;

    /** Reads the skin element (links, actions, gfx, size, pos), then takes the skin's place and frame size. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** True between the begin and the end of a gesture made with the mouse. */
    bool isInUserGesture() const noexcept               { return gestureOpen; }

    //==============================================================================
    /** @internal */
    void mouseDown (const juce::MouseEvent& event) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& event) override;
    /** @internal */
    void startedDragging() override;
    /** @internal */
    void stoppedDragging() override;
    /** @internal */
    void valueChanged() override;

protected:
    /** After each mouse drag the slider goes back to 0, and that value is written (outside the gesture). */
    void setReturnsToZero (bool shouldReturn) noexcept  { returnsToZero = shouldReturn; }

    /** The picture without an image: an outline, the library's slider and two texts, the
        parameter's value text at the top and its name at the bottom (unlinkedText and
        nothing when unlinked), in the graphics context's current font. */
    void paintFallback (juce::Graphics& g, const juce::String& unlinkedText);

private:
    bool mouseButtonDown = false, gestureOpen = false, returnsToZero = false;

    JUCE_DECLARE_NON_COPYABLE (GFXSlider)
};
