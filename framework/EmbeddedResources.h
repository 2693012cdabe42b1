/*
    Access to the resources compiled into the plug-in: parameter definitions, the skin
    and its images, the built-in presets. A resource is named like a file, "NAME.TYPE":
    the part before the last '.' is its name, the part after it its type, and both are
    matched without regard to case.

    Resources can also be added at run time (tests build skins and filmstrips in memory);
    an added resource is found before a compiled-in one of the same name.
*/
#pragma once

#include <juce_graphics/juce_graphics.h>

#include <memory>

/** The resource's bytes as a new block, or null when there is no such resource or it is empty. */
std::unique_ptr<juce::MemoryBlock> loadResourceData (const juce::String& name);

/** The resource's bytes read as UTF-8 text, or an empty String when it is missing. */
juce::String loadResourceAsString (const juce::String& name);

/** Decodes the resource into image; false (image untouched) when there is no such resource. */
bool loadImageResource (const juce::String& name, juce::Image& image);

/** Adds a resource under a "NAME.TYPE" name, replacing one added before under that name;
    false (nothing added) for a name without a '.' or for empty data. Thread-safe. */
bool addResource (const juce::String& name, const juce::MemoryBlock& data);

/** Removes a resource added by addResource; compiled-in resources stay. Thread-safe. */
void removeResource (const juce::String& name);
