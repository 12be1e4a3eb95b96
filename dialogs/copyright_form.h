// TCopyrightForm: the about window. The rights text is read again whenever the window becomes
// active; the publisher's web site and mail address open in the desktop's programs.
#pragma once

#include "lib/text.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLabel;
class QPushButton;
class QTextEdit;

namespace termdex {

class Shell;

class TCopyrightForm final : public QDialog
{
    Q_OBJECT
public:
    // The rights text as RTF, nullopt when it cannot be read (the text stays as it was).
    using RightsText = std::function<std::optional<Cp1253>()>;

    // shell opens the links (none: they do nothing); rightsText reads the rights text.
    explicit TCopyrightForm(QWidget *parent = nullptr, Shell *shell = nullptr,
                            RightsText rightsText = {});

public slots:
    // Loads the rights text into CopyrightRTF.
    void FormActivate();
    void SiteLabelClick();
    void MailLabelClick();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Shell *m_shell;
    RightsText m_rightsText;
    QLabel *m_siteLabel;
    QLabel *m_mailLabel;
    QTextEdit *m_copyrightRtf;
    QPushButton *m_okButton;
};

} // namespace termdex
