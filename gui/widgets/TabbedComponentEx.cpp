#include "gui/widgets/TabbedComponentEx.h"
#include "gui/widgets/DefaultLookAndFeel.h"

TabbedComponentEx::TabbedComponentEx()
    : juce::TabbedComponent (juce::TabbedButtonBar::TabsAtTop)
{
}

TabbedComponentEx::~TabbedComponentEx() = default;

void TabbedComponentEx::addListener (Listener* listener)        { listeners.add (listener); }
void TabbedComponentEx::removeListener (Listener* listener)     { listeners.remove (listener); }

void TabbedComponentEx::currentTabChanged (int newCurrentTabIndex, const juce::String&)
{
    listeners.call ([this] (Listener& l) { l.tabChanged (this); });

    // A page that has a look of its own is given the panel's.
    if (auto* page = getTabContentComponent (newCurrentTabIndex))
        if (&page->getLookAndFeel() != &getLookAndFeel())
            page->setLookAndFeel (&getLookAndFeel());
}

void TabbedComponentEx::lookAndFeelChanged()
{
    juce::TabbedComponent::lookAndFeelChanged();

    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        setTabBarDepth (laf->getTabDepth());
        setIndent (laf->getTabEdgeIndent());
        resized();
        repaint();
    }
}

void TabbedComponentEx::paint (juce::Graphics& g)
{
    if (outline.isEmpty())
        return;

    g.setColour (findColour (backgroundColourId));
    g.fillPath (outline);

    g.setColour (findColour (outlineColourId));
    g.strokePath (outline, juce::PathStrokeType (1.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

void TabbedComponentEx::resized()
{
    // The panel under the tabs, its outline on pixel centres.
    const auto depth = (float) getTabBarDepth();
    const auto w = (float) getWidth(), h = (float) getHeight();

    juce::Path panel;
    panel.startNewSubPath (0.5f, depth - 0.5f);
    panel.lineTo (w - 0.5f, depth - 0.5f);
    panel.lineTo (w - 0.5f, h - 0.5f);
    panel.lineTo (0.5f, h - 0.5f);
    panel.closeSubPath();
    outline = panel.createPathWithRoundedCorners (4.0f);

    juce::TabbedComponent::resized();
}
