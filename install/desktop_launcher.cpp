#include "install/desktop_launcher.h"

#include "install/file_copy.h"

#include <cstdio>
#include <sys/wait.h>
#include <system_error>

namespace termdex {
namespace fs = std::filesystem;

namespace {

// The first line that `xdg-user-dir DESKTOP` prints, or empty when the tool is missing, fails
// or answers something that is not an absolute path.
fs::path AskXdgUserDir()
{
    std::FILE *pipe = ::popen("xdg-user-dir DESKTOP 2>/dev/null", "r");
    if (!pipe)
        return {};
    std::string answer;
    char buffer[1024];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        if (answer.size() < 16 * 1024) // a path; anything longer is no answer
            answer.append(buffer, n);
    const int status = ::pclose(pipe);
    if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    const size_t end = answer.find('\n');
    if (end != std::string::npos)
        answer.resize(end);
    if (answer.empty() || answer.front() != '/' || answer.size() >= 16 * 1024)
        return {};
    return answer;
}

// A value of the desktop entry format's string type.
std::string EscapeString(const std::string &value)
{
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case ' ':
            out += i == 0 ? "\\s" : " ";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool WriteLauncher(const fs::path &folder, const std::string &linkName, const std::string &text)
{
    if (folder.empty())
        return false;
    std::error_code ec;
    fs::create_directories(folder, ec);
    // A desktop starts only a launcher that is executable.
    return ReplaceFile(folder / linkName, text, 0755);
}

} // namespace

// "%" is the format's field code marker and is doubled.
std::string QuoteExecArgument(const std::string &argument)
{
    std::string out = "\"";
    for (const char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
        if (c == '%')
            out += '%';
    }
    return out + "\"";
}

fs::path DesktopFolder(const UserFolders &user)
{
    const fs::path answer = AskXdgUserDir();
    return answer.empty() ? user.home / "Desktop" : answer;
}

fs::path ApplicationsFolder(const UserFolders &user) { return user.dataHome / "applications"; }

std::string LauncherText(const fs::path &target, const std::string &arguments,
                         const fs::path &workingFolder, const std::string &name)
{
    std::string exec = QuoteExecArgument(target.string());
    if (!arguments.empty())
        exec += " " + arguments;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           EscapeString(name) +
           "\n"
           "Exec=" +
           EscapeString(exec) +
           "\n"
           "Path=" +
           EscapeString(workingFolder.string()) +
           "\n"
           "Icon=accessories-dictionary\n"
           "Terminal=false\n"
           "Categories=Office;Dictionary;\n";
}

bool CreateDesktopShortcut(const fs::path &target, const std::string &arguments,
                           const fs::path &workingFolder, const std::string &linkName,
                           const LauncherFolders &folders, const std::string &name)
{
    const std::string text = LauncherText(target, arguments, workingFolder, name);
    const bool onDesktop = WriteLauncher(folders.desktop, linkName, text);
    WriteLauncher(folders.applications, linkName, text);
    return onDesktop;
}

} // namespace termdex
