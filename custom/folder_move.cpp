#include "custom/folder_move.h"

#include "lib/files.h"
#include "store/commit.h"
#include "store/folder_lock.h"

#include <filesystem>
#include <system_error>

namespace termdex {
namespace fs = std::filesystem;

const char kMessageTargetHasEntries[] =
    "Ο φάκελος που επιλέξατε περιέχει ήδη επεξεργασμένα λήμματα. Τα λήμματα δεν μεταφέρθηκαν.";
const char kMessageMoveFailed[] =
    "Η μεταφορά των επεξεργασμένων λημμάτων δεν ολοκληρώθηκε. Τα λήμματα παραμένουν στον "
    "προηγούμενο φάκελο.";

const char kMoveEntriesCaption[] = "Επεξεργασμένα Λήμματα";

std::string MoveEntriesText(const std::string &from, const std::string &to, bool installing)
{
    return "Τα επεξεργασμένα λήμματά σας βρίσκονται στο φάκελο «" + from +
           "». Να μεταφερθούν στο φάκελο «" + to + "»;\n\n" +
           (installing ? "Αν όχι, το λεξικό θα συνεχίσει να χρησιμοποιεί το φάκελο όπου "
                         "βρίσκονται."
                       : "Αν όχι, τα λήμματα μένουν στον προηγούμενο φάκελο και δεν θα "
                         "εμφανίζονται στο λεξικό.");
}

namespace {

// The description file's positions have eight digits; anything larger is no custom file.
constexpr int64_t kMaxCustomFileBytes = 128LL * 1024 * 1024;

struct FilePair
{
    std::string from, to, scratch;
};

} // namespace

bool HasCustomEntries(const std::string &folder)
{
    if (folder.empty())
        return false;
    ProgramPaths paths;
    SetCustomPaths(paths, folder);
    std::error_code ec;
    const auto size = fs::file_size(paths.customIndexPath, ec);
    return !ec && size > 0;
}

std::string CustomFolderOf(const ProgramPaths &paths)
{
    if (!paths.HasCustomFolder())
        return {};
    return fs::path(paths.customIndexPath).parent_path().parent_path().string();
}

bool SameFolder(const std::string &a, const std::string &b)
{
    std::error_code ec;
    if (fs::equivalent(a, b, ec))
        return true;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

EditStatus MoveCustomEntries(const std::string &from, const std::string &to, FileSystem &files)
{
    ProgramPaths source, target;
    SetCustomPaths(source, from);
    SetCustomPaths(target, to);
    // No other window or script rewrites the entries while they are copied.
    const FolderLock lock = FolderLock::Take(CustomDataFolder(source), LockKind::Exclusive);
    if (!lock.held() && lock.timedOut())
        return {EditOutcome::Failed, kMessageBusy};
    if (!RecoverCustomFiles(files, source))
        return {EditOutcome::Failed, kMessageMoveFailed};
    const FilePair pairs[] = {
        {source.customIndexPath, target.customIndexPath, target.tempIndexPath},
        {source.customGreekIndexPath, target.customGreekIndexPath, target.tempGreekIndexPath},
        {source.customDescriptionPath, target.customDescriptionPath, target.tempDescriptionPath},
    };
    for (const FilePair &pair : pairs) {
        const auto size = files.Size(pair.to);
        if (size && *size > 0)
            return {EditOutcome::Refused, kMessageTargetHasEntries};
    }
    std::error_code ec;
    fs::create_directories(fs::path(target.customIndexPath).parent_path(), ec);
    const std::string targetData = fs::path(target.customIndexPath).parent_path().string();

    std::vector<std::string> written;
    auto undo = [&] {
        for (const std::string &path : written)
            files.Remove(path);
        files.SyncFolder(targetData);
        return EditStatus{EditOutcome::Failed, kMessageMoveFailed};
    };
    for (const FilePair &pair : pairs) {
        if (!files.Exists(pair.from))
            continue;
        const auto bytes = files.ReadAll(pair.from, kMaxCustomFileBytes);
        if (!bytes)
            return undo();
        // Through a scratch name, so a crash never leaves a half copy under the real name.
        auto out = files.Create(pair.scratch);
        if (!out)
            return undo();
        written.push_back(pair.scratch);
        const bool ok = out->Append(*bytes) && out->Sync();
        if (!out->Close() || !ok || !files.Rename(pair.scratch, pair.to))
            return undo();
        written.back() = pair.to;
        const auto copy = files.ReadAll(pair.to, kMaxCustomFileBytes);
        if (!copy || *copy != *bytes)
            return undo();
    }
    if (!files.SyncFolder(targetData))
        return undo();
    // The copies stand: only now may the old files go. A file that will not go leaves the
    // entries in both folders, which loses nothing.
    for (const FilePair &pair : pairs)
        files.Remove(pair.from);
    files.SyncFolder(fs::path(source.customIndexPath).parent_path().string());
    return {EditOutcome::Done, {}};
}

} // namespace termdex
