#include "main/ui/entry_edit.h"

#include <QKeyEvent>

namespace termdex {

EntryEdit::EntryEdit(QWidget *parent) : QLineEdit(parent) {}

void EntryEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Down || key == Qt::Key_Up || key == Qt::Key_PageUp ||
        key == Qt::Key_PageDown) {
        m_typing.Reset();
        emit listKeyPressed(key);
        QLineEdit::keyPressEvent(event); // the key is not consumed
        return;
    }
    const QString text = event->text();
    const bool plainKey =
        (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
    if (plainKey && text.size() == 1 && text[0].isPrint() && m_greekTypingActive &&
        m_greekTypingActive()) {
        const std::u32string greek = m_typing.Type(text[0].unicode());
        if (!greek.empty())
            insert(QString::fromStdU32String(greek));
        event->accept();
        return;
    }
    if (!text.isEmpty() || key == Qt::Key_Backspace || key == Qt::Key_Delete)
        m_typing.Reset();
    QLineEdit::keyPressEvent(event);
}

void EntryEdit::focusOutEvent(QFocusEvent *event)
{
    m_typing.Reset();
    QLineEdit::focusOutEvent(event);
}

} // namespace termdex
