#include "dialogs/message_form.h"

#include "dialogs/dialog_layout.h"
#include "dialogs/pictures.h"
#include "dialogs/text_convert.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace termdex {

TMessageForm::TMessageForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TMessageForm"));
    SetFixedDialog(*this, QStringLiteral("Αναζήτηση στις Ερμηνείες"), 239, 158);

    auto *image = new SvgPicture(QStringLiteral(":/termdex/pictures/message_form.svg"), this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(16, 12, 45, 45);
    PlaceLabel(this, "Label1", QStringLiteral("Λέξη προς Αναζήτηση:"), 76, 12, true);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("DescrSearch_Edit"));
    m_edit->setGeometry(72, 36, 137, 21);
    m_edit->setValidator(new Cp1253Validator(m_edit));
    PlaceLabel(this, "Label2", QStringLiteral("Σημείωση:"), 24, 64, false, true);

    auto *memo = new QPlainTextEdit(this);
    memo->setObjectName(QStringLiteral("Memo1"));
    memo->setGeometry(24, 80, 201, 33);
    memo->setReadOnly(true);
    memo->setFrameShape(QFrame::NoFrame);
    memo->setFocusPolicy(Qt::NoFocus);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->document()->setDocumentMargin(0);
    memo->setPlainText(
        QStringLiteral("Η αναζήτηση αυτή ίσως χρειαστεί\nμερικά λεπτά για να ολοκληρωθεί."));
    QPalette palette = memo->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    memo->setPalette(palette);

    // "ΟΚ" in Greek capitals (Omicron, Kappa), as the dialog has always shown it.
    QPushButton *ok = PlaceButton(this, "BitBtn1", QStringLiteral("ΟΚ"), 12, 120);
    QPushButton *cancel = PlaceButton(this, "BitBtn2", QStringLiteral("Άκυρο"), 124, 120);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(m_edit, ok);
    setTabOrder(ok, cancel);
    m_edit->setFocus();
}

std::optional<Cp1253> TMessageForm::Word() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    return ToCp1253(m_edit->text());
}

} // namespace termdex
