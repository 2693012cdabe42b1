/*
    A VST 2.4 plug-in library opened with dlopen. Instances made from it keep it alive and
    are counted; unloading (dlclose) is a step of its own that is refused while any instance
    is still open, so a test can close the last instance and unload the library separately.
*/
#pragma once

#include "host/VstInterface.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace vsthost
{

class VstLibrary
{
public:
    /** Opens a library (RTLD_NOW | RTLD_LOCAL) and finds its entry, VSTPluginMain or else main.
        Returns null and describes the reason in error when that fails. */
    static std::shared_ptr<VstLibrary> open (const std::string& path, std::string& error);

    /** Unloads the library if that has not been done yet. */
    ~VstLibrary();

    VstLibrary (const VstLibrary&) = delete;
    VstLibrary& operator= (const VstLibrary&) = delete;

    /** Returns the file the library was opened from. */
    const std::string& getPath() const noexcept                 { return path; }

    /** Returns the name of the entry that was found ("VSTPluginMain" or "main"). */
    const std::string& getEntryName() const noexcept            { return entryName; }

    /** Returns the entry, or null once the library has been unloaded. */
    vst::PluginEntryProc getEntry() const;

    /** Returns true until unload() has succeeded. */
    bool isLoaded() const;

    /** Returns how many instances made from this library are open (not yet closed). */
    int getNumOpenInstances() const noexcept                    { return openInstances.load(); }

    /** Unloads the library (dlclose). Refused (false) while any instance is open; true when the
        library is unloaded afterwards, also when it already was. */
    bool unload();

    /** Counts an instance as open; false (and not counted) once the library is unloaded. */
    bool instanceOpened();
    /** Counts an instance as closed. */
    void instanceClosed();

private:
    VstLibrary (std::string path, void* handle, vst::PluginEntryProc entry, std::string entryName);

    const std::string path;
    const std::string entryName;

    mutable std::mutex lock;
    void* handle;
    vst::PluginEntryProc entry;
    std::atomic<int> openInstances { 0 };
};

} // namespace vsthost
