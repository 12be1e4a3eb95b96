#include "platform/shell.h"

#include <QDesktopServices>
#include <QObject>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include <system_error>

namespace termdex {

namespace {

constexpr int kStartWaitMs = 5000;

class QtShell final : public Shell
{
public:
    ~QtShell() override
    {
        // What is still watched when the dictionary closes is an opener or a presentation
        // that waits on a program it started; that program runs in its own process and stays,
        // and only the waiting one ends (quietly, rather than with Qt's warning).
        for (QProcess *process : m_owner.findChildren<QProcess *>()) {
            process->disconnect();
            process->kill();
            process->waitForFinished(1000);
        }
    }

    bool OpenDocument(const std::filesystem::path &file, FailedLater failedLater) override
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error))
            return false;
        const QString name = QString::fromStdString(file.string());
        // xdg-open tells by its exit status whether the desktop had a program for the file;
        // QDesktopServices would only say that xdg-open started.
        const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
        if (opener.isEmpty())
            return QDesktopServices::openUrl(QUrl::fromLocalFile(name));
        return Watch(opener, {name}, std::move(failedLater));
    }

    bool OpenUrl(const std::string &url) override
    {
        const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
        if (!address.isValid() || address.isLocalFile())
            return false;
        return QDesktopServices::openUrl(address);
    }

    bool StartProgram(const std::filesystem::path &program,
                      const std::vector<std::string> &arguments, FailedLater failedLater) override
    {
        std::error_code error;
        if (!std::filesystem::is_regular_file(program, error))
            return false;
        QStringList list;
        for (const std::string &argument : arguments)
            list << QString::fromStdString(argument);
        return Watch(QString::fromStdString(program.string()), list, std::move(failedLater));
    }

private:
    // Runs program and reports a failure exit to failedLater; the process object goes when
    // the program ends.
    bool Watch(const QString &program, const QStringList &arguments, FailedLater failedLater)
    {
        auto *process = new QProcess(&m_owner);
        process->setProgram(program);
        process->setArguments(arguments);
        process->setStandardInputFile(QProcess::nullDevice());
        process->setProcessChannelMode(QProcess::ForwardedChannels);
        process->start();
        if (!process->waitForStarted(kStartWaitMs)) {
            delete process;
            return false;
        }
        QObject::connect(process, &QProcess::finished, process,
                         [process, failedLater = std::move(failedLater)](
                             int exitCode, QProcess::ExitStatus status) {
                             process->deleteLater();
                             if ((exitCode != 0 || status != QProcess::NormalExit) && failedLater)
                                 failedLater();
                         });
        return true;
    }

    QObject m_owner; // parent of the running programs' QProcess objects
};

} // namespace

std::unique_ptr<Shell> DesktopShell() { return std::make_unique<QtShell>(); }

} // namespace termdex
