/*
    The "Midi Control" page of the Options window: every controller assignment of the
    plug-in's MidiControl as a (CC, parameter) row in a table that wraps its rows into
    side-by-side columns, the learn-mode switch, the default map file, and buttons that
    delete an assignment, clear the map, and load and save map files.

    The page changes the map only through MidiControl's own operations and follows it
    through MidiControl::Listener, on the message thread. File dialogs never run a modal
    loop (the editor lives inside a host): they are launched asynchronously, kept alive
    until they answer, and hand the chosen file to loadMapFile or saveMapFile.
*/
#pragma once

#include "framework/MidiControl.h"
#include "gui/controls/FileType.h"
#include "gui/widgets/AlertWindow.h"
#include "gui/widgets/CheckBox.h"
#include "gui/widgets/ComponentRow.h"
#include "gui/widgets/DefaultResourceCheckBox.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

class MidiControlComponent : public juce::Component,
                             public juce::Button::Listener,
                             public CheckBox::Listener,
                             public DefaultResourceCheckBox::Listener,
                             public MidiControl::Listener,
                             public Kestrom::AlertWindow::Caller
{
public:
    //==============================================================================
    /** The assignment table: a header, then rows of 20 pixels filled column by column,
        at least a minimum number of columns wide, with a horizontal scroll bar that shows
        while there are more columns than that. */
    class ListComponent : public juce::Component,
                          public juce::ScrollBar::Listener
    {
    public:
        /** One assignment: a controller number and the name of its parameter. */
        struct Row
        {
            int controller = -1;
            juce::String parameterName;
        };

        /** The heights of the header and of a row. */
        static constexpr int headerHeight = 19, rowHeight = 20;

        /** An empty table for a page and its map, both of which must outlive it. */
        ListComponent (MidiControlComponent& owner, MidiControl& midiControl);
        ~ListComponent() override;

        /** The number of columns the table always shows (at least 1). */
        void setMinimumColumns (int numColumns);
        int getMinimumColumns() const noexcept                  { return minimumColumns; }

        /** Reads the rows again from the map, in controller order, and clears the selection. */
        void rebuildRows();

        /** Sizes the columns to the rows and the fonts, and sets up the scroll bar. */
        void layoutColumns();

        /** Selects a row (-1 for none) and scrolls its column into view; in learn mode a
            valid row becomes the map's pending pair. Nothing when it is already selected. */
        void selectRow (int index);

        /** Selects the row of a controller; nothing when no row has it. */
        void selectRowForController (int controller);

        /** The rows shown. */
        const juce::Array<Row>& getRows() const noexcept        { return rows; }
        /** The selected row index: -1 for none, possibly beyond the rows after a click below them. */
        int getSelectedRow() const noexcept                     { return selectedRow; }
        /** True when the selection is one of the rows. */
        bool hasValidSelection() const noexcept                 { return juce::isPositiveAndBelow (selectedRow, rows.size()); }

        /** The table's metrics, as the last layout left them. */
        int getRowsPerColumn() const noexcept                   { return rowsPerColumn; }
        int getVisibleColumns() const noexcept                  { return visibleColumns; }
        int getColumnWidth() const noexcept                     { return columnWidth; }
        int getControllerColumnWidth() const noexcept           { return controllerColumnWidth; }
        int getParameterColumnWidth() const noexcept            { return parameterColumnWidth; }

        /** The table with its outline; its top is where the page lines its buttons up. */
        juce::Rectangle<int> getTableBounds() const noexcept    { return table; }
        /** Where the columns are drawn: the table less its outline, as wide as the columns
            and moved left by the scroll position. */
        juce::Rectangle<int> getDrawingBounds() const noexcept  { return drawing; }
        /** The cell of row index (it may lie outside the visible part of the table). */
        juce::Rectangle<int> getRowBounds (int index) const;

        /** The horizontal scroll bar. */
        juce::ScrollBar& getScrollBar() noexcept                { return scrollBar; }

        //==============================================================================
        /** @internal */
        void scrollBarMoved (juce::ScrollBar* bar, double newRangeStart) override;
        /** @internal */
        void mouseDown (const juce::MouseEvent& event) override;
        /** @internal */
        void paint (juce::Graphics& g) override;
        /** @internal */
        void resized() override;
        /** @internal */
        void lookAndFeelChanged() override;

    private:
        MidiControlComponent& owner;
        MidiControl& midiControl;
        juce::Array<Row> rows;
        int selectedRow = -1;
        juce::ScrollBar scrollBar { false };
        int minimumColumns = 1;
        juce::Rectangle<int> table, drawing;
        int scrollOffset = 0;
        int rowsPerColumn = 1, visibleColumns = 1;
        int columnWidth = 0, controllerColumnWidth = 0, parameterColumnWidth = 0;
        juce::Font headerFont, rowFont;

        void scrollColumnIntoView (int column);

        JUCE_DECLARE_NON_COPYABLE (ListComponent)
    };

    //==============================================================================
    /** A page for the plug-in's map, whose files carry this extension and open-dialog
        wildcard; the map must outlive the page. */
    MidiControlComponent (MidiControl& midiControl, const juce::String& fileExtension, const juce::String& fileWildcard);
    ~MidiControlComponent() override;

    /** The map the page shows. */
    MidiControl& getMidiControl() const noexcept                { return midiControl; }

    /** The extension of map files (".vlccmap"). */
    const juce::String& getFileExtension() const noexcept       { return fileType.getExtension(); }
    /** Sets the extension of map files. */
    void setFileExtension (const juce::String& extension)       { fileType = FileType (extension); }

    /** The wildcard list of the open dialog. */
    const juce::String& getFileWildcard() const noexcept        { return fileWildcard; }
    /** Sets the wildcard list of the open dialog (the current extension first, older ones
        after); the default map's file dialog gets it too. */
    void setFileWildcard (const juce::String& wildcard);

    //==============================================================================
    /** Loads a chosen map file into the map: false, and the map untouched, when there is
        no file or it is not a readable map of this plug-in. */
    bool loadMapFile (const juce::File& file);

    /** Saves the map under a chosen name, given the map extension: false when there is no
        file or the write failed (a previous file of that name is then kept). */
    bool saveMapFile (const juce::File& file);

    /** Enables "Delete Assign" exactly while one of the rows is selected. */
    void updateDeleteButton();

    //==============================================================================
    /** The "Midi Learn mode" box. */
    CheckBox& getLearnBox() noexcept                            { return learnBox; }
    /** The "Default map" box with its file. */
    DefaultResourceCheckBox& getDefaultMapBox() noexcept        { return defaultMapBox; }
    /** The table. */
    ListComponent& getList() noexcept                           { return *list; }
    /** The buttons and the column that holds them. */
    juce::ImageButton& getDeleteButton() noexcept               { return deleteButton; }
    juce::ImageButton& getClearButton() noexcept                { return clearButton; }
    juce::ImageButton& getLoadButton() noexcept                 { return loadButton; }
    juce::ImageButton& getSaveButton() noexcept                 { return saveButton; }
    ComponentRow& getButtonRow() noexcept                       { return buttonRow; }
    /** The clear-all question, once asked (null before). */
    Kestrom::AlertWindow* getClearAllQuestion() const noexcept  { return clearAllQuestion.get(); }
    /** True while a file dialog is open. */
    bool isBrowsing() const noexcept                            { return chooser != nullptr; }

    //==============================================================================
    /** @internal */
    void buttonClicked (juce::Button* button) override;
    /** @internal */
    void checkBoxChanged (CheckBox* box) override;
    /** @internal */
    void defaultResourceChanged (DefaultResourceCheckBox* box) override;
    /** @internal */
    void midiMapChanged (MidiControl* source) override;
    /** @internal */
    void learnStateChanged (MidiControl* source) override;
    /** @internal */
    void alertWindowResult (Kestrom::AlertWindow* window, int code) override;
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void resized() override;
    /** @internal */
    void childBoundsChanged (juce::Component* child) override;

private:
    MidiControl& midiControl;
    FileType fileType;
    juce::String fileWildcard;

    CheckBox learnBox;
    DefaultResourceCheckBox defaultMapBox;
    juce::ImageButton deleteButton { "Delete Assign" }, clearButton { "Clear All" },
                      loadButton { "Load Map" }, saveButton { "Save Map" };
    std::unique_ptr<ListComponent> list;
    ComponentRow buttonRow;
    std::unique_ptr<Kestrom::AlertWindow> clearAllQuestion;
    std::unique_ptr<juce::FileChooser> chooser;
    bool layingOut = false;

    void askToClearAll();
    void browseForMapToLoad();
    void browseForMapToSave();
    bool isQuestionShowing() const;

    JUCE_DECLARE_NON_COPYABLE (MidiControlComponent)
};
