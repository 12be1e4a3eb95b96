// The RTF reader's state machine, shared by the files that make it up: rtf_interpreter.cpp
// (tokens, groups, fonts and the content it reports), rtf_control_words.cpp (what each control
// word does in each destination) and rtf_text_path.cpp (the fast path through stretches of text).
// Not for callers: they use rtf_reader.h.
#pragma once

#include "richtext/code_pages.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_words.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

namespace termdex::rtf {

// Groups nested deeper than this are counted but share the state of the deepest one kept.
constexpr size_t kMaxGroupDepth = 256;
constexpr size_t kMaxWordLength = 32;
constexpr int kMaxParamDigits = 10;
constexpr size_t kMaxFontNameLength = 256;
constexpr size_t kMaxCells = 64;
constexpr int kMaxUnicodeSkip = 64;

// Bytes that end a stretch of plain text: group and control characters and every control byte.
constexpr std::array<bool, 256> MakeSpecial()
{
    std::array<bool, 256> special{};
    for (int c = 0; c < 0x20; ++c)
        special[c] = true;
    special['{'] = special['}'] = special['\\'] = true;
    return special;
}
inline constexpr std::array<bool, 256> kSpecial = MakeSpecial();

enum class Destination : uint8_t { Text, FontTable, ColorTable, Picture };

struct CharState
{
    int font = -1; // -1: the document's default font (\deffN)
    int size = 24;
    int foreground = -1; // colour table index, -1 for automatic
    int background = -1; // colour table index, -1 for none
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    VerticalPosition vertical = VerticalPosition::Normal;
    bool operator==(const CharState &) const = default;
};

struct State
{
    CharState chars;
    ParagraphFormat paragraph;
    int unicodeSkip = 1; // \ucN
    Destination destination = Destination::Text;
};

struct ControlWord
{
    std::string_view name; // empty when longer than any word we know
    bool hasParam = false;
    int param = 0;
};

struct FontEntry
{
    int number = 0;
    int charset = 1;
    Cp1253 name;
};

// Reads one document, or a prefix of one and then what follows it, reporting to a sink.
class Reader
{
public:
    Reader(Cp1253View input, RtfSink &sink) : m_sink(&sink)
    {
        SetInput(input);
        m_stack.reserve(kMaxGroupDepth + 1);
        m_stack.emplace_back();
    }

    // Text and \'hh escapes one token at a time, never through FastText: the reference that
    // the fast path is tested against.
    void SetByteByByte(bool on) { m_byteByByte = on; }

    void Run()
    {
        ReadAll();
        Finish();
    }

    // Reads the input, leaving the document open: what a prefix of a longer document leaves.
    void ReadAll();
    // The end of the input is the end of the document.
    void Finish();

    // True when the input ended inside a token that more bytes would have continued (a control
    // word and its number, a cut-off \'h, \binN data, a skipped group): reading on from here is
    // then not reading the joined text.
    bool RanOut() const { return m_ranOut; }

    // Becomes saved, which has read the bytes just before input, and reads on into sink as a
    // reader of those bytes followed by input would.
    void Resume(const Reader &saved, Cp1253View input, RtfSink &sink);

private:
    State &Top() { return m_stack.back(); }
    size_t Depth() const { return m_stack.size() + m_overflow; }

    void SetInput(Cp1253View input)
    {
        m_p = reinterpret_cast<const unsigned char *>(input.data());
        m_end = m_p + input.size();
        m_ranOut = false;
    }

    // ---- the text fast path (rtf_text_path.cpp)

    // Bytes of text are in the document's text with no \uN fallback left to drop: each text
    // byte and \'hh escape then only adds its byte to the run.
    bool FastTextOpen()
    {
        return !m_byteByByte && m_unicodeSkipLeft == 0 && Top().destination == Destination::Text;
    }

    // Takes a stretch of text bytes and \'hh escapes of bytes from 0x20 up into the run, in one
    // loop, exactly as Characters and HexByte would one token at a time. Stops before any other
    // token and before a byte that the current font's code page cannot give in code page 1253
    // (the general path reports it as a code point). Returns false when it took nothing.
    bool FastText();
    template <bool kDecodes> bool FastTextIn(const CodePageByte *decoder);

    // ---- groups and tokens (rtf_interpreter.cpp)

    void OpenGroup();
    void CloseGroup();
    // Leaves out the rest of the current group, then closes it.
    void SkipGroup();
    ControlWord ReadControlWord();
    void SkipBytes(int count);
    void Control();
    // A byte written as \'hh; tokenStart is where its backslash lies.
    void HexByte(unsigned char byte, const unsigned char *tokenStart);
    // One stretch of bytes that are neither braces nor backslashes.
    void Characters();
    // True when the token is one of the fallback characters after \uN, to be left out.
    bool ConsumeUnicodeSkip();

    // ---- control words (rtf_control_words.cpp)

    void HandleWord(Word word, const ControlWord &w);
    void BinaryData(int count);
    void TextWord(Word word, const ControlWord &w);
    void DocumentWord(Word word, const ControlWord &w);
    void DestinationWord(Word word, const ControlWord &w);
    void BreakWord(Word word, const ControlWord &w);
    void TableWord(Word word, const ControlWord &w);
    void CharacterWord(Word word, const ControlWord &w);
    void ParagraphWord(Word word, const ControlWord &w);
    void UnicodeWord(Word word, const ControlWord &w);
    void SymbolWord(Word word, const ControlWord &w);
    void FontTableWord(Word word, const ControlWord &w);
    void ColorTableWord(Word word, const ControlWord &w);
    void PictureWord(Word word, const ControlWord &w);
    using WordHandler = void (Reader::*)(Word, const ControlWord &);
    static const std::array<WordHandler, size_t(Word::Count)> kTextWords;

    // ---- fonts and colours (rtf_interpreter.cpp)

    void AddFontNameByte(char c);
    void FinishFont();
    int CurrentFont() { return Top().chars.font < 0 ? m_defaultFont : Top().chars.font; }
    const FontEntry *FindFont(int number);
    // The table that turns the current font's bytes into code page 1253, nullptr for as is.
    const CodePageByte *Decoder();
    std::optional<RgbColor> ColorAt(int index) const;
    const CharFormat &Format();

    // ---- content (rtf_interpreter.cpp)

    void StartRowIfNeeded();
    // Called before any content: a paragraph marked \intbl outside a row begins one.
    void BeginContent();
    void FlushRun();
    // Bytes of the current font's code page.
    void AddText(const unsigned char *begin, const unsigned char *end);
    // A byte already in code page 1253.
    void AddByte(char byte);
    void AddCodePoint(char32_t codePoint);
    void UnicodeEscape(int param);
    void ParagraphEnd();
    void EmitPicture();

    const unsigned char *m_p = nullptr;
    const unsigned char *m_end = nullptr;
    RtfSink *m_sink;
    bool m_done = false;
    bool m_ranOut = false;     // the input ended inside a token
    bool m_byteByByte = false; // FastText is not used

    std::vector<State> m_stack;   // [0]: outside any group
    size_t m_overflow = 0;        // groups opened beyond kMaxGroupDepth, not on the stack
    bool m_star = false;          // "\*" seen: the next control word may be skipped with its group
    int m_unicodeSkipLeft = 0;    // fallback characters still to leave out after \uN
    char32_t m_highSurrogate = 0; // \uN of a high surrogate, waiting for its low half
    const unsigned char *m_afterEscapedCr = nullptr;

    int m_documentCodePage = 1253; // \ansicpgN; a Greek system's code page when not given
    int m_defaultFont = 0;

    std::vector<FontEntry> m_fonts;
    std::unordered_map<int, size_t> m_fontIndex;
    FontEntry m_font; // the font table entry being read
    bool m_fontPending = false;
    size_t m_fontDepth = 0; // the group depth of its \f: closing that group ends the entry
    const FontEntry *m_cachedFont = nullptr;
    int m_cachedFontNumber = 0;
    bool m_cachedFontValid = false;

    const CodePageByte *m_decoder = nullptr;
    int m_decoderFont = 0;
    bool m_decoderValid = false;

    std::vector<std::optional<RgbColor>> m_colors;
    RgbColor m_color;
    bool m_colorGiven = false;

    TableRowFormat m_row;
    bool m_inRow = false;

    Picture m_picture;
    int m_highNibble = -1;

    Cp1253 m_run;
    CharFormat m_format;
};

} // namespace termdex::rtf
