/*
    Owns every parameter of a plug-in instance and finds them by index or by name. It is
    filled from the "PluginParameters" definitions and consulted from every thread; one
    read-write lock guards the list and both maps (adding and clearing write, all else reads).
*/
#pragma once

#include "framework/Parameter.h"

#include <juce_core/juce_core.h>

class ParameterManager
{
public:
    /** Index of the preset layer's "Current Preset Number" pseudo-parameter. */
    static constexpr int currentPresetNumberIndex = 110000;

    /** Index of the preset layer's "Current Preset Name" pseudo-parameter. */
    static constexpr int currentPresetNameIndex = 110001;

    ParameterManager();
    virtual ~ParameterManager();

    //==============================================================================
    /** Reads the embedded definitions resource and adds its parameters; nothing when it is missing or broken. */
    void loadParameterDefinitions (const juce::String& resourceName);

    /** Adds the parameters defined by a "PluginParameters" element; bad definitions are skipped. */
    void parseParameterDefinitions (const juce::XmlElement& root);

    /** Deletes every parameter. */
    void clear();

    /** Takes ownership of a parameter. False when it is null or already held (then it is
        released, not deleted), or when its index or name is taken (then it is deleted). */
    bool addParameter (std::unique_ptr<Parameter> parameter);

    //==============================================================================
    /** The number of parameters held. */
    int getNumParameters() const;

    /** The parameter at a position in insertion order, or null. */
    Parameter* getParameterAt (int position) const;

    /** The parameter with an index, or null. */
    Parameter* getParameter (int index) const;

    /** The parameter with a name (exact), or null. */
    Parameter* getParameterByName (const juce::String& name) const;

    /** The parameter's name, or an empty String. */
    juce::String getParameterName (int index) const;

    /** The parameter's value, or 0. */
    float getValue (int index) const;

    /** The parameter's normalised value, or 0. */
    float getNormalisedValue (int index) const;

    /** The parameter's bool view, or false. */
    bool getBoolValue (int index) const;

    /** The parameter's text, or an empty String. */
    juce::String getText (int index) const;

    /** Sets the parameter's normalised value with notification; nothing when it is absent. */
    void setNormalisedValue (int index, float value);

    /** Sets the current preset number pseudo-parameter with notification. */
    void setCurrentPresetNumber (int number);

    /** Sets the current preset name pseudo-parameter with notification. */
    void setCurrentPresetName (const juce::String& presetName);

    //==============================================================================
    /** Adds a synchronous listener to every parameter. */
    void addListenerToAll (Parameter::Listener* listener);

    /** Removes a synchronous listener from every parameter. */
    void removeListenerFromAll (Parameter::Listener* listener);

    /** Adds an asynchronous listener to every parameter. */
    void addAsyncListenerToAll (Parameter::Listener* listener);

    /** Removes an asynchronous listener from every parameter. */
    void removeAsyncListenerFromAll (Parameter::Listener* listener);

    /** Adds a synchronous listener to one parameter. */
    void addListener (int index, Parameter::Listener* listener);

    /** Removes a synchronous listener from one parameter. */
    void removeListener (int index, Parameter::Listener* listener);

    /** Adds an asynchronous listener to one parameter. */
    void addAsyncListener (int index, Parameter::Listener* listener);

    /** Removes an asynchronous listener from one parameter. */
    void removeAsyncListener (int index, Parameter::Listener* listener);

    /** Announces every parameter, in insertion order, to its synchronous and asynchronous listeners. */
    void notifyAll();

    /** The lock guarding the parameter list; hold its read side to keep parameters alive while using them. */
    const juce::ReadWriteLock& getLock() const noexcept     { return lock; }

private:
    static std::unique_ptr<Parameter> createParameter (const juce::XmlElement& definition);

    template <typename Function>
    void forEachParameter (Function&& function) const;

    /** Calls function with the parameter at index under the read lock and returns what it
        returns, or fallback when there is no such parameter. */
    template <typename Result, typename Function>
    Result withParameter (int index, Result fallback, Function&& function) const;

    /** Calls function with the parameter at index under the read lock, if there is one. */
    template <typename Function>
    void withParameter (int index, Function&& function) const;

    juce::OwnedArray<Parameter> parameters;
    juce::HashMap<int, Parameter*> parametersByIndex;
    juce::HashMap<juce::String, Parameter*> parametersByName;
    juce::ReadWriteLock lock;

    JUCE_DECLARE_NON_COPYABLE (ParameterManager)
};
