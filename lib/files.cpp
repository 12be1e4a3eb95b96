#include "lib/files.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace termdex {
namespace fs = std::filesystem;

namespace {

bool SameIgnoringAsciiCase(const std::string &a, const std::string &b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y + 32);
        if (x != y)
            return false;
    }
    return true;
}

} // namespace

fs::path ResolvePathCase(const fs::path &path)
{
    std::error_code ec;
    if (path.empty() || fs::exists(path, ec))
        return path;
    fs::path resolved;
    for (const fs::path &part : path) {
        fs::path next = resolved / part;
        if (resolved.empty() || part == "/" || part == "." || part == ".." ||
            fs::exists(next, ec)) {
            resolved = std::move(next);
            continue;
        }
        bool found = false;
        for (fs::directory_iterator it(resolved, ec), end; !ec && it != end; it.increment(ec)) {
            if (SameIgnoringAsciiCase(it->path().filename().string(), part.string())) {
                resolved = it->path();
                found = true;
                break;
            }
        }
        if (!found)
            return path;
    }
    return resolved;
}

bool FileExists(const fs::path &path)
{
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

int OpenRegularFile(const fs::path &path)
{
    struct stat info
    {
    };
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // Swapped for something else between the two looks: refused all the same. A regular file
    // is then read blocking: without, a read may end early while the disk is busy.
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::optional<std::string> ReadFileRange(const fs::path &path, int64_t offset, int64_t length)
{
    if (offset < 0 || length < 0)
        return std::nullopt;
    const int fd = OpenRegularFile(path);
    if (fd < 0)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(length), '\0');
    int64_t got = 0;
    while (got < length) {
        const ssize_t n = ::pread(fd, bytes.data() + got, static_cast<size_t>(length - got),
                                  static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    if (got != length)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> ReadWholeFile(const fs::path &path, int64_t maxBytes)
{
    std::error_code ec;
    if (!fs::is_regular_file(path, ec))
        return std::nullopt;
    const auto size = fs::file_size(path, ec);
    if (ec || static_cast<int64_t>(size) > maxBytes)
        return std::nullopt;
    return ReadFileRange(path, 0, static_cast<int64_t>(size));
}

std::vector<std::string> SplitLines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.emplace_back(text, start, i - start);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text, start);
    return lines;
}

} // namespace termdex
