// Exact conversion between code page 1253 and UTF-8, used only at the program's edges.
//
// The bytes that the code page leaves undefined map to U+0081..U+009F (their own C1 positions)
// and 0xAA, 0xD2, 0xFF to U+F8F9, U+F8FA, U+F8FB, and back the same way, so every byte string
// survives a round trip.
#pragma once

#include "lib/text.h"

#include <optional>
#include <string>
#include <string_view>

namespace termdex {

char32_t Cp1253ToCodePoint(unsigned char byte);
// The byte for a code point, or nullopt when the code page cannot hold it.
std::optional<unsigned char> CodePointToCp1253(char32_t codePoint);

std::string Cp1253ToUtf8(Cp1253View text);
// One code point as UTF-8 (U+FFFD for a surrogate or a point past U+10FFFF).
std::string CodePointToUtf8(char32_t codePoint);

// Where strict UTF-8 fails, in words ("invalid UTF-8 at byte 3: overlong form"), or nullopt for
// valid text. Overlong forms (C0 80 for NUL among them), surrogates, code points past U+10FFFF,
// stray continuation bytes and truncated sequences are all invalid.
std::optional<std::string> Utf8Error(std::string_view utf8);

struct Utf8Conversion
{
    std::optional<Cp1253> text; // nullopt when the input cannot be held
    bool invalidUtf8 = false;   // the input is not UTF-8 at all (problem says where)
    std::string problem;        // UTF-8 of the first character refused, or Utf8Error's words
};
Utf8Conversion Utf8ToCp1253(std::string_view utf8);

} // namespace termdex
