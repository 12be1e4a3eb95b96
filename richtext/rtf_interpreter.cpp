// The RTF reader's interpreter: the tokens of a document, its groups and their state, the font
// and colour tables, and the content it reports to the sink.
#include "richtext/rtf_interpreter.h"

#include "lib/cp1253.h"

#include <algorithm>
#include <limits>

namespace termdex::rtf {

namespace {

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

bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

} // namespace

void Reader::ReadAll()
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

void Reader::Finish()
{
    if (Top().destination == Destination::Picture)
        EmitPicture();
    FlushRun();
    m_sink->OnDocumentEnd(Top().paragraph);
}

void Reader::Resume(const Reader &saved, Cp1253View input, RtfSink &sink)
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

void Reader::OpenGroup()
{
    m_unicodeSkipLeft = 0;
    m_star = false;
    if (m_stack.size() <= kMaxGroupDepth)
        m_stack.push_back(Top());
    else
        ++m_overflow;
}

void Reader::CloseGroup()
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

void Reader::SkipGroup()
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

ControlWord Reader::ReadControlWord()
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

void Reader::SkipBytes(int count)
{
    const size_t n = std::min<size_t>(size_t(std::max(count, 0)), size_t(m_end - m_p));
    m_ranOut |= size_t(std::max(count, 0)) > n;
    m_p += n;
}

void Reader::Control()
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

void Reader::HexByte(unsigned char byte, const unsigned char *tokenStart)
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

void Reader::Characters()
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
            const size_t skipped = std::min<size_t>(size_t(m_unicodeSkipLeft), size_t(m_p - start));
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
                m_colors.push_back(m_colorGiven ? std::optional<RgbColor>(m_color) : std::nullopt);
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

bool Reader::ConsumeUnicodeSkip()
{
    if (m_unicodeSkipLeft <= 0)
        return false;
    --m_unicodeSkipLeft;
    return true;
}

void Reader::AddFontNameByte(char c)
{
    if (m_fontPending && m_font.name.size() < kMaxFontNameLength)
        m_font.name += c;
}

void Reader::FinishFont()
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

const FontEntry *Reader::FindFont(int number)
{
    if (!m_cachedFontValid || m_cachedFontNumber != number) {
        const auto it = m_fontIndex.find(number);
        m_cachedFont = it == m_fontIndex.end() ? nullptr : &m_fonts[it->second];
        m_cachedFontNumber = number;
        m_cachedFontValid = true;
    }
    return m_cachedFont;
}

const CodePageByte *Reader::Decoder()
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

std::optional<RgbColor> Reader::ColorAt(int index) const
{
    if (index < 0 || size_t(index) >= m_colors.size())
        return std::nullopt;
    return m_colors[size_t(index)];
}

const CharFormat &Reader::Format()
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

void Reader::StartRowIfNeeded()
{
    if (!m_inRow) {
        m_inRow = true;
        m_sink->OnRowStart(m_row);
    }
}

void Reader::BeginContent()
{
    if (!m_inRow && Top().paragraph.inTable) {
        FlushRun();
        StartRowIfNeeded();
    }
}

void Reader::FlushRun()
{
    if (m_run.empty())
        return;
    m_sink->OnText(m_run, Format());
    m_run.clear();
}

void Reader::AddText(const unsigned char *begin, const unsigned char *end)
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

void Reader::AddByte(char byte)
{
    BeginContent();
    m_run += byte;
}

void Reader::AddCodePoint(char32_t codePoint)
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

void Reader::UnicodeEscape(int param)
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

void Reader::ParagraphEnd()
{
    BeginContent();
    FlushRun();
    m_sink->OnParagraphEnd(Top().paragraph);
}

void Reader::EmitPicture()
{
    BeginContent();
    FlushRun();
    m_sink->OnPicture(m_picture, Format());
    m_picture = Picture{};
    m_highNibble = -1;
}

} // namespace termdex::rtf
