#include "custom/ui/insert_entry_frm.h"

#include "custom/ui/custom_pictures.h"
#include "dialogs/dialog_layout.h"
#include "dialogs/dialog_pictures.h"
#include "dialogs/pictures.h"
#include "dialogs/plain_message.h"
#include "dialogs/text_convert.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTimer>

namespace termdex {

namespace {

constexpr int kHeadwordLength = 80;
// "$00FFFFFA" and clTeal hold blue, green, red from the high byte down.
const QColor kFieldColour(0xFA, 0xFF, 0xFF);
const QColor kHeadwordColour(0x00, 0x80, 0x80);

QLineEdit *PlaceHeadwordEdit(QWidget *parent, const char *name, int top)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setGeometry(112, top, 242, 21);
    edit->setMaxLength(kHeadwordLength);
    edit->setValidator(new Cp1253Validator(edit));
    QPalette palette = edit->palette();
    // Greyed when disabled, as the platform's edits are.
    palette.setColor(QPalette::Active, QPalette::Text, kHeadwordColour);
    palette.setColor(QPalette::Inactive, QPalette::Text, kHeadwordColour);
    edit->setPalette(palette);
    return edit;
}

// The labels end before the fields at 112: a wide system font is made smaller to fit.
void FitLabel(QLabel &label, int width)
{
    QFont font = label.font();
    while (QFontMetrics(font).horizontalAdvance(label.text()) > width && font.pixelSize() > 8)
        font.setPixelSize(font.pixelSize() - 1);
    label.setFont(font);
    label.adjustSize();
}

// The field's forced background takes its text and selection colours with it, so that a dark
// system palette does not write light text on it.
void SetFieldColour(QWidget &field, const QColor &text) { ForceColours(field, kFieldColour, text); }

// The memo holds one line per paragraph; the description's lines end in CR LF.
QString MemoText(const Cp1253 &description)
{
    QString text = ToQString(description);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

TInsertEntryFrm::TInsertEntryFrm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TInsertEntryFrm"));
    SetFixedDialog(*this, QString::fromUtf8(kEditorInsertCaption), 367, 233);

    m_label1 = PlaceLabel(this, "Label1", QStringLiteral("Λήμμα (Αγγλικά)"), 8, 12, true);
    m_label3 = PlaceLabel(this, "Label3", QStringLiteral("Λήμμα (Ελληνικά)"), 8, 36, true);
    m_label2 = PlaceLabel(this, "Label2", QStringLiteral("Περιγραφή"), 8, 68, true);
    for (QLabel *label : {m_label1, m_label3, m_label2})
        FitLabel(*label, 112 - 8 - 2);

    m_insertEntryText = PlaceHeadwordEdit(this, "InsertEntry_Text", 8);
    m_insertEntryTrans = PlaceHeadwordEdit(this, "InsertEntry_Trans", 32);

    m_insertEntryDescr = new QPlainTextEdit(this);
    m_insertEntryDescr->setObjectName(QStringLiteral("InsertEntry_Descr"));
    m_insertEntryDescr->setGeometry(112, 56, 242, 129);
    m_insertEntryDescr->setTabChangesFocus(true);
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setStyleHint(QFont::Monospace);
    fixed.setFixedPitch(true);
    fixed.setPixelSize(12);
    m_insertEntryDescr->setFont(fixed);
    connect(m_insertEntryDescr, &QPlainTextEdit::textChanged, this,
            &TInsertEntryFrm::KeepDescriptionInCodePage);

    m_insertCancelButton =
        PlaceButton(this, "InsertCancel_Button", QStringLiteral("Ακύρωση"), 244, 192);
    m_insertCancelButton->resize(113, 25);
    m_insertCancelButton->setIcon(SvgIcon(DialogPicture("glyph_cancel")));
    m_insertOkButton = PlaceButton(this, "InsertOk_Button", QStringLiteral("Εισαγωγή"), 112, 192);
    m_insertOkButton->resize(113, 25);
    m_insertOkButton->setIcon(SvgIcon(CustomPicture("insert_ok")));
    m_insertOkButton->setDefault(true);
    connect(m_insertOkButton, &QPushButton::clicked, this, &TInsertEntryFrm::InsertOk_ButtonClick);
    connect(m_insertCancelButton, &QPushButton::clicked, this,
            &TInsertEntryFrm::InsertCancel_ButtonClick);

    setTabOrder(m_insertEntryText, m_insertEntryTrans);
    setTabOrder(m_insertEntryTrans, m_insertEntryDescr);
    setTabOrder(m_insertEntryDescr, m_insertCancelButton);
    setTabOrder(m_insertCancelButton, m_insertOkButton);
}

EntryTexts TInsertEntryFrm::Typed() const
{
    QString description = m_insertEntryDescr->toPlainText();
    description.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return {ToCp1253(m_insertEntryText->text()), ToCp1253(m_insertEntryTrans->text()),
            ToCp1253(description)};
}

void TInsertEntryFrm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TInsertEntryFrm::FormShow()
{
    SetFieldColour(*m_insertEntryText, kHeadwordColour);
    SetFieldColour(*m_insertEntryTrans, kHeadwordColour);
    SetFieldColour(*m_insertEntryDescr, Qt::black);
    m_answer = {};
    setWindowTitle(QString::fromStdString(m_request.caption.empty() ? kEditorInsertCaption
                                                                    : m_request.caption));
    if (!m_request.okCaption.empty())
        m_insertOkButton->setText(QString::fromStdString(m_request.okCaption));
    if (!m_request.failure.empty()) {
        // Back after a failed save: what was typed stays, and the reader is told why.
        m_insertEntryText->setText(ToQString(m_request.texts.english));
        m_insertEntryTrans->setText(ToQString(m_request.texts.greek));
        m_insertEntryDescr->setPlainText(MemoText(m_request.texts.description));
        QTimer::singleShot(
            0, this, [this] { ShowPlainMessage(this, QString::fromStdString(m_request.failure)); });
    }
    if (m_request.mode == EditMode::Insert) {
        m_insertEntryText->setFocus(Qt::OtherFocusReason);
        if (!m_request.failure.empty())
            return;
        m_insertEntryText->clear();
        m_insertEntryTrans->clear();
        m_insertEntryDescr->clear();
        return;
    }
    m_insertEntryText->setEnabled(m_request.headwordsEnabled);
    m_insertEntryTrans->setEnabled(m_request.headwordsEnabled);
    m_insertEntryText->setText(ToQString(m_request.texts.english));
    m_insertEntryTrans->setText(ToQString(m_request.texts.greek));
    m_insertEntryDescr->setPlainText(MemoText(m_request.texts.description));
    if (m_request.focusDescription)
        m_insertEntryDescr->setFocus(Qt::OtherFocusReason);
    else
        m_insertEntryText->setFocus(Qt::OtherFocusReason);
}

void TInsertEntryFrm::InsertOk_ButtonClick()
{
    const EntryTexts typed = Typed();
    if (const auto message =
            termdex::InsertOk_ButtonClick(typed, m_request.mode, m_request.editKind)) {
        ShowPlainMessage(this, QString::fromStdString(*message));
        return;
    }
    m_answer = {true, typed};
    accept();
}

void TInsertEntryFrm::InsertCancel_ButtonClick()
{
    m_insertEntryText->clear();
    m_insertEntryTrans->clear();
    m_insertEntryDescr->clear();
    m_answer = {};
    QDialog::reject();
}

void TInsertEntryFrm::reject() { InsertCancel_ButtonClick(); }

void TInsertEntryFrm::KeepDescriptionInCodePage()
{
    if (m_filtering)
        return;
    const QString text = m_insertEntryDescr->toPlainText();
    if (FitsCp1253(text))
        return;
    m_filtering = true;
    // Positions of the plain text are the document's: one per UTF-16 unit and paragraph end.
    QTextCursor cursor(m_insertEntryDescr->document());
    cursor.beginEditBlock();
    for (qsizetype i = text.size(); i-- > 0;) {
        if (FitsCp1253(QString(text[i])))
            continue;
        cursor.setPosition(static_cast<int>(i));
        cursor.setPosition(static_cast<int>(i) + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
    m_filtering = false;
}

EditorAnswer InsertEntryEditor::Show(const EditorRequest &request)
{
    TInsertEntryFrm form(m_parent);
    form.SetRequest(request);
    {
        DialogCursor cursor;
        form.exec();
    }
    if (m_parent != nullptr)
        m_parent->activateWindow();
    return form.Answer();
}

} // namespace termdex
