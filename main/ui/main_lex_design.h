// The main window's design geometry and fonts, which its building and its layout share. Pixels
// of the client area.
#pragma once

#include <QColor>
#include <QFont>
#include <QSize>

namespace termdex {

// The design client size; the anchored controls keep their distances to its edges.
constexpr QSize kDesignSize(595, 321);
constexpr QSize kMinimumSize(244, 170);
constexpr int kMedicalImageWidth = 329;
constexpr int kMedicalImageHeight = 57;
// The texts on the window's colour stand on this darker blue: white on the window's own blue
// reaches only 3.8:1, on this one 6.1:1 (and the rendering's yellow 5.8:1).
inline const QColor kTextPlateColour(0x00, 0x60, 0xC0);

inline QFont PixelFont(const QFont &base, int pixels, bool bold = false)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace termdex
