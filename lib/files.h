// Small, bounded file helpers shared by the layers that read data files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace termdex {

// The path as it exists on disk: each component that does not exist with its exact spelling is
// matched without regard to ASCII letter case ("data" finds "Data"), as the data files were
// named for a file system that ignores case. Returns the path unchanged when nothing matches.
std::filesystem::path ResolvePathCase(const std::filesystem::path &path);

bool FileExists(const std::filesystem::path &path);

// A read-only descriptor of the regular file at path (links followed), or -1. A named pipe, a
// device or a folder is never opened (so never waited on): stat first, then an open that cannot
// block, checked again on the open file.
int OpenRegularFile(const std::filesystem::path &path);

// length bytes at a 0-based offset; nullopt when the file cannot be opened, the offset
// is negative or the read comes up short.
std::optional<std::string> ReadFileRange(const std::filesystem::path &path, int64_t offset,
                                         int64_t length);

// The whole file, refused (nullopt) above maxBytes.
std::optional<std::string> ReadWholeFile(const std::filesystem::path &path, int64_t maxBytes);

// Splits text into lines at CR LF, LF or a lone CR; a final line without a line end counts.
std::vector<std::string> SplitLines(const std::string &text);

} // namespace termdex
