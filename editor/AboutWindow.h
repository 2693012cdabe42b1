/*
    The window that tells what the plug-in is: name, description, format and bitness,
    version, build, the plug-in file, a link to the product's web page, the maker's rights
    notice and the VST credit. It has no title bar, dims the editor behind it and closes
    on any click.
*/
#pragma once

#include "framework/SoftwareDesignation.h"
#include "gui/widgets/WindowComponent.h"

class AboutWindow : public WindowComponent
{
public:
    /** A window for the plug-in's identity texts, which it reads at every paint. */
    explicit AboutWindow (const SoftwareDesignation& designation);
    ~AboutWindow() override;

    /** The years of the rights notice: the current year alone, or the first year + "-" +
        the current year's last two digits when they differ ("2008-26"). */
    static juce::String getCopyrightYears (const juce::String& firstYear, const juce::String& currentYear);

    /** The rights notice of the bottom line for these years. */
    static juce::String getRightsNotice (const juce::String& years);

    /** The VST credit in the middle box. */
    static juce::String getVstCredit();

    /** The link to the product's web page. */
    juce::HyperlinkButton& getLink() noexcept                   { return link; }

    /** The layout's rectangles: the two header halves, the middle box and the bottom line. */
    juce::Rectangle<int> getHeaderLeft() const noexcept         { return headerLeft; }
    juce::Rectangle<int> getHeaderRight() const noexcept        { return headerRight; }
    juce::Rectangle<int> getMiddle() const noexcept             { return middle; }
    juce::Rectangle<int> getBottom() const noexcept             { return bottom; }

    //==============================================================================
    /** True: the editor is dimmed under the window. */
    bool isBackgroundDimmed() const override                    { return true; }
    /** A click anywhere on the window closes it. */
    void mouseDown (const juce::MouseEvent& event) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;

private:
    const SoftwareDesignation& designation;
    juce::HyperlinkButton link;
    juce::Rectangle<int> headerLeft, headerRight, middle, bottom;

    JUCE_DECLARE_NON_COPYABLE (AboutWindow)
};
