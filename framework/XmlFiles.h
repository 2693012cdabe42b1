/*
    Reading and writing the plug-in's XML files (settings, presets, banks, MIDI maps).

    Every file is written the same way: no document type, "UTF-8" in the declaration, lines
    wrapped at 60. The text goes to a temporary file beside the target, is checked to be
    complete, and only then replaces the target, so a failed save never costs the old file.

    Files chosen by the user, and chunks from the host, are untrusted: JUCE's parser recurses
    once per nesting level and hosts call us on threads with small stacks, so a text is parsed
    only when it nests no deeper than any file of ours does, holds no more element openings
    than the caller allows, and has no document type, whose entities could expand into further
    elements or name other files. The parser can also loop for ever while it recovers from
    malformed text, so only well-formed text in the plain form our files have reaches it.
*/
#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/** Writes the element to the file through a temporary file beside it; false, with the previous file intact, on any failure. */
bool writeXmlFile (const juce::XmlElement& xml, const juce::File& file);

/** Nesting deeper than any file the plug-in writes. */
constexpr int maxXmlDepth = 32;

/** Parses the text unless it is not valid UTF-8, not well-formed (an optional declaration and
    comments, one element tree of ASCII-named tags, quoted attributes, text, comments, CDATA,
    the five named and numeric character references, matching end tags), holds a document type,
    a processing instruction after the declaration, more than maxElements element openings or
    elements nested deeper than maxDepth; null when refused or malformed. */
std::unique_ptr<juce::XmlElement> parseUntrustedXml (const juce::String& text, int maxElements, int maxDepth = maxXmlDepth);

/** Reads and parses a file as parseUntrustedXml does; null when it is missing, no regular file
    (a device or a pipe), larger than maxBytes, refused or malformed. */
std::unique_ptr<juce::XmlElement> readUntrustedXmlFile (const juce::File& file, int maxElements, juce::int64 maxBytes,
                                                        int maxDepth = maxXmlDepth);
