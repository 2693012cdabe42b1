/*
    Writes the toolkit's contact sheet into the build folder (pictures/toolkit-contact-sheet*.png):
    every embedded toolkit image, and the windows and widgets as the look-and-feel draws
    them, to be looked at after any change to the art or the drawing code.
*/
#include "framework/EmbeddedResources.h"
#include "gui/widgets/AlertWindow.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/DefaultResourceCheckBox.h"
#include "gui/widgets/DefaultResourcesRadioButtons.h"
#include "gui/widgets/OptionsWindow.h"
#include "gui/widgets/StatusBar.h"
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

/** Text buttons as they draw themselves: normal, pressed and disabled, in one style. */
std::vector<juce::Image> textButtonPictures (DefaultLookAndFeel& laf, const juce::String& text, int style)
{
    std::vector<juce::Image> pictures;

    for (auto state : { 0, 1, 2 })
    {
        TextButtonEx button (text, style);
        button.setLookAndFeel (&laf);
        button.setState (state == 1 ? juce::Button::buttonDown : juce::Button::buttonNormal);
        button.setEnabled (state != 2);
        pictures.push_back (SkinTestSupport::snapshot (button));
        button.setLookAndFeel (nullptr);
    }

    return pictures;
}

/** A widget's picture on the window grey, at the widget's own size. */
juce::Image onWindowGrey (juce::Component& widget)
{
    juce::Image picture (juce::Image::RGB, juce::jmax (1, widget.getWidth()), juce::jmax (1, widget.getHeight()), true);
    juce::Graphics g (picture);
    g.fillAll (juce::Colour (0xffc5c5c5));
    g.drawImageAt (SkinTestSupport::snapshot (widget), 0, 0);
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

    {
        auto normal = textButtonPictures (laf, "Cancel", 0), large = textButtonPictures (laf, "Browse...", 2);
        normal.insert (normal.end(), large.begin(), large.end());
        sheet.addPicture ("Text buttons: normal set, large set; each normal, pressed, disabled", row (normal));
    }

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

    {
        SheetDesktop desktop;
        desktop.setSize (480, 260);
        auto alert = Kestrom::AlertWindow::showYesNoAlert ("Presets", "Do you want to overwrite current preset?\n 'Crushed Lead'", nullptr);
        desktop.addChildComponent (*alert);
        desktop.setLookAndFeel (&laf);
        alert->show();
        sheet.addPicture ("Alert over the dimmed editor", snapshot (desktop));
        desktop.setLookAndFeel (nullptr);
    }

    {
        juce::Component page;
        page.setLookAndFeel (&laf);

        RadioButtons group ("Presets to load at startup", { "Factory presets", "Last used bank", "Another bank" });
        DefaultResourcesRadioButtons userGroup ("Bank at startup", { "Factory bank", "This bank:" });
        CheckBox ticked, unticked, disabled;
        DefaultResourceCheckBox userMap;

        for (auto* widget : std::initializer_list<juce::Component*> { &group, &userGroup, &ticked, &unticked, &disabled, &userMap })
            page.addAndMakeVisible (widget);

        page.sendLookAndFeelChange();
        group.setSelectedIndex (1, false);
        userGroup.setSize (420, userGroup.getHeight());
        userGroup.setSelectedIndex (1, false);
        userGroup.getPathComponent().setPath ("/home/user/Velcroft/Banks/Drums.vlprsb", false);
        sheet.addPicture ("Radio groups, the second with its path field", row ({ onWindowGrey (group), onWindowGrey (userGroup) }));

        ticked.setText ("Ticked");
        ticked.setToggleState (true, juce::dontSendNotification);
        unticked.setText ("Unticked");
        disabled.setText ("Disabled");
        disabled.setEnabled (false);
        userMap.getCheckBox().setText ("User MIDI map:");
        userMap.setSize (380, userMap.getHeight());
        userMap.setResourcePath ("/home/user/Velcroft/Maps/Keyboard.vlccmap");
        sheet.addPicture ("Check boxes, and one with its path field",
                          row ({ onWindowGrey (ticked), onWindowGrey (unticked), onWindowGrey (disabled), onWindowGrey (userMap) }));

        std::vector<juce::Image> fields;

        for (auto enabled : { true, false })
            for (auto* path : { "/home/user/map.vlccmap",
                                "/home/user/Music/Velcroft/Banks/Someone else's banks/Crushed drums, volume 2.vlprsb" })
            {
                PathComponent field;
                page.addAndMakeVisible (field);
                field.sendLookAndFeelChange();
                field.setSize (300, field.getHeight());
                field.setPath (path, false);
                field.setEnabled (enabled);
                fields.push_back (onWindowGrey (field));
            }

        sheet.addPicture ("Path fields: short and long", row ({ fields[0], fields[1] }));
        sheet.addPicture ("Path fields, disabled", row ({ fields[2], fields[3] }));

        StatusBar bar;
        page.addAndMakeVisible (bar);
        bar.sendLookAndFeelChange();
        bar.setSize (520, bar.getHeight());
        bar.setText ("Cutoff: 0.50", 6, 3000);
        sheet.addPicture ("Status bar", row ({ snapshot (bar) }));

        page.setLookAndFeel (nullptr);
    }

    const auto file = juce::File (VELCROFT_BINARY_DIR).getChildFile ("pictures/toolkit-contact-sheet.png");
    ASSERT_TRUE (sheet.writeTo (file));

    juce::Image written;
    written = juce::ImageFileFormat::loadFrom (file);
    EXPECT_TRUE (written.isValid());
}
