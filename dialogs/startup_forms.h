// The program's secondary forms that are created at start-up with the main window and stay
// hidden until their commands show them: the entry editor, the hidden rich-text vehicles, the
// folder dialog, the about window and the figure window. Each holds what its command needs.
#pragma once

#include "custom/ui/insert_entry_frm.h"     // TInsertEntryFrm, the entry editor
#include "dialogs/copyright_form.h"         // TCopyrightForm, the about window
#include "dialogs/fig_form.h"               // TFigForm, the figure window
#include "dialogs/select_custom_dir_form.h" // TSelectCustomDirForm, the folder dialog

#include <QDialog>
#include <QWidget>

class QTextEdit;

namespace termdex {

// Never shown: holds PrintText (the print document) and RTF1 (the maintenance converter).
class TDummyFrm final : public QWidget
{
    Q_OBJECT
public:
    explicit TDummyFrm(QWidget *parent = nullptr);
    QTextEdit *PrintText() const { return m_printText; }
    QTextEdit *Rtf1() const { return m_rtf1; }

private:
    QTextEdit *m_printText;
    QTextEdit *m_rtf1;
};

} // namespace termdex
