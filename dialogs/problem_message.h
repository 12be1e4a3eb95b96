// The program's warnings: a message box captioned "Πρόβλημα" with the warning icon and one OK
// button, for a document, program or address that could not be opened.
#pragma once

#include <QString>

class QWidget;

namespace termdex {

// Returns when the reader closes the box.
void ShowProblemMessage(QWidget *parent, const QString &text);

} // namespace termdex
