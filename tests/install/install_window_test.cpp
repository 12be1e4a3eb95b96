// The install label on the window under the offscreen platform: shown only while the program
// file is read-only, and its click through the real folder dialog to the outcome message.
#include "install/installer.h"
#include "lib/settings.h"
#include "tests/environment_folders.h"
#include "tests/gui/gui_fixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <fstream>

namespace termdex {

using testing::BuildFolder;
using testing::WindowUnderTest;

namespace {
using testing::EnvironmentFolders;
using testing::WithUser;
namespace fs = std::filesystem;

QString Utf(const char *utf8) { return QString::fromUtf8(utf8); }

// Runs act on the modal dialog named name as soon as it is up; the watch ends then, or when
// the returned timer is deleted.
QTimer *WhenModalOpens(const char *name, std::function<void(QDialog *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, name, act = std::move(act)] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog != nullptr && dialog->isVisible() &&
            dialog->objectName() == QLatin1String(name)) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
    return timer;
}

} // namespace

class InstallWindowTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    fs::path m_media, m_home;

    // The medium: the demo dictionary and documents of the build, a read-only program file.
    void MakeMedia()
    {
        m_media = fs::path(m_root.path().toStdString()) / "media";
        fs::remove_all(m_media);
        fs::create_directories(m_media / "data");
        for (const char *name : {"TermdexI.tbo", "TermdexHI.tbo", "Termdex.tbo"})
            fs::copy_file(BuildFolder() / "data" / name, m_media / "data" / name);
        fs::copy(BuildFolder() / "content", m_media / "content", fs::copy_options::recursive);
        std::ofstream(m_media / "Termdex") << "#!/bin/sh\n";
        fs::permissions(m_media / "Termdex", fs::perms(0555));
    }

    std::function<void(FakePlatform &)> Platform(std::optional<bool> readOnly)
    {
        return [this, readOnly](FakePlatform &fake) {
            if (readOnly)
                fake.files.readOnly[(m_media / "Termdex").lexically_normal().string()] = *readOnly;
            fake.folders.home = m_home;
            fake.folders.desktop = m_home / "Desktop";
            fake.folders.applications = m_home / ".local/share/applications";
        };
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        m_home = fs::path(m_root.path().toStdString()) / "home";
        fs::create_directories(m_home / ".local/share");
        qputenv("HOME", QByteArray::fromStdString(m_home.string()));
        qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((m_home / ".config").string()));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString((m_home / ".local/share").string()));
        MakeMedia();
    }

    void labelShowsOnlyWhileTheProgramFileIsReadOnly()
    {
        for (const std::optional<bool> readOnly :
             {std::optional<bool>(true), std::optional<bool>(), std::optional<bool>(false)}) {
            WindowUnderTest w(m_media, Platform(readOnly));
            const bool offered = readOnly != false;
            QCOMPARE(w.Find<QLabel>("InstallLabel")->isVisible(), offered);
            QCOMPARE(w.Find<QLabel>("CopyrightLabel")->x(), offered ? 241 : 5);
        }
    }

    void clickInstallsThroughTheFolderDialog()
    {
        const fs::path target = fs::path(m_root.path().toStdString()) / "disk" / "Termdex";
        WindowUnderTest w(m_media, Platform(true));
        QLabel *label = w.Find<QLabel>("InstallLabel");
        QCOMPARE(label->text(), Utf("Εγκατάσταση"));
        QCOMPARE(label->toolTip(), Utf("Εγκατάσταση Termdex στο σκληρό δίσκο"));

        QString message;
        bool asked = false;
        WhenModalOpens("TSelectCustomDirForm", [&](QDialog *dialog) {
            asked = true;
            QCOMPARE(dialog->windowTitle(), Utf("Επιλογή φακέλου για εγκατάσταση λεξικού"));
            auto *edit = dialog->findChild<QLineEdit *>("Dir_Edit");
            QCOMPARE(edit->text().toStdString(), DefaultCustomFolder(EnvironmentFolders()));
            edit->setText(QString::fromStdString(target.string()));
            WhenModalOpens("PlainMessage", [&](QDialog *box) {
                message = box->findChild<QLabel *>("qt_msgbox_label")->text();
                box->accept();
            });
            dialog->findChild<QPushButton *>("BitBtn1")->click();
        });
        QTest::mouseClick(label, Qt::LeftButton);
        QTRY_VERIFY(!message.isEmpty());
        QVERIFY(asked);
        QCOMPARE(message, Utf(kMessageInstallSucceeded));
        QVERIFY(fs::is_regular_file(target / "Termdex"));
        QVERIFY(fs::is_regular_file(target / "Data" / "Termdex.tbo"));
        QVERIFY(fs::is_regular_file(target / "Content" / "Termdex.htm"));
        QVERIFY(fs::is_regular_file(m_home / "Desktop" / "Termdex.desktop"));
        QCOMPARE(ReadSettingsLine(m_home / ".config" / "Termdex.ini"), target.string());
        QCOMPARE(fs::current_path(), m_media);
        QVERIFY(!InstallOffered(target));
    }

    // The reader's entries in the settings file's folder: the window asks whether they move
    // into the installed copy (Yes) or stay where both copies read them (No).
    void installAsksWhereTheEntriesGo()
    {
        const fs::path settings = m_home / ".config" / "Termdex.ini";
        for (const bool move : {false, true}) {
            const fs::path old = fs::path(m_root.path().toStdString()) / "old-entries";
            const fs::path target =
                fs::path(m_root.path().toStdString()) / (move ? "moved-to" : "kept-beside");
            fs::create_directories(old / "Data");
            std::ofstream(old / "Data" / "TermdexIC.tbo") << "coded index line\r\n";
            fs::create_directories(settings.parent_path());
            std::ofstream(settings) << old.string() << "\n";
            WindowUnderTest w(m_media, Platform(true));
            QString question;
            int messages = 0;
            WhenModalOpens("TSelectCustomDirForm", [&](QDialog *dialog) {
                dialog->findChild<QLineEdit *>("Dir_Edit")
                    ->setText(QString::fromStdString(target.string()));
                WhenModalOpens("MoveEntriesQuestion", [&](QDialog *box) {
                    question = box->findChild<QLabel *>("qt_msgbox_label")->text();
                    auto *answer = qobject_cast<QMessageBox *>(box)->button(move ? QMessageBox::Yes
                                                                                 : QMessageBox::No);
                    WhenModalOpens("PlainMessage", [&](QDialog *done) {
                        ++messages;
                        done->accept();
                    });
                    answer->click();
                });
                dialog->findChild<QPushButton *>("BitBtn1")->click();
            });
            w.window->InstallLabelClick();
            QTRY_COMPARE(messages, 1);
            QVERIFY(question.contains(QString::fromStdString(old.string())));
            QCOMPARE(ReadSettingsLine(settings), (move ? target : old).string());
            QCOMPARE(fs::exists(target / "Data" / "TermdexIC.tbo"), move);
            QCOMPARE(fs::exists(old / "Data" / "TermdexIC.tbo"), !move);
        }
    }

    void cancelShowsNothing()
    {
        const fs::path settings = m_home / ".config" / "Termdex.ini";
        std::ofstream(settings) << "/before\n";
        WindowUnderTest w(m_media, Platform(true));
        bool boxShown = false;
        WhenModalOpens("TSelectCustomDirForm", [](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("Dir_Edit")->setText(QStringLiteral("/nowhere/x"));
            dialog->findChild<QPushButton *>("BitBtn2")->click();
        });
        QTimer *watch = WhenModalOpens("PlainMessage", [&](QDialog *box) {
            boxShown = true;
            box->accept();
        });
        w.window->InstallLabelClick();
        QTest::qWait(50);
        delete watch;
        QVERIFY(!boxShown);
        QVERIFY(!fs::exists("/nowhere/x"));
        QCOMPARE(ReadSettingsLine(settings), std::string("/before"));
    }
};

} // namespace termdex

QTEST_MAIN(termdex::InstallWindowTest)
#include "install_window_test.moc"
