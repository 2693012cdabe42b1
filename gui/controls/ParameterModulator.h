/*
    The editor of a ParameterModulationMatrix: its rows as lines of a source box, a
    destination box and an amount slider, in a scrolling table beside a column of five
    buttons (add, delete, move up, move down, and the switch to the per-key curve), and its
    key table as a bar curve over a keyboard (the pitch scaler), drawn with the mouse.

    The matrix and the row handler, which fills the boxes' items, are attached by an owner;
    without them the lines exist only on screen and the curve stays flat.
*/
#pragma once

#include "gui/controls/GUIController.h"
#include "gui/controls/MusicKeyboard.h"
#include "gui/controls/ParameterModulationMatrix.h"
#include "gui/widgets/ComboBoxEx.h"
#include "gui/widgets/ComponentRow.h"

class ParameterModulator : public GUIController,
                           public juce::Component,
                           public juce::Button::Listener,
                           public ParameterModulationMatrix::Listener
{
public:
    class Row;

    /** Fills and follows the lines' boxes; told after a line is created or edited. */
    class RowHandler
    {
    public:
        virtual ~RowHandler() = default;

        /** The line at index was created or edited. */
        virtual void rowUpdated (ParameterModulator* modulator, Row* row, int index) = 0;
    };

    //==============================================================================
    /** One routing line: source box, destination box and amount slider. */
    class Row : public juce::Component,
                public ComboBoxEx::Listener,
                public juce::Slider::Listener
    {
    public:
        /** The selected line's background. */
        static constexpr juce::uint32 selectedColour = 0xffadd8e6;

        /** A line of a modulator, showing no routing. */
        explicit Row (ParameterModulator& owner);
        ~Row() override;

        /** The routing the line shows: the boxes' ids and the amount clamped to -1..1. */
        ParameterModulationMatrix::Row getRouting() const;

        /** Shows a routing without telling anybody. */
        void showRouting (const ParameterModulationMatrix::Row& routing);

        /** Marks the line selected; repaints when that changes. */
        void setSelected (bool shouldBeSelected);
        bool isSelected() const noexcept                { return selected; }

        ComboBoxEx sourceBox, destinationBox;
        juce::Slider amountSlider;

        /** @internal */
        void comboBoxExChanged (ComboBoxEx*) override;
        /** @internal */
        void sliderValueChanged (juce::Slider*) override;
        /** @internal */
        void mouseDown (const juce::MouseEvent&) override;
        /** @internal */
        void paint (juce::Graphics&) override;
        /** @internal */
        void resized() override;

    private:
        ParameterModulator& owner;
        bool selected = false;

        JUCE_DECLARE_NON_COPYABLE (Row)
    };

    //==============================================================================
    /** The scrolling table of lines; the lines live in its content component. */
    class Table : public juce::Viewport
    {
    public:
        Table();

        /** The component the lines are children of. */
        juce::Component& getContent() noexcept          { return content; }

    private:
        juce::Component content;

        JUCE_DECLARE_NON_COPYABLE (Table)
    };

    //==============================================================================
    /** The per-key curve over a keyboard of all 128 notes, 7 pixels a key. */
    class PitchScaler : public juce::Component
    {
    public:
        /** The height of the keyboard under the curve. */
        static constexpr int keyboardHeight = 56;

        /** A scaler of a modulator with the embedded background. */
        explicit PitchScaler (ParameterModulator& owner);

        /** Sets the background, which gives the curve's size (897 x 200 without one). */
        void setBackground (const juce::Image& image);

        /** The area the curve is drawn in. */
        juce::Rectangle<int> getCurveArea() const noexcept   { return curveArea; }

        /** Writes the line from a to b into the matrix's key table, each key once. Nothing
            without a matrix or a curve area. */
        void setPitchScaleFromLine (juce::Point<int> a, juce::Point<int> b);

        /** Sets the value shown for a key (0..1). */
        void setKeyValue (int key, float value);
        float getKeyValue (int key) const noexcept      { return juce::isPositiveAndBelow (key, 128) ? values[key] : 0.0f; }

        /** True while a right-click has set an anchor for a straight line. */
        bool isInLineMode() const noexcept              { return lineMode; }

        /** The keyboard under the curve. */
        MusicKeyboard& getKeyboard() noexcept           { return keyboard; }

        /** @internal */
        void paint (juce::Graphics&) override;
        /** @internal */
        void mouseDown (const juce::MouseEvent&) override;
        /** @internal */
        void mouseDrag (const juce::MouseEvent&) override;
        /** @internal */
        void mouseMove (const juce::MouseEvent&) override;
        /** @internal */
        void mouseEnter (const juce::MouseEvent&) override;
        /** @internal */
        void mouseExit (const juce::MouseEvent&) override;
        /** @internal */
        void mouseUp (const juce::MouseEvent&) override;

    private:
        void setMousePoint (juce::Point<int> point);

        ParameterModulator& owner;
        juce::Image background;
        MusicKeyboard keyboard;
        juce::Rectangle<int> curveArea;
        juce::Point<int> mousePoint { -1, -1 }, anchor;
        bool lineMode = false;
        float values[128] = {};

        JUCE_DECLARE_NON_COPYABLE (PitchScaler)
    };

    //==============================================================================
    /** A modulator with no lines, showing the table; no matrix, no row handler. */
    explicit ParameterModulator (const juce::String& name = {});
    ~ParameterModulator() override;

    /** Edits a matrix (null: none); the modulator listens to it. The matrix is not owned. */
    void setModulationMatrix (ParameterModulationMatrix* matrix);
    ParameterModulationMatrix* getModulationMatrix() const noexcept    { return matrix; }

    /** Sets the handler of the lines' boxes (null: none); not owned. */
    void setRowHandler (RowHandler* handler) noexcept       { rowHandler = handler; }

    /** The lines, top to bottom. */
    int getNumRows() const noexcept                         { return rows.size(); }
    Row* getRow (int index) const                           { return rows[index]; }

    /** The selected line's index, -1 for none. */
    int getSelectedRow() const noexcept                     { return selectedRow; }

    /** The button column's buttons, in order: add, delete, move up, move down, settings. */
    juce::Button* getButton (int index) const               { return buttons[index]; }

    /** The button column, the table and the pitch scaler. */
    ComponentRow& getButtonColumn() noexcept                { return buttonColumn; }
    Table& getTable() noexcept                              { return table; }
    PitchScaler& getPitchScaler() noexcept                  { return *pitchScaler; }

    /** True while the curve is shown instead of the table. */
    bool isCurveShown() const noexcept                      { return curveShown; }

    //==============================================================================
    /** Reads links and actions, then the size (400 x 200 when missing) and position. */
    void loadFromXml (const juce::XmlElement& element, ParameterManager& parameters,
                      EventsMap& events, juce::Component* owner) override;

    /** @internal */
    void buttonClicked (juce::Button*) override;
    /** @internal */
    void modulationRowAdded (ParameterModulationMatrix*, const ParameterModulationMatrix::Row&) override {}
    /** @internal */
    void modulationRowRemoved (ParameterModulationMatrix*, const ParameterModulationMatrix::Row&) override {}
    /** @internal */
    void modulationRowChanged (ParameterModulationMatrix*, const ParameterModulationMatrix::Row&, int) override {}
    /** @internal */
    void keySourceValueChanged (ParameterModulationMatrix*, int key) override;
    /** @internal */
    void modulationMatrixChanged (ParameterModulationMatrix*) override;
    /** @internal */
    void paint (juce::Graphics&) override;
    /** @internal */
    void resized() override;

private:
    Row& createRow (const ParameterModulationMatrix::Row& routing);
    void layoutRows();
    void refreshHighlight();
    void selectRow (Row& row);
    void rowChanged (Row& row);
    void moveSelectedRow (int delta);
    void tellRowHandler (Row& row, int index);

    RowHandler* rowHandler = nullptr;
    ParameterModulationMatrix* matrix = nullptr;
    juce::OwnedArray<Row> rows;
    ComponentRow buttonColumn;
    juce::OwnedArray<juce::ImageButton> buttons;
    int selectedRow = -1;
    Table table;
    std::unique_ptr<PitchScaler> pitchScaler;
    bool curveShown = false;

    JUCE_DECLARE_NON_COPYABLE (ParameterModulator)
};
