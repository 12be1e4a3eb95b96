#include "custom/edit_commands.h"

#include "custom/custom_files.h"
#include "custom/entry_backup.h"
#include "lib/files.h"

#include "tests/custom/faulty_file_system.h"
#include "tests/environment_folders.h"
#include "tests/main/dictionary_fixture.h"

#include <cstdlib>
#include <deque>
#include <fstream>
#include <map>

namespace termdex {
namespace {
using namespace termdex::testing;

class FakeEditor final : public EntryEditor
{
public:
    std::vector<EditorRequest> shown;
    std::deque<EditorAnswer> answers;
    EditorAnswer Show(const EditorRequest &request) override
    {
        shown.push_back(request);
        if (answers.empty())
            return {};
        EditorAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FakeConfirmation final : public DeleteConfirmation
{
public:
    bool yes = true;
    int asked = 0;
    bool Confirm() override
    {
        ++asked;
        return yes;
    }
};

class FakeFolder final : public FolderDialog
{
public:
    int asked = 0;
    FolderAnswer Ask(const FolderRequest &) override
    {
        ++asked;
        return {};
    }
};

class EditCommandsTest : public DictionaryTest
{
protected:
    void SetUp() override
    {
        DictionaryTest::SetUp();
        // The settings file names the test's custom folder, so no dialog is needed.
        for (const char *name : {"HOME", "XDG_CONFIG_HOME"}) {
            const char *value = std::getenv(name);
            saved[name] = value ? std::optional<std::string>(value) : std::nullopt;
        }
        std::filesystem::create_directories(m_root / "config");
        ::setenv("HOME", m_root.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (m_root / "config").c_str(), 1);
        std::ofstream(m_root / "config" / "Termdex.ini") << (m_root / "custom").string() << "\n";
        paths.user = testing::EnvironmentFolders();

        WriteShipped({{"alpha", Cp("άλφα"), "{a_b text}"},
                      {"beta", Cp("βήτα"), "{beta text}"},
                      {"delta", Cp("δέλτα"), "{delta text}"},
                      {"gamma", Cp("γάμμα"), "{gamma text}"}});
    }
    void TearDown() override
    {
        for (const auto &[name, value] : saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        DictionaryTest::TearDown();
    }
    CustomEntryCommands &Commands(FileSystem &fs = RealFileSystem())
    {
        files = &fs;
        Open();
        commands = std::make_unique<CustomEntryCommands>(*core, folder, editor, confirmation);
        return *commands;
    }
    EditorAnswer Answer(const std::string &english, const std::string &greek,
                        const std::string &description)
    {
        return {true, {Cp(english), Cp(greek), Cp(description)}};
    }

    std::map<std::string, std::optional<std::string>> saved;
    FakeEditor editor;
    FakeConfirmation confirmation;
    FakeFolder folder;
    std::unique_ptr<CustomEntryCommands> commands;
};

TEST(InsertOkTest, ValidationMessagesAsTheEditorWordsThem)
{
    EXPECT_EQ(InsertOk_ButtonClick({"", "x", "y"}, EditMode::Insert, EntryKind::None),
              "Πρέπει να συμπληρωθεί το Αγγλικό Λήμμα");
    EXPECT_EQ(InsertOk_ButtonClick({"tax", "", ""}, EditMode::Insert, EntryKind::None),
              "Πρέπει να συμπληρωθεί το Ελληνικό Λήμμα ή η Περιγραφή");
    // Headwords of blanks only are empty.
    EXPECT_EQ(InsertOk_ButtonClick({" ", "x", ""}, EditMode::Insert, EntryKind::None),
              "Πρέπει να συμπληρωθεί το Αγγλικό Λήμμα");
    EXPECT_EQ(InsertOk_ButtonClick({"tax", " \t", ""}, EditMode::Insert, EntryKind::None),
              "Πρέπει να συμπληρωθεί το Ελληνικό Λήμμα ή η Περιγραφή");
    EXPECT_EQ(InsertOk_ButtonClick({"tax", "", "d"}, EditMode::Insert, EntryKind::None),
              std::nullopt);
    EXPECT_EQ(InsertOk_ButtonClick({"tax", "", std::string(7750, 'd')}, EditMode::Insert,
                                   EntryKind::None),
              kMessageDescriptionTooLong);
    // The greyed headwords of a shipped entry are not checked for length.
    EXPECT_EQ(InsertOk_ButtonClick({std::string(120, 'a'), "", "d"}, EditMode::Update,
                                   EntryKind::Shipped),
              std::nullopt);
    EXPECT_EQ(
        InsertOk_ButtonClick({std::string(81, 'a'), "", "d"}, EditMode::Update, EntryKind::Own),
        kMessageHeadwordTooLong);
}

TEST(InsertEntryFrmShowTest, ModesSetCaptionsAndGreying)
{
    const EntryTexts buffer{"e", "g", "d"};
    const EditorRequest insert = InsertEntryFrmShow(EditMode::Insert, EntryKind::Own, buffer);
    EXPECT_EQ(insert.caption, "Εισαγωγή Νέου Λήμματος");
    EXPECT_EQ(insert.okCaption, "Εισαγωγή");
    EXPECT_TRUE(insert.texts.english.empty() && insert.texts.description.empty());
    EXPECT_TRUE(insert.headwordsEnabled);
    for (EntryKind kind : {EntryKind::Supplemented, EntryKind::Shipped, EntryKind::Own}) {
        const EditorRequest update = InsertEntryFrmShow(EditMode::Update, kind, buffer);
        EXPECT_EQ(update.caption, "Τροποποίηση Λήμματος");
        EXPECT_EQ(update.okCaption, "Ok");
        EXPECT_EQ(update.texts.description, "d");
        EXPECT_EQ(update.headwordsEnabled, kind == EntryKind::Own);
        EXPECT_EQ(update.focusDescription, kind != EntryKind::Own);
    }
}

TEST_F(EditCommandsTest, InsertWritesReloadsAndResetsTheDisplay)
{
    CustomEntryCommands &c = Commands();
    core->ShowRecord(RecordOf("beta"));
    editor.answers.push_back(Answer("bravo", "μπράβο", "κείμενο"));
    const EditStatus status = c.InsertEntryItemClick();
    ASSERT_TRUE(status.ok()) << status.message;
    ASSERT_EQ(editor.shown.size(), 1u);
    EXPECT_EQ(editor.shown[0].mode, EditMode::Insert);
    EXPECT_EQ(c.insertBuffer().english, "bravo");
    EXPECT_TRUE(core->State().listItems.empty());
    EXPECT_FALSE(core->State().modifyEntryEnabled);
    EXPECT_TRUE(core->State().medicalImageVisible);
    const int bravo = RecordOf("bravo");
    ASSERT_EQ(bravo, 3);
    EXPECT_EQ(core->Index().english[bravo].kind, EntryKind::Own);
    EXPECT_EQ(folder.asked, 0);
}

TEST_F(EditCommandsTest, CancelOrNoFolderChangesNothing)
{
    CustomEntryCommands &c = Commands();
    EXPECT_EQ(c.InsertEntryItemClick().outcome, EditOutcome::Unchanged); // cancelled
    EXPECT_FALSE(FileExists(paths.customIndexPath));
    std::ofstream(m_root / "config" / "Termdex.ini") << "\n";
    editor.shown.clear();
    EXPECT_EQ(c.InsertEntryItemClick().outcome, EditOutcome::Unchanged);
    EXPECT_EQ(folder.asked, 1);
    EXPECT_TRUE(editor.shown.empty()); // no folder, no editor
    EXPECT_FALSE(core->Paths().HasCustomFolder());
}

TEST_F(EditCommandsTest, ModifyShippedEntryAddsASupplementFromAnEmptyField)
{
    CustomEntryCommands &c = Commands();
    const int gamma = RecordOf("gamma");
    core->ShowRecord(gamma);
    editor.answers.push_back(Answer("gamma", "γάμμα", "δικό μου"));
    ASSERT_TRUE(c.ModifyEntryItemClick().ok());
    ASSERT_EQ(editor.shown.size(), 1u);
    const EditorRequest &request = editor.shown[0];
    EXPECT_EQ(request.caption, "Τροποποίηση Λήμματος");
    EXPECT_FALSE(request.headwordsEnabled);
    EXPECT_EQ(request.texts.english, "gamma");
    EXPECT_EQ(request.texts.greek, Cp("γάμμα"));
    EXPECT_EQ(request.texts.description, "");
    EXPECT_EQ(c.editKind(), EntryKind::Shipped);
    EXPECT_EQ(core->Index().english[gamma].kind, EntryKind::Supplemented);
    EXPECT_TRUE(core->State().listItems.empty());
}

TEST_F(EditCommandsTest, ModifySupplementedEntryPrefillsOnlyTheSupplement)
{
    // The shipped text of alpha holds an underscore above the marker.
    WriteCustom({}, {{1, EscapeDescription(Cp("δικό μου"), kSupplementPrefix)}});
    CustomEntryCommands &c = Commands();
    const int alpha = RecordOf("alpha");
    ASSERT_EQ(core->Index().english[alpha].kind, EntryKind::Supplemented);
    core->ShowRecord(alpha);
    editor.answers.push_back({false, {}});
    c.ModifyEntryItemClick();
    ASSERT_EQ(editor.shown.size(), 1u);
    // What follows the marker's line, without the blank and the closing paragraphs the display
    // added after it.
    EXPECT_EQ(editor.shown[0].texts.description, Cp("δικό μου"));
    EXPECT_EQ(core->Index().english[alpha].kind, EntryKind::Supplemented); // cancelled: unchanged

    // An empty text removes the supplement.
    core->ShowRecord(alpha);
    editor.answers.push_back(Answer("alpha", "", ""));
    ASSERT_TRUE(c.ModifyEntryItemClick().ok());
    EXPECT_EQ(core->Index().english[alpha].kind, EntryKind::Shipped);
}

TEST_F(EditCommandsTest, ModifyThatChangesNothingKeepsTheText)
{
    WriteCustom({{2, 20001, "bravo", Cp("μπράβο"), "{\\'41 \\par \\'42}"}}, {});
    CustomEntryCommands &c = Commands();
    core->ShowRecord(RecordOf("bravo"));
    const Cp1253 shown = core->State().descriptionText;
    for (int round = 0; round < 3; ++round) {
        editor.answers.push_back(Answer("bravo", "μπράβο", "A\r\nB"));
        ASSERT_TRUE(c.ModifyEntryItemClick().ok());
        EXPECT_EQ(editor.shown.back().texts.description, "A\r\nB");
        core->ShowRecord(RecordOf("bravo"));
        EXPECT_EQ(core->State().descriptionText, shown);
    }
}

TEST_F(EditCommandsTest, ModifyOwnEntryInGreekModeCutsTheMark)
{
    WriteCustom({{2, 20001, "bravo", Cp("μπράβο"), "{\\'41}"}}, {});
    CustomEntryCommands &c = Commands();
    core->SetLanguageMode(true);
    const int bravo = RecordOf("bravo");
    core->ShowRecord(bravo);
    ASSERT_EQ(core->State().listItems[0], Cp("μπράβο") + " *");
    editor.answers.push_back(Answer("bravo2", "μπράβο2", "B"));
    ASSERT_TRUE(c.ModifyEntryItemClick().ok());
    const EditorRequest &request = editor.shown.at(0);
    EXPECT_TRUE(request.headwordsEnabled);
    EXPECT_EQ(request.texts.greek, Cp("μπράβο"));
    EXPECT_EQ(request.texts.english, "bravo");
    EXPECT_EQ(request.texts.description, "A");
    EXPECT_EQ(RecordOf("bravo"), 0);
    const int moved = RecordOf("bravo2");
    ASSERT_NE(moved, 0);
    EXPECT_EQ(core->Index().english[moved].id, 5u); // the largest id left, + 1
}

TEST_F(EditCommandsTest, DeleteKeepsTheOtherItemsWithTheirEntries)
{
    WriteCustom({{1, 20001, "apex", "", "{\\'41}"}, {2, 20002, "bravo", "", "{\\'42}"}}, {});
    CustomEntryCommands &c = Commands();
    c.CustomEntriesItemClick();
    ASSERT_EQ(core->State().listItems, (std::vector<Cp1253>{"apex *", "bravo *"}));
    // "No": nothing asked beyond the question, nothing changed.
    core->SelectListItem(0);
    core->Entries_ListClick();
    confirmation.yes = false;
    EXPECT_EQ(c.DeleteEntryItemClick().outcome, EditOutcome::Unchanged);
    EXPECT_EQ(core->State().listItems.size(), 2u);
    confirmation.yes = true;
    ASSERT_TRUE(c.DeleteEntryItemClick().ok());
    EXPECT_EQ(confirmation.asked, 2);
    ASSERT_EQ(core->State().listItems, (std::vector<Cp1253>{"bravo *"}));
    EXPECT_EQ(core->State().ListRecords, (std::vector<int>{RecordOf("bravo")}));
    EXPECT_EQ(RecordOf("bravo"), 3);
    EXPECT_TRUE(core->State().entryLabel.empty());
    EXPECT_TRUE(core->State().descriptionText.empty());
    EXPECT_FALSE(core->State().deleteEntryEnabled);
    // The entry is gone from the history too; nothing else in it moved to another entry.
    for (const HistoryItem &item : core->State().PrevMenu)
        EXPECT_NE(item.caption, "apex *");
}

TEST_F(EditCommandsTest, EditedEntriesListsOwnAndSupplementedEntries)
{
    CustomEntryCommands &c = Commands();
    editor.answers.push_back(Answer("bravo", "", "x"));
    ASSERT_TRUE(c.InsertEntryItemClick().ok());
    core->ShowRecord(RecordOf("delta"));
    editor.answers.push_back(Answer("delta", "", "y"));
    ASSERT_TRUE(c.ModifyEntryItemClick().ok());
    c.CustomEntriesItemClick();
    EXPECT_EQ(core->State().listItems, (std::vector<Cp1253>{"bravo *", "delta"}));
}

// Another program's insert moves the descriptions after it: a window loaded before it reads
// none of them at the place its tables knew.
TEST_F(EditCommandsTest, WindowFollowsAnotherProgramsEditBeforeReadingADescription)
{
    CustomEntryCommands &c = Commands();
    editor.answers.push_back(Answer("echo", "", "second"));
    ASSERT_TRUE(c.InsertEntryItemClick().ok());
    MainLexCore other(paths, RealFileSystem());
    other.FormShow();
    const int echo = RecordOf("echo");
    editor.answers.push_back(Answer("bravo", "", "the first text, longer"));
    ASSERT_TRUE(c.InsertEntryItemClick().ok());
    other.ShowRecord(echo);
    EXPECT_EQ(other.State().entryLabel, "echo");
    EXPECT_EQ(TrimRight(other.State().descriptionText), "second");
}

TEST_F(EditCommandsTest, HistoryFollowsItsEntriesWhenRecordsShift)
{
    CustomEntryCommands &c = Commands();
    core->ShowRecord(RecordOf("gamma"));
    core->ShowRecord(RecordOf("delta")); // gamma is now in PrevMenu
    ASSERT_FALSE(core->State().PrevMenu.empty());
    editor.answers.push_back(Answer("aardvark", "", "x")); // a record before both
    ASSERT_TRUE(c.InsertEntryItemClick().ok());
    EXPECT_EQ(core->State().PrevMenu.front().tag, RecordOf("gamma"));
    EXPECT_EQ(core->State().CurrentEntryRecord, RecordOf("delta"));
    core->Prev_ButtonClick();
    EXPECT_EQ(core->State().entryLabel, "gamma");
}

} // namespace
} // namespace termdex

namespace termdex {
namespace {
using namespace termdex::testing;

TEST_F(EditCommandsTest, FailedSaveBringsTheEditorBackWithTheText)
{
    // The first file call of the first save fails; the second save goes through.
    FaultyFileSystem faulty(1, FaultyFileSystem::Mode::SingleFailure);
    CustomEntryCommands &c = Commands(faulty);
    editor.answers.push_back(Answer("bravo", "μπράβο", "κείμενο"));
    editor.answers.push_back(Answer("bravo", "μπράβο", "κείμενο 2"));
    ASSERT_TRUE(c.InsertEntryItemClick().ok());
    ASSERT_EQ(editor.shown.size(), 2u);
    EXPECT_TRUE(editor.shown[0].failure.empty());
    EXPECT_FALSE(editor.shown[1].failure.empty());
    EXPECT_EQ(editor.shown[1].texts.description, Cp("κείμενο"));
    EXPECT_EQ(editor.shown[1].texts.greek, Cp("μπράβο"));
    EXPECT_EQ(core->Index().english[RecordOf("bravo")].kind, EntryKind::Own);

    // Cancelled after a failure: the failure is the outcome, the window already showed it.
    FaultyFileSystem always(1, FaultyFileSystem::Mode::Crash);
    CustomEntryCommands &again = Commands(always);
    core->ShowRecord(RecordOf("gamma"));
    editor.shown.clear();
    editor.answers.push_back(Answer("gamma", "γάμμα", "δικό μου"));
    EXPECT_EQ(again.ModifyEntryItemClick().outcome, EditOutcome::Failed);
    ASSERT_EQ(editor.shown.size(), 2u);
    EXPECT_EQ(editor.shown[1].mode, EditMode::Update);
    EXPECT_EQ(editor.shown[1].texts.description, Cp("δικό μου"));
}

TEST_F(EditCommandsTest, RestoreMergesSkipsAndReportsWhatHasNoPlace)
{
    const std::vector<BackupEntry> backup = {
        {EntryKind::Supplemented, "beta", Cp("βήτα"), Cp("συμπλήρωση\r\nδεύτερη γραμμή")},
        {EntryKind::Supplemented, "omega", "", "lost headword"},
        {EntryKind::Own, "bravo", Cp("μπράβο"), Cp("κείμενο {με} \\ σύμβολα")},
        {EntryKind::Own, "zulu", "", "z"},
    };
    CustomEntryCommands &c = Commands();
    RestoreReport report = c.RestoreEntries(backup);
    ASSERT_TRUE(report.status.ok()) << report.status.message;
    EXPECT_EQ(report.added, 3);
    EXPECT_EQ(report.notPlaced, std::vector<Cp1253>{"omega"});
    EXPECT_EQ(core->Index().english[RecordOf("beta")].kind, EntryKind::Supplemented);
    EXPECT_EQ(core->Index().english[RecordOf("zulu")].kind, EntryKind::Own);

    // A backup of the result lists what was placed, byte for byte as given.
    std::vector<BackupEntry> placed = backup;
    placed.erase(placed.begin() + 1);
    EXPECT_EQ(WriteBackup(*c.BackupEntries()), WriteBackup(placed));

    // Again: everything is there already; a different supplement keeps the reader's own.
    std::vector<BackupEntry> second = backup;
    second.push_back({EntryKind::Supplemented, "gamma", Cp("γάμμα"), ""});
    second[0].description = "other text";
    report = c.RestoreEntries(second);
    EXPECT_EQ(report.added, 1); // gamma's empty supplement
    EXPECT_EQ(report.skipped, 2);
    EXPECT_EQ(report.conflicts, std::vector<Cp1253>{"beta"});
    EXPECT_EQ(WriteBackup(*c.BackupEntries()).find("other text"), std::string::npos);
}

TEST_F(EditCommandsTest, RestoreThatFailsAnywhereChangesNothing)
{
    const std::vector<BackupEntry> backup = {
        {EntryKind::Supplemented, "beta", Cp("βήτα"), "supplement"},
        {EntryKind::Own, "bravo", Cp("μπράβο"), "b"},
        {EntryKind::Own, "zulu", "", "z"},
    };
    editor.answers.push_back(Answer("echo", "ηχώ", "kept"));
    ASSERT_TRUE(Commands().InsertEntryItemClick().ok());
    const std::string files[] = {paths.customIndexPath, paths.customGreekIndexPath,
                                 paths.customDescriptionPath};
    std::vector<std::string> before;
    for (const std::string &file : files)
        before.push_back(ReadWholeFile(file, 1 << 20).value());
    auto current = [&files] {
        std::vector<std::string> now;
        for (const std::string &file : files)
            now.push_back(ReadWholeFile(file, 1 << 20).value_or("missing"));
        return now;
    };
    for (int step = 1;; ++step) {
        SCOPED_TRACE(step);
        FaultyFileSystem faulty(step, FaultyFileSystem::Mode::SingleFailure);
        const RestoreReport report = Commands(faulty).RestoreEntries(backup);
        if (!faulty.failed()) {
            EXPECT_EQ(report.added, 3);
            break;
        }
        // A step that failed and was retried may still let the restore through; otherwise
        // the reader's files are exactly as they were.
        if (report.status.outcome == EditOutcome::Failed) {
            EXPECT_EQ(report.added, 0);
            EXPECT_EQ(current(), before);
            EXPECT_EQ(core->Index().english[RecordOf("beta")].kind, EntryKind::Shipped);
        }
        for (size_t i = 0; i < before.size(); ++i)
            std::ofstream(files[i], std::ios::binary | std::ios::trunc) << before[i];
    }
}

} // namespace
} // namespace termdex
