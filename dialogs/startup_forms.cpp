#include "dialogs/startup_forms.h"

#include "dialogs/dialog_layout.h"

#include <QTextEdit>

namespace termdex {

TDummyFrm::TDummyFrm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TDummyFrm"));
    setWindowTitle(QStringLiteral("DummyFrm"));
    m_printText = new QTextEdit(this);
    m_printText->setObjectName(QStringLiteral("PrintText"));
    m_rtf1 = new QTextEdit(this);
    m_rtf1->setObjectName(QStringLiteral("RTF1"));
}

TCopyrightForm::TCopyrightForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TCopyrightForm"));
    SetFixedDialog(*this, QStringLiteral("Termdex"), 255, 288);
}

TFigForm::TFigForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFigForm"));
    setWindowTitle(QStringLiteral("Termdex"));
}

} // namespace termdex
