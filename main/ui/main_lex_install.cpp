// TMainLex's installer: a click on InstallLabel runs the core's InstallLabelClick with the folder
// dialog TSelectCustomDirForm in its "INSTALL" mode, the hourglass up while its OK copies, and
// then shows the outcome messages one after another.
#include "main/ui/main_lex_window.h"

#include "custom/ui/custom_entries_ui.h"
#include "dialogs/plain_message.h"
#include "dialogs/select_custom_dir_form.h"
#include "install/installer.h"

#include <QLabel>

namespace termdex {

namespace {

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
                BusyCursor cursor;
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
    auto *clicks = new ClickFilter(m_installLabel);
    clicks->Watch(m_installLabel, [this] { InstallLabelClick(); });
}

void TMainLex::InstallLabelClick()
{
    SelectCustomDirDialog form(this, m_programFolder);
    BusyWhileInstalling dialog(m_installFolderDialog != nullptr ? *m_installFolderDialog : form);
    InstallSource source{m_programFolder, {}, m_core->Paths().user};
    if (m_services.folders != nullptr)
        source.launchers = {m_services.folders->Desktop(), m_services.folders->Applications()};
    else
        source.launchers = {DesktopFolder(source.user), ApplicationsFolder(source.user)};
    MoveEntriesBox question(this);
    const InstallClick click = termdex::InstallLabelClick(
        dialog, source, m_core->MutablePaths(), m_core->Files(), m_chosenFolder, &question);
    for (const std::string &message : click.messages)
        ShowPlainMessage(this, QString::fromUtf8(message));
    activateWindow();
}

} // namespace termdex
