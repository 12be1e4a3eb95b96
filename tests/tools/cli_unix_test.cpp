// termdex-cli as a Unix tool: define, exit statuses, standard input, --opt=value, help, colour
// and every kind of bad argument, run as scripts run it.
#include "tests/tools/cli_runner.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace termdex {
namespace {
using namespace termdex::testing;

std::string Demo() { return "--program-folder " + ShellQuote(BuildDir().string()) + " "; }

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

TEST(CliUnixTest, DefineIsTypeThenShowForEachWordAndExitsFiveWhenOneShowsNothing)
{
    const CliResult typed = RunCli(Demo() + "--json type tax");
    const size_t at = typed.out.find("\"shown\": ");
    ASSERT_NE(at, std::string::npos);
    const std::string record = std::to_string(std::stoi(typed.out.substr(at + 9)));
    const std::string shown = RunCli(Demo() + "--json show " + record).out;

    CliResult r = RunCli(Demo() + "--json define tax");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "{\"query\": \"tax\", \"language\": \"en\", \"entry\": " +
                         shown.substr(0, shown.size() - 1) + ", \"suggestions\": []}\n");
    // One line per word, in order; a word without an entry is null and makes the status 5.
    r = RunCli(Demo() + "--json define qqqq tax");
    EXPECT_EQ(r.status, 5);
    ASSERT_EQ(Lines(r.out).size(), 2u) << r.out;
    EXPECT_EQ(Lines(r.out)[0],
              "{\"query\": \"qqqq\", \"language\": \"en\", \"entry\": null, \"suggestions\": []}");
    EXPECT_EQ(Lines(r.out)[1].rfind("{\"query\": \"tax\"", 0), 0u);
    // Standard input: a line per word, CR LF too; an empty line types nothing and shows nothing.
    r = RunCli(Demo() + "--json define -", "tax\r\n\ntax\n");
    EXPECT_EQ(r.status, 5);
    ASSERT_EQ(Lines(r.out).size(), 3u) << r.out;
    EXPECT_EQ(Lines(r.out)[0], Lines(r.out)[2]);
    EXPECT_EQ(Lines(r.out)[1],
              "{\"query\": \"\", \"language\": \"en\", \"entry\": null, \"suggestions\": []}");
    // A word that names no entry says what it may have meant.
    r = RunCli(Demo() + "--json define inflatoin " + ShellQuote("πληθωρισμού"));
    EXPECT_NE(r.out.find("\"entry\": null, \"suggestions\": [{\"record\": "), std::string::npos);
    EXPECT_NE(r.out.find("\"text\": \"Inflation\", \"reason\": \"spelling\"}]"), std::string::npos);
    EXPECT_NE(r.out.find("\"text\": \"Πληθωρισμός\", \"reason\": \"form\"}]"), std::string::npos);
    EXPECT_EQ(RunCli(Demo() + "define -", "tax\n").status, 0);
    EXPECT_EQ(RunCli(Demo() + "define").status, 2);
    // For people: the headword and its rendering on the first line, the description wrapped.
    r = RunCli(Demo() + "define tax");
    EXPECT_EQ(r.status, 0);
    for (const std::string &line : Lines(r.out))
        EXPECT_LE(
            std::count_if(line.begin(), line.end(),
                          [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }),
            80)
            << line;
    EXPECT_EQ(r.out.rfind("Tax  ", 0), 0u) << r.out;
}

TEST(CliUnixTest, OptionsTakeTheirValueAfterAnEqualsSignAndEveryCommandHasHelp)
{
    EXPECT_EQ(RunCli(Demo() + "--json lookup --mode=contain tax").out,
              RunCli(Demo() + "--json lookup --mode contain tax").out);
    EXPECT_EQ(
        RunCli("--program-folder=" + ShellQuote(BuildDir().string()) + " --lang=gr --json all").out,
        RunCli(Demo() + "--lang gr --json all").out);
    EXPECT_EQ(RunCli(Demo() + "--json=yes all").status, 2);
    EXPECT_EQ(RunCli(Demo() + "dump-index --greek=1").status, 2);

    const CliResult help = RunCli("help lookup");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("Usage: termdex-cli [GLOBAL OPTIONS] lookup TEXT", 0), 0u) << help.out;
    EXPECT_EQ(RunCli("lookup --help").out, help.out);
    EXPECT_EQ(RunCli("--json lookup tax --help").out, help.out);
    EXPECT_EQ(RunCli("help no-such-command").status, 2);
    EXPECT_EQ(RunCli("help").out, RunCli("--help").out);

    // Reader commands, then maintenance commands; what each does starts in one column.
    const std::string all = RunCli("--help").out;
    ASSERT_LT(all.find("Reader commands:"), all.find("Maintenance commands:"));
    EXPECT_LT(all.find("  define "), all.find("Maintenance commands:"));
    EXPECT_GT(all.find("  codec "), all.find("Maintenance commands:"));
    const size_t commands = all.find("Reader commands:");
    const std::vector<std::string> lines =
        Lines(all.substr(commands, all.find("Global options") - commands));
    ASSERT_EQ(lines[1].rfind("  define ", 0), 0u) << lines[1];
    const size_t column = lines[1].find_first_not_of(' ', lines[1].find("   ", 2));
    ASSERT_NE(column, std::string::npos) << lines[1];
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string &line = lines[i];
        const bool whatFollows = i + 1 < lines.size() && lines[i + 1].size() > column &&
                                 lines[i + 1].find_first_not_of(' ') == column;
        // A usage without a summary (insert, modify) ends in a placeholder or a bracket.
        const bool usageOnly = line.find("  ", 2) == std::string::npos &&
                               (line.back() == ']' || std::isupper(line.back()));
        if (line.rfind("  ", 0) != 0 || line.size() <= column || line[2] == ' ' || whatFollows ||
            usageOnly)
            continue;
        // At least two blanks between a usage and what it does.
        EXPECT_EQ(line.substr(column - 2, 3).find_first_not_of(' '), 2u) << line;
    }
}

TEST(CliUnixTest, ColourOnlyOnATerminalAndNeverWithNoColor)
{
    const std::string command =
        ShellQuote((BuildDir() / "termdex-cli").string()) + " " + Demo() + "define tax";
    // script gives the program a terminal of its own.
    auto onTerminal = [&](const std::string &environment) {
        return RunCli("", {}, false,
                      "script -qec " + ShellQuote(environment + command) + " /dev/null");
    };
    EXPECT_NE(onTerminal("TERM=xterm ").out.find("\x1b[1m"), std::string::npos);
    EXPECT_EQ(onTerminal("TERM=xterm NO_COLOR=1 ").out.find("\x1b["), std::string::npos);
    EXPECT_EQ(RunCli(Demo() + "define tax").out.find("\x1b["), std::string::npos);
}

TEST(CliUnixTest, BadArgumentsAreRefusedWithAMessageNamingWhatFailed)
{
    // Overlong forms (an encoded NUL among them), surrogates, truncated sequences.
    for (const char *bad :
         {"ta\xC0\x80x", "\xC1\xB4", "\xE0\x80\xB4", "\xED\xA0\x80", "tax\xE2\x82"}) {
        const CliResult r = RunCli(Demo() + "lookup " + ShellQuote(bad), {}, true);
        EXPECT_EQ(r.status, 2) << bad;
        EXPECT_NE(r.out.find("invalid UTF-8"), std::string::npos) << r.out;
    }
    EXPECT_EQ(RunCli(Demo() + "define -", "tax\n\xC0\x80\n", true).status, 2);
    for (const char *stray : {"dump-index extra", "check extra", "build extra", "all extra"})
        EXPECT_EQ(RunCli(Demo() + stray).status, 2) << stray;
    EXPECT_EQ(RunCli("codec mirror-encode --seed -2147483648", "abc").status, 0);
    EXPECT_EQ(RunCli("codec mirror-encode --seed=2147483647", "abc").status, 0);
    EXPECT_EQ(RunCli("codec mirror-encode --seed -2147483649", "abc").status, 2);
    EXPECT_EQ(RunCli("codec mirror-encode --seed 2147483648", "abc").status, 2);

    // A text longer than the entry field holds is cut where the field cuts it.
    const CliResult longText = RunCli(Demo() + "--json lookup tax" + std::string(40000, 'q'));
    EXPECT_EQ(longText.status, 0);
    EXPECT_NE(longText.out.find("tax" + std::string(32764, 'q') + "\""), std::string::npos);
    EXPECT_EQ(longText.out.find(std::string(32765, 'q')), std::string::npos);

    const auto root = std::filesystem::temp_directory_path() / "termdex-cli-unix";
    std::filesystem::create_directories(root);
    std::ofstream(root / "file") << "x";
    const CliResult install =
        RunCli("install " + ShellQuote((root / "file" / "dest").string()), {}, true);
    EXPECT_EQ(install.status, 1);
    EXPECT_NE(install.out.find((root / "file").string() + " is a file"), std::string::npos)
        << install.out;
    std::filesystem::remove_all(root);
}

} // namespace
} // namespace termdex
