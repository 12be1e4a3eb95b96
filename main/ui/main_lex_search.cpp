// The two search dialogs: the search by criteria and the full-text search.
#include "main/ui/main_lex_window.h"

#include "dialogs/message_form.h"
#include "dialogs/search_form.h"
#include "main/ui/entry_edit.h"
#include "main/ui/window_support.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <atomic>

namespace termdex {

void TMainLex::Search_ButtonClick()
{
    TSearchForm dialog(this);
    dialog.exec();
    activateWindow();
    if (const std::optional<SearchCriteria> criteria = dialog.Criteria()) {
        BusyCursor busy;
        m_core->Search_ButtonClick(criteria);
    }
    Mirror();
    m_entryText->setFocus(Qt::OtherFocusReason);
}

void TMainLex::DescrSearch_ButtonClick()
{
    TMessageForm dialog(this);
    dialog.exec();
    activateWindow();
    const std::optional<Cp1253> word = dialog.Word();
    if (!word) {
        m_core->DescrSearch_ButtonClick(std::nullopt);
    } else {
        BusyCursor busy;
        // A search that runs longer than the delay shows its progress and can be cancelled; the
        // entries found up to a cancel stay listed.
        std::atomic<bool> cancel{false};
        QPointer<QProgressDialog> progress;
        QElapsedTimer clock;
        clock.start();
        DescrSearchOptions options;
        options.cancel = &cancel;
        options.threads = m_searchThreads;
        options.progress = [&](int scanned, int total) {
            if (progress.isNull() && clock.elapsed() >= m_searchProgressDelay) {
                progress = new QProgressDialog(QStringLiteral("Αναζήτηση στις Ερμηνείες…"),
                                               QStringLiteral("Άκυρο"), 0, total, this);
                progress->setObjectName(QStringLiteral("DescrSearch_Progress"));
                progress->setWindowTitle(QStringLiteral("Termdex"));
                // Modal for the whole program: while the search lets events through, the reader
                // can only cancel it.
                progress->setWindowModality(Qt::ApplicationModal);
                progress->setMinimumDuration(0);
                progress->setAutoClose(false);
                progress->setAutoReset(false);
                connect(progress, &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
                progress->show();
            }
            if (!progress.isNull()) {
                progress->setValue(scanned);
                QCoreApplication::processEvents();
            }
        };
        m_core->DescrSearch_ButtonClick(word, options);
        delete progress.data();
    }
    Mirror();
    m_entryText->setFocus(Qt::OtherFocusReason);
}

} // namespace termdex
