// TMainLex's print commands: the selected entry is displayed, the core builds the print document
// from the RTF that the description view writes, and the hidden PrintText carries it to the
// printer, through the print dialog (paper or a PDF file) or the print preview. Every failure
// ends the command silently.
#include "main/ui/print_support.h"

#include "main/ui/main_lex_window.h"

#include "dialogs/dummy_frm.h"
#include "dialogs/text_convert.h"
#include "main/print_document.h"
#include "main/print_rows.h"
#include "main/ui/window_extras.h"
#include "richtext/qt/rtf_writer.h"
#include "richtext/qt/text_document_sink.h"

#include <QPageLayout>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <initializer_list>

namespace termdex {

void PrepareForPrinting(QTextDocument &document, QPrinter &printer)
{
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Point);
    const QSizeF page(paint.width() * 96.0 / 72.0, paint.height() * 96.0 / 72.0);
    if (page.isEmpty())
        return;
    document.setPageSize(page);
}

void KeepPrintLabelsWhole(QTextDocument &document)
{
    // The label cells are narrow; a font wider than the designer's would otherwise break a
    // label inside the word. A label that cannot break widens its column instead.
    QStringList labels;
    for (const char *label : {"Λήμμα:", "Απόδοση:", "Περιγραφή:"})
        labels << QString::fromUtf8(label);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!labels.contains(block.text().trimmed()))
            continue;
        QTextCursor cursor(block);
        if (cursor.currentTable() == nullptr)
            continue;
        QTextBlockFormat format = block.blockFormat();
        format.setNonBreakableLines(true);
        cursor.setBlockFormat(format);
    }
}

void TMainLex::SetDummyFrm(TDummyFrm *form) { m_extras->dummyFrm = form; }

QPrinter &TMainLex::Printer()
{
    if (!m_extras->printer)
        m_extras->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_extras->printer;
}

namespace {

// Loads the print document into PrintText, read as the print vehicle reads rows (each label
// and its value form a row of two cells); nullptr when it cannot be read.
QTextDocument *LoadPrintVehicle(WindowExtras &extras, const QTextDocument &description,
                                const PrintRequest &request)
{
    const PrintDocument document = BuildPrintDocument(WriteRtf(description), request.cells);
    TDummyFrm *dummy = extras.dummyFrm.data();
    if (dummy == nullptr) {
        if (!extras.ownDummyFrm)
            extras.ownDummyFrm = std::make_unique<TDummyFrm>();
        dummy = extras.ownDummyFrm.get();
    }
    QTextEdit *printText = dummy->PrintText();
    printText->clear();
    printText->setAcceptRichText(true);
    QTextDocument *vehicle = printText->document();
    vehicle->clear();
    TextDocumentSink sink(*vehicle);
    PrintRowSink rows(sink);
    if (!ReadRtf(document.rtf, rows))
        return nullptr;
    KeepPrintLabelsWhole(*vehicle);
    return vehicle;
}

} // namespace

void TMainLex::Print_ButtonClick()
{
    const std::optional<PrintRequest> request = termdex::Print_ButtonClick(*m_core);
    if (!request)
        return;
    Mirror(); // the entry printed is the one on display
    QPrinter &printer = Printer();
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument *vehicle = LoadPrintVehicle(*m_extras, *m_descriptionText->document(), *request);
    if (vehicle == nullptr)
        return;
    PrepareForPrinting(*vehicle, printer);
    printer.setDocName(ToQString(request->jobTitle));
    vehicle->print(&printer);
}

void TMainLex::PrintPreview_Click()
{
    const std::optional<PrintRequest> request = termdex::Print_ButtonClick(*m_core);
    if (!request)
        return;
    Mirror();
    QTextDocument *vehicle = LoadPrintVehicle(*m_extras, *m_descriptionText->document(), *request);
    if (vehicle == nullptr)
        return;
    QPrinter &printer = Printer();
    printer.setDocName(ToQString(request->jobTitle));
    // The preview's own print command prints through the same printer, and the print
    // dialog it opens offers paper and PDF as the print button's does.
    QPrintPreviewDialog preview(&printer, this);
    preview.setObjectName(QStringLiteral("PrintPreview"));
    preview.setWindowTitle(QStringLiteral("Προεπισκόπηση εκτύπωσης - Termdex"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [vehicle](QPrinter *target) {
        PrepareForPrinting(*vehicle, *target);
        vehicle->print(target);
    });
    preview.resize(std::max(width(), 760), std::max(height(), 700));
    preview.exec();
}

} // namespace termdex
