#include "install/file_copy.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <system_error>
#include <unistd.h>

namespace termdex {
namespace fs = std::filesystem;

namespace {

bool Exists(const fs::path &path)
{
    std::error_code ec;
    return fs::symlink_status(path, ec).type() != fs::file_type::not_found && !ec;
}

// A file descriptor closed on every path.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { Close(); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    bool Close()
    {
        if (m_fd < 0)
            return true;
        const bool ok = ::close(m_fd) == 0;
        m_fd = -1;
        return ok;
    }

private:
    int m_fd;
};

bool WriteAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool CopyContents(int from, int to)
{
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteAll(to, buffer, static_cast<size_t>(n)))
            return false;
    }
}

// A scratch file beside target, created exclusively; its path is set in scratch.
int CreateScratch(const fs::path &target, fs::path &scratch)
{
    std::string name =
        (target.parent_path() / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        scratch = name;
    return fd;
}

void SyncFolder(const fs::path &folder)
{
    const char *name = folder.empty() ? "." : folder.c_str();
    Descriptor fd(::open(name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get());
}

bool IsReadOnly(const fs::path &file)
{
    struct stat status
    {
    };
    if (::stat(file.c_str(), &status) != 0)
        return true;
    if ((status.st_mode & S_IWUSR) == 0)
        return true;
    struct statvfs volume
    {
    };
    return ::statvfs(file.c_str(), &volume) == 0 && (volume.f_flag & ST_RDONLY) != 0;
}

} // namespace

CopyOutcome CopyWithoutOverwrite(const fs::path &from, const fs::path &to, bool executable)
{
    if (Exists(to))
        return CopyOutcome::AlreadyThere;
    Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status
    {
    };
    if (source.get() < 0 || ::fstat(source.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return CopyOutcome::Failed;
    fs::path scratch;
    Descriptor target(CreateScratch(to, scratch));
    if (target.get() < 0)
        return CopyOutcome::Failed;
    mode_t mode = status.st_mode & 0777;
    if (executable)
        mode |= ((mode & 0444) >> 2) | S_IXUSR;
    // Some file systems keep no permission bits; the copy is good without them.
    ::fchmod(target.get(), mode);
    const bool written =
        CopyContents(source.get(), target.get()) && ::fsync(target.get()) == 0 && target.Close();
    if (!written) {
        ::unlink(scratch.c_str());
        return Exists(to) ? CopyOutcome::AlreadyThere : CopyOutcome::Failed;
    }
    // link() gives the name only if nobody took it meanwhile; file systems without hard links
    // get the copy by a rename that also refuses an existing name.
    int linked = ::link(scratch.c_str(), to.c_str());
    if (linked == 0 || errno == EEXIST) {
        ::unlink(scratch.c_str());
    } else {
        linked = ::renameat2(AT_FDCWD, scratch.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE);
        if (linked != 0 && errno != EEXIST && !Exists(to))
            linked = ::rename(scratch.c_str(), to.c_str());
        if (linked != 0)
            ::unlink(scratch.c_str());
    }
    SyncFolder(to.parent_path());
    if (linked == 0)
        return CopyOutcome::Copied;
    return Exists(to) ? CopyOutcome::AlreadyThere : CopyOutcome::Failed;
}

bool ReplaceFile(const fs::path &file, std::string_view bytes, unsigned mode)
{
    fs::path scratch;
    Descriptor fd(CreateScratch(file, scratch));
    if (fd.get() < 0)
        return false;
    ::fchmod(fd.get(), static_cast<mode_t>(mode));
    const bool written =
        WriteAll(fd.get(), bytes.data(), bytes.size()) && ::fsync(fd.get()) == 0 && fd.Close();
    if (!written || ::rename(scratch.c_str(), file.c_str()) != 0) {
        ::unlink(scratch.c_str());
        return false;
    }
    SyncFolder(file.parent_path());
    return true;
}

bool ClearReadOnly(const fs::path &file)
{
    struct stat status
    {
    };
    if (::stat(file.c_str(), &status) != 0)
        return false;
    if ((status.st_mode & S_IWUSR) == 0 &&
        ::chmod(file.c_str(), (status.st_mode & 07777) | S_IWUSR) != 0)
        return false;
    return !IsReadOnly(file);
}

} // namespace termdex
