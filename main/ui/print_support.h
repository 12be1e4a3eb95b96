// The print vehicle's page. A document printed without a page size is laid out on a copy whose
// width Qt chooses, and a table wider than that runs off the page's edge; laid out on the
// printer's own page, tables are kept within it.
#pragma once

class QPrinter;
class QTextDocument;

namespace termdex {

// Gives document the printer's printable page size, in the document's pixels (96 an inch).
void PrepareForPrinting(QTextDocument &document, QPrinter &printer);

// Makes the labels of the print document's table ("Λήμμα:", "Απόδοση:", "Περιγραφή:") lines
// that never break, so that each stays one word whatever the font.
void KeepPrintLabelsWhole(QTextDocument &document);

} // namespace termdex
