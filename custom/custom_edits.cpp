#include "custom/custom_edits.h"

#include "custom/commit.h"
#include "custom/custom_files.h"
#include "custom/folder_lock.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/folding.h"

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
const char kMessageNotAFile[] =
    "Στη θέση ενός αρχείου των επεξεργασμένων λημμάτων υπάρχει κάτι που δεν είναι αρχείο "
    "(φάκελος, σωλήνας ή συσκευή). Δεν άλλαξε τίποτα. Μετακινήστε το και δοκιμάστε ξανά:";
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

// The old custom files, read whole (the description file is only measured: its pieces are
// streamed when the new one is written).
struct OldFiles
{
    CustomFiles files;
    EditStatus status;
};

OldFiles ReadOldFiles(FileSystem &fs, const ProgramPaths &paths)
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
    if (!CustomFilesWhole(*parsed, *size)) {
        old.status = Status(EditOutcome::Failed, kMessageDamaged);
        return old;
    }
    old.files = std::move(*parsed);
    return old;
}

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

struct Rewrite
{
    bool english = false;
    bool greek = false;
    bool descriptions = false;
};

EditStatus Commit(FileSystem &fs, const ProgramPaths &paths, const ScratchPaths &scratch,
                  const CustomFiles &next, Rewrite which)
{
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

bool Storable(Cp1253View headword)
{
    for (char c : headword) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32 || byte == 0xFF)
            return false;
    }
    return true;
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
EditStatus ReplaceOwnEntry(FileSystem &fs, const ProgramPaths &paths, const CustomFiles &old,
                           long long id, const EntryTexts &texts)
{
    const ScratchPaths scratch = NewScratchPaths(paths);
    const auto removed = RemoveEntry(old, id);
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
    return Commit(fs, paths, scratch, plan.next, {true, true, true});
}

} // namespace

std::optional<std::string> RefuseEntryTexts(const EntryTexts &texts, char kind)
{
    if (kind == 'C') {
        if (texts.english.size() > kCustomHeadwordWidth ||
            texts.greek.size() > kCustomHeadwordWidth)
            return kMessageHeadwordTooLong;
        if (!Storable(texts.english) || !Storable(texts.greek))
            return kMessageHeadwordCharacter;
    }
    const bool supplement = kind == 'A' || kind == 'L';
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
    if (const auto refusal = RefuseEntryTexts(texts, 'C'))
        return {EditOutcome::Refused, *refusal};
    FolderLock lock;
    if (EditStatus ready = Prepare(fs, paths, index, lock); !ready.ok())
        return ready;
    OldFiles old = ReadOldFiles(fs, paths);
    if (!old.status.ok())
        return old.status;
    const PlannedInsert plan = PlanInsert(index, old.files, texts);
    if (!plan.status.ok())
        return plan.status;
    return Commit(fs, paths, NewScratchPaths(paths), plan.next,
                  {true, !Trim(texts.greek).empty(), true});
}

EditStatus UpdateEntry(const ProgramPaths &paths, const EntryIndex &index, int record, char kind,
                       const EntryTexts &texts, FileSystem &fs)
{
    if (texts.english.empty() || (kind != 'C' && kind != 'A' && kind != 'L'))
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
    OldFiles old = ReadOldFiles(fs, paths);
    if (!old.status.ok())
        return old.status;
    const long long id = index.english[record].id;
    if (kind == 'C')
        return ReplaceOwnEntry(fs, paths, old.files, id, texts);
    if (kind == 'A') {
        const Cp1253 stored = texts.description.empty()
                                  ? Cp1253()
                                  : EscapeDescription(texts.description, kSupplementPrefix);
        return Commit(fs, paths, NewScratchPaths(paths), ReplaceSupplement(old.files, id, stored),
                      {true, false, true});
    }
    const Cp1253 stored = EscapeDescription(texts.description, kSupplementPrefix);
    return Commit(fs, paths, NewScratchPaths(paths), AddSupplement(old.files, id, stored),
                  {true, false, true});
}

EditStatus DeleteEntry(const ProgramPaths &paths, const EntryIndex &index, int record,
                       FileSystem &fs)
{
    if (!ValidRecord(index, record))
        return Status(EditOutcome::Refused, kMessageNoEntry);
    if (index.english[record].kind != 'C')
        return Status(EditOutcome::Refused, kMessageOnlyOwnEntries);
    FolderLock lock;
    if (EditStatus ready = Prepare(fs, paths, index, lock); !ready.ok())
        return ready;
    OldFiles old = ReadOldFiles(fs, paths);
    if (!old.status.ok())
        return old.status;
    const auto next = RemoveEntry(old.files, index.english[record].id);
    if (!next)
        return Status(EditOutcome::Failed, kMessageDamaged);
    return Commit(fs, paths, NewScratchPaths(paths), *next, {true, true, true});
}

namespace {

// How far from where the layout puts a description the repair looks for it.
constexpr long long kRepairSearch = 64;
// The description file may hold up to the largest position plus the largest length.
constexpr int64_t kMaxDescriptionFileBytes = kMaxPosition + kMaxStoredLength;

// A stored description as the writer makes it: the prefix, 7-bit printable bytes, "}".
bool LooksStored(Cp1253View stored, Cp1253View prefix)
{
    if (stored.size() < prefix.size() + 1 || stored.substr(0, prefix.size()) != prefix ||
        stored.back() != '}')
        return false;
    return std::all_of(stored.begin(), stored.end(), [](char c) { return c >= 32 && c < 127; });
}

std::string Described(const char *what, Cp1253View headword)
{
    return std::string(what) + ": " + Cp1253ToUtf8(Trim(headword));
}

// A copy of each damaged file, as it is, in a new folder beside them.
bool KeepDamaged(FileSystem &fs, const ProgramPaths &paths, const std::string &folder,
                 std::string &copies)
{
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "damaged-%Y-%m-%d-%H%M%S", &local);
    std::error_code ec;
    namespace stdfs = std::filesystem;
    stdfs::path target = stdfs::path(folder) / stamp;
    for (int n = 2; stdfs::exists(stdfs::symlink_status(target, ec)); ++n)
        target = stdfs::path(folder) / (std::string(stamp) + "-" + std::to_string(n));
    if (!stdfs::create_directory(target, ec))
        return false;
    for (const std::string *path :
         {&paths.customIndexPath, &paths.customGreekIndexPath, &paths.customDescriptionPath}) {
        if (!fs.Exists(*path))
            continue;
        const auto bytes = fs.ReadAll(*path, kMaxDescriptionFileBytes);
        auto out = bytes ? fs.Create((target / stdfs::path(*path).filename()).string()) : nullptr;
        if (!out || !out->Append(*bytes) || !out->Sync() || !out->Close())
            return false;
    }
    copies = target.string();
    return fs.SyncFolder(target.string()) && fs.SyncFolder(folder);
}

} // namespace

RepairReport RepairCustomFiles(const ProgramPaths &paths, const EntryIndex &shipped, FileSystem &fs)
{
    RepairReport report;
    FolderLock lock;
    if (EditStatus ready = Prepare(fs, paths, shipped, lock); !ready.ok()) {
        report.status = ready;
        return report;
    }
    OldFiles old = ReadOldFiles(fs, paths);
    if (old.status.ok()) {
        report.status = Status(EditOutcome::Done, kMessageRepaired);
        report.kept = static_cast<int>(old.files.english.size());
        return report;
    }
    if (old.status.message != kMessageDamaged) { // unreadable or not files: nothing to repair
        report.status = old.status;
        return report;
    }
    std::string english, greek, descriptions;
    for (auto [path, bytes] : {std::pair{&paths.customIndexPath, &english},
                               {&paths.customGreekIndexPath, &greek},
                               {&paths.customDescriptionPath, &descriptions}}) {
        if (!fs.Exists(*path))
            continue;
        auto text = fs.ReadAll(*path, kMaxDescriptionFileBytes);
        if (!text) {
            report.status = Status(EditOutcome::Failed, kMessageWriteFailed);
            return report;
        }
        *bytes = std::move(*text);
    }
    // The load places a line only after the shipped record of its anchor, in table order.
    std::unordered_map<long long, int> englishPlace, greekPlace;
    for (int r = shipped.englishCount; r >= 1; --r)
        englishPlace[shipped.english[r].id] = r;
    for (int r = shipped.greekCount; r >= 1; --r)
        greekPlace[shipped.greek[r].id] = r;

    struct Kept
    {
        int place;
        Cp1253 anchor, headword;
        CustomLine line;
    };
    std::vector<Kept> lines;
    std::vector<long long> ownIds;
    // The stored description at a 1-based position, or nullopt where none lies.
    auto storedAt = [&](long long position, long long length,
                        Cp1253View prefix) -> std::optional<Cp1253> {
        if (position < 1 || length > kMaxReadableStoredLength ||
            position - 1 + length > static_cast<long long>(descriptions.size()))
            return std::nullopt;
        Cp1253 stored =
            ShiftCodec(Cp1253View(descriptions)
                           .substr(static_cast<size_t>(position - 1), static_cast<size_t>(length)),
                       true);
        if (length > 0 && !LooksStored(stored, prefix))
            return std::nullopt;
        return stored;
    };
    long long tiled = 1; // where the line's description lies if the lines before it tile
    for (const std::string &coded : SplitLines(english)) {
        const Cp1253 text = ShiftCodec(coded, true);
        long long anchor = 0, ownId = 0, position = 0, length = 0;
        const Cp1253View headword = ColumnOf(text, CustomEnglishLayout::headword);
        if (!ParseFixedNumber(ColumnOf(text, CustomEnglishLayout::anchor), anchor) ||
            !ParseFixedNumber(ColumnOf(text, CustomEnglishLayout::ownId), ownId) ||
            text.size() < CustomEnglishLayout::ownId.Last() || !englishPlace.count(anchor)) {
            report.lost.push_back(Described("Γραμμή λήμματος που δεν διαβάζεται", headword));
            continue;
        }
        const bool supplement = anchor == ownId;
        const Cp1253View prefix = supplement ? kSupplementPrefix : kOwnEntryPrefix;
        std::optional<Cp1253> found;
        if (text.size() >= kCustomLineLength &&
            ParseFixedNumber(ColumnOf(text, CustomEnglishLayout::length), length)) {
            // A damaged position field: the place the layout gives it serves as well.
            if (ParseFixedNumber(ColumnOf(text, CustomEnglishLayout::position), position))
                found = storedAt(position, length, prefix);
            if (!found)
                found = storedAt(tiled, length, prefix);
            // Bytes put in or lost before it: the text nearby, as only a stored form reads.
            for (long long shift = 1; !found && length > 0 && shift <= kRepairSearch; ++shift)
                if (!(found = storedAt(tiled + shift, length, prefix)))
                    found = storedAt(tiled - shift, length, prefix);
            tiled += length;
        }
        const bool readable = found.has_value();
        Cp1253 stored = found.value_or(Cp1253());
        const Cp1253View shippedHeadword = shipped.english[englishPlace[anchor]].headword;
        if (!readable) {
            stored.clear();
            if (supplement) {
                report.lost.push_back(Described("Συμπλήρωση του λήμματος", shippedHeadword));
                continue;
            }
            report.lost.push_back(Described("Περιγραφή του λήμματος", headword));
        } else if (supplement && length == 0) {
            continue; // an empty supplement adds nothing to keep
        }
        Kept kept{englishPlace[anchor],
                  Cp1253(ColumnOf(text, CustomEnglishLayout::anchor)),
                  Cp1253(headword),
                  {}};
        kept.line.anchor = anchor;
        kept.line.ownId = ownId;
        kept.line.length = static_cast<long long>(stored.size());
        kept.line.description = {false, 0, kept.line.length, stored};
        if (!supplement)
            ownIds.push_back(ownId);
        lines.push_back(std::move(kept));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Kept &a, const Kept &b) { return a.place < b.place; });
    CustomFiles next;
    long long running = 1;
    for (Kept &kept : lines) {
        kept.line.text = FormatCustomEnglishLine(kept.anchor, kept.line.ownId, kept.headword,
                                                 running, kept.line.length);
        kept.line.position = running;
        running += kept.line.length;
        next.english.push_back(std::move(kept.line));
    }
    std::sort(ownIds.begin(), ownIds.end());
    std::vector<std::pair<int, Cp1253>> greekLines;
    for (const std::string &coded : SplitLines(greek)) {
        const Cp1253 text = ShiftCodec(coded, true);
        long long anchor = 0, ownId = 0;
        if (text.size() < CustomGreekLayout::ownId.Last() ||
            !ParseFixedNumber(ColumnOf(text, CustomGreekLayout::anchor), anchor) ||
            !ParseFixedNumber(ColumnOf(text, CustomGreekLayout::ownId), ownId) ||
            !greekPlace.count(anchor) || !std::binary_search(ownIds.begin(), ownIds.end(), ownId)) {
            report.lost.push_back(
                Described("Ελληνικό λήμμα που δεν διαβάζεται",
                          Columns(text, CustomGreekLayout::headword.first, text.size())));
            continue;
        }
        greekLines.emplace_back(greekPlace[anchor], text);
    }
    std::stable_sort(greekLines.begin(), greekLines.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    for (auto &[place, text] : greekLines)
        next.greek.push_back(std::move(text));

    if (!KeepDamaged(fs, paths, CustomDataFolder(paths), report.damagedFolder)) {
        report.status = Status(EditOutcome::Failed, kMessageWriteFailed);
        return report;
    }
    report.status = Commit(fs, paths, NewScratchPaths(paths), next, {true, true, true});
    if (report.status.ok())
        report.kept = static_cast<int>(next.english.size());
    return report;
}

} // namespace termdex
