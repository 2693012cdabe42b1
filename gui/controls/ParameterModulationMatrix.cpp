#include "gui/controls/ParameterModulationMatrix.h"

ParameterModulationMatrix::RowList& ParameterModulationMatrix::DestinationMap::getOrCreate (int destination)
{
    if (auto* list = lists[destination])
        return *list;

    auto* list = owned.add (std::make_unique<RowList>());
    lists.set (destination, list);
    return *list;
}

juce::Array<ParameterModulationMatrix::Row> ParameterModulationMatrix::DestinationMap::get (int destination) const
{
    if (auto* list = lists[destination])
        return copyRows (*list);

    return {};
}

void ParameterModulationMatrix::DestinationMap::clear()
{
    lists.clear();
    owned.clear();
}

//==============================================================================
ParameterModulationMatrix::ParameterModulationMatrix() = default;
ParameterModulationMatrix::~ParameterModulationMatrix() = default;

void ParameterModulationMatrix::addListener (Listener* listener)      { listeners.add (listener); }
void ParameterModulationMatrix::removeListener (Listener* listener)   { listeners.remove (listener); }

void ParameterModulationMatrix::addModulationRow (const Row& row)
{
    {
        const juce::ScopedLock sl (rowsLock);
        rows.add (std::make_unique<Row> (row));
    }

    rebuildModulationTables();
    listeners.call ([this, row] (Listener& l) { l.modulationRowAdded (this, row); });
}

void ParameterModulationMatrix::removeModulationRow (int index)
{
    Row removed;

    {
        const juce::ScopedLock sl (rowsLock);

        if ((unsigned int) index >= (unsigned int) rows.size())
            return;

        removed = *rows.getUnchecked (index);
        rows.remove (index);
    }

    rebuildModulationTables();
    listeners.call ([this, removed] (Listener& l) { l.modulationRowRemoved (this, removed); });
}

void ParameterModulationMatrix::setModulationRow (int index, const Row& row)
{
    Row previous;

    {
        const juce::ScopedLock sl (rowsLock);

        if ((unsigned int) index >= (unsigned int) rows.size() || *rows.getUnchecked (index) == row)
            return;

        previous = *rows.getUnchecked (index);
        *rows.getUnchecked (index) = row;
    }

    if (previous.source != row.source || previous.destination != row.destination)
        rebuildModulationTables();

    listeners.call ([this, previous, index] (Listener& l) { l.modulationRowChanged (this, previous, index); });
}

void ParameterModulationMatrix::moveModulationRow (int fromIndex, int toIndex)
{
    {
        const juce::ScopedLock sl (rowsLock);

        if (! juce::isPositiveAndBelow (fromIndex, rows.size()) || ! juce::isPositiveAndBelow (toIndex, rows.size()))
            return;

        rows.move (fromIndex, toIndex);
    }

    // The lists by source and destination keep row order: they follow the move.
    rebuildModulationTables();
}

void ParameterModulationMatrix::setKeySourceValue (int key, float value)
{
    if (! juce::isPositiveAndBelow (key, numKeys))
        return;

    keyTable[key] = juce::jlimit (0.0f, 1.0f, value);
    listeners.call ([this, key] (Listener& l) { l.keySourceValueChanged (this, key); });
}

void ParameterModulationMatrix::sendMatrixChanged()
{
    listeners.call ([this] (Listener& l) { l.modulationMatrixChanged (this); });
}

//==============================================================================
int ParameterModulationMatrix::getNumRows() const
{
    const juce::ScopedLock sl (rowsLock);
    return rows.size();
}

ParameterModulationMatrix::Row ParameterModulationMatrix::getModulationRow (int index) const
{
    const juce::ScopedLock sl (rowsLock);

    if (auto* row = rows[index])
        return *row;

    return {};
}

float ParameterModulationMatrix::getKeySourceValue (int key) const noexcept
{
    return juce::isPositiveAndBelow (key, numKeys) ? keyTable[key] : 0.0f;
}

juce::Array<ParameterModulationMatrix::Row> ParameterModulationMatrix::copyRows (const RowList& list)
{
    const juce::ScopedLock sl (list.lock);
    juce::Array<Row> copies;

    for (auto* row : list.rows)
        copies.add (*row);

    return copies;
}

juce::Array<int> ParameterModulationMatrix::copySet (const DestinationSet& set)
{
    const juce::ScopedLock sl (set.lock);
    return set.destinations;
}

void ParameterModulationMatrix::addToSet (DestinationSet& set, int destination)
{
    const juce::ScopedLock sl (set.lock);
    set.destinations.addIfNotAlreadyThere (destination);
}

juce::Array<ParameterModulationMatrix::Row> ParameterModulationMatrix::getRowsOfSource (int source) const
{
    return juce::isPositiveAndBelow (source, numSources) ? copyRows (sourceLists[source]) : juce::Array<Row>();
}

juce::Array<int> ParameterModulationMatrix::getDestinationsOfSource (int source) const
{
    return juce::isPositiveAndBelow (source, numSources) ? copySet (sourceDestinations[source]) : juce::Array<int>();
}

juce::Array<int> ParameterModulationMatrix::getDirectDestinations() const     { return copySet (directDestinations); }
juce::Array<int> ParameterModulationMatrix::getKeyDestinations() const        { return copySet (keyDestinations); }

juce::Array<ParameterModulationMatrix::Row> ParameterModulationMatrix::getDirectRowsOf (int destination) const
{
    return directLists.get (destination);
}

juce::Array<ParameterModulationMatrix::Row> ParameterModulationMatrix::getKeyRowsOf (int destination) const
{
    return keyLists.get (destination);
}

void ParameterModulationMatrix::rebuildModulationTables()
{
    for (int s = 0; s < numSources; ++s)
    {
        {
            const juce::ScopedLock sl (sourceLists[s].lock);
            sourceLists[s].rows.clearQuick();
        }

        const juce::ScopedLock sl (sourceDestinations[s].lock);
        sourceDestinations[s].destinations.clearQuick();
    }

    for (auto* set : { &directDestinations, &keyDestinations })
    {
        const juce::ScopedLock sl (set->lock);
        set->destinations.clearQuick();
    }

    directLists.clear();
    keyLists.clear();

    for (int i = 0;; ++i)
    {
        Row* row = nullptr;

        {
            const juce::ScopedLock sl (rowsLock);

            if (i >= rows.size())
                break;

            row = rows.getUnchecked (i);
        }

        if (row->destination < 0 || ! juce::isPositiveAndBelow (row->source, numSources))
            continue;

        {
            const juce::ScopedLock sl (sourceLists[row->source].lock);
            sourceLists[row->source].rows.add (row);
        }

        addToSet (sourceDestinations[row->source], row->destination);

        const auto keyed = isKeySource (row->source);
        addToSet (keyed ? keyDestinations : directDestinations, row->destination);

        auto& list = (keyed ? keyLists : directLists).getOrCreate (row->destination);
        const juce::ScopedLock sl (list.lock);
        list.rows.add (row);
    }
}
