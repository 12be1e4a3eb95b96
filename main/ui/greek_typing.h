// Greek from a Latin keyboard: the letters of the standard Greek layout at the keys of the
// English one, with its accent keys (";" tonos, ":" dialytika, both for the two letters that
// carry both). The entry field uses it in Greek mode when the desktop has no Greek layout.
#pragma once

#include <string>

namespace termdex {

class GreekTyping
{
public:
    // One typed character in, the characters to insert out: nothing while an accent key waits
    // for its letter; the accent mark itself before a character that cannot carry it, or for a
    // blank. Characters that are not on the mapped keys pass unchanged.
    std::u32string Type(char32_t typed);
    // Forgets an accent key that waits (another key, a lost focus, a change of mode).
    void Reset() { m_accent = Accent::None; }
    bool AccentWaiting() const { return m_accent != Accent::None; }

    // The Greek letter at the key of a Latin letter, or the letter itself.
    static char32_t GreekAtKey(char32_t latin);

private:
    enum class Accent { None, Tonos, Dialytika, DialytikaTonos };
    static char32_t Mark(Accent accent);
    static char32_t Combine(Accent accent, char32_t letter); // 0 when it does not combine
    Accent m_accent = Accent::None;
};

} // namespace termdex
