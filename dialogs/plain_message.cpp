#include "dialogs/plain_message.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace termdex {

void ShowPlainMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Termdex"), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("PlainMessage"));
    box.exec();
}

DialogCursor::DialogCursor() { QGuiApplication::setOverrideCursor(Qt::ArrowCursor); }

DialogCursor::~DialogCursor() { QGuiApplication::restoreOverrideCursor(); }

} // namespace termdex
