#include "framework/XmlFiles.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

namespace XmlFilesDetail
{
/** True for UTF-8 in its one shortest form: JUCE decodes an overlong sequence (0xc0 0xbc) to
    the ASCII character it spells ('<'), which the byte scan below would take for text. Surrogates
    and code points beyond U+10FFFF are refused too. */
bool isStrictUtf8 (const char* text) noexcept
{
    for (auto* p = reinterpret_cast<const unsigned char*> (text); *p != 0;)
    {
        const auto lead = *p++;

        if (lead < 0x80)
            continue;

        int extra = 0;
        unsigned char low = 0x80, high = 0xbf;   // the range of the first continuation byte

        if (lead >= 0xc2 && lead <= 0xdf)       extra = 1;
        else if (lead == 0xe0)                  { extra = 2; low = 0xa0; }
        else if (lead == 0xed)                  { extra = 2; high = 0x9f; }
        else if (lead >= 0xe1 && lead <= 0xef)  extra = 2;
        else if (lead == 0xf0)                  { extra = 3; low = 0x90; }
        else if (lead == 0xf4)                  { extra = 3; high = 0x8f; }
        else if (lead >= 0xf1 && lead <= 0xf3)  extra = 3;
        else                                    return false;

        if (*p < low || *p > high)
            return false;

        for (++p; --extra > 0; ++p)
            if ((*p & 0xc0) != 0x80)
                return false;
    }

    return true;
}

/** JUCE's parser recovers from malformed text in ways that can loop for ever (a processing
    instruction or a stray '<' inside an element, among others). So a text reaches it only when
    it is well-formed in the plain form every file of ours has: an optional declaration and
    comments, then one element tree of ASCII-named tags with quoted attributes, text, comments,
    CDATA sections, the five named and numeric character references, and matching end tags.
    On the way it counts what the limits bound, so that nothing the parser would spend more than
    linear time on gets through.

    The scan works on bytes of strict UTF-8: every token it looks for is ASCII, which never
    occurs inside a multi-byte sequence, and it never steps past the terminating zero. */
class WellFormedScanner
{
public:
    WellFormedScanner (const char* text, const UntrustedXmlLimits& limitsToKeep)
        : p (text), limits (limitsToKeep)
    {
        names.reserve ((size_t) juce::jlimit (1, 1024, limits.maxDistinctNames + 1));
    }

    /** True when the whole text is one well-formed document within the limits. */
    bool scanDocument()
    {
        skipSpaces();

        // Only the declaration (or another processing instruction) before the document element.
        if (p[0] == '<' && p[1] == '?')
            if (! isNameStart (p[2]) || ! skipPast (2, "?>"))
                return false;

        if (! skipSpacesAndComments() || ! (p[0] == '<' && isNameStart (p[1])) || ! scanElementTree())
            return false;

        return skipSpacesAndComments() && *p == 0;
    }

private:
    struct Name
    {
        const char* start = nullptr;
        size_t length = 0;
    };

    static bool isSpace (char c) noexcept       { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
    static bool isNameStart (char c) noexcept   { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':'; }
    static bool isNameChar (char c) noexcept    { return isNameStart (c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
    static bool isDigit (char c) noexcept       { return c >= '0' && c <= '9'; }

    bool startsWith (const char* prefix) const noexcept
    {
        return std::strncmp (p, prefix, std::strlen (prefix)) == 0;
    }

    bool skipSpaces() noexcept
    {
        const auto* start = p;

        while (isSpace (*p))
            ++p;

        return p != start;
    }

    /** Moves past the first occurrence of end that starts at least offset bytes on; false when the
        text ends first. The search stops at the match, so a text is scanned once, not once per tag. */
    bool skipPast (size_t offset, const char* end) noexcept
    {
        const auto length = std::strlen (end);

        for (auto* q = p; q < p + offset; ++q)
            if (*q == 0)
                return false;

        for (auto* q = p + offset; *q != 0; ++q)
        {
            if (*q == end[0] && std::strncmp (q, end, length) == 0)
            {
                p = q + length;
                return true;
            }
        }

        return false;
    }

    bool skipSpacesAndComments() noexcept
    {
        for (;;)
        {
            skipSpaces();

            if (! startsWith ("<!--"))
                return true;

            if (! skipPast (4, "-->"))
                return false;
        }
    }

    bool readName (Name& name) noexcept
    {
        if (! isNameStart (*p))
            return false;

        name.start = p;

        while (isNameChar (*p))
            ++p;

        name.length = (size_t) (p - name.start);
        return true;
    }

    /** Notes a tag or attribute name, which JUCE pools; false when it is one distinct name too many.
        The names seen are few and kept sorted, so each costs a short binary search. */
    bool countName (const Name& name)
    {
        const std::string_view view (name.start, name.length);
        const auto place = std::lower_bound (names.begin(), names.end(), view);

        if (place != names.end() && *place == view)
            return true;

        if ((int) names.size() >= limits.maxDistinctNames)
            return false;

        names.insert (place, view);
        return true;
    }

    /** A character reference: the five named ones, or a number of a Unicode character. */
    bool readReference() noexcept
    {
        if (++references > limits.maxReferences)
            return false;

        ++p;

        for (auto* named : { "amp;", "lt;", "gt;", "quot;", "apos;" })
        {
            if (startsWith (named))
            {
                p += std::strlen (named);
                return true;
            }
        }

        if (*p++ != '#')
            return false;

        const bool hex = (*p == 'x' || *p == 'X');
        const int base = hex ? 16 : 10;
        const int maxDigits = hex ? 6 : 7;
        p += hex ? 1 : 0;

        juce::int64 code = 0;
        int digits = 0;

        for (; *p != ';'; ++p)
        {
            const auto value = hex ? juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) (unsigned char) *p)
                                   : (isDigit (*p) ? *p - '0' : -1);

            if (value < 0 || ++digits > maxDigits)
                return false;

            code = code * base + value;
        }

        ++p;
        return digits > 0 && code > 0 && code <= 0x10ffff && ! (code >= 0xd800 && code <= 0xdfff);
    }

    bool readAttributeValue() noexcept
    {
        const auto quote = *p;

        if (quote != '"' && quote != '\'')
            return false;

        const auto* start = ++p;
        const auto isTooLong = [&] { return p - start > limits.maxAttributeValueBytes; };

        while (*p != quote)
        {
            if (*p == 0 || *p == '<' || isTooLong())
                return false;

            if (*p == '&')
            {
                if (! readReference())
                    return false;
            }
            else
            {
                ++p;
            }
        }

        const bool fits = ! isTooLong();   // a reference may have stepped past the limit
        ++p;
        return fits;
    }

    /** A start tag from its '<': the name and the attributes up to '>' or "/>". */
    bool readStartTag (Name& name, bool& isEmpty)
    {
        ++p;

        if (! readName (name) || ! countName (name))
            return false;

        for (int attributes = 0;; ++attributes)
        {
            const bool spaced = skipSpaces();

            if (p[0] == '/' && p[1] == '>')
            {
                p += 2;
                isEmpty = true;
                return true;
            }

            if (p[0] == '>')
            {
                ++p;
                isEmpty = false;
                return true;
            }

            Name attribute;

            if (! spaced || attributes >= limits.maxAttributesPerElement || ! readName (attribute) || ! countName (attribute))
                return false;

            skipSpaces();

            if (*p++ != '=')
                return false;

            skipSpaces();

            if (! readAttributeValue())
                return false;
        }
    }

    bool openElement (std::vector<Name>& open)
    {
        Name name;
        bool isEmpty = false;

        if (++elements > limits.maxElements || (int) open.size() + 1 > limits.maxDepth || ! readStartTag (name, isEmpty))
            return false;

        if (! isEmpty)
            open.push_back (name);

        return true;
    }

    bool closeElement (std::vector<Name>& open) noexcept
    {
        p += 2;
        Name name;

        if (! readName (name) || name.length != open.back().length
             || std::strncmp (name.start, open.back().start, name.length) != 0)
            return false;

        skipSpaces();

        if (*p++ != '>')
            return false;

        open.pop_back();
        return true;
    }

    /** The document element from its '<' to the end of its end tag. */
    bool scanElementTree()
    {
        std::vector<Name> open;
        open.reserve ((size_t) juce::jlimit (1, 1024, limits.maxDepth));

        if (! openElement (open))
            return false;

        while (! open.empty())
        {
            if (*p == 0)
                return false;

            if (*p == '&')
            {
                if (! readReference())
                    return false;

                continue;
            }

            if (*p != '<')
            {
                ++p;
                continue;
            }

            if (p[1] == '/')
            {
                if (! closeElement (open))
                    return false;
            }
            else if (startsWith ("<!--"))
            {
                if (! skipPast (4, "-->"))
                    return false;
            }
            else if (startsWith ("<![CDATA["))
            {
                if (! skipPast (9, "]]>"))
                    return false;
            }
            else if (! isNameStart (p[1]) || ! openElement (open))
            {
                // Processing instructions, document types and stray '<' have no place in an element.
                return false;
            }
        }

        return true;
    }

    const char* p;
    const UntrustedXmlLimits limits;
    int elements = 0, references = 0;
    std::vector<std::string_view> names;   // sorted
};
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

std::unique_ptr<juce::XmlElement> parseUntrustedXml (const juce::String& text, const UntrustedXmlLimits& limits)
{
    // Text larger than the limit is refused before anything else is done with it; and JUCE's
    // parser can loop for ever on malformed UTF-8, so such text is refused whole.
    if ((juce::int64) text.getNumBytesAsUTF8() > limits.maxBytes
         || ! XmlFilesDetail::isStrictUtf8 (text.toRawUTF8())
         || ! XmlFilesDetail::WellFormedScanner (text.toRawUTF8(), limits).scanDocument())
        return {};

    return juce::XmlDocument::parse (text);
}

std::unique_ptr<juce::XmlElement> readUntrustedXmlFile (const juce::File& file, const UntrustedXmlLimits& limits)
{
    // Only a regular file: a path from a settings file may name a device or a pipe, which
    // reports no size and never ends (/dev/zero) or blocks the reader for ever.
    std::error_code error;

    if (! std::filesystem::is_regular_file (file.getFullPathName().toStdString(), error) || file.getSize() > limits.maxBytes)
        return {};

    juce::FileInputStream in (file);

    if (! in.openedOk())
        return {};

    // No more than the limit is read, even from a file that grew since its size was taken.
    juce::MemoryBlock data;
    in.readIntoMemoryBlock (data, (ssize_t) limits.maxBytes + 1);

    if ((juce::int64) data.getSize() > limits.maxBytes)
        return {};

    return parseUntrustedXml (juce::String::createStringFromData (data.getData(), (int) data.getSize()), limits);
}
