#include "main/print_document.h"

#include "lib/cp1253.h"
#include "main/main_lex.h"

#include <string_view>

namespace termdex {

namespace {

Cp1253 FromUtf8(std::string_view utf8) { return Utf8ToCp1253(utf8).text.value_or(Cp1253()); }

bool IsCutCharacter(char c) { return c == ' ' || c == '}'; }

// The nearest space or "}" at or before index from.
std::optional<size_t> CutCharacterBefore(Cp1253View rtf, size_t from)
{
    for (size_t i = from + 1; i-- > 0;)
        if (i < rtf.size() && IsCutCharacter(rtf[i]))
            return i;
    return std::nullopt;
}

// With no font size to cut at: the end of the document's tables, so that the description
// follows the head whole.
std::optional<size_t> CutWithoutSize(Cp1253View rtf)
{
    const size_t pard = rtf.find("\\pard");
    if (pard != Cp1253View::npos && pard > 0)
        return CutCharacterBefore(rtf, pard - 1);
    if (rtf.size() >= 2)
        return CutCharacterBefore(rtf, rtf.size() - 2);
    return std::nullopt;
}

} // namespace

const Cp1253 &PrintHeaderLine()
{
    static const Cp1253 line =
        FromUtf8("Termdex - Copyright © ΕΚΔΟΣΕΙΣ ΒΟΡΑΝΤΗ. Με επιφύλαξη δικαιωμάτων");
    return line;
}

Cp1253 WithCrLfLines(Cp1253View text)
{
    Cp1253 out;
    out.reserve(text.size() + text.size() / 32 + 2);
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == Cp1253View::npos) {
            out.append(text.substr(start));
            out += "\r\n";
            break;
        }
        out.append(text.substr(start, end - start));
        out += "\r\n";
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
    return out;
}

char GreekFontSelector(Cp1253View rtf)
{
    const size_t m = rtf.find("\\fcharset161");
    if (m == Cp1253View::npos)
        return '0';
    for (size_t p = m; p-- > 0;) {
        if (p + 3 < rtf.size() && rtf[p] == '\\' && rtf[p + 1] == 'f' && rtf[p + 3] == '\\')
            return rtf[p + 2];
    }
    return '0';
}

std::optional<size_t> PrintCutPoint(Cp1253View rtf)
{
    for (size_t q = rtf.find("\\fs"); q != Cp1253View::npos; q = rtf.find("\\fs", q + 1)) {
        const char first = q + 3 < rtf.size() ? rtf[q + 3] : '\0';
        const char third = q + 5 < rtf.size() ? rtf[q + 5] : '\0';
        const bool accepted = first == '1' || first == '2' || third == '\\' || third == ' ' ||
                              third == '}' || third == '{';
        if (accepted)
            return CutCharacterBefore(rtf, q);
    }
    return std::nullopt;
}

Cp1253 EscapeForPrint(Cp1253View text)
{
    static const char kHex[] = "0123456789ABCDEF";
    Cp1253 out;
    out.reserve(text.size() * 4);
    for (const char ch : text) {
        const auto byte = static_cast<unsigned char>(ch);
        out += "\\'";
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    }
    return out;
}

PrintDocument BuildPrintDocument(Cp1253View writtenRtf, const PrintCells &cells)
{
    const Cp1253 t = WithCrLfLines(writtenRtf);
    PrintDocument result;
    result.font = GreekFontSelector(t);

    std::optional<size_t> cut = PrintCutPoint(t);
    result.cutAtSize = cut.has_value();
    if (!cut)
        cut = CutWithoutSize(t);
    // A text without any space or brace is not a document the view writes; it is kept whole
    // as the body after an empty head.
    const size_t c = cut.value_or(0);
    result.cut = c;
    Cp1253 head = cut ? t.substr(0, c + 1) : Cp1253();
    const Cp1253 body = t.substr(c);

    static const Cp1253 headword = FromUtf8("Λήμμα");
    static const Cp1253 rendering = FromUtf8("Απόδοση");
    static const Cp1253 description = FromUtf8("Περιγραφή");
    const Cp1253 f(1, result.font);
    head += " \\ql {\\b\\ul\\f" + f + "\\fs24\\cf0 " + EscapeForPrint(PrintHeaderLine()) +
            "} \\par \\par \\par \\ql ";
    head += "{\\i\\ul\\f" + f + "\\cellx1200\\cellx8414\\pard\\intbl\\fs24\\cf0 " +
            EscapeForPrint(headword) + ":\\ul0\\cell}";
    head += "{\\b\\f" + f + "\\fs22\\cf0     " + EscapeForPrint(cells.headword) +
            "\\cell\\row\\trowd} \\par";
    head += "{\\i\\ul\\f" + f + "\\cellx1200\\cellx8414\\pard\\intbl\\fs22\\cf0 " +
            EscapeForPrint(rendering) + ":\\ul0\\cell}";
    head += "{\\b\\f" + f + "\\fs22\\cf0 " + EscapeForPrint(cells.rendering) + "} \\par \\par";
    head += "{\\i\\ul\\f" + f + "\\cellx1200\\cellx8414\\pard\\intbl\\fs22\\cf0 " +
            EscapeForPrint(description) + ":\\ul0\\cell}";
    head += "{\\f" + f + "\\fs22\\cf0 ";

    result.rtf.reserve(head.size() + body.size() + 9);
    result.rtf = head + "\r\n" + body + "\r\n}}}\r\n";
    return result;
}

Cp1253 PrintJobTitle(Cp1253View englishTerm)
{
    Cp1253 title = "Zoveduz: ";
    title.append(englishTerm);
    if (title.size() > kPrintJobTitleLimit)
        title.resize(kPrintJobTitleLimit);
    return title;
}

std::optional<PrintRequest> Print_ButtonClick(MainLexCore &core)
{
    const int record = core.SelectedRecord();
    if (record == 0)
        return std::nullopt;
    if (core.State().shownRecord != record)
        core.Entries_ListClick();
    const EntryIndex &index = core.Index();
    const IndexRecord &english = index.english[static_cast<size_t>(record)];
    Cp1253View greek;
    if (english.greekIndex >= 1 && english.greekIndex <= index.greekCount)
        greek = index.greek[english.greekIndex].headword;

    PrintRequest request;
    if (core.State().LanguageMode == Language::Greek)
        request.cells = {Cp1253(greek), Cp1253(english.headword)};
    else
        request.cells = {Cp1253(english.headword), Cp1253(greek)};
    request.jobTitle = PrintJobTitle(english.headword);
    return request;
}

} // namespace termdex
