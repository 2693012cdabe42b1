/*
    A second preset scheme beside the slot bank: a flat list of preset files with one current
    entry, stepped through by the next/previous preset commands, and a tree of preset folders
    in which an entry is found by its file. A plug-in that uses the scheme fills the list and
    the tree, and listens for the current entry changing; a background worker thread is
    started when presets are stored. The worker does no work of its own yet: a product that
    needs the scheme gives it its job.

    The collection owns its entries; the folder tree refers to them. Everything but the worker
    runs on the message thread.
*/
#pragma once

#include "framework/ListenerArray.h"

#include <juce_core/juce_core.h>

#include <memory>

class PresetCollection
{
public:
    //==============================================================================
    /** One preset of the collection: the file it is stored in. */
    class Entry
    {
    public:
        /** Creates an entry for a preset file. */
        explicit Entry (const juce::File& presetFile) : file (presetFile) {}

        /** The preset's file. */
        const juce::File& getFile() const noexcept          { return file; }

    private:
        juce::File file;

        JUCE_DECLARE_NON_COPYABLE (Entry)
    };

    //==============================================================================
    /** A preset folder: its presets and its sub-folders, each in order. */
    class FolderGroup
    {
    public:
        /** Creates an empty group for a folder. */
        explicit FolderGroup (const juce::File& groupFolder) : folder (groupFolder) {}

        /** The folder this group stands for. */
        const juce::File& getFolder() const noexcept        { return folder; }

        /** Appends a sub-folder group and returns it; the group owns it. */
        FolderGroup* addSubGroup (const juce::File& subFolder);

        /** Appends a preset of this folder; the entry stays owned by its collection. */
        void addPreset (Entry* entry);

        /** The sub-folder groups, in order. */
        const juce::OwnedArray<FolderGroup>& getSubGroups() const noexcept   { return subGroups; }

        /** The presets of this folder, in order. */
        const juce::Array<Entry*>& getPresets() const noexcept              { return presets; }

    private:
        juce::File folder;
        juce::OwnedArray<FolderGroup> subGroups;
        juce::Array<Entry*> presets;

        JUCE_DECLARE_NON_COPYABLE (FolderGroup)
    };

    //==============================================================================
    /** Told when another entry becomes current. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The collection's current entry changed. */
        virtual void currentChanged (PresetCollection* collection) = 0;
    };

    //==============================================================================
    /** Creates an empty collection whose folder tree starts at rootFolder. */
    explicit PresetCollection (const juce::File& rootFolder = {});

    /** Stops the worker thread. */
    ~PresetCollection();

    //==============================================================================
    /** Appends an entry for a preset file to the list and returns it; the collection owns it. */
    Entry* addEntry (const juce::File& presetFile);

    /** The number of entries in the list. */
    int getNumEntries() const noexcept                      { return entries.size(); }

    /** The entry at index, or null when the index is out of range. */
    Entry* getEntry (int index) const noexcept              { return entries[index]; }

    /** The current entry, or null when there is none. */
    Entry* getCurrent() const noexcept                      { return current; }

    //==============================================================================
    /** Makes the entry after the current one current: the first when the current one is the last
        or none; nothing when the list is empty. */
    void selectNext();

    /** Makes the entry before the current one current: the last when the current one is the first
        or none; nothing when the list is empty. */
    void selectPrevious();

    /** Makes entry current and tells the listeners, the last added first. Nothing happens when it
        already is current, or when it is neither null nor one of this collection's entries. */
    void setCurrent (Entry* entry);

    //==============================================================================
    /** The top of the preset folder tree. */
    FolderGroup& getFolderTree() noexcept                   { return folderTree; }

    /** Finds the preset stored in file within group and its sub-folders, or null. A file directly in
        the group's folder is looked for among the group's own presets only; a file deeper inside
        the folder is looked for in each sub-group in turn. */
    static Entry* findPresetByFile (const FolderGroup& group, const juce::File& file);

    //==============================================================================
    /** Stores the worker's file name and starts the worker at low priority, unless it is running. */
    void startWorker (const juce::String& fileName);

    /** The file name last handed to startWorker. */
    const juce::String& getWorkerFileName() const noexcept  { return workerFileName; }

    /** True while the worker thread runs. */
    bool isWorkerRunning() const;

    //==============================================================================
    /** Adds a listener; null or a present listener is ignored. */
    void addListener (Listener* listener);

    /** Removes a listener; a listener may remove itself while it is told. */
    void removeListener (Listener* listener);

private:
    class Worker;

    juce::OwnedArray<Entry> entries;
    Entry* current = nullptr;
    FolderGroup folderTree;
    ListenerArray<Listener> listeners;
    juce::String workerFileName;
    std::unique_ptr<Worker> worker;

    JUCE_DECLARE_NON_COPYABLE (PresetCollection)
};
