#include "gui/widgets/PseudoModalComponent.h"

PseudoModalComponent::CoveringWindow::CoveringWindow (PseudoModalComponent& ownerToUse)
    : owner (ownerToUse)
{
}

void PseudoModalComponent::CoveringWindow::fillParent()
{
    if (auto* parent = getParentComponent())
        setBounds (parent->getLocalBounds());
}

void PseudoModalComponent::CoveringWindow::parentHierarchyChanged()    { fillParent(); }
void PseudoModalComponent::CoveringWindow::parentSizeChanged()         { fillParent(); }
void PseudoModalComponent::CoveringWindow::resized()                   { owner.updatePosition(); }

void PseudoModalComponent::CoveringWindow::paint (juce::Graphics& g)
{
    if (owner.isBackgroundDimmed())
        g.fillAll (juce::Colours::black.withAlpha (0.33f));
}

//==============================================================================
PseudoModalComponent::PseudoModalComponent()
    : layer (*this)
{
}

PseudoModalComponent::~PseudoModalComponent()
{
    // The layer is a member: it must not outlive its place in the Desktop component, nor
    // be destroyed with this window still inside it.
    layer.removeChildComponent (this);

    if (auto* parent = layer.getParentComponent())
        parent->removeChildComponent (&layer);
}

bool PseudoModalComponent::isAttached() const
{
    return getParentComponent() == &layer && layer.getParentComponent() != nullptr;
}

bool PseudoModalComponent::isShownInLayer() const
{
    return isAttached() && layer.isVisible();
}

void PseudoModalComponent::show()
{
    showWith (0, {}, nullptr);
}

void PseudoModalComponent::showAt (int mode, juce::Point<int> point, juce::Component* relativeTo)
{
    showWith (mode, point, relativeTo);
}

void PseudoModalComponent::showWith (int mode, juce::Point<int> point, juce::Component* relativeTo)
{
    if (! isAttached())
        attachToDesktop (this);

    if (! isAttached())
    {
        setVisible (true);
        return;
    }

    if (layer.isVisible())
        return;

    // The point is where the window's top left goes in its layer.
    placementMode = mode;
    storedPoint = relativeTo != nullptr ? layer.getLocalPoint (relativeTo, point) : point;
    layer.setVisible (true);
    layer.toFront (true);
    shownStateChanged();
    updatePosition();
}

void PseudoModalComponent::hide()
{
    if (! isAttached())
    {
        setVisible (false);
        return;
    }

    if (! layer.isVisible())
        return;

    layer.setVisible (false);
    layer.toBack();
    shownStateChanged();
}

bool PseudoModalComponent::attachToDesktop (juce::Component* start)
{
    auto* desktop = start;

    while (desktop != nullptr && dynamic_cast<Desktop*> (desktop) == nullptr)
        desktop = desktop->getParentComponent();

    if (desktop == nullptr)
        return false;

    setVisible (true);
    layer.addChildComponent (this);
    desktop->addChildComponent (layer);
    layer.setVisible (false);
    layer.toBack();
    return true;
}

bool PseudoModalComponent::isBackgroundDimmed() const
{
    return false;
}

void PseudoModalComponent::updatePosition()
{
    auto* parent = getParentComponent();

    if (parent == nullptr)
        return;

    if (placementMode == 0)
        setTopLeftPosition (juce::roundToInt (parent->getWidth() * 0.5) - getWidth() / 2,
                            juce::roundToInt (parent->getHeight() * 0.5) - getHeight() / 2);
    else if (placementMode == 1)
        setBounds (storedPoint.x, storedPoint.y, getWidth(), getHeight());
}

void PseudoModalComponent::parentHierarchyChanged()
{
    // Someone has taken the window out of its layer: the empty layer goes too.
    auto* parent = getParentComponent();

    if (parent != nullptr && parent != &layer)
        if (auto* layerParent = layer.getParentComponent())
            layerParent->removeChildComponent (&layer);
}
