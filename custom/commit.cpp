#include "custom/commit.h"

#include "lib/files.h"

#include <filesystem>
#include <optional>

namespace termdex {
namespace fs = std::filesystem;

const char kCommitFileName[] = "tempcommit.tbo";

namespace {

constexpr char kCommitHeader[] = "termdex commit 1";
constexpr char kCommitEnd[] = "end";

struct Rename
{
    std::string scratch;
    std::string target;
};

std::string DataFolder(const ProgramPaths &paths)
{
    return fs::path(paths.customIndexPath).parent_path().string();
}

std::string CommitPath(const ProgramPaths &paths)
{
    return (fs::path(DataFolder(paths)) / kCommitFileName).string();
}

std::string FileName(const std::string &path) { return fs::path(path).filename().string(); }

// The only renames a commit file may name: each scratch file over its own custom file.
std::vector<Rename> KnownRenames(const ProgramPaths &paths)
{
    return {{paths.tempIndexPath, paths.customIndexPath},
            {paths.tempGreekIndexPath, paths.customGreekIndexPath},
            {paths.tempDescriptionPath, paths.customDescriptionPath}};
}

std::string CommitText(const std::vector<ScratchFile> &files)
{
    std::string text = std::string(kCommitHeader) + "\r\n";
    for (const ScratchFile &file : files)
        text += FileName(file.scratchPath) + ">" + FileName(file.targetPath) + "\r\n";
    return text + kCommitEnd + "\r\n";
}

// The renames of a complete commit file; nullopt for one that a crash cut short (it has no
// end line, so its renames never began) or that is not a commit file at all.
std::optional<std::vector<Rename>> ParseCommit(const std::string &text, const ProgramPaths &paths)
{
    const std::vector<std::string> lines = SplitLines(text);
    if (lines.size() < 2 || lines.front() != kCommitHeader || lines.back() != kCommitEnd)
        return std::nullopt;
    const std::vector<Rename> known = KnownRenames(paths);
    std::vector<Rename> renames;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        bool found = false;
        for (const Rename &rename : known) {
            if (lines[i] == FileName(rename.scratch) + ">" + FileName(rename.target)) {
                for (const Rename &seen : renames)
                    if (seen.scratch == rename.scratch)
                        return std::nullopt;
                renames.push_back(rename);
                found = true;
            }
        }
        if (!found)
            return std::nullopt;
    }
    return renames;
}

// Roll forward: while a complete commit file exists, a scratch file it names is gone only
// because it was renamed already, so renaming those that remain ends the commit.
bool FinishRenames(FileSystem &fs, const ProgramPaths &paths, const std::vector<Rename> &renames)
{
    for (const Rename &rename : renames)
        if (fs.Exists(rename.scratch) && !fs.Rename(rename.scratch, rename.target))
            return false;
    const std::string folder = DataFolder(paths);
    return fs.SyncFolder(folder) && fs.Remove(CommitPath(paths)) && fs.SyncFolder(folder);
}

bool RemoveScratchFiles(FileSystem &fs, const ProgramPaths &paths)
{
    bool ok = true;
    for (const Rename &rename : KnownRenames(paths))
        if (fs.Exists(rename.scratch))
            ok = fs.Remove(rename.scratch) && ok;
    return ok;
}

} // namespace

bool RecoverCustomFiles(FileSystem &fs, const ProgramPaths &paths)
{
    if (!paths.HasCustomFolder())
        return true;
    const std::string commitPath = CommitPath(paths);
    if (fs.Exists(commitPath)) {
        // A commit file lists three short names: anything long is not one of ours.
        const auto text = fs.ReadAll(commitPath, 4096);
        if (!text)
            return false;
        if (const auto renames = ParseCommit(*text, paths))
            return FinishRenames(fs, paths, *renames);
        // Scratch files may go only once the incomplete commit file is surely gone.
        if (!fs.Remove(commitPath) || !fs.SyncFolder(DataFolder(paths)))
            return false;
    }
    return RemoveScratchFiles(fs, paths);
}

CommitOutcome CommitCustomFiles(FileSystem &fs, const ProgramPaths &paths,
                                const std::vector<ScratchFile> &files)
{
    if (files.empty())
        return CommitOutcome::Committed;
    const std::vector<Rename> known = KnownRenames(paths);
    for (const ScratchFile &file : files) {
        bool listed = false;
        for (const Rename &rename : known)
            listed = listed || (rename.scratch == file.scratchPath &&
                                rename.target == file.targetPath);
        if (!listed) // the recovery would not know the rename
            return CommitOutcome::NotStarted;
    }
    const std::string folder = DataFolder(paths);
    const std::string commitPath = CommitPath(paths);
    // Every scratch file and its folder entry on the disk before the commit file names it.
    for (const ScratchFile &file : files) {
        auto out = fs.Create(file.scratchPath);
        const bool written = out && file.write(*out) && out->Sync() && out->Close();
        if (!written) {
            out.reset();
            RemoveScratchFiles(fs, paths);
            return CommitOutcome::NotStarted;
        }
    }
    bool committed = fs.SyncFolder(folder);
    if (committed) {
        auto out = fs.Create(commitPath);
        committed = out && out->Append(CommitText(files)) && out->Sync() && out->Close() &&
                    fs.SyncFolder(folder);
    }
    if (!committed) {
        // Whether a complete commit file reached the disk is unknown. Gone for sure: the old
        // files stand. Still there and complete: it is carried out. Still there but cut short:
        // no rename may begin, and the next recovery discards it with the scratch files.
        if (fs.Remove(commitPath) && fs.SyncFolder(folder)) {
            RemoveScratchFiles(fs, paths);
            return CommitOutcome::NotStarted;
        }
        const auto text = fs.ReadAll(commitPath, 4096);
        if (!text || !ParseCommit(*text, paths))
            return CommitOutcome::NotStarted;
    }
    std::vector<Rename> renames;
    for (const ScratchFile &file : files)
        renames.push_back({file.scratchPath, file.targetPath});
    if (!FinishRenames(fs, paths, renames) && !FinishRenames(fs, paths, renames))
        return CommitOutcome::Pending;
    return CommitOutcome::Committed;
}

} // namespace termdex
