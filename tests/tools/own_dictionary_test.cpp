// An imported dictionary beside the shipped one: each keeps its own settings file and reader's
// entries, and its launcher opens it.
#include "data/paths.h"
#include "lib/files.h"
#include "lib/settings.h"
#include "tests/data/test_folders.h"
#include "tests/tools/cli_runner.h"

#include <cstdlib>
#include <fstream>

namespace termdex {
namespace {
using namespace termdex::testing;
namespace fs = std::filesystem;

class OwnDictionaryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::temp_directory_path() / ("termdex-own-" + std::to_string(::getpid()));
        fs::remove_all(root);
        environment.Set("HOME", root / "home");
        environment.Set("XDG_CONFIG_HOME", root / "config");
        environment.Set("XDG_DATA_HOME", root / "share");
        fs::create_directories(root / "share");
        // The demo dictionary as a shipped one without a program file, whose folder would
        // otherwise hold the reader's entries.
        CopyDemoData(root / "shipped");
        std::ofstream(root / "small.tsv") << "Tax\tΦόρος\tA levy\nIncome\tΕισόδημα\tMoney in\n";
    }
    void TearDown() override
    {
        environment.Restore();
        fs::remove_all(root);
    }
    CliResult In(const std::string &folder, const std::string &arguments)
    {
        return RunCli("--program-folder " + ShellQuote((root / folder).string()) + " " + arguments,
                      {}, true);
    }
    CliResult Import(const std::string &folder, const std::string &options)
    {
        return RunCli("import tsv " + ShellQuote((root / "small.tsv").string()) + " --to " +
                          ShellQuote((root / folder).string()) + " " + options,
                      {}, true);
    }

    fs::path root;
    ScopedEnvironment environment;
};

TEST_F(OwnDictionaryTest, EntriesStayInTheDictionaryTheyWereMadeIn)
{
    ASSERT_EQ(Import("named", "--name 'Φόροι EU'").status, 0);
    ASSERT_EQ(Import("unnamed", "").status, 0);
    ASSERT_EQ(In("named", "insert --en Levyish --gr Εισφορά").status, 0);
    ASSERT_EQ(In("shipped", "insert --en Shippedish --gr Απεσταλμένο").status, 0);
    ASSERT_EQ(In("unnamed", "insert --en Unnamedish --gr Ανώνυμο").status, 0);
    const std::vector<std::pair<std::string, std::string>> own = {
        {"named", "Levyish"}, {"shipped", "Shippedish"}, {"unnamed", "Unnamedish"}};
    for (const auto &[folder, word] : own)
        for (const auto &[other, otherWord] : own)
            EXPECT_EQ(In(folder, "edited").out.find(otherWord) != std::string::npos,
                      folder == other)
                << otherWord << " in " << folder;
    EXPECT_NE(In("named", "lookup le").out.find("Levyish"), std::string::npos);

    // The shipped dictionary keeps its settings file; the named one's carries its name.
    EXPECT_EQ(ReadSettingsLine(root / "config" / "Termdex.ini"), (root / "share/Termdex").string());
    EXPECT_EQ(ReadSettingsLine(root / "config" / "Termdex" / "Φόροι EU.ini"),
              (root / "share/Termdex/Φόροι EU").string());
    // A new import without a name keeps the dictionary's name, so its entries stay.
    ASSERT_EQ(Import("named", "").status, 0);
    EXPECT_NE(In("named", "edited").out.find("Levyish"), std::string::npos);
}

TEST_F(OwnDictionaryTest, NamesThatCannotNameAFileAreRefused)
{
    for (const char *name : {"''", "a/b", ".hidden", "DATA", "'tab\there'"}) {
        EXPECT_EQ(Import("bad", std::string("--name ") + name).status, 2) << name;
        EXPECT_FALSE(fs::exists(root / "bad")) << name;
    }
    // A folder without a name is known by its path: two such folders never share.
    ASSERT_EQ(Import("one", "").status, 0);
    ASSERT_EQ(Import("two", "").status, 0);
    EXPECT_NE(DictionaryName(root / "one"), DictionaryName(root / "two"));
    EXPECT_EQ(DictionaryName(root / "one"), DictionaryName(root / "one" / "."));
    EXPECT_EQ(DictionaryName(root / "shipped"), "");

    // The window's title: the source's own title for an unnamed import, a hand-edited marker's
    // title shown safely, nothing for the shipped dictionary.
    EXPECT_EQ(DictionaryTitle(root / "one"), "small");
    EXPECT_EQ(DictionaryTitle(root / "shipped"), "");
    std::ofstream(root / "one" / kImportMarkerFile)
        << "name=Kept\ntitle=" << std::string(79, 'x') << "\x01\xce\xb1\n";
    EXPECT_EQ(DictionaryTitle(root / "one"), std::string(79, 'x') + " ");
}

TEST_F(OwnDictionaryTest, TheLauncherOpensTheImportedDictionary)
{
    const CliResult imported = Import("named", "--name Φόροι --launcher");
    ASSERT_EQ(imported.status, 0) << imported.out;
    std::vector<fs::path> launchers;
    for (const fs::path &folder : {root / "home/Desktop", root / "share/applications"})
        for (const auto &file : fs::directory_iterator(folder))
            launchers.push_back(file.path());
    ASSERT_EQ(launchers.size(), 2u);
    EXPECT_NE(imported.out.find(launchers[0].string()), std::string::npos);
    const auto text = ReadWholeFile(launchers[0], 1 << 16);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Name=Termdex — Φόροι\n"), std::string::npos);
    EXPECT_NE(text->find("--program-folder \"" + (root / "named").string() + "\""),
              std::string::npos)
        << *text;
    for (const fs::path &launcher : launchers)
        EXPECT_EQ(std::system(("desktop-file-validate " + ShellQuote(launcher.string())).c_str()),
                  0);
}

} // namespace
} // namespace termdex
