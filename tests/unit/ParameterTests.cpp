#include <gtest/gtest.h>

#include "framework/BoolParameter.h"
#include "framework/EnumParameter.h"
#include "framework/FloatParameter.h"
#include "framework/IntParameter.h"
#include "framework/NoteParameter.h"
#include "framework/StringParameter.h"
#include "unit/MessageLoop.h"

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

namespace ParameterTestsDetail
{
constexpr float floatNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float floatInf = std::numeric_limits<float>::infinity();

/** Records every call it gets, with the thread it came on. */
struct RecordingListener : public Parameter::Listener
{
    explicit RecordingListener (std::vector<int>* order = nullptr, int tag = 0) : callOrder (order), id (tag) {}

    void parameterChanged (Parameter* p) override
    {
        ++changes;
        lastParameter = p;
        lastText = p->getText();
        onMessageThread = juce::MessageManager::getInstance()->isThisTheMessageThread();

        if (callOrder != nullptr)
            callOrder->push_back (id);

        if (removeSelfFrom != nullptr)
            removeSelfFrom->removeListener (this);
    }

    void parameterGestureBegin (Parameter*) override   { ++gestureBegins; }
    void parameterGestureEnd (Parameter*) override     { ++gestureEnds; }

    std::vector<int>* callOrder;
    int id;
    int changes = 0, gestureBegins = 0, gestureEnds = 0;
    Parameter* lastParameter = nullptr;
    juce::String lastText;
    bool onMessageThread = false;
    Parameter* removeSelfFrom = nullptr;
};

void pumpMessages()
{
    MessageLoop::runFor (50);
}
} // namespace ParameterTestsDetail

using namespace ParameterTestsDetail;

//==============================================================================
TEST (FloatParameter, Conversions)
{
    FloatParameter p (1, "f", 0.0f, 1.0f, 0.5f);
    EXPECT_TRUE (p.getBoolValue());          // the midpoint counts as the upper half
    p.setValue (0.49f, false);
    EXPECT_FALSE (p.getBoolValue());

    const struct { float value; float expected; } setValueCases[] = {
        { 0.25f, 0.25f }, { 2.0f, 1.0f }, { -3.0f, 0.0f }, { floatInf, 1.0f }, { -floatInf, 0.0f }, { -0.0f, 0.0f },
    };

    for (const auto& c : setValueCases)
    {
        p.setValue (c.value, false);
        EXPECT_EQ (p.getValue(), c.expected) << c.value;
    }

    EXPECT_FALSE (std::signbit (p.getValue()));   // -0 is stored as 0, never shown as "-0"

    // A range of -10..10.
    FloatParameter r (2, "r", -10.0f, 10.0f, 0.0f);
    const struct { float normalised; float value; int intValue; } normCases[] = {
        { 0.0f, -10.0f, -10 }, { 0.5f, 0.0f, 0 }, { 0.75f, 5.0f, 5 }, { 1.0f, 10.0f, 10 }, { 1.5f, 10.0f, 10 },
        { -1.0f, -10.0f, -10 }, { 0.365f, -2.7f, -2 },
    };

    for (const auto& c : normCases)
    {
        r.setNormalisedValue (c.normalised, false);
        EXPECT_NEAR (r.getValue(), c.value, 1e-5f) << c.normalised;
        EXPECT_NEAR (r.getNormalisedValue(), juce::jlimit (0.0f, 1.0f, c.normalised), 1e-6f);
        EXPECT_EQ (r.getIntValue(), c.intValue) << c.normalised;   // truncated toward zero
    }

    r.setIntValue (7, false);            EXPECT_EQ (r.getValue(), 7.0f);
    r.setIntValue (70, false);           EXPECT_EQ (r.getValue(), 10.0f);
    r.setBoolValue (false, false);       EXPECT_EQ (r.getValue(), -10.0f);
    r.setBoolValue (true, false);        EXPECT_EQ (r.getValue(), 10.0f);
    r.setValueFromText ("-2.5", false);  EXPECT_EQ (r.getValue(), -2.5f);
    r.setValueFromText ("1e9", false);   EXPECT_EQ (r.getValue(), 10.0f);
    r.setValueFromText ("junk", false);  EXPECT_EQ (r.getValue(), 0.0f);
    EXPECT_EQ (r.getText(), "0.000000000");
    r.setValue (0.125f, false);
    EXPECT_EQ (r.getText(), "0.125000000");

    // NaN is no value: every setter ignores it.
    r.setValue (floatNaN, false);
    r.setNormalisedValue (floatNaN, false);
    r.setValueFromText ("nan", false);
    EXPECT_EQ (r.getValue(), 0.125f);

    // A range of one point and a reversed or non-finite range never divide by zero.
    FloatParameter point (3, "point", 0.3f, 0.3f, 0.9f);
    EXPECT_EQ (point.getValue(), 0.3f);
    EXPECT_EQ (point.getNormalisedValue(), 0.0f);
    point.setNormalisedValue (0.7f, false);
    EXPECT_EQ (point.getValue(), 0.3f);

    FloatParameter reversed (4, "reversed", 1.0f, -1.0f, 0.5f);
    EXPECT_EQ (reversed.getMinimum(), -1.0f);
    EXPECT_EQ (reversed.getMaximum(), 1.0f);
    EXPECT_EQ (reversed.getNormalisedValue(), 0.75f);

    constexpr auto largest = std::numeric_limits<float>::max();
    FloatParameter huge (6, "huge", -largest, largest, 0.0f);
    EXPECT_EQ (huge.getNormalisedValue(), 0.5f);
    EXPECT_TRUE (huge.getBoolValue());
    huge.setNormalisedValue (0.0f, false);
    EXPECT_EQ (huge.getValue(), -largest);
    huge.setNormalisedValue (1.0f, false);
    EXPECT_EQ (huge.getValue(), largest);

    FloatParameter unbounded (5, "unbounded", -floatInf, floatNaN, floatNaN);
    EXPECT_EQ (unbounded.getMinimum(), 0.0f);
    EXPECT_EQ (unbounded.getMaximum(), 1.0f);
    EXPECT_FALSE (std::isnan (unbounded.getNormalisedValue()));
}

TEST (IntParameter, Conversions)
{
    IntParameter p (1, "i", 0, 3, 0);

    const struct { float normalised; int expected; } normCases[] = {
        { 0.5f, 2 }, { 0.1666f, 0 }, { 0.17f, 1 }, { 0.84f, 3 }, { 1.0f, 3 }, { 7.0f, 3 }, { -0.5f, 0 }, { floatInf, 3 },
    };

    for (const auto& c : normCases)
    {
        p.setNormalisedValue (c.normalised, false);
        EXPECT_EQ (p.getIntValue(), c.expected) << c.normalised;
    }

    // Floats are clamped before they become integers: no overflow for huge or infinite values.
    const struct { float value; int expected; } valueCases[] = {
        { 2.9f, 2 }, { -0.9f, 0 }, { 1e30f, 3 }, { -1e30f, 0 }, { floatInf, 3 }, { -floatInf, 0 }, { 1.0f, 1 },
    };

    for (const auto& c : valueCases)
    {
        p.setValue (c.value, false);
        EXPECT_EQ (p.getIntValue(), c.expected) << c.value;
    }

    p.setValue (floatNaN, false);
    p.setNormalisedValue (floatNaN, false);
    EXPECT_EQ (p.getIntValue(), 1);

    const struct { const char* text; int expected; } textCases[] = {
        { "2", 2 }, { "  3abc", 3 }, { "-5", 0 }, { "99999999999999999999", 3 }, { "abc", 0 }, { "2.9", 2 },
    };

    for (const auto& c : textCases)
    {
        p.setValueFromText (c.text, false);
        EXPECT_EQ (p.getIntValue(), c.expected) << c.text;
    }

    p.setIntValue (2, false);
    EXPECT_EQ (p.getValue(), 2.0f);
    EXPECT_FLOAT_EQ (p.getNormalisedValue(), 2.0f / 3.0f);
    EXPECT_EQ (p.getText(), "2");
    EXPECT_TRUE (p.getBoolValue());
    p.setBoolValue (false, false);
    EXPECT_EQ (p.getIntValue(), 0);
    EXPECT_FALSE (p.getBoolValue());
    p.setBoolValue (true, false);
    EXPECT_EQ (p.getIntValue(), 3);

    // A one-value range, and the widest range there is.
    IntParameter point (2, "point", 5, 5, 0);
    EXPECT_EQ (point.getIntValue(), 5);
    EXPECT_EQ (point.getNormalisedValue(), 0.0f);

    IntParameter wide (3, "wide", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), 0);
    wide.setNormalisedValue (1.0f, false);
    EXPECT_EQ (wide.getIntValue(), std::numeric_limits<int>::max());
    EXPECT_EQ (wide.getNormalisedValue(), 1.0f);
    wide.setNormalisedValue (0.0f, false);
    EXPECT_EQ (wide.getIntValue(), std::numeric_limits<int>::min());
    wide.setValue (-floatInf, false);
    EXPECT_EQ (wide.getIntValue(), std::numeric_limits<int>::min());
}

TEST (BoolParameter, ConversionsAndStyles)
{
    BoolParameter p (1, "b");

    const struct { float normalised; bool expected; } normCases[] = {
        { 0.5f, true }, { 0.4999f, false }, { 1.5f, true }, { -0.5f, false }, { 0.0f, false }, { 1.0f, true },
    };

    for (const auto& c : normCases)
    {
        p.setNormalisedValue (c.normalised, false);
        EXPECT_EQ (p.getBoolValue(), c.expected) << c.normalised;
    }

    const struct { float value; bool expected; } valueCases[] = { { -1.0f, true }, { 0.0f, false }, { 0.1f, true }, { -0.0f, false } };

    for (const auto& c : valueCases)
    {
        p.setValue (c.value, false);
        EXPECT_EQ (p.getBoolValue(), c.expected) << c.value;
    }

    const struct { const char* text; bool expected; } textCases[] = {
        { "true", true }, { "false", false }, { "on", true }, { "off", false }, { "1", true }, { "0", false },
        { "yes", true }, { "no", false }, { "0.7", true }, { "0.2", false }, { "TRUE", false }, { "junk", false },
    };

    for (const auto& c : textCases)
    {
        p.setBoolValue (! c.expected, false);
        p.setValueFromText (c.text, false);
        EXPECT_EQ (p.getBoolValue(), c.expected) << c.text;
    }

    p.setIntValue (5, false);
    EXPECT_EQ (p.getIntValue(), 1);
    EXPECT_EQ (p.getValue(), 1.0f);
    EXPECT_EQ (p.getNormalisedValue(), 1.0f);

    const struct { int style; const char* on; const char* off; } styles[] = {
        { BoolParameter::trueFalse, "true", "false" }, { BoolParameter::onOff, "on", "off" },
        { BoolParameter::oneZero, "1", "0" }, { BoolParameter::yesNo, "yes", "no" }, { 17, "true", "false" },
    };

    for (const auto& s : styles)
    {
        BoolParameter b (2, "styled", s.style);
        EXPECT_EQ (b.getText(), s.off);
        b.setBoolValue (true, false);
        EXPECT_EQ (b.getText(), s.on);
    }
}

TEST (StringParameter, Conversions)
{
    StringParameter p (1, "s");

    const struct { float value; const char* text; } printed[] = {
        { 0.5f, "0.5" }, { 1.0f / 3.0f, "0.333333343" }, { -2.0f, "-2" }, { 1e20f, "1.00000002e+20" }, { 0.0f, "0" },
    };

    for (const auto& c : printed)
    {
        p.setValue (c.value, false);
        EXPECT_EQ (p.getText(), c.text) << c.value;
        p.setNormalisedValue (c.value, false);   // printed the same way, without clamping
        EXPECT_EQ (p.getText(), c.text) << c.value;
    }

    p.setValue (floatNaN, false);
    EXPECT_EQ (p.getText(), "0");

    p.setIntValue (-7, false);        EXPECT_EQ (p.getText(), "-7");
    p.setBoolValue (true, false);     EXPECT_EQ (p.getText(), "true");
    p.setBoolValue (false, false);    EXPECT_EQ (p.getText(), "false");

    const struct { const char* text; float value; float normalised; int intValue; bool boolValue; } readCases[] = {
        { "0.25", 0.25f, 0.25f, 0, true },
        { "2.5", 2.5f, 1.0f, 2, true },
        { "-3", -3.0f, 0.0f, -3, true },
        { "42abc", 42.0f, 1.0f, 42, true },
        { "0", 0.0f, 0.0f, 0, false },
        { "true", 0.0f, 0.0f, 0, true },
        { "On", 0.0f, 0.0f, 0, true },
        { "YES", 0.0f, 0.0f, 0, true },
        { "false", 0.0f, 0.0f, 0, false },
        { "off", 0.0f, 0.0f, 0, false },
        { "no", 0.0f, 0.0f, 0, false },
        { "", 0.0f, 0.0f, 0, false },
        { "Preset 12", 0.0f, 0.0f, 0, false },
        { "99999999999", 1e11f, 1.0f, std::numeric_limits<int>::max(), true },
    };

    for (const auto& c : readCases)
    {
        p.setValueFromText (c.text, false);
        EXPECT_EQ (p.getText(), c.text);
        EXPECT_FLOAT_EQ (p.getValue(), c.value) << c.text;
        EXPECT_EQ (p.getNormalisedValue(), c.normalised) << c.text;
        EXPECT_EQ (p.getIntValue(), c.intValue) << c.text;
        EXPECT_EQ (p.getBoolValue(), c.boolValue) << c.text;
    }
}

TEST (EnumParameter, ItemsAndConversions)
{
    const struct { const char* list; juce::StringArray items; } splits[] = {
        { "a;b;c", { "a", "b", "c" } }, { "a;b;", { "a", "b" } }, { "a;;b", { "a", "", "b" } },
        { ";a", { "", "a" } }, { ";", { "" } }, { "", {} }, { "single", { "single" } },
    };

    for (const auto& s : splits)
        EXPECT_EQ (EnumParameter::splitItemList (s.list), s.items) << s.list;

    EnumParameter e (1, "e", "a;b;c", "b");
    EXPECT_EQ (e.getIntValue(), 1);
    EXPECT_EQ (e.getText(), "b");
    EXPECT_EQ (e.getMaximum(), 2);

    const struct { const char* text; int expected; } textCases[] = {
        { "c", 2 }, { "0.5", 1 }, { "a", 0 }, { "1", 2 }, { "C", 0 }, { "0.3", 1 },
    };

    for (const auto& c : textCases)
    {
        e.setValueFromText (c.text, false);
        EXPECT_EQ (e.getIntValue(), c.expected) << c.text;
    }

    // No items: one position, no text, no division by zero.
    EnumParameter empty (2, "empty", "", "whatever");
    EXPECT_EQ (empty.getIntValue(), 0);
    EXPECT_EQ (empty.getText(), "");
    EXPECT_EQ (empty.getNormalisedValue(), 0.0f);
    empty.setNormalisedValue (1.0f, false);
    EXPECT_EQ (empty.getIntValue(), 0);

    EnumParameter unknownInitial (3, "u", "x;y;z", "0.9");
    EXPECT_EQ (unknownInitial.getText(), "z");
}

TEST (NoteParameter, RangeAndNames)
{
    NoteParameter n (1, "n", 60);
    EXPECT_EQ (n.getText(), "C-5");

    const struct { int note; int expected; const char* text; } intCases[] = {
        { 200, 127, "G-X" }, { -4, 0, "C-0" }, { 61, 61, "C#5" },
    };

    for (const auto& c : intCases)
    {
        n.setIntValue (c.note, false);
        EXPECT_EQ (n.getIntValue(), c.expected) << c.note;
        EXPECT_EQ (n.getText(), c.text) << c.note;
    }

    const struct { const char* text; int expected; } textCases[] = {
        { "A-4", 57 }, { "G#X", 127 }, { "0.5", 64 }, { "c-5", 0 }, { "1", 127 },
    };

    for (const auto& c : textCases)
    {
        n.setValueFromText (c.text, false);
        EXPECT_EQ (n.getIntValue(), c.expected) << c.text;
    }

    EXPECT_EQ (NoteParameter (2, "high", 500).getIntValue(), 127);
}

TEST (Parameter, ValueFromOtherTypes)
{
    FloatParameter f (1, "f", 0.0f, 10.0f, 2.5f);
    IntParameter i (2, "i", 0, 5, 0);
    BoolParameter b (3, "b");
    StringParameter s (4, "s");
    EnumParameter e (5, "e", "a;b;c");

    i.setValueFrom (f, false);   EXPECT_EQ (i.getIntValue(), 2);
    b.setValueFrom (f, false);   EXPECT_FALSE (b.getBoolValue());   // 2.5 of 0..10 is the lower half
    s.setValueFrom (f, false);   EXPECT_EQ (s.getText(), "2.500000000");
    f.setValueFrom (s, false);   EXPECT_EQ (f.getValue(), 2.5f);
    e.setValueFrom (i, false);   EXPECT_EQ (e.getText(), "c");
    s.setValueFrom (e, false);   EXPECT_EQ (s.getText(), "c");
    f.setValueFrom (e, false);   EXPECT_EQ (f.getValue(), 2.0f);
    b.setValueFrom (i, false);   EXPECT_TRUE (b.getBoolValue());
}

TEST (Parameter, CloneCopiesTypeRangeAndValueButNoListeners)
{
    std::vector<std::unique_ptr<Parameter>> originals;
    originals.push_back (std::make_unique<FloatParameter> (1, "f", -2.0f, 2.0f, 1.5f));
    originals.push_back (std::make_unique<IntParameter> (2, "i", -5, 5, -3));
    originals.push_back (std::make_unique<BoolParameter> (3, "b", BoolParameter::yesNo, true));
    originals.push_back (std::make_unique<StringParameter> (4, "s", "hello"));
    originals.push_back (std::make_unique<EnumParameter> (5, "e", "x;x;y", "0.5"));   // second "x", not the first
    originals.push_back (std::make_unique<NoteParameter> (6, "n", 61));

    RecordingListener listener;

    for (auto& original : originals)
    {
        original->setAutomatable (true);
        original->addListener (&listener);
        original->addAsyncListener (&listener);

        auto copy = original->clone();
        ASSERT_NE (copy, nullptr);
        EXPECT_EQ (typeid (*copy), typeid (*original));
        EXPECT_EQ (copy->getIndex(), original->getIndex());
        EXPECT_EQ (copy->getName(), original->getName());
        EXPECT_TRUE (copy->isAutomatable());
        EXPECT_EQ (copy->getText(), original->getText());
        EXPECT_EQ (copy->getIntValue(), original->getIntValue());

        // The same range: the ends are reached the same way.
        copy->setBoolValue (false, false);
        original->setBoolValue (false, false);
        EXPECT_EQ (copy->getText(), original->getText());

        copy->setValueFromText ("1", true);
        copy->setNormalisedValue (0.75f, true);
    }

    pumpMessages();
    EXPECT_EQ (listener.changes, 0);

    auto enumCopy = originals[4]->clone();
    EXPECT_EQ (dynamic_cast<EnumParameter&> (*enumCopy).getItemList(), "x;x;y");
    auto floatCopy = originals[0]->clone();
    EXPECT_EQ (dynamic_cast<FloatParameter&> (*floatCopy).getMinimum(), -2.0f);
}

//==============================================================================
TEST (Parameter, EqualValuesAndSilentSettersNotifyNobody)
{
    std::vector<std::unique_ptr<Parameter>> params;
    params.push_back (std::make_unique<FloatParameter> (1, "f", 0.0f, 1.0f, 0.0f));
    params.push_back (std::make_unique<IntParameter> (2, "i", 0, 10, 0));
    params.push_back (std::make_unique<BoolParameter> (3, "b"));
    params.push_back (std::make_unique<StringParameter> (4, "s", "0"));
    params.push_back (std::make_unique<EnumParameter> (5, "e", "a;b"));
    params.push_back (std::make_unique<NoteParameter> (6, "n"));

    for (auto& p : params)
    {
        RecordingListener sync, async;
        p->addListener (&sync);
        p->addAsyncListener (&async);

        p->setIntValue (1, false);                  // silent change
        EXPECT_EQ (sync.changes, 0) << p->getName();

        p->setIntValue (1, true);                   // the value already stored
        p->setValueFromText (p->getText(), true);
        EXPECT_EQ (sync.changes, 0) << p->getName();

        p->setIntValue (0, true);                   // a real change
        EXPECT_EQ (sync.changes, 1) << p->getName();
        EXPECT_EQ (sync.lastParameter, p.get());

        p->setValueFrom (*p, true);                 // its own value
        EXPECT_EQ (sync.changes, 1) << p->getName();

        pumpMessages();
        EXPECT_EQ (async.changes, 1) << p->getName();

        p->removeListener (&sync);
        p->removeAsyncListener (&async);
    }
}

TEST (Parameter, SynchronousListenersRunLastAddedFirstAndMayRemoveThemselves)
{
    FloatParameter p (1, "f", 0.0f, 1.0f, 0.0f);
    std::vector<int> order;
    RecordingListener first (&order, 1), second (&order, 2), third (&order, 3);

    p.addListener (&first);
    p.addListener (&second);
    p.addListener (&third);
    p.addListener (&second);     // already present
    p.addListener (nullptr);

    p.setValue (0.1f, true);
    EXPECT_EQ (order, (std::vector<int> { 3, 2, 1 }));

    // The last entry removes itself during the walk, and then a middle one: the others still run once.
    third.removeSelfFrom = &p;
    order.clear();
    p.setValue (0.2f, true);
    EXPECT_EQ (order, (std::vector<int> { 3, 2, 1 }));

    second.removeSelfFrom = &p;
    order.clear();
    p.setValue (0.3f, true);
    EXPECT_EQ (order, (std::vector<int> { 2, 1 }));

    order.clear();
    p.setValue (0.4f, true);
    EXPECT_EQ (order, (std::vector<int> { 1 }));

    // Gestures go to each synchronous listener, not to the asynchronous ones.
    RecordingListener async;
    p.addAsyncListener (&async);
    p.sendGestureBegin();
    p.sendGestureEnd();
    p.sendGestureEnd();
    EXPECT_EQ (first.gestureBegins, 1);
    EXPECT_EQ (first.gestureEnds, 2);
    EXPECT_EQ (async.gestureBegins + async.gestureEnds, 0);
    EXPECT_EQ (third.gestureBegins, 0);
    p.removeAsyncListener (&async);
}

TEST (Parameter, AsyncListenersGetOneCallOnTheMessageThreadWithTheLatestValue)
{
    IntParameter p (1, "i", 0, 100, 0);
    std::vector<int> order;
    RecordingListener a (&order, 1), b (&order, 2);
    p.addAsyncListener (&a);
    p.addAsyncListener (&b);
    p.addAsyncListener (&a);

    // Changes from this thread and from another one, before the message loop runs.
    for (int i = 1; i <= 5; ++i)
        p.setIntValue (i, true);

    std::thread other ([&p] { for (int i = 6; i <= 9; ++i) p.setIntValue (i, true); });
    other.join();

    EXPECT_EQ (a.changes, 0);
    pumpMessages();
    EXPECT_EQ (a.changes, 1);
    EXPECT_EQ (b.changes, 1);
    EXPECT_EQ (a.lastText, "9");
    EXPECT_TRUE (a.onMessageThread);
    EXPECT_EQ (order, (std::vector<int> { 2, 1 }));

    pumpMessages();
    EXPECT_EQ (a.changes, 1);

    p.removeAsyncListener (&b);
    p.setIntValue (10, true);
    pumpMessages();
    EXPECT_EQ (a.changes, 2);
    EXPECT_EQ (b.changes, 1);

    // A parameter deleted before its update is delivered calls nobody.
    RecordingListener late;
    {
        FloatParameter doomed (2, "doomed", 0.0f, 1.0f, 0.0f);
        doomed.addAsyncListener (&late);
        doomed.setValue (1.0f, true);
    }
    pumpMessages();
    EXPECT_EQ (late.changes, 0);
}

TEST (StringParameter, ListenersMayReadTheTextOnTheChangingThread)
{
    struct Reader : public Parameter::Listener
    {
        void parameterChanged (Parameter* p) override { seen = p->getText(); ++calls; }
        juce::String seen;
        int calls = 0;
    };

    StringParameter p (110001, "Current Preset Name", "Init");
    Reader reader;
    p.addListener (&reader);
    p.setValueFromText ("Crunchy", true);
    EXPECT_EQ (reader.seen, "Crunchy");
    p.setValueFromText ("Crunchy", true);
    EXPECT_EQ (reader.calls, 1);
    p.setValueFromText ("crunchy", true);   // compared exactly
    EXPECT_EQ (reader.calls, 2);
}
