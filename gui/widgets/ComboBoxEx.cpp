#include "gui/widgets/ComboBoxEx.h"

#include "gui/SkinFonts.h"

ComboBoxEx::ComboBoxEx()
{
    menu.addListener (this);
    addChildComponent (menu.getComponent());
}

ComboBoxEx::~ComboBoxEx()
{
    menu.removeListener (this);
}

void ComboBoxEx::addListener (Listener* listener)
{
    listeners.add (listener);
}

void ComboBoxEx::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

void ComboBoxEx::setSelectedId (int id)
{
    selectedId = id;
    update();
}

void ComboBoxEx::update()
{
    const auto itemText = menu.getItemText (selectedId);
    setText (itemText.isNotEmpty() ? itemText : juce::String ("---"));
    menu.setItemTicked (selectedId, true, true);

    auto* item = menu.findItem (selectedId);
    const auto newPlainText = item != nullptr && item->selectable;

    if (newPlainText != plainText)
    {
        plainText = newPlainText;
        repaint();
    }
}

void ComboBoxEx::setText (const juce::String& newText)
{
    if (newText == text)
        return;

    text = newText;
    repaint();
}

void ComboBoxEx::popupMenuItemSelected (PopupMenuEx* chosenFrom, int itemId, bool)
{
    if (chosenFrom != &menu || itemId == selectedId)
        return;

    selectedId = itemId;
    update();

    // A listener may delete the box: the walk then stops.
    juce::Component::SafePointer<ComboBoxEx> self (this);
    listeners.callChecked ([&self] { return self == nullptr; }, [this] (Listener& l) { l.comboBoxExChanged (this); });
}

void ComboBoxEx::mouseDown (const juce::MouseEvent&)
{
    menu.getComponent().showMenuAt ({ 0, getHeight() }, this);
}

void ComboBoxEx::paint (juce::Graphics& g)
{
    const auto w = (float) getWidth(), h = (float) getHeight();

    g.setColour (juce::Colour (0xffe3e3e3));
    g.fillRoundedRectangle (0.0f, 0.0f, w, h, 4.0f);
    g.setColour (juce::Colour (0xffffffff));
    g.drawRoundedRectangle (0.5f, 0.5f, w - 1.0f, h - 1.0f, 4.0f, 1.0f);

    g.setColour (juce::Colour (0xff000000));
    g.setFont (SkinFonts::getFont (13.0f, plainText ? juce::Font::plain : juce::Font::italic));
    // A long text ends before the separator rather than running under the arrow.
    g.drawText (text, 4, 0, juce::jmax (0, getWidth() - 17), getHeight(), juce::Justification::centredLeft, true);

    g.setColour (juce::Colour (0xff000000).withAlpha (0.75f));
    g.drawVerticalLine (getWidth() - 13, 2.0f, h - 2.0f);

    const auto c = w - 7.5f;
    juce::Path triangle;
    triangle.addTriangle (c - 3.0f, h / 2.0f - 3.0f, c + 3.0f, h / 2.0f - 3.0f, c, h / 2.0f);
    g.setColour (juce::Colour (0xff000000));
    g.fillPath (triangle);
}
