// Runs another program (xdotool, xclip) for the end-to-end tests under Xvfb.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTest>

namespace termdex::testing {

// Runs a program to its end while this process keeps serving its windows and clipboard.
inline QByteArray Run(const QString &program, const QStringList &arguments,
                      const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted(5000))
        return "<could not start " + program.toUtf8() + ">";
    if (!input.isNull()) {
        process.write(input);
        process.closeWriteChannel();
    }
    // The event loop runs meanwhile: the other program may be asking this one for the clipboard.
    if (!QTest::qWaitFor([&process] { return process.state() == QProcess::NotRunning; }, 10000))
        return "<" + program.toUtf8() + " did not end within 10 s>";
    return process.readAllStandardOutput();
}

} // namespace termdex::testing
