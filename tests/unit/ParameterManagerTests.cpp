#include <gtest/gtest.h>

#include "framework/BoolParameter.h"
#include "framework/EnumParameter.h"
#include "framework/FloatParameter.h"
#include "framework/IntParameter.h"
#include "framework/NoteParameter.h"
#include "framework/ParameterManager.h"
#include "framework/StringParameter.h"
#include "product/VelcroftParameters.h"
#include "unit/MessageLoop.h"

#include <atomic>
#include <thread>
#include <vector>

namespace ParameterManagerTestsDetail
{
/** Counts its calls and remembers which parameters called, in order. */
struct CountingListener : public Parameter::Listener
{
    void parameterChanged (Parameter* p) override
    {
        ++changes;
        indices.push_back (p->getIndex());
    }

    int changes = 0;
    std::vector<int> indices;
};

/** A float parameter that reports its own deletion. */
struct TracedParameter : public FloatParameter
{
    TracedParameter (int index, const juce::String& name, bool& deletedFlag)
        : FloatParameter (index, name, 0.0f, 1.0f, 0.0f), deleted (deletedFlag) {}

    ~TracedParameter() override { deleted = true; }

    bool& deleted;
};

std::unique_ptr<juce::XmlElement> parseDefinitions (const char* xml)
{
    auto root = juce::parseXML (juce::String (xml));
    jassert (root != nullptr);
    return root;
}
} // namespace ParameterManagerTestsDetail

using namespace ParameterManagerTestsDetail;

//==============================================================================
TEST (ParameterManager, DefinitionsSkipBadElementsAndLoadTheRest)
{
    auto root = parseDefinitions (R"(
        <PluginParameters application="Test">
          <param name="No index" value="0.5"/>
          <param index="1" name="" value="0.5"/>
          <param index="2" value="0.5"/>
          <param index="3" name="Unknown type" type="double"/>
          <param index="4" name="Wrong case" type="Float"/>
          <param index="5" name="Loud" value="2.0" auto="true"/>
          <param index="5" name="Same index"/>
          <param index="6" name="Loud"/>
          <other index="7" name="Not a param"/>
          <param index="8" name="Steps" type="int" min="-2" max="6" value="9"/>
          <param index="9" name="Label" type="string" value="Hello there"/>
          <param index="10" name="Switch" type="bool" value="on"/>
          <param index="11" name="Power" type="state" value="1"/>
          <param index="12" name="Shape" type="enum" enum="Sine;Square;Saw" value="Saw"/>
          <param index="13" name="Root" type="note" value="C#5"/>
          <param index="14" name="Bad root" type="note" value="H-2"/>
          <param index="15" name="Ranged" min="-1" max="3" value="  1.5e0"/>
          <param index="16" name="Reversed" type="int" min="4" max="1" value="0"/>
          <param index="17" name="Empty enum" type="enum" enum="" value="x"/>
          <param index="18" name="Last" value="0.25"/>
        </PluginParameters>)");

    ParameterManager manager;
    manager.parseParameterDefinitions (*root);

    const int expectedOrder[] = { 5, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18 };
    ASSERT_EQ (manager.getNumParameters(), (int) std::size (expectedOrder));

    for (int i = 0; i < manager.getNumParameters(); ++i)
        EXPECT_EQ (manager.getParameterAt (i)->getIndex(), expectedOrder[i]);

    for (int absent : { 0, 1, 2, 3, 4, 6, 7 })
        EXPECT_EQ (manager.getParameter (absent), nullptr) << absent;

    EXPECT_EQ (manager.getParameterByName ("Same index"), nullptr);
    EXPECT_EQ (manager.getParameterName (5), "Loud");
    EXPECT_EQ (manager.getValue (5), 1.0f);                      // 2.0 clamped to the default range
    EXPECT_TRUE (manager.getParameter (5)->isAutomatable());
    EXPECT_FALSE (manager.getParameter (8)->isAutomatable());

    const struct { int index; const std::type_info& type; const char* text; } loaded[] = {
        { 8, typeid (IntParameter), "6" },
        { 9, typeid (StringParameter), "Hello there" },
        { 10, typeid (BoolParameter), "true" },
        { 11, typeid (BoolParameter), "on" },
        { 12, typeid (EnumParameter), "Saw" },
        { 13, typeid (NoteParameter), "C#5" },
        { 14, typeid (NoteParameter), "C-0" },
        { 15, typeid (FloatParameter), "1.500000000" },
        { 16, typeid (IntParameter), "1" },
        { 17, typeid (EnumParameter), "" },
        { 18, typeid (FloatParameter), "0.250000000" },
    };

    for (const auto& l : loaded)
    {
        auto* p = manager.getParameter (l.index);
        ASSERT_NE (p, nullptr) << l.index;
        EXPECT_EQ (typeid (*p), l.type) << l.index;
        EXPECT_EQ (manager.getText (l.index), l.text) << l.index;
        EXPECT_EQ (manager.getParameterByName (p->getName()), p);
    }

    EXPECT_EQ (manager.getNormalisedValue (8), 1.0f);
    EXPECT_EQ (manager.getNormalisedValue (15), 0.625f);
    EXPECT_EQ (manager.getNormalisedValue (17), 0.0f);

    // Another root element adds nothing.
    auto other = parseDefinitions (R"(<Parameters><param index="40" name="Stray"/></Parameters>)");
    manager.parseParameterDefinitions (*other);
    EXPECT_EQ (manager.getNumParameters(), (int) std::size (expectedOrder));
}

TEST (ParameterManager, ProductDefinitionsAreTheParameterIndicesInOrder)
{
    // Each index of VelcroftParameters names the parameter the definitions give that index.
    namespace P = VelcroftParameters;
    const struct { P::Index index; const char* name; float value; } expected[] = {
        { P::preamp, "Preamp", 0.0f }, { P::leftBits, "Left Bits", 1.0f }, { P::leftFrequency, "Left Frequency", 1.0f },
        { P::leftLinkFreq, "Left Link Freq", 0.0f }, { P::leftFilterType, "Left Filter Type", 1.0f },
        { P::leftCutoff, "Left Cutoff", 1.0f }, { P::leftReso, "Left Reso/Bandwidth", 0.0f },
        { P::rightBits, "Right Bits", 1.0f }, { P::rightFrequency, "Right Frequency", 1.0f },
        { P::rightLinkFreq, "Right Link Freq", 0.0f }, { P::rightFilterType, "Right Filter Type", 1.0f },
        { P::rightCutoff, "Right Cutoff", 1.0f }, { P::rightReso, "Right Reso/Bandwidth", 0.0f },
        { P::linkChannels, "Link Channels", 1.0f }, { P::fx, "FX", 1.0f }, { P::outputVolume, "Output Volume", 0.5f },
        { P::leftFilterOrder, "Left Filter Order", 0.0f }, { P::rightFilterOrder, "Right Filter Order", 0.0f },
    };
    static_assert (std::size (expected) == P::numParameters);

    ParameterManager manager;
    manager.loadParameterDefinitions ("parameters.xml");
    ASSERT_EQ (manager.getNumParameters(), P::numParameters);

    for (const auto& e : expected)
    {
        auto* p = dynamic_cast<FloatParameter*> (manager.getParameter (e.index));
        ASSERT_NE (p, nullptr) << e.name;
        EXPECT_EQ (p->getName(), e.name) << "index " << e.index;
        EXPECT_EQ (p->getValue(), e.value) << e.name;
        EXPECT_EQ (p->getMinimum(), 0.0f);
        EXPECT_EQ (p->getMaximum(), 1.0f);
        EXPECT_TRUE (p->isAutomatable()) << e.name;
    }

    // Listed in index order, which the factory table's columns follow.
    for (int i = 0; i < P::numParameters; ++i)
        EXPECT_EQ (manager.getParameterAt (i)->getIndex(), i);

    // A missing resource loads nothing.
    manager.loadParameterDefinitions ("nothing-here.xml");
    EXPECT_EQ (manager.getNumParameters(), P::numParameters);
}

TEST (ParameterManager, AddingNeverLeavesADanglingPointer)
{
    ParameterManager manager;
    bool firstDeleted = false, sameIndexDeleted = false, sameNameDeleted = false;

    auto first = std::make_unique<TracedParameter> (3, "Three", firstDeleted);
    auto* held = first.get();
    EXPECT_TRUE (manager.addParameter (std::move (first)));
    EXPECT_FALSE (manager.addParameter (nullptr));

    // Offering a parameter it already holds is refused and deletes nothing.
    EXPECT_FALSE (manager.addParameter (std::unique_ptr<Parameter> (held)));
    EXPECT_FALSE (firstDeleted);
    EXPECT_EQ (manager.getParameter (3), held);
    EXPECT_EQ (manager.getParameterByName ("Three"), held);
    held->setValue (0.5f, false);
    EXPECT_EQ (manager.getValue (3), 0.5f);

    // A new parameter whose index or name is taken is refused and deleted.
    EXPECT_FALSE (manager.addParameter (std::make_unique<TracedParameter> (3, "Other", sameIndexDeleted)));
    EXPECT_TRUE (sameIndexDeleted);
    EXPECT_FALSE (manager.addParameter (std::make_unique<TracedParameter> (4, "Three", sameNameDeleted)));
    EXPECT_TRUE (sameNameDeleted);
    EXPECT_EQ (manager.getNumParameters(), 1);
    EXPECT_EQ (manager.getParameterByName ("Other"), nullptr);
    EXPECT_EQ (manager.getParameter (4), nullptr);

    manager.clear();
    EXPECT_TRUE (firstDeleted);
    EXPECT_EQ (manager.getNumParameters(), 0);
    EXPECT_EQ (manager.getParameter (3), nullptr);
    EXPECT_EQ (manager.getParameterByName ("Three"), nullptr);

    // Index and name are free again after clearing.
    EXPECT_TRUE (manager.addParameter (std::make_unique<FloatParameter> (3, "Three", 0.0f, 1.0f, 0.0f)));
}

TEST (ParameterManager, AbsentParametersGiveNeutralAnswers)
{
    ParameterManager manager;
    manager.addParameter (std::make_unique<FloatParameter> (0, "Zero", 0.0f, 1.0f, 0.75f));
    CountingListener listener;

    EXPECT_EQ (manager.getParameter (1), nullptr);
    EXPECT_EQ (manager.getParameterAt (1), nullptr);
    EXPECT_EQ (manager.getParameterAt (-1), nullptr);
    EXPECT_EQ (manager.getParameterByName ("zero"), nullptr);
    EXPECT_EQ (manager.getParameterName (1), "");
    EXPECT_EQ (manager.getValue (1), 0.0f);
    EXPECT_EQ (manager.getNormalisedValue (-5), 0.0f);
    EXPECT_FALSE (manager.getBoolValue (1));
    EXPECT_EQ (manager.getText (1), "");

    // Setters and listener calls for absent parameters (here the preset pseudo-parameters) do nothing.
    manager.setNormalisedValue (1, 0.5f);
    manager.setCurrentPresetNumber (3);
    manager.setCurrentPresetName ("Name");
    manager.addListener (1, &listener);
    manager.addAsyncListener (1, &listener);
    manager.removeAsyncListener (1, &listener);
    EXPECT_EQ (manager.getNumParameters(), 1);
    EXPECT_TRUE (manager.getBoolValue (0));
}

TEST (ParameterManager, PresetPseudoParametersAndListeners)
{
    ParameterManager manager;
    manager.loadParameterDefinitions ("parameters.xml");
    manager.addParameter (std::make_unique<IntParameter> (ParameterManager::currentPresetNumberIndex, "Current Preset Number", 0, 127, 0));
    manager.addParameter (std::make_unique<StringParameter> (ParameterManager::currentPresetNameIndex, "Current Preset Name"));

    CountingListener all, one, async;
    manager.addListenerToAll (&all);
    manager.addListenerToAll (&all);
    manager.addListener (15, &one);
    manager.addAsyncListener (ParameterManager::currentPresetNameIndex, &async);

    manager.setNormalisedValue (15, 0.8f);
    manager.setNormalisedValue (15, 0.8f);                // unchanged: nobody is told
    manager.setCurrentPresetNumber (200);
    manager.setCurrentPresetName ("Crushed");
    manager.setCurrentPresetName ("Crushed");

    EXPECT_EQ (manager.getValue (15), 0.8f);
    EXPECT_EQ (manager.getText (ParameterManager::currentPresetNumberIndex), "127");
    EXPECT_EQ (manager.getText (ParameterManager::currentPresetNameIndex), "Crushed");
    EXPECT_EQ (all.indices, (std::vector<int> { 15, 110000, 110001 }));
    EXPECT_EQ (one.changes, 1);

    MessageLoop::runFor (50);
    EXPECT_EQ (async.changes, 1);

    // notifyAll: every parameter once in insertion order, then the asynchronous lists.
    all.indices.clear();
    manager.removeListener (15, &one);
    manager.addAsyncListenerToAll (&async);
    async.indices.clear();
    manager.notifyAll();
    const auto numIndices = (size_t) VelcroftParameters::numParameters + 2;     // and the two pseudo-parameters
    ASSERT_EQ (all.indices.size(), numIndices);

    for (int i = 0; i < VelcroftParameters::numParameters; ++i)
        EXPECT_EQ (all.indices[(size_t) i], i);

    EXPECT_EQ (all.indices[numIndices - 1], ParameterManager::currentPresetNameIndex);
    EXPECT_EQ (one.changes, 1);

    MessageLoop::runFor (50);
    EXPECT_EQ (async.indices.size(), numIndices);

    manager.removeAsyncListenerFromAll (&async);
    manager.removeListenerFromAll (&all);
    manager.notifyAll();
    MessageLoop::runFor (50);
    EXPECT_EQ (all.indices.size(), numIndices);
    EXPECT_EQ (async.indices.size(), numIndices);
}

//==============================================================================
TEST (ParameterManager, WritersReadersAndACoreLockDoNotDeadlock)
{
    // The listener stands in for the effect, taking its core lock for every change; the
    // reader holds that same lock while it reads the preset name, as processing would.
    struct CoreListener : public Parameter::Listener
    {
        explicit CoreListener (juce::CriticalSection& l) : coreLock (l) {}

        void parameterChanged (Parameter* p) override
        {
            const juce::ScopedLock sl (coreLock);
            lastText = p->getText();
            ++changes;
        }

        juce::CriticalSection& coreLock;
        juce::String lastText;
        std::atomic<int> changes { 0 };
    };

    ParameterManager manager;
    manager.loadParameterDefinitions ("parameters.xml");
    manager.addParameter (std::make_unique<StringParameter> (ParameterManager::currentPresetNameIndex, "Current Preset Name"));

    juce::CriticalSection coreLock;
    CoreListener listener (coreLock);
    manager.addListenerToAll (&listener);

    constexpr int iterations = 3000;

    std::thread writer ([&]
    {
        for (int i = 0; i < iterations; ++i)
        {
            manager.setNormalisedValue (i % VelcroftParameters::numParameters, (float) (i % 101) / 100.0f);
            manager.setCurrentPresetName ("Preset " + juce::String (i));
        }
    });

    std::thread reader ([&]
    {
        for (int i = 0; i < iterations; ++i)
        {
            {
                const juce::ScopedLock sl (coreLock);
                const auto name = manager.getText (ParameterManager::currentPresetNameIndex);
                EXPECT_TRUE (name.isEmpty() || name.startsWith ("Preset "));
                EXPECT_GE (manager.getValue (i % VelcroftParameters::numParameters), 0.0f);
                EXPECT_LE (manager.getNormalisedValue (i % VelcroftParameters::numParameters), 1.0f);
            }

            if (i % 100 == 0)
                manager.notifyAll();
        }
    });

    writer.join();
    reader.join();

    EXPECT_EQ (manager.getText (ParameterManager::currentPresetNameIndex), "Preset " + juce::String (iterations - 1));
    EXPECT_GT (listener.changes.load(), iterations);

    // Deliver what the threads posted before the parameters go away.
    MessageLoop::runFor (50);
}
