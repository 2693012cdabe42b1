#include "framework/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

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

TEST (EmbeddedResources, AddedResourcesAreFoundFirstUntilRemoved)
{
    juce::Image picture (juce::Image::ARGB, 4, 6, true);
    picture.setPixelAt (1, 2, juce::Colours::red);
    juce::MemoryOutputStream png;
    juce::PNGImageFormat().writeImageToStream (picture, png);

    EXPECT_FALSE (addResource ("NoType", png.getMemoryBlock()));
    EXPECT_FALSE (addResource ("Empty.png", {}));
    ASSERT_TRUE (addResource ("Added.Png", png.getMemoryBlock()));

    juce::Image loaded;
    ASSERT_TRUE (loadImageResource ("ADDED.png", loaded));
    EXPECT_EQ (loaded.getBounds(), picture.getBounds());
    EXPECT_EQ (loaded.getPixelAt (1, 2), juce::Colours::red);
    EXPECT_EQ (loadResourceData ("added.png")->getSize(), png.getDataSize());

    const auto original = loadResourceAsString ("parameters.xml");
    ASSERT_TRUE (addResource ("parameters.xml", juce::MemoryBlock ("<Other/>", 8)));
    EXPECT_EQ (loadResourceAsString ("Parameters.XML"), "<Other/>");

    removeResource ("PARAMETERS.xml");
    removeResource ("added.png");
    removeResource ("never.added");
    EXPECT_EQ (loadResourceAsString ("parameters.xml"), original) << "the compiled-in resource shows again";
    EXPECT_EQ (loadResourceData ("added.png"), nullptr);
}

TEST (EmbeddedResources, AddingAndReadingFromSeveralThreadsIsSafe)
{
    std::atomic<bool> stop { false };
    std::vector<std::thread> readers;

    for (int i = 0; i < 3; ++i)
        readers.emplace_back ([&stop]
        {
            while (! stop)
                if (auto data = loadResourceData ("shared.bin"))
                    EXPECT_TRUE (data->getSize() == 1 || data->getSize() == 2);
        });

    for (int i = 0; i < 2000; ++i)
    {
        addResource ("shared.bin", juce::MemoryBlock (i % 2 == 0 ? "a" : "bb", (size_t) (1 + i % 2)));

        if (i % 3 == 0)
            removeResource ("shared.bin");
    }

    stop = true;

    for (auto& t : readers)
        t.join();

    removeResource ("shared.bin");
}
