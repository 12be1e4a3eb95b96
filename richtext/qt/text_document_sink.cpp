#include "richtext/qt/text_document_sink.h"

#include "lib/cp1253.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cstring>

namespace termdex {

namespace {

// Lengths beyond a page's width are clipped: a huge \liN must not make the layout unusable.
constexpr int kMaxTwips = 31680; // 22 inches
constexpr int kMaxColumns = 64;
constexpr int kMaxPictureSide = 8192; // pixels of a device bitmap built here

double TwipsToPixels(int twips)
{
    return std::clamp(twips, -kMaxTwips, kMaxTwips) / kTwipsPerPixel;
}

QString ToQString(Cp1253View text) { return QString::fromStdString(Cp1253ToUtf8(text)); }

QColor ToColor(const RgbColor &color) { return QColor(color.red, color.green, color.blue); }

Qt::Alignment ToAlignment(Alignment alignment)
{
    switch (alignment) {
    case Alignment::Center:
        return Qt::AlignHCenter;
    case Alignment::Right:
        return Qt::AlignRight;
    case Alignment::Justify:
        return Qt::AlignJustify;
    case Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

uint32_t ReadLe32(const std::string &data, size_t at)
{
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(data[at + i])) << (8 * i);
    return value;
}

uint16_t ReadLe16(const std::string &data, size_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(data[at]) |
                                 (static_cast<unsigned char>(data[at + 1]) << 8));
}

void AppendLe32(QByteArray &out, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// A device-independent bitmap is a BMP file without its 14-byte file header; the header says
// where the pixels begin, after the info header, the colour masks and the palette.
QImage DecodeDib(const std::string &data)
{
    if (data.size() < 12)
        return {};
    const uint32_t headerSize = ReadLe32(data, 0);
    if (headerSize < 12 || headerSize > data.size())
        return {};
    const bool core = headerSize == 12;
    if (!core && headerSize < 40)
        return {};
    const uint16_t bitCount = core ? ReadLe16(data, 10) : ReadLe16(data, 14);
    const uint32_t compression = core ? 0 : ReadLe32(data, 16);
    uint32_t colors = core ? 0 : ReadLe32(data, 32);
    if (colors == 0 && bitCount <= 8)
        colors = 1u << bitCount;
    if (colors > 256)
        return {};
    uint64_t extra = uint64_t{colors} * (core ? 3 : 4);
    if (headerSize == 40 && (compression == 3 || compression == 6)) // BI_BITFIELDS, ALPHABITFIELDS
        extra += compression == 3 ? 12 : 16;
    const uint64_t pixelsAt = 14 + uint64_t{headerSize} + extra;
    if (pixelsAt > 14 + data.size())
        return {};
    QByteArray file("BM");
    AppendLe32(file, static_cast<uint32_t>(14 + data.size()));
    AppendLe32(file, 0);
    AppendLe32(file, static_cast<uint32_t>(pixelsAt));
    file.append(data.data(), static_cast<qsizetype>(data.size()));
    QImage image;
    image.loadFromData(file, "BMP");
    return image;
}

// A device-dependent bitmap: rows of widthBytes bytes, top row first.
QImage DecodeDeviceBitmap(const Picture &picture)
{
    const int width = picture.width, height = picture.height, bits = picture.bitsPerPixel;
    if (width <= 0 || height <= 0 || width > kMaxPictureSide || height > kMaxPictureSide)
        return {};
    const int64_t needed = (int64_t{width} * bits + 7) / 8;
    const int64_t stride = picture.widthBytes > 0 ? picture.widthBytes : ((needed + 1) / 2) * 2;
    if (stride < needed || stride * height > static_cast<int64_t>(picture.data.size()))
        return {};
    QImage::Format format;
    switch (bits) {
    case 1:
        format = QImage::Format_Mono;
        break;
    case 24:
        format = QImage::Format_BGR888;
        break;
    case 32:
        format = QImage::Format_RGB32;
        break;
    default:
        return {};
    }
    QImage image(width, height, format);
    if (image.isNull())
        return {};
    if (bits == 1) {
        image.setColorCount(2);
        image.setColor(0, qRgb(0, 0, 0));
        image.setColor(1, qRgb(255, 255, 255));
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), picture.data.data() + stride * y,
                    static_cast<size_t>(needed));
    return bits == 24 ? image.convertToFormat(QImage::Format_RGB32) : image;
}

} // namespace

QTextCharFormat ToTextCharFormat(const CharFormat &format)
{
    QTextCharFormat out;
    if (!format.fontName.empty())
        out.setFontFamilies(QStringList{ToQString(format.fontName)});
    out.setFontPointSize(format.size / 2.0);
    out.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    out.setFontItalic(format.italic);
    out.setFontUnderline(format.underline);
    out.setFontStrikeOut(format.strike);
    if (format.vertical == VerticalPosition::Superscript)
        out.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (format.vertical == VerticalPosition::Subscript)
        out.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (format.foreground)
        out.setForeground(ToColor(*format.foreground));
    if (format.background)
        out.setBackground(ToColor(*format.background));
    return out;
}

QTextBlockFormat ToTextBlockFormat(const ParagraphFormat &format)
{
    QTextBlockFormat out;
    out.setAlignment(ToAlignment(format.alignment));
    out.setLeftMargin(TwipsToPixels(format.leftIndent));
    out.setRightMargin(TwipsToPixels(format.rightIndent));
    out.setTextIndent(TwipsToPixels(format.firstLineIndent));
    out.setTopMargin(TwipsToPixels(format.spaceBefore));
    out.setBottomMargin(TwipsToPixels(format.spaceAfter));
    return out;
}

QImage DecodePicture(const Picture &picture)
{
    QImage image;
    const QByteArray bytes(picture.data.data(), static_cast<qsizetype>(picture.data.size()));
    switch (picture.format) {
    case PictureFormat::Png:
        image.loadFromData(bytes, "PNG");
        break;
    case PictureFormat::Jpeg:
        image.loadFromData(bytes, "JPEG");
        break;
    case PictureFormat::Dib:
        image = DecodeDib(picture.data);
        break;
    case PictureFormat::DeviceBitmap:
        image = DecodeDeviceBitmap(picture);
        break;
    case PictureFormat::Other:
        break;
    }
    return image;
}

TextDocumentSink::TextDocumentSink(QTextDocument &document)
    : m_document(document), m_cursor(&document)
{
    m_cursor.movePosition(QTextCursor::End);
    m_paragraphStart = m_cursor.blockNumber();
}

void TextDocumentSink::LeaveTable()
{
    // Content outside a row ends the table: the next row starts another one.
    if (!m_inRow) {
        m_table = nullptr;
        return;
    }
    EnterCell();
}

void TextDocumentSink::EnterCell()
{
    if (m_table == nullptr || m_column < m_table->columns())
        return;
    if (m_table->columns() >= kMaxColumns) {
        m_column = m_table->columns() - 1; // later cells join the last one
        return;
    }
    m_table->appendColumns(1);
    m_column = m_table->columns() - 1;
    m_cursor = m_table->cellAt(m_row, m_column).firstCursorPosition();
    m_paragraphStart = m_cursor.blockNumber();
}

void TextDocumentSink::OnText(Cp1253View text, const CharFormat &format)
{
    LeaveTable();
    m_lastFormat = ToTextCharFormat(format);
    m_cursor.insertText(ToQString(text), m_lastFormat);
}

void TextDocumentSink::OnUnicode(char32_t codePoint, const CharFormat &format)
{
    LeaveTable();
    m_lastFormat = ToTextCharFormat(format);
    m_cursor.insertText(QString::fromUcs4(&codePoint, 1), m_lastFormat);
}

void TextDocumentSink::ApplyParagraph(const ParagraphFormat &format)
{
    const QTextBlockFormat blockFormat = ToTextBlockFormat(format);
    QTextBlock block = m_cursor.block();
    // A paragraph split by page breaks is several blocks; all take its format, and every one
    // but the last breaks the page after it.
    for (QTextBlock b = m_document.findBlockByNumber(m_paragraphStart); b.isValid(); b = b.next()) {
        QTextCursor at(b);
        QTextBlockFormat f = blockFormat;
        if (b != block)
            f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysAfter);
        at.setBlockFormat(f);
        if (b == block)
            break;
    }
}

void TextDocumentSink::EndParagraph(const ParagraphFormat &format, bool pageBreak)
{
    if (!pageBreak)
        ApplyParagraph(format);
    m_cursor.insertBlock(QTextBlockFormat(), m_lastFormat);
    if (!pageBreak)
        m_paragraphStart = m_cursor.blockNumber();
    m_blockFromPar = true;
}

void TextDocumentSink::OnParagraphEnd(const ParagraphFormat &format)
{
    LeaveTable();
    EndParagraph(format, false);
}

void TextDocumentSink::OnLineBreak(const CharFormat &format)
{
    LeaveTable();
    m_lastFormat = ToTextCharFormat(format);
    m_cursor.insertText(QString(QChar::LineSeparator), m_lastFormat);
}

void TextDocumentSink::OnPageBreak()
{
    LeaveTable();
    EndParagraph(ParagraphFormat{}, true);
}

void TextDocumentSink::OnRowStart(const TableRowFormat &row)
{
    const int columns = std::clamp(static_cast<int>(row.cellRight.size()), 1, kMaxColumns);
    if (m_table != nullptr && m_table->columns() == columns) {
        m_table->appendRows(1);
        m_row = m_table->rows() - 1;
    } else {
        // The empty block that the last \par opened is this table's place: the table goes after
        // the paragraph before it, with no empty paragraph between.
        if (m_blockFromPar && m_cursor.block().length() == 1 && m_cursor.atBlockStart()) {
            m_cursor.deletePreviousChar();
        }
        QTextTableFormat table;
        QList<QTextLength> widths;
        int left = std::clamp(row.leftEdge, -kMaxTwips, kMaxTwips);
        for (int i = 0; i < columns; ++i) {
            const int right =
                i < static_cast<int>(row.cellRight.size())
                    ? std::clamp(row.cellRight[static_cast<size_t>(i)], -kMaxTwips, kMaxTwips)
                    : left + 1440;
            widths << QTextLength(QTextLength::FixedLength,
                                  std::max(0, right - left) / kTwipsPerPixel);
            left = right;
        }
        table.setColumnWidthConstraints(widths);
        table.setLeftMargin(std::max(0.0, TwipsToPixels(row.leftEdge)));
        table.setCellPadding(std::max(0.0, TwipsToPixels(row.cellGap)));
        table.setCellSpacing(0);
        table.setBorder(1);
        table.setBorderCollapse(true);
        table.setAlignment(ToAlignment(row.alignment));
        m_table = m_cursor.insertTable(1, columns, table);
        m_row = 0;
    }
    m_inRow = true;
    m_column = 0;
    m_cursor = m_table->cellAt(m_row, 0).firstCursorPosition();
    m_paragraphStart = m_cursor.blockNumber();
}

void TextDocumentSink::OnCellEnd(const ParagraphFormat &format)
{
    if (m_table == nullptr || !m_inRow)
        return;
    EnterCell();
    ApplyParagraph(format);
    ++m_column;
    if (m_column < m_table->columns()) {
        m_cursor = m_table->cellAt(m_row, m_column).firstCursorPosition();
        m_paragraphStart = m_cursor.blockNumber();
    }
}

void TextDocumentSink::OnRowEnd(const TableRowFormat &)
{
    if (m_table == nullptr || !m_inRow)
        return;
    m_inRow = false;
    m_cursor.setPosition(m_table->lastPosition() + 1);
    m_paragraphStart = m_cursor.blockNumber();
    m_blockFromPar = false;
}

void TextDocumentSink::OnPicture(const Picture &picture, const CharFormat &format)
{
    LeaveTable();
    const QImage image = DecodePicture(picture);
    if (image.isNull())
        return;
    const QString name = QStringLiteral("termdex-picture:%1").arg(++m_pictures);
    m_document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    double width = image.width(), height = image.height();
    if (picture.goalWidth > 0 && picture.goalHeight > 0) {
        width = TwipsToPixels(picture.goalWidth);
        height = TwipsToPixels(picture.goalHeight);
    }
    width *= std::clamp(picture.scaleX, 1, 1000) / 100.0;
    height *= std::clamp(picture.scaleY, 1, 1000) / 100.0;
    QTextImageFormat imageFormat;
    imageFormat.merge(ToTextCharFormat(format));
    imageFormat.setName(name);
    imageFormat.setWidth(width);
    imageFormat.setHeight(height);
    m_cursor.insertImage(imageFormat);
}

void TextDocumentSink::OnDocumentEnd(const ParagraphFormat &format)
{
    if (m_inRow) {
        // A row the input left open ends with it.
        OnRowEnd(TableRowFormat{});
    }
    ApplyParagraph(format);
}

bool LoadRtfDocument(Cp1253View rtf, QTextDocument &document)
{
    document.clear();
    if (!LooksLikeRtf(rtf))
        return false;
    TextDocumentSink sink(document);
    return ReadRtf(rtf, sink);
}

} // namespace termdex
