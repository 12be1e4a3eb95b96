#include "store/commit.h"

#include "lib/files.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace termdex {
namespace fs = std::filesystem;

const char kCommitFileName[] = "tempcommit.tbo";

namespace {

constexpr char kCommitHeaderOld[] = "termdex commit 1"; // renames only, fixed scratch names
constexpr char kCommitHeader[] = "termdex commit 2";
constexpr char kForward[] = "forward";
constexpr char kBack[] = "rollback";
constexpr char kCommitEnd[] = "end";
constexpr size_t kMaxTokenLength = 24;

// The three custom files and the stems of their scratch and spare names.
struct Slot
{
    std::string ProgramPaths::*target;
    std::string ProgramPaths::*legacyScratch; // the one fixed scratch name of older writers
    const char *scratchStem;
    const char *spareStem;
};
constexpr std::array<Slot, 3> kSlots = {{
    {&ProgramPaths::customIndexPath, &ProgramPaths::tempIndexPath, "tempi", "oldi"},
    {&ProgramPaths::customGreekIndexPath, &ProgramPaths::tempGreekIndexPath, "tempigr", "oldigr"},
    {&ProgramPaths::customDescriptionPath, &ProgramPaths::tempDescriptionPath, "templex", "oldlex"},
}};
constexpr char kCommitScratchStem[] = "tempcommit";

struct Rename
{
    std::string scratch;
    std::string target;
    std::string spare; // the old file's second name; empty when there was no old file
};

struct CommitPlan
{
    bool back = false;
    std::vector<Rename> renames;
};

std::string DataFolder(const ProgramPaths &paths)
{
    return fs::path(paths.customIndexPath).parent_path().string();
}

std::string InFolder(const ProgramPaths &paths, const std::string &name)
{
    return (fs::path(DataFolder(paths)) / name).string();
}

std::string CommitPath(const ProgramPaths &paths) { return InFolder(paths, kCommitFileName); }

std::string FileName(const std::string &path) { return fs::path(path).filename().string(); }

bool IsToken(std::string_view token)
{
    if (token.empty() || token.size() > kMaxTokenLength)
        return false;
    for (char c : token)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

// "<stem>-<token>.tbo" for one of stems: the stem, or nullptr.
const char *TokenNameStem(std::string_view name, std::initializer_list<const char *> stems)
{
    constexpr std::string_view ext = ".tbo";
    if (name.size() <= ext.size() || name.substr(name.size() - ext.size()) != ext)
        return nullptr;
    name.remove_suffix(ext.size());
    const size_t dash = name.find('-');
    if (dash == std::string_view::npos || !IsToken(name.substr(dash + 1)))
        return nullptr;
    for (const char *stem : stems)
        if (name.substr(0, dash) == stem)
            return stem;
    return nullptr;
}

std::string TokenName(const char *stem, const std::string &token)
{
    return std::string(stem) + "-" + token + ".tbo";
}

// The token of a scratch path this program made, or "" for one it did not.
std::string TokenOf(const std::string &scratchPath)
{
    const std::string name = FileName(scratchPath);
    const size_t dash = name.find('-');
    return dash == std::string::npos ? std::string()
                                     : name.substr(dash + 1, name.size() - dash - 5);
}

std::string CommitText(const CommitPlan &plan)
{
    std::string text =
        std::string(kCommitHeader) + "\r\n" + (plan.back ? kBack : kForward) + "\r\n";
    for (const Rename &rename : plan.renames)
        text += FileName(rename.scratch) + ">" + FileName(rename.target) + ">" +
                (rename.spare.empty() ? std::string() : FileName(rename.spare)) + "\r\n";
    return text + kCommitEnd + "\r\n";
}

// The plan of a complete commit file; nullopt for one that a crash cut short (it has no end
// line, so its renames never began) or that is not a commit file at all. Only the renames of a
// scratch file over its own custom file are ever carried out.
std::optional<CommitPlan> ParseCommit(const std::string &text, const ProgramPaths &paths)
{
    const std::vector<std::string> lines = SplitLines(text);
    if (lines.size() < 2 || lines.back() != kCommitEnd)
        return std::nullopt;
    CommitPlan plan;
    size_t first = 1;
    const bool old = lines.front() == kCommitHeaderOld;
    if (!old) {
        if (lines.front() != kCommitHeader || lines.size() < 3 ||
            (lines[1] != kForward && lines[1] != kBack))
            return std::nullopt;
        plan.back = lines[1] == kBack;
        first = 2;
    }
    for (size_t i = first; i + 1 < lines.size(); ++i) {
        std::vector<std::string> parts;
        size_t start = 0;
        for (size_t gt; (gt = lines[i].find('>', start)) != std::string::npos; start = gt + 1)
            parts.push_back(lines[i].substr(start, gt - start));
        parts.push_back(lines[i].substr(start));
        if (parts.size() != (old ? 2u : 3u))
            return std::nullopt;
        const Slot *slot = nullptr;
        for (const Slot &s : kSlots)
            if (parts[1] == FileName(paths.*(s.target)))
                slot = &s;
        if (!slot)
            return std::nullopt;
        const bool legacy = parts[0] == FileName(paths.*(slot->legacyScratch));
        if (old ? !legacy : !TokenNameStem(parts[0], {slot->scratchStem}))
            return std::nullopt;
        if (!old && !parts[2].empty() && !TokenNameStem(parts[2], {slot->spareStem}))
            return std::nullopt;
        Rename rename{InFolder(paths, parts[0]), paths.*(slot->target),
                      old || parts[2].empty() ? std::string() : InFolder(paths, parts[2])};
        for (const Rename &seen : plan.renames)
            if (seen.target == rename.target)
                return std::nullopt;
        plan.renames.push_back(std::move(rename));
    }
    return plan;
}

// Every file of ours in the Data folder that no complete commit needs any more: scratch files
// (also older writers' fixed ones), spare names of old files, a roll-back file being written.
std::vector<std::string> StrayFiles(const ProgramPaths &paths)
{
    std::vector<std::string> stray;
    std::error_code ec;
    for (fs::directory_iterator it(DataFolder(paths), ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string name = it->path().filename().string();
        bool ours = TokenNameStem(name, {"tempi", "tempigr", "templex", "oldi", "oldigr", "oldlex",
                                         kCommitScratchStem}) != nullptr;
        for (const Slot &slot : kSlots)
            ours = ours || name == FileName(paths.*(slot.legacyScratch));
        if (ours)
            stray.push_back(it->path().string());
    }
    return stray;
}

bool RemoveAll(FileSystem &fs, const std::vector<std::string> &files)
{
    bool ok = true;
    for (const std::string &file : files)
        ok = fs.Remove(file) && ok;
    return ok;
}

// Forward: while a complete commit file exists, a scratch file it names is gone only because
// it was renamed already, so renaming those that remain ends the commit.
// done: the commit file is gone (the new files stand, whatever failed afterwards).
bool Forward(FileSystem &fs, const ProgramPaths &paths, const CommitPlan &plan, bool &done)
{
    for (const Rename &rename : plan.renames)
        if (fs.Exists(rename.scratch) && !fs.Rename(rename.scratch, rename.target))
            return false;
    const std::string folder = DataFolder(paths);
    if (!fs.SyncFolder(folder) || !fs.Remove(CommitPath(paths)))
        return false;
    done = true;
    if (!fs.SyncFolder(folder))
        return false;
    for (const Rename &rename : plan.renames) // strays from here on: failures do no harm
        if (!rename.spare.empty())
            fs.Remove(rename.spare);
    return true;
}

// Back: each old file is put back under its name (a file that had none is removed), which
// holds however far the renames had got. A spare name that is gone was put back already.
bool Back(FileSystem &fs, const ProgramPaths &paths, const CommitPlan &plan)
{
    for (const Rename &rename : plan.renames) {
        if (rename.spare.empty()) {
            if (!fs.Remove(rename.target))
                return false;
        } else if (fs.Exists(rename.spare)) {
            // Two names of one file: rename leaves both, so the spare one is removed by hand.
            if (!fs.Rename(rename.spare, rename.target) || !fs.Remove(rename.spare))
                return false;
        }
    }
    const std::string folder = DataFolder(paths);
    if (!fs.SyncFolder(folder))
        return false;
    for (const Rename &rename : plan.renames)
        if (!fs.Remove(rename.scratch))
            return false;
    return fs.Remove(CommitPath(paths)) && fs.SyncFolder(folder);
}

bool CarryOut(FileSystem &fs, const ProgramPaths &paths, const CommitPlan &plan)
{
    bool done = false;
    return plan.back ? Back(fs, paths, plan) : Forward(fs, paths, plan, done);
}

// Regular or absent: what a rename may replace without losing or hiding anything.
bool Replaceable(const std::string &path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) != 0 ? errno == ENOENT : S_ISREG(st.st_mode);
}

// A second name for the old file at path (to put it back after a failed rename).
bool KeepSpare(FileSystem &fs, const std::string &path, const std::string &spare)
{
    if (fs.Link(path, spare))
        return true;
    // A file system without hard links (a memory stick's): a copy serves as well.
    const auto bytes = fs.ReadAll(path, int64_t{1} << 32);
    auto out = bytes ? fs.Create(spare) : nullptr;
    return out && out->Append(*bytes) && out->Sync() && out->Close();
}

// The commit file replaced in one rename by one saying to go back.
bool TurnBack(FileSystem &fs, const ProgramPaths &paths, CommitPlan plan, const std::string &token)
{
    plan.back = true;
    const std::string scratch = InFolder(paths, TokenName(kCommitScratchStem, token));
    auto out = fs.Create(scratch);
    const bool written = out && out->Append(CommitText(plan)) && out->Sync() && out->Close();
    out.reset();
    if (!written || !fs.Rename(scratch, CommitPath(paths))) {
        fs.Remove(scratch);
        return false;
    }
    return fs.SyncFolder(DataFolder(paths));
}

} // namespace

ScratchPaths NewScratchPaths(const ProgramPaths &paths)
{
    // The process id keeps two processes apart, the random part two writers of one process
    // (and a process whose id has come round again).
    static std::mt19937 random{std::random_device{}()};
    char token[32];
    std::snprintf(token, sizeof token, "%x%08x", static_cast<unsigned>(::getpid()),
                  static_cast<unsigned>(random()));
    return {InFolder(paths, TokenName(kSlots[0].scratchStem, token)),
            InFolder(paths, TokenName(kSlots[1].scratchStem, token)),
            InFolder(paths, TokenName(kSlots[2].scratchStem, token))};
}

bool RecoveryNeeded(const ProgramPaths &paths)
{
    if (!paths.HasCustomFolder())
        return false;
    std::error_code ec;
    return fs::exists(fs::symlink_status(CommitPath(paths), ec)) || !StrayFiles(paths).empty();
}

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
        if (const auto plan = ParseCommit(*text, paths)) {
            if (!CarryOut(fs, paths, *plan))
                return false;
        } else if (!fs.Remove(commitPath) || !fs.SyncFolder(DataFolder(paths))) {
            // Scratch files may go only once the incomplete commit file is surely gone.
            return false;
        }
    }
    return RemoveAll(fs, StrayFiles(paths));
}

CommitOutcome CommitCustomFiles(FileSystem &fs, const ProgramPaths &paths,
                                const std::vector<ScratchFile> &files)
{
    if (files.empty())
        return CommitOutcome::Committed;
    CommitPlan plan;
    std::string token;
    for (const ScratchFile &file : files) {
        const Slot *slot = nullptr;
        for (const Slot &s : kSlots)
            if (file.targetPath == paths.*(s.target) &&
                TokenNameStem(FileName(file.scratchPath), {s.scratchStem}) &&
                fs::path(file.scratchPath).parent_path() == fs::path(DataFolder(paths)))
                slot = &s;
        if (!slot || (!token.empty() && TokenOf(file.scratchPath) != token))
            return CommitOutcome::NotStarted; // the recovery would not know the rename
        token = TokenOf(file.scratchPath);
        if (!Replaceable(file.targetPath)) // a folder or a pipe there: no rename could succeed
            return CommitOutcome::NotStarted;
        plan.renames.push_back({file.scratchPath, file.targetPath,
                                fs.Exists(file.targetPath)
                                    ? InFolder(paths, TokenName(slot->spareStem, token))
                                    : std::string()});
    }
    const std::string folder = DataFolder(paths);
    const std::string commitPath = CommitPath(paths);
    auto discard = [&] {
        for (const Rename &rename : plan.renames) {
            fs.Remove(rename.scratch);
            if (!rename.spare.empty())
                fs.Remove(rename.spare);
        }
        return CommitOutcome::NotStarted;
    };
    // Every scratch file, every spare name and their folder entries on the disk before the
    // commit file names them.
    for (const ScratchFile &file : files) {
        auto out = fs.Create(file.scratchPath);
        const bool written = out && file.write(*out) && out->Sync() && out->Close();
        if (!written) {
            out.reset();
            return discard();
        }
    }
    for (const Rename &rename : plan.renames)
        if (!rename.spare.empty() && !KeepSpare(fs, rename.target, rename.spare))
            return discard();
    bool committed = fs.SyncFolder(folder);
    if (committed) {
        auto out = fs.Create(commitPath);
        committed = out && out->Append(CommitText(plan)) && out->Sync() && out->Close() &&
                    fs.SyncFolder(folder);
    }
    if (!committed) {
        // Whether a complete commit file reached the disk is unknown. Gone for sure: the old
        // files stand. Still there and complete: it is carried out. Still there but cut short:
        // no rename may begin, and the next recovery discards it with the scratch files.
        if (fs.Remove(commitPath) && fs.SyncFolder(folder))
            return discard();
        const auto text = fs.ReadAll(commitPath, 4096);
        if (!text || !ParseCommit(*text, paths))
            return CommitOutcome::NotStarted;
    }
    bool done = false;
    if (Forward(fs, paths, plan, done) || done || Forward(fs, paths, plan, done) || done)
        return CommitOutcome::Committed; // at worst the tidying after it failed
    // A rename still fails: back to the old files rather than a set that mixes old and new.
    if (TurnBack(fs, paths, plan, token)) {
        plan.back = true;
        Back(fs, paths, plan);
        return CommitOutcome::NotStarted; // put back now, or by the next recovery
    }
    return CommitOutcome::Pending;
}

} // namespace termdex
