// The steps that every change of the reader's files shares (the edits and the repair): the
// lock and a crash's commit first, the old files read and checked, the new set committed.
#pragma once

#include "custom/custom_edits.h"
#include "custom/custom_files.h"
#include "store/commit.h"
#include "store/folder_lock.h"

namespace termdex {

// The folder's lock, held exclusively until the change ends, and a crash's commit finished
// first, so the files read are whole and stay as read.
EditStatus Prepare(FileSystem &fs, const ProgramPaths &paths, const EntryIndex &index,
                   FolderLock &lock);

// The old custom files, read whole (the description file is only measured: its pieces are
// streamed when the new one is written).
struct OldFiles
{
    CustomFiles files;
    ShippedIds shipped; // what the files were merged into
    EditStatus status;
};
// Damaged (kMessageDamaged) unless the load of index merged every line as the writer lays the
// files out; index holds the tables loaded from these files, or the shipped tables alone.
OldFiles ReadOldFiles(FileSystem &fs, const ProgramPaths &paths, const EntryIndex &index);

// Which of the three files a change rewrites.
struct Rewrite
{
    bool english = false;
    bool greek = false;
    bool descriptions = false;
};
// Refuses (kMessageDamaged) a next set that the load would not show whole: a change on files
// whose damage passed every check must not hide or mispair what could be read.
EditStatus Commit(FileSystem &fs, const ProgramPaths &paths, const ScratchPaths &scratch,
                  const CustomFiles &next, const ShippedIds &shipped, Rewrite which);

} // namespace termdex
