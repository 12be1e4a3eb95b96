#include "dialogs/dummy_frm.h"

#include <QTextEdit>

namespace termdex {

TDummyFrm::TDummyFrm(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TDummyFrm"));
    setWindowTitle(QStringLiteral("DummyFrm"));
    m_printText = new QTextEdit(this);
    m_printText->setObjectName(QStringLiteral("PrintText"));
}

} // namespace termdex
