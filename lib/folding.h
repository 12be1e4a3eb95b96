// Folding of headwords, typed text and description text for matching, so that capitals, Greek
// accents and diaeresis and a fixed set of punctuation marks do not matter. Pure functions.
#pragma once

#include "lib/text.h"

namespace termdex {

// Greek side: keeps Greek letters folded to plain small letters and blanks, drops Latin letters
// and punctuation; digits go while nothing has been kept yet when dropLeadingDigits is set.
// Here and in FoldGreekLetters a capital "Σ" that ends a word folds to "ς" (EndsWordAt).
Cp1253 GreekKey(Cp1253View text, bool dropLeadingDigits);
// English side: drops punctuation (and leading digits when asked), lowers "A".."Z" only.
Cp1253 LatinKey(Cp1253View text, bool dropLeadingDigits);
// Folds Greek capitals and accented letters to plain small letters; drops nothing.
Cp1253 FoldGreekLetters(Cp1253View text);
// The letter fold of the one byte c without its neighbours ("Σ" gives "σ").
unsigned char FoldGreekLetter(unsigned char c);
// True when the first occurrence of word in text (exact bytes) is bounded by non-word characters.
bool ContainsWholeWord(Cp1253View text, Cp1253View word);

// The character classes behind the functions above.
bool IsFoldPunctuation(unsigned char c);
bool IsWordCharacter(unsigned char c);

} // namespace termdex
