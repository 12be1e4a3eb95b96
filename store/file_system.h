// The file-system calls that rewriting the reader's files makes, behind a seam: the real one
// flushes to disk (fsync), and a test can fail any single call, or stop every call from one on,
// as a crash would, and look at what the next start finds.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace termdex {

// A file being written from its start.
class WritableFile
{
public:
    virtual ~WritableFile() = default;
    virtual bool Append(std::string_view bytes) = 0;
    // The data written so far is on the disk.
    virtual bool Sync() = 0;
    virtual bool Close() = 0;
};

// A file read from its start, in order.
class ReadableFile
{
public:
    virtual ~ReadableFile() = default;
    // Exactly count bytes, appended to out; false at a short read or a read error.
    virtual bool Read(size_t count, std::string &out) = 0;
    // Passes over count bytes; false when the file ends earlier.
    virtual bool Skip(size_t count) = 0;
};

class FileSystem
{
public:
    virtual ~FileSystem() = default;
    // A regular file at path (links followed).
    virtual bool Exists(const std::string &path) = 0;
    // Size of a regular file; nullopt when it cannot be read.
    virtual std::optional<int64_t> Size(const std::string &path) = 0;
    // The whole file; nullopt when it is missing, unreadable or longer than maxBytes.
    virtual std::optional<std::string> ReadAll(const std::string &path, int64_t maxBytes) = 0;
    // nullptr when the file cannot be opened or is no regular file.
    virtual std::unique_ptr<ReadableFile> OpenRead(const std::string &path) = 0;
    // Creates the file empty (emptying one that exists); nullptr on failure or when something
    // other than a regular file stands at path.
    virtual std::unique_ptr<WritableFile> Create(const std::string &path) = 0;
    // Renames within one folder; an existing target is replaced in one step.
    virtual bool Rename(const std::string &from, const std::string &to) = 0;
    // A second name for an existing file (a hard link); false where the file system has none.
    virtual bool Link(const std::string &from, const std::string &to) = 0;
    // true when the file is gone afterwards (also when there was none).
    virtual bool Remove(const std::string &path) = 0;
    // The folder's entries (creations, renames, removals) are on the disk.
    virtual bool SyncFolder(const std::string &folder) = 0;
};

// The process's file system, with fsync for Sync and SyncFolder.
FileSystem &RealFileSystem();

// Another file system without its flushes (Sync and SyncFolder succeed at once), for files that
// are thrown away on any failure: flushing each of their rewrites buys nothing.
class UnsyncedFileSystem final : public FileSystem
{
public:
    explicit UnsyncedFileSystem(FileSystem &real) : m_real(real) {}
    bool Exists(const std::string &path) override { return m_real.Exists(path); }
    std::optional<int64_t> Size(const std::string &path) override { return m_real.Size(path); }
    std::optional<std::string> ReadAll(const std::string &path, int64_t maxBytes) override
    {
        return m_real.ReadAll(path, maxBytes);
    }
    std::unique_ptr<ReadableFile> OpenRead(const std::string &path) override
    {
        return m_real.OpenRead(path);
    }
    std::unique_ptr<WritableFile> Create(const std::string &path) override;
    bool Rename(const std::string &from, const std::string &to) override
    {
        return m_real.Rename(from, to);
    }
    bool Link(const std::string &from, const std::string &to) override
    {
        return m_real.Link(from, to);
    }
    bool Remove(const std::string &path) override { return m_real.Remove(path); }
    bool SyncFolder(const std::string &) override { return true; }

private:
    FileSystem &m_real;
};

} // namespace termdex
