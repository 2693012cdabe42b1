/*
    Untrusted XML: what reaches JUCE's parser and what is refused before it, and files that
    are no regular files. Each refused text below once hung or could hang the parser, or cost
    it seconds.
*/
#include "framework/XmlFiles.h"
#include "HostileXml.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstring>

namespace XmlFilesTestsDetail
{
/** The bytes as they are, as chunks and files reach the parser (JUCE would re-encode a text
    given without its length). */
juce::String rawText (const char* bytes)
{
    return juce::String::fromUTF8 (bytes, (int) std::strlen (bytes));
}

juce::String rawText (const std::string& bytes)
{
    return juce::String::fromUTF8 (bytes.data(), (int) bytes.size());
}

/** Limits for short texts: a megabyte, the given elements and depth, the usual rest. */
UntrustedXmlLimits limits (int maxElements, int maxDepth = maxXmlDepth)
{
    UntrustedXmlLimits l { 1 << 20, maxElements, 1000 };
    l.maxDepth = maxDepth;
    return l;
}

bool accepts (const juce::String& text, const UntrustedXmlLimits& l)
{
    return parseUntrustedXml (text, l) != nullptr;
}
} // namespace XmlFilesTestsDetail

TEST (UntrustedXml, RefusesTextTheParserCannotRecoverFrom)
{
    const char* const refused[] = {
        "<e><-/<?" "?>-",                                          // a stray '<' in an element, then a processing instruction (found by fuzzing)
        "<a b\"<?" "?>\">x</a>",                                   // a quote where '=' belongs, then a processing instruction
        "<a><?pi x?>text</a>",                                  // a processing instruction inside an element
        "<a>text<!DOCTYPE b></a>",                              // a document type inside an element
        "<!DOCTYPE a [<!ENTITY e \"<b/>\">]><a>&e;</a>",        // a document type before the element
        "<a>< b/></a>",                                         // no name after '<'
        "<a><b></c></a>",                                       // an end tag that matches no start tag
        "<a></a></b>",                                          // an end tag at the top
        "<a>",                                                  // no end tag
        "<a b='1'c='2'/>",                                      // attributes run together
        "<a b=1/>",                                             // an unquoted value
        "<a b=\"<\"/>",                                         // '<' in a value
        "<a>&unknown;</a>", "<a>&amp</a>", "<a b=\"&#;\"/>",    // references that name nothing
        "<a>&#0;</a>", "<a>&#xD800;</a>", "<a>&#x110000;</a>", "<a>&#xFFFFFFFF;</a>", "<a>&#99999999;</a>",
        "<!--><a/>",                                            // a comment's "-->" may not overlap its "<!--"
        "<?><a/>",                                              // nor a declaration's "?>" its "<?"
        "<a/><b/>",                                             // two document elements
        "<a/>trailing",                                         // text after the document element
        "<a><![CDATA[x</a>",                                    // an unterminated CDATA section
        "<a><!-- x</a>",                                        // an unterminated comment
        "<\xc3\xa9/>",                                          // a name outside ASCII
        "<a>\xc0\xbc?" "?>x</a>",                                   // an overlong '<', which the parser reads as one
        "<a>\xe0\x80\xbc?x?>y</a>", "<a>\xf0\x80\x80\xbc?x?>y</a>",
        "<a b=\"\xed\xa0\x80\"/>", "<a b=\"\xf4\x90\x80\x80\"/>",   // a surrogate, beyond U+10FFFF
        "<a>\x80</a>", "<a>\xc3</a>", "<a>\xff</a>",              // stray, cut short, never valid
        "",
    };

    for (auto* text : refused)
        EXPECT_EQ (parseUntrustedXml (XmlFilesTestsDetail::rawText (text), XmlFilesTestsDetail::limits (100)), nullptr) << text;
}

TEST (UntrustedXml, TakesWellFormedTextAndEverythingTheWriterWrites)
{
    const char* const accepted[] = {
        "<a/>",
        "  <?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- c --><a x='1' y = \"2\">t<b/>&amp;&lt;&gt;&quot;&apos;&#65;&#x42;"
        "<![CDATA[<x>]]><!-- d --></a >\n<!-- e -->\n",
        "<a b=\"\xc3\xa9 &#1114111;\">\xe2\x82\xac</a>",
    };

    for (auto* text : accepted)
        EXPECT_NE (parseUntrustedXml (XmlFilesTestsDetail::rawText (text), XmlFilesTestsDetail::limits (100)), nullptr) << text;

    // Names and values with every kind of character the plug-in might hold.
    juce::XmlElement xml ("PresetBank");
    xml.setAttribute ("name", juce::String::fromUTF8 ("<&>\"'\t\x01 caf\xc3\xa9 \xf0\x9f\x8e\xb8"));
    auto* child = xml.createNewChildElement ("Preset");
    child->setAttribute ("value", 0.6849999999999999);
    child->addTextElement ("a < b & c");

    for (auto* format : { "", "UTF-8" })
    {
        juce::XmlElement::TextFormat textFormat;
        textFormat.customEncoding = format;
        textFormat.lineWrapLength = 60;
        const auto text = xml.toString (textFormat);
        auto parsed = parseUntrustedXml (text, XmlFilesTestsDetail::limits (100));
        ASSERT_NE (parsed, nullptr) << text;
        EXPECT_EQ (parsed->toString (textFormat), text);
    }
}

TEST (UntrustedXml, KeepsToEveryLimit)
{
    using XmlFilesTestsDetail::accepts;
    using XmlFilesTestsDetail::limits;

    juce::String deep, wide = "<a>";

    for (int i = 0; i < 40; ++i)
        deep = "<a>" + deep + "</a>";

    for (int i = 0; i < 200; ++i)
        wide << "<b/>";

    wide << "</a>";

    EXPECT_FALSE (accepts (deep, limits (1000)));
    EXPECT_TRUE (accepts (deep, limits (1000, 40)));
    EXPECT_FALSE (accepts (wide, limits (200)));
    EXPECT_TRUE (accepts (wide, limits (201)));

    auto l = limits (10);
    l.maxBytes = 4;
    EXPECT_TRUE (accepts ("<a/>", l));
    l.maxBytes = 3;
    EXPECT_FALSE (accepts ("<a/>", l));

    juce::String four;

    for (int i = 0; i < 4; ++i)
        four << " x" << i << "=''";

    l = limits (10);
    l.maxAttributesPerElement = 4;
    EXPECT_TRUE (accepts ("<a" + four + "/>", l));
    EXPECT_FALSE (accepts ("<a" + four + " y=''/>", l));

    // Tag and attribute names share JUCE's pool, and a name seen before costs nothing.
    l = limits (10);
    l.maxDistinctNames = 5;
    EXPECT_TRUE (accepts ("<a" + four + "><a x0=''/><x1 a=''/></a>", l));
    EXPECT_FALSE (accepts ("<a" + four + "><b/></a>", l));
    EXPECT_FALSE (accepts ("<a" + four + "><a y=''/></a>", l));

    l = limits (10);
    l.maxReferences = 3;
    EXPECT_TRUE (accepts ("<a x='&lt;&#65;'>&amp;</a>", l));
    EXPECT_FALSE (accepts ("<a x='&lt;&#65;'>&amp;&gt;</a>", l));

    // A value's length as written, a reference that steps over the limit included.
    l = limits (10);
    l.maxAttributeValueBytes = 8;
    EXPECT_TRUE (accepts ("<a x='12345678' y=\"1234&lt;\"/>", l));
    EXPECT_FALSE (accepts ("<a x='123456789'/>", l));
    EXPECT_FALSE (accepts ("<a x='12345&lt;'/>", l));
}

TEST (UntrustedXml, RefusesQuicklyWhatWouldCostTheParserSeconds)
{
    using namespace HostileXml;
    using XmlFilesTestsDetail::rawText;

    const auto secondsToParse = [] (const std::string& text, bool& parsed)
    {
        const auto start = std::chrono::steady_clock::now();
        parsed = parseUntrustedXml (rawText (text), stateXmlLimits) != nullptr;
        return std::chrono::duration<double> (std::chrono::steady_clock::now() - start).count();
    };

    const std::pair<const char*, std::string> refused[] = {
        { "descending names, 900 kB", "<a" + descendingAttributes (60000) + "/>" },
        { "descending names, 1.6 MB", "<a" + descendingAttributes (110000) + "/>" },
        { "19,000 tags of descending names", "<a>" + descendingElements (19000) + "</a>" },
        { "references after a long value, 900 kB", "<a x=\"" + denseReferences (900 << 10) + "\"/>" },
        { "references, 3.2 MB", "<a x=\"" + denseReferences (3200 << 10) + "\"/>" },
    };

    for (auto& [what, text] : refused)
    {
        bool parsed = true;
        EXPECT_LT (secondsToParse (text, parsed), HostileXml::maxSeconds) << what;
        EXPECT_FALSE (parsed) << what;
    }

    // A text at every limit at once costs the parser little: the most names, the most
    // references in the longest values after the longest plain stretch, the most elements.
    std::string references;

    for (int i = 0; i < stateXmlLimits.maxReferences / 16; ++i)
        references += "&lt;";

    const auto value = std::string ((size_t) stateXmlLimits.maxAttributeValueBytes - references.size(), 'x') + references;
    const auto names = stateXmlLimits.maxDistinctNames - 1;
    std::string atLimits = "<a>" + descendingElements (names);

    for (int i = 0; i < 16; ++i)
        atLimits += "<a a=\"" + value + "\"/>";

    for (int i = 1 + names + 16; i < stateXmlLimits.maxElements; ++i)
        atLimits += "<a/>";

    atLimits += "</a>";

    bool parsed = false;
    EXPECT_LT (secondsToParse (atLimits, parsed), HostileXml::maxSeconds);
    EXPECT_TRUE (parsed);
}

TEST (UntrustedXml, ReadsRegularFilesOnlyAndNoMoreThanTheLimit)
{
    const TemporaryFolder temp { "VelcroftXmlFiles" };
    const auto& folder = temp.folder;
    ASSERT_TRUE (folder.isDirectory());

    const auto good = folder.getChildFile ("good.xml");
    good.replaceWithText ("<a/>");
    auto l = XmlFilesTestsDetail::limits (10);
    l.maxBytes = 4;
    EXPECT_NE (readUntrustedXmlFile (good, l), nullptr);
    EXPECT_EQ (readUntrustedXmlFile (folder, l), nullptr);
    EXPECT_EQ (readUntrustedXmlFile (folder.getChildFile ("missing.xml"), l), nullptr);
    l.maxBytes = 3;
    EXPECT_EQ (readUntrustedXmlFile (good, l), nullptr);

    // A settings file may name a device that never ends or a pipe nobody writes to: reading
    // either used to take for ever.
    const auto fifo = folder.getChildFile ("pipe.xml");
    ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);

    EXPECT_EQ (readUntrustedXmlFile (juce::File ("/dev/zero"), XmlFilesTestsDetail::limits (10)), nullptr);
    EXPECT_EQ (readUntrustedXmlFile (fifo, XmlFilesTestsDetail::limits (10)), nullptr);
}
