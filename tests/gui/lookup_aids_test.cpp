// What the window offers beyond the list on the demo dictionary: the suggestion line under the
// entry field, links between entries, highlighted search words, and lookups that take capitals,
// punctuation and inflected forms as the reader means them.
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "dialogs/text_convert.h"
#include "lib/folding.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScopeGuard>
#include <QTextBlock>
#include <QTextEdit>

namespace termdex {

using testing::Utf;
using testing::WindowUnderTest;

namespace {

QLabel *SuggestionLine(const WindowUnderTest &w) { return w.Find<QLabel>("Suggestions_Label"); }

// The text as typed: each character one change of the field.
void Type(WindowUnderTest &w, const QString &text)
{
    Entry(w)->setFocus();
    Entry(w)->clear();
    for (QChar c : text)
        Entry(w)->setText(Entry(w)->text() + c);
}

int RecordOf(const WindowUnderTest &w, const char *english)
{
    const EntryIndex &index = w.window->Core().Index();
    for (int r = 1; r <= index.englishCount; ++r)
        if (index.english[r].headword == english)
            return r;
    return 0;
}

// The centre of the first anchor of the description whose text is text, in viewport pixels.
QPoint AnchorPoint(QTextEdit *view, const QString &text)
{
    for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor() && it.fragment().text() == text) {
                QTextCursor cursor(view->document());
                cursor.setPosition(it.fragment().position() + 1);
                return view->cursorRect(cursor).center();
            }
    return {-1, -1};
}

} // namespace

class LookupAidsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing::StartWindowTests(m_home); }

    void typingWhatTheReaderMeansShowsTheEntry()
    {
        WindowUnderTest w;
        struct Row
        {
            const char *typed, *shown;
        };
        for (const Row row : {Row{"φόρος", "Tax"}, Row{"ΠΛΗΘΩΡΙΣΜΟΣ", "Inflation"},
                              Row{"acid-test ratio", "Acid-test ratio"}}) {
            Type(w, Utf(row.typed));
            QCOMPARE(w.State().shownRecord, RecordOf(w, row.shown));
            QVERIFY(SuggestionLine(w)->isHidden());
        }
    }

    void suggestionLineOffersHeadwordsAndGoesAtTheNextKeystroke()
    {
        // A dark desktop's light link colour, which must not reach the line's white.
        const QPalette system = QApplication::palette();
        QPalette dark = system;
        dark.setColor(QPalette::Link, QColor(29, 153, 243));
        QApplication::setPalette(dark);
        auto restore = qScopeGuard([&system] { QApplication::setPalette(system); });
        WindowUnderTest w;
        auto *list = w.Find<QListView>("Entries_List");
        const QRect listBefore = list->geometry();
        Type(w, QStringLiteral("inflatoin"));
        QLabel *line = SuggestionLine(w);
        QVERIFY(line->isVisible());
        QVERIFY(line->text().startsWith(Utf("Μήπως εννοείτε: ")));
        QVERIFY(line->text().contains(QStringLiteral(">Inflation</a>")));
        const QImage shown = line->grab().toImage();
        double link = 1; // the bluest pixels are the link's
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                if (const QColor c = shown.pixelColor(x, y); c.blue() > c.red() + 60)
                    link = std::max(link, testing::Contrast(c, Qt::white));
        QVERIFY2(link >= 4.5, qPrintable(QString::number(link)));
        // The list gives up whole items at its top; its bottom stays.
        QVERIFY(list->geometry().top() >= line->geometry().bottom());
        QCOMPARE(list->geometry().bottom(), listBefore.bottom());
        QCOMPARE((listBefore.height() - list->height()) % 16, 0);

        Type(w, Utf("taxes"));
        QVERIFY(line->text().contains(QStringLiteral(">Tax</a>")));
        Type(w, Utf("πληθωρισμού"));
        QVERIFY(line->text().contains(Utf(">Πληθωρισμός</a>")));

        // A click shows the entry as a history jump; the line goes, the list comes back.
        Type(w, QStringLiteral("Tax"));
        Type(w, QStringLiteral("inflatoin"));
        emit line->linkActivated(QString::number(RecordOf(w, "Inflation")));
        QCOMPARE(w.State().shownRecord, RecordOf(w, "Inflation"));
        QCOMPARE(Entry(w)->text(), QStringLiteral("Inflation"));
        QCOMPARE(w.State().PrevMenu.front().caption, std::string("Tax"));
        QVERIFY(line->isHidden());
        QCOMPARE(list->geometry(), listBefore);

        if (!qEnvironmentVariableIsEmpty("TERMDEX_SCREENSHOTS")) {
            Type(w, Utf("πληθωρισμού"));
            w.window->grab().save(qEnvironmentVariable("TERMDEX_SCREENSHOTS") + "/suggestions.png");
        }
    }

    void linksInADescriptionAreFollowedAsHistoryJumps()
    {
        WindowUnderTest w;
        Type(w, QStringLiteral("Tax"));
        QCOMPARE(w.State().shownRecord, RecordOf(w, "Tax"));
        QTextEdit *view = Description(w);
        const QPoint at = AnchorPoint(view, QStringLiteral("Tax base"));
        QVERIFY(at.x() >= 0);
        QVERIFY(AnchorPoint(view, QStringLiteral("Pigouvian tax")).x() >= 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w.State().shownRecord, RecordOf(w, "Tax base"));
        QCOMPARE(Entry(w)->text(), QStringLiteral("Tax base"));
        QCOMPARE(w.State().PrevMenu.front().caption, std::string("Tax"));
    }

    void fullTextSearchHighlightsEveryWholeWordAndScrollsToTheFirst()
    {
        WindowUnderTest w;
        testing::WhenDialogOpens([](QDialog *dialog) {
            dialog->findChild<QLineEdit *>("DescrSearch_Edit")->insert(Utf("ΦΌΡΟΣ"));
            dialog->findChild<QPushButton *>("BitBtn1")->click();
        });
        w.window->DescrSearch_ButtonClick();
        auto *list = w.Find<QListView>("Entries_List");
        QVERIFY(list->model()->rowCount() > 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        const QList<QTextEdit::ExtraSelection> marks = Description(w)->extraSelections();
        QVERIFY(!marks.isEmpty());
        for (const QTextEdit::ExtraSelection &mark : marks)
            QCOMPARE(FoldGreekLetters(ToCp1253(mark.cursor.selectedText())),
                     ToCp1253(Utf("φορος")));
        QCOMPARE(Description(w)->textCursor().position(), marks.front().cursor.selectionStart());
        // A lookup of the reader's own leaves the descriptions unmarked.
        Type(w, QStringLiteral("Tax"));
        QVERIFY(Description(w)->extraSelections().isEmpty());
    }

    void quickTranslationTakesTheCopiedWordAsMeant()
    {
        WindowUnderTest w;
        QTest::mouseClick(w.Find("AutoTranslate_Button"), Qt::LeftButton);
        w.fake.clipboard.CopyFromOtherProgram("inflation.");
        QCOMPARE(w.State().shownRecord, RecordOf(w, "Inflation"));
        QCOMPARE(Entry(w)->text(), QStringLiteral("inflation"));
        w.fake.clipboard.CopyFromOtherProgram("«πληθωρισμού»");
        QCOMPARE(w.State().shownRecord, RecordOf(w, "Inflation"));
        QCOMPARE(Entry(w)->text(), Utf("Πληθωρισμός"));
        QTest::mouseClick(w.Find("AutoTranslate_Button"), Qt::LeftButton);
    }

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::LookupAidsTest)
#include "lookup_aids_test.moc"
