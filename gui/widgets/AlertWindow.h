/*
    The editor's questions: a framed in-editor window with a message above a row of text
    buttons, each tied to an answer code that goes to the window's Caller. The factories
    make the window but do not show it; the caller owns it, puts it under its
    PseudoModalComponent::Desktop component and shows it as often as it likes.
*/
#pragma once

#include "gui/widgets/ComponentRow.h"
#include "gui/widgets/TextButtonEx.h"
#include "gui/widgets/WindowComponent.h"

#include <memory>

namespace Kestrom
{
class AlertWindow : public WindowComponent
{
public:
    /** Told which button of the row was pressed. */
    class Caller
    {
    public:
        virtual ~Caller() = default;

        /** A row button was pressed: the window is hidden and may be deleted from here. */
        virtual void alertWindowResult (AlertWindow* window, int code) = 0;
    };

    /** An empty window: no message, no buttons, no caller. */
    AlertWindow();
    ~AlertWindow() override;

    /** A window asking message under title, answered with "Yes" (1) or "No" (0). */
    static std::unique_ptr<AlertWindow> showYesNoAlert (const juce::String& title, const juce::String& message, Caller* caller);

    /** The same answered with "Yes" (1) or "Cancel" (0). */
    static std::unique_ptr<AlertWindow> showYesCancelAlert (const juce::String& title, const juce::String& message, Caller* caller);

    /** Appends a button to the row that answers code. */
    void addButton (const juce::String& text, int code);

    /** Sets the message; the window is sized for it by the next updateSize. Line breaks
        start new lines. */
    void setMessage (const juce::String& text);

    /** Sizes the window's content to the message (its widest line by its lines) above the
        button row and a gap of 10. */
    void updateSize();

    /** The one told of the answers (not owned); null tells nobody. */
    void setCaller (Caller* newCaller) noexcept             { caller = newCaller; }
    Caller* getCaller() const noexcept                      { return caller; }

    /** The message label, the button row and the buttons, in the order added. */
    juce::Label& getMessageLabel() noexcept                 { return message; }
    ComponentRow& getButtonRow() noexcept                   { return buttonRow; }
    int getNumButtons() const noexcept                      { return buttons.size(); }
    TextButtonEx* getButton (int index) const noexcept      { return buttons[index]; }

    //==============================================================================
    /** True: the editor is dimmed under the question. */
    bool isBackgroundDimmed() const override;
    /** @internal */
    void buttonClicked (juce::Button* button) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;

private:
    ComponentRow buttonRow;
    juce::OwnedArray<TextButtonEx> buttons;
    juce::Array<int> codes;
    juce::Label message;
    Caller* caller = nullptr;

    static std::unique_ptr<AlertWindow> create (const juce::String& title, const juce::String& text, Caller* caller,
                                                const juce::String& noText);

    JUCE_DECLARE_NON_COPYABLE (AlertWindow)
};
} // namespace Kestrom
