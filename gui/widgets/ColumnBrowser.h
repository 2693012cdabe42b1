/*
    A horizontally scrolling strip of columns side by side: the root column at the left and
    each further column showing the children of the row selected in the column before it.
    Columns are widened or narrowed by a grip at their right edge; list columns rename rows
    in place and take rows dragged from the list columns of the same browser, dropped onto
    the column, onto a row or between two rows. Nothing here knows what the rows stand for.

    The browser owns its columns. A column taken out of the strip while a drag from it runs
    is parked (kept alive, out of sight) so the drag can finish; a column removed from
    inside one of its own callbacks is deleted on the next message.
*/
#pragma once

#include "gui/widgets/LabelWithModalTextEditor.h"

#include <memory>

class ColumnBrowser : public juce::Viewport,
                      public juce::DragAndDropContainer
{
public:
    class Column;
    class ListColumn;

    /** The browser's colours (defaults in DefaultLookAndFeel). */
    enum ColourIds
    {
        backgroundColourId    = 0x0f003100,   ///< behind the columns
        columnColourId        = 0x0f003101,   ///< a column's panel and its list
        columnOutlineColourId = 0x0f003102,   ///< a column's outline and grip
        selectedRowColourId   = 0x0f003105    ///< the fill of a selected row
    };

    ColumnBrowser();
    ~ColumnBrowser() override;

    /** Makes the column the rightmost one: columns it cannot follow are removed from the
        right, it is appended, and the columns that lead to it are made in front of it
        when missing. Null does nothing. */
    void showColumn (std::unique_ptr<Column> column);

    /** Inserts a column at an index (-1 appends), sized to its preferred width. */
    void addColumn (std::unique_ptr<Column> column, int index);

    /** Deletes every column, the last first. */
    void clearColumns();

    /** Places the columns side by side and sizes the strip. */
    void layoutColumns();

    /** Refreshes every column from left to right, then calls columnsChanged. */
    void refresh();

    /** Called at the end of showColumn and of refresh. */
    virtual void columnsChanged() {}

    /** The number of columns in the strip. */
    int getNumColumns() const noexcept                      { return columns.size(); }
    /** The column at an index, or null. */
    Column* getColumn (int index) const noexcept            { return columns[index]; }
    /** The column taken out of the strip during a drag from it, or null. */
    Column* getParkedColumn() const noexcept                { return parkedColumn.get(); }
    /** The list column the last drag started from (not owned), or null. */
    ListColumn* getDragSourceColumn() const noexcept        { return dragSourceColumn; }
    /** The component the columns are children of. */
    juce::Component& getContentComponent() noexcept         { return content; }

    /** True while a drag runs; removed drag sources are parked then. */
    virtual bool isDragActive() const                       { return isDragAndDropActive(); }

    //==============================================================================
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;
    /** @internal */
    void lookAndFeelChanged() override;

private:
    /** The viewed component; the columns are its children. */
    class ViewportComponent : public juce::Component
    {
    public:
        void resized() override;
    };

    friend class ListColumn;

    /** Marks the column whose callback runs, so that showColumn leaves it alive until the next message. */
    class CallingColumn
    {
    public:
        CallingColumn (ColumnBrowser& browser, Column* column);
        ~CallingColumn();

    private:
        ColumnBrowser& browser;
        Column* previous;
    };

    void dispose (Column* column);
    void updateNeighbours();
    int getContentHeight();

    juce::OwnedArray<Column> columns;
    ViewportComponent content;
    std::unique_ptr<Column> parkedColumn;
    ListColumn* dragSourceColumn = nullptr;
    Column* callingColumn = nullptr;
    juce::OwnedArray<Column> retiredColumns;

    JUCE_DECLARE_NON_COPYABLE (ColumnBrowser)
};

//==============================================================================
/** One column of a browser: a rounded panel, with a grip at its right edge while it can be resized. */
class ColumnBrowser::Column : public juce::Component
{
public:
    /** A column of that browser, which it belongs to for its whole life. */
    explicit Column (ColumnBrowser& owner);
    ~Column() override;

    /** True when this column may stand directly right of the given one. */
    virtual bool canFollow (Column* left) = 0;
    /** True when the given column is this column's parent. */
    virtual bool isChildOf (Column* left) = 0;
    /** A new parent for this column, or null (the default). */
    virtual std::unique_ptr<Column> createParentColumn()    { return {}; }
    /** True (the default) when the grip resizes the column. */
    virtual bool isResizable()                              { return true; }
    /** The width the column is added with (200 by default). */
    virtual int getPreferredWidth()                         { return 200; }
    /** Brings the column's content up to date (nothing by default). */
    virtual void refresh()                                  {}

    /** The browser the column belongs to. */
    ColumnBrowser& getBrowser() const noexcept              { return browser; }
    /** The column to the left, or null. */
    Column* getPreviousColumn() const noexcept              { return previous; }
    /** The column to the right, or null. */
    Column* getNextColumn() const noexcept                  { return next; }
    /** True while the grip is being dragged. */
    bool isResizing() const noexcept                        { return resizing; }

    /** The narrowest a column is made by its grip or by taking a removed column's width. */
    static constexpr int minimumWidth = 100;
    /** The width of the grip zone at the right edge. */
    static constexpr int gripWidth = 7;

    //==============================================================================
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void mouseDown (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseDrag (const juce::MouseEvent& e) override;
    /** @internal */
    void mouseUp (const juce::MouseEvent& e) override;

protected:
    /** True when the panel leaves room for the grip zone: a next column exists or the column is resizable. */
    bool hasGripZone();

private:
    friend class ColumnBrowser;

    ColumnBrowser& browser;
    Column* previous = nullptr;
    Column* next = nullptr;
    bool resizing = false;
    int widthAtResizeStart = 0;

    JUCE_DECLARE_NON_COPYABLE (Column)
};

//==============================================================================
/** A column holding a list of rows, which can be selected, renamed in place and dragged. */
class ColumnBrowser::ListColumn : public ColumnBrowser::Column,
                                  public juce::DragAndDropTarget
{
public:
    class List;
    class ItemComponent;

    /** Where a dragged row would go. */
    enum DropMode
    {
        noDrop = 0,
        ontoColumn,
        ontoRow,
        beforeRow,
        afterRow
    };

    /** A list column of that browser. */
    explicit ListColumn (ColumnBrowser& owner);
    ~ListColumn() override;

    /** The number of rows (0 by default). */
    virtual int getNumRows()                                            { return 0; }
    /** A row's text; also asked for rows past the end (empty by default). */
    virtual juce::String getRowText (int row)                           { return {}; }
    /** A row's icon in its unselected or selected form; also asked for rows past the end. */
    virtual const juce::Image& getRowIcon (int row, bool selected);
    /** True when the row has children: it is drawn bold with a child marker. */
    virtual bool hasChildren (int row)                                  { return false; }
    /** True (the default) when the selected rows may be dragged. */
    virtual bool canDragRows (const juce::SparseSet<int>& rows)         { return true; }
    /** True (the default) when the row may be renamed. */
    virtual bool canRenameRow (int row)                                 { return true; }
    /** The column showing a row's children, or null (the default). */
    virtual std::unique_ptr<Column> createChildColumn (int row)         { return {}; }
    /** The column shown after a click on the list's empty background, or null. */
    virtual std::unique_ptr<Column> createBackgroundColumn()            { return {}; }
    /** A row was selected (after its child column was shown). */
    virtual void rowSelected (int row)                                  {}
    /** A row was renamed in place. */
    virtual void renameRow (int row, const juce::String& newText)       {}
    /** The list's empty background was clicked. */
    virtual void backgroundClicked()                                    {}
    /** Whether rows of source may be dropped onto the column, onto a row, before or after a row. */
    virtual bool canDropOnColumn (ListColumn* source)                   { return true; }
    virtual bool canDropOnRow (ListColumn* source, int row)             { return true; }
    virtual bool canDropBeforeRow (ListColumn* source, int row)         { return true; }
    virtual bool canDropAfterRow (ListColumn* source, int row)          { return true; }
    /** Rows of source were dropped onto the column, onto a row, before or after a row. */
    virtual void dropOnColumn (ListColumn* source)                      {}
    virtual void dropOnRow (ListColumn* source, int row)                {}
    virtual void dropBeforeRow (ListColumn* source, int row)            {}
    virtual void dropAfterRow (ListColumn* source, int row)             {}

    /** Selects that row alone and scrolls it into view. */
    void selectRow (int row);
    /** Opens the row's editor, when the row is shown and may be renamed. */
    void startRename (int row);

    /** The list of rows. */
    List& getList() noexcept                                            { return *list; }
    /** The row a drag points at (-1 for none) and how it would be dropped (a DropMode). */
    int getDropRow() const noexcept                                     { return dropRow; }
    int getDropMode() const noexcept                                    { return dropMode; }

    /** Updates the list's rows and repaints. */
    void refresh() override;

    //==============================================================================
    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;
    /** @internal */
    bool isInterestedInDragSource (const SourceDetails& details) override;
    /** @internal */
    void itemDragEnter (const SourceDetails& details) override;
    /** @internal */
    void itemDragMove (const SourceDetails& details) override;
    /** @internal */
    void itemDragExit (const SourceDetails& details) override;
    /** @internal */
    void itemDropped (const SourceDetails& details) override;

private:
    friend class List;

    void updateDropTarget (const SourceDetails& details);
    ListColumn* getSourceColumn (const SourceDetails& details) const;

    std::unique_ptr<List> list;
    int dropRow = -1;
    int dropMode = noDrop;

    JUCE_DECLARE_NON_COPYABLE (ListColumn)
};

//==============================================================================
/** The list box of a list column: its own model, asking its column every question. */
class ColumnBrowser::ListColumn::List : public juce::ListBox,
                                       public juce::ListBoxModel
{
public:
    /** The height of a row. */
    static constexpr int rowHeight = 20;

    /** The list of that column. */
    explicit List (ListColumn& owner);
    ~List() override;

    /** The column the list belongs to. */
    ListColumn& getColumn() const noexcept                  { return column; }

    /** The description a drag from a list column carries. */
    static juce::String getDragDescription()                { return "ListColumn"; }

    //==============================================================================
    /** @internal */
    int getNumRows() override;
    /** @internal */
    void paintListBoxItem (int, juce::Graphics&, int, int, bool) override {}
    /** @internal */
    juce::Component* refreshComponentForRow (int row, bool selected, juce::Component* existing) override;
    /** @internal */
    void listBoxItemDoubleClicked (int row, const juce::MouseEvent&) override;
    /** @internal */
    void backgroundClicked (const juce::MouseEvent&) override;
    /** @internal */
    void selectedRowsChanged (int lastRowSelected) override;
    /** @internal */
    juce::var getDragSourceDescription (const juce::SparseSet<int>& rows) override;
    /** @internal */
    juce::String getTooltipForRow (int) override            { return {}; }
    /** @internal */
    void lookAndFeelChanged() override;
    /** @internal */
    void parentHierarchyChanged() override;

private:
    void updateColours();

    ListColumn& column;

    JUCE_DECLARE_NON_COPYABLE (List)
};

//==============================================================================
/** The component of one row: icon, a text that can be renamed in place, a child marker,
    the selection and the drop marks. Clicks pass through it to the list. */
class ColumnBrowser::ListColumn::ItemComponent : public juce::Component,
                                                 public ModalTextEditor::ModalListener
{
public:
    /** The row component of a row of that column. */
    ItemComponent (ListColumn& owner, int row, bool selected);
    ~ItemComponent() override;

    /** Shows another row, or the same row selected or not. */
    void update (int row, bool selected);

    /** The row shown. */
    int getRow() const noexcept                             { return row; }
    /** True when the row is drawn selected. */
    bool isSelected() const noexcept                        { return selected; }
    /** True when the row is drawn with a child marker. */
    bool rowHasChildren() const noexcept                    { return children; }
    /** The icon drawn now. */
    const juce::Image& getShownIcon() const noexcept        { return selected ? selectedIcon : icon; }
    /** The row's text label. */
    LabelWithModalTextEditor& getLabel() noexcept           { return label; }

    /** Hands a new name to the column's renameRow. */
    void modalTextCommitted (ModalTextEditor* editor) override;

    /** @internal */
    void paint (juce::Graphics& g) override;
    /** @internal */
    void resized() override;

private:
    bool isScrollBarShown() const;

    ListColumn& column;
    int row = -1;
    juce::Image icon, selectedIcon;
    bool children = false, selected = false;
    LabelWithModalTextEditor label;

    JUCE_DECLARE_NON_COPYABLE (ItemComponent)
};
