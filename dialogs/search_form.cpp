#include "dialogs/search_form.h"

#include "dialogs/dialog_layout.h"
#include "dialogs/pictures.h"
#include "dialogs/text_convert.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLineEdit>

namespace termdex {

namespace {

constexpr int kEditLeft = 120;

QLineEdit *PlaceEdit(QWidget *parent, const char *name, int top)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(kEditLeft, top, 121, 22);
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
    QLabel *startLabel = PlaceLabel(this, "Label2", QStringLiteral("Αρχίζουν με:"), 20, 48, true);
    QLabel *containLabel = PlaceLabel(this, "Label3", QStringLiteral("Περιέχουν:"), 20, 76, true);
    QLabel *endLabel = PlaceLabel(this, "Label4", QStringLiteral("Καταλήγουν σε:"), 20, 104, true);
    m_startEdit = PlaceEdit(this, "Start_Edit", 44);
    m_containEdit = PlaceEdit(this, "Contain_edit", 72);
    m_endEdit = PlaceEdit(this, "End_Edit", 100);
    m_labelEdits = {
        {startLabel, m_startEdit}, {containLabel, m_containEdit}, {endLabel, m_endEdit}};
    for (auto it = m_labelEdits.cbegin(); it != m_labelEdits.cend(); ++it) {
        auto *label = static_cast<QLabel *>(it.key());
        // A wide system font is made smaller until the label stands clear of its edit.
        QFont font = label->font();
        while (label->x() + QFontMetrics(font).horizontalAdvance(label->text()) > kEditLeft - 6 &&
               font.pixelSize() > 8) {
            font.setPixelSize(font.pixelSize() - 1);
            label->setFont(font);
        }
        label->adjustSize();
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }
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

bool TSearchForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (QLineEdit *edit = m_labelEdits.value(watched)) {
            edit->clear();
            edit->setFocus(Qt::MouseFocusReason);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

std::optional<SearchCriteria> TSearchForm::Criteria() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    return SearchCriteria{ToCp1253(m_startEdit->text()), ToCp1253(m_containEdit->text()),
                          ToCp1253(m_endEdit->text())};
}

} // namespace termdex
