// What the editing tests share: a scratch home whose data folder holds the default custom
// folder, program folders over a copy of the demo dictionary, message boxes and dialogs answered
// as they come up, and the entry editor's fields as the reader sees them.
#pragma once

#include "tests/data/test_folders.h"
#include "tests/gui/gui_fixture.h"

#include "custom/custom_edits.h"
#include "custom/ui/insert_entry_frm.h"
#include "data/entry_index.h"
#include "data/paths.h"
#include "dialogs/text_convert.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace termdex::testing {

namespace fs = std::filesystem;

// The scratch home of the editing tests; the default custom folder and the settings file go
// before each test, so each starts as on a first run.
struct EditingHome
{
    void Start()
    {
        StartWindowTests(dir);
        qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/share")).toUtf8());
        QVERIFY(QDir().mkpath(dir.path() + QStringLiteral("/share")));
    }
    void Clear() const
    {
        std::error_code error;
        fs::remove(SettingsFile(), error);
        fs::remove(Folder() / ".Termdex.ini", error);
        fs::remove_all(DefaultFolder(), error);
    }
    QString path() const { return dir.path(); }
    fs::path Folder() const { return dir.path().toStdString(); }
    fs::path SettingsFile() const { return Folder() / "config" / "Termdex.ini"; }
    std::string DefaultFolder() const { return (Folder() / "share" / "Termdex").string(); }

    QTemporaryDir dir;
};

inline constexpr char kNullMemo[] =
    "Για να επεξεργαστείτε λήμματα στο Termdex πρέπει να ορίσετε στον υπολογιστή σας το φάκελο "
    "μέσα στον οποίο θα αποθηκεύονται οι τροποποιήσεις.\n\n"
    "Για δική σας ευκολία μπορείτε να κρατήσετε το φάκελο που προτείνεται παρακάτω.";

inline constexpr char kInvalidMemo[] =
    "Ο φάκελος που έχει οριστεί για την αποθήκευση των επεξεργασμένων λημμάτων δεν είναι "
    "έγκυρος. Αν υπάρχουν ήδη επεξεργασμένα λήμματα πρέπει να ορίσετε το φάκελο που τα περιέχει "
    "ώστε το λεξικό να τα βρει. Αν δεν υπάρχουν τότε πρέπει να ορίσετε το φάκελο μέσα στον οποίο "
    "θα αποθηκεύονται αυτά που θα δημιουργήσετε.";

inline constexpr char kInstallMemo[] =
    "Παρακαλώ επιλέξτε το φάκελο του δίσκου σας στον οποίο θα εγκατασταθεί το Termdex. Αν "
    "επιθυμείτε να εγκατασταθεί σε νέο φάκελο απλά πληκτρολογήστε τον στο χώρο από κάτω. \n\n"
    "Η διαδικασία της εγκατάστασης θα δημιουργήσει εικονίδιο για το λεξικό στην επιφάνεια "
    "εργασίας.";

// Runs act on the next modal dialog of type T once it is up (from the event loop it runs in);
// gives up after ten seconds, so a dialog that never comes fails the test instead of hanging it.
// Deleting the timer returned withdraws the handler.
template <typename T> QPointer<QTimer> WhenOpens(std::function<void(T *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(5);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, [timer, clock, act = std::move(act)] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (dialog == nullptr && clock->elapsed() < 10000)
            return;
        timer->stop();
        timer->deleteLater();
        if (dialog != nullptr)
            act(dialog);
    });
    timer->start();
    return timer;
}

// What the program's message boxes said, each answered with the given button.
struct MessageLog
{
    QStringList texts;
    QStringList captions;
    QList<QMessageBox::Icon> icons;
    void AnswerNext(QMessageBox::StandardButton button = QMessageBox::Ok)
    {
        WhenOpens<QMessageBox>([this, button](QMessageBox *box) {
            texts << box->text();
            captions << box->windowTitle();
            icons << box->icon();
            if (QAbstractButton *answer = box->button(button))
                answer->click();
            else
                box->reject();
        });
    }
};

inline std::string ReadAll(const fs::path &file)
{
    std::ifstream in(file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A program folder with the demo dictionary and a program file, writable or read-only (a copy
// run from the distribution media).
struct ProgramFolder
{
    explicit ProgramFolder(bool readOnly)
    {
        folder = fs::path(dir.path().toStdString());
        CopyDemoData(folder);
        std::ofstream(folder / "Termdex") << "program";
        fs::permissions(folder / "Termdex",
                        readOnly ? fs::perms::owner_read | fs::perms::group_read
                                 : fs::perms::owner_read | fs::perms::owner_write,
                        fs::perm_options::replace);
    }
    // Adds an entry of the reader's own in the program folder's data folder.
    void AddOwnEntry(const char *english, const char *greek, const char *description)
    {
        ProgramPaths paths;
        paths.programFolder = folder;
        SetCustomPaths(paths, folder.string());
        EntryIndex index;
        std::vector<std::string> refs;
        LoadEntryIndex(paths, index, refs);
        const EditStatus status = InsertEntry(
            paths, index, {english, ToCp1253(Utf(greek)), description}, RealFileSystem());
        QVERIFY2(status.ok(), status.message.c_str());
    }
    std::string OwnIndex() const { return ReadAll(folder / "data" / "TermdexIC.tbo"); }
    // The English headwords of the reader's own entries whose files are in customFolder/Data
    // (the program folder's own by default).
    QStringList OwnHeadwords(const fs::path &customFolder = {}) const
    {
        ProgramPaths paths;
        paths.programFolder = folder;
        SetCustomPaths(paths, (customFolder.empty() ? folder : customFolder).string());
        EntryIndex index;
        std::vector<std::string> refs;
        LoadEntryIndex(paths, index, refs);
        QStringList headwords;
        for (int record = 1; record <= index.englishCount; ++record) {
            const IndexRecord &entry = index.english[static_cast<size_t>(record)];
            if (entry.kind == EntryKind::Own)
                headwords << ToQString(entry.headword);
        }
        return headwords;
    }
    std::string OwnDescriptions() const { return ReadAll(folder / "data" / "TermdexC.tbo"); }

    QTemporaryDir dir;
    fs::path folder;
};

inline bool IsCurrentFolder(const fs::path &folder)
{
    std::error_code error;
    return fs::equivalent(fs::current_path(), folder, error);
}

inline void Type(WindowUnderTest &w, const QString &text)
{
    Entry(w)->setFocus();
    Entry(w)->clear();
    Entry(w)->insert(text);
}

inline QString DescriptionText(const WindowUnderTest &w)
{
    return w.Find<QTextEdit>("Description_Text")->toPlainText();
}

inline void Trigger(WindowUnderTest &w, const char *item) { w.Find<QAction>(item)->trigger(); }

// What the window shows after ResetDisplay.
inline void VerifyDisplayReset(const WindowUnderTest &w)
{
    QCOMPARE(List(w)->model()->rowCount(), 0);
    QVERIFY(w.Find<QLabel>("Entry_Label")->text().isEmpty());
    QVERIFY(w.Find<QLabel>("Trans_Label")->text().isEmpty());
    QVERIFY(DescriptionText(w).isEmpty());
    QVERIFY(!w.Find<QAction>("ModifyEntryItem")->isEnabled());
    QVERIFY(!w.Find<QAction>("DeleteEntryItem")->isEnabled());
    QVERIFY(w.Find("Medical_Image")->isVisible());
}

template <typename T = QWidget> T *Child(QWidget *form, const char *name)
{
    return form->findChild<T *>(QLatin1String(name));
}

// The editor's three fields as the dialog shows them.
struct EditorSeen
{
    QString caption, okCaption, english, greek, description;
    bool headwordsEnabled = false;
    bool focusInDescription = false;
};

inline EditorSeen Look(TInsertEntryFrm *form)
{
    EditorSeen seen;
    seen.caption = form->windowTitle();
    seen.okCaption = Child<QPushButton>(form, "InsertOk_Button")->text();
    seen.english = Child<QLineEdit>(form, "InsertEntry_Text")->text();
    seen.greek = Child<QLineEdit>(form, "InsertEntry_Trans")->text();
    seen.description = Child<QPlainTextEdit>(form, "InsertEntry_Descr")->toPlainText();
    seen.headwordsEnabled = Child(form, "InsertEntry_Text")->isEnabled() &&
                            Child(form, "InsertEntry_Trans")->isEnabled();
    seen.focusInDescription = form->focusWidget() == Child(form, "InsertEntry_Descr");
    return seen;
}

inline void Fill(TInsertEntryFrm *form, const QString &english, const QString &greek,
                 const QString &description)
{
    Child<QLineEdit>(form, "InsertEntry_Text")->setText(english);
    Child<QLineEdit>(form, "InsertEntry_Trans")->setText(greek);
    Child<QPlainTextEdit>(form, "InsertEntry_Descr")->setPlainText(description);
}

} // namespace termdex::testing
