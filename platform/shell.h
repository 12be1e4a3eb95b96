// Opening documents, web and mail addresses and programs with the desktop's default programs.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace termdex {

class Shell
{
public:
    virtual ~Shell() = default;
    // Opens a file with its default program; false when the file does not exist or nothing
    // could open it.
    virtual bool OpenDocument(const std::filesystem::path &file) = 0;
    // Opens an http(s) or mailto address; false when nothing could open it.
    virtual bool OpenUrl(const std::string &url) = 0;
    // Starts a program detached from this one; false when it does not exist or did not start.
    virtual bool StartProgram(const std::filesystem::path &program,
                              const std::vector<std::string> &arguments) = 0;
};

// QDesktopServices and QProcess::startDetached.
std::unique_ptr<Shell> DesktopShell();

} // namespace termdex
