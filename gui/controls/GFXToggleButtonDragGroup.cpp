#include "gui/controls/GFXToggleButtonDragGroup.h"

#include "gui/controls/GFXToggleButton.h"

JUCE_IMPLEMENT_SINGLETON (GFXToggleButtonDragGroup)

GFXToggleButtonDragGroup::~GFXToggleButtonDragGroup()
{
    // Deleted by the shutdown list as well as by deleteInstance: either way a later user gets a new one.
    clearSingletonInstance();
}

GFXToggleButtonDragGroup::Group* GFXToggleButtonDragGroup::findGroup (const juce::String& groupName)
{
    auto found = groups.find (groupName);
    return found != groups.end() ? &found->second : nullptr;
}

void GFXToggleButtonDragGroup::addToDragGroup (const juce::String& groupName, GFXToggleButton* button)
{
    if (button != nullptr)
        groups[groupName].members.addIfNotAlreadyThere (button);
}

void GFXToggleButtonDragGroup::removeFromDragGroups (GFXToggleButton* button)
{
    for (auto it = groups.begin(); it != groups.end();)
    {
        it->second.members.removeFirstMatchingValue (button);
        it = it->second.members.isEmpty() ? groups.erase (it) : std::next (it);
    }
}

bool GFXToggleButtonDragGroup::isInDragGroup (const juce::String& groupName, GFXToggleButton* button) const
{
    auto found = groups.find (groupName);
    return found != groups.end() && found->second.members.contains (button);
}

void GFXToggleButtonDragGroup::dragGroupMouseDown (const juce::String& groupName, int screenX, int screenY)
{
    if (auto* group = findGroup (groupName))
        group->mouseDownPosition = { screenX, screenY };
}

void GFXToggleButtonDragGroup::dragGroupStateChanged (const juce::String& groupName, bool newState)
{
    if (auto* group = findGroup (groupName))
        group->state = newState;
}

void GFXToggleButtonDragGroup::dragGroupMouseDrag (const juce::String& groupName, GFXToggleButton& draggedButton,
                                                   int screenX, int screenY)
{
    auto* group = findGroup (groupName);

    if (group == nullptr)
        return;

    const auto from = juce::jmin (group->mouseDownPosition.x, screenX);
    const auto to = juce::jmax (group->mouseDownPosition.x, screenX);
    const auto crossed = [from, to] (int x) { return from <= x && x <= to; };
    auto* topLevel = draggedButton.getTopLevelComponent();

    // Chosen before any is switched: a switched button tells its listeners, which may change the
    // groups or delete buttons, and a radio group may change the group's state on the way.
    juce::Array<juce::Component::SafePointer<GFXToggleButton>> reached;

    for (auto* member : group->members)
    {
        const auto left = member->getScreenX();
        const auto right = left + member->getWidth() - 1;

        if (member->getTopLevelComponent() == topLevel && (crossed (left) || crossed (right)))
            reached.add (member);
    }

    const auto state = group->state;

    for (auto& member : reached)
        if (member != nullptr)
            member->setToggleState (state, juce::sendNotification);
}
