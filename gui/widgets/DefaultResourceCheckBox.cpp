#include "gui/widgets/DefaultResourceCheckBox.h"

DefaultResourceCheckBox::DefaultResourceCheckBox()
{
    addAndMakeVisible (pathField);
    addAndMakeVisible (checkBox);
    pathField.addListener (this);
    checkBox.addListener (this);

    updateEnablement();
    resized();
}

DefaultResourceCheckBox::~DefaultResourceCheckBox()
{
    pathField.removeListener (this);
    checkBox.removeListener (this);
}

void DefaultResourceCheckBox::setResourcePath (const juce::String& path)
{
    checkBox.setToggleState (path.isNotEmpty(), juce::dontSendNotification);

    if (path != pathField.getPath())
        pathField.setPath (path, false);

    updateEnablement();
}

void DefaultResourceCheckBox::updateEnablement()
{
    pathField.setEnabled (checkBox.getToggleState());
}

void DefaultResourceCheckBox::notifyListeners()
{
    listeners.call ([this] (Listener& l) { l.defaultResourceChanged (this); });
}

void DefaultResourceCheckBox::checkBoxChanged (CheckBox*)
{
    updateEnablement();
    notifyListeners();
}

void DefaultResourceCheckBox::pathChanged (PathComponent*)
{
    notifyListeners();
}

void DefaultResourceCheckBox::childBoundsChanged (juce::Component*)
{
    // The children take their sizes from the look-and-feel after this compound has heard
    // of it (children hear after their parent), so their new sizes are laid out here.
    resized();
}

void DefaultResourceCheckBox::lookAndFeelChanged()
{
    resized();
}

void DefaultResourceCheckBox::resized()
{
    // Placing the children reports their bounds back here; this pass already covers them.
    if (layingOut)
        return;

    const juce::ScopedValueSetter<bool> guard (layingOut, true);
    const auto height = juce::jmax (checkBox.getHeight(), pathField.getHeight());
    setSize (getWidth(), height);

    checkBox.setTopLeftPosition (0, (height - checkBox.getHeight()) / 2);
    pathField.setBounds (checkBox.getWidth() + 5, (height - pathField.getHeight()) / 2,
                         juce::jmax (0, getWidth() - checkBox.getWidth() - 5), pathField.getHeight());
}
