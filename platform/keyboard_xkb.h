// The keyboard layouts of an X11 desktop: XKB keyboard groups. A group whose symbols name is "gr"
// is Greek, "us", "gb" and the other English layouts are English. Without an X11 display no
// layout is found, and the entry field's own transliteration types Greek.
#pragma once

#include "main/keyboard.h"

#include <memory>
#include <string>
#include <vector>

namespace termdex {

// The few XKB calls the layouts need, so that the reading of the names and the choice of groups
// are tested against a recorded server. Groups count from 0, as XKB numbers them.
class XkbServer
{
public:
    virtual ~XkbServer() = default;
    // The number of groups of the core keyboard, 0 when none can be read.
    virtual int GroupCount() = 0;
    // The keymap's symbols name, e.g. "pc+us+gr:2+inet(evdev)"; empty when unreadable.
    virtual std::string SymbolsName() = 0;
    // The group in effect now, -1 when unreadable.
    virtual int ActiveGroup() = 0;
    // Locks a group; false when the server refuses.
    virtual bool LockGroup(int group) = 0;
};

// The server of the display named by $DISPLAY; nullptr when there is none or it lacks XKB.
std::unique_ptr<XkbServer> OpenX11XkbServer();

// The layout of each group, from a symbols name: "pc+us+gr:2+inet(evdev)" gives {"us", "gr"}.
// Parts that are not layouts (pc, inet, group, ...) are passed over; a variant in brackets is
// dropped. A group with no layout named stays empty.
std::vector<std::string> LayoutsOfSymbolsName(const std::string &symbolsName, int groupCount);

// The English name of a layout's language: "Greek" for "gr", "English" for "us", "gb" and the
// other English layouts, the layout's own code for any other, empty for an empty code.
std::string LanguageOfLayout(const std::string &layout);

// KeyboardLayouts over XKB groups. A handle is the group number + 1, so 0 stays "none".
class XkbKeyboardLayouts final : public KeyboardLayouts
{
public:
    explicit XkbKeyboardLayouts(std::unique_ptr<XkbServer> server);

    std::vector<LayoutHandle> InstalledLayouts() override;
    bool Activate(LayoutHandle layout) override;
    std::string ActiveLanguageName() override;

private:
    std::unique_ptr<XkbServer> m_server;
};

// The desktop's keyboard layouts: XKB on X11, none elsewhere.
std::unique_ptr<KeyboardLayouts> SystemKeyboardLayouts();

} // namespace termdex
