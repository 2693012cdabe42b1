#include "editor/AboutWindow.h"
#include "gui/SkinFonts.h"
#include "gui/widgets/DefaultLookAndFeel.h"

namespace AboutWindowDetail
{
/** Draws one line of text at the font's height, without an ellipsis. */
void drawLine (juce::Graphics& g, const juce::String& text, int x, int y, int width, juce::Justification justification)
{
    g.drawText (text, x, y, width, (int) std::ceil (g.getCurrentFont().getHeight()), justification, false);
}
} // namespace AboutWindowDetail

AboutWindow::AboutWindow (const SoftwareDesignation& designationToShow)
    : designation (designationToShow),
      link (designationToShow.getSoftwareWebPage(), juce::URL (designationToShow.getSoftwareWebPage()))
{
    link.setTooltip ({});
    addAndMakeVisible (link);
    setTitleBarVisible (false);
    lookAndFeelChanged();
}

AboutWindow::~AboutWindow() = default;

juce::String AboutWindow::getCopyrightYears (const juce::String& firstYear, const juce::String& currentYear)
{
    if (firstYear == currentYear || firstYear.isEmpty())
        return currentYear;

    return firstYear + "-" + currentYear.getLastCharacters (2);
}

juce::String AboutWindow::getRightsNotice (const juce::String& years)
{
    return juce::String (juce::CharPointer_UTF8 ("Copyright \xc2\xa9 ")) + years
         + " Kestrom Audio Works. All rights reserved.";
}

juce::String AboutWindow::getVstCredit()
{
    return "VST is a trademark of Steinberg Media Technologies GmbH";
}

//==============================================================================
void AboutWindow::mouseDown (const juce::MouseEvent&)
{
    hide();
}

void AboutWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        setColour (backgroundColourId, laf->findColour (0));
        setColour (borderColourId, laf->findColour (1));
        link.setColour (juce::HyperlinkButton::textColourId, laf->findColour (3));
        const auto font = laf->getDefaultFont().withStyle (laf->getDefaultFont().getStyleFlags() | juce::Font::underlined);
        link.setFont (font, false, juce::Justification::left);
        link.repaint();
        link.setSize (0, (int) std::ceil (font.getHeight()));
        link.changeWidthToFitText();
    }

    repaint();
}

void AboutWindow::resized()
{
    WindowComponent::resized();
    const auto c = getContentArea();

    headerLeft = { c.getX(), c.getY(), (int) (0.4 * (double) c.getWidth()) - 4, 54 };
    headerRight = { headerLeft.getRight() + 8, c.getY(), c.getWidth() - headerLeft.getWidth() - 8, 54 };
    middle = { c.getX(), c.getY() + 62, c.getWidth(), juce::jmax (0, c.getHeight() - 62) };
    bottom = middle.removeFromBottom (31);
    bottom = { c.getX(), bottom.getY() + 8, c.getWidth(), 23 };
    middle = { middle.getX() + 4, middle.getY(), juce::jmax (0, middle.getWidth() - 8), middle.getHeight() };

    link.setTopLeftPosition (headerLeft.getX(), headerLeft.getY() + 27);
    repaint();
}

void AboutWindow::paint (juce::Graphics& g)
{
    using namespace AboutWindowDetail;
    WindowComponent::paint (g);

    auto font = SkinFonts::getFont (13.0f);
    const auto setFont = [&g, &font] (float height, bool bold)
    {
        // One working font: only what differs is changed.
        if (font.getHeight() != height)
            font = font.withHeight (height);
        if (font.isBold() != bold)
            font = SkinFonts::getFont (height, bold ? juce::Font::bold : juce::Font::plain);
        g.setFont (font);
    };

    g.setColour (juce::Colour (0xffffa500).withAlpha (0.75f));
    DefaultLookAndFeel::fillRoundedRectangle (g, middle, 4.0f);
    g.setColour (juce::Colours::white);
    DefaultLookAndFeel::drawRoundedOutline (g, middle, 4.0f, 1.0f);

    g.setColour (getLookAndFeel().findColour (2));

    setFont (17.0f, true);
    drawLine (g, designation.getSoftwareName().toUpperCase(), headerLeft.getX(), headerLeft.getY() - 3, headerLeft.getWidth(), juce::Justification::topLeft);
    setFont (15.0f, true);
    drawLine (g, designation.getSoftwareDescription(), headerLeft.getX(), headerLeft.getY() + 12, headerLeft.getWidth(), juce::Justification::topLeft);

    const auto format = designation.getSoftwareFormat() + " " + designation.getSoftwareBitness();
    setFont (14.0f, false);
    const int formatWidth = font.getStringWidth (format);
    drawLine (g, format, headerRight.getX(), headerRight.getY() - 3, headerRight.getWidth(), juce::Justification::topRight);
    setFont (15.0f, true);
    drawLine (g, "Version " + designation.getSoftwareVersion(), headerRight.getX(), headerRight.getY() - 3,
              headerRight.getWidth() - formatWidth - 8, juce::Justification::topRight);

    setFont (12.0f, false);
    drawLine (g, designation.getBuildNumber() + "; " + designation.getBuildDate(), headerRight.getX(), headerRight.getY() + 19,
              headerRight.getWidth(), juce::Justification::topRight);
    g.drawFittedText (designation.getSoftwareLocation(), headerRight.getX(), headerRight.getY() + 30, headerRight.getWidth(), 30,
                      juce::Justification::topRight, 2, 1.0f);

    // The middle box: what the product is, and the credit for the format it speaks.
    setFont (15.0f, true);
    const auto box = middle.reduced (8, 6);
    drawLine (g, designation.getSoftwareDescription(), box.getX(), box.getY(), box.getWidth(), juce::Justification::centredTop);
    setFont (12.0f, false);
    drawLine (g, getVstCredit(), box.getX(), box.getBottom() - 14, box.getWidth(), juce::Justification::centredTop);

    const auto years = getCopyrightYears (designation.getSoftwareYear(), juce::Time::getCurrentTime().formatted ("%Y"));
    drawLine (g, getRightsNotice (years), bottom.getX(), bottom.getY() + (bottom.getHeight() - 14) / 2, bottom.getWidth(),
              juce::Justification::centredTop);
}
