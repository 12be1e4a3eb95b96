#include "dialogs/startup_forms.h"

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

} // namespace termdex
