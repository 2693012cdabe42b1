#include "gui/widgets/LabelWithModalTextEditor.h"

LabelWithModalTextEditor::LabelWithModalTextEditor() = default;

LabelWithModalTextEditor::~LabelWithModalTextEditor()
{
    // The editor first: it may still be on the desktop and points at this label.
    editor.reset();
}

void LabelWithModalTextEditor::setText (const juce::String& newText)
{
    if (newText == text)
        return;

    text = newText;

    if (editor != nullptr)
        editor->setText (text, false);

    repaint();
}

void LabelWithModalTextEditor::setFont (const juce::Font& newFont)
{
    if (newFont == font)
        return;

    font = newFont;

    if (editor != nullptr)
        editor->applyFontToAllText (font);

    repaint();
}

void LabelWithModalTextEditor::addModalListener (ModalTextEditor::ModalListener* listener)
{
    if (listener == nullptr)
        return;

    if (editor != nullptr)
        editor->addModalListener (listener);
    else
        pendingListeners.addIfNotAlreadyThere (listener);
}

void LabelWithModalTextEditor::showEditor()
{
    if (editor == nullptr)
    {
        editor = std::make_unique<ModalTextEditor> (getName(), this);
        editor->addModalListener (this);

        for (auto* listener : pendingListeners)
            editor->addModalListener (listener);

        pendingListeners.clear();
    }

    if (editor->isEditing())
        return;

    addChildComponent (*editor);
    editor->setBounds (getLocalBounds());

    // Lifted onto the desktop the editor has no parent to take a look from: it keeps the label's.
    editor->setLookAndFeel (&getLookAndFeel());
    editor->setColour (juce::TextEditor::highlightColourId, juce::Colour (0xffd3d3d3));
    editor->setColour (juce::TextEditor::outlineColourId, juce::Colour (0xff000000));
    editor->setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xffff4500).withAlpha (0.75f));

    editor->setFont (font);
    editor->setText (text, false);
    editor->applyFontToAllText (font);
    editor->selectAll();
    editor->setVisible (true);
    editor->toFront (false);
    editor->grabKeyboardFocus();
}

//==============================================================================
void LabelWithModalTextEditor::modalTextChanged (ModalTextEditor* e)
{
    setText (e->getText());
}

void LabelWithModalTextEditor::modalEditCancelled (ModalTextEditor* e)
{
    setText (e->getText());
}

void LabelWithModalTextEditor::modalEditEnded (ModalTextEditor* e)
{
    e->setVisible (false);
}

void LabelWithModalTextEditor::mouseDoubleClick (const juce::MouseEvent&)
{
    showEditor();
}

void LabelWithModalTextEditor::paint (juce::Graphics& g)
{
    g.setColour (findColour (juce::Label::textColourId));
    g.setFont (font);
    g.drawText (text, getLocalBounds(), juce::Justification::centredLeft, true);
}

void LabelWithModalTextEditor::resized()
{
    if (editor != nullptr)
        editor->setBounds (getLocalBounds());
}
