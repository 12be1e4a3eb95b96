#include "tests/tools/cli_runner.h"

#include "lib/codecs.h"

namespace termdex {
namespace {
using namespace termdex::testing;

std::string Demo() { return "--program-folder " + ShellQuote(BuildDir().string()) + " "; }

TEST(CliDataTest, CodecsRunOnRawBytes)
{
    const std::string line = "00001Tax                          ";
    CliResult r = RunCli("codec mirror-encode --seed 7", line);
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out, MirrorEncode(7, line));
    EXPECT_EQ(RunCli("codec mirror-decode --seed 7", r.out).out, line);
    EXPECT_EQ(RunCli("codec shift-encode", "abc").out, "\x80\x82\x84");
    EXPECT_EQ(RunCli("codec description-decode", "\x1E").out, "\xD1");
    EXPECT_EQ(RunCli("codec no-such-codec", "x").status, 2);
}

TEST(CliDataTest, FoldAndWholeWord)
{
    EXPECT_EQ(RunCli("fold greek-key " + ShellQuote("  ΑΓΟΡΆ (Χρήματος) ")).out,
              "αγορα χρηματος\n");
    EXPECT_EQ(RunCli("fold latin-key '3 D-printing'").out, "dprinting\n");
    EXPECT_EQ(RunCli("fold latin-key '3 D-printing' --keep-leading-digits").out, "3 dprinting\n");
    EXPECT_EQ(RunCli("--json fold fold-greek-letters " + ShellQuote("Τιμή, (Price)")).out,
              "{\"text\": \"τιμη, (price)\"}\n");
    EXPECT_EQ(RunCli("whole-word 'tax taxation' tax").out, "true\n");
    EXPECT_EQ(RunCli("whole-word --json 'taxation tax' tax").out, "{\"result\": false}\n");
    // A text that begins with "-" after "--".
    EXPECT_EQ(RunCli("whole-word -- -tax tax").out, "true\n");
}

TEST(CliDataTest, TextOutsideTheCodePageIsRefused)
{
    const CliResult r = RunCli("fold latin-key " + ShellQuote("налог"), {}, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("н"), std::string::npos);
}

TEST(CliDataTest, DumpIndexAndCheckOnTheDemoDictionary)
{
    CliResult r = RunCli(Demo() + "--json dump-index");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("{\"records\": [{\"record\": 1, \"id\": 1, \"headword\": ", 0), 0u);
    EXPECT_NE(r.out.find("\"record\": 300,"), std::string::npos);
    EXPECT_NE(r.out.find("\"supplement_refs\": []"), std::string::npos);
    r = RunCli(Demo() + "--json dump-index --greek");
    EXPECT_NE(r.out.find("\"englishIndex\": "), std::string::npos);
    r = RunCli(Demo() + "--json check");
    EXPECT_EQ(r.out, "{\"problems\": []}\n");
}

TEST(CliDataTest, MissingDataFilesAreNamedWithStatus4)
{
    const auto empty = std::filesystem::temp_directory_path() / "termdex-cli-empty";
    std::filesystem::create_directories(empty);
    const CliResult r =
        RunCli("--program-folder " + ShellQuote(empty.string()) + " dump-index", {}, true);
    EXPECT_EQ(r.status, 4);
    EXPECT_NE(r.out.find("TermdexI.tbo"), std::string::npos);
    EXPECT_EQ(RunCli("--program-folder " + ShellQuote(empty.string()) + " build", {}, true).status,
              4);
    std::filesystem::remove_all(empty);
}

TEST(CliDataTest, UsageErrors)
{
    EXPECT_EQ(RunCli("").status, 2);
    EXPECT_EQ(RunCli("no-such-command").status, 2);
    EXPECT_EQ(RunCli("--lang fr dump-index").status, 2);
    EXPECT_EQ(RunCli("--help").status, 0);
    EXPECT_EQ(RunCli("byte-range").status, 2);
}

} // namespace
} // namespace termdex
