#include "platform/platform.h"

#include "platform/keyboard_xkb.h"

namespace termdex {

SystemPlatform::SystemPlatform(UserFolders user)
    : m_keyboard(SystemKeyboardLayouts()), m_clipboard(SystemClipboard()), m_shell(DesktopShell()),
      m_folders(XdgSpecialFolders()), m_files(PosixFileAttributes()), m_user(std::move(user))
{
}

PlatformServices SystemPlatform::Services() const
{
    return {m_keyboard.get(), m_clipboard.get(), m_shell.get(), m_folders.get(), m_files.get(),
            m_user,           &RealFileSystem()};
}

} // namespace termdex
