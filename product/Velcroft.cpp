#include "product/Velcroft.h"
#include "editor/VelcroftEditor.h"
#include "dsp/VelcroftCore.h"
#include "host/PluginEntry.h"

namespace VelcroftDetail
{
/** A number with one decimal and a "+" when above 0, then "dB". */
juce::String decibelText (double dB)
{
    const auto text = juce::String (dB, 1);
    return (text.getDoubleValue() > 0.0 ? "+" : "") + text + "dB";
}

juce::String bitsText (float value)
{
    const auto n = (int) std::floor (value * 16.0f + 0.5f) + 1;

    if (n == 17)
        return "Quant. Off";

    return juce::String (n) + (n == 1 ? " bit" : " bits");
}

juce::String hertzText (double hertz)
{
    return juce::String ((juce::int64) std::round (hertz)) + "Hz";
}

juce::String percentText (double fraction)
{
    return juce::String ((juce::int64) std::round (fraction * 100.0)) + "%";
}

const char* filterTypeName (float value)
{
    static const char* const names[] = { "LP", "BP", "HP", "BR", "Off" };
    const auto t = (int) std::floor (value * 4.0f + 0.5f);
    return juce::isPositiveAndBelow (t, 5) ? names[t] : nullptr;
}

constexpr double cutoffToHertz = 14457.831323999999;
} // namespace VelcroftDetail

Velcroft::Velcroft()
    : QuillonOldCompatible (VelcroftParameters::numParameters)
{
}

Velcroft::~Velcroft()
{
    deleteEditorComponent();
    saveIniFile();
}

std::unique_ptr<QuillonEffect::Core> Velcroft::createCore()
{
    return std::make_unique<VelcroftCore> (this);
}

VelcroftCore* Velcroft::getVelcroftCore() const
{
    return static_cast<VelcroftCore*> (getCore());
}

//==============================================================================
juce::String Velcroft::getDisplayText (int index)
{
    using namespace VelcroftDetail;
    using namespace VelcroftParameters;

    auto* core = getVelcroftCore();

    if (core == nullptr || index < 0 || index >= numParameters)
        return BasePlugin::getParameterValueText (index);

    auto& parameters = getParameterManager();
    const auto value = parameters.getNormalisedValue (index);

    const juce::ScopedLock sl (getCoreLock());

    // "Linked" is what the core does, so the texts never disagree with the sound at 0.5.
    const auto linked = core->isLinked();
    const auto leftChannel = core->getChannelSettings (0);
    const auto rightChannel = core->getChannelSettings (1);
    const auto& channel = index < rightBits || index == leftFilterOrder ? leftChannel : rightChannel;
    const bool rightWhileLinked = linked && ((index >= rightBits && index <= rightReso) || index == rightFilterOrder);

    if (rightWhileLinked)
        return "linked";

    switch (index)
    {
        case preamp:         return decibelText (core->getRawValue (preamp) * 48.0);
        case leftBits:
        case rightBits:      return bitsText (value);
        case leftFrequency:
        case rightFrequency: return hertzText (channel.ratio * 44100.0);
        case leftLinkFreq:
        case rightLinkFreq:  return channel.linkFreq ? "On" : "Off";
        case leftFilterType:
        case rightFilterType:
        {
            if (auto* name = filterTypeName (value))
                return name;

            return BasePlugin::getParameterValueText (index);
        }
        case leftCutoff:
        case rightCutoff:    return hertzText (channel.cutoffTarget * cutoffToHertz);
        case leftReso:
        case rightReso:      return percentText (core->getRawValue (index));
        case linkChannels:   return linked ? "On" : "Off";
        case fx:
        {
            const auto wet = (int) std::floor (core->getRawValue (fx) * 100.0 + 0.5);
            return juce::String (100 - wet) + "/" + juce::String (wet) + "% (Dry/Wet)";
        }
        case outputVolume:
        {
            const auto volume = core->getVolumeTarget();

            if (volume > 0.0 && 20.0 * std::log10 (volume) > -320.0)
                return decibelText (20.0 * std::log10 (volume));

            return "-Inf.";
        }
        case leftFilterOrder:
        case rightFilterOrder:
                             return channel.pre ? "Pre" : "Post";
        default:             break;
    }

    return BasePlugin::getParameterValueText (index);
}

void Velcroft::parameterChanged (Parameter* parameter)
{
    QuillonOldCompatible::parameterChanged (parameter);

    if (parameter != nullptr && parameter->getIndex() == VelcroftParameters::linkChannels)
        requestHostDisplayUpdate();
}

//==============================================================================
bool Velcroft::loadPresetFromXml (const juce::XmlElement& element, Preset& preset)
{
    using namespace VelcroftParameters;

    if (isPresetXml (element) && (! element.hasAttribute ("rev") || element.getIntAttribute ("rev") == 0))
        for (auto k : { leftFilterOrder, rightFilterOrder })
            if (k < preset.getNumValues())
                preset.setValue (k, 0.0f);

    return QuillonOldCompatible::loadPresetFromXml (element, preset);
}

std::unique_ptr<juce::XmlElement> Velcroft::createPresetXml (const Preset& preset)
{
    auto xml = QuillonOldCompatible::createPresetXml (preset);

    if (xml != nullptr)
        xml->setAttribute ("rev", 1);

    return xml;
}

//==============================================================================
juce::AudioProcessor* createPluginFilter()
{
    return new Velcroft();
}

std::unique_ptr<juce::Component> Velcroft::createEditorComponent()
{
    return BasePluginEditor::create<VelcroftEditor> (*this);
}
