/*
    The editor's grey, flat look. It sets the default colours of the toolkit's own colour
    ids and of a few of JUCE's; it draws scroll bars, tooltips, tabs and image buttons its
    own way; and it gives the toolkit's widgets their metrics, fonts and embedded images
    through virtual operations of its own. Widgets test for it with a dynamic_cast and keep
    their own defaults under any other look-and-feel.

    The editor owns one instance and must keep it alive until every component that uses it
    is gone (JUCE asserts otherwise); it is deliberately not a DeletedAtShutdown, which
    would delete it a second time at shutdown.
*/
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>
#include <memory>

class TextButtonEx;

class DefaultLookAndFeel : public juce::LookAndFeel_V2
{
public:
    /** The look-and-feel's own colour ids. */
    enum ColourIds
    {
        tabTextColourId = 0x0f003001    ///< text of the front tab
    };

    /** A button drawn from a text-button image set: its left, middle and right parts for
        the normal and the pressed state and an overlay (TextButtonEx). */
    class ImageTextButton
    {
    public:
        virtual ~ImageTextButton() = default;

        /** Takes the seven images of a set, which the button draws at their own heights. */
        virtual void setImages (const juce::Image& leftNormal, const juce::Image& middleNormal,
                                const juce::Image& rightNormal, const juce::Image& leftDown,
                                const juce::Image& middleDown, const juce::Image& rightDown,
                                const juce::Image& overlay) = 0;
    };

    /** Sets the default colours. */
    DefaultLookAndFeel();
    ~DefaultLookAndFeel() override;

    //==============================================================================
    /** The unticked check box (15 x 14). */
    virtual juce::Image getCheckBoxImage();
    /** The ticked check box (15 x 14). */
    virtual juce::Image getCheckBoxTickedImage();
    /** The widgets' text font: Tahoma 13 (or the installed sans face). */
    virtual juce::Font getDefaultFont();
    /** Space between a check box and its text. */
    virtual int getCheckBoxTextGap();
    /** The radio button (15 x 14). */
    virtual juce::Image getRadioButtonImage();
    /** The selected radio button (15 x 14). */
    virtual juce::Image getRadioButtonSelectedImage();
    /** The title of a radio-button group, and the text of text buttons: bold 13. */
    virtual juce::Font getRadioButtonsTitleFont();
    /** The texts of a radio-button group. */
    virtual juce::Font getRadioButtonsFont();
    /** Metrics of a radio-button group. */
    virtual int getRadioButtonsTitleIndent();
    virtual int getRadioButtonsTitlePadding();
    virtual int getRadioButtonsIndent();
    virtual int getRadioButtonsTitleSpacing();
    virtual int getRadioButtonsRowHeight();
    virtual float getRadioButtonsCornerSize();
    virtual int getRadioButtonsTextGap();
    /** The tab names' font. */
    virtual juce::Font getTabFont();
    /** Depth of a tab bar and the indent of a tabbed component's pages. */
    virtual int getTabDepth();
    virtual int getTabEdgeIndent();
    /** The status bar's font and height. */
    virtual juce::Font getStatusBarFont();
    virtual int getStatusBarHeight();
    /** The icon size createIconButton uses when none is given: 1, small. */
    virtual int getDefaultIconSize();
    /** The text-button style used when none is given: 1, the normal set. */
    virtual int getDefaultTextButtonStyle();

    /** A new image button showing icon iconIndex (0 to 16) of the icon set, sized to its
        image: size 2 takes the 43-pixel icons, any other size the 27-pixel ones. Null for
        an index above 16. */
    virtual std::unique_ptr<juce::ImageButton> createIconButton (const juce::String& name, int iconIndex, int size);
    /** The same in the default icon size. */
    std::unique_ptr<juce::ImageButton> createIconButton (const juce::String& name, int iconIndex);

    /** A new image button drawn from two given images, normal and under the mouse (the normal
        one also while pressed), sized to the normal image. */
    static std::unique_ptr<juce::ImageButton> createIconImageButton (const juce::String& name, const juce::Image& normal,
                                                                     const juce::Image& mouseOver);

    /** Gives an existing button the images of an icon, as createIconButton does, and sizes
        it to them; nothing for an index above 16. */
    virtual void setIconButtonImages (juce::ImageButton& button, int iconIndex, int size);

    /** A new text button (include TextButtonEx.h to use it) in the style asked for, given
        the large image set for style 2 and the normal set for any other style. */
    virtual std::unique_ptr<TextButtonEx> createTextButton (const juce::String& text, int style);
    /** The same in the default text-button style. */
    std::unique_ptr<TextButtonEx> createTextButton (const juce::String& text);

    /** Gives a text button an image set: style 0 or 1 the normal set (28 high), style 2 the
        large set (32 high); any other style changes nothing. */
    virtual void setTextButtonImages (ImageTextButton& button, int style);

    //==============================================================================
    /** Fills the rectangle as a rounded rectangle of the corner radius in the current colour. */
    static void fillRoundedRectangle (juce::Graphics& g, juce::Rectangle<int> area, float cornerRadius);

    /** Strokes a rounded rectangle of the radius and line width in the current colour, kept
        inside the rectangle (inset by half the line width). */
    static void drawRoundedOutline (juce::Graphics& g, juce::Rectangle<int> area, float cornerRadius, float lineWidth);

    //==============================================================================
    /** @internal */
    void drawScrollbar (juce::Graphics&, juce::ScrollBar&, int x, int y, int width, int height,
                        bool isScrollbarVertical, int thumbStartPosition, int thumbSize,
                        bool isMouseOver, bool isMouseDown) override;
    /** @internal */
    void drawScrollbarButton (juce::Graphics&, juce::ScrollBar&, int width, int height, int buttonDirection,
                              bool isScrollbarVertical, bool isMouseOver, bool isMouseDown) override;
    /** @internal */
    juce::ImageEffectFilter* getScrollbarEffect() override;
    /** @internal */
    int getDefaultScrollbarWidth() override;
    /** @internal */
    int getScrollbarButtonSize (juce::ScrollBar&) override;
    /** @internal */
    void drawTextEditorOutline (juce::Graphics&, int width, int height, juce::TextEditor&) override;
    /** @internal */
    void positionComboBoxText (juce::ComboBox&, juce::Label&) override;
    /** @internal */
    juce::Rectangle<int> getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                           juce::Rectangle<int> parentArea) override;
    /** @internal */
    void drawTooltip (juce::Graphics&, const juce::String& text, int width, int height) override;
    /** @internal */
    void drawImageButton (juce::Graphics&, juce::Image*, int imageX, int imageY, int imageW, int imageH,
                          const juce::Colour& overlayColour, float imageOpacity, juce::ImageButton&) override;
    /** @internal */
    int getTabButtonOverlap (int tabDepth) override;
    /** @internal */
    int getTabButtonSpaceAroundImage() override;
    /** @internal */
    int getTabButtonBestWidth (juce::TabBarButton&, int tabDepth) override;
    /** @internal */
    juce::Font getTabButtonFont (juce::TabBarButton&, float height) override;
    /** @internal */
    void drawTabButton (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    /** @internal */
    void createTabButtonShape (juce::TabBarButton&, juce::Path&, bool isMouseOver, bool isMouseDown) override;
    /** @internal */
    void fillTabButtonShape (juce::TabBarButton&, juce::Graphics&, const juce::Path&, bool isMouseOver, bool isMouseDown) override;
    /** @internal */
    void drawTabButtonText (juce::TabBarButton&, juce::Graphics&, bool isMouseOver, bool isMouseDown) override;
    /** @internal */
    void drawTabAreaBehindFrontButton (juce::TabbedButtonBar&, juce::Graphics&, int width, int height) override;

private:
    /** An embedded image, decoded on first use. Kept here rather than in JUCE's image cache,
        whose timer would keep JUCE's timer thread running in every instance, editor shown or not. */
    juce::Image getImage (const juce::String& name);

    std::map<juce::String, juce::Image> images;

    /** The scroll-bar arrows, indexed by JUCE's button direction (0 up, 1 right, 2 down, 3 left). */
    juce::Path arrows[4];
    juce::Font defaultFont, boldFont;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (DefaultLookAndFeel)
};
