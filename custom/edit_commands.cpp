#include "custom/edit_commands.h"

#include "custom/folder_move.h"
#include "lib/cp1253.h"
#include "lib/settings.h"
#include "store/folder_lock.h"

#include <filesystem>

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

EditorRequest InsertEntryFrmShow(EditMode mode, EntryKind editKind, const EntryTexts &updateBuffer)
{
    EditorRequest request;
    request.mode = mode;
    request.editKind = editKind;
    request.caption = kEditorInsertCaption;
    request.okCaption = "Εισαγωγή";
    if (mode == EditMode::Update) {
        // The headwords of a shipped entry cannot be changed.
        if (editKind == EntryKind::Supplemented || editKind == EntryKind::Shipped) {
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
                                                EntryKind editKind)
{
    // Blanks alone would be an entry whose list item shows nothing.
    if (Trim(typed.english).empty())
        return kMessageEnglishMissing;
    if (Trim(typed.greek).empty() && typed.description.empty())
        return kMessageGreekOrDescrMissing;
    return RefuseEntryTexts(typed, mode == EditMode::Insert ? EntryKind::Own : editKind);
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

EntryTexts ModifyPrefill(const MainLexState &state, EntryKind kind, const Cp1253 &previous)
{
    EntryTexts texts;
    const int item = state.itemIndex;
    if (item < 0 || static_cast<size_t>(item) >= state.listItems.size())
        return texts;
    Cp1253 itemText = state.listItems[static_cast<size_t>(item)];
    if (kind == EntryKind::Own && itemText.size() >= 2 &&
        itemText.compare(itemText.size() - 2, 2, " *") == 0)
        itemText.resize(itemText.size() - 2);
    texts.english = state.LanguageMode == Language::Greek ? state.transLabel : itemText;
    texts.greek = state.LanguageMode == Language::Greek ? itemText : state.transLabel;

    const Cp1253 &plain = state.descriptionText;
    if (kind == EntryKind::Own) {
        texts.description = EditableText(TrimLeft(plain), false);
    } else if (kind == EntryKind::Supplemented) {
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
                                         EntryEditor &editor, DeleteConfirmation &confirmation)
    : CustomEntryCommands(
          core,
          [this, &folderDialog](ProgramPaths &paths) {
              return ResolveCustomFolder(paths, folderDialog, m_chosenFolder);
          },
          editor, confirmation)
{
}

CustomEntryCommands::CustomEntryCommands(MainLexCore &core, FolderResolver resolve,
                                         EntryEditor &editor, DeleteConfirmation &confirmation)
    : m_core(core), m_resolve(std::move(resolve)), m_editor(editor), m_confirmation(confirmation),
      m_fs(core.Files())
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
    return EditUntilSaved(InsertEntryFrmShow(m_editMode, EntryKind::None, m_updateBuffer),
                          m_insertBuffer, [this](const EntryTexts &texts) {
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
    const EntryKind kind = m_core.Index().english[static_cast<size_t>(record)].kind;
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
            const EntryKind kind = m_core.Index().english[static_cast<size_t>(current)].kind;
            if ((kind == EntryKind::Own) != (m_editKind == EntryKind::Own))
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
        {kFolderModeChoose, current.empty() ? DefaultCustomFolder(paths.user, paths.programFolder,
                                                                  paths.dictionaryName)
                                            : current});
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
    WriteSettings(paths.settingsFilePath, chosen, paths.user, paths.dictionaryName);
    SetCustomPaths(paths, chosen);
    m_core.ResetDisplay();
    m_core.ReloadAfterEdit();
    return status;
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
