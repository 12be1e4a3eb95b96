#include "tools/cli.h"

#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/version.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iostream>
#include <system_error>

#include <sys/ioctl.h>
#include <unistd.h>

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
        const size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string::npos;
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            m_positional.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (equals != std::string::npos) {
            const std::string name = arg.substr(0, equals);
            if (among(valueOptions, name)) {
                m_values.emplace_back(name, arg.substr(equals + 1));
            } else {
                m_error = among(flagOptions, name) ? "option " + name + " takes no value"
                                                   : "unknown option " + name;
                return false;
            }
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
    if (converted.invalidUtf8)
        err << "the text is not UTF-8: " << converted.problem << '\n';
    else if (!converted.text)
        err << "the text holds a character that code page 1253 cannot hold: " << converted.problem
            << '\n';
    return converted.text;
}

std::optional<Cp1253> Run::FieldText(const std::string &utf8) const
{
    auto text = ToCp1253(utf8);
    if (text && text->size() > kFieldCharacterLimit)
        text->resize(kFieldCharacterLimit); // one byte per character in code page 1253
    return text;
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
    ProgramPaths paths = StartupPaths(options.programFolder, options.user);
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

TerminalHints ReadTerminalHints(const EnvironmentLookup &lookup)
{
    TerminalHints hints;
    const char *noColour = lookup("NO_COLOR");
    hints.noColour = noColour != nullptr && *noColour != '\0';
    const char *term = lookup("TERM");
    hints.dumbTerminal = term != nullptr && std::string_view(term) == "dumb";
    long long columns = 0;
    const char *text = lookup("COLUMNS");
    if (text != nullptr && ParseFixedNumber(text, columns) && columns > 0 && columns <= 1000)
        hints.columns = static_cast<int>(columns);
    return hints;
}

std::vector<Command> AllCommands()
{
    std::vector<Command> all;
    for (auto provider :
         {DataCommands, LookupCommands, EditCommands, InstallCommands, ImportCommands})
        for (const Command &command : provider())
            all.push_back(command);
    return all;
}

// A synopsis split into its usage and what the command does (after two or more blanks).
std::pair<std::string, std::string> SplitSynopsis(std::string_view synopsis)
{
    const size_t gap = synopsis.find("  ");
    if (gap == std::string_view::npos)
        return {std::string(synopsis), {}};
    const size_t what = synopsis.find_first_not_of(' ', gap);
    return {std::string(synopsis.substr(0, gap)),
            what == std::string_view::npos ? std::string() : std::string(synopsis.substr(what))};
}

const char kGlobalOptions[] =
    "Global options (before or after COMMAND; --opt=value works as --opt value):\n"
    "  --program-folder DIR  the folder that holds data/ and content/\n"
    "  --custom-folder DIR   the folder whose Data/ holds the reader's entries, for this run\n"
    "  --lang en|gr          the language mode before the command runs\n"
    "  --json                machine-readable output: one JSON object a line\n"
    "  --help, --version     this help, the version\n";

void PrintHelp(std::ostream &out)
{
    out << "Usage: termdex-cli [GLOBAL OPTIONS] COMMAND [ARGUMENTS]\n"
           "       termdex-cli help COMMAND    (or COMMAND --help)\n";
    const std::vector<Command> all = AllCommands();
    // Usages longer than this put what they do on a line of their own, in the same column.
    const size_t kWidest = 34;
    size_t column = 0;
    for (const Command &command : all)
        column = std::max(column, std::min(kWidest, SplitSynopsis(command.synopsis).first.size()));
    column += 4;
    for (const auto &[group, title] :
         {std::pair{CommandGroup::Reader, "Reader commands:"},
          std::pair{CommandGroup::Maintenance, "Maintenance commands:"}}) {
        out << '\n' << title << '\n';
        for (const Command &command : all) {
            if (command.group != group)
                continue;
            const auto [usage, what] = SplitSynopsis(command.synopsis);
            out << "  " << usage;
            if (!what.empty()) {
                if (usage.size() + 4 > column) // two blanks at least before what it does
                    out << '\n' << std::string(column, ' ');
                else
                    out << std::string(column - usage.size() - 2, ' ');
                out << what;
            }
            out << '\n';
        }
    }
    out << '\n' << kGlobalOptions;
    out << "\nExit status: 0 success; 1 failure; 2 bad usage or input; 3 no usable custom folder;\n"
           "4 data files missing or unreadable; 5 define: a word showed no entry.\n";
}

void PrintCommandHelp(std::ostream &out, const Command &command)
{
    const auto [usage, what] = SplitSynopsis(command.synopsis);
    out << "Usage: termdex-cli [GLOBAL OPTIONS] " << usage << '\n';
    if (!what.empty()) {
        std::string sentence = what;
        if (sentence[0] >= 'a' && sentence[0] <= 'z')
            sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
        out << '\n' << sentence << ".\n";
    }
    if (command.details != nullptr)
        out << '\n' << command.details;
    out << '\n' << kGlobalOptions;
}

const Command *FindCommand(const std::string &name)
{
    static const std::vector<Command> all = AllCommands();
    for (const Command &command : all)
        if (name == command.name)
            return &command;
    return nullptr;
}

int UnknownCommand(std::ostream &err, const std::string &name)
{
    err << "unknown command " << name << " (termdex-cli --help lists them)\n";
    return kExitUsage;
}

} // namespace

bool UseColour(int fd, const TerminalHints &terminal)
{
    return ::isatty(fd) == 1 && !terminal.noColour && !terminal.dumbTerminal;
}

int OutputWidth(int fd, const TerminalHints &terminal)
{
    winsize size{};
    if (::isatty(fd) == 1 && ::ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return terminal.columns.value_or(80);
}

std::string WrapText(std::string_view utf8, int width)
{
    width = std::max(width, 10);
    auto characters = [](std::string_view text) {
        return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    };
    std::string out;
    size_t lineStart = 0;
    while (lineStart <= utf8.size()) {
        const size_t lineEnd = std::min(utf8.find('\n', lineStart), utf8.size());
        const std::string_view line = utf8.substr(lineStart, lineEnd - lineStart);
        int used = 0;
        bool lineEmpty = true;
        for (size_t i = 0; i < line.size();) {
            const size_t wordStart = line.find_first_not_of(' ', i);
            if (wordStart == std::string_view::npos)
                break;
            const size_t wordEnd = std::min(line.find(' ', wordStart), line.size());
            const std::string_view word = line.substr(wordStart, wordEnd - wordStart);
            const int blanks = lineEmpty ? characters(line.substr(i, wordStart - i)) : 1;
            const int length = characters(word);
            if (!lineEmpty && used + blanks + length > width) {
                out += '\n';
                used = 0;
            } else if (blanks > 0) {
                out.append(static_cast<size_t>(blanks), ' '); // a paragraph's indent stays
                used += blanks;
            }
            out += word;
            used += length;
            lineEmpty = false;
            i = wordEnd;
        }
        if (lineEnd >= utf8.size())
            break;
        out += '\n';
        lineStart = lineEnd + 1;
    }
    return out;
}

namespace {

// The command line read: the global options, the command and what follows it.
struct CommandLine
{
    GlobalOptions options;
    std::string command;
    std::vector<std::string> rest;
    bool helpAsked = false;
};

// Reads the command line into line; an exit status when it ends the run there (--version, a bad
// option).
std::optional<int> ReadCommandLine(int argc, char **argv, CommandLine &line, std::ostream &out,
                                   std::ostream &err)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        // --opt=value is --opt value.
        std::string name = arg;
        std::optional<std::string> given;
        if (!optionsEnded && arg.rfind("--", 0) == 0) {
            if (const size_t equals = arg.find('='); equals != std::string::npos) {
                name = arg.substr(0, equals);
                given = arg.substr(equals + 1);
            }
        }
        auto value = [&](std::string &target) {
            if (given) {
                target = *given;
                return true;
            }
            if (i + 1 >= argc)
                return false;
            target = argv[++i];
            return true;
        };
        const bool flag =
            name == "--help" || name == "-h" || name == "--version" || name == "--json";
        if (!optionsEnded && flag && given) {
            err << "option " << name << " takes no value\n";
            return kExitUsage;
        }
        std::string text;
        if (optionsEnded) {
            line.rest.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
            line.rest.push_back(arg);
        } else if (name == "--help" || name == "-h") {
            line.helpAsked = true;
        } else if (name == "--version") {
            out << "termdex-cli " << TermdexVersion() << '\n';
            return kExitOk;
        } else if (name == "--json") {
            line.options.json = true;
        } else if (name == "--program-folder" || name == "--custom-folder" || name == "--lang") {
            if (!value(text)) {
                err << "option " << name << " needs a value\n";
                return kExitUsage;
            }
            if (name == "--program-folder") {
                line.options.programFolder = text;
            } else if (name == "--custom-folder") {
                line.options.customFolder = text;
            } else if (text == "en" || text == "gr") {
                line.options.greek = text == "gr";
            } else {
                err << "--lang takes en or gr, not " << text << '\n';
                return kExitUsage;
            }
        } else if (line.command.empty() && !(arg.size() > 1 && arg[0] == '-')) {
            line.command = arg;
        } else {
            line.rest.push_back(arg);
        }
    }
    return std::nullopt;
}

// "help [COMMAND]", --help and -h: the exit status when help was asked for.
std::optional<int> Help(CommandLine &line, std::ostream &out, std::ostream &err)
{
    if (line.command == "help") {
        std::vector<std::string> topics;
        for (const std::string &arg : line.rest)
            if (arg != "--")
                topics.push_back(arg);
        if (topics.size() > 1) {
            err << "help takes one COMMAND\n";
            return kExitUsage;
        }
        if (topics.empty()) {
            PrintHelp(out);
            return kExitOk;
        }
        line.command = topics.front();
        line.helpAsked = true;
    }
    if (!line.helpAsked)
        return std::nullopt;
    if (line.command.empty()) {
        PrintHelp(out);
        return kExitOk;
    }
    const Command *known = FindCommand(line.command);
    if (known == nullptr)
        return UnknownCommand(err, line.command);
    PrintCommandHelp(out, *known);
    return kExitOk;
}

} // namespace

int RunCli(int argc, char **argv, std::ostream &out, std::ostream &err,
           const EnvironmentLookup &lookup, FileSystem &files)
{
    // Every argument is checked before any is used, so a bad one changes nothing.
    for (int i = 1; i < argc; ++i) {
        if (const auto problem = Utf8Error(argv[i])) {
            err << "termdex-cli: argument " << i << ": " << *problem << '\n';
            return kExitUsage;
        }
    }
    CommandLine line;
    line.options.files = &files;
    line.options.user = ReadUserFolders(lookup);
    line.options.terminal = ReadTerminalHints(lookup);
    line.options.executableFolder = ExecutableFolder(argc > 0 ? argv[0] : "termdex-cli");
    line.options.programFolder = LocateProgramFolder(line.options.executableFolder);
    if (const std::optional<int> status = ReadCommandLine(argc, argv, line, out, err))
        return *status;
    if (const std::optional<int> status = Help(line, out, err))
        return *status;
    if (line.command.empty()) {
        PrintHelp(err);
        return kExitUsage;
    }
    const Command *known = FindCommand(line.command);
    if (known == nullptr)
        return UnknownCommand(err, line.command);
    Run run{line.options, CommandArgs(std::move(line.rest)), out, err};
    return known->run(run);
}

} // namespace termdex::cli
