#include "richtext/qt/text_document_sink.h"

#include "data/description_store.h"
#include "data/entry_index.h"
#include "data/paths.h"
#include "lib/cp1253.h"
#include "richtext/plain_text.h"
#include "tests/richtext/qt/document_description.h"

#include <QBuffer>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextTable>

#include <cstdlib>

namespace termdex {
namespace {

const std::string kFonts = "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 "
                           "Arial;}{\\f1\\froman\\fcharset161 Times New Roman;}}"
                           "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue160;}";

QString Utf(const char *utf8) { return QString::fromUtf8(utf8); }

std::string PngHex(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex().toStdString();
}

std::vector<QTextBlock> Blocks(const QTextDocument &document)
{
    std::vector<QTextBlock> blocks;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        blocks.push_back(b);
    return blocks;
}

} // namespace

class TextDocumentSinkTest : public QObject
{
    Q_OBJECT

private slots:
    void charactersKeepFontSizeStyleAndColours()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts + "\\f1\\fs28\\b\\i bold italic\\b0\\i0 \\ul under\\ulnone "
                                         "\\strike gone\\strike0 x\\super 2\\nosupersub "
                                         "{\\cf1 red}{\\highlight2 marked}\\f0\\fs20 "
                                         "\\'e1\\'e2\\'e3}",
                                document));
        // The blank after a control word ends the word and is not text.
        const QTextBlock block = document.begin();
        QCOMPARE(block.text(), Utf("bold italicundergonex2redmarkedαβγ"));
        std::vector<QTextFragment> fragments;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            fragments.push_back(it.fragment());
        QCOMPARE(fragments.size(), size_t(8));
        const QTextCharFormat first = fragments[0].charFormat();
        QCOMPARE(first.fontFamilies().toStringList(), QStringList{Utf("Times New Roman")});
        QCOMPARE(first.fontPointSize(), 14.0);
        QCOMPARE(first.fontWeight(), int(QFont::Bold));
        QVERIFY(first.fontItalic());
        QVERIFY(!fragments[1].charFormat().fontItalic());
        QVERIFY(fragments[1].charFormat().fontUnderline());
        QVERIFY(fragments[2].charFormat().fontStrikeOut());
        QVERIFY(!fragments[3].charFormat().fontStrikeOut());
        QCOMPARE(fragments[4].text(), Utf("2"));
        QCOMPARE(fragments[4].charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
        QCOMPARE(fragments[5].charFormat().foreground().color(), QColor(255, 0, 0));
        QVERIFY(!fragments[0].charFormat().hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(fragments[6].charFormat().background().color(), QColor(0, 0, 160));
        const QTextCharFormat greek = fragments.back().charFormat();
        QCOMPARE(greek.fontFamilies().toStringList(), QStringList{Utf("Arial")});
        QCOMPARE(greek.fontPointSize(), 10.0);
        QCOMPARE(greek.fontWeight(), int(QFont::Normal));
    }

    void paragraphsKeepAlignmentAndIndentsInPixels()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts + "\\qc centre\\par \\pard\\qr\\li1440\\ri720\\fi-300"
                                         "\\sb120\\sa240 right\\par \\pard\\qj just}",
                                document));
        const auto blocks = Blocks(document);
        QCOMPARE(blocks.size(), size_t(3));
        QCOMPARE(blocks[0].blockFormat().alignment(), Qt::AlignHCenter);
        const QTextBlockFormat right = blocks[1].blockFormat();
        QCOMPARE(right.alignment(), Qt::AlignRight);
        QCOMPARE(right.leftMargin(), 96.0);
        QCOMPARE(right.rightMargin(), 48.0);
        QCOMPARE(right.textIndent(), -20.0);
        QCOMPARE(right.topMargin(), 8.0);
        QCOMPARE(right.bottomMargin(), 16.0);
        QCOMPARE(blocks[2].blockFormat().alignment(), Qt::AlignJustify);
    }

    void hugeIndentsAreClipped()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts + "\\li2000000000\\fi-2000000000 x}", document));
        QCOMPARE(document.begin().blockFormat().leftMargin(), 31680 / 15.0);
        QCOMPARE(document.begin().blockFormat().textIndent(), -31680 / 15.0);
    }

    void paragraphEndsGiveTheParagraphsOfThePlainText()
    {
        const std::vector<std::string> bodies = {"X\\par \\par}",     "X}", "\\par}",
                                                 "A\\line B\\tab C}", "}",  "A\\par B\\par}"};
        for (const std::string &body : bodies) {
            QTextDocument document;
            const std::string rtf = kFonts + body;
            QVERIFY(LoadRtfDocument(rtf, document));
            QString plain = document.toPlainText();
            plain.replace(QChar::LineSeparator, QLatin1Char('\n'));
            plain.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
            QCOMPARE(plain, QString::fromStdString(Cp1253ToUtf8(RtfToPlainText(rtf))));
        }
    }

    void pageBreakSplitsTheParagraphAndKeepsItsFormat()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts + "\\qc one\\page two\\par}", document));
        const auto blocks = Blocks(document);
        QCOMPARE(blocks.size(), size_t(3));
        QCOMPARE(blocks[0].text(), Utf("one"));
        QCOMPARE(blocks[0].blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_AlwaysAfter);
        QCOMPARE(blocks[1].blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(blocks[1].blockFormat().pageBreakPolicy(), QTextFormat::PageBreak_Auto);
    }

    void tableFollowsTheParagraphBeforeIt()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts + "A\\par \\trowd\\trgaph60\\cellx1440\\cellx4320"
                                         "\\intbl a\\cell b\\par b2\\cell\\row "
                                         "\\trowd\\trgaph60\\cellx1440\\cellx4320"
                                         "\\intbl c\\cell d\\cell\\row \\pard B\\par}",
                                document));
        auto it = document.rootFrame()->begin();
        QCOMPARE(it.currentBlock().text(), Utf("A"));
        ++it;
        auto *table = qobject_cast<QTextTable *>(it.currentFrame());
        QVERIFY(table != nullptr);
        QCOMPARE(table->rows(), 2);
        QCOMPARE(table->columns(), 2);
        const QList<QTextLength> widths = table->format().columnWidthConstraints();
        QCOMPARE(widths.size(), 2);
        QCOMPARE(widths[0].rawValue(), 96.0);
        QCOMPARE(widths[1].rawValue(), 192.0);
        QCOMPARE(table->format().cellPadding(), 4.0);
        auto cellText = [&](int r, int c) {
            const QTextTableCell cell = table->cellAt(r, c);
            QTextCursor cursor = cell.firstCursorPosition();
            cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            return cursor.selectedText();
        };
        QCOMPARE(cellText(0, 0), Utf("a"));
        QCOMPARE(cellText(0, 1), Utf("b") + QChar::ParagraphSeparator + Utf("b2"));
        QCOMPARE(cellText(1, 1), Utf("d"));
        ++it;
        QCOMPARE(it.currentBlock().text(), Utf("B"));
    }

    void rowWithOtherCellCountStartsAnotherTable()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts +
                                    "\\trowd\\cellx1000\\intbl a\\cell\\row "
                                    "\\trowd\\cellx1000\\cellx2000\\intbl b\\cell c\\cell\\row "
                                    "\\pard}",
                                document));
        int tables = 0;
        for (auto it = document.rootFrame()->begin(); !it.atEnd(); ++it)
            tables += qobject_cast<QTextTable *>(it.currentFrame()) != nullptr;
        QCOMPARE(tables, 2);
    }

    void cellsBeyondTheDefinitionAddColumns()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts + "\\trowd\\cellx1000\\intbl a\\cell b\\cell c\\cell\\row}",
                                document));
        auto it = document.rootFrame()->begin();
        ++it;
        auto *table = qobject_cast<QTextTable *>(it.currentFrame());
        QVERIFY(table != nullptr);
        QCOMPARE(table->columns(), 3);
    }

    void picturesBecomeImagesOfTheirGoalSize()
    {
        QImage red(3, 2, QImage::Format_RGB32);
        red.fill(Qt::red);
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts +
                                    "see {\\pict\\pngblip\\picw3\\pich2\\picwgoal900"
                                    "\\pichgoal600 " +
                                    PngHex(red) +
                                    "} and "
                                    "{\\pict\\pngblip\\picscalex200 " +
                                    PngHex(red) +
                                    "}"
                                    "{\\pict\\pngblip 0badc0de}}",
                                document));
        std::vector<QTextImageFormat> images;
        for (auto it = document.begin().begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.push_back(it.fragment().charFormat().toImageFormat());
        QCOMPARE(images.size(), size_t(2)); // the damaged picture is left out
        QCOMPARE(images[0].width(), 60.0);
        QCOMPARE(images[0].height(), 40.0);
        QCOMPARE(images[1].width(), 6.0);
        QCOMPARE(images[1].height(), 2.0);
        const QImage stored =
            document.resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
        QCOMPARE(stored.pixelColor(2, 1), QColor(Qt::red));
    }

    void bitmapsDecodeAndDamagedOnesAreRefused()
    {
        // A 2 x 1 device-independent bitmap, 24 bits, bottom-up: blue, white.
        std::string dib(40, '\0');
        auto put32 = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i)
                dib[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        };
        put32(0, 40);
        put32(4, 2);
        put32(8, 1);
        dib[12] = 1;
        dib[14] = 24;
        dib += std::string("\xFF\x00\x00\xFF\xFF\xFF\x00\x00", 8);
        Picture picture;
        picture.format = PictureFormat::Dib;
        picture.data = dib;
        QImage image = DecodePicture(picture);
        QCOMPARE(image.size(), QSize(2, 1));
        QCOMPARE(image.pixelColor(0, 0), QColor(0, 0, 255));
        QCOMPARE(image.pixelColor(1, 0), QColor(255, 255, 255));

        Picture device;
        device.format = PictureFormat::DeviceBitmap;
        device.width = 8;
        device.height = 2;
        device.bitsPerPixel = 1;
        device.widthBytes = 2;
        device.data = std::string("\xF0\x00\x0F\x00", 4);
        image = DecodePicture(device);
        QCOMPARE(image.size(), QSize(8, 2));
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(image.pixelColor(7, 0), QColor(Qt::black));
        QCOMPARE(image.pixelColor(7, 1), QColor(Qt::white));

        Picture shortDevice = device;
        shortDevice.data.resize(3); // less than two rows
        QVERIFY(DecodePicture(shortDevice).isNull());
        Picture huge = device;
        huge.width = 1 << 20;
        QVERIFY(DecodePicture(huge).isNull());
        Picture badDib = picture;
        put32(0, 0x7FFFFFFF); // header size beyond the data
        badDib.data = dib;
        QVERIFY(DecodePicture(badDib).isNull());
        badDib.data = dib.substr(0, 6);
        QVERIFY(DecodePicture(badDib).isNull());
    }

    void unicodeAndSymbolsComeThrough()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kFonts + "\\uc1\\u1078?\\u8364?\\emdash\\{\\}\\\\}", document));
        QCOMPARE(document.begin().text(), Utf("ж€—{}\\"));
    }

    void inputThatIsNotRichTextLeavesTheDocumentEmpty()
    {
        QTextDocument document;
        document.setPlainText(QStringLiteral("old"));
        QVERIFY(!LoadRtfDocument("\r\n plain {\\b text}", document));
        QVERIFY(document.isEmpty());
    }

    void damagedInputNeverBreaksTheDocument()
    {
        const std::vector<std::string> inputs = {
            "{\\rtf1 \\trowd\\cellx100\\intbl a\\cell", // row left open
            "{\\rtf1 {{{{\\b x}",                       // unbalanced
            "{\\rtf1 \\cell\\row\\cell x\\par",         // cells without rows
            "{\\rtf1 \\intbl \\pard x\\par \\intbl y\\row z}",
            "{\\rtf1 {\\pict\\dibitmap0 28000000}}",
            "{\\rtf1 {\\pict\\wbitmap0\\picw99999\\pich99999\\wbmbitspixel1 00}}",
            "{\\rtf1 \\trowd" + std::string(2000, 'x') + "\\cellx-5\\cellx-9\\intbl a\\cell\\row}",
        };
        for (const std::string &input : inputs) {
            QTextDocument document;
            QVERIFY(LoadRtfDocument(input, document));
            QVERIFY(document.blockCount() >= 1);
        }
    }

    // Every description of the demo dictionary shows the paragraphs and cells of its plain text.
    void demoDescriptionsShowTheirPlainText()
    {
        const char *buildDir = std::getenv("TERMDEX_BUILD_DIR");
        QVERIFY2(buildDir != nullptr, "TERMDEX_BUILD_DIR is not set");
        ProgramPaths paths;
        paths.programFolder = buildDir;
        EntryIndex index;
        std::vector<std::string> refs;
        LoadEntryIndex(paths, index, refs);
        const auto header = LoadRtfHeader(paths);
        QVERIFY2(header.has_value(), "the demo dictionary is missing from the build folder");
        QVERIFY(index.englishCount > 50);
        for (int r = 1; r <= index.englishCount; ++r) {
            const auto source = DescriptionSourceFor(paths, index.english[size_t(r)], refs);
            QVERIFY(source.has_value());
            const auto rtf = ReadDescriptionDocument(*header, *source);
            QVERIFY(rtf.has_value());
            QTextDocument document;
            QVERIFY(LoadRtfDocument(*rtf, document));
            const QString shown = testing::ReaderPlainText(document.rootFrame(), true);
            const QString plain = QString::fromStdString(Cp1253ToUtf8(RtfToPlainText(*rtf)));
            if (shown != plain) {
                qsizetype at = 0;
                while (at < shown.size() && at < plain.size() && shown[at] == plain[at])
                    ++at;
                QFAIL(qPrintable(QStringLiteral("record %1 differs at %2: shown [%3] plain [%4]")
                                     .arg(r)
                                     .arg(at)
                                     .arg(shown.mid(at - 10, 30), plain.mid(at - 10, 30))));
            }
        }
    }
};

} // namespace termdex

QTEST_MAIN(termdex::TextDocumentSinkTest)
#include "text_document_sink_test.moc"
