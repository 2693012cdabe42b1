#include "gui/widgets/RadioButtons.h"
#include "gui/widgets/DefaultLookAndFeel.h"

RadioButtons::RadioButtons (const juce::String& groupTitle, const juce::StringArray& groupOptions)
    : title (groupTitle), options (groupOptions)
{
    for (int i = 0; i < options.size(); ++i)
    {
        auto* button = buttons.add (std::make_unique<juce::ImageButton> ("RadioButton" + juce::String (i)));
        button->setTriggeredOnMouseDown (true);
        button->setClickingTogglesState (true);
        button->addListener (this);
        addAndMakeVisible (button);
    }

    lookAndFeelChanged();
}

RadioButtons::~RadioButtons() = default;

void RadioButtons::setSelectedIndex (int index, bool notify)
{
    selectedIndex = juce::isPositiveAndBelow (index, options.size()) ? index : -1;

    for (int i = 0; i < buttons.size(); ++i)
        buttons.getUnchecked (i)->setToggleState (i == selectedIndex, juce::dontSendNotification);

    if (notify)
        notifyListeners();

    selectionChanged();
}

void RadioButtons::notifyListeners()
{
    listeners.call ([this] (Listener& l) { l.radioButtonsChanged (this); });
}

void RadioButtons::buttonClicked (juce::Button* button)
{
    // A click on the selected option toggled it off; selecting it again turns it back on.
    setSelectedIndex (buttons.indexOf (dynamic_cast<juce::ImageButton*> (button)), true);
}

void RadioButtons::lookAndFeelChanged()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        titleFont = laf->getRadioButtonsTitleFont();
        optionFont = laf->getRadioButtonsFont();
        titleIndent = laf->getRadioButtonsTitleIndent();
        titlePadding = laf->getRadioButtonsTitlePadding();
        buttonIndent = laf->getRadioButtonsIndent();
        titleSpacing = laf->getRadioButtonsTitleSpacing();
        rowHeight = laf->getRadioButtonsRowHeight();
        cornerSize = laf->getRadioButtonsCornerSize();
        textGap = laf->getRadioButtonsTextGap();

        const auto normal = laf->getRadioButtonImage(), selected = laf->getRadioButtonSelectedImage();
        const auto none = juce::Colours::transparentBlack;

        // The selected image also shows while the button is held down.
        for (auto* button : buttons)
            button->setImages (true, false, true, normal, 1.0f, none, juce::Image(), 1.0f, none, selected, 1.0f, none);
    }

    layout();
}

void RadioButtons::layout()
{
    const auto titleHeight = titleFont.getHeight();
    const auto titleWidth = titleFont.getStringWidthFloat (title);

    titleBox = { titleIndent - titlePadding, 0, juce::roundToInt (titleWidth) + 2 * titlePadding, (int) titleHeight };
    firstRowY = (int) titleHeight + titleSpacing;

    int maxW = 0, maxH = 0;

    for (auto* button : buttons)
    {
        maxW = juce::jmax (maxW, button->getWidth());
        maxH = juce::jmax (maxH, button->getHeight());
    }

    for (int i = 0; i < buttons.size(); ++i)
        buttons.getUnchecked (i)->setTopLeftPosition (buttonIndent + 1, firstRowY + rowHeight * i + (rowHeight - maxH) / 2);

    textX = buttonIndent + textGap + maxW + 1;
    maxTextWidth = 0;

    for (auto& option : options)
        maxTextWidth = juce::jmax (maxTextWidth, (int) optionFont.getStringWidthFloat (option));

    const auto width = juce::jmax (maxTextWidth + 2 * buttonIndent + 2 + textGap + maxW,
                                   (int) titleWidth + 2 * titleIndent,
                                   getWidth());
    setSize (width, rowHeight * options.size() + 2 * titleSpacing + (int) titleHeight);

    updateSize();
}

void RadioButtons::resized()
{
    frame = getLocalBounds().withTop ((int) (titleFont.getHeight() * 0.5f));
    repaint();
}

void RadioButtons::paint (juce::Graphics& g)
{
    g.setColour (juce::Colour (0xff7c7c7c));
    DefaultLookAndFeel::drawRoundedOutline (g, frame, cornerSize, 1.0f);

    // The title's box hides the frame line behind the title.
    g.setColour (juce::Colour (0xffc5c5c5));
    g.fillRect (titleBox);

    g.setColour (juce::Colours::black);
    g.setFont (titleFont);
    g.drawText (title, titleIndent, 0, getWidth() - 2 * titleIndent, (int) titleFont.getHeight(),
                juce::Justification::centredLeft, false);

    g.setFont (optionFont);

    for (int i = 0; i < options.size(); ++i)
        g.drawText (options[i], textX, firstRowY + rowHeight * i, maxTextWidth, rowHeight,
                    juce::Justification::centredLeft, false);
}
