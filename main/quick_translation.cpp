#include "main/quick_translation.h"

namespace termdex {

const QuickTranslationLook &QuickTranslation::Look(bool on)
{
    static const QuickTranslationLook kOn{"Γρήγορη Μετάφραση - Termdex",
                                          "Termdex - Γρήγορη Μετάφραση",
                                          "Τερματισμός Γρήγορης Μετάφρασης", true};
    static const QuickTranslationLook kOff{"Termdex", "Termdex", "Γρήγορη Μετάφραση", false};
    return on ? kOn : kOff;
}

const QuickTranslationLook &QuickTranslation::AutoTranslate_ButtonClick()
{
    m_on = !m_on;
    return Look(m_on);
}

bool QuickTranslation::WMDrawClipboard(bool clipboardHasText, bool ownClipboardWrite) const
{
    return m_on && clipboardHasText && !ownClipboardWrite;
}

std::string SingleLinePaste(std::string_view text)
{
    // A single-line edit control takes the text up to its first line break.
    return std::string(text.substr(0, text.find_first_of("\r\n")));
}

namespace {

bool IsTrimmedAround(unsigned char c)
{
    if (c <= 32 || c == 0xA0) // blanks, control characters, the no-break space
        return true;
    if (c < 0x80)
        return std::string_view("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~").find(static_cast<char>(c)) !=
               std::string_view::npos;
    // „ … ‘ ’ “ ” • – — « · » ΄ ΅
    return std::string_view("\x84\x85\x91\x92\x93\x94\x95\x96\x97\xAB\xB7\xBB\xB4\xA1")
               .find(static_cast<char>(c)) != std::string_view::npos;
}

// The other bracket of an opening or closing one, 0 for any other byte.
char PartnerOf(char c)
{
    switch (c) {
    case '(':
        return ')';
    case ')':
        return '(';
    case '[':
        return ']';
    case ']':
        return '[';
    default:
        return 0;
    }
}

} // namespace

std::string TrimPastedText(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    size_t first = 0, last = text.size();
    // A bracket goes unless its partner stands inside the text (not at its other end).
    auto trimmable = [&](size_t at) {
        const char c = text[at];
        if (!IsTrimmedAround(static_cast<unsigned char>(c)))
            return false;
        const char partner = PartnerOf(c);
        if (partner == 0)
            return true;
        const size_t length = last - first;
        const std::string_view inner =
            length > 2 ? text.substr(first + 1, length - 2) : std::string_view();
        return inner.find(partner) == std::string_view::npos;
    };
    while (first < last && (trimmable(first) || trimmable(last - 1))) {
        if (trimmable(first))
            ++first;
        else
            --last;
    }
    return std::string(text.substr(first, last - first));
}

} // namespace termdex
