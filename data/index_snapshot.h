// A binary copy of a loaded entry index, kept in the user's cache folder. A full dictionary's
// index files are 60,000 coded text lines; a start whose four index files are still the very
// files that an earlier load read takes both tables from the copy instead of decoding and
// parsing the lines again. The copy is only ever a shortcut: whenever it is missing, damaged or
// out of date, the index files are read as usual.
#pragma once

#include "data/entry_index.h"
#include "data/folded_headwords.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace termdex {

// Where snapshots live and when one may be written.
struct IndexCache
{
    std::filesystem::path folder; // empty: no snapshot is read or written
    // A file changed within this time before the load may change again within the same tick
    // of the file system's clock, leaving its times as they were; a snapshot taken then could
    // later pass for current, so none is written until every file is older than this.
    std::chrono::nanoseconds settleTime = std::chrono::seconds(3);
};

// What identifies one index file's contents without reading it: any write changes its change
// time (ctime), which no program can set back, and a replaced file has another inode.
struct SourceStamp
{
    std::string path;
    bool exists = false;
    uint64_t device = 0, inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0, changedNs = 0;
    bool operator==(const SourceStamp &) const = default;
};
// The stamp of one file; exists is false when it cannot be looked at (or path is empty).
SourceStamp StampFile(const std::string &path);

// The four files a load reads (shipped English and Greek, the reader's English and Greek), as
// they stand now, and the time at which they were looked at. The running program is stamped as
// well: another build of it may read the files differently, so it never takes this one's
// snapshot for current.
struct IndexSources
{
    std::array<SourceStamp, 4> files;
    SourceStamp program; // without a path
    int64_t stampedAtNs = 0;
    // True when no file changed within settleTime before it was stamped.
    bool SettledFor(std::chrono::nanoseconds settleTime) const;
};
IndexSources StampIndexSources(const ProgramPaths &paths);

// The snapshot file for these sources in folder: its name hashes the four paths.
std::filesystem::path IndexSnapshotFile(const std::filesystem::path &folder,
                                        const IndexSources &sources);

// Writes the tables and the supplement references of a complete load taken from sources, with
// what a lookup derives from them (letter starts, folded forms, the exact orders), by a
// temporary file renamed into place, and leaves at most a few snapshots in the folder.
// False when nothing was written.
bool WriteIndexSnapshot(const std::filesystem::path &file, const IndexSources &sources,
                        const EntryIndex &index, const std::vector<std::string> &supplementRefs);

// What a snapshot holds beyond the tables, read in place as well; mapping keeps it readable.
struct SnapshotExtras
{
    LetterStarts starts;
    std::array<FoldedTable, kFoldedForms> forms;
    ExactOrder englishOrder, greekOrder;
    std::shared_ptr<const void> mapping; // null when the load did not come from a snapshot
};

// Maps the snapshot and, when it was taken from exactly these sources and its sections fit the
// file, reads both tables from it in place and appends to supplementRefs (and fills extras);
// false (index in an unspecified state, supplementRefs untouched) otherwise. Only the
// directory is checked whole: every offset read later is checked where it is used.
bool ReadIndexSnapshot(const std::filesystem::path &file, const IndexSources &sources,
                       EntryIndex &index, std::vector<std::string> &supplementRefs,
                       SnapshotExtras *extras = nullptr);
// The same over bytes in memory, which keep holds alive for as long as index reads them.
bool ReadIndexSnapshotBytes(std::string_view bytes, std::shared_ptr<const void> keep,
                            const IndexSources &sources, EntryIndex &index,
                            std::vector<std::string> &supplementRefs, SnapshotExtras *extras);

// LoadEntryIndex through a snapshot in cache.folder: read from it when it is current, else the
// files are parsed and, after a complete load of settled files, a snapshot is written.
IndexLoadStatus LoadEntryIndexCached(const ProgramPaths &paths, const IndexCache &cache,
                                     EntryIndex &index, std::vector<std::string> &supplementRefs,
                                     SnapshotExtras *extras = nullptr);

} // namespace termdex
