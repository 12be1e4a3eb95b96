// Replacing the reader's custom files as one step that a crash cannot split.
//
// Each new file is written to its scratch file and flushed; then a small commit file in the same
// Data folder lists the renames and is flushed; then each scratch file is renamed over its
// custom file (a rename replaces in one step), the folder is flushed and the commit file goes.
// Until the commit file is on the disk the old files stand; once it is, the next recovery
// finishes the renames. So any crash leaves the complete old set or the complete new set.
#pragma once

#include "custom/file_system.h"
#include "data/paths.h"

#include <functional>
#include <string>
#include <vector>

namespace termdex {

// In the custom Data folder, beside the scratch files.
extern const char kCommitFileName[]; // "tempcommit.tbo"

// One file of a rewrite: write() fills the scratch file (it must not close it).
struct ScratchFile
{
    std::string scratchPath; // one of the three scratch paths
    std::string targetPath;  // the custom file it replaces
    std::function<bool(WritableFile &)> write;
};

enum class CommitOutcome
{
    Committed,  // the new files stand
    NotStarted, // failed before the commit point: the old files stand, no scratch file is left
    Pending,    // committed, but a rename failed even when retried: the next recovery ends it
};

CommitOutcome CommitCustomFiles(FileSystem &fs, const ProgramPaths &paths,
                                const std::vector<ScratchFile> &files);

// Run before any load or rewrite of the custom files: a commit file left by a crash is carried
// out to its end (roll forward); a commit file that never got complete, and scratch files
// without a commit file, are discarded. false when a step failed (the files are then as the
// crash left them, and the next recovery tries again). Does nothing without a custom folder.
bool RecoverCustomFiles(FileSystem &fs, const ProgramPaths &paths);

} // namespace termdex
