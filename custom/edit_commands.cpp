#include "custom/edit_commands.h"

#include "custom/commit.h"
#include "custom/folder_lock.h"
#include "custom/folder_move.h"
#include "lib/cp1253.h"
#include "lib/settings.h"

#include <filesystem>
#include <set>
#include <stdlib.h>
#include <tuple>

namespace termdex {

const char kMessageEnglishMissing[] = "Πρέπει να συμπληρωθεί το Αγγλικό Λήμμα";
const char kMessageGreekOrDescrMissing[] = "Πρέπει να συμπληρωθεί το Ελληνικό Λήμμα ή η Περιγραφή";
const char kEditorInsertCaption[] = "Εισαγωγή Νέου Λήμματος";
const char kEditorUpdateCaption[] = "Τροποποίηση Λήμματος";
const char kDeleteQuestion[] = "Να διαγραφεί το Λήμμα;";
const char kDeleteCaption[] = "Επιβεβαίωση Διαγραφής";

namespace {

// The line the display puts before the reader's supplement (20 characters).
const Cp1253 &SupplementMarker()
{
    static const Cp1253 marker = Utf8ToCp1253("Συμπλήρωση δική σας:").text.value_or("");
    return marker;
}

} // namespace

EditorRequest InsertEntryFrmShow(EditMode mode, char editKind, const EntryTexts &updateBuffer)
{
    EditorRequest request;
    request.mode = mode;
    request.editKind = editKind;
    request.caption = kEditorInsertCaption;
    request.okCaption = "Εισαγωγή";
    if (mode == EditMode::Update) {
        // The headwords of a shipped entry cannot be changed.
        if (editKind == 'A' || editKind == 'L') {
            request.headwordsEnabled = false;
            request.focusDescription = true;
        }
        request.texts = updateBuffer;
        request.caption = kEditorUpdateCaption;
        request.okCaption = "Ok";
    }
    return request;
}

std::optional<std::string> InsertOk_ButtonClick(const EntryTexts &typed, EditMode mode,
                                                char editKind)
{
    // Blanks alone would be an entry whose list item shows nothing.
    if (Trim(typed.english).empty())
        return kMessageEnglishMissing;
    if (Trim(typed.greek).empty() && typed.description.empty())
        return kMessageGreekOrDescrMissing;
    return RefuseEntryTexts(typed, mode == EditMode::Insert ? 'C' : editKind);
}

// The text as the reader typed it, from the text the display shows: the display adds its
// closing paragraphs (and, after a supplement, a separating blank), and the stored form writes
// each line break as " \par ", whose blank shows before the break. Undoing exactly these lets a
// modify that changes nothing store the same bytes again instead of growing the text each time.
static Cp1253 EditableText(Cp1253View shown, bool afterSupplement)
{
    constexpr std::string_view closing = "\r\n\r\n";
    if (shown.size() >= closing.size() && shown.substr(shown.size() - closing.size()) == closing)
        shown.remove_suffix(closing.size());
    if (afterSupplement && !shown.empty() && shown.back() == ' ')
        shown.remove_suffix(1);
    Cp1253 text;
    text.reserve(shown.size());
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == ' ' && shown.substr(i + 1, 2) == "\r\n")
            continue;
        text += shown[i];
    }
    return text;
}

EntryTexts ModifyPrefill(const MainLexState &state, char kind, const Cp1253 &previous)
{
    EntryTexts texts;
    const int item = state.itemIndex;
    if (item < 0 || static_cast<size_t>(item) >= state.listItems.size())
        return texts;
    Cp1253 itemText = state.listItems[static_cast<size_t>(item)];
    if (kind == 'C' && itemText.size() >= 2 && itemText.compare(itemText.size() - 2, 2, " *") == 0)
        itemText.resize(itemText.size() - 2);
    texts.english = state.LanguageMode ? state.transLabel : itemText;
    texts.greek = state.LanguageMode ? itemText : state.transLabel;

    const Cp1253 &plain = state.descriptionText;
    if (kind == 'C') {
        texts.description = EditableText(TrimLeft(plain), false);
    } else if (kind == 'A') {
        // The supplement starts after the marker and the line break that ends its line. The
        // place is the marker's own: an underscore in the shipped text above it must not
        // move the cut into the shipped text.
        const size_t marker = plain.find(SupplementMarker());
        if (marker == Cp1253::npos) {
            texts.description = previous;
        } else {
            const size_t start = marker + SupplementMarker().size() + 1;
            texts.description =
                start < plain.size() ? EditableText(TrimLeft(plain.substr(start)), true) : Cp1253();
        }
    }
    return texts;
}

CustomEntryCommands::CustomEntryCommands(MainLexCore &core, FolderDialog &folderDialog,
                                         EntryEditor &editor, DeleteConfirmation &confirmation,
                                         FileSystem &fs)
    : CustomEntryCommands(
          core,
          [this, &folderDialog](ProgramPaths &paths) {
              return ResolveCustomFolder(paths, folderDialog, m_chosenFolder);
          },
          editor, confirmation, fs)
{
}

CustomEntryCommands::CustomEntryCommands(MainLexCore &core, FolderResolver resolve,
                                         EntryEditor &editor, DeleteConfirmation &confirmation,
                                         FileSystem &fs)
    : m_core(core), m_resolve(std::move(resolve)), m_editor(editor), m_confirmation(confirmation),
      m_fs(fs)
{
}

void CustomEntryCommands::CustomEntriesItemClick()
{
    m_core.WriteEntryText("");
    m_core.ResetDisplay();
    m_core.ClearNextMenu();
    m_core.FillEntryList(m_core.State().DefaultLookupMode, 0, true);
}

bool CustomEntryCommands::Resolve() { return m_resolve(m_core.MutablePaths()); }

EditStatus CustomEntryCommands::LockAndReload(FolderLock &lock)
{
    // Without a folder the edit itself says so.
    if (!m_core.Paths().HasCustomFolder())
        return {EditOutcome::Done, {}};
    lock = FolderLock::Take(CustomDataFolder(m_core.Paths()), LockKind::Exclusive);
    if (!lock.held())
        return {EditOutcome::Failed, lock.timedOut() ? kMessageBusy : kMessageWriteFailed};
    // Another window or script may have changed the files since they were loaded: the edit
    // applies to them as they are now.
    m_core.ReloadAfterEdit();
    // A shipped file read only in part: a new entry could take the id of an entry not read.
    if (!m_core.LoadStatus().complete)
        return {EditOutcome::Failed, kMessageIncompleteDictionary};
    return {EditOutcome::Done, {}};
}

void CustomEntryCommands::AfterChange(const EditStatus &status, bool keepList)
{
    // Refused or failed: the files are as they were, and so is the window.
    if (status.outcome != EditOutcome::Done && status.outcome != EditOutcome::Pending)
        return;
    if (keepList)
        m_core.ClearEntryDisplay();
    else
        m_core.ResetDisplay();
    m_core.ReloadAfterEdit();
}

EditStatus
CustomEntryCommands::EditUntilSaved(EditorRequest request, EntryTexts &buffer,
                                    const std::function<EditStatus(const EntryTexts &)> &save)
{
    EditStatus lastFailure{EditOutcome::Unchanged, {}};
    for (;;) {
        const EditorAnswer answer = m_editor.Show(request);
        if (!answer.accepted)
            return lastFailure;
        buffer = answer.texts;
        const EditStatus status = save(buffer);
        // What the reader typed is nowhere else: a save that wrote nothing brings the editor
        // back with it (a full disk or a read-only folder can be mended meanwhile).
        if (status.outcome != EditOutcome::Failed && status.outcome != EditOutcome::Refused) {
            AfterChange(status, false);
            return status;
        }
        request.texts = buffer;
        request.failure = status.message;
        lastFailure = status;
    }
}

EditStatus CustomEntryCommands::InsertEntryItemClick()
{
    m_editMode = EditMode::Insert;
    if (!Resolve())
        return {EditOutcome::Unchanged, {}};
    return EditUntilSaved(InsertEntryFrmShow(m_editMode, 0, m_updateBuffer), m_insertBuffer,
                          [this](const EntryTexts &texts) {
                              FolderLock lock;
                              if (EditStatus ready = LockAndReload(lock); !ready.ok())
                                  return ready;
                              return InsertEntry(m_core.Paths(), m_core.Index(), texts, m_fs);
                          });
}

EditStatus CustomEntryCommands::ModifyEntryItemClick()
{
    const int record = m_core.SelectedRecord();
    if (record == 0)
        return {EditOutcome::Unchanged, {}};
    const char kind = m_core.Index().english[static_cast<size_t>(record)].kind;
    m_editMode = EditMode::Update;
    if (!Resolve())
        return {EditOutcome::Unchanged, {}};
    m_editKind = kind;
    m_updateBuffer = ModifyPrefill(m_core.State(), kind, m_updateBuffer.description);
    return EditUntilSaved(
        InsertEntryFrmShow(m_editMode, m_editKind, m_updateBuffer), m_updateBuffer,
        [this](const EntryTexts &texts) -> EditStatus {
            FolderLock lock;
            if (EditStatus ready = LockAndReload(lock); !ready.ok())
                return ready;
            // The reload carried the selection over by the entry's id; the
            // entry may be gone, or have gained or lost a supplement.
            const int current = m_core.SelectedRecord();
            if (current == 0)
                return {EditOutcome::Refused, kMessageNoEntry};
            const char kind = m_core.Index().english[static_cast<size_t>(current)].kind;
            if ((kind == 'C') != (m_editKind == 'C'))
                return {EditOutcome::Refused, kMessageNoEntry};
            m_editKind = kind;
            return UpdateEntry(m_core.Paths(), m_core.Index(), current, m_editKind, texts, m_fs);
        });
}

EditStatus CustomEntryCommands::CustomFolderItemClick(FolderDialog &dialog,
                                                      MoveEntriesQuestion &question)
{
    ProgramPaths &paths = m_core.MutablePaths();
    const std::string current = CustomFolderOf(paths);
    std::error_code ec;
    const std::filesystem::path before = std::filesystem::current_path(ec);
    const FolderAnswer answer = dialog.Ask(
        {kFolderModeChoose, current.empty() ? DefaultCustomFolder(paths.programFolder) : current});
    if (!before.empty() && std::filesystem::current_path(ec) != before)
        std::filesystem::current_path(before, ec);
    if (!answer.accepted || answer.folder.empty())
        return {EditOutcome::Unchanged, {}};
    const std::string chosen = answer.folder;
    if (!CreateCustomDataFolder(chosen))
        return {EditOutcome::Failed, kMessageFolderCreateFailed};
    if (!current.empty() && SameFolder(current, chosen))
        return {EditOutcome::Unchanged, {}};
    EditStatus status{EditOutcome::Done, {}};
    // Entries are offered to move only into a folder without entries of its own: a folder
    // that has some is one the reader goes back to, and two sets are never mixed.
    if (HasCustomEntries(current) && !HasCustomEntries(chosen) &&
        question.Confirm(MoveEntriesText(current, chosen, false))) {
        status = MoveCustomEntries(current, chosen, m_fs);
        if (!status.ok())
            return status;
    }
    m_chosenFolder = chosen;
    WriteSettings(paths.settingsFilePath, chosen);
    SetCustomPaths(paths, chosen);
    m_core.ResetDisplay();
    m_core.ReloadAfterEdit();
    return status;
}

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
        if ((record.kind != 'L' && record.kind != 'A') || record.headword != entry.english)
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

} // namespace

namespace {

// The description file's positions have eight digits; nothing staged is larger.
constexpr int64_t kMaxStagedBytes = 128LL * 1024 * 1024;

// The files of a restore's staging folder are thrown away on any failure, so flushing each of
// its hundreds of rewrites to the disk buys nothing; the one commit into the reader's folder
// flushes as every edit does.
class UnsyncedFileSystem final : public FileSystem
{
public:
    explicit UnsyncedFileSystem(FileSystem &real) : m_real(real) {}
    bool Exists(const std::string &path) override { return m_real.Exists(path); }
    std::optional<int64_t> Size(const std::string &path) override { return m_real.Size(path); }
    std::optional<std::string> ReadAll(const std::string &path, int64_t maxBytes) override
    {
        return m_real.ReadAll(path, maxBytes);
    }
    std::unique_ptr<ReadableFile> OpenRead(const std::string &path) override
    {
        return m_real.OpenRead(path);
    }
    std::unique_ptr<WritableFile> Create(const std::string &path) override
    {
        auto file = m_real.Create(path);
        return file ? std::make_unique<File>(std::move(file)) : nullptr;
    }
    bool Rename(const std::string &from, const std::string &to) override
    {
        return m_real.Rename(from, to);
    }
    bool Link(const std::string &from, const std::string &to) override
    {
        return m_real.Link(from, to);
    }
    bool Remove(const std::string &path) override { return m_real.Remove(path); }
    bool SyncFolder(const std::string &) override { return true; }

private:
    class File final : public WritableFile
    {
    public:
        explicit File(std::unique_ptr<WritableFile> file) : m_file(std::move(file)) {}
        bool Append(std::string_view bytes) override { return m_file->Append(bytes); }
        bool Sync() override { return true; }
        bool Close() override { return m_file->Close(); }

    private:
        std::unique_ptr<WritableFile> m_file;
    };
    FileSystem &m_real;
};

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
    const auto before =
        CollectBackupEntries(m_core.Paths(), m_core.Index(), m_core.SupplementRefs(), &problem);
    if (!before) {
        report.status = {EditOutcome::Failed, kMessageDamaged};
        return report;
    }
    auto key = [](const BackupEntry &e) {
        return std::tie(e.kind, e.english, e.greek, e.description);
    };
    std::set<std::tuple<const char &, const Cp1253 &, const Cp1253 &, const Cp1253 &>> present;
    for (const BackupEntry &entry : *before)
        present.insert(key(entry));

    // The entries go one by one, through the editor's own operations, into a copy of the
    // reader's files; the result replaces his files in one commit, so a restore is whole or
    // not at all, and a thousand entries do not wait for a thousand flushes.
    const ProgramPaths real = m_core.Paths();
    StagingFolder staging;
    ProgramPaths staged = real;
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
        if (copied && m_fs.Exists(from))
            copied = std::filesystem::copy_file(from, to, ec) && !ec;
    }
    if (!copied) {
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

    for (const BackupEntry &entry : entries) {
        if (present.count(key(entry)) != 0) {
            ++report.skipped;
            continue;
        }
        const EntryTexts texts{entry.english, entry.greek, entry.description};
        EditStatus status;
        if (entry.kind == 'C') {
            if (auto refusal = InsertOk_ButtonClick(texts, EditMode::Insert, 0)) {
                report.refused.emplace_back(entry.english, std::move(*refusal));
                continue;
            }
            status = InsertEntry(m_core.Paths(), m_core.Index(), texts, unsynced);
        } else {
            const int record = ShippedRecord(m_core.Index(), entry);
            if (record == 0) {
                report.notPlaced.push_back(entry.english);
                continue;
            }
            const char kind = m_core.Index().english[static_cast<size_t>(record)].kind;
            // The reader's current supplement is his latest word: it is never overwritten.
            if (kind == 'A') {
                report.conflicts.push_back(entry.english);
                continue;
            }
            if (auto refusal = RefuseEntryTexts(texts, kind)) {
                report.refused.emplace_back(entry.english, std::move(*refusal));
                continue;
            }
            status = UpdateEntry(m_core.Paths(), m_core.Index(), record, kind, texts, unsynced);
        }
        if (status.outcome == EditOutcome::Refused) {
            report.refused.emplace_back(entry.english, status.message);
            continue;
        }
        if (status.outcome != EditOutcome::Done) {
            report.status = status;
            report.added = 0;
            break;
        }
        ++report.added;
        // The next entry's id and place come from the tables as the files now stand.
        m_core.ReloadAfterEdit();
    }

    if (report.status.ok() && report.added > 0) {
        std::vector<ScratchFile> scratch;
        const ScratchPaths names = NewScratchPaths(real);
        const std::pair<const std::string ProgramPaths::*, const std::string *> targets[] = {
            {&ProgramPaths::customIndexPath, &names.index},
            {&ProgramPaths::customGreekIndexPath, &names.greekIndex},
            {&ProgramPaths::customDescriptionPath, &names.description},
        };
        for (const auto &[target, scratchName] : targets) {
            const std::string from = staged.*target;
            if (!m_fs.Exists(from))
                continue;
            scratch.push_back({*scratchName, real.*target, [this, from](WritableFile &out) {
                                   const auto bytes = m_fs.ReadAll(from, kMaxStagedBytes);
                                   return bytes && out.Append(*bytes);
                               }});
        }
        const CommitOutcome outcome = CommitCustomFiles(m_fs, real, scratch);
        if (outcome == CommitOutcome::NotStarted) {
            report.status = {EditOutcome::Failed, kMessageWriteFailed};
            report.added = 0;
        } else if (outcome == CommitOutcome::Pending) {
            report.status = {EditOutcome::Pending, kMessagePending};
        }
    }
    m_core.MutablePaths() = real;
    m_core.ResetDisplay();
    m_core.ReloadAfterEdit();
    return report;
}

EditStatus CustomEntryCommands::DeleteEntryItemClick()
{
    if (!m_confirmation.Confirm() || !Resolve())
        return {EditOutcome::Unchanged, {}};
    if (m_core.SelectedRecord() == 0)
        return {EditOutcome::Unchanged, {}};
    FolderLock lock;
    if (EditStatus ready = LockAndReload(lock); !ready.ok())
        return ready;
    const int record = m_core.SelectedRecord();
    if (record == 0)
        return {EditOutcome::Refused, kMessageNoEntry};
    const EditStatus status = DeleteEntry(m_core.Paths(), m_core.Index(), record, m_fs);
    AfterChange(status, true);
    return status;
}

RepairReport CustomEntryCommands::RepairEntriesItemClick()
{
    RepairReport report;
    if (!Resolve()) {
        report.status = {EditOutcome::Unchanged, {}};
        return report;
    }
    // The places of the lines come from the shipped tables alone, read whole.
    ProgramPaths shippedOnly = m_core.Paths();
    SetCustomPaths(shippedOnly, {});
    EntryIndex shipped;
    std::vector<std::string> refs;
    if (!LoadEntryIndex(shippedOnly, shipped, refs).complete) {
        report.status = {EditOutcome::Failed, kMessageIncompleteDictionary};
        return report;
    }
    report = RepairCustomFiles(m_core.Paths(), shipped, m_fs);
    if (report.status.ok() && !report.damagedFolder.empty()) {
        m_core.ResetDisplay();
        m_core.ReloadAfterEdit();
    }
    return report;
}

} // namespace termdex
