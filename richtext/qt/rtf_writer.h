// A QTextDocument back to RTF, for the print document and for copying with formatting: code page
// 1253 (\ansicpg1253), a font table whose Greek fonts carry \fcharset161, a colour table, sizes
// in \fsN, paragraphs with their alignment and indents, tables and pictures (as PNG). Reading
// what it writes with TextDocumentSink gives the same document again.
#pragma once

#include "lib/text.h"

class QTextDocument;

namespace termdex {

// The whole document as one RTF document; characters that code page 1253 cannot hold are
// written as \uN with "?" for readers that do not know it.
Cp1253 WriteRtf(const QTextDocument &document);

} // namespace termdex
