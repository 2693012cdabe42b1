#include "gui/SkinFonts.h"
#include "gui/widgets/AlertWindow.h"
#include "gui/widgets/ToolkitImageNames.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace AlertWindowAndButtonRowTestsDetail
{
using namespace SkinTestSupport;

/** Records the answers an alert gives, and whether the window was still shown when it gave them. */
struct Answers : public Kestrom::AlertWindow::Caller
{
    void alertWindowResult (Kestrom::AlertWindow* window, int code) override
    {
        codes.add (code);
        shownWhenTold = window->isShownInLayer();

        if (deleteWindow)
            owned.reset();
    }

    juce::Array<int> codes;
    bool shownWhenTold = false, deleteWindow = false;
    std::unique_ptr<Kestrom::AlertWindow> owned;
};

/** The width of a text in the bold 13 that text buttons use under the look-and-feel. */
int boldWidth (const juce::String& text)
{
    return (int) SkinFonts::getFont (13.0f, juce::Font::bold).getStringWidthFloat (text);
}

juce::Image toolkitImage (const juce::String& name)
{
    juce::Image image;
    loadImageResource (name, image);
    return image;
}
} // namespace AlertWindowAndButtonRowTestsDetail

using namespace AlertWindowAndButtonRowTestsDetail;

//==============================================================================
TEST (ComponentRow, SizesItselfToItsChildrenAndLinesThemUp)
{
    ComponentRow row;
    row.setTopLeftPosition (7, 9);
    EXPECT_EQ (row.getBounds(), juce::Rectangle<int> (7, 9, 0, 0)) << "empty";

    juce::Component a, b, c;
    a.setSize (30, 20);
    b.setSize (30, 20);
    row.setGap (5);
    row.addAndMakeVisible (a);
    row.addAndMakeVisible (b);
    EXPECT_EQ (row.getBounds(), juce::Rectangle<int> (7, 9, 65, 20)) << "the position stays";
    EXPECT_EQ (b.getPosition(), juce::Point<int> (35, 0));

    c.setSize (30, 10);
    row.addAndMakeVisible (c);
    EXPECT_EQ (c.getY(), 0) << "aligned at the top";
    row.setAlignment (ComponentRow::alignEnd);
    EXPECT_EQ (c.getPosition(), juce::Point<int> (70, 10));
    row.setAlignment (ComponentRow::alignCentre);
    EXPECT_EQ (c.getY(), 5);

    // A child that grows pushes its neighbours along.
    a.setSize (40, 24);
    EXPECT_EQ (row.getBounds(), juce::Rectangle<int> (7, 9, 110, 24));
    EXPECT_EQ (b.getPosition(), juce::Point<int> (45, 2));

    row.setVertical (true);
    EXPECT_EQ (row.getBounds(), juce::Rectangle<int> (7, 9, 40, 64));
    EXPECT_EQ (c.getPosition(), juce::Point<int> (5, 54));
    row.setAlignment (ComponentRow::alignEnd);
    EXPECT_EQ (c.getX(), 10) << "the right edge of a column";

    row.removeChildComponent (&c);
    row.setGap (-100);
    EXPECT_EQ (row.getHeight(), 0) << "never negative";
}

//==============================================================================
TEST (TextButtonEx, IsAsWideAsItsCapsAndTextAndAsHighAsItsImages)
{
    DefaultLookAndFeel laf;

    TextButtonEx button ("Cancel", 0);
    EXPECT_EQ (button.getName(), "Cancel");
    EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (0, 0, 10 + (int) juce::Font (14.0f).getStringWidthFloat ("Cancel") + 10, 20))
        << "without the look-and-feel's images";

    button.setTopLeftPosition (3, 4);
    button.setLookAndFeel (&laf);
    EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (3, 4, 15 + boldWidth ("Cancel") + 15, 28)) << "style 0: the normal set";

    button.setButtonText ("Cancel all");
    button.updateTextWidth();
    EXPECT_EQ (button.getWidth(), 15 + boldWidth ("Cancel all") + 15);
    button.setLookAndFeel (nullptr);

    TextButtonEx large ("Browse", 2);
    large.setLookAndFeel (&laf);
    EXPECT_EQ (large.getBounds().getWidth(), 15 + boldWidth ("Browse") + 14);
    EXPECT_EQ (large.getHeight(), 32) << "style 2: the large set";
    large.setLookAndFeel (nullptr);

    // Made by the look-and-feel, a button keeps its set when the look-and-feel changes later.
    auto made = laf.createTextButton ("Browse", 2);
    EXPECT_EQ (made->getStyle(), 2);
    EXPECT_EQ (made->getHeight(), 32);
    made->setLookAndFeel (&laf);
    EXPECT_EQ (made->getHeight(), 32);
    made->setLookAndFeel (nullptr);

    EXPECT_EQ (laf.createTextButton ("OK")->getHeight(), 28) << "the default style takes the normal set";
}

TEST (TextButtonEx, PaintsItsPressedSetWhenDownAndHalfOpaqueWhenDisabled)
{
    using Names = ToolkitImageNames;
    DefaultLookAndFeel laf;
    juce::Component parent;
    TextButtonEx button ("Yes", 0);
    parent.addAndMakeVisible (button);
    parent.setSize (200, 100);
    parent.setLookAndFeel (&laf);

    // A point inside the left cap, where both of its images are opaque.
    const auto left = toolkitImage (Names::textButton (false, Names::left));
    const auto leftDown = toolkitImage (Names::textButton (false, Names::leftDown));
    const juce::Point<int> p (8, 14);
    ASSERT_EQ (left.getPixelAt (p.x, p.y).getAlpha(), 255);
    ASSERT_NE (left.getPixelAt (p.x, p.y), leftDown.getPixelAt (p.x, p.y));

    EXPECT_EQ (snapshot (button).getPixelAt (p.x, p.y), left.getPixelAt (p.x, p.y));

    button.setState (juce::Button::buttonDown);
    EXPECT_EQ (snapshot (button).getPixelAt (p.x, p.y), leftDown.getPixelAt (p.x, p.y));
    button.setState (juce::Button::buttonNormal);

    button.setEnabled (false);
    EXPECT_NEAR (snapshot (button).getPixelAt (p.x, p.y).getAlpha(), 128, 1);

    // Disabled through its parent: the same.
    button.setEnabled (true);
    parent.setEnabled (false);
    EXPECT_NEAR (snapshot (button).getPixelAt (p.x, p.y).getAlpha(), 128, 1);
    parent.setLookAndFeel (nullptr);
}

//==============================================================================
TEST (AlertWindow, AnswersYesOneNoAndCancelZeroAndNothingOnClose)
{
    DefaultLookAndFeel laf;
    TestDesktop desktop;
    Answers answers;

    auto alert = Kestrom::AlertWindow::showYesNoAlert ("Presets", "Do you want to overwrite current preset?", &answers);
    desktop.addChildComponent (*alert);
    desktop.setLookAndFeel (&laf);
    ASSERT_EQ (alert->getNumButtons(), 2);
    EXPECT_FALSE (alert->isShownInLayer()) << "made, not shown";
    EXPECT_TRUE (alert->isBackgroundDimmed());

    alert->show();
    Mouse::click (*alert->getButton (0));
    EXPECT_EQ (answers.codes, juce::Array<int> ({ 1 }));
    EXPECT_FALSE (answers.shownWhenTold) << "hidden before the caller hears";
    EXPECT_FALSE (alert->isShownInLayer());

    alert->show();
    Mouse::click (*alert->getButton (1));
    alert->show();
    Mouse::click (alert->getCloseButton());
    EXPECT_EQ (answers.codes, juce::Array<int> ({ 1, 0 })) << "the close button answers nothing";
    EXPECT_FALSE (alert->isShownInLayer());

    auto cancel = Kestrom::AlertWindow::showYesCancelAlert ("MIDI", "Do you really want to clear all assignations?", &answers);
    desktop.addChildComponent (*cancel);
    cancel->show();
    EXPECT_EQ (cancel->getButton (1)->getButtonText(), "Cancel");
    Mouse::click (*cancel->getButton (1));
    EXPECT_EQ (answers.codes.getLast(), 0);

    // Without a caller a button only hides the window.
    cancel->setCaller (nullptr);
    cancel->show();
    Mouse::click (*cancel->getButton (0));
    EXPECT_FALSE (cancel->isShownInLayer());
    EXPECT_EQ (answers.codes.size(), 3);

    // The caller may delete the window it is told about.
    answers.owned = Kestrom::AlertWindow::showYesNoAlert ("Presets", "Again?", &answers);
    answers.deleteWindow = true;
    desktop.addChildComponent (*answers.owned);
    answers.owned->show();
    Mouse::click (*answers.owned->getButton (0));
    EXPECT_EQ (answers.owned, nullptr);
    EXPECT_EQ (answers.codes.getLast(), 1);

    desktop.setLookAndFeel (nullptr);
}

TEST (AlertWindow, IsSizedForEveryLineOfItsMessageAboveTheButtons)
{
    DefaultLookAndFeel laf;
    TestDesktop desktop;
    desktop.setSize (560, 300);

    // Three lines, so that the window is higher than its minimum.
    const juce::String first ("Do you want to overwrite current preset?"), second (" 'Crushed Lead, bright and wide'");
    auto alert = Kestrom::AlertWindow::showYesNoAlert ("Presets", first + "\n" + second + "\nin bank 'Factory'", nullptr);
    desktop.addChildComponent (*alert);

    // The buttons take their larger images after the window has heard of the look-and-feel.
    desktop.setLookAndFeel (&laf);
    alert->show();

    const auto font = laf.getDefaultFont();
    const auto widest = juce::jmax (font.getStringWidthFloat (first), font.getStringWidthFloat (second));
    const auto content = alert->getContentArea();
    const auto& label = alert->getMessageLabel();
    const auto& row = alert->getButtonRow();

    EXPECT_EQ (label.getFont(), font);
    EXPECT_EQ (row.getHeight(), 28);
    EXPECT_EQ (row.getWidth(), 15 + boldWidth ("Yes") + 15 + 15 + boldWidth ("No") + 15);
    EXPECT_EQ (content.getWidth(), juce::jmax ((int) std::ceil (widest), row.getWidth(), 250 - 16))
        << "as wide as the widest line, not the whole text";
    EXPECT_EQ (label.getHeight(), (int) (3 * font.getHeight())) << "three lines high";
    EXPECT_EQ (label.getBounds().getY(), content.getY());
    EXPECT_EQ (row.getBounds().getBottomRight(), content.getBottomRight()) << "the buttons at the bottom right";
    EXPECT_EQ (label.getBottom() + 10, row.getY());

    savePictureIfAsked (snapshot (desktop), "alert-window.png");
    desktop.setLookAndFeel (nullptr);
}
