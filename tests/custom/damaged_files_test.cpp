// Edits on custom files damaged the ways a disk or an editor damages them: every entry that
// could be read before is read unchanged after the edit, or the edit refused and no file
// changed. The repair then keeps what was readable and makes the files editable again.
#include "custom/custom_edits.h"

#include "custom_fixture.h"

#include <sys/stat.h>

#include <functional>
#include <map>
#include <set>
#include <tuple>

namespace termdex {
namespace {
using namespace termdex::testing;
namespace fs = std::filesystem;

// An entry as the reader sees it: kind, headwords, the stored description as the display reads.
using Seen = std::tuple<EntryKind, Cp1253, Cp1253, Cp1253>;
// What is done to whole files.
using Damage = std::function<void()>;

// Written as an edit writes it: "{", 7-bit printable bytes, "}" (or nothing).
bool LooksStored(Cp1253View stored)
{
    return stored.empty() ||
           (stored.front() == '{' && stored.back() == '}' &&
            std::all_of(stored.begin(), stored.end(), [](char c) { return c >= 32 && c < 127; }));
}

class DamagedFilesTest : public CustomFilesTest
{
protected:
    void SetUp() override
    {
        CustomFilesTest::SetUp();
        WriteSmallDictionary();
        Load();
        ASSERT_TRUE(Insert("bravo", G("μπράβο"), "first\r\nentry").ok());
        ASSERT_TRUE(Insert("echo", "", "second").ok());
        ASSERT_TRUE(Insert("tango", G("τάνγκο"), "").ok());
        ASSERT_TRUE(Update(Record("omega"), "a supplement").ok());
        for (const std::string *path : Paths())
            whole.push_back(Bytes(*path).value());
        ProgramPaths shippedOnly = paths;
        SetCustomPaths(shippedOnly, {});
        std::vector<std::string> none;
        ASSERT_TRUE(LoadEntryIndex(shippedOnly, shipped, none).complete);
    }

    std::vector<const std::string *> Paths() const
    {
        return {&paths.customIndexPath, &paths.customGreekIndexPath, &paths.customDescriptionPath};
    }
    // What the display reads at a 1-based position, nullopt where it reads nothing whole.
    std::optional<Cp1253> ReadAt(long long position, long long length) const
    {
        const auto bytes = ReadFileRange(paths.customDescriptionPath, position - 1, length);
        if (position < 1 || !bytes || static_cast<long long>(bytes->size()) != length)
            return std::nullopt;
        return ShiftCodec(*bytes, true);
    }
    std::set<Seen> Readable()
    {
        Load();
        std::set<Seen> seen;
        for (int r = 1; r <= index.englishCount; ++r) {
            const IndexRecord &record = index.english[r];
            std::optional<Cp1253> stored;
            if (record.kind == EntryKind::Own) {
                stored = ReadAt(record.descOffset, record.descLength);
            } else if (record.kind == EntryKind::Supplemented) {
                const std::string &ref = refs.at(static_cast<size_t>(record.supplementRef));
                long long position = 0, length = 0;
                if (ref.size() == SupplementRefLayout::lineLength &&
                    ReadNumber(ref, SupplementRefLayout::position, position) &&
                    ReadNumber(ref, SupplementRefLayout::length, length))
                    stored = ReadAt(position, length);
            }
            if (stored)
                seen.insert({record.kind, Cp1253(record.headword), GreekOf(r), *stored});
        }
        return seen;
    }
    // Everything in the Data folder but the lock file: scratch files left behind count.
    std::map<std::string, std::string> Folder() const
    {
        std::map<std::string, std::string> files;
        for (const auto &entry :
             fs::directory_iterator(fs::path(paths.customIndexPath).parent_path()))
            if (entry.path().filename() != "termdex.lock")
                files[entry.path().filename().string()] =
                    entry.is_regular_file() ? Bytes(entry.path().string()).value_or("?") : "*";
        return files;
    }
    void Put(const std::vector<std::string> &files)
    {
        for (size_t i = 0; i < 3; ++i) {
            fs::remove_all(*Paths()[i]);
            WriteFile(*Paths()[i], files[i]);
        }
    }

    // Each edit on the damaged set: refused with the folder as it was, or done with every
    // entry readable before still readable as it was (but the one edited).
    void EditEachWay(const Damage &damage, const std::string &trace)
    {
        SCOPED_TRACE(trace);
        UnsyncedFileSystem disk(RealFileSystem()); // thousands of edits, no crash
        struct Edit
        {
            const char *name;
            Cp1253 touched; // the headword of the entry the edit replaces or removes
            EntryKind kind; // the kind that entry has in whole files
            std::function<EditStatus()> run;
        };
        const std::vector<Edit> edits = {
            {"insert", "", EntryKind::Own,
             [&] {
                 return InsertEntry(paths, index, {"kilo", G("κίλο"), "new"}, disk);
             }},
            {"modify", "echo", EntryKind::Own,
             [&] {
                 return UpdateEntry(paths, index, Record("echo"), EntryKind::Own, {"echo", "", "x"},
                                    disk);
             }},
            {"supplement", "gamma", EntryKind::Shipped,
             [&] {
                 return UpdateEntry(paths, index, Record("gamma"), EntryKind::Shipped,
                                    {"gamma", "", "s"}, disk);
             }},
            {"supplement modify", "omega", EntryKind::Supplemented,
             [&] {
                 return UpdateEntry(paths, index, Record("omega"), EntryKind::Supplemented,
                                    {"omega", "", "t"}, disk);
             }},
            {"supplement removal", "omega", EntryKind::Supplemented,
             [&] {
                 return UpdateEntry(paths, index, Record("omega"), EntryKind::Supplemented,
                                    {"omega", "", ""}, disk);
             }},
            {"delete", "bravo", EntryKind::Own,
             [&] { return DeleteEntry(paths, index, Record("bravo"), disk); }},
        };
        for (const Edit &edit : edits) {
            SCOPED_TRACE(edit.name);
            Put(whole);
            damage();
            const std::set<Seen> before = Readable();
            const int record = edit.touched.empty() ? 1 : Record(edit.touched);
            if (record == 0 || (edit.touched.size() && index.english[record].kind != edit.kind))
                continue; // the damage hid the entry or changed its kind: nothing to edit
            const auto folder = Folder();
            const EditStatus status = edit.run();
            if (!status.ok()) {
                EXPECT_EQ(Folder(), folder) << status.message;
                continue;
            }
            const std::set<Seen> after = Readable();
            for (const Seen &entry : before)
                EXPECT_TRUE(std::get<1>(entry) == edit.touched || after.count(entry))
                    << Cp1253ToUtf8(std::get<1>(entry));
        }
        // The repair keeps every readable entry and leaves files that take edits again.
        Put(whole);
        damage();
        const std::set<Seen> before = Readable();
        const RepairReport report = RepairCustomFiles(paths, shipped, disk);
        if (!report.status.ok()) {
            EXPECT_EQ(report.status.message.rfind(kMessageNotAFile, 0), 0u)
                << report.status.message;
            return;
        }
        EXPECT_EQ(CheckInvariants(paths), "");
        // Every entry keeps its kind and English headword, and its description when that is a
        // stored form (damaged ids may have paired it with another Greek headword before).
        const std::set<Seen> after = Readable();
        std::set<std::pair<EntryKind, Cp1253>> headwords;
        for (const auto &[kind, english, greek, stored] : after)
            headwords.insert({kind, english});
        for (const Seen &entry : before) {
            // Named references, not bindings: clang 14 cannot capture a structured binding.
            const EntryKind kind = std::get<0>(entry);
            const Cp1253 &english = std::get<1>(entry);
            const auto &stored = std::get<3>(entry);
            EXPECT_TRUE(headwords.count({kind, english})) << Cp1253ToUtf8(english);
            EXPECT_TRUE(!LooksStored(stored) || std::any_of(after.begin(), after.end(),
                                                            [&](const Seen &seen) {
                                                                return std::get<1>(seen) ==
                                                                           english &&
                                                                       std::get<3>(seen) == stored;
                                                            }))
                << Cp1253ToUtf8(english);
        }
        EXPECT_TRUE(InsertEntry(paths, index, {"kilo", G("κίλο"), "new"}, disk).ok());
    }
    // The files as they were, but file i's bytes.
    Damage Replace(size_t i, std::string bytes)
    {
        return [this, i, bytes] { WriteFile(*Paths()[i], bytes); };
    }
    static std::string Coded(const std::vector<Cp1253> &lines)
    {
        std::string coded;
        for (const Cp1253 &text : lines)
            coded += ShiftCodec(text, false) + "\r\n";
        return coded;
    }
    static std::string EnglishIndexWith(std::vector<Cp1253> lines, size_t line, size_t column,
                                        const Cp1253 &field)
    {
        lines[line].replace(column - 1, field.size(), field);
        return Coded(lines);
    }

    std::vector<std::string> whole;
    EntryIndex shipped;
};

TEST_F(DamagedFilesTest, EditsOnDamagedFilesKeepWhatCouldBeReadOrChangeNothing)
{
    for (size_t file = 0; file < 3; ++file) {
        const std::string name = fs::path(*Paths()[file]).filename().string();
        // One bit of each byte, a different one from byte to byte (the lines are 105 bytes long,
        // so each column sees each bit on some line).
        for (size_t at = 0; at < whole[file].size(); ++at) {
            std::string damaged = whole[file];
            damaged[at] = static_cast<char>(damaged[at] ^ (1 << at % 8));
            EditEachWay(Replace(file, damaged), name + " bit flip at " + std::to_string(at));
        }
        for (size_t at = 0; at + 3 <= whole[file].size(); at += 11)
            EditEachWay(Replace(file, std::string(whole[file]).erase(at, 3)),
                        name + " 3 bytes short at " + std::to_string(at));
        for (size_t size : {size_t{0}, whole[file].size() / 2, whole[file].size() - 4})
            EditEachWay(Replace(file, whole[file].substr(0, size)),
                        name + " cut to " + std::to_string(size));
        const std::string &path = *Paths()[file];
        EditEachWay([&] { fs::remove(path), fs::create_directory(path); }, name + " a folder");
        EditEachWay([&] { fs::remove(path), ::mkfifo(path.c_str(), 0600); }, name + " a pipe");
        EditEachWay([&] { fs::remove(path), fs::create_symlink("/dev/zero", path); },
                    name + " a link to a device");
    }
    const std::vector<Cp1253> lines = Lines(paths.customIndexPath);
    for (size_t line = 0; line < lines.size(); ++line) {
        EditEachWay(Replace(0, EnglishIndexWith(lines, line, 91, "99999999")),
                    "position 99999999 on line " + std::to_string(line));
        EditEachWay(Replace(0, EnglishIndexWith(lines, line, 99, "99999")),
                    "length 99999 on line " + std::to_string(line));
    }
}

// Whole lines lost, doubled or out of order, as an editor or a merge leaves them: the fuzzer's
// ways to a shared id, a second supplement or Greek line, an anchor out of the tables' order.
TEST_F(DamagedFilesTest, EditsOnIndexesWithLinesLostDoubledOrSwappedKeepWhatCouldBeRead)
{
    for (size_t file = 0; file < 2; ++file) {
        const std::vector<Cp1253> lines = Lines(*Paths()[file]);
        const std::string name = fs::path(*Paths()[file]).filename().string();
        for (size_t line = 0; line < lines.size(); ++line) {
            std::vector<Cp1253> changed = lines;
            changed.erase(changed.begin() + static_cast<long>(line));
            EditEachWay(Replace(file, Coded(changed)),
                        name + " without line " + std::to_string(line));
            changed = lines;
            changed.insert(changed.begin() + static_cast<long>(line), lines[line]);
            EditEachWay(Replace(file, Coded(changed)),
                        name + " line doubled " + std::to_string(line));
            if (line + 1 < lines.size()) {
                changed = lines;
                std::swap(changed[line], changed[line + 1]);
                EditEachWay(Replace(file, Coded(changed)),
                            name + " lines swapped at " + std::to_string(line));
            }
        }
    }
}

// Bytes lost from or put into the blanks after a headword shift every later byte's key: the
// repair reads the line as it was written, description and Greek line included.
TEST_F(DamagedFilesTest, RepairReadsALineAFewBytesShortOrLongAsItWasWritten)
{
    UnsyncedFileSystem disk(RealFileSystem());
    const std::set<Seen> before = Readable();
    const size_t lines = Lines(paths.customIndexPath).size();
    for (size_t line = 0; line < lines; ++line) {
        for (int change : {-4, -1, 2, 5}) {
            SCOPED_TRACE(std::to_string(line) + " by " + std::to_string(change));
            Put(whole);
            std::string english = whole[0];
            const size_t at = line * (kCustomLineLength + 2) + 40; // past every headword here
            if (change < 0)
                english.erase(at, static_cast<size_t>(-change));
            else
                english.insert(at, static_cast<size_t>(change), '#');
            WriteFile(paths.customIndexPath, english);
            const RepairReport report = RepairCustomFiles(paths, shipped, disk);
            ASSERT_TRUE(report.status.ok()) << report.status.message;
            EXPECT_TRUE(report.lost.empty()) << report.lost.front();
            EXPECT_EQ(Readable(), before);
        }
    }
}

} // namespace
} // namespace termdex
