#include "platform/keyboard_xkb.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

namespace termdex {

namespace {

constexpr int kMaxGroups = 4; // XkbNumKbdGroups

class X11XkbServer final : public XkbServer
{
public:
    explicit X11XkbServer(Display *display) : m_display(display) {}
    ~X11XkbServer() override { XCloseDisplay(m_display); }
    X11XkbServer(const X11XkbServer &) = delete;
    X11XkbServer &operator=(const X11XkbServer &) = delete;

    int GroupCount() override
    {
        XkbDescPtr desc = XkbAllocKeyboard();
        if (desc == nullptr)
            return 0;
        int count = 0;
        if (XkbGetControls(m_display, XkbGroupsWrapMask, desc) == Success && desc->ctrls)
            count = std::clamp<int>(desc->ctrls->num_groups, 0, kMaxGroups);
        XkbFreeKeyboard(desc, 0, True);
        return count;
    }

    std::string SymbolsName() override
    {
        XkbDescPtr desc = XkbAllocKeyboard();
        if (desc == nullptr)
            return {};
        std::string name;
        if (XkbGetNames(m_display, XkbSymbolsNameMask, desc) == Success && desc->names &&
            desc->names->symbols != None) {
            if (char *atom = XGetAtomName(m_display, desc->names->symbols)) {
                name = atom;
                XFree(atom);
            }
        }
        XkbFreeKeyboard(desc, 0, True);
        return name;
    }

    int ActiveGroup() override
    {
        XkbStateRec state{};
        if (XkbGetState(m_display, XkbUseCoreKbd, &state) != Success)
            return -1;
        return state.group;
    }

    bool LockGroup(int group) override
    {
        if (group < 0 || group >= kMaxGroups)
            return false;
        const bool sent = XkbLockGroup(m_display, XkbUseCoreKbd, static_cast<unsigned>(group));
        // The lock must have taken effect before the next reading of the active group.
        XSync(m_display, False);
        return sent;
    }

private:
    Display *m_display;
};

// Parts of a symbols name that add keys or options rather than a layout.
bool IsOptionPart(std::string_view part)
{
    static constexpr std::array<std::string_view, 24> kOptions = {
        "pc",     "inet",      "group",  "compose", "ctrl",   "capslock",  "level3",    "level5",
        "altwin", "terminate", "keypad", "kpdl",    "nbsp",   "japan",     "srvr_ctrl", "eurosign",
        "shift",  "lv3",       "lv5",    "caps",    "numpad", "rupeesign", "apple",     "evdev"};
    return std::find(kOptions.begin(), kOptions.end(), part) != kOptions.end();
}

} // namespace

std::unique_ptr<XkbServer> OpenX11XkbServer()
{
    const char *displayName = std::getenv("DISPLAY");
    if (displayName == nullptr || *displayName == '\0')
        return nullptr;
    int event = 0, error = 0, reason = 0;
    int major = XkbMajorVersion, minor = XkbMinorVersion;
    Display *display = XkbOpenDisplay(nullptr, &event, &error, &major, &minor, &reason);
    if (display == nullptr)
        return nullptr;
    return std::make_unique<X11XkbServer>(display);
}

std::vector<std::string> LayoutsOfSymbolsName(const std::string &symbolsName, int groupCount)
{
    groupCount = std::clamp(groupCount, 0, kMaxGroups);
    std::vector<std::string> layouts(static_cast<size_t>(groupCount));
    bool firstTaken = false;
    size_t start = 0;
    while (start <= symbolsName.size()) {
        size_t end = symbolsName.find('+', start);
        if (end == std::string::npos)
            end = symbolsName.size();
        std::string_view part(symbolsName.data() + start, end - start);
        start = end + 1;

        int group = 0; // 1-based; 0 while the part names none
        if (const size_t colon = part.find(':'); colon != std::string_view::npos) {
            const std::string_view number = part.substr(colon + 1);
            if (number.size() == 1 && number[0] >= '1' && number[0] <= '4')
                group = number[0] - '0';
            part = part.substr(0, colon);
        }
        if (const size_t bracket = part.find('('); bracket != std::string_view::npos)
            part = part.substr(0, bracket);
        if (part.empty() || IsOptionPart(part))
            continue;
        if (group == 0) {
            if (firstTaken)
                continue;
            group = 1;
            firstTaken = true;
        }
        if (group <= groupCount && layouts[group - 1].empty())
            layouts[group - 1] = std::string(part);
    }
    return layouts;
}

std::string LanguageOfLayout(const std::string &layout)
{
    static constexpr std::array<std::string_view, 7> kEnglish = {"us", "gb", "au", "ie",
                                                                 "nz", "za", "en"};
    if (layout == "gr")
        return "Greek";
    if (std::find(kEnglish.begin(), kEnglish.end(), layout) != kEnglish.end())
        return "English";
    return layout;
}

XkbKeyboardLayouts::XkbKeyboardLayouts(std::unique_ptr<XkbServer> server)
    : m_server(std::move(server))
{
}

std::vector<LayoutHandle> XkbKeyboardLayouts::InstalledLayouts()
{
    std::vector<LayoutHandle> handles;
    if (!m_server)
        return handles;
    const int count = std::clamp(m_server->GroupCount(), 0, kMaxGroups);
    for (int group = 0; group < count; ++group)
        handles.push_back(static_cast<LayoutHandle>(group + 1));
    return handles;
}

bool XkbKeyboardLayouts::Activate(LayoutHandle layout)
{
    if (!m_server || layout == 0 || layout > kMaxGroups)
        return false;
    return m_server->LockGroup(static_cast<int>(layout - 1));
}

std::string XkbKeyboardLayouts::ActiveLanguageName()
{
    if (!m_server)
        return {};
    const int group = m_server->ActiveGroup();
    const std::vector<std::string> layouts =
        LayoutsOfSymbolsName(m_server->SymbolsName(), m_server->GroupCount());
    if (group < 0 || static_cast<size_t>(group) >= layouts.size())
        return {};
    return LanguageOfLayout(layouts[static_cast<size_t>(group)]);
}

std::unique_ptr<KeyboardLayouts> SystemKeyboardLayouts()
{
    return std::make_unique<XkbKeyboardLayouts>(OpenX11XkbServer());
}

} // namespace termdex
