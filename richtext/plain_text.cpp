#include "richtext/plain_text.h"

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

void RtfToPlainText(RtfPreamble &preamble, Cp1253View rest, Cp1253 &out)
{
    PlainTextSink sink(out);
    if (!preamble.Read(rest, sink)) {
        out.append(preamble.Prefix());
        out.append(rest);
    }
}

} // namespace termdex
