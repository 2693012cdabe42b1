/*
    The editor the host gets: a thin frame around the plug-in's one editor component,
    which lives as long as the plug-in. Closing the host's window deletes the frame and
    only hides the component, so it keeps its state until the window opens again.
*/
#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

class AudioProcessorEditorWrapper final : public juce::AudioProcessorEditor
{
public:
    /** Shows component as the only child and takes its size. */
    AudioProcessorEditorWrapper (juce::AudioProcessor& processor, juce::Component& component);

    /** Hides the component and gives it back; it is not deleted. */
    ~AudioProcessorEditorWrapper() override;

    void childBoundsChanged (juce::Component* child) override;

private:
    juce::Component& content;

    JUCE_DECLARE_NON_COPYABLE (AudioProcessorEditorWrapper)
};
