#include "product/Velcroft.h"
#include "framework/EmbeddedResources.h"
#include "host/PluginEntry.h"

Velcroft::Velcroft()
    : juce::AudioProcessor (BusesProperties().withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                             .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    if (auto xml = juce::parseXML (loadResourceAsString ("parameters.xml")))
    {
        for (auto* param : xml->getChildWithTagNameIterator ("param"))
        {
            names.add (param->getStringAttribute ("name"));
            values.add ((float) param->getDoubleAttribute ("value"));
        }
    }
}

float Velcroft::getHostParameter (int i)
{
    return isValidSlot (i) ? values[i] : 0.0f;
}

void Velcroft::setHostParameter (int i, float value)
{
    if (isValidSlot (i) && ! std::isnan (value))
        values.set (i, juce::jlimit (0.0f, 1.0f, value));
}

juce::String Velcroft::getHostParameterName (int i)
{
    return isValidSlot (i) ? names[i] : juce::String();
}

juce::String Velcroft::getHostParameterText (int i)
{
    return isValidSlot (i) ? juce::String (values[i], 9) : juce::String();
}

bool Velcroft::isHostParameterAutomatable (int i)
{
    return isValidSlot (i);
}

int Velcroft::getVstUniqueId()
{
    return vst::fourCharCode ('V', 'L', 'm', '4');
}

void Velcroft::getStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement state ("PluginState");
    state.setAttribute ("application", getName());

    for (int i = 0; i < values.size(); ++i)
        state.createNewChildElement ("param")->setAttribute ("value", values[i]);

    copyXmlToBinary (state, destData);
}

void Velcroft::setStateInformation (const void* data, int sizeInBytes)
{
    auto state = getXmlFromBinary (data, sizeInBytes);

    if (state == nullptr || ! state->hasTagName ("PluginState") || state->getStringAttribute ("application") != getName())
        return;

    int i = 0;

    for (auto* param : state->getChildWithTagNameIterator ("param"))
        setHostParameter (i++, (float) param->getDoubleAttribute ("value"));
}

juce::AudioProcessorEditor* Velcroft::createEditor()
{
    struct PlaceholderEditor final : public juce::AudioProcessorEditor
    {
        explicit PlaceholderEditor (juce::AudioProcessor& p) : juce::AudioProcessorEditor (p)  { setSize (640, 400); }
        void paint (juce::Graphics& g) override   { g.fillAll (juce::Colours::darkslategrey); }
    };

    return new PlaceholderEditor (*this);
}

juce::AudioProcessor* createPluginFilter()
{
    return new Velcroft();
}
