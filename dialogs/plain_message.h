// The program's plain messages and the cursor of its modal dialogs.
#pragma once

#include <QString>

class QWidget;

namespace termdex {

// A message box captioned with the program's name, no icon and one OK button; returns when the
// reader closes it.
void ShowPlainMessage(QWidget *parent, const QString &text);

// The arrow over a dialog that a command shows while its hourglass is up; the command's cursor
// comes back when the dialog closes.
class DialogCursor
{
public:
    DialogCursor();
    ~DialogCursor();
    DialogCursor(const DialogCursor &) = delete;
    DialogCursor &operator=(const DialogCursor &) = delete;
};

} // namespace termdex
