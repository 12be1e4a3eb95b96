#include "platform/display_session.h"

#include <gtest/gtest.h>

#include <string>

namespace termdex {
namespace {

std::string Plugin(const char *qpa, const char *wayland, const char *display)
{
    const char *plugin = PlatformPluginFor(qpa, wayland, display);
    return plugin == nullptr ? "" : plugin;
}

TEST(DisplaySessionTest, X11IsChosenOnlyWhereBothAreOfferedAndNoneWasSet)
{
    EXPECT_EQ(Plugin(nullptr, "wayland-0", ":0"), "xcb");
    EXPECT_EQ(Plugin("", "wayland-0", ":0"), "xcb");
    EXPECT_EQ(Plugin("wayland", "wayland-0", ":0"), "");  // the reader's choice stands
    EXPECT_EQ(Plugin(nullptr, "wayland-0", nullptr), ""); // pure Wayland runs natively
    EXPECT_EQ(Plugin(nullptr, "wayland-0", ""), "");
    EXPECT_EQ(Plugin(nullptr, nullptr, ":0"), "");
}

} // namespace
} // namespace termdex
