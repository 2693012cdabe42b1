/*
    The editor of every effect of the product line: two VU meters driven by the DSP core's
    published levels, and the Options window and the preset browser docked under the skin
    as panels, one at a time; the editor grows by the open panel's height.
*/
#pragma once

#include "editor/BasePluginEditorOldStyle.h"
#include "framework/QuillonEffect.h"

class QuillonEffectEditor : public BasePluginEditorOldStyle
{
public:
    /** The height of a docked panel. */
    static constexpr int dockedPanelHeight = 256;

    /** Builds the old-style editor and docks its panels, for a plug-in that must outlive it. */
    explicit QuillonEffectEditor (QuillonEffect& plugin);
    ~QuillonEffectEditor() override;

    /** The height of the skin above the panels and the status bar. */
    int getSkinHeight() const noexcept                          { return skinHeight; }

    /** The levels the meters show. */
    float getLeftVuLevel() const noexcept                       { return leftVuLevel; }
    float getRightVuLevel() const noexcept                      { return rightVuLevel; }

    //==============================================================================
    /** "Options" and "Browse presets" open or close their docked panel; other commands go on. */
    void controllerEvent (GUIController* controller, int eventId) override;
    /** The meters follow the core's levels while the plug-in plays and fall back after. */
    void refreshDisplay() override;
    /** @internal */
    void resized() override;

private:
    QuillonEffect& plugin;
    int skinHeight = 0;
    GFXAnimation* leftVuMeter = nullptr;
    GFXAnimation* rightVuMeter = nullptr;
    float leftVuLevel = 0.0f, rightVuLevel = 0.0f;

    void togglePanel (juce::Component& panel, juce::Component& other);

    JUCE_DECLARE_NON_COPYABLE (QuillonEffectEditor)
};
