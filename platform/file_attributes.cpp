#include "platform/file_attributes.h"

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace termdex {

namespace {

class PosixAttributes final : public FileAttributes
{
public:
    std::optional<bool> IsReadOnly(const std::filesystem::path &file) override
    {
        struct stat status
        {
        };
        if (::stat(file.c_str(), &status) != 0)
            return std::nullopt;
        // The attribute's own bit, or a file this user may not write (a system-wide copy).
        if ((status.st_mode & S_IWUSR) == 0 || ::access(file.c_str(), W_OK) != 0)
            return true;
        struct statvfs volume
        {
        };
        return ::statvfs(file.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0;
    }

    bool ClearReadOnly(const std::filesystem::path &file) override
    {
        struct stat status
        {
        };
        if (::stat(file.c_str(), &status) != 0)
            return false;
        if (::chmod(file.c_str(), (status.st_mode & 07777) | S_IWUSR) != 0)
            return false;
        return IsReadOnly(file) == false;
    }
};

} // namespace

std::unique_ptr<FileAttributes> PosixFileAttributes()
{
    return std::make_unique<PosixAttributes>();
}

} // namespace termdex
