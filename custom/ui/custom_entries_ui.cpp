#include "custom/ui/custom_entries_ui.h"

#include "custom/ui/custom_pictures.h"
#include "dialogs/dialog_pictures.h"
#include "dialogs/plain_message.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>

namespace termdex {

bool DeleteConfirmationBox::Confirm()
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromUtf8(kDeleteCaption),
                    QString::fromUtf8(kDeleteQuestion), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setObjectName(QStringLiteral("DeleteConfirmation"));
    box.setDefaultButton(QMessageBox::Yes);
    DialogCursor cursor;
    return box.exec() == QMessageBox::Yes;
}

bool MoveEntriesBox::Confirm(const std::string &text)
{
    QMessageBox box(QMessageBox::Question, QString::fromUtf8(kMoveEntriesCaption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setObjectName(QStringLiteral("MoveEntriesQuestion"));
    box.setDefaultButton(QMessageBox::Yes);
    DialogCursor cursor;
    return box.exec() == QMessageBox::Yes;
}

std::string AskBackupFile(QWidget *parent, bool save)
{
    QFileDialog dialog(parent, save ? QStringLiteral("Αντίγραφο ασφαλείας λημμάτων")
                                    : QStringLiteral("Επαναφορά λημμάτων από αντίγραφο"));
    dialog.setObjectName(QStringLiteral("BackupFileDialog"));
    // The same dialog everywhere, so the reader and the tests meet one.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(
        {QStringLiteral("Αντίγραφα Termdex (*.json)"), QStringLiteral("Όλα τα αρχεία (*)")});
    dialog.setDefaultSuffix(QStringLiteral("json"));
    dialog.setDirectory(QDir::home());
    if (save)
        dialog.selectFile(QStringLiteral("termdex-entries.json"));
    int result = QDialog::Rejected;
    {
        DialogCursor cursor;
        result = dialog.exec();
    }
    if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QFile::encodeName(dialog.selectedFiles().front()).toStdString();
}

CustomEntriesUi::CustomEntriesUi(QWidget *window, MainLexCore &core,
                                 const std::filesystem::path &programFolder)
    : folderDialog(window, programFolder), editor(window), confirmation(window),
      moveQuestion(window), commands(core, folderDialog, editor, confirmation)
{
}

void SetCustomEntriesMenuPictures(QMenu &menu)
{
    static const struct
    {
        const char *item;
        const char *picture;
    } pictures[] = {
        {"CustomEntriesItem", "custom_entries_item"},
        {"InsertEntryItem", "insert_entry_item"},
        {"ModifyEntryItem", "modify_entry_item"},
        {"DeleteEntryItem", "delete_entry_item"},
        {"CustomFolderItem", "custom_folder_item"},
        {"BackupItem", "backup_item"},
        {"RestoreItem", "restore_item"},
        {"RepairEntriesItem", "repair_entries_item"},
    };
    for (const auto &picture : pictures) {
        if (auto *action = menu.findChild<QAction *>(QLatin1String(picture.item)))
            action->setIcon(SvgIcon(CustomPicture(picture.picture)));
    }
}

} // namespace termdex
