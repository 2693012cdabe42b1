#include "framework/BasePluginOldStyle.h"
#include "framework/EmbeddedResources.h"
#include "framework/EventsMap.h"
#include "framework/IntParameter.h"
#include "framework/StringParameter.h"
#include "framework/XmlFiles.h"

#include <cmath>
#include <limits>
#include <vector>

namespace BasePluginOldStyleDetail
{
const char* const notUsedGroupName = "Not used";

/** The text a preset value is written as: rounded to six decimals, the scaling done in single
    precision and the rounding to the even neighbour, as the files have always been written. */
double roundPresetValue (float value)
{
    const float scaled = value * 1.0e6f;
    return (double) std::nearbyint (scaled) * 1.0e-6;
}

/** A value read from XML as a normalised value, or false for a NaN. */
bool readNormalisedValue (const juce::XmlElement& element, float& value)
{
    const auto v = element.getDoubleAttribute ("value", 0.0);

    if (std::isnan (v))
        return false;

    value = (float) juce::jlimit (0.0, 1.0, v);
    return true;
}

juce::File fileFromSettings (const juce::String& path)
{
    return juce::File::isAbsolutePath (path) ? juce::File (path) : juce::File();
}
} // namespace BasePluginOldStyleDetail

//==============================================================================
BasePluginOldStyle::Preset::Preset (int valueCount, int slot, const juce::String& presetName)
    : name (presetName),
      numValues (juce::jmax (0, valueCount)),
      programNumber (slot),
      values (std::make_unique<std::atomic<float>[]> ((size_t) numValues))
{
    for (int k = 0; k < numValues; ++k)
        values[(size_t) k].store (0.0f);
}

juce::String BasePluginOldStyle::Preset::getName() const
{
    const juce::SpinLock::ScopedLockType sl (nameLock);
    return name;
}

void BasePluginOldStyle::Preset::setName (const juce::String& newName)
{
    const juce::SpinLock::ScopedLockType sl (nameLock);
    name = newName;
}

float BasePluginOldStyle::Preset::getValue (int k) const noexcept
{
    return k >= 0 && k < numValues ? values[(size_t) k].load() : 0.0f;
}

void BasePluginOldStyle::Preset::setValue (int k, float newValue) noexcept
{
    if (k >= 0 && k < numValues && ! std::isnan (newValue))
        values[(size_t) k].store (juce::jlimit (0.0f, 1.0f, newValue));
}

void BasePluginOldStyle::Preset::copyValuesFrom (const Preset& other) noexcept
{
    for (int k = 0; k < numValues; ++k)
        values[(size_t) k].store (other.getValue (k));
}

//==============================================================================
BasePluginOldStyle::BasePluginOldStyle (int numPresetParams, int numNonPresetParams, const BusesProperties& buses)
    : BasePlugin (buses),
      numPresetParameters (juce::jmax (0, numPresetParams)),
      numStateParameters (numPresetParameters),
      numNonPresetParameters (juce::jmax (0, numNonPresetParams)),
      defaultPreset (numPresetParameters),
      copyBuffer (numPresetParameters)
{
    auto& parameters = getParameterManager();

    parameters.addParameter (std::make_unique<IntParameter> (ParameterManager::currentPresetNumberIndex,
                                                             "Current Preset Number", 0, numPresetSlots - 1, 0));
    parameters.addParameter (std::make_unique<StringParameter> (ParameterManager::currentPresetNameIndex,
                                                                "Current Preset Name"));

    for (int k = 0; k < numPresetParameters; ++k)
        defaultPreset.setValue (k, parameters.getNormalisedValue (k));

    presets.ensureStorageAllocated (numPresetSlots);

    for (int i = 0; i < numPresetSlots; ++i)
        presets.add (new Preset (numPresetParameters, i));
}

BasePluginOldStyle::~BasePluginOldStyle()
{
    deleteEditorComponent();
}

void BasePluginOldStyle::initialise()
{
    auto& parameters = getParameterManager();

    for (int i = 0; i < getNumHostParameters(); ++i)
        setHostSlot (i, parameters.getParameter (i));

    setRecentlyUsedDirectory (juce::File::getSpecialLocation (juce::File::userHomeDirectory));

    BasePlugin::initialise();

    loadDefaultPresetFromResource ("default" + getPresetFileExtension());
    loadInitialBank();
    applyCurrentPreset();
}

void BasePluginOldStyle::loadInitialBank()
{
    const auto mode = getPresetsMode();

    if (mode == clearPresets)
    {
        resetPresetBank();
        return;
    }

    if (mode == userDefinedPresets)
    {
        const auto file = BasePluginOldStyleDetail::fileFromSettings (getUserDefinedPresetsFile());

        if (file.existsAsFile() && loadPresetBankFile (file))
            return;
    }

    // A missing or broken bank must not leave 128 nameless slots without groups.
    if (! loadPresetBankFromText ("default" + getPresetBankFileExtension()))
        resetPresetBank();
}

//==============================================================================
BasePluginOldStyle::Preset* BasePluginOldStyle::getPreset (int index) const
{
    const juce::ScopedLock sl (presetsLock);
    return getPresetLocked (index);
}

juce::String BasePluginOldStyle::getPresetName (int index) const
{
    if (auto* preset = getPreset (index))
        return preset->getName();

    return {};
}

void BasePluginOldStyle::setPresetName (int index, const juce::String& name)
{
    auto* preset = getPreset (index);

    if (preset == nullptr)
        return;

    preset->setName (name);

    if (index == current.load())
        getParameterManager().setCurrentPresetName (name);
}

int BasePluginOldStyle::getNumGroups() const
{
    const juce::ScopedLock sl (groupsLock);
    return groups.size();
}

juce::String BasePluginOldStyle::getGroupName (int group) const
{
    const juce::ScopedLock sl (groupsLock);
    return isValidGroupLocked (group) ? groups.getUnchecked (group)->name : juce::String();
}

void BasePluginOldStyle::setGroupName (int group, const juce::String& name)
{
    const juce::ScopedLock sl (groupsLock);

    if (isValidGroupLocked (group))
        groups.getUnchecked (group)->name = name;
}

int BasePluginOldStyle::getNumPresetsInGroup (int group) const
{
    const juce::ScopedLock sl (groupsLock);
    return isValidGroupLocked (group) ? groups.getUnchecked (group)->numPresets : 0;
}

int BasePluginOldStyle::getGroupFirstPresetIndexLocked (int group) const noexcept
{
    int first = 0;

    for (int g = 0; g < group; ++g)
        first += groups.getUnchecked (g)->numPresets;

    return first;
}

int BasePluginOldStyle::getGroupFirstPresetIndex (int group) const
{
    const juce::ScopedLock sl (groupsLock);
    return isValidGroupLocked (group) ? getGroupFirstPresetIndexLocked (group) : -1;
}

int BasePluginOldStyle::getGroupLastPresetIndex (int group) const
{
    const juce::ScopedLock sl (groupsLock);

    if (! isValidGroupLocked (group))
        return -1;

    return getGroupFirstPresetIndexLocked (group) + groups.getUnchecked (group)->numPresets - 1;
}

int BasePluginOldStyle::getPresetIndex (int group, int position) const
{
    const juce::ScopedLock sl (groupsLock);

    if (! isValidGroupLocked (group) || position < 0 || position >= groups.getUnchecked (group)->numPresets)
        return -1;

    const auto index = getGroupFirstPresetIndexLocked (group) + position;
    return isValidSlot (index) ? index : -1;
}

juce::String BasePluginOldStyle::getPresetNameInGroup (int group, int position) const
{
    return getPresetName (getPresetIndex (group, position));
}

int BasePluginOldStyle::getGroupOfPreset (int index) const
{
    if (! isValidSlot (index))
        return -1;

    const juce::ScopedLock sl (groupsLock);
    int end = 0;

    for (int g = 0; g < groups.size(); ++g)
    {
        end += groups.getUnchecked (g)->numPresets;

        if (index < end)
            return g;
    }

    return -1;
}

juce::String BasePluginOldStyle::getBankName() const
{
    const juce::ScopedLock sl (groupsLock);
    return bankName;
}

void BasePluginOldStyle::setBankName (const juce::String& name)
{
    const juce::ScopedLock sl (groupsLock);
    bankName = name;
}

//==============================================================================
void BasePluginOldStyle::setCurrentPresetIndex (int index, bool notify)
{
    if (! isValidSlot (index))
        return;

    current.store (index);
    const auto name = getPresetName (index);
    auto& parameters = getParameterManager();

    if (notify)
    {
        parameters.setCurrentPresetNumber (index);
        parameters.setCurrentPresetName (name);
        return;
    }

    const juce::ScopedReadLock sl (parameters.getLock());

    if (auto* number = parameters.getParameter (ParameterManager::currentPresetNumberIndex))
        number->setIntValue (index, false);

    if (auto* text = parameters.getParameter (ParameterManager::currentPresetNameIndex))
        text->setValueFromText (name, false);
}

void BasePluginOldStyle::applyCurrentPreset()
{
    const auto index = current.load();
    auto* preset = getPreset (index);

    if (preset == nullptr)
        return;

    auto& parameters = getParameterManager();

    for (int k = 0; k < numPresetParameters; ++k)
        parameters.setNormalisedValue (k, preset->getValue (k));

    parameters.setCurrentPresetNumber (index);
    parameters.setCurrentPresetName (preset->getName());

    notifyPresetManagerListeners();
}

void BasePluginOldStyle::selectPreset (int index)
{
    if (! isValidSlot (index))
        return;

    current.store (index);

    auto* changer = presetChanger.load();

    if (changer != nullptr && getChangingMode() == changingSilent)
        changer->beginPresetChange();
    else
        applyCurrentPreset();
}

void BasePluginOldStyle::selectNextPreset()
{
    selectPreset (current.load() + 1);
}

void BasePluginOldStyle::selectPreviousPreset()
{
    selectPreset (current.load() - 1);
}

//==============================================================================
void BasePluginOldStyle::storeParametersInto (Preset& preset)
{
    auto& parameters = getParameterManager();

    for (int k = 0; k < juce::jmin (numPresetParameters, preset.getNumValues()); ++k)
        preset.setValue (k, parameters.getNormalisedValue (k));
}

void BasePluginOldStyle::storePreset (int index)
{
    if (auto* preset = getPreset (index))
        storeParametersInto (*preset);
}

void BasePluginOldStyle::copyCurrentPreset()
{
    copyBuffer.setName (getPresetName (current.load()) + "_copy");
    storeParametersInto (copyBuffer);
    copyBufferFull.store (true);
}

void BasePluginOldStyle::pasteCopiedPreset()
{
    if (! copyBufferFull.load())
        return;

    auto& parameters = getParameterManager();

    for (int k = 0; k < copyBuffer.getNumValues(); ++k)
        parameters.setNormalisedValue (k, copyBuffer.getValue (k));

    const auto index = current.load();

    if (auto* preset = getPreset (index))
        preset->setName (copyBuffer.getName());

    storePreset (index);
    applyCurrentPreset();
}

void BasePluginOldStyle::resetPresetBank()
{
    {
        const juce::ScopedLock sl (presetsLock);

        for (int i = 0; i < presets.size(); ++i)
        {
            auto* preset = presets.getUnchecked (i);
            preset->setName ("Preset " + juce::String (i));
            preset->copyValuesFrom (defaultPreset);
        }
    }

    const juce::ScopedLock sl (groupsLock);
    groups.clear();
    groups.add (new PresetGroup (BasePluginOldStyleDetail::notUsedGroupName, numPresetSlots));
}

//==============================================================================
template <typename Function>
void BasePluginOldStyle::restructureKeepingCurrent (Function&& change)
{
    int newIndex = -1;

    {
        const juce::ScopedLock sl (presetsLock);
        const auto* currentPreset = getPresetLocked (current.load());
        change();
        newIndex = presets.indexOf (currentPreset);
    }

    setCurrentPresetIndex (newIndex, false);
}

bool BasePluginOldStyle::addGroup (int group)
{
    {
        const juce::ScopedLock sl (groupsLock);

        if (! isValidGroupLocked (group))
            return false;

        groups.insert (group, new PresetGroup ("New Group", 0));
    }

    setCurrentPresetIndex (current.load(), false);
    return true;
}

bool BasePluginOldStyle::removeGroup (int group)
{
    {
        const juce::ScopedLock sl (groupsLock);

        if (! isValidGroupLocked (group) || groups.getUnchecked (group)->numPresets != 0)
            return false;

        groups.remove (group);
    }

    setCurrentPresetIndex (current.load(), false);
    return true;
}

bool BasePluginOldStyle::movePreset (int fromSlot, int toSlot, int fromGroup, int toGroup)
{
    if (! isValidSlot (fromSlot) || ! isValidSlot (toSlot))
        return false;

    {
        const juce::ScopedLock sl (groupsLock);

        if (! isValidGroupLocked (fromGroup) || ! isValidGroupLocked (toGroup))
            return false;

        const auto fromFirst = getGroupFirstPresetIndexLocked (fromGroup);
        auto& source = *groups.getUnchecked (fromGroup);
        auto& target = *groups.getUnchecked (toGroup);

        if (fromSlot < fromFirst || fromSlot >= fromFirst + source.numPresets)
            return false;

        if (fromGroup == toGroup)
        {
            if (toSlot == fromSlot || toSlot < fromFirst || toSlot >= fromFirst + source.numPresets)
                return false;
        }
        else
        {
            // Where the target group lies once the slot has left its own group and joined it.
            const auto toFirst = getGroupFirstPresetIndexLocked (toGroup) - (fromGroup < toGroup ? 1 : 0);

            if (toSlot < toFirst || toSlot > toFirst + target.numPresets)
                return false;

            --source.numPresets;
            ++target.numPresets;
        }
    }

    if (fromSlot != toSlot)
        restructureKeepingCurrent ([&] { presets.move (fromSlot, toSlot); });

    return true;
}

bool BasePluginOldStyle::movePresetsToGroup (int toGroup, int fromGroup, const juce::SparseSet<int>& positions)
{
    if (positions.isEmpty() || fromGroup == toGroup)
        return false;

    int sourceFirst = 0, targetEnd = 0;

    {
        const juce::ScopedLock sl (groupsLock);

        if (! isValidGroupLocked (fromGroup) || ! isValidGroupLocked (toGroup))
            return false;

        auto& source = *groups.getUnchecked (fromGroup);
        auto& target = *groups.getUnchecked (toGroup);
        const auto range = positions.getTotalRange();

        if (range.getStart() < 0 || range.getEnd() > source.numPresets)
            return false;

        sourceFirst = getGroupFirstPresetIndexLocked (fromGroup);
        targetEnd = getGroupFirstPresetIndexLocked (toGroup) + target.numPresets;

        source.numPresets -= positions.size();
        target.numPresets += positions.size();
    }

    std::vector<int> selected;
    selected.reserve ((size_t) positions.size());

    for (int i = 0; i < positions.size(); ++i)
        selected.push_back (positions[i]);

    restructureKeepingCurrent ([&]
    {
        // Taken so that the slots still to move keep their indices, and joined in their order.
        if (fromGroup < toGroup)
        {
            for (auto it = selected.rbegin(); it != selected.rend(); ++it)
                presets.move (sourceFirst + *it, --targetEnd);
        }
        else
        {
            for (auto position : selected)
                presets.move (sourceFirst + position, targetEnd++);
        }
    });

    return true;
}

bool BasePluginOldStyle::moveGroup (int fromGroup, int toGroup)
{
    int first = 0, count = 0, insertAt = 0;

    {
        const juce::ScopedLock sl (groupsLock);

        if (! isValidGroupLocked (fromGroup) || ! isValidGroupLocked (toGroup) || fromGroup == toGroup)
            return false;

        first = getGroupFirstPresetIndexLocked (fromGroup);
        count = groups.getUnchecked (fromGroup)->numPresets;
        const auto toFirst = getGroupFirstPresetIndexLocked (toGroup);

        insertAt = fromGroup < toGroup ? toFirst + groups.getUnchecked (toGroup)->numPresets - count
                                       : toFirst;

        groups.move (fromGroup, toGroup);
    }

    restructureKeepingCurrent ([&]
    {
        juce::Array<Preset*> block;

        for (int i = 0; i < count; ++i)
            block.add (presets.removeAndReturn (first));

        for (int i = 0; i < block.size(); ++i)
            presets.insert (insertAt + i, block.getUnchecked (i));
    });

    return true;
}

//==============================================================================
void BasePluginOldStyle::handleCommand (int commandId)
{
    switch (commandId)
    {
        case PluginCommand::selectNextPreset:       selectNextPreset(); break;
        case PluginCommand::selectPreviousPreset:   selectPreviousPreset(); break;
        case PluginCommand::copyCurrentPreset:      copyCurrentPreset(); break;
        case PluginCommand::pasteCopiedPreset:      pasteCopiedPreset(); break;
        case PluginCommand::storeCurrentPreset:     storePreset (current.load()); break;
        default: break;
    }
}

void BasePluginOldStyle::setPresetsMode (int mode)
{
    if (mode >= factoryPresets && mode <= userDefinedPresets)
        presetsMode.store (mode);
}

juce::String BasePluginOldStyle::getUserDefinedPresetsFile() const
{
    const juce::ScopedLock sl (settingsLock);
    return userBankFile;
}

void BasePluginOldStyle::setUserDefinedPresetsFile (const juce::String& path)
{
    const juce::ScopedLock sl (settingsLock);
    userBankFile = path;
}

void BasePluginOldStyle::setStoringMode (int mode)
{
    if (mode != storingAutomatic && mode != storingOnDemand)
        return;

    storingMode.store (mode);

    if (mode == storingAutomatic)
        storePreset (current.load());
}

void BasePluginOldStyle::setChangingMode (int mode)
{
    if (mode == changingNormal || mode == changingSilent)
        changingMode.store (mode);
}

juce::File BasePluginOldStyle::getRecentlyUsedDirectory() const
{
    const juce::ScopedLock sl (settingsLock);
    return recentlyUsedDirectory;
}

bool BasePluginOldStyle::setRecentlyUsedDirectory (const juce::File& folder)
{
    if (! folder.isDirectory())
        return false;

    const juce::ScopedLock sl (settingsLock);
    recentlyUsedDirectory = folder;
    return true;
}

//==============================================================================
void BasePluginOldStyle::setPresetChanger (PresetChanger* changer)
{
    presetChanger.store (changer);

    if (changer != nullptr)
        changer->setPresetTarget (this);
}

void BasePluginOldStyle::addPresetManagerListener (PresetManagerListener* listener)
{
    const juce::ScopedLock sl (listenersLock);

    if (listener != nullptr)
        presetManagerListeners.addIfNotAlreadyThere (listener);
}

void BasePluginOldStyle::removePresetManagerListener (PresetManagerListener* listener)
{
    const juce::ScopedLock sl (listenersLock);
    presetManagerListeners.removeFirstMatchingValue (listener);
}

void BasePluginOldStyle::notifyPresetManagerListeners()
{
    for (int i = std::numeric_limits<int>::max();;)
    {
        PresetManagerListener* listener = nullptr;

        {
            const juce::ScopedLock sl (listenersLock);
            i = juce::jmin (i, presetManagerListeners.size()) - 1;

            if (i < 0)
                return;

            listener = presetManagerListeners.getUnchecked (i);
        }

        listener->currentPresetApplied();
    }
}

//==============================================================================
juce::String BasePluginOldStyle::getPresetFileExtension() const        { return ("." + getPluginCode() + "prs").toLowerCase(); }
juce::String BasePluginOldStyle::getPresetBankFileExtension() const    { return ("." + getPluginCode() + "prsb").toLowerCase(); }
juce::String BasePluginOldStyle::getMidiCCMapFileExtension() const     { return MidiControl::getMapFileExtension (getPluginCode()); }
juce::String BasePluginOldStyle::getPresetFilePattern() const          { return "*" + getPresetFileExtension(); }
juce::String BasePluginOldStyle::getPresetBankFilePattern() const      { return "*" + getPresetBankFileExtension(); }

juce::String BasePluginOldStyle::buildFilePatterns (const juce::String& extension, int numOld,
                                                    juce::String (BasePluginOldStyle::*getOld) (int) const) const
{
    auto patterns = "*" + extension;

    for (int i = 0; i < numOld; ++i)
        patterns << "; *" << (this->*getOld) (i);

    return patterns;
}

juce::String BasePluginOldStyle::getPresetFilePatterns() const
{
    return buildFilePatterns (getPresetFileExtension(), getNumOldPresetFileExtensions(),
                              &BasePluginOldStyle::getOldPresetFileExtension);
}

juce::String BasePluginOldStyle::getPresetBankFilePatterns() const
{
    return buildFilePatterns (getPresetBankFileExtension(), getNumOldPresetBankFileExtensions(),
                              &BasePluginOldStyle::getOldPresetBankFileExtension);
}

juce::String BasePluginOldStyle::getMidiCCMapFilePatterns() const
{
    return buildFilePatterns (getMidiCCMapFileExtension(), getNumOldMidiCCMapFileExtensions(),
                              &BasePluginOldStyle::getOldMidiCCMapFileExtension);
}

//==============================================================================
bool BasePluginOldStyle::isPresetXml (const juce::XmlElement& element) const        { return isRootElementFor (element, "Preset"); }
bool BasePluginOldStyle::isPresetGroupXml (const juce::XmlElement& element) const   { return element.hasTagName ("PresetGroup"); }
bool BasePluginOldStyle::isPresetBankXml (const juce::XmlElement& element) const    { return element.hasTagName ("PresetBank"); }

bool BasePluginOldStyle::loadPresetFromXml (const juce::XmlElement& element, Preset& preset)
{
    if (! isPresetXml (element))
        return false;

    preset.setName (element.getStringAttribute ("name", "unnamed"));
    auto& parameters = getParameterManager();

    for (auto* param : element.getChildWithTagNameIterator ("param"))
    {
        auto* parameter = parameters.getParameterByName (param->getStringAttribute ("name"));
        float value = 0.0f;

        if (parameter != nullptr && BasePluginOldStyleDetail::readNormalisedValue (*param, value))
            preset.setValue (parameter->getIndex(), value);
    }

    return true;
}

bool BasePluginOldStyle::loadPresetFromXmlAt (const juce::XmlElement& element, int slot)
{
    auto* preset = getPreset (slot);
    return preset != nullptr && loadPresetFromXml (element, *preset);
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createPresetXml (const Preset& preset)
{
    auto xml = createRootElement ("Preset");
    xml->setAttribute ("name", preset.getName());
    auto& parameters = getParameterManager();

    for (int k = 0; k < preset.getNumValues(); ++k)
    {
        auto* param = xml->createNewChildElement ("param");
        param->setAttribute ("name", parameters.getParameterName (k));
        param->setAttribute ("value", BasePluginOldStyleDetail::roundPresetValue (preset.getValue (k)));
    }

    return xml;
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createPresetXmlAt (int slot)
{
    if (auto* preset = getPreset (slot))
        return createPresetXml (*preset);

    return {};
}

bool BasePluginOldStyle::loadPresetBankFromXml (const juce::XmlElement& element)
{
    if (! isPresetBankXml (element))
        return false;

    resetPresetBank();

    juce::OwnedArray<PresetGroup> newGroups;
    int slot = 0;

    for (auto* groupXml : element.getChildIterator())
    {
        if (! isPresetGroupXml (*groupXml))
            continue;

        const auto name = groupXml->getStringAttribute ("name", "group " + juce::String (newGroups.size() + 1));
        auto* group = newGroups.add (new PresetGroup (name, 0));

        for (auto* presetXml : groupXml->getChildIterator())
        {
            if (slot >= numPresetSlots)
                break;

            if (isPresetXml (*presetXml) && loadPresetFromXmlAt (*presetXml, slot))
            {
                ++group->numPresets;
                ++slot;
            }
        }
    }

    if (slot < numPresetSlots)
        newGroups.add (new PresetGroup (BasePluginOldStyleDetail::notUsedGroupName, numPresetSlots - slot));

    const juce::ScopedLock sl (groupsLock);
    groups.swapWith (newGroups);
    bankName = element.getStringAttribute ("name", "Preset Bank");
    return true;
}

const juce::XmlElement* BasePluginOldStyle::findLastPresetBank (const juce::XmlElement& parent) const
{
    const juce::XmlElement* last = nullptr;

    for (auto* child : parent.getChildIterator())
        if (isPresetBankXml (*child))
            last = child;

    return last;
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createPresetBankXml()
{
    juce::StringArray names;
    juce::Array<int> counts;
    auto xml = std::make_unique<juce::XmlElement> ("PresetBank");

    {
        const juce::ScopedLock sl (groupsLock);
        xml->setAttribute ("name", bankName);

        for (auto* group : groups)
        {
            names.add (group->name);
            counts.add (group->numPresets);
        }
    }

    int slot = 0;

    for (int g = 0; g < names.size(); ++g)
    {
        auto* groupXml = xml->createNewChildElement ("PresetGroup");
        groupXml->setAttribute ("name", names[g]);

        for (int i = 0; i < counts[g] && isValidSlot (slot); ++i, ++slot)
            if (auto presetXml = createPresetXmlAt (slot))
                groupXml->addChildElement (presetXml.release());
    }

    return xml;
}

bool BasePluginOldStyle::isNotPresetableParamsXml (const juce::XmlElement& element) const
{
    return element.hasTagName ("NotPresetableParams") || element.hasTagName ("NotPresetParams");
}

void BasePluginOldStyle::loadNotPresetableParams (const juce::XmlElement& element)
{
    if (isNotPresetableParamsXml (element))
        loadParameterValues (element);
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createNotPresetableParamsXml()
{
    auto xml = std::make_unique<juce::XmlElement> ("NotPresetableParams");
    appendParameterValues (*xml, numPresetParameters, numPresetParameters + numNonPresetParameters);
    return xml;
}

void BasePluginOldStyle::loadParameterValues (const juce::XmlElement& element)
{
    auto& parameters = getParameterManager();

    for (auto* param : element.getChildWithTagNameIterator ("param"))
    {
        auto* parameter = parameters.getParameterByName (param->getStringAttribute ("name"));
        float value = 0.0f;

        if (parameter != nullptr && BasePluginOldStyleDetail::readNormalisedValue (*param, value))
            parameters.setNormalisedValue (parameter->getIndex(), value);
    }
}

void BasePluginOldStyle::appendParameterValues (juce::XmlElement& element, int first, int end)
{
    auto& parameters = getParameterManager();

    // Normalised, to full float precision, so that reading it back gives the very same value.
    for (int k = first; k < end; ++k)
    {
        auto* param = element.createNewChildElement ("param");
        param->setAttribute ("name", parameters.getParameterName (k));
        param->setAttribute ("value", (double) parameters.getNormalisedValue (k));
    }
}

//==============================================================================
bool BasePluginOldStyle::loadPresetFile (const juce::File& file, int slot)
{
    if (! isValidSlot (slot))
        return false;

    auto xml = readUntrustedXmlFile (file, presetFileXmlLimits);

    if (xml == nullptr || ! loadPresetFromXmlAt (*xml, slot))
        return false;

    if (slot == current.load())
        applyCurrentPreset();

    return true;
}

bool BasePluginOldStyle::savePresetFile (const juce::File& file, int slot)
{
    auto xml = createPresetXmlAt (slot);
    return xml != nullptr && writeXmlFile (*xml, file);
}

bool BasePluginOldStyle::loadPresetBankFile (const juce::File& file)
{
    auto xml = readUntrustedXmlFile (file, bankFileXmlLimits);
    const bool loaded = xml != nullptr && loadPresetBankFromXml (*xml);

    if (loaded)
        applyCurrentPreset();

    setRecentlyUsedDirectory (file.getParentDirectory());
    return loaded;
}

bool BasePluginOldStyle::savePresetBankFile (const juce::File& file)
{
    const bool saved = writeXmlFile (*createPresetBankXml(), file);
    setRecentlyUsedDirectory (file.getParentDirectory());
    return saved;
}

bool BasePluginOldStyle::loadDefaultPresetFromResource (const juce::String& resourceName)
{
    auto xml = parseUntrustedXml (loadResourceAsString (resourceName), presetFileXmlLimits);
    return xml != nullptr && loadPresetFromXml (*xml, defaultPreset);
}

bool BasePluginOldStyle::loadPresetBankFromText (const juce::String& resourceName)
{
    auto xml = parseUntrustedXml (loadResourceAsString (resourceName), bankFileXmlLimits);

    if (xml == nullptr || ! loadPresetBankFromXml (*xml))
        return false;

    applyCurrentPreset();
    return true;
}

//==============================================================================
void BasePluginOldStyle::loadPluginState (const juce::XmlElement& xml)
{
    if (! isPluginStateXml (xml))
        return;

    const juce::XmlElement* lastBank = nullptr;

    for (auto* presetsState : xml.getChildWithTagNameIterator ("PresetsState"))
        if (auto* bank = findLastPresetBank (*presetsState))
            lastBank = bank;

    for (auto* child : xml.getChildIterator())
    {
        if (child->hasTagName ("ParametersState"))
        {
            loadParameterValues (*child);
        }
        else if (child->hasTagName ("PresetsState"))
        {
            if (lastBank != nullptr && lastBank == findLastPresetBank (*child))
                loadPresetBankFromXml (*lastBank);

            // The values come from "ParametersState": the slot is selected, not applied.
            setCurrentPresetIndex (child->getIntAttribute ("currentPreset", 0), true);
        }
        else if (getMidiControl().isMapElement (*child))
        {
            getMidiControl().loadFromXml (*child);
        }
    }
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createPluginStateXml()
{
    auto xml = BasePlugin::createPluginStateXml();

    auto* parametersState = xml->createNewChildElement ("ParametersState");
    appendParameterValues (*parametersState, 0, numStateParameters);

    auto* presetsState = xml->createNewChildElement ("PresetsState");
    presetsState->setAttribute ("currentPreset", current.load());
    presetsState->addChildElement (createPresetBankXml().release());

    xml->addChildElement (getMidiControl().createXml().release());
    return xml;
}

void BasePluginOldStyle::loadProgramState (const juce::XmlElement& xml)
{
    // Something that is no preset leaves the slot and the parameters as they are.
    if (loadPresetFromXmlAt (xml, current.load()))
        applyCurrentPreset();
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createProgramStateXml()
{
    return createPresetXmlAt (current.load());
}

void BasePluginOldStyle::loadUserSettings (const juce::XmlElement& xml)
{
    if (! isUserSettingsXml (xml))
        return;

    for (auto* child : xml.getChildIterator())
    {
        if (child->hasTagName ("PluginDirectories"))
        {
            for (auto* recent : child->getChildWithTagNameIterator ("RecentlyUsed"))
                setRecentlyUsedDirectory (BasePluginOldStyleDetail::fileFromSettings (recent->getStringAttribute ("dir")));
        }
        else if (child->hasTagName ("ResourcesSettings"))
        {
            loadResourcesSettings (*child);
        }
        else if (child->hasTagName ("PresetSettings"))
        {
            if (isPresetStoringSelectable())
            {
                const auto storing = child->getStringAttribute ("storing");

                if (storing == "onDemand")          setStoringMode (storingOnDemand);
                else if (storing == "automatic")    setStoringMode (storingAutomatic);
            }

            if (isSilentChangingSelectable())
            {
                const auto changing = child->getStringAttribute ("changing");

                if (changing == "normal")           setChangingMode (changingNormal);
                else if (changing == "silent")      setChangingMode (changingSilent);
            }
        }
    }
}

void BasePluginOldStyle::loadResourcesSettings (const juce::XmlElement& element)
{
    for (auto* presetsXml : element.getChildWithTagNameIterator ("Presets"))
    {
        const auto mode = presetsXml->getStringAttribute ("default");

        if (mode == "factoryPresets")
        {
            setPresetsMode (factoryPresets);
        }
        else if (mode == "clearPresets")
        {
            setPresetsMode (clearPresets);
        }
        else if (mode == "userDefinedPresets")
        {
            setPresetsMode (userDefinedPresets);
            setUserDefinedPresetsFile (presetsXml->getStringAttribute ("file"));
        }
    }

    auto& midiControl = getMidiControl();

    for (auto* mapXml : element.getChildWithTagNameIterator ("MidiCCMap"))
    {
        const auto mode = mapXml->getStringAttribute ("default");

        if (mode == "noMapping")
        {
            midiControl.setDefaultMapEnabled (false);
        }
        else if (mode == "userDefinedMidiCCMap")
        {
            midiControl.setDefaultMapEnabled (true);
            midiControl.setDefaultMapFile (mapXml->getStringAttribute ("file"));
        }
    }
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createResourcesSettingsXml()
{
    auto xml = std::make_unique<juce::XmlElement> ("ResourcesSettings");

    auto* presetsXml = xml->createNewChildElement ("Presets");
    const auto mode = getPresetsMode();
    presetsXml->setAttribute ("default", mode == clearPresets ? "clearPresets"
                                       : mode == userDefinedPresets ? "userDefinedPresets"
                                                                    : "factoryPresets");

    if (mode == userDefinedPresets)
        presetsXml->setAttribute ("file", getUserDefinedPresetsFile());

    auto& midiControl = getMidiControl();
    auto* mapXml = xml->createNewChildElement ("MidiCCMap");

    if (midiControl.isDefaultMapEnabled())
    {
        mapXml->setAttribute ("default", "userDefinedMidiCCMap");
        mapXml->setAttribute ("file", midiControl.getDefaultMapFile());
    }
    else
    {
        mapXml->setAttribute ("default", "noMapping");
    }

    return xml;
}

std::unique_ptr<juce::XmlElement> BasePluginOldStyle::createUserSettingsXml()
{
    auto xml = createRootElement ("UserSettings");

    xml->createNewChildElement ("PluginDirectories")
       ->createNewChildElement ("RecentlyUsed")
       ->setAttribute ("dir", getRecentlyUsedDirectory().getFullPathName());

    xml->addChildElement (createResourcesSettingsXml().release());

    auto* presetSettings = xml->createNewChildElement ("PresetSettings");

    if (isPresetStoringSelectable())
        presetSettings->setAttribute ("storing", getStoringMode() == storingAutomatic ? "automatic" : "onDemand");

    if (isSilentChangingSelectable())
        presetSettings->setAttribute ("changing", getChangingMode() == changingSilent ? "silent" : "normal");

    return xml;
}

//==============================================================================
void BasePluginOldStyle::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto index = parameter->getIndex();

    if (index == ParameterManager::currentPresetNameIndex)
    {
        setPresetName (current.load(), parameter->getText());
        return;
    }

    if (getStoringMode() == storingAutomatic && index >= 0 && index < numPresetParameters)
        if (auto* preset = getPreset (current.load()))
            preset->setValue (index, parameter->getNormalisedValue());

    BasePlugin::parameterChanged (parameter);
}
