/*
    The tabbed panel of the options window: tabs at the top, a rounded, outlined panel
    under them, and listeners told when the current tab changes. Its tab depth and page
    indent come from the DefaultLookAndFeel.
*/
#pragma once

#include "framework/ListenerArray.h"

#include <juce_gui_basics/juce_gui_basics.h>

class TabbedComponentEx : public juce::TabbedComponent
{
public:
    /** The panel's colours (defaults in DefaultLookAndFeel). */
    enum ColourIds
    {
        backgroundColourId = 0x0f003000,    ///< the panel's face
        outlineColourId    = 0x0f003002     ///< the panel's and the tabs' outline
    };

    /** Told when the current tab changes. */
    class Listener
    {
    public:
        virtual ~Listener() = default;

        /** The current tab of the tabbed component has changed. */
        virtual void tabChanged (TabbedComponentEx* tabbedComponent) = 0;
    };

    TabbedComponentEx();
    ~TabbedComponentEx() override;

    /** Adds a listener (nothing for null or one already added). */
    void addListener (Listener* listener);

    /** Removes a listener. */
    void removeListener (Listener* listener);

    //==============================================================================
    /** @internal */
    void currentTabChanged (int newCurrentTabIndex, const juce::String& newCurrentTabName) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;

private:
    ListenerArray<Listener> listeners;
    juce::Path outline;

    JUCE_DECLARE_NON_COPYABLE (TabbedComponentEx)
};
