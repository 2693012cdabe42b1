#include "tools/host/VstLibrary.h"

#include <dlfcn.h>

namespace vsthost
{

std::shared_ptr<VstLibrary> VstLibrary::open (const std::string& path, std::string& error)
{
    dlerror();
    auto* handle = dlopen (path.c_str(), RTLD_NOW | RTLD_LOCAL);

    if (handle == nullptr)
    {
        const char* reason = dlerror();
        error = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown error");
        return nullptr;
    }

    // Older Linux plug-ins export their entry as "main" only.
    for (const char* name : { "VSTPluginMain", "main" })
    {
        if (auto* symbol = dlsym (handle, name))
            return std::shared_ptr<VstLibrary> (new VstLibrary (path, handle,
                                                                reinterpret_cast<vst::PluginEntryProc> (symbol), name));
    }

    dlclose (handle);
    error = path + " exports no VST 2.4 entry (VSTPluginMain or main)";
    return nullptr;
}

VstLibrary::VstLibrary (std::string libraryPath, void* libraryHandle, vst::PluginEntryProc entryProc, std::string name)
    : path (std::move (libraryPath)), entryName (std::move (name)), handle (libraryHandle), entry (entryProc)
{
}

VstLibrary::~VstLibrary()
{
    std::lock_guard<std::mutex> guard (lock);

    if (handle != nullptr)
        dlclose (handle);
}

vst::PluginEntryProc VstLibrary::getEntry() const
{
    std::lock_guard<std::mutex> guard (lock);
    return entry;
}

bool VstLibrary::isLoaded() const
{
    std::lock_guard<std::mutex> guard (lock);
    return handle != nullptr;
}

bool VstLibrary::unload()
{
    std::lock_guard<std::mutex> guard (lock);

    if (openInstances.load() > 0)
        return false;

    if (handle != nullptr)
    {
        dlclose (handle);
        handle = nullptr;
        entry = nullptr;
    }

    return true;
}

bool VstLibrary::instanceOpened()
{
    std::lock_guard<std::mutex> guard (lock);

    if (handle == nullptr)
        return false;

    ++openInstances;
    return true;
}

void VstLibrary::instanceClosed()
{
    std::lock_guard<std::mutex> guard (lock);

    if (openInstances.load() > 0)
        --openInstances;
}

} // namespace vsthost
