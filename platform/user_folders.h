// The user's special folders that the program writes into.
#pragma once

#include <filesystem>
#include <memory>

namespace termdex {

class SpecialFolders
{
public:
    virtual ~SpecialFolders() = default;
    virtual std::filesystem::path Home() = 0;
    // The desktop folder (xdg-user-dir DESKTOP), else ~/Desktop.
    virtual std::filesystem::path Desktop() = 0;
    // Where launchers go so that the desktop's menu lists them: ~/.local/share/applications.
    virtual std::filesystem::path Applications() = 0;
};

// The XDG folders of the user running the program.
std::unique_ptr<SpecialFolders> XdgSpecialFolders();

} // namespace termdex
