// The reader's two shortcuts against the plain way of reading: the text fast path against the
// token-by-token path, and a preamble read once against reading the joined document.
#include "richtext/plain_text.h"
#include "richtext/rtf_reader.h"
#include "richtext/rtf_reader_reference.h"
#include "tests/richtext/recording_sink.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace termdex {
namespace {

// Fonts of several charsets: Greek, Western, Cyrillic, symbol, Central European, the default
// charset (which follows the document's code page) and one the table lacks (\f9).
const std::string kFontHeader =
    "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}"
    "{\\f1\\froman\\fcharset0 Times;}{\\f2\\fcharset204 Courier Cyr;}{\\f3\\fcharset2 Symbol;}"
    "{\\f4\\fcharset238 Arial CE;}{\\f5\\fcharset1 Default;}}"
    "{\\colortbl;\\red0\\green0\\blue128;\\red200\\green0\\blue0;}\\uc1\\pard\\plain\\f0\\fs20 ";

// The description file's preamble as the generated dictionaries write it.
const std::string kShippedPreamble =
    "{\\rtf1\\ansi\\ansicpg1253\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset161 Arial;}"
    "{\\f60\\fswiss\\fcharset161 Tahoma;}}{\\colortbl;\\red0\\green0\\blue0;}"
    "\\viewkind4\\uc1\\pard\\plain\\f60\\fs20 {\\*\\termdexpad xxxxxxxx}\r\n";

std::string Events(Cp1253View rtf, bool byteByByte)
{
    RecordingSink sink;
    const bool read = byteByByte ? ReadRtfByteByByte(rtf, sink) : ReadRtf(rtf, sink);
    return (read ? "rtf\n" : "not rtf\n") + Describe(sink.events);
}

std::string PreambleEvents(RtfPreamble &preamble, Cp1253View rest)
{
    RecordingSink sink;
    const bool read = preamble.Read(rest, sink);
    return (read ? "rtf\n" : "not rtf\n") + Describe(sink.events);
}

// Random documents built from the tokens that matter to the fast path: text bytes of every
// kind, \'hh escapes of every byte in both letter cases, cut-off and bad escapes, long runs of
// escapes (longer than the fast path's buffer), font changes between charsets, \uN with its
// fallback, groups, skipped destinations, tables, pictures and \binN.
class DocumentMaker
{
public:
    // longRuns: some tokens are runs of hundreds of escapes.
    DocumentMaker(uint32_t seed, bool longRuns) : m_random(seed), m_longRuns(longRuns) {}

    std::string Body(int tokens)
    {
        std::string out;
        for (int i = 0; i < tokens; ++i)
            AddToken(out);
        return out;
    }

    std::string Document()
    {
        std::string head;
        switch (Below(4)) {
        case 0:
            head = kFontHeader;
            break;
        case 1:
            head = "{\\rtf1\\ansi\\ansicpg1252\\deff1" + kFontHeader.substr(28);
            break;
        case 2:
            head = "{\\rtf1 ";
            break;
        default:
            head = "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset1 X;}}";
            break;
        }
        std::string body = Body(int(Below(80)));
        if (Below(2) == 0)
            body += "}";
        return head + body;
    }

    uint32_t Below(uint32_t n) { return uint32_t(m_random() % n); }

private:
    std::string Escape(unsigned byte)
    {
        const char *digits = Below(2) ? "0123456789abcdef" : "0123456789ABCDEF";
        return std::string("\\'") + digits[byte >> 4] + digits[byte & 15];
    }

    void AddToken(std::string &out)
    {
        static const char *const kWords[] = {"\\par ",
                                             "\\line ",
                                             "\\tab ",
                                             "\\page ",
                                             "\\plain ",
                                             "\\pard ",
                                             "\\b ",
                                             "\\b0 ",
                                             "\\i ",
                                             "\\ul ",
                                             "\\ulnone ",
                                             "\\fs28 ",
                                             "\\cf1 ",
                                             "\\cb2 ",
                                             "\\highlight1 ",
                                             "\\super ",
                                             "\\nosupersub ",
                                             "\\emdash ",
                                             "\\lquote ",
                                             "\\~",
                                             "\\-",
                                             "\\_",
                                             "\\{",
                                             "\\}",
                                             "\\\\",
                                             "\\*",
                                             "\\uc0 ",
                                             "\\uc2 ",
                                             "\\u945?",
                                             "\\u945 ",
                                             "\\u8364\\'80\\'80",
                                             "\\u-4?",
                                             "\\u-10179\\u-8704 ",
                                             "\\u20013?",
                                             "\\intbl ",
                                             "\\trowd\\cellx1000 ",
                                             "\\cell ",
                                             "\\row ",
                                             "\\sect ",
                                             "\\lang1032",
                                             "\\noproof ",
                                             "\\\r\n",
                                             "\\'0d\\'0a",
                                             "\\'0d",
                                             "\\'0a",
                                             "\\'09",
                                             "\\'00",
                                             "\\'1f",
                                             "\\'",
                                             "\\'4",
                                             "\\'4x",
                                             "\\'g0",
                                             "\\bin2 \\}",
                                             "\\ansicpg1252 ",
                                             "\\ansicpg1253 ",
                                             "\\deff1 ",
                                             "{\\*\\generator x {y}}",
                                             "{\\info{\\title t}}",
                                             "{\\pict\\pngblip 89504e}",
                                             "{\\*\\shppict{\\pict 0a1}}",
                                             "{\\fonttbl{\\f6\\fcharset161 New;}}"};
        switch (Below(m_longRuns ? 12 : 11)) {
        case 0:
        case 1:
        case 2: { // Greek letters as escapes, a word of them
            const int letters = 1 + int(Below(9));
            for (int i = 0; i < letters; ++i)
                out += Escape(0xC1 + Below(0xFE - 0xC1 + 1));
            break;
        }
        case 3: // any byte as an escape
            out += Escape(Below(256));
            break;
        case 4: { // ASCII text
            static const char kText[] = "abc xyz.,;:-()12 ";
            const int length = 1 + int(Below(8));
            for (int i = 0; i < length; ++i)
                out += kText[Below(sizeof kText - 1)];
            break;
        }
        case 5: // a raw byte of any value but the group and control characters
            switch (Below(4)) {
            case 0:
                out += char(0x80 + Below(128));
                break;
            case 1:
                out += "\t\r\n\x01\x7F"[Below(5)];
                break;
            default:
                out += ' ';
                break;
            }
            break;
        case 6: // a font of another charset
            out += "\\f" + std::to_string(Below(7) == 6 ? 9 : Below(6)) + (Below(2) ? " " : "");
            break;
        case 7:
            out += Below(3) ? "{" : "}";
            if (Below(3) == 0)
                out += "\\f" + std::to_string(Below(6)) + " ";
            break;
        case 8:
        case 9:
        case 10:
            out += kWords[Below(std::size(kWords))];
            break;
        default: { // a long run of escapes and blanks, past the fast path's buffer
            const int letters = 300 + int(Below(900));
            for (int i = 0; i < letters; ++i)
                out += Below(8) ? Escape(0xC1 + Below(60)) : " ";
            break;
        }
        }
    }

    std::mt19937 m_random;
    bool m_longRuns;
};

TEST(RtfFastPath, ReportsWhatTheTokenByTokenPathReports)
{
    DocumentMaker maker(20240611, true);
    for (int round = 0; round < 1500; ++round) {
        const std::string rtf = maker.Document();
        ASSERT_EQ(Events(rtf, false), Events(rtf, true)) << rtf;
        ASSERT_EQ(RtfToPlainText(rtf), [&] {
            Cp1253 plain;
            PlainTextSink sink(plain);
            ReadRtfByteByByte(rtf, sink);
            return plain;
        }()) << rtf;
    }
}

// Input may end anywhere: inside an escape, after its backslash, inside a run the fast path
// has begun to take.
TEST(RtfFastPath, InputCutAnywhereReadsTheSame)
{
    DocumentMaker maker(77, false);
    for (int round = 0; round < 300; ++round) {
        const std::string rtf = kFontHeader + maker.Body(12);
        for (size_t cut = 0; cut <= rtf.size(); ++cut) {
            const Cp1253View part = Cp1253View(rtf).substr(0, cut);
            ASSERT_EQ(Events(part, false), Events(part, true)) << part;
        }
    }
}

TEST(RtfFastPath, EveryEscapedByteInEveryCharset)
{
    for (int font = 0; font <= 5; ++font) {
        std::string rtf = kFontHeader + "\\f" + std::to_string(font) + " ";
        for (int byte = 0; byte < 256; ++byte) {
            static const char kHex[] = "0123456789abcdef";
            rtf += std::string("\\'") + kHex[byte >> 4] + kHex[byte & 15];
            if (byte >= 0x20 && byte != '\\' && byte != '{' && byte != '}')
                rtf += char(byte);
        }
        rtf += "}";
        EXPECT_EQ(Events(rtf, false), Events(rtf, true)) << font;
    }
}

// One preamble reads many documents: each reads as the joined text, whatever the documents
// before it held, wherever the prefix ends.
TEST(RtfPreambleTest, ReadsAsTheJoinedDocument)
{
    DocumentMaker maker(4242, true);
    for (int round = 0; round < 300; ++round) {
        const std::string whole = maker.Document();
        const size_t split = maker.Below(uint32_t(whole.size() + 1));
        const std::string prefix = whole.substr(0, split);
        RtfPreamble preamble(prefix);
        for (int document = 0; document < 6; ++document) {
            const std::string rest =
                document == 0 ? whole.substr(split) : maker.Body(int(maker.Below(30)));
            const std::string joined = prefix + rest;
            ASSERT_EQ(PreambleEvents(preamble, rest), Events(joined, false))
                << "prefix: " << prefix << "\nrest: " << rest;
            Cp1253 plain = "kept|";
            RtfToPlainText(preamble, rest, plain);
            ASSERT_EQ(plain, "kept|" + RtfToPlainText(joined));
        }
    }
}

TEST(RtfPreambleTest, EverySplitOfADocument)
{
    DocumentMaker maker(99, false);
    for (int round = 0; round < 100; ++round) {
        const std::string whole = kFontHeader + maker.Body(15);
        const std::string expected = Events(whole, false);
        for (size_t split = 0; split <= whole.size(); ++split) {
            RtfPreamble preamble(Cp1253View(whole).substr(0, split));
            ASSERT_EQ(PreambleEvents(preamble, Cp1253View(whole).substr(split)), expected)
                << whole.substr(0, split) << "|" << whole.substr(split);
        }
    }
}

// The prefix is read once where that reads the same; a prefix that ends inside a token or
// reports content itself is read again with each document, and reads as the joined text.
TEST(RtfPreambleTest, ReadsThePrefixOnceOnlyWhereThatIsTheSame)
{
    struct Row
    {
        const char *name;
        std::string prefix;
        std::string rest;
        bool once;
    };
    const std::vector<Row> rows = {
        {"the shipped preamble", kShippedPreamble, "{\\b \\'e1}\\par x }", true},
        {"a pending run of text", "{\\rtf1 ab", "cd}", true},
        {"escaped CR before an escaped LF", "{\\rtf1 a\\'0d", "\\'0ab}", false},
        {"escaped CR, then other text", "{\\rtf1 a\\'0d", "b\\'0ac}", false},
        {"pending unicode fallback", "{\\rtf1\\uc2 \\u945 ", "xyz}", true},
        {"open picture", "{\\rtf1 {\\pict\\pngblip 8", "9ab}x}", true},
        {"open font table", "{\\rtf1{\\fonttbl{\\f1\\fcharset0 Ti", "mes;}}\\f1 \\'e9}", true},
        {"control word cut", "{\\rtf1\\f", "s40 x}", false},
        {"number cut", "{\\rtf1\\fs2", "4 x}", false},
        {"sign of a number cut", "{\\rtf1\\li-", "5 x}", false},
        {"escape cut after its backslash", "{\\rtf1 a\\", "'e1}", false},
        {"escape cut after one digit", "{\\rtf1 a\\'e", "1}", false},
        {"binary data cut", "{\\rtf1{\\pict\\bin4 ab", "cd}x}", false},
        {"skipped group cut", "{\\rtf1{\\*\\generator a", "b}x}", false},
        {"a paragraph already ended", "{\\rtf1 a\\par ", "b}", false},
        {"the marker itself cut", "{\\rt", "f1 x}", false},
        {"not rich text", "plain text ", "{\\rtf1 x}", false},
        {"the document already closed", "{\\rtf1 a}", "b}", true},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        RtfPreamble preamble(row.prefix);
        EXPECT_EQ(preamble.ReadsPrefixOnce(), row.once);
        EXPECT_EQ(preamble.Prefix(), row.prefix);
        EXPECT_EQ(PreambleEvents(preamble, row.rest), Events(row.prefix + row.rest, false));
        Cp1253 plain;
        RtfToPlainText(preamble, row.rest, plain);
        EXPECT_EQ(plain, RtfToPlainText(row.prefix + row.rest));
    }
}

} // namespace
} // namespace termdex
