// The plain text of a rich-text document, as the full-text search, the modify command and the
// copy command read it: the document's paragraphs joined with CR LF.
//
// \par ends a paragraph, and whatever follows the last \par is the last paragraph, possibly
// empty, so "X\par \par}" reads "X" CR LF CR LF. \line, \page and \row give CR LF too; \tab and
// \cell give a TAB. Text is in code page 1253; a character that code page cannot hold reads "?".
#pragma once

#include "lib/text.h"
#include "richtext/rtf_reader.h"

namespace termdex {

// Appends the plain text of what a reader reports to a caller's buffer.
class PlainTextSink final : public RtfSink
{
public:
    explicit PlainTextSink(Cp1253 &out) : m_out(out) {}

    void OnText(Cp1253View text, const CharFormat &format) override;
    void OnUnicode(char32_t codePoint, const CharFormat &format) override;
    void OnParagraphEnd(const ParagraphFormat &format) override;
    void OnLineBreak(const CharFormat &format) override;
    void OnPageBreak() override;
    void OnCellEnd(const ParagraphFormat &format) override;
    void OnRowEnd(const TableRowFormat &row) override;

private:
    Cp1253 &m_out;
};

// The plain text of a document. Input that is not rich text (LooksLikeRtf) comes back unchanged,
// as a rich-text control holds such input as its plain text.
Cp1253 RtfToPlainText(Cp1253View rtf);
// The same, appended to out, which keeps what it held: a caller reading many documents reuses
// one buffer.
void RtfToPlainText(Cp1253View rtf, Cp1253 &out);
// The plain text of preamble.Prefix() + rest, appended to out, with the prefix read once for
// all the documents that the preamble reads.
void RtfToPlainText(RtfPreamble &preamble, Cp1253View rest, Cp1253 &out);

// The same plain text as UTF-8 for showing outside the program, where a character that code
// page 1253 cannot hold (an \uN escape, another charset's byte) is that character, not "?".
std::string RtfToPlainUtf8(Cp1253View rtf);

} // namespace termdex
