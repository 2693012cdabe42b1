# The JUCE modules, compiled once into one position-independent static library that
# the plug-in, the tests and the tools all link.

add_library(velcroft_juce STATIC)

target_link_libraries(velcroft_juce
    PRIVATE
        juce::juce_core
        juce::juce_events
        juce::juce_data_structures
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_gui_extra
        juce::juce_audio_basics
        juce::juce_audio_processors
    PUBLIC
        juce::juce_recommended_config_flags)

target_compile_definitions(velcroft_juce PUBLIC
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_PLUGINHOST_VST=0
    JUCE_PLUGINHOST_VST3=0
    JUCE_PLUGINHOST_LV2=0
    JUCE_PLUGINHOST_LADSPA=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_USE_XSHM=1
    JUCE_MODAL_LOOPS_PERMITTED=0
    JUCE_CATCH_UNHANDLED_EXCEPTIONS=0)

# Consumers see the modules' include paths and settings, but not their sources.
target_include_directories(velcroft_juce INTERFACE
    $<TARGET_PROPERTY:velcroft_juce,INCLUDE_DIRECTORIES>)
target_compile_definitions(velcroft_juce INTERFACE
    $<TARGET_PROPERTY:velcroft_juce,COMPILE_DEFINITIONS>)

# Debian's JUCE uses the system image and compression libraries without declaring them.
find_package(Threads REQUIRED)
target_link_libraries(velcroft_juce PUBLIC
    PkgConfig::FREETYPE png jpeg z ${CMAKE_DL_LIBS} Threads::Threads rt)

# Address and undefined-behaviour checks are for our code: JUCE itself is compiled without
# them (its allocations are still tracked), which keeps that build quick. Thread checks
# need every lock and atomic seen, so JUCE is instrumented for them.
if(VELCROFT_SANITIZE AND NOT VELCROFT_SANITIZE MATCHES "thread")
    target_compile_options(velcroft_juce PRIVATE -fno-sanitize=all)
endif()
