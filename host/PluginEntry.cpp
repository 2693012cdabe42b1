#include "host/PluginEntry.h"
#include "host/JuceVSTWrapper.h"

vst::AEffect* pluginEntryPoint (vst::HostCallback audioMaster)
{
    if (audioMaster == nullptr)
        return nullptr;

    try
    {
        // Starts JUCE and its message thread for the first instance; the wrapper holds its own.
        const JuceRuntime::Holder runtime;

        if (audioMaster (nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
            return nullptr;

        // The processor and its editor are built, and released on failure, with the
        // message thread held still.
        const juce::MessageManagerLock lock;
        std::unique_ptr<juce::AudioProcessor> processor (createPluginFilter());

        if (processor == nullptr)
            return nullptr;

        auto wrapper = std::make_unique<JuceVSTWrapper> (audioMaster, std::move (processor));

        // From here on the host owns the instance; effClose deletes it.
        return wrapper.release()->getAeffect();
    }
    catch (...)
    {
        return nullptr;
    }
}
