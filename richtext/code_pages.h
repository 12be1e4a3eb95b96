// The single-byte Windows code pages that RTF font charsets name, seen from code page 1253.
//
// A Greek document can hold text in a Western, Central European or Cyrillic font: the bytes of
// such a font are characters of its own code page, and the reader turns them into code page
// 1253 bytes where the code page holds the character.
#pragma once

#include <cstdint>

namespace termdex {

// The Windows code page of an RTF \fcharsetN, or 0 when the charset names none (DEFAULT_CHARSET,
// SYMBOL_CHARSET, OEM, Mac and the double-byte charsets): the document's code page applies then.
int CodePageOfCharset(int charset);

// One byte of a code page: its Unicode character and its code page 1253 byte, -1 when 1253
// cannot hold it.
struct CodePageByte
{
    char32_t codePoint;
    int16_t cp1253;
};

// The 256 bytes of a code page, or nullptr when its bytes pass unchanged: 1253 itself, and code
// pages that have no table here (a byte of an unknown page is kept rather than guessed at).
const CodePageByte *CodePageTable(int codePage);

} // namespace termdex
