#include "main/ui/window_support.h"

#include "main/menu_position.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QWidget>

namespace termdex {

BusyCursor::BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

void ClickFilter::Watch(QWidget *widget, std::function<void()> clicked)
{
    widget->installEventFilter(this);
    m_watched.emplace_back(widget, std::move(clicked));
}

bool ClickFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonRelease)
        return QObject::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    for (const auto &[widget, clicked] : m_watched) {
        if (widget == watched) {
            if (mouse->button() == Qt::LeftButton &&
                widget->rect().contains(mouse->position().toPoint()))
                clicked();
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void PopUpBelow(QMenu &menu, const QWidget &window, const QWidget &button)
{
    const MenuPoint at =
        MenuBelowButton(window.x(), window.y(), button.x(), button.y(), button.height());
    menu.popup(QPoint(at.x, at.y));
}

} // namespace termdex
