#include "gui/widgets/ModalTextEditor.h"

ModalTextEditor::ModalTextEditor (const juce::String& componentName, LabelWithModalTextEditor* labelOwner)
    : juce::TextEditor (componentName, 0), owner (labelOwner)
{
    setWantsKeyboardFocus (true);
    addListener (this);
}

ModalTextEditor::~ModalTextEditor()
{
    removeListener (this);
}

//==============================================================================
void ModalTextEditor::focusGained (FocusChangeType cause)
{
    // Taking the editor out of its parent moves the focus about; those changes are ours.
    if (moving)
        return;

    juce::TextEditor::focusGained (cause);

    if (isOnDesktop())
        return;

    savedText = getText();
    savedBounds = getBounds();
    savedParent = getParentComponent();
    editing = true;

    {
        const juce::ScopedValueSetter<bool> lifting (moving, true);
        addToDesktop (juce::ComponentPeer::windowIsTemporary);
    }

    grabKeyboardFocus();
    repaint();
}

void ModalTextEditor::focusLost (FocusChangeType cause)
{
    if (moving)
        return;

    juce::TextEditor::focusLost (cause);

    if (! editing)
    {
        // Never lifted (no desktop to go to): the edit ends in place, without an end to tell.
        const juce::Component::SafePointer<ModalTextEditor> self (this);
        commitIfChanged();

        if (self != nullptr)
            repaint();

        return;
    }

    // The window being taken down may be the one delivering this focus change.
    if (! finishPending)
    {
        finishPending = true;
        const juce::Component::SafePointer<ModalTextEditor> self (this);
        juce::MessageManager::callAsync ([self]
        {
            if (self != nullptr)
                self->finishEdit();
        });
    }
}

void ModalTextEditor::finishEdit()
{
    finishPending = false;

    {
        const juce::ScopedValueSetter<bool> puttingBack (moving, true);

        if (savedParent != nullptr)
            savedParent->addChildComponent (this);
        else if (isOnDesktop())
            removeFromDesktop();

        setBounds (savedBounds);
        setHighlightedRegion ({});
    }

    editing = false;

    const juce::Component::SafePointer<ModalTextEditor> self (this);
    commitIfChanged();

    if (self != nullptr)
        notify (&ModalListener::modalEditEnded);

    if (self != nullptr && cancelPending)
    {
        cancelPending = false;
        notify (&ModalListener::modalEditCancelled);
    }

    if (self != nullptr)
        repaint();
}

void ModalTextEditor::commitIfChanged()
{
    const auto text = getText();

    if (text == savedText)
        return;

    const juce::Component::SafePointer<ModalTextEditor> self (this);
    notify (&ModalListener::modalTextCommitted);

    if (self != nullptr)
        savedText = text;
}

void ModalTextEditor::notify (void (ModalListener::*method) (ModalTextEditor*))
{
    // A listener may delete this editor (a rename that rebuilds the rows): stop then.
    const juce::Component::SafePointer<ModalTextEditor> self (this);
    modalListeners.callChecked ([&self] { return self == nullptr; },
                                [this, method] (ModalListener& l) { (l.*method) (this); });
}

//==============================================================================
void ModalTextEditor::textEditorTextChanged (juce::TextEditor&)
{
    notify (&ModalListener::modalTextChanged);
}

void ModalTextEditor::textEditorReturnKeyPressed (juce::TextEditor&)
{
    focusLost (focusChangedDirectly);
}

void ModalTextEditor::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    setText (savedText, false);

    if (editing)
    {
        // Told after the end, once the editor is back.
        cancelPending = true;
        focusLost (focusChangedDirectly);
        return;
    }

    const juce::Component::SafePointer<ModalTextEditor> self (this);
    focusLost (focusChangedDirectly);

    if (self != nullptr)
        notify (&ModalListener::modalEditCancelled);
}
