/*
    Writes the toolkit's contact sheet into the build folder (pictures/toolkit-contact-sheet*.png):
    every embedded toolkit image, and the windows and widgets as the look-and-feel draws
    them, to be looked at after any change to the art or the drawing code.
*/
#include "framework/EmbeddedResources.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/OptionsWindow.h"
#include "gui/widgets/ToolkitImageNames.h"
#include "tools/art/ArtContactSheet.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace ToolkitContactSheetTestsDetail
{
using Names = ToolkitImageNames;

juce::Image load (const juce::String& name)
{
    juce::Image image;
    loadImageResource (name, image);
    return image;
}

/** The editor's stand-in, in the window grey of a skin. */
struct SheetDesktop : public juce::Component,
                      public PseudoModalComponent::Desktop
{
    void paint (juce::Graphics& g) override
    {
        g.fillAll (juce::Colour (0xff8a9096));
        g.setColour (juce::Colours::white.withAlpha (0.5f));

        for (int x = 0; x < getWidth(); x += 24)
            g.drawVerticalLine (x, 0.0f, (float) getHeight());
    }
};

/** A text button drawn from one image set: caps at their size, the middle and the
    overlay stretched under and over the text. */
juce::Image textButtonPicture (DefaultLookAndFeel& laf, const juce::String& text, bool large, bool down)
{
    const auto font = laf.getRadioButtonsTitleFont();
    const auto textWidth = (int) font.getStringWidthFloat (text);
    const auto part = [large] (Names::TextButtonPart p) { return load (Names::textButton (large, p)); };
    const auto left = part (down ? Names::leftDown : Names::left), middle = part (down ? Names::middleDown : Names::middle);
    const auto right = part (down ? Names::rightDown : Names::right), overlay = part (Names::overlay);
    const auto h = left.getHeight();

    juce::Image picture (juce::Image::ARGB, left.getWidth() + textWidth + right.getWidth(), h, true);
    juce::Graphics g (picture);
    g.drawImageAt (left, 0, 0);
    g.drawImage (middle, left.getWidth(), 0, textWidth, h, 0, 0, middle.getWidth(), h);
    g.drawImageAt (right, left.getWidth() + textWidth, 0);
    g.setColour (juce::Colours::black);
    g.setFont (font);
    g.drawText (text, left.getWidth(), 0, textWidth, h, juce::Justification::centred, false);
    g.drawImage (overlay, left.getWidth(), 0, textWidth, h, 0, 0, middle.getWidth(), h);
    return picture;
}

/** Pictures laid side by side on the window grey, gap pixels apart. */
juce::Image row (const std::vector<juce::Image>& pictures, int gap = 6)
{
    int w = gap, h = 0;

    for (auto& p : pictures)
    {
        w += p.getWidth() + gap;
        h = juce::jmax (h, p.getHeight());
    }

    juce::Image picture (juce::Image::RGB, w, h + 2 * gap, true);
    juce::Graphics g (picture);
    g.fillAll (juce::Colour (0xffc5c5c5));
    int x = gap;

    for (auto& p : pictures)
    {
        g.drawImageAt (p, x, gap);
        x += p.getWidth() + gap;
    }

    return picture;
}
} // namespace ToolkitContactSheetTestsDetail

using namespace ToolkitContactSheetTestsDetail;

TEST (ToolkitContactSheet, IsWrittenIntoTheBuildFolder)
{
    using SkinTestSupport::snapshot;
    ArtContactSheet sheet;

    // The images, as embedded.
    for (auto on : { false, true })
    {
        sheet.addImage (Names::checkBox (on), load (Names::checkBox (on)));
        sheet.addImage (Names::radioButton (on), load (Names::radioButton (on)));
    }

    for (auto large : { false, true })
        for (int i = 0; i < Names::numIcons; ++i)
            for (auto pressed : { false, true })
                sheet.addImage (Names::icon (i, large, pressed), load (Names::icon (i, large, pressed)));

    for (auto large : { false, true })
        for (int part = 0; part < Names::numTextButtonParts; ++part)
            sheet.addImage (Names::textButton (large, (Names::TextButtonPart) part),
                            load (Names::textButton (large, (Names::TextButtonPart) part)));

    sheet.addImage (Names::windowIcon(), load (Names::windowIcon()));

    for (auto edge : { Names::shadowTop, Names::shadowBottom, Names::shadowLeft, Names::shadowRight })
        sheet.addImage (Names::windowShadow (edge), load (Names::windowShadow (edge)));

    // What the look-and-feel makes of them.
    DefaultLookAndFeel laf;

    std::vector<juce::Image> buttons;

    for (auto enabled : { true, false })
        for (int i = 0; i < Names::numIcons; ++i)
        {
            auto button = laf.createIconButton ("icon", i, 1);
            button->setLookAndFeel (&laf);
            button->setEnabled (enabled);
            buttons.push_back (snapshot (*button));
            button->setLookAndFeel (nullptr);
        }

    sheet.addPicture ("Icon buttons, enabled then disabled", row (buttons, 4));

    buttons.clear();

    for (int i : { 1, 3, 5, 6, 9, 10, 4, 12, 15, 16 })
        buttons.push_back (load (Names::icon (i, true, false)));

    sheet.addPicture ("Large icons in use", row (buttons));

    sheet.addPicture ("Text buttons: normal set, pressed, large set, pressed",
                      row ({ textButtonPicture (laf, "Yes", false, false), textButtonPicture (laf, "Cancel", false, false),
                             textButtonPicture (laf, "Cancel", false, true), textButtonPicture (laf, "Browse...", true, false),
                             textButtonPicture (laf, "Browse...", true, true) }));

    {
        juce::ScrollBar vertical (true), horizontal (false);

        for (auto* bar : { &vertical, &horizontal })
        {
            bar->setLookAndFeel (&laf);
            bar->setRangeLimits (0.0, 100.0);
            bar->setCurrentRange (20.0, 30.0);
        }

        vertical.setSize (13, 140);
        horizontal.setSize (200, 13);
        const auto tipBounds = laf.getTooltipBounds ("Select next preset", {}, { 0, 0, 500, 500 });
        juce::Image tip (juce::Image::ARGB, tipBounds.getWidth(), tipBounds.getHeight(), true);
        {
            juce::Graphics g (tip);
            laf.drawTooltip (g, "Select next preset", tip.getWidth(), tip.getHeight());
        }

        sheet.addPicture ("Scroll bars and a tooltip", row ({ snapshot (vertical), snapshot (horizontal), tip }));

        for (auto* bar : { &vertical, &horizontal })
            bar->setLookAndFeel (nullptr);
    }

    {
        SheetDesktop desktop;
        desktop.setSize (560, 360);
        OptionsWindow options;
        juce::Component midi, presets;
        desktop.addChildComponent (options);
        options.addPage (&midi, "Midi Control", -1);
        options.addPage (&presets, "Presets", 0);
        options.setContentSize (440, 230);
        options.setTitle ("Options");
        desktop.setLookAndFeel (&laf);
        options.show();

        sheet.addPicture ("Options window with two tabs", snapshot (options));
        sheet.addPicture ("The editor dimmed under it", snapshot (desktop));

        options.setDocked (true);
        options.setShadowEdge (WindowComponent::shadowTop);
        options.setSize (440, 200);
        sheet.addPicture ("Docked, with the top shadow", snapshot (options));
        desktop.setLookAndFeel (nullptr);
    }

    const auto file = juce::File (VELCROFT_BINARY_DIR).getChildFile ("pictures/toolkit-contact-sheet.png");
    ASSERT_TRUE (sheet.writeTo (file));

    juce::Image written;
    written = juce::ImageFileFormat::loadFrom (file);
    EXPECT_TRUE (written.isValid());
}
