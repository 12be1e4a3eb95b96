// The hidden form created at start-up beside the main window: its PrintText carries the print
// document between the description view and the printer.
#pragma once

#include <QWidget>

class QTextEdit;

namespace termdex {

// Never shown.
class TDummyFrm final : public QWidget
{
    Q_OBJECT
public:
    explicit TDummyFrm(QWidget *parent = nullptr);
    QTextEdit *PrintText() const { return m_printText; }

private:
    QTextEdit *m_printText;
};

} // namespace termdex
