#include "richtext/qt/rtf_writer.h"

#include "lib/cp1253.h"
#include "richtext/qt/text_document_sink.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

#include <cmath>
#include <map>
#include <vector>

namespace termdex {

namespace {

// Fonts whose glyphs are symbols: their bytes are not text of any code page.
bool IsSymbolFont(const QString &family)
{
    return family.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0 ||
           family.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive) ||
           family.compare(QLatin1String("Webdings"), Qt::CaseInsensitive) == 0;
}

int PixelsToTwips(double pixels) { return static_cast<int>(std::lround(pixels * kTwipsPerPixel)); }

class Writer
{
public:
    explicit Writer(const QTextDocument &document) : m_document(document)
    {
        const QFont font = document.defaultFont();
        m_defaultSize = font.pointSizeF() > 0 ? font.pointSizeF() : 12.0;
    }

    Cp1253 Run()
    {
        WriteFrame(m_document.rootFrame());
        Cp1253 out = "{\\rtf1\\ansi\\ansicpg1253\\deff0\\uc1{\\fonttbl";
        for (size_t i = 0; i < m_fonts.size(); ++i) {
            const QString &family = m_fonts[i];
            out += "{\\f" + std::to_string(i) + "\\fnil\\fcharset" +
                   (IsSymbolFont(family) ? "2 " : "161 ");
            AppendText(out, family);
            out += ";}";
        }
        out += "}{\\colortbl;";
        for (const QColor &color : m_colors)
            out += "\\red" + std::to_string(color.red()) + "\\green" +
                   std::to_string(color.green()) + "\\blue" + std::to_string(color.blue()) + ";";
        out += "}\r\n";
        out += m_body;
        out += "}";
        return out;
    }

private:
    int FontIndex(const QString &family)
    {
        for (size_t i = 0; i < m_fonts.size(); ++i)
            if (m_fonts[i] == family)
                return static_cast<int>(i);
        m_fonts.push_back(family);
        return static_cast<int>(m_fonts.size() - 1);
    }

    int ColorIndex(const QColor &color)
    {
        for (size_t i = 0; i < m_colors.size(); ++i)
            if (m_colors[i].rgb() == color.rgb())
                return static_cast<int>(i + 1);
        m_colors.push_back(color);
        return static_cast<int>(m_colors.size());
    }

    // Escapes text: RTF's own characters, bytes above 127 as \'hh, the rest as \uN.
    static void AppendText(Cp1253 &out, const QString &text)
    {
        for (const char32_t cp : text.toUcs4()) {
            if (cp == '\\' || cp == '{' || cp == '}') {
                out += '\\';
                out += static_cast<char>(cp);
            } else if (cp == '\t') {
                out += "\\tab ";
            } else if (cp == QChar::LineSeparator) {
                out += "\\line ";
            } else if (cp >= 0x20 && cp < 0x7F) {
                out += static_cast<char>(cp);
            } else if (const auto byte = CodePointToCp1253(cp); byte && *byte >= 0x80) {
                static const char kHex[] = "0123456789abcdef";
                out += "\\'";
                out += kHex[*byte >> 4];
                out += kHex[*byte & 15];
            } else if (cp >= 0x20) {
                // \uN takes a signed 16-bit number; characters beyond it go as a surrogate pair.
                auto unit = [&out](uint32_t u) {
                    out += "\\u" + std::to_string(static_cast<int16_t>(u)) + "?";
                };
                if (cp > 0xFFFF) {
                    unit(0xD800 + ((cp - 0x10000) >> 10));
                    unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
                } else {
                    unit(cp);
                }
            }
        }
    }

    void WriteFrame(QTextFrame *frame)
    {
        for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
            if (QTextFrame *child = it.currentFrame()) {
                if (auto *table = qobject_cast<QTextTable *>(child))
                    WriteTable(table);
                else
                    WriteFrame(child);
                continue;
            }
            const QTextBlock block = it.currentBlock();
            QTextFrame::iterator next = it;
            ++next;
            const bool last = next.atEnd() && frame == m_document.rootFrame();
            const bool beforeTable = !next.atEnd() && next.currentFrame() != nullptr;
            WriteParagraph(block, false);
            // The document keeps a block before every table. Reading puts a table after the
            // paragraph that a \par ended, so only an empty first block is the table's own place.
            const bool placeOfTable =
                beforeTable && block.length() == 1 && block.blockNumber() == 0;
            if (last || placeOfTable)
                continue;
            m_body += block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter
                          ? "\\page\r\n"
                          : "\\par\r\n";
        }
    }

    void WriteParagraph(const QTextBlock &block, bool inTable)
    {
        const QTextBlockFormat format = block.blockFormat();
        m_body += "\\pard";
        if (inTable)
            m_body += "\\intbl";
        const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
        if (alignment & Qt::AlignHCenter)
            m_body += "\\qc";
        else if (alignment & Qt::AlignRight)
            m_body += "\\qr";
        else if (alignment & Qt::AlignJustify)
            m_body += "\\qj";
        else
            m_body += "\\ql";
        auto length = [this](const char *word, double pixels) {
            const int twips = PixelsToTwips(pixels);
            if (twips != 0)
                m_body += std::string("\\") + word + std::to_string(twips);
        };
        length("li", format.leftMargin());
        length("ri", format.rightMargin());
        length("fi", format.textIndent());
        length("sb", format.topMargin());
        length("sa", format.bottomMargin());
        m_body += ' ';
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                WriteFragment(fragment);
        }
    }

    void WriteCharFormat(const QTextCharFormat &format)
    {
        const QStringList families = format.fontFamilies().toStringList();
        // A run without a font keeps none: the font table gets an entry without a name.
        const QString family = families.isEmpty() ? QString() : families.first();
        const double size = format.fontPointSize() > 0 ? format.fontPointSize() : m_defaultSize;
        m_body += "\\f" + std::to_string(FontIndex(family));
        m_body += "\\fs" + std::to_string(std::lround(size * 2));
        if (format.fontWeight() >= QFont::DemiBold)
            m_body += "\\b";
        if (format.fontItalic())
            m_body += "\\i";
        if (format.fontUnderline())
            m_body += "\\ul";
        if (format.fontStrikeOut())
            m_body += "\\strike";
        if (format.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            m_body += "\\super";
        else if (format.verticalAlignment() == QTextCharFormat::AlignSubScript)
            m_body += "\\sub";
        if (format.hasProperty(QTextFormat::ForegroundBrush))
            m_body += "\\cf" + std::to_string(ColorIndex(format.foreground().color()));
        if (format.hasProperty(QTextFormat::BackgroundBrush))
            m_body += "\\highlight" + std::to_string(ColorIndex(format.background().color()));
    }

    void WriteFragment(const QTextFragment &fragment)
    {
        const QTextCharFormat format = fragment.charFormat();
        m_body += "{\\plain";
        WriteCharFormat(format);
        m_body += ' ';
        if (format.isImageFormat()) {
            const QString text = fragment.text();
            for (qsizetype i = 0; i < text.size(); ++i)
                WritePicture(format.toImageFormat());
        } else {
            AppendText(m_body, fragment.text());
        }
        m_body += "}";
    }

    void WritePicture(const QTextImageFormat &format)
    {
        const QVariant resource =
            m_document.resource(QTextDocument::ImageResource, QUrl(format.name()));
        QImage image;
        if (resource.canConvert<QImage>())
            image = resource.value<QImage>();
        if (image.isNull() && resource.canConvert<QPixmap>())
            image = resource.value<QPixmap>().toImage();
        if (image.isNull())
            return;
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG"))
            return;
        const double width = format.width() > 0 ? format.width() : image.width();
        const double height = format.height() > 0 ? format.height() : image.height();
        m_body += "{\\pict\\pngblip\\picw" + std::to_string(image.width()) + "\\pich" +
                  std::to_string(image.height()) + "\\picwgoal" +
                  std::to_string(PixelsToTwips(width)) + "\\pichgoal" +
                  std::to_string(PixelsToTwips(height)) + "\r\n";
        m_body += png.toHex().toStdString();
        m_body += "}";
    }

    void WriteTable(QTextTable *table)
    {
        const QTextTableFormat format = table->format();
        const QList<QTextLength> widths = format.columnWidthConstraints();
        const int left = PixelsToTwips(format.leftMargin());
        std::string row = "\\trowd\\trgaph" + std::to_string(PixelsToTwips(format.cellPadding())) +
                          "\\trleft" + std::to_string(left);
        const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
        row += alignment & Qt::AlignHCenter ? "\\trqc"
               : alignment & Qt::AlignRight ? "\\trqr"
                                            : "\\trql";
        int right = left;
        for (int column = 0; column < table->columns(); ++column) {
            int width = 1440;
            if (column < widths.size() && widths[column].type() == QTextLength::FixedLength)
                width = PixelsToTwips(widths[column].rawValue());
            right += width;
            row += "\\cellx" + std::to_string(right);
        }
        for (int r = 0; r < table->rows(); ++r) {
            m_body += row + "\r\n";
            for (int c = 0; c < table->columns(); ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.row() != r || cell.column() != c) {
                    m_body += "\\pard\\intbl \\cell "; // covered by a merged cell
                    continue;
                }
                for (QTextFrame::iterator it = cell.begin(); !it.atEnd(); ++it) {
                    const QTextBlock block = it.currentBlock();
                    if (!block.isValid())
                        continue; // a nested frame: tables in cells are not written
                    WriteParagraph(block, true);
                    QTextFrame::iterator next = it;
                    ++next;
                    m_body += next.atEnd() ? "\\cell " : "\\par\r\n";
                }
            }
            m_body += "\\row\r\n";
        }
    }

    const QTextDocument &m_document;
    double m_defaultSize = 12.0;
    std::vector<QString> m_fonts;
    std::vector<QColor> m_colors;
    std::string m_body;
};

} // namespace

Cp1253 WriteRtf(const QTextDocument &document) { return Writer(document).Run(); }

} // namespace termdex
