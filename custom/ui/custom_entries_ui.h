// The window side of the custom-entries menu: the dialogs behind the editing commands' seams and
// the menu's pictures. TMainLex owns one CustomEntriesUi; its slots named after the commands
// (main_lex_custom_entries.cpp) run them and mirror the core back into the widgets.
#pragma once

#include "custom/edit_commands.h"
#include "custom/ui/insert_entry_frm.h"
#include "dialogs/select_custom_dir_form.h"

#include <filesystem>

class QMenu;
class QWidget;

namespace termdex {

// The question before a delete: "Να διαγραφεί το Λήμμα;", captioned "Επιβεβαίωση Διαγραφής",
// Yes and No, no icon.
class DeleteConfirmationBox final : public DeleteConfirmation
{
public:
    explicit DeleteConfirmationBox(QWidget *parent) : m_parent(parent) {}
    bool Confirm() override;

private:
    QWidget *m_parent;
};

// Whether the reader's entries move to another folder: Yes and No, captioned
// kMoveEntriesCaption, the question icon.
class MoveEntriesBox final : public MoveEntriesQuestion
{
public:
    explicit MoveEntriesBox(QWidget *parent) : m_parent(parent) {}
    bool Confirm(const std::string &text) override;

private:
    QWidget *m_parent;
};

// The file of a backup: the save or open dialog (object name "BackupFileDialog"), JSON files
// offered first. An empty path when the reader cancels.
std::string AskBackupFile(QWidget *parent, bool save);

// The editing commands over the window's core, with the program's own dialogs.
struct CustomEntriesUi
{
    // window: the dialogs' parent; programFolder: the current folder after every folder dialog.
    CustomEntriesUi(QWidget *window, MainLexCore &core, const std::filesystem::path &programFolder);

    SelectCustomDirDialog folderDialog;
    InsertEntryEditor editor;
    DeleteConfirmationBox confirmation;
    MoveEntriesBox moveQuestion;
    CustomEntryCommands commands;
};

// Gives the items of CustomEntriesMenu (found by their object names) their 16 x 16 pictures.
void SetCustomEntriesMenuPictures(QMenu &menu);

} // namespace termdex
