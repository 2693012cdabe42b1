#include "gui/widgets/ColumnBrowser.h"
#include "gui/widgets/DefaultLookAndFeel.h"
#include "unit/MessageLoop.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace ColumnBrowserTestsDetail
{
using ListColumn = ColumnBrowser::ListColumn;

/** What the test columns were asked to do, in order. */
struct ColumnLog
{
    juce::StringArray calls;
    int deleted = 0;
};

/** A column of a tree three levels deep: level n stands right of level n - 1 and is its child. */
class LevelColumn : public ListColumn
{
public:
    LevelColumn (ColumnBrowser& b, ColumnLog& l, int columnLevel, int rows = 3)
        : ListColumn (b), log (l), level (columnLevel), numRows (rows) {}

    ~LevelColumn() override                         { ++log.deleted; }

    bool canFollow (Column* left) override
    {
        auto* l = dynamic_cast<LevelColumn*> (left);
        return l != nullptr && l->level == level - 1;
    }

    bool isChildOf (Column* left) override          { return canFollow (left); }

    std::unique_ptr<Column> createParentColumn() override
    {
        return level > 0 ? std::make_unique<LevelColumn> (getBrowser(), log, level - 1) : nullptr;
    }

    std::unique_ptr<Column> createChildColumn (int) override
    {
        // A column that follows nothing replaces the whole strip, this column too.
        if (childReplacesAll)
            return std::make_unique<LevelColumn> (getBrowser(), log, 0);

        return level < 2 ? std::make_unique<LevelColumn> (getBrowser(), log, level + 1) : nullptr;
    }

    int getNumRows() override                       { return numRows; }
    juce::String getRowText (int row) override      { return row < numRows ? "Row " + juce::String (row) : juce::String(); }
    bool hasChildren (int row) override             { return row < numRows && level < 2; }
    void rowSelected (int row) override             { log.calls.add ("selected " + juce::String (level) + ":" + juce::String (row)); }

    bool canDropOnRow (ListColumn*, int) override           { return acceptRows; }
    bool canDropBeforeRow (ListColumn*, int) override       { return acceptBetween; }
    bool canDropAfterRow (ListColumn*, int) override        { return acceptBetween; }
    void dropOnColumn (ListColumn*) override                { log.calls.add ("column"); }
    void dropOnRow (ListColumn*, int row) override          { log.calls.add ("onto " + juce::String (row)); }
    void dropBeforeRow (ListColumn*, int row) override      { log.calls.add ("before " + juce::String (row)); }
    void dropAfterRow (ListColumn*, int row) override       { log.calls.add ("after " + juce::String (row)); }

    ColumnLog& log;
    const int level;
    int numRows;
    bool acceptRows = true, acceptBetween = true, childReplacesAll = false;
};

/** A browser whose drag state a test sets, and which counts its column changes. */
struct TestBrowser : public ColumnBrowser
{
    TestBrowser()                                   { setBounds (0, 0, 700, 200); }
    bool isDragActive() const override              { return dragging; }
    void columnsChanged() override                  { ++changes; }

    bool dragging = false;
    int changes = 0;
};

LevelColumn& levelAt (ColumnBrowser& b, int index)
{
    return *dynamic_cast<LevelColumn*> (b.getColumn (index));
}

/** A drag over the target at a point of the target's list, started from source's list. */
ListColumn::SourceDetails dragOver (ListColumn& source, ListColumn& target, int x, int yInList)
{
    return { ListColumn::List::getDragDescription(), &source.getList(),
             target.getList().getPosition() + juce::Point<int> (x, yInList) };
}
} // namespace ColumnBrowserTestsDetail

using namespace ColumnBrowserTestsDetail;

TEST (ColumnBrowser, ShowingAColumnKeepsItsAncestorsAndTheReplacementTakesTheRemovedWidth)
{
    DefaultLookAndFeel lookAndFeel;
    TestBrowser browser;
    browser.setLookAndFeel (&lookAndFeel);
    ColumnLog log;

    // Into an empty strip: the ancestors are made through createParentColumn.
    browser.showColumn (std::make_unique<LevelColumn> (browser, log, 2));
    ASSERT_EQ (browser.getNumColumns(), 3);

    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ (levelAt (browser, i).level, i);
        EXPECT_EQ (browser.getColumn (i)->getPreviousColumn(), browser.getColumn (i - 1));
        EXPECT_EQ (browser.getColumn (i)->getNextColumn(), browser.getColumn (i + 1));
        EXPECT_EQ (browser.getColumn (i)->getX(), 200 * i);
        EXPECT_EQ (browser.getColumn (i)->getHeight(), browser.getContentComponent().getHeight());
    }

    EXPECT_EQ (browser.getContentComponent().getWidth(), 600);
    EXPECT_EQ (browser.changes, 1);

    // Made before they joined the browser, the lists still take its look's column colour.
    EXPECT_EQ (levelAt (browser, 2).getList().findColour (juce::ListBox::backgroundColourId), juce::Colour (0xffe3e3e3));

    // A new level 1 replaces levels 1 and 2 and takes the width of level 1, the leftmost removed.
    browser.getColumn (1)->setSize (150, browser.getColumn (1)->getHeight());
    browser.showColumn (std::make_unique<LevelColumn> (browser, log, 1));
    ASSERT_EQ (browser.getNumColumns(), 2);
    EXPECT_EQ (log.deleted, 2);
    EXPECT_EQ (browser.getColumn (1)->getWidth(), 150);
    EXPECT_EQ (browser.getColumn (1)->getNextColumn(), nullptr);

    // Never narrower than 100; a resize drag stops there too, and the columns right of it follow.
    browser.getColumn (1)->setSize (60, browser.getColumn (1)->getHeight());
    browser.showColumn (std::make_unique<LevelColumn> (browser, log, 1));
    EXPECT_EQ (browser.getColumn (1)->getWidth(), 100);

    browser.showColumn (std::make_unique<LevelColumn> (browser, log, 2));
    auto& middle = *browser.getColumn (1);
    const juce::Point<float> grip ((float) middle.getWidth() - 3.0f, 50.0f);
    SkinTestSupport::Mouse::press (middle, grip);
    SkinTestSupport::Mouse::drag (middle, grip, grip - juce::Point<float> (80.0f, 0.0f));
    EXPECT_EQ (middle.getWidth(), 100);
    EXPECT_EQ (browser.getColumn (2)->getX(), 300);
    SkinTestSupport::Mouse::drag (middle, grip, grip + juce::Point<float> (30.0f, 0.0f));
    SkinTestSupport::Mouse::release (middle, grip, grip + juce::Point<float> (30.0f, 0.0f));
    EXPECT_EQ (middle.getWidth(), 130);
    EXPECT_EQ (browser.getColumn (2)->getX(), 330);
    EXPECT_FALSE (middle.isResizing());

    browser.clearColumns();
    browser.setLookAndFeel (nullptr);
}

TEST (ColumnBrowser, DropPositionFollowsThePointerAndTheColumnsAnswers)
{
    DefaultLookAndFeel lookAndFeel;
    TestBrowser browser;
    browser.setLookAndFeel (&lookAndFeel);
    ColumnLog log;
    browser.showColumn (std::make_unique<LevelColumn> (browser, log, 1));
    auto& left = levelAt (browser, 0);
    auto& right = levelAt (browser, 1);
    EXPECT_TRUE (right.isInterestedInDragSource (dragOver (left, right, 10, 10)));

    const auto modeAt = [&] (int y)
    {
        right.itemDragMove (dragOver (left, right, 10, y));
        return std::make_pair (right.getDropRow(), right.getDropMode());
    };

    // Rows 20 high: the top 5 pixels go before the row, the bottom 5 after it, the rest onto it.
    EXPECT_EQ (modeAt (24), std::make_pair (1, (int) ListColumn::beforeRow));
    SkinTestSupport::savePictureIfAsked (SkinTestSupport::snapshot (browser), "widgets/column-browser-drop-before.png");
    EXPECT_EQ (modeAt (35), std::make_pair (1, (int) ListColumn::afterRow));
    EXPECT_EQ (modeAt (30), std::make_pair (1, (int) ListColumn::ontoRow));
    EXPECT_EQ (modeAt (100), std::make_pair (-1, (int) ListColumn::ontoColumn));      // past the last row

    // Hovering onto a row selects it, which shows its children.
    EXPECT_EQ (modeAt (50), std::make_pair (2, (int) ListColumn::ontoRow));
    EXPECT_TRUE (right.getList().isRowSelected (2));
    EXPECT_EQ (browser.getNumColumns(), 3);
    SkinTestSupport::savePictureIfAsked (SkinTestSupport::snapshot (browser), "widgets/column-browser-drop-onto.png");

    // No drops onto rows: halves decide; nothing between rows either: the column.
    right.acceptRows = false;
    EXPECT_EQ (modeAt (28), std::make_pair (1, (int) ListColumn::beforeRow));
    EXPECT_EQ (modeAt (31), std::make_pair (1, (int) ListColumn::afterRow));
    right.acceptBetween = false;
    EXPECT_EQ (modeAt (31), std::make_pair (1, (int) ListColumn::ontoColumn));

    // Outside the list nothing changes; a drop runs the operation of the mode shown, then clears it.
    right.itemDragMove (dragOver (left, right, 10, 500));
    EXPECT_EQ (right.getDropMode(), (int) ListColumn::ontoColumn);
    right.acceptRows = right.acceptBetween = true;
    modeAt (44);
    right.itemDropped (dragOver (left, right, 10, 44));
    EXPECT_EQ (log.calls[log.calls.size() - 1], "before 2");
    EXPECT_EQ (right.getDropMode(), (int) ListColumn::noDrop);
    EXPECT_EQ (right.getDropRow(), -1);

    // Another browser's lists, and other descriptions, are refused.
    TestBrowser other;
    other.showColumn (std::make_unique<LevelColumn> (other, log, 0));
    EXPECT_FALSE (right.isInterestedInDragSource (dragOver (levelAt (other, 0), right, 10, 10)));
    EXPECT_FALSE (right.isInterestedInDragSource ({ "Files", &left.getList(), {} }));

    browser.clearColumns();
    browser.setLookAndFeel (nullptr);
}

TEST (ColumnBrowser, AColumnRemovedByItsOwnCallbackOrDuringADragFromItLivesOnUntilSafe)
{
    TestBrowser browser;
    ColumnLog log;
    browser.showColumn (std::make_unique<LevelColumn> (browser, log, 1));

    // Selecting a row whose child replaces the whole strip: the column goes, but only after its callback.
    auto& caller = levelAt (browser, 1);
    caller.childReplacesAll = true;
    caller.selectRow (1);
    EXPECT_EQ (browser.getNumColumns(), 1);
    EXPECT_EQ (log.calls, juce::StringArray ({ "selected 1:1" }));
    EXPECT_EQ (log.deleted, 1);             // the first column; the calling one is still alive
    MessageLoop::runFor (20);
    EXPECT_EQ (log.deleted, 2);

    // Rows past the end select nothing.
    auto& root = levelAt (browser, 0);
    root.getList().selectedRowsChanged (3);
    root.getList().selectedRowsChanged (-1);
    EXPECT_EQ (browser.getNumColumns(), 1);

    // A drag from the right column: selecting another row on the left parks the dragged column.
    root.selectRow (0);
    auto* dragged = browser.getColumn (1);
    juce::SparseSet<int> rows;
    rows.addRange ({ 0, 1 });
    EXPECT_EQ (dynamic_cast<ListColumn*> (dragged)->getList().getDragSourceDescription (rows).toString(), "ListColumn");
    EXPECT_EQ (browser.getDragSourceColumn(), dragged);
    browser.dragging = true;
    root.itemDragMove (dragOver (*dynamic_cast<ListColumn*> (dragged), root, 10, 50));
    EXPECT_EQ (browser.getParkedColumn(), dragged);
    EXPECT_NE (browser.getColumn (1), dragged);
    EXPECT_EQ (dragged->getParentComponent(), nullptr);
}
