#include "dialogs/problem_message.h"

#include "main/shipped_documents.h"

#include <QMessageBox>

namespace termdex {

void ShowProblemMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, QString::fromUtf8(kProblemCaption), text, QMessageBox::Ok,
                    parent);
    box.setObjectName(QStringLiteral("ProblemMessage"));
    box.exec();
}

} // namespace termdex
