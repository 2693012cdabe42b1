/*
    A check box that ties a user file to a choice: ticked, the path field beside it is in
    use; unticked, it is disabled. A click on the box or a new path tells the listeners.
*/
#pragma once

#include "gui/widgets/CheckBox.h"
#include "gui/widgets/PathComponent.h"

class DefaultResourceCheckBox : public juce::Component,
                                public CheckBox::Listener,
                                public PathComponent::Listener
{
public:
    /** Told when the box is clicked or the path changes. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The choice or its file has changed. */
        virtual void defaultResourceChanged (DefaultResourceCheckBox* compound) = 0;
    };

    /** An unticked box with an empty, disabled path field. */
    DefaultResourceCheckBox();
    ~DefaultResourceCheckBox() override;

    /** Shows a path without telling anyone: ticked when it is not empty, unticked and the
        field disabled when it is. */
    void setResourcePath (const juce::String& path);

    /** The check box (its text and state) and the path field (its path and dialog arguments). */
    CheckBox& getCheckBox() noexcept                        { return checkBox; }
    PathComponent& getPathComponent() noexcept              { return pathField; }

    /** Adds a listener (not owned; null or one already there is ignored). */
    void addListener (Listener* listener)                   { listeners.add (listener); }
    /** Removes a listener. */
    void removeListener (Listener* listener)                { listeners.remove (listener); }

    //==============================================================================
    /** @internal */
    void checkBoxChanged (CheckBox* box) override;
    /** @internal */
    void pathChanged (PathComponent* field) override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void resized() override;

private:
    ListenerArray<Listener> listeners;
    PathComponent pathField;
    CheckBox checkBox;
    bool layingOut = false;

    void updateEnablement();
    void notifyListeners();

    JUCE_DECLARE_NON_COPYABLE (DefaultResourceCheckBox)
};
