// Recording fakes of every platform service, for tests: each keeps what it was asked to do and
// answers from what the test set up. Not thread-safe, like the window that uses them.
#pragma once

#include "platform/keyboard_xkb.h"
#include "platform/platform.h"

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace termdex {

// Keyboard layouts with fixed language names; Activate switches the active one.
class RecordingKeyboardLayouts final : public KeyboardLayouts
{
public:
    struct Layout
    {
        LayoutHandle handle = 0;
        std::string language; // what ActiveLanguageName answers while it is active
    };
    std::vector<Layout> layouts;
    LayoutHandle active = 0;
    std::vector<LayoutHandle> activations; // every Activate call, in order

    std::vector<LayoutHandle> InstalledLayouts() override
    {
        std::vector<LayoutHandle> handles;
        for (const Layout &layout : layouts)
            handles.push_back(layout.handle);
        return handles;
    }
    bool Activate(LayoutHandle layout) override
    {
        activations.push_back(layout);
        for (const Layout &known : layouts) {
            if (known.handle == layout) {
                active = layout;
                return true;
            }
        }
        return false;
    }
    std::string ActiveLanguageName() override
    {
        for (const Layout &layout : layouts)
            if (layout.handle == active)
                return layout.language;
        return {};
    }
};

// An XKB server as recorded from a desktop: its symbols name, groups and locks.
class FakeXkbServer final : public XkbServer
{
public:
    std::string symbolsName;
    int groupCount = 0;
    int activeGroup = 0;
    std::vector<int> locks; // every LockGroup call

    int GroupCount() override { return groupCount; }
    std::string SymbolsName() override { return symbolsName; }
    int ActiveGroup() override { return activeGroup; }
    bool LockGroup(int group) override
    {
        locks.push_back(group);
        if (group < 0 || group >= groupCount)
            return false;
        activeGroup = group;
        return true;
    }
};

// A clipboard that tells its watcher of every change at once, inside the writing call, as the
// desktop does while the program copies.
class FakeClipboard final : public Clipboard
{
public:
    struct Write
    {
        bool rich = false;
        std::string text; // the plain text written (the plain form of a rich write)
    };
    std::string text;
    std::optional<RichClip> rich; // the last rich write, until plain text replaces it
    std::vector<Write> writes;
    int notices = 0;

    std::string Text() override { return text; }
    bool HasText() override { return !text.empty(); }
    void SetText(const std::string &utf8) override
    {
        text = utf8;
        rich.reset();
        writes.push_back({false, utf8});
        Notify();
    }
    void SetRich(const RichClip &clip) override
    {
        text = clip.plain;
        rich = clip;
        writes.push_back({true, clip.plain});
        Notify();
    }
    void Clear() override
    {
        text.clear();
        rich.reset();
        Notify();
    }
    void SetChangedHandler(std::function<void()> handler) override
    {
        m_handler = std::move(handler);
    }
    // Whether a watcher is told of changes.
    bool Watched() const { return static_cast<bool>(m_handler); }
    // Another program copies text.
    void CopyFromOtherProgram(const std::string &utf8)
    {
        text = utf8;
        rich.reset();
        Notify();
    }

private:
    void Notify()
    {
        ++notices;
        if (m_handler)
            m_handler();
    }
    std::function<void()> m_handler;
};

// A shell that records what it was asked to open and answers with `succeeds`; a test ends a
// started document or program with a failure through FailLater.
class RecordingShell final : public Shell
{
public:
    bool succeeds = true;
    std::vector<std::string> opened;               // documents and addresses, in order
    std::vector<std::vector<std::string>> started; // program path, then its arguments
    std::vector<FailedLater> pending;              // of every document and program started

    bool OpenDocument(const std::filesystem::path &file, FailedLater failedLater) override
    {
        opened.push_back(file.string());
        if (succeeds)
            pending.push_back(std::move(failedLater));
        return succeeds;
    }
    bool OpenUrl(const std::string &url) override
    {
        opened.push_back(url);
        return succeeds;
    }
    bool StartProgram(const std::filesystem::path &program,
                      const std::vector<std::string> &arguments, FailedLater failedLater) override
    {
        std::vector<std::string> call{program.string()};
        call.insert(call.end(), arguments.begin(), arguments.end());
        started.push_back(call);
        if (succeeds)
            pending.push_back(std::move(failedLater));
        return succeeds;
    }
    // The last document or program started ends with a failure.
    void FailLater()
    {
        if (pending.empty())
            return;
        FailedLater failed = std::move(pending.back());
        pending.pop_back();
        if (failed)
            failed();
    }
};

class FakeSpecialFolders final : public SpecialFolders
{
public:
    std::filesystem::path home = "/home/reader";
    std::filesystem::path desktop = "/home/reader/Desktop";
    std::filesystem::path applications = "/home/reader/.local/share/applications";

    std::filesystem::path Home() override { return home; }
    std::filesystem::path Desktop() override { return desktop; }
    std::filesystem::path Applications() override { return applications; }
};

// Read-only flags by path; a path not listed cannot be found.
class FakeFileAttributes final : public FileAttributes
{
public:
    std::map<std::string, bool> readOnly;
    std::vector<std::string> cleared;

    std::optional<bool> IsReadOnly(const std::filesystem::path &file) override
    {
        const auto found = readOnly.find(file.lexically_normal().string());
        if (found == readOnly.end())
            return std::nullopt;
        return found->second;
    }
    bool ClearReadOnly(const std::filesystem::path &file) override
    {
        const auto found = readOnly.find(file.lexically_normal().string());
        if (found == readOnly.end())
            return false;
        found->second = false;
        cleared.push_back(found->first);
        return true;
    }
};

// All fakes together, handed to the window as its services.
struct FakePlatform
{
    RecordingKeyboardLayouts keyboard;
    FakeClipboard clipboard;
    RecordingShell shell;
    FakeSpecialFolders folders;
    FakeFileAttributes files;

    // The user's folders as the tests' scratch homes set them in the environment, read when the
    // window is made, as the program's main reads them.
    PlatformServices Services()
    {
        return {&keyboard,
                &clipboard,
                &shell,
                &folders,
                &files,
                ReadUserFolders([](const char *name) -> const char * { return std::getenv(name); }),
                &RealFileSystem()};
    }
};

} // namespace termdex
