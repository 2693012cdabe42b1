#include <gtest/gtest.h>

#include "framework/FloatParameter.h"
#include "framework/MidiControl.h"

#include <csignal>
#include <limits>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace MidiControlTestsDetail
{
/** True when another thread cannot take the lock now, i.e. someone holds it. */
bool isHeldElsewhere (const juce::CriticalSection& lock)
{
    bool entered = false;
    std::thread other ([&] {
        entered = lock.tryEnter();
        if (entered)
            lock.exit();
    });
    other.join();
    return ! entered;
}

/** Logs every notice with its own tag, so the order of listeners can be checked. */
struct RecordingListener : public MidiControl::Listener
{
    RecordingListener (std::vector<std::string>& logToUse, std::string tagToUse)
        : log (logToUse), tag (std::move (tagToUse)) {}

    void midiMapChanged (MidiControl*) override     { ++maps; log.push_back (tag + ":map"); }
    void learnStateChanged (MidiControl* m) override
    {
        ++learns;
        log.push_back (tag + ":learn");
        lockWasHeld = isHeldElsewhere (m->getLock());
        if (removeSelf)
            m->removeListener (this);
    }
    void controllerMoved (MidiControl* m) override
    {
        ++moves;
        log.push_back (tag + ":moved");
        lastMoved = m->getLastMovedParameter();
    }

    std::vector<std::string>& log;
    std::string tag;
    int maps = 0, learns = 0, moves = 0;
    bool lockWasHeld = false, removeSelf = false;
    Parameter* lastMoved = nullptr;
};

/** Notes whether MidiControl's lock was held while the parameter's listeners ran. */
struct LockProbe : public Parameter::Listener
{
    explicit LockProbe (const juce::CriticalSection& l) : lock (l) {}
    void parameterChanged (Parameter*) override { ++calls; heldAnyTime = heldAnyTime || isHeldElsewhere (lock); }

    const juce::CriticalSection& lock;
    int calls = 0;
    bool heldAnyTime = false;
};

/** A parameter manager with a few parameters and the plug-in's MIDI control. */
struct Rig
{
    Rig()
    {
        preamp = add (0, "Preamp", true);
        fx     = add (1, "FX", true);
        cutoff = add (2, "Left Cutoff", true);
        hidden = add (3, "Hidden", false);
        midi.setPluginName ("Velcroft");
    }

    Parameter* add (int index, const juce::String& name, bool automatable)
    {
        auto p = std::make_unique<FloatParameter> (index, name, 0.0f, 1.0f, 0.25f);
        p->setAutomatable (automatable);
        auto* raw = p.get();
        manager.addParameter (std::move (p));
        return raw;
    }

    /** The whole map as (controller, name) text, to compare maps before and after. */
    juce::String describe() const
    {
        juce::String s;
        for (int c = 0; c < MidiControl::numControllers; ++c)
            if (auto* p = midi.getAssignedParameter (c))
                s << c << "=" << p->getName() << ";";
        return s;
    }

    /** Checks the map is one-to-one and its count matches. */
    void expectOneToOne() const
    {
        juce::Array<Parameter*> seen;
        for (int c = 0; c < MidiControl::numControllers; ++c)
            if (auto* p = midi.getAssignedParameter (c))
            {
                EXPECT_FALSE (seen.contains (p)) << p->getName();
                seen.add (p);
            }
        EXPECT_EQ (seen.size(), midi.getNumAssignments());
    }

    ParameterManager manager;
    MidiControl midi { manager };
    Parameter* preamp = nullptr;
    Parameter* fx = nullptr;
    Parameter* cutoff = nullptr;
    Parameter* hidden = nullptr;
};

juce::MidiMessage rawMessage (std::initializer_list<juce::uint8> bytes)
{
    std::vector<juce::uint8> data (bytes);
    return juce::MidiMessage (data.data(), (int) data.size());
}

juce::File writeTextFile (const juce::File& folder, const juce::String& name, const juce::String& text)
{
    auto f = folder.getChildFile (name);
    f.replaceWithText (text);
    return f;
}
//==============================================================================
TEST (MidiControl, ControllerDrivesItsParameter)
{
    Rig rig;
    std::vector<std::string> log;
    RecordingListener listener (log, "a");
    LockProbe probe (rig.midi.getLock());
    rig.midi.addListener (&listener);
    rig.cutoff->addListener (&probe);

    rig.midi.assignController (7, rig.cutoff, true);

    const struct { juce::MidiMessage message; float expected; } cases[] = {
        { juce::MidiMessage::controllerEvent (1, 7, 127), 1.0f },
        { juce::MidiMessage::controllerEvent (1, 7, 0), 0.0f },
        { juce::MidiMessage::controllerEvent (16, 7, 64), 64.0f / 127.0f },    // any channel
        { juce::MidiMessage::controllerEvent (1, 8, 127), 64.0f / 127.0f },    // free controller
        { juce::MidiMessage::noteOn (1, 7, (juce::uint8) 100), 64.0f / 127.0f },
        { juce::MidiMessage::programChange (1, 7), 64.0f / 127.0f },
        { rawMessage ({ 0xb0, 0x87, 0x7f }), 64.0f / 127.0f },   // controller byte 135: not controller 7
        { rawMessage ({ 0xb0, 0xff, 0x7f }), 64.0f / 127.0f },
        { rawMessage ({ 0xb0, 0x07, 0x80 }), 64.0f / 127.0f },   // value byte 128
        { rawMessage ({ 0xb0, 0x07, 0xff }), 64.0f / 127.0f },
        { rawMessage ({ 0xb0, 0x07 }), 64.0f / 127.0f },         // truncated
        { juce::MidiMessage::controllerEvent (3, 7, 1), 1.0f / 127.0f },
    };

    for (auto& c : cases)
    {
        rig.midi.handleMidiMessage (c.message);
        EXPECT_FLOAT_EQ (rig.cutoff->getValue(), c.expected) << c.message.getDescription();
    }

    EXPECT_EQ (rig.midi.getAssignedParameter (7), rig.cutoff);
    EXPECT_EQ (rig.midi.getNumAssignments(), 1);
    EXPECT_EQ (rig.midi.getLastMovedParameter(), rig.cutoff);

    // The parameter's listeners ran outside MidiControl's lock: they may call the host.
    EXPECT_EQ (probe.calls, 4);
    EXPECT_FALSE (probe.heldAnyTime);

    // Many moves between two deliveries give one notice of each kind.
    rig.midi.handleUpdateNowIfNeeded();
    EXPECT_EQ (listener.maps, 1);
    EXPECT_EQ (listener.moves, 1);
    EXPECT_EQ (listener.learns, 0);
    EXPECT_EQ (listener.lastMoved, rig.cutoff);

    rig.cutoff->removeListener (&probe);
    rig.midi.removeListener (&listener);
}

TEST (MidiControl, AssignmentStaysOneToOne)
{
    Rig rig;
    auto& midi = rig.midi;

    midi.assignController (10, rig.fx, true);
    midi.assignController (20, rig.fx, true);
    EXPECT_EQ (midi.getAssignedParameter (10), nullptr);
    EXPECT_EQ (midi.getAssignedParameter (20), rig.fx);
    EXPECT_EQ (midi.getNumAssignments(), 1);
    EXPECT_EQ (midi.indexOfParameter (rig.fx), 20);

    // Re-assigning a controller frees its old parameter.
    midi.assignController (20, rig.preamp, true);
    EXPECT_EQ (midi.indexOfParameter (rig.fx), -1);
    EXPECT_EQ (midi.indexOfParameter (rig.preamp), 20);
    midi.assignController (0, rig.fx, true);
    midi.assignController (127, rig.cutoff, true);
    EXPECT_EQ (midi.getNumAssignments(), 3);
    rig.expectOneToOne();

    // Indices outside 0..127 are refused everywhere.
    const auto before = rig.describe();
    for (int bad : { -1, 128, 1000, std::numeric_limits<int>::min() })
    {
        midi.assignController (bad, rig.hidden, true);
        midi.removeAssignment (bad);
        EXPECT_EQ (midi.getAssignedParameter (bad), nullptr);
    }
    EXPECT_EQ (rig.describe(), before);

    midi.removeAssignment (20);
    midi.removeAssignment (20);
    EXPECT_EQ (midi.getNumAssignments(), 2);
    midi.assignController (0, nullptr, true);
    EXPECT_EQ (midi.getNumAssignments(), 1);
    midi.clearMap();
    EXPECT_EQ (midi.getNumAssignments(), 0);
    EXPECT_EQ (rig.describe(), "");
}

TEST (MidiControl, LearnControllerFirstOrParameterFirst)
{
    Rig rig;
    auto& midi = rig.midi;

    // Learn calls do nothing while learn mode is off.
    midi.learnController (5);
    midi.learnParameter (rig.fx);
    EXPECT_EQ (midi.getNumAssignments(), 0);
    EXPECT_EQ (midi.getPendingController(), -1);

    midi.setLearnMode (true);

    // Controller first, through an incoming message.
    midi.handleMidiMessage (juce::MidiMessage::controllerEvent (1, 5, 100));
    EXPECT_EQ (midi.getPendingController(), 5);
    EXPECT_EQ (midi.getPendingParameter(), nullptr);
    midi.learnParameter (rig.fx);
    EXPECT_EQ (midi.getAssignedParameter (5), rig.fx);

    // Moving controller 5 again only shows its pairing.
    midi.learnController (5);
    EXPECT_EQ (midi.getNumAssignments(), 1);

    // Parameter first.
    midi.learnParameter (rig.preamp);
    EXPECT_EQ (midi.getPendingController(), -1);   // the pair started anew: preamp is free
    midi.learnController (9);
    EXPECT_EQ (midi.getAssignedParameter (9), rig.preamp);
    EXPECT_EQ (midi.getNumAssignments(), 2);

    // A mapped parameter (at 5) and then a free controller: nothing assigned, 9's entry pending.
    midi.setLearnMode (false);
    midi.setLearnMode (true);
    midi.learnParameter (rig.fx);
    EXPECT_EQ (midi.getPendingController(), 5);
    midi.learnController (33);
    EXPECT_EQ (midi.getPendingController(), 33);
    EXPECT_EQ (midi.getPendingParameter(), nullptr);
    EXPECT_EQ (midi.getAssignedParameter (33), nullptr);
    EXPECT_EQ (midi.indexOfParameter (rig.fx), 5);

    // Re-learning a parameter onto a waiting free controller moves it there, freeing 5.
    midi.learnParameter (rig.fx);
    EXPECT_EQ (midi.getAssignedParameter (33), rig.fx);
    EXPECT_EQ (midi.getAssignedParameter (5), nullptr);
    rig.expectOneToOne();

    // Re-learning a mapped controller with a free parameter waiting never overwrites it.
    midi.setLearnMode (false);
    midi.setLearnMode (true);
    midi.learnParameter (rig.cutoff);
    midi.learnController (9);
    EXPECT_EQ (midi.getAssignedParameter (9), rig.preamp);
    EXPECT_EQ (midi.indexOfParameter (rig.cutoff), -1);
    rig.expectOneToOne();

    // A parameter that is not automatable cannot be learnt; bad controller numbers are refused.
    midi.setLearnMode (false);
    midi.setLearnMode (true);
    midi.learnParameter (rig.hidden);
    midi.learnParameter (nullptr);
    EXPECT_EQ (midi.getPendingParameter(), nullptr);
    midi.learnController (128);
    midi.learnController (-1);
    midi.handleMidiMessage (rawMessage ({ 0xb0, 0x80, 0x10 }));
    EXPECT_EQ (midi.getPendingController(), -1);

    // Selecting an assigned row makes its pair pending; removing an assignment in learn mode clears the pair.
    midi.setPendingAssignment (9);
    EXPECT_EQ (midi.getPendingController(), 9);
    EXPECT_EQ (midi.getPendingParameter(), rig.preamp);
    midi.removeAssignment (9);
    EXPECT_EQ (midi.getPendingController(), -1);
    EXPECT_EQ (midi.getPendingParameter(), nullptr);

    // So does clearing the whole map: the same controller and parameter can then be paired again.
    midi.setPendingAssignment (33);
    midi.clearMap();
    EXPECT_EQ (midi.getPendingController(), -1);
    EXPECT_EQ (midi.getPendingParameter(), nullptr);
    midi.learnController (33);
    midi.learnParameter (rig.fx);
    EXPECT_EQ (midi.getAssignedParameter (33), rig.fx);
    midi.clearMap();

    // Switching learn mode clears the pending pair.
    midi.learnController (40);
    midi.setLearnMode (false);
    EXPECT_EQ (midi.getPendingController(), -1);
    EXPECT_FALSE (midi.isLearnMode());
}

TEST (MidiControl, ListenersAreToldLastAddedFirst)
{
    Rig rig;
    auto& midi = rig.midi;
    std::vector<std::string> log;
    RecordingListener a (log, "a"), b (log, "b"), c (log, "c");

    midi.addListener (&a);
    midi.addListener (&b);
    midi.addListener (&b);        // not twice
    midi.addListener (nullptr);
    midi.addListener (&c);

    // setLearnMode calls at once, while the lock is held; b removes itself on the way.
    b.removeSelf = true;
    midi.setLearnMode (true);
    EXPECT_EQ (log, (std::vector<std::string> { "c:learn", "b:learn", "a:learn" }));
    EXPECT_TRUE (a.lockWasHeld);
    midi.setLearnMode (true);     // no change, no notice
    EXPECT_EQ (log.size(), 3u);

    // Learning posts notices, delivered later on the message thread: map first, then learn.
    log.clear();
    midi.learnController (3);
    midi.learnParameter (rig.fx);
    EXPECT_TRUE (log.empty());
    midi.handleUpdateNowIfNeeded();
    EXPECT_EQ (log, (std::vector<std::string> { "c:map", "a:map", "c:learn", "a:learn" }));
    EXPECT_FALSE (a.lockWasHeld);

    midi.removeListener (&a);
    midi.removeListener (&c);
    log.clear();
    midi.setLearnMode (false);
    midi.handleUpdateNowIfNeeded();
    EXPECT_TRUE (log.empty());
}

TEST (MidiControl, XmlReadingRules)
{
    Rig rig;
    auto& midi = rig.midi;

    auto load = [&] (const char* text) {
        auto xml = juce::parseXML (text);
        return xml != nullptr && midi.loadFromXml (*xml);
    };

    EXPECT_TRUE (load ("<MidiControlMap name='Velcroft'>"
                       "<assign CC='-1' param='Preamp'/>"
                       "<assign CC='128' param='Preamp'/>"
                       "<assign CC='4294967303' param='Preamp'/>"
                       "<assign param='Left Cutoff'/>"
                       "<assign CC='12' param='Nobody'/>"
                       "<assign CC='13' param='Hidden'/>"
                       "<assign CC='14' param='FX'/>"
                       "<assign CC='15' param='FX'/>"
                       "<other CC='16' param='Preamp'/>"
                       "</MidiControlMap>"));
    EXPECT_EQ (rig.describe(), "0=Left Cutoff;15=FX;");
    EXPECT_EQ (midi.getNumAssignments(), 2);

    // The older tag, and a map whose "application" names this plug-in, are read.
    EXPECT_TRUE (load ("<MidiCCMap name='Other' application='Velcroft'><assign CC='1' param='FX'/></MidiCCMap>"));
    EXPECT_EQ (rig.describe(), "1=FX;");

    // Loading a map switches learn mode off.
    midi.setLearnMode (true);
    EXPECT_TRUE (load ("<MidiControlMap name='Velcroft'><assign CC='2' param='FX'/></MidiControlMap>"));
    EXPECT_FALSE (midi.isLearnMode());
    EXPECT_EQ (rig.describe(), "2=FX;");

    // Another plug-in's map, or another element, is refused and keeps everything as it was.
    midi.setLearnMode (true);
    EXPECT_FALSE (load ("<MidiControlMap name='Other' application='Other'><assign CC='3' param='FX'/></MidiControlMap>"));
    EXPECT_FALSE (load ("<MidiControlMap><assign CC='3' param='FX'/></MidiControlMap>"));
    EXPECT_FALSE (load ("<PluginState application='Velcroft'><assign CC='3' param='FX'/></PluginState>"));
    EXPECT_EQ (rig.describe(), "2=FX;");
    EXPECT_TRUE (midi.isLearnMode());

    // Without an own name yet, any map is taken.
    midi.setPluginName ({});
    EXPECT_TRUE (load ("<MidiControlMap name='Other'><assign CC='3' param='FX'/></MidiControlMap>"));
    EXPECT_EQ (rig.describe(), "3=FX;");

    // The written element names the plug-in both ways and lists controllers in order.
    midi.setPluginName ("Velcroft");
    midi.assignController (100, rig.preamp, true);
    auto xml = midi.createXml();
    EXPECT_EQ (xml->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader()),
               "<MidiControlMap name=\"Velcroft\" application=\"Velcroft\">"
               "<assign CC=\"3\" param=\"FX\"/><assign CC=\"100\" param=\"Preamp\"/></MidiControlMap>");
}

TEST (MidiControl, MapFilesRoundTripAndRefusals)
{
    Rig rig;
    auto& midi = rig.midi;
    juce::TemporaryFile folderHolder;
    const auto folder = folderHolder.getFile();
    ASSERT_TRUE (folder.createDirectory());

    EXPECT_EQ (MidiControl::getMapFileExtension ("VL"), ".vlccmap");
    EXPECT_EQ (MidiControl::getOldMapFileExtension ("VL"), ".vlc");

    midi.assignController (0, rig.preamp, true);
    midi.assignController (64, rig.fx, true);
    midi.assignController (127, rig.cutoff, true);
    const auto saved = rig.describe();

    const auto file = folder.getChildFile ("map" + MidiControl::getMapFileExtension ("VL"));
    ASSERT_TRUE (midi.saveToFile (file));
    const auto text = file.loadFileAsString();
    EXPECT_TRUE (text.startsWith ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1);   // no temporary left behind

    // Another instance of the plug-in reads the file back.
    MidiControl other (rig.manager);
    other.setPluginName ("Velcroft");
    ASSERT_TRUE (other.loadFromFile (file));
    for (int c = 0; c < MidiControl::numControllers; ++c)
        EXPECT_EQ (other.getAssignedParameter (c), midi.getAssignedParameter (c)) << c;
    EXPECT_EQ (other.getNumAssignments(), 3);

    // An older ".vlc" file with the older tag.
    const auto oldFile = writeTextFile (folder, "old" + MidiControl::getOldMapFileExtension ("VL"),
                                        "<?xml version=\"1.0\"?>\n<MidiCCMap name=\"Velcroft\">\n"
                                        "  <assign CC=\"21\" param=\"Left Cutoff\"/>\n</MidiCCMap>\n");
    ASSERT_TRUE (other.loadFromFile (oldFile));
    EXPECT_EQ (other.getAssignedParameter (21), rig.cutoff);
    EXPECT_EQ (other.getNumAssignments(), 1);

    // Files that are not maps of this plug-in are refused and the user's map survives.
    juce::String deep;
    for (int i = 0; i < 5000; ++i)
        deep << "<a>";
    const struct { const char* name; juce::String text; } refused[] = {
        { "truncated.vlccmap", text.substring (0, text.length() / 2) },
        { "garbage.vlccmap", "this is not XML at all" },
        { "empty.vlccmap", "" },
        { "foreign.vlccmap", "<MidiControlMap name=\"Crusher\" application=\"Crusher\">"
                             "<assign CC=\"1\" param=\"FX\"/></MidiControlMap>" },
        { "preset.vlccmap", "<Preset application=\"Velcroft\" name=\"x\"/>" },
        { "doctype.vlccmap", "<!DOCTYPE m [<!ENTITY e \"<assign CC='1' param='FX'/>\">]>"
                             "<MidiControlMap name=\"Velcroft\">&e;</MidiControlMap>" },
        { "deep.vlccmap", "<MidiControlMap name=\"Velcroft\">" + deep },
    };

    midi.setLearnMode (true);
    for (auto& r : refused)
    {
        EXPECT_FALSE (midi.loadFromFile (writeTextFile (folder, r.name, r.text))) << r.name;
        EXPECT_EQ (rig.describe(), saved) << r.name;
        EXPECT_TRUE (midi.isLearnMode()) << r.name;
    }
    EXPECT_FALSE (midi.loadFromFile (folder.getChildFile ("missing.vlccmap")));
    EXPECT_FALSE (midi.loadFromFile (folder));
    EXPECT_EQ (rig.describe(), saved);
}

TEST (MidiControl, FailedSaveKeepsThePreviousFile)
{
    Rig rig;
    auto& midi = rig.midi;
    juce::TemporaryFile folderHolder;
    const auto folder = folderHolder.getFile();
    ASSERT_TRUE (folder.createDirectory());

    for (int c = 0; c < 4; ++c)
        midi.assignController (c * 10, rig.manager.getParameter (c), true);

    const auto file = folder.getChildFile ("map.vlccmap");
    ASSERT_TRUE (file.replaceWithText ("previous contents"));

    // Nowhere to write to.
    EXPECT_FALSE (midi.saveToFile (folder.getChildFile ("no such folder").getChildFile ("map.vlccmap")));
    EXPECT_FALSE (midi.saveToFile (file.getChildFile ("below a file.vlccmap")));
    EXPECT_FALSE (midi.saveToFile (folder));
    EXPECT_FALSE (midi.saveToFile (juce::File()));

    // A write cut short (a full disk behaves alike): the stream reports no error for it, but the save must fail.
    rlimit old {};
    ASSERT_EQ (getrlimit (RLIMIT_FSIZE, &old), 0);
    auto oldHandler = std::signal (SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 40;
    ASSERT_EQ (setrlimit (RLIMIT_FSIZE, &small), 0);
    const bool savedUnderLimit = midi.saveToFile (file);
    setrlimit (RLIMIT_FSIZE, &old);
    std::signal (SIGXFSZ, oldHandler);

    EXPECT_FALSE (savedUnderLimit);
    EXPECT_EQ (file.loadFileAsString(), "previous contents");
    EXPECT_EQ (folder.getNumberOfChildFiles (juce::File::findFiles), 1);   // the temporary is gone

    // With room again, the save replaces the file.
    EXPECT_TRUE (midi.saveToFile (file));
    EXPECT_TRUE (file.loadFileAsString().contains ("param=\"Left Cutoff\""));
}

TEST (MidiControl, DefaultMapFile)
{
    Rig rig;
    auto& midi = rig.midi;
    juce::TemporaryFile folderHolder;
    const auto folder = folderHolder.getFile();
    ASSERT_TRUE (folder.createDirectory());

    const auto file = writeTextFile (folder, "user.vlccmap",
                                     "<MidiControlMap name=\"Velcroft\"><assign CC=\"7\" param=\"FX\"/></MidiControlMap>");

    midi.setDefaultMapFile (file.getFullPathName());
    EXPECT_FALSE (midi.loadDefaultMap());                 // not enabled
    EXPECT_EQ (midi.getNumAssignments(), 0);

    midi.setDefaultMapEnabled (true);
    EXPECT_TRUE (midi.isDefaultMapEnabled());
    EXPECT_EQ (midi.getDefaultMapFile(), file.getFullPathName());
    EXPECT_TRUE (midi.loadDefaultMap());
    EXPECT_EQ (midi.getAssignedParameter (7), rig.fx);

    for (auto path : { juce::String(), juce::String ("user.vlccmap"), folder.getChildFile ("gone.vlccmap").getFullPathName() })
    {
        midi.setDefaultMapFile (path);
        EXPECT_FALSE (midi.loadDefaultMap()) << path;
        EXPECT_EQ (midi.getAssignedParameter (7), rig.fx);
    }
}
TEST (MidiControl, LearnModeSwitchedOffTheMessageThreadReachesListenersThroughIt)
{
    // A state restore on the host's thread switches learn off (loadFromXml): the editor that
    // listens must hear of it on the message thread, never on the restoring thread.
    Rig rig;
    auto& midi = rig.midi;
    std::vector<std::string> log;
    RecordingListener listener (log, "a");
    midi.addListener (&listener);

    struct ThreadCheck : public MidiControl::Listener
    {
        void learnStateChanged (MidiControl*) override
        {
            offMessageThread = offMessageThread || ! juce::MessageManager::existsAndIsCurrentThread();
        }
        std::atomic<bool> offMessageThread { false };
    } check;
    midi.addListener (&check);

    midi.setLearnMode (true);
    ASSERT_EQ (listener.learns, 1) << "on the message thread the notice comes at once";

    std::thread restorer ([&midi]
    {
        auto map = midi.createXml();
        midi.loadFromXml (*map);
        midi.setLearnMode (true);
        midi.setLearnMode (false);
    });
    restorer.join();

    EXPECT_FALSE (check.offMessageThread.load());
    EXPECT_EQ (listener.learns, 1);
    EXPECT_FALSE (midi.isLearnMode());
    midi.handleUpdateNowIfNeeded();
    EXPECT_EQ (listener.learns, 2) << "the changes made meanwhile arrive as one notice";
    EXPECT_FALSE (check.offMessageThread.load());
    midi.removeListener (&check);
    midi.removeListener (&listener);
}

} // namespace MidiControlTestsDetail
