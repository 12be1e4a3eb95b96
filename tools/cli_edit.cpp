// The editing commands: insert, modify and delete. Each runs the window's own command
// (custom/edit_commands.h) with the editor dialog answered by the options, so validation,
// prefill, file rewriting and reload are the window's.
#include "custom/custom_folder.h"
#include "custom/edit_commands.h"
#include "custom/entry_backup.h"
#include "data/index_snapshot.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "main/main_lex.h"
#include "tools/cli.h"
#include "tools/json.h"

#include <filesystem>
#include <ostream>

namespace termdex::cli {
namespace {
namespace fs = std::filesystem;

// A description file is read whole; anything this long stores far above the display's limit.
constexpr int64_t kMaxDescriptionFileBytes = 4 * 1024 * 1024;

// LF, CR LF and a lone CR all become CR LF, the editor's line breaks.
std::string CrLf(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "\r\n";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The texts the options give; a field not given stays nullopt.
struct GivenTexts
{
    std::optional<Cp1253> english, greek, description;
};

// Converts the options' texts; nullopt after printing why (exit status 2).
std::optional<GivenTexts> ReadTexts(const Run &run)
{
    GivenTexts texts;
    if (const auto en = run.args.Value("--en")) {
        if (!(texts.english = run.ToCp1253(*en)))
            return std::nullopt;
    }
    if (const auto gr = run.args.Value("--gr")) {
        if (!(texts.greek = run.ToCp1253(*gr)))
            return std::nullopt;
    }
    const auto descr = run.args.Value("--descr");
    const auto file = run.args.Value("--descr-file");
    if (descr && file) {
        run.err << "--descr and --descr-file exclude each other\n";
        return std::nullopt;
    }
    std::optional<std::string> utf8 = descr;
    if (file) {
        std::error_code ec;
        if (!fs::is_regular_file(*file, ec)) {
            run.err << "cannot read " << *file << '\n';
            return std::nullopt;
        }
        utf8 = ReadWholeFile(*file, kMaxDescriptionFileBytes);
        if (!utf8) {
            run.err << kMessageDescriptionTooLong << '\n';
            return std::nullopt;
        }
        if (utf8->compare(0, 3, "\xEF\xBB\xBF") == 0) // a byte-order mark is no text
            utf8->erase(0, 3);
    }
    if (utf8 && !(texts.description = run.ToCp1253(CrLf(*utf8))))
        return std::nullopt;
    return texts;
}

// The editor answered by the options: the fields it shows, with the given ones replacing them
// (the headwords only where the editor lets them be changed), validated as its OK button does.
class OptionsEditor final : public EntryEditor
{
public:
    explicit OptionsEditor(const GivenTexts &given) : m_given(given) {}
    EditorAnswer Show(const EditorRequest &request) override
    {
        // The save failed: nobody is there to retry, so the failure is the command's outcome.
        if (!request.failure.empty())
            return {};
        EntryTexts texts = request.texts;
        if (request.headwordsEnabled) {
            texts.english = m_given.english.value_or(texts.english);
            texts.greek = m_given.greek.value_or(texts.greek);
        }
        texts.description = m_given.description.value_or(texts.description);
        if (auto message = InsertOk_ButtonClick(texts, request.mode, request.editKind)) {
            refusal = std::move(*message);
            return {};
        }
        return {true, texts};
    }
    std::optional<std::string> refusal; // the message the editor showed, UTF-8

private:
    GivenTexts m_given;
};

class AnswerYes final : public DeleteConfirmation
{
public:
    bool Confirm() override { return true; }
};

// The commands that open no editor (delete, restore, repair), their confirmation answered Yes.
struct EditorlessCommands
{
    explicit EditorlessCommands(MainLexCore &core)
        : editor({}), commands(
                          core, [](ProgramPaths &) { return true; }, editor, yes)
    {
    }
    OptionsEditor editor;
    AnswerYes yes;
    CustomEntryCommands commands;
};

// Where the window would ask with the folder dialog, the folder it proposes is taken, as the
// reader who keeps it would (a system-wide copy: $XDG_DATA_HOME/Termdex).
class ProposedFolder final : public FolderDialog
{
public:
    FolderAnswer Ask(const FolderRequest &request) override
    {
        proposed = request.defaultFolder;
        return {true, request.defaultFolder};
    }
    std::string proposed;
};

// The window for one editing command: the custom folder settled as the window settles it
// before editing (or by --custom-folder), then the first showing, which loads the index.
class EditWindow
{
public:
    explicit EditWindow(const Run &run) : m_run(run), m_core(run.Paths(), *run.options.files)
    {
        m_core.UseIndexCache({run.options.user.indexCache});
    }

    // An exit status on failure (4: data files, 3: no custom folder), else nullopt.
    std::optional<int> Open()
    {
        if (const auto missing = m_run.CheckDataFiles(m_core.Paths()))
            return missing;
        ProgramPaths &paths = m_core.MutablePaths();
        if (m_run.options.customFolder) {
            const std::string &folder = *m_run.options.customFolder;
            std::error_code ec;
            if (folder.empty() || !fs::is_directory(folder, ec))
                return m_run.Fail("custom folder does not exist: " + folder, kExitNoCustomFolder);
            SetCustomPaths(paths, folder);
        } else {
            ProposedFolder dialog;
            std::string chosen;
            if (!ResolveCustomFolder(paths, dialog, chosen))
                return m_run.Fail(dialog.proposed.empty()
                                      ? "no usable custom folder (use --custom-folder DIR)"
                                      : "cannot write files in " + dialog.proposed +
                                            "/Data (use --custom-folder DIR)",
                                  kExitNoCustomFolder);
        }
        std::error_code ec;
        fs::create_directories(fs::path(paths.customIndexPath).parent_path(), ec);
        if (!fs::is_directory(fs::path(paths.customIndexPath).parent_path(), ec))
            return m_run.Fail("cannot create " +
                                  fs::path(paths.customIndexPath).parent_path().string(),
                              kExitNoCustomFolder);
        m_core.FormShow();
        if (m_run.options.greek)
            m_core.SetLanguageMode(true);
        return std::nullopt;
    }
    MainLexCore &core() { return m_core; }

private:
    const Run &m_run;
    MainLexCore m_core;
};

// The command's outcome as an exit status.
int Finish(const Run &run, const OptionsEditor *editor, const EditStatus &status)
{
    if (editor && editor->refusal)
        return run.Fail(*editor->refusal);
    switch (status.outcome) {
    case EditOutcome::Done:
        run.PrintJson(JsonWriter().BeginObject().Key("ok").Bool(true).EndObject().str());
        return kExitOk;
    case EditOutcome::Unchanged:
        return run.Fail("nothing changed");
    case EditOutcome::Refused:
        return run.Fail(status.message);
    case EditOutcome::Failed:
    case EditOutcome::Pending:
        break;
    }
    return run.Fail(status.message, kExitFailure);
}

const std::vector<std::string> kTextOptions = {"--en", "--gr", "--descr", "--descr-file"};

int Insert(Run &run)
{
    if (!run.args.Parse(kTextOptions, {}) || !run.args.positional().empty())
        return run.Fail(run.args.error().empty()
                            ? "usage: insert --en EN [--gr GR] [--descr TEXT | --descr-file FILE]"
                            : run.args.error());
    const auto given = ReadTexts(run);
    if (!given)
        return kExitUsage;
    EditWindow window(run);
    if (const auto failed = window.Open())
        return *failed;
    OptionsEditor editor(*given);
    AnswerYes yes;
    CustomEntryCommands commands(
        window.core(), [](ProgramPaths &) { return true; }, editor, yes);
    const EditStatus status = commands.InsertEntryItemClick();
    return Finish(run, &editor, status);
}

int Modify(Run &run)
{
    if (!run.args.Parse(kTextOptions, {}) || run.args.positional().size() != 1)
        return run.Fail(run.args.error().empty()
                            ? "usage: modify RECORD [--en EN] [--gr GR] [--descr TEXT | "
                              "--descr-file FILE]"
                            : run.args.error());
    const auto given = ReadTexts(run);
    if (!given)
        return kExitUsage;
    EditWindow window(run);
    if (const auto failed = window.Open())
        return *failed;
    MainLexCore &core = window.core();
    const auto record = run.RecordArgument(run.args.positional()[0], core.Index().englishCount);
    if (!record)
        return kExitUsage;
    // The entry on display, as a click on it in the list of the current language shows it.
    core.ShowRecord(*record);
    OptionsEditor editor(*given);
    AnswerYes yes;
    CustomEntryCommands commands(
        core, [](ProgramPaths &) { return true; }, editor, yes);
    const EditStatus status = commands.ModifyEntryItemClick();
    return Finish(run, &editor, status);
}

int Delete(Run &run)
{
    if (!run.args.Parse({}, {}) || run.args.positional().size() != 1)
        return run.Fail(run.args.error().empty() ? "usage: delete RECORD" : run.args.error());
    EditWindow window(run);
    if (const auto failed = window.Open())
        return *failed;
    MainLexCore &core = window.core();
    const auto record = run.RecordArgument(run.args.positional()[0], core.Index().englishCount);
    if (!record)
        return kExitUsage;
    if (core.Index().english[static_cast<size_t>(*record)].kind != EntryKind::Own)
        return run.Fail(kMessageOnlyOwnEntries);
    core.ShowRecord(*record);
    EditorlessCommands headless(core);
    return Finish(run, nullptr, headless.commands.DeleteEntryItemClick());
}

int Backup(Run &run)
{
    if (!run.args.Parse({}, {}) || run.args.positional().size() != 1 ||
        run.args.positional()[0].empty())
        return run.Fail(run.args.error().empty() ? "usage: backup FILE" : run.args.error());
    ProgramPaths paths = run.Paths();
    if (const auto missing = run.CheckDataFiles(paths))
        return *missing;
    if (run.options.customFolder && !fs::is_directory(*run.options.customFolder))
        return run.Fail("custom folder does not exist: " + *run.options.customFolder,
                        kExitNoCustomFolder);
    // The entries the window would list at start-up: a reading command, no folder is asked.
    MainLexCore core(paths, *run.options.files);
    core.UseIndexCache({run.options.user.indexCache});
    core.FormShow();
    std::string problem;
    const auto entries =
        CollectBackupEntries(core.Paths(), core.Index(), core.SupplementRefs(), &problem);
    if (!entries)
        return run.Fail(problem, kExitFailure);
    if (!SaveBackup(run.args.positional()[0], WriteBackup(*entries), *run.options.files))
        return run.Fail("cannot write " + run.args.positional()[0], kExitFailure);
    run.PrintJson(JsonWriter()
                      .BeginObject()
                      .Key("entries")
                      .Int(static_cast<int64_t>(entries->size()))
                      .EndObject()
                      .str());
    return kExitOk;
}

int Restore(Run &run)
{
    if (!run.args.Parse({}, {}) || run.args.positional().size() != 1)
        return run.Fail(run.args.error().empty() ? "usage: restore FILE" : run.args.error());
    const std::string &file = run.args.positional()[0];
    std::error_code ec;
    if (!fs::is_regular_file(file, ec))
        return run.Fail("cannot read " + file);
    const auto bytes = ReadWholeFile(file, kMaxBackupBytes);
    if (!bytes)
        return run.Fail("cannot read " + file + " (or it is larger than any backup)");
    const BackupParse parsed = ReadBackup(*bytes);
    if (!parsed.entries)
        return run.Fail(file + ": " + parsed.error);
    EditWindow window(run);
    if (const auto failed = window.Open())
        return *failed;
    EditorlessCommands headless(window.core());
    const RestoreReport report = headless.commands.RestoreEntries(*parsed.entries);
    if (report.status.outcome != EditOutcome::Done)
        return run.Fail(report.status.message, kExitFailure);
    JsonWriter json;
    json.BeginObject().Key("added").Int(report.added).Key("skipped").Int(report.skipped);
    json.Key("not_placed").BeginArray();
    for (const Cp1253 &headword : report.notPlaced)
        json.Text(headword);
    json.EndArray().Key("conflicts").BeginArray();
    for (const Cp1253 &headword : report.conflicts)
        json.Text(headword);
    json.EndArray().Key("refused").BeginArray();
    for (const auto &[headword, why] : report.refused)
        json.BeginObject().Key("english").Text(headword).Key("message").Utf8(why).EndObject();
    run.PrintJson(json.EndArray().EndObject().str());
    return kExitOk;
}

int Repair(Run &run)
{
    if (!run.args.Parse({}, {}) || !run.args.positional().empty())
        return run.Fail(run.args.error().empty() ? "usage: repair" : run.args.error());
    EditWindow window(run);
    if (const auto failed = window.Open())
        return *failed;
    EditorlessCommands headless(window.core());
    const RepairReport report = headless.commands.RepairEntriesItemClick();
    if (!report.status.ok())
        return run.Fail(report.status.message, kExitFailure);
    if (run.options.json) {
        JsonWriter json;
        json.BeginObject().Key("kept").Int(report.kept).Key("lost").BeginArray();
        for (const std::string &lost : report.lost)
            json.Utf8(lost);
        json.EndArray();
        if (!report.damagedFolder.empty())
            json.Key("damaged_copy").Utf8(report.damagedFolder);
        run.PrintJson(json.EndObject().str());
        return kExitOk;
    }
    run.out << (report.damagedFolder.empty()
                    ? report.status.message
                    : "kept " + std::to_string(report.kept) + "; the damaged files are in " +
                          report.damagedFolder)
            << '\n';
    for (const std::string &lost : report.lost)
        run.out << "not kept: " << lost << '\n';
    return kExitOk;
}

} // namespace

std::vector<Command> EditCommands()
{
    return {
        {"insert", "insert --en EN [--gr GR] [--descr TEXT | --descr-file FILE]", Insert},
        {"modify", "modify RECORD [--en EN] [--gr GR] [--descr TEXT | --descr-file FILE]", Modify},
        {"delete", "delete RECORD             deletes one of the reader's own entries", Delete},
        {"backup", "backup FILE               the reader's entries to a JSON file", Backup},
        {"restore", "restore FILE              merges a backup into the reader's entries", Restore},
        {"repair", "repair                    rewrites damaged custom files from what is readable",
         Repair},
    };
}

} // namespace termdex::cli
