#include "richtext/rtf_reader.h"

#include "lib/cp1253.h"
#include "richtext/code_pages.h"
#include "richtext/rtf_reader_reference.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <limits>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace termdex {

void RtfSink::OnText(Cp1253View, const CharFormat &) {}
void RtfSink::OnUnicode(char32_t, const CharFormat &) {}
void RtfSink::OnParagraphEnd(const ParagraphFormat &) {}
void RtfSink::OnLineBreak(const CharFormat &) {}
void RtfSink::OnPageBreak() {}
void RtfSink::OnRowStart(const TableRowFormat &) {}
void RtfSink::OnCellEnd(const ParagraphFormat &) {}
void RtfSink::OnRowEnd(const TableRowFormat &) {}
void RtfSink::OnPicture(const Picture &, const CharFormat &) {}
void RtfSink::OnDocumentEnd(const ParagraphFormat &) {}

bool LooksLikeRtf(Cp1253View input) { return input.substr(0, 5) == "{\\rtf"; }

namespace {

// Groups nested deeper than this are counted but share the state of the deepest one kept.
constexpr size_t kMaxGroupDepth = 256;
constexpr size_t kMaxWordLength = 32;
constexpr int kMaxParamDigits = 10;
constexpr size_t kMaxFontNameLength = 256;
constexpr size_t kMaxCells = 64;
constexpr int kMaxUnicodeSkip = 64;

enum class Word : uint8_t {
    Unknown,
    Skip, // a destination whose whole group is left out
    Ansicpg,
    B,
    Bin,
    Blue,
    Bullet,
    Cb,
    Cell,
    Cellx,
    Cf,
    Colortbl,
    Deff,
    Dibitmap,
    Emdash,
    Emfblip,
    Emspace,
    Endash,
    Enspace,
    F,
    Fcharset,
    Fi,
    Fonttbl,
    Fs,
    Green,
    Highlight,
    I,
    Intbl,
    Jpegblip,
    Ldblquote,
    Li,
    Line,
    Lquote,
    Mac,
    Nosupersub,
    Page,
    Par,
    Pard,
    Pc,
    Pca,
    Pich,
    Pichgoal,
    Picscalex,
    Picscaley,
    Pict,
    Picw,
    Picwgoal,
    Plain,
    Pngblip,
    Qc,
    Qj,
    Ql,
    Qr,
    Rdblquote,
    Red,
    Ri,
    Row,
    Rquote,
    Sa,
    Sb,
    Sect,
    Shppict,
    Strike,
    Sub,
    Super,
    Tab,
    Trgaph,
    Trleft,
    Trowd,
    Trqc,
    Trql,
    Trqr,
    U,
    Uc,
    Ul,
    Ulnone,
    Wbitmap,
    Wbmbitspixel,
    Wbmwidthbytes,
    Wmetafile,
};

struct WordEntry
{
    std::string_view name;
    Word word;
};

// Underline styles all count as underline; destinations whose
// text is not part of the document (document information, styles, headers, field instructions,
// revision and list tables, the metafile twin of a picture) are skipped whole.
constexpr WordEntry kWords[] = {
    {"annotation", Word::Skip},
    {"ansicpg", Word::Ansicpg},
    {"atnauthor", Word::Skip},
    {"atndate", Word::Skip},
    {"atnid", Word::Skip},
    {"atnref", Word::Skip},
    {"author", Word::Skip},
    {"b", Word::B},
    {"bin", Word::Bin},
    {"bkmkend", Word::Skip},
    {"bkmkstart", Word::Skip},
    {"blue", Word::Blue},
    {"bullet", Word::Bullet},
    {"buptim", Word::Skip},
    {"cb", Word::Cb},
    {"cell", Word::Cell},
    {"cellx", Word::Cellx},
    {"cf", Word::Cf},
    {"colortbl", Word::Colortbl},
    {"comment", Word::Skip},
    {"creatim", Word::Skip},
    {"datastore", Word::Skip},
    {"deff", Word::Deff},
    {"dibitmap", Word::Dibitmap},
    {"doccomm", Word::Skip},
    {"docvar", Word::Skip},
    {"emdash", Word::Emdash},
    {"emfblip", Word::Emfblip},
    {"emspace", Word::Emspace},
    {"endash", Word::Endash},
    {"enspace", Word::Enspace},
    {"f", Word::F},
    {"fcharset", Word::Fcharset},
    {"fi", Word::Fi},
    {"filetbl", Word::Skip},
    {"fldinst", Word::Skip},
    {"fonttbl", Word::Fonttbl},
    {"footer", Word::Skip},
    {"footerf", Word::Skip},
    {"footerl", Word::Skip},
    {"footerr", Word::Skip},
    {"footnote", Word::Skip},
    {"fs", Word::Fs},
    {"ftncn", Word::Skip},
    {"ftnsep", Word::Skip},
    {"ftnsepc", Word::Skip},
    {"generator", Word::Skip},
    {"green", Word::Green},
    {"header", Word::Skip},
    {"headerf", Word::Skip},
    {"headerl", Word::Skip},
    {"headerr", Word::Skip},
    {"highlight", Word::Highlight},
    {"i", Word::I},
    {"info", Word::Skip},
    {"intbl", Word::Intbl},
    {"jpegblip", Word::Jpegblip},
    {"keywords", Word::Skip},
    {"latentstyles", Word::Skip},
    {"ldblquote", Word::Ldblquote},
    {"li", Word::Li},
    {"line", Word::Line},
    {"listoverridetable", Word::Skip},
    {"listtable", Word::Skip},
    {"lquote", Word::Lquote},
    {"mac", Word::Mac},
    {"nestcell", Word::Cell},
    {"nestrow", Word::Row},
    {"nonshppict", Word::Skip},
    {"nosupersub", Word::Nosupersub},
    {"objdata", Word::Skip},
    {"operator", Word::Skip},
    {"page", Word::Page},
    {"par", Word::Par},
    {"pard", Word::Pard},
    {"pc", Word::Pc},
    {"pca", Word::Pca},
    {"pgdsctbl", Word::Skip},
    {"pich", Word::Pich},
    {"pichgoal", Word::Pichgoal},
    {"picscalex", Word::Picscalex},
    {"picscaley", Word::Picscaley},
    {"pict", Word::Pict},
    {"picw", Word::Picw},
    {"picwgoal", Word::Picwgoal},
    {"plain", Word::Plain},
    {"pn", Word::Skip},
    {"pngblip", Word::Pngblip},
    {"printim", Word::Skip},
    {"private", Word::Skip},
    {"qc", Word::Qc},
    {"qd", Word::Qj},
    {"qj", Word::Qj},
    {"ql", Word::Ql},
    {"qr", Word::Qr},
    {"rdblquote", Word::Rdblquote},
    {"red", Word::Red},
    {"revtbl", Word::Skip},
    {"revtim", Word::Skip},
    {"ri", Word::Ri},
    {"row", Word::Row},
    {"rquote", Word::Rquote},
    {"rsidtbl", Word::Skip},
    {"rxe", Word::Skip},
    {"sa", Word::Sa},
    {"sb", Word::Sb},
    {"sect", Word::Sect},
    {"shppict", Word::Shppict},
    {"strike", Word::Strike},
    {"striked", Word::Strike},
    {"stylesheet", Word::Skip},
    {"sub", Word::Sub},
    {"subject", Word::Skip},
    {"super", Word::Super},
    {"tab", Word::Tab},
    {"tc", Word::Skip},
    {"themedata", Word::Skip},
    {"title", Word::Skip},
    {"trgaph", Word::Trgaph},
    {"trleft", Word::Trleft},
    {"trowd", Word::Trowd},
    {"trqc", Word::Trqc},
    {"trql", Word::Trql},
    {"trqr", Word::Trqr},
    {"txe", Word::Skip},
    {"u", Word::U},
    {"uc", Word::Uc},
    {"ul", Word::Ul},
    {"uld", Word::Ul},
    {"uldash", Word::Ul},
    {"uldashd", Word::Ul},
    {"uldashdd", Word::Ul},
    {"uldb", Word::Ul},
    {"ulhwave", Word::Ul},
    {"ulldash", Word::Ul},
    {"ulnone", Word::Ulnone},
    {"ulth", Word::Ul},
    {"ulthd", Word::Ul},
    {"ulthdash", Word::Ul},
    {"ulthdashd", Word::Ul},
    {"ulthdashdd", Word::Ul},
    {"ulthldash", Word::Ul},
    {"ululdbwave", Word::Ul},
    {"ulw", Word::Ul},
    {"ulwave", Word::Ul},
    {"userprops", Word::Skip},
    {"wbitmap", Word::Wbitmap},
    {"wbmbitspixel", Word::Wbmbitspixel},
    {"wbmwidthbytes", Word::Wbmwidthbytes},
    {"wmetafile", Word::Wmetafile},
    {"xe", Word::Skip},
    {"xmlnstbl", Word::Skip},
};

constexpr uint32_t HashName(std::string_view name)
{
    uint32_t hash = 2166136261u; // FNV-1a
    for (char c : name)
        hash = (hash ^ uint8_t(c)) * 16777619u;
    return hash;
}

// An open-addressing table over kWords, built at compile time: one hash and, for a known word,
// one comparison per control word.
constexpr size_t kWordSlots = 512;
struct WordTable
{
    std::array<int16_t, kWordSlots> slot{};
    constexpr WordTable()
    {
        for (auto &s : slot)
            s = -1;
        for (size_t i = 0; i < std::size(kWords); ++i) {
            size_t at = HashName(kWords[i].name) % kWordSlots;
            while (slot[at] >= 0)
                at = (at + 1) % kWordSlots;
            slot[at] = int16_t(i);
        }
    }
};
constexpr WordTable kWordTable;
static_assert(std::size(kWords) < kWordSlots / 2, "keep the word table sparse");

Word LookUp(std::string_view name)
{
    for (size_t at = HashName(name) % kWordSlots;; at = (at + 1) % kWordSlots) {
        const int index = kWordTable.slot[at];
        if (index < 0)
            return Word::Unknown;
        if (kWords[index].name == name)
            return kWords[index].word;
    }
}

// Bytes that end a stretch of plain text: group and control characters and every control byte.
constexpr std::array<bool, 256> MakeSpecial()
{
    std::array<bool, 256> special{};
    for (int c = 0; c < 0x20; ++c)
        special[c] = true;
    special['{'] = special['}'] = special['\\'] = true;
    return special;
}
constexpr std::array<bool, 256> kSpecial = MakeSpecial();

int HexValue(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The two bytes that begin a \'hh escape, as LoadBytes reads them.
constexpr uint64_t kEscapeStart = '\\' | '\'' << 8;

// The digits of an escape as tables that OR to the escaped byte, or to more than 0xFF when the
// digits are not hexadecimal or the byte is a control byte (below 0x20: a first digit below 2).
constexpr std::array<uint16_t, 256> MakeEscapeDigits(bool first)
{
    std::array<uint16_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
            digit = (c | 0x20) - 'a' + 10;
        if (first)
            table[c] = uint16_t(digit >= 2 ? digit << 4 : 0x100);
        else
            table[c] = uint16_t(digit >= 0 ? digit : 0x100);
    }
    return table;
}
constexpr std::array<uint16_t, 256> kEscapeHigh = MakeEscapeDigits(true);
constexpr std::array<uint16_t, 256> kEscapeLow = MakeEscapeDigits(false);

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

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
    void ReadAll()
    {
        while (m_p < m_end && !m_done) {
            switch (*m_p) {
            case '{':
                ++m_p;
                OpenGroup();
                break;
            case '}':
                ++m_p;
                CloseGroup();
                break;
            case '\\':
                if (m_p + 1 < m_end && m_p[1] == '\'' && FastTextOpen() && FastText())
                    break;
                ++m_p;
                Control();
                break;
            case '\r':
            case '\n':
            case '\0':
                ++m_p;
                break;
            default:
                if (FastTextOpen() && FastText())
                    break;
                Characters();
                break;
            }
        }
    }

    // The end of the input is the end of the document.
    void Finish()
    {
        if (Top().destination == Destination::Picture)
            EmitPicture();
        FlushRun();
        m_sink->OnDocumentEnd(Top().paragraph);
    }

    // True when the input ended inside a token that more bytes would have continued (a control
    // word and its number, a cut-off \'h, \binN data, a skipped group): reading on from here is
    // then not reading the joined text.
    bool RanOut() const { return m_ranOut; }

    // Becomes saved, which has read the bytes just before input, and reads on into sink as a
    // reader of those bytes followed by input would.
    void Resume(const Reader &saved, Cp1253View input, RtfSink &sink)
    {
        *this = saved;
        m_stack.reserve(kMaxGroupDepth + 1); // kept from one document to the next
        m_sink = &sink;
        m_cachedFont = nullptr; // it pointed into saved's font table
        m_cachedFontValid = false;
        const unsigned char *savedEnd = saved.m_end;
        SetInput(input);
        // An escaped CR at the very end of saved's input pairs with an escaped LF that opens
        // this one; any other position lies in the other text and matches no token here.
        m_afterEscapedCr = saved.m_afterEscapedCr == savedEnd ? m_p : nullptr;
    }

private:
    State &Top() { return m_stack.back(); }
    size_t Depth() const { return m_stack.size() + m_overflow; }

    void SetInput(Cp1253View input)
    {
        m_p = reinterpret_cast<const unsigned char *>(input.data());
        m_end = m_p + input.size();
        m_ranOut = false;
    }

    // ---- the text fast path

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
    bool FastText()
    {
        const CodePageByte *decoder = Decoder();
        return decoder == nullptr ? FastTextIn<false>(nullptr) : FastTextIn<true>(decoder);
    }

    // One token of a text stretch from the four bytes that begin it, the first in the lowest
    // byte: a text byte, or a \'hh escape of a byte from 0x20 up.
    struct TextToken
    {
        unsigned value;  // the byte it gives, in the font's code page
        unsigned length; // 1, or 4 for an escape
        bool ends;       // it is no such token: the stretch ends before it
    };
    static TextToken TokenAt(uint64_t bytes)
    {
        const unsigned c = unsigned(bytes & 0xFF);
        if ((bytes & 0xFFFF) != kEscapeStart)
            return {c, 1, kSpecial[c]};
        const unsigned byte = kEscapeHigh[(bytes >> 16) & 0xFF] | kEscapeLow[(bytes >> 24) & 0xFF];
        return {byte, 4, byte > 0xFF};
    }

    // count (at most 8) bytes from p, the first in the lowest byte.
    static uint64_t LoadBytes(const unsigned char *p, size_t count)
    {
        uint64_t bytes = 0;
        if constexpr (std::endian::native == std::endian::little) {
            std::memcpy(&bytes, p, count);
        } else {
            for (size_t i = 0; i < count; ++i)
                bytes |= uint64_t(p[i]) << (8 * i);
        }
        return bytes;
    }

    template <bool kDecodes> bool FastTextIn(const CodePageByte *decoder)
    {
        const unsigned char *p = m_p;
        const unsigned char *const end = m_end;
        char buffer[512];
        size_t n = 0;
        bool took = false;
        bool ended = false; // the token at p is known to end the stretch
        auto flush = [&] {
            if (n == 0)
                return;
            if (!took) {
                BeginContent(); // once: no text byte changes what it looks at
                took = true;
            }
            m_run.append(buffer, n);
            n = 0;
        };
        if constexpr (!kDecodes) {
            // Runs of escapes, then runs of text bytes: each loop predicts well inside a word,
            // and a stretch turns from one to the other once or twice a word. Each chunk of
            // input is at most the room left in the buffer, so its output fits.
            for (;;) {
                if (sizeof buffer - n < 64)
                    flush();
                const size_t room = sizeof buffer - n;
                const unsigned char *const chunkEnd = size_t(end - p) > room ? p + room : end;
                const unsigned char *const escapesEnd = chunkEnd - p >= 4 ? chunkEnd - 3 : p;
                for (;;) {
                    while (p < escapesEnd && LoadBytes(p, 2) == kEscapeStart) {
                        const unsigned byte = kEscapeHigh[p[2]] | kEscapeLow[p[3]];
                        if (byte > 0xFF)
                            break;
                        buffer[n++] = char(byte);
                        p += 4;
                    }
                    // Most often one blank and the next word of escapes follow.
                    if (p + 1 < escapesEnd && p[0] == ' ' && LoadBytes(p + 1, 2) == kEscapeStart) {
                        buffer[n++] = ' ';
                        ++p;
                        continue;
                    }
                    const unsigned char *const textStart = p;
                    while (p < chunkEnd && !kSpecial[*p])
                        buffer[n++] = char(*p++);
                    if (p == textStart || p >= escapesEnd || LoadBytes(p, 2) != kEscapeStart)
                        break;
                }
                ended = p < escapesEnd;
                if (ended || chunkEnd == end)
                    break; // at a token that ends the stretch, or near the end of the input
            }
        }
        // One token at a time: text in a font that needs decoding, and the last bytes of the
        // input.
        while (!ended && p < end) {
            if (n == sizeof buffer)
                flush();
            unsigned value = *p;
            unsigned length = 1;
            if (end - p >= 4) {
                const TextToken token = TokenAt(LoadBytes(p, 4));
                if (token.ends)
                    break;
                value = token.value;
                length = token.length;
            } else if (kSpecial[value]) {
                break;
            }
            if constexpr (kDecodes) {
                if (value >= 0x80) {
                    if (decoder[value].cp1253 < 0)
                        break;
                    value = unsigned(decoder[value].cp1253);
                }
            }
            buffer[n++] = char(value);
            p += length;
        }
        flush();
        if (took)
            m_star = false;
        m_p = p;
        return took;
    }

    // ---- groups

    void OpenGroup()
    {
        m_unicodeSkipLeft = 0;
        m_star = false;
        if (m_stack.size() <= kMaxGroupDepth)
            m_stack.push_back(Top());
        else
            ++m_overflow;
    }

    void CloseGroup()
    {
        m_unicodeSkipLeft = 0;
        m_star = false;
        if (m_overflow > 0) {
            --m_overflow;
            return;
        }
        // m_stack[0] is the state outside any group, m_stack[1] the document's outer group.
        if (m_stack.size() <= 2) {
            m_done = true;
            return;
        }
        const State &closing = m_stack[m_stack.size() - 1];
        const State &outer = m_stack[m_stack.size() - 2];
        if (closing.destination == Destination::FontTable && Depth() <= m_fontDepth)
            FinishFont();
        else if (closing.destination == Destination::Picture &&
                 outer.destination != Destination::Picture)
            EmitPicture();
        if (!(closing.chars == outer.chars))
            FlushRun();
        m_stack.pop_back();
    }

    // Leaves out the rest of the current group, then closes it.
    void SkipGroup()
    {
        m_star = false;
        size_t depth = 1;
        while (m_p < m_end) {
            const unsigned char c = *m_p++;
            if (c == '{') {
                ++depth;
            } else if (c == '}') {
                if (--depth == 0) {
                    CloseGroup();
                    return;
                }
            } else if (c == '\\' && m_p < m_end) {
                if (IsLetter(*m_p)) {
                    const ControlWord word = ReadControlWord();
                    if (word.name == "bin")
                        SkipBytes(word.param);
                } else {
                    ++m_p; // a control symbol; the digits of \'hh are harmless here
                }
            }
        }
        m_ranOut = true;
    }

    // ---- tokens

    ControlWord ReadControlWord()
    {
        ControlWord word;
        const unsigned char *start = m_p;
        while (m_p < m_end && IsLetter(*m_p))
            ++m_p;
        const size_t length = size_t(m_p - start);
        if (length <= kMaxWordLength)
            word.name = std::string_view(reinterpret_cast<const char *>(start), length);
        bool negative = false;
        if (m_p == m_end || (*m_p == '-' && m_p + 1 == m_end))
            m_ranOut = true; // more letters, a number or its sign would belong to the word
        if (m_p < m_end && *m_p == '-' && m_p + 1 < m_end && IsDigit(char(m_p[1]))) {
            negative = true;
            ++m_p;
        }
        if (m_p < m_end && IsDigit(char(*m_p))) {
            word.hasParam = true;
            long long value = 0;
            int digits = 0;
            while (m_p < m_end && IsDigit(char(*m_p))) {
                if (digits++ < kMaxParamDigits)
                    value = value * 10 + (*m_p - '0');
                ++m_p;
            }
            if (negative)
                value = -value;
            value = std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                          std::numeric_limits<int>::max());
            word.param = int(value);
            if (m_p == m_end)
                m_ranOut = true;
        }
        if (m_p < m_end && *m_p == ' ')
            ++m_p;
        return word;
    }

    void SkipBytes(int count)
    {
        const size_t n = std::min<size_t>(size_t(std::max(count, 0)), size_t(m_end - m_p));
        m_ranOut |= size_t(std::max(count, 0)) > n;
        m_p += n;
    }

    void Control()
    {
        if (m_p >= m_end) {
            m_ranOut = true;
            return;
        }
        if (IsLetter(*m_p)) {
            const ControlWord word = ReadControlWord();
            HandleWord(word.name.empty() ? Word::Unknown : LookUp(word.name), word);
            return;
        }
        const unsigned char *tokenStart = m_p - 1;
        const unsigned char symbol = *m_p++;
        if (symbol == '\'') {
            // A cut-off escape ("\'", "\'4") takes its digits with it and shows nothing.
            int value = 0;
            int digits = 0;
            while (digits < 2 && m_p < m_end && HexValue(*m_p) >= 0) {
                value = value * 16 + HexValue(*m_p++);
                ++digits;
            }
            if (digits == 2)
                HexByte(static_cast<unsigned char>(value), tokenStart);
            else if (m_p == m_end)
                m_ranOut = true;
            return;
        }
        if (symbol == '*') {
            m_star = true;
            return;
        }
        m_star = false;
        if (ConsumeUnicodeSkip())
            return;
        const Destination destination = Top().destination;
        if (symbol == '\\' || symbol == '{' || symbol == '}') {
            if (destination == Destination::Text)
                AddByte(char(symbol));
            else if (destination == Destination::FontTable)
                AddFontNameByte(char(symbol));
            return;
        }
        if (destination != Destination::Text)
            return;
        switch (symbol) {
        case '~':
            AddByte(char(0xA0));
            break;
        case '_':
            AddByte('-');
            break;
        case '\r':
        case '\n':
            ParagraphEnd();
            break;
        default:
            break; // \- (optional hyphen), \| and \: and stray symbols show nothing
        }
    }

    // A byte written as \'hh; tokenStart is where its backslash lies.
    void HexByte(unsigned char byte, const unsigned char *tokenStart)
    {
        m_star = false;
        if (ConsumeUnicodeSkip())
            return;
        switch (Top().destination) {
        case Destination::FontTable:
            AddFontNameByte(char(byte));
            return;
        case Destination::Text:
            break;
        default:
            return;
        }
        if (byte >= 0x20) {
            AddText(&byte, &byte + 1);
        } else if (byte == '\t') {
            AddByte('\t');
        } else if (byte == '\r') {
            ParagraphEnd();
            m_afterEscapedCr = m_p;
        } else if (byte == '\n') {
            // "\'0D\'0A" is one line break, as a lone "\'0D" or "\'0A" is.
            if (m_afterEscapedCr != tokenStart)
                ParagraphEnd();
        }
    }

    // One stretch of bytes that are neither braces nor backslashes.
    void Characters()
    {
        State &state = Top();
        const unsigned char *start = m_p;
        if (state.destination == Destination::Text) {
            m_star = false;
            while (m_p < m_end && !kSpecial[*m_p])
                ++m_p;
            if (m_p == start) {
                const unsigned char c = *m_p++;
                if (c == '\t' && !ConsumeUnicodeSkip())
                    AddByte('\t');
                return;
            }
            if (m_unicodeSkipLeft > 0) {
                const size_t skipped =
                    std::min<size_t>(size_t(m_unicodeSkipLeft), size_t(m_p - start));
                m_unicodeSkipLeft -= int(skipped);
                start += skipped;
            }
            if (start < m_p)
                AddText(start, m_p);
            return;
        }
        while (m_p < m_end && *m_p != '{' && *m_p != '}' && *m_p != '\\')
            ++m_p;
        switch (state.destination) {
        case Destination::FontTable:
            for (const unsigned char *c = start; c < m_p; ++c) {
                if (*c == ';')
                    FinishFont();
                else if (*c >= 0x20)
                    AddFontNameByte(char(*c));
            }
            break;
        case Destination::ColorTable:
            for (const unsigned char *c = start; c < m_p; ++c) {
                if (*c == ';') {
                    m_colors.push_back(m_colorGiven ? std::optional<RgbColor>(m_color)
                                                    : std::nullopt);
                    m_color = {};
                    m_colorGiven = false;
                }
            }
            break;
        case Destination::Picture:
            for (const unsigned char *c = start; c < m_p; ++c) {
                const int nibble = HexValue(*c);
                if (nibble < 0)
                    continue;
                if (m_highNibble < 0) {
                    m_highNibble = nibble;
                } else {
                    m_picture.data += char(m_highNibble * 16 + nibble);
                    m_highNibble = -1;
                }
            }
            break;
        case Destination::Text:
            break;
        }
    }

    // True when the token is one of the fallback characters after \uN, to be left out.
    bool ConsumeUnicodeSkip()
    {
        if (m_unicodeSkipLeft <= 0)
            return false;
        --m_unicodeSkipLeft;
        return true;
    }

    // ---- control words

    void HandleWord(Word word, const ControlWord &w)
    {
        if (m_star) {
            m_star = false;
            // Only the picture inside {\*\shppict} is read; other optional destinations go.
            if (word != Word::Shppict) {
                SkipGroup();
                return;
            }
        }
        if (word == Word::Bin) {
            BinaryData(w.param);
            return;
        }
        if (ConsumeUnicodeSkip())
            return;
        if (word == Word::Skip) {
            SkipGroup();
            return;
        }
        switch (Top().destination) {
        case Destination::Text:
            TextWord(word, w);
            break;
        case Destination::FontTable:
            FontTableWord(word, w);
            break;
        case Destination::ColorTable:
            ColorTableWord(word, w);
            break;
        case Destination::Picture:
            PictureWord(word, w);
            break;
        }
    }

    void BinaryData(int count)
    {
        const size_t n = std::min<size_t>(size_t(std::max(count, 0)), size_t(m_end - m_p));
        m_ranOut |= size_t(std::max(count, 0)) > n;
        if (!ConsumeUnicodeSkip() && Top().destination == Destination::Picture)
            m_picture.data.append(reinterpret_cast<const char *>(m_p), n);
        m_p += n;
    }

    static bool On(const ControlWord &w) { return !w.hasParam || w.param != 0; }

    void TextWord(Word word, const ControlWord &w)
    {
        State &state = Top();
        CharState &chars = state.chars;
        ParagraphFormat &paragraph = state.paragraph;
        switch (word) {
        case Word::Ansicpg:
            m_documentCodePage = w.param;
            m_decoderValid = false;
            break;
        case Word::Mac:
            m_documentCodePage = 10000;
            m_decoderValid = false;
            break;
        case Word::Pc:
            m_documentCodePage = 437;
            m_decoderValid = false;
            break;
        case Word::Pca:
            m_documentCodePage = 850;
            m_decoderValid = false;
            break;
        case Word::Deff:
            FlushRun();
            m_defaultFont = w.param;
            m_decoderValid = false;
            break;
        case Word::Fonttbl:
            state.destination = Destination::FontTable;
            m_fontPending = false;
            break;
        case Word::Colortbl:
            state.destination = Destination::ColorTable;
            m_colors.clear();
            m_color = {};
            m_colorGiven = false;
            break;
        case Word::Pict:
            state.destination = Destination::Picture;
            m_picture = Picture{};
            m_highNibble = -1;
            break;
        case Word::Par:
        case Word::Sect:
            ParagraphEnd();
            break;
        case Word::Line:
            BeginContent();
            FlushRun();
            m_sink->OnLineBreak(Format());
            break;
        case Word::Page:
            FlushRun();
            m_sink->OnPageBreak();
            break;
        case Word::Tab:
            AddByte('\t');
            break;
        case Word::Cell:
            FlushRun();
            StartRowIfNeeded();
            m_sink->OnCellEnd(paragraph);
            break;
        case Word::Row:
            FlushRun();
            StartRowIfNeeded();
            m_sink->OnRowEnd(m_row);
            m_inRow = false;
            break;
        case Word::Trowd:
            m_row = TableRowFormat{};
            break;
        case Word::Cellx:
            if (m_row.cellRight.size() < kMaxCells)
                m_row.cellRight.push_back(w.param);
            break;
        case Word::Trleft:
            m_row.leftEdge = w.param;
            break;
        case Word::Trgaph:
            m_row.cellGap = w.param;
            break;
        case Word::Trql:
            m_row.alignment = Alignment::Left;
            break;
        case Word::Trqc:
            m_row.alignment = Alignment::Center;
            break;
        case Word::Trqr:
            m_row.alignment = Alignment::Right;
            break;
        case Word::Intbl:
            paragraph.inTable = true;
            break;
        case Word::Pard:
            paragraph = ParagraphFormat{};
            break;
        case Word::Plain:
            FlushRun();
            chars = CharState{};
            break;
        case Word::B:
            FlushRun();
            chars.bold = On(w);
            break;
        case Word::I:
            FlushRun();
            chars.italic = On(w);
            break;
        case Word::Ul:
            FlushRun();
            chars.underline = On(w);
            break;
        case Word::Ulnone:
            FlushRun();
            chars.underline = false;
            break;
        case Word::Strike:
            FlushRun();
            chars.strike = On(w);
            break;
        case Word::Super:
            FlushRun();
            chars.vertical = On(w) ? VerticalPosition::Superscript : VerticalPosition::Normal;
            break;
        case Word::Sub:
            FlushRun();
            chars.vertical = On(w) ? VerticalPosition::Subscript : VerticalPosition::Normal;
            break;
        case Word::Nosupersub:
            FlushRun();
            chars.vertical = VerticalPosition::Normal;
            break;
        case Word::F:
            if (w.hasParam) {
                FlushRun();
                chars.font = w.param;
            }
            break;
        case Word::Fs:
            FlushRun();
            chars.size = w.hasParam && w.param > 0 ? std::clamp(w.param, 2, 3276) : 24;
            break;
        case Word::Cf:
            FlushRun();
            chars.foreground = w.param;
            break;
        case Word::Cb:
            FlushRun();
            chars.background = w.param;
            break;
        case Word::Highlight:
            FlushRun();
            chars.background = w.param > 0 ? w.param : -1;
            break;
        case Word::Ql:
            paragraph.alignment = Alignment::Left;
            break;
        case Word::Qc:
            paragraph.alignment = Alignment::Center;
            break;
        case Word::Qr:
            paragraph.alignment = Alignment::Right;
            break;
        case Word::Qj:
            paragraph.alignment = Alignment::Justify;
            break;
        case Word::Li:
            paragraph.leftIndent = w.param;
            break;
        case Word::Ri:
            paragraph.rightIndent = w.param;
            break;
        case Word::Fi:
            paragraph.firstLineIndent = w.param;
            break;
        case Word::Sb:
            paragraph.spaceBefore = w.param;
            break;
        case Word::Sa:
            paragraph.spaceAfter = w.param;
            break;
        case Word::U:
            UnicodeEscape(w.param);
            break;
        case Word::Uc:
            state.unicodeSkip = std::clamp(w.param, 0, kMaxUnicodeSkip);
            break;
        case Word::Emdash:
            AddByte(char(0x97));
            break;
        case Word::Endash:
            AddByte(char(0x96));
            break;
        case Word::Bullet:
            AddByte(char(0x95));
            break;
        case Word::Lquote:
            AddByte(char(0x91));
            break;
        case Word::Rquote:
            AddByte(char(0x92));
            break;
        case Word::Ldblquote:
            AddByte(char(0x93));
            break;
        case Word::Rdblquote:
            AddByte(char(0x94));
            break;
        case Word::Emspace:
        case Word::Enspace:
            AddByte(' ');
            break;
        default:
            break;
        }
    }

    void FontTableWord(Word word, const ControlWord &w)
    {
        if (word == Word::F && w.hasParam) {
            FinishFont();
            m_font = FontEntry{};
            m_font.number = w.param;
            m_fontPending = true;
            m_fontDepth = Depth();
        } else if (word == Word::Fcharset && m_fontPending) {
            m_font.charset = w.param;
        }
    }

    void ColorTableWord(Word word, const ControlWord &w)
    {
        const uint8_t value = uint8_t(std::clamp(w.param, 0, 255));
        switch (word) {
        case Word::Red:
            m_color.red = value;
            m_colorGiven = true;
            break;
        case Word::Green:
            m_color.green = value;
            m_colorGiven = true;
            break;
        case Word::Blue:
            m_color.blue = value;
            m_colorGiven = true;
            break;
        default:
            break;
        }
    }

    void PictureWord(Word word, const ControlWord &w)
    {
        switch (word) {
        case Word::Pngblip:
            m_picture.format = PictureFormat::Png;
            break;
        case Word::Jpegblip:
            m_picture.format = PictureFormat::Jpeg;
            break;
        case Word::Dibitmap:
            m_picture.format = PictureFormat::Dib;
            break;
        case Word::Wbitmap:
            m_picture.format = PictureFormat::DeviceBitmap;
            break;
        case Word::Emfblip:
        case Word::Wmetafile:
            m_picture.format = PictureFormat::Other;
            break;
        case Word::Picw:
            m_picture.width = w.param;
            break;
        case Word::Pich:
            m_picture.height = w.param;
            break;
        case Word::Picwgoal:
            m_picture.goalWidth = w.param;
            break;
        case Word::Pichgoal:
            m_picture.goalHeight = w.param;
            break;
        case Word::Picscalex:
            m_picture.scaleX = w.param;
            break;
        case Word::Picscaley:
            m_picture.scaleY = w.param;
            break;
        case Word::Wbmbitspixel:
            m_picture.bitsPerPixel = w.param;
            break;
        case Word::Wbmwidthbytes:
            m_picture.widthBytes = w.param;
            break;
        default:
            break;
        }
    }

    // ---- fonts and colours

    void AddFontNameByte(char c)
    {
        if (m_fontPending && m_font.name.size() < kMaxFontNameLength)
            m_font.name += c;
    }

    void FinishFont()
    {
        if (!m_fontPending)
            return;
        m_fontPending = false;
        m_font.name = Trim(m_font.name);
        const auto [it, added] = m_fontIndex.try_emplace(m_font.number, m_fonts.size());
        if (added)
            m_fonts.push_back(std::move(m_font));
        else
            m_fonts[it->second] = std::move(m_font);
        m_font = FontEntry{};
        m_decoderValid = false;
        m_cachedFontValid = false;
    }

    int CurrentFont() { return Top().chars.font < 0 ? m_defaultFont : Top().chars.font; }

    const FontEntry *FindFont(int number)
    {
        if (!m_cachedFontValid || m_cachedFontNumber != number) {
            const auto it = m_fontIndex.find(number);
            m_cachedFont = it == m_fontIndex.end() ? nullptr : &m_fonts[it->second];
            m_cachedFontNumber = number;
            m_cachedFontValid = true;
        }
        return m_cachedFont;
    }

    // The table that turns the current font's bytes into code page 1253, nullptr for as is.
    const CodePageByte *Decoder()
    {
        const int font = CurrentFont();
        if (m_decoderValid && m_decoderFont == font)
            return m_decoder;
        const FontEntry *entry = FindFont(font);
        const int charset = entry ? entry->charset : 1;
        if (charset == 2) {
            m_decoder = nullptr; // symbol fonts: the byte names a glyph, not a character
        } else {
            int codePage = CodePageOfCharset(charset);
            if (codePage == 0)
                codePage = m_documentCodePage;
            m_decoder = CodePageTable(codePage);
        }
        m_decoderFont = font;
        m_decoderValid = true;
        return m_decoder;
    }

    std::optional<RgbColor> ColorAt(int index) const
    {
        if (index < 0 || size_t(index) >= m_colors.size())
            return std::nullopt;
        return m_colors[size_t(index)];
    }

    const CharFormat &Format()
    {
        const CharState &chars = Top().chars;
        CharFormat &f = m_format;
        f.font = CurrentFont();
        const FontEntry *entry = FindFont(f.font);
        f.charset = entry ? entry->charset : 1;
        f.fontName = entry ? Cp1253View(entry->name) : Cp1253View();
        f.size = chars.size;
        f.bold = chars.bold;
        f.italic = chars.italic;
        f.underline = chars.underline;
        f.strike = chars.strike;
        f.vertical = chars.vertical;
        f.foreground = ColorAt(chars.foreground);
        f.background = ColorAt(chars.background);
        return f;
    }

    // ---- content

    void StartRowIfNeeded()
    {
        if (!m_inRow) {
            m_inRow = true;
            m_sink->OnRowStart(m_row);
        }
    }

    // Called before any content: a paragraph marked \intbl outside a row begins one.
    void BeginContent()
    {
        if (!m_inRow && Top().paragraph.inTable) {
            FlushRun();
            StartRowIfNeeded();
        }
    }

    void FlushRun()
    {
        if (m_run.empty())
            return;
        m_sink->OnText(m_run, Format());
        m_run.clear();
    }

    // Bytes of the current font's code page.
    void AddText(const unsigned char *begin, const unsigned char *end)
    {
        BeginContent();
        const CodePageByte *decoder = Decoder();
        if (decoder == nullptr) {
            m_run.append(reinterpret_cast<const char *>(begin), size_t(end - begin));
            return;
        }
        for (const unsigned char *c = begin; c < end; ++c) {
            if (*c < 0x80) {
                m_run += char(*c);
            } else if (decoder[*c].cp1253 >= 0) {
                m_run += char(decoder[*c].cp1253);
            } else {
                FlushRun();
                m_sink->OnUnicode(decoder[*c].codePoint, Format());
            }
        }
    }

    // A byte already in code page 1253.
    void AddByte(char byte)
    {
        BeginContent();
        m_run += byte;
    }

    void AddCodePoint(char32_t codePoint)
    {
        if (codePoint == '\t') {
            AddByte('\t');
            return;
        }
        if (codePoint < 0x20)
            return;
        if (const auto byte = CodePointToCp1253(codePoint)) {
            AddByte(char(*byte));
            return;
        }
        BeginContent();
        FlushRun();
        m_sink->OnUnicode(codePoint, Format());
    }

    void UnicodeEscape(int param)
    {
        long long value = param;
        if (value < 0)
            value += 65536;
        m_unicodeSkipLeft = Top().unicodeSkip;
        if (value < 0 || value > 0x10FFFF) {
            AddCodePoint(0xFFFD);
            return;
        }
        const char32_t codePoint = char32_t(value);
        if (codePoint >= 0xD800 && codePoint <= 0xDBFF) {
            if (m_highSurrogate != 0)
                AddCodePoint(0xFFFD);
            m_highSurrogate = codePoint;
            return;
        }
        if (codePoint >= 0xDC00 && codePoint <= 0xDFFF) {
            if (m_highSurrogate != 0) {
                AddCodePoint(0x10000 + ((m_highSurrogate - 0xD800) << 10) + (codePoint - 0xDC00));
                m_highSurrogate = 0;
            } else {
                AddCodePoint(0xFFFD);
            }
            return;
        }
        if (m_highSurrogate != 0) {
            AddCodePoint(0xFFFD);
            m_highSurrogate = 0;
        }
        AddCodePoint(codePoint);
    }

    void ParagraphEnd()
    {
        BeginContent();
        FlushRun();
        m_sink->OnParagraphEnd(Top().paragraph);
    }

    void EmitPicture()
    {
        BeginContent();
        FlushRun();
        m_sink->OnPicture(m_picture, Format());
        m_picture = Picture{};
        m_highNibble = -1;
    }

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

// Notes whether a reader reported anything.
class EventFlag final : public RtfSink
{
public:
    bool any = false;
    void OnText(Cp1253View, const CharFormat &) override { any = true; }
    void OnUnicode(char32_t, const CharFormat &) override { any = true; }
    void OnParagraphEnd(const ParagraphFormat &) override { any = true; }
    void OnLineBreak(const CharFormat &) override { any = true; }
    void OnPageBreak() override { any = true; }
    void OnRowStart(const TableRowFormat &) override { any = true; }
    void OnCellEnd(const ParagraphFormat &) override { any = true; }
    void OnRowEnd(const TableRowFormat &) override { any = true; }
    void OnPicture(const Picture &, const CharFormat &) override { any = true; }
    void OnDocumentEnd(const ParagraphFormat &) override { any = true; }
};

} // namespace

bool ReadRtf(Cp1253View rtf, RtfSink &sink)
{
    if (!LooksLikeRtf(rtf))
        return false;
    Reader reader(rtf, sink);
    reader.Run();
    return true;
}

struct RtfPreamble::Parts
{
    Cp1253 prefix;
    // The reader after the prefix, when reading on from it is reading the joined text: the
    // prefix ends between tokens and reported nothing (its events would be lost otherwise).
    std::optional<Reader> saved;
    std::optional<Reader> reader; // resumed from saved for each document, its memory kept
    Cp1253 joined;                // prefix + rest, when saved is empty
};

RtfPreamble::RtfPreamble(Cp1253View prefix) : m_parts(std::make_unique<Parts>())
{
    m_parts->prefix.assign(prefix);
    if (prefix.size() < 5 || !LooksLikeRtf(prefix))
        return; // whether the joined text is rich text may then depend on the rest
    EventFlag flag;
    Reader &saved = m_parts->saved.emplace(m_parts->prefix, flag);
    saved.ReadAll();
    if (flag.any || saved.RanOut()) {
        m_parts->saved.reset();
        return;
    }
    m_parts->reader.emplace(saved);
}

RtfPreamble::~RtfPreamble() = default;
RtfPreamble::RtfPreamble(RtfPreamble &&) noexcept = default;
RtfPreamble &RtfPreamble::operator=(RtfPreamble &&) noexcept = default;

bool RtfPreamble::Read(Cp1253View rest, RtfSink &sink)
{
    Parts &parts = *m_parts;
    if (!parts.saved) {
        parts.joined.assign(parts.prefix);
        parts.joined.append(rest);
        return ReadRtf(parts.joined, sink);
    }
    parts.reader->Resume(*parts.saved, rest, sink);
    parts.reader->ReadAll();
    parts.reader->Finish();
    return true;
}

Cp1253View RtfPreamble::Prefix() const { return m_parts->prefix; }

bool RtfPreamble::ReadsPrefixOnce() const { return m_parts->saved.has_value(); }

bool ReadRtfByteByByte(Cp1253View rtf, RtfSink &sink)
{
    if (!LooksLikeRtf(rtf))
        return false;
    Reader reader(rtf, sink);
    reader.SetByteByByte(true);
    reader.Run();
    return true;
}

} // namespace termdex
