#include "gui/widgets/AlertWindow.h"

namespace Kestrom
{
AlertWindow::AlertWindow()
{
    buttonRow.setAlignment (ComponentRow::alignEnd);
    addAndMakeVisible (buttonRow);

    // No border of the label's own: the window is sized to the text itself, and a multi-line
    // text narrower than its lines would wrap.
    message.setJustificationType (juce::Justification::centredLeft);
    message.setBorderSize ({});
    addAndMakeVisible (message);
}

AlertWindow::~AlertWindow() = default;

std::unique_ptr<AlertWindow> AlertWindow::create (const juce::String& title, const juce::String& text, Caller* newCaller,
                                                  const juce::String& noText)
{
    auto window = std::make_unique<AlertWindow>();
    window->setTitle (title);
    window->setMessage (text);
    window->updateSize();
    window->addButton ("Yes", 1);
    window->addButton (noText, 0);
    window->setCaller (newCaller);
    return window;
}

std::unique_ptr<AlertWindow> AlertWindow::showYesNoAlert (const juce::String& title, const juce::String& text, Caller* newCaller)
{
    return create (title, text, newCaller, "No");
}

std::unique_ptr<AlertWindow> AlertWindow::showYesCancelAlert (const juce::String& title, const juce::String& text, Caller* newCaller)
{
    return create (title, text, newCaller, "Cancel");
}

void AlertWindow::addButton (const juce::String& text, int code)
{
    auto* button = buttons.add (std::make_unique<TextButtonEx> (text, 0));
    button->addListener (this);
    buttonRow.addAndMakeVisible (button);
    codes.add (code);
    updateSize();
    resized();
}

void AlertWindow::setMessage (const juce::String& text)
{
    message.setText (text, juce::dontSendNotification);
}

void AlertWindow::updateSize()
{
    const auto font = message.getFont();
    const auto lines = juce::StringArray::fromLines (message.getText());
    int textWidth = 0;

    // Rounded up: a line the label cannot fit whole would be wrapped.
    for (auto& line : lines)
        textWidth = juce::jmax (textWidth, (int) std::ceil (font.getStringWidthFloat (line)));

    const auto textHeight = (int) (font.getHeight() * (float) juce::jmax (1, lines.size()));

    setContentSize (juce::jmax (textWidth, buttonRow.getWidth()), textHeight + buttonRow.getHeight() + 10);
}

//==============================================================================
bool AlertWindow::isBackgroundDimmed() const
{
    return true;
}

void AlertWindow::buttonClicked (juce::Button* button)
{
    if (button == &getCloseButton())
    {
        hide();
        return;
    }

    const auto index = buttons.indexOf (dynamic_cast<TextButtonEx*> (button));

    if (index < 0)
        return;

    const auto code = codes[index];
    hide();

    // Last: the caller may delete this window.
    if (caller != nullptr)
        caller->alertWindowResult (this, code);
}

void AlertWindow::lookAndFeelChanged()
{
    WindowComponent::lookAndFeelChanged();

    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
    {
        message.setFont (laf->getDefaultFont());
        updateSize();
    }
}

void AlertWindow::resized()
{
    WindowComponent::resized();

    auto area = getContentArea();
    const auto strip = area.removeFromBottom (buttonRow.getHeight());
    area.removeFromBottom (10);

    buttonRow.setTopLeftPosition (strip.getRight() - buttonRow.getWidth(), strip.getY());
    message.setBounds (area);
}

void AlertWindow::childBoundsChanged (juce::Component* child)
{
    // The buttons take their images after the window has heard of a new look-and-feel
    // (children hear after their parent), so a row that grew sizes the window again.
    if (child == &buttonRow)
        updateSize();

    resized();
}
} // namespace Kestrom
