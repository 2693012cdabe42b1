#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/OptionsWindow.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace InEditorWindowsTestsDetail
{
using namespace SkinTestSupport;

/** A window that counts the changes between shown and hidden. */
template <typename Base>
struct CountingWindow : public Base
{
    void shownStateChanged() override                   { ++changes; }
    int changes = 0;
};

/** A page of the options window. */
struct Page : public juce::Component
{
    void paint (juce::Graphics& g) override             { g.fillAll (juce::Colour (0xffe3e3e3)); }
};

struct TabLog : public TabbedComponentEx::Listener
{
    void tabChanged (TabbedComponentEx* t) override     { calls.add (t->getCurrentTabIndex()); }
    juce::Array<int> calls;
};

/** The number of pixels in the area of the picture darker than a grey level. */
int countDark (const juce::Image& picture, juce::Rectangle<int> area, float brightness)
{
    int n = 0;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if (picture.getPixelAt (x, y).getBrightness() < brightness)
                ++n;

    return n;
}
} // namespace InEditorWindowsTestsDetail

using namespace InEditorWindowsTestsDetail;

//==============================================================================
TEST (WindowComponent, ContentAreaAndContentSizeFollowTheFrame)
{
    WindowComponent window;
    window.setSize (400, 300);
    EXPECT_EQ (window.getContentArea(), juce::Rectangle<int> (8, 41, 384, 251)) << "border 3, padding 5, title bar 33";

    window.setContentSize (10, 10);
    EXPECT_EQ (window.getBounds().getWidth(), 250);
    EXPECT_EQ (window.getBounds().getHeight(), 120) << "never smaller than 250 x 120";

    window.setTopLeftPosition (7, 9);
    window.setContentSize (300, 200);
    EXPECT_EQ (window.getContentArea().getWidth(), 300);
    EXPECT_EQ (window.getContentArea().getHeight(), 200);
    EXPECT_EQ (window.getPosition(), juce::Point<int> (7, 9)) << "the position stays";

    window.setShadowEdge (WindowComponent::shadowLeft);
    window.setContentSize (300, 200);
    EXPECT_EQ (window.getContentArea(), juce::Rectangle<int> (18, 41, 300, 200)) << "a left shadow is as wide as its image";

    // Docked: no border, no title bar, square corners; with the top shadow of the docked panels.
    OptionsWindow options;
    options.setSize (500, 260);
    options.setDocked (true);
    options.setShadowEdge (WindowComponent::shadowTop);
    EXPECT_FALSE (options.isTitleBarVisible());
    EXPECT_FALSE (options.getCloseButton().isVisible());
    EXPECT_EQ (options.getCornerStyle(), 0);
    EXPECT_EQ (options.getContentArea(), juce::Rectangle<int> (5, 15, 490, 240));
    options.resized();
    EXPECT_EQ (options.getTabbedComponent().getBounds(), options.getContentArea());

    options.setDocked (false);
    EXPECT_TRUE (options.isTitleBarVisible() && options.isBordered() && options.getCornerStyle() == 1);
}

TEST (PseudoModalComponent, ShowsAndHidesInItsLayerUnderTheDesktop)
{
    TestDesktop desktop;
    juce::Component page;
    page.setBounds (50, 60, 200, 100);
    desktop.addAndMakeVisible (page);

    CountingWindow<PseudoModalComponent> window;
    window.setSize (200, 100);
    page.addChildComponent (window);

    window.show();
    auto& layer = window.getCoveringWindow();
    ASSERT_TRUE (window.isAttached());
    EXPECT_EQ (layer.getParentComponent(), &desktop);
    EXPECT_EQ (layer.getBounds(), desktop.getLocalBounds());
    EXPECT_TRUE (window.isShownInLayer());
    EXPECT_EQ (window.changes, 1);
    EXPECT_EQ (window.getPosition(), juce::Point<int> (100, 100)) << "centred";
    EXPECT_EQ (desktop.getIndexOfChildComponent (&layer), desktop.getNumChildComponents() - 1) << "in front";

    window.showAt (1, { 0, 0 }, nullptr);
    EXPECT_EQ (window.changes, 1) << "showing a shown window changes nothing";
    EXPECT_EQ (window.getPosition(), juce::Point<int> (100, 100));

    window.hide();
    EXPECT_FALSE (layer.isVisible());
    EXPECT_EQ (desktop.getIndexOfChildComponent (&layer), 0) << "behind everything";
    window.hide();
    EXPECT_EQ (window.changes, 2) << "hiding a hidden window tells nobody";

    // The point is given in the page's coordinates and lands at the same place in the layer.
    window.showAt (1, { 10, 20 }, &page);
    EXPECT_EQ (window.getPosition(), juce::Point<int> (60, 80));
    EXPECT_EQ (window.changes, 3);

    // A centred window stays centred when the editor is resized.
    window.hide();
    window.show();
    desktop.setSize (600, 500);
    EXPECT_EQ (layer.getBounds(), desktop.getLocalBounds());
    EXPECT_EQ (window.getPosition(), juce::Point<int> (200, 200));

    // Taken out of its layer by someone else, the window takes the empty layer with it.
    page.addChildComponent (window);
    EXPECT_EQ (layer.getParentComponent(), nullptr);
    EXPECT_FALSE (window.isAttached());
}

TEST (PseudoModalComponent, WithoutADesktopOnlyItsVisibilityChanges)
{
    juce::Component parent;
    CountingWindow<PseudoModalComponent> window;
    parent.addChildComponent (window);

    window.show();
    EXPECT_TRUE (window.isVisible());
    EXPECT_EQ (window.getParentComponent(), &parent);
    window.hide();
    EXPECT_FALSE (window.isVisible());
    EXPECT_EQ (window.changes, 0);
}

TEST (PseudoModalComponent, DeletingAWindowTakesItsLayerOutOfTheDesktop)
{
    TestDesktop desktop;

    for (auto shown : { true, false })
    {
        auto window = std::make_unique<WindowComponent>();
        window->setSize (300, 200);
        desktop.addChildComponent (*window);
        window->show();

        if (! shown)
            window->hide();

        ASSERT_EQ (desktop.getNumChildComponents(), 1);
        window.reset();
        EXPECT_EQ (desktop.getNumChildComponents(), 0) << (shown ? "shown" : "hidden");
    }
}

TEST (PseudoModalComponent, ADimmedWindowDarkensTheEditorAndAPlainOneDoesNot)
{
    DefaultLookAndFeel laf;
    TestDesktop desktop;
    desktop.setLookAndFeel (&laf);

    OptionsWindow options;        // dimmed
    WindowComponent plain;        // not dimmed
    options.setContentSize (200, 100);
    plain.setContentSize (200, 100);
    desktop.addChildComponent (options);
    desktop.addChildComponent (plain);

    const juce::Point<int> corner (3, 3);   // outside both windows
    EXPECT_EQ (snapshot (desktop).getPixelAt (corner.x, corner.y), juce::Colours::white);

    plain.show();
    EXPECT_EQ (snapshot (desktop).getPixelAt (corner.x, corner.y), juce::Colours::white) << "caught clicks, no dimming";
    plain.hide();

    options.show();
    const auto picture = snapshot (desktop);
    savePictureIfAsked (picture, "dimmed-options-window.png");
    EXPECT_NEAR (picture.getPixelAt (corner.x, corner.y).getRed(), 0.67 * 255, 2.0);
    EXPECT_EQ (picture.getPixelAt (options.getX() + options.getWidth() / 2, options.getY() + options.getHeight() - 4),
               juce::Colour (0xffc5c5c5)) << "the window itself is not dimmed";

    options.hide();
    EXPECT_EQ (snapshot (desktop).getPixelAt (corner.x, corner.y), juce::Colours::white);
    desktop.setLookAndFeel (nullptr);
}

TEST (WindowComponent, TheCloseButtonHidesTheWindowWhichShowsAgainUnchanged)
{
    DefaultLookAndFeel laf;
    TestDesktop desktop;
    WindowComponent window;
    juce::Label content ({}, "Kept");
    window.addAndMakeVisible (content);
    window.setContentSize (200, 100);
    window.setTitle ("Options");
    desktop.addChildComponent (window);
    desktop.setLookAndFeel (&laf);

    // The look-and-feel gives the close button the small close icon, at the top right.
    auto& close = window.getCloseButton();
    EXPECT_EQ (close.getName(), "CloseButton");
    EXPECT_EQ (close.getBounds(), juce::Rectangle<int> (window.getWidth() - 27 - 10, 8, 27, 27));

    window.show();
    Mouse::click (close);
    EXPECT_FALSE (window.isShownInLayer());

    window.show();
    EXPECT_TRUE (window.isShownInLayer());
    EXPECT_EQ (content.getText(), "Kept");
    EXPECT_EQ (content.getParentComponent(), &window);
    desktop.setLookAndFeel (nullptr);
}

TEST (OptionsWindow, APageAddedFirstIsShownAndBothTabsAreVisible)
{
    DefaultLookAndFeel laf;
    juce::LookAndFeel_V4 otherLook;
    TestDesktop desktop;
    desktop.setSize (520, 360);
    OptionsWindow options;
    desktop.addChildComponent (options);
    desktop.setLookAndFeel (&laf);

    auto& tabs = options.getTabbedComponent();
    TabLog log;
    tabs.addListener (&log);
    tabs.addListener (&log);
    tabs.addListener (nullptr);

    Page midi, presets;
    options.addPage (&midi, "Midi Control", -1);
    options.addPage (&presets, "Presets", 0);
    options.setContentSize (420, 220);
    options.setTitle ("Options");
    options.show();

    EXPECT_EQ (tabs.getCurrentTabIndex(), 0);
    EXPECT_EQ (tabs.getCurrentContentComponent(), &presets);
    EXPECT_TRUE (presets.isVisible());
    EXPECT_EQ (log.calls.getLast(), 0) << "listeners hear of the new first page";
    EXPECT_EQ (tabs.getTabBarDepth(), 23);
    EXPECT_EQ (presets.getBounds(), juce::Rectangle<int> (9, 23 + 8, tabs.getWidth() - 18, tabs.getHeight() - 23 - 17))
        << "pages are indented by 8 inside the panel's 1-pixel outline";

    const auto picture = snapshot (options);
    savePictureIfAsked (picture, "options-window-two-tabs.png");

    // Both names show as dark text on the lighter tab faces.
    auto& bar = tabs.getTabbedButtonBar();

    for (int i = 0; i < 2; ++i)
    {
        const auto tab = bar.getTabButton (i)->getBounds() + bar.getPosition() + tabs.getPosition();
        EXPECT_GT (countDark (picture, tab.reduced (10, 6), 0.4f), 10) << bar.getTabButton (i)->getButtonText();
    }

    // Moving to the other tab tells each listener once, with the tabbed component; a page
    // with a look of its own is given the panel's.
    midi.setLookAndFeel (&otherLook);
    log.calls.clear();
    tabs.setCurrentTabIndex (1);
    EXPECT_EQ (log.calls, juce::Array<int> ({ 1 }));
    EXPECT_EQ (&midi.getLookAndFeel(), &laf);
    tabs.removeListener (&log);
    midi.setLookAndFeel (nullptr);
    desktop.setLookAndFeel (nullptr);
}
