// The command-line front end: the registry of commands, the global options, argument
// conversion and exit statuses that every command shares.
#pragma once

#include "data/paths.h"
#include "lib/text.h"
#include "lib/user_folders.h"
#include "store/file_system.h"

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace termdex::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailure = 1,
    kExitUsage = 2,          // bad usage or bad input; nothing changed
    kExitNoCustomFolder = 3, // no usable custom folder for an editing command
    kExitDataMissing = 4,    // a data file missing or unreadable (the message names it)
    kExitNoEntry = 5,        // define: a word showed no entry (the others were printed)
};

// The characters a one-line field of the window holds (a line edit's own limit); a longer text
// typed or pasted there is cut, and so is a text argument bound for such a field.
inline constexpr size_t kFieldCharacterLimit = 32767;

// What the terminal's environment says about output for people.
struct TerminalHints
{
    bool noColour = false;      // NO_COLOR set and not empty
    bool dumbTerminal = false;  // TERM=dumb
    std::optional<int> columns; // COLUMNS, when it is a number of 1 to 1000
};

struct GlobalOptions
{
    FileSystem *files = nullptr;             // given by main; never null in a run
    UserFolders user;                        // read from the environment by main
    TerminalHints terminal;                  // likewise
    std::filesystem::path executableFolder;  // where termdex-cli (and the window's program) lie
    std::filesystem::path programFolder;     // default: the folder of the executable
    std::optional<std::string> customFolder; // --custom-folder, used for this run only
    bool greek = false;                      // --lang gr; the window starts in English
    bool json = false;
};

// The arguments of one command after the global options are taken out (UTF-8). "--" stays in
// the list, so a command's own parser knows where options end.
class CommandArgs
{
public:
    explicit CommandArgs(std::vector<std::string> args) : m_args(std::move(args)) {}

    // Splits the arguments: valueOptions take the next argument, flagOptions none. Returns false
    // (with error()) for an unknown option or a missing value.
    bool Parse(const std::vector<std::string> &valueOptions,
               const std::vector<std::string> &flagOptions);
    const std::vector<std::string> &positional() const { return m_positional; }
    std::optional<std::string> Value(const std::string &option) const;
    bool Flag(const std::string &option) const;
    const std::string &error() const { return m_error; }

private:
    std::vector<std::string> m_args;
    std::vector<std::string> m_positional;
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_flags;
    std::string m_error;
};

struct Run
{
    GlobalOptions options;
    CommandArgs args;
    std::ostream &out;
    std::ostream &err;

    // A usage or input error: the message on stderr, status 2.
    int Fail(const std::string &message, int status = kExitUsage) const;
    // UTF-8 argument to code page 1253; on a character the code page cannot hold, prints the
    // message naming it and returns nullopt (the caller exits with 2).
    std::optional<Cp1253> ToCp1253(const std::string &utf8) const;
    // A text bound for one of the window's one-line fields (the entry field, the search
    // dialogs): converted as ToCp1253, then cut to kFieldCharacterLimit as the field cuts it.
    std::optional<Cp1253> FieldText(const std::string &utf8) const;
    // A record number argument: digits only, within 1..count.
    std::optional<int> RecordArgument(const std::string &text, int count) const;
    // The paths for this run: the program folder, and the custom folder from --custom-folder
    // or resolved as the window resolves it at start-up.
    ProgramPaths Paths() const;
    // Exit 4 with a message naming the first shipped data file that is missing or unreadable.
    std::optional<int> CheckDataFiles(const ProgramPaths &paths) const;
    // Writes one JSON object and a newline to stdout.
    void PrintJson(const std::string &json) const;
};

enum class CommandGroup { Reader, Maintenance };

struct Command
{
    const char *name;
    // "name ARGUMENTS   what it does": --help aligns the part after the first run of two or
    // more blanks in a column of its own.
    const char *synopsis;
    int (*run)(Run &);
    CommandGroup group = CommandGroup::Reader;
    const char *details = nullptr; // more for `help COMMAND`, lines ended by '\n'
};

// Colour and bold for people: only when the stream is a terminal, NO_COLOR is unset or empty and
// TERM is not "dumb".
bool UseColour(int fd, const TerminalHints &terminal);
// The width to wrap text for people to: the terminal's, else $COLUMNS, else 80.
int OutputWidth(int fd, const TerminalHints &terminal);
// Wraps UTF-8 text at blanks to lines of at most width characters (a longer word stands alone);
// line breaks in the text stay.
std::string WrapText(std::string_view utf8, int width);

// Each area of the program contributes its commands.
std::vector<Command>
DataCommands(); // build, check, byte-range, codec, fold, whole-word, dump-index
std::vector<Command>
LookupCommands();                    // lookup, type, specific, criteria, search, edited, all, show
std::vector<Command> EditCommands(); // insert, modify, delete
std::vector<Command> InstallCommands(); // install
std::vector<Command> ImportCommands();  // import

// The whole program: parses argv, runs the command, returns the exit status. The environment is
// read here, once, through lookup; every read and rewrite of the reader's files goes through
// files.
int RunCli(int argc, char **argv, std::ostream &out, std::ostream &err,
           const EnvironmentLookup &lookup, FileSystem &files);

} // namespace termdex::cli
