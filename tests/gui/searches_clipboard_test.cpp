// The criteria and word-search dialogs run from the main window, and copy and paste between the
// window and the clipboard.
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "custom/custom_edits.h"
#include "custom/ui/insert_entry_frm.h"
#include "data/paths.h"
#include "dialogs/copyright_form.h"
#include "dialogs/message_form.h"
#include "dialogs/pictures.h"
#include "dialogs/search_form.h"
#include "dialogs/text_convert.h"
#include "main/ui/headword_list.h"
#include "main/ui/program.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cmath>

namespace termdex {

using testing::SaveArtefact;
using testing::Utf;
using testing::WhenDialogOpens;
using testing::WindowUnderTest;

class SearchesClipboardTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing::StartWindowTests(m_home); }

    // ---- Dialogs ----

    void criteriaDialogRunsTheLookupOfItsCriteria()
    {
        WindowUnderTest w;
        TypeKeys(w, "inflation");
        QTest::mouseClick(w.Find("Prev_Button"), Qt::LeftButton); // nothing before: no-op

        // OK with only "begins with".
        WhenDialogOpens([](QDialog *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TSearchForm"));
            QCOMPARE(dialog->windowTitle(), Utf("Κριτήρια Αναζήτησης Λημμάτων"));
            QCOMPARE(dialog->size(), QSize(260, 168));
            QCOMPARE(dialog->findChild<QWidget *>("Start_Edit")->geometry(),
                     QRect(120, 44, 121, 22));
            QCOMPARE(dialog->findChild<QPushButton *>("BitBtn2")->text(), Utf("Άκυρο"));
            // The focus arrives with the dialog's activation, a moment after it is up.
            QTRY_VERIFY(dialog->findChild<QWidget *>("Start_Edit")->hasFocus());
            // Each label stands clear of its edit, and a click on it empties the edit.
            for (const auto &[label, edit] :
                 {std::pair{"Label2", "Start_Edit"}, std::pair{"Label3", "Contain_edit"},
                  std::pair{"Label4", "End_Edit"}}) {
                QWidget *caption = dialog->findChild<QWidget *>(label);
                auto *field = dialog->findChild<QLineEdit *>(edit);
                QVERIFY(caption->geometry().right() < field->x() - 4);
                field->setText(QStringLiteral("old"));
                QTest::mouseClick(caption, Qt::LeftButton);
                QVERIFY(field->text().isEmpty());
            }
            dialog->findChild<QLineEdit *>("Start_Edit")->setFocus();
            QTest::keyClicks(dialog->findChild<QLineEdit *>("Start_Edit"), "Tax");
            QTest::keyClick(dialog, Qt::Key_Return); // OK is the default button
        });
        QTest::mouseClick(w.Find("Search_Button"), Qt::LeftButton);
        QCOMPARE(Entry(w)->text(), QStringLiteral("Tax"));
        QCOMPARE(ItemText(w, 0), QStringLiteral("Tax"));
        QCOMPARE(w.window->focusWidget(), Entry(w));
        const int startCount = List(w)->model()->rowCount();

        // Cancel changes nothing.
        WhenDialogOpens([](QDialog *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>("End_Edit"), "rate");
            dialog->findChild<QPushButton *>("BitBtn2")->click();
        });
        w.window->Search_ButtonClick();
        QCOMPARE(List(w)->model()->rowCount(), startCount);
        QCOMPARE(w.State().SearchStartText, Cp1253("Tax"));

        // Two criteria: the combined lookup on an empty field, compared unfolded.
        WhenDialogOpens([](QDialog *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>("Start_Edit"), "tax");
            QTest::keyClicks(dialog->findChild<QLineEdit *>("End_Edit"), "e");
            dialog->findChild<QPushButton *>("BitBtn1")->click();
        });
        w.window->Search_ButtonClick();
        QVERIFY(Entry(w)->text().isEmpty());
        QVERIFY(List(w)->model()->rowCount() >= 3);
        for (int i = 0; i < List(w)->model()->rowCount(); ++i) {
            const QString item = ItemText(w, i).toLower();
            QVERIFY(item.startsWith(QStringLiteral("tax")) && item.endsWith(QLatin1Char('e')));
        }
        QCOMPARE(List(w)->currentIndex().row(), -1);

        // OK with all three empty keeps the list.
        const int before = List(w)->model()->rowCount();
        WhenDialogOpens(
            [](QDialog *dialog) { dialog->findChild<QPushButton *>("BitBtn1")->click(); });
        w.window->Search_ButtonClick();
        QCOMPARE(List(w)->model()->rowCount(), before);
    }

    void wordSearchListsTheEntriesWhoseDescriptionHoldsIt()
    {
        WindowUnderTest w;
        WhenDialogOpens([](QDialog *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("TMessageForm"));
            QCOMPARE(dialog->windowTitle(), Utf("Αναζήτηση στις Ερμηνείες"));
            QCOMPARE(dialog->size(), QSize(239, 158));
            QCOMPARE(dialog->findChild<QPushButton *>("BitBtn1")->text(), Utf("ΟΚ"));
            // The focus arrives with the dialog's activation, which a loaded machine delays.
            QTRY_VERIFY(dialog->findChild<QWidget *>("DescrSearch_Edit")->hasFocus());
            dialog->findChild<QLineEdit *>("DescrSearch_Edit")->insert(Utf("φόρος"));
            dialog->findChild<QPushButton *>("BitBtn1")->click();
        });
        QTest::mouseClick(w.Find("DescrSearch_Button"), Qt::LeftButton);
        QCOMPARE(Entry(w)->text(), Utf("φόρος"));
        const int found = List(w)->model()->rowCount();
        QVERIFY(found >= 2);
        // English headwords, nothing selected, nothing shown.
        QVERIFY(!w.State().listItems.empty() && (w.State().listItems[0][0] & 0x80) == 0);
        QCOMPARE(List(w)->currentIndex().row(), -1);
        QVERIFY(w.Find("Medical_Image")->isVisible());
        QCOMPARE(w.window->focusWidget(), Entry(w));

        // Cancel leaves the list; an empty word lists nothing.
        WhenDialogOpens([](QDialog *dialog) { dialog->reject(); });
        w.window->DescrSearch_ButtonClick();
        QCOMPARE(List(w)->model()->rowCount(), found);
        WhenDialogOpens([](QDialog *dialog) { dialog->accept(); });
        w.window->DescrSearch_ButtonClick();
        QCOMPARE(List(w)->model()->rowCount(), 0);
    }

    void searchesSayWhatTheyFoundOverTheEmptyDescription()
    {
        WindowUnderTest w;
        auto *status = w.Find<QLabel>("Search_Status");
        QVERIFY(status == nullptr || !status->isVisible());
        WhenDialogOpens([](QDialog *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>("Contain_edit"), "qqqq");
            dialog->findChild<QPushButton *>("BitBtn1")->click();
        });
        w.window->Search_ButtonClick();
        status = w.Find<QLabel>("Search_Status");
        QVERIFY(status != nullptr && status->isVisible());
        QCOMPARE(status->text(), Utf("Κανένα λήμμα δεν ταιριάζει με τα κριτήρια"));
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        // It lies over the description, as wide as its page.
        QWidget *page = w.Find<QTextEdit>("Description_Text")->viewport();
        QCOMPARE(status->parentWidget(), page);
        QCOMPARE(status->width(), page->width());

        WhenDialogOpens([](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("DescrSearch_Edit")->insert(Utf("φόρος"));
            dialog->findChild<QPushButton *>("BitBtn1")->click();
        });
        w.window->DescrSearch_ButtonClick();
        const int found = List(w)->model()->rowCount();
        QVERIFY(found >= 2);
        QCOMPARE(status->text(),
                 Utf("Η λέξη «φόρος» βρέθηκε στις ερμηνείες %1 λημμάτων").arg(found));
        QVERIFY(status->isVisible());
        SaveArtefact(w.window->grab(), "search-status.png");

        // An entry displayed covers it; a new lookup takes it away.
        ClickItem(w, 0);
        QVERIFY(!status->isVisible());
        TypeKeys(w, "a");
        QVERIFY(status->text().isEmpty() && !status->isVisible());
    }

    void wordSearchShowsProgressAndStopsOnCancel()
    {
        WindowUnderTest w;
        // The whole search first, for comparison.
        WhenDialogOpens([](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("DescrSearch_Edit")->insert(Utf("και"));
            dialog->accept();
        });
        w.window->DescrSearch_ButtonClick();
        const std::vector<int> all = w.State().ListRecords;
        QVERIFY(all.size() > 100);

        // With one scanning thread and no delay, the progress window comes after the first 64
        // records; cancelling there keeps the matches of those records.
        w.window->SetSearchThreads(1);
        w.window->SetSearchProgressDelay(0);
        bool progressShown = false;
        WhenDialogOpens([&](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("DescrSearch_Edit")->insert(Utf("και"));
            dialog->accept();
            WhenDialogOpens(
                [&](QDialog *progress) {
                    progressShown = qobject_cast<QProgressDialog *>(progress) != nullptr;
                    progress->findChild<QPushButton *>()->click();
                },
                0);
        });
        w.window->DescrSearch_ButtonClick();
        QVERIFY(progressShown);
        const std::vector<int> kept = w.State().ListRecords;
        QVERIFY(!kept.empty());
        QVERIFY(kept.size() < all.size());
        QVERIFY(std::equal(kept.begin(), kept.end(), all.begin()));
        QCOMPARE(static_cast<int>(List(w)->model()->rowCount()), static_cast<int>(kept.size()));
        QVERIFY(w.window->findChild<QProgressDialog *>() == nullptr);
    }

    // ---- Copy and paste ----

    void copyTakesWhatTheReaderUsedLast()
    {
        WindowUnderTest w(testing::BuildFolder(), [](FakePlatform &fake) {
            fake.keyboard.layouts = {{1, "English"}, {2, "Greek"}};
        });
        std::vector<bool> ownWrite;
        w.fake.clipboard.SetChangedHandler(
            [&] { ownWrite.push_back(w.State().OwnClipboardWrite); });
        auto *description = w.Find<QTextEdit>("Description_Text");
        TypeKeys(w, "tax");

        // The whole description, with its formatting, after clicking into it.
        description->setFocus();
        QVERIFY(w.State().LastFocusName == FocusName::Description_Text);
        w.fake.keyboard.activations.clear();
        QTest::mouseClick(w.Find("Copy_Button"), Qt::LeftButton);
        QVERIFY(w.fake.clipboard.rich.has_value());
        QVERIFY(w.fake.clipboard.rich->rtf.starts_with("{\\rtf1\\ansi\\ansicpg1253"));
        QVERIFY(w.fake.clipboard.rich->rtf.find("\\fcharset161") != std::string::npos);
        QVERIFY(QString::fromStdString(w.fake.clipboard.rich->html).contains(Utf("κράτος")));
        QCOMPARE(QString::fromStdString(w.fake.clipboard.rich->plain), description->toPlainText());
        QVERIFY(!description->textCursor().hasSelection());
        // In English mode the Greek layout is active while the program writes, and the write
        // is marked as the program's own.
        QCOMPARE(w.fake.keyboard.activations, (std::vector<LayoutHandle>{2, 1}));
        QCOMPARE(ownWrite, std::vector<bool>{true});
        QVERIFY(!w.State().OwnClipboardWrite);

        // A selection of the description goes as plain text.
        QTextCursor cursor(description->document());
        cursor.movePosition(QTextCursor::NextWord, QTextCursor::KeepAnchor);
        description->setTextCursor(cursor);
        w.window->Copy_ButtonClick();
        QVERIFY(!w.fake.clipboard.rich.has_value());
        QCOMPARE(QString::fromStdString(w.fake.clipboard.text), cursor.selectedText());

        // The list: the selected headword, whatever the field holds.
        ClickItem(w, 1);
        Entry(w)->setFocus();
        w.window->Copy_ButtonClick();
        QCOMPARE(QString::fromStdString(w.fake.clipboard.text), ItemText(w, 1));

        // No item selected: the field, or its selection.
        w.window->WholeLex_ButtonClick();
        Entry(w)->setFocus();
        Entry(w)->blockSignals(true);
        Entry(w)->setText(QStringLiteral("free text"));
        Entry(w)->blockSignals(false);
        w.window->Core().WriteEntryText("free text");
        Entry(w)->setSelection(0, 4);
        w.window->Copy_ButtonClick();
        QCOMPARE(w.fake.clipboard.text, std::string("free"));
        Entry(w)->deselect();
        w.window->Copy_ButtonClick();
        QCOMPARE(w.fake.clipboard.text, std::string("free text"));
        QVERIFY(!Entry(w)->hasSelectedText());

        // Nothing at all: nothing is written.
        Entry(w)->clear();
        w.window->WholeLex_ButtonClick();
        const size_t writes = w.fake.clipboard.writes.size();
        w.window->Copy_ButtonClick();
        QCOMPARE(w.fake.clipboard.writes.size(), writes);

        // Greek mode leaves the keyboard alone.
        QTest::mouseClick(w.Find("Lang_Button"), Qt::LeftButton);
        Enter(w, Utf("φόρος"));
        w.fake.keyboard.activations.clear();
        w.window->Copy_ButtonClick();
        QVERIFY(!w.fake.clipboard.text.empty());
        QVERIFY(w.fake.keyboard.activations.empty());
    }

    void pasteRunsTheLookup()
    {
        WindowUnderTest w;
        w.fake.clipboard.CopyFromOtherProgram("Inflation\nsecond line");
        QTest::mouseClick(w.Find("Paste_Button"), Qt::LeftButton);
        QCOMPARE(Entry(w)->text(), QStringLiteral("Inflation"));
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Inflation"));
        QVERIFY(Entry(w)->hasFocus());
        QVERIFY(w.State().LastFocusName == FocusName::Entry_Text);
        QTRY_VERIFY(Entry(w)->selectedText() == QStringLiteral("Inflation"));

        // Pasting again over it, while the field has the focus.
        w.fake.clipboard.CopyFromOtherProgram("Φόρος");
        w.window->Paste_ButtonClick();
        QVERIFY(w.State().LanguageMode == Language::Greek);
        QCOMPARE(Entry(w)->text(), Utf("Φόρος"));
        QCOMPARE(LabelText(w, "Entry_Label"), ItemText(w, 0)); // the Greek fold's exact match
        QTRY_COMPARE(Entry(w)->selectedText(), Utf("Φόρος"));

        // A lone CR ends the line too, as in quick translation.
        w.fake.clipboard.CopyFromOtherProgram("Inflation\rsecond line");
        w.window->Paste_ButtonClick();
        QCOMPARE(Entry(w)->text(), QStringLiteral("Inflation"));
    }

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::SearchesClipboardTest)
#include "searches_clipboard_test.moc"
