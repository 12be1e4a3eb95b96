// Fuzzes the rewriting of the reader's custom files: the input is cut into a custom English
// index, a custom Greek index, a description file and a commit file; they are parsed, every
// rewriting step runs on them in memory, and one edit runs on them on disk after the recovery.
#include "custom/custom_edits.h"
#include "custom/custom_files.h"
#include "lib/codecs.h"
#include "store/commit.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {
using namespace termdex;
namespace fs = std::filesystem;

// Positions after a step that rebuilds them all: each is 1 + the lengths before it.
void CheckPositions(const CustomFiles &files)
{
    long long expected = 1;
    for (const CustomLine &line : files.english) {
        if (line.position != expected)
            __builtin_trap();
        expected += line.length;
    }
}

// The coded form of a step's result reads back as the same lines.
void CheckReparses(const CustomFiles &files)
{
    const auto again = ParseCustomFiles(CodeEnglishIndex(files), CodeGreekIndex(files));
    if (!again || again->english.size() != files.english.size())
        __builtin_trap();
}

std::string Part(const std::string &input, size_t &at)
{
    const size_t end = input.find("\n\n\n", at);
    std::string part = input.substr(at, end == std::string::npos ? std::string::npos : end - at);
    at = end == std::string::npos ? input.size() : end + 3;
    return part;
}

void Write(const fs::path &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string input(reinterpret_cast<const char *>(data), size);
    size_t at = 0;
    const std::string english = Part(input, at), greek = Part(input, at);
    const std::string descriptions = Part(input, at), commit = Part(input, at);

    static const fs::path root =
        fs::temp_directory_path() / ("termdex-custom-fuzz-" + std::to_string(::getpid()));
    static EntryIndex index;
    static ProgramPaths paths;
    static const bool made = [] {
        fs::create_directories(root / "data");
        fs::create_directories(root / "Data");
        // Three shipped entries with ids 1..3.
        std::string shippedEnglish, shippedGreek;
        const char *words[] = {"alpha", "beta", "gamma"};
        for (int i = 0; i < 3; ++i) {
            std::string line = "0000" + std::to_string(i + 1) + words[i];
            line.resize(131, ' ');
            line += "00000603000100100000";
            shippedEnglish += MirrorEncode(i + 1, line) + "\r\n";
            std::string greekLine = "0000" + std::to_string(i + 1) + words[i];
            greekLine.resize(146, ' ');
            shippedGreek += MirrorEncode(i + 1, greekLine) + "\r\n";
        }
        Write(root / "data" / "TermdexI.tbo", shippedEnglish);
        Write(root / "data" / "TermdexHI.tbo", shippedGreek);
        paths.programFolder = root;
        SetCustomPaths(paths, root.string());
        return true;
    }();
    (void)made;

    // In memory: every step on the parsed lines.
    if (const auto files = ParseCustomFiles(english, greek)) {
        const long long id = files->english.empty() ? 2 : files->english.front().ownId;
        NewEntry entry;
        entry.anchor = {1, static_cast<uint32_t>(id % 100000), (size & 1) != 0};
        entry.id = 99999;
        entry.headword = "new";
        entry.stored = EscapeDescription(descriptions.substr(0, 64), kOwnEntryPrefix);
        CheckReparses(InsertEnglishLine(*files, entry));
        CheckReparses(InsertGreekLine(*files, 2, 99999, greek.substr(0, 80)));
        CheckReparses(ReplaceSupplement(*files, id, entry.stored));
        CheckReparses(AddSupplement(*files, id, entry.stored));
        if (const auto removed = RemoveEntry(*files, id)) {
            CheckPositions(*removed);
            CheckReparses(*removed);
        }
    }

    // On disk: the recovery over a commit file of the input, then one edit.
    Write(paths.customIndexPath, english);
    Write(paths.customGreekIndexPath, greek);
    Write(paths.customDescriptionPath, descriptions);
    Write(paths.tempIndexPath, english);
    Write(fs::path(paths.customIndexPath).parent_path() / kCommitFileName, commit);
    RecoverCustomFiles(RealFileSystem(), paths);
    std::vector<std::string> refs;
    LoadEntryIndex(paths, index, refs);
    const int record = index.englishCount > 0 ? 1 + static_cast<int>(size % index.englishCount) : 0;
    switch (size % 4) {
    case 0:
        InsertEntry(paths, index, {"delta", "gr", descriptions.substr(0, 32)}, RealFileSystem());
        break;
    case 1:
        DeleteEntry(paths, index, record, RealFileSystem());
        break;
    default:
        if (record != 0)
            UpdateEntry(paths, index, record, index.english[record].kind, {"x", "y", "z"},
                        RealFileSystem());
        break;
    }
    return 0;
}
