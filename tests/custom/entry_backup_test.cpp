#include "custom/entry_backup.h"

#include "custom/custom_files.h"

#include <gtest/gtest.h>

namespace termdex {
namespace {

TEST(EntryBackupTest, StoredDescriptionsComeBackAsTyped)
{
    Cp1253 everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte += static_cast<char>(b);
    for (const Cp1253 &typed :
         {Cp1253(), everyByte, Cp1253("a\r\nb\rc\nd \r\n\r\n"), Cp1253(" \\par \\'41}{")}) {
        for (const char *prefix : {kOwnEntryPrefix, kSupplementPrefix})
            EXPECT_EQ(UnescapeDescription(EscapeDescription(typed, prefix), prefix), typed);
    }
    // Only what the program writes is read back: anything else would be restored altered.
    EXPECT_EQ(UnescapeDescription("{\\b bold}", kOwnEntryPrefix), std::nullopt);
    EXPECT_EQ(UnescapeDescription("{\\'4", kOwnEntryPrefix), std::nullopt);
    EXPECT_EQ(UnescapeDescription("{\\'41}", kSupplementPrefix), std::nullopt);
}

TEST(EntryBackupTest, TheFileReadsBackAsWritten)
{
    const std::vector<BackupEntry> entries = {
        {EntryKind::Own, "tax \"credit\"", "\xF6\xFC\xF1\xEF\xF2", "line\r\n\ttab \x81\xAA\xFF"},
        {EntryKind::Supplemented, "Tariff", "\xC4\xE1\xF3\xEC\xFC\xF2", ""},
    };
    const std::string file = WriteBackup(entries);
    const BackupParse parsed = ReadBackup(file);
    ASSERT_TRUE(parsed.entries) << parsed.error;
    EXPECT_EQ(WriteBackup(*parsed.entries), file);
    EXPECT_EQ(parsed.entries->size(), 2u);
    EXPECT_EQ(WriteBackup({}),
              "{\"format\": \"termdex-backup\", \"version\": 1, \"entries\": []}\n");
}

TEST(EntryBackupTest, AnythingElseIsRefusedWithAReason)
{
    const std::string head = R"({"format": "termdex-backup", "version": 1, "entries": [)";
    const std::string deep(100000, '[');
    const std::string cases[] = {
        "",
        "not json",
        deep,
        R"({"format": "other", "version": 1, "entries": []})",
        R"({"format": "termdex-backup", "version": 2, "entries": []})",
        R"({"format": "termdex-backup", "version": 1})",
        head + R"({"kind": "L", "english": "x"}]})",
        head + R"({"kind": "C"}]})",
        head + R"({"kind": "C", "english": 5}]})",
        head + R"({"kind": "C", "english": {"a": 1}}]})",
        head + R"({"kind": "C", "english": "€ fits", "greek": "中"}]})",
        head + R"({"kind": "C", "english": ")" + std::string(81, 'a') + R"("}]})",
        head + R"({"kind": "A", "english": "x", "shipped_headword": "y"}]})",
        head + R"({"kind": "C", "english": "x"})",
        head + R"({"kind": "C", "english": "x"}]} trailing)",
        head + "[" + deep + "]]}",
        std::string(R"({"format": "termdex-backup", "entries": [{"kind": "C", "english": "a)") +
            "\xC3" + R"("}]})",
    };
    for (const std::string &json : cases) {
        const BackupParse parsed = ReadBackup(json);
        EXPECT_FALSE(parsed.entries) << json.substr(0, 120);
        EXPECT_FALSE(parsed.error.empty());
    }
    // Keys a later version may add are passed over.
    EXPECT_TRUE(
        ReadBackup(head + R"({"kind": "C", "english": "x", "note": "n", "n": 1}]})").entries);
}

} // namespace
} // namespace termdex
