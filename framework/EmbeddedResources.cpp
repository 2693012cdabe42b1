#include "framework/EmbeddedResources.h"
#include "framework/EmbeddedResourceTable.h"

namespace
{
const EmbeddedResource* findResource (const juce::String& name)
{
    const auto dot = name.lastIndexOfChar ('.');

    if (dot < 0)
        return nullptr;

    // Keys are stored in upper case: compare the name and the type the same way.
    const auto key = name.substring (0, dot).toUpperCase() + "." + name.substring (dot + 1).toUpperCase();

    for (auto* r = embeddedResources; r->key != nullptr; ++r)
        if (key == r->key)
            return r->size > 0 ? r : nullptr;

    return nullptr;
}
} // namespace

std::unique_ptr<juce::MemoryBlock> loadResourceData (const juce::String& name)
{
    if (auto* r = findResource (name))
        return std::make_unique<juce::MemoryBlock> (r->data, r->size);

    return {};
}

juce::String loadResourceAsString (const juce::String& name)
{
    if (auto* r = findResource (name))
        return juce::String::fromUTF8 (reinterpret_cast<const char*> (r->data), (int) r->size);

    return {};
}

bool loadImageResource (const juce::String& name, juce::Image& image)
{
    auto* r = findResource (name);

    if (r == nullptr)
        return false;

    image = juce::ImageFileFormat::loadFrom (r->data, r->size);
    return true;
}
