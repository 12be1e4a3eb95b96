// What the window tests share: the demo dictionary of the build folder, a window over the
// recording fakes, the component lookup by name, and the driving of modal dialogs.
#pragma once

#include "main/ui/main_lex_window.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

namespace termdex::testing {

// TERMDEX_BUILD_DIR as ctest sets it; run by hand, the test binary's own folder, the build root.
inline std::filesystem::path BuildFolder()
{
    const char *folder = std::getenv("TERMDEX_BUILD_DIR");
    if (folder != nullptr && *folder != '\0')
        return folder;
    return QCoreApplication::applicationDirPath().toStdString();
}

// A shown main window over fakes; programFolder holds data/ (the build folder by default).
struct WindowUnderTest
{
    explicit WindowUnderTest(std::filesystem::path programFolder = BuildFolder(),
                             std::function<void(FakePlatform &)> setUp = {})
    {
        if (setUp)
            setUp(fake);
        window = std::make_unique<TMainLex>(fake.Services(), programFolder);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    template <typename T = QWidget> T *Find(const char *name) const
    {
        T *found = window->findChild<T *>(QLatin1String(name));
        if (found == nullptr)
            qWarning("no component %s", name);
        return found;
    }
    const MainLexState &State() const { return window->Core().State(); }

    FakePlatform fake;
    std::unique_ptr<TMainLex> window;
};

// Lets everything already posted to the event loop run (a zero-delay timer set now fires after
// the ones set before it), for tests that something did not happen.
inline void RunPostedEvents()
{
    bool reached = false;
    QTimer::singleShot(0, [&reached] { reached = true; });
    QTRY_VERIFY(reached);
}

// Runs act on the next modal dialog as soon as it is up, from the event loop it runs in.
// intervalMs 0 looks at every pass of the event
// loop, for a dialog that is up only while the program processes events briefly (a progress
// window of a search that takes a few milliseconds).
inline void WhenDialogOpens(std::function<void(QDialog *)> act, int intervalMs = 5)
{
    auto *timer = new QTimer;
    timer->setInterval(intervalMs);
    QObject::connect(timer, &QTimer::timeout, [timer, act = std::move(act)] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

} // namespace termdex::testing
