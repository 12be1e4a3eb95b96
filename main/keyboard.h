// The keyboard layouts that go with the two lookup languages, behind a small seam: the system's
// layouts are listed and activated through KeyboardLayouts, which the platform layer implements
// (XKB groups on X11) and tests replace with a recording fake.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace termdex {

// A layout as the system names it; 0 stands for none.
using LayoutHandle = uint64_t;

class KeyboardLayouts
{
public:
    virtual ~KeyboardLayouts() = default;
    // The installed layouts in the system's order (FindKeyboardLayouts takes the first 20).
    virtual std::vector<LayoutHandle> InstalledLayouts() = 0;
    // Makes a layout the active one; false when the system refuses.
    virtual bool Activate(LayoutHandle layout) = 0;
    // The English name of the active layout's language ("Greek", "English", ...), empty when it
    // cannot be read.
    virtual std::string ActiveLanguageName() = 0;
};

// The layout of each mode, 0 while none was found.
struct ModeKeyboards
{
    LayoutHandle greekLayout = 0;   // GreekLayout
    LayoutHandle englishLayout = 0; // EnglishLayout
};

// Activates each of the first 20 layouts in turn and keeps the first whose language is "Greek"
// and the first whose language is "English" or unreadable (names compared exactly). The last
// layout listed stays active. A null keyboard finds nothing.
ModeKeyboards FindKeyboardLayouts(KeyboardLayouts *keyboard);

} // namespace termdex
