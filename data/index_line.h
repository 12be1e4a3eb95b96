// The line layouts of the four index files, each defined once: the loader, the build, the writer
// of the reader's files, the tests and the benchmark generator read and write their lines here.
// Columns are 1-based character positions of the decoded line (data/FORMATS.md shows the files).
// Numbers stand right-aligned in their column, zero-padded on writing; blanks to their left are
// read too. Text columns are blank-padded on writing and read with trailing blanks cut.
#pragma once

#include "lib/text.h"

#include <cstddef>
#include <cstring>
#include <string_view>

namespace termdex {

struct IndexColumn
{
    size_t first; // 1-based
    size_t width;
    constexpr size_t Last() const { return first + width - 1; }
};

// "data/TermdexI.tbo": one shipped English entry per line.
struct ShippedEnglishLayout
{
    static constexpr IndexColumn id{1, 5};
    static constexpr IndexColumn headword{6, 126};
    static constexpr IndexColumn descOffset{132, 8}; // 0-based offset in data/Termdex.tbo
    static constexpr IndexColumn descLength{140, 5};
    static constexpr IndexColumn kind{145, 1};       // "L" as built; the load sets the kind itself
    static constexpr IndexColumn matchStart{146, 2}; // "01" as built
    static constexpr IndexColumn reserved{148, 5};   // "00000", never read
    static constexpr size_t length = 152;
};

// "data/TermdexHI.tbo": one shipped Greek headword per line.
struct ShippedGreekLayout
{
    static constexpr IndexColumn id{1, 5};
    static constexpr IndexColumn headword{6, 141};
    static constexpr size_t length = 146;
};

// The reader's English index ("TermdexIC.tbo"). anchor names the shipped entry the line follows;
// a line whose anchor and own id are the same text is a supplement to that entry.
struct CustomEnglishLayout
{
    static constexpr IndexColumn anchor{1, 5};
    static constexpr IndexColumn ownId{6, 5};
    static constexpr IndexColumn headword{11, 80};
    static constexpr IndexColumn position{91, 8}; // 1-based in the reader's description file
    static constexpr IndexColumn length{99, 5};
    static constexpr IndexColumn reference{91, 13}; // position and length, a supplement's reference
    static constexpr size_t lineLength = 103;
};

// A supplement's reference as the load keeps it (CustomEnglishLayout::reference of its line).
struct SupplementRefLayout
{
    static constexpr IndexColumn position{1, 8};
    static constexpr IndexColumn length{9, 5};
    static constexpr size_t lineLength = 13;
};

// The reader's Greek index ("TermdexHIC.tbo"): the headword is written unpadded and read from
// columns 11-90.
struct CustomGreekLayout
{
    static constexpr IndexColumn anchor{1, 5};
    static constexpr IndexColumn ownId{6, 5};
    static constexpr IndexColumn headword{11, 80};
};

// The column's bytes, shorter (or empty) when the line ends inside it.
inline std::string_view ColumnOf(std::string_view line, IndexColumn column)
{
    return Columns(line, column.first, column.Last());
}

// A numeric column: false when the line ends inside it, or it is blank, or a byte after the
// blanks is not a digit. Inline: a load reads four per line.
inline bool ReadNumber(std::string_view line, IndexColumn column, long long &value)
{
    if (line.size() < column.Last())
        return false;
    const char *p = line.data() + column.first - 1;
    const char *const end = p + column.width;
    while (p < end && *p == ' ')
        ++p;
    if (p == end)
        return false;
    long long v = 0;
    for (; p < end; ++p) {
        const unsigned digit = static_cast<unsigned char>(*p) - unsigned('0');
        if (digit > 9)
            return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

// A text column with its trailing blanks (bytes up to 32) cut, read only up to a NUL.
inline std::string_view ReadText(std::string_view line, IndexColumn column)
{
    std::string_view text = ColumnOf(line, column);
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);
    // Headword columns are mostly padding: skip blanks eight at a time first.
    size_t n = text.size();
    constexpr char kBlanks[] = "        ";
    while (n >= 8 && std::memcmp(text.data() + n - 8, kBlanks, 8) == 0)
        n -= 8;
    while (n > 0 && static_cast<unsigned char>(text[n - 1]) <= 32)
        --n;
    return text.substr(0, n);
}

// Writers append the next column to a line built from its first column on. A number wider
// than its column keeps all its digits (the callers check their ranges); a longer text is cut.
void AppendNumber(Cp1253 &line, IndexColumn column, long long value);
void AppendText(Cp1253 &line, IndexColumn column, Cp1253View text);

// Whole lines, as the build, the reader's edits and the test fixtures write them.
Cp1253 FormatShippedEnglishLine(long long id, Cp1253View headword, long long descOffset,
                                long long descLength, long long matchStart = 1);
Cp1253 FormatShippedGreekLine(long long id, Cp1253View headword);
// anchor is a column's text, copied as it stands from the line it came from.
Cp1253 FormatCustomEnglishLine(Cp1253View anchor, long long ownId, Cp1253View headword,
                               long long position, long long length);
Cp1253 FormatCustomGreekLine(long long anchor, long long ownId, Cp1253View headword);

} // namespace termdex
