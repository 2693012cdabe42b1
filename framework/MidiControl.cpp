#include "framework/MidiControl.h"
#include "framework/XmlFiles.h"

#include <algorithm>

namespace MidiControlDetail
{
/** Puts parameter at controller, taking it away from any other controller; false when it was already there. */
bool placeInMap (std::array<Parameter*, (size_t) MidiControl::numControllers>& map, int controller, Parameter* parameter)
{
    auto& entry = map[(size_t) controller];

    if (entry == parameter)
        return false;

    if (parameter != nullptr)
        std::replace (map.begin(), map.end(), parameter, static_cast<Parameter*> (nullptr));

    entry = parameter;
    return true;
}
} // namespace MidiControlDetail

//==============================================================================
MidiControl::MidiControl (ParameterManager& parameterManager)
    : parameters (parameterManager)
{
    const juce::ScopedLock sl (lock);
    map.fill (nullptr);
}

MidiControl::~MidiControl()
{
    cancelPendingUpdate();
}

//==============================================================================
void MidiControl::setPluginName (const juce::String& newName)
{
    const juce::ScopedLock sl (lock);
    name = newName;
}

juce::String MidiControl::getPluginName() const
{
    const juce::ScopedLock sl (lock);
    return name;
}

//==============================================================================
void MidiControl::setLearnMode (bool shouldLearn)
{
    const juce::ScopedLock sl (lock);

    if (learn == shouldLearn)
        return;

    learn = shouldLearn;
    clearPending();

    // Listeners are editors: off the message thread (a state restore on the host's thread)
    // they hear of it through the message thread, never at once.
    if (juce::MessageManager::existsAndIsCurrentThread())
        callListeners (&Listener::learnStateChanged);
    else
        postNotice (learnChanged);
}

bool MidiControl::isLearnMode() const
{
    const juce::ScopedLock sl (lock);
    return learn;
}

void MidiControl::learnParameter (Parameter* parameter)
{
    if (parameter == nullptr || ! parameter->isAutomatable())
        return;

    const juce::ScopedLock sl (lock);

    if (! learn || parameter == pendingParameter)
        return;

    // A controller waiting alone keeps waiting for this parameter; otherwise the parameter
    // brings its own controller (or none), so touching a mapped parameter shows its pairing.
    const bool controllerWaitsAlone = pendingController >= 0 && pendingParameter == nullptr;

    if (! controllerWaitsAlone)
        pendingController = indexOfParameter (parameter);

    pendingParameter = parameter;
    tryAssignPending();
}

void MidiControl::learnController (int controller)
{
    if (! isValidController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (! learn || controller == pendingController)
        return;

    const bool parameterWaitsAlone = pendingParameter != nullptr && pendingController < 0;

    if (! parameterWaitsAlone)
        pendingParameter = map[(size_t) controller];

    pendingController = controller;
    tryAssignPending();
}

void MidiControl::tryAssignPending()
{
    const juce::ScopedLock sl (lock);

    if (isValidController (pendingController) && pendingParameter != nullptr
         && map[(size_t) pendingController] == nullptr)
        assignController (pendingController, pendingParameter, true);

    postNotice (learnChanged);
}

void MidiControl::setPendingAssignment (int controller)
{
    if (! isValidController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (! learn)
        return;

    if (auto* parameter = map[(size_t) controller])
    {
        pendingParameter = parameter;
        pendingController = controller;
        tryAssignPending();
    }
}

Parameter* MidiControl::getPendingParameter() const
{
    const juce::ScopedLock sl (lock);
    return pendingParameter;
}

int MidiControl::getPendingController() const
{
    const juce::ScopedLock sl (lock);
    return pendingController;
}

void MidiControl::clearPending()
{
    pendingParameter = nullptr;
    pendingController = -1;
}

//==============================================================================
void MidiControl::assignController (int controller, Parameter* parameter, bool notify)
{
    if (! isValidController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (! MidiControlDetail::placeInMap (map, controller, parameter))
        return;

    updateCount();

    if (notify)
        postNotice (mapChanged);
}

void MidiControl::removeAssignment (int controller)
{
    if (! isValidController (controller))
        return;

    const juce::ScopedLock sl (lock);

    if (map[(size_t) controller] == nullptr)
        return;

    map[(size_t) controller] = nullptr;
    updateCount();
    postNotice (mapChanged);

    if (learn)
    {
        clearPending();
        tryAssignPending();
    }
}

void MidiControl::clearMap()
{
    const juce::ScopedLock sl (lock);
    map.fill (nullptr);
    count = 0;
    postNotice (mapChanged);

    // A pending pair names an assignment that is gone; kept, it would ignore the very
    // controller and parameter the user moves next.
    if (learn)
    {
        clearPending();
        tryAssignPending();
    }
}

int MidiControl::indexOfParameter (const Parameter* parameter) const
{
    const juce::ScopedLock sl (lock);
    const auto it = std::find (map.begin(), map.end(), parameter);
    return it != map.end() ? (int) std::distance (map.begin(), it) : -1;
}

Parameter* MidiControl::getAssignedParameter (int controller) const
{
    if (! isValidController (controller))
        return nullptr;

    const juce::ScopedLock sl (lock);
    return map[(size_t) controller];
}

int MidiControl::getNumAssignments() const
{
    const juce::ScopedLock sl (lock);
    return count;
}

void MidiControl::updateCount()
{
    count = (int) std::count_if (map.begin(), map.end(), [] (const Parameter* p) { return p != nullptr; });
}

//==============================================================================
void MidiControl::handleMidiMessage (const juce::MidiMessage& message)
{
    if (message.getRawDataSize() < 3)
        return;

    const auto* data = message.getRawData();

    if ((data[0] & 0xf0) != 0xb0)
        return;

    // Data bytes have their top bit clear; anything else is a broken message, not an index.
    const int controller = data[1];
    const int value = data[2];

    if (controller >= numControllers || value > 127)
        return;

    Parameter* parameter = nullptr;

    {
        const juce::ScopedLock sl (lock);

        if (learn)
            learnController (controller);

        parameter = map[(size_t) controller];
    }

    if (parameter == nullptr)
        return;

    // Set outside the lock: the parameter's listeners tell the host, which may wait for a lock
    // of its own that another of its threads holds while it asks us for the state.
    // Scaled by 1/127 in single precision, not divided: the two differ in the last bit for eight values (36 is one).
    parameter->setNormalisedValue ((float) value * (1.0f / 127.0f), true);
    lastMoved = parameter;
    postNotice (controllerWasMoved);
}

//==============================================================================
bool MidiControl::isMapElement (const juce::XmlElement& element) const
{
    return element.hasTagName ("MidiControlMap") || element.hasTagName ("MidiCCMap");
}

bool MidiControl::hasApplicationName (const juce::XmlElement& element, const juce::String& applicationName)
{
    return element.getStringAttribute ("application") == applicationName;
}

bool MidiControl::isMapForThisPlugin (const juce::XmlElement& element) const
{
    if (! isMapElement (element))
        return false;

    const auto ownName = getPluginName();

    return ownName.isEmpty()
        || element.getStringAttribute ("name") == ownName
        || hasApplicationName (element, ownName);
}

bool MidiControl::loadFromXml (const juce::XmlElement& element)
{
    // Refused before anything changes, so a wrong file never costs the user the current map.
    if (! isMapForThisPlugin (element))
        return false;

    Map newMap {};

    for (auto* assign : element.getChildWithTagNameIterator ("assign"))
    {
        auto* parameter = parameters.getParameterByName (assign->getStringAttribute ("param"));

        if (parameter == nullptr || ! parameter->isAutomatable())
            continue;

        const auto controller = Parameter::readInteger (assign->getStringAttribute ("CC"));

        if (isValidController (controller))
            MidiControlDetail::placeInMap (newMap, controller, parameter);
    }

    setLearnMode (false);

    {
        const juce::ScopedLock sl (lock);
        map = newMap;
        updateCount();
    }

    postNotice (mapChanged);
    return true;
}

std::unique_ptr<juce::XmlElement> MidiControl::createXml() const
{
    Map entries;
    juce::String ownName;

    {
        const juce::ScopedLock sl (lock);
        entries = map;
        ownName = name;
    }

    auto xml = std::make_unique<juce::XmlElement> ("MidiControlMap");
    xml->setAttribute ("name", ownName);
    xml->setAttribute ("application", ownName);

    for (int controller = 0; controller < numControllers; ++controller)
    {
        if (auto* parameter = entries[(size_t) controller])
        {
            auto* assign = xml->createNewChildElement ("assign");
            assign->setAttribute ("CC", controller);
            assign->setAttribute ("param", parameter->getName());
        }
    }

    return xml;
}

bool MidiControl::loadFromFile (const juce::File& file)
{
    const auto xml = readUntrustedXmlFile (file, midiMapXmlLimits);
    return xml != nullptr && loadFromXml (*xml);
}

bool MidiControl::saveToFile (const juce::File& file) const
{
    return writeXmlFile (*createXml(), file);
}

//==============================================================================
void MidiControl::setDefaultMapEnabled (bool shouldLoadDefaultMap)
{
    const juce::ScopedLock sl (lock);
    defaultMapEnabled = shouldLoadDefaultMap;
}

bool MidiControl::isDefaultMapEnabled() const
{
    const juce::ScopedLock sl (lock);
    return defaultMapEnabled;
}

void MidiControl::setDefaultMapFile (const juce::String& path)
{
    const juce::ScopedLock sl (lock);
    defaultMapFile = path;
}

juce::String MidiControl::getDefaultMapFile() const
{
    const juce::ScopedLock sl (lock);
    return defaultMapFile;
}

bool MidiControl::loadDefaultMap()
{
    juce::String path;

    {
        const juce::ScopedLock sl (lock);

        if (! defaultMapEnabled)
            return false;

        path = defaultMapFile;
    }

    // The path comes from the settings file: only a full path names a file.
    if (! juce::File::isAbsolutePath (path))
        return false;

    return loadFromFile (juce::File (path));
}

//==============================================================================
juce::String MidiControl::getMapFileExtension (const juce::String& pluginCode)
{
    return ("." + pluginCode + "ccmap").toLowerCase();
}

juce::String MidiControl::getOldMapFileExtension (const juce::String& pluginCode)
{
    return ("." + pluginCode + "c").toLowerCase();
}

//==============================================================================
void MidiControl::addListener (Listener* listener)      { listeners.add (listener); }
void MidiControl::removeListener (Listener* listener)   { listeners.remove (listener); }

void MidiControl::callListeners (void (Listener::*method) (MidiControl*))
{
    listeners.call ([this, method] (Listener& l) { (l.*method) (this); });
}

void MidiControl::postNotice (std::atomic<bool>& flag)
{
    flag = true;
    triggerAsyncUpdate();
}

void MidiControl::handleAsyncUpdate()
{
    // Each flag is taken before its notice goes out, so a change made meanwhile posts a new one.
    if (mapChanged.exchange (false))
        callListeners (&Listener::midiMapChanged);

    if (learnChanged.exchange (false))
        callListeners (&Listener::learnStateChanged);

    if (controllerWasMoved.exchange (false))
        callListeners (&Listener::controllerMoved);
}
