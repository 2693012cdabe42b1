#include "gui/widgets/WindowComponent.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/ToolkitImageNames.h"
#include "gui/SkinFonts.h"
#include "framework/EmbeddedResources.h"

namespace WindowComponentDetail
{
constexpr int borderWidth = 3, padding = 5, titleBarHeight = 33;
constexpr int minimumWidth = 250, minimumHeight = 120;
constexpr float cornerRadius = 8.0f;

juce::Image loadImage (const juce::String& name)
{
    juce::Image image;
    loadImageResource (name, image);
    return image;
}
} // namespace WindowComponentDetail

WindowComponent::WindowComponent()
    : titleFont (SkinFonts::getFont (15.0f, juce::Font::bold))
{
    using namespace WindowComponentDetail;
    using Names = ToolkitImageNames;

    icon = loadImage (Names::windowIcon());
    shadows[0] = loadImage (Names::windowShadow (Names::shadowTop));
    shadows[1] = loadImage (Names::windowShadow (Names::shadowBottom));
    shadows[2] = loadImage (Names::windowShadow (Names::shadowLeft));
    shadows[3] = loadImage (Names::windowShadow (Names::shadowRight));

    closeButton.addListener (this);
    addAndMakeVisible (closeButton);

    lookAndFeelChanged();
}

WindowComponent::~WindowComponent()
{
    closeButton.removeListener (this);
}

const juce::Image& WindowComponent::getShadowImage() const
{
    static const juce::Image none;
    return shadowEdge >= shadowTop && shadowEdge <= shadowRight ? shadows[shadowEdge - 1] : none;
}

juce::Rectangle<int> WindowComponent::getContentArea() const
{
    using namespace WindowComponentDetail;
    auto area = getLocalBounds();

    if (bordered)
        area = area.reduced (borderWidth);

    // (JUCE's rectangle operations never leave a negative width or height.)
    const auto& shadow = getShadowImage();

    switch (shadowEdge)
    {
        case shadowTop:     area.removeFromTop (shadow.getHeight()); break;
        case shadowBottom:  area.removeFromBottom (shadow.getHeight()); break;
        case shadowLeft:    area.removeFromLeft (shadow.getWidth()); break;
        case shadowRight:   area.removeFromRight (shadow.getWidth()); break;
        default:            break;
    }

    area = area.reduced (padding);

    if (titleBarVisible)
        area.removeFromTop (titleBarHeight);

    return area;
}

void WindowComponent::setContentSize (int width, int height)
{
    using namespace WindowComponentDetail;

    if (bordered)
    {
        width += 2 * borderWidth;
        height += 2 * borderWidth;
    }

    const auto& shadow = getShadowImage();

    if (shadowEdge == shadowTop || shadowEdge == shadowBottom)
        height += shadow.getHeight();
    else if (shadowEdge == shadowLeft || shadowEdge == shadowRight)
        width += shadow.getWidth();

    width += 2 * padding;
    height += 2 * padding;

    if (titleBarVisible)
        height += titleBarHeight;

    setSize (juce::jmax (minimumWidth, width), juce::jmax (minimumHeight, height));
}

void WindowComponent::setTitle (const juce::String& newTitle)
{
    if (newTitle == title)
        return;

    title = newTitle;

    if (titleBarVisible)
        repaint();
}

void WindowComponent::setTitleBarVisible (bool shouldBeVisible)
{
    if (shouldBeVisible == titleBarVisible)
        return;

    titleBarVisible = shouldBeVisible;
    closeButton.setVisible (shouldBeVisible);
    repaint();
}

void WindowComponent::setBordered (bool shouldBeBordered)
{
    if (shouldBeBordered != bordered)
    {
        bordered = shouldBeBordered;
        repaint();
    }
}

void WindowComponent::setCornerStyle (int newStyle)
{
    if (newStyle != cornerStyle)
    {
        cornerStyle = newStyle;
        repaint();
    }
}

void WindowComponent::setShadowEdge (int newEdge)
{
    if (newEdge != shadowEdge)
    {
        shadowEdge = newEdge;
        repaint();
    }
}

//==============================================================================
void WindowComponent::buttonClicked (juce::Button* button)
{
    if (button == &closeButton)
        hide();
}

void WindowComponent::lookAndFeelChanged()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        laf->setIconButtonImages (closeButton, 0, 1);

    resized();
}

void WindowComponent::paint (juce::Graphics& g)
{
    using namespace WindowComponentDetail;
    const auto bounds = getLocalBounds();

    g.setColour (findColour (backgroundColourId));

    if (cornerStyle == 1)
        DefaultLookAndFeel::fillRoundedRectangle (g, bordered ? bounds.reduced (1) : bounds, cornerRadius);
    else
        g.fillRect (bounds);

    // The shadow image, stretched along its edge.
    const auto& shadow = getShadowImage();
    const auto sw = shadow.getWidth(), sh = shadow.getHeight();

    switch (shadowEdge)
    {
        case shadowTop:     g.drawImage (shadow, 0, 0, getWidth(), sh, 0, 0, sw, sh); break;
        case shadowBottom:  g.drawImage (shadow, 0, getHeight() - sh, getWidth(), sh, 0, 0, sw, sh); break;
        case shadowLeft:    g.drawImage (shadow, 0, 0, sw, getHeight(), 0, 0, sw, sh); break;
        case shadowRight:   g.drawImage (shadow, getWidth() - sw, 0, sw, getHeight(), 0, 0, sw, sh); break;
        default:            break;
    }

    if (bordered)
    {
        g.setColour (findColour (borderColourId));

        if (cornerStyle == 1)
            DefaultLookAndFeel::drawRoundedOutline (g, bounds, cornerRadius, (float) borderWidth);
        else
            g.drawRect (bounds, borderWidth);
    }

    if (titleBarVisible)
    {
        g.setColour (findColour (titleBarColourId));
        DefaultLookAndFeel::fillRoundedRectangle (g, titleBarArea.reduced (1), 4.0f);

        g.setColour (findColour (titleBarOutlineColourId));
        DefaultLookAndFeel::drawRoundedOutline (g, titleBarArea, 5.0f, 1.0f);

        g.drawImageAt (icon, titleBarArea.getX() + 3, titleBarArea.getY() + 2);

        g.setFont (titleFont);
        g.drawText (title, titleTextArea, juce::Justification::centredLeft, true);
    }
}

void WindowComponent::resized()
{
    closeButton.setTopLeftPosition (getWidth() - closeButton.getWidth() - 10, 8);
    titleBarArea = { 8, 8, getWidth() - 16, 28 };
    titleTextArea = titleBarArea.translated (icon.getWidth() + 6, 0)
                                .withWidth (juce::jmax (0, titleBarArea.getWidth() - closeButton.getWidth() - icon.getWidth() - 12));
}
