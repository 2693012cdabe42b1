#include <gtest/gtest.h>
#include <dlfcn.h>

TEST (PluginLibrary, ExportsTheEntryPoint)
{
    auto* lib = dlopen (VELCROFT_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE (lib, nullptr) << dlerror();
    EXPECT_NE (dlsym (lib, "VSTPluginMain"), nullptr);
    dlclose (lib);
}
