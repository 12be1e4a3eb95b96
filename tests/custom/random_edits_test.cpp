// A seeded random run of inserts, modifies and deletes against the demo dictionary, checked after
// every step against a model of what the reader has entered.
#include "custom/custom_edits.h"

#include "custom_fixture.h"
#include "tests/data/test_folders.h"
#include "tests/tools/cli_runner.h"
#include "tools/json.h"

#include <algorithm>
#include <map>
#include <random>

namespace termdex {
namespace {
using namespace termdex::testing;

struct OwnEntry
{
    Cp1253 english; // as the table shows it: trimmed
    Cp1253 greek;
    Cp1253 stored;
    bool operator<(const OwnEntry &o) const
    {
        return std::tie(english, greek, stored) < std::tie(o.english, o.greek, o.stored);
    }
    bool operator==(const OwnEntry &) const = default;
};

class RandomEditsTest : public CustomFilesTest
{
protected:
    void SetUp() override
    {
        CustomFilesTest::SetUp();
        CopyDemoData(paths.programFolder);
        Load();
        shipped = index.englishCount;
        ASSERT_GT(shipped, 100);
    }

    Cp1253 Word(size_t maxLength, bool greek)
    {
        static const Cp1253 latin = "abcdefghijklmnopqrstuvwxyzABCDE";
        static const Cp1253 greekLetters =
            "\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2\xF3\xF4"
            "\xF5\xF6\xF7\xF8\xF9\xDC\xDD\xDE\xDF\xFC\xFD\xFE\xC1\xD3";
        const Cp1253 &letters = greek ? greekLetters : latin;
        Cp1253 word;
        const size_t length = 1 + rng() % maxLength;
        for (size_t i = 0; i < length; ++i)
            word += letters[rng() % letters.size()];
        return word;
    }
    Cp1253 Headword()
    {
        Cp1253 word = Word(6, false);
        switch (rng() % 8) {
        case 0:
            return "1 " + word; // leading digits do not count for the anchor
        case 1:
            return word + "-" + Word(3, false);
        case 2:
            return " " + word + " "; // blanks are cut
        default:
            return word;
        }
    }
    Cp1253 GreekHeadword()
    {
        if (rng() % 3 == 0)
            return {};
        Cp1253 word = Word(7, true);
        if (rng() % 5 == 0)
            word += " " + Word(4, true);
        return word;
    }
    Cp1253 Description()
    {
        if (rng() % 4 == 0)
            return {};
        Cp1253 text;
        const int parts = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < parts; ++i) {
            text += Word(12, rng() % 2 == 0);
            text += rng() % 3 == 0 ? "\r\n" : (rng() % 5 == 0 ? "\n" : " ");
        }
        return text;
    }

    std::vector<int> RecordsOfKind(std::initializer_list<EntryKind> kinds) const
    {
        std::vector<int> records;
        for (int r = 1; r <= index.englishCount; ++r)
            if (std::find(kinds.begin(), kinds.end(), index.english[r].kind) != kinds.end())
                records.push_back(r);
        return records;
    }
    OwnEntry EntryAt(int r) const
    {
        return {Cp1253(index.english[r].headword), GreekOf(r), StoredOf(r)};
    }

    void CheckAgainstModel(const std::vector<OwnEntry> &own,
                           const std::map<uint32_t, Cp1253> &supplements)
    {
        std::vector<OwnEntry> found;
        std::map<uint32_t, Cp1253> foundSupplements;
        for (int r = 1; r <= index.englishCount; ++r) {
            if (index.english[r].kind == EntryKind::Own)
                found.push_back(EntryAt(r));
            else if (index.english[r].kind == EntryKind::Supplemented)
                foundSupplements[index.english[r].id] = SupplementOf(r);
        }
        std::vector<OwnEntry> expected = own;
        std::sort(found.begin(), found.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(found, expected);
        EXPECT_EQ(foundSupplements, supplements);
        EXPECT_EQ(index.englishCount, shipped + static_cast<int>(own.size()));
        EXPECT_EQ(CheckInvariants(paths), "");
    }

    // termdex-cli dump-index, run on the same folders, lists the same records in the same order.
    void CheckDumpIndex()
    {
        const CliResult result =
            RunCli("--json --program-folder " + ShellQuote(paths.programFolder.string()) +
                   " --custom-folder " + ShellQuote((m_root / "custom").string()) + " dump-index");
        ASSERT_EQ(result.status, 0);
        size_t at = 0;
        for (int r = 1; r <= index.englishCount; ++r) {
            const std::string record =
                "{\"record\": " + std::to_string(r) +
                ", \"id\": " + std::to_string(index.english[r].id) +
                ", \"headword\": " + cli::JsonQuote(Cp1253ToUtf8(index.english[r].headword));
            const std::string kind =
                "\"kind\": \"" + std::string(1, KindLetter(index.english[r].kind)) + "\"";
            at = result.out.find(record, at);
            ASSERT_NE(at, std::string::npos) << "record " << r;
            ASSERT_EQ(result.out.find(kind, at), result.out.find("\"kind\"", at));
        }
        EXPECT_EQ(result.out.find("{\"record\": " + std::to_string(index.englishCount + 1) + ","),
                  std::string::npos);
    }

    std::mt19937 rng{20240521};
    int shipped = 0;
};

TEST_F(RandomEditsTest, SeededSequenceKeepsFilesAndTablesInStep)
{
    std::vector<OwnEntry> own;
    std::map<uint32_t, Cp1253> supplements;
    int inserts = 0, modifiesOwn = 0, supplementEdits = 0, deletes = 0;
    for (int step = 0; step < 300; ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        const unsigned roll = rng() % 100;
        const std::vector<int> ownRecords = RecordsOfKind({EntryKind::Own});
        EditStatus status;
        if (roll < 45 || ownRecords.empty()) {
            const Cp1253 english = Headword(), greek = GreekHeadword(), descr = Description();
            status = InsertEntry(paths, index, {english, greek, descr}, RealFileSystem());
            own.push_back({Trim(english), TrimRight(greek),
                           descr.empty() ? Cp1253() : EscapeDescription(descr, "{")});
            ++inserts;
        } else if (roll < 65) {
            const int r = ownRecords[rng() % ownRecords.size()];
            const auto it = std::find(own.begin(), own.end(), EntryAt(r));
            ASSERT_NE(it, own.end());
            const Cp1253 english = Headword(), greek = GreekHeadword(), descr = Description();
            status = UpdateEntry(paths, index, r, EntryKind::Own, {english, greek, descr},
                                 RealFileSystem());
            *it = {Trim(english), TrimRight(greek),
                   descr.empty() ? Cp1253() : EscapeDescription(descr, "{")};
            ++modifiesOwn;
        } else if (roll < 85) {
            const std::vector<int> shippedRecords =
                RecordsOfKind({EntryKind::Shipped, EntryKind::Supplemented});
            const int r = shippedRecords[rng() % shippedRecords.size()];
            const IndexRecord &record = index.english[r];
            const Cp1253 descr = Description();
            status = UpdateEntry(paths, index, r, record.kind, {Cp1253(record.headword), "", descr},
                                 RealFileSystem());
            if (record.kind == EntryKind::Supplemented && descr.empty())
                supplements.erase(record.id);
            else
                supplements[record.id] = EscapeDescription(descr, kSupplementPrefix);
            ++supplementEdits;
        } else {
            const int r = ownRecords[rng() % ownRecords.size()];
            const auto it = std::find(own.begin(), own.end(), EntryAt(r));
            ASSERT_NE(it, own.end());
            status = DeleteEntry(paths, index, r, RealFileSystem());
            own.erase(it);
            ++deletes;
        }
        ASSERT_TRUE(status.ok()) << status.message;
        Load();
        CheckAgainstModel(own, supplements);
        if (HasFailure())
            return;
        if (step % 30 == 29)
            CheckDumpIndex();
    }
    EXPECT_GT(inserts, 100);
    EXPECT_GT(modifiesOwn, 30);
    EXPECT_GT(supplementEdits, 30);
    EXPECT_GT(deletes, 20);
}

} // namespace
} // namespace termdex
