/*
    The table of resources compiled into the plug-in (generated at build time from the
    files under product/resources). Keys are "NAME.TYPE" in upper case.
*/
#pragma once

#include <cstddef>

/** One embedded resource: its upper-case key and its bytes (followed by an uncounted zero). */
struct EmbeddedResource
{
    const char* key;
    const unsigned char* data;
    std::size_t size;
};

/** Every embedded resource, ended by an entry whose key is null. */
extern const EmbeddedResource embeddedResources[];

/** The number of entries before the terminating one. */
extern const int numEmbeddedResources;
