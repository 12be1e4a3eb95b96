#include "dialogs/search_form.h"

#include "dialogs/dialog_layout.h"
#include "main/ui/pictures.h"
#include "main/ui/text_convert.h"

#include <QLineEdit>

namespace termdex {

namespace {

QLineEdit *PlaceEdit(QWidget *parent, const char *name, int top)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(120, top, 121, 22);
    edit->setValidator(new Cp1253Validator(edit));
    return edit;
}

} // namespace

TSearchForm::TSearchForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TSearchForm"));
    SetFixedDialog(*this, QStringLiteral("Κριτήρια Αναζήτησης Λημμάτων"), 260, 168);

    PlaceLabel(this, "Label1", QStringLiteral("Αναζήτηση των Λημμάτων που:"), 76, 12);
    auto *image = new SvgPicture(QStringLiteral(":/termdex/pictures/search_form.svg"), this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setGeometry(20, 8, 45, 37);
    PlaceLabel(this, "Label2", QStringLiteral("Αρχίζουν με:"), 20, 48, true);
    PlaceLabel(this, "Label3", QStringLiteral("Περιέχουν:"), 20, 76, true);
    PlaceLabel(this, "Label4", QStringLiteral("Καταλήγουν σε:"), 20, 104, true);
    m_startEdit = PlaceEdit(this, "Start_Edit", 44);
    m_containEdit = PlaceEdit(this, "Contain_edit", 72);
    m_endEdit = PlaceEdit(this, "End_Edit", 100);
    QPushButton *ok = PlaceButton(this, "BitBtn1", QStringLiteral("OK"), 16, 132);
    QPushButton *cancel = PlaceButton(this, "BitBtn2", QStringLiteral("Άκυρο"), 140, 132);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(m_startEdit, m_containEdit);
    setTabOrder(m_containEdit, m_endEdit);
    setTabOrder(m_endEdit, ok);
    setTabOrder(ok, cancel);
    m_startEdit->setFocus();
}

std::optional<SearchCriteria> TSearchForm::Criteria() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    return SearchCriteria{ToCp1253(m_startEdit->text()), ToCp1253(m_containEdit->text()),
                          ToCp1253(m_endEdit->text())};
}

} // namespace termdex
