#include "host/PluginEntry.h"
#include "host/JuceVSTWrapper.h"
#include "framework/BasePlugin.h"

namespace
{
/** The framework's start-up, in order: files, then the initialise chain, then the editor. */
void startUp (juce::AudioProcessor& processor)
{
    auto* plugin = dynamic_cast<BasePlugin*> (&processor);

    if (plugin == nullptr)
        return;

    if (plugin->needsInitialisation())
    {
        plugin->preInitialise();
        plugin->initialise();
        plugin->createGui();
    }

    if (plugin->isDumpEnabled())
        plugin->loadDumpFile();
}
} // namespace

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

        startUp (*processor);

        auto wrapper = std::make_unique<JuceVSTWrapper> (audioMaster, std::move (processor));

        // From here on the host owns the instance; effClose deletes it.
        return wrapper.release()->getAeffect();
    }
    catch (...)
    {
        return nullptr;
    }
}
