// Entry_Text: the single-line field the reader types headwords into. It reports the list keys to
// the window and, while the window asks for it, turns Latin keys into Greek letters.
#pragma once

#include "main/ui/greek_typing.h"

#include <QLineEdit>

#include <functional>

namespace termdex {

class EntryEdit final : public QLineEdit
{
    Q_OBJECT
public:
    explicit EntryEdit(QWidget *parent = nullptr);

    // Asked at each key: true while typed Latin letters are to become Greek ones.
    void SetGreekTyping(std::function<bool()> active) { m_greekTypingActive = std::move(active); }
    // Forgets an accent key that waits for its letter.
    void ResetGreekTyping() { m_typing.Reset(); }

signals:
    // Down, Up, Page Up or Page Down, before the field itself handles the key.
    void listKeyPressed(int key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    std::function<bool()> m_greekTypingActive;
    GreekTyping m_typing;
};

} // namespace termdex
