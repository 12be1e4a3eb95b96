// The maintenance utilities that produce and check the shipped data files: the build from the
// authoring text, the description check and the byte-range report.
#pragma once

#include "data/paths.h"
#include "lib/text.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace termdex {

// One entry of the authoring text, numbered from 1 in its order.
struct BuildRecord
{
    int number = 0;
    Cp1253 english;     // at most 126 characters
    Cp1253 greek;       // at most 141 characters
    int64_t offset = 0; // 0-based offset of the description in the description file
    int64_t length = 0;
};

// The largest authoring text read, far above any real dictionary.
inline constexpr int64_t kMaxAuthoringBytes = 512LL * 1024 * 1024;

struct BuildResult
{
    bool ok = false;
    std::string error;           // what stopped the build
    bool tooManyEntries = false; // more entries than a table holds: refused, nothing written
    std::vector<BuildRecord> records;
};

// Reads the authoring text and writes into dataFolder the plain and coded English index
// (TermdexI_un.tbo, TermdexI.tbo), description file (Termdex_un.tbo, Termdex.tbo) and Greek
// index (TermdexHI_un.tbo, TermdexHI.tbo). The first line must be the 603-character preamble.
BuildResult BuildDictionary(const std::filesystem::path &authoringText,
                            const std::filesystem::path &dataFolder);

// Splits the authoring text into build records and the plain description lines (exposed for
// tests); the first line is the preamble.
BuildResult ParseAuthoringText(const std::vector<std::string> &lines,
                               std::vector<std::string> &descriptions);

// The English records (1-based numbers) whose shipped description does not load as rich text
// behind the preamble, or cannot be read at all.
std::vector<int> CheckAllDescriptions(const ProgramPaths &paths);

// The smallest and largest byte value over the lines of a file (line ends not counted); the
// minimum starts at 200 and the maximum at 0, so a file of high bytes reports 200.
struct ByteRange
{
    int min = 200;
    int max = 0;
};
std::optional<ByteRange> ByteRangeOfFile(const std::filesystem::path &file);

} // namespace termdex
