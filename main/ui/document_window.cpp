#include "main/ui/document_window.h"

#include "dialogs/problem_message.h"
#include "lib/files.h"
#include "main/shipped_documents.h"
#include "platform/shell.h"

#include <QFile>
#include <QFileInfo>
#include <QPalette>
#include <QVBoxLayout>

namespace termdex {

QVariant DocumentBrowser::loadResource(int /*type*/, const QUrl &name)
{
    if (!name.isLocalFile())
        return {};
    QFile file(name.toLocalFile());
    if (!QFileInfo(file).isFile() || file.size() > kMaxShownDocumentBytes ||
        !file.open(QIODevice::ReadOnly))
        return {};
    return file.read(kMaxShownDocumentBytes);
}

TDocumentWindow::TDocumentWindow(QWidget *owner, Shell *shell, const std::filesystem::path &file,
                                 const QString &title)
    : QWidget(owner, Qt::Window), m_shell(shell), m_title(title)
{
    setObjectName(QStringLiteral("DocumentWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    m_browser = new DocumentBrowser(this);
    m_browser->setObjectName(QStringLiteral("Document_Text"));
    m_browser->setOpenLinks(false);
    // The documents are written dark on white; a dark desktop palette must not put them on a
    // dark page.
    QPalette page = m_browser->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        page.setColor(group, QPalette::Base, Qt::white);
        page.setColor(group, QPalette::Text, Qt::black);
        page.setColor(group, QPalette::Highlight, QColor(0x00, 0x50, 0xa0));
        page.setColor(group, QPalette::HighlightedText, Qt::white);
        page.setColor(group, QPalette::Link, QColor(0x00, 0x40, 0x90));
        page.setColor(group, QPalette::LinkVisited, QColor(0x55, 0x1a, 0x8b));
    }
    m_browser->setPalette(page);
    // The rich text takes its links' colour from the application's palette, not from the
    // browser's: a dark desktop's light blue would stand on the white page at 3:1.
    m_browser->document()->setDefaultStyleSheet(QStringLiteral("a { color: #004090; }"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &TDocumentWindow::FollowLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &TDocumentWindow::ShowTitle);
    m_browser->setSource(QUrl::fromLocalFile(QString::fromStdString(file.string())),
                         QTextDocument::HtmlResource);
    ShowTitle();
    resize(760, 600);
}

void TDocumentWindow::ShowTitle()
{
    const QString own = m_browser->documentTitle().trimmed();
    setWindowTitle(own.isEmpty() ? m_title : own);
}

void TDocumentWindow::FollowLink(const QUrl &link)
{
    const QUrl target = m_browser->source().resolved(link);
    switch (ClassifyDocumentLink(link.scheme().toStdString(), link.path().toStdString())) {
    case DocumentLinkAction::Scroll:
        m_browser->scrollToAnchor(link.fragment());
        break;
    case DocumentLinkAction::Show:
        // A link to a document that is not there leaves the shown one in place.
        if (FileExists(target.toLocalFile().toStdString()))
            m_browser->setSource(target, QTextDocument::HtmlResource);
        break;
    case DocumentLinkAction::Desktop:
        if (m_shell != nullptr)
            m_shell->OpenDocument(target.toLocalFile().toStdString(), {});
        break;
    case DocumentLinkAction::Address: {
        const bool mail = link.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0;
        const LinkCommand &command = mail ? MailLabelClick() : SiteLabelClick();
        if (m_shell == nullptr ||
            !m_shell->OpenUrl(link.toString(QUrl::FullyEncoded).toStdString()))
            ShowProblemMessage(this, QString::fromUtf8(command.failureMessage));
        break;
    }
    case DocumentLinkAction::Ignore:
        break;
    }
}

} // namespace termdex
