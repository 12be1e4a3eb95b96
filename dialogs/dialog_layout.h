// Small helpers shared by the dialogs: fixed client sizes, controls at their places, fonts.
#pragma once

#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>

namespace termdex {

// A dialog of a fixed client size with a title bar only (no border icons).
inline void SetFixedDialog(QDialog &dialog, const QString &caption, int width, int height)
{
    dialog.setWindowTitle(caption);
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    dialog.setFixedSize(width, height);
    QFont font = dialog.font();
    font.setPixelSize(11);
    dialog.setFont(font);
}

inline QLabel *PlaceLabel(QWidget *parent, const char *name, const QString &text, int left, int top,
                          bool bold = false, bool underline = false)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QFont font = label->font();
    font.setBold(bold);
    font.setUnderline(underline);
    label->setFont(font);
    label->adjustSize();
    label->move(left, top);
    return label;
}

inline QPushButton *PlaceButton(QWidget *parent, const char *name, const QString &text, int left,
                                int top)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(left, top, 101, 25);
    return button;
}

} // namespace termdex
