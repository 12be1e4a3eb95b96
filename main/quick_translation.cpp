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

} // namespace termdex
