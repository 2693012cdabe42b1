// The host's program chunk (the current "Preset" in JUCE's binary XML form), restored into a
// running instance: it replaces the current slot and applies it.
#include "FuzzPlugin.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    return fuzzChunkInput (true, data, size);
}
