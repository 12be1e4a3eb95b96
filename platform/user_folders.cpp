#include "platform/user_folders.h"

#include <QDir>
#include <QStandardPaths>

namespace termdex {

namespace {

std::filesystem::path ToPath(const QString &path)
{
    return std::filesystem::path(path.toStdString());
}

class QtSpecialFolders final : public SpecialFolders
{
public:
    std::filesystem::path Home() override { return ToPath(QDir::homePath()); }

    std::filesystem::path Desktop() override
    {
        // Qt reads ~/.config/user-dirs.dirs as xdg-user-dir does, and falls back to ~/Desktop.
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        return desktop.isEmpty() ? Home() / "Desktop" : ToPath(desktop);
    }

    std::filesystem::path Applications() override
    {
        const QString folder =
            QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
        return folder.isEmpty() ? Home() / ".local/share/applications" : ToPath(folder);
    }
};

} // namespace

std::unique_ptr<SpecialFolders> XdgSpecialFolders() { return std::make_unique<QtSpecialFolders>(); }

} // namespace termdex
