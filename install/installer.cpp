#include "install/installer.h"

#include "install/file_copy.h"
#include "lib/files.h"
#include "lib/settings.h"

#include <system_error>

namespace termdex {
namespace fs = std::filesystem;

const char kMessageInstallSucceeded[] =
    "Η εγκατάσταση ολοκληρώθηκε επιτυχώς. Για την εκκίνηση του Termdex μπορείτε πλέον να "
    "χρησιμοποιείτε το εικονίδιο στην επιφάνεια εργασίας.";
const char kMessageInstallProblems[] = "Η εγκατάσταση παρουσίασε προβλήματα";
const char kMessageInstallProcedureProblems[] = "Η διαδικασία εγκατάστασης παρουσίασε προβλήματα";

const char kProgramFileName[] = "Termdex";
const char kCliFileName[] = "termdex-cli";
const char kLauncherFileName[] = "Termdex.desktop";
const char kManifestPath[] = "content/fil.tbo";

namespace {

// The manifest names a few dozen documents; a megabyte is far beyond any real one.
constexpr int64_t kMaxManifestBytes = 1024 * 1024;

const char *const kDataFiles[] = {"TermdexI.tbo", "TermdexHI.tbo", "Termdex.tbo"};

bool IsFolder(const fs::path &path)
{
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// A manifest name as a path below content/: backslashes (the media's separator) and slashes
// both separate; nullopt for a name that could reach outside content/ (absolute, "..", or a
// NUL byte that would cut the name short).
std::optional<fs::path> ManifestName(std::string line)
{
    if (line.find('\0') != std::string::npos)
        return std::nullopt;
    for (char &c : line)
        if (c == '\\')
            c = '/';
    const fs::path name(line);
    if (name.has_root_path())
        return std::nullopt;
    fs::path relative;
    for (const fs::path &part : name) {
        if (part == "..")
            return std::nullopt;
        if (!part.empty() && part != ".")
            relative /= part;
    }
    return relative;
}

class Installation
{
public:
    Installation(const fs::path &folder, const InstallSource &source, InstallReport &report)
        : m_folder(folder), m_program(fs::absolute(source.programFolder, m_ec)), m_report(report)
    {
        if (m_program.empty())
            m_program = source.programFolder;
    }

    // Step 2: the program file, made writable, and the command line beside it.
    fs::path CopyPrograms()
    {
        const fs::path program = ResolvePathCase(m_folder / kProgramFileName);
        Count(CopyWithoutOverwrite(ProgramFile(m_program, kProgramFileName), program, true),
              program);
        if (FileExists(program))
            ClearReadOnly(program);
        const fs::path cliSource = ProgramFile(m_program, kCliFileName);
        if (FileExists(cliSource)) {
            const fs::path cli = ResolvePathCase(m_folder / kCliFileName);
            Count(CopyWithoutOverwrite(cliSource, cli, true), cli);
            if (FileExists(cli))
                ClearReadOnly(cli);
        }
        return program;
    }

    // Step 3.
    void CreateContentFolder()
    {
        m_content = ResolvePathCase(m_folder / "Content");
        CreateFolder(m_content);
    }

    // Step 4, in the order the index loader reads them.
    void CopyDataFiles()
    {
        const fs::path data = ResolvePathCase(m_folder / "Data");
        for (const char *name : kDataFiles) {
            const fs::path target = ResolvePathCase(data / name);
            Count(CopyWithoutOverwrite(ProgramFile(m_program, fs::path("Data") / name), target),
                  target);
        }
    }

    // Step 5; false when the manifest exists but cannot be read, which ends the installation.
    bool CopyManifest()
    {
        const fs::path manifest = ProgramFile(m_program, kManifestPath);
        if (!FileExists(manifest))
            return true;
        const auto text = ReadWholeFile(manifest, kMaxManifestBytes);
        if (!text) {
            m_report.problems.push_back("cannot read " + manifest.string());
            return false;
        }
        // A folder line replaces the current subfolder; nullopt after a folder line that names
        // no place below content/, whose files then cannot be copied either.
        std::optional<fs::path> subfolder = fs::path();
        for (const std::string &line : SplitLines(*text)) {
            if (line.empty())
                continue;
            const char last = line.back();
            const auto name = ManifestName(line);
            if (last == '\\' || last == '/') {
                subfolder = name;
                if (!subfolder)
                    Problem("manifest folder outside content: " + line);
                else if (!subfolder->empty())
                    CreateFolder(ResolvePathCase(m_content / *subfolder), true);
                continue;
            }
            if (!subfolder || !name || name->empty()) {
                Problem("manifest file outside content: " + line);
                continue;
            }
            const fs::path relative = *subfolder / *name;
            const fs::path targetFolder = ResolvePathCase(m_content / relative.parent_path());
            const fs::path target = ResolvePathCase(targetFolder / relative.filename());
            Count(CopyWithoutOverwrite(ProgramFile(m_program, fs::path("content") / relative),
                                       target),
                  target);
        }
        return true;
    }

    void Problem(std::string what)
    {
        m_report.outcome = false;
        m_report.problems.push_back(std::move(what));
    }

private:
    void Count(CopyOutcome outcome, const fs::path &target)
    {
        if (outcome == CopyOutcome::Copied)
            ++m_report.copied;
        else if (outcome == CopyOutcome::Failed)
            Problem("not copied: " + target.string());
    }

    void CreateFolder(const fs::path &folder, bool withParents = false)
    {
        std::error_code ec;
        if (withParents)
            fs::create_directories(folder, ec);
        else
            fs::create_directory(folder, ec);
        if (!IsFolder(folder))
            Problem("folder not created: " + folder.string());
    }

    fs::path m_folder;
    std::error_code m_ec;
    fs::path m_program;
    fs::path m_content;
    InstallReport &m_report;
};

} // namespace

std::string InstallFolder(const std::string &typed)
{
    if (typed.empty())
        return {};
    std::error_code ec;
    fs::path folder = fs::absolute(typed, ec);
    if (ec)
        folder = typed;
    folder = folder.lexically_normal();
    if (!folder.has_filename() && folder != folder.root_path())
        folder = folder.parent_path();
    return folder.string();
}

InstallReport InstallFiles(const std::string &folder, const InstallSource &source,
                           std::string &settingsFilePath, const std::string &storedFolder)
{
    InstallReport report;
    Installation installation(folder, source, report);
    const fs::path program = installation.CopyPrograms();
    installation.CreateContentFolder();
    installation.CopyDataFiles();
    if (!installation.CopyManifest())
        return report;
    // The success message sends the reader to the desktop icon, so a missing one is a problem.
    if (!CreateDesktopShortcut(program, {}, folder, kLauncherFileName, source.launchers))
        installation.Problem("desktop launcher not written in " +
                             source.launchers.desktop.string());
    WriteSettings(settingsFilePath, storedFolder.empty() ? folder : storedFolder, source.user);
    report.ranToEnd = true;
    report.message = report.outcome ? kMessageInstallSucceeded : kMessageInstallProblems;
    return report;
}

namespace {

// The folder the settings file names, when its Data folder holds the reader's entries.
std::string FolderWithEntries(const ProgramPaths &paths)
{
    std::optional<fs::path> settings;
    if (!paths.settingsFilePath.empty() && FileExists(paths.settingsFilePath))
        settings = fs::path(paths.settingsFilePath);
    else
        settings = FindSettingsFile(paths.user);
    if (!settings)
        return {};
    const std::string folder = ReadSettingsLine(*settings);
    return HasCustomEntries(folder) ? folder : std::string();
}

} // namespace

InstallClick InstallLabelClick(FolderDialog &dialog, const InstallSource &given,
                               ProgramPaths &paths, FileSystem &files, std::string &chosenFolder,
                               MoveEntriesQuestion *question)
{
    InstallClick click;
    std::error_code ec;
    // The dialog may move the current folder before its OK installs.
    InstallSource source = given;
    source.programFolder = fs::absolute(given.programFolder, ec);
    if (ec)
        source.programFolder = given.programFolder;
    std::string folder;
    FolderRequest request{kFolderModeInstall, DefaultCustomFolder(paths.user)};
    // The dialog's OK runs this once the folder exists, and closes with cancel when it returns
    // false. A relative folder is taken where the dialog just made its Data subfolder.
    std::string moveProblem;
    // Where the entries live after the installation, which the settings file then names.
    auto entriesFolder = [&](const std::string &installed) -> std::string {
        const std::string old = FolderWithEntries(paths);
        if (old.empty() || SameFolder(old, installed))
            return installed;
        if (question == nullptr || !question->Confirm(MoveEntriesText(old, installed, true)))
            return old;
        const EditStatus moved = MoveCustomEntries(old, installed, files);
        if (moved.ok())
            return installed;
        moveProblem = moved.message;
        return old;
    };
    auto install = [&](const std::string &installed) {
        const std::string stored = entriesFolder(installed);
        click.report = InstallFiles(installed, source, paths.settingsFilePath, stored);
        if (!moveProblem.empty())
            click.report->problems.push_back(moveProblem);
    };
    request.install = [&](const std::string &typed) {
        folder = InstallFolder(typed);
        install(folder);
        return click.report->ranToEnd;
    };
    const fs::path before = fs::current_path(ec);
    const FolderAnswer answer = dialog.Ask(request);
    // The program's relative paths need the program folder, whatever the dialog did.
    if (!before.empty() && fs::current_path(ec) != before)
        fs::current_path(before, ec);
    if (!answer.accepted || answer.folder.empty())
        return click;
    if (!click.report) {
        // A dialog that only answers (the command line's) leaves the installation to us.
        folder = InstallFolder(answer.folder);
        if (!CreateCustomDataFolder(folder)) {
            click.messages.push_back(kMessageFolderCreateFailed);
            return click;
        }
        install(folder);
    }
    if (!click.report->ranToEnd)
        return click;
    click.installed = true;
    click.messages.push_back(click.report->message);
    if (!moveProblem.empty())
        click.messages.push_back(moveProblem);
    if (!FileExists(ResolvePathCase(fs::path(folder) / kProgramFileName)))
        click.messages.push_back(kMessageInstallProcedureProblems);
    chosenFolder = folder;
    return click;
}

bool InstallOffered(std::optional<bool> programFileReadOnly)
{
    return !(programFileReadOnly.has_value() && !*programFileReadOnly);
}

bool InstallOffered(const fs::path &programFolder)
{
    return InstallOffered(ProgramFileReadOnly(programFolder));
}

} // namespace termdex
