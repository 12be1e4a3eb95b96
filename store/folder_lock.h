// The reader's Data folder is shared by every copy of the program that the reader runs at once
// (two windows, scripts of termdex-cli): an advisory lock file there (flock) lets one writer at a
// time change the files, and keeps readers out while a commit is half done. Readers share it.
#pragma once

#include "data/paths.h"
#include "store/file_system.h"

#include <chrono>
#include <string>

namespace termdex {

extern const char kLockFileName[]; // "termdex.lock", in the Data folder
// How long an edit, or a load, waits for the lock before it gives up.
constexpr std::chrono::milliseconds kLockWait{5000};

enum class LockKind { Shared, Exclusive };

// A held lock (or none); released when it goes. A lock that this process already holds, as
// strongly, is not taken a second time: the inner holder gets an empty lock that counts as held,
// since a second open file of the same process would wait for the first.
class FolderLock
{
public:
    FolderLock() = default;
    ~FolderLock() { Release(); }
    FolderLock(FolderLock &&other) noexcept;
    FolderLock &operator=(FolderLock &&other) noexcept;
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    // Waits up to wait for the lock of dataFolder; an unheld lock when it stayed taken, or when
    // the lock file cannot be opened (or is not a regular file). Once a wait for a folder has
    // run out, later takes of it only try once, until one has it again.
    static FolderLock Take(const std::string &dataFolder, LockKind kind,
                           std::chrono::milliseconds wait = kLockWait);
    bool held() const { return m_held; }
    // Not held because another holder kept it for the whole wait (not for want of a lock file).
    bool timedOut() const { return m_timedOut; }
    void Release();

private:
    int m_fd = -1;
    bool m_held = false;
    bool m_timedOut = false;
};

// The Data folder of the reader's files.
std::string CustomDataFolder(const ProgramPaths &paths);

// Before the reader's files are read: the lock, shared, after a commit that a crash (or a
// failing disk) left unfinished has been carried out, or stray scratch files discarded, under
// the lock taken exclusively for the time it takes. An unheld lock when none could be had in
// time: the files are then read as they are, and nothing is recovered.
FolderLock LockForReading(FileSystem &fs, const ProgramPaths &paths);

} // namespace termdex
