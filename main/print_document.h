// The print document of an entry: the RTF that the description view writes for the entry on
// display, with a header line and a small table of the headword and its rendering spliced in
// before the description's first font size. Everything here works on code page 1253 bytes;
// positions are 0-based.
#pragma once

#include "lib/text.h"

#include <cstddef>
#include <optional>

namespace termdex {

class MainLexCore;

constexpr size_t kPrintJobTitleLimit = 135; // characters of the job title at most

// The header line printed above every entry: the title, a hyphen and the rights notice naming
// the publisher, 64 characters.
const Cp1253 &PrintHeaderLine();

// The text split into lines at CR, LF or CR LF and joined again with CR LF after every line
// (so a non-empty result ends with CR LF).
Cp1253 WithCrLfLines(Cp1253View text);

// The font selector: the one character after "\f" of the nearest font control word of exactly
// one character ("\fN\") before the first "\fcharset161"; '0' when there is none. Font numbers
// of two or more digits never match.
char GreekFontSelector(Cp1253View rtf);

// Where the document is cut: the index of the nearest space or "}" at or before the first
// "\fs" whose next character is "1" or "2", or whose third character after it is a backslash,
// a space or a brace (other "\fs" words, as \fswiss, are skipped). nullopt when no "\fs" is
// accepted or no space or "}" stands before the accepted one.
std::optional<size_t> PrintCutPoint(Cp1253View rtf);

// Every byte as "\'" and two upper-case hexadecimal digits.
Cp1253 EscapeForPrint(Cp1253View text);

// The two value cells of the printed table, in the order they are printed.
struct PrintCells
{
    Cp1253 headword;  // "Λήμμα": the term in the lookup language
    Cp1253 rendering; // "Απόδοση": its rendering
};

struct PrintDocument
{
    Cp1253 rtf;            // three lines, each ending in CR LF: head, body, "}}}"
    char font = '0';       // the font selector used by the added fragments
    size_t cut = 0;        // the index in the line-joined RTF where head and body meet
    bool cutAtSize = true; // false: no font size was accepted and the whole document follows
};

// Builds the print document from the RTF written for the description view; the body is the
// whole description from the cut on, however long. When no "\fs" is accepted the cut falls at the
// end of the document's tables instead (the last space or "}" before its first "\pard", else before
// its last character), so the whole description is printed after the head.
PrintDocument BuildPrintDocument(Cp1253View writtenRtf, const PrintCells &cells);

// "Zoveduz: " followed by the English term, cut to kPrintJobTitleLimit characters.
Cp1253 PrintJobTitle(Cp1253View englishTerm);

// What the print button prints for the selected list item.
struct PrintRequest
{
    PrintCells cells;
    Cp1253 jobTitle;
};

// The selected item's English record and its linked Greek record: the cells (swapped in Greek
// mode) and the job title. nullopt when no item is selected or its record is not a record;
// then nothing is printed. A selected item that is not the entry on display is displayed
// first (as a click on it does), so that the description printed is its own.
std::optional<PrintRequest> Print_ButtonClick(MainLexCore &core);

} // namespace termdex
