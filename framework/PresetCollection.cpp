#include "framework/PresetCollection.h"

//==============================================================================
/** The collection's background thread. It has no job of its own: it starts and ends. */
class PresetCollection::Worker : public juce::Thread
{
public:
    Worker() : juce::Thread ("Preset collection worker") {}

    void run() override {}
};

//==============================================================================
PresetCollection::FolderGroup* PresetCollection::FolderGroup::addSubGroup (const juce::File& subFolder)
{
    return subGroups.add (std::make_unique<FolderGroup> (subFolder));
}

void PresetCollection::FolderGroup::addPreset (Entry* entry)
{
    if (entry != nullptr)
        presets.add (entry);
}

//==============================================================================
PresetCollection::PresetCollection (const juce::File& rootFolder)
    : folderTree (rootFolder),
      worker (std::make_unique<Worker>())
{
}

PresetCollection::~PresetCollection()
{
    worker->stopThread (10000);
}

//==============================================================================
PresetCollection::Entry* PresetCollection::addEntry (const juce::File& presetFile)
{
    return entries.add (std::make_unique<Entry> (presetFile));
}

void PresetCollection::selectNext()
{
    if (entries.isEmpty())
        return;

    const auto index = entries.indexOf (current);
    setCurrent (entries[index < 0 || index == entries.size() - 1 ? 0 : index + 1]);
}

void PresetCollection::selectPrevious()
{
    if (entries.isEmpty())
        return;

    const auto index = entries.indexOf (current);
    setCurrent (entries[index <= 0 ? entries.size() - 1 : index - 1]);
}

void PresetCollection::setCurrent (Entry* entry)
{
    // Only entries the collection owns can become current, so current never outlives its entry.
    if (entry == current || (entry != nullptr && ! entries.contains (entry)))
        return;

    current = entry;

    listeners.call ([this] (Listener& l) { l.currentChanged (this); });
}

//==============================================================================
PresetCollection::Entry* PresetCollection::findPresetByFile (const FolderGroup& group, const juce::File& file)
{
    const auto& folder = group.getFolder();

    if (file.getParentDirectory() == folder)
    {
        for (auto* preset : group.getPresets())
            if (preset->getFile().getFullPathName() == file.getFullPathName())
                return preset;

        return nullptr;
    }

    if (file.isAChildOf (folder))
        for (auto* subGroup : group.getSubGroups())
            if (auto* found = findPresetByFile (*subGroup, file))
                return found;

    return nullptr;
}

//==============================================================================
void PresetCollection::startWorker (const juce::String& fileName)
{
    workerFileName = fileName;

    // Priority 3 of the old 0..10 scale, where 5 was normal: one step below normal. A running
    // worker already has it: it is started with no other, and JUCE lets only the thread itself
    // change its priority.
    if (! worker->isThreadRunning())
        worker->startThread (juce::Thread::Priority::low);
}

bool PresetCollection::isWorkerRunning() const
{
    return worker->isThreadRunning();
}

//==============================================================================
void PresetCollection::addListener (Listener* listener)      { listeners.add (listener); }
void PresetCollection::removeListener (Listener* listener)   { listeners.remove (listener); }
