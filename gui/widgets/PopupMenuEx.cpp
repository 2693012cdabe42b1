#include "gui/widgets/PopupMenuEx.h"

#include "gui/widgets/DefaultLookAndFeel.h"

PopupMenuEx::Item::Item (PopupMenuEx& ownerMenu, int itemId, const juce::String& itemText, bool isSelectable,
                         std::unique_ptr<PopupMenuEx> itemSubMenu)
    : owner (ownerMenu), id (itemId), text (itemText), selectable (isSelectable), subMenu (std::move (itemSubMenu))
{
}

//==============================================================================
PopupMenuEx::Window::Window (PopupMenuComponent& ownerComponent, PopupMenuEx& menuToShow)
    : owner (ownerComponent), menu (menuToShow)
{
    updateFontAndSize();
}

void PopupMenuEx::Window::updateFontAndSize()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        font = laf->getDefaultFont();

    float widest = 0.0f;

    // A sub-menu's entry turns bold when the choice lies in it: it is measured bold, so that
    // its text never has to be cut short.
    for (int i = 0; i < menu.getNumItems(); ++i)
    {
        auto* item = menu.getItem (i);
        widest = juce::jmax (widest, (item->subMenu != nullptr ? font.boldened() : font).getStringWidthFloat (item->text));
    }

    setSize (juce::roundToInt (widest) + 12, rowHeight * menu.getNumItems() + 8);
}

void PopupMenuEx::Window::lookAndFeelChanged()
{
    updateFontAndSize();
}

int PopupMenuEx::Window::getRowAt (int y) const
{
    if (y < topMargin)
        return -1;

    const auto row = (y - topMargin) / rowHeight;
    return row < menu.getNumItems() ? row : -1;
}

juce::Point<int> PopupMenuEx::Window::getOpeningPointForRow (int row) const
{
    return { getX() + getWidth() + 5, getY() + rowHeight * row };
}

void PopupMenuEx::Window::paint (juce::Graphics& g)
{
    const auto w = getWidth(), h = getHeight();
    g.setColour (juce::Colour (0xffe3e3e3));
    g.fillRoundedRectangle (0.0f, 0.0f, (float) w, (float) h, 6.0f);
    g.setColour (juce::Colour (0xff000000));
    g.drawRoundedRectangle (0.5f, 0.5f, (float) w - 1.0f, (float) h - 1.0f, 5.0f, 1.0f);

    for (int i = 0; i < menu.getNumItems(); ++i)
    {
        auto* item = menu.getItem (i);
        const auto top = topMargin + rowHeight * i;

        if (item == hovered)
        {
            g.setColour (juce::Colour (0xffadadad));
            g.fillRoundedRectangle (4.0f, (float) top + 1.0f, (float) w - 8.0f, (float) rowHeight, 3.0f);
        }

        g.setColour (juce::Colour (0xff000000));
        g.setFont (item->subMenu != nullptr && item->hasTickedDescendant ? font.boldened() : font);
        g.drawText (item->text, 6, top, w - 12, rowHeight, juce::Justification::centredLeft, true);
    }
}

void PopupMenuEx::Window::mouseMove (const juce::MouseEvent& e)
{
    const auto row = getRowAt (e.y);
    auto* item = menu.getItem (row);

    if (item != hovered)
    {
        hovered = item;
        repaint();
    }

    if (item != nullptr)
        owner.scheduleMenu (item->subMenu != nullptr ? item->subMenu.get() : &menu, getOpeningPointForRow (row));
}

void PopupMenuEx::Window::mouseExit (const juce::MouseEvent&)
{
    if (hovered != nullptr)
    {
        hovered = nullptr;
        repaint();
    }
}

void PopupMenuEx::Window::mouseDown (const juce::MouseEvent& e)
{
    const auto row = getRowAt (e.y);
    auto* item = menu.getItem (row);

    if (item == nullptr)
        return;

    if (item->subMenu != nullptr)
    {
        owner.openMenuNow (*item->subMenu, getOpeningPointForRow (row));
        return;
    }

    if (! item->selectable)
        return;

    // Choosing closes the menu, which takes this window away, and a listener may even
    // delete the whole menu: everything needed is copied first, and the call comes last.
    const auto id = item->id;
    const auto ticked = item->ticked;
    auto& root = owner.getRootMenu();
    owner.stopTimer();
    root.itemChosen (id, ticked);
}

//==============================================================================
PopupMenuEx::PopupMenuComponent::PopupMenuComponent (PopupMenuEx& rootMenu)
    : root (rootMenu)
{
}

PopupMenuEx::PopupMenuComponent::~PopupMenuComponent()
{
    stopTimer();
    cancelPendingUpdate();
    closeAllWindows();
    closedWindows.clear();
}

PopupMenuEx::Window* PopupMenuEx::PopupMenuComponent::getWindow (int index) const
{
    return juce::isPositiveAndBelow (index, (int) windows.size()) ? windows[(size_t) index].get() : nullptr;
}

void PopupMenuEx::PopupMenuComponent::showMenuAt (juce::Point<int> point, juce::Component* relativeTo)
{
    if (! isAttached())
        attachToDesktop (this);

    // The windows live in this component, which fills the layer: the point is wanted in its coordinates.
    requestedPoint = relativeTo != nullptr && isAttached() ? getCoveringWindow().getLocalPoint (relativeTo, point) : point;
    showAt (1, point, relativeTo);
}

void PopupMenuEx::PopupMenuComponent::updatePosition()
{
    if (auto* parent = getParentComponent())
        setBounds (parent->getLocalBounds());
}

void PopupMenuEx::PopupMenuComponent::shownStateChanged()
{
    stopTimer();
    closeAllWindows();
    pendingMenu = nullptr;
    lastOpenedMenu = nullptr;

    if (isShownInLayer())
    {
        pendingMenu = &root;
        openingPoint = requestedPoint;
        timerCallback();
    }
}

void PopupMenuEx::PopupMenuComponent::timerCallback()
{
    stopTimer();

    if (auto* menu = std::exchange (pendingMenu, nullptr))
        openMenu (*menu);
}

void PopupMenuEx::PopupMenuComponent::mouseDown (const juce::MouseEvent&)
{
    hide();
}

void PopupMenuEx::PopupMenuComponent::scheduleMenu (PopupMenuEx* menu, juce::Point<int> point)
{
    pendingMenu = menu;
    openingPoint = point;

    if (pendingMenu == lastOpenedMenu)
        stopTimer();
    else
        startTimer (100);
}

void PopupMenuEx::PopupMenuComponent::openMenuNow (PopupMenuEx& menu, juce::Point<int> point)
{
    stopTimer();
    pendingMenu = nullptr;

    if (&menu == lastOpenedMenu)
        return;

    openingPoint = point;
    openMenu (menu);
}

void PopupMenuEx::PopupMenuComponent::openMenu (PopupMenuEx& menu)
{
    while (! windows.empty() && windows.back()->getMenu().getLevel() > menu.getLevel() && windows.size() > 1)
        closeTopWindow();

    if (! windows.empty() && windows.back()->getMenu().getLevel() == menu.getLevel() && &windows.back()->getMenu() != &menu)
        closeTopWindow();

    if (! windows.empty() && &windows.back()->getMenu() == &menu)
        return;

    auto window = std::make_unique<Window> (*this, menu);
    addAndMakeVisible (*window);
    window->updateFontAndSize();
    window->setTopLeftPosition (openingPoint);
    windows.push_back (std::move (window));
    lastOpenedMenu = &menu;
}

void PopupMenuEx::PopupMenuComponent::closeTopWindow()
{
    // The root's window stays while the menu is open.
    if (windows.size() <= 1)
        return;

    removeChildComponent (windows.back().get());
    closedWindows.push_back (std::move (windows.back()));
    windows.pop_back();
    lastOpenedMenu = windows.empty() ? nullptr : &windows.back()->getMenu();
    triggerAsyncUpdate();
}

void PopupMenuEx::PopupMenuComponent::closeAllWindows()
{
    for (auto& window : windows)
    {
        removeChildComponent (window.get());
        closedWindows.push_back (std::move (window));
    }

    windows.clear();

    if (! closedWindows.empty())
        triggerAsyncUpdate();
}

void PopupMenuEx::PopupMenuComponent::handleAsyncUpdate()
{
    closedWindows.clear();
}

void PopupMenuEx::PopupMenuComponent::repaintWindows()
{
    for (auto& window : windows)
        window->repaint();
}

//==============================================================================
PopupMenuEx::PopupMenuEx (const juce::String& menuName)
    : name (menuName), component (*this)
{
}

PopupMenuEx::~PopupMenuEx() = default;

void PopupMenuEx::addListener (Listener* listener)
{
    listeners.add (listener);
}

void PopupMenuEx::removeListener (Listener* listener)
{
    listeners.remove (listener);
}

PopupMenuEx::Item& PopupMenuEx::addItem (int id, const juce::String& text, bool selectable)
{
    return *items.add (std::make_unique<Item> (*this, id, text, selectable, nullptr));
}

PopupMenuEx& PopupMenuEx::addSubMenu (const juce::String& text, int id)
{
    auto subMenu = std::make_unique<PopupMenuEx> (text);
    subMenu->level = level + 1;
    auto& result = *subMenu;
    items.add (std::make_unique<Item> (*this, id, text, true, std::move (subMenu)));
    return result;
}

PopupMenuEx::Item* PopupMenuEx::findItem (int id) const
{
    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
        {
            if (auto* found = item->subMenu->findItem (id))
                return found;
        }
        else if (item->id == id)
        {
            return item;
        }
    }

    return nullptr;
}

juce::String PopupMenuEx::getItemText (int id) const
{
    if (auto* item = findItem (id))
        return item->text;

    return {};
}

void PopupMenuEx::setItemTicked (int id, bool ticked, bool untickOthers)
{
    setTicks (id, ticked, untickOthers);
    updateTickSummary();
    component.repaintWindows();
}

void PopupMenuEx::setTicks (int id, bool ticked, bool untickOthers)
{
    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
            item->subMenu->setTicks (id, ticked, untickOthers);
        else if (item->id == id)
            item->ticked = ticked;
        else if (untickOthers)
            item->ticked = false;
    }
}

bool PopupMenuEx::updateTickSummary()
{
    auto hasTick = false;

    for (auto* item : items)
    {
        if (item->subMenu != nullptr)
        {
            item->hasTickedDescendant = item->subMenu->updateTickSummary();
            hasTick = hasTick || item->hasTickedDescendant;
        }
        else
        {
            hasTick = hasTick || item->ticked;
        }
    }

    return hasTick;
}

void PopupMenuEx::itemChosen (int id, bool ticked)
{
    component.hide();

    // A listener may delete the menu (the combo box owning it, say): the walk then stops.
    juce::WeakReference<PopupMenuEx> self (this);
    listeners.callChecked ([&self] { return self == nullptr; },
                           [this, id, ticked] (Listener& l) { l.popupMenuItemSelected (this, id, ticked); });
}
