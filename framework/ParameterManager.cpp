#include "framework/ParameterManager.h"
#include "framework/BoolParameter.h"
#include "framework/EmbeddedResources.h"
#include "framework/EnumParameter.h"
#include "framework/FloatParameter.h"
#include "framework/IntParameter.h"
#include "framework/NoteNames.h"
#include "framework/NoteParameter.h"
#include "framework/StringParameter.h"

ParameterManager::ParameterManager()
    : parametersByIndex (101), parametersByName (101)
{
    parametersByIndex.remapTable (10000);
    parametersByName.remapTable (10000);
}

ParameterManager::~ParameterManager()
{
    clear();
}

//==============================================================================
void ParameterManager::loadParameterDefinitions (const juce::String& resourceName)
{
    const auto text = loadResourceAsString (resourceName);

    if (text.isEmpty())
        return;

    if (auto root = juce::parseXML (text))
        parseParameterDefinitions (*root);
}

void ParameterManager::parseParameterDefinitions (const juce::XmlElement& root)
{
    if (! root.hasTagName ("PluginParameters"))
        return;

    for (auto* definition : root.getChildWithTagNameIterator ("param"))
        if (auto parameter = createParameter (*definition))
            addParameter (std::move (parameter));
}

std::unique_ptr<Parameter> ParameterManager::createParameter (const juce::XmlElement& definition)
{
    if (! definition.hasAttribute ("index"))
        return {};

    const auto index = Parameter::readInteger (definition.getStringAttribute ("index"));
    const auto name = definition.getStringAttribute ("name");

    if (name.isEmpty())
        return {};

    const auto value = definition.getStringAttribute ("value");
    const auto type = definition.getStringAttribute ("type", "float");

    const auto readNumber = [&definition] (const char* attribute, double defaultValue)
    {
        return definition.hasAttribute (attribute) ? definition.getStringAttribute (attribute).getDoubleValue() : defaultValue;
    };

    const auto readInt = [&definition] (const char* attribute, int defaultValue)
    {
        return definition.hasAttribute (attribute) ? Parameter::readInteger (definition.getStringAttribute (attribute)) : defaultValue;
    };

    std::unique_ptr<Parameter> parameter;

    if (type == "float")
    {
        parameter = std::make_unique<FloatParameter> (index, name, (float) readNumber ("min", 0.0), (float) readNumber ("max", 1.0),
                                                      (float) value.getDoubleValue());
    }
    else if (type == "int")
    {
        parameter = std::make_unique<IntParameter> (index, name, readInt ("min", 0), readInt ("max", 1), Parameter::readInteger (value));
    }
    else if (type == "string")
    {
        parameter = std::make_unique<StringParameter> (index, name, value);
    }
    else if (type == "bool" || type == "state")
    {
        parameter = std::make_unique<BoolParameter> (index, name, type == "state" ? BoolParameter::onOff : BoolParameter::trueFalse);
        parameter->setValueFromText (value, false);
    }
    else if (type == "enum")
    {
        parameter = std::make_unique<EnumParameter> (index, name, definition.getStringAttribute ("enum"), value);
    }
    else if (type == "note")
    {
        parameter = std::make_unique<NoteParameter> (index, name, juce::jmax (0, parseMidiNoteName (value)));
    }
    else
    {
        return {};
    }

    parameter->setAutomatable (definition.getBoolAttribute ("auto", false));
    return parameter;
}

//==============================================================================
void ParameterManager::clear()
{
    const juce::ScopedWriteLock sl (lock);
    parametersByIndex.clear();
    parametersByName.clear();
    parameters.clear();
}

bool ParameterManager::addParameter (std::unique_ptr<Parameter> parameter)
{
    if (parameter == nullptr)
        return false;

    const juce::ScopedWriteLock sl (lock);

    if (parameters.contains (parameter.get()))
    {
        // Already ours: giving it up here would leave the list and the maps dangling.
        parameter.release();
        return false;
    }

    // A parameter whose index or name is taken is deleted when this returns (after the lock).
    if (parametersByIndex.contains (parameter->getIndex()) || parametersByName.contains (parameter->getName()))
        return false;

    auto* p = parameters.add (parameter.release());
    parametersByIndex.set (p->getIndex(), p);
    parametersByName.set (p->getName(), p);
    return true;
}

//==============================================================================
int ParameterManager::getNumParameters() const
{
    const juce::ScopedReadLock sl (lock);
    return parameters.size();
}

Parameter* ParameterManager::getParameterAt (int position) const
{
    const juce::ScopedReadLock sl (lock);
    return parameters[position];
}

Parameter* ParameterManager::getParameter (int index) const
{
    const juce::ScopedReadLock sl (lock);
    return parametersByIndex[index];
}

Parameter* ParameterManager::getParameterByName (const juce::String& name) const
{
    const juce::ScopedReadLock sl (lock);
    return parametersByName[name];
}

template <typename Result, typename Function>
Result ParameterManager::withParameter (int index, Result fallback, Function&& function) const
{
    const juce::ScopedReadLock sl (lock);
    auto* p = parametersByIndex[index];
    return p != nullptr ? function (*p) : fallback;
}

template <typename Function>
void ParameterManager::withParameter (int index, Function&& function) const
{
    const juce::ScopedReadLock sl (lock);

    if (auto* p = parametersByIndex[index])
        function (*p);
}

juce::String ParameterManager::getParameterName (int index) const
{
    return withParameter (index, juce::String(), [] (Parameter& p) { return p.getName(); });
}

float ParameterManager::getValue (int index) const
{
    return withParameter (index, 0.0f, [] (Parameter& p) { return p.getValue(); });
}

float ParameterManager::getNormalisedValue (int index) const
{
    return withParameter (index, 0.0f, [] (Parameter& p) { return p.getNormalisedValue(); });
}

bool ParameterManager::getBoolValue (int index) const
{
    return withParameter (index, false, [] (Parameter& p) { return p.getBoolValue(); });
}

juce::String ParameterManager::getText (int index) const
{
    return withParameter (index, juce::String(), [] (Parameter& p) { return p.getText(); });
}

void ParameterManager::setNormalisedValue (int index, float value)
{
    withParameter (index, [&] (Parameter& p) { p.setNormalisedValue (value, true); });
}

void ParameterManager::setCurrentPresetNumber (int number)
{
    withParameter (currentPresetNumberIndex, [&] (Parameter& p) { p.setIntValue (number, true); });
}

void ParameterManager::setCurrentPresetName (const juce::String& presetName)
{
    withParameter (currentPresetNameIndex, [&] (Parameter& p) { p.setValueFromText (presetName, true); });
}

//==============================================================================
template <typename Function>
void ParameterManager::forEachParameter (Function&& function) const
{
    const juce::ScopedReadLock sl (lock);

    for (auto* p : parameters)
        function (*p);
}

void ParameterManager::addListenerToAll (Parameter::Listener* listener)
{
    forEachParameter ([listener] (Parameter& p) { p.addListener (listener); });
}

void ParameterManager::removeListenerFromAll (Parameter::Listener* listener)
{
    forEachParameter ([listener] (Parameter& p) { p.removeListener (listener); });
}

void ParameterManager::addAsyncListenerToAll (Parameter::Listener* listener)
{
    forEachParameter ([listener] (Parameter& p) { p.addAsyncListener (listener); });
}

void ParameterManager::removeAsyncListenerFromAll (Parameter::Listener* listener)
{
    forEachParameter ([listener] (Parameter& p) { p.removeAsyncListener (listener); });
}

void ParameterManager::notifyAll()
{
    forEachParameter ([] (Parameter& p) { p.notifyListeners(); });
}

void ParameterManager::addListener (int index, Parameter::Listener* listener)
{
    withParameter (index, [&] (Parameter& p) { p.addListener (listener); });
}

void ParameterManager::removeListener (int index, Parameter::Listener* listener)
{
    withParameter (index, [&] (Parameter& p) { p.removeListener (listener); });
}

void ParameterManager::addAsyncListener (int index, Parameter::Listener* listener)
{
    withParameter (index, [&] (Parameter& p) { p.addAsyncListener (listener); });
}

void ParameterManager::removeAsyncListener (int index, Parameter::Listener* listener)
{
    withParameter (index, [&] (Parameter& p) { p.removeAsyncListener (listener); });
}
