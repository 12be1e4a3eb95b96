// Fuzzes the readers of index bytes: shipped and custom index lines through their codecs and
// parsers, and the whole load over files made of the input.
#include "data/entry_index.h"
#include "lib/codecs.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace termdex;
    const std::string input(reinterpret_cast<const char *>(data), size);
    IndexRecord record;
    ParseShippedEnglishLine(MirrorDecode(static_cast<int32_t>(size), input), record);
    ParseShippedGreekLine(input, record);
    ParseShippedEnglishLine(ShiftCodec(input, true), record);

    // The same bytes as every index file of a program folder.
    static const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("termdex-fuzz-" + std::to_string(::getpid()));
    static const bool made = [] {
        std::filesystem::create_directories(root / "data");
        std::filesystem::create_directories(root / "Data");
        return true;
    }();
    (void)made;
    for (const char *name :
         {"data/TermdexI.tbo", "data/TermdexHI.tbo", "Data/TermdexIC.tbo", "Data/TermdexHIC.tbo"})
        std::ofstream(root / name, std::ios::binary | std::ios::trunc) << input;
    ProgramPaths paths;
    paths.programFolder = root;
    SetCustomPaths(paths, root.string());
    EntryIndex index;
    std::vector<std::string> refs;
    LoadEntryIndex(paths, index, refs);
    if (index.englishCount > kMaxRecords || index.greekCount > kMaxRecords)
        __builtin_trap();
    return 0;
}
