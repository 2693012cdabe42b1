/*
    MIDI note names of three characters: a letter, "-" for a natural or "#" for a sharp,
    and the octave "0" to "9" or "X" for octave 10. Note 0 is C-0, note 60 is C-5 and
    note 127 is G-X. Sharps are named after the natural below them; there are no flats.
*/
#pragma once

#include <juce_core/juce_core.h>

/** The note's three-character name; an empty String for notes of 128 and above. */
juce::String midiNoteName (unsigned int note);

/** The note number named by a three-character name, or -1 when the text is not a note name. */
int parseMidiNoteName (const juce::String& text);

/** The position of the note's letter from C (0) to B (6); 0 for a negative pitch class. */
int noteLetterIndex (int note);

/** The note's letter "C" to "B"; empty for a negative pitch class. */
juce::String noteLetterName (int note);

/** The note's octave as "0" to "9" or "X" for octave 10; empty for any other octave. */
juce::String noteOctaveText (int note);

/** True when the note is a natural (a white key of the keyboard). */
bool isWhiteKey (int note);
