// The custom-entries menu, the entry editor and the delete confirmation, on a window over a
// copy of the demo dictionary in a temporary program folder. The dialogs and message boxes are
// answered by the tests.
#include "tests/gui/editing_fixture.h"

#include "custom/custom_edits.h"
#include "custom/ui/insert_entry_frm.h"
#include "data/entry_index.h"
#include "data/paths.h"
#include "dialogs/select_custom_dir_form.h"
#include "dialogs/text_convert.h"

#include <QAction>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

#include <fstream>
#include <memory>
#include <sstream>

namespace termdex {

namespace fs = std::filesystem;
using namespace testing;

class EditingDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_home.Start(); }
    void init() { m_home.Clear(); }
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
        Trigger(w, "ModifyEntryItem"); // nothing shown: both disabled
        Trigger(w, "DeleteEntryItem");
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
        Trigger(w, "DeleteEntryItem");
        QVERIFY(!dialogOpened);
        delete watch.data();
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            dialogOpened = true;
            form->reject();
        });
        Trigger(w, "ModifyEntryItem");
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
        Trigger(w, "InsertEntryItem");
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
        Trigger(w, "InsertEntryItem");
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
        QVERIFY(!DescriptionText(w).isEmpty());
        EditorSeen seen;
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            seen = Look(form);
            Fill(form, QStringLiteral("Zebra pricing"), Utf("Τιμολόγηση ζέβρας"),
                 QStringLiteral("First line.\nSecond line."));
            QTest::keyClick(Child(form, "InsertEntry_Text"), Qt::Key_Return); // the default button
        });
        Trigger(w, "InsertEntryItem");
        QCOMPARE(seen.caption, Utf("Εισαγωγή Νέου Λήμματος"));
        QCOMPARE(seen.okCaption, Utf("Εισαγωγή"));
        QVERIFY(seen.english.isEmpty() && seen.greek.isEmpty() && seen.description.isEmpty());
        QVERIFY(seen.headwordsEnabled);
        VerifyDisplayReset(w);
        QVERIFY(IsCurrentFolder(program.folder));

        Trigger(w, "CustomEntriesItem");
        QCOMPARE(Items(w), QStringList{QStringLiteral("Zebra pricing *")});
        ClickItem(w, 0);
        QCOMPARE(w.Find<QLabel>("Trans_Label")->text(), Utf("Τιμολόγηση ζέβρας"));
        // The stored form puts a blank before each paragraph end.
        QVERIFY(DescriptionText(w).startsWith(QStringLiteral("First line. \nSecond line.")));
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
        Trigger(w, "ModifyEntryItem");
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
        QVERIFY(DescriptionText(w).contains(Utf("Συμπλήρωση δική σας:")));
        QVERIFY(DescriptionText(w).contains(QStringLiteral("My note.")));
        const std::string descriptions = program.OwnDescriptions();
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            seen = Look(form);
            Child<QPushButton>(form, "InsertCancel_Button")->click();
        });
        Trigger(w, "ModifyEntryItem");
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
        QVERIFY(greekWindow.State().LanguageMode == Language::Greek);
        Trigger(greekWindow, "CustomEntriesItem");
        const int own = int(Items(greekWindow).indexOf(Utf("Ζήτα δική μου *")));
        QVERIFY(own >= 0);
        ClickItem(greekWindow, own);
        QVERIFY(DescriptionText(greekWindow).contains(QStringLiteral("Own text.")));
        WhenOpens<TInsertEntryFrm>([&](TInsertEntryFrm *form) {
            seen = Look(form);
            Fill(form, QStringLiteral("Zeta renamed"), Utf("Ζήτα άλλη"),
                 QStringLiteral("New text."));
            Child<QPushButton>(form, "InsertOk_Button")->click();
        });
        Trigger(greekWindow, "ModifyEntryItem");
        QCOMPARE(seen.english, QStringLiteral("Zeta own entry"));
        QCOMPARE(seen.greek, Utf("Ζήτα δική μου"));
        QVERIFY(seen.headwordsEnabled);
        QVERIFY(!seen.focusInDescription);
        QVERIFY(seen.description.startsWith(QStringLiteral("Own text.")));
        QCOMPARE(seen.description.trimmed(), QStringLiteral("Own text."));
        VerifyDisplayReset(greekWindow);
        Trigger(greekWindow, "CustomEntriesItem");
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
        Trigger(w, "CustomEntriesItem");
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
        Trigger(w, "DeleteEntryItem"); // the prompt and any folder dialog come and go within
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
        Trigger(w, "DeleteEntryItem");
        QCOMPARE(mode, QStringLiteral("NULL"));
        QCOMPARE(Items(w), QStringList{QStringLiteral("Beta own *")});
        QVERIFY(w.Find<QLabel>("Entry_Label")->text().isEmpty());
        QVERIFY(DescriptionText(w).isEmpty());
        QVERIFY(!w.Find<QAction>("DeleteEntryItem")->isEnabled());
        QCOMPARE(program.OwnHeadwords(), QStringList{QStringLiteral("Beta own")});
        QVERIFY(IsCurrentFolder(program.folder));
    }

private:
    testing::EditingHome m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::EditingDialogsTest)
#include "editing_dialogs_test.moc"
