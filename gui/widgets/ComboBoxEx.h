/*
    A drop-down box on a PopupMenuEx: it shows the text of the chosen item and opens its menu
    right below itself. Choosing another item than the selected one tells the listeners.
*/
#pragma once

#include "gui/widgets/PopupMenuEx.h"

class ComboBoxEx : public juce::Component,
                   public PopupMenuEx::Listener
{
public:
    /** Told when the user chooses another item. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The selected id changed through the menu. */
        virtual void comboBoxExChanged (ComboBoxEx* comboBox) = 0;
    };

    /** An empty box: no selection, no text. */
    ComboBoxEx();

    /** Leaves its menu's listeners first. */
    ~ComboBoxEx() override;

    /** Adds a listener; null or one already there is ignored. */
    void addListener (Listener* listener);

    /** Removes a listener. */
    void removeListener (Listener* listener);

    /** The menu the box opens, to which its owner adds the items. */
    PopupMenuEx& getMenu() noexcept                 { return menu; }

    /** The selected id, -1 when there is none. */
    int getSelectedId() const noexcept              { return selectedId; }

    /** Selects an id from code and shows it (update); tells no listener. */
    void setSelectedId (int id);

    /** Shows the selected item: its text ("---" when it has none), its tick in the menu, and
        plain text when the item exists and is selectable, italic otherwise. */
    void update();

    /** The text shown. */
    const juce::String& getText() const noexcept    { return text; }

    /** Sets the text shown; repaints when it changes. */
    void setText (const juce::String& newText);

    /** True when the text is drawn plain (the selected item exists and can be chosen). */
    bool isPlainText() const noexcept               { return plainText; }

    //==============================================================================
    /** @internal */
    void popupMenuItemSelected (PopupMenuEx* menu, int itemId, bool itemTicked) override;
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void mouseDown (const juce::MouseEvent& e) override;

private:
    juce::String text;
    int selectedId = -1;
    bool plainText = false;
    PopupMenuEx menu;
    ListenerArray<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE (ComboBoxEx)
};
