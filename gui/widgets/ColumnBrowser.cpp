#include "gui/widgets/ColumnBrowser.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "gui/SkinFonts.h"

namespace ColumnBrowserDetail
{
constexpr float panelRadius = 6.0f, rowRadius = 4.0f;
constexpr int listInset = 4, iconArea = 19, markerWidth = 13, scrollBarAllowance = 3, dropZone = 5;
const juce::Colour dropColour { 0xffff0000 };
const juce::Colour rowDropColour { 0xbfff0000 };

/** A column's panel: filled and outlined, both rounded. */
void drawPanel (juce::Graphics& g, const juce::Component& c, juce::Rectangle<int> area)
{
    g.setColour (c.findColour (ColumnBrowser::columnColourId));
    DefaultLookAndFeel::fillRoundedRectangle (g, area, panelRadius);
    g.setColour (c.findColour (ColumnBrowser::columnOutlineColourId));
    DefaultLookAndFeel::drawRoundedOutline (g, area, panelRadius, 1.0f);
}
} // namespace ColumnBrowserDetail

//==============================================================================
ColumnBrowser::ColumnBrowser()
{
    setViewedComponent (&content, false);
    setScrollBarsShown (false, true);
    setColour (juce::TextEditor::highlightColourId, juce::Colour (0xffd3d3d3));
    setScrollBarThickness (getLookAndFeel().getDefaultScrollbarWidth());
}

ColumnBrowser::~ColumnBrowser()
{
    clearColumns();
    parkedColumn.reset();
    retiredColumns.clear();
    dragSourceColumn = nullptr;

    // The content goes with its members while still viewed, so it keeps the browser's look.
}

ColumnBrowser::CallingColumn::CallingColumn (ColumnBrowser& b, Column* column)
    : browser (b), previous (b.callingColumn)
{
    browser.callingColumn = column;
}

ColumnBrowser::CallingColumn::~CallingColumn()
{
    browser.callingColumn = previous;
}

void ColumnBrowser::dispose (Column* column)
{
    if (column == nullptr)
        return;

    // Deleted while still a child, so that it goes with the browser's look.
    if (column != callingColumn)
    {
        delete column;
        return;
    }

    // Its own callback is still running: out of sight now, deleted on the next message.
    column->setVisible (false);
    retiredColumns.add (column);
    const juce::Component::SafePointer<ColumnBrowser> self (this);
    juce::MessageManager::callAsync ([self]
    {
        if (self != nullptr && self->callingColumn == nullptr)
            self->retiredColumns.clear();
    });
}

void ColumnBrowser::showColumn (std::unique_ptr<Column> newColumn)
{
    if (newColumn == nullptr)
        return;

    auto removedWidth = -1;

    while (! columns.isEmpty() && ! newColumn->canFollow (columns.getLast()))
    {
        auto* removed = columns.removeAndReturn (columns.size() - 1);
        removedWidth = removed->getWidth();

        if (isDragActive() && removed == dragSourceColumn)
        {
            // The drag needs its source to live on until it ends; out of the strip it keeps the look.
            content.removeChildComponent (removed);
            removed->setLookAndFeel (&getLookAndFeel());
            dispose (parkedColumn.release());
            parkedColumn.reset (removed);
        }
        else
        {
            if (removed == dragSourceColumn)
                dragSourceColumn = nullptr;

            dispose (removed);
        }
    }

    auto* column = newColumn.get();
    addColumn (std::move (newColumn), -1);
    const auto k = columns.size() - 1;

    for (auto* child = column;;)
    {
        if (k > 0 && child->isChildOf (columns[k - 1]))
            break;

        auto parent = child->createParentColumn();

        if (parent == nullptr)
            break;

        child = parent.get();
        addColumn (std::move (parent), k);
    }

    if (removedWidth >= 0)
    {
        auto* heir = columns[k];
        heir->setSize (juce::jmax (Column::minimumWidth, removedWidth), heir->getHeight());
    }

    updateNeighbours();
    layoutColumns();

    for (auto* c : columns)
        c->refresh();

    columnsChanged();
}

void ColumnBrowser::addColumn (std::unique_ptr<Column> column, int index)
{
    if (column == nullptr)
        return;

    column->setBounds (column->getX(), column->getY(), column->getPreferredWidth(), content.getHeight());
    column->setVisible (true);
    content.addChildComponent (*column);
    columns.insert (index, column.release());
}

void ColumnBrowser::clearColumns()
{
    while (! columns.isEmpty())
    {
        auto* column = columns.removeAndReturn (columns.size() - 1);

        if (column == dragSourceColumn)
            dragSourceColumn = nullptr;

        dispose (column);
    }
}

void ColumnBrowser::updateNeighbours()
{
    for (int i = 0; i < columns.size(); ++i)
    {
        auto* c = columns.getUnchecked (i);
        auto* previous = columns[i - 1];
        auto* next = columns[i + 1];

        if (c->previous != previous || c->next != next)
        {
            c->previous = previous;
            c->next = next;
            c->resized();
            c->repaint();
        }
    }
}

int ColumnBrowser::getContentHeight()
{
    // Clear of the horizontal scroll bar while it shows.
    return getHorizontalScrollBar().isVisible() ? getMaximumVisibleHeight() - 4 : getHeight();
}

void ColumnBrowser::layoutColumns()
{
    int x = 0;

    for (auto* c : columns)
    {
        c->setBounds (x, 0, c->getWidth(), c->getHeight());
        x += c->getWidth();
    }

    content.setSize (x, getContentHeight());

    // Sizing the strip may have shown or hidden the scroll bar.
    content.setSize (x, getContentHeight());
    repaint();
}

void ColumnBrowser::refresh()
{
    for (int i = 0; i < columns.size(); ++i)
        columns.getUnchecked (i)->refresh();

    columnsChanged();
}

void ColumnBrowser::paint (juce::Graphics& g)
{
    g.fillAll (findColour (backgroundColourId));

    const auto contentRight = content.getX() + content.getWidth();

    if (content.getWidth() < getWidth() && contentRight < getWidth())
        ColumnBrowserDetail::drawPanel (g, *this, { contentRight, 0, getWidth() - contentRight, content.getHeight() });
}

void ColumnBrowser::resized()
{
    juce::Viewport::resized();
    content.setSize (content.getWidth(), getContentHeight());
}

void ColumnBrowser::lookAndFeelChanged()
{
    juce::Viewport::lookAndFeelChanged();
    setScrollBarThickness (getLookAndFeel().getDefaultScrollbarWidth());

    if (parkedColumn != nullptr)
        parkedColumn->setLookAndFeel (&getLookAndFeel());
}

void ColumnBrowser::ViewportComponent::resized()
{
    for (auto* child : getChildren())
        child->setSize (child->getWidth(), getHeight());
}

//==============================================================================
ColumnBrowser::Column::Column (ColumnBrowser& owner) : browser (owner)
{
}

ColumnBrowser::Column::~Column() = default;

bool ColumnBrowser::Column::hasGripZone()
{
    return next != nullptr || isResizable();
}

void ColumnBrowser::Column::paint (juce::Graphics& g)
{
    const auto panelWidth = hasGripZone() ? getWidth() - gripWidth : getWidth();
    ColumnBrowserDetail::drawPanel (g, *this, { 0, 0, panelWidth, getHeight() });

    if (isResizable())
    {
        g.setColour (findColour (columnOutlineColourId));
        const auto top = (float) ((getHeight() - 13) / 2);

        for (auto x : { getWidth() - 6, getWidth() - 4, getWidth() - 2 })
            g.drawVerticalLine (x, top, top + 13.0f);
    }
}

void ColumnBrowser::Column::mouseDown (const juce::MouseEvent& e)
{
    if (resizing || ! isResizable() || e.x < getWidth() - gripWidth)
        return;

    resizing = true;
    widthAtResizeStart = getWidth();
    repaint();
}

void ColumnBrowser::Column::mouseDrag (const juce::MouseEvent& e)
{
    if (! resizing)
        return;

    setSize (juce::jmax (minimumWidth, widthAtResizeStart + e.getDistanceFromDragStartX()), getHeight());
    browser.layoutColumns();
}

void ColumnBrowser::Column::mouseUp (const juce::MouseEvent&)
{
    resizing = false;
    repaint();
}

//==============================================================================
ColumnBrowser::ListColumn::ListColumn (ColumnBrowser& owner)
    : Column (owner), list (std::make_unique<List> (*this))
{
    addAndMakeVisible (*list);
}

ColumnBrowser::ListColumn::~ListColumn() = default;

const juce::Image& ColumnBrowser::ListColumn::getRowIcon (int, bool)
{
    static const juce::Image none;
    return none;
}

void ColumnBrowser::ListColumn::selectRow (int row)
{
    list->selectRow (row);
}

void ColumnBrowser::ListColumn::startRename (int row)
{
    auto* item = dynamic_cast<ItemComponent*> (list->getComponentForRowNumber (row));

    if (item != nullptr && canRenameRow (row))
        item->getLabel().showEditor();
}

void ColumnBrowser::ListColumn::refresh()
{
    list->updateContent();
    list->repaint();
}

void ColumnBrowser::ListColumn::paint (juce::Graphics& g)
{
    Column::paint (g);

    if (dropMode == ontoColumn)
    {
        g.setColour (ColumnBrowserDetail::dropColour);
        DefaultLookAndFeel::drawRoundedOutline (g, getLocalBounds(), ColumnBrowserDetail::rowRadius, 1.0f);
    }
}

void ColumnBrowser::ListColumn::resized()
{
    using namespace ColumnBrowserDetail;
    const auto right = hasGripZone() ? 15 : 8;
    list->setBounds (listInset, listInset, getWidth() - right, getHeight() - 2 * listInset);
}

ColumnBrowser::ListColumn* ColumnBrowser::ListColumn::getSourceColumn (const SourceDetails& details) const
{
    auto* sourceList = dynamic_cast<List*> (details.sourceComponent.get());
    return sourceList != nullptr ? &sourceList->getColumn() : nullptr;
}

bool ColumnBrowser::ListColumn::isInterestedInDragSource (const SourceDetails& details)
{
    auto* source = getSourceColumn (details);
    return source != nullptr && &source->getBrowser() == &getBrowser()
            && details.description.toString() == List::getDragDescription();
}

void ColumnBrowser::ListColumn::updateDropTarget (const SourceDetails& details)
{
    using namespace ColumnBrowserDetail;

    if (! list->getBounds().contains (details.localPosition))
        return;

    auto* source = getSourceColumn (details);

    if (source == nullptr)
        return;

    const auto pos = details.localPosition - list->getPosition();
    const auto h = list->getRowHeight();
    const auto y = pos.y + list->getViewport()->getViewPositionY();
    auto row = y / h;

    if (pos.x < 0 || pos.x >= list->getWidth() || row >= getNumRows())
        row = -1;

    const auto offset = y % h;
    int mode = noDrop;

    if (row != -1 && canDropOnRow (source, row))
    {
        if (offset < dropZone && canDropBeforeRow (source, row))
            mode = beforeRow;
        else if (offset >= h - dropZone && canDropAfterRow (source, row))
            mode = afterRow;
        else
            mode = ontoRow;
    }
    else if (row != -1)
    {
        if (offset < h / 2 && canDropBeforeRow (source, row))
            mode = beforeRow;
        else if (canDropAfterRow (source, row))
            mode = afterRow;
        else if (canDropOnColumn (source))
            mode = ontoColumn;
    }
    else if (canDropOnColumn (source))
    {
        mode = ontoColumn;
    }

    if (mode != dropMode || row != dropRow)
    {
        dropMode = mode;
        dropRow = row;
        const juce::Component::SafePointer<ListColumn> self (this);

        if (mode == ontoRow)
        {
            // Shows the hovered row's children, which may take the dragged column out of the strip.
            const CallingColumn calling (getBrowser(), this);
            selectRow (row);
        }

        if (self == nullptr)
            return;

        repaint();
    }

    const auto inViewport = list->getViewport()->getLocalPoint (this, details.localPosition);
    list->getViewport()->autoScroll (inViewport.x, inViewport.y, h / 2, h);
}

void ColumnBrowser::ListColumn::itemDragEnter (const SourceDetails& details)
{
    juce::Desktop::getInstance().beginDragAutoRepeat (25);
    updateDropTarget (details);
}

void ColumnBrowser::ListColumn::itemDragMove (const SourceDetails& details)
{
    updateDropTarget (details);
}

void ColumnBrowser::ListColumn::itemDragExit (const SourceDetails&)
{
    dropRow = -1;
    dropMode = noDrop;
    repaint();
}

void ColumnBrowser::ListColumn::itemDropped (const SourceDetails& details)
{
    auto* source = getSourceColumn (details);
    auto& browser = getBrowser();
    const juce::Component::SafePointer<ListColumn> self (this);

    if (source != nullptr)
    {
        const CallingColumn calling (browser, this);

        switch (dropMode)
        {
            case ontoColumn:    dropOnColumn (source); break;
            case ontoRow:       dropOnRow (source, dropRow); break;
            case beforeRow:     dropBeforeRow (source, dropRow); break;
            case afterRow:      dropAfterRow (source, dropRow); break;
            default: break;
        }
    }

    if (self != nullptr)
    {
        dropRow = -1;
        dropMode = noDrop;
        repaint();
    }

    browser.refresh();
}

//==============================================================================
ColumnBrowser::ListColumn::List::List (ListColumn& owner)
    : column (owner)
{
    setModel (this);
    setRowHeight (rowHeight);
    getViewport()->setSingleStepSizes (rowHeight, rowHeight);
    setMultipleSelectionEnabled (true);
    lookAndFeelChanged();
}

// No setModel (nullptr) here: it would lay out the rows again, and they ask their column,
// which is going.
ColumnBrowser::ListColumn::List::~List() = default;

int ColumnBrowser::ListColumn::List::getNumRows()
{
    return column.getNumRows();
}

juce::Component* ColumnBrowser::ListColumn::List::refreshComponentForRow (int row, bool selected, juce::Component* existing)
{
    if (auto* item = dynamic_cast<ItemComponent*> (existing))
    {
        item->update (row, selected);
        return item;
    }

    delete existing;
    return new ItemComponent (column, row, selected);     // the list box owns its row components
}

void ColumnBrowser::ListColumn::List::listBoxItemDoubleClicked (int row, const juce::MouseEvent&)
{
    if (getNumSelectedRows() == 1 && isRowSelected (row))
        column.startRename (row);
}

void ColumnBrowser::ListColumn::List::backgroundClicked (const juce::MouseEvent&)
{
    const juce::Component::SafePointer<ListColumn> alive (&column);
    const CallingColumn calling (column.getBrowser(), &column);
    column.getBrowser().showColumn (column.createBackgroundColumn());

    if (alive == nullptr)
        return;

    column.backgroundClicked();
    column.refresh();
}

void ColumnBrowser::ListColumn::List::selectedRowsChanged (int lastRowSelected)
{
    if (lastRowSelected < 0 || lastRowSelected >= column.getNumRows())
        return;

    const CallingColumn calling (column.getBrowser(), &column);
    column.getBrowser().showColumn (column.createChildColumn (lastRowSelected));
    column.rowSelected (lastRowSelected);
}

juce::var ColumnBrowser::ListColumn::List::getDragSourceDescription (const juce::SparseSet<int>& rows)
{
    if (! column.canDragRows (rows))
        return {};

    column.getBrowser().dragSourceColumn = &column;
    return getDragDescription();
}

void ColumnBrowser::ListColumn::List::lookAndFeelChanged()
{
    juce::ListBox::lookAndFeelChanged();
    updateColours();
}

void ColumnBrowser::ListColumn::List::parentHierarchyChanged()
{
    // A column is made before it joins the browser, whose look it then takes.
    juce::ListBox::parentHierarchyChanged();
    updateColours();
}

void ColumnBrowser::ListColumn::List::updateColours()
{
    if (auto* laf = dynamic_cast<DefaultLookAndFeel*> (&getLookAndFeel()))
        setColour (juce::ListBox::backgroundColourId, laf->findColour (columnColourId));
}

//==============================================================================
ColumnBrowser::ListColumn::ItemComponent::ItemComponent (ListColumn& owner, int rowNumber, bool isSelected)
    : column (owner)
{
    setInterceptsMouseClicks (false, false);
    label.setInterceptsMouseClicks (false, false);
    label.setFont (SkinFonts::getFont (13.0f));
    label.setColour (juce::Label::textColourId, juce::Colours::black);
    label.addModalListener (this);
    addAndMakeVisible (label);
    update (rowNumber, isSelected);
}

ColumnBrowser::ListColumn::ItemComponent::~ItemComponent() = default;

void ColumnBrowser::ListColumn::ItemComponent::update (int rowNumber, bool isSelected)
{
    row = rowNumber;
    label.setText (column.getRowText (row));

    const auto before = getShownIcon();
    icon = column.getRowIcon (row, false);
    selectedIcon = column.getRowIcon (row, true);

    if (getShownIcon() != before)
        repaint();

    if (isSelected != selected)
    {
        selected = isSelected;
        label.setColour (juce::Label::textColourId, selected ? juce::Colours::white : juce::Colours::black);
        repaint();
    }

    const auto nowHasChildren = column.hasChildren (row);

    if (nowHasChildren != children)
    {
        children = nowHasChildren;
        label.setFont (SkinFonts::getFont (13.0f, children ? juce::Font::bold : juce::Font::plain));
        resized();
    }
}

void ColumnBrowser::ListColumn::ItemComponent::modalTextCommitted (ModalTextEditor* editor)
{
    column.renameRow (row, editor->getText());
}

bool ColumnBrowser::ListColumn::ItemComponent::isScrollBarShown() const
{
    return column.getList().getVerticalScrollBar().isVisible();
}

void ColumnBrowser::ListColumn::ItemComponent::resized()
{
    using namespace ColumnBrowserDetail;
    auto r = juce::Rectangle<int> (0, 1, getWidth(), getHeight() - 2);
    r.removeFromLeft (iconArea);

    if (children)
        r.removeFromRight (markerWidth);

    if (isScrollBarShown())
        r.removeFromRight (scrollBarAllowance);

    label.setBounds (r);
}

void ColumnBrowser::ListColumn::ItemComponent::paint (juce::Graphics& g)
{
    using namespace ColumnBrowserDetail;
    const auto w = getWidth() - (isScrollBarShown() ? scrollBarAllowance : 0);
    const auto h = getHeight();

    if (selected)
    {
        g.setColour (findColour (selectedRowColourId));
        DefaultLookAndFeel::fillRoundedRectangle (g, { 0, 1, w, h - 2 }, rowRadius);
    }

    if (children)
    {
        juce::Path marker;
        marker.addTriangle (0.0f, 0.5f, 7.0f, 3.5f, 0.0f, 6.5f);
        marker.applyTransform (juce::AffineTransform::translation ((float) (w - 12), 7.0f));
        g.setColour (juce::Colours::white);
        g.fillPath (marker);
        g.setColour (juce::Colour (0xff646464));
        g.strokePath (marker, juce::PathStrokeType (1.0f));
    }

    const auto mode = column.getDropMode();
    const auto dropRow = column.getDropRow();
    g.setColour (rowDropColour);

    if (mode == ontoRow && dropRow == row)
        DefaultLookAndFeel::drawRoundedOutline (g, { 0, 0, w, h - 1 }, rowRadius, 2.0f);
    else if ((mode == beforeRow && row == dropRow - 1) || (mode == afterRow && row == dropRow))
        g.drawHorizontalLine (h - 1, 0.0f, (float) w);
    else if ((mode == beforeRow && row == dropRow) || (mode == afterRow && row == dropRow + 1))
        g.drawHorizontalLine (0, 0.0f, (float) w);

    g.setOpacity (1.0f);
    g.drawImageAt (getShownIcon(), 1, 1);
}
