// The real file system with one step made to fail: every call that changes the disk (create,
// append, sync, close, rename, link, remove, folder sync) is a numbered step. Step n fails; in the
// crash mode every later call fails too, as nothing runs after a crash, and an append that
// fails writes half its bytes first (a torn write).
#pragma once

#include "store/file_system.h"

#include <memory>

namespace termdex::testing {

class FaultyFileSystem final : public FileSystem
{
public:
    enum class Mode { Crash, SingleFailure };
    FaultyFileSystem(int failAt, Mode mode) : m_failAt(failAt), m_mode(mode) {}

    int steps() const { return m_steps; }
    bool failed() const { return m_failed; }

    bool Exists(const std::string &path) override { return Alive() && Real().Exists(path); }
    std::optional<int64_t> Size(const std::string &path) override
    {
        return Alive() ? Real().Size(path) : std::nullopt;
    }
    std::optional<std::string> ReadAll(const std::string &path, int64_t maxBytes) override
    {
        return Alive() ? Real().ReadAll(path, maxBytes) : std::nullopt;
    }
    std::unique_ptr<ReadableFile> OpenRead(const std::string &path) override
    {
        return Alive() ? Real().OpenRead(path) : nullptr;
    }
    std::unique_ptr<WritableFile> Create(const std::string &path) override
    {
        if (!Step())
            return nullptr;
        auto file = Real().Create(path);
        if (!file)
            return nullptr;
        return std::make_unique<File>(*this, std::move(file));
    }
    bool Rename(const std::string &from, const std::string &to) override
    {
        return Step() && Real().Rename(from, to);
    }
    bool Link(const std::string &from, const std::string &to) override
    {
        return Step() && Real().Link(from, to);
    }
    bool Remove(const std::string &path) override { return Step() && Real().Remove(path); }
    bool SyncFolder(const std::string &folder) override
    {
        return Step() && Real().SyncFolder(folder);
    }

private:
    class File final : public WritableFile
    {
    public:
        File(FaultyFileSystem &owner, std::unique_ptr<WritableFile> file)
            : m_owner(owner), m_file(std::move(file))
        {
        }
        bool Append(std::string_view bytes) override
        {
            if (m_owner.Step())
                return m_file->Append(bytes);
            if (m_owner.m_mode == Mode::Crash && m_owner.m_thisCallFailed)
                m_file->Append(bytes.substr(0, bytes.size() / 2));
            return false;
        }
        bool Sync() override { return m_owner.Step() && m_file->Sync(); }
        bool Close() override { return m_owner.Step() && m_file->Close(); }

    private:
        FaultyFileSystem &m_owner;
        std::unique_ptr<WritableFile> m_file;
    };

    static FileSystem &Real() { return RealFileSystem(); }
    bool Alive() const { return !(m_failed && m_mode == Mode::Crash); }
    // Counts one step; false for the failing step and, after a crash, for every later one.
    bool Step()
    {
        m_thisCallFailed = false;
        if (!Alive())
            return false;
        ++m_steps;
        if (m_steps == m_failAt) {
            m_failed = true;
            m_thisCallFailed = true;
            return false;
        }
        return true;
    }

    int m_failAt;
    Mode m_mode;
    int m_steps = 0;
    bool m_failed = false;
    bool m_thisCallFailed = false;
};

} // namespace termdex::testing
