// What the window tests share: the demo dictionary of the build folder, a window over the
// recording fakes, the component lookup by name, the few ways of driving the window, and the
// driving of modal dialogs.
#pragma once

#include "main/ui/main_lex_window.h"
#include "platform/fakes.h"

#include <QApplication>
#include <QColor>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "tests/gui/scratch_home.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace termdex::testing {

// TERMDEX_BUILD_DIR as ctest sets it; run by hand, the test binary's own folder, the build root.
inline std::filesystem::path BuildFolder()
{
    const char *folder = std::getenv("TERMDEX_BUILD_DIR");
    if (folder != nullptr && *folder != '\0')
        return folder;
    return QCoreApplication::applicationDirPath().toStdString();
}

// Every window test program starts here: a scratch home, and the demo dictionary and content
// folder that its build target depends on.
inline void StartWindowTests(const QTemporaryDir &home)
{
    UseScratchHome(home);
    for (const char *file : {"data/Termdex.tbo", "content/fil.tbo"})
        QVERIFY2(std::filesystem::exists(BuildFolder() / file),
                 qPrintable(QStringLiteral("%1 is missing from the build folder").arg(file)));
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

inline QString Utf(const char *utf8) { return QString::fromUtf8(utf8); }

inline QString LabelText(const QWidget *window, const char *name)
{
    return window->findChild<QLabel *>(QLatin1String(name))->text();
}
inline QString LabelText(const WindowUnderTest &w, const char *name)
{
    return LabelText(w.window.get(), name);
}
inline QLineEdit *Entry(const WindowUnderTest &w) { return w.Find<QLineEdit>("Entry_Text"); }
inline QTextEdit *Description(const WindowUnderTest &w)
{
    return w.Find<QTextEdit>("Description_Text");
}
inline QListView *List(const WindowUnderTest &w) { return w.Find<QListView>("Entries_List"); }
inline QString ItemText(const WindowUnderTest &w, int row)
{
    return List(w)->model()->index(row, 0).data().toString();
}
inline QStringList Items(const WindowUnderTest &w)
{
    QStringList items;
    for (int row = 0; row < List(w)->model()->rowCount(); ++row)
        items << ItemText(w, row);
    return items;
}
inline void ClickItem(WindowUnderTest &w, int row)
{
    QListView *list = List(w);
    const QRect item = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
}
// Types ASCII keys after what the entry field holds, as the keyboard would.
inline void TypeKeys(WindowUnderTest &w, const char *keys)
{
    Entry(w)->setFocus();
    QTest::keyClicks(Entry(w), QLatin1String(keys));
}

// Types text as an input method would (for Greek, which the test keyboard lacks).
inline void Enter(WindowUnderTest &w, const QString &text)
{
    Entry(w)->setFocus();
    Entry(w)->insert(text);
}
// Types ASCII keys into an emptied field: an exact headword shows its entry.
inline void TypeAnew(WindowUnderTest &w, const char *keys)
{
    Entry(w)->clear();
    TypeKeys(w, keys);
}
inline void Click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// Keeps a screenshot in the build folder's artefacts.
inline void SaveArtefact(const QImage &image, const char *name)
{
    const std::filesystem::path artefacts = BuildFolder() / "artefacts";
    std::filesystem::create_directories(artefacts);
    QVERIFY(image.save(QString::fromStdString((artefacts / name).string())));
}
inline void SaveArtefact(const QPixmap &shot, const char *name)
{
    SaveArtefact(shot.toImage(), name);
}

// The contrast ratio of two colours as the accessibility guidelines define it (1 to 21).
inline double Contrast(const QColor &a, const QColor &b)
{
    auto luminance = [](const QColor &c) {
        auto channel = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// Lets everything already posted to the event loop run (a zero-delay timer set now fires after
// the ones set before it), for tests that something did not happen.
inline void RunPostedEvents()
{
    bool reached = false;
    QTimer::singleShot(0, [&reached] { reached = true; });
    QTRY_VERIFY(reached);
}

// Answers the modal dialog that act opens, from the event loop it runs; false when none opened.
// Watches only while act runs, so a dialog that never comes leaves nothing behind.
inline bool AnswerDialog(const std::function<void()> &act,
                         const std::function<void(QDialog *)> &answer)
{
    QWidget *before = QApplication::activeModalWidget();
    bool opened = false;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == before)
            return;
        timer.stop();
        opened = true;
        answer(dialog);
    });
    timer.start();
    act();
    timer.stop();
    return opened;
}

// A program folder whose data is the demo's and whose content folder is empty or missing.
struct BareProgramFolder
{
    BareProgramFolder()
    {
        std::filesystem::create_directory_symlink(BuildFolder() / "data", Folder() / "data");
    }
    std::filesystem::path Folder() const { return dir.path().toStdString(); }
    void Write(const std::string &relative, const std::string &bytes) const
    {
        std::filesystem::create_directories((Folder() / relative).parent_path());
        std::ofstream(Folder() / relative, std::ios::binary) << bytes;
    }
    QTemporaryDir dir;
};

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
            const QPointer<QDialog> open = dialog;
            act(dialog);
            // A check in act that failed returned before closing the dialog: close it, so the
            // test reports the failure instead of waiting on the modal loop until it times out.
            if (open && open->isVisible() && QTest::currentTestFailed())
                open->reject();
        }
    });
    timer->start();
}

} // namespace termdex::testing
