// Figures, quick translation, staying on top and exit on the window, under the offscreen
// platform with the recording fakes and the demo dictionary.
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "dialogs/copyright_form.h"
#include "dialogs/dummy_frm.h"
#include "dialogs/fig_form.h"
#include "dialogs/pictures.h"
#include "dialogs/text_convert.h"
#include "main/print_document.h"
#include "main/ui/document_window.h"
#include "main/ui/print_support.h"
#include "richtext/qt/rtf_writer.h"
#include "richtext/qt/text_document_sink.h"

#include <QLabel>
#include <QListView>
#include <QTemporaryDir>
#include <QTextCursor>

#include <fstream>

namespace termdex {

using testing::AnswerDialog;
using testing::BareProgramFolder;
using testing::Click;
using testing::Utf;
using testing::WindowUnderTest;

class WindowExtrasTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing::StartWindowTests(m_home); }

    // ---- Figures ----

    void selectingAReferenceShowsItsFigureOverTheWindow()
    {
        WindowUnderTest w;
        TypeAnew(w, "Supply and demand");
        QTextCursor found = Description(w)->document()->find(Utf("Σχήμα"));
        QVERIFY(!found.isNull());
        bool shown = false;
        QVERIFY(AnswerDialog(
            [&] {
                Description(w)->setTextCursor(found);
                QTRY_VERIFY(shown);
            },
            [&](QDialog *dialog) {
                auto *figure = qobject_cast<TFigForm *>(dialog);
                QVERIFY(figure != nullptr);
                QVERIFY(figure->FigFileName().endsWith(
                    QStringLiteral("content/Fig_Supplyanddemand.bmp")));
                QVERIFY(figure->windowFlags() & Qt::FramelessWindowHint);
                auto *image = figure->findChild<QLabel *>(QStringLiteral("FigImage"));
                auto *panel = figure->findChild<QWidget *>(QStringLiteral("FigPanel"));
                const QSize picture = QImage(figure->FigFileName()).size();
                QCOMPARE(image->size(), picture);
                QCOMPARE(image->pos(), QPoint(2, 2));
                QCOMPARE(panel->geometry(),
                         QRect(0, -1, picture.width() + 4, picture.height() + 4));
                QCOMPARE(figure->size(), panel->size());
                const QPoint centre = figure->frameGeometry().center();
                QVERIFY((centre - w.window->frameGeometry().center()).manhattanLength() <= 2);
                shown = true;
                // A click on the picture closes the window.
                QTest::mouseClick(image, Qt::LeftButton);
            }));
        QVERIFY(shown);
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        // The selection stays as the reader left it.
        QCOMPARE(Description(w)->textCursor().selectedText(), Utf("Σχήμα"));
    }

    void doubleClickingTheReferenceOpensTheFigureWhenTheButtonIsUp()
    {
        WindowUnderTest w;
        TypeAnew(w, "Supply and demand");
        QTextCursor found = Description(w)->document()->find(Utf("Σχήμα"));
        QVERIFY(!found.isNull());
        found.setPosition(found.selectionStart() + 2);
        const QPoint at = Description(w)->cursorRect(found).center();
        QString shown;
        QVERIFY(AnswerDialog(
            [&] {
                // The figure waits for the button to come up.
                QTest::mousePress(Description(w)->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseRelease(Description(w)->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(Description(w)->viewport(), Qt::LeftButton, {}, at);
                testing::RunPostedEvents();
                QVERIFY(QApplication::activeModalWidget() == nullptr);
                QTest::mouseRelease(Description(w)->viewport(), Qt::LeftButton, {}, at);
                QTRY_VERIFY(!shown.isEmpty());
            },
            [&](QDialog *dialog) {
                shown = qobject_cast<TFigForm *>(dialog)->FigFileName();
                QTest::mouseClick(dialog, Qt::LeftButton);
            }));
        QVERIFY(shown.endsWith(QStringLiteral("Fig_Supplyanddemand.bmp")));
        QCOMPARE(Description(w)->textCursor().selectedText(), Utf("Σχήμα"));
    }

    void ordinarySelectionsAndMissingFiguresShowNothing()
    {
        WindowUnderTest w;
        TypeAnew(w, "Supply and demand");
        QTextCursor word = Description(w)->document()->find(Utf("όπως"));
        QVERIFY(!word.isNull());
        QVERIFY(!AnswerDialog(
            [&] {
                Description(w)->setTextCursor(word);
                testing::RunPostedEvents();
            },
            [](QDialog *dialog) { dialog->reject(); }));

        BareProgramFolder bare;
        bare.Write("content/fil.tbo", "");
        WindowUnderTest other(bare.Folder());
        TypeAnew(other, "Supply and demand");
        QTextCursor reference = Description(other)->document()->find(Utf("Σχήμα"));
        QVERIFY(!reference.isNull());
        QVERIFY(!AnswerDialog(
            [&] {
                Description(other)->setTextCursor(reference);
                testing::RunPostedEvents();
            },
            [](QDialog *dialog) { dialog->reject(); }));
        // A file that is no picture is not shown either.
        bare.Write("content/Fig_Supplyanddemand.bmp", "not a bitmap");
        Description(other)->setTextCursor(QTextCursor(Description(other)->document()));
        QVERIFY(!AnswerDialog(
            [&] {
                Description(other)->setTextCursor(reference);
                testing::RunPostedEvents();
            },
            [](QDialog *dialog) { dialog->reject(); }));
    }

    void figureWindowClosesOnAClickOnItsPanel()
    {
        QWidget owner;
        owner.resize(600, 400);
        owner.show();
        TFigForm figure(&owner);
        figure.SetFigFileName(QString::fromStdString(
            (testing::BuildFolder() / "content/Fig_Laffercurve.bmp").string()));
        bool closedByClick = false;
        QVERIFY(AnswerDialog([&] { closedByClick = figure.exec() == QDialog::Accepted; },
                             [](QDialog *dialog) {
                                 QTest::mouseClick(
                                     dialog->findChild<QWidget *>(QStringLiteral("FigPanel")),
                                     Qt::LeftButton, {}, QPoint(1, 1));
                             }));
        QVERIFY(closedByClick);

        // A file that is gone: the design size and an empty black panel.
        TFigForm empty(&owner);
        empty.SetFigFileName(QStringLiteral("/nowhere/Fig_x.bmp"));
        QVERIFY(AnswerDialog(
            [&] { empty.exec(); },
            [](QDialog *dialog) {
                QCOMPARE(dialog->size(), QSize(688, 446));
                QVERIFY(dialog->findChild<QLabel *>(QStringLiteral("FigImage"))->pixmap().isNull());
                QTest::mouseClick(dialog, Qt::LeftButton);
            }));
    }

    // ---- Quick translation ----

    void toggleShowsTheModeAndLeavesTheClipboard()
    {
        WindowUnderTest w(testing::BuildFolder(),
                          [](FakePlatform &fake) { fake.clipboard.text = "kept by the reader"; });
        auto *button = w.Find<ToolbarButton>("AutoTranslate_Button");
        TypeAnew(w, "Arbitrage");
        Click(button);
        QCOMPARE(QCoreApplication::applicationName(), Utf("Γρήγορη Μετάφραση - Termdex"));
        QCOMPARE(w.window->windowTitle(), Utf("Termdex - Γρήγορη Μετάφραση"));
        QCOMPARE(button->toolTip(), Utf("Τερματισμός Γρήγορης Μετάφρασης"));
        QCOMPARE(button->Glyph(), w.Find<SvgPicture>("CancelAutoTrImage")->Resource());
        // Nothing was pasted and the reader's clipboard is as it was.
        QCOMPARE(Entry(w)->text(), QStringLiteral("Arbitrage"));
        QCOMPARE(w.fake.clipboard.text, std::string("kept by the reader"));
        QCOMPARE(w.fake.clipboard.notices, 0);
        QVERIFY(w.fake.clipboard.Watched());

        Click(button);
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("Termdex"));
        QCOMPARE(w.window->windowTitle(), QStringLiteral("Termdex"));
        QCOMPARE(button->toolTip(), Utf("Γρήγορη Μετάφραση"));
        QCOMPARE(button->Glyph(), w.Find<SvgPicture>("AutoTrImage")->Resource());
        QVERIFY(!w.fake.clipboard.Watched());
        w.fake.clipboard.CopyFromOtherProgram("Bond");
        QCOMPARE(Entry(w)->text(), QStringLiteral("Arbitrage"));
    }

    void textCopiedElsewhereIsLookedUpAndBringsTheWindowBack()
    {
        WindowUnderTest w;
        TypeAnew(w, "Infl");
        Click(w.Find("AutoTranslate_Button"));
        w.window->showMinimized();
        QTRY_VERIFY(w.window->isMinimized());
        w.fake.clipboard.CopyFromOtherProgram("Arbitrage\r\nsecond line");
        QCOMPARE(Entry(w)->text(), QStringLiteral("Arbitrage"));
        QCOMPARE(w.State().entryLabel, std::string("Arbitrage"));
        QVERIFY(!Description(w)->toPlainText().isEmpty());
        QTRY_VERIFY(!w.window->isMinimized());

        // A picture or files on the clipboard: nothing changes.
        w.fake.clipboard.CopyFromOtherProgram("");
        QCOMPARE(Entry(w)->text(), QStringLiteral("Arbitrage"));
        Click(w.Find("AutoTranslate_Button"));
    }

    void ownCopyIsNotPastedBack()
    {
        WindowUnderTest w;
        TypeAnew(w, "Arbit");
        auto *list = w.Find<QListView>("Entries_List");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(0, 0)).center());
        Click(w.Find("AutoTranslate_Button"));
        Click(w.Find("Copy_Button"));
        QCOMPARE(w.fake.clipboard.text, std::string("Arbitrage"));
        QCOMPARE(Entry(w)->text(), QStringLiteral("Arbit"));
        Click(w.Find("AutoTranslate_Button"));
    }

    void losingActivationMinimisesOnlyWhileTheModeIsOn()
    {
        WindowUnderTest w;
        emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
        testing::RunPostedEvents();
        QVERIFY(!w.window->isMinimized());
        Click(w.Find("AutoTranslate_Button"));
        emit qGuiApp->applicationStateChanged(Qt::ApplicationInactive);
        QTRY_VERIFY(w.window->isMinimized());
        Click(w.Find("AutoTranslate_Button"));
    }

    void closingTheWindowStopsTheClipboardNotices()
    {
        WindowUnderTest w;
        Click(w.Find("AutoTranslate_Button"));
        QVERIFY(w.fake.clipboard.Watched());
        w.window.reset();
        QVERIFY(!w.fake.clipboard.Watched());
        w.fake.clipboard.CopyFromOtherProgram("Bond"); // reaches nobody
        QCoreApplication::setApplicationName(QStringLiteral("Termdex"));
    }

    // ---- Staying on top, exit ----

    void pinTogglesStayingOnTop()
    {
        WindowUnderTest w;
        QVERIFY(!(w.window->windowFlags() & Qt::WindowStaysOnTopHint));
        Click(w.Find("Pin_Button"));
        QVERIFY(w.window->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(w.window->isVisible());
        Click(w.Find("Pin_Button"));
        QVERIFY(!(w.window->windowFlags() & Qt::WindowStaysOnTopHint));
        QVERIFY(w.window->isVisible());
    }

    void exitClosesTheWindow()
    {
        WindowUnderTest w;
        Click(w.Find("Exit_Button"));
        QTRY_VERIFY(!w.window->isVisible());
    }

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::WindowExtrasTest)
#include "window_extras_test.moc"
