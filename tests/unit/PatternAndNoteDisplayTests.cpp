#include "gui/controls/NoteDisplay.h"
#include "gui/controls/PatternNumberDisplay.h"
#include "unit/SkinTestSupport.h"

#include <gtest/gtest.h>

namespace PatternAndNoteDisplayTestsDetail
{
using namespace SkinTestSupport;

/** A pattern display with four cells drawn as text (their images do not exist). */
std::unique_ptr<PatternNumberDisplay> makePattern (SkinTestBench& bench, const juce::String& attributes = {})
{
    auto display = std::make_unique<PatternNumberDisplay> ("Pattern");
    bench.load (*display, "<PatternNumberDisplay " + attributes + R"(>
                             <links><link as="connectedTo" param="Steps"/></links>
                             <pos left="5" top="6"/><size width="80" height="20"/>
                             <gfx firstDigit="None.png" secondDigit="None.png" thirdDigit="None.png" fourthDigit="None.png"/>
                           </PatternNumberDisplay>)");
    return display;
}

juce::Array<int> frames (PatternNumberDisplay& display, int value)
{
    display.setValue (value);
    return display.getDigitFrames();
}

/** Drags a note display dy pixels (negative: up) from the middle; the value afterwards. */
int dragNote (NoteDisplay& display, float dy)
{
    const juce::Point<float> from (5.0f, 8.0f);
    Mouse::press (display, from);
    Mouse::drag (display, from, from.translated (0.0f, dy));
    Mouse::release (display, from, from.translated (0.0f, dy));
    return display.getValue();
}
} // namespace PatternAndNoteDisplayTestsDetail

using namespace PatternAndNoteDisplayTestsDetail;

TEST (PatternNumberDisplay, DigitFramesInEachMode)
{
    SkinTestBench bench;
    auto display = makePattern (bench);
    ASSERT_EQ (display->getNumDigits(), 4);
    EXPECT_EQ (display->getBounds(), juce::Rectangle<int> (5, 6, 80, 20));
    EXPECT_EQ (display->getDigit (3)->getBounds(), juce::Rectangle<int> (60, 0, 20, 20));

    // "P.", letter, "#" or "-", octave.
    EXPECT_EQ (frames (*display, 61), juce::Array<int> (11, 11, 11, 6));
    EXPECT_EQ (frames (*display, 0), juce::Array<int> (11, 11, 12, 1));
    EXPECT_EQ (frames (*display, 71), juce::Array<int> (11, 17, 12, 6));
    EXPECT_EQ (frames (*display, 500), juce::Array<int> (11, 15, 12, 11));   // clamped to 127: G, octave 10

    display->setMode (PatternNumberDisplay::numericPattern);
    EXPECT_EQ (display->getValue(), 16);
    EXPECT_EQ (frames (*display, 7), juce::Array<int> (0, 1, 8, 0));
    EXPECT_EQ (frames (*display, 0), juce::Array<int> (0, 1, 2, 0));         // clamped to 1

    // Bank, "-", two-digit slot, counted from 1, twelve slots a bank.
    display->setMode (PatternNumberDisplay::bankAndSlotPattern);
    EXPECT_EQ (frames (*display, 1), juce::Array<int> (2, 18, 1, 2));
    EXPECT_EQ (frames (*display, 12), juce::Array<int> (2, 18, 2, 3));
    EXPECT_EQ (frames (*display, 13), juce::Array<int> (3, 18, 1, 2));
    EXPECT_EQ (frames (*display, 96), juce::Array<int> (9, 18, 2, 3));

    // Disabled, every cell is blank; enabled again, they show the value.
    display->setEnabled (false);
    EXPECT_EQ (display->getDigitFrames(), juce::Array<int> (0, 0, 0, 0));
    display->setEnabled (true);
    EXPECT_EQ (display->getDigitFrames(), juce::Array<int> (9, 18, 2, 3));
}

TEST (PatternNumberDisplay, SkinRangesSlotsAndMissingCells)
{
    SkinTestBench bench;
    EXPECT_EQ (makePattern (bench, R"(slotMax="2")")->getSlotsPerBank(), 4);
    EXPECT_EQ (makePattern (bench, R"(slotMax="40")")->getSlotsPerBank(), 16);
    EXPECT_EQ (makePattern (bench)->getSlotsPerBank(), 12);

    auto ranged = makePattern (bench, R"(notePatternMin="36" notePatternMax="48")");
    EXPECT_EQ (ranged->getValue(), 36);
    bench["Steps"].setIntValue (3, true);
    bench["Steps"].handleUpdateNowIfNeeded();
    EXPECT_EQ (ranged->getValue(), 36);

    // Without "gfx" there are no cells, and showing a value touches none.
    PatternNumberDisplay bare;
    bench.load (bare, R"(<PatternNumberDisplay><size width="40"/></PatternNumberDisplay>)");
    EXPECT_EQ (bare.getNumDigits(), 0);
    EXPECT_EQ (bare.getBounds(), juce::Rectangle<int> (0, 0, 40, 0));
    bare.setValue (60);
    bare.setEnabled (false);
    EXPECT_EQ (bare.getValue(), 60);
}

TEST (NoteDisplay, DraggingMovesASemitoneEveryTwentyPixelsInAGesture)
{
    SkinTestBench bench;
    NoteDisplay display ("Note");
    bench.load (display, R"(<NoteDisplay><size width="60" height="20"/><pos left="2" top="3"/></NoteDisplay>)");

    // Three text cells side by side; the control is as high as the three together.
    EXPECT_EQ (display.getBounds(), juce::Rectangle<int> (2, 3, 60, 60));
    EXPECT_EQ (display.getStripBounds (NoteDisplay::octavesStrip), juce::Rectangle<int> (40, 0, 20, 20));

    display.setBounds (0, 0, 60, 60);
    EXPECT_EQ (dragNote (display, -19.0f), 0);
    EXPECT_EQ (dragNote (display, -20.0f), 1);
    EXPECT_EQ (dragNote (display, -400.0f), 21);
    EXPECT_EQ (dragNote (display, 45.0f), 19);
    EXPECT_EQ (dragNote (display, 4000.0f), 0);
    EXPECT_EQ (dragNote (display, -4000.0f), 127);

    // Linked: one write and one value notice per change, inside the gesture.
    NoteDisplay linked ("Linked");
    bench.load (linked, R"(<NoteDisplay><links><link as="connectedTo" param="Steps"/></links></NoteDisplay>)");
    linked.setBounds (0, 0, 30, 48);
    EventLog log;
    log.watch (linked);
    dragNote (linked, -45.0f);
    EXPECT_EQ (log.take(), (std::vector<std::string> { "param begin", "control begin", "param change", "control value",
                                                       "param end", "control end" }));
    EXPECT_EQ (bench["Steps"].getIntValue(), 2);
}

TEST (NoteDisplay, StripsShowLetterSignAndOctave)
{
    SkinTestBench bench;
    ScopedResources resources;
    resources.add ("Notes.png", makeFilmstrip (12, 16, 9));
    resources.add ("Tones.png", makeFilmstrip (8, 16, 3));
    resources.add ("Octaves.png", makeFilmstrip (10, 16, 13));

    NoteDisplay display ("Note");
    bench.load (display, R"(<NoteDisplay><links><link as="connectedTo" param="Steps"/></links>
                              <gfx><notes resource="Notes.png"/><tones resource="Tones.png"/><octaves resource="Octaves.png"/></gfx>
                            </NoteDisplay>)");
    EXPECT_EQ (display.getStripBounds (NoteDisplay::tonesStrip), juce::Rectangle<int> (12, 0, 8, 16));
    EXPECT_EQ (display.getLocalBounds(), juce::Rectangle<int> (30, 48));

    bench["Steps"].setIntValue (3, true);
    bench["Steps"].handleUpdateNowIfNeeded();
    const auto shown = [&display]
    {
        return juce::Array<int> (shownFrame (display, { 0, 0 }), shownFrame (display, { 12, 0 }), shownFrame (display, { 20, 0 }));
    };
    EXPECT_EQ (shown(), juce::Array<int> (2, 1, 1));        // note 3: D, sharp, octave 0

    display.setEnabled (false);
    EXPECT_EQ (shown(), juce::Array<int> (0, 0, 0));
}
