// A shipped document (help, preface, abbreviations, bibliography) shown in a window of the
// dictionary, for a desktop with no program that opens it. Links to the other documents are
// followed inside the window, places inside a document scrolled to, web and mail addresses
// and other files handed to the desktop.
#pragma once

#include <QTextBrowser>
#include <QWidget>

#include <filesystem>

namespace termdex {

class Shell;

// Reads local files only, and only up to kMaxShownDocumentBytes; anything else stays empty.
class DocumentBrowser final : public QTextBrowser
{
    Q_OBJECT
public:
    using QTextBrowser::QTextBrowser;
    QVariant loadResource(int type, const QUrl &name) override;
};

class TDocumentWindow final : public QWidget
{
    Q_OBJECT
public:
    // file: an existing document; title (UTF-8) names the window while the document has no
    // title of its own. The window deletes itself when closed.
    TDocumentWindow(QWidget *owner, Shell *shell, const std::filesystem::path &file,
                    const QString &title);
    QTextBrowser *Browser() const { return m_browser; }
    // Acts on a link of the shown document as a click on it does.
    void FollowLink(const QUrl &link);

private:
    void ShowTitle();

    Shell *m_shell;
    QString m_title;
    DocumentBrowser *m_browser;
};

} // namespace termdex
