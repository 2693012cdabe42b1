#include "host/PluginEntry.h"

vst::AEffect* pluginEntryPoint (vst::HostCallback)
{
    return nullptr;
}
