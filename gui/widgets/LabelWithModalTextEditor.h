/*
    A label whose text is renamed in place: a double click opens a ModalTextEditor over it,
    created on the first edit and kept for the next ones. The label follows every
    keystroke and shows the old text again after Escape; whoever owns it learns of a new
    text through modalTextCommitted of the listeners it adds.
*/
#pragma once

#include "gui/widgets/ModalTextEditor.h"

#include <memory>

class LabelWithModalTextEditor : public juce::Component,
                                 public ModalTextEditor::ModalListener
{
public:
    /** An empty label in the default font of height 13. */
    LabelWithModalTextEditor();
    ~LabelWithModalTextEditor() override;

    /** Sets the text (and the editor's, without a change message); repaints when it changed. */
    void setText (const juce::String& newText);
    /** The text shown. */
    const juce::String& getText() const noexcept                { return text; }

    /** Sets the font of the label and of its editor; repaints when it changed. */
    void setFont (const juce::Font& newFont);
    /** The label's font. */
    const juce::Font& getFont() const noexcept                  { return font; }

    /** Adds a listener of the editor (not owned); before the first edit it waits here. */
    void addModalListener (ModalTextEditor::ModalListener* listener);

    /** Opens the editor over the label with the label's text, all of it selected, and
        gives it the keyboard focus. */
    void showEditor();

    /** The editor, or null before the first edit. */
    ModalTextEditor* getEditor() const noexcept                 { return editor.get(); }

    //==============================================================================
    /** Copies the editor's text. */
    void modalTextChanged (ModalTextEditor* editor) override;
    /** Copies the restored text. */
    void modalEditCancelled (ModalTextEditor* editor) override;
    /** Hides the editor until the next edit. */
    void modalEditEnded (ModalTextEditor* editor) override;

    /** @internal */
    void mouseDoubleClick (const juce::MouseEvent&) override;
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;

private:
    juce::Array<ModalTextEditor::ModalListener*> pendingListeners;
    juce::String text;
    std::unique_ptr<ModalTextEditor> editor;
    juce::Font font { 13.0f };

    JUCE_DECLARE_NON_COPYABLE (LabelWithModalTextEditor)
};
