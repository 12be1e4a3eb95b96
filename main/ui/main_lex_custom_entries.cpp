// TMainLex's custom-entries commands: the button's menu and its four items. Each slot runs the
// core command of its name under the hourglass (the dialogs it opens show the arrow), then
// mirrors the core and shows the message of a change that could not be made.
#include "main/ui/main_lex_window.h"

#include "custom/ui/custom_entries_ui.h"
#include "dialogs/pictures.h"
#include "dialogs/plain_message.h"
#include "lib/files.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>

namespace termdex {

void TMainLex::ShowUnseenMessage(const EditStatus &status)
{
    // The editor already showed why a save failed, over the texts it kept.
    if (status.outcome == EditOutcome::Failed || status.outcome == EditOutcome::Refused)
        return;
    if (!status.message.empty())
        ShowPlainMessage(this, QString::fromStdString(status.message));
}

void TMainLex::SetUpCustomEntries()
{
    m_customEntries = std::make_unique<CustomEntriesUi>(this, *m_core, m_programFolder);
    SetCustomEntriesMenuPictures(*m_customEntriesMenu);
    connect(m_customEntriesButton, &QAbstractButton::clicked, this,
            &TMainLex::CustomEntries_ButtonClick);
    const struct
    {
        const char *item;
        void (TMainLex::*slot)();
    } items[] = {
        {"CustomEntriesItem", &TMainLex::CustomEntriesItemClick},
        {"InsertEntryItem", &TMainLex::InsertEntryItemClick},
        {"ModifyEntryItem", &TMainLex::ModifyEntryItemClick},
        {"DeleteEntryItem", &TMainLex::DeleteEntryItemClick},
        {"CustomFolderItem", &TMainLex::CustomFolderItemClick},
        {"BackupItem", &TMainLex::BackupItemClick},
        {"RestoreItem", &TMainLex::RestoreItemClick},
        {"RepairEntriesItem", &TMainLex::RepairEntriesItemClick},
    };
    for (const auto &item : items) {
        if (auto *action = m_customEntriesMenu->findChild<QAction *>(QLatin1String(item.item)))
            connect(action, &QAction::triggered, this, item.slot);
    }
}

void TMainLex::CustomEntries_ButtonClick()
{
    PopUpBelow(*m_customEntriesMenu, *this, *m_customEntriesButton);
}

void TMainLex::CustomEntriesItemClick()
{
    BusyThenMirror([&] { m_customEntries->commands.CustomEntriesItemClick(); });
    FitEntryLabels();
}

void TMainLex::InsertEntryItemClick()
{
    const EditStatus status =
        BusyThenMirror([&] { return m_customEntries->commands.InsertEntryItemClick(); });
    FitEntryLabels();
    ShowUnseenMessage(status);
}

void TMainLex::ModifyEntryItemClick()
{
    const EditStatus status =
        BusyThenMirror([&] { return m_customEntries->commands.ModifyEntryItemClick(); });
    FitEntryLabels();
    ShowUnseenMessage(status);
}

void TMainLex::DeleteEntryItemClick()
{
    const EditStatus status =
        BusyThenMirror([&] { return m_customEntries->commands.DeleteEntryItemClick(); });
    FitEntryLabels();
    if (!status.message.empty())
        ShowPlainMessage(this, QString::fromStdString(status.message));
}

void TMainLex::RepairEntriesItemClick()
{
    const RepairReport report =
        BusyThenMirror([&] { return m_customEntries->commands.RepairEntriesItemClick(); });
    FitEntryLabels();
    QString message = QString::fromStdString(report.status.message);
    if (report.status.ok() && !report.damagedFolder.empty()) {
        message = QStringLiteral("Τα αρχεία των επεξεργασμένων λημμάτων ξαναγράφτηκαν με %1 "
                                 "λήμματα και συμπληρώσεις. Τα κατεστραμμένα αρχεία "
                                 "φυλάχτηκαν στον φάκελο\n%2")
                      .arg(report.kept)
                      .arg(QString::fromStdString(report.damagedFolder));
        if (!report.lost.empty()) {
            message += QStringLiteral("\n\nΔεν ήταν δυνατό να κρατηθούν:");
            for (const std::string &lost : report.lost)
                message += QStringLiteral("\n") + QString::fromStdString(lost);
        }
    }
    if (!message.isEmpty())
        ShowPlainMessage(this, message);
}

} // namespace termdex

namespace termdex {

void TMainLex::CustomFolderItemClick()
{
    const EditStatus status = BusyThenMirror([&] {
        return m_customEntries->commands.CustomFolderItemClick(m_customEntries->folderDialog,
                                                               m_customEntries->moveQuestion);
    });
    FitEntryLabels();
    if (!status.message.empty())
        ShowPlainMessage(this, QString::fromStdString(status.message));
}

void TMainLex::BackupItemClick()
{
    const std::string file = AskBackupFile(this, true);
    if (file.empty())
        return;
    std::string message;
    {
        BusyCursor busy;
        std::string problem;
        const auto entries = m_customEntries->commands.BackupEntries(&problem);
        if (!entries)
            message = std::string(kMessageBackupFailed) + "\n" + problem;
        else if (!SaveBackup(file, WriteBackup(*entries), m_core->Files()))
            message = kMessageBackupFailed;
        else
            message = BackupSummary(entries->size(),
                                    QFile::decodeName(file.c_str()).toUtf8().toStdString());
    }
    ShowPlainMessage(this, QString::fromStdString(message));
}

void TMainLex::RestoreItemClick()
{
    const std::string file = AskBackupFile(this, false);
    if (file.empty())
        return;
    const auto bytes = ReadWholeFile(file, kMaxBackupBytes);
    const BackupParse parsed = bytes ? ReadBackup(*bytes) : BackupParse{};
    if (!parsed.entries) {
        ShowPlainMessage(this, QString::fromUtf8(kMessageRestoreUnread));
        return;
    }
    const RestoreReport report =
        BusyThenMirror([&] { return m_customEntries->commands.RestoreEntries(*parsed.entries); });
    FitEntryLabels();
    if (report.status.outcome != EditOutcome::Unchanged)
        ShowPlainMessage(this, QString::fromStdString(RestoreSummary(report)));
}

} // namespace termdex
