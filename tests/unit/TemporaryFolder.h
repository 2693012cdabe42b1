/*
    A fresh folder in the system's temporary directory for one test, deleted with it. Its name
    is unique (a prefix and a random UUID), so that tests running side by side in separate
    processes never share a folder, as they could when each took the first free name.
*/
#pragma once

#include <juce_core/juce_core.h>

struct TemporaryFolder
{
    /** Creates the folder, named prefix-<uuid>. */
    explicit TemporaryFolder (const juce::String& prefix)
        : folder (juce::File::getSpecialLocation (juce::File::tempDirectory)
                      .getChildFile (prefix + "-" + juce::Uuid().toString()))
    {
        folder.createDirectory();
    }

    ~TemporaryFolder()      { folder.deleteRecursively(); }

    /** The folder. */
    const juce::File folder;

    JUCE_DECLARE_NON_COPYABLE (TemporaryFolder)
};
