/*
    A radio group whose last option is "a file of the user's": a path field on the last
    option's row, usable only while that option is selected. A new path tells the group's
    listeners as a new selection would.
*/
#pragma once

#include "gui/widgets/PathComponent.h"
#include "gui/widgets/RadioButtons.h"

class DefaultResourcesRadioButtons : public RadioButtons,
                                     public PathComponent::Listener
{
public:
    /** A group with a title and its options; the path field belongs to the last one. */
    DefaultResourcesRadioButtons (const juce::String& title, const juce::StringArray& options);
    ~DefaultResourcesRadioButtons() override;

    /** The path field, for its path, its dialog arguments and its listeners. */
    PathComponent& getPathComponent() noexcept              { return pathField; }

    //==============================================================================
    /** Enables the path field exactly while the last option is selected. */
    void selectionChanged() override;
    /** Makes the group high enough for the path field on the last row. */
    void updateSize() override;
    /** @internal */
    void pathChanged (PathComponent* field) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;

private:
    PathComponent pathField;

    JUCE_DECLARE_NON_COPYABLE (DefaultResourcesRadioButtons)
};
