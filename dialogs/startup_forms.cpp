#include "dialogs/startup_forms.h"

#include "dialogs/dialog_layout.h"

#include <QTextEdit>

namespace termdex {

TInsertEntryFrm::TInsertEntryFrm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TInsertEntryFrm"));
    SetFixedDialog(*this, QStringLiteral("Εισαγωγή Νέου Λήμματος"), 367, 233);
}

TDummyFrm::TDummyFrm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TDummyFrm"));
    setWindowTitle(QStringLiteral("DummyFrm"));
    m_printText = new QTextEdit(this);
    m_printText->setObjectName(QStringLiteral("PrintText"));
    m_rtf1 = new QTextEdit(this);
    m_rtf1->setObjectName(QStringLiteral("RTF1"));
}

TSelectCustomDirForm::TSelectCustomDirForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSelectCustomDirForm"));
    SetFixedDialog(*this, QStringLiteral("Termdex"), 477, 232);
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
