#include "gui/widgets/StatusBar.h"
#include "gui/widgets/DefaultLookAndFeel.h"

StatusBar::StatusBar()
{
    clear();
    lookAndFeelChanged();
}

StatusBar::~StatusBar()
{
    stopTimer();
}

void StatusBar::setText (const juce::String& newText, int newPriority, int timeoutMs)
{
    if (newText == text || priority > newPriority)
        return;

    text = newText;
    priority = newPriority;

    if (timeoutMs > 0)
        startTimer (timeoutMs);
    else
        stopTimer();

    repaint();
}

void StatusBar::clear()
{
    priority = 0;

    // Stopped even when the text is already empty: an empty text given a timeout would
    // otherwise keep its timer firing for nothing.
    stopTimer();

    if (text.isNotEmpty())
    {
        text.clear();
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
        repaint();
    }
}

void StatusBar::paint (juce::Graphics& g)
{
    g.setColour (findColour (backgroundColourId));
    g.fillRect (g.getClipBounds());

    g.setColour (findColour (textColourId));
    g.setFont (font);
    g.drawText (text, 5, 0, getWidth(), getHeight(), juce::Justification::centredLeft, false);
}
