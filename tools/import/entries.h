// What every importer produces: entries with UTF-8 headwords and a description already written
// as rich-text source, plus what it left out and why.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace termdex::import {

struct Entry
{
    std::string english; // UTF-8
    std::string greek;   // UTF-8; may be empty
    std::string rtf;     // description, ASCII rich-text source (see RichText)
    bool descriptionCut = false;
};

struct Note
{
    std::string entry;  // UTF-8
    std::string reason; // UTF-8
};

struct Parsed
{
    std::vector<Entry> entries;
    std::vector<Note> skipped;
    std::vector<std::string> warnings;
    std::string title;   // the source's own name for itself, when it gives one
    std::string licence; // its terms of use, as the source states them
};

// Any source file is refused above this size; a real dictionary is far smaller.
inline constexpr size_t kMaxSourceBytes = 256u * 1024 * 1024;
// Entries a parser collects before it stops; the build refuses more than a table holds anyway,
// this only bounds the memory a hostile source can ask for.
inline constexpr size_t kMaxParsedEntries = 2'000'000;

// Decodes one code point of UTF-8 at text[at], advancing at; invalid bytes give U+FFFD.
char32_t NextCodePoint(std::string_view text, size_t &at);
void AppendUtf8(std::string &out, char32_t codePoint);
// Polytonic Greek to monotonic: breathings and iota subscripts dropped, grave, acute and
// circumflex to tonos; other characters unchanged.
std::u32string ReducePolytonic(std::u32string_view text);
std::string ReducePolytonicUtf8(std::string_view utf8);
bool IsGreekLetter(char32_t c);
// Blanks (ASCII and Unicode spaces) trimmed from both ends of UTF-8 text.
std::string TrimUtf8(std::string_view text);

// A description written as rich-text source of code page 1253 in plain ASCII: bytes the code
// page holds as \'xx escapes, the rest as \uN escapes whose fallback is the monotonic letter
// when there is one, so the full-text search sees the code-page text. Brackets are escaped too,
// because the authoring text uses runs of them as its field markers.
class RichText
{
public:
    // Text beyond this many bytes of source is dropped and cut() turns true; the index column
    // for a description length holds five digits.
    static constexpr size_t kMaxBytes = 90'000;

    RichText();
    void Text(std::string_view utf8);
    void Bold(bool on);
    void Italic(bool on);
    void LineBreak();
    void Bullet(); // a list item: a line break unless at the start, then a bullet and a space
    bool empty() const { return m_textWritten == 0; }
    bool atLineStart() const { return m_lineEmpty; }
    bool cut() const { return m_cut; }
    // The text written so far as plain UTF-8, line breaks as '\n' (for finding translations).
    const std::string &plain() const { return m_plain; }
    std::string Finish(); // ends bold and italic that are still on

private:
    void Raw(std::string_view source);
    std::string m_out;
    std::string m_plain;
    bool m_bold = false;
    bool m_italic = false;
    size_t m_textWritten = 0;
    bool m_cut = false;
    bool m_lineEmpty = true;
};

} // namespace termdex::import
