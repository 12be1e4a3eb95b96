#include "main/print_rows.h"

#include <algorithm>

namespace termdex {

PrintRowSink::Held &PrintRowSink::Hold(Kind kind, const CharFormat *format)
{
    Held &held = m_held.emplace_back();
    held.kind = kind;
    if (format != nullptr) {
        held.format = *format;
        held.fontName = std::string(format->fontName);
        held.format.fontName = {};
    }
    return held;
}

void PrintRowSink::Release()
{
    for (Held &held : m_held) {
        held.format.fontName = held.fontName;
        switch (held.kind) {
        case Kind::Text:
            m_target.OnText(held.text, held.format);
            break;
        case Kind::Unicode:
            m_target.OnUnicode(held.codePoint, held.format);
            break;
        case Kind::LineBreak:
            m_target.OnLineBreak(held.format);
            break;
        case Kind::PageBreak:
            m_target.OnPageBreak();
            break;
        case Kind::Picture:
            m_target.OnPicture(held.picture, held.format);
            break;
        }
    }
    m_held.clear();
}

void PrintRowSink::StartRow(const TableRowFormat &row)
{
    m_target.OnRowStart(row);
    m_rowOpen = true;
    m_cellsEnded = 0;
}

void PrintRowSink::EndRowAtParagraph(const ParagraphFormat &format)
{
    // The paragraph's cell ends with it, unless the row's cells are all ended (a further one
    // would add a cell to the row).
    if (m_cellsEnded < std::max<size_t>(1, m_row.cellRight.size()))
        m_target.OnCellEnd(format);
    m_target.OnRowEnd(m_row);
    m_rowOpen = false;
}

void PrintRowSink::OnText(Cp1253View text, const CharFormat &format)
{
    if (Holding())
        Hold(Kind::Text, &format).text = std::string(text);
    else
        m_target.OnText(text, format);
}

void PrintRowSink::OnUnicode(char32_t codePoint, const CharFormat &format)
{
    if (Holding())
        Hold(Kind::Unicode, &format).codePoint = codePoint;
    else
        m_target.OnUnicode(codePoint, format);
}

void PrintRowSink::OnLineBreak(const CharFormat &format)
{
    if (Holding())
        Hold(Kind::LineBreak, &format);
    else
        m_target.OnLineBreak(format);
}

void PrintRowSink::OnPageBreak()
{
    if (Holding())
        Hold(Kind::PageBreak, nullptr);
    else
        m_target.OnPageBreak();
}

void PrintRowSink::OnPicture(const Picture &picture, const CharFormat &format)
{
    if (Holding())
        Hold(Kind::Picture, &format).picture = picture;
    else
        m_target.OnPicture(picture, format);
}

void PrintRowSink::OnParagraphEnd(const ParagraphFormat &format)
{
    if (m_rowOpen) {
        EndRowAtParagraph(format);
        return;
    }
    if (Holding() && format.inTable && !m_held.empty()) {
        StartRow(m_row);
        Release();
        EndRowAtParagraph(format);
        return;
    }
    Release();
    m_target.OnParagraphEnd(format);
}

void PrintRowSink::OnRowStart(const TableRowFormat &row)
{
    Release();
    m_row = row;
    m_readerInRow = true;
    StartRow(row);
}

void PrintRowSink::OnCellEnd(const ParagraphFormat &format)
{
    if (Holding()) {
        StartRow(m_row);
        Release();
    }
    m_target.OnCellEnd(format);
    ++m_cellsEnded;
}

void PrintRowSink::OnRowEnd(const TableRowFormat &row)
{
    m_readerInRow = false;
    if (!m_rowOpen && !m_held.empty()) {
        StartRow(m_row);
        Release();
    }
    if (m_rowOpen) {
        m_target.OnRowEnd(row);
        m_rowOpen = false;
    }
}

void PrintRowSink::OnDocumentEnd(const ParagraphFormat &format)
{
    if (Holding() && format.inTable && !m_held.empty())
        StartRow(m_row);
    Release();
    m_target.OnDocumentEnd(format);
}

} // namespace termdex
