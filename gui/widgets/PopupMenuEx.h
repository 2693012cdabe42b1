/*
    A menu shown inside the editor: items with ids, texts and ticks, and sub-menus. It opens as
    a pseudo-modal layer over the whole editor that holds one window per open level; a
    sub-menu opens beside its item after the pointer has rested on it for 100 ms. Choosing a
    selectable item closes the menu and tells the listeners of the root menu.
*/
#pragma once

#include "framework/ListenerArray.h"
#include "gui/widgets/PseudoModalComponent.h"

#include <memory>
#include <vector>

class PopupMenuEx
{
public:
    //==============================================================================
    /** Told of the item the user chose. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** An item was chosen; itemTicked is its tick state at the moment of the click. */
        virtual void popupMenuItemSelected (PopupMenuEx* menu, int itemId, bool itemTicked) = 0;
    };

    //==============================================================================
    /** One item: a plain item with an id, or the entry of a sub-menu, which the item owns. */
    class Item
    {
    public:
        /** An item of a menu; subMenu is null for a plain item. */
        Item (PopupMenuEx& owner, int id, const juce::String& text, bool selectable, std::unique_ptr<PopupMenuEx> subMenu);

        PopupMenuEx& owner;
        const int id;
        juce::String text;
        bool ticked = false;
        bool selectable = true;
        bool hasTickedDescendant = false;       ///< kept by the tick summary
        const std::unique_ptr<PopupMenuEx> subMenu;

        JUCE_DECLARE_NON_COPYABLE (Item)
    };

    class PopupMenuComponent;

    //==============================================================================
    /** One open level of the menu. */
    class Window : public juce::Component
    {
    public:
        /** The row height and the space above the first row. */
        static constexpr int rowHeight = 16, topMargin = 3;

        /** A window of the layer showing a menu, sized for its items. */
        Window (PopupMenuComponent& owner, PopupMenuEx& menu);

        /** The menu the window shows. */
        PopupMenuEx& getMenu() const noexcept               { return menu; }

        /** The row under a y, or -1 above the first row and below the last. */
        int getRowAt (int y) const;

        /** The item under the pointer, or null. */
        Item* getHoveredItem() const noexcept               { return hovered; }

        /** The font and the size follow the look-and-feel (14 high without the toolkit's own). */
        void updateFontAndSize();

        /** @internal */
        void paint (juce::Graphics& g) override;
        /** @internal */
        void lookAndFeelChanged() override;
        /** @internal */
        void mouseMove (const juce::MouseEvent& e) override;
        /** @internal */
        void mouseExit (const juce::MouseEvent& e) override;
        /** @internal */
        void mouseDown (const juce::MouseEvent& e) override;

    private:
        juce::Point<int> getOpeningPointForRow (int row) const;

        PopupMenuComponent& owner;
        PopupMenuEx& menu;
        juce::Font font { 14.0f };
        Item* hovered = nullptr;

        JUCE_DECLARE_NON_COPYABLE (Window)
    };

    //==============================================================================
    /** The layer that hosts the stack of open windows, one per open level. */
    class PopupMenuComponent : public PseudoModalComponent,
                               public juce::Timer,
                               private juce::AsyncUpdater
    {
    public:
        /** The component of a root menu. */
        explicit PopupMenuComponent (PopupMenuEx& rootMenu);
        ~PopupMenuComponent() override;

        /** Opens the root menu with its window's top left at a point in relativeTo's coordinates. */
        void showMenuAt (juce::Point<int> point, juce::Component* relativeTo);

        /** Opens a menu at the opening point: deeper windows, and another menu's window at its
            level, close first; nothing more when the top window already shows it. */
        void openMenu (PopupMenuEx& menu);

        /** Makes menu the one to open (null: none) at point (in the layer), after 100 ms
            unless it is the one opened last. */
        void scheduleMenu (PopupMenuEx* menu, juce::Point<int> point);

        /** Opens a menu at once at a point, unless it is the one opened last. */
        void openMenuNow (PopupMenuEx& menu, juce::Point<int> point);

        /** The open windows, the root's first. */
        int getNumWindows() const noexcept                  { return (int) windows.size(); }
        Window* getWindow (int index) const;

        /** The root menu. */
        PopupMenuEx& getRootMenu() const noexcept           { return root; }

        /** Repaints every open window. */
        void repaintWindows();

        /** Fills the parent. */
        void updatePosition() override;
        /** Closes every window; opens the root's when the menu has just been shown. */
        void shownStateChanged() override;
        /** Opens the menu waiting for the delay. */
        void timerCallback() override;
        /** A click outside every window closes the menu. */
        void mouseDown (const juce::MouseEvent& e) override;

    private:
        void closeTopWindow();
        void closeAllWindows();
        void handleAsyncUpdate() override;

        PopupMenuEx& root;
        std::vector<std::unique_ptr<Window>> windows;
        std::vector<std::unique_ptr<Window>> closedWindows;     // deleted later: one of them may be handling the click
        PopupMenuEx* pendingMenu = nullptr;
        PopupMenuEx* lastOpenedMenu = nullptr;
        juce::Point<int> openingPoint, requestedPoint;

        JUCE_DECLARE_NON_COPYABLE (PopupMenuComponent)
    };

    //==============================================================================
    /** An empty root menu. */
    explicit PopupMenuEx (const juce::String& name = {});
    virtual ~PopupMenuEx();

    /** Adds a listener; null or one already there is ignored. */
    void addListener (Listener* listener);

    /** Removes a listener. */
    void removeListener (Listener* listener);

    /** Appends a plain item. */
    Item& addItem (int id, const juce::String& text, bool selectable = true);

    /** Appends an item that opens a new, empty sub-menu (one level deeper), which is returned. */
    PopupMenuEx& addSubMenu (const juce::String& text, int id = 0);

    /** The plain item with this id, searched depth first in item order; null when absent. */
    Item* findItem (int id) const;

    /** The text of the item with this id; empty when absent. */
    juce::String getItemText (int id) const;

    /** Ticks or unticks the plain item with this id anywhere in the tree, and with
        untickOthers every other plain item; then the windows show the new ticks. */
    void setItemTicked (int id, bool ticked, bool untickOthers);

    /** Closes the menu and tells the listeners, the last added first. */
    void itemChosen (int id, bool ticked);

    /** The items in display order. */
    int getNumItems() const noexcept                        { return items.size(); }
    Item* getItem (int index) const                         { return items[index]; }

    /** The menu's depth in its tree: 0 for a root. */
    int getLevel() const noexcept                           { return level; }

    /** The menu's name. */
    const juce::String& getName() const noexcept            { return name; }

    /** The layer the menu opens in. */
    PopupMenuComponent& getComponent() noexcept             { return component; }

private:
    void setTicks (int id, bool ticked, bool untickOthers);
    bool updateTickSummary();

    ListenerArray<Listener> listeners;
    juce::String name;
    int level = 0;
    juce::OwnedArray<Item> items;
    PopupMenuComponent component;

    JUCE_DECLARE_WEAK_REFERENCEABLE (PopupMenuEx)
    JUCE_DECLARE_NON_COPYABLE (PopupMenuEx)
};
