#include "framework/PresetCollection.h"

#include <gtest/gtest.h>

#include <vector>

namespace PresetCollectionTestsDetail
{
/** Records which listener was told, in order. */
struct RecordingListener : public PresetCollection::Listener
{
    RecordingListener (std::vector<int>& logToUse, int idToUse) : log (logToUse), id (idToUse) {}

    void currentChanged (PresetCollection* c) override
    {
        log.push_back (id);
        seenCurrent = c->getCurrent();
    }

    std::vector<int>& log;
    int id;
    PresetCollection::Entry* seenCurrent = nullptr;
};

const juce::File presetRoot ("/presets");

TEST (PresetCollection, NextAndPreviousWrapAround)
{
    PresetCollection collection;

    // An empty list: nothing happens.
    collection.selectNext();
    collection.selectPrevious();
    EXPECT_EQ (collection.getCurrent(), nullptr);

    auto* a = collection.addEntry (presetRoot.getChildFile ("a.vlprs"));
    auto* b = collection.addEntry (presetRoot.getChildFile ("b.vlprs"));
    auto* c = collection.addEntry (presetRoot.getChildFile ("c.vlprs"));

    struct Step { PresetCollection::Entry* from; bool next; PresetCollection::Entry* to; };

    const Step steps[] = {
        { nullptr, true,  a }, // no current entry: next gives the first
        { nullptr, false, c }, // ... and previous the last
        { a,       true,  b },
        { b,       true,  c },
        { c,       true,  a }, // past the last
        { c,       false, b },
        { b,       false, a },
        { a,       false, c }, // before the first
    };

    for (auto& step : steps)
    {
        collection.setCurrent (step.from);
        step.next ? collection.selectNext() : collection.selectPrevious();
        EXPECT_EQ (collection.getCurrent(), step.to)
            << (step.next ? "next" : "previous") << " from " << collection.getEntry (0)->getFile().getFileName();
    }

    // A single entry stays current both ways.
    PresetCollection single;
    auto* only = single.addEntry (presetRoot.getChildFile ("only.vlprs"));
    single.selectPrevious();
    EXPECT_EQ (single.getCurrent(), only);
    single.selectNext();
    EXPECT_EQ (single.getCurrent(), only);
}

TEST (PresetCollection, SetCurrentTellsListenersOnceAndOnlyOnChange)
{
    PresetCollection collection;
    auto* a = collection.addEntry (presetRoot.getChildFile ("a.vlprs"));
    auto* b = collection.addEntry (presetRoot.getChildFile ("b.vlprs"));

    std::vector<int> log;
    RecordingListener first (log, 1), second (log, 2);
    collection.addListener (&first);
    collection.addListener (&second);
    collection.addListener (&first); // already there: still told once
    collection.addListener (nullptr);

    collection.setCurrent (a);
    EXPECT_EQ (log, (std::vector<int> { 2, 1 })) << "the last added is told first";
    EXPECT_EQ (first.seenCurrent, a) << "listeners see the new current entry";

    log.clear();
    collection.setCurrent (a);
    EXPECT_TRUE (log.empty()) << "the same entry again";

    collection.setCurrent (b);
    collection.selectNext(); // wraps to a
    EXPECT_EQ (log, (std::vector<int> { 2, 1, 2, 1 }));

    // An entry the collection does not own is refused and tells nobody.
    log.clear();
    PresetCollection foreign;
    auto* stranger = foreign.addEntry (presetRoot.getChildFile ("x.vlprs"));
    collection.setCurrent (stranger);
    EXPECT_EQ (collection.getCurrent(), a) << "an entry of another collection is refused";
    EXPECT_TRUE (log.empty());

    collection.removeListener (&second);
    collection.setCurrent (nullptr);
    EXPECT_EQ (collection.getCurrent(), nullptr);
    EXPECT_EQ (log, (std::vector<int> { 1 }));

    // A listener that removes itself while it is told: the others are still told, once.
    struct Leaving : public PresetCollection::Listener
    {
        void currentChanged (PresetCollection* c) override   { ++calls; c->removeListener (this); }
        int calls = 0;
    } leaving;

    log.clear();
    collection.addListener (&second);
    collection.addListener (&leaving);
    collection.setCurrent (b);
    collection.setCurrent (a);
    EXPECT_EQ (leaving.calls, 1);
    EXPECT_EQ (log, (std::vector<int> { 2, 1, 2, 1 }));
}

TEST (PresetCollection, FindsPresetsByFileThroughNestedFolders)
{
    PresetCollection collection (presetRoot);
    auto& root = collection.getFolderTree();

    auto* top = collection.addEntry (presetRoot.getChildFile ("top.vlprs"));
    root.addPreset (top);

    auto* drums = root.addSubGroup (presetRoot.getChildFile ("Drums"));
    auto* kick = collection.addEntry (presetRoot.getChildFile ("Drums/kick.vlprs"));
    drums->addPreset (kick);

    auto* deep = drums->addSubGroup (presetRoot.getChildFile ("Drums/Deep"));
    auto* sub = collection.addEntry (presetRoot.getChildFile ("Drums/Deep/sub.vlprs"));
    deep->addPreset (sub);

    auto* leads = root.addSubGroup (presetRoot.getChildFile ("Leads"));
    auto* saw = collection.addEntry (presetRoot.getChildFile ("Leads/saw.vlprs"));
    leads->addPreset (saw);

    const std::pair<const char*, PresetCollection::Entry*> cases[] = {
        { "/presets/top.vlprs",              top },
        { "/presets/Drums/kick.vlprs",       kick },
        { "/presets/Drums/Deep/sub.vlprs",   sub },
        { "/presets/Leads/saw.vlprs",        saw },
        { "/presets/missing.vlprs",          nullptr }, // in the root folder, not a preset there
        { "/presets/Drums/sub.vlprs",        nullptr }, // a name from a deeper folder
        { "/presets/Pads/warm.vlprs",        nullptr }, // a folder without a group
        { "/presets/Drums/Deep/x/sub.vlprs", nullptr },
        { "/other/top.vlprs",                nullptr }, // outside the tree
        { "/presets",                        nullptr },
        { "/top.vlprs",                      nullptr },
    };

    for (auto& [path, expected] : cases)
        EXPECT_EQ (PresetCollection::findPresetByFile (root, juce::File (path)), expected) << path;

    // A search from a sub-group covers only that branch.
    EXPECT_EQ (PresetCollection::findPresetByFile (*drums, juce::File ("/presets/Drums/Deep/sub.vlprs")), sub);
    EXPECT_EQ (PresetCollection::findPresetByFile (*drums, juce::File ("/presets/Leads/saw.vlprs")), nullptr);

    // The found entry is what the listener hands on to setCurrent.
    collection.setCurrent (PresetCollection::findPresetByFile (root, kick->getFile()));
    EXPECT_EQ (collection.getCurrent(), kick);
}

TEST (PresetCollection, WorkerStartsAgainAndStopsWithTheCollection)
{
    auto collection = std::make_unique<PresetCollection>();
    EXPECT_FALSE (collection->isWorkerRunning());

    collection->startWorker ("first.vlprs");
    EXPECT_EQ (collection->getWorkerFileName(), "first.vlprs");

    collection->startWorker ("second.vlprs");
    EXPECT_EQ (collection->getWorkerFileName(), "second.vlprs");

    collection.reset(); // stops the thread before it goes
}
} // namespace PresetCollectionTestsDetail
