// The editing commands of the main window's CustomEntriesMenu, on the window core: show the
// edited entries, insert, modify and delete. The editor dialog, the delete confirmation and the
// folder dialog are seams that take and give value structs; the commands write the files
// through custom/custom_edits.h and reload the tables after each change.
#pragma once

#include "custom/custom_edits.h"
#include "custom/custom_folder.h"
#include "custom/entry_backup.h"
#include "custom/folder_move.h"
#include "main/main_lex.h"
#include "store/file_system.h"
#include "store/folder_lock.h"

#include <functional>
#include <optional>
#include <string>

namespace termdex {

// EditMode "INSERT" and "UPDATE".
enum class EditMode { Insert, Update };

// The editor's texts (UTF-8).
extern const char kMessageEnglishMissing[]; // "Πρέπει να συμπληρωθεί το Αγγλικό Λήμμα"
extern const char kMessageGreekOrDescrMissing[]; // "... το Ελληνικό Λήμμα ή η Περιγραφή"
extern const char kEditorInsertCaption[]; // "Εισαγωγή Νέου Λήμματος"
extern const char kEditorUpdateCaption[]; // "Τροποποίηση Λήμματος"
extern const char kDeleteQuestion[];      // "Να διαγραφεί το Λήμμα;"
extern const char kDeleteCaption[];       // "Επιβεβαίωση Διαγραφής"

// What the editor dialog TInsertEntryFrm shows, as its FormShow sets it up.
struct EditorRequest
{
    EditMode mode = EditMode::Insert;
    EntryKind editKind = EntryKind::None; // the kind of the entry modified
    EntryTexts texts;                     // the three fields: empty for insert
    bool headwordsEnabled = true; // false for a shipped entry ('A', 'L'): only the description
    bool focusDescription = false;
    std::string caption;   // UTF-8
    std::string okCaption; // "Εισαγωγή", or "Ok" for modify
    // Set when the editor comes back after saving these texts failed (UTF-8, why): it shows
    // the message over itself and keeps everything typed, so the reader can retry or cancel.
    std::string failure;
};
// The dialog closed: OK with the three fields as they stand, or cancel.
struct EditorAnswer
{
    bool accepted = false;
    EntryTexts texts;
};

class EntryEditor
{
public:
    virtual ~EntryEditor() = default;
    // Shows the editor modally. Its OK runs InsertOk_ButtonClick and stays open on a message.
    virtual EditorAnswer Show(const EditorRequest &request) = 0;
};

// The Yes/No message box before a delete (kDeleteQuestion, captioned kDeleteCaption, no icon).
class DeleteConfirmation
{
public:
    virtual ~DeleteConfirmation() = default;
    virtual bool Confirm() = 0; // true for Yes
};

// TInsertEntryFrm.FormShow: what the editor shows in mode, for an entry of editKind whose
// update buffer is given (insert: cleared fields).
EditorRequest InsertEntryFrmShow(EditMode mode, EntryKind editKind, const EntryTexts &updateBuffer);

// InsertOk_ButtonClick's validation: the message that keeps the editor open, or nullopt when
// it closes with OK. A headword of blanks only counts as empty. Texts that cannot be stored
// (RefuseEntryTexts) are refused here too.
std::optional<std::string> InsertOk_ButtonClick(const EntryTexts &typed, EditMode mode,
                                                EntryKind editKind);

// The modify command's prefill from the window: the headwords from the selected list item and
// Trans_Label (the item's " *" mark cut for kind 'C'), and the description by kind: the plain
// text of the description ('C'), the supplement after its marker ('A'), empty ('L'). For 'A'
// without the marker the description is previous (the buffer keeps its last value).
EntryTexts ModifyPrefill(const MainLexState &state, EntryKind kind, const Cp1253 &previous);

// What a restore did.
struct RestoreReport
{
    EditStatus status;             // Done, or the failure that stopped it (then nothing was added)
    int added = 0;                 // entries written
    int skipped = 0;               // already there, same headwords and text
    std::vector<Cp1253> notPlaced; // supplements whose shipped headword no longer exists
    std::vector<Cp1253> conflicts; // supplements to an entry that has another one: kept as is
    std::vector<std::pair<Cp1253, std::string>> refused; // entries the editor refuses, and why
};

// What the window tells the reader after a restore and a backup (UTF-8).
std::string RestoreSummary(const RestoreReport &report);
std::string BackupSummary(size_t entries, const std::string &file);
extern const char kMessageBackupFailed[]; // "Το αντίγραφο ασφαλείας δεν αποθηκεύτηκε."
extern const char kMessageRestoreUnread[]; // the file is no backup this program can read

class CustomEntryCommands
{
public:
    // The window's commands: the custom folder is resolved before each command, asking with
    // folderDialog when none is usable. Files are written through the core's file system.
    CustomEntryCommands(MainLexCore &core, FolderDialog &folderDialog, EntryEditor &editor,
                        DeleteConfirmation &confirmation);
    // With another way to settle the folder (the command line's --custom-folder): resolve sets
    // the custom paths and returns false when no folder is usable.
    using FolderResolver = std::function<bool(ProgramPaths &paths)>;
    CustomEntryCommands(MainLexCore &core, FolderResolver resolve, EntryEditor &editor,
                        DeleteConfirmation &confirmation);

    // "Εμφάνιση Επεξεργασμένων Λημμάτων": every entry of kind 'C' or 'A' in the list.
    void CustomEntriesItemClick();
    // The editing commands. Unchanged when dropped (no folder, cancel, No, nothing selected);
    // otherwise the outcome of the file operation, whose message the window shows. After a
    // change the tables are reloaded; insert and modify leave the display reset, delete keeps
    // the list's other items and empties the display. When insert or modify cannot save, the
    // editor comes back with the texts and the failure (EditorRequest::failure) until a save
    // succeeds or the reader cancels; the result is then the last failure, already shown.
    EditStatus InsertEntryItemClick();
    EditStatus ModifyEntryItemClick();
    EditStatus DeleteEntryItemClick();
    // "Επιδιόρθωση Επεξεργασμένων Λημμάτων": RepairCustomFiles on the reader's folder, then the
    // tables reloaded and the display reset.
    RepairReport RepairEntriesItemClick();

    // "Φάκελος επεξεργασμένων λημμάτων...": the folder dialog ("CHOOSE" mode, the folder in use
    // prefilled) picks another folder, which is stored; when the old folder holds entries and
    // the new one none, question decides whether they move (MoveCustomEntries) or stay. A move
    // that fails keeps the old folder in use. Unchanged on cancel or the same folder.
    EditStatus CustomFolderItemClick(FolderDialog &dialog, MoveEntriesQuestion &question);
    // The entries a backup of the loaded tables holds (entry_backup.h); nullopt with problem
    // set when a description cannot be read.
    std::optional<std::vector<BackupEntry>> BackupEntries(std::string *problem = nullptr) const;
    // Merges entries into the custom folder (resolved first) through the editor's validation
    // and the insert and modify operations, one entry at a time with a reload after each, on a
    // copy of the reader's files that then replaces them in one commit: all or nothing.
    // Entries already there (as a backup of the folder would list them before the restore)
    // are skipped. The display is reset afterwards.
    RestoreReport RestoreEntries(const std::vector<BackupEntry> &entries);

    // The hand-over state between the editor and the file operations.
    EditMode editMode() const { return m_editMode; }
    EntryKind editKind() const { return m_editKind; }
    const EntryTexts &insertBuffer() const { return m_insertBuffer; }
    const EntryTexts &updateBuffer() const { return m_updateBuffer; }
    const std::string &chosenFolder() const { return m_chosenFolder; }

private:
    bool Resolve();
    // The folder's lock taken exclusively (waiting a bounded time) and the tables reloaded
    // under it; a failure when the lock stayed taken or the shipped index did not load whole.
    EditStatus LockAndReload(FolderLock &lock);
    void AfterChange(const EditStatus &status, bool keepList);
    // Shows the editor until save succeeds or the reader cancels (see InsertEntryItemClick).
    EditStatus EditUntilSaved(EditorRequest request, EntryTexts &buffer,
                              const std::function<EditStatus(const EntryTexts &)> &save);

    MainLexCore &m_core;
    FolderResolver m_resolve;
    EntryEditor &m_editor;
    DeleteConfirmation &m_confirmation;
    FileSystem &m_fs;
    EditMode m_editMode = EditMode::Insert;
    EntryKind m_editKind = EntryKind::None;
    EntryTexts m_insertBuffer;
    EntryTexts m_updateBuffer;
    std::string m_chosenFolder;
};

} // namespace termdex
