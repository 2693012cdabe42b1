#include "gui/widgets/ComboBoxEx.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "unit/MessageLoop.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace PopupMenuTestsDetail
{
using namespace SkinTestSupport;

/** The editor's stand-in, under which menus open. */
struct MenuDesktop : public juce::Component,
                     public PseudoModalComponent::Desktop
{
    MenuDesktop()   { setSize (600, 400); }
};

/** Records what the menu reports, and may delete the box it belongs to while being told. */
struct ChoiceLog : public PopupMenuEx::Listener,
                   public ComboBoxEx::Listener
{
    explicit ChoiceLog (juce::String tagToUse = {}) : tag (std::move (tagToUse)) {}

    void popupMenuItemSelected (PopupMenuEx* menu, int id, bool ticked) override
    {
        entries.add (tag + "chosen " + juce::String (id) + (ticked ? " ticked" : "") + (menu->getLevel() == 0 ? " from root" : "")
                     + (menu->getComponent().isShownInLayer() ? " while open" : ""));
    }

    void comboBoxExChanged (ComboBoxEx* box) override
    {
        entries.add (tag + "changed " + juce::String (box->getSelectedId()));
        boxToDelete.reset();
    }

    juce::String tag;
    juce::StringArray entries;
    std::unique_ptr<ComboBoxEx> boxToDelete;
};

/** Root: 1 "One", sub-menu "More" (2 "Two", 3 "Three", sub-menu "Deeper" (4 "Four")), 5 "Five" (not selectable). */
void fill (PopupMenuEx& menu)
{
    menu.addItem (1, "One");
    auto& more = menu.addSubMenu ("More", 1);    // the same id as "One": a sub-menu item never matches
    more.addItem (2, "Two");
    more.addItem (3, "Three");
    more.addSubMenu ("Deeper").addItem (4, "Four");
    menu.addItem (5, "Five", false);
}

juce::MouseEvent at (juce::Component& c, int x, int y)
{
    return Mouse::event (c, { (float) x, (float) y }, { (float) x, (float) y }, {}, false);
}

/** The row's middle in a window. */
int rowY (int row)      { return PopupMenuEx::Window::topMargin + PopupMenuEx::Window::rowHeight * row + 8; }
} // namespace PopupMenuTestsDetail

using namespace PopupMenuTestsDetail;

TEST (PopupMenuEx, TreeSearchTicksAndTheirSummary)
{
    PopupMenuEx menu;
    fill (menu);

    ASSERT_NE (menu.findItem (1), nullptr);
    EXPECT_EQ (menu.findItem (1)->text, "One");
    EXPECT_EQ (menu.getItemText (4), "Four");
    EXPECT_EQ (menu.getItemText (9), "");
    EXPECT_EQ (menu.getItem (1)->subMenu->getLevel(), 1);
    EXPECT_EQ (menu.getItem (1)->subMenu->getItem (2)->subMenu->getLevel(), 2);

    // One tick with the others cleared, across every sub-menu; the summary marks the way to it.
    menu.setItemTicked (3, true, false);
    menu.setItemTicked (1, true, false);
    menu.setItemTicked (4, true, true);
    EXPECT_FALSE (menu.findItem (1)->ticked);
    EXPECT_FALSE (menu.findItem (3)->ticked);
    EXPECT_TRUE (menu.findItem (4)->ticked);
    EXPECT_TRUE (menu.getItem (1)->hasTickedDescendant);
    EXPECT_TRUE (menu.getItem (1)->subMenu->getItem (2)->hasTickedDescendant);

    menu.setItemTicked (4, false, false);
    EXPECT_FALSE (menu.getItem (1)->hasTickedDescendant);
}

TEST (PopupMenuEx, WindowsSizeRowsAndOpenSubMenusAfterTheDelay)
{
    MenuDesktop desktop;
    DefaultLookAndFeel laf;
    desktop.setLookAndFeel (&laf);
    PopupMenuEx menu;
    fill (menu);
    desktop.addAndMakeVisible (menu.getComponent());
    menu.getComponent().showMenuAt ({ 40, 30 }, &desktop);

    auto& layer = menu.getComponent();
    ASSERT_EQ (layer.getNumWindows(), 1);
    auto& root = *layer.getWindow (0);
    const auto font = laf.getDefaultFont();     // a sub-menu's entry measured bold, as it is drawn when it holds the choice
    const auto widest = juce::roundToInt (juce::jmax (font.getStringWidthFloat ("One"), font.boldened().getStringWidthFloat ("More"),
                                                      font.getStringWidthFloat ("Five")));
    EXPECT_EQ (root.getBounds(), juce::Rectangle<int> (40, 30, widest + 12, 3 * 16 + 8));
    EXPECT_EQ (layer.getBounds(), desktop.getLocalBounds());

    EXPECT_EQ (root.getRowAt (2), -1);
    EXPECT_EQ (root.getRowAt (3), 0);
    EXPECT_EQ (root.getRowAt (18), 0);
    EXPECT_EQ (root.getRowAt (19), 1);
    EXPECT_EQ (root.getRowAt (51), -1);

    // Resting on "More" opens it beside the row once the delay has passed.
    root.mouseMove (at (root, 5, rowY (1)));
    EXPECT_EQ (root.getHoveredItem(), menu.getItem (1));
    EXPECT_TRUE (layer.isTimerRunning());
    EXPECT_EQ (layer.getNumWindows(), 1);
    layer.timerCallback();
    ASSERT_EQ (layer.getNumWindows(), 2);
    EXPECT_EQ (layer.getWindow (1)->getPosition(), juce::Point<int> (root.getRight() + 5, 30 + 16));

    // Over "One" and back to "More" within the delay: the sub-menu stays.
    root.mouseMove (at (root, 5, rowY (0)));
    root.mouseMove (at (root, 5, rowY (1)));
    EXPECT_FALSE (layer.isTimerRunning());
    EXPECT_EQ (layer.getNumWindows(), 2);

    // Resting on "One" closes it.
    root.mouseMove (at (root, 5, rowY (0)));
    layer.timerCallback();
    EXPECT_EQ (layer.getNumWindows(), 1);

    // A click opens a sub-menu at once; "Deeper" then opens a third level, and the
    // root's other sub-menu path closes back to the root.
    root.mouseDown (at (root, 5, rowY (1)));
    ASSERT_EQ (layer.getNumWindows(), 2);
    auto& more = *layer.getWindow (1);
    more.mouseDown (at (more, 5, rowY (2)));
    EXPECT_EQ (layer.getNumWindows(), 3);
    root.mouseMove (at (root, 5, rowY (2)));
    layer.timerCallback();
    EXPECT_EQ (layer.getNumWindows(), 1);

    // Not selectable: nothing. A click beside the windows closes the menu.
    root.mouseDown (at (root, 5, rowY (2)));
    EXPECT_TRUE (layer.isShownInLayer());
    layer.mouseDown (at (layer, 500, 350));
    EXPECT_FALSE (layer.isShownInLayer());
    EXPECT_EQ (layer.getNumWindows(), 0);

    PopupMenuEx empty;
    desktop.addAndMakeVisible (empty.getComponent());
    empty.getComponent().showMenuAt ({}, nullptr);
    EXPECT_EQ (empty.getComponent().getWindow (0)->getLocalBounds(), juce::Rectangle<int> (12, 8));
    desktop.setLookAndFeel (nullptr);
}

TEST (PopupMenuEx, ChoosingFromASubMenuClosesEverythingBeforeTheListenersHear)
{
    MenuDesktop desktop;
    ChoiceLog first ("first "), second ("second ");
    PopupMenuEx menu;
    fill (menu);
    menu.addListener (&first);
    menu.addListener (&second);
    menu.addListener (&second);
    menu.setItemTicked (3, true, true);
    desktop.addAndMakeVisible (menu.getComponent());
    menu.getComponent().showMenuAt ({ 10, 10 }, &desktop);

    auto& layer = menu.getComponent();
    layer.getWindow (0)->mouseDown (at (*layer.getWindow (0), 5, rowY (1)));
    juce::Component::SafePointer<PopupMenuEx::Window> more (layer.getWindow (1));
    more->mouseDown (at (*more, 5, rowY (1)));

    EXPECT_EQ (second.entries, juce::StringArray ("second chosen 3 ticked from root"));
    EXPECT_EQ (first.entries, juce::StringArray ("first chosen 3 ticked from root"));
    EXPECT_FALSE (layer.isShownInLayer());
    EXPECT_EQ (layer.getNumWindows(), 0);

    // The window that took the click is gone from the layer but lives until the click is over.
    ASSERT_NE (more.getComponent(), nullptr);
    EXPECT_EQ (more->getParentComponent(), nullptr);
    MessageLoop::runFor (20);
    EXPECT_EQ (more.getComponent(), nullptr);
}

TEST (ComboBoxEx, ShowsTheChoiceAndTellsOnlyOfChanges)
{
    MenuDesktop desktop;
    ChoiceLog log, earlier ("earlier ");
    auto box = std::make_unique<ComboBoxEx>();
    fill (box->getMenu());
    box->setBounds (20, 30, 150, 20);
    desktop.addAndMakeVisible (*box);
    box->addListener (&earlier);
    box->addListener (&log);

    // No item with the selected id: a placeholder in italics.
    box->update();
    EXPECT_EQ (box->getText(), "---");
    EXPECT_FALSE (box->isPlainText());
    box->setSelectedId (5);
    EXPECT_EQ (box->getText(), "Five");
    EXPECT_FALSE (box->isPlainText());       // not selectable
    box->setSelectedId (2);
    EXPECT_TRUE (box->isPlainText());
    EXPECT_TRUE (box->getMenu().findItem (2)->ticked);
    EXPECT_TRUE (log.entries.isEmpty());

    // The menu opens right under the box.
    Mouse::press (*box, { 5.0f, 5.0f });
    auto& layer = box->getMenu().getComponent();
    ASSERT_TRUE (layer.isShownInLayer());
    EXPECT_EQ (layer.getWindow (0)->getPosition(), juce::Point<int> (20, 50));

    // The same id again: nobody is told.
    box->popupMenuItemSelected (&box->getMenu(), 2, true);
    EXPECT_TRUE (log.entries.isEmpty());

    // Another id, chosen from a sub-menu; the first listener told deletes the box, and the
    // others are not told of a box that is gone.
    log.boxToDelete = std::move (box);
    auto& root = *layer.getWindow (0);
    root.mouseDown (at (root, 5, rowY (1)));
    auto& more = *layer.getWindow (1);
    more.mouseDown (at (more, 5, rowY (1)));
    EXPECT_EQ (log.entries, juce::StringArray ("changed 3"));
    EXPECT_TRUE (earlier.entries.isEmpty());
    EXPECT_EQ (log.boxToDelete, nullptr);
    EXPECT_EQ (desktop.getNumChildComponents(), 0);
    MessageLoop::runFor (20);
}
