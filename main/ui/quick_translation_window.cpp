// TMainLex's quick translation: the toggle, the clipboard watch and the minimising on leaving
// the program. The clipboard tells the window of every change through the platform seam; the
// program's own copies arrive while OwnClipboardWrite is set and are ignored.
#include "main/ui/main_lex_window.h"

#include "dialogs/pictures.h"
#include "dialogs/text_convert.h"
#include "main/ui/window_extras.h"
#include "platform/display_session.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace termdex {

QString QuickTranslationTooltip(const char *hint)
{
    QString tooltip = QString::fromUtf8(hint);
    if (ClipboardSeenOnlyWithFocus())
        tooltip += QStringLiteral("\n(Σε αυτή την επιφάνεια εργασίας Wayland ό,τι αντιγράφεται "
                                  "σε άλλο πρόγραμμα φαίνεται μόνο όσο το παράθυρο του Termdex "
                                  "είναι ενεργό.)");
    return tooltip;
}

void TMainLex::AutoTranslate_ButtonClick()
{
    // Turning the mode on leaves the clipboard alone: watching it sends no notice of what is
    // already there, so there is nothing to keep from being pasted.
    const QuickTranslationLook &look = m_extras->quickTranslation.AutoTranslate_ButtonClick();
    QCoreApplication::setApplicationName(QString::fromUtf8(look.applicationTitle));
    setWindowTitle(QString::fromUtf8(look.caption));
    m_autoTranslateButton->SetGlyph(look.cancelGlyph ? m_cancelAutoTrImage->Resource()
                                                     : m_autoTrImage->Resource());
    m_autoTranslateButton->setToolTip(QuickTranslationTooltip(look.hint));
    if (m_services.clipboard == nullptr)
        return;
    if (m_extras->quickTranslation.QuickTranslationOn())
        m_services.clipboard->SetChangedHandler([this] { WMDrawClipboard(); });
    else
        m_services.clipboard->SetChangedHandler({});
}

void TMainLex::WMDrawClipboard()
{
    Clipboard *clipboard = m_services.clipboard;
    if (clipboard == nullptr || !m_extras->quickTranslation.WMDrawClipboard(
                                    clipboard->HasText(), m_core->State().OwnClipboardWrite))
        return;
    const QString pasted = QString::fromStdString(SingleLinePaste(clipboard->Text()));
    BusyThenMirror([&] { m_core->QuickTranslate(ToCp1253(pasted)); });
    FitEntryLabels();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void TMainLex::AppDeactivate()
{
    if (m_extras->quickTranslation.AppDeactivate())
        showMinimized();
}

void TMainLex::FormDestroy()
{
    // Whether or not the mode is on, no notice may reach the window once it is gone.
    if (m_services.clipboard != nullptr)
        m_services.clipboard->SetChangedHandler({});
}

} // namespace termdex
