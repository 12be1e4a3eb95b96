#include "lib/cp1253.h"
#include "tools/import/entries.h"

#include <cstdio>
#include <utility>

namespace termdex::import {

char32_t NextCodePoint(std::string_view text, size_t &at)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(at++);
    if (first < 0x80)
        return first;
    int extra = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((first & 0xE0) == 0xC0) {
        extra = 1, value = first & 0x1F, minimum = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        extra = 2, value = first & 0x0F, minimum = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        extra = 3, value = first & 0x07, minimum = 0x10000;
    } else {
        return 0xFFFD;
    }
    for (int i = 0; i < extra; ++i) {
        if (at >= text.size() || (byte(at) & 0xC0) != 0x80)
            return 0xFFFD;
        value = (value << 6) | (byte(at++) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0xFFFD;
    return value;
}

void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsGreekLetter(char32_t c)
{
    return (c >= 0x0386 && c <= 0x03FF && c != 0x0387) || (c >= 0x1F00 && c <= 0x1FFF);
}

namespace {

// The seven vowels in the order of the Greek Extended block, plain and with tonos.
constexpr char32_t kLower[7] = {0x03B1, 0x03B5, 0x03B7, 0x03B9, 0x03BF, 0x03C5, 0x03C9};
constexpr char32_t kLowerTonos[7] = {0x03AC, 0x03AD, 0x03AE, 0x03AF, 0x03CC, 0x03CD, 0x03CE};
constexpr char32_t kUpper[7] = {0x0391, 0x0395, 0x0397, 0x0399, 0x039F, 0x03A5, 0x03A9};
constexpr char32_t kUpperTonos[7] = {0x0386, 0x0388, 0x0389, 0x038A, 0x038C, 0x038E, 0x038F};

char32_t Vowel(int vowel, bool upper, bool accent)
{
    return upper ? (accent ? kUpperTonos[vowel] : kUpper[vowel])
                 : (accent ? kLowerTonos[vowel] : kLower[vowel]);
}

// The monotonic form of each character from U+1FB0 on that has one; the others of the block
// are dropped. U+1FBD, the koronis, is an apostrophe in monotonic text.
constexpr std::pair<char32_t, char32_t> kMonotonicFrom1FB0[] = {
    {0x1FB0, 0x03B1}, {0x1FB1, 0x03B1}, {0x1FB3, 0x03B1}, {0x1FB2, 0x03AC}, {0x1FB4, 0x03AC},
    {0x1FB6, 0x03AC}, {0x1FB7, 0x03AC}, {0x1FB8, 0x0391}, {0x1FB9, 0x0391}, {0x1FBC, 0x0391},
    {0x1FBA, 0x0386}, {0x1FBB, 0x0386}, {0x1FBD, 0x2019}, {0x1FBE, 0x03B9}, {0x1FC2, 0x03AE},
    {0x1FC4, 0x03AE}, {0x1FC6, 0x03AE}, {0x1FC7, 0x03AE}, {0x1FC3, 0x03B7}, {0x1FC8, 0x0388},
    {0x1FC9, 0x0388}, {0x1FCA, 0x0389}, {0x1FCB, 0x0389}, {0x1FCC, 0x0397}, {0x1FD0, 0x03B9},
    {0x1FD1, 0x03B9}, {0x1FD2, 0x0390}, {0x1FD3, 0x0390}, {0x1FD7, 0x0390}, {0x1FD6, 0x03AF},
    {0x1FD8, 0x0399}, {0x1FD9, 0x0399}, {0x1FDA, 0x038A}, {0x1FDB, 0x038A}, {0x1FE0, 0x03C5},
    {0x1FE1, 0x03C5}, {0x1FE2, 0x03B0}, {0x1FE3, 0x03B0}, {0x1FE7, 0x03B0}, {0x1FE4, 0x03C1},
    {0x1FE5, 0x03C1}, {0x1FE6, 0x03CD}, {0x1FE8, 0x03A5}, {0x1FE9, 0x03A5}, {0x1FEA, 0x038E},
    {0x1FEB, 0x038E}, {0x1FEC, 0x03A1}, {0x1FF2, 0x03CE}, {0x1FF4, 0x03CE}, {0x1FF6, 0x03CE},
    {0x1FF7, 0x03CE}, {0x1FF3, 0x03C9}, {0x1FF8, 0x038C}, {0x1FF9, 0x038C}, {0x1FFA, 0x038F},
    {0x1FFB, 0x038F}, {0x1FFC, 0x03A9},
};

// The monotonic form of one Greek Extended character; 0 drops it (a lone breathing or accent).
char32_t MonotonicOf(char32_t c)
{
    if (c >= 0x1F00 && c <= 0x1F6F) {
        // Blocks of sixteen per vowel: eight lower-case forms, then eight capitals, each eight
        // being: two breathings, then with grave, acute and circumflex.
        const int offset = static_cast<int>(c - 0x1F00);
        return Vowel(offset / 16, offset % 16 >= 8, offset % 8 >= 2);
    }
    if (c >= 0x1F70 && c <= 0x1F7D)
        return Vowel(static_cast<int>(c - 0x1F70) / 2, false, true);
    if (c >= 0x1F80 && c <= 0x1FAF) {
        constexpr int vowels[3] = {0, 2, 6}; // alpha, eta, omega with iota subscript
        const int offset = static_cast<int>(c - 0x1F80);
        return Vowel(vowels[offset / 16], offset % 16 >= 8, offset % 8 >= 2);
    }
    for (const auto &[from, to] : kMonotonicFrom1FB0)
        if (c == from)
            return to;
    return c >= 0x1F00 && c <= 0x1FFF ? 0 : c;
}

char32_t WithTonos(char32_t c)
{
    for (int v = 0; v < 7; ++v) {
        if (c == kLower[v])
            return kLowerTonos[v];
        if (c == kUpper[v])
            return kUpperTonos[v];
    }
    if (c == 0x03CA) // iota with dialytika
        return 0x0390;
    if (c == 0x03CB)
        return 0x03B0;
    return c;
}

char32_t WithDialytika(char32_t c)
{
    switch (c) {
    case 0x03B9:
        return 0x03CA;
    case 0x03C5:
        return 0x03CB;
    case 0x0399:
        return 0x03AA;
    case 0x03A5:
        return 0x03AB;
    case 0x03AF:
        return 0x0390;
    case 0x03CD:
        return 0x03B0;
    default:
        return c;
    }
}

} // namespace

std::u32string ReducePolytonic(std::u32string_view text)
{
    std::u32string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        switch (c) {
        case 0x0300:
        case 0x0301:
        case 0x0342: // grave, acute, circumflex (combining)
            if (!out.empty() && IsGreekLetter(out.back()))
                out.back() = WithTonos(out.back());
            else
                out += c;
            break;
        case 0x0308:
            if (!out.empty() && IsGreekLetter(out.back()))
                out.back() = WithDialytika(out.back());
            else
                out += c;
            break;
        case 0x0313:
        case 0x0314:
        case 0x0345: // breathings, iota subscript
            if (out.empty() || !IsGreekLetter(out.back()))
                out += c;
            break;
        default:
            if (const char32_t m = MonotonicOf(c))
                out += m;
        }
    }
    return out;
}

std::string ReducePolytonicUtf8(std::string_view utf8)
{
    std::u32string wide;
    for (size_t at = 0; at < utf8.size();)
        wide += NextCodePoint(utf8, at);
    std::string out;
    for (char32_t c : ReducePolytonic(wide))
        AppendUtf8(out, c);
    return out;
}

std::string TrimUtf8(std::string_view text)
{
    const auto blank = [](char32_t c) {
        return c <= 32 || c == 0xA0 || (c >= 0x2000 && c <= 0x200B) || c == 0x3000 || c == 0xFEFF;
    };
    size_t begin = 0, end = text.size();
    for (size_t at = 0; at < text.size();) {
        const size_t here = at;
        if (!blank(NextCodePoint(text, at))) {
            begin = here;
            break;
        }
        begin = at;
    }
    size_t lastEnd = begin;
    for (size_t at = begin; at < text.size();)
        if (!blank(NextCodePoint(text, at)))
            lastEnd = at;
    end = lastEnd;
    return std::string(text.substr(begin, end - begin));
}

RichText::RichText() { m_out = "\\pard\\plain\\f60\\fs20 "; }

void RichText::Raw(std::string_view source) { m_out += source; }

void RichText::Bold(bool on)
{
    if (on != m_bold)
        Raw(on ? "\\b " : "\\b0 ");
    m_bold = on;
}

void RichText::Italic(bool on)
{
    if (on != m_italic)
        Raw(on ? "\\i " : "\\i0 ");
    m_italic = on;
}

void RichText::LineBreak()
{
    if (m_cut)
        return;
    Raw("\\line ");
    m_plain += '\n';
    m_lineEmpty = true;
}

void RichText::Bullet()
{
    if (m_cut)
        return;
    if (m_textWritten != 0 && !m_lineEmpty)
        LineBreak();
    Raw("\\bullet  ");
    m_textWritten += 1;
    m_lineEmpty = false;
}

void RichText::Text(std::string_view utf8)
{
    char escape[32];
    for (size_t at = 0; at < utf8.size() && !m_cut;) {
        if (m_out.size() >= kMaxBytes) {
            m_cut = true;
            break;
        }
        const size_t from = at;
        const char32_t c = NextCodePoint(utf8, at);
        if (c != '\n')
            m_plain.append(utf8.substr(from, at - from));
        if (c == '\n') {
            LineBreak();
            continue;
        }
        if (c == '\t') {
            Raw("\\tab ");
            continue;
        }
        if (c < 32 || c == 0x7F)
            continue; // control bytes have no place in a description
        ++m_textWritten;
        m_lineEmpty = false;
        if (c == '\\' || c == '{' || c == '}') {
            m_out += '\\';
            m_out += static_cast<char>(c);
        } else if (c == '[' || c == ']') {
            std::snprintf(escape, sizeof escape, "\\'%02x", static_cast<unsigned>(c));
            Raw(escape);
        } else if (c < 0x80) {
            m_out += static_cast<char>(c);
        } else if (const auto byte = CodePointToCp1253(c)) {
            std::snprintf(escape, sizeof escape, "\\'%02x", static_cast<unsigned>(*byte));
            Raw(escape);
        } else {
            // \uN takes a signed 16-bit number, so characters beyond it go as a surrogate pair.
            const auto unit = [&](unsigned value, const char *fallback) {
                std::snprintf(escape, sizeof escape, "\\u%d%s",
                              static_cast<int>(static_cast<int16_t>(value)), fallback);
                Raw(escape);
            };
            if (c >= 0x10000) {
                unit(0xD800 + ((c - 0x10000) >> 10), "?");
                unit(0xDC00 + ((c - 0x10000) & 0x3FF), "?");
                continue;
            }
            const char32_t plain = ReducePolytonic(std::u32string_view(&c, 1)).c_str()[0];
            const auto fallbackByte = plain ? CodePointToCp1253(plain) : std::nullopt;
            char fallback[8] = "?";
            if (fallbackByte && *fallbackByte >= 0x80)
                std::snprintf(fallback, sizeof fallback, "\\'%02x",
                              static_cast<unsigned>(*fallbackByte));
            else if (fallbackByte &&
                     ((*fallbackByte | 0x20) >= 'a' && (*fallbackByte | 0x20) <= 'z'))
                fallback[0] = static_cast<char>(*fallbackByte);
            unit(c, fallback);
        }
    }
}

std::string RichText::Finish()
{
    Bold(false);
    Italic(false);
    return m_out;
}

} // namespace termdex::import
