#include "framework/EmbeddedResources.h"
#include "framework/EmbeddedResourceTable.h"

#include <map>
#include <mutex>

namespace EmbeddedResourcesDetail
{
// Keys are stored in upper case: names and types are compared the same way. Empty for a name without a '.'.
juce::String makeKey (const juce::String& name)
{
    const auto dot = name.lastIndexOfChar ('.');

    if (dot < 0)
        return {};

    return name.substring (0, dot).toUpperCase() + "." + name.substring (dot + 1).toUpperCase();
}

// The resources added at run time. An entry is shared, so a reader keeps its bytes alive
// while another thread replaces or removes it.
struct AddedResources
{
    std::mutex mutex;
    std::map<juce::String, std::shared_ptr<const juce::MemoryBlock>> byKey;

    static AddedResources& get()
    {
        static AddedResources instance;
        return instance;
    }
};

// A found resource's bytes; owner holds them when they were added at run time.
struct FoundResource
{
    const void* data = nullptr;
    size_t size = 0;
    std::shared_ptr<const juce::MemoryBlock> owner;

    explicit operator bool() const noexcept { return data != nullptr; }
};

FoundResource findResource (const juce::String& name)
{
    const auto key = makeKey (name);

    if (key.isEmpty())
        return {};

    {
        auto& added = AddedResources::get();
        const std::lock_guard<std::mutex> lock (added.mutex);
        const auto it = added.byKey.find (key);

        if (it != added.byKey.end())
            return { it->second->getData(), it->second->getSize(), it->second };
    }

    for (auto* r = embeddedResources; r->key != nullptr; ++r)
        if (key == r->key)
            return r->size > 0 ? FoundResource { r->data, r->size, nullptr } : FoundResource {};

    return {};
}
} // namespace EmbeddedResourcesDetail

std::unique_ptr<juce::MemoryBlock> loadResourceData (const juce::String& name)
{
    if (const auto r = EmbeddedResourcesDetail::findResource (name))
        return std::make_unique<juce::MemoryBlock> (r.data, r.size);

    return {};
}

juce::String loadResourceAsString (const juce::String& name)
{
    if (const auto r = EmbeddedResourcesDetail::findResource (name))
        return juce::String::fromUTF8 (static_cast<const char*> (r.data), (int) r.size);

    return {};
}

bool loadImageResource (const juce::String& name, juce::Image& image)
{
    const auto r = EmbeddedResourcesDetail::findResource (name);

    if (! r)
        return false;

    image = juce::ImageFileFormat::loadFrom (r.data, r.size);
    return true;
}

bool addResource (const juce::String& name, const juce::MemoryBlock& data)
{
    const auto key = EmbeddedResourcesDetail::makeKey (name);

    if (key.isEmpty() || data.isEmpty())
        return false;

    auto copy = std::make_shared<const juce::MemoryBlock> (data);
    auto& added = EmbeddedResourcesDetail::AddedResources::get();
    const std::lock_guard<std::mutex> lock (added.mutex);
    added.byKey[key] = std::move (copy);
    return true;
}

void removeResource (const juce::String& name)
{
    const auto key = EmbeddedResourcesDetail::makeKey (name);
    auto& added = EmbeddedResourcesDetail::AddedResources::get();
    std::shared_ptr<const juce::MemoryBlock> removed;   // freed outside the lock

    const std::lock_guard<std::mutex> lock (added.mutex);
    const auto it = added.byKey.find (key);

    if (it != added.byKey.end())
    {
        removed = std::move (it->second);
        added.byKey.erase (it);
    }
}
