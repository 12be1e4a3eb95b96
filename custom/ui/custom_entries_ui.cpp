#include "custom/ui/custom_entries_ui.h"

#include "custom/ui/custom_pictures.h"
#include "dialogs/dialog_pictures.h"
#include "dialogs/plain_message.h"

#include <QAction>
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

CustomEntriesUi::CustomEntriesUi(QWidget *window, MainLexCore &core,
                                 const std::filesystem::path &programFolder)
    : folderDialog(window, programFolder), editor(window), confirmation(window),
      commands(core, folderDialog, editor, confirmation)
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
    };
    for (const auto &picture : pictures) {
        if (auto *action = menu.findChild<QAction *>(QLatin1String(picture.item)))
            action->setIcon(SvgIcon(CustomPicture(picture.picture)));
    }
}

} // namespace termdex
