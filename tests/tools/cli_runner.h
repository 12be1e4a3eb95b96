// Runs the built termdex-cli as a separate process, as scripts do, and captures its output.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace termdex::testing {

inline std::filesystem::path BuildDir()
{
    const char *dir = std::getenv("TERMDEX_BUILD_DIR");
    return dir ? std::filesystem::path(dir) : std::filesystem::current_path();
}

struct CliResult
{
    int status = -1;
    std::string out;
};

inline std::string ShellQuote(const std::string &s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// arguments: already shell-quoted where needed; stderr is folded into out when withStderr.
// wholeCommand, when given, runs instead of termdex-cli with the arguments.
inline CliResult RunCli(const std::string &arguments, const std::string &stdinText = {},
                        bool withStderr = false, const std::string &wholeCommand = {})
{
    std::string command = !wholeCommand.empty()
                              ? wholeCommand
                              : ShellQuote((BuildDir() / "termdex-cli").string()) + " " + arguments;
    std::filesystem::path input;
    if (!stdinText.empty()) {
        input = std::filesystem::temp_directory_path() /
                ("termdex-cli-in-" + std::to_string(::getpid()));
        std::FILE *f = std::fopen(input.c_str(), "wb");
        std::fwrite(stdinText.data(), 1, stdinText.size(), f);
        std::fclose(f);
        command += " < " + ShellQuote(input.string());
    }
    command += withStderr ? " 2>&1" : " 2>/dev/null";
    CliResult result;
    std::FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        return result;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        result.out.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!input.empty())
        std::filesystem::remove(input);
    return result;
}

} // namespace termdex::testing
