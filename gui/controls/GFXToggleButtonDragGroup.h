/*
    Drag groups of toggle buttons: pressing one button of a named group and dragging
    sideways sets every member whose left or right edge the drag has crossed to the state
    the pressed button last took, as if each had been clicked. One instance serves the whole
    library; a drag only reaches the members under the same top-level component as the
    dragged button, so two plug-in instances with groups of the same name stay apart.
    Members are not owned: a toggle button leaves its group when it is destroyed.

    Message thread only, except creating the instance, which is safe from any thread.
*/
#pragma once

#include <juce_events/juce_events.h>

#include <map>

class GFXToggleButton;

class GFXToggleButtonDragGroup : public juce::DeletedAtShutdown
{
public:
    /** Forgets the groups; a later getInstance makes a new instance. */
    ~GFXToggleButtonDragGroup() override;

    /** Adds a button to the named group, which is made when missing; a member is not added twice. */
    void addToDragGroup (const juce::String& groupName, GFXToggleButton* button);

    /** Takes a button out of every group; a group left empty is forgotten. */
    void removeFromDragGroups (GFXToggleButton* button);

    /** True when the button is a member of the named group. */
    bool isInDragGroup (const juce::String& groupName, GFXToggleButton* button) const;

    /** A member was pressed at this screen position: the start of a drag. */
    void dragGroupMouseDown (const juce::String& groupName, int screenX, int screenY);

    /** A member was switched by a click: the state a drag gives the others. */
    void dragGroupStateChanged (const juce::String& groupName, bool newState);

    /** The pressed member was dragged to this screen position: every member under the dragged
        button's top-level component with an edge between the press and x is given the group's
        state, with notification. Only x counts. */
    void dragGroupMouseDrag (const juce::String& groupName, GFXToggleButton& draggedButton, int screenX, int screenY);

    /** getInstance makes the instance on first use under a lock that exists from load time (null
        only for a call made while the instance is being made); getInstanceWithoutCreating never
        makes one. The library's shutdown deletes it. */
    JUCE_DECLARE_SINGLETON (GFXToggleButtonDragGroup, false)

private:
    GFXToggleButtonDragGroup() = default;

    struct Group
    {
        juce::Array<GFXToggleButton*> members;
        juce::Point<int> mouseDownPosition;
        bool state = false;
    };

    Group* findGroup (const juce::String& groupName);

    std::map<juce::String, Group> groups;

    JUCE_DECLARE_NON_COPYABLE (GFXToggleButtonDragGroup)
};
