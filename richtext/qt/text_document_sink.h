// The RTF reader's events into a QTextDocument: what the description view, the print document
// and the rights window show. Lengths in twips become document pixels at 15 twips a pixel
// (96 dpi), kept as fractions so that the writer gives the same twips back.
#pragma once

#include "lib/text.h"
#include "richtext/rtf_reader.h"

#include <QImage>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;
class QTextTable;

namespace termdex {

constexpr double kTwipsPerPixel = 15.0;

// Appends what the reader reports at the end of a document. A table's paragraph before it is
// taken into the paragraph ahead (the document needs a block before a table only where no
// paragraph stands), so the document has the paragraphs the RTF has.
class TextDocumentSink final : public RtfSink
{
public:
    explicit TextDocumentSink(QTextDocument &document);

    void OnText(Cp1253View text, const CharFormat &format) override;
    void OnUnicode(char32_t codePoint, const CharFormat &format) override;
    void OnParagraphEnd(const ParagraphFormat &format) override;
    void OnLineBreak(const CharFormat &format) override;
    void OnPageBreak() override;
    void OnRowStart(const TableRowFormat &row) override;
    void OnCellEnd(const ParagraphFormat &format) override;
    void OnRowEnd(const TableRowFormat &row) override;
    void OnPicture(const Picture &picture, const CharFormat &format) override;
    void OnDocumentEnd(const ParagraphFormat &format) override;

private:
    void LeaveTable();
    // Content inside a row goes to the current cell; a cell past the row's definition adds a
    // column to the table.
    void EnterCell();
    void EndParagraph(const ParagraphFormat &format, bool pageBreak);
    void ApplyParagraph(const ParagraphFormat &format);

    QTextDocument &m_document;
    QTextCursor m_cursor;
    QTextCharFormat m_lastFormat; // the char format of empty paragraphs that follow text
    int m_paragraphStart = 0;     // block number where the current paragraph began
    bool m_blockFromPar =
        false; // the current block was opened by \par (not first, not after a table)
    QTextTable *m_table = nullptr; // the table that the next row joins, if it has as many cells
    bool m_inRow = false;
    int m_row = 0;
    int m_column = 0;
    int m_pictures = 0;
};

// The character format of the reader as a document format, and a paragraph format as a block's.
QTextCharFormat ToTextCharFormat(const CharFormat &format);
QTextBlockFormat ToTextBlockFormat(const ParagraphFormat &format);

// A picture's image: PNG, JPEG, a device-independent bitmap, or a 1, 24 or 32 bit device bitmap;
// a null image for anything else or for bytes that do not hold a whole picture.
QImage DecodePicture(const Picture &picture);

// Replaces the document's content with an RTF document. Returns false and leaves the document
// empty when the input is not rich text (LooksLikeRtf).
bool LoadRtfDocument(Cp1253View rtf, QTextDocument &document);

} // namespace termdex
