#include "custom/custom_edits.h"

#include "custom/custom_files.h"
#include "custom/edit_steps.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/folding.h"
#include "store/commit.h"
#include "store/folder_lock.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <unordered_map>
#include <vector>

namespace termdex {

const char kMessageDescriptionTooLong[] =
    "Η περιγραφή είναι πολύ μεγάλη για να αποθηκευτεί. Παρακαλώ συντομεύστε την.";
const char kMessageHeadwordTooLong[] = "Το λήμμα μπορεί να έχει έως 80 χαρακτήρες.";
const char kMessageHeadwordCharacter[] =
    "Το λήμμα περιέχει χαρακτήρα που δεν μπορεί να αποθηκευτεί.";
const char kMessageNoFreeId[] =
    "Δεν μπορούν να προστεθούν άλλα λήμματα: οι αριθμοί λημμάτων έχουν εξαντληθεί.";
const char kMessageTableFull[] =
    "Δεν μπορούν να προστεθούν άλλα λήμματα: το λεξικό δεν έχει άλλο χώρο.";
const char kMessageDescriptionFileFull[] =
    "Δεν μπορούν να αποθηκευτούν άλλες περιγραφές: το αρχείο των περιγραφών σας έχει γεμίσει.";
const char kMessageOnlyOwnEntries[] = "Μπορούν να διαγραφούν μόνο τα δικά σας λήμματα.";
const char kMessageNoEntry[] = "Δεν έχει επιλεγεί λήμμα.";
const char kMessageNoFolder[] = "Δεν έχει οριστεί φάκελος για τα επεξεργασμένα λήμματα.";
const char kMessageNoDictionary[] = "Το λεξικό δεν έχει φορτωθεί.";
const char kMessageDamaged[] =
    "Τα αρχεία των επεξεργασμένων λημμάτων είναι κατεστραμμένα και δεν μπορούν να ενημερωθούν. "
    "Δεν άλλαξε τίποτα. Για να τα επιδιορθώσετε, επιλέξτε «Επιδιόρθωση Επεξεργασμένων Λημμάτων» "
    "στο μενού των επεξεργασμένων λημμάτων (ή εκτελέστε termdex-cli repair): ό,τι διαβάζεται "
    "κρατιέται, και τα κατεστραμμένα αρχεία φυλάγονται στον φάκελο Data/damaged-<ημερομηνία>.";
const char kMessageBusy[] =
    "Τα επεξεργασμένα λήμματα τα αλλάζει αυτή τη στιγμή άλλο παράθυρο ή πρόγραμμα του λεξικού. "
    "Δεν άλλαξε τίποτα. Δοκιμάστε ξανά σε λίγο.";
const char kMessageRepaired[] = "Τα αρχεία των επεξεργασμένων λημμάτων είναι σε καλή κατάσταση.";
const char kMessageIncompleteDictionary[] =
    "Το λεξικό δεν φορτώθηκε ολόκληρο (ένα αρχείο του είναι κατεστραμμένο ή κομμένο), γι' αυτό "
    "δεν γίνονται αλλαγές στα λήμματα. Δεν άλλαξε τίποτα.";
const char kMessageWriteFailed[] =
    "Η αποθήκευση των επεξεργασμένων λημμάτων απέτυχε. Δεν άλλαξε τίποτα.";
const char kMessagePending[] = "Η αποθήκευση δεν ολοκληρώθηκε· θα ολοκληρωθεί την επόμενη "
                               "φορά που θα φορτωθεί το λεξικό.";

namespace {

// An index file of 30001 lines is a few megabytes; the loader reads no more than this either.
constexpr int64_t kMaxIndexFileBytes = 64LL * 1024 * 1024;

EditStatus Status(EditOutcome outcome, const char *message = "") { return {outcome, message}; }

// Writes the description file of files: old pieces copied (still coded) from the old file in
// order, new stored descriptions coded each on its own.
bool WriteDescriptions(FileSystem &fs, const std::string &oldPath, const CustomFiles &files,
                       WritableFile &out)
{
    std::unique_ptr<ReadableFile> old;
    int64_t at = 0;
    std::string bytes;
    for (const CustomLine &line : files.english) {
        const DescriptionPiece &piece = line.description;
        if (!piece.fromOldFile) {
            if (!out.Append(ShiftCodec(piece.stored, false)))
                return false;
            continue;
        }
        if (piece.length == 0)
            continue;
        if (!old || piece.oldOffset < at) {
            old = fs.OpenRead(oldPath);
            at = 0;
            if (!old)
                return false;
        }
        bytes.clear();
        if (!old->Skip(static_cast<size_t>(piece.oldOffset - at)) ||
            !old->Read(static_cast<size_t>(piece.length), bytes) || !out.Append(bytes))
            return false;
        at = piece.oldOffset + piece.length;
    }
    return true;
}

} // namespace

OldFiles ReadOldFiles(FileSystem &fs, const ProgramPaths &paths, const EntryIndex &index)
{
    OldFiles old;
    // A folder, a pipe or a device in a file's place is neither read (a pipe would never end)
    // nor replaced.
    for (const std::string *path :
         {&paths.customIndexPath, &paths.customGreekIndexPath, &paths.customDescriptionPath}) {
        std::error_code ec;
        if (std::filesystem::exists(std::filesystem::symlink_status(*path, ec)) &&
            !fs.Exists(*path)) {
            old.status = {EditOutcome::Failed, std::string(kMessageNotAFile) + " " + *path};
            return old;
        }
    }
    auto read = [&](const std::string &path, std::string &bytes) {
        if (!fs.Exists(path))
            return true;
        auto text = fs.ReadAll(path, kMaxIndexFileBytes);
        if (text)
            bytes = std::move(*text);
        return text.has_value();
    };
    std::string english, greek;
    if (!read(paths.customIndexPath, english) || !read(paths.customGreekIndexPath, greek)) {
        old.status = Status(EditOutcome::Failed, kMessageWriteFailed);
        return old;
    }
    auto parsed = ParseCustomFiles(english, greek);
    if (!parsed) {
        old.status = Status(EditOutcome::Failed, kMessageDamaged);
        return old;
    }
    // The descriptions are copied by adding up the lengths, while the display reads each at
    // its own position: only where the two agree does a rewrite keep every description.
    std::optional<int64_t> size = 0;
    if (fs.Exists(paths.customDescriptionPath))
        size = fs.Size(paths.customDescriptionPath);
    if (!size) {
        old.status = Status(EditOutcome::Failed, kMessageWriteFailed);
        return old;
    }
    old.shipped = ShippedIdsOf(index, *parsed);
    if (!CustomFilesWhole(*parsed, *size) || !CustomFilesMerge(*parsed, old.shipped)) {
        old.status = Status(EditOutcome::Failed, kMessageDamaged);
        return old;
    }
    old.files = std::move(*parsed);
    return old;
}

EditStatus Commit(FileSystem &fs, const ProgramPaths &paths, const ScratchPaths &scratch,
                  const CustomFiles &next, const ShippedIds &shipped, Rewrite which)
{
    if (!CustomFilesMerge(next, shipped))
        return Status(EditOutcome::Failed, kMessageDamaged);
    if (LargestPosition(next) > kMaxPosition)
        return Status(EditOutcome::Refused, kMessageDescriptionFileFull);
    std::vector<ScratchFile> files;
    if (which.english)
        files.push_back({scratch.index, paths.customIndexPath,
                         [&](WritableFile &out) { return out.Append(CodeEnglishIndex(next)); }});
    if (which.greek)
        files.push_back({scratch.greekIndex, paths.customGreekIndexPath,
                         [&](WritableFile &out) { return out.Append(CodeGreekIndex(next)); }});
    if (which.descriptions)
        files.push_back({scratch.description, paths.customDescriptionPath, [&](WritableFile &out) {
                             return WriteDescriptions(fs, paths.customDescriptionPath, next, out);
                         }});
    switch (CommitCustomFiles(fs, paths, files)) {
    case CommitOutcome::Committed:
        return Status(EditOutcome::Done);
    case CommitOutcome::Pending:
        return Status(EditOutcome::Pending, kMessagePending);
    case CommitOutcome::NotStarted:
        break;
    }
    return Status(EditOutcome::Failed, kMessageWriteFailed);
}

// Before reading anything: the folder's lock, held exclusively until the edit ends, and a
// crash's commit finished first, so the files read are whole and stay as read.
EditStatus Prepare(FileSystem &fs, const ProgramPaths &paths, const EntryIndex &index,
                   FolderLock &lock)
{
    if (!paths.HasCustomFolder())
        return Status(EditOutcome::Failed, kMessageNoFolder);
    if (index.englishCount < 1)
        return Status(EditOutcome::Failed, kMessageNoDictionary);
    lock = FolderLock::Take(CustomDataFolder(paths), LockKind::Exclusive);
    if (!lock.held())
        return Status(EditOutcome::Failed, lock.timedOut() ? kMessageBusy : kMessageWriteFailed);
    if (!RecoverCustomFiles(fs, paths))
        return Status(EditOutcome::Failed, kMessageWriteFailed);
    return Status(EditOutcome::Done);
}

namespace {

bool Storable(Cp1253View headword)
{
    for (char c : headword) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 0xFF)
            return false;
    }
    return true;
}

// The insert on files already read, against the tables as they stand for them.
struct PlannedInsert
{
    CustomFiles next;
    EditStatus status;
};

PlannedInsert PlanInsert(const EntryIndex &index, const CustomFiles &old, const EntryTexts &texts)
{
    PlannedInsert plan;
    const long long id = NextEntryId(index, old);
    if (id > kMaxEntryId) {
        plan.status = Status(EditOutcome::Refused, kMessageNoFreeId);
        return plan;
    }
    if (index.englishCount >= kMaxRecords ||
        (!Trim(texts.greek).empty() && index.greekCount >= kMaxRecords)) {
        plan.status = Status(EditOutcome::Refused, kMessageTableFull);
        return plan;
    }
    NewEntry entry;
    entry.anchor = FindEnglishAnchor(index, LatinKey(texts.english, true));
    entry.id = id;
    entry.headword = Trim(texts.english);
    if (!texts.description.empty())
        entry.stored = EscapeDescription(texts.description, kOwnEntryPrefix);
    if (entry.anchor.isCustom) {
        // The anchor's own line heads the place; tables that do not match the files (changed
        // behind the program's back) would put the entry where the load never finds it.
        bool found = false;
        for (const CustomLine &line : old.english)
            found = found || line.ownId == entry.anchor.id;
        if (!found) {
            plan.status = Status(EditOutcome::Failed, kMessageDamaged);
            return plan;
        }
    }
    plan.next = InsertEnglishLine(old, entry);
    if (!Trim(texts.greek).empty()) { // blanks alone would make an item no one can see
        const uint32_t greekAnchor = FindGreekAnchorId(index, GreekKey(texts.greek, true));
        plan.next = InsertGreekLine(plan.next, greekAnchor, id, texts.greek);
    }
    return plan;
}

bool ValidRecord(const EntryIndex &index, int record)
{
    return record >= 1 && record <= index.englishCount && index.english[record].id != 0;
}

// Modify of the reader's own entry: the delete, the tables as a reload after it would give
// them, and the insert, all in one commit so that no crash can lose the entry in between.
EditStatus ReplaceOwnEntry(FileSystem &fs, const ProgramPaths &paths, const OldFiles &old,
                           long long id, const EntryTexts &texts)
{
    const ScratchPaths scratch = NewScratchPaths(paths);
    const auto removed = RemoveEntry(old.files, id);
    if (!removed)
        return Status(EditOutcome::Failed, kMessageDamaged);
    // The load reads index files only: the two intermediate indexes go to the scratch files,
    // which the commit overwrites (or which are removed when the insert is refused).
    auto writeScratch = [&](const std::string &path, const std::string &bytes) {
        auto out = fs.Create(path);
        return out && out->Append(bytes) && out->Close();
    };
    auto discardScratch = [&] {
        fs.Remove(scratch.index);
        fs.Remove(scratch.greekIndex);
    };
    if (!writeScratch(scratch.index, CodeEnglishIndex(*removed)) ||
        !writeScratch(scratch.greekIndex, CodeGreekIndex(*removed))) {
        discardScratch();
        return Status(EditOutcome::Failed, kMessageWriteFailed);
    }
    ProgramPaths intermediate = paths;
    intermediate.customIndexPath = scratch.index;
    intermediate.customGreekIndexPath = scratch.greekIndex;
    EntryIndex reloaded;
    std::vector<std::string> supplementRefs;
    LoadEntryIndex(intermediate, reloaded, supplementRefs);
    if (reloaded.englishCount < 1) {
        discardScratch();
        return Status(EditOutcome::Failed, kMessageNoDictionary);
    }
    const PlannedInsert plan = PlanInsert(reloaded, *removed, texts);
    if (plan.status.outcome != EditOutcome::Done) {
        discardScratch();
        return plan.status;
    }
    const EditStatus status =
        Commit(fs, paths, scratch, plan.next, old.shipped, {true, true, true});
    if (status.outcome == EditOutcome::Failed || status.outcome == EditOutcome::Refused)
        discardScratch(); // refused before the commit began, which would have taken them
    return status;
}

} // namespace

std::optional<std::string> RefuseEntryTexts(const EntryTexts &texts, EntryKind kind)
{
    if (kind == EntryKind::Own) {
        if (texts.english.size() > kCustomHeadwordWidth ||
            texts.greek.size() > kCustomHeadwordWidth)
            return kMessageHeadwordTooLong;
        if (!Storable(texts.english) || !Storable(texts.greek))
            return kMessageHeadwordCharacter;
    }
    const bool supplement = kind == EntryKind::Supplemented || kind == EntryKind::Shipped;
    if (!supplement && texts.description.empty())
        return std::nullopt;
    const Cp1253 stored =
        EscapeDescription(texts.description, supplement ? kSupplementPrefix : kOwnEntryPrefix);
    if (static_cast<long long>(stored.size()) > kMaxReadableStoredLength)
        return kMessageDescriptionTooLong;
    return std::nullopt;
}

EditStatus InsertEntry(const ProgramPaths &paths, const EntryIndex &index, const EntryTexts &texts,
                       FileSystem &fs)
{
    if (Trim(texts.english).empty())
        return Status(EditOutcome::Unchanged);
    if (const auto refusal = RefuseEntryTexts(texts, EntryKind::Own))
        return {EditOutcome::Refused, *refusal};
    FolderLock lock;
    if (EditStatus ready = Prepare(fs, paths, index, lock); !ready.ok())
        return ready;
    OldFiles old = ReadOldFiles(fs, paths, index);
    if (!old.status.ok())
        return old.status;
    const PlannedInsert plan = PlanInsert(index, old.files, texts);
    if (!plan.status.ok())
        return plan.status;
    return Commit(fs, paths, NewScratchPaths(paths), plan.next, old.shipped,
                  {true, !Trim(texts.greek).empty(), true});
}

EditStatus UpdateEntry(const ProgramPaths &paths, const EntryIndex &index, int record,
                       EntryKind kind, const EntryTexts &texts, FileSystem &fs)
{
    if (texts.english.empty() ||
        (kind != EntryKind::Own && kind != EntryKind::Supplemented && kind != EntryKind::Shipped))
        return Status(EditOutcome::Unchanged);
    if (!ValidRecord(index, record))
        return Status(EditOutcome::Refused, kMessageNoEntry);
    if (index.english[record].kind != kind) // the kind decides which lines are the entry's
        return Status(EditOutcome::Unchanged);
    if (const auto refusal = RefuseEntryTexts(texts, kind))
        return {EditOutcome::Refused, *refusal};
    FolderLock lock;
    if (EditStatus ready = Prepare(fs, paths, index, lock); !ready.ok())
        return ready;
    OldFiles old = ReadOldFiles(fs, paths, index);
    if (!old.status.ok())
        return old.status;
    const long long id = index.english[record].id;
    if (kind == EntryKind::Own)
        return ReplaceOwnEntry(fs, paths, old, id, texts);
    if (kind == EntryKind::Supplemented) {
        const Cp1253 stored = texts.description.empty()
                                  ? Cp1253()
                                  : EscapeDescription(texts.description, kSupplementPrefix);
        return Commit(fs, paths, NewScratchPaths(paths), ReplaceSupplement(old.files, id, stored),
                      old.shipped, {true, false, true});
    }
    const Cp1253 stored = EscapeDescription(texts.description, kSupplementPrefix);
    return Commit(fs, paths, NewScratchPaths(paths), AddSupplement(old.files, id, stored),
                  old.shipped, {true, false, true});
}

EditStatus DeleteEntry(const ProgramPaths &paths, const EntryIndex &index, int record,
                       FileSystem &fs)
{
    if (!ValidRecord(index, record))
        return Status(EditOutcome::Refused, kMessageNoEntry);
    if (index.english[record].kind != EntryKind::Own)
        return Status(EditOutcome::Refused, kMessageOnlyOwnEntries);
    FolderLock lock;
    if (EditStatus ready = Prepare(fs, paths, index, lock); !ready.ok())
        return ready;
    OldFiles old = ReadOldFiles(fs, paths, index);
    if (!old.status.ok())
        return old.status;
    const auto next = RemoveEntry(old.files, index.english[record].id);
    if (!next)
        return Status(EditOutcome::Failed, kMessageDamaged);
    return Commit(fs, paths, NewScratchPaths(paths), *next, old.shipped, {true, true, true});
}

} // namespace termdex
