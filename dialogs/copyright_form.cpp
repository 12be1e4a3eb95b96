#include "dialogs/copyright_form.h"

#include "dialogs/dialog_layout.h"
#include "dialogs/pictures.h"
#include "dialogs/problem_message.h"
#include "lib/version.h"
#include "main/shipped_documents.h"
#include "platform/shell.h"
#include "richtext/qt/text_document_sink.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

namespace termdex {

TCopyrightForm::TCopyrightForm(QWidget *parent, Shell *shell, RightsText rightsText)
    : QDialog(parent), m_shell(shell), m_rightsText(std::move(rightsText))
{
    setObjectName(QStringLiteral("TCopyrightForm"));
    SetFixedDialog(*this, QStringLiteral("Termdex"), 255, 288);
    // The rights text is written in black and dark blue, and so are the links: the window keeps
    // the light face they were written for, whatever the desktop's palette.
    setPalette(QPalette(QColor(240, 240, 240)));

    auto *logo = new SvgPicture(QStringLiteral(":/termdex/pictures/vorantis.svg"), this);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setGeometry(0, 0, 81, 81);

    auto link = [this](const char *name, const LinkCommand &command, int top) {
        QLabel *label =
            PlaceLabel(this, name, QString::fromUtf8(command.caption), 90, top, false, true);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, QColor(0, 0, 0xC0));
        label->setPalette(palette);
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
        return label;
    };
    // The version, beside the logo above the links, for a reader who reports a fault.
    PlaceLabel(this, "VersionLabel",
               QStringLiteral("Termdex ") + QString::fromUtf8(TermdexVersion()), 90, 4, false,
               false);
    m_siteLabel = link("SiteLabel", termdex::SiteLabelClick(), 24);
    m_mailLabel = link("MailLabel", termdex::MailLabelClick(), 46);

    m_copyrightRtf = new QTextEdit(this);
    m_copyrightRtf->setObjectName(QStringLiteral("CopyrightRTF"));
    m_copyrightRtf->setGeometry(8, 80, 241, 161);
    m_copyrightRtf->setReadOnly(true);
    m_copyrightRtf->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_copyrightRtf->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette window = m_copyrightRtf->palette();
    window.setColor(QPalette::Base, palette().color(QPalette::Window));
    m_copyrightRtf->setPalette(window);

    // Both the default and the cancel button: Enter and Escape close the window.
    m_okButton = new QPushButton(QStringLiteral("OK"), this);
    m_okButton->setObjectName(QStringLiteral("BitBtn1"));
    m_okButton->setGeometry((255 - 113) / 2, 252, 113, 25);
    m_okButton->setDefault(true);
    m_okButton->setAutoDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

bool TCopyrightForm::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        FormActivate();
    return QDialog::event(event);
}

bool TCopyrightForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        if (watched == m_siteLabel)
            SiteLabelClick();
        else if (watched == m_mailLabel)
            MailLabelClick();
    }
    return QDialog::eventFilter(watched, event);
}

void TCopyrightForm::FormActivate()
{
    if (!m_rightsText)
        return;
    const std::optional<Cp1253> rtf = m_rightsText();
    if (!rtf)
        return;
    // The text is rich text (the reader checked), so the load replaces the old one.
    const int scrolled = m_copyrightRtf->verticalScrollBar()->value();
    LoadRtfDocument(*rtf, *m_copyrightRtf->document());
    m_copyrightRtf->verticalScrollBar()->setValue(scrolled);
}

void TCopyrightForm::SiteLabelClick()
{
    const LinkCommand &site = termdex::SiteLabelClick();
    if (m_shell == nullptr || !m_shell->OpenUrl(site.address))
        ShowProblemMessage(this, QString::fromUtf8(site.failureMessage));
}

void TCopyrightForm::MailLabelClick()
{
    const LinkCommand &mail = termdex::MailLabelClick();
    if (m_shell == nullptr || !m_shell->OpenUrl(mail.address))
        ShowProblemMessage(this, QString::fromUtf8(mail.failureMessage));
}

} // namespace termdex
