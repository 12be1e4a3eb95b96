#include "tools/cli.h"

#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/version.h"

#include <algorithm>
#include <climits>
#include <iostream>
#include <system_error>

namespace termdex::cli {
namespace fs = std::filesystem;

bool CommandArgs::Parse(const std::vector<std::string> &valueOptions,
                        const std::vector<std::string> &flagOptions)
{
    auto among = [](const std::vector<std::string> &list, const std::string &s) {
        return std::find(list.begin(), list.end(), s) != list.end();
    };
    bool optionsEnded = false;
    for (size_t i = 0; i < m_args.size(); ++i) {
        const std::string &arg = m_args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            m_positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (among(valueOptions, arg)) {
            if (i + 1 >= m_args.size()) {
                m_error = "option " + arg + " needs a value";
                return false;
            }
            m_values.emplace_back(arg, m_args[++i]);
        } else if (among(flagOptions, arg)) {
            m_flags.push_back(arg);
        } else {
            m_error = "unknown option " + arg;
            return false;
        }
    }
    return true;
}

std::optional<std::string> CommandArgs::Value(const std::string &option) const
{
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it)
        if (it->first == option)
            return it->second;
    return std::nullopt;
}

bool CommandArgs::Flag(const std::string &option) const
{
    return std::find(m_flags.begin(), m_flags.end(), option) != m_flags.end();
}

int Run::Fail(const std::string &message, int status) const
{
    err << message << '\n';
    return status;
}

std::optional<Cp1253> Run::ToCp1253(const std::string &utf8) const
{
    Utf8Conversion converted = Utf8ToCp1253(utf8);
    if (!converted.text)
        err << "the text holds a character that code page 1253 cannot hold: "
            << converted.problem << '\n';
    return converted.text;
}

std::optional<int> Run::RecordArgument(const std::string &text, int count) const
{
    long long value = 0;
    const bool digits = !text.empty() && text.size() <= 9 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return IsDigit(c); });
    if (digits)
        value = std::stoll(text);
    if (!digits || value < 1 || value > count) {
        err << "record " << text << " is not between 1 and " << count << '\n';
        return std::nullopt;
    }
    return static_cast<int>(value);
}

ProgramPaths Run::Paths() const
{
    ProgramPaths paths = StartupPaths(options.programFolder);
    if (options.customFolder) {
        // The option stands in for the folder dialog's answer; the settings file is not written.
        SetCustomPaths(paths, *options.customFolder);
    }
    return paths;
}

std::optional<int> Run::CheckDataFiles(const ProgramPaths &paths) const
{
    for (const fs::path &file :
         {paths.ShippedEnglishIndex(), paths.ShippedGreekIndex(), paths.DescriptionFile()}) {
        std::error_code ec;
        const bool readable = fs::is_regular_file(file, ec) && ReadFileRange(file, 0, 0);
        if (!readable)
            return Fail("data file missing or unreadable: " + file.string(), kExitDataMissing);
    }
    return std::nullopt;
}

void Run::PrintJson(const std::string &json) const { out << json << '\n'; }

namespace {

fs::path ExecutableFolder(const char *argv0)
{
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec)
        return self.parent_path();
    return fs::absolute(argv0, ec).parent_path();
}

std::vector<Command> AllCommands()
{
    std::vector<Command> all;
    for (auto provider : {DataCommands, LookupCommands, EditCommands, InstallCommands})
        for (const Command &command : provider())
            all.push_back(command);
    return all;
}

void PrintHelp(std::ostream &out)
{
    out << "Usage: termdex-cli [--program-folder DIR] [--custom-folder DIR] [--lang en|gr] "
           "[--json] COMMAND [ARGUMENTS]\n\nCommands:\n";
    for (const Command &command : AllCommands())
        out << "  " << command.synopsis << '\n';
}

} // namespace

int RunCli(int argc, char **argv, std::ostream &out, std::ostream &err)
{
    GlobalOptions options;
    options.programFolder = LocateProgramFolder(ExecutableFolder(argc > 0 ? argv[0] : "termdex-cli"));
    std::vector<std::string> rest;
    std::string command;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string &target) {
            if (i + 1 >= argc)
                return false;
            target = argv[++i];
            return true;
        };
        std::string text;
        if (optionsEnded) {
            rest.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
            rest.push_back(arg);
        } else if (arg == "--help" || arg == "-h") {
            PrintHelp(out);
            return kExitOk;
        } else if (arg == "--version") {
            out << "termdex-cli " << TermdexVersion() << '\n';
            return kExitOk;
        } else if (arg == "--json") {
            options.json = true;
        } else if (arg == "--program-folder" || arg == "--custom-folder" || arg == "--lang") {
            if (!value(text)) {
                err << "option " << arg << " needs a value\n";
                return kExitUsage;
            }
            if (arg == "--program-folder") {
                options.programFolder = text;
            } else if (arg == "--custom-folder") {
                options.customFolder = text;
            } else if (text == "en" || text == "gr") {
                options.greek = text == "gr";
            } else {
                err << "--lang takes en or gr\n";
                return kExitUsage;
            }
        } else if (command.empty() && !(arg.size() > 1 && arg[0] == '-')) {
            command = arg;
        } else {
            rest.push_back(arg);
        }
    }
    if (command.empty()) {
        PrintHelp(err);
        return kExitUsage;
    }
    for (const Command &known : AllCommands()) {
        if (command == known.name) {
            Run run{options, CommandArgs(std::move(rest)), out, err};
            return known.run(run);
        }
    }
    err << "unknown command " << command << " (termdex-cli --help lists them)\n";
    return kExitUsage;
}

} // namespace termdex::cli
