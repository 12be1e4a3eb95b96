#include "main/ui/window_support.h"

#include <QCursor>
#include <QGuiApplication>

namespace termdex {

BusyCursor::BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

} // namespace termdex
