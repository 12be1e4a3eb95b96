// The three operations that change the reader's own data: InsertEntry, UpdateEntry and
// DeleteEntry. Each reads the custom files whole, builds their next version and replaces them
// in one commit (store/commit.h), so a failure or a crash at any step leaves either the old or
// the new set of files. They never touch the shipped data and never reload the tables: the
// caller does (after a crash recovery, RecoverCustomFiles).
#pragma once

#include "data/entry_index.h"
#include "data/paths.h"
#include "lib/text.h"
#include "store/file_system.h"

#include <optional>
#include <string>
#include <vector>

namespace termdex {

// What the editor hands over (the insert and update buffers): code page 1253 texts; the
// description's line breaks are CR LF.
struct EntryTexts
{
    Cp1253 english;
    Cp1253 greek;
    Cp1253 description;
};

enum class EditOutcome {
    Done,      // the files hold the change
    Unchanged, // nothing to do (an empty English headword, an unknown kind); nothing written
    Refused,   // the change cannot be stored (message says why); nothing written
    Failed,    // a read or write failed, or the files are damaged; the files are as they were
    Pending,   // the change is committed but not all files are in place yet: the next
               // recovery (before any load or edit) completes it
};

struct EditStatus
{
    EditOutcome outcome = EditOutcome::Done;
    std::string message; // UTF-8, for the reader; empty for Done and Unchanged
    bool ok() const { return outcome == EditOutcome::Done; }
};

// The reader's messages (UTF-8).
extern const char kMessageDescriptionTooLong[];
extern const char kMessageHeadwordTooLong[];
extern const char kMessageHeadwordCharacter[];
extern const char kMessageNoFreeId[];
extern const char kMessageTableFull[];
extern const char kMessageDescriptionFileFull[];
extern const char kMessageOnlyOwnEntries[];
extern const char kMessageNoEntry[];
extern const char kMessageNoFolder[];
extern const char kMessageNoDictionary[];
extern const char kMessageDamaged[];
extern const char kMessageBusy[]; // another writer holds the folder's lock
// Followed by the path of the thing in a file's place. Defined here, so the backup (and its fuzz
// target, which links no edits) can name it.
inline constexpr char kMessageNotAFile[] =
    "Στη θέση ενός αρχείου των επεξεργασμένων λημμάτων υπάρχει κάτι που δεν είναι αρχείο "
    "(φάκελος, σωλήνας ή συσκευή). Δεν άλλαξε τίποτα. Μετακινήστε το και δοκιμάστε ξανά:";
extern const char kMessageIncompleteDictionary[];
extern const char kMessageWriteFailed[];
extern const char kMessagePending[];

// The refusal, if any, of texts that cannot be stored, for an entry of the given kind: 'C' (the
// reader's own entry, also a new one) checks both headwords (at most 80 characters, none of the
// bytes below 32 or 0xFF that the custom index cannot carry) and the description; 'A' and 'L'
// check only the description, which becomes a supplement. A stored description above 31000
// bytes (what the display reads back) is refused.
std::optional<std::string> RefuseEntryTexts(const EntryTexts &texts, EntryKind kind);

// Adds a new entry of the reader's, anchored by its English and Greek headwords in the loaded
// tables; the new id is 1 + the largest id in use.
EditStatus InsertEntry(const ProgramPaths &paths, const EntryIndex &index, const EntryTexts &texts,
                       FileSystem &fs);

// Applies texts to English record (1-based) by kind: 'C' replaces the reader's entry (removed
// and inserted anew with a new id, in one commit), 'A' replaces its supplement or removes it
// when the description is empty, 'L' adds a supplement (also an empty one). Only the
// description is used for 'A' and 'L'.
EditStatus UpdateEntry(const ProgramPaths &paths, const EntryIndex &index, int record,
                       EntryKind kind, const EntryTexts &texts, FileSystem &fs);

// Removes the reader's entry at English record (1-based) from the three files (all three are
// written, empty when nothing is left). Other kinds are refused.
EditStatus DeleteEntry(const ProgramPaths &paths, const EntryIndex &index, int record,
                       FileSystem &fs);

// What a repair did.
struct RepairReport
{
    EditStatus status;
    int kept = 0;                  // English lines (entries and supplements) in the files now
    std::vector<std::string> lost; // UTF-8, one line for each thing that could not be kept
    std::string damagedFolder;     // where the damaged files were copied; empty when whole
};
extern const char kMessageRepaired[]; // UTF-8: the files were whole, or are whole again

// The explicit repair of damaged custom files: every English line that parses and whose anchor
// is a shipped entry is kept, in the order the load reads, with its description when that is a
// stored description the display can read (a reader's own entry keeps its headwords without
// it); every Greek line that parses and belongs to a kept entry is kept; the set is written
// anew, laid out as the writer lays it out. The damaged files are first copied as they are to
// Data/damaged-<date and time>/. Files that are whole are left alone. shipped holds the
// shipped tables only (no custom lines).
RepairReport RepairCustomFiles(const ProgramPaths &paths, const EntryIndex &shipped,
                               FileSystem &fs);

} // namespace termdex
