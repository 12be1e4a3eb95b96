// import: another dictionary's files into a program folder of their own.
#include "data/paths.h"
#include "install/desktop_launcher.h"
#include "lib/cp1253.h"
#include "tools/cli.h"
#include "tools/import_folder.h"
#include "tools/json.h"

#include <ostream>
#include <system_error>

namespace termdex::cli {
namespace fs = std::filesystem;
namespace {

// Source text passed through as UTF-8 with any invalid bytes replaced, so the report stays JSON.
std::string CleanUtf8(std::string_view text)
{
    std::string out;
    for (size_t at = 0; at < text.size();)
        import::AppendUtf8(out, import::NextCodePoint(text, at));
    return out;
}

// A launcher file name of letters, digits, '-' and '_' only, as desktop file names are meant to
// be; a name that had to change keeps a hash of itself, so two dictionaries never share one.
std::string LauncherFileName(const std::string &dictionaryName)
{
    std::string slug;
    for (const char c : dictionaryName) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_';
        slug += plain ? c : '-';
    }
    if (slug != dictionaryName) {
        uint64_t hash = 14695981039346656037ULL;
        for (const char c : dictionaryName)
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        slug += "-" + std::to_string(hash % 100000000);
    }
    return "termdex-" + slug + ".desktop";
}

// The window's program beside termdex-cli: "Termdex" in a build or an installed copy, "termdex"
// in the system layout.
std::optional<fs::path> WindowProgram(const fs::path &executableFolder)
{
    for (const char *name : {"Termdex", "termdex"})
        if (std::error_code ec; fs::is_regular_file(executableFolder / name, ec))
            return executableFolder / name;
    return std::nullopt;
}

// Writes the launcher "Termdex — NAME" that opens folder in the window; its path, or nullopt
// with error set.
std::optional<fs::path> WriteImportLauncher(const Run &run, const fs::path &folder,
                                            const std::string &name, std::string &error)
{
    const auto program = WindowProgram(run.options.executableFolder);
    if (!program) {
        error = "launcher not written: no window program beside termdex-cli in " +
                run.options.executableFolder.string();
        return std::nullopt;
    }
    std::error_code ec;
    const fs::path absolute = fs::absolute(folder, ec).lexically_normal();
    const LauncherFolders folders{DesktopFolder(run.options.user),
                                  ApplicationsFolder(run.options.user)};
    const std::string file = LauncherFileName(DictionaryName(absolute));
    if (!CreateDesktopShortcut(*program, "--program-folder " + QuoteExecArgument(absolute.string()),
                               absolute, file, folders, "Termdex — " + ShownTitle(name))) {
        error = "launcher not written in " + folders.desktop.string();
        return std::nullopt;
    }
    return folders.desktop / file;
}

int Import(Run &run)
{
    if (!run.args.Parse({"--to", "--name"}, {"--launcher"}) || run.args.positional().size() < 2 ||
        !run.args.Value("--to"))
        return run.Fail(run.args.error().empty()
                            ? "usage: import FORMAT SOURCE... --to DIR [--name NAME] [--launcher]"
                            : run.args.error());
    if (const auto name = run.args.Value("--name"); name && name->empty())
        return run.Fail("--name needs a name; leave it out for none");
    const std::vector<std::string> &positional = run.args.positional();
    const std::vector<std::filesystem::path> sources(positional.begin() + 1, positional.end());
    const ImportReport report = ImportDictionary(positional[0], sources, *run.args.Value("--to"),
                                                 run.args.Value("--name").value_or(""));
    if (report.outcome != ImportReport::Outcome::Ok)
        return run.Fail(report.error, report.outcome == ImportReport::Outcome::Refused
                                          ? kExitUsage
                                          : kExitFailure);
    // The counts are always JSON: scripts and readers alike want to see what was left out.
    JsonWriter json;
    json.BeginObject()
        .Key("records")
        .Int(static_cast<int64_t>(report.records))
        .Key("skipped")
        .BeginArray();
    for (const import::Note &note : report.skipped)
        json.BeginObject()
            .Key("entry")
            .Utf8(CleanUtf8(note.entry))
            .Key("reason")
            .Utf8(CleanUtf8(note.reason))
            .EndObject();
    json.EndArray().Key("warnings").BeginArray();
    for (const std::string &warning : report.warnings)
        json.Utf8(CleanUtf8(warning));
    json.EndArray();
    std::string launcherError;
    if (run.args.Flag("--launcher")) {
        const auto launcher =
            WriteImportLauncher(run, *run.args.Value("--to"), report.name, launcherError);
        if (launcher)
            json.Key("launcher").Utf8(CleanUtf8(launcher->string()));
    }
    run.PrintJson(json.EndObject().str());
    // The dictionary is there either way; only the launcher is missing.
    return launcherError.empty() ? kExitOk : run.Fail(launcherError, kExitFailure);
}

} // namespace

std::vector<Command> ImportCommands()
{
    return {
        {"import",
         "import FORMAT SOURCE... --to DIR [--name NAME] [--launcher]  another dictionary's "
         "files (tsv, csv, dictd, stardict, tbx, tei) as a program folder",
         Import, CommandGroup::Reader,
         "Open it with --program-folder DIR, in termdex-cli and in the window (Termdex\n"
         "--program-folder DIR). Its settings file is $XDG_CONFIG_HOME/Termdex/NAME.ini and your\n"
         "own entries go to $XDG_DATA_HOME/Termdex/NAME, apart from every other dictionary's.\n"
         "Without --name, a later import into DIR keeps the earlier name; a folder that never\n"
         "had one is known by its own name and a hash of its path (moved, it starts afresh).\n"
         "--launcher writes the desktop launcher \"Termdex — NAME\" that opens DIR.\n"},
    };
}

} // namespace termdex::cli
