/*
    Shared helpers for the tests of the skin controls: filmstrips whose frames are told apart
    by colour, resources added for one test, a small plug-in side (parameters and events),
    synthetic mouse events delivered straight to a component, and a log that records what
    a control tells its listeners and its parameter's listeners, in order.
*/
#pragma once

#include "framework/EmbeddedResources.h"
#include "framework/EventsMap.h"
#include "framework/ParameterManager.h"
#include "gui/controls/GUIController.h"
#include "gui/widgets/PseudoModalComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <string>
#include <utility>
#include <vector>

namespace SkinTestSupport
{
//==============================================================================
/** The colour that fills frame i of a test filmstrip: opaque, different for every i below 256. */
inline juce::Colour frameColour (int frame)
{
    // A prime step spreads the frames over the colour wheel, so neighbours look different in pictures.
    const auto hue = (float) ((frame * 37) % 256) / 256.0f;
    const auto rgb = juce::Colour::fromHSV (hue, 0.85f, 0.95f, 1.0f);
    return juce::Colour ((juce::uint8) rgb.getRed(), (juce::uint8) rgb.getGreen(), (juce::uint8) frame, (juce::uint8) 255);
}

/** The frame whose colour this is, or -1 when it is no frame's colour. */
inline int frameOfColour (juce::Colour colour, int frames = 256)
{
    for (int i = 0; i < frames; ++i)
        if (frameColour (i) == colour)
            return i;

    return -1;
}

/** A vertical filmstrip of frames frames, frame i filled with frameColour (i). */
inline juce::Image makeFilmstrip (int frameWidth, int frameHeight, int frames)
{
    juce::Image strip (juce::Image::ARGB, frameWidth, juce::jmax (1, frameHeight * frames), true);
    juce::Graphics g (strip);

    for (int i = 0; i < frames; ++i)
    {
        g.setColour (frameColour (i));
        g.fillRect (0, i * frameHeight, frameWidth, frameHeight);
    }

    return strip;
}

/** The image encoded as PNG. */
inline juce::MemoryBlock toPng (const juce::Image& image)
{
    juce::MemoryOutputStream out;
    juce::PNGImageFormat().writeImageToStream (image, out);
    return out.getMemoryBlock();
}

/** What the component paints, as an image of its size. */
inline juce::Image snapshot (juce::Component& component)
{
    return component.createComponentSnapshot (component.getLocalBounds(), true, 1.0f);
}

/** The filmstrip frame the component shows at a point, or -1 when the point shows no frame's colour. */
inline int shownFrame (juce::Component& component, juce::Point<int> where = {})
{
    if (component.getWidth() <= where.x || component.getHeight() <= where.y)
        return -1;

    return frameOfColour (snapshot (component).getPixelAt (where.x, where.y));
}

/** Writes a picture into the folder named by VELCROFT_PICTURES_DIR, when that is set, so
    that what the controls draw can be looked at; nothing otherwise. */
inline void savePictureIfAsked (const juce::Image& image, const juce::String& fileName)
{
    const auto folder = juce::SystemStats::getEnvironmentVariable ("VELCROFT_PICTURES_DIR", {});

    if (folder.isEmpty())
        return;

    auto file = juce::File::getCurrentWorkingDirectory().getChildFile (folder).getChildFile (fileName);
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);

    if (out.openedOk())
        juce::PNGImageFormat().writeImageToStream (image, out);
}

//==============================================================================
/** Resources added for the life of a test and removed after it. */
class ScopedResources
{
public:
    ScopedResources() = default;
    ~ScopedResources()
    {
        for (auto& name : names)
            removeResource (name);
    }

    /** Adds an image as a PNG resource. */
    void add (const juce::String& name, const juce::Image& image)   { add (name, toPng (image)); }

    /** Adds a text resource. */
    void add (const juce::String& name, const juce::String& text)   { add (name, juce::MemoryBlock (text.toRawUTF8(), text.getNumBytesAsUTF8())); }

    /** Adds raw bytes. */
    void add (const juce::String& name, const juce::MemoryBlock& data)
    {
        if (addResource (name, data))
            names.addIfNotAlreadyThere (name);
    }

private:
    juce::StringArray names;
    JUCE_DECLARE_NON_COPYABLE (ScopedResources)
};

//==============================================================================
/** Counts the repaints a component asks for, without a window: while it lives, the component
    is visible and paints through a spy that sees every repaint() and draws as usual. */
class RepaintCounter
{
public:
    explicit RepaintCounter (juce::Component& componentToWatch) : component (componentToWatch)
    {
        component.setVisible (true);
        component.setCachedComponentImage (new Spy (component, count));
        count = 0;  // installing the spy repaints
    }

    ~RepaintCounter()               { component.setCachedComponentImage (nullptr); }

    /** The repaints asked for since the last call, which clears the count. */
    int take()                      { return std::exchange (count, 0); }

private:
    struct Spy : public juce::CachedComponentImage
    {
        Spy (juce::Component& c, int& n) : component (c), count (n) {}

        void paint (juce::Graphics& g) override                         { component.paintEntireComponent (g, false); }
        bool invalidateAll() override                                   { ++count; return true; }
        bool invalidate (const juce::Rectangle<int>&) override          { ++count; return true; }
        void releaseResources() override                                {}

        juce::Component& component;
        int& count;
    };

    juce::Component& component;
    int count = 0;
    JUCE_DECLARE_NON_COPYABLE (RepaintCounter)
};

//==============================================================================
/** The plug-in side a skin control is read against: parameters and the editor's events. */
struct SkinTestBench
{
    /** Float parameters 0 "Alpha", 1 "Beta", 2 "Gamma" (0 to 1), 3 "Steps" (int 0 to 4),
        4 "Power" (bool), 5 "Name" (string); the plug-in commands as events. */
    SkinTestBench()
    {
        const auto definitions = juce::parseXML (R"(
            <PluginParameters application="SkinTest">
              <param index="0" name="Alpha" value="0.0" auto="true"/>
              <param index="1" name="Beta" value="0.0" auto="true"/>
              <param index="2" name="Gamma" value="0.0" auto="true"/>
              <param index="3" name="Steps" type="int" min="0" max="4" value="0" auto="true"/>
              <param index="4" name="Power" type="bool" value="0" auto="true"/>
              <param index="5" name="Name" type="string" value="Init"/>
            </PluginParameters>)");
        parameters.parseParameterDefinitions (*definitions);
        addPluginCommands (events);
    }

    /** The parameter of that name; the test fails loudly when it is missing. */
    Parameter& operator[] (const juce::String& name)
    {
        auto* p = parameters.getParameterByName (name);
        jassert (p != nullptr);
        return *p;
    }

    /** Reads a control from skin XML text. */
    void load (GUIController& control, const juce::String& xml)
    {
        const auto element = juce::parseXML (xml);
        jassert (element != nullptr);
        control.loadFromXml (*element, parameters, events, nullptr);
    }

    ParameterManager parameters;
    EventsMap events;
};

//==============================================================================
/** Synthetic mouse events, delivered straight to a component's handlers (no window needed). */
namespace Mouse
{
    inline juce::Time nextEventTime()
    {
        // Every event gets its own time: sliders ignore a wheel event with the time of the last.
        static juce::int64 step = 0;
        return juce::Time (juce::Time::currentTimeMillis() + ++step);
    }

    inline juce::MouseEvent event (juce::Component& component, juce::Point<float> position, juce::Point<float> downPosition,
                                   juce::ModifierKeys mods, bool wasDragged)
    {
        const auto time = nextEventTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(), position, mods,
                                 juce::MouseInputSource::defaultPressure, juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation, juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY, &component, &component, time,
                                 downPosition, time, 1, wasDragged);
    }

    /** Presses the left button at a point (with extra modifiers such as ctrl). */
    inline void press (juce::Component& c, juce::Point<float> at, juce::ModifierKeys mods = {})
    {
        c.mouseDown (event (c, at, at, mods.withFlags (juce::ModifierKeys::leftButtonModifier), false));
    }

    /** Drags the pressed button from where it went down to a point. */
    inline void drag (juce::Component& c, juce::Point<float> from, juce::Point<float> to, juce::ModifierKeys mods = {})
    {
        c.mouseDrag (event (c, to, from, mods.withFlags (juce::ModifierKeys::leftButtonModifier), true));
    }

    /** Releases the button at a point. */
    inline void release (juce::Component& c, juce::Point<float> from, juce::Point<float> at, juce::ModifierKeys mods = {})
    {
        c.mouseUp (event (c, at, from, mods.withoutMouseButtons(), from != at));
    }

    /** Presses and releases the left button over the component's centre: a click. */
    inline void click (juce::Component& c)
    {
        const auto centre = c.getLocalBounds().getCentre().toFloat();
        press (c, centre);
        release (c, centre, centre);
    }

    /** One wheel step over the component (positive deltaY scrolls up). */
    inline void wheel (juce::Component& c, float deltaY, juce::Point<float> at = {})
    {
        juce::MouseWheelDetails details;
        details.deltaX = 0.0f;
        details.deltaY = deltaY;
        details.isReversed = false;
        details.isSmooth = false;
        details.isInertial = false;
        c.mouseWheelMove (event (c, at, at, {}, false), details);
    }
} // namespace Mouse

//==============================================================================
/** The editor's stand-in for in-editor windows: the component they attach under, 400 x 300,
    painted white. */
struct TestDesktop : public juce::Component,
                     public PseudoModalComponent::Desktop
{
    TestDesktop()                                       { setSize (400, 300); }
    void paint (juce::Graphics& g) override             { g.fillAll (juce::Colours::white); }
};

//==============================================================================
/** Records, in one list, what a control tells its listeners and what its parameter's
    synchronous listeners hear: "param begin", "param change", "param end", "control begin",
    "control value", "control end", "event <id>". Values written are kept beside. */
class EventLog : public GUIController::Listener,
                 public Parameter::Listener
{
public:
    EventLog() = default;

    /** Listens to a control and to its linked parameter (synchronously) until the log is
        destroyed, which must happen before the control's end. */
    void watch (GUIController& control)
    {
        unwatch();
        watchedControl = &control;
        watchedParameter = control.getLinkedParameter();
        control.addListener (this);

        if (watchedParameter != nullptr)
            watchedParameter->addListener (this);
    }

    /** Stops listening to the watched control and parameter. */
    void unwatch()
    {
        if (watchedControl != nullptr)
            watchedControl->removeListener (this);

        if (watchedParameter != nullptr)
            watchedParameter->removeListener (this);

        watchedControl = nullptr;
        watchedParameter = nullptr;
    }

    ~EventLog() override
    {
        unwatch();
    }

    void gestureBegin (GUIController*) override                 { entries.push_back ("control begin"); }
    void gestureEnd (GUIController*) override                   { entries.push_back ("control end"); }
    void controllerValueChanged (GUIController*) override       { entries.push_back ("control value"); }
    void controllerEvent (GUIController*, int id) override      { entries.push_back ("event " + std::to_string (id)); }

    void parameterChanged (Parameter* p) override
    {
        entries.push_back ("param change");
        values.push_back (p->getNormalisedValue());
    }

    void parameterGestureBegin (Parameter*) override            { entries.push_back ("param begin"); }
    void parameterGestureEnd (Parameter*) override              { entries.push_back ("param end"); }

    /** The entries recorded since the last call, which clears them. */
    std::vector<std::string> take()
    {
        auto result = std::move (entries);
        entries.clear();
        return result;
    }

    std::vector<std::string> entries;
    std::vector<float> values;

private:
    GUIController* watchedControl = nullptr;
    Parameter* watchedParameter = nullptr;
};
} // namespace SkinTestSupport
