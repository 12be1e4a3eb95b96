// Opening documents, web and mail addresses and programs with the desktop's default programs.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace termdex {

class Shell
{
public:
    // Called later, on the caller's thread, when what was started ends with a failure: the
    // desktop found no program for a document, or a program exited with a failure status.
    using FailedLater = std::function<void()>;

    virtual ~Shell() = default;
    // Opens a file with its default program; false when the file does not exist or nothing
    // could be started to open it. failedLater (may be empty) hears of a failure that shows
    // only once the opener has run.
    virtual bool OpenDocument(const std::filesystem::path &file, FailedLater failedLater) = 0;
    // Opens an http(s) or mailto address; false when nothing could open it.
    virtual bool OpenUrl(const std::string &url) = 0;
    // Starts a program; false when it does not exist or did not start. The program outlives
    // its caller's requests; failedLater (may be empty) hears of a failure exit status.
    virtual bool StartProgram(const std::filesystem::path &program,
                              const std::vector<std::string> &arguments,
                              FailedLater failedLater) = 0;
};

// xdg-open and QProcess, or QDesktopServices where xdg-open is missing.
std::unique_ptr<Shell> DesktopShell();

} // namespace termdex
