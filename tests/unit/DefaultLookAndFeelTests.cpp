#include "framework/EmbeddedResources.h"
#include "gui/SkinFonts.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/ToolkitImageNames.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <type_traits>

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

/** Records the image sets the look-and-feel hands to a text button. */
struct RecordingTextButton : public DefaultLookAndFeel::ImageTextButton
{
    void setImages (const juce::Image& l, const juce::Image& m, const juce::Image& r, const juce::Image& ld,
                    const juce::Image& md, const juce::Image& rd, const juce::Image& o) override
    {
        images = { l, m, r, ld, md, rd, o };
        ++calls;
    }

    std::vector<juce::Image> images;
    int calls = 0;
};

/** The number of pixels in the area of the picture that are lighter (or darker) than a grey level. */
int countPixels (const juce::Image& picture, juce::Rectangle<int> area, bool lighter, float brightness)
{
    int n = 0;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            if ((picture.getPixelAt (x, y).getBrightness() > brightness) == lighter)
                ++n;

    return n;
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

//==============================================================================
TEST (DefaultLookAndFeel, ColoursAreSetWhenItIsMadeAndItIsNoDeletedAtShutdown)
{
    // The editor owns it; being deleted at shutdown as well would delete it twice.
    static_assert (! std::is_base_of_v<juce::DeletedAtShutdown, DefaultLookAndFeel>);
    static_assert (std::is_base_of_v<juce::LookAndFeel_V2, DefaultLookAndFeel>);

    const std::pair<int, juce::uint32> expected[] = {
        { 0x0f001000, 0xffc5c5c5 }, { 0x0f001001, 0xff444444 }, { 0x0f001002, 0xff444444 }, { 0x0f001003, 0xffffffff },
        { 0x0f002100, 0xff000000 }, { 0x0f002101, 0xffffffff }, { 0x0f002102, 0xff000000 }, { 0x0f002103, 0xffb2b2b2 },
        { 0x0f002104, 0xff7f7f7f }, { 0x0f002200, 0xffe3e3e3 }, { 0x0f002201, 0xff000000 }, { 0x0f002202, 0xffffffff },
        { 0x0f003000, 0xffc5c5c5 }, { 0x0f003001, 0xff000000 }, { 0x0f003002, 0xff5b5b5b },
        { 0x0f003100, 0xffc5c5c5 }, { 0x0f003101, 0xffe3e3e3 }, { 0x0f003102, 0xffffffff }, { 0x0f003103, 0xffe3e3e3 },
        { 0x0f003104, 0xff000000 }, { 0x0f003105, 0xffadadad }, { 0x0f003106, 0xffffffff }, { 0x0f003107, 0xff5b5b5b },
        { 0x0f003108, 0xffffffff }, { 0x0f004001, 0xff444444 }, { 0x0f004002, 0xffffffff },
        { 0, 0xff000000 }, { 1, 0xffffffff }, { 2, 0xffffffff }, { 3, 0xffffff00 },
        { 0x1001311, 0xff808080 }, { 0x1001312, 0xff000000 }, { 0x1001c00, 0xff000000 }, { 0x1001c10, 0xff444444 },
        { 0x1000400, 0xff6e6e6e }, { 0x1000401, 0xffcccccc }
    };

    DefaultLookAndFeel laf;

    for (auto& [id, argb] : expected)
    {
        EXPECT_TRUE (laf.isColourSpecified (id)) << std::hex << id;
        EXPECT_EQ (laf.findColour (id).getARGB(), argb) << std::hex << id;
    }

    EXPECT_EQ ((int) DefaultLookAndFeel::tabTextColourId, 0x0f003001);
}

TEST (DefaultLookAndFeel, MetricsAndFonts)
{
    DefaultLookAndFeel laf;

    EXPECT_EQ (laf.getCheckBoxTextGap(), 5);
    EXPECT_EQ (laf.getRadioButtonsTitleIndent(), 13);
    EXPECT_EQ (laf.getRadioButtonsTitlePadding(), 4);
    EXPECT_EQ (laf.getRadioButtonsIndent(), 6);
    EXPECT_EQ (laf.getRadioButtonsTitleSpacing(), 2);
    EXPECT_EQ (laf.getRadioButtonsRowHeight(), 20);
    EXPECT_FLOAT_EQ (laf.getRadioButtonsCornerSize(), 4.0f);
    EXPECT_EQ (laf.getRadioButtonsTextGap(), 6);
    EXPECT_EQ (laf.getTabDepth(), 23);
    EXPECT_EQ (laf.getTabEdgeIndent(), 8);
    EXPECT_EQ (laf.getStatusBarHeight(), 16);
    EXPECT_EQ (laf.getDefaultIconSize(), 1);
    EXPECT_EQ (laf.getDefaultTextButtonStyle(), 1);
    EXPECT_EQ (laf.getDefaultScrollbarWidth(), 13);
    EXPECT_EQ (laf.getTabButtonOverlap (23), 4);
    EXPECT_EQ (laf.getTabButtonSpaceAroundImage(), 1);

    // Plain and bold 13 of the one skin face, wherever the toolkit asks for them.
    const auto plain = SkinFonts::getFont (13.0f), bold = SkinFonts::getFont (13.0f, juce::Font::bold);

    for (auto font : { laf.getDefaultFont(), laf.getRadioButtonsFont(), laf.getStatusBarFont() })
        EXPECT_EQ (font, plain);

    for (auto font : { laf.getRadioButtonsTitleFont(), laf.getTabFont() })
        EXPECT_EQ (font, bold);

    EXPECT_EQ (plain.getTypefaceName(), SkinFonts::getTypefaceName());
    EXPECT_TRUE (bold.isBold());

    // A tooltip is as wide as its text plus 12 and as high as the font plus 7.
    const juce::String tip ("Select next preset");
    const auto bounds = laf.getTooltipBounds (tip, { 100, 100 }, { 0, 0, 1000, 800 });
    EXPECT_EQ (bounds.getWidth(), (int) plain.getStringWidthFloat (tip) + 12);
    EXPECT_EQ (bounds.getHeight(), (int) plain.getHeight() + 7);
    EXPECT_EQ (bounds.getPosition(), juce::Point<int> (124, 106)) << "below and right of a pointer in the top left";
}

TEST (DefaultLookAndFeel, IconButtonsTakeTheIconOfTheirIndexAndSize)
{
    DefaultLookAndFeel laf;

    EXPECT_EQ (laf.createIconButton ("none", 17), nullptr);
    EXPECT_EQ (laf.createIconButton ("none", -1, 2), nullptr);

    const std::pair<int, int> sizes[] = { { 2, 43 }, { 1, 27 }, { 0, 27 }, { 3, 27 } };

    for (auto [size, pixels] : sizes)
    {
        auto button = laf.createIconButton ("Down", 5, size);
        ASSERT_NE (button, nullptr);
        EXPECT_EQ (button->getName(), "Down");
        EXPECT_EQ (button->getBounds(), juce::Rectangle<int> (0, 0, pixels, pixels)) << "size " << size;

        juce::Image normal, pressed;
        loadImageResource (ToolkitImageNames::icon (5, size == 2, false), normal);
        loadImageResource (ToolkitImageNames::icon (5, size == 2, true), pressed);
        EXPECT_EQ (button->getNormalImage().getPixelAt (pixels / 2, pixels / 2), normal.getPixelAt (pixels / 2, pixels / 2));
        EXPECT_EQ (button->getDownImage().getPixelAt (pixels / 2, pixels / 2), pressed.getPixelAt (pixels / 2, pixels / 2));
        EXPECT_EQ (button->getOverImage().getPixelAt (pixels / 2, pixels / 2), normal.getPixelAt (pixels / 2, pixels / 2))
            << "no mouse-over image of its own";
    }

    EXPECT_EQ (laf.createIconButton ("Close", 0)->getWidth(), 27) << "the default size is the small one";

    // An existing button keeps its place; an index past the set leaves it alone.
    juce::ImageButton button;
    button.setBounds (30, 40, 5, 5);
    laf.setIconButtonImages (button, 17, 2);
    EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (30, 40, 5, 5));
    laf.setIconButtonImages (button, 16, 2);
    EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (30, 40, 43, 43));
}

TEST (DefaultLookAndFeel, TextButtonsGetTheSetOfTheirStyle)
{
    DefaultLookAndFeel laf;
    RecordingTextButton button;

    const std::pair<int, std::vector<int>> widthsByStyle[] = {
        { 0, { 15, 31, 15, 15, 31, 15, 31 } }, { 1, { 15, 31, 15, 15, 31, 15, 31 } }, { 2, { 15, 44, 14, 15, 44, 14, 44 } }
    };

    for (auto& [style, widths] : widthsByStyle)
    {
        laf.setTextButtonImages (button, style);
        ASSERT_EQ (button.images.size(), 7u);

        for (size_t i = 0; i < 7; ++i)
        {
            EXPECT_EQ (button.images[i].getWidth(), widths[i]) << "style " << style << " part " << i;
            EXPECT_EQ (button.images[i].getHeight(), style == 2 ? 32 : 28) << "style " << style << " part " << i;
        }
    }

    const auto calls = button.calls;
    laf.setTextButtonImages (button, 3);
    laf.setTextButtonImages (button, -1);
    EXPECT_EQ (button.calls, calls) << "an unknown style changes nothing";
}

TEST (DefaultLookAndFeel, ADisabledImageButtonShowsAtFortyTwoPercent)
{
    DefaultLookAndFeel laf;
    juce::Image white (juce::Image::ARGB, 8, 8, true);
    white.clear (white.getBounds(), juce::Colours::white);

    juce::ImageButton button;
    button.setLookAndFeel (&laf);
    button.setImages (true, false, true, white, 1.0f, {}, {}, 1.0f, {}, {}, 1.0f, {});

    EXPECT_EQ (SkinTestSupport::snapshot (button).getPixelAt (4, 4).getAlpha(), 255);

    button.setEnabled (false);
    EXPECT_NEAR (SkinTestSupport::snapshot (button).getPixelAt (4, 4).getAlpha(), 0.42 * 255, 1.5);

    button.setLookAndFeel (nullptr);
}

TEST (DefaultLookAndFeel, TabsAreAsWideAsTheirNameAndTheBackTabStaysVisible)
{
    DefaultLookAndFeel laf;
    juce::Component presets, midi;
    juce::TabbedComponent tabs (juce::TabbedButtonBar::TabsAtTop);
    tabs.setLookAndFeel (&laf);
    tabs.setTabBarDepth (laf.getTabDepth());
    tabs.addTab ("Presets", juce::Colour (0xffc5c5c5), &presets, false);
    tabs.addTab ("Midi Control", juce::Colour (0xffc5c5c5), &midi, false);
    tabs.setBounds (0, 0, 300, 120);
    tabs.setCurrentTabIndex (0);

    auto& bar = tabs.getTabbedButtonBar();
    auto* front = bar.getTabButton (0);
    auto* back = bar.getTabButton (1);
    EXPECT_EQ (laf.getTabButtonBestWidth (*back, 23), (int) laf.getTabFont().getStringWidthFloat ("Midi Control") + 30);
    EXPECT_EQ (back->getWidth(), laf.getTabButtonBestWidth (*back, 23));

    const auto picture = SkinTestSupport::snapshot (tabs);
    SkinTestSupport::savePictureIfAsked (picture, "look-and-feel-tabs.png");

    // Both names show: dark text on a lighter tab, the back one too (the area behind the
    // front tab lies over the back tabs and must not cover them).
    for (auto* tab : { front, back })
    {
        const auto textArea = tab->getBoundsInParent().reduced (10, 6);
        EXPECT_GT (countPixels (picture, textArea, false, 0.4f), 10) << tab->getButtonText() << ": text";
        EXPECT_GT (countPixels (picture, textArea, true, 0.6f), textArea.getWidth()) << tab->getButtonText() << ": tab face";
    }

    tabs.setLookAndFeel (nullptr);
}
