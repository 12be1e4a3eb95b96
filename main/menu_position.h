// Where a toolbar button's menu drops (the history menus, the custom-entries menu, the tables
// menu): just below the button, in screen pixels.
#pragma once

namespace termdex {

struct MenuPoint
{
    int x = 0, y = 0;
};

// x = window left + button left + 4, y = window top + button top + button height + 22: the
// window's positions are its outer ones, and 22 pixels are its title bar.
constexpr MenuPoint MenuBelowButton(int windowLeft, int windowTop, int buttonLeft, int buttonTop,
                                    int buttonHeight)
{
    return {windowLeft + buttonLeft + 4, windowTop + buttonTop + buttonHeight + 22};
}

} // namespace termdex
