#include "gui/widgets/CheckBox.h"
#include "gui/widgets/DefaultLookAndFeel.h"

CheckBox::CheckBox()
{
    box.setClickingTogglesState (true);
    box.addListener (this);
    addAndMakeVisible (box);

    layout();
    lookAndFeelChanged();
}

CheckBox::~CheckBox()
{
    box.removeListener (this);
}

void CheckBox::setText (const juce::String& newText)
{
    if (newText != text)
    {
        text = newText;
        layout();
        repaint();
    }
}

void CheckBox::setToggleState (bool shouldBeTicked, juce::NotificationType notification)
{
    box.setToggleState (shouldBeTicked, notification);
}

void CheckBox::buttonClicked (juce::Button*)
{
    listeners.call ([this] (Listener& l) { l.checkBoxChanged (this); });
}

void CheckBox::lookAndFeelChanged()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        const auto none = juce::Colours::transparentBlack;

        // The ticked image also shows while the box is held down.
        box.setImages (true, false, true, laf->getCheckBoxImage(), 1.0f, none, juce::Image(), 1.0f, none,
                       laf->getCheckBoxTickedImage(), 1.0f, none);
        font = laf->getDefaultFont();
        textGap = laf->getCheckBoxTextGap();
    }

    layout();
}

void CheckBox::layout()
{
    // The height first, so that the box is centred in the height the widget ends up with.
    const auto height = juce::jmax (box.getHeight(), (int) font.getHeight());
    setSize (box.getWidth() + textGap + juce::roundToInt (font.getStringWidthFloat (text)), height);
    box.setTopLeftPosition (0, (height - box.getHeight()) / 2);
}

void CheckBox::paint (juce::Graphics& g)
{
    // In the context's current colour, so that an owner's colour carries through.
    g.setFont (font);
    g.drawText (text, box.getRight() + textGap, 0, getWidth() - box.getWidth() - textGap - box.getX(), getHeight(),
                juce::Justification::centredLeft, false);
}
