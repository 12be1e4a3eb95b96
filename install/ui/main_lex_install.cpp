// TMainLex's installer: a click on InstallLabel runs the core's InstallLabelClick with the folder
// dialog TSelectCustomDirForm in its "INSTALL" mode, the hourglass up while its OK copies, and
// then shows the outcome messages one after another.
#include "main/ui/main_lex_window.h"

#include "custom/ui/custom_entries_ui.h"
#include "dialogs/plain_message.h"
#include "dialogs/select_custom_dir_form.h"
#include "install/installer.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>

#include <functional>

namespace termdex {

namespace {

// A label's click: the left button released over it.
class LabelClick final : public QObject
{
public:
    LabelClick(QLabel *label, std::function<void()> onClick)
        : QObject(label), m_label(label), m_onClick(std::move(onClick))
    {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_label && event->type() == QEvent::MouseButtonRelease) {
            const auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::LeftButton &&
                m_label->rect().contains(mouse->position().toPoint())) {
                m_onClick();
                return true;
            }
        }
        return false;
    }

private:
    QLabel *m_label;
    std::function<void()> m_onClick;
};

class InstallCursor
{
public:
    InstallCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~InstallCursor() { QGuiApplication::restoreOverrideCursor(); }
    InstallCursor(const InstallCursor &) = delete;
    InstallCursor &operator=(const InstallCursor &) = delete;
};

// The dialog with the hourglass over the copying that its OK runs (the dialog itself shows
// the arrow).
class BusyWhileInstalling final : public FolderDialog
{
public:
    explicit BusyWhileInstalling(FolderDialog &dialog) : m_dialog(dialog) {}
    FolderAnswer Ask(const FolderRequest &request) override
    {
        FolderRequest busy = request;
        if (request.install) {
            busy.install = [install = request.install](const std::string &folder) {
                InstallCursor cursor;
                return install(folder);
            };
        }
        return m_dialog.Ask(busy);
    }

private:
    FolderDialog &m_dialog;
};

} // namespace

void TMainLex::SetUpInstaller()
{
    new LabelClick(m_installLabel, [this] { InstallLabelClick(); });
}

void TMainLex::InstallLabelClick()
{
    SelectCustomDirDialog form(this, m_programFolder);
    BusyWhileInstalling dialog(m_installFolderDialog != nullptr ? *m_installFolderDialog : form);
    InstallSource source{m_programFolder, {}};
    if (m_services.folders != nullptr)
        source.launchers = {m_services.folders->Desktop(), m_services.folders->Applications()};
    else
        source.launchers = {DesktopFolder(), ApplicationsFolder()};
    MoveEntriesBox question(this);
    const InstallClick click = termdex::InstallLabelClick(dialog, source, m_core->MutablePaths(),
                                                          m_chosenFolder, &question);
    for (const std::string &message : click.messages)
        ShowPlainMessage(this, QString::fromUtf8(message));
    activateWindow();
}

} // namespace termdex
