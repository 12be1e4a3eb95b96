// How the print vehicle reads table rows: as the platform's rich-edit control did, a row holds
// one paragraph per cell, so a paragraph end inside a row ends the row, and content of a table
// paragraph after it begins a new row with the last row's cells. The print document's head
// relies on it: each label and its value form a row of two cells ("Λήμμα:" | headword,
// "Απόδοση:" | rendering, "Περιγραφή:" | the description's first paragraph), and the rest of
// the description runs below at the page's width. Without it the rendering row would take
// the description label and the first paragraph as a third cell beyond the page's edge.
#pragma once

#include "richtext/rtf_reader.h"

#include <string>
#include <vector>

namespace termdex {

// Passes a reader's events on to target with rows ended at paragraph ends. Content that may
// begin a new row waits until its paragraph shows whether it lies in a table.
class PrintRowSink final : public RtfSink
{
public:
    explicit PrintRowSink(RtfSink &target) : m_target(target) {}

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
    enum class Kind { Text, Unicode, LineBreak, PageBreak, Picture };
    struct Held
    {
        Kind kind;
        std::string text;
        char32_t codePoint = 0;
        CharFormat format;
        std::string fontName; // the format's font name, kept past the callback
        Picture picture;
    };

    // True when content is held back: the reader is still in the row that a paragraph end
    // closed here.
    bool Holding() const { return !m_rowOpen && m_readerInRow; }
    Held &Hold(Kind kind, const CharFormat *format);
    void Release();
    void StartRow(const TableRowFormat &row);
    void EndRowAtParagraph(const ParagraphFormat &format);

    RtfSink &m_target;
    bool m_rowOpen = false;     // a row is open in the target
    bool m_readerInRow = false; // the reader began a row and has not seen its \row
    size_t m_cellsEnded = 0;    // cells the open row has ended
    TableRowFormat m_row;       // the definition of the reader's last row
    std::vector<Held> m_held;
};

} // namespace termdex
