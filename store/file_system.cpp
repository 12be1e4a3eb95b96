#include "store/file_system.h"

#include "lib/files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace termdex {
namespace {

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

class PosixWritableFile final : public WritableFile
{
public:
    explicit PosixWritableFile(int fd) : m_fd(fd) {}
    ~PosixWritableFile() override
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool Append(std::string_view bytes) override { return m_fd >= 0 && WriteAll(m_fd, bytes); }
    bool Sync() override { return m_fd >= 0 && ::fsync(m_fd) == 0; }
    bool Close() override
    {
        if (m_fd < 0)
            return false;
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

class PosixReadableFile final : public ReadableFile
{
public:
    explicit PosixReadableFile(int fd) : m_fd(fd) {}
    ~PosixReadableFile() override { ::close(m_fd); }
    bool Read(size_t count, std::string &out) override
    {
        const size_t start = out.size();
        out.resize(start + count);
        size_t got = 0;
        while (got < count) {
            const ssize_t n = ::read(m_fd, out.data() + start + got, count - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                out.resize(start + got);
                return false;
            }
            got += static_cast<size_t>(n);
        }
        return true;
    }
    bool Skip(size_t count) override
    {
        const off_t here = ::lseek(m_fd, 0, SEEK_CUR);
        struct stat st
        {
        };
        if (here < 0 || ::fstat(m_fd, &st) != 0)
            return false;
        if (static_cast<uint64_t>(st.st_size - here) < count)
            return false;
        return ::lseek(m_fd, static_cast<off_t>(count), SEEK_CUR) >= 0;
    }

private:
    int m_fd;
};

class PosixFileSystem final : public FileSystem
{
public:
    bool Exists(const std::string &path) override
    {
        struct stat st
        {
        };
        return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
    }
    std::optional<int64_t> Size(const std::string &path) override
    {
        struct stat st
        {
        };
        if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            return std::nullopt;
        return static_cast<int64_t>(st.st_size);
    }
    std::optional<std::string> ReadAll(const std::string &path, int64_t maxBytes) override
    {
        const auto size = Size(path);
        if (!size || *size > maxBytes)
            return std::nullopt;
        auto file = OpenRead(path);
        std::string bytes;
        if (!file || !file->Read(static_cast<size_t>(*size), bytes))
            return std::nullopt;
        return bytes;
    }
    std::unique_ptr<ReadableFile> OpenRead(const std::string &path) override
    {
        const int fd = OpenRegularFile(path);
        if (fd < 0)
            return nullptr;
        return std::make_unique<PosixReadableFile>(fd);
    }
    std::unique_ptr<WritableFile> Create(const std::string &path) override
    {
        // Not blocking on a named pipe, and only ever a regular file (checked before emptying).
        const int fd =
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644);
        if (fd < 0)
            return nullptr;
        // Then written blocking: without, a write may stop short while the disk is busy.
        struct stat st
        {
        };
        const int flags = ::fcntl(fd, F_GETFL);
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
            ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 || ::ftruncate(fd, 0) != 0) {
            ::close(fd);
            return nullptr;
        }
        return std::make_unique<PosixWritableFile>(fd);
    }
    bool Link(const std::string &from, const std::string &to) override
    {
        return ::link(from.c_str(), to.c_str()) == 0;
    }
    bool Rename(const std::string &from, const std::string &to) override
    {
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
    bool Remove(const std::string &path) override
    {
        return ::unlink(path.c_str()) == 0 || errno == ENOENT;
    }
    bool SyncFolder(const std::string &folder) override
    {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const bool ok = ::fsync(fd) == 0;
        ::close(fd);
        return ok;
    }
};

} // namespace

FileSystem &RealFileSystem()
{
    static PosixFileSystem fs;
    return fs;
}

std::unique_ptr<WritableFile> UnsyncedFileSystem::Create(const std::string &path)
{
    class File final : public WritableFile
    {
    public:
        explicit File(std::unique_ptr<WritableFile> file) : m_file(std::move(file)) {}
        bool Append(std::string_view bytes) override { return m_file->Append(bytes); }
        bool Sync() override { return true; }
        bool Close() override { return m_file->Close(); }

    private:
        std::unique_ptr<WritableFile> m_file;
    };
    auto file = m_real.Create(path);
    return file ? std::make_unique<File>(std::move(file)) : nullptr;
}

} // namespace termdex
