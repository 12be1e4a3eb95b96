// The dialogs' own pictures (folder dialog, button glyphs), compiled in as SVG resources.
#pragma once

#include <QIcon>
#include <QString>

namespace termdex {

// The resource path of dialogs/pictures/<name>.svg, registering the dialogs' resources first.
QString DialogPicture(const char *name);

// An SVG resource drawn as a square icon of pixels (also at twice the size, for dense screens).
QIcon SvgIcon(const QString &resource, int pixels = 16);

} // namespace termdex
