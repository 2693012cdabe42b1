#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/widgets/PathComponent.h"
#include "gui/widgets/StatusBar.h"
#include "gui/widgets/TabbedComponentEx.h"
#include "gui/widgets/TextButtonEx.h"
#include "gui/widgets/ToolkitImageNames.h"
#include "gui/widgets/WindowComponent.h"
#include "gui/SkinFonts.h"
#include "framework/EmbeddedResources.h"

namespace DefaultLookAndFeelDetail
{
// The colour ids of the widgets that read them (the window frame, the music keyboard, the
// path field, the tabs, the column browser, the status bar), with their defaults.
struct DefaultColour
{
    int id;
    juce::uint32 argb;
};

constexpr DefaultColour defaultColours[] =
{
    { WindowComponent::backgroundColourId, 0xffc5c5c5 }, { WindowComponent::borderColourId, 0xff444444 },
    { WindowComponent::titleBarColourId, 0xff444444 }, { WindowComponent::titleBarOutlineColourId, 0xffffffff },
    { 0x0f002100, 0xff000000 }, { 0x0f002101, 0xffffffff }, { 0x0f002102, 0xff000000 },                              // music keyboard
    { 0x0f002103, 0xffb2b2b2 }, { 0x0f002104, 0xff7f7f7f },
    { PathComponent::backgroundColourId, 0xffe3e3e3 }, { PathComponent::textColourId, 0xff000000 },
    { PathComponent::outlineColourId, 0xffffffff },
    { TabbedComponentEx::backgroundColourId, 0xffc5c5c5 }, { DefaultLookAndFeel::tabTextColourId, 0xff000000 },
    { TabbedComponentEx::outlineColourId, 0xff5b5b5b },
    { 0x0f003100, 0xffc5c5c5 }, { 0x0f003101, 0xffe3e3e3 }, { 0x0f003102, 0xffffffff }, { 0x0f003103, 0xffe3e3e3 },  // column browser
    { 0x0f003104, 0xff000000 }, { 0x0f003105, 0xffadadad }, { 0x0f003106, 0xffffffff }, { 0x0f003107, 0xff5b5b5b },
    { 0x0f003108, 0xffffffff },
    { StatusBar::backgroundColourId, 0xff444444 }, { StatusBar::textColourId, 0xffffffff },
    { 0, 0xff000000 }, { 1, 0xffffffff }, { 2, 0xffffffff }, { 3, 0xffffff00 },                                      // own small ids
    { juce::Slider::rotarySliderFillColourId, 0xff808080 }, { juce::Slider::rotarySliderOutlineColourId, 0xff000000 },
    { juce::TooltipWindow::textColourId, 0xff000000 }, { juce::TooltipWindow::outlineColourId, 0xff444444 },
    { juce::ScrollBar::thumbColourId, 0xff6e6e6e }, { juce::ScrollBar::trackColourId, 0xffcccccc }
};

/** The arrow of the scroll-bar buttons, pointing up, in a 13-pixel square. */
juce::Path makeUpArrow()
{
    juce::Path p;
    p.startNewSubPath (4.0f, 11.0f);
    p.lineTo (4.0f, 8.0f);
    p.lineTo (1.75f, 8.0f);
    p.lineTo (6.5f, 1.6f);
    p.lineTo (11.25f, 8.0f);
    p.lineTo (9.0f, 8.0f);
    p.lineTo (9.0f, 11.0f);
    p.closeSubPath();
    return p;
}
} // namespace DefaultLookAndFeelDetail

DefaultLookAndFeel::DefaultLookAndFeel()
    : defaultFont (SkinFonts::getFont (13.0f)),
      boldFont (SkinFonts::getFont (13.0f, juce::Font::bold))
{
    using namespace DefaultLookAndFeelDetail;

    // Turned by quarter turns about the square's centre: up, right, down, left.
    const auto up = makeUpArrow();

    for (int i = 0; i < 4; ++i)
    {
        arrows[i] = up;
        arrows[i].applyTransform (juce::AffineTransform::rotation (juce::MathConstants<float>::halfPi * (float) i, 6.5f, 6.5f));
    }

    for (auto& c : defaultColours)
        setColour (c.id, juce::Colour (c.argb));
}

DefaultLookAndFeel::~DefaultLookAndFeel() = default;

//==============================================================================
juce::Image DefaultLookAndFeel::getImage (const juce::String& name)
{
    auto& image = images[name];

    if (! image.isValid())
        loadImageResource (name, image);

    return image;
}

juce::Image DefaultLookAndFeel::getCheckBoxImage()              { return getImage (ToolkitImageNames::checkBox (false)); }
juce::Image DefaultLookAndFeel::getCheckBoxTickedImage()        { return getImage (ToolkitImageNames::checkBox (true)); }
juce::Font DefaultLookAndFeel::getDefaultFont()                 { return defaultFont; }
int DefaultLookAndFeel::getCheckBoxTextGap()                    { return 5; }
juce::Image DefaultLookAndFeel::getRadioButtonImage()           { return getImage (ToolkitImageNames::radioButton (false)); }
juce::Image DefaultLookAndFeel::getRadioButtonSelectedImage()   { return getImage (ToolkitImageNames::radioButton (true)); }
juce::Font DefaultLookAndFeel::getRadioButtonsTitleFont()       { return boldFont; }
juce::Font DefaultLookAndFeel::getRadioButtonsFont()            { return defaultFont; }
int DefaultLookAndFeel::getRadioButtonsTitleIndent()            { return 13; }
int DefaultLookAndFeel::getRadioButtonsTitlePadding()           { return 4; }
int DefaultLookAndFeel::getRadioButtonsIndent()                 { return 6; }
int DefaultLookAndFeel::getRadioButtonsTitleSpacing()           { return 2; }
int DefaultLookAndFeel::getRadioButtonsRowHeight()              { return 20; }
float DefaultLookAndFeel::getRadioButtonsCornerSize()           { return 4.0f; }
int DefaultLookAndFeel::getRadioButtonsTextGap()                { return 6; }
juce::Font DefaultLookAndFeel::getTabFont()                     { return boldFont; }
int DefaultLookAndFeel::getTabDepth()                           { return 23; }
int DefaultLookAndFeel::getTabEdgeIndent()                      { return 8; }
juce::Font DefaultLookAndFeel::getStatusBarFont()               { return defaultFont; }
int DefaultLookAndFeel::getStatusBarHeight()                    { return 16; }
int DefaultLookAndFeel::getDefaultIconSize()                    { return 1; }
int DefaultLookAndFeel::getDefaultTextButtonStyle()             { return 1; }

std::unique_ptr<juce::ImageButton> DefaultLookAndFeel::createIconButton (const juce::String& name, int iconIndex, int size)
{
    if (iconIndex < 0 || iconIndex >= ToolkitImageNames::numIcons)
        return {};

    auto button = std::make_unique<juce::ImageButton> (name);
    setIconButtonImages (*button, iconIndex, size);
    return button;
}

std::unique_ptr<juce::ImageButton> DefaultLookAndFeel::createIconButton (const juce::String& name, int iconIndex)
{
    return createIconButton (name, iconIndex, getDefaultIconSize());
}

std::unique_ptr<juce::ImageButton> DefaultLookAndFeel::createIconImageButton (const juce::String& name, const juce::Image& normal,
                                                                             const juce::Image& mouseOver)
{
    auto button = std::make_unique<juce::ImageButton> (name);
    const auto none = juce::Colours::transparentBlack;
    button->setImages (true, false, true, normal, 1.0f, none, mouseOver, 1.0f, none, normal, 1.0f, none);
    return button;
}

void DefaultLookAndFeel::setIconButtonImages (juce::ImageButton& button, int iconIndex, int size)
{
    if (iconIndex < 0 || iconIndex >= ToolkitImageNames::numIcons)
        return;

    const auto large = size == 2;
    const auto none = juce::Colours::transparentBlack;

    // No image of its own for mouse-over (the normal one shows); the pressed image also
    // shows while the button is toggled on. Drawn at its own size, the button sized to it.
    button.setImages (true, false, true,
                      getImage (ToolkitImageNames::icon (iconIndex, large, false)), 1.0f, none,
                      juce::Image(), 1.0f, none,
                      getImage (ToolkitImageNames::icon (iconIndex, large, true)), 1.0f, none);
}

std::unique_ptr<TextButtonEx> DefaultLookAndFeel::createTextButton (const juce::String& text, int style)
{
    // The button keeps the style it was made in, so that a later look-and-feel change
    // gives it the same set again.
    auto button = std::make_unique<TextButtonEx> (text, style);
    setTextButtonImages (*button, style == 2 ? 2 : 0);
    return button;
}

std::unique_ptr<TextButtonEx> DefaultLookAndFeel::createTextButton (const juce::String& text)
{
    return createTextButton (text, getDefaultTextButtonStyle());
}

void DefaultLookAndFeel::setTextButtonImages (ImageTextButton& button, int style)
{
    if (style < 0 || style > 2)
        return;

    using Names = ToolkitImageNames;
    const auto large = style == 2;

    button.setImages (getImage (Names::textButton (large, Names::left)),
                      getImage (Names::textButton (large, Names::middle)),
                      getImage (Names::textButton (large, Names::right)),
                      getImage (Names::textButton (large, Names::leftDown)),
                      getImage (Names::textButton (large, Names::middleDown)),
                      getImage (Names::textButton (large, Names::rightDown)),
                      getImage (Names::textButton (large, Names::overlay)));
}

//==============================================================================
void DefaultLookAndFeel::fillRoundedRectangle (juce::Graphics& g, juce::Rectangle<int> area, float cornerRadius)
{
    g.fillRoundedRectangle (area.toFloat(), cornerRadius);
}

void DefaultLookAndFeel::drawRoundedOutline (juce::Graphics& g, juce::Rectangle<int> area, float cornerRadius, float lineWidth)
{
    g.drawRoundedRectangle (area.toFloat().reduced (lineWidth * 0.5f), cornerRadius, lineWidth);
}

//==============================================================================
void DefaultLookAndFeel::drawScrollbar (juce::Graphics& g, juce::ScrollBar& scrollbar, int x, int y, int width, int height,
                                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                                        bool /*isMouseOver*/, bool isMouseDown)
{
    const auto enabled = scrollbar.isEnabled();
    const juce::Rectangle<int> bar (x, y, width, height);

    g.setColour (scrollbar.findColour (juce::ScrollBar::backgroundColourId));
    g.fillRect (bar);

    g.setColour (scrollbar.findColour (juce::ScrollBar::trackColourId).withMultipliedAlpha (enabled ? 1.0f : 0.5f));
    fillRoundedRectangle (g, bar, 4.0f);

    if (thumbSize <= 0)
        return;

    const auto thumb = isScrollbarVertical ? juce::Rectangle<int> (x + 2, thumbStartPosition, width - 4, thumbSize)
                                           : juce::Rectangle<int> (thumbStartPosition, y + 2, thumbSize, height - 4);
    const auto thumbColour = scrollbar.findColour (juce::ScrollBar::thumbColourId);

    g.setColour (! enabled ? thumbColour.withMultipliedAlpha (0.5f)
                           : isMouseDown ? juce::Colours::black : thumbColour);
    fillRoundedRectangle (g, thumb, 4.0f);
}

void DefaultLookAndFeel::drawScrollbarButton (juce::Graphics& g, juce::ScrollBar& scrollbar, int /*width*/, int /*height*/,
                                              int buttonDirection, bool /*isScrollbarVertical*/,
                                              bool /*isMouseOver*/, bool /*isMouseDown*/)
{
    g.setColour (scrollbar.findColour (juce::ScrollBar::thumbColourId).withMultipliedAlpha (scrollbar.isEnabled() ? 1.0f : 0.5f));
    g.fillPath (arrows[juce::jlimit (0, 3, buttonDirection)]);
}

juce::ImageEffectFilter* DefaultLookAndFeel::getScrollbarEffect()        { return nullptr; }
int DefaultLookAndFeel::getDefaultScrollbarWidth()                       { return 13; }
int DefaultLookAndFeel::getScrollbarButtonSize (juce::ScrollBar&)        { return 13; }

void DefaultLookAndFeel::drawTextEditorOutline (juce::Graphics& g, int width, int height, juce::TextEditor& editor)
{
    // The editor's own outline colours, so that a field given a focused outline shows it.
    const auto focused = editor.hasKeyboardFocus (true) && ! editor.isReadOnly();
    g.setColour (editor.findColour (focused ? juce::TextEditor::focusedOutlineColourId : juce::TextEditor::outlineColourId));
    g.drawRect (0, 0, width, height, 1);
}

void DefaultLookAndFeel::positionComboBoxText (juce::ComboBox& box, juce::Label& label)
{
    label.setBounds (0, 0, box.getWidth() - 20, box.getHeight());
    label.setFont (getComboBoxFont (box));
}

juce::Rectangle<int> DefaultLookAndFeel::getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                                           juce::Rectangle<int> parentArea)
{
    const auto w = (int) defaultFont.getStringWidthFloat (tipText) + 12;
    const auto h = (int) defaultFont.getHeight() + 7;

    // Beside the pointer, on the side with more room, inside the parent area.
    return juce::Rectangle<int> (screenPos.x > parentArea.getCentreX() ? screenPos.x - (w + 12) : screenPos.x + 24,
                                 screenPos.y > parentArea.getCentreY() ? screenPos.y - (h + 6) : screenPos.y + 6,
                                 w, h)
               .constrainedWithin (parentArea);
}

void DefaultLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    const juce::Rectangle<int> area (width, height);

    g.setColour (findColour (juce::TooltipWindow::backgroundColourId));
    fillRoundedRectangle (g, area.reduced (1), 3.5f);

    g.setColour (findColour (juce::TooltipWindow::outlineColourId));
    g.drawRoundedRectangle (area.toFloat(), 4.0f, 1.2f);

    g.setColour (findColour (juce::TooltipWindow::textColourId));
    g.setFont (defaultFont);
    g.drawText (text, area, juce::Justification::centred, false);
}

void DefaultLookAndFeel::drawImageButton (juce::Graphics& g, juce::Image* image, int imageX, int imageY, int imageW, int imageH,
                                          const juce::Colour& overlayColour, float imageOpacity, juce::ImageButton& button)
{
    // JUCE dims a disabled image button to 0.3; the toolkit's disabled buttons show at 0.42.
    if (! button.isEnabled())
        imageOpacity *= 1.4f;

    juce::LookAndFeel_V2::drawImageButton (g, image, imageX, imageY, imageW, imageH, overlayColour, imageOpacity, button);
}

//==============================================================================
int DefaultLookAndFeel::getTabButtonOverlap (int)                    { return 4; }
int DefaultLookAndFeel::getTabButtonSpaceAroundImage()               { return 1; }

int DefaultLookAndFeel::getTabButtonBestWidth (juce::TabBarButton& button, int)
{
    return (int) getTabFont().getStringWidthFloat (button.getButtonText()) + 30;
}

juce::Font DefaultLookAndFeel::getTabButtonFont (juce::TabBarButton&, float)
{
    return getTabFont();
}

void DefaultLookAndFeel::drawTabButton (juce::TabBarButton& button, juce::Graphics& g, bool isMouseOver, bool isMouseDown)
{
    // As JUCE draws it, without the drop shadow.
    juce::Path shape;
    createTabButtonShape (button, shape, isMouseOver, isMouseDown);

    const auto activeArea = button.getActiveArea();
    shape.applyTransform (juce::AffineTransform::translation ((float) activeArea.getX(), (float) activeArea.getY()));

    fillTabButtonShape (button, g, shape, isMouseOver, isMouseDown);
    drawTabButtonText (button, g, isMouseOver, isMouseDown);
}

void DefaultLookAndFeel::createTabButtonShape (juce::TabBarButton& button, juce::Path& path, bool, bool)
{
    // Reaches 4 pixels below the button, so that only the top corners show rounded.
    const auto area = button.getActiveArea();
    path.clear();
    path.addRoundedRectangle (0.5f, 0.5f, (float) area.getWidth() - 1.0f, (float) area.getHeight() + 4.0f, 4.0f);
}

void DefaultLookAndFeel::fillTabButtonShape (juce::TabBarButton& button, juce::Graphics& g, const juce::Path& path, bool, bool)
{
    const auto colour = button.getTabBackgroundColour();
    g.setColour (button.isFrontTab() ? colour : colour.withMultipliedAlpha (0.66f));
    g.fillPath (path);

    g.setColour (button.findColour (TabbedComponentEx::outlineColourId)
                     .withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));
    g.strokePath (path, juce::PathStrokeType (1.0f));
}

void DefaultLookAndFeel::drawTabButtonText (juce::TabBarButton& button, juce::Graphics& g, bool, bool)
{
    const auto overlap = getTabButtonOverlap (button.getHeight());
    const juce::Rectangle<int> area (overlap + overlap / 2, 0, button.getWidth() - 2 * overlap, button.getHeight());

    const auto colour = button.findColour (button.isFrontTab() ? (int) tabTextColourId
                                                                : (int) TabbedComponentEx::outlineColourId);
    g.setColour (colour.withMultipliedAlpha (button.isEnabled() ? 1.0f : 0.5f));
    g.setFont (getTabFont());
    g.drawText (button.getButtonText(), area, juce::Justification::centred, false);
}

void DefaultLookAndFeel::drawTabAreaBehindFrontButton (juce::TabbedButtonBar& bar, juce::Graphics& g, int width, int height)
{
    // This area lies over the back tabs and under the front one. Filling it would hide the
    // back tabs, so it only draws the panel's edge line again across them (the front tab
    // then covers its own part of the line), inside the panel's rounded corners.
    const auto inset = 4;
    juce::Rectangle<int> line;

    switch (bar.getOrientation())
    {
        case juce::TabbedButtonBar::TabsAtTop:      line = { inset, height - 1, width - 2 * inset, 1 }; break;
        case juce::TabbedButtonBar::TabsAtBottom:   line = { inset, 0, width - 2 * inset, 1 }; break;
        case juce::TabbedButtonBar::TabsAtLeft:     line = { width - 1, inset, 1, height - 2 * inset }; break;
        case juce::TabbedButtonBar::TabsAtRight:    line = { 0, inset, 1, height - 2 * inset }; break;
        default:                                    break;
    }

    g.setColour (bar.findColour (TabbedComponentEx::outlineColourId));
    g.fillRect (line);
}
