// The windowing system the window runs on. Watching the clipboard for quick translation and
// switching keyboard layouts need X11; a Wayland desktop that also offers Xwayland gets X11.
#pragma once

namespace termdex {

// The platform plugin to ask for, given QT_QPA_PLATFORM, WAYLAND_DISPLAY and DISPLAY (null or
// empty when unset): "xcb" when the session offers both and the reader chose none, else null
// (keep what was chosen, or Qt's own choice).
const char *PlatformPluginFor(const char *qpaPlatform, const char *waylandDisplay,
                              const char *display);

// Applies PlatformPluginFor to this process's environment; call before the application object.
void ChoosePlatformPlugin();

// True when the window runs natively on Wayland, where another program's copies reach the
// window only while it has the focus. Call after the application object exists.
bool ClipboardSeenOnlyWithFocus();

} // namespace termdex
