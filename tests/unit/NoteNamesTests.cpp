#include <gtest/gtest.h>

#include "framework/NoteNames.h"

TEST (NoteNames, NamesOfNotes)
{
    const struct { unsigned int note; const char* name; } cases[] = {
        { 0, "C-0" }, { 1, "C#0" }, { 4, "E-0" }, { 5, "F-0" }, { 6, "F#0" }, { 11, "B-0" },
        { 59, "B-4" }, { 60, "C-5" }, { 61, "C#5" }, { 70, "A#5" }, { 119, "B-9" }, { 120, "C-X" },
        { 126, "F#X" }, { 127, "G-X" }, { 128, "" }, { 1000, "" }, { 0xffffffffu, "" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (midiNoteName (c.note), juce::String (c.name)) << "note " << c.note;
}

TEST (NoteNames, ParsingNames)
{
    const struct { const char* text; int note; } cases[] = {
        { "C-0", 0 }, { "C-5", 60 }, { "C#5", 61 }, { "E#5", 64 }, { "E-5", 64 }, { "B#0", 11 }, { "B-0", 11 },
        { "G-X", 127 }, { "G#X", 127 }, { "A-X", 127 }, { "B-X", 127 }, { "F#X", 126 }, { "A-9", 117 },
        // Not note names: lower case, flats, other letters and signs, wrong lengths, two-digit octaves.
        { "c-5", -1 }, { "Db5", -1 }, { "Cb5", -1 }, { "H-5", -1 }, { "C+5", -1 }, { "C 5", -1 }, { "C-x", -1 },
        { "C5", -1 }, { "C-10", -1 }, { "C#10", -1 }, { "", -1 }, { "C-5 ", -1 }, { "-C5", -1 },
    };

    for (const auto& c : cases)
        EXPECT_EQ (parseMidiNoteName (c.text), c.note) << c.text;

    // A name of three code points that are not all ASCII is refused, not misread.
    EXPECT_EQ (parseMidiNoteName (juce::String::fromUTF8 ("C\xe2\x99\xaf" "5")), -1);

    for (unsigned int note = 0; note < 128; ++note)
        EXPECT_EQ (parseMidiNoteName (midiNoteName (note)), (int) note);
}

TEST (NoteNames, LettersOctavesAndKeyColours)
{
    const char* letters[] = { "C", "C", "D", "D", "E", "F", "F", "G", "G", "A", "A", "B" };
    const int letterIndices[] = { 0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6 };
    const bool white[] = { true, false, true, false, true, true, false, true, false, true, false, true };

    for (int octave = 0; octave <= 10; ++octave)
    {
        for (int p = 0; p < 12; ++p)
        {
            const auto note = octave * 12 + p;
            EXPECT_EQ (noteLetterName (note), juce::String (letters[p])) << note;
            EXPECT_EQ (noteLetterIndex (note), letterIndices[p]) << note;
            EXPECT_EQ (isWhiteKey (note), white[p]) << note;
            EXPECT_EQ (noteOctaveText (note), octave == 10 ? juce::String ("X") : juce::String (octave)) << note;
        }
    }

    // Negative pitch classes (truncating remainder) and octaves beyond 10 give neutral answers.
    EXPECT_EQ (noteLetterIndex (-1), 0);
    EXPECT_EQ (noteLetterName (-1), "");
    EXPECT_FALSE (isWhiteKey (-12 - 1));
    EXPECT_EQ (noteOctaveText (132), "");
    EXPECT_EQ (noteOctaveText (-13), "");
}
