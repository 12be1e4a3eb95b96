// What each control word does, in the document's text and in the font table, the colour table
// and a picture.
#include "richtext/rtf_interpreter.h"

#include <algorithm>
#include <initializer_list>
#include <utility>

namespace termdex::rtf {

void Reader::HandleWord(Word word, const ControlWord &w)
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

void Reader::BinaryData(int count)
{
    const size_t n = std::min<size_t>(size_t(std::max(count, 0)), size_t(m_end - m_p));
    m_ranOut |= size_t(std::max(count, 0)) > n;
    if (!ConsumeUnicodeSkip() && Top().destination == Destination::Picture)
        m_picture.data.append(reinterpret_cast<const char *>(m_p), n);
    m_p += n;
}

namespace {

bool On(const ControlWord &w) { return !w.hasParam || w.param != 0; }

// The code page 1253 byte of each word that stands for one character.
constexpr std::pair<Word, char> kSymbols[] = {
    {Word::Emdash, char(0x97)},    {Word::Endash, char(0x96)}, {Word::Bullet, char(0x95)},
    {Word::Lquote, char(0x91)},    {Word::Rquote, char(0x92)}, {Word::Ldblquote, char(0x93)},
    {Word::Rdblquote, char(0x94)}, {Word::Emspace, ' '},       {Word::Enspace, ' '},
};

} // namespace

// What each word does in the document's text; a word not named here does nothing there.
constexpr std::array<Reader::WordHandler, size_t(Word::Count)> Reader::kTextWords = [] {
    std::array<WordHandler, size_t(Word::Count)> table{};
    const auto set = [&table](WordHandler handler, std::initializer_list<Word> words) {
        for (const Word word : words)
            table[size_t(word)] = handler;
    };
    set(&Reader::DocumentWord, {Word::Ansicpg, Word::Mac, Word::Pc, Word::Pca, Word::Deff});
    set(&Reader::DestinationWord, {Word::Fonttbl, Word::Colortbl, Word::Pict});
    set(&Reader::BreakWord, {Word::Par, Word::Sect, Word::Line, Word::Page, Word::Tab});
    set(&Reader::TableWord, {Word::Cell, Word::Row, Word::Trowd, Word::Cellx, Word::Trleft,
                             Word::Trgaph, Word::Trql, Word::Trqc, Word::Trqr, Word::Intbl});
    set(&Reader::CharacterWord,
        {Word::Plain, Word::B, Word::I, Word::Ul, Word::Ulnone, Word::Strike, Word::Super,
         Word::Sub, Word::Nosupersub, Word::F, Word::Fs, Word::Cf, Word::Cb, Word::Highlight});
    set(&Reader::ParagraphWord, {Word::Pard, Word::Ql, Word::Qc, Word::Qr, Word::Qj, Word::Li,
                                 Word::Ri, Word::Fi, Word::Sb, Word::Sa});
    set(&Reader::UnicodeWord, {Word::U, Word::Uc});
    for (const auto &[word, byte] : kSymbols)
        table[size_t(word)] = &Reader::SymbolWord;
    return table;
}();

void Reader::TextWord(Word word, const ControlWord &w)
{
    if (const WordHandler handler = kTextWords[size_t(word)])
        (this->*handler)(word, w);
}

// The code page of the document's bytes and its default font.
void Reader::DocumentWord(Word word, const ControlWord &w)
{
    switch (word) {
    case Word::Ansicpg:
        m_documentCodePage = w.param;
        break;
    case Word::Mac:
        m_documentCodePage = 10000;
        break;
    case Word::Pc:
        m_documentCodePage = 437;
        break;
    case Word::Pca:
        m_documentCodePage = 850;
        break;
    default: // Word::Deff
        FlushRun();
        m_defaultFont = w.param;
        break;
    }
    m_decoderValid = false;
}

// A group whose text is a table or a picture, not the document's text.
void Reader::DestinationWord(Word word, const ControlWord &)
{
    State &state = Top();
    switch (word) {
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
    default: // Word::Pict
        state.destination = Destination::Picture;
        m_picture = Picture{};
        m_highNibble = -1;
        break;
    }
}

void Reader::BreakWord(Word word, const ControlWord &)
{
    switch (word) {
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
    default: // Word::Par, Word::Sect
        ParagraphEnd();
        break;
    }
}

void Reader::TableWord(Word word, const ControlWord &w)
{
    switch (word) {
    case Word::Cell:
        FlushRun();
        StartRowIfNeeded();
        m_sink->OnCellEnd(Top().paragraph);
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
    default: // Word::Intbl
        Top().paragraph.inTable = true;
        break;
    }
}

// Each ends the run in the format before it.
void Reader::CharacterWord(Word word, const ControlWord &w)
{
    if (word == Word::F && !w.hasParam)
        return;
    FlushRun();
    CharState &chars = Top().chars;
    switch (word) {
    case Word::Plain:
        chars = CharState{};
        break;
    case Word::B:
        chars.bold = On(w);
        break;
    case Word::I:
        chars.italic = On(w);
        break;
    case Word::Ul:
    case Word::Ulnone:
        chars.underline = word == Word::Ul && On(w);
        break;
    case Word::Strike:
        chars.strike = On(w);
        break;
    case Word::Super:
        chars.vertical = On(w) ? VerticalPosition::Superscript : VerticalPosition::Normal;
        break;
    case Word::Sub:
        chars.vertical = On(w) ? VerticalPosition::Subscript : VerticalPosition::Normal;
        break;
    case Word::Nosupersub:
        chars.vertical = VerticalPosition::Normal;
        break;
    case Word::F:
        chars.font = w.param;
        break;
    case Word::Fs:
        chars.size = w.hasParam && w.param > 0 ? std::clamp(w.param, 2, 3276) : 24;
        break;
    case Word::Cf:
        chars.foreground = w.param;
        break;
    case Word::Cb:
        chars.background = w.param;
        break;
    default: // Word::Highlight
        chars.background = w.param > 0 ? w.param : -1;
        break;
    }
}

void Reader::ParagraphWord(Word word, const ControlWord &w)
{
    ParagraphFormat &paragraph = Top().paragraph;
    switch (word) {
    case Word::Pard:
        paragraph = ParagraphFormat{};
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
    default: // Word::Sa
        paragraph.spaceAfter = w.param;
        break;
    }
}

void Reader::UnicodeWord(Word word, const ControlWord &w)
{
    if (word == Word::U)
        UnicodeEscape(w.param);
    else // Word::Uc
        Top().unicodeSkip = std::clamp(w.param, 0, kMaxUnicodeSkip);
}

void Reader::SymbolWord(Word word, const ControlWord &)
{
    for (const auto &[symbol, byte] : kSymbols) {
        if (symbol == word) {
            AddByte(byte);
            return;
        }
    }
}

void Reader::FontTableWord(Word word, const ControlWord &w)
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

void Reader::ColorTableWord(Word word, const ControlWord &w)
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

void Reader::PictureWord(Word word, const ControlWord &w)
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

} // namespace termdex::rtf
