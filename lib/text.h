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
// capitals with diaeresis (0xDA to 0xFA, 0xDB to 0xFB).
Cp1253 LocaleLower(Cp1253View text);
unsigned char LocaleLowerByte(unsigned char c);

// Decimal digit "0".."9".
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The contents of a fixed-width numeric column: the number aligned right, zeros or blanks to its
// left. Anything else (a blank after the digits, a sign, an empty column) is not a number.
bool ParseFixedNumber(std::string_view column, long long &value);

// The 1-based columns first..last of a line, shorter when the line ends earlier.
std::string_view Columns(std::string_view line, size_t first, size_t last);

} // namespace termdex
