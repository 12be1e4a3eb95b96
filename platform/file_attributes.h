// The one file attribute the program reads and writes: read-only. A file is read-only when its
// owner-write bit is clear, when this user may not write it (access(2): a system-wide copy is
// writable by its owner only), or when it lies on a read-only file system (the media the
// program may be shipped on).
#pragma once

#include <filesystem>
#include <memory>
#include <optional>

namespace termdex {

class FileAttributes
{
public:
    virtual ~FileAttributes() = default;
    // nullopt when the file cannot be found.
    virtual std::optional<bool> IsReadOnly(const std::filesystem::path &file) = 0;
    // Sets the owner-write bit; false when that fails (a read-only file system stays so).
    virtual bool ClearReadOnly(const std::filesystem::path &file) = 0;
};

// stat(2) and statvfs(3).
std::unique_ptr<FileAttributes> PosixFileAttributes();

} // namespace termdex
