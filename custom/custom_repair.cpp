// The explicit repair of damaged custom files: what the load can still show is kept and laid
// out anew; the damaged files are kept beside them.
#include "custom/custom_edits.h"
#include "custom/edit_steps.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "lib/files.h"
#include "lib/folding.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <unordered_map>
#include <unordered_set>

namespace termdex {

using E = CustomEnglishLayout;
using G = CustomGreekLayout;

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

EditStatus Failed() { return {EditOutcome::Failed, kMessageWriteFailed}; }

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

// The damaged files, whole, as the repair reads them.
struct DamagedFiles
{
    std::string english, greek, descriptions;
};

// The custom files that exist, read whole; nullopt when one of them cannot be read, since a
// repair that went on without it would lose its entries.
std::optional<DamagedFiles> ReadDamaged(FileSystem &fs, const ProgramPaths &paths)
{
    DamagedFiles files;
    for (auto [path, bytes] : {std::pair{&paths.customIndexPath, &files.english},
                               {&paths.customGreekIndexPath, &files.greek},
                               {&paths.customDescriptionPath, &files.descriptions}}) {
        if (!fs.Exists(*path))
            continue;
        auto text = fs.ReadAll(*path, kMaxDescriptionFileBytes);
        if (!text)
            return std::nullopt;
        *bytes = std::move(*text);
    }
    return files;
}

// Where the load places an English line: the first shipped record of its anchor.
struct Places
{
    explicit Places(const EntryIndex &shipped)
    {
        for (int r = shipped.englishCount; r >= 1; --r)
            english[shipped.english[r].id] = r;
    }
    std::unordered_map<long long, int> english;
};

struct KeptLine
{
    int place;
    Cp1253 headword;
    CustomLine line; // all but the text, which the layout gives
};

// The description file as the repair searches it for the text of each English line.
class StoredDescriptions
{
public:
    explicit StoredDescriptions(const std::string &descriptions) : m_descriptions(descriptions) {}

    // The text of length bytes for a line whose description should lie at tiled (the 1-based
    // place the layout gives it when the lines before it tile the file), or nullopt where none
    // can be found.
    std::optional<Cp1253> Find(Cp1253View line, long long length, Cp1253View prefix,
                               long long tiled) const
    {
        long long position = 0;
        // Where the line and the layout agree, the text is kept as the display shows it.
        const bool placed = ParseFixedNumber(ColumnOf(line, E::position), position);
        std::optional<Cp1253> found = At(position, length, prefix, placed && position == tiled);
        // A damaged position field: the place the layout gives it serves as well.
        if (!found)
            found = At(tiled, length, prefix, false);
        // Bytes put in or lost before it: the text nearby, as only a stored form reads.
        for (long long shift = 1; !found && length > 0 && shift <= kRepairSearch; ++shift)
            if (!(found = At(tiled + shift, length, prefix, false)))
                found = At(tiled - shift, length, prefix, false);
        return found;
    }

private:
    // The stored description at a 1-based position, or nullopt where none lies.
    std::optional<Cp1253> At(long long position, long long length, Cp1253View prefix,
                             bool asItIs) const
    {
        if (position < 1 || length > kMaxReadableStoredLength ||
            position - 1 + length > static_cast<long long>(m_descriptions.size()))
            return std::nullopt;
        Cp1253 stored =
            ShiftCodec(Cp1253View(m_descriptions)
                           .substr(static_cast<size_t>(position - 1), static_cast<size_t>(length)),
                       true);
        if (length > 0 && !asItIs && !LooksStored(stored, prefix))
            return std::nullopt;
        return stored;
    }

    const std::string &m_descriptions;
};

// How many bytes put into or lost from an English line the repair reads the line around.
constexpr size_t kRealignBytes = 8;

// Coded bytes read as if the first of them stood at column start (each byte's key is its column).
Cp1253 DecodeFrom(std::string_view coded, size_t start)
{
    return ShiftCodec(std::string(start, 'x') + std::string(coded), true).substr(start);
}

// An English line decoded. Each byte's key is its column, so bytes lost from or put into a line
// shift the keys of all later bytes and the rest of the line reads as noise. A line a few bytes
// short (or long) is read with the lost bytes put back as blanks (or the extra ones dropped)
// where its numbers then read and the headword column holds the fewest non-blank bytes: the
// padding after the headword reads as blanks only at the place of the damage, and of places
// that tie, the last reads the most bytes with their own keys.
Cp1253 DecodeEnglishLine(std::string_view coded)
{
    const size_t size = coded.size(), whole = kCustomLineLength;
    const Cp1253 plain = ShiftCodec(coded, true);
    if (size == whole || size + kRealignBytes < whole || size > whole + kRealignBytes ||
        plain.size() != size)
        return plain;
    Cp1253 best = plain;
    size_t fewest = whole + 1;
    for (size_t at = 0; at <= std::min(size, whole); ++at) {
        Cp1253 line(plain.substr(0, at));
        if (size < whole)
            line += Cp1253(whole - size, ' ') + DecodeFrom(coded.substr(at), at + whole - size);
        else
            line += DecodeFrom(coded.substr(at + size - whole), at);
        long long number = 0;
        if (!ParseFixedNumber(ColumnOf(line, E::anchor), number) ||
            !ParseFixedNumber(ColumnOf(line, E::ownId), number) ||
            !ParseFixedNumber(ColumnOf(line, E::position), number) ||
            !ParseFixedNumber(ColumnOf(line, E::length), number))
            continue;
        const Cp1253View headword = ColumnOf(line, E::headword);
        const auto filled = static_cast<size_t>(
            std::count_if(headword.begin(), headword.end(), [](char c) { return c != ' '; }));
        if (filled <= fewest) {
            fewest = filled;
            best = std::move(line);
        }
    }
    return best;
}

// The first own id above every shipped id and every id the damaged English lines hold, so a
// renumbered entry clashes with none of them.
long long FirstFreeId(const DamagedFiles &files, const Places &places)
{
    long long nextId = 1;
    for (const auto &[id, place] : places.english)
        nextId = std::max(nextId, id + 1);
    for (const std::string &coded : SplitLines(files.english)) {
        long long ownId = 0;
        if (ParseFixedNumber(ColumnOf(DecodeEnglishLine(coded), E::ownId), ownId))
            nextId = std::max(nextId, ownId + 1);
    }
    return nextId;
}

// The English lines that can be kept, in the order the load reads them, with a distinct own id
// for each entry (a new one where a damaged id is a shipped entry's or an earlier entry's) and
// the last supplement of each shipped entry (the one shown). ids maps a damaged own id to the
// id its first entry keeps, for the Greek lines.
std::vector<KeptLine> RepairEnglish(const DamagedFiles &files, const EntryIndex &shipped,
                                    const Places &places,
                                    std::unordered_map<long long, long long> &ids,
                                    std::vector<std::string> &lost)
{
    const StoredDescriptions descriptions(files.descriptions);
    long long nextId = FirstFreeId(files, places);
    std::vector<KeptLine> lines;
    std::unordered_map<long long, size_t> supplementOf; // anchor -> its line in lines
    long long tiled = 1; // where the line's description lies if the lines before it tile
    for (const std::string &coded : SplitLines(files.english)) {
        const Cp1253 text = DecodeEnglishLine(coded);
        long long anchor = 0, ownId = 0, length = 0;
        const Cp1253View headword = ColumnOf(text, E::headword);
        if (text.size() < E::ownId.Last() || !ParseFixedNumber(ColumnOf(text, E::anchor), anchor) ||
            !ParseFixedNumber(ColumnOf(text, E::ownId), ownId) || !places.english.count(anchor)) {
            lost.push_back(Described("Γραμμή λήμματος που δεν διαβάζεται", headword));
            continue;
        }
        const bool supplement = ColumnOf(text, E::anchor) == ColumnOf(text, E::ownId);
        const Cp1253View prefix = supplement ? kSupplementPrefix : kOwnEntryPrefix;
        std::optional<Cp1253> found;
        if (text.size() >= kCustomLineLength &&
            ParseFixedNumber(ColumnOf(text, E::length), length)) {
            found = descriptions.Find(text, length, prefix, tiled);
            tiled += length;
        }
        const Cp1253View shippedHeadword = shipped.english[places.english.at(anchor)].headword;
        if (!found) {
            lost.push_back(supplement ? Described("Συμπλήρωση του λήμματος", shippedHeadword)
                                      : Described("Περιγραφή του λήμματος", headword));
            if (supplement)
                continue;
        } else if (supplement && length == 0) {
            continue; // an empty supplement adds nothing to keep
        }
        long long id = ownId;
        if (!supplement && (places.english.count(ownId) || ids.count(ownId)))
            id = nextId++;
        if (!supplement)
            ids.emplace(ownId, id);
        KeptLine kept{places.english.at(anchor), Cp1253(headword), {}};
        kept.line.anchor = anchor;
        kept.line.ownId = supplement ? anchor : id;
        kept.line.length = static_cast<long long>(found.value_or(Cp1253()).size());
        kept.line.description = {false, 0, kept.line.length, found.value_or(Cp1253())};
        if (supplement && supplementOf.count(anchor)) { // the load shows the last one
            lost.push_back(Described("Συμπλήρωση του λήμματος", shippedHeadword));
            lines[supplementOf[anchor]] = std::move(kept);
            continue;
        }
        if (supplement)
            supplementOf[anchor] = lines.size();
        lines.push_back(std::move(kept));
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const KeptLine &a, const KeptLine &b) { return a.place < b.place; });
    return lines;
}

// The Greek lines of kept entries, the last of each entry (the one shown), anchored and ordered
// by their keys as the writer places them: a damaged anchor would place the next insert where
// the load no longer finds it.
std::vector<Cp1253> RepairGreek(const DamagedFiles &files, const EntryIndex &shipped,
                                const std::unordered_map<long long, long long> &ids,
                                std::vector<std::string> &lost)
{
    std::vector<std::pair<Cp1253, Cp1253>> lines; // key, line
    for (const std::string &coded : SplitLines(files.greek)) {
        const Cp1253 text = ShiftCodec(coded, true);
        long long ownId = 0;
        const Cp1253View headword = Columns(text, G::headword.first, text.size());
        if (text.size() < G::ownId.Last() || !ParseFixedNumber(ColumnOf(text, G::ownId), ownId) ||
            !ids.count(ownId)) {
            lost.push_back(Described("Ελληνικό λήμμα που δεν διαβάζεται", headword));
            continue;
        }
        Cp1253 key = GreekKey(headword.substr(0, kCustomHeadwordWidth), true);
        const uint32_t anchor = FindGreekAnchorId(shipped, key);
        lines.emplace_back(std::move(key), FormatCustomGreekLine(anchor, ids.at(ownId), headword));
    }
    std::stable_sort(lines.begin(), lines.end(), [](const auto &a, const auto &b) {
        return std::lexicographical_compare(
            a.first.begin(), a.first.end(), b.first.begin(), b.first.end(), [](char x, char y) {
                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
            });
    });
    std::vector<Cp1253> kept;
    std::unordered_set<long long> paired;
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        long long id = 0;
        ParseFixedNumber(ColumnOf(line->second, G::ownId), id);
        if (paired.insert(id).second)
            kept.push_back(std::move(line->second));
        else
            lost.push_back(Described(
                "Ελληνικό λήμμα", Columns(line->second, G::headword.first, line->second.size())));
    }
    std::reverse(kept.begin(), kept.end());
    return kept;
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
    // Files that are not files, or cannot be read, are not for the repair to touch. The checks
    // an edit makes are not the test of whole files here: damage that passes them (a Greek line
    // out of its place) can still make the next edit refuse, which only a rewrite mends.
    OldFiles old = ReadOldFiles(fs, paths, shipped);
    if (!old.status.ok() && old.status.message != kMessageDamaged) {
        report.status = old.status;
        return report;
    }
    const std::optional<DamagedFiles> damaged = ReadDamaged(fs, paths);
    if (!damaged) {
        report.status = Failed();
        return report;
    }
    const DamagedFiles &files = *damaged;
    const Places places(shipped);
    std::unordered_map<long long, long long> ids;
    CustomFiles next;
    long long running = 1;
    for (KeptLine &kept : RepairEnglish(files, shipped, places, ids, report.lost)) {
        kept.line.text = FormatCustomEnglishLine(FiveDigits(kept.line.anchor), kept.line.ownId,
                                                 kept.headword, running, kept.line.length);
        kept.line.position = running;
        running += kept.line.length;
        next.english.push_back(std::move(kept.line));
    }
    next.greek = RepairGreek(files, shipped, ids, report.lost);
    std::string descriptions;
    for (const CustomLine &line : next.english)
        descriptions += ShiftCodec(line.description.stored, false);
    if (CodeEnglishIndex(next) == files.english && CodeGreekIndex(next) == files.greek &&
        descriptions == files.descriptions) { // as the writer lays them out: left alone
        report.status = {EditOutcome::Done, kMessageRepaired};
        report.kept = static_cast<int>(next.english.size());
        return report;
    }
    if (!KeepDamaged(fs, paths, CustomDataFolder(paths), report.damagedFolder)) {
        report.status = Failed();
        return report;
    }
    report.status = Commit(fs, paths, NewScratchPaths(paths), next, ShippedIdsOf(shipped, next),
                           {true, true, true});
    if (report.status.ok())
        report.kept = static_cast<int>(next.english.size());
    return report;
}

} // namespace termdex
