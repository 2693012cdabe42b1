/*
    A skin control that holds other skin controls (tag "Panel"): its "controls" list is read
    through the skin-control factory, every child moved by the list's offset. It paints the
    first frame of its image behind them, or nothing when the skin makes it transparent, and
    takes no clicks itself: its children do.
*/
#pragma once

#include "gui/controls/BaseGFXController.h"

class GFXPanel : public BaseGFXController,
                 public juce::Component
{
public:
    /** Makes an empty, opaque-looking panel with the given component name. */
    explicit GFXPanel (const juce::String& name = {});

    /** Adds the listener to the panel and to every child control (nested panels pass it on). */
    void addListener (Listener* listener) override;

    /** Reads the skin element: the common part, "transparent" from "gfx", then the children
        listed under "controls" (tags without a control class are skipped), each moved by the
        list's "ofsX" and "ofsY"; finally the panel takes its position and frame size. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** Shows the panel while the parameter is on. */
    virtual void setVisibleFromParameter (Parameter* parameter);

    /** Hides the panel while the parameter is on. */
    virtual void setHiddenFromParameter (Parameter* parameter);

    //==============================================================================
    /** The child controls, in the order the skin lists them. */
    juce::Array<GUIController*> getChildControllers() const;

    /** True when the panel paints nothing of its own. */
    bool isTransparent() const noexcept                 { return transparent; }

    /** Draws frame 0 of the image, or a grey fill without one; nothing when transparent. */
    void paint (juce::Graphics& g) override;

private:
    /** Makes the control for one element of the "controls" list; nothing when its tag has no class. */
    void addChildControlFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                                 EventsMap& events, juce::Component* owner);

    juce::CriticalSection childLock;
    juce::Array<GUIController*> childControllers;       // guarded by childLock
    juce::OwnedArray<juce::Component> childComponents;  // the same controls, owned
    bool transparent = false;

    JUCE_DECLARE_NON_COPYABLE (GFXPanel)
};
