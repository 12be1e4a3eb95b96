#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "custom/custom_edits.h"
#include "custom/ui/insert_entry_frm.h"
#include "data/paths.h"
#include "dialogs/copyright_form.h"
#include "dialogs/dummy_frm.h"
#include "dialogs/message_form.h"
#include "dialogs/search_form.h"
#include "main/ui/headword_list.h"
#include "main/ui/pictures.h"
#include "main/ui/program.h"
#include "main/ui/text_convert.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextEdit>

#include <cmath>

namespace termdex {

using testing::WhenDialogOpens;
using testing::WindowUnderTest;

namespace {

QString Utf(const char *utf8) { return QString::fromUtf8(utf8); }

QLineEdit *Entry(const WindowUnderTest &w) { return w.Find<QLineEdit>("Entry_Text"); }
QLineEdit *Entry(const ProgramForms &forms)
{
    return forms.mainLex->findChild<QLineEdit *>(QStringLiteral("Entry_Text"));
}
QListView *List(const WindowUnderTest &w) { return w.Find<QListView>("Entries_List"); }
QString LabelText(const WindowUnderTest &w, const char *name)
{
    return w.Find<QLabel>(name)->text();
}
QString ItemText(const WindowUnderTest &w, int row)
{
    return List(w)->model()->index(row, 0).data().toString();
}

// Types ASCII keys into the entry field.
void Type(WindowUnderTest &w, const char *keys)
{
    Entry(w)->setFocus();
    QTest::keyClicks(Entry(w), QLatin1String(keys));
}

// Types text as an input method would (for Greek, which the test keyboard lacks).
void Enter(WindowUnderTest &w, const QString &text)
{
    Entry(w)->setFocus();
    Entry(w)->insert(text);
}

void ClickItem(WindowUnderTest &w, int row)
{
    QListView *list = List(w);
    const QRect item = list->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
}

// The contrast ratio of two colours as the accessibility guidelines define it (1 to 21).
double Contrast(const QColor &a, const QColor &b)
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

// A dark system palette, as a desktop's dark theme gives it.
QPalette DarkPalette()
{
    QPalette dark(QColor(49, 54, 59), QColor(35, 38, 41));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                            QPalette::BrightText, QPalette::HighlightedText})
        dark.setColor(role, QColor(252, 252, 252));
    dark.setColor(QPalette::Base, QColor(27, 30, 32));
    dark.setColor(QPalette::Highlight, QColor(61, 174, 233));
    return dark;
}

void MoveMouseOver(QWidget *widget, QPoint at = {-1, -1})
{
    QTest::mouseMove(widget, at == QPoint(-1, -1) ? widget->rect().center() : at);
}

// Keeps a screenshot in the build folder's artefacts.
void SaveArtefact(const QPixmap &shot, const char *name)
{
    const std::filesystem::path artefacts = testing::BuildFolder() / "artefacts";
    std::filesystem::create_directories(artefacts);
    QVERIFY(shot.save(QString::fromStdString((artefacts / name).string())));
}

// A point of the window's own background in the strip below the description: the labels
// there are as large as the machine's font makes them.
QPoint BottomStripPoint(const WindowUnderTest &w)
{
    const int y = w.window->height() - 3;
    for (int x = 300; x < w.window->width(); ++x)
        if (w.window->childAt(x, y) == nullptr)
            return {x, y};
    return {300, y};
}

} // namespace

class MainLexTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing::UseScratchHome(m_home);
        QVERIFY2(std::filesystem::exists(testing::BuildFolder() / "data" / "Termdex.tbo"),
                 "the demo dictionary is missing from the build folder");
    }

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
        Type(w, "tax");
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
        Type(w, "a");
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
        Type(w, "b");
        const int count = List(w)->model()->rowCount();
        QVERIFY(count > 30);
        QCOMPARE(List(w)->currentIndex().row(), 0);
        QTest::keyClick(Entry(w), Qt::Key_Up); // already at the top: nothing
        QCOMPARE(List(w)->currentIndex().row(), 0);
        QVERIFY(Entry(w)->hasFocus());

        QTest::keyClick(Entry(w), Qt::Key_Down);
        QCOMPARE(List(w)->currentIndex().row(), 1);
        QVERIFY(List(w)->hasFocus());
        QCOMPARE(w.State().LastFocusName, std::string("ENTRIES_LIST"));
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
        Type(w, "infl");
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
        Type(w, "tax");
        ClickItem(w, 2);
        const QString english = ItemText(w, 2);
        QCOMPARE(LabelText(w, "Entry_Label"), english);
        const QString greek = LabelText(w, "Trans_Label");
        QVERIFY(!greek.isEmpty());
        QCOMPARE(w.State().LastFocusName, std::string("ENTRIES_LIST"));

        // Greek mode lists the Greek headword and puts it in the upper label.
        QTest::mouseClick(w.Find("Lang_Button"), Qt::LeftButton);
        QVERIFY(w.State().LanguageMode);
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
        Type(w, "tax");
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
        Type(w, "fo");
        QCOMPARE(Entry(w)->text(), QStringLiteral("fo"));
    }

    void latinKeysTypeGreekWhereNoGreekLayoutExists()
    {
        WindowUnderTest w; // the fake keyboard has no layouts at all
        QTest::mouseClick(w.Find("Lang_Button"), Qt::LeftButton);
        QVERIFY(w.State().LanguageMode);
        Type(w, "f;orow");
        QCOMPARE(Entry(w)->text(), Utf("φόρος"));
        QVERIFY(w.State().LanguageMode);
        QVERIFY(!w.State().listItems.empty());
        QCOMPARE(ToQString(w.State().listItems[0]).left(5).toLower(), Utf("φόρος"));

        // In English mode the keys are Latin.
        QTest::mouseClick(w.Find("Lang_Button"), Qt::LeftButton);
        Type(w, "tax");
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
            paths, index, {"Zeta own entry", ToCp1253(Utf("Ζήτα δική μου")), "My own text."});
        QVERIFY2(inserted.ok(), inserted.message.c_str());

        WindowUnderTest w(program);
        auto *modify = w.Find<QAction>("ModifyEntryItem");
        auto *remove = w.Find<QAction>("DeleteEntryItem");
        QVERIFY(!modify->isEnabled());
        QVERIFY(!remove->isEnabled());
        Type(w, "tax");
        QVERIFY(modify->isEnabled());
        QVERIFY(!remove->isEnabled());
        Entry(w)->clear();
        QVERIFY(!modify->isEnabled());
        Type(w, "zeta own entry");
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
            Type(w, headword);
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
            Type(w, headword);
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
        Type(w, "taxat"); // one item, not shown yet
        QCOMPARE(ring->geometry(), w.Find("Panel2")->geometry().adjusted(-2, -2, 2, 2));
        QVERIFY(ring->isVisible());
        QVERIFY(LabelText(w, "Entry_Label").isEmpty());
        QTest::keyClick(Entry(w), Qt::Key_Down);
        QCOMPARE(LabelText(w, "Entry_Label"), QStringLiteral("Taxation"));
        QVERIFY(List(w)->hasFocus());
        QCOMPARE(ring->geometry(), List(w)->geometry().adjusted(-2, -2, 2, 2));

        // Return on the list shows the selected item; the lookup does not run again.
        Entry(w)->clear();
        Type(w, "deflat");
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

    // ---- Dialogs ----

    void criteriaDialogRunsTheLookupOfItsCriteria()
    {
        WindowUnderTest w;
        Type(w, "inflation");
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
            QVERIFY(dialog->findChild<QWidget *>("DescrSearch_Edit")->hasFocus());
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
        Type(w, "a");
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
        Type(w, "tax");

        // The whole description, with its formatting, after clicking into it.
        description->setFocus();
        QCOMPARE(w.State().LastFocusName, std::string("DESCRIPTION_TEXT"));
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
        QCOMPARE(w.State().LastFocusName, std::string("ENTRY_TEXT"));
        QTRY_VERIFY(Entry(w)->selectedText() == QStringLiteral("Inflation"));

        // Pasting again over it, while the field has the focus.
        w.fake.clipboard.CopyFromOtherProgram("Φόρος");
        w.window->Paste_ButtonClick();
        QVERIFY(w.State().LanguageMode);
        QCOMPARE(Entry(w)->text(), Utf("Φόρος"));
        QCOMPARE(LabelText(w, "Entry_Label"), ItemText(w, 0)); // the Greek fold's exact match
        QTRY_COMPARE(Entry(w)->selectedText(), Utf("Φόρος"));
    }

    // ---- Toolbar hover ----

    void hoverRaisesOneGroupAtATime()
    {
        WindowUnderTest w;
        for (const HoverGroup &group : ToolbarHoverGroups())
            for (const HoverGroupButton &button : group.buttons)
                QCOMPARE(w.Find(button.name)->geometry(), button.normal);
        QCOMPARE(w.Find("Pin_Button")->geometry(), QRect(520, 11, 25, 22));
        QCOMPARE(w.Find("NextMenu_Button")->width(), 13);

        MoveMouseOver(w.Find("Copy_Button"));
        QCOMPARE(w.Find("Copy_Button")->geometry(), QRect(163, 1, 38, 41));
        // Raised in front: the pixel it shares with Paste_Button is its own.
        QCOMPARE(w.window->childAt(200, 20), w.Find("Copy_Button"));
        MoveMouseOver(w.Find("Paste_Button"));
        QCOMPARE(w.Find("Copy_Button")->geometry(), QRect(164, 2, 36, 39));
        QCOMPARE(w.Find("Paste_Button")->geometry(), QRect(199, 1, 38, 41));

        // A history button and its list button rise together (enabled: there is a way back).
        Type(w, "tax");
        Type(w, "ation");
        MoveMouseOver(w.Find("Prev_Button"), {5, 20});
        QCOMPARE(w.Find("Prev_Button")->geometry(), QRect(59, 1, 38, 41));
        QCOMPARE(w.Find("PrevMenu_Button")->geometry(), QRect(97, 1, 15, 41));
        QCOMPARE(w.Find("Paste_Button")->geometry(), QRect(200, 2, 36, 39));
        MoveMouseOver(w.Find("PrevMenu_Button"));
        QCOMPARE(w.Find("Prev_Button")->geometry(), QRect(59, 1, 38, 41));

        // The description reports no movement: the group stays raised ...
        MoveMouseOver(w.Find("Description_Text"));
        QCOMPARE(w.Find("Prev_Button")->y(), 1);
        // ... until the list or the window's background.
        MoveMouseOver(List(w));
        QCOMPARE(w.Find("Prev_Button")->geometry(), QRect(60, 2, 36, 39));
        MoveMouseOver(w.Find("Pin_Button"));
        QCOMPARE(w.Find("Pin_Button")->geometry(), QRect(519, 10, 27, 24));
        QTest::mouseMove(w.window.get(), BottomStripPoint(w));
        QCOMPARE(w.Find("Pin_Button")->geometry(), QRect(520, 11, 25, 22));

        // The routine itself: 1..14 raise, 0 lowers, -1 puts every button in place.
        w.window->HighlightToolbarButton(14);
        QCOMPARE(w.Find("Exit_Button")->geometry(), QRect(546, 1, 47, 41));
        w.window->HighlightToolbarButton(1);
        QCOMPARE(w.Find("Exit_Button")->geometry(), QRect(547, 2, 45, 39));
        QCOMPARE(w.Find("Lang_Button")->geometry(), QRect(3, 1, 51, 41));
        w.window->HighlightToolbarButton(1); // raised already: unchanged
        QCOMPARE(w.Find("Lang_Button")->geometry(), QRect(3, 1, 51, 41));
        w.window->HighlightToolbarButton(0);
        QCOMPARE(w.Find("Lang_Button")->geometry(), QRect(4, 2, 49, 39));
        w.Find("Help_Button")->move(478, 30); // out of both states: left alone by 12 ...
        w.window->HighlightToolbarButton(12);
        QCOMPARE(w.Find("Help_Button")->pos(), QPoint(478, 30));
        w.window->HighlightToolbarButton(-1); // ... but not by -1
        QCOMPARE(w.Find("Help_Button")->geometry(), QRect(478, 2, 38, 39));
    }

    // ---- Resizing ----

    void resizingFollowsTheLayoutRules()
    {
        WindowUnderTest w;
        Type(w, "tax");
        w.window->resize(800, 500);
        QListView *list = List(w);
        QWidget *description = w.Find("Description_Text");
        // The list shows whole items (2-pixel frame) and the description ends where it ends.
        QCOMPARE((list->height() - 4) % kListItemHeight, 0);
        QVERIFY(list->y() + list->height() > 470);
        QCOMPARE(description->y() + description->height(), list->y() + list->height());
        QCOMPARE(description->x() + description->width(), 800 - 15);
        QCOMPARE(w.Find("Line_Image")->width(), 605 + 196);
        QCOMPARE(w.Find("CopyrightLabel")->y(), 304 + 179);
        QCOMPARE(w.Find("Entry_Label")->width(), description->width());
        QCOMPARE(w.Find("Trans_Label")->geometry(), QRect(241, 75, description->width(), 32));
        // The toolbar stays.
        QCOMPARE(w.Find("Exit_Button")->geometry(), QRect(547, 2, 45, 39));

        // Back to narrow: the banner, when shown, is centred over the description, and clipped
        // to its column once the description is the narrower.
        Entry(w)->clear();
        w.window->resize(700, 300);
        QWidget *banner = w.Find("Medical_Image");
        QCOMPARE(banner->geometry(),
                 QRect(description->x() + (description->width() - 329) / 2, 48, 329, 57));
        w.window->resize(500, 300);
        QCOMPARE(description->x() + description->width(), 500 - 15);
        QCOMPARE(banner->geometry(), QRect(241, 48, description->width(), 57));
    }

    // Every size is laid out from scratch: shrinking and growing back, in cycles or in 2-pixel
    // steps, below the minimum size or beyond half the screen, gives the first layout again.
    void resizingAnySequenceGivesTheSameLayoutAndNothingOverlaps()
    {
        WindowUnderTest w;
        Type(w, "inflation");
        const QStringList names = {"Panel2",        "Entries_List",   "Description_Text",
                                   "InstallLabel",  "CopyrightLabel", "VorantisImage",
                                   "Vorantis_Label"};
        auto layout = [&] {
            QList<QRect> all;
            for (QWidget *child : w.window->findChildren<QWidget *>())
                if (!child->isWindow())
                    all << child->geometry();
            return all;
        };
        auto checkNoOverlap = [&](QSize size) {
            for (int i = 0; i < names.size(); ++i)
                for (int j = i + 1; j < names.size(); ++j) {
                    const QRect a = w.Find(names[i].toLatin1())->geometry();
                    const QRect b = w.Find(names[j].toLatin1())->geometry();
                    QVERIFY2(a.isEmpty() || b.isEmpty() || !a.intersects(b),
                             qPrintable(QStringLiteral("%1 and %2 at %3x%4")
                                            .arg(names[i], names[j])
                                            .arg(size.width())
                                            .arg(size.height())));
                }
        };
        const QList<QRect> designed = layout();
        const int designListHeight = List(w)->height();
        std::vector<QSize> sizes;
        for (int cycle = 0; cycle < 14; ++cycle)
            sizes.insert(sizes.end(), {QSize(604, 358), QSize(604, 321)});
        for (int h = 321; h <= 361; h += 2)
            sizes.emplace_back(604 + (h - 321), h);
        sizes.insert(sizes.end(), {QSize(900, 620), QSize(1100, 900), QSize(244, 170),
                                   QSize(120, 60), QSize(300, 200), QSize(604, 321)});
        for (const QSize size : sizes) {
            w.window->resize(size);
            checkNoOverlap(size);
            if (QTest::currentTestFailed())
                return;
            if (size == QSize(900, 620)) {
                QVERIFY(List(w)->height() > designListHeight);
                QWidget *description = w.Find("Description_Text");
                QWidget *publisher = w.Find("Vorantis_Label");
                QVERIFY(publisher->y() >= description->y() + description->height());
                QVERIFY(publisher->x() + publisher->width() <= 900 - 4);
                QVERIFY(publisher->y() + publisher->height() <= 620);
            }
        }
        QCOMPARE(layout(), designed);
    }

    void narrowWindowPutsTheEntryIntoTheListTooltip()
    {
        WindowUnderTest w;
        w.window->resize(244, 300);
        QWidget *description = w.Find("Description_Text");
        QCOMPARE(description->width(), 0);
        Type(w, "tax");
        const QString hint = List(w)->toolTip();
        QVERIFY(hint.startsWith(Utf("Tax [Φόρος]\r\n")));
        QVERIFY(hint.contains(Utf("κράτος")));
        QCOMPARE(List(w)->toolTipDuration(), 10000);
        // Moving over the list keeps that hint.
        MoveMouseOver(List(w)->viewport(), {10, 5});
        QCOMPARE(List(w)->toolTip(), hint);

        // Wide again: an item wider than the list shows itself as the hint, a short one none.
        w.window->resize(604, 321);
        Entry(w)->clear();
        Type(w, "a");
        MoveMouseOver(List(w)->viewport(), {12, 6});
        QVERIFY(List(w)->toolTip().isEmpty());
        w.window->WholeLex_ButtonClick();
        QFont canvas = w.Find("Entry_Label")->font();
        for (int row = 0; row < 13; ++row) {
            const QPoint at(10 + row % 2, row * kListItemHeight + 8);
            MoveMouseOver(List(w)->viewport(), at);
            const QString text = ItemText(w, row);
            const bool wide =
                QFontMetrics(canvas).horizontalAdvance(text) > List(w)->width() ||
                static_cast<EntriesListView *>(List(w))->IsElided(List(w)->model()->index(row, 0));
            QCOMPARE(List(w)->toolTip(), wide ? text : QString());
        }

        // A long item ends in "…" and keeps its whole text in the hint, until the next lookup.
        Entry(w)->clear();
        Type(w, "london");
        QCOMPARE(List(w)->textElideMode(), Qt::ElideRight);
        QVERIFY(static_cast<EntriesListView *>(List(w))->IsElided(List(w)->model()->index(0, 0)));
        MoveMouseOver(List(w)->viewport(), {10, 6});
        QCOMPARE(List(w)->toolTip(), QStringLiteral("London Interbank Offered Rate (LIBOR)"));
        Type(w, " ");
        QVERIFY(List(w)->toolTip().isEmpty());
        // So does the narrow window's summary, which ends in no blank line.
        w.window->resize(244, 300);
        Entry(w)->clear();
        Type(w, "tax");
        QVERIFY(!List(w)->toolTip().endsWith(QLatin1Char('\n')));
        Type(w, "a");
        QVERIFY(List(w)->toolTip().isEmpty());
    }

    // ---- Colours ----

    // A control with a forced background forces its text and selection colours too, so a dark
    // system palette leaves every text readable (4.5:1 at least).
    void forcedBackgroundsKeepTheirTextReadableOnADarkPalette()
    {
        const QPalette system = QApplication::palette();
        QApplication::setPalette(DarkPalette());
        {
            WindowUnderTest w;
            TInsertEntryFrm editor(w.window.get());
            editor.show();
            QWidget *editorDescription = editor.findChild<QWidget *>("InsertEntry_Descr");
            QWidget *editorHeadword = editor.findChild<QWidget *>("InsertEntry_Text");
            for (QWidget *control :
                 {static_cast<QWidget *>(Entry(w)), w.Find("Entries_List"),
                  w.Find("Description_Text"), editorDescription, editorHeadword}) {
                const QPalette p = control->palette();
                for (const auto group : {QPalette::Active, QPalette::Inactive}) {
                    QVERIFY2(Contrast(p.color(group, QPalette::Text),
                                      p.color(group, QPalette::Base)) >= 4.5,
                             qPrintable(control->objectName()));
                    QVERIFY2(Contrast(p.color(group, QPalette::HighlightedText),
                                      p.color(group, QPalette::Highlight)) >= 4.5,
                             qPrintable(control->objectName()));
                }
            }
            // The about window keeps its light face for its dark texts and links.
            TCopyrightForm about(w.window.get());
            const QPalette face = about.findChild<QWidget *>("CopyrightRTF")->palette();
            QVERIFY(Contrast(Qt::black, face.color(QPalette::Base)) >= 4.5);
            QWidget *site = about.findChild<QWidget *>("SiteLabel");
            QVERIFY(Contrast(site->palette().color(QPalette::WindowText),
                             site->palette().color(QPalette::Window)) >= 4.5);
            // The design's white field and list stay white.
            QCOMPARE(Entry(w)->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(List(w)->palette().color(QPalette::Base), QColor(Qt::white));
            editor.close();
        }
        QApplication::setPalette(system);
    }

    // Every caption on the window's blue (headword, rendering, the bottom bar) is drawn on a
    // background it reads on at 4.5:1 or better, as the pixels on screen show it.
    void captionsOnTheWindowColourReadAtFourAndAHalf()
    {
        WindowUnderTest w;
        Type(w, "Inflation");
        QVERIFY(!LabelText(w, "Trans_Label").isEmpty());
        const QImage shot = w.window->grab().toImage();
        for (const char *name :
             {"Entry_Label", "Trans_Label", "InstallLabel", "CopyrightLabel", "Vorantis_Label"}) {
            const auto *label = w.Find<QLabel>(name);
            if (label->isHidden())
                continue;
            const QPoint corner =
                label->mapTo(w.window.get(), QPoint(1, 1)) * shot.devicePixelRatio();
            const QColor ground = shot.pixelColor(corner);
            QVERIFY2(Contrast(label->palette().color(QPalette::WindowText), ground) >= 4.5, name);
        }
        // The window keeps its own colour around them.
        QCOMPARE(shot.pixelColor(QPoint(237, 70) * shot.devicePixelRatio()), QColor(0, 128, 255));
    }

    // ---- Pictures ----

    void picturesAreDrawnAtEveryPixelRatio()
    {
        for (const char *name : {"auto_translate", "banner",         "cancel_auto_translate",
                                 "copy",           "custom_entries", "descr_search",
                                 "exit",           "help",           "lang_en",
                                 "lang_gr",        "menu_down",      "message_form",
                                 "next",           "paste",          "pin",
                                 "pinakes",        "prev",           "print",
                                 "search",         "search_form",    "vorantis"}) {
            const QString resource =
                QStringLiteral(":/termdex/pictures/%1.svg").arg(QLatin1String(name));
            QVERIFY2(IsValidSvg(resource), name);
            for (qreal ratio : {1.0, 2.0}) {
                QImage image(QSize(40, 40) * ratio, QImage::Format_ARGB32_Premultiplied);
                image.setDevicePixelRatio(ratio);
                image.fill(Qt::transparent);
                QPainter painter(&image);
                PaintSvg(painter, resource, QRectF(0, 0, 40, 40));
                painter.end();
                int drawn = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        drawn += qAlpha(image.pixel(x, y)) > 0;
                QVERIFY2(drawn > 20 * ratio * ratio, name);
            }
        }
    }

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::MainLexTest)
#include "main_lex_test.moc"
