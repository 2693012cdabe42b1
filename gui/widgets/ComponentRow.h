/*
    A container that sizes itself to its children and lines them up, in child order, side
    by side or stacked, with a gap between neighbours and an alignment across the row. It
    lays itself out again whenever a child is added, removed, moved or resized, and owns
    nothing beyond what juce::Component does.
*/
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class ComponentRow : public juce::Component
{
public:
    /** Alignments across the row (any other value is the start: top or left). */
    enum Alignment
    {
        alignStart = 0,
        alignCentre = 1,
        alignEnd = 2      ///< the bottom of a horizontal row, the right edge of a vertical one
    };

    ComponentRow() = default;

    /** Stacks the children from top to bottom (true) or lines them up from left to right. */
    void setVertical (bool shouldBeVertical);
    bool isVertical() const noexcept                { return vertical; }

    /** How the children sit across the row (an Alignment). */
    void setAlignment (int newAlignment);
    int getAlignment() const noexcept               { return alignment; }

    /** The pixels between neighbours. */
    void setGap (int newGap);
    int getGap() const noexcept                     { return gap; }

    /** Sizes the row to its children (updateSize), then places each child, keeping its size. */
    void layoutChildren();

    /** Sets the row's size from its children's sizes and the gap, keeping its position. */
    void updateSize();

    //==============================================================================
    /** @internal */
    void childrenChanged() override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;

private:
    bool vertical = false;
    int alignment = alignStart;
    int gap = 0;
    bool layingOut = false;

    JUCE_DECLARE_NON_COPYABLE (ComponentRow)
};
