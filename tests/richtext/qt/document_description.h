// A text picture of a QTextDocument's structure and formats, so that tests compare two documents
// (and see where they differ) without comparing resource names.
#pragma once

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextImageFormat>
#include <QTextTable>
#include <QUrl>

namespace termdex::testing {

inline QString DescribeCharFormat(const QTextCharFormat &f)
{
    QString out = QStringLiteral("{%1 %2pt w%3")
                      .arg(f.fontFamilies().toStringList().join(QLatin1Char(',')))
                      .arg(f.fontPointSize())
                      .arg(f.fontWeight());
    if (f.fontItalic())
        out += QStringLiteral(" i");
    if (f.fontUnderline())
        out += QStringLiteral(" u");
    if (f.fontStrikeOut())
        out += QStringLiteral(" s");
    if (f.verticalAlignment() != QTextCharFormat::AlignNormal)
        out += QStringLiteral(" v%1").arg(int(f.verticalAlignment()));
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        out += QStringLiteral(" fg") + f.foreground().color().name();
    if (f.hasProperty(QTextFormat::BackgroundBrush))
        out += QStringLiteral(" bg") + f.background().color().name();
    return out + QLatin1Char('}');
}

inline QString DescribeImage(const QTextDocument &document, const QTextImageFormat &f)
{
    const QImage image =
        document.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    const QByteArray bytes(reinterpret_cast<const char *>(pixels.constBits()),
                           pixels.sizeInBytes());
    return QStringLiteral("[image %1x%2 shown %3x%4 %5]")
        .arg(image.width())
        .arg(image.height())
        .arg(f.width())
        .arg(f.height())
        .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()));
}

inline QString DescribeBlock(const QTextDocument &document, const QTextBlock &block)
{
    const QTextBlockFormat f = block.blockFormat();
    QString out = QStringLiteral("P a%1 l%2 r%3 f%4 t%5 b%6 pb%7 %8:")
                      .arg(int(f.alignment()))
                      .arg(f.leftMargin())
                      .arg(f.rightMargin())
                      .arg(f.textIndent())
                      .arg(f.topMargin())
                      .arg(f.bottomMargin())
                      .arg(int(f.pageBreakPolicy()))
                      .arg(DescribeCharFormat(block.charFormat()));
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (fragment.charFormat().isImageFormat())
            out += DescribeImage(document, fragment.charFormat().toImageFormat());
        else
            out += QLatin1Char('[') + fragment.text() + QLatin1Char(']');
        out += DescribeCharFormat(fragment.charFormat());
    }
    return out + QLatin1Char('\n');
}

inline QString DescribeFrame(const QTextDocument &document, QTextFrame *frame)
{
    QString out;
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        if (QTextFrame *child = it.currentFrame()) {
            auto *table = qobject_cast<QTextTable *>(child);
            if (table == nullptr) {
                out += QStringLiteral("FRAME\n") + DescribeFrame(document, child);
                continue;
            }
            const QTextTableFormat f = table->format();
            out += QStringLiteral("TABLE %1x%2 left%3 pad%4 a%5 widths")
                       .arg(table->rows())
                       .arg(table->columns())
                       .arg(f.leftMargin())
                       .arg(f.cellPadding())
                       .arg(int(f.alignment()));
            for (const QTextLength &w : f.columnWidthConstraints())
                out += QStringLiteral(" %1").arg(w.rawValue());
            out += QLatin1Char('\n');
            for (int r = 0; r < table->rows(); ++r) {
                for (int c = 0; c < table->columns(); ++c) {
                    out += QStringLiteral("CELL %1,%2\n").arg(r).arg(c);
                    const QTextTableCell cell = table->cellAt(r, c);
                    for (QTextFrame::iterator ci = cell.begin(); !ci.atEnd(); ++ci)
                        out += DescribeBlock(document, ci.currentBlock());
                }
            }
            out += QStringLiteral("END TABLE\n");
        } else {
            out += DescribeBlock(document, it.currentBlock());
        }
    }
    return out;
}

inline QString DescribeDocument(const QTextDocument &document)
{
    return DescribeFrame(document, document.rootFrame());
}

// The document's text as the plain-text reader gives it for the RTF it came from: paragraphs end
// with CR LF (the last one with nothing), a cell with a TAB, a row with CR LF.
inline QString ReaderPlainText(QTextFrame *frame, bool root)
{
    QString out;
    for (QTextFrame::iterator it = frame->begin(); !it.atEnd(); ++it) {
        QTextFrame::iterator next = it;
        ++next;
        if (auto *table = qobject_cast<QTextTable *>(it.currentFrame())) {
            for (int r = 0; r < table->rows(); ++r) {
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    for (QTextFrame::iterator ci = cell.begin(); !ci.atEnd(); ++ci) {
                        QTextFrame::iterator cn = ci;
                        ++cn;
                        out += ci.currentBlock().text();
                        if (!cn.atEnd())
                            out += QStringLiteral("\r\n");
                    }
                    out += QLatin1Char('\t');
                }
                out += QStringLiteral("\r\n");
            }
        } else if (it.currentFrame() == nullptr) {
            out += it.currentBlock().text();
            if (!(root && next.atEnd()))
                out += QStringLiteral("\r\n");
        }
    }
    out.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return out;
}

// The first line where two descriptions differ, with its number; empty when they are equal.
inline QString FirstDifference(const QString &actual, const QString &expected)
{
    const QStringList a = actual.split(QLatin1Char('\n'));
    const QStringList e = expected.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < std::max(a.size(), e.size()); ++i) {
        const QString left = i < a.size() ? a[i] : QStringLiteral("<none>");
        const QString right = i < e.size() ? e[i] : QStringLiteral("<none>");
        if (left != right)
            return QStringLiteral("line %1:\n  actual   %2\n  expected %3")
                .arg(i + 1)
                .arg(left, right);
    }
    return {};
}

} // namespace termdex::testing
