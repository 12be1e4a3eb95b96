#include "main/keyboard.h"

namespace termdex {

ModeKeyboards FindKeyboardLayouts(KeyboardLayouts *keyboard)
{
    constexpr size_t kMaxLayouts = 20;
    ModeKeyboards found;
    if (keyboard == nullptr)
        return found;
    const std::vector<LayoutHandle> layouts = keyboard->InstalledLayouts();
    for (size_t i = 0; i < layouts.size() && i < kMaxLayouts; ++i) {
        const LayoutHandle layout = layouts[i];
        keyboard->Activate(layout);
        const std::string name = keyboard->ActiveLanguageName();
        if (name == "Greek" && found.greekLayout == 0)
            found.greekLayout = layout;
        else if ((name == "English" || name.empty()) && found.englishLayout == 0)
            found.englishLayout = layout;
    }
    return found;
}

} // namespace termdex
