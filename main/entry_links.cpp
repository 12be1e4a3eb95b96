#include "main/entry_links.h"

#include "richtext/plain_text.h"

#include <algorithm>

namespace termdex {
namespace {

// The plain text of a document, into the caller's buffer, with the spans of its bold text.
class BoldSink final : public RtfSink
{
public:
    BoldSink(Cp1253 &out, std::vector<std::pair<size_t, size_t>> &bold)
        : m_out(out), m_plain(out), m_bold(bold)
    {
    }
    void OnText(Cp1253View text, const CharFormat &format) override
    {
        const size_t start = m_out.size();
        m_plain.OnText(text, format);
        if (!format.bold || m_out.size() == start)
            return;
        // Neighbouring bold runs make one span.
        if (!m_bold.empty() && m_bold.back().second == start)
            m_bold.back().second = m_out.size();
        else
            m_bold.emplace_back(start, m_out.size());
    }
    void OnUnicode(char32_t c, const CharFormat &f) override { m_plain.OnUnicode(c, f); }
    void OnParagraphEnd(const ParagraphFormat &f) override { m_plain.OnParagraphEnd(f); }
    void OnLineBreak(const CharFormat &f) override { m_plain.OnLineBreak(f); }
    void OnPageBreak() override { m_plain.OnPageBreak(); }
    void OnCellEnd(const ParagraphFormat &f) override { m_plain.OnCellEnd(f); }
    void OnRowEnd(const TableRowFormat &r) override { m_plain.OnRowEnd(r); }

private:
    Cp1253 &m_out;
    PlainTextSink m_plain;
    std::vector<std::pair<size_t, size_t>> &m_bold;
};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// [a, b) without the blanks at either end.
std::pair<size_t, size_t> Trimmed(Cp1253View text, size_t a, size_t b)
{
    while (a < b && IsBlank(text[a]))
        ++a;
    while (b > a && IsBlank(text[b - 1]))
        --b;
    return {a, b};
}

} // namespace

std::vector<EntryLink> FindEntryLinks(Cp1253View rtfDocument,
                                      const std::function<int(Cp1253View)> &recordOf,
                                      std::vector<Cp1253> *unmatched)
{
    std::vector<EntryLink> links;
    Cp1253 plain;
    std::vector<std::pair<size_t, size_t>> bold;
    BoldSink sink(plain, bold);
    if (!ReadRtf(rtfDocument, sink))
        return links;
    // "βλ." and "Βλ.": see.
    for (const Cp1253View see : {Cp1253View("\xE2\xEB."), Cp1253View("\xC2\xEB.")}) {
        for (size_t at = plain.find(see); at != Cp1253::npos; at = plain.find(see, at + 1)) {
            // Up to the parenthesis that closes the one "βλ." stands in: "(VAT)" inside it
            // does not end it.
            const size_t from = at + see.size();
            size_t to = from;
            for (int depth = 0; to < plain.size(); ++to) {
                const char c = plain[to];
                if (c == '\r' || c == '\n' || (c == ')' && depth == 0))
                    break;
                depth += c == '(' ? 1 : c == ')' ? -1 : 0;
            }
            for (const auto &[first, last] : bold) {
                const size_t start = std::max(first, from), end = std::min(last, to);
                if (start >= end)
                    continue;
                const auto [runStart, runEnd] = Trimmed(plain, start, end);
                const Cp1253View run = Cp1253View(plain).substr(runStart, runEnd - runStart);
                if (run.empty())
                    continue;
                if (const int record = recordOf(run)) {
                    links.push_back({Cp1253(run), record, runStart});
                    continue;
                }
                // Split at commas; each piece without its blanks.
                size_t piece = runStart;
                while (piece < runEnd) {
                    size_t comma = plain.find(',', piece);
                    if (comma == Cp1253::npos || comma > runEnd)
                        comma = runEnd;
                    const auto [a, b] = Trimmed(plain, piece, comma);
                    if (a < b) {
                        const Cp1253View text = Cp1253View(plain).substr(a, b - a);
                        if (const int record = recordOf(text))
                            links.push_back({Cp1253(text), record, a});
                        else if (unmatched)
                            unmatched->emplace_back(text);
                    }
                    piece = comma + 1;
                }
            }
        }
    }
    std::sort(links.begin(), links.end(),
              [](const EntryLink &x, const EntryLink &y) { return x.offset < y.offset; });
    return links;
}

} // namespace termdex
