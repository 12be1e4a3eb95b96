#include "store/folder_lock.h"

#include "store/commit.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace termdex {

const char kLockFileName[] = "termdex.lock";

namespace {

// What this process holds (the window and the CLI run their edits on one thread).
int g_heldDepth = 0;
LockKind g_heldKind = LockKind::Shared;

// Folders whose lock another holder kept through a whole wait, not had since. A take of one
// tries once instead of waiting again, so a stopped or hung holder costs one wait, not one per
// step: a command's load and then its edit, each entry the window shows.
std::set<std::string> g_stuckFolders;

int OpenLockFile(const std::string &path)
{
    // Created by the first user; a folder this user may only read still locks for reading.
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                    0644);
    if (fd < 0)
        fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

FolderLock::FolderLock(FolderLock &&other) noexcept
    : m_fd(other.m_fd), m_held(other.m_held), m_timedOut(other.m_timedOut)
{
    other.m_fd = -1;
    other.m_held = false;
}

FolderLock &FolderLock::operator=(FolderLock &&other) noexcept
{
    if (this != &other) {
        Release();
        m_fd = other.m_fd;
        m_held = other.m_held;
        m_timedOut = other.m_timedOut;
        other.m_fd = -1;
        other.m_held = false;
    }
    return *this;
}

void FolderLock::Release()
{
    if (m_held)
        --g_heldDepth;
    if (m_fd >= 0)
        ::close(m_fd); // closing the last descriptor of the open file drops the flock
    m_fd = -1;
    m_held = false;
}

FolderLock FolderLock::Take(const std::string &dataFolder, LockKind kind,
                            std::chrono::milliseconds wait)
{
    FolderLock lock;
    if (g_heldDepth > 0) {
        // Nested: held already, unless this asks for more than the outer lock holds.
        if (kind == LockKind::Exclusive && g_heldKind == LockKind::Shared) {
            lock.m_timedOut = true; // as good as: it would wait for itself
            return lock;
        }
        lock.m_held = true;
        ++g_heldDepth;
        return lock;
    }
    const int fd = OpenLockFile((std::filesystem::path(dataFolder) / kLockFileName).string());
    if (fd < 0)
        return lock;
    const int operation = (kind == LockKind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (g_stuckFolders.count(dataFolder) > 0)
        wait = std::chrono::milliseconds(0);
    const auto deadline = std::chrono::steady_clock::now() + wait;
    // Polled rather than blocked on, so the wait is bounded; a little randomness keeps two
    // waiting writers from retrying in step behind a stream of readers.
    std::minstd_rand jitter(static_cast<unsigned>(::getpid()));
    for (;;) {
        if (::flock(fd, operation) == 0)
            break;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd);
            return lock;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            lock.m_timedOut = true;
            g_stuckFolders.insert(dataFolder);
            return lock;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2 + jitter() % 8));
    }
    g_stuckFolders.erase(dataFolder);
    lock.m_fd = fd;
    lock.m_held = true;
    g_heldKind = kind;
    ++g_heldDepth;
    return lock;
}

std::string CustomDataFolder(const ProgramPaths &paths)
{
    return std::filesystem::path(paths.customIndexPath).parent_path().string();
}

FolderLock LockForReading(FileSystem &fs, const ProgramPaths &paths)
{
    if (!paths.HasCustomFolder())
        return {};
    const std::string folder = CustomDataFolder(paths);
    FolderLock lock = FolderLock::Take(folder, LockKind::Shared);
    // While it is held shared no writer is at work, so any scratch file is a stray one.
    if (!lock.held() || !RecoveryNeeded(paths))
        return lock;
    lock.Release();
    if (FolderLock exclusive = FolderLock::Take(folder, LockKind::Exclusive); exclusive.held())
        RecoverCustomFiles(fs, paths);
    return FolderLock::Take(folder, LockKind::Shared);
}

} // namespace termdex
