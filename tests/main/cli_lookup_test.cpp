// termdex-cli's lookup commands replay window scenarios: the same handlers run in this process
// on the same folder, and the command's JSON must describe the state they leave.
#include "data/index_snapshot.h"
#include "dictionary_fixture.h"
#include "tests/environment_folders.h"
#include "tests/tools/cli_runner.h"
#include "tools/json.h"

#include <cstdlib>
#include <fstream>

namespace termdex {
namespace {
using namespace termdex::testing;
using cli::JsonQuote;

std::string Q(Cp1253View text) { return JsonQuote(Cp1253ToUtf8(text)); }

// The list state in the command line's shape; the searches add what they found, lookup and
// type the suggestions.
std::string ListJson(const MainLexState &s, bool withReport = false,
                     const std::vector<Suggestion> *suggestions = nullptr)
{
    std::string json = "{\"language\": \"" +
                       std::string(s.LanguageMode == Language::Greek ? "gr" : "en") +
                       "\", \"entry_text\": " + Q(s.entryText) + ", \"items\": [";
    for (size_t i = 0; i < s.listItems.size(); ++i)
        json += (i ? ", " : "") + std::string("{\"record\": ") + std::to_string(s.ListRecords[i]) +
                ", \"text\": " + Q(s.listItems[i]) + "}";
    json += "], \"selected\": " + (s.itemIndex >= 0 ? std::to_string(s.itemIndex) : "null");
    json += ", \"shown\": " + (s.shownRecord ? std::to_string(s.shownRecord) : "null");
    if (withReport)
        json += ", \"message\": " + Q(s.searchReport);
    if (suggestions != nullptr) {
        json += ", \"suggestions\": [";
        for (size_t i = 0; i < suggestions->size(); ++i) {
            const Suggestion &g = (*suggestions)[i];
            json += (i ? ", " : "") + std::string("{\"record\": ") + std::to_string(g.record) +
                    ", \"text\": " + Q(g.text) + ", \"reason\": \"" +
                    SuggestionReasonName(g.reason) + "\"}";
        }
        json += "]";
    }
    return json + "}\n";
}

std::string LinksJson(const std::vector<EntryLink> &links)
{
    std::string json;
    for (size_t i = 0; i < links.size(); ++i)
        json += (i ? ", " : "") + std::string("{\"text\": ") + Q(links[i].text) +
                ", \"record\": " + std::to_string(links[i].record) + "}";
    return json;
}

class CliLookupTest : public DictionaryTest
{
protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        WriteShipped({
            {"tariff", Cp("δασμός"), "a tariff"},
            {"tax", Cp("φόρος"),
             RtfEscape(Cp("ο φόρος (βλ. ")) +
                 "{\\b Tax rate, Tax haven, Nothing}) \\par {\\b bold}"},
            {"tax credit", Cp("φορολογική πίστωση"), "a credit"},
            {"tax rate", Cp("φορολογικός συντελεστής"), "a tax rate"},
            {"lonely", "", "alone"},
        });
        WriteCustom({{2, 20001, "tax haven", Cp("φορολογικός παράδεισος"), "{mine}"}},
                    {{3, "{more tax}"}});
        Open();
        m_options = "--program-folder " + ShellQuote(paths.programFolder.string()) +
                    " --custom-folder " + ShellQuote((m_root / "custom").string()) + " --json ";
    }
    CliResult Cli(const std::string &arguments) { return RunCli(m_options + arguments); }
    std::string m_options;
};

TEST_F(CliLookupTest, TypingMatchesTheWindowKeyByKey)
{
    for (const std::string typed : {"Tax", "  tax r", "ta", "φόρος", "ΦΟΡΟΣ", "   ", " 9 tax",
                                    "φ tax", "taxes", "tax rtae", "φόρων"}) {
        Open();
        for (char c : Cp(typed))
            core->Entry_TextChange(core->State().entryText + c);
        const CliResult r = Cli("type " + ShellQuote(typed));
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out, ListJson(core->State(), false, &core->State().suggestions)) << typed;
    }
    // The forms come first, then the spellings; a named headword has none.
    EXPECT_NE(Cli("type taxes")
                  .out.find("\"suggestions\": [{\"record\": 2, \"text\": \"tax\", "
                            "\"reason\": \"form\"}"),
              std::string::npos);
    EXPECT_NE(Cli("type " + ShellQuote("ΦΟΡΟΣ")).out.find("\"suggestions\": []"),
              std::string::npos);
    EXPECT_NE(Cli("lookup txa")
                  .out.find("\"suggestions\": [{\"record\": 2, \"text\": \"tax\", "
                            "\"reason\": \"spelling\"}"),
              std::string::npos);
    const CliResult shown = Cli("type Tax");
    EXPECT_NE(shown.out.find("\"selected\": 0, \"shown\": 2, "), std::string::npos) << shown.out;
}

TEST_F(CliLookupTest, LookupCriteriaSearchEditedAndAllMatchTheWindow)
{
    struct Row
    {
        std::string arguments;
        std::function<void(MainLexCore &)> window;
    };
    const std::vector<Row> rows = {
        {"lookup tax",
         [](MainLexCore &c) {
             c.WriteEntryText("tax");
             c.FillEntryList(LookupMode::Start, 0, false);
         }},
        {"lookup " + ShellQuote("λογικ") + " --mode contain",
         [](MainLexCore &c) {
             c.WriteEntryText(Cp("λογικ"));
             c.FillEntryList(LookupMode::Contain, 0, false);
         }},
        {"lookup rate --mode end",
         [](MainLexCore &c) {
             c.WriteEntryText("rate");
             c.FillEntryList(LookupMode::End, 0, false);
         }},
        {"lookup tax --custom-only",
         [](MainLexCore &c) {
             c.WriteEntryText("tax");
             c.FillEntryList(LookupMode::Start, 0, true);
         }},
        {"criteria --start tax --end rate",
         [](MainLexCore &c) {
             c.Search_ButtonClick(SearchCriteria{"tax", "", "rate"});
         }},
        {"criteria --start Tax",
         [](MainLexCore &c) {
             c.Search_ButtonClick(SearchCriteria{"Tax", "", ""});
         }},
        {"criteria", [](MainLexCore &c) { c.Search_ButtonClick(SearchCriteria{}); }},
        {"search tax", [](MainLexCore &c) { c.DescrSearch_ButtonClick(Cp1253("tax")); }},
        {"search " + ShellQuote("ΦΌΡΟΣ"),
         [](MainLexCore &c) { c.DescrSearch_ButtonClick(Cp("ΦΌΡΟΣ")); }},
        {"edited", [](MainLexCore &c) { c.FillEntryList(LookupMode::Start, 0, true); }},
        {"--lang gr edited",
         [](MainLexCore &c) {
             c.SetLanguageMode(true);
             c.FillEntryList(LookupMode::Start, 0, true);
         }},
        {"all", [](MainLexCore &c) { c.WholeLex_ButtonClick(); }},
        {"lookup txa --mode contain",
         [](MainLexCore &c) {
             c.WriteEntryText("txa");
             c.FillEntryList(LookupMode::Contain, 0, false);
         }},
        {"--lang gr lookup -- -x",
         [](MainLexCore &c) {
             c.SetLanguageMode(true);
             c.WriteEntryText("-x");
             c.FillEntryList(LookupMode::Start, 0, false);
         }},
    };
    for (const Row &row : rows) {
        Open();
        row.window(*core);
        const CliResult r = Cli(row.arguments);
        EXPECT_EQ(r.status, 0) << row.arguments;
        const bool search =
            row.arguments.starts_with("criteria") || row.arguments.starts_with("search");
        const bool lookup = row.arguments.find("lookup") != std::string::npos;
        const std::vector<Suggestion> suggestions =
            lookup ? core->SuggestHeadwords(core->State().entryText) : std::vector<Suggestion>();
        EXPECT_EQ(r.out, ListJson(core->State(), search, lookup ? &suggestions : nullptr))
            << row.arguments;
    }
}

TEST_F(CliLookupTest, SpecificIsTheHistoryJumpAndShowIsTheDisplayStep)
{
    const int haven = RecordOf("tax haven");
    core->WriteEntryText(Cp("φορολογικός παράδεισος *"));
    core->DetectLanguage();
    core->FillEntryList(LookupMode::Specific, haven, false);
    const CliResult specific = Cli("specific " + std::to_string(haven) + " --caption " +
                                   ShellQuote("φορολογικός παράδεισος *"));
    EXPECT_EQ(specific.out, ListJson(core->State()));
    EXPECT_NE(specific.out.find("\"language\": \"gr\""), std::string::npos);

    // The see-also of "tax" names two headwords of the dictionary, one of them the reader's.
    EXPECT_NE(Cli("show 2").out.find("\"links\": [{\"text\": \"Tax rate\", \"record\": " +
                                     std::to_string(RecordOf("tax rate")) +
                                     "}, {\"text\": \"Tax haven\", \"record\": " +
                                     std::to_string(RecordOf("tax haven")) + "}]"),
              std::string::npos)
        << Cli("show 2").out;
    for (const char *name : {"tax", "tax haven", "tax credit", "lonely"}) {
        Open();
        const int record = RecordOf(name);
        ASSERT_TRUE(core->ShowRecord(record));
        const MainLexState &s = core->State();
        const std::string expected =
            "{\"record\": " + std::to_string(record) + ", \"kind\": \"" +
            KindLetter(core->Index().english[record].kind) +
            "\", \"entry_label\": " + Q(s.entryLabel) + ", \"trans_label\": " + Q(s.transLabel) +
            ", \"description\": " + Q(s.descriptionText) +
            ", \"modify_enabled\": true, \"delete_enabled\": " +
            (s.deleteEntryEnabled ? "true" : "false") + ", \"links\": [" + LinksJson(s.links) +
            "], \"document\": " + Q(s.descriptionDocument) + "}\n";
        EXPECT_EQ(Cli("show " + std::to_string(record) + " --rtf").out, expected) << name;
    }
    // An own entry whose text cannot be read: no description and no document.
    std::filesystem::remove(paths.customDescriptionPath);
    const CliResult unreadable = Cli("show " + std::to_string(haven) + " --rtf");
    EXPECT_NE(unreadable.out.find("\"description\": \"\", \"modify_enabled\": true, "
                                  "\"delete_enabled\": true, \"links\": [], \"document\": null}"),
              std::string::npos)
        << unreadable.out;
}

TEST_F(CliLookupTest, BadRecordsTextsAndMissingDataAreRefused)
{
    EXPECT_EQ(Cli("show 0").status, 2);
    EXPECT_EQ(Cli("show 7").status, 2); // six records
    EXPECT_EQ(Cli("show 6").status, 0);
    EXPECT_EQ(Cli("show x1").status, 2);
    EXPECT_EQ(Cli("specific 3").status, 2); // no caption
    EXPECT_EQ(Cli("specific 99 --caption tax").status, 2);
    EXPECT_EQ(Cli("lookup tax --mode sideways").status, 2);
    EXPECT_EQ(Cli("lookup " + ShellQuote("налог")).status, 2);
    EXPECT_EQ(Cli("type").status, 2);
    std::filesystem::remove(paths.DescriptionFile());
    const CliResult missing = RunCli(m_options + "lookup tax", {}, true);
    EXPECT_EQ(missing.status, 4);
    EXPECT_NE(missing.out.find("Termdex.tbo"), std::string::npos);
}

TEST(CliDemoTest, ReadableOutputNamesTheItemsAndTheEntryShown)
{
    const std::string demo = "--program-folder " + ShellQuote(BuildDir().string()) + " ";
    const CliResult r = RunCli(demo + "type tax");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("language: en  entry: tax\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find(", shown: "), std::string::npos);
    const CliResult shown = RunCli(demo + "show 1");
    EXPECT_EQ(shown.status, 0);
    EXPECT_NE(shown.out.find("(record 1, kind L)"), std::string::npos);
}

TEST_F(CliLookupTest, StartsFromACurrentIndexSnapshotAndNoticesAChangedFile)
{
    // A snapshot for exactly the files the command reads, with one headword changed, shows
    // whether the command took its tables from it.
    const std::filesystem::path cache = m_root / "cache";
    struct CacheHome
    {
        const char *previous = std::getenv("XDG_CACHE_HOME");
        const std::string kept = previous ? previous : "";
        ~CacheHome()
        {
            previous ? ::setenv("XDG_CACHE_HOME", kept.c_str(), 1) : ::unsetenv("XDG_CACHE_HOME");
        }
    } restore;
    ::setenv("XDG_CACHE_HOME", cache.c_str(), 1);
    ProgramPaths cliPaths = StartupPaths(paths.programFolder, EnvironmentFolders());
    SetCustomPaths(cliPaths, (m_root / "custom").string());
    IndexSources sources = StampIndexSources(cliPaths);
    sources.program = StampFile((BuildDir() / "termdex-cli").string()); // the build that reads it
    sources.program.path.clear();
    EntryIndex index;
    std::vector<std::string> refs;
    ASSERT_TRUE(LoadEntryIndex(cliPaths, index, refs).complete);
    const std::string altered = "tax credit union";
    int credit = 0;
    for (int r = 1; r <= index.englishCount; ++r)
        if (index.english[r].headword == "tax credit")
            credit = r;
    ASSERT_NE(credit, 0);
    index.english.Slot(credit).headword = altered;
    const auto file = IndexSnapshotFile(cache / "Termdex", sources);
    ASSERT_TRUE(WriteIndexSnapshot(file, sources, index, refs));

    const CliResult fromSnapshot = Cli("lookup tax");
    EXPECT_EQ(fromSnapshot.status, 0);
    EXPECT_NE(fromSnapshot.out.find(Q(altered)), std::string::npos) << fromSnapshot.out;

    // The reader's index file changes (a line end more): the files are read again.
    std::ofstream(paths.customIndexPath, std::ios::binary | std::ios::app) << "\r\n";
    Open();
    core->WriteEntryText("tax");
    core->FillEntryList(LookupMode::Start, 0, false);
    const CliResult fromFiles = Cli("lookup tax");
    EXPECT_EQ(fromFiles.status, 0);
    const std::vector<Suggestion> none;
    EXPECT_EQ(fromFiles.out, ListJson(core->State(), false, &none));
    EXPECT_EQ(fromFiles.out.find(Q(altered)), std::string::npos);
}

} // namespace
} // namespace termdex
