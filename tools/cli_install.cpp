// The installer without its window: the install label's command with the folder dialog answered
// by DEST, so the copying, the launcher, the settings line and the messages are the window's.
#include "install/installer.h"
#include "tools/cli.h"
#include "tools/json.h"

#include <filesystem>
#include <ostream>

namespace termdex::cli {
namespace {

// The folder dialog closed with OK on the folder given.
class AnswerFolder final : public FolderDialog
{
public:
    explicit AnswerFolder(std::string folder) : m_folder(std::move(folder)) {}
    FolderAnswer Ask(const FolderRequest &) override { return {true, m_folder}; }

private:
    std::string m_folder;
};

// The window's question about the reader's entries, answered by --move-entries.
class AnswerMove final : public MoveEntriesQuestion
{
public:
    explicit AnswerMove(bool move) : m_move(move) {}
    bool Confirm(const std::string &) override { return m_move; }

private:
    bool m_move;
};

// Why the folder DEST/Data could not be made: the first part of the path that is in the way.
std::string WhyNoFolder(const std::string &dest)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path walked;
    for (const fs::path &part : fs::absolute(dest, ec) / "Data") {
        walked /= part;
        const fs::file_status status = fs::status(walked, ec);
        if (!fs::exists(status))
            break;
        if (!fs::is_directory(status))
            return "cannot create the folder " + dest + "/Data: " + walked.string() +
                   " is a file, not a folder";
    }
    return "cannot create the folder " + dest + "/Data (" + walked.parent_path().string() +
           " is not writable by this user)";
}

int Install(Run &run)
{
    if (!run.args.Parse({}, {"--move-entries"}) || run.args.positional().size() != 1 ||
        run.args.positional()[0].empty())
        return run.Fail(run.args.error().empty() ? "usage: install DEST [--move-entries]"
                                                 : run.args.error());
    ProgramPaths paths = run.Paths();
    AnswerFolder dialog(run.args.positional()[0]);
    const UserFolders &user = run.options.user;
    const InstallSource source{
        run.options.programFolder, {DesktopFolder(user), ApplicationsFolder(user)}, user};
    std::string chosenFolder;
    AnswerMove move(run.args.Flag("--move-entries"));
    const InstallClick click =
        InstallLabelClick(dialog, source, paths, *run.options.files, chosenFolder, &move);
    // Success: every step done and the program file in place, so one message, the first.
    const bool ok = click.installed && click.report->outcome && click.messages.size() == 1;
    std::vector<std::string> problems;
    if (click.report)
        problems = click.report->problems;
    if (click.report && !click.report->ranToEnd)
        problems.push_back("the installation was interrupted: no launcher and no settings line");
    if (!ok && problems.empty())
        problems.push_back(WhyNoFolder(run.args.positional()[0]));
    if (run.options.json) {
        JsonWriter json;
        json.BeginObject().Key("ok").Bool(ok).Key("folder").Utf8(chosenFolder);
        json.Key("copied").Int(click.report ? click.report->copied : 0);
        json.Key("messages").BeginArray();
        for (const std::string &message : click.messages)
            json.Utf8(message);
        json.EndArray().Key("problems").BeginArray();
        for (const std::string &problem : problems)
            json.Utf8(problem);
        run.PrintJson(json.EndArray().EndObject().str());
    } else {
        for (const std::string &message : click.messages)
            run.out << message << '\n';
        for (const std::string &problem : problems)
            run.err << problem << '\n';
    }
    return ok ? kExitOk : kExitFailure;
}

} // namespace

std::vector<Command> InstallCommands()
{
    return {
        {"install", "install DEST [--move-entries]  the installer run to the folder DEST", Install},
    };
}

} // namespace termdex::cli
