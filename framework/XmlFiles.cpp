#include "framework/XmlFiles.h"

#include <cstring>

namespace XmlFilesDetail
{
/** Moves p past the next occurrence of end; false when the text ends first. */
bool skipPast (juce::CharPointer_UTF8& p, const char* end)
{
    const auto length = (int) std::strlen (end);

    for (; ! p.isEmpty(); ++p)
    {
        if (p.compareUpTo (juce::CharPointer_ASCII (end), length) == 0)
        {
            p += length;
            return true;
        }
    }

    return false;
}

bool isWithinLimits (const juce::String& text, int maxElements, int maxDepth)
{
    int elements = 0, depth = 0;
    auto p = text.getCharPointer();

    while (! p.isEmpty())
    {
        if (*p != '<')
        {
            ++p;
            continue;
        }

        if (p.compareUpTo (juce::CharPointer_ASCII ("<!--"), 4) == 0)
        {
            if (! skipPast (p, "-->"))
                return false;
        }
        else if (p.compareUpTo (juce::CharPointer_ASCII ("<![CDATA["), 9) == 0)
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
            if (! skipPast (p, "?>"))
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
            juce::juce_wchar quote = 0, previous = 0;

            for (++p; ! p.isEmpty(); ++p)
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

            if (p.isEmpty())
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
    if (! XmlFilesDetail::isWithinLimits (text, maxElements, maxDepth))
        return {};

    return juce::XmlDocument::parse (text);
}

std::unique_ptr<juce::XmlElement> readUntrustedXmlFile (const juce::File& file, int maxElements, juce::int64 maxBytes, int maxDepth)
{
    if (! file.existsAsFile() || file.getSize() > maxBytes)
        return {};

    return parseUntrustedXml (file.loadFileAsString(), maxElements, maxDepth);
}
