#include "gui/controls/NumericDisplay.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace NumericDisplayTestsDetail
{
using namespace SkinTestSupport;

/** What the cells show, left to right: the digit, "_" for a blank cell; "-" first when negative. */
std::string cellsOf (NumericDisplay& display)
{
    std::string text = display.getSignCell().isNegative() ? "-" : "";

    for (int i = 0; i < display.getNumDigits(); ++i)
    {
        auto* cell = display.getDigitCell (i);
        text += cell->isBlank() ? '_' : (char) ('0' + cell->getDigit());
    }

    return text;
}

/** A display read from its attributes, with 10 x 20 cells and no images. */
std::unique_ptr<NumericDisplay> makeDisplay (SkinTestBench& bench, const juce::String& attributes, const juce::String& link = {})
{
    auto display = std::make_unique<NumericDisplay> ("Number");
    bench.load (*display, "<NumericDisplay " + attributes + "><size width=\"10\" height=\"20\"/>"
                            + (link.isEmpty() ? juce::String() : "<links><link as=\"connectedTo\" param=\"" + link + "\"/></links>")
                            + "<pos left=\"3\" top=\"4\"/></NumericDisplay>");
    return display;
}

/** Presses at x, drags dy pixels down (negative: up) and releases; the value afterwards. */
double dragFrom (NumericDisplay& display, float x, float dy)
{
    Mouse::press (display, { x, 10.0f });
    Mouse::drag (display, { x, 10.0f }, { x, 10.0f + dy });
    Mouse::release (display, { x, 10.0f }, { x, 10.0f + dy });
    return display.getValue();
}
} // namespace NumericDisplayTestsDetail

using namespace NumericDisplayTestsDetail;

TEST (NumericDisplay, CellsShowTheValueWithLeadingBlanksAndTheUnitsDigitAlways)
{
    SkinTestBench bench;
    auto hundreds = makeDisplay (bench, R"(digitsNum="3" firstDigitOrder="100" minValue="-999" maxValue="999")");
    EXPECT_EQ (hundreds->getBounds(), juce::Rectangle<int> (3, 4, 40, 20));   // the sign cell and three digits

    const std::pair<double, std::string> cases[] = { { 7.0, "__7" }, { -42.6, "-_43" }, { 0.0, "__0" }, { 100.0, "100" },
                                                     { 5000.0, "999" } };
    for (auto& [value, shown] : cases)
    {
        hundreds->setValue (value, false);
        EXPECT_EQ (cellsOf (*hundreds), shown) << value;
    }

    // Tens, units, tenths, hundredths: zeros after a shown digit are shown.
    auto tens = makeDisplay (bench, R"(digitsNum="4" firstDigitOrder="10" minValue="0" maxValue="99")");
    tens->setValue (0.3, false);
    EXPECT_EQ (cellsOf (*tens), "_030");
    EXPECT_TRUE (tens->getDigitCell (1)->isIntegerPart());
    EXPECT_FALSE (tens->getDigitCell (2)->isIntegerPart());
    tens->setValue (12.346, false);
    EXPECT_EQ (cellsOf (*tens), "1235");
}

TEST (NumericDisplay, SkinAttributesAreCheckedAndClamped)
{
    SkinTestBench bench;

    // Not a power of ten: the first digit's unit becomes 10^(digits - 1).
    EXPECT_EQ (makeDisplay (bench, R"(digitsNum="3" firstDigitOrder="50")")->getFirstDigitUnit(), 100.0);
    EXPECT_EQ (makeDisplay (bench, R"(digitsNum="3" firstDigitOrder="-10")")->getFirstDigitUnit(), 100.0);
    // A power of ten written with a rounding error is still one.
    EXPECT_EQ (makeDisplay (bench, R"(digitsNum="4" firstDigitOrder="100.0000000001")")->getFirstDigitUnit(), 100.0);
    EXPECT_EQ (makeDisplay (bench, R"(digitsNum="4" firstDigitOrder="0.001")")->getFirstDigitUnit(), 0.001);

    // A digit count from a broken skin makes at most 15 cells, and none below 0.
    EXPECT_EQ (makeDisplay (bench, R"(digitsNum="4000")")->getNumDigits(), NumericDisplay::maxDigits);
    EXPECT_EQ (makeDisplay (bench, R"(digitsNum="-3")")->getNumDigits(), 0);

    // A range given upside down clamps like the right way up.
    auto reversed = makeDisplay (bench, R"(digitsNum="3" minValue="50" maxValue="-5")");
    EXPECT_EQ (reversed->getRange(), juce::Range<double> (-5.0, 50.0));
    reversed->setValue (80.0, false);
    EXPECT_EQ (reversed->getValue(), 50.0);
    reversed->setValue (-80.0, false);
    EXPECT_EQ (reversed->getValue(), -5.0);
}

TEST (NumericDisplay, DraggingADigitStepsByItsPlaceValue)
{
    SkinTestBench bench;
    // Sign cell 0..9, digits (tens, units, tenths, hundredths) at 10, 20, 30, 40; width 50.
    auto display = makeDisplay (bench, R"(digitsNum="4" firstDigitOrder="10" minValue="0" maxValue="50")");

    EXPECT_EQ (display->getDragStep (30), std::make_pair (0.1, 15));   // the third of four digits: k 2
    EXPECT_EQ (display->getDragStep (0), std::make_pair (10.0, 25));
    EXPECT_NEAR (dragFrom (*display, 30.0f, -29.0f), 0.1, 1e-9);
    display->setValue (0.0, false);
    EXPECT_NEAR (dragFrom (*display, 30.0f, -30.0f), 0.2, 1e-9);
    EXPECT_NEAR (dragFrom (*display, 30.0f, 200.0f), 0.0, 1e-9);        // never below the minimum
    EXPECT_NEAR (dragFrom (*display, 0.0f, -250.0f), 50.0, 1e-9);       // nor above the maximum

    auto continuous = makeDisplay (bench, R"(digitsNum="4" firstDigitOrder="10" maxValue="50" control="continous")");
    EXPECT_EQ (continuous->getDragStep (0), std::make_pair (1.0, 20));
}

TEST (NumericDisplay, DeepDigitsAndAnEmptyDisplayStillDragTheRightWay)
{
    SkinTestBench bench;
    // Eight digits: the sixth and later would have 0 or fewer pixels per step.
    auto display = makeDisplay (bench, R"(digitsNum="8" firstDigitOrder="10000000" maxValue="99999999")");
    const auto x = 10.0f + 10.0f * 7.5f;    // on the last digit, k 7

    EXPECT_EQ (display->getDragStep ((int) x).second, 1);
    EXPECT_NEAR (dragFrom (*display, x, -3.0f), 3.0, 1e-9);                   // up is more

    // A display without cells is 0 pixels wide: a click must not divide by that.
    NumericDisplay empty;
    bench.load (empty, R"(<NumericDisplay digitsNum="2" maxValue="100"/>)");
    EXPECT_EQ (empty.getWidth(), 0);
    EXPECT_EQ (empty.getDragStep (5), std::make_pair (10.0, 25));
}

TEST (NumericDisplay, WritesThePlainValueInAGestureOnlyWhenLinked)
{
    SkinTestBench bench;
    auto display = makeDisplay (bench, R"(digitsNum="3" firstDigitOrder="1" minValue="0" maxValue="1")", "Alpha");

    // The parameter shows its value without a write, clamped to the range.
    bench["Alpha"].setValue (0.25f, true);
    bench["Alpha"].handleUpdateNowIfNeeded();
    EXPECT_NEAR (display->getValue(), 0.25, 1e-6);
    EXPECT_EQ (cellsOf (*display), "025");

    EventLog log;
    log.watch (*display);
    dragFrom (*display, 20.0f, -40.0f);                                 // the tenths: 2 steps of 0.1
    EXPECT_EQ (log.take(), (std::vector<std::string> { "param begin", "control begin", "param change", "control value",
                                                       "param end", "control end" }));
    EXPECT_NEAR (bench["Alpha"].getValue(), 0.45f, 1e-6);
    log.unwatch();

    auto unlinked = makeDisplay (bench, R"(digitsNum="3" firstDigitOrder="1" minValue="0" maxValue="1")");
    log.watch (*unlinked);
    EXPECT_NEAR (dragFrom (*unlinked, 20.0f, -40.0f), 0.2, 1e-9);
    EXPECT_TRUE (log.take().empty());
    log.unwatch();
}
