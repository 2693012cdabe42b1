/*
    Texts that cost JUCE's XML parser far more than their size, for the tests of every input the
    plug-in reads. JUCE keeps every tag and attribute name in one sorted pool for the whole
    process, so names that are new and each sort before the last one cost it quadratic time
    (names it has pooled already, or new ones in ascending order, cost nothing: they prove
    nothing). And it appends each character reference to its attribute value by measuring the
    value so far, so many references after a long value cost it quadratic time too.
*/
#pragma once

#include <cstdio>
#include <string>

namespace HostileXml
{
/** How long reading one of these texts may take: far above what a refused or bounded input
    costs (milliseconds, a few times more under the sanitizers on a busy machine) and below what
    the parser spends on the large ones when nothing stops them (seconds to minutes). */
constexpr double maxSeconds = 1.0;

/** Names new to the process on every call (the prefix), each sorting before the one before it,
    each between the given texts: some 11 bytes of name each. */
inline std::string descendingNames (int count, const char* before, const char* after)
{
    static int calls = 0;
    const auto prefix = "h" + std::to_string (++calls) + "n";
    std::string text;

    for (auto n = count; --n >= 0;)
    {
        char number[16];
        std::snprintf (number, sizeof (number), "%07d", n);
        text.append (before).append (prefix).append (number).append (after);
    }

    return text;
}

/** Attributes, to go inside a start tag: some 15 bytes each. */
inline std::string descendingAttributes (int count)    { return descendingNames (count, " ", "=\"\""); }

/** Empty elements, to go inside another element: some 14 bytes each. */
inline std::string descendingElements (int count)      { return descendingNames (count, "<", "/>"); }

/** An attribute value (without its quotes) of about the given length: a plain half, then "&lt;" to the end. */
inline std::string denseReferences (size_t bytes)
{
    std::string text (bytes / 2, 'x');
    text.reserve (bytes + 4);

    while (text.size() < bytes)
        text += "&lt;";

    return text;
}
} // namespace HostileXml
