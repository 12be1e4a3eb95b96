// The main window on the demo dictionary: its start-up and first layout, lookups in the list
// and the display of an entry, and the history.
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "custom/custom_edits.h"
#include "custom/ui/insert_entry_frm.h"
#include "data/paths.h"
#include "dialogs/copyright_form.h"
#include "dialogs/dummy_frm.h"
#include "dialogs/message_form.h"
#include "dialogs/pictures.h"
#include "dialogs/search_form.h"
#include "dialogs/text_convert.h"
#include "main/ui/headword_list.h"
#include "main/ui/program.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cmath>

namespace termdex {

using testing::Utf;
using testing::WindowUnderTest;

namespace {

QLineEdit *Entry(const ProgramForms &forms)
{
    return forms.mainLex->findChild<QLineEdit *>(QStringLiteral("Entry_Text"));
}

} // namespace

class MainLexTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing::StartWindowTests(m_home); }

    // ---- Start-up and layout ----

    void startCreatesTheFormsInOrder()
    {
        FakePlatform fake;
        ProgramForms forms = CreateProgramForms(fake.Services(), testing::BuildFolder());
        QCOMPARE(forms.creationOrder, (QStringList{"TMainLex", "TDummyFrm"}));
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Termdex"));
        QCOMPARE(forms.mainLex->windowTitle(), QStringLiteral("Termdex"));
        QVERIFY(forms.dummyFrm->isHidden());
        QVERIFY(forms.dummyFrm->findChild<QTextEdit *>(QStringLiteral("PrintText")) != nullptr);

        // Every window carries the program's icon, and Qt's own buttons and menus speak Greek.
        QVERIFY(!forms.mainLex->windowIcon().isNull());
        QVERIFY(!TSearchForm().windowIcon().availableSizes().isEmpty());
        QMessageBox question(QMessageBox::Question, QStringLiteral("Termdex"), QStringLiteral("?"),
                             QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(question.button(QMessageBox::Yes)->text(), Utf("&Ναι"));
        QCOMPARE(question.button(QMessageBox::No)->text(), Utf("Ό&χι"));
        std::unique_ptr<QMenu> menu(Entry(forms)->createStandardContextMenu());
        QStringList captions;
        for (QAction *action : menu->actions())
            captions << action->text().section(QLatin1Char('\t'), 0, 0);
        QVERIFY2(captions.contains(Utf("Απο&κοπή")) && captions.contains(Utf("&Επικόλληση")),
                 qPrintable(captions.join(QLatin1Char('|'))));
    }

    void componentsStandAtTheirPlacesAfterTheFirstShowing()
    {
        WindowUnderTest w;
        struct Place
        {
            const char *name;
            QRect geometry;
        };
        // The window is Exit_Button's right edge + 12 wide; the description ends 15 pixels
        // before it and at the list's bottom.
        QCOMPARE(w.window->width(), 547 + 45 + 12);
        const std::vector<Place> places = {
            {"Panel2", {4, 49, 230, 35}},
            {"Entries_List", {4, 88, 229, 212}},
            {"Description_Text", {241, 114, 348, 186}},
            {"Line_Image", {0, 43, 605, 3}},
            {"Line2_Image", {241, 108, 364, 3}},
            {"Medical_Image", {250, 48, 329, 57}},
            {"Entry_Label", {241, 47, 348, 28}},
            {"Trans_Label", {241, 75, 348, 32}},
        };
        for (const Place &place : places)
            QCOMPARE(w.Find(place.name)->geometry(), place.geometry);
        // The publisher's label keeps its design place unless the machine's font makes it too
        // wide to stay clear of the right edge; its picture stands 24 pixels before it.
        QWidget *publisher = w.Find("Vorantis_Label");
        QCOMPARE(publisher->pos(),
                 QPoint(std::min(478, w.window->width() - 6 - publisher->width()), 304));
        QCOMPARE(w.Find("VorantisImage")->geometry(), QRect(publisher->x() - 24, 301, 20, 16));
        QCOMPARE(Entry(w)->geometry(), QRect(8, 5, 215, 24));
        QCOMPARE(Entry(w)->parentWidget()->objectName(), QStringLiteral("Panel2"));
        QCOMPARE(w.Find("InstallLabel")->pos(), QPoint(5, 304));
        QCOMPARE(w.Find("CopyrightLabel")->pos(), QPoint(241, 304));
        QCOMPARE(w.window->minimumSize(), QSize(244, 170));

        // Colours: "$00FF8000" is blue 255, green 128, red 0.
        QCOMPARE(w.window->palette().color(QPalette::Window), QColor(0, 128, 255));
        QCOMPARE(w.Find("Trans_Label")->palette().color(QPalette::WindowText),
                 QColor(255, 255, 163));
        QCOMPARE(w.Find("Entry_Label")->palette().color(QPalette::WindowText), QColor(Qt::white));
        QCOMPARE(w.Find("Entry_Label")->font().pixelSize(), 12);
        QVERIFY(w.Find("Entry_Label")->font().bold());
        QCOMPARE(w.Find("Trans_Label")->font().pixelSize(), 13);
        QCOMPARE(Entry(w)->font().pixelSize(), 16);
        QCOMPARE(List(w)->font().pixelSize(), 15);

        // The banner shows, the hidden controls exist.
        QVERIFY(w.Find("Medical_Image")->isVisible());
        for (const char *hidden : {"GrImage", "EnImage", "AutoTrImage", "CancelAutoTrImage",
                                   "ClipBoard_Edit", "WholeLex_Button"})
            QVERIFY2(w.Find(hidden) != nullptr && w.Find(hidden)->isHidden(), hidden);
        QCOMPARE(w.Find("Fill_List_Button")->size(), QSize(1, 1));
        QCOMPARE(w.Find<QPushButton>("WholeLex_Button")->text(), Utf("Όλα τα Λήμματα"));
        QVERIFY(w.State().listItems.empty());
        QVERIFY(Entry(w)->text().isEmpty());
    }

    void toolbarButtonsShowTheirHints()
    {
        WindowUnderTest w;
        const std::vector<std::pair<const char *, const char *>> hints = {
            {"Lang_Button", "Επιλογή Γλώσσας"},
            {"Prev_Button", "Προηγούμενο Λήμμα"},
            {"PrevMenu_Button", "Λίστα Προηγουμένων Λημμάτων"},
            {"Next_Button", "Επόμενο Λήμμα"},
            {"NextMenu_Button", "Λίστα Επομένων Λημμάτων"},
            {"Copy_Button", "Αντιγραφή"},
            {"Paste_Button", "Επικόλληση"},
            {"Print_Button", "Εκτύπωση Λήμματος"},
            {"Search_Button", "Αναζητήσεις"},
            {"DescrSearch_Button", "Αναζήτηση στο περιεχόμενο του λεξικού"},
            {"AutoTranslate_Button", "Γρήγορη Μετάφραση"},
            {"CustomEntries_Button", "Επεξεργασία Λημμάτων"},
            {"Pinakes_Button", "Πίνακες"},
            {"Help_Button", "Βοήθεια"},
            {"Pin_Button", "Παραμονή στην κορυφή"},
            {"Exit_Button", "Εξοδος"},
            {"InstallLabel", "Εγκατάσταση Termdex στο σκληρό δίσκο"},
            {"Vorantis_Label", "Παρουσίαση Εκδόσεων Βοράντη"},
        };
        for (const auto &[name, hint] : hints)
            QCOMPARE(w.Find(name)->toolTip(), Utf(hint));
        // The entry field and the description keep their hints without showing them.
        QVERIFY(Entry(w)->toolTip().isEmpty());
        QVERIFY(w.Find("Description_Text")->toolTip().isEmpty());
        QCOMPARE(Entry(w)->accessibleDescription(), Utf("Λήμμα προς Αναζήτηση"));
    }

    void installLabelShowsOnlyWhenTheProgramIsReadOnly_data()
    {
        QTest::addColumn<int>("attribute"); // -1: the program file cannot be found
        QTest::addColumn<bool>("shown");
        QTest::newRow("read-only media") << 1 << true;
        QTest::newRow("installed copy") << 0 << false;
        QTest::newRow("no program file") << -1 << true;
    }
    void installLabelShowsOnlyWhenTheProgramIsReadOnly()
    {
        QFETCH(int, attribute);
        QFETCH(bool, shown);
        WindowUnderTest w(testing::BuildFolder(), [attribute](FakePlatform &fake) {
            if (attribute >= 0)
                fake.files
                    .readOnly[(testing::BuildFolder() / "Termdex").lexically_normal().string()] =
                    attribute == 1;
        });
        QCOMPARE(w.Find("InstallLabel")->isVisible(), shown);
        QCOMPARE(w.Find("CopyrightLabel")->x(), shown ? 241 : 5);
    }

    // ---- Lookup and display ----

    void typingShowsTheListAndTheExactMatch()
    {
        WindowUnderTest w;
        TypeKeys(w, "tax");
        QVERIFY(List(w)->model()->rowCount() > 3);
        QCOMPARE(List(w)->currentIndex().row(), 0);
        QCOMPARE(ItemText(w, 0), QStringLiteral("Tax"));
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Tax"));
        QCOMPARE(LabelText(w, "Trans_Label"), Utf("Φόρος"));
        QVERIFY(w.Find("Medical_Image")->isHidden());
        QString shown = w.Find<QTextEdit>("Description_Text")->toPlainText();
        QVERIFY(shown.contains(Utf("κράτος")));
        QCOMPARE(shown.replace(QLatin1Char('\n'), QStringLiteral("\r\n")),
                 ToQString(w.State().descriptionText));

        // No headword is "taxa": the first item is highlighted, nothing is shown.
        TypeKeys(w, "a");
        QCOMPARE(ItemText(w, 0), QStringLiteral("Taxable income"));
        QCOMPARE(List(w)->currentIndex().row(), 0);
        QVERIFY(LabelText(w, "Entry_Label").isEmpty());
        QVERIFY(w.Find<QTextEdit>("Description_Text")->toPlainText().isEmpty());
        QVERIFY(w.Find("Medical_Image")->isVisible());
    }

    void listIsAModelOfFixedHeightItems()
    {
        WindowUnderTest w;
        w.window->WholeLex_ButtonClick();
        QListView *list = List(w);
        QCOMPARE(list->model()->rowCount(), w.window->Core().Index().englishCount);
        QVERIFY(list->uniformItemSizes());
        QCOMPARE(list->visualRect(list->model()->index(5, 0)).height(), kListItemHeight);
        // The list builds no widget per item.
        QVERIFY(list->findChildren<QWidget *>().size() < 20);
        QVERIFY(w.State().itemIndex == -1);
    }

    void arrowAndPageKeysMoveThroughTheList()
    {
        WindowUnderTest w;
        TypeKeys(w, "b");
        const int count = List(w)->model()->rowCount();
        QVERIFY(count > 30);
        QCOMPARE(List(w)->currentIndex().row(), 0);
        QTest::keyClick(Entry(w), Qt::Key_Up); // already at the top: nothing
        QCOMPARE(List(w)->currentIndex().row(), 0);
        QVERIFY(Entry(w)->hasFocus());

        QTest::keyClick(Entry(w), Qt::Key_Down);
        QCOMPARE(List(w)->currentIndex().row(), 1);
        QVERIFY(List(w)->hasFocus());
        QVERIFY(w.State().LastFocusName == FocusName::Entries_List);
        QCOMPARE(LabelText(w, "Entry_Label"), ItemText(w, 1));

        // A page is the list's height in items: 212 / 16 = 13.
        QTest::keyClick(Entry(w), Qt::Key_PageDown);
        QCOMPARE(List(w)->currentIndex().row(), 14);
        QTest::keyClick(Entry(w), Qt::Key_PageUp);
        QCOMPARE(List(w)->currentIndex().row(), 1);
        QTest::keyClick(Entry(w), Qt::Key_PageUp);
        QCOMPARE(List(w)->currentIndex().row(), 0);
        for (int i = 0; i < count / 13 + 2; ++i)
            QTest::keyClick(Entry(w), Qt::Key_PageDown);
        QCOMPARE(List(w)->currentIndex().row(), count - 1);
        QCOMPARE(LabelText(w, "Entry_Label"), ItemText(w, count - 1));

        // Down with nothing selected selects the first item.
        w.window->WholeLex_ButtonClick();
        QCOMPARE(List(w)->currentIndex().row(), -1);
        QTest::keyClick(Entry(w), Qt::Key_Down);
        QCOMPARE(List(w)->currentIndex().row(), 0);
    }

    void enterRunsTheLookupOfTheField()
    {
        WindowUnderTest w;
        TypeKeys(w, "infl");
        w.window->WholeLex_ButtonClick();
        QVERIFY(ItemText(w, 0).startsWith(QLatin1Char('A')));
        Entry(w)->setFocus();
        QTest::keyClick(Entry(w), Qt::Key_Return);
        QVERIFY(List(w)->model()->rowCount() >= 1);
        QVERIFY(ItemText(w, 0).startsWith(QStringLiteral("Infl")));
    }

    void clickShowsTheEntryWithLabelsSwappedByLanguage()
    {
        WindowUnderTest w;
        TypeKeys(w, "tax");
        ClickItem(w, 2);
        const QString english = ItemText(w, 2);
        QCOMPARE(LabelText(w, "Entry_Label"), english);
        const QString greek = LabelText(w, "Trans_Label");
        QVERIFY(!greek.isEmpty());
        QVERIFY(w.State().LastFocusName == FocusName::Entries_List);

        // Greek mode lists the Greek headword and puts it in the upper label.
        QTest::mouseClick(w.Find("Lang_Button"), Qt::LeftButton);
        QVERIFY(w.State().LanguageMode == Language::Greek);
        QVERIFY(Entry(w)->text().isEmpty());
        QVERIFY(Entry(w)->hasFocus());
        Enter(w, greek);
        ClickItem(w, 0);
        QCOMPARE(LabelText(w, "Entry_Label"), greek);
        QCOMPARE(LabelText(w, "Trans_Label"), english);
    }

    void languageButtonSwitchesGlyphKeyboardAndEmptiesTheField()
    {
        WindowUnderTest w(testing::BuildFolder(), [](FakePlatform &fake) {
            fake.keyboard.layouts = {{7, "English"}, {9, "Greek"}};
        });
        auto *lang = w.Find<ToolbarButton>("Lang_Button");
        QCOMPARE(lang->Glyph(), w.Find<SvgPicture>("EnImage")->Resource());
        QCOMPARE(w.State().keyboards.englishLayout, LayoutHandle(7));
        QCOMPARE(w.State().keyboards.greekLayout, LayoutHandle(9));
        TypeKeys(w, "tax");
        w.fake.keyboard.activations.clear();
        QTest::mouseClick(lang, Qt::LeftButton);
        QCOMPARE(lang->Glyph(), w.Find<SvgPicture>("GrImage")->Resource());
        QVERIFY(Entry(w)->text().isEmpty());
        QVERIFY(w.State().listItems.empty());
        QCOMPARE(w.fake.keyboard.active, LayoutHandle(9));
        QTest::mouseClick(lang, Qt::LeftButton);
        QCOMPARE(lang->Glyph(), w.Find<SvgPicture>("EnImage")->Resource());
        QCOMPARE(w.fake.keyboard.active, LayoutHandle(7));
        // With a Greek layout the keys stay as the keyboard gives them.
        QTest::mouseClick(lang, Qt::LeftButton);
        TypeKeys(w, "fo");
        QCOMPARE(Entry(w)->text(), QStringLiteral("fo"));
    }

    void latinKeysTypeGreekWhereNoGreekLayoutExists()
    {
        WindowUnderTest w; // the fake keyboard has no layouts at all
        QTest::mouseClick(w.Find("Lang_Button"), Qt::LeftButton);
        QVERIFY(w.State().LanguageMode == Language::Greek);
        TypeKeys(w, "f;orow");
        QCOMPARE(Entry(w)->text(), Utf("φόρος"));
        QVERIFY(w.State().LanguageMode == Language::Greek);
        QVERIFY(!w.State().listItems.empty());
        QCOMPARE(ToQString(w.State().listItems[0]).left(5).toLower(), Utf("φόρος"));

        // In English mode the keys are Latin.
        QTest::mouseClick(w.Find("Lang_Button"), Qt::LeftButton);
        TypeKeys(w, "tax");
        QCOMPARE(Entry(w)->text(), QStringLiteral("tax"));
    }

    void modifyAndDeleteFollowTheEntryShown()
    {
        // A program folder with the demo dictionary and one entry of the reader's own.
        QTemporaryDir folder;
        const std::filesystem::path program = folder.path().toStdString();
        std::filesystem::copy(testing::BuildFolder() / "data", program / "data");
        ProgramPaths paths;
        paths.programFolder = program;
        SetCustomPaths(paths, program.string());
        EntryIndex index;
        std::vector<std::string> refs;
        LoadEntryIndex(paths, index, refs);
        const EditStatus inserted = InsertEntry(
            paths, index, {"Zeta own entry", ToCp1253(Utf("Ζήτα δική μου")), "My own text."},
            RealFileSystem());
        QVERIFY2(inserted.ok(), inserted.message.c_str());

        WindowUnderTest w(program);
        auto *modify = w.Find<QAction>("ModifyEntryItem");
        auto *remove = w.Find<QAction>("DeleteEntryItem");
        QVERIFY(!modify->isEnabled());
        QVERIFY(!remove->isEnabled());
        TypeKeys(w, "tax");
        QVERIFY(modify->isEnabled());
        QVERIFY(!remove->isEnabled());
        Entry(w)->clear();
        QVERIFY(!modify->isEnabled());
        TypeKeys(w, "zeta own entry");
        QCOMPARE(ItemText(w, 0), QStringLiteral("Zeta own entry *"));
        ClickItem(w, 0);
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Zeta own entry"));
        QVERIFY(modify->isEnabled());
        QVERIFY(remove->isEnabled());
        QVERIFY(w.Find<QTextEdit>("Description_Text")->toPlainText().contains("My own text."));
        QCOMPARE(w.Find<QMenu>("CustomEntriesMenu")->actions().size(), 9); // 4, a line, 4
    }

    // ---- History ----

    void backAndForwardWalkTheHistory()
    {
        WindowUnderTest w;
        for (const char *headword : {"tax", "inflation", "arbitrage"}) {
            Entry(w)->clear();
            TypeKeys(w, headword);
        }
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Arbitrage"));
        auto *prevMenu = w.Find<QMenu>("PrevMenu");
        auto *nextMenu = w.Find<QMenu>("NextMenu");
        QCOMPARE(prevMenu->actions().size(), 2);
        QCOMPARE(prevMenu->actions()[0]->text(), QStringLiteral("Inflation"));

        QTest::mouseClick(w.Find("Prev_Button"), Qt::LeftButton);
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Inflation"));
        QCOMPARE(Entry(w)->text(), QStringLiteral("Inflation"));
        QCOMPARE(prevMenu->actions().size(), 1);
        QCOMPARE(prevMenu->actions()[0]->text(), QStringLiteral("Tax"));
        QCOMPARE(nextMenu->actions().size(), 1);
        QCOMPARE(nextMenu->actions()[0]->text(), QStringLiteral("Arbitrage"));

        QTest::mouseClick(w.Find("Next_Button"), Qt::LeftButton);
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Arbitrage"));
        QVERIFY(nextMenu->actions().isEmpty());
        QCOMPARE(prevMenu->actions().size(), 2);

        // Forward with nothing ahead does nothing.
        QTest::mouseClick(w.Find("Next_Button"), Qt::LeftButton);
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Arbitrage"));
    }

    void historyMenusOpenUnderTheirButtonsAndJump()
    {
        WindowUnderTest w;
        // Nothing to go back or forward to: the four controls say so, and an empty menu that
        // is asked to open anyway stays shut (and opens later, once it holds items).
        for (const char *name :
             {"Prev_Button", "PrevMenu_Button", "Next_Button", "NextMenu_Button"})
            QVERIFY2(!w.Find(name)->isEnabled(), name);
        w.window->PrevMenu_ButtonClick();
        QVERIFY(!w.Find<QMenu>("PrevMenu")->isVisible());
        for (const char *headword : {"tax", "inflation", "arbitrage"}) {
            Entry(w)->clear();
            TypeKeys(w, headword);
        }
        QTest::mouseClick(w.Find("Prev_Button"), Qt::LeftButton);
        auto *prevMenu = w.Find<QMenu>("PrevMenu");
        QTest::mouseClick(w.Find("PrevMenu_Button"), Qt::LeftButton);
        QVERIFY(prevMenu->isVisible());
        QWidget *back = w.Find("Prev_Button");
        const QPoint expected(w.window->x() + back->x() + 4,
                              w.window->y() + back->y() + back->height() + 22);
        QCOMPARE(prevMenu->pos(), expected);
        prevMenu->hide();
        QTest::mouseClick(w.Find("PrevMenu_Button"), Qt::LeftButton); // again and again
        QVERIFY(prevMenu->isVisible());
        QVERIFY(w.Find("Next_Button")->isEnabled());
        prevMenu->actions()[0]->trigger(); // "Tax"
        prevMenu->hide();
        QTRY_COMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Tax"));
        QVERIFY(w.Find<QMenu>("NextMenu")->actions().isEmpty()); // a menu jump empties it

        // NextMenu also opens with a right click on its button.
        QTest::mouseClick(w.Find("Prev_Button"), Qt::LeftButton);
        auto *nextMenu = w.Find<QMenu>("NextMenu");
        QCOMPARE(nextMenu->actions().size(), 1);
        QWidget *nextMenuButton = w.Find("NextMenu_Button");
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(3, 3),
                                     nextMenuButton->mapToGlobal(QPoint(3, 3)));
        QApplication::sendEvent(nextMenuButton, &rightClick);
        QVERIFY(nextMenu->isVisible());
        nextMenu->actions()[0]->trigger();
        nextMenu->hide();
        QTRY_COMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Tax"));
        QVERIFY(nextMenu->actions().isEmpty());
        QVERIFY(!w.Find("Next_Button")->isEnabled());
        QVERIFY(!w.Find("NextMenu_Button")->isEnabled());
    }

    void keyboardOpensEveryListAndShowsWhereTheFocusIs()
    {
        WindowUnderTest w;
        auto *ring = w.Find("FocusRing");
        TypeKeys(w, "taxat"); // one item, not shown yet
        QCOMPARE(ring->geometry(), w.Find("Panel2")->geometry().adjusted(-2, -2, 2, 2));
        QVERIFY(ring->isVisible());
        QVERIFY(LabelText(w, "Entry_Label").isEmpty());
        QTest::keyClick(Entry(w), Qt::Key_Down);
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Taxation"));
        QVERIFY(List(w)->hasFocus());
        QCOMPARE(ring->geometry(), List(w)->geometry().adjusted(-2, -2, 2, 2));

        // Return on the list shows the selected item; the lookup does not run again.
        Entry(w)->clear();
        TypeKeys(w, "deflat");
        List(w)->setFocus();
        QTest::keyClick(List(w), Qt::Key_Down);
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Deflationary spiral"));
        QTest::keyClick(List(w), Qt::Key_Up, Qt::NoModifier);
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Deflation"));
        const size_t back = w.State().PrevMenu.size();
        QTest::keyClick(List(w), Qt::Key_Return); // shown already: nothing changes
        QCOMPARE(List(w)->model()->rowCount(), 2);
        QCOMPARE(w.State().PrevMenu.size(), back);
        w.window->WholeLex_ButtonClick(); // nothing selected now
        List(w)->setFocus();
        QTest::keyClick(List(w), Qt::Key_End);
        QTest::keyClick(List(w), Qt::Key_Return);
        QCOMPARE(LabelText(w, "Entry_Label"), ItemText(w, List(w)->model()->rowCount() - 1));
        QVERIFY(List(w)->model()->rowCount() > 2);

        // Tab walks only controls that show their focus.
        Entry(w)->setFocus();
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus == List(w) || focus == Entry(w) || focus == w.Find("Description_Text"));
            QVERIFY(ring->isVisible());
        }
    }

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::MainLexTest)
#include "main_lex_test.moc"
