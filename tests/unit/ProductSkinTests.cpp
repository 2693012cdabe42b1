/*
    The product's skin as the editor builds it: the embedded document, its 27 controls made by
    the factory where the product's layout puts them, the images each names (embedded, of the
    size the control cuts into frames, drawn for the place they stand on the panel), and
    pictures of the whole face at a few settings (pictures/product-skin-*.png in the build
    folder), to be looked at after any change to the art.
*/
#include "framework/EmbeddedResources.h"
#include "framework/EventsMap.h"
#include "framework/ParameterManager.h"
#include "framework/StringParameter.h"
#include "gui/controls/BaseGFXController.h"
#include "gui/controls/GFXAnimation.h"
#include "gui/controls/GFXDisplay.h"
#include "gui/controls/SkinControlFactory.h"
#include "tools/art/ProductSkinArt.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace ProductSkinTestsDetail
{
/** The product's layout: every control of the skin in document order, with its place, its
    frame size, its frame count and the parameter it shows. */
struct Expected
{
    const char* tag;
    const char* name;
    int left, top, width, height, frames;
    const char* parameter;
};

const Expected layout[] = {
    { "Button",       "OptionsButton",          78,  14, 38, 43,  2, nullptr },
    { "Button",       "PrevPresetButton",       297, 15, 33, 42,  2, nullptr },
    { "Button",       "NextPresetButton",       335, 16, 34, 41,  2, nullptr },
    { "Button",       "BrowsePresetButton",     372, 17, 33, 40,  2, nullptr },
    { "Display",      "PresetNameDisplay",      130, 28, 153, 13, 0, "Current Preset Name" },
    { "Animation",    "LeftVUMeter",            551, 99, 34, 89, 12, nullptr },
    { "Animation",    "RightVUMeter",           585, 100, 37, 89, 12, nullptr },
    { "Knob",         "OutputVolumeKnob",       566, 50, 37, 35, 61, "Output Volume" },
    { "Knob",         "PreampKnob",             20,  15, 37, 35, 61, "Preamp" },
    { "Switch",       "LeftBitsKnob",           86,  83, 37, 35, 17, "Left Bits" },
    { "Knob",         "LeftFrequencyKnob",      157, 84, 37, 35, 61, "Left Frequency" },
    { "ToggleButton", "LeftAALPFButton",        216, 82, 37, 39,  4, "Left Link Freq" },
    { "Switch",       "LeftFilterOrderSwitch",  268, 67, 27, 59,  2, "Left Filter Order" },
    { "Switch",       "LeftFilterTypeKnob",     311, 84, 37, 35,  5, "Left Filter Type" },
    { "Knob",         "LeftCutoffKnob",         370, 83, 37, 35, 61, "Left Cutoff" },
    { "Knob",         "LeftResoKnob",           426, 83, 37, 35, 61, "Left Reso/Bandwidth" },
    { "Switch",       "RightBitsKnob",          86,  149, 37, 35, 17, "Right Bits" },
    { "Knob",         "RightFrequencyKnob",     157, 149, 37, 35, 61, "Right Frequency" },
    { "ToggleButton", "RightAALPFButton",       217, 149, 37, 39,  4, "Right Link Freq" },
    { "Switch",       "RightFilterOrderSwitch", 268, 134, 27, 59,  2, "Right Filter Order" },
    { "Switch",       "RightFilterTypeKnob",    310, 149, 37, 35,  5, "Right Filter Type" },
    { "Knob",         "RightCutoffKnob",        370, 149, 37, 35, 61, "Right Cutoff" },
    { "Knob",         "RightResoKnob",          427, 149, 37, 35, 61, "Right Reso/Bandwidth" },
    { "ToggleButton", "LinkParamsButton",       499, 147, 37, 42,  4, "Link Channels" },
    { "Knob",         "FXKnob",                 498, 83, 37, 35, 61, "FX" },
    { "Animation",    "LeftChannelProcessLed",  22,  78, 34, 13,  2, nullptr },
    { "Animation",    "RightChannelProcessLed", 23,  143, 34, 13,  2, nullptr },
};

juce::Image loadImage (const juce::String& name)
{
    juce::Image image;
    loadImageResource (name, image);
    return image;
}

/** The product's parameters and the editor's events, as the plug-in offers them to its skin. */
struct ProductSide
{
    ProductSide()
    {
        const auto definitions = juce::parseXML (loadResourceAsString ("parameters.xml"));
        parameters.parseParameterDefinitions (*definitions);
        parameters.addParameter (std::make_unique<StringParameter> (ParameterManager::currentPresetNameIndex,
                                                                    "Current Preset Name"));
        addPluginCommands (events);
    }

    ParameterManager parameters;
    EventsMap events;
};

/** The skin's face without an editor: the background with the factory's controls on it. */
struct SkinFace : public juce::Component
{
    explicit SkinFace (ProductSide& side)
    {
        root = juce::parseXML (loadResourceAsString ("skin.xml"));

        if (root == nullptr)
            return;

        background = loadImage (root->getStringAttribute ("background"));
        setSize (background.getWidth(), background.getHeight());

        for (auto* element : root->getChildIterator())
        {
            auto control = SkinControlFactory::createFromXml (*element, side.parameters, side.events, this,
                                                              SkinControlFactory::Level::editor);

            if (! control)
                continue;

            // Later controls go under earlier ones, as in the editor.
            addAndMakeVisible (*control.component, 0);
            controllers.push_back (control.controller);
            components.push_back (std::move (control.component));
        }
    }

    void paint (juce::Graphics& g) override     { g.drawImageAt (background, 0, 0); }

    /** Every linked control shows its parameter as it is now. */
    void showParameters()
    {
        for (auto* c : controllers)
            if (auto* p = c->getLinkedParameter())
                c->updateFromParameter (p);
    }

    template <class ControlType>
    ControlType* find (const juce::String& name)
    {
        for (auto& c : components)
            if (c->getName() == name)
                return dynamic_cast<ControlType*> (c.get());

        return nullptr;
    }

    std::unique_ptr<juce::XmlElement> root;
    juce::Image background;
    std::vector<std::unique_ptr<juce::Component>> components;
    std::vector<GUIController*> controllers;
};

/** The picture, enlarged with square pixels, so that single pixels can be judged. */
juce::Image enlarged (const juce::Image& image, int factor)
{
    juce::Image big (juce::Image::RGB, image.getWidth() * factor, image.getHeight() * factor, false);
    juce::Graphics g (big);
    g.setImageResamplingQuality (juce::Graphics::lowResamplingQuality);
    g.drawImageTransformed (image, juce::AffineTransform::scale ((float) factor), false);
    return big;
}

void writePicture (const juce::Image& image, const juce::String& name)
{
    const auto file = juce::File (VELCROFT_BINARY_DIR).getChildFile ("pictures").getChildFile (name);
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);
    ASSERT_TRUE (out.openedOk());
    juce::PNGImageFormat().writeImageToStream (image, out);
}

/** The frame a control's strip holds at an index, as an image of the frame's size. */
juce::Image stripFrame (const juce::String& imageName, int frameHeight, int frame)
{
    const auto strip = loadImage (imageName);
    return strip.getClippedImage ({ 0, frame * frameHeight, strip.getWidth(), frameHeight }).createCopy();
}

bool samePixels (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return false;

    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y).getARGB() != b.getPixelAt (x, y).getARGB())
                return false;

    return true;
}
} // namespace ProductSkinTestsDetail

using namespace ProductSkinTestsDetail;

TEST (ProductSkin, EveryControlOfTheLayoutIsBuiltWhereItBelongs)
{
    ProductSide side;
    SkinFace face (side);

    ASSERT_NE (face.root, nullptr) << "skin.xml is embedded and parses";
    EXPECT_EQ (face.root->getTagName(), "PluginEditor");
    EXPECT_EQ (face.root->getStringAttribute ("application"), "Velcroft");
    EXPECT_EQ (face.getBounds(), juce::Rectangle<int> (0, 0, 633, 207));

    ASSERT_EQ (face.root->getNumChildElements(), (int) std::size (layout));
    ASSERT_EQ (face.components.size(), std::size (layout)) << "the factory builds every control at the editor level";

    for (size_t i = 0; i < std::size (layout); ++i)
    {
        const auto& expected = layout[i];
        SCOPED_TRACE (expected.name);
        EXPECT_EQ (face.root->getChildElement ((int) i)->getTagName(), expected.tag);
        EXPECT_EQ (face.components[i]->getName(), expected.name);
        EXPECT_EQ (face.components[i]->getBounds(),
                   juce::Rectangle<int> (expected.left, expected.top, expected.width, expected.height));

        auto* parameter = face.controllers[i]->getLinkedParameter();
        EXPECT_EQ (parameter != nullptr ? parameter->getName() : juce::String(), juce::String (expected.parameter));

        if (auto* bitmap = dynamic_cast<BaseGFXController*> (face.controllers[i]))
        {
            EXPECT_EQ (bitmap->getFramesNum(), expected.frames);
            EXPECT_TRUE (bitmap->getImage().isValid()) << "the control found its image";
        }
    }

    auto* display = face.find<GFXDisplay> ("PresetNameDisplay");
    ASSERT_NE (display, nullptr);
    EXPECT_EQ (display->getGlyphWidth(), 7);
    EXPECT_EQ (display->getFontHeight(), 9);
    EXPECT_EQ (display->getGlyphCount(), 96) << "codes 32 to 127";
}

TEST (ProductSkin, EveryImageIsEmbeddedAtTheSizeItsControlCuts)
{
    const auto root = juce::parseXML (loadResourceAsString ("skin.xml"));
    ASSERT_NE (root, nullptr);

    const auto background = loadImage (root->getStringAttribute ("background"));
    EXPECT_EQ (background.getBounds(), juce::Rectangle<int> (0, 0, 633, 207));

    const auto font = loadImage ("Fonts.png");
    EXPECT_EQ (font.getBounds(), juce::Rectangle<int> (0, 0, 7, 1728)) << "96 glyphs of 9 rows, twice";

    for (auto& expected : layout)
    {
        if (expected.frames == 0)
            continue;

        SCOPED_TRACE (expected.name);
        const auto* element = root->getChildByAttribute ("name", expected.name);
        ASSERT_NE (element, nullptr);
        const auto imageName = element->getChildByName ("gfx")->getStringAttribute ("resource");
        const auto image = loadImage (imageName);
        EXPECT_EQ (image.getWidth(), expected.width);
        EXPECT_EQ (image.getHeight(), expected.height * expected.frames);

        // Every frame is drawn over the panel under its control: its corners are the panel's.
        for (int frame = 0; frame < expected.frames && image.isValid(); ++frame)
            for (auto [x, y] : { std::pair { 0, 0 }, { expected.width - 1, expected.height - 1 } })
                EXPECT_EQ (image.getPixelAt (x, frame * expected.height + y).getARGB(),
                           background.getPixelAt (expected.left + x, expected.top + y).getARGB())
                    << imageName << " frame " << frame << " at " << x << ", " << y;
    }
}

TEST (ProductSkin, TheArtIsDrawnForThePlacesTheSkinGives)
{
    // The generator draws each strip over the panel at its own idea of the control's place;
    // a control moved in the skin and not in the generator would show a seam.
    const auto root = juce::parseXML (loadResourceAsString ("skin.xml"));
    ASSERT_NE (root, nullptr);
    std::map<juce::String, const ProductSkinArt::Control*> drawn;

    for (auto& control : ProductSkinArt::getControls())
        drawn[control.image] = &control;

    EXPECT_EQ (drawn.size(), 27u);

    for (auto* element : root->getChildIterator())
    {
        const auto image = element->getChildByName ("gfx")->getStringAttribute ("resource");
        SCOPED_TRACE (image);
        ASSERT_EQ (drawn.count (image), 1u);

        if (element->hasTagName ("Display"))
            continue;

        const auto& art = *drawn[image];
        const auto* pos = element->getChildByName ("pos");
        const auto* size = element->getChildByName ("size");
        EXPECT_EQ (juce::Rectangle<int> (art.left, art.top, art.width, art.height).toString(),
                   juce::Rectangle<int> (pos->getIntAttribute ("left"), pos->getIntAttribute ("top"),
                                         size->getIntAttribute ("width"), size->getIntAttribute ("height")).toString());
        EXPECT_EQ (art.frames, element->getChildByName ("gfx")->getIntAttribute ("framesNum"));
    }
}

TEST (ProductSkin, ControlsShowTheFramesThatReadTheirSettings)
{
    ProductSide side;
    SkinFace face (side);
    ASSERT_EQ (face.components.size(), std::size (layout));

    auto& p = side.parameters;
    const auto set = [&p] (const char* name, float value) { p.getParameterByName (name)->setNormalisedValue (value, false); };
    const auto shows = [&face] (const char* name, const char* imageName, int frame)
    {
        auto* c = face.find<juce::Component> (name);
        return c != nullptr && samePixels (SkinTestSupport::snapshot (*c), stripFrame (imageName, c->getHeight(), frame));
    };

    set ("Left Bits", 1.0f);
    set ("Right Bits", 0.0f);
    set ("Left Filter Type", 0.25f);
    set ("Right Filter Type", 1.0f);
    set ("Left Filter Order", 1.0f);
    set ("Left Link Freq", 1.0f);
    set ("Output Volume", 0.5f);
    face.showParameters();
    face.find<GFXAnimation> ("LeftVUMeter")->setValue (0.5f);
    face.find<GFXAnimation> ("LeftChannelProcessLed")->setValue (1.0f);

    EXPECT_TRUE (shows ("LeftBitsKnob", "LeftBitsKnob.png", 16)) << "quantisation off";
    EXPECT_TRUE (shows ("RightBitsKnob", "RightBitsKnob.png", 0)) << "one bit";
    EXPECT_TRUE (shows ("LeftFilterTypeKnob", "LeftFilterTypeKnob.png", 1)) << "band-pass";
    EXPECT_TRUE (shows ("RightFilterTypeKnob", "RightFilterTypeKnob.png", 4)) << "filter off";
    EXPECT_TRUE (shows ("LeftFilterOrderSwitch", "LeftFilterOrderSwitch.png", 1)) << "filter before the crusher";
    EXPECT_TRUE (shows ("RightFilterOrderSwitch", "RightFilterOrderSwitch.png", 0));
    EXPECT_TRUE (shows ("LeftAALPFButton", "LeftAALPFButton.png", 2)) << "on";
    EXPECT_TRUE (shows ("OutputVolumeKnob", "OutputVolumeKnob.png", 30)) << "unity in the middle";
    EXPECT_TRUE (shows ("LeftVUMeter", "LeftVUMeterAnimation.png", 6));
    EXPECT_TRUE (shows ("LeftChannelProcessLed", "LeftChannelProcessLed.png", 1));

    // The frames differ where the settings do: a strip of equal frames would pass the above.
    EXPECT_FALSE (samePixels (stripFrame ("LeftBitsKnob.png", 35, 16), stripFrame ("LeftBitsKnob.png", 35, 15)));
    EXPECT_FALSE (samePixels (stripFrame ("LeftFilterTypeKnob.png", 35, 1), stripFrame ("LeftFilterTypeKnob.png", 35, 2)));
    EXPECT_FALSE (samePixels (stripFrame ("LeftAALPFButton.png", 39, 0), stripFrame ("LeftAALPFButton.png", 39, 2)));
    EXPECT_FALSE (samePixels (stripFrame ("LeftVUMeterAnimation.png", 89, 6), stripFrame ("LeftVUMeterAnimation.png", 89, 7)));
}

TEST (ProductSkin, PicturesOfTheFaceAtSeveralSettings)
{
    ProductSide side;
    SkinFace face (side);
    ASSERT_EQ (face.components.size(), std::size (layout));

    auto& p = side.parameters;
    p.getParameterByName ("Current Preset Name")->setValueFromText ("MPC 60", false);

    struct Setting
    {
        const char* name;
        float value;        // every float parameter at this value...
        float meters;       // ...the meters at this level...
        bool lit;           // ...and the channel lights
    };

    for (auto setting : { Setting { "defaults", -1.0f, 0.0f, false }, Setting { "middle", 0.5f, 0.55f, true },
                          Setting { "full", 1.0f, 1.0f, true }, Setting { "low", 0.2f, 0.3f, false } })
    {
        if (setting.value >= 0.0f)
            for (int i = 0; i < p.getNumParameters(); ++i)
                if (auto* parameter = p.getParameter (i))
                    parameter->setNormalisedValue (setting.value, false);

        face.showParameters();

        for (auto* name : { "LeftVUMeter", "RightVUMeter" })
            face.find<GFXAnimation> (name)->setValue (setting.meters * (name[0] == 'L' ? 1.0f : 0.8f));

        for (auto* name : { "LeftChannelProcessLed", "RightChannelProcessLed" })
            face.find<GFXAnimation> (name)->setValue (setting.lit ? 1.0f : 0.0f);

        EXPECT_EQ (face.find<GFXDisplay> ("PresetNameDisplay")->getText(), "MPC 60");

        const auto picture = SkinTestSupport::snapshot (face);
        writePicture (picture, juce::String ("product-skin-") + setting.name + ".png");

        if (juce::String (setting.name) == "low")
        {
            writePicture (enlarged (picture.getClippedImage ({ 0, 0, 320, 207 }), 3), "product-skin-low-left-x3.png");
            writePicture (enlarged (picture.getClippedImage ({ 313, 0, 320, 207 }), 3), "product-skin-low-right-x3.png");
        }
    }
}
