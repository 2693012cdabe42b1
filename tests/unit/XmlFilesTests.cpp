/*
    Untrusted XML: what reaches JUCE's parser and what is refused before it, and files that
    are no regular files. Each refused text below once hung or could hang the parser.
*/
#include "framework/XmlFiles.h"
#include "TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

namespace XmlFilesTestsDetail
{
/** The bytes as they are, as chunks and files reach the parser (JUCE would re-encode a text
    given without its length). */
juce::String rawText (const char* bytes)
{
    return juce::String::fromUTF8 (bytes, (int) std::strlen (bytes));
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
        EXPECT_EQ (parseUntrustedXml (XmlFilesTestsDetail::rawText (text), 100), nullptr) << text;
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
        EXPECT_NE (parseUntrustedXml (XmlFilesTestsDetail::rawText (text), 100), nullptr) << text;

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
        auto parsed = parseUntrustedXml (text, 100);
        ASSERT_NE (parsed, nullptr) << text;
        EXPECT_EQ (parsed->toString (textFormat), text);
    }
}

TEST (UntrustedXml, KeepsToTheElementAndDepthLimits)
{
    juce::String deep, wide = "<a>";

    for (int i = 0; i < 40; ++i)
        deep = "<a>" + deep + "</a>";

    for (int i = 0; i < 200; ++i)
        wide << "<b/>";

    wide << "</a>";

    EXPECT_EQ (parseUntrustedXml (deep, 1000), nullptr);
    EXPECT_NE (parseUntrustedXml (deep, 1000, 40), nullptr);
    EXPECT_EQ (parseUntrustedXml (wide, 200), nullptr);
    EXPECT_NE (parseUntrustedXml (wide, 201), nullptr);
}

TEST (UntrustedXml, ReadsRegularFilesOnlyAndNoMoreThanTheLimit)
{
    const TemporaryFolder temp { "VelcroftXmlFiles" };
    const auto& folder = temp.folder;
    ASSERT_TRUE (folder.isDirectory());

    const auto good = folder.getChildFile ("good.xml");
    good.replaceWithText ("<a/>");
    EXPECT_NE (readUntrustedXmlFile (good, 10, 100), nullptr);
    EXPECT_EQ (readUntrustedXmlFile (good, 10, 3), nullptr);
    EXPECT_EQ (readUntrustedXmlFile (folder, 10, 100), nullptr);
    EXPECT_EQ (readUntrustedXmlFile (folder.getChildFile ("missing.xml"), 10, 100), nullptr);

    // A settings file may name a device that never ends or a pipe nobody writes to: reading
    // either used to take for ever.
    const auto fifo = folder.getChildFile ("pipe.xml");
    ASSERT_EQ (mkfifo (fifo.getFullPathName().toRawUTF8(), 0600), 0);

    EXPECT_EQ (readUntrustedXmlFile (juce::File ("/dev/zero"), 10, 1 << 20), nullptr);
    EXPECT_EQ (readUntrustedXmlFile (fifo, 10, 1 << 20), nullptr);
}
