#include "main/ui/search_status.h"

#include <QEvent>
#include <QTextEdit>

#include <algorithm>

namespace termdex {

SearchStatus::SearchStatus(QTextEdit *description)
    : QLabel(description->viewport()), m_area(description->viewport())
{
    setObjectName(QStringLiteral("Search_Status"));
    setWordWrap(true);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    // Dark blue on the description's white, whatever the desktop's palette.
    QPalette colours = palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        colours.setColor(group, QPalette::WindowText, QColor(0x00, 0x33, 0x66));
        colours.setColor(group, QPalette::Window, Qt::white);
    }
    setPalette(colours);
    setAutoFillBackground(true);
    QFont bold = font();
    bold.setPixelSize(13);
    bold.setBold(true);
    setFont(bold);
    setMargin(6);
    hide();
    m_area->installEventFilter(this);
}

void SearchStatus::Show(const QString &report, bool descriptionEmpty)
{
    setText(report);
    setAccessibleName(report);
    if (report.isEmpty() || !descriptionEmpty) {
        hide();
        return;
    }
    Place();
    show();
}

void SearchStatus::Place()
{
    const int width = std::max(0, m_area->width());
    setGeometry(0, 0, width, std::min(heightForWidth(width), m_area->height()));
}

bool SearchStatus::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_area && event->type() == QEvent::Resize && isVisible())
        Place();
    return QLabel::eventFilter(watched, event);
}

} // namespace termdex
