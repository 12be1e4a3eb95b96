// Byte-level text helpers for code page 1253 strings, the program's text everywhere inside.
#pragma once

#include <string>
#include <string_view>

namespace termdex {

// Text in Windows code page 1253 (Greek), one byte per character, compared as byte values.
using Cp1253 = std::string;
using Cp1253View = std::string_view;

// The text up to its first NUL byte: every text routine reads a string only that far.
Cp1253View UntilNul(Cp1253View text);

// Trim removes leading and trailing bytes of value 32 or less (blanks and control characters).
Cp1253 Trim(Cp1253View text);
Cp1253 TrimLeft(Cp1253View text);
Cp1253 TrimRight(Cp1253View text);

// Lowers only "A".."Z"; Greek capitals stay as they are.
Cp1253 AsciiLower(Cp1253View text);
// Lowers as the Greek locale does: Latin and Greek capitals, the accented capitals and the
// capitals with diaeresis (0xDA to 0xFA, 0xDB to 0xFB). A capital sigma that ends a word
// becomes the final "ς", as Greek is spelled.
Cp1253 LocaleLower(Cp1253View text);
// One byte lowered without its neighbours: "Σ" always becomes "σ".
unsigned char LocaleLowerByte(unsigned char c);

// Latin letters and the Greek letters of code page 1253 (accented and with diaeresis).
bool IsLetter(unsigned char c);
constexpr unsigned char kCapitalSigma = 0xD3, kSmallSigma = 0xF3, kFinalSigma = 0xF2;
// True when the byte at i is the last of text or is followed by a byte that is not a letter:
// where a capital sigma is lowered to "ς" rather than "σ".
bool EndsWordAt(Cp1253View text, size_t i);

// Decimal digit "0".."9".
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The contents of a fixed-width numeric column: the number aligned right, zeros or blanks to its
// left. Anything else (a blank after the digits, a sign, an empty column) is not a number.
bool ParseFixedNumber(std::string_view column, long long &value);

// The 1-based columns first..last of a line, shorter when the line ends earlier.
std::string_view Columns(std::string_view line, size_t first, size_t last);

} // namespace termdex
