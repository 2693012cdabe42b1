#include "framework/EmbeddedResources.h"
#include "gui/widgets/ToolkitImageNames.h"

#include <gtest/gtest.h>

namespace DefaultLookAndFeelTestsDetail
{
using Names = ToolkitImageNames;

/** A toolkit image and the size it must have. */
struct ExpectedImage
{
    juce::String name;
    int width, height;
};

/** Every toolkit image with the size the toolkit's widgets are laid out for. */
std::vector<ExpectedImage> expectedToolkitImages()
{
    std::vector<ExpectedImage> images;

    for (auto on : { false, true })
    {
        images.push_back ({ Names::checkBox (on), 15, 14 });
        images.push_back ({ Names::radioButton (on), 15, 14 });
    }

    for (int i = 0; i < Names::numIcons; ++i)
        for (auto pressed : { false, true })
        {
            images.push_back ({ Names::icon (i, false, pressed), 27, 27 });
            images.push_back ({ Names::icon (i, true, pressed), 43, 43 });
        }

    const int normalWidths[] = { 15, 31, 15, 15, 31, 15, 31 };
    const int largeWidths[] = { 15, 44, 14, 15, 44, 14, 44 };

    for (int part = 0; part < Names::numTextButtonParts; ++part)
    {
        images.push_back ({ Names::textButton (false, (Names::TextButtonPart) part), normalWidths[part], 28 });
        images.push_back ({ Names::textButton (true, (Names::TextButtonPart) part), largeWidths[part], 32 });
    }

    images.push_back ({ Names::windowIcon(), 24, 24 });
    images.push_back ({ Names::windowShadow (Names::shadowTop), 40, 10 });
    images.push_back ({ Names::windowShadow (Names::shadowBottom), 40, 10 });
    images.push_back ({ Names::windowShadow (Names::shadowLeft), 10, 40 });
    images.push_back ({ Names::windowShadow (Names::shadowRight), 10, 40 });
    return images;
}

/** True when some pixel of the image is not fully transparent. */
bool showsSomething (const juce::Image& image)
{
    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y).getAlpha() != 0)
                return true;

    return false;
}
} // namespace DefaultLookAndFeelTestsDetail

using namespace DefaultLookAndFeelTestsDetail;

//==============================================================================
TEST (ToolkitImages, EveryEmbeddedImageDecodesAtItsSize)
{
    const auto images = expectedToolkitImages();
    ASSERT_EQ (images.size(), 91u);

    for (auto& expected : images)
    {
        juce::Image image;
        ASSERT_TRUE (loadImageResource (expected.name, image)) << expected.name;
        ASSERT_TRUE (image.isValid()) << expected.name << " decodes";
        EXPECT_EQ (image.getWidth(), expected.width) << expected.name;
        EXPECT_EQ (image.getHeight(), expected.height) << expected.name;
        EXPECT_TRUE (image.hasAlphaChannel()) << expected.name;
        EXPECT_TRUE (showsSomething (image)) << expected.name;
    }
}

TEST (ToolkitImages, StretchedImagesAreTheSameAlongTheirStretch)
{
    // Button middles and overlays are stretched sideways, shadow edges along their edge:
    // any change along that direction would show as smearing.
    const auto uniform = [] (const juce::String& name, bool alongX)
    {
        juce::Image image;
        loadImageResource (name, image);
        const auto across = alongX ? image.getHeight() : image.getWidth();
        const auto along = alongX ? image.getWidth() : image.getHeight();

        for (int a = 0; a < across; ++a)
            for (int b = 1; b < along; ++b)
            {
                const auto first = alongX ? image.getPixelAt (0, a) : image.getPixelAt (a, 0);
                const auto other = alongX ? image.getPixelAt (b, a) : image.getPixelAt (a, b);

                if (first != other)
                    return false;
            }

        return image.isValid();
    };

    for (auto large : { false, true })
        for (auto part : { Names::middle, Names::middleDown, Names::overlay })
            EXPECT_TRUE (uniform (Names::textButton (large, part), true)) << Names::textButton (large, part);

    EXPECT_TRUE (uniform (Names::windowShadow (Names::shadowTop), true));
    EXPECT_TRUE (uniform (Names::windowShadow (Names::shadowBottom), true));
    EXPECT_TRUE (uniform (Names::windowShadow (Names::shadowLeft), false));
    EXPECT_TRUE (uniform (Names::windowShadow (Names::shadowRight), false));
}
