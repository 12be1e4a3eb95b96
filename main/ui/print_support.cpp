// TMainLex's print command: the print dialog makes a printer current, the core builds the print
// document from the RTF that the description view writes, and the hidden PrintText carries it
// to the printer. Every failure ends the command silently.
#include "main/ui/print_support.h"

#include "main/ui/main_lex_window.h"

#include "dialogs/startup_forms.h"
#include "main/print_document.h"
#include "main/print_rows.h"
#include "main/ui/text_convert.h"
#include "main/ui/window_extras.h"
#include "richtext/qt/rtf_writer.h"
#include "richtext/qt/text_document_sink.h"

#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>

namespace termdex {

void PrepareForPrinting(QTextDocument &document, QPrinter &printer)
{
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Point);
    const QSizeF page(paint.width() * 96.0 / 72.0, paint.height() * 96.0 / 72.0);
    if (page.isEmpty())
        return;
    document.setPageSize(page);
}

void TMainLex::SetDummyFrm(TDummyFrm *form) { m_extras->dummyFrm = form; }

QPrinter &TMainLex::Printer()
{
    if (!m_extras->printer)
        m_extras->printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_extras->printer;
}

void TMainLex::Print_ButtonClick()
{
    const std::optional<PrintRequest> request = termdex::Print_ButtonClick(*m_core);
    if (!request)
        return;
    QPrinter &printer = Printer();
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintDialog1"));
    if (dialog.exec() != QDialog::Accepted)
        return;

    const PrintDocument document =
        BuildPrintDocument(WriteRtf(*m_descriptionText->document()), request->cells);
    TDummyFrm *dummy = m_extras->dummyFrm.data();
    if (dummy == nullptr) {
        if (!m_extras->ownDummyFrm)
            m_extras->ownDummyFrm = std::make_unique<TDummyFrm>();
        dummy = m_extras->ownDummyFrm.get();
    }
    QTextEdit *printText = dummy->PrintText();
    printText->clear();
    printText->setAcceptRichText(true);
    // Read as the print vehicle reads rows: each label and its value form a row of two cells.
    QTextDocument *vehicle = printText->document();
    vehicle->clear();
    TextDocumentSink sink(*vehicle);
    PrintRowSink rows(sink);
    if (!ReadRtf(document.rtf, rows))
        return;
    PrepareForPrinting(*vehicle, printer);
    printer.setDocName(ToQString(request->jobTitle));
    printText->document()->print(&printer);
}

} // namespace termdex
