// Printing from the window on the demo dictionary: to a PDF file read back with pdftotext, in
// both languages, over many pages, wide tables, and the preview.
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

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <fstream>

namespace termdex {

using testing::AnswerDialog;
using testing::Click;
using testing::SaveArtefact;
using testing::Utf;
using testing::WindowUnderTest;

namespace {

// Runs a program to its end and gives its output.
QByteArray Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        return "<" + program.toUtf8() + " did not finish>";
    return process.readAllStandardOutput();
}

} // namespace

class PrintWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testing::StartWindowTests(m_home); }

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
        TypeAnew(w, "Supply and demand");
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
        TypeAnew(w, "Supply and demand");
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
        TypeAnew(w, "Arbitrage");
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
        TypeAnew(w, "Supply and dem"); // selected, not displayed
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
        TypeAnew(w, "Supply and demand");
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
        TypeAnew(w, "");
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

private:
    QTemporaryDir m_home;
};

} // namespace termdex

QTEST_MAIN(termdex::PrintWindowTest)
#include "print_window_test.moc"
