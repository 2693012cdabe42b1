#include "gui/controls/GFXAnimation.h"
#include "gui/controls/GFXPanel.h"
#include "unit/MessageLoop.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace AnimationAndPanelTestsDetail
{
using namespace SkinTestSupport;

/** A level meter as the product's skin has it: 12 frames of 34 by 89, placed at (7, 9). */
std::unique_ptr<GFXAnimation> makeMeter (SkinTestBench& bench, ScopedResources& resources)
{
    resources.add ("Meter.png", makeFilmstrip (34, 89, 12));
    auto meter = std::make_unique<GFXAnimation> ("Meter");
    bench.load (*meter, R"(
        <Animation name="Meter">
          <links><link as="connectedTo" param="Alpha"/></links>
          <gfx resource="Meter.png" framesNum="12"/><pos left="7" top="+9"/>
        </Animation>)");
    return meter;
}

/** The panel read from a skin element. */
std::unique_ptr<GFXPanel> loadPanel (SkinTestBench& bench, const juce::String& xml)
{
    auto panel = std::make_unique<GFXPanel>();
    bench.load (*panel, xml);
    return panel;
}

/** A panel's children by component name, in its child order. */
juce::StringArray childNames (juce::Component& parent)
{
    juce::StringArray names;

    for (auto* child : parent.getChildren())
        names.add (child->getName());

    return names;
}
} // namespace AnimationAndPanelTestsDetail

using namespace AnimationAndPanelTestsDetail;

//==============================================================================
TEST (GFXAnimation, ValueShowsTheNearestFrameAndRepaintsOnlyWhenItChanges)
{
    SkinTestBench bench;
    ScopedResources resources;
    auto meter = makeMeter (bench, resources);
    EXPECT_EQ (meter->getBounds(), juce::Rectangle<int> (7, 9, 34, 89));
    EXPECT_EQ (shownFrame (*meter), 0);

    RepaintCounter repaints (*meter);
    const std::pair<float, int> values[] = { { 0.5f, 6 }, { 1.0f, 11 }, { 7.0f, 11 }, { 0.04f, 0 }, { 0.05f, 1 },
                                             { -3.0f, 0 }, { 0.95f, 10 }, { 0.96f, 11 } };

    for (auto& [value, frame] : values)
    {
        meter->setValue (value);
        EXPECT_EQ (meter->getCurrentFrame(), frame) << value;
        EXPECT_EQ (shownFrame (*meter, { 33, 88 }), frame) << value;
    }

    repaints.take();
    meter->setValue (0.5f);
    meter->setValue (0.5f);
    meter->setValue (0.52f);
    EXPECT_EQ (repaints.take(), 1) << "the editor's refresh timer sets the same frame again and again";

    // The linked parameter drives it by its normalised value.
    bench["Alpha"].setNormalisedValue (1.0f, true);
    bench["Alpha"].handleUpdateNowIfNeeded();
    EXPECT_EQ (meter->getCurrentFrame(), 11);
}

TEST (GFXAnimation, NaNValueShowsFrameZero)
{
    SkinTestBench bench;
    ScopedResources resources;
    auto meter = makeMeter (bench, resources);
    meter->setValue (0.7f);
    meter->setValue (std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ (meter->getCurrentFrame(), 0);
    EXPECT_EQ (shownFrame (*meter), 0);
}

TEST (GFXAnimation, HeldFrameReturnsToTheRestFrameAtTheTick)
{
    GFXAnimation led ("Led");
    led.setImage (makeFilmstrip (34, 13, 2), 2);
    RepaintCounter repaints (led);

    led.showFrame (1, 175);
    EXPECT_EQ (shownFrame (led), 1);
    EXPECT_TRUE (led.isTimerRunning());
    led.showFrame (1, 175);
    EXPECT_EQ (repaints.take(), 1) << "a light held again is not repainted";

    led.timerCallback();
    EXPECT_EQ (shownFrame (led), 0);
    EXPECT_FALSE (led.isTimerRunning()) << "the timer runs until its first tick only";
    led.timerCallback();
    EXPECT_EQ (repaints.take(), 1);

    // A value set during the hold is replaced by the rest frame at the tick.
    GFXAnimation meter;
    meter.setImage (makeFilmstrip (4, 4, 12), 12);
    meter.showFrame (3, 175);
    meter.setValue (1.0f);
    EXPECT_EQ (meter.getCurrentFrame(), 11);
    meter.timerCallback();
    EXPECT_EQ (meter.getCurrentFrame(), 0);
}

TEST (GFXAnimation, BlinkOnPhaseShowsFrameZero)
{
    GFXAnimation led;
    led.setImage (makeFilmstrip (6, 6, 4), 4);
    led.setCurrentFrame (3);
    led.startBlinking (5);
    EXPECT_EQ (shownFrame (led), 3) << "blinking starts in the off phase";

    while (! led.getBlinkFlag())
        MessageLoop::runFor (2);

    EXPECT_EQ (shownFrame (led), 0);
    led.stopBlinking();
    EXPECT_EQ (shownFrame (led), 3);
}

TEST (GFXAnimation, FallbackIsABoxWithADotThatGrowsWithTheFrameAndNoDotForOneFrame)
{
    SkinTestBench bench;
    GFXAnimation twelve, single;
    bench.load (twelve, R"(<Animation><gfx resource="Missing.png" framesNum="12"/><size width="34" height="40"/></Animation>)");
    bench.load (single, R"(<Animation><size width="34" height="40"/></Animation>)");
    ASSERT_EQ (twelve.getBounds(), juce::Rectangle<int> (34, 40));

    // The box is 16 by 16 at ((34 - 16) / 2, (40 - 16) / 2) = (9, 12), its centre at (17, 20).
    const auto grey = juce::Colour (0xffe5e5e5), black = juce::Colour (0xff000000);
    const auto outside = juce::Colour (0x00000000);
    const auto at = [] (GFXAnimation& a, int x, int y) { return snapshot (a).getPixelAt (x, y); };

    EXPECT_EQ (at (twelve, 8, 20), outside);
    EXPECT_EQ (at (twelve, 9, 12), black) << "the outline";
    EXPECT_EQ (at (twelve, 24, 27), black);
    EXPECT_EQ (at (twelve, 10, 13), grey);
    EXPECT_EQ (at (twelve, 17, 20), grey) << "frame 0: no dot";

    twelve.setCurrentFrame (11);
    EXPECT_EQ (at (twelve, 17, 20), black);
    EXPECT_EQ (at (twelve, 20, 19), black) << "a dot of 10 pixels";
    EXPECT_EQ (at (twelve, 13, 20), black);
    EXPECT_EQ (at (twelve, 23, 20), grey);

    for (int frame : { 0, 1 })
    {
        single.setCurrentFrame (frame);
        const auto picture = snapshot (single);

        for (int x = 10; x < 24; ++x)
            for (int y = 13; y < 27; ++y)
                ASSERT_EQ (picture.getPixelAt (x, y), grey) << "one frame: no dot, frame " << frame << " at " << x << "," << y;
    }
}

//==============================================================================
TEST (GFXPanel, ReadsItsControlsThroughTheFactoryMovedByTheOffset)
{
    SkinTestBench bench;
    ScopedResources resources;
    resources.add ("Back.png", makeFilmstrip (200, 100, 1));
    resources.add ("Led.png", makeFilmstrip (10, 8, 2));

    auto panel = loadPanel (bench, R"(
        <Panel name="Outer">
          <gfx resource="Back.png" transparent="yes"/>
          <pos left="+3" top="4"/>
          <controls ofsX="+10" ofsY="-2">
            <Animation name="A"><gfx resource="Led.png" framesNum="2"/><pos left="5" top="6"/></Animation>
            <Unknown name="U"><pos left="1" top="1"/></Unknown>
            <animation name="lower"/>
            <Panel name="Inner">
              <size width="50" height="30"/><pos left="20" top="30"/>
              <controls ofsY="1">
                <Animation name="C">
                  <links><link as="connectedTo" param="Alpha"/></links>
                  <gfx resource="Led.png" framesNum="2"/><pos left="2"/>
                </Animation>
              </controls>
            </Panel>
            <Animation name="B"><gfx resource="Led.png" framesNum="2"/></Animation>
          </controls>
        </Panel>)");

    EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (3, 4, 200, 100));
    EXPECT_TRUE (panel->isTransparent());
    EXPECT_EQ (childNames (*panel), juce::StringArray ("A", "Inner", "B")) << "unknown tags skipped, the last on top";
    ASSERT_EQ (panel->getChildControllers().size(), 3);

    bool takesClicks = true, childrenTakeClicks = false;
    panel->getInterceptsMouseClicks (takesClicks, childrenTakeClicks);
    EXPECT_FALSE (takesClicks);
    EXPECT_TRUE (childrenTakeClicks);

    auto* a = panel->getChildComponent (0);
    auto* inner = dynamic_cast<GFXPanel*> (panel->getChildComponent (1));
    ASSERT_NE (inner, nullptr);
    EXPECT_EQ (a->getBounds(), juce::Rectangle<int> (15, 4, 10, 8));
    EXPECT_EQ (inner->getBounds(), juce::Rectangle<int> (30, 28, 50, 30));
    EXPECT_EQ (panel->getChildComponent (2)->getBounds(), juce::Rectangle<int> (10, -2, 10, 8));
    EXPECT_FALSE (inner->isTransparent());

    auto* c = dynamic_cast<GFXAnimation*> (inner->getChildComponent (0));
    ASSERT_NE (c, nullptr);
    EXPECT_TRUE (c->isVisible());
    EXPECT_EQ (c->getBounds(), juce::Rectangle<int> (2, 1, 10, 8)) << "only the inner list's offset";

    // A child reads its links against the plug-in's parameters like a top-level control.
    bench["Alpha"].setNormalisedValue (1.0f, true);
    bench["Alpha"].handleUpdateNowIfNeeded();
    EXPECT_EQ (c->getCurrentFrame(), 1);

    // "transparent" belongs to "gfx" and follows the XML reading of booleans.
    for (auto [xml, expected] : { std::pair<const char*, bool> { R"(<Panel transparent="yes"/>)", false },
                                  { R"(<Panel><gfx transparent="true"/></Panel>)", true },
                                  { R"(<Panel><gfx transparent="1"/></Panel>)", true },
                                  { R"(<Panel><gfx transparent="no"/></Panel>)", false },
                                  { R"(<Panel><gfx/></Panel>)", false } })
        EXPECT_EQ (loadPanel (bench, xml)->isTransparent(), expected) << xml;
}

TEST (GFXPanel, ListenersAddedToAPanelReachTheControlsOfNestedPanels)
{
    SkinTestBench bench;
    auto outer = loadPanel (bench, R"(
        <Panel><controls>
          <Animation name="A"/>
          <Panel name="Inner"><controls><Animation name="C"/></controls></Panel>
        </controls></Panel>)");

    EventLog log;
    outer->addListener (&log);
    outer->addListener (&log);

    auto* inner = dynamic_cast<GFXPanel*> (outer->getChildComponent (1));
    ASSERT_NE (inner, nullptr);
    ASSERT_EQ (inner->getChildControllers().size(), 1);

    inner->getChildControllers()[0]->notifyEvent (PluginCommand::about);
    outer->getChildControllers()[0]->notifyEvent (PluginCommand::savePreset);
    inner->notifyEvent (7);
    outer->notifyEvent (8);
    EXPECT_EQ (log.take(), (std::vector<std::string> { "event 1001", "event 1005", "event 7", "event 8" }))
        << "each reached once";
}

TEST (GFXPanel, PaintsFrameZeroOfItsImageBehindItsChildrenOrNothingWhenTransparent)
{
    SkinTestBench bench;
    ScopedResources resources;
    resources.add ("Back.png", makeFilmstrip (40, 30, 3));
    resources.add ("Led.png", makeFilmstrip (10, 10, 12));

    const juce::String controls = R"(<controls><Animation><gfx resource="Led.png" framesNum="12"/></Animation></controls>)";
    auto opaque = loadPanel (bench, R"(<Panel><gfx resource="Back.png" framesNum="3"/>)" + controls + "</Panel>");
    auto transparent = loadPanel (bench, R"(<Panel><gfx resource="Back.png" framesNum="3" transparent="yes"/>)" + controls + "</Panel>");
    auto plain = loadPanel (bench, R"(<Panel><size width="20" height="20"/></Panel>)");

    ASSERT_EQ (opaque->getBounds(), juce::Rectangle<int> (40, 30));
    dynamic_cast<GFXAnimation&> (*opaque->getChildComponent (0)).setValue (1.0f);
    EXPECT_EQ (shownFrame (*opaque, { 39, 29 }), 0) << "the first frame as background";
    EXPECT_EQ (shownFrame (*opaque, { 5, 5 }), 11) << "the child on top";

    EXPECT_TRUE (snapshot (*transparent).getPixelAt (39, 29).isTransparent());
    EXPECT_EQ (shownFrame (*transparent, { 5, 5 }), 0) << "its children still paint";

    EXPECT_EQ (snapshot (*plain).getPixelAt (10, 10), juce::Colour (0xffe5e5e5));
}
