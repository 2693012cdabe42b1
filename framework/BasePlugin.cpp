#include "framework/BasePlugin.h"
#include "framework/AudioProcessorEditorWrapper.h"
#include "framework/FloatParameter.h"
#include "framework/XmlFiles.h"
#include "host/VstInterface.h"

#include <iostream>

namespace BasePluginDetail
{
constexpr juce::uint32 binaryXmlMagic = 0x21324356;

class PlaceholderEditor final : public juce::Component
{
public:
    explicit PlaceholderEditor (const juce::String& name) : title (name)   { setSize (600, 330); }

    void paint (juce::Graphics& g) override
    {
        g.fillAll (juce::Colour (0xff7f7f7f));
        g.setColour (juce::Colours::white);
        g.setFont (20.0f);
        g.drawText (title, getLocalBounds(), juce::Justification::centred);
    }

private:
    juce::String title;
};
} // namespace BasePluginDetail

BasePlugin::BasePlugin (const BusesProperties& buses)
    : juce::AudioProcessor (buses)
{
    hostSlots.ensureStorageAllocated (200);
    midiControl = std::make_unique<MidiControl> (parameterManager);
    parameterManager.loadParameterDefinitions ("parameters.xml");
    eventsMap.loadFromResource ("events.xml");
    addPluginCommands (eventsMap);
}

BasePlugin::~BasePlugin()
{
    cancelPendingUpdate();
    deleteEditorComponent();
    parameterManager.removeListenerFromAll (this);
}

void BasePlugin::deleteEditorComponent()
{
    if (auto* timer = dynamic_cast<juce::Timer*> (editorComponent.get()))
        timer->stopTimer();

    editorComponent.reset();
}

//==============================================================================
void BasePlugin::preInitialise()
{
    setPluginFile (juce::File::getSpecialLocation (juce::File::currentApplicationFile));

    if (isDebugMode())
    {
        for (int i = 0; i < 12; ++i)
        {
            auto parameter = std::make_unique<FloatParameter> (300000 + i, "Debug Parameter " + juce::String (i), 0.0f, 1.0f, 0.0f);
            parameterManager.addParameter (std::move (parameter));
            eventsMap.add (10000 + i, "Debug Event " + juce::String (i));
        }
    }
}

void BasePlugin::setPluginFile (const juce::File& file)
{
    pluginFile = file;
    pluginFolder = file.getParentDirectory();
}

void BasePlugin::initialise()
{
    parameterManager.addListenerToAll (this);
    loadIniFile();
    midiControl->setPluginName (getPluginName());

    if (midiControl->isDefaultMapEnabled())
        midiControl->loadDefaultMap();
}

void BasePlugin::createGui()
{
    if (editorComponent != nullptr)
        return;

    editorComponent = createEditorComponent();

    // The editor runs its display timer itself, only while it is showing: a closed
    // editor costs nothing.
    if (editorComponent != nullptr)
        editorComponent->sendLookAndFeelChange();

    parameterManager.notifyAll();
}

std::unique_ptr<juce::Component> BasePlugin::createEditorComponent()
{
    return std::make_unique<BasePluginDetail::PlaceholderEditor> (getPluginName());
}

juce::AudioProcessorEditor* BasePlugin::createEditor()
{
    if (editorComponent == nullptr)
        return nullptr;

    return new AudioProcessorEditorWrapper (*this, *editorComponent);
}

juce::String BasePlugin::getParameterValueText (int index)
{
    return parameterManager.getText (index);
}

void BasePlugin::handleCommand (int)
{
    // Commands act through the preset layer; a plain plug-in has none.
}

//==============================================================================
std::unique_ptr<juce::XmlElement> BasePlugin::createRootElement (const juce::String& tag) const
{
    auto xml = std::make_unique<juce::XmlElement> (tag);
    xml->setAttribute ("application", getName());
    return xml;
}

bool BasePlugin::isRootElementFor (const juce::XmlElement& xml, const juce::String& tag) const
{
    return xml.getTagName() == tag && xml.getStringAttribute ("application") == getName();
}

bool BasePlugin::isPluginStateXml (const juce::XmlElement& xml) const      { return isRootElementFor (xml, "PluginState"); }
bool BasePlugin::isUserSettingsXml (const juce::XmlElement& xml) const     { return isRootElementFor (xml, "UserSettings"); }

std::unique_ptr<juce::XmlElement> BasePlugin::createPluginStateXml()
{
    return createRootElement ("PluginState");
}

//==============================================================================
juce::File BasePlugin::getSettingsFile() const
{
    return pluginFolder.getChildFile (getPluginName() + ".ini");
}

juce::File BasePlugin::getDumpFile() const
{
    return pluginFolder.getChildFile (getPluginName() + ".dump");
}

void BasePlugin::loadIniFile()
{
    if (pluginFolder == juce::File())
        return;

    if (auto xml = readSettingsFile())
        loadUserSettings (*xml);
}

std::unique_ptr<juce::XmlElement> BasePlugin::readSettingsFile() const
{
    auto xml = readUntrustedXmlFile (getSettingsFile(), settingsXmlLimits);
    return xml != nullptr && isUserSettingsXml (*xml) ? std::move (xml) : nullptr;
}

bool BasePlugin::saveIniFile()
{
    if (pluginFolder == juce::File())
        return false;

    bool saved = true;

    if (auto xml = createUserSettingsXml())
        saved = keepUnreadableSettingsFile() && writeXmlFile (*xml, getSettingsFile());

    if (isDumpEnabled())
        saved = saveDumpFile() && saved;

    return saved;
}

bool BasePlugin::keepUnreadableSettingsFile()
{
    // Read again rather than remembered from the start: another instance may have written
    // a good file since, and that one must not replace the kept one.
    const auto file = getSettingsFile();

    if (! file.existsAsFile() || readSettingsFile() != nullptr)
        return true;

    const auto kept = file.getSiblingFile (file.getFileName() + ".unreadable");

    if (! file.moveFileTo (kept))
    {
        std::cerr << getPluginName() << ": the settings file " << file.getFullPathName()
                  << " cannot be read, nor kept as " << kept.getFileName() << "; it is left as it is." << std::endl;
        return false;
    }

    std::cerr << getPluginName() << ": the settings file " << file.getFullPathName()
              << " cannot be read; it is kept as " << kept.getFullPathName()
              << " and the settings are written anew." << std::endl;
    return true;
}

void BasePlugin::loadDumpFile()
{
    if (! isDumpEnabled() || pluginFolder == juce::File())
        return;

    if (auto xml = readUntrustedXmlFile (getDumpFile(), stateXmlLimits))
        loadPluginState (*xml);
}

bool BasePlugin::saveDumpFile()
{
    if (! isDumpEnabled() || pluginFolder == juce::File())
        return false;

    auto xml = createPluginStateXml();
    return xml != nullptr && writeXmlFile (*xml, getDumpFile());
}

//==============================================================================
void BasePlugin::setHostSlot (int slot, Parameter* parameter)
{
    if (slot < 0 || slot >= maxHostSlots)
        return;

    Parameter* previous = nullptr;

    {
        const juce::ScopedLock sl (slotLock);

        while (hostSlots.size() <= slot)
            hostSlots.add (nullptr);

        previous = hostSlots[slot];
        hostSlots.set (slot, parameter);
    }

    const juce::ScopedLock sl (slotMapLock);

    if (previous != nullptr)
        slotOfIndex.remove (previous->getIndex());

    if (parameter != nullptr)
        slotOfIndex.set (parameter->getIndex(), slot);
}

Parameter* BasePlugin::getSlotParameter (int slot) const
{
    const juce::ScopedLock sl (slotLock);
    return hostSlots[slot];
}

int BasePlugin::getHostSlotOf (const Parameter& parameter) const
{
    const juce::ScopedLock sl (slotMapLock);
    return slotOfIndex.contains (parameter.getIndex()) ? slotOfIndex[parameter.getIndex()] : -1;
}

float BasePlugin::getHostParameter (int slot)
{
    if (! isValidHostSlot (slot))
        return 0.0f;

    if (auto* parameter = getSlotParameter (slot))
        return parameter->getNormalisedValue();

    return shadowValues[(size_t) slot].load();
}

void BasePlugin::setHostParameter (int slot, float value)
{
    if (! isValidHostSlot (slot) || std::isnan (value))
        return;

    shadowValues[(size_t) slot].store (value);

    if (auto* parameter = getSlotParameter (slot))
    {
        // While the host's own change runs, parameterChanged sees the flag and does not echo it.
        setByHost[(size_t) slot].exchange (1);
        parameter->setNormalisedValue (value, true);
        setByHost[(size_t) slot].exchange (0);
    }
}

juce::String BasePlugin::getHostParameterName (int slot)
{
    if (! isValidHostSlot (slot))
        return {};

    if (auto* parameter = getSlotParameter (slot))
        return parameter->getName();

    return "Parameter " + juce::String (slot + 1);
}

juce::String BasePlugin::getHostParameterText (int slot)
{
    if (! isValidHostSlot (slot))
        return {};

    if (auto* parameter = getSlotParameter (slot))
        return getParameterValueText (parameter->getIndex());

    return juce::String (shadowValues[(size_t) slot].load(), 9);
}

bool BasePlugin::isHostParameterAutomatable (int slot)
{
    return isValidHostSlot (slot);
}

int BasePlugin::getVstUniqueId()
{
    const auto code = getPluginCode();
    return vst::fourCharCode ((char) code[0], (char) code[1], 'm', '4');
}

int BasePlugin::getVstVendorVersion()
{
    // "major.minor.patch" packed one byte each: 1.3.1 is 0x10301.
    const auto parts = juce::StringArray::fromTokens (getSoftwareVersion(), ".", {});
    int version = 0;

    for (int i = 0; i < 3; ++i)
        version = (version << 8) | juce::jlimit (0, 255, parts[i].getIntValue());

    return version;
}

void BasePlugin::requestHostDisplayUpdate()
{
    if (isHoldingHostNotices())
        displayUpdateHeld.store (true);
    else if (auto* notifier = getHostNotifier())
        notifier->hostUpdateDisplay();
}

void BasePlugin::holdHostNotices() noexcept
{
    if (isHoldingHostNotices())
    {
        ++holdDepth;
        return;
    }

    holdingThread.store (juce::Thread::getCurrentThreadId());
    holdDepth = 1;
}

bool BasePlugin::isHoldingHostNotices() const noexcept
{
    return holdingThread.load() == juce::Thread::getCurrentThreadId();
}

void BasePlugin::sendHeldHostNotices()
{
    if (isHoldingHostNotices() && --holdDepth > 0)
        return;

    holdingThread.store (nullptr);

    if (automationHeld.exchange (false))
        for (int slot = 0; slot < maxHostSlots; ++slot)
            if (heldAutomation[(size_t) slot].exchange (false))
                if (auto* parameter = getSlotParameter (slot))
                    if (auto* notifier = getHostNotifier())
                        notifier->hostAutomate (slot, parameter->getNormalisedValue());

    if (displayUpdateHeld.exchange (false))
        requestHostDisplayUpdate();
}

//==============================================================================
void BasePlugin::parameterChanged (Parameter* parameter)
{
    if (parameter == nullptr)
        return;

    const auto slot = getHostSlotOf (*parameter);

    if (slot < 0 || slot >= maxHostSlots || setByHost[(size_t) slot].load() != 0)
        return;

    if (isHoldingHostNotices())
    {
        heldAutomation[(size_t) slot].store (true);
        automationHeld.store (true);
    }
    else if (auto* notifier = getHostNotifier())
    {
        notifier->hostAutomate (slot, parameter->getNormalisedValue());
    }
}

void BasePlugin::parameterGestureBegin (Parameter* parameter)
{
    const auto slot = parameter != nullptr ? getHostSlotOf (*parameter) : -1;

    if (slot >= 0)
        if (auto* notifier = getHostNotifier())
            notifier->hostBeginEdit (slot);
}

void BasePlugin::parameterGestureEnd (Parameter* parameter)
{
    const auto slot = parameter != nullptr ? getHostSlotOf (*parameter) : -1;

    if (slot >= 0)
        if (auto* notifier = getHostNotifier())
            notifier->hostEndEdit (slot);
}

//==============================================================================
std::unique_ptr<juce::XmlElement> BasePlugin::parseStateChunk (const void* data, int sizeInBytes)
{
    if (data == nullptr || sizeInBytes < 9)
        return {};

    const auto* bytes = static_cast<const char*> (data);

    if (juce::ByteOrder::littleEndianInt (bytes) != BasePluginDetail::binaryXmlMagic)
        return {};

    const auto textLength = (juce::int64) juce::ByteOrder::littleEndianInt (bytes + 4);

    // A text far larger than any state is refused before a string is made of it. The stated
    // length counts the terminating zero.
    if (textLength <= 0 || textLength > (juce::int64) sizeInBytes - 8
         || textLength > stateXmlLimits.maxBytes + 1)
        return {};

    // The text may stop at a terminating zero before its stated end.
    const auto* text = bytes + 8;
    const auto length = (int) (std::find (text, text + textLength, '\0') - text);

    return parseUntrustedXml (juce::String::fromUTF8 (text, length), stateXmlLimits);
}

void BasePlugin::getStateInformation (juce::MemoryBlock& destData)
{
    if (auto xml = createPluginStateXml())
        copyXmlToBinary (*xml, destData);

    stateRetrieved.store (1);
    triggerAsyncUpdate();
}

void BasePlugin::setStateInformation (const void* data, int sizeInBytes)
{
    if (auto xml = parseStateChunk (data, sizeInBytes))
        loadPluginState (*xml);

    stateSet.store (1);
    triggerAsyncUpdate();
}

void BasePlugin::getCurrentProgramStateInformation (juce::MemoryBlock& destData)
{
    if (auto xml = createProgramStateXml())
        copyXmlToBinary (*xml, destData);
}

void BasePlugin::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    if (auto xml = parseStateChunk (data, sizeInBytes))
        loadProgramState (*xml);
}

//==============================================================================
void BasePlugin::addStateListener (StateListener* listener)      { stateListeners.add (listener); }
void BasePlugin::removeStateListener (StateListener* listener)   { stateListeners.remove (listener); }

void BasePlugin::handleAsyncUpdate()
{
    const bool wasSet = stateSet.exchange (0) != 0;
    const bool wasRetrieved = stateRetrieved.exchange (0) != 0;

    stateListeners.call ([&] (StateListener& l)
    {
        if (wasSet)
            l.stateWasSet();

        if (wasRetrieved)
            l.stateWasRetrieved();
    });
}
