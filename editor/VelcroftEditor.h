/*
    Velcroft's own editor: the product line's editor with the two lights that show which
    channel carries signal.
*/
#pragma once

#include "editor/QuillonEffectEditor.h"

class Velcroft;

class VelcroftEditor : public QuillonEffectEditor
{
public:
    /** The editor of a Velcroft, which must outlive it. */
    explicit VelcroftEditor (Velcroft& plugin);
    ~VelcroftEditor() override;

    /** The meters, then the channel lights from the core's published flags. */
    void refreshDisplay() override;

private:
    Velcroft& plugin;
    GFXAnimation* leftChannelLed = nullptr;
    GFXAnimation* rightChannelLed = nullptr;

    JUCE_DECLARE_NON_COPYABLE (VelcroftEditor)
};
