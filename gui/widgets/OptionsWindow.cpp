#include "gui/widgets/OptionsWindow.h"

OptionsWindow::OptionsWindow()
{
    addAndMakeVisible (tabs);
    applyDockedLook();
}

OptionsWindow::~OptionsWindow() = default;

void OptionsWindow::addPage (juce::Component* page, const juce::String& tabName, int index)
{
    tabs.addTab (tabName, juce::Colour (0xffc5c5c5), page, false, index);

    // Inserting keeps the old current tab; going through "none" shows the new first page.
    if (index == 0)
    {
        tabs.getTabbedButtonBar().setCurrentTabIndex (-1, false);
        tabs.getTabbedButtonBar().setCurrentTabIndex (0, false);
    }
}

void OptionsWindow::setDocked (bool shouldBeDocked)
{
    if (shouldBeDocked == docked)
        return;

    docked = shouldBeDocked;
    applyDockedLook();
    resized();
}

void OptionsWindow::applyDockedLook()
{
    setCornerStyle (docked ? 0 : 1);
    setTitleBarVisible (! docked);
    setBordered (! docked);
}

bool OptionsWindow::isBackgroundDimmed() const
{
    return true;
}

void OptionsWindow::resized()
{
    WindowComponent::resized();
    tabs.setBounds (getContentArea());
}
