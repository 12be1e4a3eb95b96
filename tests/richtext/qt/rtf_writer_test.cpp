#include "richtext/qt/rtf_writer.h"

#include "data/description_store.h"
#include "data/entry_index.h"
#include "data/paths.h"
#include "richtext/qt/text_document_sink.h"
#include "tests/richtext/qt/document_description.h"

#include <QBuffer>
#include <QTest>
#include <QTextDocument>

#include <cstdlib>

namespace termdex {
namespace {

const std::string kHead = "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 "
                          "Arial;}{\\f1\\froman\\fcharset161 Times New Roman;}{\\f2\\ftech"
                          "\\fcharset2 Symbol;}{\\f3\\fnil Lonely;}}"
                          "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue160;}";

std::string PngHex()
{
    QImage image(4, 3, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30));
    image.setPixelColor(1, 1, QColor(0, 0, 0, 128));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png.toHex().toStdString();
}

// Reads rtf, writes it, reads that again: both documents must be the same, and writing the
// second must give the same RTF as writing the first.
void ExpectRoundTrip(const std::string &rtf)
{
    QTextDocument first;
    QVERIFY(LoadRtfDocument(rtf, first));
    const Cp1253 written = WriteRtf(first);
    QTextDocument second;
    QVERIFY2(LoadRtfDocument(written, second), written.c_str());
    const QString difference = testing::FirstDifference(testing::DescribeDocument(second),
                                                        testing::DescribeDocument(first));
    QVERIFY2(difference.isEmpty(), qPrintable(difference + QStringLiteral("\nwritten: ") +
                                              QString::fromLatin1(written.substr(0, 2000))));
    QCOMPARE(QString::fromLatin1(WriteRtf(second)), QString::fromLatin1(written));
}

} // namespace

class RtfWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void headerNamesTheCodePageAndGreekFonts()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kHead + "\\f1 \\'e1\\f2 x\\f0\\fs20 y}", document));
        const Cp1253 rtf = WriteRtf(document);
        QVERIFY(rtf.starts_with("{\\rtf1\\ansi\\ansicpg1253\\deff0"));
        QVERIFY(rtf.find("\\fcharset161 Times New Roman;}") != std::string::npos);
        QVERIFY(rtf.find("\\fcharset2 Symbol;}") != std::string::npos);
        QVERIFY(rtf.find("\\fcharset161 Arial;}") != std::string::npos);
        QVERIFY(rtf.find("\\'e1") != std::string::npos);
        QVERIFY(rtf.find("\\fs20") != std::string::npos);
        QVERIFY(rtf.ends_with("}"));
    }

    void roundTrips_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        auto row = [](const char *name, const std::string &body) {
            QTest::newRow(name) << QByteArray::fromStdString(kHead + body);
        };
        row("formats", "\\f1\\fs28\\b\\i bold\\b0\\i0 \\ul u\\ulnone \\strike s\\strike0 "
                       "x\\super 2\\sub 3\\nosupersub {\\cf1 red}{\\cb2 back}\\f3 none}");
        row("greek and unicode", "\\f0 \\'c1\\'e8\\'de\\'ed\\'e1 \\u1078?\\u8364? "
                                 "\\u-10179?\\u-8704? \\'81\\'aa\\'ff}");
        row("escapes", "a\\{b\\}c\\\\d\\tab e\\line f\\~g}");
        row("paragraphs", "\\qc c\\par \\pard\\qr\\li1440\\ri725\\fi-307\\sb13\\sa240 r\\par "
                          "\\pard\\qj j\\par \\par}");
        row("empty", "}");
        row("only breaks", "\\par \\par \\par}");
        row("page break", "\\qc one\\page two\\par three}");
        row("table", "A\\par \\trowd\\trgaph60\\trleft100\\trqc\\cellx1440\\cellx4320"
                     "\\intbl\\qc a\\cell b\\par\\b b2\\cell\\row "
                     "\\trowd\\trgaph60\\trleft100\\trqc\\cellx1440\\cellx4320"
                     "\\intbl c\\cell\\cell\\row \\pard B\\par}");
        row("table first", "\\trowd\\cellx1000\\intbl a\\cell\\row \\pard after}");
        row("table after empty paragraphs", "\\par \\par \\trowd\\cellx1000\\intbl a\\cell\\row}");
        row("two tables", "\\trowd\\cellx1000\\intbl a\\cell\\row \\pard\\par "
                          "\\trowd\\cellx1000\\intbl b\\cell\\row \\pard\\par "
                          "\\trowd\\cellx900\\intbl c\\cell\\row}");
        row("table last", "x\\par \\trowd\\cellx1000\\intbl a\\cell\\row}");
        row("pictures", "see {\\pict\\pngblip\\picw4\\pich3\\picwgoal900\\pichgoal615 " + PngHex() +
                            "} and {\\pict\\pngblip\\picscalex200\\picscaley60 " + PngHex() +
                            "}\\par}");
    }

    void roundTrips()
    {
        QFETCH(QByteArray, rtf);
        ExpectRoundTrip(rtf.toStdString());
    }

    void charactersOutsideTheCodePageUseUnicodeEscapes()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument(kHead + "\\u1078?}", document));
        const Cp1253 rtf = WriteRtf(document);
        QVERIFY(rtf.find("\\u1078?") != std::string::npos);
    }

    void theDemoDescriptionsRoundTrip()
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
        for (int r = 1; r <= index.englishCount; ++r) {
            const auto source = DescriptionSourceFor(paths, index.english[size_t(r)], refs);
            QVERIFY(source.has_value());
            const auto rtf = ReadDescriptionDocument(*header, *source);
            QVERIFY(rtf.has_value());
            ExpectRoundTrip(*rtf);
        }
    }
};

} // namespace termdex

QTEST_MAIN(termdex::RtfWriterTest)
#include "rtf_writer_test.moc"
