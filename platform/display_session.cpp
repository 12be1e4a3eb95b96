#include "platform/display_session.h"

#include <QGuiApplication>

#include <cstdlib>

namespace termdex {
namespace {
bool Set(const char *value) { return value != nullptr && *value != '\0'; }
} // namespace

const char *PlatformPluginFor(const char *qpaPlatform, const char *waylandDisplay,
                              const char *display)
{
    if (Set(qpaPlatform) || !Set(waylandDisplay) || !Set(display))
        return nullptr;
    return "xcb";
}

void ChoosePlatformPlugin()
{
    if (const char *plugin = PlatformPluginFor(
            std::getenv("QT_QPA_PLATFORM"), std::getenv("WAYLAND_DISPLAY"), std::getenv("DISPLAY")))
        setenv("QT_QPA_PLATFORM", plugin, 1);
}

bool ClipboardSeenOnlyWithFocus()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace termdex
