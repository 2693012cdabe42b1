/*
    The routing a modulator edits: rows from a source (0 to 8) to a destination with an amount
    between -1 and 1, kept in the user's order and indexed by source and by destination,
    plus a table of 128 per-key values between 0 and 1. Sources 3 and 4 follow the keys and
    are indexed apart from the others ("key" against "direct" destinations).

    Every collection has its own lock, taken only for each single access, so a reader on
    another thread sees whole rows; listeners are called without any lock held.
*/
#pragma once

#include "framework/ListenerArray.h"

#include <juce_core/juce_core.h>

class ParameterModulationMatrix
{
public:
    /** The number of sources and of keys. */
    static constexpr int numSources = 9, numKeys = 128;

    /** One routing row. */
    struct Row
    {
        int source = -1;
        int destination = -1;
        float amount = 0.0f;

        bool operator== (const Row& other) const noexcept
        {
            return source == other.source && destination == other.destination && amount == other.amount;
        }
        bool operator!= (const Row& other) const noexcept    { return ! operator== (other); }
    };

    /** Told of every change. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** A row was appended. */
        virtual void modulationRowAdded (ParameterModulationMatrix* matrix, const Row& row) = 0;
        /** A row was removed; removedRow is a copy of it. */
        virtual void modulationRowRemoved (ParameterModulationMatrix* matrix, const Row& removedRow) = 0;
        /** The row at index changed from previousRow. */
        virtual void modulationRowChanged (ParameterModulationMatrix* matrix, const Row& previousRow, int index) = 0;
        /** A key's value changed. */
        virtual void keySourceValueChanged (ParameterModulationMatrix* matrix, int key) = 0;
        /** The matrix changed as a whole (sent by the owner that fills it). */
        virtual void modulationMatrixChanged (ParameterModulationMatrix* matrix) = 0;
    };

    ParameterModulationMatrix();
    ~ParameterModulationMatrix();

    /** Adds a listener; null or one already there is ignored. */
    void addListener (Listener* listener);
    /** Removes a listener. */
    void removeListener (Listener* listener);

    /** Appends a copy of the row, indexes it and tells the listeners. */
    void addModulationRow (const Row& row);

    /** Removes the row at index, if there is one, and tells the listeners. */
    void removeModulationRow (int index);

    /** Overwrites the row at index, if there is one and it differs; re-indexes when its source or
        destination changed; tells the listeners. */
    void setModulationRow (int index, const Row& row);

    /** Moves a row to another place in the order (both indexes must exist) and re-indexes. */
    void moveModulationRow (int fromIndex, int toIndex);

    /** Sets a key's value (clamped to 0..1) for keys 0..127 and tells the listeners. */
    void setKeySourceValue (int key, float value);

    /** Tells the listeners that the matrix changed as a whole. */
    void sendMatrixChanged();

    //==============================================================================
    /** The number of rows. */
    int getNumRows() const;
    /** A copy of the row at index; an empty row outside the range. */
    Row getModulationRow (int index) const;
    /** A key's value; 0 outside 0..127. */
    float getKeySourceValue (int key) const noexcept;

    /** The indexed rows of a source, in row order. */
    juce::Array<Row> getRowsOfSource (int source) const;
    /** The distinct destinations a source reaches, in order of first appearance. */
    juce::Array<int> getDestinationsOfSource (int source) const;
    /** The destinations reached by the sources other than 3 and 4. */
    juce::Array<int> getDirectDestinations() const;
    /** The destinations reached by sources 3 and 4. */
    juce::Array<int> getKeyDestinations() const;
    /** The rows reaching a destination from the sources other than 3 and 4. */
    juce::Array<Row> getDirectRowsOf (int destination) const;
    /** The rows reaching a destination from sources 3 and 4. */
    juce::Array<Row> getKeyRowsOf (int destination) const;

    /** Empties every index and fills it again from the rows. */
    void rebuildModulationTables();

    /** True for the sources that follow the keys. */
    static bool isKeySource (int source) noexcept       { return source == 3 || source == 4; }

private:
    struct RowList
    {
        juce::CriticalSection lock;
        juce::Array<Row*> rows;
    };

    struct DestinationSet
    {
        juce::CriticalSection lock;
        juce::Array<int> destinations;
    };

    struct DestinationMap
    {
        juce::HashMap<int, RowList*> lists;
        juce::OwnedArray<RowList> owned;

        RowList& getOrCreate (int destination);
        juce::Array<Row> get (int destination) const;
        void clear();
    };

    static juce::Array<Row> copyRows (const RowList& list);
    static juce::Array<int> copySet (const DestinationSet& set);
    static void addToSet (DestinationSet& set, int destination);

    ListenerArray<Listener> listeners;
    juce::CriticalSection rowsLock;
    juce::OwnedArray<Row> rows;
    RowList sourceLists[numSources];
    DestinationSet sourceDestinations[numSources];
    DestinationSet directDestinations, keyDestinations;
    DestinationMap directLists, keyLists;
    float keyTable[numKeys] = {};

    JUCE_DECLARE_NON_COPYABLE (ParameterModulationMatrix)
};
