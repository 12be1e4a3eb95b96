// The custom-entries menu, the entry editor, the delete confirmation and the folder dialog, on a
// window over a copy of the demo dictionary in a temporary program folder. The dialogs and
// message boxes are answered by the tests.
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "custom/custom_edits.h"
#include "custom/ui/insert_entry_frm.h"
#include "data/entry_index.h"
#include "data/paths.h"
#include "dialogs/select_custom_dir_form.h"
#include "main/ui/text_convert.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTreeView>

#include <fstream>
#include <memory>
#include <sstream>

namespace termdex {

namespace fs = std::filesystem;
using testing::WindowUnderTest;

namespace {

QString Utf(const char *utf8) { return QString::fromUtf8(utf8); }

const char kNullMemo[] =
    "Για να επεξεργαστείτε λήμματα στο Termdex πρέπει να ορίσετε στον υπολογιστή σας το φάκελο "
    "μέσα στον οποίο θα αποθηκεύονται οι τροποποιήσεις.\n\n"
    "Για δική σας ευκολία μπορείτε να κρατήσετε το φάκελο που προτείνεται παρακάτω.";
const char kInvalidMemo[] =
    "Ο φάκελος που έχει οριστεί για την αποθήκευση των επεξεργασμένων λημμάτων δεν είναι "
    "έγκυρος. Αν υπάρχουν ήδη επεξεργασμένα λήμματα πρέπει να ορίσετε το φάκελο που τα περιέχει "
    "ώστε το λεξικό να τα βρει. Αν δεν υπάρχουν τότε πρέπει να ορίσετε το φάκελο μέσα στον οποίο "
    "θα αποθηκεύονται αυτά που θα δημιουργήσετε.";
const char kInstallMemo[] =
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

std::string ReadAll(const fs::path &file)
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
        fs::create_directory(folder / "data");
        for (const char *name : {"TermdexI.tbo", "TermdexHI.tbo", "Termdex.tbo"})
            fs::copy_file(testing::BuildFolder() / "data" / name, folder / "data" / name);
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
        const EditStatus status =
            InsertEntry(paths, index, {english, ToCp1253(Utf(greek)), description});
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
            if (entry.kind == 'C')
                headwords << ToQString(entry.headword);
        }
        return headwords;
    }
    std::string OwnDescriptions() const { return ReadAll(folder / "data" / "TermdexC.tbo"); }

    QTemporaryDir dir;
    fs::path folder;
};

bool IsCurrentFolder(const fs::path &folder)
{
    std::error_code error;
    return fs::equivalent(fs::current_path(), folder, error);
}

QLineEdit *Entry(const WindowUnderTest &w) { return w.Find<QLineEdit>("Entry_Text"); }
QListView *List(const WindowUnderTest &w) { return w.Find<QListView>("Entries_List"); }
QString ItemText(const WindowUnderTest &w, int row)
{
    return List(w)->model()->index(row, 0).data().toString();
}
QStringList Items(const WindowUnderTest &w)
{
    QStringList items;
    for (int row = 0; row < List(w)->model()->rowCount(); ++row)
        items << ItemText(w, row);
    return items;
}
void ClickItem(WindowUnderTest &w, int row)
{
    QListView *list = List(w);
    const QRect item = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
}
void Type(WindowUnderTest &w, const QString &text)
{
    Entry(w)->setFocus();
    Entry(w)->clear();
    Entry(w)->insert(text);
}
QString Description(const WindowUnderTest &w)
{
    return w.Find<QTextEdit>("Description_Text")->toPlainText();
}
void Run(WindowUnderTest &w, const char *item) { w.Find<QAction>(item)->trigger(); }

// What the window shows after ResetDisplay.
void VerifyDisplayReset(const WindowUnderTest &w)
{
    QCOMPARE(List(w)->model()->rowCount(), 0);
    QVERIFY(w.Find<QLabel>("Entry_Label")->text().isEmpty());
    QVERIFY(w.Find<QLabel>("Trans_Label")->text().isEmpty());
    QVERIFY(Description(w).isEmpty());
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
EditorSeen Look(TInsertEntryFrm *form)
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

void Fill(TInsertEntryFrm *form, const QString &english, const QString &greek,
          const QString &description)
{
    Child<QLineEdit>(form, "InsertEntry_Text")->setText(english);
    Child<QLineEdit>(form, "InsertEntry_Trans")->setText(greek);
    Child<QPlainTextEdit>(form, "InsertEntry_Descr")->setPlainText(description);
}

} // namespace

class EditingDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing::UseScratchHome(m_home);
        qputenv("XDG_DATA_HOME", (m_home.path() + QStringLiteral("/share")).toUtf8());
        QVERIFY(QDir().mkpath(m_home.path() + QStringLiteral("/share")));
        QVERIFY2(fs::exists(testing::BuildFolder() / "data" / "Termdex.tbo"),
                 "the demo dictionary is missing from the build folder");
    }

    void init()
    {
        std::error_code error;
        fs::remove(SettingsFile(), error);
        fs::remove(fs::path(m_home.path().toStdString()) / ".Termdex.ini", error);
        fs::remove_all(DefaultFolder(), error);
    }

    void cleanup() { QCOMPARE(QGuiApplication::overrideCursor(), nullptr); }

    // ---- The menu ----

    void menuDropsFromTheButtonWithItsPictures()
    {
        ProgramFolder program(false);
        WindowUnderTest w(program.folder);
        auto *menu = w.Find<QMenu>("CustomEntriesMenu");
        QStringList names;
        for (QAction *action : menu->actions()) {
            if (action->isSeparator())
                continue;
            names << action->objectName();
            QVERIFY(!action->icon().isNull());
            QCOMPARE(action->icon().pixmap(16, 16).size(), QSize(16, 16));
        }
        QCOMPARE(names, (QStringList{"CustomEntriesItem", "InsertEntryItem", "ModifyEntryItem",
                                     "DeleteEntryItem", "CustomFolderItem", "BackupItem",
                                     "RestoreItem", "RepairEntriesItem"}));
        auto *button = w.Find("CustomEntries_Button");
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(menu->isVisible());
        // The menu drops at the button's foot; Qt moves it left only to keep it on the screen,
        // which a menu this wide needs with wider fonts.
        const QPoint asked(w.window->x() + button->x() + 4,
                           w.window->y() + button->y() + button->height() + 22);
        const int screenRight = menu->screen()->availableGeometry().right();
        QCOMPARE(menu->pos(),
                 QPoint(std::min(asked.x(), screenRight + 1 - menu->width()), asked.y()));
        menu->hide();
    }

    void modifyAndDeleteRunOnlyWhenTheDisplayEnablesThem()
    {
        ProgramFolder program(false);
        WindowUnderTest w(program.folder);
        bool dialogOpened = false;
        QPointer<QTimer> watch = WhenOpens<QDialog>([&](QDialog *dialog) {
            dialogOpened = true;
            dialog->reject();
        });
        // A dialog would be up, and answered, before Run returns.
        Run(w, "ModifyEntryItem"); // nothing shown: both disabled
        Run(w, "DeleteEntryItem");
        QVERIFY(!dialogOpened);
        delete watch.data();

        // An entry shown: modify runs; delete stays off for a shipped entry.
        Type(w, QStringLiteral("tax"));
        QVERIFY(w.Find<QAction>("ModifyEntryItem")->isEnabled());
        QVERIFY(!w.Find<QAction>("DeleteEntryItem")->isEnabled());
        watch = WhenOpens<QDialog>([&](QDialog *dialog) {
            dialogOpened = true;
            dialog->reject();
        });
        Run(w, "DeleteEntryItem");
        QVERIFY(!dialogOpened);
        delete watch.data();
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            dialogOpened = true;
            form->reject();
        });
        Run(w, "ModifyEntryItem");
        QVERIFY(dialogOpened);
    }

    // ---- The editor ----

    void editorStandsAsDesigned()
    {
        TInsertEntryFrm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.windowTitle(), Utf("Εισαγωγή Νέου Λήμματος"));
        QCOMPARE(form.size(), QSize(367, 233));
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
        struct Place
        {
            const char *name;
            QRect geometry;
        };
        for (const Place &place : {Place{"InsertEntry_Descr", {112, 56, 242, 129}},
                                   Place{"InsertCancel_Button", {244, 192, 113, 25}},
                                   Place{"InsertOk_Button", {112, 192, 113, 25}}})
            QCOMPARE(Child(&form, place.name)->geometry(), place.geometry);
        QCOMPARE(Child(&form, "InsertEntry_Text")->pos(), QPoint(112, 8));
        QCOMPARE(Child(&form, "InsertEntry_Text")->width(), 242);
        QCOMPARE(Child(&form, "InsertEntry_Trans")->pos(), QPoint(112, 32));
        for (const char *label : {"Label1", "Label3", "Label2"})
            QVERIFY(Child<QLabel>(&form, label)->font().bold());
        QCOMPARE(Child<QLabel>(&form, "Label1")->text(), Utf("Λήμμα (Αγγλικά)"));
        QCOMPARE(Child<QLabel>(&form, "Label3")->text(), Utf("Λήμμα (Ελληνικά)"));
        QCOMPARE(Child<QLabel>(&form, "Label2")->text(), Utf("Περιγραφή"));

        // Tab order: the headwords, the description, Cancel, OK.
        QWidget *at = Child(&form, "InsertEntry_Text");
        QStringList order{at->objectName()};
        for (int i = 0; i < 4; ++i) {
            at = at->nextInFocusChain();
            while (at->focusPolicy() == Qt::NoFocus || !at->isVisibleTo(&form))
                at = at->nextInFocusChain();
            order << at->objectName();
        }
        QCOMPARE(order, (QStringList{"InsertEntry_Text", "InsertEntry_Trans", "InsertEntry_Descr",
                                     "InsertCancel_Button", "InsertOk_Button"}));
        QVERIFY(Child<QPushButton>(&form, "InsertOk_Button")->isDefault());
        QVERIFY(!Child<QPushButton>(&form, "InsertOk_Button")->icon().isNull());

        // "$00FFFFFA" is blue FF, green FF, red FA; the headwords are teal.
        for (const char *field : {"InsertEntry_Text", "InsertEntry_Trans", "InsertEntry_Descr"})
            QCOMPARE(Child(&form, field)->palette().color(QPalette::Base),
                     QColor(0xFA, 0xFF, 0xFF));
        for (const char *field : {"InsertEntry_Text", "InsertEntry_Trans"})
            QCOMPARE(Child(&form, field)->palette().color(QPalette::Active, QPalette::Text),
                     QColor(0x00, 0x80, 0x80));
        // The font asked for; which one the machine matches it with is the machine's.
        const QFont descriptionFont = Child(&form, "InsertEntry_Descr")->font();
        QCOMPARE(descriptionFont.family(),
                 QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        QCOMPARE(descriptionFont.styleHint(), QFont::Monospace);
        QVERIFY(descriptionFont.fixedPitch());

        // 80 characters at most, and only what code page 1253 holds; the description has no
        // limit but the same character set.
        auto *english = Child<QLineEdit>(&form, "InsertEntry_Text");
        english->insert(QString(100, QLatin1Char('a')));
        QCOMPARE(english->text().size(), 80);
        auto *greek = Child<QLineEdit>(&form, "InsertEntry_Trans");
        greek->insert(Utf("Φόρος"));
        greek->insert(Utf("☃"));
        QCOMPARE(greek->text(), Utf("Φόρος"));
        auto *description = Child<QPlainTextEdit>(&form, "InsertEntry_Descr");
        description->insertPlainText(Utf("Ένα ☃ δύο\n€ 😀 τρία") + QString(500, QLatin1Char('x')));
        QCOMPARE(description->toPlainText(), Utf("Ένα  δύο\n€  τρία") + QString(500, 'x'));
        // Esc is the cancel button: the fields are cleared.
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(english->text().isEmpty() && greek->text().isEmpty() &&
                description->toPlainText().isEmpty());
        QCOMPARE(form.result(), int(QDialog::Rejected));
    }

    void insertIsRefusedWithoutTheHeadwordsItNeeds()
    {
        ProgramFolder program(false);
        WindowUnderTest w(program.folder);
        MessageLog messages;
        EditorSeen kept;
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            auto *ok = Child<QPushButton>(form, "InsertOk_Button");
            // No English headword.
            Fill(form, QString(), Utf("Φόρος"), QStringLiteral("Text"));
            messages.AnswerNext();
            ok->click();
            QVERIFY(form->isVisible());
            // Neither a Greek headword nor a description.
            Fill(form, QStringLiteral("Lonely"), QString(), QString());
            messages.AnswerNext();
            ok->click();
            QVERIFY(form->isVisible());
            kept = Look(form);
            Child<QPushButton>(form, "InsertCancel_Button")->click();
        });
        Run(w, "InsertEntryItem");
        QCOMPARE(messages.texts,
                 (QStringList{Utf("Πρέπει να συμπληρωθεί το Αγγλικό Λήμμα"),
                              Utf("Πρέπει να συμπληρωθεί το Ελληνικό Λήμμα ή η Περιγραφή")}));
        QCOMPARE(messages.captions, (QStringList{"Termdex", "Termdex"}));
        QCOMPARE(messages.icons,
                 (QList<QMessageBox::Icon>{QMessageBox::NoIcon, QMessageBox::NoIcon}));
        QCOMPARE(kept.english, QStringLiteral("Lonely")); // what was typed stays
        QVERIFY(!fs::exists(program.folder / "data" / "TermdexIC.tbo"));
        // Headwords of blanks only are empty: they would make items that show nothing.
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            auto *ok = Child<QPushButton>(form, "InsertOk_Button");
            Fill(form, QStringLiteral("   "), Utf("Φόρος"), QStringLiteral("Text"));
            messages.AnswerNext();
            ok->click();
            Fill(form, QStringLiteral("Blank rendering"), QStringLiteral(" "), QString());
            messages.AnswerNext();
            ok->click();
            QVERIFY(form->isVisible());
            Child<QPushButton>(form, "InsertCancel_Button")->click();
        });
        Run(w, "InsertEntryItem");
        QCOMPARE(messages.texts.mid(2),
                 (QStringList{Utf("Πρέπει να συμπληρωθεί το Αγγλικό Λήμμα"),
                              Utf("Πρέπει να συμπληρωθεί το Ελληνικό Λήμμα ή η Περιγραφή")}));
        QVERIFY(!fs::exists(program.folder / "data" / "TermdexIC.tbo"));
    }

    void acceptedInsertIsListedAmongTheEditedEntries()
    {
        ProgramFolder program(false);
        WindowUnderTest w(program.folder);
        Type(w, QStringLiteral("tax"));
        QVERIFY(!Description(w).isEmpty());
        EditorSeen seen;
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            seen = Look(form);
            Fill(form, QStringLiteral("Zebra pricing"), Utf("Τιμολόγηση ζέβρας"),
                 QStringLiteral("First line.\nSecond line."));
            QTest::keyClick(Child(form, "InsertEntry_Text"), Qt::Key_Return); // the default button
        });
        Run(w, "InsertEntryItem");
        QCOMPARE(seen.caption, Utf("Εισαγωγή Νέου Λήμματος"));
        QCOMPARE(seen.okCaption, Utf("Εισαγωγή"));
        QVERIFY(seen.english.isEmpty() && seen.greek.isEmpty() && seen.description.isEmpty());
        QVERIFY(seen.headwordsEnabled);
        VerifyDisplayReset(w);
        QVERIFY(IsCurrentFolder(program.folder));

        Run(w, "CustomEntriesItem");
        QCOMPARE(Items(w), QStringList{QStringLiteral("Zebra pricing *")});
        ClickItem(w, 0);
        QCOMPARE(w.Find<QLabel>("Trans_Label")->text(), Utf("Τιμολόγηση ζέβρας"));
        // The stored form puts a blank before each paragraph end.
        QVERIFY(Description(w).startsWith(QStringLiteral("First line. \nSecond line.")));
        QVERIFY(w.Find<QAction>("DeleteEntryItem")->isEnabled());
    }

    void modifyPrefillsByTheKindOfTheEntry()
    {
        ProgramFolder program(false);
        WindowUnderTest w(program.folder);
        const std::string shippedIndex = ReadAll(program.folder / "data" / "TermdexI.tbo");

        // A shipped entry ('L'): the headwords greyed, an empty description with the focus.
        Type(w, QStringLiteral("tax"));
        const QString english = ItemText(w, 0);
        const QString greek = w.Find<QLabel>("Trans_Label")->text();
        QVERIFY(!greek.isEmpty());
        EditorSeen seen;
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            seen = Look(form);
            Child<QPlainTextEdit>(form, "InsertEntry_Descr")
                ->insertPlainText(QStringLiteral("My note.\nSecond line."));
            Child<QPushButton>(form, "InsertOk_Button")->click();
        });
        Run(w, "ModifyEntryItem");
        QCOMPARE(seen.caption, Utf("Τροποποίηση Λήμματος"));
        QCOMPARE(seen.okCaption, QStringLiteral("Ok"));
        QCOMPARE(seen.english, english);
        QCOMPARE(seen.greek, greek);
        QVERIFY(seen.description.isEmpty());
        QVERIFY(!seen.headwordsEnabled);
        QVERIFY(seen.focusInDescription);
        VerifyDisplayReset(w);

        // Now supplemented ('A'): only the supplement, not the shipped text above its marker.
        Type(w, QStringLiteral("tax"));
        QVERIFY(Description(w).contains(Utf("Συμπλήρωση δική σας:")));
        QVERIFY(Description(w).contains(QStringLiteral("My note.")));
        const std::string descriptions = program.OwnDescriptions();
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            seen = Look(form);
            Child<QPushButton>(form, "InsertCancel_Button")->click();
        });
        Run(w, "ModifyEntryItem");
        QCOMPARE(seen.description, QStringLiteral("My note.\nSecond line."));
        QVERIFY(!seen.headwordsEnabled);
        QVERIFY(seen.focusInDescription);
        QCOMPARE(program.OwnDescriptions(), descriptions); // cancel changes nothing
        QCOMPARE(ReadAll(program.folder / "data" / "TermdexI.tbo"), shippedIndex);

        // The reader's own entry ('C') in Greek mode: the item without its mark, the English
        // headword from Trans_Label, both editable, the description's plain text.
        program.AddOwnEntry("Zeta own entry", "Ζήτα δική μου", "Own text.");
        WindowUnderTest greekWindow(program.folder);
        QTest::mouseClick(greekWindow.Find("Lang_Button"), Qt::LeftButton);
        QVERIFY(greekWindow.State().LanguageMode);
        Run(greekWindow, "CustomEntriesItem");
        const int own = int(Items(greekWindow).indexOf(Utf("Ζήτα δική μου *")));
        QVERIFY(own >= 0);
        ClickItem(greekWindow, own);
        QVERIFY(Description(greekWindow).contains(QStringLiteral("Own text.")));
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            seen = Look(form);
            Fill(form, QStringLiteral("Zeta renamed"), Utf("Ζήτα άλλη"),
                 QStringLiteral("New text."));
            Child<QPushButton>(form, "InsertOk_Button")->click();
        });
        Run(greekWindow, "ModifyEntryItem");
        QCOMPARE(seen.english, QStringLiteral("Zeta own entry"));
        QCOMPARE(seen.greek, Utf("Ζήτα δική μου"));
        QVERIFY(seen.headwordsEnabled);
        QVERIFY(!seen.focusInDescription);
        QVERIFY(seen.description.startsWith(QStringLiteral("Own text.")));
        QCOMPARE(seen.description.trimmed(), QStringLiteral("Own text."));
        VerifyDisplayReset(greekWindow);
        Run(greekWindow, "CustomEntriesItem");
        QVERIFY(Items(greekWindow).contains(Utf("Ζήτα άλλη *")));
        QVERIFY(!Items(greekWindow).contains(Utf("Ζήτα δική μου *")));
    }

    // ---- Delete ----

    void deleteAnsweredNoChangesNothingAndAsksNoFolder()
    {
        ProgramFolder program(true); // no settings file: a folder would be asked for
        program.AddOwnEntry("Alpha own", "Άλφα δική", "One.");
        program.AddOwnEntry("Beta own", "Βήτα δική", "Two.");
        const std::string before = program.OwnIndex();
        WindowUnderTest w(program.folder);
        Run(w, "CustomEntriesItem");
        const QStringList listed = Items(w);
        QCOMPARE(listed, (QStringList{"Alpha own *", "Beta own *"}));
        ClickItem(w, 0);
        QVERIFY(w.Find<QAction>("DeleteEntryItem")->isEnabled());

        MessageLog messages;
        bool folderAsked = false;
        messages.AnswerNext(QMessageBox::No);
        QPointer<QTimer> watch = WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            folderAsked = true;
            form->reject();
        });
        Run(w, "DeleteEntryItem"); // the prompt and any folder dialog come and go within
        delete watch.data();
        QCOMPARE(messages.texts, QStringList{Utf("Να διαγραφεί το Λήμμα;")});
        QCOMPARE(messages.captions, QStringList{Utf("Επιβεβαίωση Διαγραφής")});
        QCOMPARE(messages.icons, QList<QMessageBox::Icon>{QMessageBox::NoIcon});
        QVERIFY(!folderAsked);
        QCOMPARE(program.OwnIndex(), before);
        QCOMPARE(Items(w), listed);
        QCOMPARE(w.Find<QLabel>("Entry_Label")->text(), QStringLiteral("Alpha own"));

        // Yes: the folder is asked for only now; the entry goes, the list keeps the other one.
        QString mode;
        messages.AnswerNext(QMessageBox::Yes);
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            mode = form->FolderMode();
            Child<QLineEdit>(form, "Dir_Edit")
                ->setText(QString::fromStdString(program.folder.string()));
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        Run(w, "DeleteEntryItem");
        QCOMPARE(mode, QStringLiteral("NULL"));
        QCOMPARE(Items(w), QStringList{QStringLiteral("Beta own *")});
        QVERIFY(w.Find<QLabel>("Entry_Label")->text().isEmpty());
        QVERIFY(Description(w).isEmpty());
        QVERIFY(!w.Find<QAction>("DeleteEntryItem")->isEnabled());
        QCOMPARE(program.OwnHeadwords(), QStringList{QStringLiteral("Beta own")});
        QVERIFY(IsCurrentFolder(program.folder));
    }

    // ---- The folder dialog ----

    void folderDialogStandsAsDesigned()
    {
        TSelectCustomDirForm form;
        form.SetFolderMode(QStringLiteral("OTHER"));
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
                 QString::fromStdString(DefaultFolder()));
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
            form.show();
            QVERIFY(QTest::qWaitForWindowExposed(&form));
            QCOMPARE(form.windowTitle(), Utf(mode.caption));
            QCOMPARE(Child<QTextEdit>(&form, "MsgMemo")->toPlainText(), Utf(mode.memo));
            QCOMPARE(Child<QTextEdit>(&form, "MsgMemo")->alignment(),
                     Qt::Alignment(Qt::AlignHCenter));
            QVERIFY(Child<QTextEdit>(&form, "MsgMemo")->isReadOnly());
            QCOMPARE(Child(&form, "Image1")->isVisible(), !mode.installPicture);
            QCOMPARE(Child(&form, "Image2")->isVisible(), mode.installPicture);
            QCOMPARE(Child<QLineEdit>(&form, "Dir_Edit")->text(),
                     QString::fromStdString(DefaultFolder()));
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
        Run(w, "InsertEntryItem");
        QCOMPARE(mode, QStringLiteral("NULL"));
        QCOMPARE(prefilled, QString::fromStdString(DefaultFolder()));
        QVERIFY(!fs::exists(SettingsFile()));
        QVERIFY(!fs::exists(DefaultFolder()));
        QVERIFY(IsCurrentFolder(program.folder));

        // An empty folder and OK: the same.
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            Child<QLineEdit>(form, "Dir_Edit")->clear();
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        Run(w, "InsertEntryItem");
        QVERIFY(!fs::exists(SettingsFile()));
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
        Run(w, "InsertEntryItem");
        QCOMPARE(messages.texts, QStringList{Utf("Παρουσιάστηκε πρόβλημα κατά τη δημιουργία του "
                                                 "φακέλου. Παρακαλώ επιλέξτε άλλο φάκελο")});
        QVERIFY(stayedOpen);
        QVERIFY(!editorOpened);
        QVERIFY(!fs::exists(SettingsFile()));
        QVERIFY(IsCurrentFolder(program.folder));

        // A new folder: made with its Data subfolder, stored, and the editor opens.
        const fs::path chosen = fs::path(m_home.path().toStdString()) / "new" / "Lexicon";
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            Child<QLineEdit>(form, "Dir_Edit")->setText(QString::fromStdString(chosen.string()));
            openEditor();
            Child<QPushButton>(form, "BitBtn1")->click();
        });
        Run(w, "InsertEntryItem");
        QVERIFY(editorOpened);
        QVERIFY(fs::is_directory(chosen / "Data"));
        QCOMPARE(ReadAll(SettingsFile()).substr(0, chosen.string().size()), chosen.string());
        QVERIFY(IsCurrentFolder(program.folder));

        // From now on the stored folder is used without asking; an insert goes into it.
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            Fill(form, QStringLiteral("Stored folder entry"), QString(), QStringLiteral("Text."));
            Child<QPushButton>(form, "InsertOk_Button")->click();
        });
        Run(w, "InsertEntryItem");
        QCOMPARE(program.OwnHeadwords(chosen), QStringList{QStringLiteral("Stored folder entry")});
        QVERIFY(!fs::exists(program.folder / "data" / "TermdexIC.tbo"));
    }

    void folderDialogInTheInvalidModeOffersTheDefaultFolder()
    {
        ProgramFolder program(false);
        const fs::path gone = fs::path(m_home.path().toStdString()) / "gone";
        fs::create_directories(SettingsFile().parent_path());
        std::ofstream(SettingsFile()) << gone.string() << "\r\n";
        WindowUnderTest w(program.folder);
        QString mode, prefilled, memo;
        WhenOpens<TSelectCustomDirForm>([&](TSelectCustomDirForm *form) {
            mode = form->FolderMode();
            prefilled = Child<QLineEdit>(form, "Dir_Edit")->text();
            memo = Child<QTextEdit>(form, "MsgMemo")->toPlainText();
            Child<QPushButton>(form, "BitBtn2")->click();
        });
        Run(w, "InsertEntryItem");
        QCOMPARE(mode, QStringLiteral("INVALID"));
        QCOMPARE(memo, Utf(kInvalidMemo));
        QCOMPARE(prefilled, QString::fromStdString(DefaultFolder()));
        QCOMPARE(ReadAll(SettingsFile()), gone.string() + "\r\n");
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
        fs::create_directories(SettingsFile().parent_path());
        std::ofstream(SettingsFile()) << custom.string() << "\n";
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
        Run(w, "InsertEntryItem");
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
        Run(w, "CustomFolderItem");
        QCOMPARE(mode, QStringLiteral("CHOOSE"));
        QCOMPARE(fs::path(prefilled.toStdString()), program.folder);
        QVERIFY(question.startsWith(Utf("Επεξεργασμένα Λήμματα|")));
        QCOMPARE(program.OwnHeadwords(chosen), QStringList{QStringLiteral("Moving entry")});
        QVERIFY(!fs::exists(program.folder / "data" / "TermdexIC.tbo"));
        QCOMPARE(ReadAll(SettingsFile()).substr(0, chosen.string().size()), chosen.string());
        QVERIFY(IsCurrentFolder(program.folder));
        Run(w, "CustomEntriesItem");
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
        Run(w, "CustomFolderItem");
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
        Run(w, "BackupItem");
        QTRY_COMPARE(messages.texts.size(), 1);
        QVERIFY(messages.texts[0].contains(QStringLiteral("1")));
        const std::string saved = ReadAll(file.toStdString());
        QVERIFY(saved.find("\"Saved entry\"") != std::string::npos);

        // The reader's files are lost; the backup brings the entry back, text and all.
        for (const char *name : {"TermdexIC.tbo", "TermdexHIC.tbo", "TermdexC.tbo"})
            fs::remove(program.folder / "data" / name);
        chooseFile(file);
        messages.AnswerNext();
        Run(w, "RestoreItem");
        QTRY_COMPARE(messages.texts.size(), 2);
        QVERIFY(messages.texts[1].startsWith(Utf("Προστέθηκαν 1 λήμματα")));
        QCOMPARE(program.OwnHeadwords(), QStringList{QStringLiteral("Saved entry")});
        Type(w, QStringLiteral("Saved entry"));
        QVERIFY(Description(w).contains(QStringLiteral("Line two.")));
        chooseFile(again);
        messages.AnswerNext();
        Run(w, "BackupItem");
        QTRY_COMPARE(messages.texts.size(), 3);
        QCOMPARE(ReadAll(again.toStdString()), saved);
    }

private:
    fs::path SettingsFile() const
    {
        return fs::path(m_home.path().toStdString()) / "config" / "Termdex.ini";
    }
    std::string DefaultFolder() const
    {
        return (fs::path(m_home.path().toStdString()) / "share" / "Termdex").string();
    }

    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::EditingDialogsTest)
#include "editing_dialogs_test.moc"
