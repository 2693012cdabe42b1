/*
    The framed window that holds the settings pages as tabs. It dims the editor while shown.
    Docked under the skin, it loses its title bar, border and rounded corners.
*/
#pragma once

#include "gui/widgets/TabbedComponentEx.h"
#include "gui/widgets/WindowComponent.h"

class OptionsWindow : public WindowComponent
{
public:
    OptionsWindow();
    ~OptionsWindow() override;

    /** Inserts a page as a tab at index (the page is not owned: its owner deletes it). A
        page inserted first becomes the page shown. */
    void addPage (juce::Component* page, const juce::String& tabName, int index);

    /** Docked: square corners, no title bar, no border; undocked: the framed window. */
    void setDocked (bool shouldBeDocked);
    bool isDocked() const noexcept                          { return docked; }

    /** The tabbed panel. */
    TabbedComponentEx& getTabbedComponent() noexcept        { return tabs; }

    //==============================================================================
    /** True: the editor is dimmed under the options. */
    bool isBackgroundDimmed() const override;
    /** @internal */
    void resized() override;

private:
    TabbedComponentEx tabs;
    bool docked = false;

    void applyDockedLook();

    JUCE_DECLARE_NON_COPYABLE (OptionsWindow)
};
