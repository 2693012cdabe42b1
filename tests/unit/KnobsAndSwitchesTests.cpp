#include "gui/SkinFonts.h"
#include "gui/controls/GFXKnob.h"
#include "gui/controls/GFXSwitch.h"
#include "gui/controls/ModWheel.h"
#include "gui/controls/PitchBender.h"
#include "gui/controls/SkinControlFactory.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace KnobsAndSwitchesTestsDetail
{
using namespace SkinTestSupport;
using Log = std::vector<std::string>;

/** A skin element of a control with a filmstrip, a link to Alpha and a place. */
juce::String skinElement (const juce::String& tag, const juce::String& resource, int frames, const juce::String& extra = {})
{
    return "<" + tag + " name=\"Test\" " + extra + ">"
           "<links><link as=\"connectedTo\" param=\"Alpha\"/></links>"
           "<gfx resource=\"" + resource + "\" framesNum=\"" + juce::String (frames) + "\"/>"
           "<pos left=\"+20\" top=\"15\"/><size width=\"99\" height=\"99\"/>"
           "</" + tag + ">";
}

/** The frame a control shows at each of some values. */
template <typename Control>
std::vector<int> framesAt (Control& control, std::initializer_list<double> values)
{
    std::vector<int> frames;

    for (auto v : values)
    {
        control.setValue (v, juce::dontSendNotification);
        frames.push_back (shownFrame (control, { control.getWidth() - 1, control.getHeight() - 1 }));
    }

    return frames;
}

/** The number of dark (text) pixels in a band of rows, antialiased edges included. */
int darkPixels (const juce::Image& image, int firstRow, int lastRow)
{
    int count = 0;

    for (int y = firstRow; y <= lastRow; ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (const auto c = image.getPixelAt (x, y); c.getAlpha() > 100 && c.getBrightness() < 0.3f)
                ++count;

    return count;
}

/** A filmstrip whose frames carry a pointer, as a real knob's do (for pictures). */
juce::Image pointerFilmstrip (int size, int frames)
{
    auto strip = makeFilmstrip (size, size, frames);
    juce::Graphics g (strip);

    for (int i = 0; i < frames; ++i)
    {
        const auto centre = juce::Point<float> ((float) size / 2.0f, (float) (i * size) + (float) size / 2.0f);
        const auto angle = juce::MathConstants<float>::pi * (-0.75f + 1.5f * (float) i / (float) (frames - 1));
        g.setColour (juce::Colours::white);
        g.fillEllipse (juce::Rectangle<float> ((float) size * 0.7f, (float) size * 0.7f).withCentre (centre));
        g.setColour (juce::Colours::black);
        g.drawLine ({ centre, centre.getPointOnCircumference ((float) size * 0.33f, angle) }, 2.5f);
    }

    return strip;
}
} // namespace KnobsAndSwitchesTestsDetail

using namespace KnobsAndSwitchesTestsDetail;

//==============================================================================
TEST (GFXKnob, SkinElementPlacesTheKnobAndTheValueChoosesTheFrame)
{
    ScopedResources resources;
    resources.add ("Knob61.png", makeFilmstrip (37, 35, 61));
    SkinTestBench bench;

    GFXKnob knob ("Preamp");
    bench.load (knob, skinElement ("Knob", "Knob61.png", 61));
    EXPECT_EQ (knob.getLinkedParameter(), &bench["Alpha"]);
    EXPECT_EQ (knob.getBounds(), juce::Rectangle<int> (20, 15, 37, 35)) << "the image decides the size";
    EXPECT_EQ (framesAt (knob, { 0.0, 0.5, 0.99, 1.0, 0.008, 0.009 }), (std::vector<int> { 0, 30, 59, 60, 0, 1 }));

    // Disabled, by itself or through its parent: frame 0 whatever the value.
    juce::Component parent;
    parent.addAndMakeVisible (knob);
    knob.setValue (0.7);
    parent.setEnabled (false);
    EXPECT_EQ (shownFrame (knob), 0);
    parent.setEnabled (true);
    knob.setEnabled (false);
    EXPECT_EQ (shownFrame (knob), 0);
    knob.setEnabled (true);
    EXPECT_EQ (shownFrame (knob), 42);

    PitchBender bender ("Bend");
    bench.load (bender, skinElement ("PitchBender", "Knob61.png", 61));
    EXPECT_EQ (framesAt (bender, { 0.0, -1.0, 1.0 }), (std::vector<int> { 30, 0, 60 }));

    // Without an image and without a size the knob has no area at all.
    GFXKnob bare ("Bare");
    bench.load (bare, "<Knob><gfx resource=\"Missing.png\"/></Knob>");
    EXPECT_EQ (bare.getBounds(), juce::Rectangle<int>());
}

TEST (GFXSwitch, FramesStepsAndStyles)
{
    ScopedResources resources;
    resources.add ("Switch17.png", makeFilmstrip (37, 35, 17));
    resources.add ("Switch2.png", makeFilmstrip (27, 59, 2));
    SkinTestBench bench;

    GFXSwitch bits ("Bits");
    bench.load (bits, skinElement ("Switch", "Switch17.png", 17, "style=\"Rotary\""));
    EXPECT_EQ (framesAt (bits, { 0.0, 0.5, 1.0, 0.03, 0.035 }), (std::vector<int> { 0, 8, 16, 0, 1 }));
    EXPECT_DOUBLE_EQ ((bits.setValue (0.3337), bits.getValue()), 0.335) << "values snap to steps of 0.005";

    GFXSwitch order ("Order");
    bench.load (order, skinElement ("Switch", "Switch2.png", 2, "style=\"Vertical\""));
    EXPECT_EQ (framesAt (order, { 0.0, 0.495, 0.5, 1.0 }), (std::vector<int> { 0, 0, 1, 1 }));

    const std::pair<const char*, juce::Slider::SliderStyle> styles[] = {
        { "style=\"Horizontal\"", juce::Slider::LinearHorizontal },
        { "style=\"Vertical\"", juce::Slider::LinearVertical },
        { "style=\"rotary\"", juce::Slider::RotaryVerticalDrag },
        { "style=\"Sideways\"", juce::Slider::RotaryVerticalDrag },
        { "", juce::Slider::RotaryVerticalDrag },
    };

    for (auto& [attribute, expected] : styles)
    {
        GFXSwitch control ("Style");
        bench.load (control, juce::String ("<Switch ") + attribute + "/>");
        EXPECT_EQ (control.getSliderStyle(), expected) << attribute;
    }

    // An unknown keyword keeps a style set before.
    GFXSwitch kept ("Kept");
    kept.setSwitchStyle (GFXSwitch::horizontal);
    bench.load (kept, "<Switch style=\"HORIZONTAL\"/>");
    EXPECT_EQ (kept.getSwitchStyle(), GFXSwitch::horizontal);
}

//==============================================================================
TEST (GFXKnob, DragIsOneGestureAroundItsWritesAndOutsideChangesWriteNothingBack)
{
    SkinTestBench bench;
    GFXKnob knob ("Knob");
    bench.load (knob, R"(<Knob><links><link as="connectedTo" param="Alpha"/></links><size width="40" height="40"/></Knob>)");
    EventLog log;
    log.watch (knob);

    const juce::Point<float> down (20.0f, 30.0f);
    Mouse::press (knob, down);
    EXPECT_EQ (log.take(), (Log { "param begin", "control begin" })) << "the gesture begins on the press";

    Mouse::drag (knob, down, down.translated (0.0f, -50.0f));     // 250 pixels make the whole range
    Mouse::drag (knob, down, down.translated (0.0f, -125.0f));
    EXPECT_EQ (log.take(), (Log { "param change", "control value", "param change", "control value" }));
    EXPECT_EQ (log.values, (std::vector<float> { 0.2f, 0.5f }));

    Mouse::release (knob, down, down.translated (0.0f, -125.0f));
    EXPECT_EQ (log.take(), (Log { "param end", "control end" }));
    EXPECT_FLOAT_EQ (bench["Alpha"].getNormalisedValue(), 0.5f);

    // The host moves the parameter: the knob follows on the message thread and writes nothing.
    bench["Alpha"].setNormalisedValue (0.25f, true);
    EXPECT_EQ (log.take(), (Log { "param change" }));
    bench["Alpha"].handleUpdateNowIfNeeded();
    EXPECT_DOUBLE_EQ (knob.getValue(), 0.25);
    EXPECT_TRUE (log.take().empty()) << "no write back, no controllerValueChanged";
}

TEST (GFXKnob, WheelStepsWriteWithoutAGestureAndWheelsSpringBackOnlyAfterDrags)
{
    SkinTestBench bench;
    GFXKnob knob ("Knob");
    ModWheel wheel ("Mod");
    GFXSwitch toggle ("Switch");

    for (GUIController* control : { (GUIController*) &knob, (GUIController*) &wheel, (GUIController*) &toggle })
    {
        bench.load (*control, R"(<Knob><links><link as="connectedTo" param="Beta"/></links><size width="40" height="40"/></Knob>)");
        bench["Beta"].setNormalisedValue (0.0f, false);
        EventLog log;
        log.watch (*control);
        auto& slider = dynamic_cast<juce::Slider&> (*control);

        Mouse::wheel (slider, 0.5f);
        EXPECT_EQ (log.take(), (Log { "param change", "control value" })) << slider.getName();
        EXPECT_GT (slider.getValue(), 0.0) << slider.getName() << ": no spring back after a wheel step";
        EXPECT_FLOAT_EQ (bench["Beta"].getNormalisedValue(), (float) slider.getValue());

        log.unwatch();
        control->setLinkedParameter (nullptr);
    }

    // A mod wheel released at 0.8 ends the gesture, then writes 0 and says so once.
    bench.load (wheel, R"(<ModWheel><links><link as="connectedTo" param="Gamma"/></links></ModWheel>)");
    wheel.setValue (0.0, juce::dontSendNotification);
    EventLog log;
    log.watch (wheel);
    const juce::Point<float> down (20.0f, 20.0f), up (20.0f, -180.0f);
    Mouse::press (wheel, down);
    Mouse::drag (wheel, down, up);
    Mouse::release (wheel, down, up);
    EXPECT_EQ (log.take(), (Log { "param begin", "control begin", "param change", "control value",
                                  "param end", "control end", "param change", "control value" }));
    EXPECT_EQ (log.values, (std::vector<float> { 0.8f, 0.0f }));
    EXPECT_DOUBLE_EQ (wheel.getValue(), 0.0);
}

TEST (GFXKnob, UnlinkedKnobDragsSilentlyAndADestroyedKnobClosesItsGesture)
{
    SkinTestBench bench;
    GFXKnob unlinked ("Free");
    unlinked.setSize (40, 40);
    EventLog quiet;
    unlinked.addListener (&quiet);
    Mouse::press (unlinked, { 20.0f, 20.0f });
    Mouse::drag (unlinked, { 20.0f, 20.0f }, { 20.0f, 0.0f });
    Mouse::release (unlinked, { 20.0f, 20.0f }, { 20.0f, 0.0f });
    EXPECT_DOUBLE_EQ (unlinked.getValue(), 0.08);
    EXPECT_TRUE (quiet.entries.empty());

    auto knob = std::make_unique<GFXKnob> ("Knob");
    knob->setSize (40, 40);
    knob->setLinkedParameter (&bench["Alpha"]);
    EventLog log;
    bench["Alpha"].addListener (&log);
    Mouse::press (*knob, { 20.0f, 20.0f });
    knob.reset();
    EXPECT_EQ (log.take(), (Log { "param begin", "param end" })) << "the host is not left inside an edit";
    bench["Alpha"].removeListener (&log);
}

//==============================================================================
TEST (GFXKnob, FallbackPicturesShowTheValueTextAndTheName)
{
    SkinTestBench bench;
    bench["Alpha"].setNormalisedValue (0.3f, false);
    bench["Steps"].setIntValue (3, false);

    GFXKnob knobUnlinked ("Knob"), knobLinked ("Alpha");
    GFXSwitch switchUnlinked ("Switch"), switchLinked ("Steps");
    PitchBender bender ("Bend");
    ModWheel wheel ("Mod");
    knobLinked.setLinkedParameter (&bench["Alpha"]);
    switchLinked.setLinkedParameter (&bench["Steps"]);

    juce::Array<juce::Slider*> controls { &knobUnlinked, &knobLinked, &switchUnlinked, &switchLinked, &bender, &wheel };
    juce::Image sheet (juce::Image::ARGB, 6 * 60 + 10, 200, true);
    juce::Graphics g (sheet);
    g.fillAll (juce::Colours::white);

    for (int i = 0; i < controls.size(); ++i)
    {
        auto& slider = *controls[i];
        auto& control = dynamic_cast<GUIController&> (slider);
        slider.setSize (50, 80);    // a cell of the generic editor
        const bool linked = control.getLinkedParameter() != nullptr;

        if (linked)
            control.updateFromParameter (control.getLinkedParameter());

        const auto picture = snapshot (slider);
        EXPECT_EQ (picture.getPixelAt (0, 0).getARGB(), 0xffb2b2b2u) << slider.getName() << ": the outline";
        EXPECT_EQ (picture.getPixelAt (49, 79).getARGB(), 0xffb2b2b2u) << slider.getName();
        EXPECT_GT (darkPixels (picture, 1, 18), 5) << slider.getName() << ": the value text at the top";
        EXPECT_EQ (darkPixels (picture, 60, 78) > 5, linked) << slider.getName() << ": the name at the bottom only when linked";

        g.drawImageAt (picture, 10 + i * 60, 10);
    }

    // A filmstrip knob at a few values, for the picture.
    ScopedResources resources;
    resources.add ("Pointer.png", pointerFilmstrip (37, 61));
    GFXKnob knob ("Strip");
    bench.load (knob, "<Knob><gfx resource=\"Pointer.png\" framesNum=\"61\"/></Knob>");
    int x = 10;

    for (auto v : { 0.0, 0.25, 0.5, 0.75, 1.0 })
    {
        knob.setValue (v);
        g.drawImageAt (snapshot (knob), x, 110);
        x += 47;
    }

    savePictureIfAsked (sheet, "knobs-and-switches.png");
}

//==============================================================================
TEST (SkinControlFactory, MakesKnobsSwitchesAndWheelsFromTheirTags)
{
    SkinTestBench bench;
    const auto element = juce::parseXML (R"(<Switch name="Bits" style="Horizontal"><pos left="3" top="4"/><size width="30" height="20"/></Switch>)");
    auto control = SkinControlFactory::createFromXml (*element, bench.parameters, bench.events, nullptr);
    ASSERT_TRUE (control);
    auto* bits = dynamic_cast<GFXSwitch*> (control.component.get());
    ASSERT_NE (bits, nullptr);
    EXPECT_EQ (dynamic_cast<GUIController*> (bits), control.controller);
    EXPECT_EQ (bits->getName(), "Bits");
    EXPECT_EQ (bits->getSwitchStyle(), GFXSwitch::horizontal);
    EXPECT_EQ (bits->getBounds(), juce::Rectangle<int> (3, 4, 30, 20));

    EXPECT_NE (dynamic_cast<GFXKnob*> (SkinControlFactory::create ("Knob", "K").component.get()), nullptr);
    EXPECT_NE (dynamic_cast<PitchBender*> (SkinControlFactory::create ("PitchBender", "P").component.get()), nullptr);
    EXPECT_NE (dynamic_cast<ModWheel*> (SkinControlFactory::create ("ModWheel", "M").component.get()), nullptr);

    // The editor does not take wheels at the top of its skin; a panel does.
    EXPECT_FALSE (SkinControlFactory::canCreate ("PitchBender", SkinControlFactory::Level::editor));
    EXPECT_FALSE (SkinControlFactory::create ("ModWheel", "M", SkinControlFactory::Level::editor));
    EXPECT_TRUE (SkinControlFactory::canCreate ("Knob", SkinControlFactory::Level::editor));
}

TEST (SkinFonts, TahomaOrTheInstalledSansWithItsOwnStyles)
{
    const auto name = SkinFonts::getTypefaceName();
    EXPECT_TRUE (juce::Font::findAllTypefaceNames().contains (name)) << name;
    EXPECT_TRUE (juce::Font::findAllTypefaceStyles (name).contains (SkinFonts::getStyleName (juce::Font::bold)));
    EXPECT_TRUE (SkinFonts::getFont (13.0f, juce::Font::bold).isBold());
    EXPECT_FALSE (SkinFonts::getFont (13.0f).isBold());

    if (juce::Font::findAllTypefaceStyles (name).joinIntoString (" ").containsIgnoreCase ("Oblique"))
        EXPECT_TRUE (SkinFonts::getFont (13.0f, juce::Font::italic).isItalic()) << "an oblique face is italic";

    EXPECT_FLOAT_EQ (SkinFonts::getFont (13.0f).getHeight(), 13.0f);
}
