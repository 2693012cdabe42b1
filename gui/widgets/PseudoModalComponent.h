/*
    A window shown inside the editor as if it were modal. A plug-in editor may not open
    windows of its own, so its dialogs are child components of the editor: when shown, the
    window sits in a covering layer that spans the whole editor, catches every click
    outside the window and may dim the editor beneath.

    The first show attaches the window: it must already be somewhere below the component
    marked as the Desktop (the editor); the window moves into its layer and the layer into
    the Desktop component. From then on show and hide only show and hide the layer. Nothing
    here deletes a window on close: its owner creates it once and deletes it.
*/
#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class PseudoModalComponent : public juce::Component
{
public:
    /** The mark of the component under which pseudo-modal windows attach (the editor). */
    class Desktop
    {
    public:
        virtual ~Desktop() = default;
    };

    /** The layer a shown window sits in: as large as the Desktop component, in front of
        everything else in it while shown, and behind everything while hidden. */
    class CoveringWindow : public juce::Component
    {
    public:
        /** A layer for this window. */
        explicit CoveringWindow (PseudoModalComponent& owner);

        /** @internal */
        void parentHierarchyChanged() override;
        /** @internal */
        void parentSizeChanged() override;
        /** @internal */
        void resized() override;
        /** @internal */
        void paint (juce::Graphics& g) override;

    private:
        void fillParent();

        PseudoModalComponent& owner;

        JUCE_DECLARE_NON_COPYABLE (CoveringWindow)
    };

    PseudoModalComponent();

    /** Takes the window out of its layer and the layer out of the Desktop component first. */
    ~PseudoModalComponent() override;

    /** Shows the window centred, attaching it first when needed. Nothing when it is already
        shown. Without a Desktop component above it, it only makes itself visible. */
    void show();

    /** Shows the window as show does, placed by mode: 0 centred, 1 with its top left at the
        point, which is in relativeTo's coordinates (or the layer's when relativeTo is null). */
    void showAt (int mode, juce::Point<int> point, juce::Component* relativeTo);

    /** Hides the window (its layer). Without a Desktop component it only hides itself. */
    void hide();

    /** True while the window is attached and its layer is shown. */
    bool isShownInLayer() const;

    /** True when the window sits in its layer inside a Desktop component. */
    bool isAttached() const;

    /** The layer (for the editor's tests and pictures). */
    CoveringWindow& getCoveringWindow() noexcept            { return layer; }

    /** Moves the window into its layer and the layer into the first Desktop component
        found from start upwards (start itself first); the layer stays hidden. False, and
        nothing changed, when there is no Desktop component. */
    bool attachToDesktop (juce::Component* start);

    //==============================================================================
    /** Whether the layer dims the editor under the window (false here). */
    virtual bool isBackgroundDimmed() const;

    /** Places the window in its layer by the placement mode. */
    virtual void updatePosition();

    /** Called after every change between shown and hidden. */
    virtual void shownStateChanged() {}

    /** @internal */
    void parentHierarchyChanged() override;

private:
    CoveringWindow layer;
    int placementMode = 0;
    juce::Point<int> storedPoint;

    void showWith (int mode, juce::Point<int> point, juce::Component* relativeTo);

    JUCE_DECLARE_NON_COPYABLE (PseudoModalComponent)
};
