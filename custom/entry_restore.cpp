// The custom-entries menu's backup and restore: a restore replays the backup's entries as
// edits in a staging copy of the reader's files and commits the result in one step.
#include "custom/edit_commands.h"

#include "lib/cp1253.h"
#include "store/commit.h"
#include "store/folder_lock.h"

#include <filesystem>
#include <set>
#include <stdlib.h>
#include <tuple>

namespace termdex {

std::optional<std::vector<BackupEntry>>
CustomEntryCommands::BackupEntries(std::string *problem) const
{
    return CollectBackupEntries(m_core.Paths(), m_core.Index(), m_core.SupplementRefs(), problem);
}

const char kMessageBackupFailed[] = "Το αντίγραφο ασφαλείας δεν αποθηκεύτηκε.";
const char kMessageRestoreUnread[] =
    "Το αρχείο δεν είναι αντίγραφο ασφαλείας λημμάτων του Termdex που μπορεί να διαβαστεί.";

std::string BackupSummary(size_t entries, const std::string &file)
{
    return "Αποθηκεύτηκαν " + std::to_string(entries) + " επεξεργασμένα λήμματα στο αρχείο «" +
           file + "».";
}

std::string RestoreSummary(const RestoreReport &report)
{
    std::string text;
    if (report.status.outcome != EditOutcome::Done && !report.status.message.empty())
        text += report.status.message + "\n\n";
    text += "Προστέθηκαν " + std::to_string(report.added) + " λήμματα· " +
            std::to_string(report.skipped) + " υπήρχαν ήδη.";
    auto list = [&text](const char *heading, const std::vector<Cp1253> &headwords) {
        if (headwords.empty())
            return;
        text += "\n\n";
        text += heading;
        for (const Cp1253 &headword : headwords)
            text += "\n" + Cp1253ToUtf8(headword);
    };
    list("Οι συμπληρώσεις αυτών των λημμάτων δεν τοποθετήθηκαν, γιατί τα λήμματα δεν υπάρχουν "
         "πια στο λεξικό:",
         report.notPlaced);
    list("Αυτά τα λήμματα έχουν ήδη δική σας συμπλήρωση, η οποία κρατήθηκε:", report.conflicts);
    if (!report.refused.empty()) {
        text += "\n\nΔεν προστέθηκαν:";
        for (const auto &[headword, why] : report.refused)
            text += "\n" + Cp1253ToUtf8(headword) + ": " + why;
    }
    return text;
}

namespace {

// A shipped entry, by the English headword a supplement in a backup names; its Greek rendering
// decides between shipped entries of one headword.
int ShippedRecord(const EntryIndex &index, const BackupEntry &entry)
{
    int found = 0;
    for (int r = 1; r <= index.englishCount; ++r) {
        const IndexRecord &record = index.english[static_cast<size_t>(r)];
        if ((record.kind != EntryKind::Shipped && record.kind != EntryKind::Supplemented) ||
            record.headword != entry.english)
            continue;
        const Cp1253View greek =
            record.greekIndex != 0 ? index.greek[record.greekIndex].headword : Cp1253View();
        if (greek == entry.greek)
            return r;
        if (found == 0)
            found = r;
    }
    return found;
}

// The description file's positions have eight digits; nothing staged is larger.
constexpr int64_t kMaxStagedBytes = 128LL * 1024 * 1024;

// A folder of its own in the system's temporary folder, removed with everything in it.
class StagingFolder
{
public:
    StagingFolder()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "termdex-restore-XXXXXX").string();
        if (::mkdtemp(pattern.data()) != nullptr)
            m_folder = pattern;
    }
    ~StagingFolder()
    {
        std::error_code ec;
        if (!m_folder.empty())
            std::filesystem::remove_all(m_folder, ec);
    }
    StagingFolder(const StagingFolder &) = delete;
    StagingFolder &operator=(const StagingFolder &) = delete;
    const std::string &folder() const { return m_folder; }

private:
    std::string m_folder;
};

// The reader's entries before a restore, by everything a backup holds of them: a backup entry
// equal to one of them is already there and is counted as skipped, not added a second time.
class PresentEntries
{
public:
    explicit PresentEntries(std::vector<BackupEntry> entries) : m_entries(std::move(entries))
    {
        for (const BackupEntry &entry : m_entries)
            m_keys.insert(KeyOf(entry));
    }
    PresentEntries(const PresentEntries &) = delete;
    PresentEntries &operator=(const PresentEntries &) = delete;
    bool Has(const BackupEntry &entry) const { return m_keys.count(KeyOf(entry)) != 0; }

private:
    using Key = std::tuple<const EntryKind &, const Cp1253 &, const Cp1253 &, const Cp1253 &>;
    static Key KeyOf(const BackupEntry &e)
    {
        return std::tie(e.kind, e.english, e.greek, e.description);
    }
    std::vector<BackupEntry> m_entries; // the keys refer into these
    std::set<Key> m_keys;
};

// Copies of the reader's custom files in the staging folder, and staged set to the paths of
// the copies; false when the folder or a copy could not be made, as a restore must then not
// start on files it cannot replace whole.
bool StageCustomFiles(FileSystem &fs, const ProgramPaths &real, const StagingFolder &staging,
                      ProgramPaths &staged)
{
    staged = real;
    SetCustomPaths(staged, staging.folder());
    std::error_code ec;
    const std::filesystem::path stagedData =
        std::filesystem::path(staged.customIndexPath).parent_path();
    std::filesystem::create_directories(stagedData, ec);
    const std::pair<std::string, std::string> files[] = {
        {real.customIndexPath, staged.customIndexPath},
        {real.customGreekIndexPath, staged.customGreekIndexPath},
        {real.customDescriptionPath, staged.customDescriptionPath},
    };
    bool copied = !staging.folder().empty();
    for (const auto &[from, to] : files) {
        if (copied && fs.Exists(from))
            copied = std::filesystem::copy_file(from, to, ec) && !ec;
    }
    return copied;
}

// One backup entry written through the editor's own operations into the files core now reads:
// the edit's status, or nullopt where the entry was set aside in the report before any edit
// (a supplement whose entry is gone or has the reader's own supplement, texts the editor
// refuses).
std::optional<EditStatus> ReplayEntry(MainLexCore &core, const BackupEntry &entry, FileSystem &fs,
                                      RestoreReport &report)
{
    const EntryTexts texts{entry.english, entry.greek, entry.description};
    if (entry.kind == EntryKind::Own) {
        if (auto refusal = InsertOk_ButtonClick(texts, EditMode::Insert, EntryKind::None)) {
            report.refused.emplace_back(entry.english, std::move(*refusal));
            return std::nullopt;
        }
        return InsertEntry(core.Paths(), core.Index(), texts, fs);
    }
    const int record = ShippedRecord(core.Index(), entry);
    if (record == 0) {
        report.notPlaced.push_back(entry.english);
        return std::nullopt;
    }
    const EntryKind kind = core.Index().english[static_cast<size_t>(record)].kind;
    // The reader's current supplement is his latest word: it is never overwritten.
    if (kind == EntryKind::Supplemented) {
        report.conflicts.push_back(entry.english);
        return std::nullopt;
    }
    if (auto refusal = RefuseEntryTexts(texts, kind)) {
        report.refused.emplace_back(entry.english, std::move(*refusal));
        return std::nullopt;
    }
    return UpdateEntry(core.Paths(), core.Index(), record, kind, texts, fs);
}

// The backup's entries, in order, into the staged files; the first failure that is not a
// refusal stops the restore and leaves nothing added.
void ReplayEntries(MainLexCore &core, const std::vector<BackupEntry> &entries,
                   const PresentEntries &present, FileSystem &fs, RestoreReport &report)
{
    for (const BackupEntry &entry : entries) {
        if (present.Has(entry)) {
            ++report.skipped;
            continue;
        }
        const std::optional<EditStatus> status = ReplayEntry(core, entry, fs, report);
        if (!status)
            continue;
        if (status->outcome == EditOutcome::Refused) {
            report.refused.emplace_back(entry.english, status->message);
            continue;
        }
        if (status->outcome != EditOutcome::Done) {
            report.status = *status;
            report.added = 0;
            break;
        }
        ++report.added;
        // The next entry's id and place come from the tables as the files now stand.
        core.ReloadAfterEdit();
    }
}

// The staged files replace the reader's in one commit, through the writer's scratch names, so
// an interrupted restore is finished or undone as any edit is.
void CommitStagedFiles(FileSystem &fs, const ProgramPaths &real, const ProgramPaths &staged,
                       RestoreReport &report)
{
    std::vector<ScratchFile> scratch;
    const ScratchPaths names = NewScratchPaths(real);
    const std::pair<const std::string ProgramPaths::*, const std::string *> targets[] = {
        {&ProgramPaths::customIndexPath, &names.index},
        {&ProgramPaths::customGreekIndexPath, &names.greekIndex},
        {&ProgramPaths::customDescriptionPath, &names.description},
    };
    for (const auto &[target, scratchName] : targets) {
        const std::string from = staged.*target;
        if (!fs.Exists(from))
            continue;
        scratch.push_back({*scratchName, real.*target, [&fs, from](WritableFile &out) {
                               const auto bytes = fs.ReadAll(from, kMaxStagedBytes);
                               return bytes && out.Append(*bytes);
                           }});
    }
    const CommitOutcome outcome = CommitCustomFiles(fs, real, scratch);
    if (outcome == CommitOutcome::NotStarted) {
        report.status = {EditOutcome::Failed, kMessageWriteFailed};
        report.added = 0;
    } else if (outcome == CommitOutcome::Pending) {
        report.status = {EditOutcome::Pending, kMessagePending};
    }
}

} // namespace

RestoreReport CustomEntryCommands::RestoreEntries(const std::vector<BackupEntry> &entries)
{
    RestoreReport report;
    report.status = {EditOutcome::Done, {}};
    if (!Resolve()) {
        report.status = {EditOutcome::Unchanged, {}};
        return report;
    }
    // One writer from the first read of the reader's files to the commit that replaces them.
    FolderLock lock;
    if (EditStatus ready = LockAndReload(lock); !ready.ok()) {
        report.status = ready;
        return report;
    }
    std::string problem;
    auto before =
        CollectBackupEntries(m_core.Paths(), m_core.Index(), m_core.SupplementRefs(), &problem);
    if (!before) {
        report.status = {EditOutcome::Failed, kMessageDamaged};
        return report;
    }
    const PresentEntries present(std::move(*before));

    // The entries go one by one, through the editor's own operations, into a copy of the
    // reader's files; the result replaces his files in one commit, so a restore is whole or
    // not at all, and a thousand entries do not wait for a thousand flushes.
    const ProgramPaths real = m_core.Paths();
    StagingFolder staging;
    ProgramPaths staged;
    if (!StageCustomFiles(m_fs, real, staging, staged)) {
        report.status = {EditOutcome::Failed, kMessageWriteFailed};
        return report;
    }
    UnsyncedFileSystem unsynced(m_fs);
    struct PathsBack
    {
        MainLexCore &core;
        const ProgramPaths &paths;
        ~PathsBack() { core.MutablePaths() = paths; }
    } pathsBack{m_core, real};
    m_core.MutablePaths() = staged;
    m_core.ReloadAfterEdit();
    ReplayEntries(m_core, entries, present, unsynced, report);
    if (report.status.ok() && report.added > 0)
        CommitStagedFiles(m_fs, real, staged, report);
    m_core.MutablePaths() = real;
    m_core.ResetDisplay();
    m_core.ReloadAfterEdit();
    return report;
}

} // namespace termdex
