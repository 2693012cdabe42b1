#include "gui/widgets/DefaultResourcesRadioButtons.h"

DefaultResourcesRadioButtons::DefaultResourcesRadioButtons (const juce::String& title, const juce::StringArray& options)
    : RadioButtons (title, options)
{
    pathField.addListener (this);
    addAndMakeVisible (pathField);

    selectionChanged();
    updateSize();
    resized();
}

DefaultResourcesRadioButtons::~DefaultResourcesRadioButtons()
{
    pathField.removeListener (this);
}

void DefaultResourcesRadioButtons::selectionChanged()
{
    const auto n = getOptions().size();
    pathField.setEnabled (n > 0 && getSelectedIndex() == n - 1);
}

void DefaultResourcesRadioButtons::updateSize()
{
    const auto rowHeight = getRowHeight();
    const auto overhang = juce::jmax ((pathField.getHeight() - rowHeight) / 2, 0);

    setSize (getWidth(), getOptions().size() * rowHeight + overhang + getTitleHeight() + 2 * getTitleSpacing());
}

void DefaultResourcesRadioButtons::pathChanged (PathComponent*)
{
    notifyListeners();
}

void DefaultResourcesRadioButtons::resized()
{
    RadioButtons::resized();

    const auto n = getOptions().size();
    const auto h = pathField.getHeight();
    const auto x = getTextX() + getMaxTextWidth() + getTextGap();
    const auto y = getFirstRowY() + (n - 1) * getRowHeight() - (h - getRowHeight()) / 2;

    pathField.setBounds (x, y, juce::jmax (0, getWidth() - x - getTextGap()), h);
}

void DefaultResourcesRadioButtons::childBoundsChanged (juce::Component* child)
{
    if (child == &pathField)
        updateSize();
}
