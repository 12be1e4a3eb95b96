// Printing, figures, quick translation, and the tables, help and about windows on the window,
// under the offscreen platform with the recording fakes and the demo dictionary.
#include "tests/gui/gui_fixture.h"
#include "tests/gui/scratch_home.h"

#include "dialogs/copyright_form.h"
#include "dialogs/dummy_frm.h"
#include "dialogs/fig_form.h"
#include "main/print_document.h"
#include "main/ui/document_window.h"
#include "main/ui/pictures.h"
#include "main/ui/print_support.h"
#include "main/ui/text_convert.h"
#include "richtext/qt/rtf_writer.h"
#include "richtext/qt/text_document_sink.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <fstream>

namespace termdex {

using testing::WindowUnderTest;

namespace {

QString Utf(const char *utf8) { return QString::fromUtf8(utf8); }

QLineEdit *Entry(const WindowUnderTest &w) { return w.Find<QLineEdit>("Entry_Text"); }
QTextEdit *Description(const WindowUnderTest &w) { return w.Find<QTextEdit>("Description_Text"); }

// Types ASCII keys into the entry field; an exact headword shows its entry.
void Type(WindowUnderTest &w, const char *keys)
{
    Entry(w)->setFocus();
    Entry(w)->clear();
    QTest::keyClicks(Entry(w), QLatin1String(keys));
}

void Click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// Answers the modal dialog that act opens, from the event loop it runs; false when none opened.
// Watches only while act runs, so a dialog that never comes leaves nothing behind.
bool AnswerDialog(const std::function<void()> &act, const std::function<void(QDialog *)> &answer)
{
    QWidget *before = QApplication::activeModalWidget();
    bool opened = false;
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (dialog == nullptr || dialog == before)
            return;
        timer.stop();
        opened = true;
        answer(dialog);
    });
    timer.start();
    act();
    timer.stop();
    return opened;
}

// The problem message that act shows: its text, or empty when none came; it is closed.
QString ProblemMessageOf(const std::function<void()> &act)
{
    QString text;
    AnswerDialog(act, [&text](QDialog *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        if (box != nullptr && box->windowTitle() == Utf("Πρόβλημα") &&
            box->icon() == QMessageBox::Warning && box->buttons().size() == 1)
            text = box->text();
        else
            text = QStringLiteral("<not the problem message>");
        dialog->accept();
    });
    return text;
}

// Keeps a screenshot in the build folder's artefacts.
void SaveArtefact(const QPixmap &shot, const char *name)
{
    const std::filesystem::path artefacts = testing::BuildFolder() / "artefacts";
    std::filesystem::create_directories(artefacts);
    QVERIFY(shot.save(QString::fromStdString((artefacts / name).string())));
}

// Runs a program to its end and gives its output.
QByteArray Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return "<" + program.toUtf8() + " did not finish>";
    return process.readAllStandardOutput();
}

// A program folder whose data is the demo's and whose content folder is empty or missing.
struct BareProgramFolder
{
    BareProgramFolder()
    {
        std::filesystem::create_directory_symlink(testing::BuildFolder() / "data",
                                                  Folder() / "data");
    }
    std::filesystem::path Folder() const { return dir.path().toStdString(); }
    void Write(const std::string &relative, const std::string &bytes) const
    {
        std::filesystem::create_directories((Folder() / relative).parent_path());
        std::ofstream(Folder() / relative, std::ios::binary) << bytes;
    }
    QTemporaryDir dir;
};

} // namespace

class WindowExtrasTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testing::UseScratchHome(m_home);
        QVERIFY2(std::filesystem::exists(testing::BuildFolder() / "content" / "fil.tbo"),
                 "the content folder is missing from the build folder");
    }

    // ---- Printing ----

    void printWithoutASelectedItemOpensNoDialog()
    {
        WindowUnderTest w;
        QVERIFY(!AnswerDialog([&] { w.window->Print_ButtonClick(); },
                              [](QDialog *dialog) { dialog->reject(); }));
    }

    void printToPdfHoldsHeaderCellsAndDescription()
    {
        WindowUnderTest w;
        TDummyFrm dummy;
        w.window->SetDummyFrm(&dummy);
        Type(w, "Supply and demand");
        QCOMPARE(w.State().entryLabel, std::string("Supply and demand"));
        const QString rendering = ToQString(w.State().transLabel);
        QVERIFY(!rendering.isEmpty());

        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("entry.pdf"));
        w.window->Printer().setOutputFormat(QPrinter::PdfFormat);
        w.window->Printer().setOutputFileName(pdf);
        QVERIFY(AnswerDialog([&] { Click(w.Find("Print_Button")); },
                             [](QDialog *dialog) {
                                 QCOMPARE(dialog->objectName(), QStringLiteral("PrintDialog1"));
                                 dialog->accept();
                             }));
        QVERIFY(QFileInfo(pdf).size() > 0);
        QCOMPARE(w.window->Printer().docName(), QStringLiteral("Zoveduz: Supply and demand"));

        // The text of the printed pages, its white space made single spaces.
        const QString text = QString::fromUtf8(Run(QStringLiteral("pdftotext"),
                                                   {QStringLiteral("-enc"), QStringLiteral("UTF-8"),
                                                    pdf, QStringLiteral("-")}))
                                 .simplified();
        const QString description = Description(w)->toPlainText().simplified();
        for (const QString &part :
             {ToQString(PrintHeaderLine()), Utf("Λήμμα:"), QStringLiteral("Supply and demand"),
              Utf("Απόδοση:"), rendering, description.left(60), description.right(30)})
            QVERIFY2(text.contains(part), qPrintable(part + QStringLiteral(" in ") + text));
        // The label cell is narrow, but no font breaks a label inside the word.
        QVERIFY2(text.contains(Utf("Περιγραφή:")), qPrintable(text));
        QVERIFY(text.indexOf(ToQString(PrintHeaderLine())) < text.indexOf(Utf("Λήμμα:")));
        QVERIFY(text.indexOf(rendering) < text.indexOf(description.left(60)));
        const QString info = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf}));
        QVERIFY2(info.contains(QStringLiteral("Zoveduz: Supply and demand")), qPrintable(info));

        // The hidden PrintText keeps the last print document; the window is unchanged.
        QVERIFY(dummy.PrintText()->toPlainText().contains(Utf("Περιγραφή:")));
        QCOMPARE(Description(w)->toPlainText().simplified(), description);
        QCOMPARE(w.State().entryLabel, std::string("Supply and demand"));
    }

    void printInGreekModeSwapsTheCells()
    {
        WindowUnderTest w;
        TDummyFrm dummy;
        w.window->SetDummyFrm(&dummy);
        Type(w, "Supply and demand");
        const QString greek = ToQString(w.State().transLabel);
        Click(w.Find("Lang_Button"));
        Entry(w)->insert(greek);
        QCOMPARE(w.State().entryLabel, ToCp1253(greek));

        QTemporaryDir out;
        w.window->Printer().setOutputFormat(QPrinter::PdfFormat);
        w.window->Printer().setOutputFileName(out.filePath(QStringLiteral("greek.pdf")));
        QVERIFY(AnswerDialog([&] { w.window->Print_ButtonClick(); },
                             [](QDialog *dialog) { dialog->accept(); }));
        const QString printed = dummy.PrintText()->toPlainText();
        QVERIFY(printed.indexOf(greek) >= 0);
        QVERIFY(printed.indexOf(greek) < printed.indexOf(QStringLiteral("Supply and demand")));
        QCOMPARE(w.window->Printer().docName(), QStringLiteral("Zoveduz: Supply and demand"));
    }

    void cancelledPrintDialogPrintsNothing()
    {
        WindowUnderTest w;
        TDummyFrm dummy;
        w.window->SetDummyFrm(&dummy);
        Type(w, "Arbitrage");
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("none.pdf"));
        w.window->Printer().setOutputFormat(QPrinter::PdfFormat);
        w.window->Printer().setOutputFileName(pdf);
        QVERIFY(AnswerDialog([&] { w.window->Print_ButtonClick(); },
                             [](QDialog *dialog) { dialog->reject(); }));
        QVERIFY(!QFileInfo::exists(pdf));
        QVERIFY(dummy.PrintText()->toPlainText().isEmpty());
    }

    void theSelectedEntryIsDisplayedAndPrintedWholeOverAsManyPagesAsItNeeds()
    {
        WindowUnderTest w;
        Type(w, "Supply and dem"); // selected, not displayed
        QCOMPARE(w.State().itemIndex, 0);
        QVERIFY(Description(w)->toPlainText().isEmpty());
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("selected.pdf"));
        w.window->Printer().setOutputFormat(QPrinter::PdfFormat);
        w.window->Printer().setOutputFileName(pdf);
        QVERIFY(AnswerDialog([&] { w.window->Print_ButtonClick(); },
                             [&](QDialog *dialog) {
                                 // Displayed before the dialog asks.
                                 QCOMPARE(w.Find<QLabel>("Entry_Label")->text(),
                                          QStringLiteral("Supply and demand"));
                                 dialog->accept();
                             }));
        const QString description = Description(w)->toPlainText().simplified();
        QVERIFY(!description.isEmpty());
        auto printedText = [&pdf] {
            return QString::fromUtf8(Run(QStringLiteral("pdftotext"),
                                         {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf,
                                          QStringLiteral("-")}))
                .simplified();
        };
        QVERIFY(printedText().contains(description.left(60)));

        // A description far longer than a page: every page, to its last word.
        QTextCursor end(Description(w)->document());
        end.movePosition(QTextCursor::End);
        for (int i = 0; i < 400; ++i)
            end.insertText(QStringLiteral("\nparagraph %1 of a long description").arg(i));
        end.insertText(QStringLiteral(" closingword"));
        QVERIFY(AnswerDialog([&] { w.window->Print_ButtonClick(); },
                             [](QDialog *dialog) { dialog->accept(); }));
        const QString text = printedText();
        QVERIFY(text.contains(QStringLiteral("paragraph 399 of a long description closingword")));
        const QString info = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf}));
        const QRegularExpressionMatch pages =
            QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
        QVERIFY2(pages.hasMatch() && pages.captured(1).toInt() >= 5, qPrintable(info));
    }

    void previewShowsThePagesOfTheEntryOnDisplay()
    {
        WindowUnderTest w;
        Type(w, "Supply and demand");
        auto *menu = w.Find<QMenu>("PrintMenu");
        QStringList captions;
        for (QAction *action : menu->actions())
            captions << action->text() + QLatin1Char('|') + action->shortcut().toString();
        QCOMPARE(captions, (QStringList{Utf("Εκτύπωση…|Ctrl+P"),
                                        Utf("Προεπισκόπηση εκτύπωσης…|Ctrl+Shift+P")}));
        int pages = 0;
        QVERIFY(AnswerDialog([&] { w.Find<QAction>("PrintPreviewItem")->trigger(); },
                             [&](QDialog *dialog) {
                                 QVERIFY(qobject_cast<QPrintPreviewDialog *>(dialog) != nullptr);
                                 auto *view = dialog->findChild<QPrintPreviewWidget *>();
                                 view->updatePreview();
                                 pages = view->pageCount();
                                 SaveArtefact(dialog->grab(), "print-preview.png");
                                 dialog->reject();
                             }));
        QCOMPARE(pages, 1);
        QVERIFY(w.fake.shell.opened.empty());
        // Nothing selected: no preview either.
        Type(w, "");
        QVERIFY(!AnswerDialog([&] { w.window->PrintPreview_Click(); },
                              [](QDialog *dialog) { dialog->reject(); }));
    }

    void tablesWiderThanThePageArePrintedWhole()
    {
        QTextDocument document;
        QVERIFY(LoadRtfDocument("{\\rtf1\\ansi\\trowd\\cellx3000\\cellx20000\\pard\\intbl "
                                "left\\cell far right end\\cell\\row}",
                                document));
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("wide.pdf"));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        PrepareForPrinting(document, printer);
        document.print(&printer);
        // Every word lies inside the page: pdftotext -bbox gives the page's width and each
        // word's right edge.
        const QString boxes = QString::fromUtf8(
            Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
        const QRegularExpression page(QStringLiteral("<page width=\"([0-9.]+)\""));
        const QRegularExpression word(QStringLiteral("xMax=\"([0-9.]+)\"[^>]*>([^<]*)</word>"));
        const QRegularExpressionMatch pageMatch = page.match(boxes);
        QVERIFY2(pageMatch.hasMatch(), qPrintable(boxes));
        const double pageWidth = pageMatch.captured(1).toDouble();
        QStringList words;
        for (const QRegularExpressionMatch &m : word.globalMatch(boxes)) {
            words << m.captured(2);
            QVERIFY2(m.captured(1).toDouble() <= pageWidth, qPrintable(m.captured(2)));
        }
        QCOMPARE(words, (QStringList{"left", "far", "right", "end"}));
    }

    // ---- Figures ----

    void selectingAReferenceShowsItsFigureOverTheWindow()
    {
        WindowUnderTest w;
        Type(w, "Supply and demand");
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
        Type(w, "Supply and demand");
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
        Type(w, "Supply and demand");
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
        Type(other, "Supply and demand");
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
        Type(w, "Arbitrage");
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
        Type(w, "Infl");
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
        Type(w, "Arbit");
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

    // ---- Tables, help, presentation ----

    void documentCommandsOpenTheShippedFiles()
    {
        WindowUnderTest w;
        const std::filesystem::path content = testing::BuildFolder() / "content";
        Click(w.Find("Help_Button"));
        auto *menu = w.Find<QMenu>("PinakesMenu");
        QStringList captions;
        for (QAction *action : menu->actions())
            captions << action->objectName() + QLatin1Char('=') + action->text();
        QCOMPARE(captions,
                 (QStringList{Utf("PrefaceMenu=Πρόλογος"), Utf("AbbreviationsMenu=Συντομογραφίες"),
                              Utf("BibliographyMenu=Βιβλιογραφία")}));
        for (QAction *action : menu->actions())
            action->trigger();
        QCOMPARE(w.fake.shell.opened,
                 (std::vector<std::string>{
                     (content / "Termdex.htm").string(), (content / "Preface.htm").string(),
                     (content / "PinAbbrev.htm").string(), (content / "Biblio.htm").string()}));

        Click(w.Find("Vorantis_Label"));
        Click(w.Find("VorantisImage"));
        std::string folder = testing::BuildFolder().string();
        if (!folder.ends_with('/'))
            folder += '/';
        const std::vector<std::string> call{(content / "VorantisPres").string(),
                                            "\"" + folder + "\""};
        QCOMPARE(w.fake.shell.started, (std::vector<std::vector<std::string>>{call, call}));
    }

    void tablesMenuPopsUpBelowItsButton()
    {
        WindowUnderTest w;
        QWidget *button = w.Find("Pinakes_Button");
        Click(button);
        auto *menu = w.Find<QMenu>("PinakesMenu");
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(menu->pos(), QPoint(w.window->x() + button->x() + 4,
                                     w.window->y() + button->y() + button->height() + 22));
        menu->hide();
    }

    void missingFilesGiveEachCommandsMessage()
    {
        BareProgramFolder bare;
        WindowUnderTest w(bare.Folder());
        auto *menu = w.Find<QMenu>("PinakesMenu");
        auto action = [menu](const char *name) {
            return menu->findChild<QAction *>(QLatin1String(name));
        };
        QCOMPARE(ProblemMessageOf([&] { Click(w.Find("Help_Button")); }),
                 Utf("Το αρχείο βοήθειας δε βρέθηκε"));
        QCOMPARE(ProblemMessageOf([&] { action("PrefaceMenu")->trigger(); }),
                 Utf("Το αρχείο προλόγου δε βρέθηκε"));
        QCOMPARE(ProblemMessageOf([&] { action("AbbreviationsMenu")->trigger(); }),
                 Utf("Ο Πίνακας Συντομογραφιών δε βρέθηκε"));
        QCOMPARE(ProblemMessageOf([&] { action("BibliographyMenu")->trigger(); }),
                 Utf("Το αρχείο βιβλιογραφίας δε βρέθηκε"));
        QCOMPARE(ProblemMessageOf([&] { Click(w.Find("Vorantis_Label")); }),
                 Utf("Το πρόγραμμα της παρουσίασης δε βρέθηκε"));
        QVERIFY(w.fake.shell.opened.empty());
        QVERIFY(w.fake.shell.started.empty());
    }

    void documentsWithoutADesktopProgramShowInTheProgramsOwnWindow()
    {
        WindowUnderTest w(testing::BuildFolder(),
                          [](FakePlatform &fake) { fake.shell.succeeds = false; });
        QCOMPARE(ProblemMessageOf([&] { Click(w.Find("Help_Button")); }), QString());
        auto shownDocuments = [&] {
            QList<TDocumentWindow *> shown;
            for (auto *window : w.window->findChildren<TDocumentWindow *>())
                if (window->isVisible())
                    shown << window;
            return shown;
        };
        QCOMPARE(shownDocuments().size(), 1);
        TDocumentWindow *help = shownDocuments().front();
        QTextBrowser *browser = help->Browser();
        QCOMPARE(help->windowTitle(), Utf("Termdex – Βοήθεια"));
        QVERIFY(browser->toPlainText().contains(Utf("Το Termdex είναι λεξικό")));
        // Asking again raises the same window.
        Click(w.Find("Help_Button"));
        QCOMPARE(shownDocuments(), QList<TDocumentWindow *>{help});
        SaveArtefact(help->grab(), "document-window.png");

        // A place in the document, another document, and addresses the desktop must open.
        help->FollowLink(QUrl(QStringLiteral("#print")));
        QVERIFY(browser->verticalScrollBar()->value() > 0);
        help->FollowLink(QUrl(QStringLiteral("Biblio.htm")));
        QCOMPARE(help->windowTitle(), Utf("Termdex – Βιβλιογραφία"));
        help->FollowLink(QUrl(QStringLiteral("Missing.htm")));
        QCOMPARE(help->windowTitle(), Utf("Termdex – Βιβλιογραφία"));
        QCOMPARE(ProblemMessageOf([&] {
                     help->FollowLink(QUrl(QStringLiteral("https://www.vorantis.example/")));
                 }),
                 Utf("Δεν είναι δυνατή η ενεργοποίηση του προγράμματος περιήγησης στο διαδίκτυο"));
        QCOMPARE(w.fake.shell.opened.back(), std::string("https://www.vorantis.example/"));

        // The other three documents each get their window.
        for (QAction *action : w.Find<QMenu>("PinakesMenu")->actions())
            action->trigger();
        QStringList titles;
        for (TDocumentWindow *window : shownDocuments())
            titles << window->windowTitle();
        titles.sort();
        QCOMPARE(titles,
                 (QStringList{Utf("Termdex – Βιβλιογραφία"), Utf("Termdex – Βιβλιογραφία"),
                              Utf("Termdex – Πίνακας Συντομογραφιών"), Utf("Termdex – Πρόλογος")}));
    }

    void failuresThatShowOnlyOnceTheDesktopRanAreAnsweredToo()
    {
        WindowUnderTest w;
        Click(w.Find("Help_Button"));
        QVERIFY(w.window->findChildren<TDocumentWindow *>().isEmpty());
        w.fake.shell.FailLater(); // the desktop had no program for it
        QCOMPARE(w.window->findChildren<TDocumentWindow *>().size(), 1);

        // The presentation: not started at all, or started and failed (no xdg-open).
        Click(w.Find("Vorantis_Label"));
        QCOMPARE(ProblemMessageOf([&] { w.fake.shell.FailLater(); }),
                 Utf("Το πρόγραμμα της παρουσίασης δε βρέθηκε"));
        w.fake.shell.succeeds = false;
        QCOMPARE(ProblemMessageOf([&] { Click(w.Find("VorantisImage")); }),
                 Utf("Το πρόγραμμα της παρουσίασης δε βρέθηκε"));

        // A failure that comes after the window is gone reaches nobody.
        w.fake.shell.succeeds = true;
        Click(w.Find("Vorantis_Label"));
        FakePlatform &fake = w.fake;
        w.window.reset();
        fake.shell.FailLater();
    }

    // ---- The about window ----

    void aboutWindowShowsTheRightsTextAndItsLinks()
    {
        WindowUnderTest w(testing::BuildFolder(),
                          [](FakePlatform &fake) { fake.shell.succeeds = false; });
        QString rights, siteMessage, mailMessage;
        QVERIFY(AnswerDialog(
            [&] { Click(w.Find("CopyrightLabel")); },
            [&](QDialog *dialog) {
                auto *about = qobject_cast<TCopyrightForm *>(dialog);
                QVERIFY(about != nullptr);
                QCOMPARE(about->windowTitle(), QStringLiteral("Termdex"));
                QCOMPARE(about->size(), QSize(255, 288));
                auto *text = about->findChild<QTextEdit *>(QStringLiteral("CopyrightRTF"));
                QCOMPARE(text->geometry(), QRect(8, 80, 241, 161));
                QVERIFY(text->isReadOnly());
                about->FormActivate();
                rights = text->toPlainText();
                auto *site = about->findChild<QLabel *>(QStringLiteral("SiteLabel"));
                auto *mail = about->findChild<QLabel *>(QStringLiteral("MailLabel"));
                siteMessage = ProblemMessageOf([&] { Click(site); });
                mailMessage = ProblemMessageOf([&] { Click(mail); });
                // Escape closes it (the OK button is also the cancel button).
                QTest::keyClick(about, Qt::Key_Escape);
            }));
        QVERIFY(rights.contains(QStringLiteral("Copyright")));
        QVERIFY(rights.contains(Utf("ΕΚΔΟΣΕΙΣ ΒΟΡΑΝΤΗ")));
        QCOMPARE(siteMessage,
                 Utf("Δεν είναι δυνατή η ενεργοποίηση του προγράμματος περιήγησης στο διαδίκτυο"));
        QCOMPARE(mailMessage,
                 Utf("Δεν είναι δυνατή η ενεργοποίηση του προγράμματος διαχείρισης email"));
        QCOMPARE(w.fake.shell.opened, (std::vector<std::string>{"https://www.vorantis.example/",
                                                                "mailto:info@vorantis.example"}));
        QTRY_VERIFY(Entry(w)->hasFocus());
    }

    void aboutWindowReloadsItsTextAtEveryActivation()
    {
        BareProgramFolder bare;
        WindowUnderTest w(bare.Folder());
        bare.Write("content/copyright.rtf", "{\\rtf1\\ansi first text\\par}");
        QVERIFY(AnswerDialog(
            [&] { w.window->CopyrightLabelClick(); },
            [&](QDialog *dialog) {
                auto *about = qobject_cast<TCopyrightForm *>(dialog);
                auto *text = about->findChild<QTextEdit *>(QStringLiteral("CopyrightRTF"));
                QEvent activate(QEvent::WindowActivate);
                QCoreApplication::sendEvent(about, &activate);
                QCOMPARE(text->toPlainText().trimmed(), QStringLiteral("first text"));
                bare.Write("content/copyright.rtf", "{\\rtf1\\ansi second text\\par}");
                QCoreApplication::sendEvent(about, &activate);
                QCOMPARE(text->toPlainText().trimmed(), QStringLiteral("second text"));
                // A text that is gone or not rich text leaves the last one.
                bare.Write("content/copyright.rtf", "plain");
                QCoreApplication::sendEvent(about, &activate);
                QCOMPARE(text->toPlainText().trimmed(), QStringLiteral("second text"));
                QTest::keyClick(about, Qt::Key_Return);
            }));

        // Without the file the text area stays empty.
        std::filesystem::remove(bare.Folder() / "content/copyright.rtf");
        QVERIFY(AnswerDialog([&] { w.window->CopyrightLabelClick(); },
                             [&](QDialog *dialog) {
                                 QEvent activate(QEvent::WindowActivate);
                                 QCoreApplication::sendEvent(dialog, &activate);
                                 QVERIFY(
                                     dialog->findChild<QTextEdit *>(QStringLiteral("CopyrightRTF"))
                                         ->toPlainText()
                                         .isEmpty());
                                 dialog->accept();
                             }));
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
