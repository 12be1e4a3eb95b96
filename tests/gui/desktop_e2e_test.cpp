// The real window on an X display (run by xvfb-run): resized from outside, without and with a
// window manager, and shown under the desktop's light or dark palette. With TERMDEX_TEST_PALETTE
// set to "dark" the program starts as under a KDE session with a dark colour scheme (the scheme
// file beside this test), which Qt's own KDE theme reads.
#include "tests/gui/other_program.h"
#include "tests/gui/real_program.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace termdex {

namespace {

bool DarkRun() { return qgetenv("TERMDEX_TEST_PALETTE") == "dark"; }

using testing::Run;

using testing::Contrast;
using testing::SaveArtefact;

} // namespace

class DesktopEndToEndTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A steady caret, so that two pictures of the same state are the same pixels.
        QApplication::setCursorFlashTime(0);
        m_program.Start();
        if (QTest::currentTestFailed())
            return;
        m_window = m_program.window;
        m_entry = m_program.entry;
        m_entry->setFocus();
        QTest::keyClicks(m_entry, QStringLiteral("Inflation"));
        QTRY_COMPARE(m_window->findChild<QLabel *>(QStringLiteral("Entry_Label"))->text(),
                     QStringLiteral("Inflation"));
        m_designSize = m_window->size();
        QCOMPARE(m_designSize, QSize(604, 321));
    }

    void cleanupTestCase()
    {
        if (m_windowManager.state() != QProcess::NotRunning) {
            m_windowManager.terminate();
            m_windowManager.waitForFinished(5000);
        }
        m_program.Stop();
    }

    // The typed word stands out from the entry field under the palette of this run.
    void typedWordReadsUnderTheDesktopPalette()
    {
        const QColor window = QApplication::palette().color(QPalette::Window);
        if (DarkRun())
            QVERIFY2(window.lightness() < 100, "the dark colour scheme was not taken up");
        QImage field = Shot(m_entry);
        const QColor background = field.pixelColor(field.width() - 3, field.height() / 2);
        double best = 1;
        for (int y = 0; y < field.height(); ++y)
            for (int x = 0; x < field.width() / 2; ++x)
                best = std::max(best, Contrast(field.pixelColor(x, y), background));
        QVERIFY2(best >= 4.5, qPrintable(QString::number(best)));
        SaveArtefact(Shot(m_window),
                     DarkRun() ? "termdex-window-dark.png" : "termdex-window-light.png");
    }

    // A list item's letters show whole in its 16-pixel row, descenders too, in the desktop's
    // font (whose line is taller than the row in most fonts).
    void listItemsShowTheirLettersWhole()
    {
        auto *list = m_window->findChild<QListView *>(QStringLiteral("Entries_List"));
        const QModelIndex gap = list->model()->index(5, 0); // black on white: not selected
        QCOMPARE(gap.data().toString(), QStringLiteral("Inflationary gap"));
        const QRect row = list->visualRect(gap).translated(list->viewport()->pos());
        QImage whole(row.width(), 3 * row.height(), QImage::Format_RGB32);
        whole.fill(Qt::white);
        QPainter painter(&whole);
        painter.setFont(list->font());
        painter.setPen(Qt::black);
        painter.drawText(4, 2 * row.height(), gap.data().toString());
        painter.end();
        const QImage shown = Shot(list).copy(row);
        QCOMPARE(InkedRows(shown), InkedRows(whole));
    }

    // Without a window manager: the cycles, steps and sizes that used to wear the layout away.
    void resizingAndReturningGivesTheSamePicture()
    {
        if (DarkRun())
            QSKIP("resizing is tested under the light palette");
        const QImage first = Shot(m_window);
        for (int cycle = 0; cycle < 14; ++cycle) {
            ResizeTo({604, 358});
            ResizeTo(m_designSize);
        }
        for (int h = 321; h <= 361; h += 2)
            ResizeTo({604 + h - 321, h});
        ResizeTo({900, 620}); // larger than half the screen
        CheckGrownLayout();
        SaveArtefact(Shot(m_window), "termdex-window-900x620.png");
        ResizeTo({244, 170});
        ResizeTo(m_designSize);
        CompareWithFirst(first, "termdex-window-after-resizing.png");
    }

    // With a window manager, resized by requests and by the reader's drag of its corner.
    void resizingUnderAWindowManagerGivesTheSamePicture()
    {
        if (DarkRun())
            QSKIP("resizing is tested under the light palette");
        m_windowManager.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
        QVERIFY(m_windowManager.waitForStarted(5000));
        // Up once it answers for the desktops three times in a row (xdotool asks through the
        // window manager, whose first answer may come before it has settled).
        auto desktop = [] {
            return Run(QStringLiteral("xdotool"), {QStringLiteral("get_desktop")}).trimmed();
        };
        QElapsedTimer clock;
        clock.start();
        int answers = 0;
        while (answers < 3 && clock.elapsed() < 30000) {
            answers = desktop() == "0" ? answers + 1 : 0;
            QTest::qWait(100);
        }
        QCOMPARE(answers, 3);
        // The window manager has taken the window in: it has put it on its desktop.
        QTRY_COMPARE_WITH_TIMEOUT(
            Run(QStringLiteral("xdotool"),
                {QStringLiteral("get_desktop_for_window"), QString::number(m_window->winId())})
                .trimmed(),
            QByteArray("0"), 10000);
        ResizeTo(m_designSize);
        Activate();
        const QImage first = Shot(m_window);

        ResizeTo({900, 620});
        CheckGrownLayout();
        for (int h = 620; h >= 600; h -= 2)
            ResizeTo({900, h});
        // Alt and the right button drag the corner nearest the pointer: 60 pixels down and back.
        const QPoint corner =
            m_window->mapToGlobal(QPoint(m_window->width() - 20, m_window->height() - 20));
        const QString x = QString::number(corner.x()), y = QString::number(corner.y());
        Run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), x, y});
        Run(QStringLiteral("xdotool"), {QStringLiteral("keydown"), QStringLiteral("alt")});
        Run(QStringLiteral("xdotool"), {QStringLiteral("mousedown"), QStringLiteral("3")});
        for (int step = 1; step <= 6; ++step)
            Run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), x, QString::number(corner.y() + 10 * step)});
        QTRY_VERIFY_WITH_TIMEOUT(m_window->height() > 600 + 30, 5000); // the drag took
        CheckGrownLayout();
        for (int step = 5; step >= 0; --step)
            Run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), x, QString::number(corner.y() + 10 * step)});
        Run(QStringLiteral("xdotool"), {QStringLiteral("mouseup"), QStringLiteral("3")});
        Run(QStringLiteral("xdotool"), {QStringLiteral("keyup"), QStringLiteral("alt")});
        QTRY_COMPARE_WITH_TIMEOUT(m_window->size(), QSize(900, 600), 5000); // the drag is undone
        CheckGrownLayout();

        ResizeTo(m_designSize);
        Activate();
        CompareWithFirst(first, "termdex-window-after-window-manager.png");
    }

    // A history drop-down asked to open while empty still opens, every time, once it holds items.
    void historyDropDownOpensEveryTime()
    {
        if (DarkRun())
            QSKIP("the drop-downs are tested under the light palette");
        Activate();
        auto *menu = m_window->findChild<QMenu *>(QStringLiteral("PrevMenu"));
        m_window->PrevMenu_ButtonClick(); // empty: nothing opens
        QTest::qWait(200);
        QVERIFY(!menu->isVisible());
        for (const char *headword : {"Tax", "Arbitrage", "Inflation"}) {
            m_entry->clear();
            QTest::keyClicks(m_entry, QLatin1String(headword));
        }
        QWidget *button = m_window->findChild<QWidget *>(QStringLiteral("PrevMenu_Button"));
        QTRY_VERIFY(button->isEnabled());
        const QPoint at = button->mapToGlobal(button->rect().center());
        for (int time = 0; time < 3; ++time) {
            Run(QStringLiteral("xdotool"),
                {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                 QStringLiteral("click"), QStringLiteral("1")});
            QTRY_VERIFY(menu->isVisible());
            QVERIFY(menu->actions().size() >= 2);
            Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Escape")});
            QTRY_VERIFY(!menu->isVisible());
        }
    }

private:
    // How many pixel rows the letters cover, from the capitals' tops to the descenders' ends.
    static int InkedRows(const QImage &image)
    {
        int rows = 0;
        for (int y = 0; y < image.height(); ++y) {
            bool inked = false;
            for (int x = 0; x < image.width() && !inked; ++x)
                inked = image.pixelColor(x, y).lightness() < 160;
            rows += inked;
        }
        return rows;
    }

    // What the screen shows once the last paint has reached it: two grabs in a row agree.
    QImage Shot(QWidget *widget)
    {
        const QPoint at = widget->mapTo(m_window, QPoint(0, 0));
        auto grab = [&] {
            return m_window->screen()
                ->grabWindow(m_window->winId(), at.x(), at.y(), widget->width(), widget->height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        };
        QImage last = grab();
        for (int attempt = 0; attempt < 40; ++attempt) {
            QTest::qWait(50);
            QImage again = grab();
            if (again == last)
                break;
            last = std::move(again);
        }
        return last;
    }

    // Resizes the X window from outside, as the reader or a window manager does.
    void ResizeTo(QSize size)
    {
        Run(QStringLiteral("xdotool"),
            {QStringLiteral("windowsize"), QString::number(m_window->winId()),
             QString::number(size.width()), QString::number(size.height())});
        QTRY_COMPARE_WITH_TIMEOUT(m_window->size(), size, 5000);
    }

    void Activate()
    {
        Run(QStringLiteral("xdotool"), {QStringLiteral("windowactivate"), QStringLiteral("--sync"),
                                        QString::number(m_window->winId())});
        QTRY_VERIFY(m_window->isActiveWindow());
        m_entry->setFocus();
    }

    // Larger than designed: the list has grown and the publisher stays in the bottom bar.
    void CheckGrownLayout()
    {
        QWidget *list = m_window->findChild<QWidget *>(QStringLiteral("Entries_List"));
        QWidget *description = m_window->findChild<QWidget *>(QStringLiteral("Description_Text"));
        QWidget *publisher = m_window->findChild<QWidget *>(QStringLiteral("Vorantis_Label"));
        QVERIFY(list->height() > 212);
        QVERIFY(description->height() > 186);
        QVERIFY(publisher->y() >= description->y() + description->height());
        QVERIFY(publisher->geometry().right() < m_window->width());
    }

    void CompareWithFirst(const QImage &first, const char *artefact)
    {
        const QImage again = Shot(m_window);
        if (again != first) {
            SaveArtefact(first, "termdex-window-before-resizing.png");
            SaveArtefact(again, artefact);
        }
        QVERIFY2(again == first, artefact);
    }

    testing::RealProgram m_program;
    TMainLex *m_window = nullptr;
    QLineEdit *m_entry = nullptr;
    QSize m_designSize;
    QProcess m_windowManager;
};

} // namespace termdex

// The home folder and the desktop's variables must be in place before the application reads
// its platform theme.
int main(int argc, char **argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 1;
    const QString config = home.path() + QStringLiteral("/.config");
    QDir().mkpath(config);
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/.cache")).toUtf8());
    if (termdex::DarkRun()) {
        if (!QFile::copy(QStringLiteral(TERMDEX_KDEGLOBALS),
                         config + QStringLiteral("/kdeglobals")))
            return 1;
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
        qputenv("KDE_SESSION_VERSION", "5");
    } else {
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("KDE_SESSION_VERSION");
    }
    QApplication application(argc, argv);
    termdex::DesktopEndToEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "desktop_e2e_test.moc"
