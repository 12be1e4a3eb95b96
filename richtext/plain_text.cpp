#include "richtext/plain_text.h"

#include "lib/cp1253.h"

namespace termdex {

void PlainTextSink::OnText(Cp1253View text, const CharFormat &) { m_out.append(text); }

void PlainTextSink::OnUnicode(char32_t, const CharFormat &) { m_out += '?'; }

void PlainTextSink::OnParagraphEnd(const ParagraphFormat &) { m_out += "\r\n"; }

void PlainTextSink::OnLineBreak(const CharFormat &) { m_out += "\r\n"; }

void PlainTextSink::OnPageBreak() { m_out += "\r\n"; }

void PlainTextSink::OnCellEnd(const ParagraphFormat &) { m_out += '\t'; }

void PlainTextSink::OnRowEnd(const TableRowFormat &) { m_out += "\r\n"; }

Cp1253 RtfToPlainText(Cp1253View rtf)
{
    Cp1253 out;
    RtfToPlainText(rtf, out);
    return out;
}

void RtfToPlainText(Cp1253View rtf, Cp1253 &out)
{
    PlainTextSink sink(out);
    if (!ReadRtf(rtf, sink))
        out.append(rtf);
}

namespace {

// Keeps the code page text and each character it cannot hold in order, converting at the end.
class Utf8PlainTextSink final : public RtfSink
{
public:
    void OnText(Cp1253View text, const CharFormat &format) override
    {
        m_plain.OnText(text, format);
    }
    void OnUnicode(char32_t codePoint, const CharFormat &) override
    {
        Flush();
        m_out += CodePointToUtf8(codePoint);
    }
    void OnParagraphEnd(const ParagraphFormat &format) override { m_plain.OnParagraphEnd(format); }
    void OnLineBreak(const CharFormat &format) override { m_plain.OnLineBreak(format); }
    void OnPageBreak() override { m_plain.OnPageBreak(); }
    void OnCellEnd(const ParagraphFormat &format) override { m_plain.OnCellEnd(format); }
    void OnRowEnd(const TableRowFormat &row) override { m_plain.OnRowEnd(row); }
    std::string Finish()
    {
        Flush();
        return std::move(m_out);
    }

private:
    void Flush()
    {
        m_out += Cp1253ToUtf8(m_pending);
        m_pending.clear();
    }
    Cp1253 m_pending;
    PlainTextSink m_plain{m_pending};
    std::string m_out;
};

} // namespace

std::string RtfToPlainUtf8(Cp1253View rtf)
{
    Utf8PlainTextSink sink;
    const bool read = ReadRtf(rtf, sink);
    std::string out = sink.Finish();
    if (!read) // as RtfToPlainText: the input itself
        out += Cp1253ToUtf8(rtf);
    return out;
}

void RtfToPlainText(RtfPreamble &preamble, Cp1253View rest, Cp1253 &out)
{
    PlainTextSink sink(out);
    if (!preamble.Read(rest, sink)) {
        out.append(preamble.Prefix());
        out.append(rest);
    }
}

} // namespace termdex
