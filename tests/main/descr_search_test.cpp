#include "main/descr_search.h"

#include "data/description_store.h"
#include "dictionary_fixture.h"
#include "lib/files.h"
#include "lib/folding.h"
#include "richtext/plain_text.h"

#include <fstream>
#include <random>

namespace termdex {
namespace {
using namespace termdex::testing;
using List = std::vector<Cp1253>;

class DescrSearchTest : public DictionaryTest
{
protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        WriteShipped({
            {"plain tax", "", "a tax paid"},
            {"taxation", "", "taxation and taxes"},
            {"first only", "", "taxation then tax alone"},
            {"hyphen", "", "a tax-free bond"},
            {"market", Cp("αγορά"), RtfEscape(Cp("η αγορά και η τιμή του ΦΟΡΟΣ"))},
            {"mixed", "", RtfEscape(Cp("αgdp"))},
            {"rule", "", "rule 72 applies"},
            {"supplemented", "", "shipped words"},
            {"bold", "", "{\\b tax}\\par {\\i FREE}"},
        });
        WriteCustom({{9, 20001, "own", "", "{own text}"}}, {{8, "{extra words}"}});
        Open();
    }
    List Search(const std::string &word)
    {
        core->DescrSearch_ButtonClick(Cp(word));
        return Items();
    }
};

TEST_F(DescrSearchTest, OnlyTheFirstOccurrenceOfTheWordIsJudged)
{
    EXPECT_EQ(Search("tax"), (List{"plain tax", "bold"}));
    EXPECT_EQ(Search("TAX"), (List{"plain tax", "bold"})); // the word is lowered too
}

TEST_F(DescrSearchTest, PunctuationLeavesTheFoldedTextSoHyphenatedWordsJoin)
{
    EXPECT_EQ(Search("taxfree"), List{"hyphen"});
    EXPECT_EQ(Search("tax-free"), List{});
    EXPECT_EQ(Search("free"), List{"bold"});
    EXPECT_EQ(Search("72"), List{"rule"}); // digits count in the description text
}

TEST_F(DescrSearchTest, GreekWordsMatchWhateverTheirAccentsAndCapitals)
{
    EXPECT_EQ(Search("αγορα"), List{"market"});
    EXPECT_EQ(Search("ΑΓΟΡΆ"), List{"market"});
    EXPECT_EQ(core->State().LanguageMode, Language::Greek);
    EXPECT_EQ(Search("Αγορά"), List{"market"});
    EXPECT_EQ(Search("αγ"), List{});
    // A capital sigma that ends a word is "ς", on the word's side and on the text's.
    EXPECT_EQ(Search("ΦΌΡΟΣ"), List{"market"});
    EXPECT_EQ(Search("φόρος"), List{"market"});
    // GreekKey drops the Latin letters of the text, never those of the word.
    EXPECT_EQ(Search("αgdp"), List{});
    EXPECT_EQ(Search("gdp"), List{});
}

TEST_F(DescrSearchTest, SupplementsAndOwnTextsAreSearchedFromTheReadersFile)
{
    EXPECT_EQ(Search("shipped"), List{"supplemented"});
    EXPECT_EQ(Search("extra"), List{"supplemented"});
    EXPECT_EQ(Search("own"), List{"own *"});
    std::filesystem::remove(paths.customDescriptionPath);
    EXPECT_EQ(Search("extra"), List{});
    EXPECT_EQ(Search("own"), List{});
    EXPECT_EQ(Search("shipped"), List{"supplemented"});
}

TEST_F(DescrSearchTest, HandlerShowsEnglishHeadwordsWithNothingSelected)
{
    core->Entry_TextChange("plain tax");
    ASSERT_TRUE(core->State().modifyEntryEnabled);
    const DescrSearchResult result = core->DescrSearch_ButtonClick(Cp("   αγορά"));
    EXPECT_FALSE(result.failed);
    EXPECT_EQ(core->State().entryText, Cp("αγορά"));
    EXPECT_EQ(Items(), List{"market"});
    EXPECT_EQ(core->State().ListRecords, std::vector<int>{RecordOf("market")});
    EXPECT_EQ(core->State().itemIndex, -1);
    EXPECT_FALSE(core->State().modifyEntryEnabled);
    EXPECT_FALSE(core->State().SuppressEntryChange);
    EXPECT_EQ(core->State().entryLabel, "");

    core->DescrSearch_ButtonClick(std::nullopt); // Cancel
    EXPECT_EQ(Items(), List{"market"});
    EXPECT_EQ(Search(""), List{});
    EXPECT_EQ(Search("   "), List{});
}

TEST_F(DescrSearchTest, OverlongTextIsSearchedAsEmptyAndAnUnreadableOneEndsTheSearch)
{
    const std::string longBody = "needle " + std::string(kSearchReadBuffer, 'x');
    WriteShipped({{"short", "", "needle"}, {"long", "", longBody}, {"later", "", "needle"}});
    Open();
    EXPECT_EQ(Search("needle"), (List{"short", "later"}));

    // A record whose text lies past the end of the file: the search stops there.
    const auto size = std::filesystem::file_size(paths.DescriptionFile());
    WriteShippedIndex("TermdexI.tbo",
                      {EnglishLine(1, "short", kHeaderBlockSize, 6),
                       EnglishLine(2, "broken", static_cast<long long>(size) - 2, 6),
                       EnglishLine(3, "later", kHeaderBlockSize, 6)});
    Open();
    const DescrSearchResult result = core->DescrSearch_ButtonClick(Cp("needle"));
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(Items(), List{"short"});
}

TEST_F(DescrSearchTest, MatchLimitEndsTheList)
{
    Open(nullptr, MainLexLimits{kMaxListItems, 1});
    EXPECT_EQ(Search("tax"), List{"plain tax"});
}

TEST_F(DescrSearchTest, BothSearchesSayWhatTheyFoundUntilTheNextLookup)
{
    auto report = [this] { return Cp1253ToUtf8(core->State().searchReport); };
    core->Search_ButtonClick(SearchCriteria{"tax", "", ""});
    EXPECT_EQ(report(), "Βρέθηκε 1 λήμμα");
    core->Search_ButtonClick(SearchCriteria{"", "e", ""});
    EXPECT_EQ(report(), "Βρέθηκαν " + std::to_string(Items().size()) + " λήμματα");
    EXPECT_GT(Items().size(), 1u);
    core->Search_ButtonClick(SearchCriteria{"taxq", "", ""}); // START lists "tax" instead
    EXPECT_EQ(Items(), List{"taxation"});
    EXPECT_EQ(report(), "Κανένα λήμμα δεν ταιριάζει ακριβώς με τα κριτήρια· η λίστα δείχνει το "
                        "πλησιέστερο");
    core->Search_ButtonClick(SearchCriteria{"zz", "", "q"});
    EXPECT_EQ(report(), "Κανένα λήμμα δεν ταιριάζει με τα κριτήρια");
    core->Search_ButtonClick(std::nullopt); // Cancel says nothing new
    EXPECT_EQ(report(), "Κανένα λήμμα δεν ταιριάζει με τα κριτήρια");

    Search("tax");
    EXPECT_EQ(report(), "Η λέξη «tax» βρέθηκε στις ερμηνείες 2 λημμάτων");
    Search("  αγορά");
    EXPECT_EQ(report(), "Η λέξη «αγορά» βρέθηκε στις ερμηνείες 1 λήμματος");
    Search("nowhere");
    EXPECT_EQ(report(), "Η λέξη «nowhere» δε βρέθηκε σε καμία ερμηνεία");
    Search(std::string(60, 'w'));
    EXPECT_EQ(report(), "Η λέξη «" + std::string(kReportWordLimit, 'w') +
                            "...» δε βρέθηκε σε καμία ερμηνεία");
    core->Entry_TextChange("t");
    EXPECT_EQ(report(), "");

    // A search that ends early says so.
    std::atomic<bool> cancel{true};
    DescrSearchOptions options;
    options.cancel = &cancel;
    core->DescrSearch_ButtonClick(Cp1253("tax"), options);
    EXPECT_EQ(report().find("Η αναζήτηση διακόπηκε"), 0u) << report();
    Open(nullptr, MainLexLimits{kMaxListItems, 1});
    Search("tax");
    EXPECT_EQ(report(), "Η λίστα έφτασε το όριό της: 1 λήμμα");
}

TEST(DescriptionFoldTest, OnePassFoldEqualsTheLibraryFolds)
{
    std::mt19937 random(1);
    Cp1253 folded;
    for (int i = 0; i < 3000; ++i) {
        Cp1253 text(random() % 40, ' ');
        for (char &c : text) // every byte, with blanks, controls and Greek letters common
            c = static_cast<char>(random() % 3 == 0 ? " \r\n\t"[random() % 4] : random() % 256);
        for (bool greek : {false, true}) {
            FoldDescriptionText(text, greek, folded);
            EXPECT_EQ(folded, greek ? GreekKey(text, false) : LatinKey(text, false));
        }
    }
}

// A larger dictionary with random descriptions, for the differential and threading tests.
class DescrSearchScaleTest : public DictionaryTest
{
protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        const std::vector<std::string> words = {"tax",
                                                "taxation",
                                                "rate",
                                                "bond",
                                                "yield",
                                                "tax-free",
                                                "price",
                                                "72",
                                                RtfEscape(Cp("φόρος")),
                                                RtfEscape(Cp("ΑΓΟΡΆ")),
                                                RtfEscape(Cp("τιμή")),
                                                "\\par",
                                                "{\\b",
                                                "}",
                                                ",",
                                                "(tax)"};
        std::mt19937 random(7);
        std::vector<ShippedEntry> entries;
        for (int i = 1; i <= 700; ++i) {
            std::string body;
            int depth = 0;
            const int length = 1 + static_cast<int>(random() % 40);
            for (int w = 0; w < length; ++w) {
                std::string word = words[random() % words.size()];
                if (word == "}" && depth == 0)
                    continue;
                depth += word == "{\\b" ? 1 : word == "}" ? -1 : 0;
                body += word + " ";
            }
            body += std::string(static_cast<size_t>(depth), '}');
            entries.push_back({"e" + Digits(i, 4), "", body});
        }
        WriteShipped(entries);
        std::vector<OwnEntry> own;
        std::vector<Supplement> supplements;
        for (int i = 5; i <= 700; i += 37)
            own.push_back(
                {i, 20000 + i, "own" + Digits(i, 4), "", "{own tax " + Digits(i, 4) + "}"});
        for (int i = 3; i <= 700; i += 29)
            supplements.push_back({i, "{bond " + std::to_string(i % 3) + "}"});
        WriteCustom(own, supplements);
        Open();
    }

    // The search as its steps read, record by record, with one file read per text.
    std::vector<int> PlainScan(const Cp1253 &word, bool greek)
    {
        return PlainScan(word, greek, core->Index());
    }
    std::vector<int> PlainScan(const Cp1253 &word, bool greek, const EntryIndex &index)
    {
        const bool customOpen = FileExists(paths.customDescriptionPath);
        std::vector<int> found;
        for (int i = 1; i <= index.englishCount && index.english[i].id != 0; ++i) {
            const IndexRecord &record = index.english[i];
            std::string d;
            if (record.kind == EntryKind::Shipped || record.kind == EntryKind::Supplemented) {
                const auto coded =
                    ReadFileRange(paths.DescriptionFile(), record.descOffset, record.descLength);
                d = DescriptionDecode(record.descOffset + 1, coded.value()) + " ";
            }
            if (customOpen && record.kind == EntryKind::Supplemented) {
                const std::string &ref = core->SupplementRefs()[record.supplementRef];
                const auto coded =
                    ReadFileRange(paths.customDescriptionPath, std::stoll(ref.substr(0, 8)) - 1,
                                  std::stoll(ref.substr(8, 5)));
                d += ShiftCodec(coded.value(), true) + " ";
            }
            if (customOpen && record.kind == EntryKind::Own) {
                const auto coded = ReadFileRange(paths.customDescriptionPath, record.descOffset - 1,
                                                 record.descLength);
                d = ShiftCodec(coded.value(), true) + " ";
            }
            const Cp1253 plain = RtfToPlainText(core->Dict().preamble + "\r\n" + d + "}");
            const Cp1253 folded = greek ? GreekKey(plain, false) : LatinKey(plain, false);
            if (ContainsWholeWord(folded, word))
                found.push_back(i);
        }
        return found;
    }
    DescrSearchResult Run(const Cp1253 &word, bool greek, DescrSearchOptions options = {})
    {
        return Run(core->Index(), word, greek, options);
    }
    DescrSearchResult Run(const EntryIndex &index, const Cp1253 &word, bool greek,
                          DescrSearchOptions options = {})
    {
        return SearchDescriptions(paths, index, core->SupplementRefs(), core->Dict().preamble, word,
                                  greek, options);
    }
    // The search lists what the plain scan lists, with one thread and with two.
    void ExpectPlainScan(const EntryIndex &index, const char *what)
    {
        for (const char *word : {"tax", "bond", "rate", "72"}) {
            const std::vector<int> expected = PlainScan(word, false, index);
            for (int threads : {1, 2}) {
                DescrSearchOptions options;
                options.threads = threads;
                const DescrSearchResult result = Run(index, word, false, options);
                EXPECT_FALSE(result.failed) << what;
                EXPECT_EQ(result.records, expected) << what << ", " << word << ", " << threads;
            }
        }
    }
};

TEST_F(DescrSearchScaleTest, OneAndTwoThreadsListWhatThePlainScanFinds)
{
    struct Row
    {
        std::string word;
        bool greek;
    };
    for (const Row &row : {Row{"tax", false}, Row{"taxation", false}, Row{"taxfree", false},
                           Row{"bond", false}, Row{"72", false}, Row{"own", false},
                           Row{"φόρος", true}, Row{"αγορα", true}, Row{"τιμη", true}}) {
        const Cp1253 word = DescrSearchWord(Cp(row.word), row.greek);
        const std::vector<int> expected = PlainScan(word, row.greek);
        EXPECT_FALSE(expected.empty()) << row.word;
        DescrSearchOptions one, two;
        one.threads = 1;
        two.threads = 2;
        EXPECT_EQ(Run(word, row.greek, one).records, expected) << row.word;
        EXPECT_EQ(Run(word, row.greek, two).records, expected) << row.word;
    }
}

// The search reads the texts of a block of records together where they lie together in the
// file; texts in another order, or far apart, read as they do alone.
TEST_F(DescrSearchScaleTest, TextsInAnyFileOrderReadAsEachAlone)
{
    EntryIndex reversed = core->Index(); // each run of 50 records in reverse file order
    EntryIndex shuffled = core->Index(); // records all over the file
    std::vector<int> shipped;
    for (int r = 1; r <= reversed.englishCount && reversed.english[r].id != 0; ++r) {
        if (reversed.english[r].kind != EntryKind::Own)
            shipped.push_back(r);
    }
    for (size_t i = 0; i + 50 <= shipped.size(); i += 50) {
        for (size_t j = 0; j < 25; ++j) {
            IndexRecord &a = reversed.english.Slot(shipped[i + j]);
            IndexRecord &b = reversed.english.Slot(shipped[i + 49 - j]);
            std::swap(a.descOffset, b.descOffset);
            std::swap(a.descLength, b.descLength);
        }
    }
    std::mt19937 random(3);
    for (size_t i = shipped.size() - 1; i > 0; --i) {
        IndexRecord &a = shuffled.english.Slot(shipped[i]);
        IndexRecord &b = shuffled.english.Slot(shipped[random() % (i + 1)]);
        std::swap(a.descOffset, b.descOffset);
        std::swap(a.descLength, b.descLength);
    }
    ExpectPlainScan(reversed, "reversed runs");
    ExpectPlainScan(shuffled, "shuffled");
}

// A NUL byte in the file ends the text it lies in, as the codec ends its output there; the
// texts after it, read in the same piece of the file, are whole.
TEST_F(DescrSearchScaleTest, NulByteEndsOnlyTheTextItLiesIn)
{
    const EntryIndex &index = core->Index();
    const std::vector<int> before = PlainScan("tax", false);
    {
        std::fstream file(paths.DescriptionFile(), std::ios::in | std::ios::out | std::ios::binary);
        for (int r = 2; r <= 700; r += 9) {
            if (index.english[r].kind == EntryKind::Own || index.english[r].descLength < 4)
                continue;
            file.seekp(index.english[r].descOffset + index.english[r].descLength / 4);
            file.put('\0');
        }
    }
    EXPECT_NE(PlainScan("tax", false), before); // some texts lost their "tax"
    ExpectPlainScan(index, "NUL bytes");
}

TEST_F(DescrSearchScaleTest, UnreadableTextEndsTheScanWhereOneThreadWouldStop)
{
    const std::vector<int> all = Run("tax", false).records;
    EntryIndex damaged = core->Index();
    damaged.english.Slot(300).descOffset = 99'999'999; // past the end of either file
    for (int threads : {1, 2}) {
        DescrSearchOptions options;
        options.threads = threads;
        const DescrSearchResult result = SearchDescriptions(
            paths, damaged, core->SupplementRefs(), core->Dict().preamble, "tax", false, options);
        EXPECT_TRUE(result.failed);
        std::vector<int> before;
        for (int r : all)
            if (r < 300)
                before.push_back(r);
        EXPECT_EQ(result.records, before) << threads;
    }
}

TEST_F(DescrSearchScaleTest, CancelKeepsTheMatchesOfTheRecordsScannedInOrder)
{
    const std::vector<int> all = Run("tax", false).records;
    for (int threads : {1, 2}) {
        std::atomic<bool> cancel{false};
        int calls = 0;
        DescrSearchOptions options;
        options.threads = threads;
        options.cancel = &cancel;
        options.progress = [&](int scanned, int total) {
            EXPECT_LE(scanned, total);
            ++calls;
            cancel = true;
        };
        const DescrSearchResult result = Run("tax", false, options);
        EXPECT_GE(calls, 1);
        ASSERT_LE(result.records.size(), all.size());
        EXPECT_TRUE(std::equal(result.records.begin(), result.records.end(), all.begin()));
        if (threads == 1) { // one thread stops right after the block it reported
            EXPECT_TRUE(result.cancelled);
            EXPECT_LT(result.records.size(), all.size());
        }
    }
    DescrSearchOptions limited;
    limited.matchLimit = 5;
    limited.threads = 2;
    EXPECT_EQ(Run("tax", false, limited).records, std::vector<int>(all.begin(), all.begin() + 5));
}

} // namespace
} // namespace termdex
