#include "framework/FloatParameter.h"
#include "gui/controls/BaseGFXController.h"
#include "gui/controls/SkinControlFactory.h"
#include "gui/controls/SkinXml.h"
#include "unit/MessageLoop.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace SkinControlBaseTestsDetail
{
using namespace SkinTestSupport;

/** A bitmap control that shows one chosen frame and records what the base tells it. */
struct TestControl : public BaseGFXController,
                     public juce::Component
{
    void addAction (const juce::String& type, int eventId, const juce::String& eventName) override
    {
        actions.add (type + " " + juce::String (eventId) + " " + eventName);
    }

    void updateFromParameter (Parameter* p) override    { updates.add (p->getName()); }
    void frameSizeChanged() override                    { ++frameSizeChanges; setSize (getFrameWidth(), getFrameHeight()); }
    void positionChanged() override                     { ++positionChanges; }
    void blinkStateChanged() override                   { blinkStates.add (isInBlinkOnPhase()); }
    void paint (juce::Graphics& g) override             { drawFrame (g, frameToShow); }

    juce::StringArray actions, updates;
    juce::Array<bool> blinkStates;
    int frameSizeChanges = 0, positionChanges = 0, frameToShow = 0;
};

/** Delivers a parameter's pending message-thread notification now. */
void deliver (Parameter& p)
{
    p.notifyListeners();
    p.handleUpdateNowIfNeeded();
}
} // namespace SkinControlBaseTestsDetail

using namespace SkinControlBaseTestsDetail;

//==============================================================================
TEST (SkinXml, IntegersAndColoursFollowTheSkinRule)
{
    const std::pair<const char*, int> integers[] = {
        { "+20", 20 }, { "  15", 15 }, { "-7px", -7 }, { "\t+3.9", 3 }, { "", 0 }, { "px", 0 }, { "+", 0 }, { "- 4", 0 }
    };

    for (auto& [text, expected] : integers)
        EXPECT_EQ (SkinXml::parseInt (text), expected) << text;

    const auto element = juce::parseXML (R"(<e a="+12" empty=""/>)");
    EXPECT_EQ (SkinXml::getInt (*element, "a", 5), 12);
    EXPECT_EQ (SkinXml::getInt (*element, "empty", 5), 0) << "present but without digits";
    EXPECT_EQ (SkinXml::getInt (*element, "missing", 5), 5);

    const std::pair<const char*, juce::uint32> colours[] = {
        { "FFBEF6FF", 0xffbef6ffu }, { "ff232224", 0xff232224u }, { "0", 0u }, { "", 0u }, { " #80FF0000", 0x80ff0000u },
        { "0x11223344", 0x11223344u }, { "ff00ff00 zz", 0xff00ff00u }, { "123456789", 0x23456789u }, { "xyz", 0u }
    };

    for (auto& [text, expected] : colours)
        EXPECT_EQ (SkinXml::parseColour (text).getARGB(), expected) << text;

    EXPECT_EQ (SkinXml::getColour (*element, "missing", juce::Colours::red), juce::Colours::red);
}

//==============================================================================
TEST (GUIController, LinksTheLastConnectedLinkToAKnownParameterOnly)
{
    SkinTestBench bench;
    TestControl control;
    bench.load (control, R"(
        <Knob name="K">
          <links>
            <link as="connectedTo" param="Alpha"/>
            <link as="connectedTo" param="Beta"/>
            <link as="connected" param="Gamma"/>
            <link as="connectedTo" param="No such parameter"/>
            <notALink as="connectedTo" param="Gamma"/>
          </links>
          <links><link as="connectedTo" param="Gamma"/></links>
        </Knob>)");

    EXPECT_EQ (control.getLinkedParameter(), &bench["Beta"]);
    EXPECT_TRUE (control.updates.isEmpty()) << "reading the skin copies no value";

    deliver (bench["Alpha"]);
    deliver (bench["Gamma"]);
    EXPECT_TRUE (control.updates.isEmpty()) << "only the linked parameter is followed";

    deliver (bench["Beta"]);
    EXPECT_EQ (control.updates, juce::StringArray ("Beta"));

    // Binding from code moves the control to the new parameter's listeners.
    control.setLinkedParameter (&bench["Alpha"]);
    deliver (bench["Beta"]);
    deliver (bench["Alpha"]);
    EXPECT_EQ (control.updates, juce::StringArray ("Beta", "Alpha"));

    control.setLinkedParameter (nullptr);
    deliver (bench["Alpha"]);
    EXPECT_EQ (control.updates.size(), 2);
}

TEST (GUIController, DestroyedControlLeavesItsParameter)
{
    SkinTestBench bench;
    auto control = std::make_unique<TestControl>();
    control->setLinkedParameter (&bench["Alpha"]);
    bench["Alpha"].setNormalisedValue (0.5f, true);   // an update is pending for the control
    control.reset();

    bench["Alpha"].handleUpdateNowIfNeeded();         // must not reach the deleted control
    SUCCEED();
}

TEST (GUIController, ActionsNeedATypeAndAKnownEvent)
{
    SkinTestBench bench;
    TestControl control;
    bench.load (control, R"(
        <Button>
          <actions>
            <action type="onClick" event="Save preset"/>
            <action type="onClickWithCtrl" event="Toggle Midi Learn"/>
            <action type="" event="About"/>
            <action event="About"/>
            <action type="onClick" event="No such event"/>
            <action type="onClick" event="save preset"/>
            <notAnAction type="onClick" event="About"/>
          </actions>
        </Button>)");

    EXPECT_EQ (control.actions, juce::StringArray ("onClick 1005 Save preset", "onClickWithCtrl 1010 Toggle midi learn"));
    EXPECT_EQ (control.getLinkedParameter(), nullptr);
}

TEST (GUIController, GestureAndValueReachTheParameterThenTheListeners)
{
    SkinTestBench bench;
    TestControl control;
    EventLog unlinkedLog;
    unlinkedLog.watch (control);
    control.beginGesture();
    control.writeNormalisedValue (0.5f);
    control.endGesture();
    EXPECT_TRUE (unlinkedLog.entries.empty()) << "an unlinked control sends nothing";
    control.removeListener (&unlinkedLog);

    control.setLinkedParameter (&bench["Alpha"]);
    EventLog log;
    log.watch (control);
    control.beginGesture();
    control.writeNormalisedValue (0.25f);
    control.writeNormalisedValue (0.75f);
    control.endGesture();

    const std::vector<std::string> expected { "param begin", "control begin",
                                              "param change", "control value", "param change", "control value",
                                              "param end", "control end" };
    EXPECT_EQ (log.take(), expected);
    EXPECT_EQ (log.values, (std::vector<float> { 0.25f, 0.75f }));
    EXPECT_FLOAT_EQ (bench["Alpha"].getNormalisedValue(), 0.75f);

    control.notifyEvent (PluginCommand::about);
    EXPECT_EQ (log.take(), (std::vector<std::string> { "event 1001" }));
}

//==============================================================================
TEST (BaseGFXController, FilmstripFramesFromGfxAndSizeOnlyWithoutAnImage)
{
    ScopedResources resources;
    resources.add ("Strip40.png", makeFilmstrip (6, 10, 4));
    resources.add ("Broken.png", juce::String ("not a picture"));
    SkinTestBench bench;

    const auto load = [&] (const juce::String& children)
    {
        auto control = std::make_unique<TestControl>();
        bench.load (*control, "<Animation>" + children + "</Animation>");
        return control;
    };

    auto four = load (R"(<gfx resource="strip40.PNG" framesNum="+4"/><size width="99" height="99"/>)");
    EXPECT_EQ (four->getFramesNum(), 4);
    EXPECT_EQ (four->getFrameWidth(), 6);
    EXPECT_EQ (four->getFrameHeight(), 10) << "the image decides the size";
    EXPECT_EQ (four->frameSizeChanges, 1);

    auto whole = load (R"(<gfx resource="Strip40.png"/>)");
    EXPECT_EQ (whole->getFramesNum(), 1);
    EXPECT_EQ (whole->getFrameHeight(), 40);

    auto missing = load (R"(<gfx resource="Missing.png" framesNum="4"/><size width=" 37" height="+35"/>)");
    EXPECT_FALSE (missing->hasImage());
    EXPECT_EQ (missing->getFramesNum(), 4);
    EXPECT_EQ (juce::Point<int> (missing->getFrameWidth(), missing->getFrameHeight()), juce::Point<int> (37, 35));

    auto broken = load (R"(<gfx resource="Broken.png"/><size width="12"/>)");
    EXPECT_FALSE (broken->hasImage()) << "an undecodable image is no image";
    EXPECT_EQ (juce::Point<int> (broken->getFrameWidth(), broken->getFrameHeight()), juce::Point<int> (12, 0));

    auto negative = load (R"(<size width="-5" height="8"/>)");
    EXPECT_EQ (negative->getFrameWidth(), 0) << "a size is never negative";

    auto bare = load ("");
    EXPECT_EQ (bare->getFramesNum(), 1);
    EXPECT_EQ (bare->frameSizeChanges, 0);
}

TEST (BaseGFXController, PositionComesFromPosAndStaysWithoutIt)
{
    SkinTestBench bench;
    TestControl placed, unplaced, same;
    bench.load (placed, R"(<Knob><pos left="+20" top=" 15px"/></Knob>)");
    bench.load (unplaced, R"(<Knob/>)");
    bench.load (same, R"(<Knob><pos/></Knob>)");

    EXPECT_EQ (placed.getSkinPosition(), juce::Point<int> (20, 15));
    EXPECT_EQ (placed.positionChanges, 1);
    EXPECT_EQ (unplaced.getSkinPosition(), juce::Point<int>());
    EXPECT_EQ (same.positionChanges, 0) << "an unchanged position is not announced";
}

TEST (BaseGFXController, FrameCountBelowOneIsOneAndShortStripsDrawNothing)
{
    ScopedResources resources;
    resources.add ("Strip.png", makeFilmstrip (8, 10, 4));
    SkinTestBench bench;

    for (auto* frames : { "0", "-3", "x" })
    {
        TestControl control;
        bench.load (control, juce::String (R"(<Knob><gfx resource="Strip.png" framesNum=")") + frames + "\"/></Knob>");
        EXPECT_EQ (control.getFramesNum(), 1) << frames;
        EXPECT_EQ (control.getFrameHeight(), 40) << frames;
        EXPECT_EQ (shownFrame (control), 0) << frames;
    }

    // 41 frames in 40 rows: frames of height 0, nothing to draw.
    TestControl shortStrip;
    shortStrip.setImage (makeFilmstrip (8, 10, 4), 41);
    shortStrip.setSize (8, 10);
    EXPECT_EQ (shortStrip.getFrameHeight(), 0);
    EXPECT_TRUE (snapshot (shortStrip).getPixelAt (0, 0).isTransparent());

    // Frames are cut from the top; one outside 0..framesNum-1 draws nothing.
    TestControl control;
    control.setImage (makeFilmstrip (8, 10, 4), 4);
    EXPECT_EQ (control.getBounds().getHeight(), 10);

    for (int frame : { 0, 1, 3 })
    {
        control.frameToShow = frame;
        EXPECT_EQ (shownFrame (control, { 7, 9 }), frame);
    }

    control.frameToShow = 4;
    EXPECT_TRUE (snapshot (control).getPixelAt (0, 0).isTransparent());
    control.setImage ({}, 4);
    EXPECT_EQ (juce::Point<int> (control.getFrameWidth(), control.getFrameHeight()), juce::Point<int>());
}

//==============================================================================
TEST (BlinkingComponent, StartsFromTheClearedFlagAndStopsOnlyWhenBlinking)
{
    TestControl control;
    control.stopBlinking();
    EXPECT_TRUE (control.blinkStates.isEmpty()) << "stopping a control that does not blink says nothing";
    EXPECT_EQ (control.getBlinkPeriod(), 150);

    control.startBlinking (5);
    EXPECT_TRUE (control.isBlinking());
    EXPECT_EQ (control.blinkStates, juce::Array<bool> (false));

    MessageLoop::runFor (60);
    ASSERT_GE (control.blinkStates.size(), 3);
    EXPECT_TRUE (control.blinkStates[1]);
    EXPECT_FALSE (control.blinkStates[2]);

    // Restarting in the "on" phase starts from the cleared flag again.
    while (! control.getBlinkFlag())
        MessageLoop::runFor (2);

    control.blinkStates.clear();
    control.startBlinking (1000);
    EXPECT_FALSE (control.getBlinkFlag());
    EXPECT_EQ (control.blinkStates, juce::Array<bool> (false));

    control.stopBlinking();
    EXPECT_FALSE (control.isBlinking());
    EXPECT_EQ (control.blinkStates.size(), 2);
}

//==============================================================================
TEST (SkinControlFactory, UnknownTagsAndLowerCaseMakeNothing)
{
    SkinTestBench bench;

    for (auto* tag : { "Nothing", "knob", "", "controls" })
    {
        EXPECT_FALSE (SkinControlFactory::canCreate (tag)) << tag;
        EXPECT_FALSE (SkinControlFactory::create (tag, "x")) << tag;
    }

    const auto element = juce::parseXML ("<Unknown name=\"U\"/>");
    EXPECT_FALSE (SkinControlFactory::createFromXml (*element, bench.parameters, bench.events, nullptr));
}
