/*
    One kind of file, named by its extension: what a file chooser's pattern for it is.
*/
#pragma once

#include <juce_core/juce_core.h>

class FileType
{
public:
    /** A file type with an extension that includes its leading dot (".vlccmap"). */
    explicit FileType (const juce::String& extensionWithDot) : extension (extensionWithDot) {}

    /** The extension, with its leading dot. */
    const juce::String& getExtension() const noexcept   { return extension; }

    /** The file chooser's pattern for the type: "*" followed by the extension. */
    juce::String getWildcard() const                    { return "*" + extension; }

private:
    juce::String extension;
};
