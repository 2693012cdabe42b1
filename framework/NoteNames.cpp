#include "framework/NoteNames.h"

namespace NoteNamesDetail
{
// Per pitch class: the letter's position from C, and whether the note is a natural.
constexpr int letterIndexOfPitchClass[12] = { 0, 0, 1, 1, 2, 3, 3, 4, 4, 5, 5, 6 };
constexpr bool naturalPitchClass[12]      = { true, false, true, false, true, true, false, true, false, true, false, true };
constexpr const char* letters[7]          = { "C", "D", "E", "F", "G", "A", "B" };

// The note's pitch class by truncating division, so negative notes give negative classes.
inline int pitchClass (int note) noexcept   { return note % 12; }
} // namespace NoteNamesDetail

juce::String midiNoteName (unsigned int note)
{
    if (note >= 128)
        return {};

    const auto n = (int) note;
    return noteLetterName (n) + (isWhiteKey (n) ? "-" : "#") + noteOctaveText (n);
}

int parseMidiNoteName (const juce::String& text)
{
    if (text.length() != 3)
        return -1;

    const auto letter = text[0];
    const auto sign = text[1];
    const auto octaveChar = text[2];

    if (sign != '-' && sign != '#')
        return -1;

    // Value of each letter as a natural and as a sharp; E and B have no sharp of their own.
    static constexpr int naturalValue[7] = { 9, 11, 0, 2, 4, 5, 7 };   // A to G
    static constexpr int sharpValue[7]   = { 10, 11, 1, 3, 4, 6, 8 };

    if (letter < 'A' || letter > 'G')
        return -1;

    const auto letterPos = (int) (letter - 'A');
    const auto value = sign == '#' ? sharpValue[letterPos] : naturalValue[letterPos];

    int octave;

    if (octaveChar >= '0' && octaveChar <= '9')
        octave = (int) (octaveChar - '0');
    else if (octaveChar == 'X')
        octave = 10;
    else
        return -1;

    return juce::jmin (127, value + 12 * octave);
}

int noteLetterIndex (int note)
{
    const auto p = NoteNamesDetail::pitchClass (note);
    return p < 0 ? 0 : NoteNamesDetail::letterIndexOfPitchClass[p];
}

juce::String noteLetterName (int note)
{
    if (NoteNamesDetail::pitchClass (note) < 0)
        return {};

    return NoteNamesDetail::letters[noteLetterIndex (note)];
}

juce::String noteOctaveText (int note)
{
    const auto octave = note / 12;

    if (octave >= 0 && octave <= 9)
        return juce::String (octave);

    return octave == 10 ? juce::String ("X") : juce::String();
}

bool isWhiteKey (int note)
{
    const auto p = NoteNamesDetail::pitchClass (note);
    return p >= 0 && NoteNamesDetail::naturalPitchClass[p];
}
