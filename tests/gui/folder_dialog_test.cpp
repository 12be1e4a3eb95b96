// The folder dialog in each of its modes, run by the first edit, the folder command and the
// installation, on a window over a copy of the demo dictionary. The dialogs and message boxes
// are answered by the tests.
#include "tests/gui/editing_fixture.h"

#include "custom/custom_edits.h"
#include "custom/ui/insert_entry_frm.h"
#include "data/entry_index.h"
#include "data/paths.h"
#include "dialogs/select_custom_dir_form.h"
#include "dialogs/text_convert.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeView>

#include <fstream>
#include <memory>
#include <sstream>

namespace termdex {

namespace fs = std::filesystem;
using namespace testing;

class FolderDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home.Start(); }
    void init() { m_home.Clear(); }
    void cleanup() { QCOMPARE(QGuiApplication::overrideCursor(), nullptr); }

    // ---- The folder dialog ----

    void folderDialogStandsAsDesigned()
    {
        TSelectCustomDirForm form;
        form.SetFolderMode(QStringLiteral("OTHER"));
        form.SetDefaultFolder(QString::fromStdString(m_home.DefaultFolder()));
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), Utf("Επιλογή Φακέλου για Επεξεργασμένα Λήμματα"));
        QCOMPARE(form.size(), QSize(477, 232));
        struct Place
        {
            const char *name;
            QRect geometry;
        };
        for (const Place &place :
             {Place{"Image1", {8, 16, 41, 33}}, Place{"Image2", {8, 16, 49, 49}},
              Place{"MsgMemo", {48, 16, 233, 129}}, Place{"BitBtn1", {128, 192, 105, 25}},
              Place{"BitBtn2", {256, 192, 105, 25}},
              Place{"DirectoryListBox1", {288, 17, 177, 128}}})
            QCOMPARE(Child(&form, place.name)->geometry(), place.geometry);
        QCOMPARE(Child(&form, "Dir_Edit")->pos(), QPoint(64, 152));
        QCOMPARE(Child(&form, "Dir_Edit")->width(), 209);
        QCOMPARE(Child(&form, "DriveComboBox1")->pos(), QPoint(288, 152));
        QCOMPARE(Child(&form, "DriveComboBox1")->width(), 177);
        QCOMPARE(Child<QLabel>(&form, "Label1")->text(), Utf("Φάκελος"));
        QCOMPARE(Child<QPushButton>(&form, "BitBtn1")->text(), QStringLiteral("OK"));
        QCOMPARE(Child<QPushButton>(&form, "BitBtn2")->text(), Utf("Άκυρο"));
        QVERIFY(Child<QPushButton>(&form, "BitBtn1")->isDefault());

        // Drive C is the volume of the home folder; the default folder is prefilled.
        auto *drives = Child<QComboBox>(&form, "DriveComboBox1");
        QCOMPARE(drives->currentText(), TSelectCustomDirForm::HomeVolume());
        QCOMPARE(Child<QLineEdit>(&form, "Dir_Edit")->text(),
                 QString::fromStdString(m_home.DefaultFolder()));
        QCOMPARE(form.focusWidget(), Child(&form, "Dir_Edit"));

        // Browsing: the field takes the folder selected in the tree, and so does the current
        // folder, as the folder list always did.
        QTemporaryDir browsed;
        QVERIFY(QDir(browsed.path()).mkdir(QStringLiteral("Inner")));
        const QString inner = QDir(browsed.path()).absoluteFilePath(QStringLiteral("Inner"));
        auto *tree = Child<QTreeView>(&form, "DirectoryListBox1");
        auto *model = qobject_cast<QFileSystemModel *>(tree->model());
        QVERIFY(model != nullptr);
        QVERIFY(model->filter() & QDir::AllDirs);
        QVERIFY(!(model->filter() & QDir::Files));
        tree->setCurrentIndex(model->index(inner));
        QCOMPARE(Child<QLineEdit>(&form, "Dir_Edit")->text(), inner);
        QCOMPARE(QDir::currentPath(), QFileInfo(inner).canonicalFilePath());
        form.reject();
        QDir::setCurrent(QDir::homePath());
    }

    void folderDialogShowsTheTextOfItsMode()
    {
        struct Mode
        {
            const char *mode;
            const char *caption;
            const char *memo;
            bool installPicture;
        };
        const Mode modes[] = {
            {"NULL", "Επιλογή φακέλου για επεξεργασμένα λήμματα", kNullMemo, false},
            {"INVALID", "Επιλογή φακέλου για επεξεργασμένα λήμματα", kInvalidMemo, false},
            {"INSTALL", "Επιλογή φακέλου για εγκατάσταση λεξικού", kInstallMemo, true},
        };
        for (const Mode &mode : modes) {
            TSelectCustomDirForm form;
            form.SetFolderMode(QLatin1String(mode.mode));
            form.SetDefaultFolder(QString::fromStdString(m_home.DefaultFolder()));
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QCOMPARE(form.windowTitle(), Utf(mode.caption));
            QCOMPARE(Child<QTextEdit>(&form, "MsgMemo")->toPlainText(), Utf(mode.memo));
            QCOMPARE(Child<QTextEdit>(&form, "MsgMemo")->alignment(),
                     Qt::Alignment(Qt::AlignHCenter));
            QVERIFY(Child<QTextEdit>(&form, "MsgMemo")->isReadOnly());
            // The whole text shows, whatever the desktop's font.
            QCOMPARE(Child<QTextEdit>(&form, "MsgMemo")->verticalScrollBar()->maximum(), 0);
            QCOMPARE(Child(&form, "Image1")->isVisible(), !mode.installPicture);
            QCOMPARE(Child(&form, "Image2")->isVisible(), mode.installPicture);
            QCOMPARE(Child<QLineEdit>(&form, "Dir_Edit")->text(),
                     QString::fromStdString(m_home.DefaultFolder()));
            form.reject();
        }
    }

    void folderDialogInTheNullModeOnTheFirstEdit()
    {
        ProgramFolder program(true);
        WindowUnderTest w(program.folder);
        bool editorOpened = false;
        auto openEditor = [&] {
            WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
                editorOpened = true;
                form->reject();
            });
        };

        // Cancel: no editor, nothing stored.
        QString mode, prefilled;
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            mode = form->FolderMode();
            prefilled = Child<QLineEdit>(form, "Dir_Edit")->text();
            Child<QPushButton>(form, "BitBtn2")->click();
        });
        Trigger(w, "InsertEntryItem");
        QCOMPARE(mode, QStringLiteral("NULL"));
        QCOMPARE(prefilled, QString::fromStdString(m_home.DefaultFolder()));
        QVERIFY(!fs::exists(m_home.SettingsFile()));
        QVERIFY(!fs::exists(m_home.DefaultFolder()));
        QVERIFY(IsCurrentFolder(program.folder));

        // An empty folder and OK: the same.
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            Child<QLineEdit>(form, "Dir_Edit")->clear();
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        Trigger(w, "InsertEntryItem");
        QVERIFY(!fs::exists(m_home.SettingsFile()));
        QVERIFY(IsCurrentFolder(program.folder));

        // A folder that cannot be created: the message, the dialog stays for another choice.
        const fs::path plainFile = fs::path(m_home.path().toStdString()) / "plain-file";
        std::ofstream(plainFile) << "x";
        MessageLog messages;
        bool stayedOpen = false;
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            Child<QLineEdit>(form, "Dir_Edit")
                ->setText(QString::fromStdString((plainFile / "Termdex").string()));
            messages.AnswerNext();
            Child<QPushButton>(form, "BitBtn1")->click();
            stayedOpen = form->isVisible();
            Child<QPushButton>(form, "BitBtn2")->click();
        });
        Trigger(w, "InsertEntryItem");
        QCOMPARE(messages.texts, QStringList{Utf("Παρουσιάστηκε πρόβλημα κατά τη δημιουργία του "
                                                 "φακέλου. Παρακαλώ επιλέξτε άλλο φάκελο")});
        QVERIFY(stayedOpen);
        QVERIFY(!editorOpened);
        QVERIFY(!fs::exists(m_home.SettingsFile()));
        QVERIFY(IsCurrentFolder(program.folder));

        // A new folder: made with its Data subfolder, stored, and the editor opens.
        const fs::path chosen = fs::path(m_home.path().toStdString()) / "new" / "Lexicon";
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            Child<QLineEdit>(form, "Dir_Edit")->setText(QString::fromStdString(chosen.string()));
            openEditor();
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        Trigger(w, "InsertEntryItem");
        QVERIFY(editorOpened);
        QVERIFY(fs::is_directory(chosen / "Data"));
        QCOMPARE(ReadAll(m_home.SettingsFile()).substr(0, chosen.string().size()), chosen.string());
        QVERIFY(IsCurrentFolder(program.folder));

        // From now on the stored folder is used without asking; an insert goes into it.
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            Fill(form, QStringLiteral("Stored folder entry"), QString(), QStringLiteral("Text."));
            Child<QPushButton>(form, "InsertOk_Button")->click();
        });
        Trigger(w, "InsertEntryItem");
        QCOMPARE(program.OwnHeadwords(chosen), QStringList{QStringLiteral("Stored folder entry")});
        QVERIFY(!fs::exists(program.folder / "data" / "TermdexIC.tbo"));
    }

    void folderDialogInTheInvalidModeOffersTheDefaultFolder()
    {
        ProgramFolder program(false);
        const fs::path gone = fs::path(m_home.path().toStdString()) / "gone";
        fs::create_directories(m_home.SettingsFile().parent_path());
        std::ofstream(m_home.SettingsFile()) << gone.string() << "\r\n";
        WindowUnderTest w(program.folder);
        QString mode, prefilled, memo;
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            mode = form->FolderMode();
            prefilled = Child<QLineEdit>(form, "Dir_Edit")->text();
            memo = Child<QTextEdit>(form, "MsgMemo")->toPlainText();
            Child<QPushButton>(form, "BitBtn2")->click();
        });
        Trigger(w, "InsertEntryItem");
        QCOMPARE(mode, QStringLiteral("INVALID"));
        QCOMPARE(memo, Utf(kInvalidMemo));
        QCOMPARE(prefilled, QString::fromStdString(m_home.DefaultFolder()));
        QCOMPARE(ReadAll(m_home.SettingsFile()), gone.string() + "\r\n");
        QVERIFY(IsCurrentFolder(program.folder));
    }

    void folderDialogInTheInstallModeRunsTheInstallationOnOk()
    {
        ProgramFolder program(true);
        QWidget owner;
        SelectCustomDirDialog dialog(&owner, program.folder);
        const fs::path target = fs::path(m_home.path().toStdString()) / "Installed";
        std::vector<std::string> installedInto;
        bool ranToEnd = true;
        FolderRequest request{kFolderModeInstall, target.string()};
        request.install = [&](const std::string &folder) {
            installedInto.push_back(folder);
            return ranToEnd;
        };

        // The installation runs to its end: OK, with the folder and its Data subfolder made.
        QString caption;
        bool installPicture = false;
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            caption = form->windowTitle();
            installPicture =
                Child(form, "Image2")->isVisible() && !Child(form, "Image1")->isVisible();
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        FolderAnswer answer = dialog.Ask(request);
        QCOMPARE(caption, Utf("Επιλογή φακέλου για εγκατάσταση λεξικού"));
        QVERIFY(installPicture);
        QVERIFY(answer.accepted);
        QCOMPARE(answer.folder, target.string());
        QCOMPARE(installedInto, std::vector<std::string>{target.string()});
        QVERIFY(fs::is_directory(target / "Data"));
        QVERIFY(IsCurrentFolder(program.folder));

        // Interrupted: the dialog closes with cancel.
        ranToEnd = false;
        WhenOpens<TSelectCustomDirForm>(
            [&](TSelectCustomDirForm *form) { Child<QPushButton>(form, "BitBtn1")->click(); });
        answer = dialog.Ask(request);
        QVERIFY(!answer.accepted);
        QCOMPARE(installedInto.size(), size_t(2));
        QVERIFY(IsCurrentFolder(program.folder));

        // Cancel and an empty folder: nothing is installed.
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) { form->reject(); });
        QVERIFY(!dialog.Ask(request).accepted);
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            Child<QLineEdit>(form, "Dir_Edit")->clear();
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        answer = dialog.Ask(request);
        QVERIFY(answer.accepted);
        QVERIFY(answer.folder.empty());
        QCOMPARE(installedInto.size(), size_t(2));
        QVERIFY(IsCurrentFolder(program.folder));

        // A relative folder is taken where the browsing stands, and answered whole.
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            auto *tree = Child<QTreeView>(form, "DirectoryListBox1");
            auto *model = qobject_cast<QFileSystemModel *>(tree->model());
            tree->setCurrentIndex(model->index(m_home.path()));
            Child<QLineEdit>(form, "Dir_Edit")->setText(QStringLiteral("Relative"));
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        ranToEnd = true;
        answer = dialog.Ask(request);
        QVERIFY(answer.accepted);
        QVERIFY(fs::path(answer.folder).is_absolute());
        QVERIFY(fs::is_directory(fs::path(m_home.path().toStdString()) / "Relative" / "Data"));
        QCOMPARE(installedInto.back(), answer.folder);
        QVERIFY(IsCurrentFolder(program.folder));
    }

    void editorComesBackWithTheTextWhenSavingFails()
    {
        // The stored folder's Data is a file: every save fails until the reader mends it.
        ProgramFolder program(true);
        const fs::path custom = fs::path(m_home.path().toStdString()) / "custom";
        fs::create_directories(custom);
        std::ofstream(custom / "Data") << "not a folder";
        fs::create_directories(m_home.SettingsFile().parent_path());
        std::ofstream(m_home.SettingsFile()) << custom.string() << "\n";
        WindowUnderTest w(program.folder);
        QString message;
        EditorSeen back;
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            Fill(form, QStringLiteral("Kept text"), QStringLiteral("κείμενο"),
                 QStringLiteral("first line\nsecond line"));
            Child<QPushButton>(form, "InsertOk_Button")->click();
            WhenOpens<QMessageBox>([&](QMessageBox *box) {
                message = box->text();
                box->button(QMessageBox::Ok)->click();
                WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *again) {
                    back = Look(again);
                    fs::remove(custom / "Data");
                    fs::create_directory(custom / "Data");
                    Child<QPushButton>(again, "InsertOk_Button")->click();
                });
            });
        });
        Trigger(w, "InsertEntryItem");
        QTRY_COMPARE(program.OwnHeadwords(custom), QStringList{QStringLiteral("Kept text")});
        QVERIFY(!message.isEmpty());
        QCOMPARE(back.english, QStringLiteral("Kept text"));
        QCOMPARE(back.greek, QStringLiteral("κείμενο"));
        QCOMPARE(back.description, QStringLiteral("first line\nsecond line"));
    }

    void folderCommandChoosesAnotherFolderAndMovesTheEntries()
    {
        ProgramFolder program(false);
        program.AddOwnEntry("Moving entry", "μετακίνηση", "Text.");
        WindowUnderTest w(program.folder);
        const fs::path chosen = fs::path(m_home.path().toStdString()) / "elsewhere";
        QString mode, prefilled, question;
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            mode = form->FolderMode();
            prefilled = Child<QLineEdit>(form, "Dir_Edit")->text();
            Child<QLineEdit>(form, "Dir_Edit")->setText(QString::fromStdString(chosen.string()));
            WhenOpens<QMessageBox>([&](QMessageBox *box) {
                question = box->windowTitle() + "|" + box->text();
                box->button(QMessageBox::Yes)->click();
            });
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        Trigger(w, "CustomFolderItem");
        QCOMPARE(mode, QStringLiteral("CHOOSE"));
        QCOMPARE(fs::path(prefilled.toStdString()), program.folder);
        QVERIFY(question.startsWith(Utf("Επεξεργασμένα Λήμματα|")));
        QCOMPARE(program.OwnHeadwords(chosen), QStringList{QStringLiteral("Moving entry")});
        QVERIFY(!fs::exists(program.folder / "data" / "TermdexIC.tbo"));
        QCOMPARE(ReadAll(m_home.SettingsFile()).substr(0, chosen.string().size()), chosen.string());
        QVERIFY(IsCurrentFolder(program.folder));
        Trigger(w, "CustomEntriesItem");
        QCOMPARE(Items(w), QStringList{QStringLiteral("Moving entry *")});

        // A folder this user cannot write files in is refused, whatever its mode bits say.
        const fs::path plainFile = fs::path(m_home.path().toStdString()) / "file-not-folder";
        std::ofstream(plainFile) << "x";
        MessageLog messages;
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            Child<QLineEdit>(form, "Dir_Edit")
                ->setText(QString::fromStdString((plainFile / "sub").string()));
            messages.AnswerNext();
            Child<QPushButton>(form, "BitBtn1")->click();
            Child<QPushButton>(form, "BitBtn2")->click();
        });
        Trigger(w, "CustomFolderItem");
        QCOMPARE(messages.texts.size(), 1);
        QCOMPARE(program.OwnHeadwords(chosen), QStringList{QStringLiteral("Moving entry")});
    }

    void backupAndRestoreThroughTheMenu()
    {
        ProgramFolder program(false);
        program.AddOwnEntry("Saved entry", "αντίγραφο", "Line one.\r\nLine two.");
        WindowUnderTest w(program.folder);
        const QString file = m_home.path() + QStringLiteral("/entries.json");
        const QString again = m_home.path() + QStringLiteral("/again.json");
        auto chooseFile = [](const QString &name) {
            WhenOpens<QFileDialog>([name](QFileDialog *dialog) {
                dialog->selectFile(name);
                static_cast<QDialog *>(dialog)->accept(); // QFileDialog's own is protected
            });
        };
        MessageLog messages;
        chooseFile(file);
        messages.AnswerNext();
        Trigger(w, "BackupItem");
        QTRY_COMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].contains(QStringLiteral("1")));
        const std::string saved = ReadAll(file.toStdString());
        QVERIFY(saved.find("\"Saved entry\"") != std::string::npos);

        // The reader's files are lost; the backup brings the entry back, text and all.
        for (const char *name : {"TermdexIC.tbo", "TermdexHIC.tbo", "TermdexC.tbo"})
            fs::remove(program.folder / "data" / name);
        chooseFile(file);
        messages.AnswerNext();
        Trigger(w, "RestoreItem");
        QTRY_COMPARE(messages.texts.size(), 2);
        QVERIFY(messages.texts[1].startsWith(Utf("Προστέθηκαν 1 λήμματα")));
        QCOMPARE(program.OwnHeadwords(), QStringList{QStringLiteral("Saved entry")});
        Type(w, QStringLiteral("Saved entry"));
        QVERIFY(DescriptionText(w).contains(QStringLiteral("Line two.")));
        chooseFile(again);
        messages.AnswerNext();
        Trigger(w, "BackupItem");
        QTRY_COMPARE(messages.texts.size(), 3);
        QCOMPARE(ReadAll(again.toStdString()), saved);
    }

    void repairThroughTheMenuKeepsTheReadableEntries()
    {
        ProgramFolder program(false);
        program.AddOwnEntry("Kept entry", "κρατιέται", "Whole text.");
        program.AddOwnEntry("Short entry", "", "Cut text.");
        const fs::path description = program.folder / "data" / "TermdexC.tbo";
        std::string damaged = ReadAll(description.string());
        damaged.resize(damaged.size() - 3); // the last text, "Short entry"'s, is cut short
        std::ofstream(description, std::ios::binary | std::ios::trunc) << damaged;
        WindowUnderTest w(program.folder);
        MessageLog messages;
        messages.AnswerNext();
        Trigger(w, "RepairEntriesItem");
        QTRY_COMPARE(messages.texts.size(), 1);
        QVERIFY2(messages.texts[0].contains(QStringLiteral("Short entry")),
                 qPrintable(messages.texts[0]));
        QVERIFY(messages.texts[0].contains(
            QString::fromStdString((program.folder / "data" / "damaged-").string())));
        QCOMPARE(program.OwnHeadwords(),
                 (QStringList{QStringLiteral("Kept entry"), QStringLiteral("Short entry")}));
        Type(w, QStringLiteral("Kept entry"));
        QVERIFY(DescriptionText(w).contains(QStringLiteral("Whole text.")));
        // Whole files now: a second repair says so and copies nothing.
        messages.AnswerNext();
        Trigger(w, "RepairEntriesItem");
        QTRY_COMPARE(messages.texts.size(), 2);
        QCOMPARE(messages.texts[1], Utf(kMessageRepaired));
    }

private:
    testing::EditingHome m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::FolderDialogTest)
#include "folder_dialog_test.moc"
