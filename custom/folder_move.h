// Moving the reader's files from one custom folder to another: the folder command of the
// custom-entries menu and the installer use it, so that choosing another folder never leaves
// the entries behind where no copy of the program looks.
#pragma once

#include "custom/custom_edits.h"
#include "store/file_system.h"

#include <string>

namespace termdex {

extern const char kMessageTargetHasEntries[]; // UTF-8: the new folder holds entries of its own
extern const char kMessageMoveFailed[];       // UTF-8: the copy did not come out the same

// The question the folder command and the installer ask before moving the reader's entries:
// a Yes/No message box captioned kMoveEntriesCaption; Yes moves them.
class MoveEntriesQuestion
{
public:
    virtual ~MoveEntriesQuestion() = default;
    virtual bool Confirm(const std::string &text) = 0; // UTF-8, from MoveEntriesText
};
extern const char kMoveEntriesCaption[]; // "Επεξεργασμένα Λήμματα"
// The question's text for the two folders (UTF-8). installing: No keeps the old folder in use
// (the installer); otherwise No leaves the entries behind in the folder no longer used.
std::string MoveEntriesText(const std::string &from, const std::string &to, bool installing);

// Whether folder/Data holds the reader's entries: a custom English index that is not empty.
bool HasCustomEntries(const std::string &folder);

// The folder whose Data subfolder the custom paths name ("" without one).
std::string CustomFolderOf(const ProgramPaths &paths);

// Two names of one folder (symbolic links, "..", a trailing slash) count as one.
bool SameFolder(const std::string &a, const std::string &b);

// Moves the custom files of from/Data into to/Data (made when missing): a crash's commit in
// from is finished first, the files are copied and flushed, the copies are read back and
// compared byte for byte (so they load the same entries), and only then the old files are
// removed. Refused when to/Data already holds entries; on any failure the copies are removed
// and the old files stand. Done when there was nothing to move.
EditStatus MoveCustomEntries(const std::string &from, const std::string &to, FileSystem &fs);

} // namespace termdex
