#include "main/ui/greek_typing.h"

namespace termdex {

char32_t GreekTyping::GreekAtKey(char32_t latin)
{
    // The Greek layout's letters at the keys "a" .. "z"; "q" gives ";" (the Greek question mark)
    // and "w" the final sigma.
    static constexpr char32_t kSmall[26] = {U'α', U'β', U'ψ', U'δ', U'ε', U'φ', U'γ', U'η', U'ι',
                                            U'ξ', U'κ', U'λ', U'μ', U'ν', U'ο', U'π', U';', U'ρ',
                                            U'σ', U'τ', U'θ', U'ω', U'ς', U'χ', U'υ', U'ζ'};
    static constexpr char32_t kCapital[26] = {U'Α', U'Β', U'Ψ', U'Δ', U'Ε', U'Φ', U'Γ', U'Η', U'Ι',
                                              U'Ξ', U'Κ', U'Λ', U'Μ', U'Ν', U'Ο', U'Π', U':', U'Ρ',
                                              U'Σ', U'Τ', U'Θ', U'Ω', U'Σ', U'Χ', U'Υ', U'Ζ'};
    if (latin >= U'a' && latin <= U'z')
        return kSmall[latin - U'a'];
    if (latin >= U'A' && latin <= U'Z')
        return kCapital[latin - U'A'];
    return latin;
}

char32_t GreekTyping::Mark(Accent accent)
{
    switch (accent) {
    case Accent::Tonos:
        return U'΄';
    case Accent::Dialytika:
        return U'¨';
    case Accent::DialytikaTonos:
        return U'΅';
    case Accent::None:
        break;
    }
    return 0;
}

char32_t GreekTyping::Combine(Accent accent, char32_t letter)
{
    struct Pair
    {
        char32_t plain, accented;
    };
    static constexpr Pair kTonos[] = {{U'α', U'ά'}, {U'ε', U'έ'}, {U'η', U'ή'}, {U'ι', U'ί'},
                                      {U'ο', U'ό'}, {U'υ', U'ύ'}, {U'ω', U'ώ'}, {U'Α', U'Ά'},
                                      {U'Ε', U'Έ'}, {U'Η', U'Ή'}, {U'Ι', U'Ί'}, {U'Ο', U'Ό'},
                                      {U'Υ', U'Ύ'}, {U'Ω', U'Ώ'}};
    static constexpr Pair kDialytika[] = {{U'ι', U'ϊ'}, {U'υ', U'ϋ'}, {U'Ι', U'Ϊ'}, {U'Υ', U'Ϋ'}};
    static constexpr Pair kBoth[] = {{U'ι', U'ΐ'}, {U'υ', U'ΰ'}};
    auto find = [letter](const auto &pairs) -> char32_t {
        for (const Pair &pair : pairs)
            if (pair.plain == letter)
                return pair.accented;
        return 0;
    };
    switch (accent) {
    case Accent::Tonos:
        return find(kTonos);
    case Accent::Dialytika:
        return find(kDialytika);
    case Accent::DialytikaTonos:
        return find(kBoth);
    case Accent::None:
        break;
    }
    return 0;
}

std::u32string GreekTyping::Type(char32_t typed)
{
    const Accent waiting = m_accent;
    Accent pressed = Accent::None;
    if (typed == U';')
        pressed = Accent::Tonos;
    else if (typed == U':')
        pressed = Accent::Dialytika;

    if (pressed != Accent::None) {
        if (waiting == Accent::None) {
            m_accent = pressed;
            return {};
        }
        // The other accent key after the first gives both marks at once.
        if (waiting != pressed && waiting != Accent::DialytikaTonos) {
            m_accent = Accent::DialytikaTonos;
            return {};
        }
        m_accent = Accent::None;
        return std::u32string(1, Mark(waiting));
    }

    m_accent = Accent::None;
    const char32_t letter = GreekAtKey(typed);
    if (waiting == Accent::None)
        return std::u32string(1, letter);
    if (typed == U' ')
        return std::u32string(1, Mark(waiting));
    if (const char32_t accented = Combine(waiting, letter))
        return std::u32string(1, accented);
    return std::u32string{Mark(waiting), letter};
}

} // namespace termdex
