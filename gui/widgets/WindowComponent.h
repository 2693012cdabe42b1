/*
    A pseudo-modal window with a drawn frame: a title bar with the product's icon, a title
    and a close button, a border, rounded or square corners and an optional shadow along
    one edge. Its content is laid out in getContentArea; setContentSize sizes the window
    around a content size. The close button hides the window.
*/
#pragma once

#include "gui/widgets/PseudoModalComponent.h"

class WindowComponent : public PseudoModalComponent,
                        public juce::Button::Listener
{
public:
    /** The frame's colours (defaults in DefaultLookAndFeel). */
    enum ColourIds
    {
        backgroundColourId      = 0x0f001000,   ///< the window's face
        borderColourId          = 0x0f001001,   ///< the 3-pixel border
        titleBarColourId        = 0x0f001002,   ///< the title bar
        titleBarOutlineColourId = 0x0f001003    ///< the title bar's outline and the title
    };

    /** Edges that can carry a shadow (setShadowEdge). */
    enum ShadowEdge
    {
        noShadow = 0, shadowTop, shadowBottom, shadowLeft, shadowRight
    };

    WindowComponent();
    ~WindowComponent() override;

    /** The area inside the frame, for the window's content. */
    juce::Rectangle<int> getContentArea() const;

    /** Sizes the window so that its content area has this size, at least 250 x 120 in all;
        the position stays. */
    void setContentSize (int width, int height);

    /** Sets the title; repaints when it changed and the title bar shows. */
    void setTitle (const juce::String& newTitle);
    /** The title. */
    const juce::String& getTitle() const noexcept               { return title; }

    /** Shows or hides the title bar with its close button. */
    void setTitleBarVisible (bool shouldBeVisible);
    bool isTitleBarVisible() const noexcept                     { return titleBarVisible; }

    /** Draws the border or not. */
    void setBordered (bool shouldBeBordered);
    bool isBordered() const noexcept                            { return bordered; }

    /** 1 rounded corners, 0 square ones. */
    void setCornerStyle (int newStyle);
    int getCornerStyle() const noexcept                         { return cornerStyle; }

    /** The edge that carries a shadow (a ShadowEdge). */
    void setShadowEdge (int newEdge);
    int getShadowEdge() const noexcept                          { return shadowEdge; }

    /** The close button (named "CloseButton"). */
    juce::ImageButton& getCloseButton() noexcept                { return closeButton; }

    //==============================================================================
    /** @internal */
    void buttonClicked (juce::Button* button) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;

private:
    bool titleBarVisible = true, bordered = true;
    int cornerStyle = 1, shadowEdge = noShadow;
    juce::Image icon;
    juce::ImageButton closeButton { "CloseButton" };
    juce::String title;
    juce::Font titleFont;
    juce::Rectangle<int> titleBarArea, titleTextArea;
    juce::Image shadows[4];     // top, bottom, left, right

    /** The shadow image of the current shadow edge, or a null image. */
    const juce::Image& getShadowImage() const;

    JUCE_DECLARE_NON_COPYABLE (WindowComponent)
};
