#include "gui/widgets/ComponentRow.h"

void ComponentRow::setVertical (bool shouldBeVertical)
{
    if (shouldBeVertical != vertical)
    {
        vertical = shouldBeVertical;
        layoutChildren();
    }
}

void ComponentRow::setAlignment (int newAlignment)
{
    if (newAlignment != alignment)
    {
        alignment = newAlignment;
        layoutChildren();
    }
}

void ComponentRow::setGap (int newGap)
{
    if (newGap != gap)
    {
        gap = newGap;
        layoutChildren();
    }
}

void ComponentRow::updateSize()
{
    const auto n = getNumChildComponents();
    int along = (n - 1) * gap, across = 0;

    for (auto* child : getChildren())
    {
        along += vertical ? child->getHeight() : child->getWidth();
        across = juce::jmax (across, vertical ? child->getWidth() : child->getHeight());
    }

    // An empty row, or a negative gap larger than the children, is 0 long.
    along = juce::jmax (0, along);

    if (vertical)
        setSize (across, along);
    else
        setSize (along, across);
}

void ComponentRow::layoutChildren()
{
    // Placing a child calls childBoundsChanged; the pass in progress already covers it.
    if (layingOut)
        return;

    const juce::ScopedValueSetter<bool> guard (layingOut, true);
    updateSize();

    const auto rowSize = vertical ? getWidth() : getHeight();
    int position = 0;

    for (auto* child : getChildren())
    {
        const auto along = vertical ? child->getHeight() : child->getWidth();
        const auto childSize = vertical ? child->getWidth() : child->getHeight();
        const auto across = alignment == alignCentre ? (rowSize - childSize) / 2
                          : alignment == alignEnd    ? rowSize - childSize
                                                     : 0;

        child->setTopLeftPosition (vertical ? juce::Point<int> (across, position)
                                            : juce::Point<int> (position, across));
        position += along + gap;
    }
}

void ComponentRow::childrenChanged()
{
    layoutChildren();
}

void ComponentRow::childBoundsChanged (juce::Component*)
{
    layoutChildren();
}
