/*
    The plug-in library's one export. Everything else in the library is hidden.
*/
#include "host/PluginEntry.h"

extern "C" __attribute__ ((visibility ("default"))) vst::AEffect* VSTPluginMain (vst::HostCallback audioMaster)
{
    return pluginEntryPoint (audioMaster);
}
