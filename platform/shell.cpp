#include "platform/shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStringList>
#include <QUrl>

#include <system_error>

namespace termdex {

namespace {

class QtShell final : public Shell
{
public:
    bool OpenDocument(const std::filesystem::path &file) override
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error))
            return false;
        return QDesktopServices::openUrl(
            QUrl::fromLocalFile(QString::fromStdString(file.string())));
    }

    bool OpenUrl(const std::string &url) override
    {
        const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
        if (!address.isValid() || address.isLocalFile())
            return false;
        return QDesktopServices::openUrl(address);
    }

    bool StartProgram(const std::filesystem::path &program,
                      const std::vector<std::string> &arguments) override
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(program, error))
            return false;
        QStringList list;
        for (const std::string &argument : arguments)
            list << QString::fromStdString(argument);
        return QProcess::startDetached(QString::fromStdString(program.string()), list);
    }
};

} // namespace

std::unique_ptr<Shell> DesktopShell() { return std::make_unique<QtShell>(); }

} // namespace termdex
