#include "framework/AudioProcessorEditorWrapper.h"

AudioProcessorEditorWrapper::AudioProcessorEditorWrapper (juce::AudioProcessor& processor, juce::Component& component)
    : juce::AudioProcessorEditor (processor), content (component)
{
    content.setTopLeftPosition (0, 0);
    addAndMakeVisible (content);
    setSize (content.getWidth(), content.getHeight());
}

AudioProcessorEditorWrapper::~AudioProcessorEditorWrapper()
{
    content.setVisible (false);
    removeChildComponent (&content);
}

void AudioProcessorEditorWrapper::childBoundsChanged (juce::Component* child)
{
    // The editor grows and shrinks with docked panels: the host window follows.
    if (child == &content)
        setSize (content.getWidth(), content.getHeight());
}
