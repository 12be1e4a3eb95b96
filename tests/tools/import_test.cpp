#include "tests/tools/cli_runner.h"

#include "data/paths.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "richtext/plain_text.h"
#include "tools/import/authoring.h"
#include "tools/import/parsers.h"

#include <zlib.h>

#include <chrono>
#include <fstream>

namespace termdex {
namespace {
using namespace termdex::import;
using namespace termdex::testing;
namespace fs = std::filesystem;

fs::path Scratch(const std::string &name)
{
    const fs::path dir =
        fs::temp_directory_path() / ("termdex-import-" + std::to_string(::getpid())) / name;
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

void Write(const fs::path &file, const std::string &bytes)
{
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The description as the reader gets it: the preamble, then the stored source.
std::string PlainUtf8(const std::string &rtf)
{
    return Cp1253ToUtf8(RtfToPlainText("{" + ShippedPreamble() + "\r\n" + rtf + "}"));
}

// A dictzip file: gzip whose deflate stream is flushed at every chunk, the chunk sizes in the
// header's extra field.
std::string Dictzip(const std::string &text, size_t chunk)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    std::string body;
    std::vector<uint16_t> sizes;
    for (size_t at = 0; at < text.size(); at += chunk) {
        const bool last = at + chunk >= text.size();
        const std::string piece = text.substr(at, chunk);
        char out[1 << 16];
        z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(piece.data()));
        z.avail_in = static_cast<uInt>(piece.size());
        z.next_out = reinterpret_cast<Bytef *>(out);
        z.avail_out = sizeof out;
        deflate(&z, last ? Z_FINISH : Z_FULL_FLUSH);
        sizes.push_back(static_cast<uint16_t>(sizeof out - z.avail_out));
        body.append(out, sizeof out - z.avail_out);
    }
    deflateEnd(&z);
    const auto le16 = [](std::string &s, unsigned v) { s += char(v & 0xFF), s += char(v >> 8); };
    const auto le32 = [&](std::string &s, unsigned long v) {
        le16(s, v & 0xFFFF), le16(s, v >> 16);
    };
    std::string extra = "RA";
    le16(extra, 6 + 2 * sizes.size());
    le16(extra, 1), le16(extra, static_cast<unsigned>(chunk)),
        le16(extra, static_cast<unsigned>(sizes.size()));
    for (uint16_t size : sizes)
        le16(extra, size);
    std::string file = std::string("\x1F\x8B\x08\x04\0\0\0\0\x02\x03", 10);
    le16(file, static_cast<unsigned>(extra.size()));
    file += extra + body;
    le32(file,
         crc32(0, reinterpret_cast<const Bytef *>(text.data()), static_cast<uInt>(text.size())));
    le32(file, text.size());
    return file;
}

TEST(ImportText, PolytonicGreekAndCharactersOutsideTheCodePage)
{
    EXPECT_EQ(ReducePolytonicUtf8("ἄνθρωπος ῥήτωρ Ἀθηνᾶ ᾠδῇ ὁ Ἑλληνικός διϊστάμενος"),
              "άνθρωπος ρήτωρ Αθηνά ωδή ο Ελληνικός διϊστάμενος");
    EXPECT_EQ(ReducePolytonicUtf8("α\u0313\u0342ι\u0308\u0301"), "άΐ"); // combining marks
    RichText rich;
    rich.Text("Ω ש ἀ {x} [[y]] 😀\nnext");
    const std::string rtf = rich.Finish();
    EXPECT_EQ(rtf.find_first_of("[]"), std::string::npos);
    EXPECT_NE(rtf.find("\\u1513?"), std::string::npos);
    EXPECT_NE(rtf.find("\\u7936\\'e1"), std::string::npos); // the monotonic letter as fallback
    EXPECT_NE(rtf.find("\\u-10179?\\u-8704?"), std::string::npos); // a surrogate pair
    EXPECT_EQ(PlainUtf8(rtf), "Ω ? ? {x} [[y]] ?\r\nnext");
}

TEST(ImportParsers, CsvQuotingAndTsvHeaderAndLineBreaks)
{
    Parsed csv;
    ParseDelimited(
        "English,Greek,Description\r\n\"Tax, direct\",Άμεσος φόρος,\"He said \"\"pay\"\"\nnow\"\r\n"
        "Levy,Εισφορά\r\n\r\n\"Duty,Δασμός\r\nFee,Τέλος\r\n",
        true, csv);
    ASSERT_EQ(csv.entries.size(), 3u);
    EXPECT_EQ(csv.entries[0].english, "Tax, direct");
    EXPECT_EQ(csv.entries[0].greek, "Άμεσος φόρος");
    EXPECT_EQ(PlainUtf8(csv.entries[0].rtf), "He said \"pay\"\r\nnow");
    EXPECT_EQ(csv.entries[1].english, "Levy");
    // A quote never closed costs its own line, reported, not the rest of the file.
    EXPECT_EQ(csv.entries[2].english, "Fee");
    ASSERT_EQ(csv.skipped.size(), 1u);
    EXPECT_EQ(csv.skipped[0].entry, "\"Duty,Δασμός");

    Parsed tsv;
    ParseDelimited("\xEF\xBB\xBFTax\tΦόρος\tone\\ntwo\tspare\n", false, tsv);
    ASSERT_EQ(tsv.entries.size(), 1u);
    EXPECT_EQ(tsv.entries[0].english, "Tax");
    EXPECT_EQ(PlainUtf8(tsv.entries[0].rtf), "one\r\ntwo");
    EXPECT_EQ(tsv.warnings.size(), 1u);
}

TEST(ImportParsers, DictzipChunksAndOneSidedEntries)
{
    const auto number = [](size_t n) {
        const char *digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        return std::string(1, digits[n / 64]) + digits[n % 64];
    };
    // The title stands alone, as in FreeDict's files (dictfmt puts the headword above it).
    const std::string title = "English - Greek ver. 0.1\n";
    const std::string info = "00-database-info\nLicence: GPL\n";
    const std::string tax = "tax /tæks/\n\n(econ.) levy; φόρος, τέλος\n";
    const std::string dict = info + tax + title;
    const size_t titleAt = info.size() + tax.size();
    const std::string index = "00databaseinfo\t" + number(0) + "\t" + number(info.size()) +
                              "\ntax\t" + number(info.size()) + "\t" + number(tax.size()) +
                              "\n00databaseshort\t" + number(titleAt) + "\t" +
                              number(title.size()) + "\nbroken\tA\nfar\tzzzz\tB\n";
    std::string error;
    const auto inflated = Inflate(Dictzip(dict + std::string(5000, 'x'), 64), 1 << 20, error);
    ASSERT_TRUE(inflated) << error;
    EXPECT_EQ(inflated->substr(0, dict.size()), dict);
    EXPECT_FALSE(Inflate(Dictzip(dict, 8).substr(0, 40), 1 << 20, error));   // cut short
    EXPECT_FALSE(Inflate(Dictzip(std::string(5000, 'x'), 64), 1000, error)); // over the bound

    Parsed parsed;
    ParseDictd(index, *inflated, parsed);
    ASSERT_EQ(parsed.entries.size(), 1u);
    EXPECT_EQ(parsed.entries[0].english, "tax");
    EXPECT_EQ(parsed.entries[0].greek, "φόρος");
    EXPECT_EQ(parsed.licence, "00-database-info\nLicence: GPL\n");
    EXPECT_EQ(parsed.title, "English - Greek ver. 0.1");
    ASSERT_EQ(parsed.skipped.size(), 2u);
    EXPECT_EQ(parsed.skipped[1].entry, "far");
    // Pronunciations write θ and χ; the translation is the Greek after them.
    EXPECT_EQ(FirstGreekTranslation("3d /θɹiːˈdiː/\nτρισδιάστατος"), "τρισδιάστατος");
    EXPECT_EQ(FirstGreekTranslation("loch /lɒχ/, λίμνη"), "λίμνη");
    // A headword with a stray Greek letter, repeated with its pronunciation, is not the rendering.
    EXPECT_EQ(FirstGreekTranslation("cafι /kˈafeɪ/\nκαφενείο"), "καφενείο");
}

std::string BigEndian(uint64_t value, int bytes)
{
    std::string out;
    for (int i = bytes - 1; i >= 0; --i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    return out;
}

struct StarDictFiles
{
    std::string ifo, idx, dict;
};

StarDictFiles SampleStarDict()
{
    StarDictFiles f;
    f.ifo = "StarDict's dict ifo file\nversion=3.0.0\nbookname=Sample\nwordcount=2\n"
            "idxoffsetbits=64\nsametypesequence=h\ncopyright=CC BY-SA 4.0\n";
    const std::string first =
        "<b>φόρος</b>, τέλος<br><ul><li>one</li><li>two</li></ul><i>note</i> &amp; &#x3A9;";
    const std::string second = "<p>κόστος</p>";
    f.dict = first + second;
    f.idx = "cost" + std::string(1, '\0') + BigEndian(first.size(), 8) +
            BigEndian(second.size(), 4) + "tax" + std::string(1, '\0') + BigEndian(0, 8) +
            BigEndian(first.size(), 4);
    return f;
}

TEST(ImportParsers, StarDictSixtyFourBitOffsetsAndHtml)
{
    const StarDictFiles f = SampleStarDict();
    Parsed parsed;
    ParseStardict(f.ifo, f.idx, f.dict, parsed);
    ASSERT_EQ(parsed.entries.size(), 2u);
    const Entry &tax = parsed.entries[1];
    EXPECT_EQ(tax.english, "tax");
    EXPECT_EQ(tax.greek, "φόρος");
    EXPECT_NE(tax.rtf.find("\\b \\'f6"), std::string::npos);
    EXPECT_NE(tax.rtf.find("\\i note\\i0 "), std::string::npos);
    EXPECT_EQ(PlainUtf8(tax.rtf), "φόρος, τέλος\r\n• one\r\n• two\r\nnote & Ω");
    EXPECT_EQ(parsed.entries[0].greek, "κόστος");
    EXPECT_EQ(parsed.licence, "CC BY-SA 4.0");

    // The same index with 32-bit offsets read as 64-bit runs off the end: reported, no crash.
    Parsed wrong;
    ParseStardict("idxoffsetbits=32\nsametypesequence=h\n", f.idx, f.dict, wrong);
    EXPECT_FALSE(wrong.skipped.empty() && wrong.warnings.empty());
}

// Without a type sequence every field carries its type; text fields end at a NUL, others
// carry a size. Offsets of 32 bits, as most dictionaries have them.
TEST(ImportParsers, StarDictFieldTypesWithThirtyTwoBitOffsets)
{
    const std::string nul(1, '\0');
    const std::string data = "t" + std::string("tæks") + nul + "m" + "levy; φόρος" + nul + "x" +
                             "<k>tax</k>\n<ex>tax return</ex>" + nul + "W" + BigEndian(2, 4) +
                             "\x01\x02" + "g" + "<b>τέλος</b>\nduty" + nul;
    const std::string idx = "tax" + nul + BigEndian(0, 4) + BigEndian(data.size(), 4) + "cut" + nul;
    Parsed parsed;
    ParseStardict("bookname=Types\n", idx, data, parsed);
    ASSERT_EQ(parsed.entries.size(), 1u);
    EXPECT_EQ(parsed.entries[0].greek, "φόρος");
    EXPECT_EQ(PlainUtf8(parsed.entries[0].rtf),
              "[t?ks]\r\nlevy; φόρος\r\ntax\r\ntax return\r\nτέλος\r\nduty");
    EXPECT_NE(parsed.entries[0].rtf.find("\\b tax\\b0 "), std::string::npos);
    EXPECT_NE(parsed.entries[0].rtf.find("\\u230?"), std::string::npos); // æ kept
    EXPECT_EQ(parsed.title, "Types");
    // The unknown field type and the index cut inside its last entry are both reported.
    EXPECT_EQ(parsed.warnings.size(), 2u);
}

TEST(ImportParsers, TbxConceptWithSeveralEnglishTerms)
{
    Parsed parsed;
    ParseTbx(R"(<?xml version="1.0"?><martif type="TBX"><martifHeader><fileDesc><sourceDesc>
        <p>IATE, reuse authorised</p></sourceDesc></fileDesc></martifHeader><text><body>
        <termEntry id="IATE-1"><descripGrp><descrip type="subjectField">taxation</descrip></descripGrp>
          <langSet xml:lang="en"><descripGrp><descrip type="definition">a levy</descrip></descripGrp>
            <ntig><termGrp><term>duty</term></termGrp></ntig>
            <ntig><termGrp><term>tax</term><termNote type="administrativeStatus">preferredTerm-admn-sts</termNote></termGrp></ntig>
          </langSet>
          <langSet xml:lang="el"><ntig><termGrp><term>φόρος</term></termGrp></ntig></langSet>
        </termEntry>
        <termEntry id="IATE-2"><langSet xml:lang="el"><tig><term>μόνο</term></tig></langSet></termEntry>
        <termEntry id="IATE-3"><langSet xml:lang="en"><tig><term>cut)",
             parsed);
    ASSERT_EQ(parsed.entries.size(), 2u);
    EXPECT_EQ(parsed.entries[0].english, "tax");
    EXPECT_EQ(parsed.entries[0].greek, "φόρος");
    EXPECT_EQ(PlainUtf8(parsed.entries[0].rtf), "taxation\r\na levy\r\nAlso: duty");
    EXPECT_NE(parsed.entries[0].rtf.find("\\i taxation\\i0 "), std::string::npos);
    EXPECT_EQ(parsed.entries[1].english, "duty");
    EXPECT_EQ(parsed.entries[1].greek, "φόρος");
    EXPECT_EQ(PlainUtf8(parsed.entries[1].rtf), "taxation\r\nβλ. tax");
    ASSERT_EQ(parsed.skipped.size(), 1u);
    EXPECT_EQ(parsed.skipped[0].entry, "μόνο");
    EXPECT_EQ(parsed.licence, "IATE, reuse authorised");
    ASSERT_EQ(parsed.warnings.size(), 1u); // the file that ends inside a concept
}

TEST(ImportParsers, TeiEntriesWithSenses)
{
    Parsed parsed;
    ParseTei(
        R"(<TEI xmlns="http://www.tei-c.org/ns/1.0"><teiHeader><fileDesc><titleStmt><title>English-Greek</title>
        </titleStmt><publicationStmt><availability><p>GPL 2 or later</p></availability></publicationStmt></fileDesc>
        </teiHeader><text><body>
        <entry><form><orth>tax</orth><pron>tæks</pron></form><gramGrp><pos>n</pos></gramGrp>
          <sense><cit type="trans" xml:lang="el"><quote>φόρος</quote></cit><cit type="trans"><quote>τέλος</quote></cit></sense>
          <sense><def>a burden</def></sense></entry>
        <entry><form><orth></orth></form></entry></body></text></TEI>)",
        parsed);
    ASSERT_EQ(parsed.entries.size(), 1u);
    EXPECT_EQ(parsed.entries[0].greek, "φόρος");
    EXPECT_EQ(PlainUtf8(parsed.entries[0].rtf), "tax /t?ks/ n\r\n1. φόρος, τέλος\r\n2. a burden");
    EXPECT_EQ(parsed.title, "English-Greek");
    EXPECT_EQ(parsed.licence, "GPL 2 or later");
    EXPECT_EQ(parsed.skipped.size(), 1u);
}

TEST(ImportAuthoring, MergedSortedSkippedAndBounded)
{
    const auto entry = [](std::string en, std::string gr, std::string text) {
        RichText rich;
        rich.Text(text);
        return Entry{std::move(en), std::move(gr), rich.Finish(), false};
    };
    AuthoringResult result =
        MakeAuthoringText({entry("zeta [z]", "ζήτα", "last"), entry("Tax", "φόρος", "one"),
                           entry("Мир", "κόσμος", "x"), entry("tax", "", "lower"),
                           entry("Tax", "τέλος", "two"), entry("ἀγορά", "ἀγορά", "poly")});
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.records, 4u);
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_EQ(result.skipped[0].entry, "Мир");
    const std::vector<std::string> lines = SplitLines(result.text);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], ShippedPreamble());
    EXPECT_EQ(lines[0].size(), 603u);
    // LatinKey order: Latin letters first.
    EXPECT_EQ(lines[1].rfind("[[[[Tax[[[\\'f6\\'fc\\'f1\\'ef\\'f2[[", 0), 0u);
    EXPECT_NE(
        lines[1].find(
            "one\\par \\pard\\plain\\f60\\fs20 \\b \\'f4\\'dd\\'eb\\'ef\\'f2\\b0 \\line two]]]]"),
        std::string::npos);
    EXPECT_EQ(lines[2].rfind("[[[[tax[[[[[", 0), 0u);
    EXPECT_EQ(lines[3].rfind("[[[[zeta (z)[[[", 0), 0u);
    EXPECT_EQ(lines[4].rfind("[[[[\\'e1\\'e3\\'ef\\'f1\\'dc[[[", 0), 0u);

    std::vector<Entry> many;
    for (int i = 0; i < 30002; ++i)
        many.push_back(entry("term" + std::to_string(i), "", ""));
    result = MakeAuthoringText(std::move(many));
    EXPECT_TRUE(result.tooManyEntries);
    EXPECT_NE(result.error.find("30002"), std::string::npos);
}

std::string Folder(const fs::path &dir)
{
    return "--program-folder " + ShellQuote(dir.string()) + " --json ";
}

TEST(ImportCli, BuiltAndImportedCopiesOfTheSameDataLookUpAlike)
{
    const fs::path dir = Scratch("round-trip");
    // Hand-written authoring text in the lookup order, and the same data as TSV.
    Write(dir / "authoring.txt",
          ShippedPreamble() +
              "\r\n"
              "[[[[Income[[[\\'c5\\'e9\\'f3\\'fc\\'e4\\'e7\\'ec\\'e1[[\\pard\\plain\\f60\\fs20 "
              "Money that comes in]]]]\r\n"
              "[[[[Tax[[[\\'d6\\'fc\\'f1\\'ef\\'f2[[\\pard\\plain\\f60\\fs20 A levy\\line on "
              "income]]]]\r\n"
              "[[[[Tax base[[[\\'d6\\'ef\\'f1\\'ef\\'eb\\'ef\\'e3\\'e9\\'ea\\'de "
              "\\'e2\\'dc\\'f3\\'e7[[\\pard\\plain\\f60\\fs20 What is taxed]]]]\r\n");
    Write(dir / "same.tsv",
          "Tax\tΦόρος\tA levy\\non income\nIncome\tΕισόδημα\tMoney that comes in\n"
          "Tax base\tΦορολογική βάση\tWhat is taxed\n");
    ASSERT_EQ(RunCli(Folder(dir / "built") + "build --authoring " +
                     ShellQuote((dir / "authoring.txt").string()))
                  .status,
              0);
    const CliResult imported = RunCli("import tsv " + ShellQuote((dir / "same.tsv").string()) +
                                      " --to " + ShellQuote((dir / "imported").string()));
    ASSERT_EQ(imported.status, 0);
    EXPECT_EQ(imported.out, "{\"records\": 3, \"skipped\": [], \"warnings\": []}\n");
    for (const char *command :
         {"lookup ta", "lookup income --mode contain", "type 'tax base'", "show 2",
          "--lang gr lookup φορ", "search levy", "dump-index --greek"}) {
        const CliResult built = RunCli(Folder(dir / "built") + command);
        EXPECT_EQ(built.status, 0) << command;
        EXPECT_EQ(RunCli(Folder(dir / "imported") + command).out, built.out) << command;
    }
    EXPECT_TRUE(fs::exists(dir / "imported/utils/Docs/OLO_minusfirstchar.txt"));
    const auto rights = ReadWholeFile(dir / "imported/content/copyright.rtf", 1 << 20);
    ASSERT_TRUE(rights);
    EXPECT_NE(rights->find("same.tsv"), std::string::npos);

    // A second import over the first is allowed; over another program folder it is not.
    EXPECT_EQ(RunCli("import tsv " + ShellQuote((dir / "same.tsv").string()) + " --to " +
                     ShellQuote((dir / "imported").string()))
                  .status,
              0);
    EXPECT_EQ(RunCli("import tsv " + ShellQuote((dir / "same.tsv").string()) + " --to " +
                     ShellQuote((dir / "built").string()))
                  .status,
              2);
}

TEST(ImportCli, DictzipAndStarDictFoldersAndTheLimit)
{
    const fs::path dir = Scratch("formats");
    const std::string tax = "tax /tæks/\n\nφόρος\n";
    Write(dir / "d.index",
          "tax\tA\t" + std::string(1, "ABCDEFGHIJKLMNOPQRSTUVWXYZ"[tax.size()]) + "\n");
    Write(dir / "d.dict.dz", Dictzip(tax, 4));
    ASSERT_EQ(RunCli("import dictd " + ShellQuote((dir / "d.index").string()) + " --to " +
                     ShellQuote((dir / "dd").string()))
                  .status,
              0);
    // The pronunciation's IPA is stored as RTF escapes; the reader sees the letters.
    EXPECT_NE(RunCli("--program-folder " + ShellQuote((dir / "dd").string()) + " define tax")
                  .out.find("tax /tæks/"),
              std::string::npos);

    const StarDictFiles f = SampleStarDict();
    Write(dir / "s.ifo", f.ifo);
    Write(dir / "s.idx", f.idx);
    Write(dir / "s.dict.dz", Dictzip(f.dict, 16));
    ASSERT_EQ(RunCli("import stardict " + ShellQuote((dir / "s.ifo").string()) + " --to " +
                     ShellQuote((dir / "sd").string()))
                  .status,
              0);
    EXPECT_NE(RunCli(Folder(dir / "sd") + "show 2").out.find("φόρος, τέλος"), std::string::npos);
    EXPECT_NE(RunCli(Folder(dir / "sd") + "search note").out.find("\"record\": 2"),
              std::string::npos);

    Write(dir / "t.tbx", "<martif><text><body><termEntry><descrip type=\"subjectField\">tax"
                         "ation</descrip><langSet xml:lang=\"en\"><tig><term>duty</term></tig>"
                         "<tig><term>tax</term><termNote>preferredTerm-admn-sts</termNote></tig>"
                         "</langSet><langSet xml:lang=\"el\"><tig><term>φόρος</term></tig>"
                         "</langSet></termEntry></body></text></martif>");
    ASSERT_EQ(RunCli("import tbx " + ShellQuote((dir / "t.tbx").string()) + " --to " +
                     ShellQuote((dir / "tb").string()))
                  .out,
              "{\"records\": 2, \"skipped\": [], \"warnings\": []}\n");
    const std::string duty = RunCli(Folder(dir / "tb") + "define duty").out;
    EXPECT_NE(duty.find("\"description\": \"taxation\\r\\nβλ. tax"), std::string::npos) << duty;
    EXPECT_NE(RunCli(Folder(dir / "tb") + "--lang gr search φόρος").out.find("\"shown\""),
              std::string::npos);

    std::string many;
    for (int i = 0; i < 30002; ++i)
        many += "term" + std::to_string(i) + "\t\t\n";
    Write(dir / "many.tsv", many);
    const CliResult refused = RunCli("import tsv " + ShellQuote((dir / "many.tsv").string()) +
                                         " --to " + ShellQuote((dir / "many").string()),
                                     {}, true);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.out.find("30002"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "many"));
}

// The English-Greek FreeDict dictionary Debian ships, when it is installed.
TEST(ImportCli, FreeDictEnglishGreek)
{
    const fs::path index = "/usr/share/dictd/freedict-eng-ell.index";
    if (!fs::exists(index))
        GTEST_SKIP() << "dict-freedict-eng-ell is not installed";
    const fs::path dir = Scratch("freedict");
    const auto start = std::chrono::steady_clock::now();
    const CliResult r =
        RunCli("import dictd " + index.string() + " --to " + ShellQuote((dir / "fd").string()));
    std::printf("import of FreeDict eng-ell: %lld ms\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           std::chrono::steady_clock::now() - start)
                                           .count()));
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("{\"records\": 20", 0), 0u);
    EXPECT_EQ(DictionaryTitle(dir / "fd").rfind("English - Modern Greek", 0), 0u);
    const CliResult typed = RunCli(Folder(dir / "fd") + "type tax");
    EXPECT_NE(typed.out.find("\"text\": \"tax\""), std::string::npos);
    const CliResult search = RunCli(Folder(dir / "fd") + "search φορολογώ");
    EXPECT_NE(search.out.find("\"text\": \"tax\""), std::string::npos);
}

} // namespace
} // namespace termdex
