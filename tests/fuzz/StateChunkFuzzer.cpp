// The host's state chunk ("PluginState" in JUCE's binary XML form), restored into a running instance.
#include "FuzzPlugin.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    return fuzzChunkInput (false, data, size);
}
