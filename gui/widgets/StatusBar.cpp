#include "gui/widgets/StatusBar.h"
#include "gui/widgets/DefaultLookAndFeel.h"

StatusBar::StatusBar()
{
    clear();
}

StatusBar::~StatusBar() = default;

void StatusBar::setText (const juce::String& newText, int newPriority, int timeoutMilliseconds)
{
    if (newText == text || priority > newPriority)
        return;

    text = newText;
    priority = newPriority;

    if (timeoutMilliseconds > 0)
        startTimer (timeoutMilliseconds);
    else
        stopTimer();

    repaint();
}

void StatusBar::clear()
{
    priority = 0;

    if (text.isNotEmpty())
    {
        text.clear();
        stopTimer();
        repaint();
    }
}

void StatusBar::timerCallback()
{
    clear();
}

void StatusBar::lookAndFeelChanged()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        font = laf->getStatusBarFont();
        setSize (getWidth(), laf->getStatusBarHeight());
    }

    repaint();
}

void StatusBar::paint (juce::Graphics& g)
{
    g.setColour (findColour (backgroundColourId));
    g.fillRect (g.getClipBounds());
    g.setColour (findColour (textColourId));
    g.setFont (font);
    g.drawText (text, 5, 0, getWidth(), getHeight(), juce::Justification::centredLeft, true);
}
