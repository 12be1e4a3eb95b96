// The operating-system services the window is handed, as one bundle: the real ones for the
// program, the recording fakes of fakes.h for tests. The window owns none of them.
#pragma once

#include "lib/user_folders.h"
#include "main/keyboard.h"
#include "platform/clipboard.h"
#include "platform/display_session.h"
#include "platform/file_attributes.h"
#include "platform/shell.h"
#include "platform/user_folders.h"
#include "store/file_system.h"

#include <memory>

namespace termdex {

struct PlatformServices
{
    KeyboardLayouts *keyboard = nullptr; // never null in a bundle handed to the window
    Clipboard *clipboard = nullptr;
    Shell *shell = nullptr;
    SpecialFolders *folders = nullptr;
    FileAttributes *files = nullptr;
    UserFolders user;                 // the program's main reads them from the environment
    FileSystem *fileSystem = nullptr; // every read and rewrite of the reader's files
};

// Owns the real services of this desktop. Create it after the application object (the clipboard
// needs it) and keep it until the window is gone.
class SystemPlatform
{
public:
    explicit SystemPlatform(UserFolders user);
    PlatformServices Services() const;

private:
    std::unique_ptr<KeyboardLayouts> m_keyboard;
    std::unique_ptr<Clipboard> m_clipboard;
    std::unique_ptr<Shell> m_shell;
    std::unique_ptr<SpecialFolders> m_folders;
    std::unique_ptr<FileAttributes> m_files;
    UserFolders m_user;
};

} // namespace termdex
