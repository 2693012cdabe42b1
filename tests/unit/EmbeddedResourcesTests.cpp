#include "framework/EmbeddedResources.h"

#include <gtest/gtest.h>

TEST (EmbeddedResources, FindsResourcesByNameAndTypeWhateverTheCase)
{
    const auto text = loadResourceAsString ("parameters.xml");
    ASSERT_TRUE (text.contains ("<PluginParameters application=\"Velcroft\">"));

    for (auto* name : { "PARAMETERS.XML", "Parameters.Xml", "parameters.XML" })
        EXPECT_EQ (loadResourceAsString (name), text) << name;

    auto data = loadResourceData ("parameters.xml");
    ASSERT_NE (data, nullptr);
    EXPECT_EQ (data->toString(), text);
}

TEST (EmbeddedResources, AnswersNeutrallyForWhatIsNotThere)
{
    for (auto* name : { "parameters", "parametersxml", "", ".", "parameters.", ".xml",
                        "events.xml", "parameters.xml.xml", "missing.png" })
    {
        EXPECT_EQ (loadResourceData (name), nullptr) << name;
        EXPECT_TRUE (loadResourceAsString (name).isEmpty()) << name;

        juce::Image image (juce::Image::ARGB, 3, 2, true);
        EXPECT_FALSE (loadImageResource (name, image)) << name;
        EXPECT_EQ (image.getWidth(), 3) << "the image is left as it was";
    }
}
