#include "framework/XmlFiles.h"

#include <cstring>
#include <limits>

namespace XmlFilesDetail
{
// The scan works on bytes: every token it looks for is ASCII, which never occurs inside a
// multi-byte UTF-8 sequence, so malformed sequences cannot make it step past the end.

/** Moves p past the next occurrence of end; false when the text ends first. */
bool skipPast (const char*& p, const char* end)
{
    if (auto* found = std::strstr (p, end))
    {
        p = found + std::strlen (end);
        return true;
    }

    return false;
}

bool startsWith (const char* p, const char* prefix)
{
    return std::strncmp (p, prefix, std::strlen (prefix)) == 0;
}

bool isWithinLimits (const juce::String& text, int maxElements, int maxDepth)
{
    int elements = 0, depth = 0;
    const char* p = text.toRawUTF8();

    while (*p != 0)
    {
        if (*p != '<')
        {
            ++p;
            continue;
        }

        if (startsWith (p, "<!--"))
        {
            if (! skipPast (p, "-->"))
                return false;
        }
        else if (startsWith (p, "<![CDATA["))
        {
            if (! skipPast (p, "]]>"))
                return false;
        }
        else if (p[1] == '!')
        {
            // A document type: its entities could expand into more elements or name other files.
            return false;
        }
        else if (p[1] == '?')
        {
            // Only the declaration before the document element: JUCE's parser can loop for ever
            // on processing instructions inside elements.
            if (elements > 0 || ! juce::CharacterFunctions::isLetter ((juce::juce_wchar) (unsigned char) p[2])
                 || ! skipPast (p, "?>"))
                return false;
        }
        else if (p[1] == '/')
        {
            --depth;

            if (! skipPast (p, ">"))
                return false;
        }
        else
        {
            if (++elements > maxElements || ++depth > maxDepth)
                return false;

            // To the end of the tag, stepping over quoted attribute values.
            char quote = 0, previous = 0;

            for (++p; *p != 0; ++p)
            {
                const auto c = *p;

                if (quote != 0)
                {
                    if (c == quote)
                        quote = 0;
                }
                else if (c == '"' || c == '\'')
                {
                    quote = c;
                }
                else if (c == '>')
                {
                    break;
                }

                previous = c;
            }

            if (*p == 0)
                return false;

            if (previous == '/')
                --depth;

            ++p;
        }
    }

    return true;
}
} // namespace XmlFilesDetail

bool writeXmlFile (const juce::XmlElement& xml, const juce::File& file)
{
    if (file == juce::File() || file.isDirectory())
        return false;

    juce::XmlElement::TextFormat format;
    format.customEncoding = "UTF-8";
    format.lineWrapLength = 60;

    juce::MemoryOutputStream text;
    xml.writeTo (text, format);

    juce::TemporaryFile temporary (file);

    {
        juce::FileOutputStream out (temporary.getFile());

        if (! out.openedOk())
            return false;

        const bool written = out.write (text.getData(), text.getDataSize());
        out.flush();

        if (! written || out.getStatus().failed())
            return false;
    }

    // A short write (a full disk, a size limit) is not reported as an error by the stream:
    // only a temporary file of the full length may replace the target.
    if (temporary.getFile().getSize() != (juce::int64) text.getDataSize())
        return false;

    return temporary.overwriteTargetFileWithTemporary();
}

std::unique_ptr<juce::XmlElement> parseUntrustedXml (const juce::String& text, int maxElements, int maxDepth)
{
    // JUCE's parser can loop for ever on malformed UTF-8: such text is refused whole.
    if (! juce::CharPointer_UTF8::isValidString (text.toRawUTF8(), std::numeric_limits<int>::max())
         || ! XmlFilesDetail::isWithinLimits (text, maxElements, maxDepth))
        return {};

    return juce::XmlDocument::parse (text);
}

std::unique_ptr<juce::XmlElement> readUntrustedXmlFile (const juce::File& file, int maxElements, juce::int64 maxBytes, int maxDepth)
{
    if (! file.existsAsFile() || file.getSize() > maxBytes)
        return {};

    return parseUntrustedXml (file.loadFileAsString(), maxElements, maxDepth);
}
