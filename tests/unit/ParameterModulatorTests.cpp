#include "gui/controls/ParameterModulator.h"
#include "gui/widgets/ToolkitImageNames.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace ParameterModulatorTestsDetail
{
using namespace SkinTestSupport;
using Routing = ParameterModulationMatrix::Row;

/** Records what a matrix tells. */
struct MatrixLog : public ParameterModulationMatrix::Listener
{
    void modulationRowAdded (ParameterModulationMatrix*, const Routing& r) override             { add ("added", r); }
    void modulationRowRemoved (ParameterModulationMatrix*, const Routing& r) override           { add ("removed", r); }
    void modulationRowChanged (ParameterModulationMatrix*, const Routing& r, int index) override { add ("changed " + juce::String (index), r); }
    void keySourceValueChanged (ParameterModulationMatrix*, int key) override                   { keys.add (key); }
    void modulationMatrixChanged (ParameterModulationMatrix*) override                          { entries.add ("matrix"); }

    void add (const juce::String& what, const Routing& r)
    {
        entries.add (what + " " + juce::String (r.source) + ">" + juce::String (r.destination) + " " + juce::String (r.amount));
    }

    juce::StringArray entries;
    juce::Array<int> keys;
};

/** Records the lines a modulator reports to its row handler. */
struct HandlerLog : public ParameterModulator::RowHandler
{
    void rowUpdated (ParameterModulator* m, ParameterModulator::Row* row, int index) override
    {
        EXPECT_EQ (m->getRow (index), row);
        indexes.add (index);
    }

    juce::Array<int> indexes;
};

juce::Array<int> destinationsOf (const juce::Array<Routing>& rows)
{
    juce::Array<int> result;

    for (auto& r : rows)
        result.add (r.destination);

    return result;
}

/** A press on one of a line's children, as the line hears it through its mouse listener. */
void pressOn (ParameterModulator::Row& row, juce::Component& child)
{
    row.mouseDown (Mouse::event (child, { 3.0f, 3.0f }, { 3.0f, 3.0f }, juce::ModifierKeys::leftButtonModifier, false));
}

void click (ParameterModulator& modulator, int button)
{
    modulator.buttonClicked (modulator.getButton (button));
}
} // namespace ParameterModulatorTestsDetail

using namespace ParameterModulatorTestsDetail;

TEST (ParameterModulationMatrix, RowsAreIndexedBySourceAndDestination)
{
    ParameterModulationMatrix matrix;
    MatrixLog log;
    matrix.addListener (&log);

    for (auto r : { Routing { 1, 10, 0.5f }, Routing { 3, 10, 1.0f }, Routing { 1, 11, -0.5f }, Routing { 9, 2, 0.1f },
                    Routing { 1, -1, 0.2f }, Routing { 4, 12, 0.3f }, Routing { 1, 10, 0.25f } })
        matrix.addModulationRow (r);

    // Rows from source 9 or to destination -1 are kept but in no index.
    EXPECT_EQ (matrix.getNumRows(), 7);
    EXPECT_EQ (destinationsOf (matrix.getRowsOfSource (1)), juce::Array<int> (10, 11, 10));
    EXPECT_EQ (matrix.getDestinationsOfSource (1), juce::Array<int> (10, 11));
    EXPECT_EQ (matrix.getDirectDestinations(), juce::Array<int> (10, 11));
    EXPECT_EQ (matrix.getKeyDestinations(), juce::Array<int> (10, 12));
    EXPECT_EQ (matrix.getDirectRowsOf (10).size(), 2);
    EXPECT_EQ (matrix.getKeyRowsOf (10).size(), 1);
    EXPECT_TRUE (matrix.getDirectRowsOf (2).isEmpty());

    log.entries.clear();
    matrix.setModulationRow (0, { 1, 10, 0.5f });          // the same: nothing
    matrix.setModulationRow (7, { 1, 10, 0.5f });          // no such row
    matrix.removeModulationRow (-1);
    EXPECT_TRUE (log.entries.isEmpty());

    matrix.setModulationRow (0, { 1, 10, 0.75f });
    matrix.setModulationRow (2, { 4, 11, -0.5f });
    EXPECT_EQ (log.entries, juce::StringArray ("changed 0 1>10 0.5", "changed 2 1>11 -0.5"));
    EXPECT_EQ (matrix.getDirectRowsOf (10).getFirst().amount, 0.75f);
    EXPECT_EQ (matrix.getKeyDestinations(), juce::Array<int> (10, 11, 12));

    matrix.removeModulationRow (1);
    EXPECT_EQ (log.entries[2], "removed 3>10 1");
    EXPECT_EQ (matrix.getKeyDestinations(), juce::Array<int> (11, 12));

    // The key table: clamped values, keys outside 0..127 ignored.
    matrix.setKeySourceValue (5, 1.7f);
    matrix.setKeySourceValue (128, 0.5f);
    matrix.setKeySourceValue (-1, 0.5f);
    EXPECT_EQ (matrix.getKeySourceValue (5), 1.0f);
    EXPECT_EQ (log.keys, juce::Array<int> (5));
    matrix.removeListener (&log);
}

TEST (ParameterModulationMatrix, MovingARowKeepsTheIndexesInRowOrder)
{
    ParameterModulationMatrix matrix;
    matrix.addModulationRow ({ 1, 2, 0.0f });
    matrix.addModulationRow ({ 1, 3, 0.0f });
    matrix.moveModulationRow (1, 0);

    EXPECT_EQ (matrix.getModulationRow (0).destination, 3);
    EXPECT_EQ (destinationsOf (matrix.getRowsOfSource (1)), juce::Array<int> (3, 2));
    EXPECT_EQ (matrix.getDestinationsOfSource (1), juce::Array<int> (3, 2));
}

TEST (ParameterModulator, ButtonsAddSelectMoveAndDeleteLines)
{
    ParameterModulationMatrix matrix;
    HandlerLog handler;
    ParameterModulator modulator ("Modulator");
    modulator.setModulationMatrix (&matrix);
    modulator.setRowHandler (&handler);
    modulator.setSize (600, 100);

    for (int i = 0; i < 8; ++i)
        click (modulator, ToolkitImageNames::addRowButton);

    EXPECT_EQ (matrix.getNumRows(), 8);
    EXPECT_EQ (handler.indexes, juce::Array<int> (0, 1, 2, 3, 4, 5, 6, 7));
    EXPECT_EQ (matrix.getModulationRow (3), (Routing { -1, -1, 0.0f }));

    // Lines 21 pixels apart in the table's content, which scrolls.
    auto& table = modulator.getTable();
    EXPECT_EQ (table.getX(), modulator.getButtonColumn().getRight() + 4);
    EXPECT_EQ (modulator.getRow (2)->getParentComponent(), &table.getContent());
    EXPECT_EQ (modulator.getRow (2)->getBounds(), juce::Rectangle<int> (0, 42, table.getMaximumVisibleWidth(), 20));
    EXPECT_EQ (modulator.getRow (2)->amountSlider.getBounds(), juce::Rectangle<int> (304, 0, table.getMaximumVisibleWidth() - 304, 20));
    table.setViewPosition (0, 60);
    EXPECT_EQ (table.getViewPositionY(), 60);

    // Nothing selected: delete and move do nothing.
    click (modulator, ToolkitImageNames::deleteRowButton);
    click (modulator, ToolkitImageNames::moveUpButton);
    EXPECT_EQ (modulator.getNumRows(), 8);

    // Edits reach the matrix; a click on a line's box selects the line.
    modulator.getRow (0)->amountSlider.setValue (0.5, juce::sendNotificationSync);
    EXPECT_EQ (matrix.getModulationRow (0).amount, 0.5f);
    auto& box = modulator.getRow (0)->sourceBox;
    box.getMenu().addItem (1, "LFO");
    modulator.getRow (0)->destinationBox.getMenu().addItem (7, "Cutoff");
    modulator.getRow (0)->showRouting ({ 1, 7, 0.5f });
    modulator.getRow (0)->amountSlider.setValue (0.25, juce::sendNotificationSync);
    EXPECT_EQ (matrix.getModulationRow (0), (Routing { 1, 7, 0.25f }));
    EXPECT_EQ (matrix.getDirectRowsOf (7).size(), 1);
    EXPECT_EQ (handler.indexes.getLast(), 0);

    // Row 0 selected: up does nothing, down moves it with the selection and the matrix's order.
    pressOn (*modulator.getRow (0), box);
    EXPECT_EQ (modulator.getSelectedRow(), 0);
    EXPECT_TRUE (modulator.getRow (0)->isSelected());
    auto* moved = modulator.getRow (0);
    click (modulator, ToolkitImageNames::moveUpButton);
    EXPECT_EQ (modulator.getRow (0), moved);
    click (modulator, ToolkitImageNames::moveDownButton);
    EXPECT_EQ (modulator.getRow (1), moved);
    EXPECT_EQ (modulator.getSelectedRow(), 1);
    EXPECT_TRUE (moved->isSelected());
    EXPECT_FALSE (modulator.getRow (0)->isSelected());
    EXPECT_EQ (moved->getY(), 21);
    EXPECT_EQ (matrix.getModulationRow (1).destination, 7);

    click (modulator, ToolkitImageNames::deleteRowButton);
    EXPECT_EQ (modulator.getNumRows(), 7);
    EXPECT_EQ (matrix.getNumRows(), 7);
    EXPECT_EQ (modulator.getSelectedRow(), -1);
    EXPECT_TRUE (matrix.getDirectRowsOf (7).isEmpty());

    // The settings button swaps the table for the curve, and back.
    click (modulator, ToolkitImageNames::settingsButton);
    EXPECT_TRUE (modulator.getPitchScaler().isVisible());
    EXPECT_FALSE (table.isVisible());
    click (modulator, ToolkitImageNames::settingsButton);
    EXPECT_FALSE (modulator.getPitchScaler().isVisible());

    // A matrix changed as a whole gives one line per row, none selected.
    matrix.addModulationRow ({ 2, 3, -0.25f });
    matrix.sendMatrixChanged();
    EXPECT_EQ (modulator.getNumRows(), 8);
    EXPECT_EQ (modulator.getRow (7)->getRouting(), (Routing { 2, 3, -0.25f }));
    EXPECT_EQ (modulator.getRow (7)->destinationBox.getSelectedId(), 3);
}

TEST (ParameterModulator, WorksWithoutMatrixOrHandler)
{
    SkinTestBench bench;
    ParameterModulator modulator;
    bench.load (modulator, R"(<ParameterModulator><pos left="7" top="8"/></ParameterModulator>)");
    EXPECT_EQ (modulator.getBounds(), juce::Rectangle<int> (7, 8, 400, 200));

    click (modulator, ToolkitImageNames::addRowButton);
    click (modulator, ToolkitImageNames::addRowButton);
    modulator.getRow (1)->amountSlider.setValue (0.3, juce::sendNotificationSync);
    pressOn (*modulator.getRow (1), modulator.getRow (1)->amountSlider);
    click (modulator, ToolkitImageNames::moveUpButton);
    EXPECT_EQ (modulator.getSelectedRow(), 0);
    EXPECT_NEAR (modulator.getRow (0)->amountSlider.getValue(), 0.3, 1e-9);
    modulator.getPitchScaler().setPitchScaleFromLine ({ 0, 0 }, { 895, 0 });
    EXPECT_EQ (modulator.getPitchScaler().getKeyValue (3), 0.0f);
}

TEST (ParameterModulator, PitchScalerWritesEachKeyOnceAlongALine)
{
    ParameterModulationMatrix matrix;
    MatrixLog log;
    ParameterModulator modulator;
    modulator.setModulationMatrix (&matrix);
    matrix.addListener (&log);
    auto& scaler = modulator.getPitchScaler();

    EXPECT_EQ (scaler.getLocalBounds(), juce::Rectangle<int> (897, 256));
    EXPECT_EQ (scaler.getCurveArea(), juce::Rectangle<int> (896, 200));
    EXPECT_EQ (scaler.getKeyboard().getBounds(), juce::Rectangle<int> (0, 200, 896, 56));

    // From the top left to the bottom right: keys 0..127 once each, falling from 1 to 0.
    scaler.setPitchScaleFromLine ({ 895, 200 }, { 0, 0 });
    juce::Array<int> allKeys;

    for (int k = 0; k < 128; ++k)
        allKeys.add (k);

    EXPECT_EQ (log.keys, allKeys);
    EXPECT_EQ (matrix.getKeySourceValue (0), 1.0f);
    EXPECT_NEAR (matrix.getKeySourceValue (64), 1.0 - 448.0 / 895.0, 1e-5);
    EXPECT_NEAR (scaler.getKeyValue (64), matrix.getKeySourceValue (64), 1e-6);

    // A right-click sets an anchor; the next left click draws a straight line from it.
    log.keys.clear();
    const auto rightButton = juce::ModifierKeys (juce::ModifierKeys::rightButtonModifier);
    scaler.mouseDown (Mouse::event (scaler, { 70.0f, 100.0f }, { 70.0f, 100.0f }, rightButton, false));
    EXPECT_TRUE (scaler.isInLineMode());
    Mouse::press (scaler, { 139.0f, 50.0f });
    EXPECT_FALSE (scaler.isInLineMode());
    EXPECT_EQ (log.keys.getFirst(), 10);
    EXPECT_EQ (log.keys.getLast(), 19);
    EXPECT_NEAR (matrix.getKeySourceValue (19), 1.0 - (100.0 - 63.0 * 50.0 / 69.0) / 200.0, 1e-5);   // its first pixel, x 133

    // A background with no width leaves nothing to divide by: nothing is written.
    log.keys.clear();
    scaler.setBackground (juce::Image (juce::Image::RGB, 1, 200, true));
    scaler.setPitchScaleFromLine ({ 0, 0 }, { 0, 100 });
    EXPECT_TRUE (log.keys.isEmpty());
    scaler.setBackground ({});
    EXPECT_EQ (scaler.getCurveArea(), juce::Rectangle<int> (896, 200));
    matrix.removeListener (&log);
}
