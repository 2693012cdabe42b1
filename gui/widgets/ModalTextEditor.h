/*
    A text editor for renaming in place. Inside a plug-in editor a text field may lose its
    keystrokes to the host or be clipped by its parent, so while it has the keyboard focus
    this editor lifts itself onto the desktop as a temporary window at the same place on
    the screen, and goes back to its parent when editing ends. Its modal listeners hear of
    every keystroke, of a changed text when editing ends, of a cancel and of the end.
*/
#pragma once

#include "framework/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

class LabelWithModalTextEditor;

class ModalTextEditor : public juce::TextEditor,
                        private juce::TextEditor::Listener
{
public:
    /** Told how an edit goes; every operation is empty by default. */
    class ModalListener
    {
    public:
        virtual ~ModalListener() = default;

        /** A keystroke changed the text. */
        virtual void modalTextChanged (ModalTextEditor* editor)     {}
        /** Editing ended with a text different from the one it started with. */
        virtual void modalTextCommitted (ModalTextEditor* editor)   {}
        /** Escape put the text back as it was. */
        virtual void modalEditCancelled (ModalTextEditor* editor)   {}
        /** The editor is back in its place. */
        virtual void modalEditEnded (ModalTextEditor* editor)       {}
    };

    /** An editor of that component name, for the label that creates it (may be null). */
    ModalTextEditor (const juce::String& componentName, LabelWithModalTextEditor* owner);
    ~ModalTextEditor() override;

    /** Adds a listener unless it is null or already there (not owned). */
    void addModalListener (ModalListener* listener)             { modalListeners.add (listener); }
    /** Removes a listener; it may do so while it is being told. */
    void removeModalListener (ModalListener* listener)          { modalListeners.remove (listener); }

    /** The label that created the editor, or null. */
    LabelWithModalTextEditor* getOwner() const noexcept         { return owner; }

    /** True from the lift onto the desktop until the editor is back in its parent. */
    bool isEditing() const noexcept                             { return editing; }

    /** The text the edit started with. */
    const juce::String& getSavedText() const noexcept           { return savedText; }

    //==============================================================================
    /** Lifts the editor onto the desktop, remembering its parent, bounds and text. */
    void focusGained (FocusChangeType cause) override;
    /** Ends the edit: the editor goes back to its parent (on the next message, as the
        window that delivers the focus change must outlive its own callback), then a
        changed text is committed and the end is told. */
    void focusLost (FocusChangeType cause) override;

private:
    void textEditorTextChanged (juce::TextEditor&) override;
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;
    void textEditorFocusLost (juce::TextEditor&) override       {}

    /** Puts the editor back, then commits a changed text and tells of the end (and of a cancel). */
    void finishEdit();
    void commitIfChanged();
    void notify (void (ModalListener::*method) (ModalTextEditor*));

    ListenerArray<ModalListener> modalListeners;
    LabelWithModalTextEditor* owner = nullptr;
    juce::Component::SafePointer<juce::Component> savedParent;
    juce::Rectangle<int> savedBounds;
    juce::String savedText;

    bool editing = false;           // lifted, or waiting to be put back
    bool moving = false;            // inside addToDesktop or the put-back: focus changes are ours
    bool finishPending = false;
    bool cancelPending = false;

    JUCE_DECLARE_NON_COPYABLE (ModalTextEditor)
};
