#include "gui/SkinFonts.h"
#include "gui/widgets/DefaultResourceCheckBox.h"
#include "gui/widgets/DefaultResourcesRadioButtons.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace SmallWidgetsTestsDetail
{
using namespace SkinTestSupport;

/** Counts what a widget tells its listeners; may remove itself from a group when told. */
struct WidgetLog : public RadioButtons::Listener,
                   public CheckBox::Listener,
                   public PathComponent::Listener,
                   public DefaultResourceCheckBox::Listener
{
    explicit WidgetLog (juce::StringArray* sharedOrder = nullptr, juce::String logName = {})
        : order (sharedOrder), name (std::move (logName)) {}

    void radioButtonsChanged (RadioButtons* group) override
    {
        selections.add (group->getSelectedIndex());

        if (order != nullptr)
            order->add (name);

        if (removeSelf)
            group->removeListener (this);
    }

    void checkBoxChanged (CheckBox* box) override                       { ticks.add (box->getToggleState()); }
    void pathChanged (PathComponent* field) override                    { paths.add (field->getPath()); }
    void defaultResourceChanged (DefaultResourceCheckBox*) override     { ++resourceChanges; }

    juce::StringArray* order;
    juce::String name;
    bool removeSelf = false;
    juce::Array<int> selections;
    juce::Array<bool> ticks;
    juce::StringArray paths;
    int resourceChanges = 0;
};

/** The lowest brightness of the picture's pixels in an area: 0 where something black is drawn. */
float darkest (const juce::Image& picture, juce::Rectangle<int> area)
{
    auto result = 1.0f;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            result = juce::jmin (result, picture.getPixelAt (x, y).getBrightness());

    return result;
}

/** The highest alpha of the picture's pixels in an area. */
int mostOpaque (const juce::Image& picture, juce::Rectangle<int> area)
{
    int result = 0;

    for (int y = area.getY(); y < area.getBottom(); ++y)
        for (int x = area.getX(); x < area.getRight(); ++x)
            result = juce::jmax (result, (int) picture.getPixelAt (x, y).getAlpha());

    return result;
}

const juce::StringArray presetOptions { "Factory presets", "Last used bank", "This bank:" };
} // namespace SmallWidgetsTestsDetail

using namespace SmallWidgetsTestsDetail;

//==============================================================================
TEST (RadioButtons, SelectsOneOptionOrNoneAndTellsTheListenersLastAddedFirst)
{
    RadioButtons group ("Startup", presetOptions);
    group.setVisible (true);
    ASSERT_EQ (group.getButton (2)->getName(), "RadioButton2");

    juce::StringArray order;
    WidgetLog first (&order, "first"), second (&order, "second");
    group.addListener (&first);
    group.addListener (&second);
    group.addListener (&first);
    group.addListener (nullptr);

    group.setSelectedIndex (1, false);
    EXPECT_EQ (group.getSelectedIndex(), 1);
    EXPECT_TRUE (group.getButton (1)->getToggleState());
    EXPECT_TRUE (order.isEmpty()) << "without notification";

    for (auto outside : { -5, 3 })
    {
        group.setSelectedIndex (outside, true);
        EXPECT_EQ (group.getSelectedIndex(), -1) << outside;

        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE (group.getButton (i)->getToggleState()) << outside;
    }

    EXPECT_EQ (order, juce::StringArray ({ "second", "first", "second", "first" }));

    // A click selects on mouse-down; a click on the selected option keeps it and tells again.
    order.clear();
    Mouse::click (*group.getButton (2));
    Mouse::click (*group.getButton (2));
    EXPECT_EQ (group.getSelectedIndex(), 2);
    EXPECT_TRUE (group.getButton (2)->getToggleState());
    EXPECT_EQ (first.selections.getLast(), 2);
    EXPECT_EQ (order.size(), 4);

    // A listener may leave during the walk; the others still hear.
    order.clear();
    second.removeSelf = true;
    group.setSelectedIndex (0, true);
    group.setSelectedIndex (0, true);
    EXPECT_EQ (order, juce::StringArray ({ "second", "first", "first" }));
}

TEST (RadioButtons, LaysOutFromTheLookAndFeelAndNeverNarrowsItself)
{
    DefaultLookAndFeel laf;
    RadioButtons group ("Presets to load at startup", presetOptions);
    group.setTopLeftPosition (20, 30);
    group.setLookAndFeel (&laf);

    const auto titleFont = SkinFonts::getFont (13.0f, juce::Font::bold), optionFont = SkinFonts::getFont (13.0f);
    const auto titleHeight = (int) titleFont.getHeight();
    int widest = 0;

    for (auto& option : presetOptions)
        widest = juce::jmax (widest, (int) optionFont.getStringWidthFloat (option));

    // Radio images are 15 x 14; metrics 13, 4, 6, 2, 20, 6.
    const auto width = juce::jmax (widest + 2 * 6 + 2 + 6 + 15, (int) titleFont.getStringWidthFloat (group.getTitle()) + 2 * 13);
    EXPECT_EQ (group.getBounds(), juce::Rectangle<int> (20, 30, width, 3 * 20 + 2 * 2 + titleHeight));

    for (int i = 0; i < 3; ++i)
        EXPECT_EQ (group.getButton (i)->getBounds(), juce::Rectangle<int> (7, titleHeight + 2 + 20 * i + 3, 15, 14)) << i;

    group.setSelectedIndex (1, false);
    const auto picture = snapshot (group);
    savePictureIfAsked (picture, "radio-buttons.png");
    EXPECT_LT (darkest (picture, { 6 + 6 + 15 + 1, titleHeight + 2 + 20, widest, 20 }), 0.3f) << "the option's text";

    group.setSize (400, 10);
    group.sendLookAndFeelChange();
    EXPECT_EQ (group.getWidth(), 400);
    EXPECT_EQ (group.getHeight(), 3 * 20 + 2 * 2 + titleHeight);
    group.setLookAndFeel (nullptr);
}

TEST (DefaultResourcesRadioButtons, ThePathFieldWorksOnlyForTheLastOptionAndItsPathCountsAsAChoice)
{
    DefaultLookAndFeel laf;
    DefaultResourcesRadioButtons group ("Presets to load at startup", presetOptions);
    group.setLookAndFeel (&laf);
    group.setSize (460, group.getHeight());

    auto& field = group.getPathComponent();
    EXPECT_FALSE (field.isEnabled());

    WidgetLog log;
    group.addListener (&log);

    group.setSelectedIndex (2, false);
    EXPECT_TRUE (field.isEnabled());
    EXPECT_TRUE (field.getBrowseButton().isEnabled());
    group.setSelectedIndex (0, false);
    EXPECT_FALSE (field.isEnabled());
    EXPECT_FALSE (field.getBrowseButton().isEnabled());

    group.setSelectedIndex (2, false);
    field.fileChosen (juce::File ("/home/user/banks/mine.vlprsb"));
    EXPECT_EQ (log.selections, juce::Array<int> ({ 2 })) << "a new path tells the group's listeners";

    // The field sits on the last row, 4 pixels over it on both sides, stretched to the right.
    const auto titleHeight = (int) SkinFonts::getFont (13.0f, juce::Font::bold).getHeight();
    const auto lastRow = titleHeight + 2 + 2 * 20;
    EXPECT_EQ (field.getHeight(), 28);
    EXPECT_EQ (field.getY(), lastRow - 4);
    EXPECT_EQ (field.getRight(), group.getWidth() - 6);
    EXPECT_EQ (group.getHeight(), 3 * 20 + 4 + titleHeight + 2 * 2);

    savePictureIfAsked (snapshot (group), "default-resources-radio-buttons.png");
    group.setLookAndFeel (nullptr);
}

//==============================================================================
TEST (CheckBox, ClicksToggleAndTellTheListenersAndTheBoxStaysCentred)
{
    DefaultLookAndFeel laf;
    CheckBox box;
    box.setLookAndFeel (&laf);
    box.setVisible (true);

    const auto font = SkinFonts::getFont (13.0f);
    box.setText ("Load the MIDI map at startup");
    EXPECT_EQ (box.getWidth(), 15 + 5 + juce::roundToInt (font.getStringWidthFloat (box.getText())));
    EXPECT_EQ (box.getHeight(), juce::jmax (14, (int) font.getHeight()));

    WidgetLog log;
    box.addListener (&log);
    Mouse::click (box.getBox());
    Mouse::click (box.getBox());
    EXPECT_EQ (log.ticks, juce::Array<bool> ({ true, false }));

    // A height set by the owner is replaced, and the box is centred in the height it ends up with.
    box.setSize (300, 40);
    box.setText ("Load the user MIDI map");
    EXPECT_EQ (box.getHeight(), juce::jmax (14, (int) font.getHeight()));
    EXPECT_EQ (box.getBox().getY(), (box.getHeight() - 14) / 2);

    savePictureIfAsked (snapshot (box), "check-box.png");
    box.setLookAndFeel (nullptr);
}

//==============================================================================
TEST (PathComponent, TakesAChosenFileAndIsAsHighAsItsButton)
{
    DefaultLookAndFeel laf;
    PathComponent field;
    EXPECT_EQ (field.getHeight(), field.getBrowseButton().getHeight());
    EXPECT_EQ (field.getBrowseButton().getButtonText(), "Browse");

    field.setLookAndFeel (&laf);
    field.setBounds (5, 6, 300, 10);
    field.setGap (4);
    EXPECT_EQ (field.getHeight(), 28) << "the browse button's normal set";

    const auto buttonWidth = field.getBrowseButton().getWidth();
    field.setSize (300, 28);
    EXPECT_EQ (field.getBrowseButton().getPosition(), juce::Point<int> (300 - buttonWidth, 0));
    EXPECT_EQ (field.getFieldArea(), juce::Rectangle<int> (0, 4, 300 - buttonWidth - 4, 20));
    EXPECT_EQ (field.getTextArea(), juce::Rectangle<int> (4, 4, 300 - buttonWidth - 12, 20));

    WidgetLog log;
    field.addListener (&log);
    field.fileChosen (juce::File());
    EXPECT_TRUE (log.paths.isEmpty()) << "a cancelled dialog changes nothing";

    const auto file = juce::File::getSpecialLocation (juce::File::userHomeDirectory).getChildFile ("map.vlccmap");
    field.fileChosen (file);
    field.fileChosen (file);
    EXPECT_EQ (log.paths, juce::StringArray (file.getFullPathName())) << "told once: the second is no change";

    field.setPath ("/elsewhere", false);
    EXPECT_EQ (field.getPath(), "/elsewhere");
    EXPECT_EQ (log.paths.size(), 1);
    field.setLookAndFeel (nullptr);
}

TEST (PathComponent, ALongPathEndsInAFaintMarkAndADisabledFieldIsHalfTransparent)
{
    DefaultLookAndFeel laf;
    PathComponent field;
    field.setLookAndFeel (&laf);
    field.setSize (260, 28);

    const auto textArea = field.getTextArea();
    const auto markWidth = juce::roundToInt (SkinFonts::getFont (13.0f).getStringWidthFloat ("[...]"));
    const auto mark = textArea.withLeft (textArea.getRight() - markWidth);
    const auto start = textArea.withWidth (40);

    field.setPath ("/home/user/banks", false);
    auto picture = snapshot (field);
    savePictureIfAsked (picture, "path-field-short.png");
    EXPECT_LT (darkest (picture, start), 0.2f);
    EXPECT_GT (darkest (picture, mark), 0.85f) << "nothing at the right end of a short path";

    field.setPath ("/home/user/Music/Velcroft/Banks/Someone else's banks/Crushed drums, volume 2.vlprsb", false);
    picture = snapshot (field);
    savePictureIfAsked (picture, "path-field-long.png");
    EXPECT_LT (darkest (picture, start), 0.2f) << "the beginning shows";
    EXPECT_LT (darkest (picture, mark), 0.7f) << "a mark at the end";
    EXPECT_GT (darkest (picture, mark), 0.35f) << "half transparent";

    field.setEnabled (false);
    EXPECT_FALSE (field.getBrowseButton().isEnabled());
    picture = snapshot (field);
    savePictureIfAsked (picture, "path-field-disabled.png");
    const auto face = field.getFieldArea().getCentre().withX (textArea.getRight() - markWidth - 2);
    EXPECT_NEAR (picture.getPixelAt (face.x, 6).getAlpha(), 128, 2) << "the field's face at half alpha";
    EXPECT_LE (mostOpaque (picture, start), 192) << "the text too: half black over the half-transparent face";

    field.setEnabled (true);
    EXPECT_TRUE (field.getBrowseButton().isEnabled());
    field.setLookAndFeel (nullptr);
}

//==============================================================================
TEST (DefaultResourceCheckBox, TheBoxEnablesThePathAndBothTellTheListeners)
{
    DefaultLookAndFeel laf;
    DefaultResourceCheckBox compound;
    compound.getCheckBox().setText ("User MIDI map:");
    compound.setSize (420, 10);
    compound.setVisible (true);

    // The children take their new sizes after the compound has heard of the look-and-feel.
    compound.setLookAndFeel (&laf);

    auto& box = compound.getCheckBox();
    auto& field = compound.getPathComponent();
    EXPECT_EQ (compound.getHeight(), 28);
    EXPECT_EQ (box.getY(), (28 - box.getHeight()) / 2);
    EXPECT_EQ (field.getBounds(), juce::Rectangle<int> (box.getWidth() + 5, 0, 420 - box.getWidth() - 5, 28));

    WidgetLog log;
    compound.addListener (&log);

    compound.setResourcePath ("/home/user/mine.vlccmap");
    EXPECT_TRUE (box.getToggleState());
    EXPECT_TRUE (field.isEnabled());
    EXPECT_EQ (field.getPath(), "/home/user/mine.vlccmap");

    compound.setResourcePath ({});
    EXPECT_FALSE (box.getToggleState());
    EXPECT_FALSE (field.isEnabled());
    EXPECT_EQ (log.resourceChanges, 0) << "set from code: nobody is told";

    Mouse::click (box.getBox());
    EXPECT_TRUE (field.isEnabled());
    field.fileChosen (juce::File ("/home/user/other.vlccmap"));
    EXPECT_EQ (log.resourceChanges, 2);

    savePictureIfAsked (snapshot (compound), "default-resource-check-box.png");
    compound.setLookAndFeel (nullptr);
}
