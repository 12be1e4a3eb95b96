// Small helpers that every part of the window uses the same way: the busy cursor, the click of a
// control that is no button, and the place a toolbar button's menu drops to.
#pragma once

#include <QObject>

#include <functional>
#include <utility>
#include <vector>

class QMenu;
class QWidget;

namespace termdex {

// The hourglass for one long operation, put back on every path.
class BusyCursor
{
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Runs a function when a watched widget is clicked: the left button released over it. A press
// dragged off the widget and released elsewhere is no click, as on a button.
class ClickFilter final : public QObject
{
public:
    using QObject::QObject;
    void Watch(QWidget *widget, std::function<void()> clicked);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::vector<std::pair<QWidget *, std::function<void()>>> m_watched;
};

// Pops menu up just below a toolbar button of window (MenuBelowButton).
void PopUpBelow(QMenu &menu, const QWidget &window, const QWidget &button);

} // namespace termdex
