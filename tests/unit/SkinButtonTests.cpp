#include "gui/controls/GFXButton.h"
#include "gui/controls/GFXMultiStateButton.h"
#include "gui/controls/GFXRocker.h"
#include "gui/controls/GFXToggleButton.h"
#include "gui/controls/GFXToggleButtonDragGroup.h"
#include "gui/controls/SkinControlFactory.h"
#include "unit/MessageLoop.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <optional>

namespace SkinButtonTestsDetail
{
using namespace SkinTestSupport;
using Entries = std::vector<std::string>;

const juce::ModifierKeys ctrl (juce::ModifierKeys::ctrlModifier);

/** Presses and releases the left button at a point of the component (its centre by default). */
void click (juce::Component& c, juce::ModifierKeys mods = {}, std::optional<juce::Point<float>> at = {})
{
    const auto where = at.value_or (c.getLocalBounds().getCentre().toFloat());
    Mouse::press (c, where, mods);
    Mouse::release (c, where, where, mods);
}

/** The frame the component shows while the left button is held down on it (then released). */
int shownFrameWhilePressed (juce::Component& c)
{
    Mouse::press (c, {});
    const auto frame = shownFrame (c);
    Mouse::release (c, {}, {});
    return frame;
}

/** Runs the message loop until a blinking control is in its "on" phase. */
void waitForBlinkOnPhase (BlinkingComponent& control)
{
    for (int i = 0; i < 500 && ! control.isInBlinkOnPhase(); ++i)
        MessageLoop::runFor (2);
}

juce::String linkTo (const juce::String& parameter)
{
    return "<links><link as=\"connectedTo\" param=\"" + parameter + "\"/></links>";
}

/** One plug-in's editor: a top-level component with toggle buttons 40 pixels apart, each
    linked to the parameter of its name and a member of the drag group "Row". */
struct ToggleRow
{
    explicit ToggleRow (const juce::StringArray& parameters)
    {
        for (auto& name : parameters)
        {
            auto* button = buttons.add (std::make_unique<GFXToggleButton> (name));
            bench.load (*button, "<ToggleButton clickEvent=\"onPress\" dragGroup=\"Row\">" + linkTo (name)
                                     + "<size width=\"37\" height=\"40\"/></ToggleButton>");
            button->setTopLeftPosition (40 * buttons.indexOf (button), 0);
            editor.addAndMakeVisible (button);
        }
    }

    /** Presses the first button at x 10 and drags to x (editor coordinates). */
    void pressFirstAndDragTo (int x)
    {
        Mouse::press (*buttons[0], { 10.0f, 10.0f });
        Mouse::drag (*buttons[0], { 10.0f, 10.0f }, { (float) x, 10.0f });
        Mouse::release (*buttons[0], { 10.0f, 10.0f }, { (float) x, 10.0f });
    }

    SkinTestBench bench;
    juce::Component editor;
    juce::OwnedArray<GFXToggleButton> buttons;
};
} // namespace SkinButtonTestsDetail

using namespace SkinButtonTestsDetail;

//==============================================================================
TEST (GFXButton, ClicksAndCtrlClicksFireTheirEventsAndTheTooltipNamesThem)
{
    ScopedResources resources;
    resources.add ("OptionsButton.png", makeFilmstrip (38, 43, 2));
    SkinTestBench bench;
    GFXButton both ("OptionsButton"), ctrlOnly ({}), onPress ({});
    bench.load (both, R"(<Button><actions><action type="onClick" event="Options"/><action type="onClickWithCtrl" event="About"/>
                         </actions><gfx resource="OptionsButton.png" framesNum="2"/><pos left="+78" top="14"/></Button>)");
    bench.load (ctrlOnly, R"(<Button autorepeat="yes"><actions><action type="onClickWithCtrl" event="About"/></actions></Button>)");
    bench.load (onPress, R"(<Button clickEvent="onPress"><actions><action type="onClick" event="Browse presets"/></actions></Button>)");
    EXPECT_EQ (both.getBounds(), juce::Rectangle<int> (78, 14, 38, 43));
    EXPECT_EQ (ctrlOnly.getBounds(), juce::Rectangle<int>()) << "the skin's frame size replaces the default size";

    EventLog log;
    for (auto* button : { &both, &ctrlOnly, &onPress })
    {
        button->setVisible (true);
        log.watch (*button);
        click (*button);
        click (*button, ctrl);
        Mouse::press (*button, {});
        log.entries.push_back ("pressed");
        Mouse::release (*button, {}, {});
    }

    // On the release, after "pressed"; with "onPress" on the press, before it.
    EXPECT_EQ (log.take(), (Entries { "event 1000", "event 1001", "pressed", "event 1000",
                                      "event 1001", "pressed",
                                      "event 1004", "event 1004", "pressed" }));

    // The tooltip follows Ctrl, but only to an event that Ctrl would fire.
    both.mouseEnter (Mouse::event (both, {}, {}, {}, false));
    EXPECT_EQ (both.getTooltip(), "Options");
    both.modifierKeysChanged (ctrl);
    EXPECT_EQ (both.getTooltip(), "About");
    ctrlOnly.mouseEnter (Mouse::event (ctrlOnly, {}, {}, {}, false));
    EXPECT_EQ (ctrlOnly.getTooltip(), "");
    onPress.mouseEnter (Mouse::event (onPress, {}, {}, ctrl, false));
    EXPECT_EQ (onPress.getTooltip(), "Browse presets");

    // "autorepeat" and "clickEvent": known values only, and only on a "Button" element.
    EXPECT_TRUE (ctrlOnly.isAutoRepeating());
    bench.load (ctrlOnly, R"(<Button autorepeat="Yes" clickEvent="press"/>)");
    bench.load (ctrlOnly, R"(<TextButton autorepeat="no" clickEvent="onPress"/>)");
    EXPECT_TRUE (ctrlOnly.isAutoRepeating());
    EXPECT_FALSE (ctrlOnly.getTriggeredOnMouseDown());
    bench.load (ctrlOnly, R"(<Button/>)");
    EXPECT_FALSE (ctrlOnly.isAutoRepeating());

    // Frames: 1 while held down.
    EXPECT_EQ (shownFrame (both), 0);
    EXPECT_EQ (shownFrameWhilePressed (both), 1);
}

TEST (GFXButton, WithoutAnImageItIsAPlainBoxSizedToItsName)
{
    GFXButton unnamed ({}), plain ("Store");
    EXPECT_EQ (unnamed.getBounds(), juce::Rectangle<int> (18, 18));
    EXPECT_EQ (plain.getHeight(), 18);

    plain.setSize (60, 20);
    plain.setVisible (true);
    const auto released = snapshot (plain);
    Mouse::press (plain, {});
    const auto pressed = snapshot (plain);
    Mouse::release (plain, {}, {});
    savePictureIfAsked (released, "GFXButton-fallback.png");
    savePictureIfAsked (pressed, "GFXButton-fallback-pressed.png");

    EXPECT_EQ (released.getPixelAt (0, 0).getARGB(), 0xff000000u);
    EXPECT_EQ (released.getPixelAt (2, 2).getARGB(), 0xffe5e5e5u);
    EXPECT_EQ (pressed.getPixelAt (2, 2).getARGB(), 0xff666666u);
}

//==============================================================================
TEST (GFXToggleButton, AClickWritesTheBoolParameterAndAnOutsideChangeMovesItWithoutWritingBack)
{
    SkinTestBench bench;
    GFXToggleButton toggle ("PowerButton"), linkFreq ("LeftAALPFButton");
    bench.load (toggle, "<ToggleButton>" + linkTo ("Power") + "</ToggleButton>");
    bench.load (linkFreq, "<ToggleButton>" + linkTo ("Alpha") + "</ToggleButton>");
    toggle.setVisible (true);
    linkFreq.setVisible (true);
    EventLog log;
    log.watch (toggle);

    click (toggle);
    EXPECT_TRUE (bench["Power"].getBoolValue());
    click (toggle);
    EXPECT_FALSE (bench["Power"].getBoolValue());
    EXPECT_EQ (log.take(), (Entries { "param change", "control value", "param change", "control value" }));

    bench["Power"].setBoolValue (true, true);
    bench["Power"].handleUpdateNowIfNeeded();
    EXPECT_TRUE (toggle.getToggleState());
    EXPECT_EQ (log.take(), (Entries { "param change" })) << "only the outside write itself";

    // The product links its toggles to float parameters: on and off are their two ends.
    click (linkFreq);
    EXPECT_EQ (bench["Alpha"].getNormalisedValue(), 1.0f);
}

TEST (GFXToggleButton, FramesFollowTheStyleAndTheState)
{
    ScopedResources resources;
    resources.add ("LinkParamsButton.png", makeFilmstrip (37, 42, 4));
    resources.add ("Two.png", makeFilmstrip (37, 39, 2));
    SkinTestBench bench;
    juce::Component panel;
    GFXToggleButton threeD ("LinkParamsButton"), twoD ("Two");
    bench.load (threeD, R"(<ToggleButton style="3D"><gfx resource="LinkParamsButton.png" framesNum="61"/>
                             <size width="5" height="5"/><pos left="499" top="147"/></ToggleButton>)");
    bench.load (twoD, R"(<ToggleButton style="2d"><gfx resource="Two.png" framesNum="4"/></ToggleButton>)");
    EXPECT_EQ (threeD.getBounds(), juce::Rectangle<int> (499, 147, 37, 42)) << "4 frames, whatever framesNum says";
    EXPECT_EQ (twoD.getFrameHeight(), 39) << "an unknown style keeps 2D";
    panel.addAndMakeVisible (threeD);
    panel.addAndMakeVisible (twoD);

    EXPECT_EQ (shownFrameWhilePressed (threeD), 0) << "off and held down still shows frame 0";
    EXPECT_EQ (shownFrame (threeD), 2) << "switched on by the release";
    savePictureIfAsked (snapshot (threeD), "GFXToggleButton-3D-on.png");
    EXPECT_EQ (shownFrameWhilePressed (threeD), 3);
    threeD.setToggleState (true, juce::dontSendNotification);

    twoD.setToggleState (true, juce::dontSendNotification);
    EXPECT_EQ (shownFrameWhilePressed (twoD), 1) << "no pressed frame in 2D";
    EXPECT_EQ (shownFrame (twoD), 0);

    panel.setEnabled (false);
    EXPECT_EQ (shownFrame (threeD), 0) << "disabled through its parent";
    panel.setEnabled (true);
    threeD.startBlinking (5);
    waitForBlinkOnPhase (threeD);
    EXPECT_EQ (shownFrame (threeD), 0) << "blink on-phase";
    threeD.stopBlinking();
    EXPECT_EQ (shownFrame (threeD), 2);
}

TEST (GFXToggleButton, FallbackSquareIsFilledWhenOnAndNeverNegative)
{
    SkinTestBench bench;
    GFXToggleButton cell ("Power");
    cell.setLinkedParameter (&bench["Power"]);
    cell.setBounds (0, 0, 50, 80);      // a cell of the generic editor
    const auto off = snapshot (cell);
    cell.setToggleState (true, juce::dontSendNotification);
    const auto on = snapshot (cell);
    savePictureIfAsked (off, "GFXToggleButton-fallback-off.png");
    savePictureIfAsked (on, "GFXToggleButton-fallback-on.png");

    EXPECT_EQ (GFXToggleButton::getFallbackSquare (50, 80), juce::Rectangle<int> (7, 22, 36, 36));
    EXPECT_EQ (off.getPixelAt (0, 40).getARGB(), 0xffb2b2b2u);
    EXPECT_EQ (off.getPixelAt (7, 40).getARGB(), 0xff000000u);
    EXPECT_TRUE (off.getPixelAt (25, 40).isTransparent());
    EXPECT_EQ (on.getPixelAt (25, 40).getARGB(), 0xff000000u);

    // Lower than 32 pixels there is no room for the square: it is empty, not turned inside out.
    EXPECT_EQ (GFXToggleButton::getFallbackSquare (50, 20), juce::Rectangle<int> (25, 10, 0, 0));
}

TEST (GFXToggleButton, ARadioGroupSwitchesTheOthersOffThroughTheirParameters)
{
    SkinTestBench bench;
    juce::Component panel;
    juce::OwnedArray<GFXToggleButton> buttons;

    for (auto* name : { "Alpha", "Beta", "Gamma" })
    {
        auto* button = buttons.add (std::make_unique<GFXToggleButton> (name));
        bench.load (*button, "<ToggleButton radioGroupId=\"+3\">" + linkTo (name) + "</ToggleButton>");
        panel.addAndMakeVisible (button);
    }

    click (*buttons[0]);
    click (*buttons[1]);
    click (*buttons[1]);
    EXPECT_TRUE (buttons[1]->getToggleState()) << "clicking the button that is on keeps it on";
    EXPECT_EQ (bench["Alpha"].getNormalisedValue(), 0.0f);
    EXPECT_EQ (bench["Beta"].getNormalisedValue(), 1.0f);
    EXPECT_EQ (bench["Gamma"].getNormalisedValue(), 0.0f);
}

//==============================================================================
TEST (GFXMultiStateButton, ShowsItsParameterAsOneOfItsStatesAndClicksOnlyFireEvents)
{
    ScopedResources resources;
    resources.add ("Flat.png", makeFilmstrip (20, 20, 4));
    resources.add ("Learn.png", makeFilmstrip (20, 10, 8));
    SkinTestBench bench;
    GFXMultiStateButton oneState ("One"), flat ("Flat"), raised ("MidiLearnButton");
    bench.load (oneState, R"(<MultiStateButton states="1"/>)");
    bench.load (flat, "<MultiStateButton states=\"4\" clickEvent=\"onPress\"><gfx resource=\"Flat.png\" framesNum=\"2\"/>"
                      "<actions><action type=\"onClick\" event=\"Options\"/><action type=\"onClickWithCtrl\" event=\"About\"/>"
                      "</actions>" + linkTo ("Alpha") + "</MultiStateButton>");
    bench.load (raised, R"(<MultiStateButton style="3D" states="4"><gfx resource="Learn.png"/></MultiStateButton>)");
    EXPECT_EQ (oneState.getNumStates(), 2) << "fewer than 2 states keep 2";
    EXPECT_EQ (flat.getFrameHeight(), 20) << "a frame per state";
    EXPECT_EQ (raised.getFrameHeight(), 10) << "two frames per state";

    for (auto [value, state] : { std::pair { 0.16f, 0 }, { 0.5f, 2 }, { 2.0f, 3 }, { 0.2f, 1 } })
    {
        bench["Alpha"].setNormalisedValue (value, true);
        bench["Alpha"].handleUpdateNowIfNeeded();
        EXPECT_EQ (flat.getShownState(), state) << value;
    }

    flat.setVisible (true);
    EventLog log;
    log.watch (flat);
    click (flat);
    click (flat, ctrl);
    EXPECT_EQ (log.take(), (Entries { "event 1000", "event 1001" }));
    EXPECT_EQ (shownFrame (flat), 1) << "a click leaves the state";

    raised.setVisible (true);
    raised.setShownState (2);
    EXPECT_EQ (shownFrame (raised), 4);
    EXPECT_EQ (shownFrameWhilePressed (raised), 5);
    raised.startBlinking (5);
    waitForBlinkOnPhase (raised);
    EXPECT_EQ (shownFrame (raised), 0);
    EXPECT_EQ (shownFrameWhilePressed (raised), 1);
    raised.stopBlinking();

    // Without an image: a 16-pixel box whose dot grows with the state.
    oneState.setSize (30, 20);
    oneState.setShownState (1);
    const auto picture = snapshot (oneState);
    savePictureIfAsked (picture, "GFXMultiStateButton-fallback.png");
    EXPECT_EQ (picture.getPixelAt (7, 2).getARGB(), 0xff000000u);
    EXPECT_EQ (picture.getPixelAt (9, 4).getARGB(), 0xffe5e5e5u);
    EXPECT_EQ (picture.getPixelAt (15, 10).getARGB(), 0xff000000u) << "the dot";
}

//==============================================================================
TEST (GFXRocker, EachHalfFiresItsEventAndShowsPressedUntilTheRelease)
{
    ScopedResources resources;
    resources.add ("Rocker.png", makeFilmstrip (20, 42, 3));
    SkinTestBench bench;
    GFXRocker vertical ("Up"), horizontal ("Across");
    bench.load (vertical, R"(<Rocker><gfx resource="Rocker.png" framesNum="3"/><pos left="3" top="4"/><actions>
        <action type="onLessClick" event="Select previous preset"/><action type="onMoreClick" event="Select next preset"/>
        <action type="onLessClickWithCtrl" event="Copy current preset"/><action type="onMoreClickWithCtrl" event="Paste copied preset"/>
        </actions></Rocker>)");
    bench.load (horizontal, R"(<Rocker type="horizontal"><size width="40" height="20"/><actions>
        <action type="onMoreClick" event="About"/></actions></Rocker>)");
    EXPECT_EQ (vertical.getBounds(), juce::Rectangle<int> (3, 4, 20, 42));

    EventLog log;
    log.watch (vertical);
    Mouse::press (vertical, { 5.0f, 20.0f });
    EXPECT_EQ (shownFrame (vertical), 2);
    Mouse::drag (vertical, { 5.0f, 20.0f }, { 5.0f, 60.0f });
    EXPECT_EQ (shownFrame (vertical), 1) << "dragged off it looks released";
    Mouse::drag (vertical, { 5.0f, 20.0f }, { 5.0f, 30.0f });
    EXPECT_EQ (shownFrame (vertical), 2);
    Mouse::release (vertical, { 5.0f, 20.0f }, { 5.0f, 30.0f });
    EXPECT_EQ (shownFrame (vertical), 1);
    Mouse::press (vertical, { 5.0f, 21.0f });
    EXPECT_EQ (shownFrame (vertical), 0);
    click (vertical, ctrl, juce::Point<float> (5.0f, 21.0f));
    click (vertical, ctrl, juce::Point<float> (5.0f, 2.0f));
    EXPECT_EQ (log.take(), (Entries { "event 1002", "event 1003", "event 1007", "event 1008" }));

    log.watch (horizontal);
    Mouse::press (horizontal, { 20.0f, 5.0f });
    Mouse::press (horizontal, { 21.0f, 5.0f });
    EXPECT_EQ (log.take(), (Entries { "event 1001" })) << "x 20 is in the less half, which has no event";

    const auto picture = snapshot (horizontal);
    savePictureIfAsked (picture, "GFXRocker-fallback-more.png");
    EXPECT_EQ (picture.getPixelAt (0, 0).getARGB(), 0xff000000u);
    EXPECT_EQ (picture.getPixelAt (5, 10).getARGB(), 0xffb2b2b2u);
    EXPECT_EQ (picture.getPixelAt (20, 10).getARGB(), 0xffe5e5e5u);
    EXPECT_EQ (picture.getPixelAt (30, 10).getARGB(), 0xff7f7f7fu);
}

//==============================================================================
TEST (GFXToggleButtonDragGroup, ADragSetsTheMembersWhoseEdgeItCrosses)
{
    ToggleRow row ({ "Alpha", "Beta", "Gamma" });
    row.buttons[2]->setTopLeftPosition (200, 0);
    EventLog log;
    log.watch (*row.buttons[1]);

    row.pressFirstAndDragTo (30);
    EXPECT_TRUE (row.buttons[0]->getToggleState());
    EXPECT_FALSE (row.buttons[1]->getToggleState()) << "x 30 does not reach the second button's left edge";
    row.pressFirstAndDragTo (45);
    EXPECT_FALSE (row.buttons[0]->getToggleState());
    EXPECT_EQ (log.take(), Entries()) << "the second is already off";
    row.pressFirstAndDragTo (45);
    EXPECT_EQ (log.take(), (Entries { "param change", "control value" }));
    EXPECT_EQ (row.bench["Beta"].getNormalisedValue(), 1.0f);
    EXPECT_FALSE (row.buttons[2]->getToggleState()) << "both its edges lie outside the drag";
}

TEST (GFXToggleButtonDragGroup, TwoPluginInstancesAliveAtOnceWithGroupsOfTheSameNameStayApart)
{
    // Both editors are top-level components at the same place: their buttons share screen positions.
    auto first = std::make_unique<ToggleRow> (juce::StringArray { "Alpha", "Beta" });
    ToggleRow second ({ "Alpha", "Beta" });

    second.pressFirstAndDragTo (45);
    EXPECT_TRUE (second.buttons[1]->getToggleState());
    EXPECT_FALSE (first->buttons[1]->getToggleState()) << "a drag stays under its own top-level component";
    EXPECT_EQ (first->bench["Beta"].getNormalisedValue(), 0.0f);

    // Destroying one plug-in's buttons leaves nothing of them in the group.
    first.reset();
    second.pressFirstAndDragTo (45);
    EXPECT_FALSE (second.buttons[1]->getToggleState());
    EXPECT_EQ (second.bench["Beta"].getNormalisedValue(), 0.0f);
}

TEST (GFXToggleButtonDragGroup, TheInstanceIsMadeAgainAfterTheShutdownListDeletedIt)
{
    // At unloading the library's shutdown list deletes the instance, which buttons may outlive.
    ToggleRow row ({ "Alpha", "Beta" });
    EXPECT_TRUE (GFXToggleButtonDragGroup::getInstance()->isInDragGroup ("Row", row.buttons[1]));
    delete GFXToggleButtonDragGroup::getInstanceWithoutCreating();
    EXPECT_EQ (GFXToggleButtonDragGroup::getInstanceWithoutCreating(), nullptr);
    row.pressFirstAndDragTo (45);
    EXPECT_FALSE (row.buttons[1]->getToggleState()) << "no group reaches it any more";

    GFXToggleButton late ("Late");
    late.setDragGroup ("Row");
    auto* again = GFXToggleButtonDragGroup::getInstanceWithoutCreating();
    ASSERT_NE (again, nullptr);
    EXPECT_TRUE (again->isInDragGroup ("Row", &late));
    EXPECT_FALSE (again->isInDragGroup ("Row", row.buttons[0]));
}

//==============================================================================
TEST (SkinControlFactory, MakesTheButtonTagsAtBothLevels)
{
    SkinTestBench bench;
    const auto element = juce::parseXML (R"(<ToggleButton name="LinkParamsButton" style="3D"/>)");
    auto control = SkinControlFactory::createFromXml (*element, bench.parameters, bench.events, nullptr);
    auto* toggle = dynamic_cast<GFXToggleButton*> (control.controller);
    ASSERT_NE (toggle, nullptr);
    EXPECT_EQ (toggle->getName() + juce::String (toggle->getStyle()), "LinkParamsButton1");

    for (auto level : { SkinControlFactory::Level::editor, SkinControlFactory::Level::panel })
    {
        EXPECT_NE (dynamic_cast<GFXButton*> (SkinControlFactory::create ("Button", "B", level).controller), nullptr);
        EXPECT_NE (dynamic_cast<GFXMultiStateButton*> (SkinControlFactory::create ("MultiStateButton", "M", level).controller), nullptr);
        EXPECT_NE (dynamic_cast<GFXRocker*> (SkinControlFactory::create ("Rocker", "R", level).controller), nullptr);
    }
}
