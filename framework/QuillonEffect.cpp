#include "framework/QuillonEffect.h"

namespace QuillonEffectDetail
{
const char* const qualityNames[] = { "low", "medium", "high", "highest" };

int qualityIndexFromName (const juce::String& name)
{
    for (int i = 0; i < 4; ++i)
        if (name == qualityNames[i])
            return i;

    return -1;
}
} // namespace QuillonEffectDetail

QuillonEffect::QuillonEffect (int numPresetParameters)
    : BasePluginOldStyle (numPresetParameters, 0,
                          BusesProperties().withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                           .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    setNeedsInitialisation();
}

QuillonEffect::~QuillonEffect()
{
    deleteEditorComponent();

    // The core stops being the bank's changer and listener before it goes.
    setPresetChanger (nullptr);

    if (core != nullptr)
        removePresetManagerListener (core.get());

    clocks.clear();
    core.reset();
}

//==============================================================================
void QuillonEffect::initialise()
{
    if (hasQuality())
    {
        const juce::ScopedReadLock sl (getParameterManager().getLock());
        qualityParameter = getParameterManager().getParameterByName ("Quality");
    }

    for (int i = getNumClocks(); --i >= 0;)
        clocks.add (std::make_unique<Clock>());

    auto newCore = createCore();

    if (newCore != nullptr && newCore != core)
    {
        if (core != nullptr)
            removePresetManagerListener (core.get());

        const juce::ScopedLock sl (coreLock);
        core = std::move (newCore);
    }

    if (core != nullptr)
    {
        setPresetChanger (core.get());
        addPresetManagerListener (core.get());
    }

    BasePluginOldStyle::initialise();

    if (qualityParameter != nullptr)
        qualityParameter->setNormalisedValue ((float) defaultQuality * 0.33333334f, true);
}

int QuillonEffect::getQualityIndex() const
{
    if (qualityParameter == nullptr)
        return 0;

    return (int) std::floor ((double) (qualityParameter->getNormalisedValue() * 3.0f + 0.5f));
}

//==============================================================================
void QuillonEffect::prepareToPlay (double sampleRate, int maximumBlockSize)
{
    prepared.exchange (1);

    for (auto* clock : clocks)
        clock->setSampleRate (sampleRate);

    if (core != nullptr)
    {
        // Host automation and display reads on other threads never see a half-changed rate.
        const juce::ScopedLock sl (coreLock);
        core->prepare (maximumBlockSize);
        core->setSampleRate ((float) sampleRate);

        if (hasQuality() && qualityNeedsRestart())
            core->setQuality (getQualityIndex());

        setLatencySamples (core->getLatencySamples());
    }

    midiQueue.clear();
    midiQueue.setCarryLimit (sampleRate, maximumBlockSize);
}

void QuillonEffect::releaseResources()
{
    prepared.exchange (0);
}

void QuillonEffect::updateClocksFromHost()
{
    auto* head = getPlayHead();

    if (head == nullptr)
        return;

    const auto info = head->getPosition();

    if (! info.hasValue() || core == nullptr)
        return;

    const auto bpm = info->getBpm();
    const auto ppq = info->getPpqPosition();

    if (bpm.hasValue())
        core->setTempo (*bpm);

    for (auto* clock : clocks)
    {
        if (bpm.hasValue())
            clock->setBpm (*bpm);

        if (ppq.hasValue())
            clock->setPosition (*ppq);

        if (info->getIsPlaying() && ! clock->isRunning())
            clock->start (ppq.orFallback (0.0));
        else if (! info->getIsPlaying() && clock->isRunning())
            clock->stop();
    }
}

void QuillonEffect::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi)
{
    const auto length = buffer.getNumSamples();
    const auto numInputs = getTotalNumInputChannels();
    const auto numOutputs = juce::jmin (getTotalNumOutputChannels(), buffer.getNumChannels());

    if (! clocks.isEmpty())
        updateClocksFromHost();

    stereo = numInputs == 2 && numOutputs == 2;

    for (int ch = numInputs; ch < numOutputs; ++ch)
        buffer.clear (ch, 0, length);

    if (numOutputs < 1)
        return;

    left = buffer.getWritePointer (0);
    right = stereo ? buffer.getWritePointer (1) : nullptr;

    midiQueue.addIncoming (midi);
    pending = 0;
    position = 0;

    juce::MidiMessage message;
    int eventPosition = 0;

    for (int i = 0; i < length;)
    {
        // Events due at this sample: the samples before them go to the core first.
        auto next = midiQueue.getNextEventPosition();

        if (next >= 0 && next <= i)
        {
            flushPendingSamples();

            while (next >= 0 && next <= i && midiQueue.getNextEvent (message, eventPosition))
            {
                handleMidiEvent (message);
                next = midiQueue.getNextEventPosition();
            }
        }

        const auto runEnd = (next > i && next < length) ? next : length;

        if (clocks.isEmpty())
        {
            pending += runEnd - i;
            i = runEnd;
            continue;
        }

        for (; i < runEnd; ++i)
        {
            for (int c = 0; c < clocks.size(); ++c)
            {
                auto* clock = clocks.getUnchecked (c);

                if (clock->tick())
                {
                    flushPendingSamples();

                    if (core != nullptr && clock->isGateOn())
                    {
                        const juce::ScopedLock sl (coreLock);
                        core->clockTick (c, clock);
                    }
                }
            }

            ++pending;
        }
    }

    flushPendingSamples();
    midiQueue.advance (length);
}

void QuillonEffect::flushPendingSamples()
{
    if (pending <= 0)
        return;

    if (core != nullptr)
    {
        // A silent preset change applies the preset from inside the core, under both locks:
        // the host hears of it once they are released.
        holdHostNotices();

        {
            const juce::ScopedLock sl (coreLock);
            const juce::ScopedLock coreOwnLock (core->getCoreLock());

            if (stereo)
                core->processStereo (&left, &right, pending);
            else
                core->processMono (&left, pending);
        }

        sendHeldHostNotices();
    }

    // The core processes in place from where the run starts; the effect moves on itself.
    left += pending;

    if (stereo)
        right += pending;

    position += pending;
    pending = 0;
}

void QuillonEffect::handleMidiEvent (const juce::MidiMessage& message)
{
    signalMidiActivity();

    if (message.isController())
    {
        getMidiControl().handleMidiMessage (message);
    }
    else if (message.isProgramChange())
    {
        const auto program = message.getProgramChangeNumber();

        if (! isValidSlot (program))
            return;

        selectPreset (program);
    }
}

//==============================================================================
void QuillonEffect::parameterChanged (Parameter* parameter)
{
    if (parameter != nullptr && core != nullptr)
    {
        const juce::ScopedLock sl (coreLock);

        if (hasQuality() && ! qualityNeedsRestart() && parameter == qualityParameter)
            core->setQuality (getQualityIndex());
        else
            core->setParameter (parameter->getIndex(), parameter->getNormalisedValue());
    }

    BasePluginOldStyle::parameterChanged (parameter);
}

//==============================================================================
std::unique_ptr<juce::XmlElement> QuillonEffect::createUniqueData()
{
    auto element = std::make_unique<juce::XmlElement> ("UniqueData");

    if (hasQuality())
    {
        const auto index = getQualityIndex();

        if (juce::isPositiveAndBelow (index, 4))
            element->setAttribute ("quality", QuillonEffectDetail::qualityNames[index]);
    }

    return element;
}

void QuillonEffect::loadUniqueData (const juce::XmlElement& element)
{
    if (! element.hasTagName ("UniqueData") || ! hasQuality() || qualityParameter == nullptr
         || ! element.hasAttribute ("quality"))
        return;

    setQualityFromIndex (QuillonEffectDetail::qualityIndexFromName (element.getStringAttribute ("quality")));
}

void QuillonEffect::setQualityFromIndex (int index)
{
    static constexpr float values[] = { 0.0f, 0.33333334f, 0.6666667f, 1.0f };

    if (qualityParameter != nullptr && juce::isPositiveAndBelow (index, 4))
        qualityParameter->setNormalisedValue (values[index], true);
}

std::unique_ptr<juce::XmlElement> QuillonEffect::createPluginStateXml()
{
    auto xml = BasePluginOldStyle::createPluginStateXml();

    if (xml != nullptr)
        if (auto unique = createUniqueData())
            xml->insertChildElement (unique.release(), 0);

    return xml;
}

void QuillonEffect::loadPluginState (const juce::XmlElement& xml)
{
    BasePluginOldStyle::loadPluginState (xml);

    if (isPluginStateXml (xml))
        for (auto* child : xml.getChildWithTagNameIterator ("UniqueData"))
            loadUniqueData (*child);
}

void QuillonEffect::loadUserSettings (const juce::XmlElement& xml)
{
    BasePluginOldStyle::loadUserSettings (xml);

    if (! isUserSettingsXml (xml) || ! hasQuality())
        return;

    for (auto* child : xml.getChildWithTagNameIterator ("QualitySettings"))
    {
        const auto index = QuillonEffectDetail::qualityIndexFromName (child->getStringAttribute ("default"));

        if (index >= 0)
            defaultQuality = index;
    }
}

std::unique_ptr<juce::XmlElement> QuillonEffect::createUserSettingsXml()
{
    auto xml = BasePluginOldStyle::createUserSettingsXml();

    if (xml != nullptr && hasQuality())
        xml->createNewChildElement ("QualitySettings")
           ->setAttribute ("default", QuillonEffectDetail::qualityNames[juce::jlimit (0, 3, defaultQuality)]);

    return xml;
}
