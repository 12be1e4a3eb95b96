// Replacing the reader's custom files as one step that a crash cannot split.
//
// Each new file is written to a scratch file of this writer's own (its name carries a token no
// other writer uses) and flushed; each old file gets a second name (a hard link, or a copy), so
// that it can be put back; then a small commit file in the same Data folder lists the renames
// and is flushed; then each scratch file is renamed over its custom file (a rename replaces in
// one step), the folder is flushed and the commit file goes. Until the commit file is on the
// disk the old files stand; once it is, the next recovery finishes the renames. A rename that
// fails even when retried turns the commit file into a roll-back one (replaced in one rename)
// and the old files are put back. So any crash or failure leaves the complete old set or the
// complete new set. All of it runs under the folder's lock held exclusively (folder_lock.h).
#pragma once

#include "data/paths.h"
#include "store/file_system.h"

#include <functional>
#include <string>
#include <vector>

namespace termdex {

// In the custom Data folder, beside the scratch files.
extern const char kCommitFileName[]; // "tempcommit.tbo"

// One writer's scratch files for the three custom files.
struct ScratchPaths
{
    std::string index, greekIndex, description;
};
// Names no other writer, in this or another process, has in use at the same time.
ScratchPaths NewScratchPaths(const ProgramPaths &paths);

// One file of a rewrite: write() fills the scratch file (it must not close it).
struct ScratchFile
{
    std::string scratchPath; // one of the writer's ScratchPaths
    std::string targetPath;  // the custom file it replaces
    std::function<bool(WritableFile &)> write;
};

enum class CommitOutcome {
    Committed,  // the new files stand
    NotStarted, // failed: the old files stand (or, after a failed roll-back, stand again once
                // the next recovery has run), no scratch file is left
    Pending,    // committed, but a rename failed even when retried: the next recovery ends it
};

CommitOutcome CommitCustomFiles(FileSystem &fs, const ProgramPaths &paths,
                                const std::vector<ScratchFile> &files);

// Whether the Data folder holds a commit file or a scratch or spare file of a rewrite.
bool RecoveryNeeded(const ProgramPaths &paths);

// Run by the holder of the exclusive lock before any rewrite, and by a reader (which takes the
// lock exclusively for it) when RecoveryNeeded: a commit file left by a crash is carried out to
// its end (forward, or back for a roll-back); a commit file that never got complete, and
// scratch files without a commit file, are discarded. false when a step failed (the files are
// then as the crash left them, and the next recovery tries again). Does nothing without a
// custom folder.
bool RecoverCustomFiles(FileSystem &fs, const ProgramPaths &paths);

} // namespace termdex
