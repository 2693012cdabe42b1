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
    And some texts cost it quadratic time: every tag and attribute name goes into one sorted
    pool shared by the whole process, and each character reference is appended to its value
    by measuring the value again. So a text is also refused, before it is even made into a
    string where that can be avoided, when it is far larger than the files of its kind, or
    holds more attributes, distinct names, references or longer values than they do: all
    counted in the one linear pass that checks its form.
*/
#pragma once

#include <juce_core/juce_core.h>

#include <memory>

/** Writes the element to the file through a temporary file beside it; false, with the previous file intact, on any failure. */
bool writeXmlFile (const juce::XmlElement& xml, const juce::File& file);

/** Nesting deeper than any file the plug-in writes. */
constexpr int maxXmlDepth = 32;

/** More attributes on one element than any of ours has (three at most). */
constexpr int maxXmlAttributesPerElement = 32;

/** More distinct tag and attribute names than any file of ours holds (fewer than 20). JUCE keeps
    every name in one sorted array for the whole process and inserts a new one by moving all that
    sort after it: 60,000 new names that each sort before the last cost it three seconds. */
constexpr int maxXmlDistinctNames = 256;

/** Longer than any attribute value we write (a path, all of its characters written as
    references). JUCE measures the value so far for each reference and each stretch between
    them, so a value costs it its length times its references: this bound, with the caller's
    bound on references, keeps that to milliseconds. */
constexpr int maxXmlAttributeValueBytes = 32 * 1024;

/** What an untrusted text may hold before JUCE's parser sees it; each kind of input gives
    bounds well above what the plug-in writes of that kind. */
struct UntrustedXmlLimits
{
    /** Bytes of the text, refused before it is read or made into a string. */
    juce::int64 maxBytes;
    /** Element openings. */
    int maxElements;
    /** Character references (the named and the numeric ones), in text and in values. */
    int maxReferences;
    /** Elements open at once. */
    int maxDepth = maxXmlDepth;
    /** Attributes on one element. */
    int maxAttributesPerElement = maxXmlAttributesPerElement;
    /** Distinct names of tags and attributes in the whole text. */
    int maxDistinctNames = maxXmlDistinctNames;
    /** Bytes of one attribute value as written, references and all. */
    int maxAttributeValueBytes = maxXmlAttributeValueBytes;
};

/** State and program chunks, and the dump file: the factory state is 106 kB of 2,460 elements
    (the whole bank); a MIDI map and names written as references add some 30 kB at most. */
constexpr UntrustedXmlLimits stateXmlLimits { 1 << 20, 20000, 16384 };

/** The settings file: eight elements and three paths. */
constexpr UntrustedXmlLimits settingsXmlLimits { 1 << 20, 1000, 16384 };

/** A preset file: some 1 kB of 19 elements. */
constexpr UntrustedXmlLimits presetFileXmlLimits { 256 << 10, 1000, 4096 };

/** A bank file: 128 presets, some 100 kB of 2,450 elements. */
constexpr UntrustedXmlLimits bankFileXmlLimits { 1 << 20, 20000, 16384 };

/** A MIDI map file: an assignment per controller at most, some 8 kB. */
constexpr UntrustedXmlLimits midiMapXmlLimits { 256 << 10, 1024, 4096 };

/** Parses the text unless it is not valid UTF-8, not well-formed (an optional declaration and
    comments, one element tree of ASCII-named tags, quoted attributes, text, comments, CDATA,
    the five named and numeric character references, matching end tags), holds a document type,
    a processing instruction after the declaration, or goes beyond any of the limits; null when
    refused or malformed. */
std::unique_ptr<juce::XmlElement> parseUntrustedXml (const juce::String& text, const UntrustedXmlLimits& limits);

/** Reads and parses a file as parseUntrustedXml does; null when it is missing, no regular file
    (a device or a pipe), larger than the limits allow, refused or malformed. */
std::unique_ptr<juce::XmlElement> readUntrustedXmlFile (const juce::File& file, const UntrustedXmlLimits& limits);
