// Backups of the reader's own entries and supplements: one portable UTF-8 JSON file that another
// copy of the program, on another machine or after a reinstallation, merges back in.
//
//   {"format": "termdex-backup", "version": 1, "entries": [
//    {"kind": "C", "english": "...", "greek": "...", "description": "..."},
//    {"kind": "A", "english": "...", "greek": "...", "description": "...", "shipped_headword":
//    "..."}
//   ]}
//
// The description is the text as the reader typed it (line breaks "\r\n"), not its stored form.
// Entries are written in one canonical order (kind, English, Greek, description, byte by byte),
// so the file depends only on the entries and not on the order they were made in.
#pragma once

#include "data/entry_index.h"
#include "data/paths.h"
#include "lib/text.h"
#include "store/file_system.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace termdex {

struct BackupEntry
{
    EntryKind kind = EntryKind::Own; // Own, or Supplemented: a supplement to a shipped entry
    Cp1253 english;                  // for 'A': the shipped headword the supplement belongs to
    Cp1253 greek; // for 'A': the shipped entry's Greek rendering (for people reading the file)
    Cp1253 description;
    bool operator==(const BackupEntry &) const = default;
};

// The reader's entries of the loaded tables, in the canonical order; nullopt (with problem set)
// when a description or one of the custom files cannot be read, since a backup without it would
// lose it silently.
std::optional<std::vector<BackupEntry>>
CollectBackupEntries(const ProgramPaths &paths, const EntryIndex &index,
                     const std::vector<std::string> &supplementRefs,
                     std::string *problem = nullptr);

// The text a stored description was made from (EscapeDescription's inverse); nullopt for bytes
// that the program's writer does not produce.
std::optional<Cp1253> UnescapeDescription(Cp1253View stored, Cp1253View prefix);

// The file's bytes: UTF-8 JSON, one entry per line, ending in a newline.
std::string WriteBackup(std::vector<BackupEntry> entries);

// Writes the backup file whole or not at all: a scratch file beside it, flushed, renamed over.
bool SaveBackup(const std::string &file, const std::string &bytes, FileSystem &fs);

// Files larger than this are refused unread: 30001 entries of the longest storable text fit.
constexpr int64_t kMaxBackupBytes = 64 * 1024 * 1024;

struct BackupParse
{
    std::optional<std::vector<BackupEntry>> entries;
    std::string error; // UTF-8, for the reader, when entries is nullopt
};
// Reads a backup file's bytes as untrusted input: malformed JSON, another shape, texts that
// code page 1253 or the editor cannot hold, more entries than a table: an error, never a crash.
BackupParse ReadBackup(std::string_view json);

} // namespace termdex
