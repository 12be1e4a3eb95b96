#include "data/index_snapshot.h"

#include "lib/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <limits>
#include <sys/mman.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace termdex {
namespace {

namespace fs = std::filesystem;

// Bumped whenever the layout below or the meaning of a loaded record changes, so a snapshot of
// an older program is never read as current.
constexpr char kMagic[8] = {'T', 'D', 'X', 'I', 'D', 'X', '0', '4'};
// Two full tables with their headwords come to a few megabytes; anything far larger is not one.
constexpr int64_t kMaxSnapshotBytes = 64LL * 1024 * 1024;
// Snapshots kept in the folder: a few dictionaries (or custom folders) at once.
constexpr size_t kKeptSnapshots = 8;
constexpr char kSnapshotPrefix[] = "index-";
constexpr char kSnapshotSuffix[] = ".snapshot";

int64_t Nanoseconds(const timespec &t)
{
    return static_cast<int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

int64_t NowNs()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

} // namespace

SourceStamp StampFile(const std::string &path)
{
    SourceStamp stamp;
    stamp.path = path;
    struct stat info
    {
    };
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = info.st_size;
    stamp.modifiedNs = Nanoseconds(info.st_mtim);
    stamp.changedNs = Nanoseconds(info.st_ctim);
    return stamp;
}

namespace {

uint64_t Fnv1a(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325ULL)
{
    for (unsigned char c : bytes)
        hash = (hash ^ c) * 0x100000001b3ULL;
    return hash;
}

// Fixed-width values appended in the machine's own byte order: a snapshot lives in the cache
// folder of the machine that wrote it (read with another byte order, its payload size would not
// match and it would be refused).
class Writer
{
public:
    template <typename T> void Put(T value)
    {
        char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        m_out.append(bytes, sizeof(T));
    }
    void PutText(std::string_view text)
    {
        Put(static_cast<uint32_t>(text.size()));
        m_out.append(text);
    }
    std::string &str() { return m_out; }

private:
    std::string m_out;
};

// Reads what Writer wrote; every read is checked against the end, and a failed one leaves
// the reader failed for good.
class Reader
{
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
    template <typename T> T Get()
    {
        T value{};
        if (!m_ok || m_bytes.size() - m_pos < sizeof(T)) {
            m_ok = false;
            return value;
        }
        std::memcpy(&value, m_bytes.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return value;
    }
    // A text written by PutText, refused when longer than maxLength.
    std::string_view GetText(size_t maxLength)
    {
        const uint32_t length = Get<uint32_t>();
        if (length > maxLength)
            m_ok = false;
        return GetBytes(length);
    }
    std::string_view GetBytes(size_t length)
    {
        if (!m_ok || m_bytes.size() - m_pos < length) {
            m_ok = false;
            return {};
        }
        const std::string_view bytes = m_bytes.substr(m_pos, length);
        m_pos += length;
        return bytes;
    }
    bool ok() const { return m_ok; }
    size_t Remaining() const { return m_ok ? m_bytes.size() - m_pos : 0; }
    bool AtEnd() const { return m_ok && m_pos == m_bytes.size(); }

private:
    std::string_view m_bytes;
    size_t m_pos = 0;
    bool m_ok = true;
};

void PutStamp(Writer &out, const SourceStamp &stamp)
{
    out.PutText(stamp.path);
    out.Put<uint8_t>(stamp.exists ? 1 : 0);
    out.Put(stamp.device);
    out.Put(stamp.inode);
    out.Put(stamp.size);
    out.Put(stamp.modifiedNs);
    out.Put(stamp.changedNs);
}

SourceStamp GetStamp(Reader &in)
{
    SourceStamp stamp;
    stamp.path = std::string(in.GetText(64 * 1024));
    stamp.exists = in.Get<uint8_t>() != 0;
    stamp.device = in.Get<uint64_t>();
    stamp.inode = in.Get<uint64_t>();
    stamp.size = in.Get<int64_t>();
    stamp.modifiedNs = in.Get<int64_t>();
    stamp.changedNs = in.Get<int64_t>();
    return stamp;
}

// Sizes of the sections after the directory, in order: each table's records and headword
// block, the letter starts, each folded form's ends and bytes, the two exact orders; then the
// supplement references, one text each.
struct Directory
{
    uint32_t englishCount = 0, greekCount = 0;
    uint32_t englishHeadwordBytes = 0, greekHeadwordBytes = 0;
    std::array<uint32_t, kFoldedForms> formBytes{};
    uint32_t englishOrder = 0, greekOrder = 0;
    uint32_t refCount = 0;
};

constexpr size_t kLetterStartBytes = 2 * (26 + 25);

// Forms 0 and 3 fold the English table, the rest the Greek one.
bool FormIsEnglish(int form)
{
    return form == static_cast<int>(FoldedForm::English) ||
           form == static_cast<int>(FoldedForm::EnglishExact);
}

void PutDirectory(Writer &out, const Directory &d)
{
    out.Put(d.englishCount);
    out.Put(d.greekCount);
    out.Put(d.englishHeadwordBytes);
    out.Put(d.greekHeadwordBytes);
    for (uint32_t bytes : d.formBytes)
        out.Put(bytes);
    out.Put(d.englishOrder);
    out.Put(d.greekOrder);
    out.Put(d.refCount);
}

Directory GetDirectory(Reader &in)
{
    Directory d;
    d.englishCount = in.Get<uint32_t>();
    d.greekCount = in.Get<uint32_t>();
    d.englishHeadwordBytes = in.Get<uint32_t>();
    d.greekHeadwordBytes = in.Get<uint32_t>();
    for (uint32_t &bytes : d.formBytes)
        bytes = in.Get<uint32_t>();
    d.englishOrder = in.Get<uint32_t>();
    d.greekOrder = in.Get<uint32_t>();
    d.refCount = in.Get<uint32_t>();
    return d;
}

// One table's records as RecordTable reads them in place, then its headword block.
void PutTable(Writer &records, std::string &block, const RecordTable &table, int count)
{
    for (int r = 1; r <= count; ++r) {
        const IndexRecord record = table[static_cast<size_t>(r)];
        records.Put(record.id);
        records.Put(record.descOffset);
        records.Put(record.descLength);
        records.Put(record.supplementRef);
        records.Put(static_cast<uint32_t>(block.size()));
        records.Put(static_cast<uint16_t>(record.headword.size()));
        records.Put(record.greekIndex);
        records.Put(record.englishIndex);
        records.Put(KindLetter(record.kind));
        records.Put(record.matchStart);
        block.append(record.headword);
    }
}

void PutForm(Writer &out, const FoldedTable &form, int count)
{
    uint32_t end = 0;
    out.Put(end);
    for (int r = 1; r <= count; ++r) {
        end += static_cast<uint32_t>(form.At(r).size());
        out.Put(end);
    }
    for (int r = 1; r <= count; ++r)
        out.str().append(form.At(r));
}

// A snapshot mapped read-only: its pages come from the page cache without a copy or fresh
// memory, and only when read. The program never shortens a snapshot in place (a new one is
// renamed over it, and the mapping keeps the old file), so the mapping stays whole; the tables
// and folded forms read from it hold it for as long as they are used.
class MappedSnapshot
{
public:
    explicit MappedSnapshot(const fs::path &file)
    {
        const int fd = OpenRegularFile(file); // a named pipe there would block the start
        if (fd < 0)
            return;
        struct stat info
        {
        };
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
            info.st_size <= kMaxSnapshotBytes) {
            const auto size = static_cast<size_t>(info.st_size);
            void *at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (at != MAP_FAILED)
                m_bytes = std::string_view(static_cast<const char *>(at), size);
        }
        ::close(fd);
    }
    ~MappedSnapshot()
    {
        if (!m_bytes.empty())
            ::munmap(const_cast<char *>(m_bytes.data()), m_bytes.size());
    }
    MappedSnapshot(const MappedSnapshot &) = delete;
    MappedSnapshot &operator=(const MappedSnapshot &) = delete;
    std::string_view bytes() const { return m_bytes; }

private:
    std::string_view m_bytes;
};

bool IsSnapshotName(const std::string &name)
{
    return name.starts_with(kSnapshotPrefix) && name.ends_with(kSnapshotSuffix);
}

// Removes the oldest snapshots beyond the number kept, and temporary files that a writer which
// was stopped halfway left behind an hour or more ago.
void Prune(const fs::path &folder)
{
    std::error_code ec;
    std::vector<std::pair<fs::file_time_type, fs::path>> snapshots;
    const auto hourAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
    for (const auto &entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        const auto time = entry.last_write_time(ec);
        if (ec)
            continue;
        if (IsSnapshotName(name))
            snapshots.emplace_back(time, entry.path());
        else if (name.starts_with(std::string(".") + kSnapshotPrefix) && time < hourAgo)
            fs::remove(entry.path(), ec);
    }
    if (snapshots.size() <= kKeptSnapshots)
        return;
    std::sort(snapshots.begin(), snapshots.end(),
              [](const auto &a, const auto &b) { return a.first > b.first; });
    for (size_t i = kKeptSnapshots; i < snapshots.size(); ++i)
        fs::remove(snapshots[i].second, ec);
}

// The snapshot's body: both tables with their headword blocks, the letter starts, the folded
// forms, the exact-form orders and the supplement references; directory gets the counts and
// sizes a reader needs to find each part again.
std::string PutSections(const EntryIndex &index, const std::vector<std::string> &supplementRefs,
                        Directory &directory)
{
    FoldedHeadwords folded;
    folded.Reset(&index);
    const std::vector<uint16_t> englishOrder = folded.SortedByExactForm(false);
    const std::vector<uint16_t> greekOrder = folded.SortedByExactForm(true);
    const LetterStarts starts = ComputeLetterStarts(index);

    Writer sections;
    std::string englishBlock, greekBlock;
    {
        Writer records;
        PutTable(records, englishBlock, index.english, index.englishCount);
        sections.str() += records.str() + englishBlock;
    }
    {
        Writer records;
        PutTable(records, greekBlock, index.greek, index.greekCount);
        sections.str() += records.str() + greekBlock;
    }
    for (uint16_t start : starts.english)
        sections.Put(start);
    for (uint16_t start : starts.greek)
        sections.Put(start);
    directory.englishCount = static_cast<uint32_t>(index.englishCount);
    directory.greekCount = static_cast<uint32_t>(index.greekCount);
    directory.englishHeadwordBytes = static_cast<uint32_t>(englishBlock.size());
    directory.greekHeadwordBytes = static_cast<uint32_t>(greekBlock.size());
    for (int form = 0; form < kFoldedForms; ++form) {
        const size_t before = sections.str().size();
        const int count = FormIsEnglish(form) ? index.englishCount : index.greekCount;
        PutForm(sections, folded.Form(static_cast<FoldedForm>(form)), count);
        directory.formBytes[form] =
            static_cast<uint32_t>(sections.str().size() - before - 4 * (count + 1));
    }
    for (uint16_t record : englishOrder)
        sections.Put(record);
    for (uint16_t record : greekOrder)
        sections.Put(record);
    directory.englishOrder = static_cast<uint32_t>(englishOrder.size());
    directory.greekOrder = static_cast<uint32_t>(greekOrder.size());
    directory.refCount = static_cast<uint32_t>(supplementRefs.size());
    for (const std::string &ref : supplementRefs)
        sections.PutText(ref);
    return std::move(sections.str());
}

// The snapshot under a temporary name in its folder, renamed over file only once written
// whole, so a reader never maps half a snapshot.
bool WriteWhole(const fs::path &file, const fs::path &folder, const std::string &header,
                const std::string &sections)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    std::string temporary = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool written = true;
    for (const std::string *part : {&header, &sections}) {
        size_t done = 0;
        while (written && done < part->size()) {
            const ssize_t n = ::write(fd, part->data() + done, part->size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                written = false;
            else
                done += static_cast<size_t>(n);
        }
    }
    written = ::close(fd) == 0 && written;
    if (!written || std::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

bool IndexSources::SettledFor(std::chrono::nanoseconds settleTime) const
{
    const int64_t limit = stampedAtNs - static_cast<int64_t>(settleTime.count());
    return std::all_of(files.begin(), files.end(), [&](const SourceStamp &file) {
        return !file.exists || (file.modifiedNs <= limit && file.changedNs <= limit);
    });
}

IndexSources StampIndexSources(const ProgramPaths &paths)
{
    IndexSources sources;
    sources.stampedAtNs = NowNs();
    sources.files = {StampFile(paths.ShippedEnglishIndex().string()),
                     StampFile(paths.ShippedGreekIndex().string()),
                     StampFile(paths.customIndexPath), StampFile(paths.customGreekIndexPath)};
    sources.program = StampFile("/proc/self/exe");
    sources.program.path.clear(); // the build is told by its file, not by the name it ran under
    return sources;
}

fs::path IndexSnapshotFile(const fs::path &folder, const IndexSources &sources)
{
    uint64_t hash = 0xcbf29ce484222325ULL;
    for (const SourceStamp &file : sources.files)
        hash = Fnv1a(std::string_view(file.path.c_str(), file.path.size() + 1), hash);
    char name[64];
    std::snprintf(name, sizeof name, "%s%016llx%s", kSnapshotPrefix,
                  static_cast<unsigned long long>(hash), kSnapshotSuffix);
    return folder / name;
}

bool WriteIndexSnapshot(const fs::path &file, const IndexSources &sources, const EntryIndex &index,
                        const std::vector<std::string> &supplementRefs)
{
    if (index.englishCount < 0 || index.englishCount > kMaxRecords || index.greekCount < 0 ||
        index.greekCount > kMaxRecords)
        return false;
    Directory directory;
    const std::string sections = PutSections(index, supplementRefs, directory);

    Writer head;
    for (const SourceStamp &stamp : sources.files)
        PutStamp(head, stamp);
    PutStamp(head, sources.program);
    PutDirectory(head, directory);
    Writer header;
    header.str().append(kMagic, sizeof kMagic);
    header.Put(static_cast<uint64_t>(head.str().size() + sections.size()));
    header.str() += head.str();

    const fs::path folder = file.parent_path();
    if (!WriteWhole(file, folder, header.str(), sections))
        return false;
    Prune(folder);
    return true;
}

bool ReadIndexSnapshotBytes(std::string_view bytes, std::shared_ptr<const void> keep,
                            const IndexSources &sources, EntryIndex &index,
                            std::vector<std::string> &supplementRefs, SnapshotExtras *extras)
{
    constexpr size_t kHeader = sizeof kMagic + sizeof(uint64_t);
    if (bytes.size() < kHeader || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return false;
    Reader header(bytes.substr(sizeof kMagic, sizeof(uint64_t)));
    const std::string_view payload = bytes.substr(kHeader);
    if (header.Get<uint64_t>() != payload.size())
        return false;
    // The stamps first: an outdated snapshot is refused at once (the reads are bounded, so
    // unchecked bytes are safe to compare).
    Reader in(payload);
    for (const SourceStamp &expected : sources.files)
        if (!(GetStamp(in) == expected))
            return false;
    if (!(GetStamp(in) == sources.program))
        return false;
    const Directory d = GetDirectory(in);
    if (!in.ok() || d.englishCount > kMaxRecords || d.greekCount > kMaxRecords ||
        d.englishOrder > d.englishCount || d.greekOrder > d.greekCount)
        return false;
    // Every section is taken by its size alone: a lookup reads only the records it needs, and
    // each of their offsets is checked against its section when it is read.
    const std::string_view englishFields = in.GetBytes(size_t{d.englishCount} * kPackedRecordBytes);
    const std::string_view englishBlock = in.GetBytes(d.englishHeadwordBytes);
    const std::string_view greekFields = in.GetBytes(size_t{d.greekCount} * kPackedRecordBytes);
    const std::string_view greekBlock = in.GetBytes(d.greekHeadwordBytes);
    const std::string_view startBytes = in.GetBytes(kLetterStartBytes);
    std::array<FoldedTable, kFoldedForms> forms;
    for (int form = 0; form < kFoldedForms; ++form) {
        const uint32_t count = FormIsEnglish(form) ? d.englishCount : d.greekCount;
        const std::string_view ends = in.GetBytes((size_t{count} + 1) * 4);
        const std::string_view text = in.GetBytes(d.formBytes[form]);
        if (in.ok())
            forms[form].Map(text, ends.data(), count);
    }
    const std::string_view englishOrder = in.GetBytes(size_t{d.englishOrder} * 2);
    const std::string_view greekOrder = in.GetBytes(size_t{d.greekOrder} * 2);
    if (!in.ok() || d.refCount > in.Remaining() / 4)
        return false;
    std::vector<std::string> refs;
    refs.reserve(d.refCount);
    for (uint32_t i = 0; i < d.refCount && in.ok(); ++i)
        refs.emplace_back(in.GetText(1024));
    if (!in.AtEnd())
        return false;

    // References are numbered from the ones the caller already holds, as a load appends them.
    const auto refBase = static_cast<int32_t>(supplementRefs.size());
    index.englishHeadwords.Clear();
    index.greekHeadwords.Clear();
    index.english.Map(keep, englishFields.data(), d.englishCount, englishBlock, d.greekCount,
                      {refBase, static_cast<int32_t>(refs.size())});
    index.greek.Map(keep, greekFields.data(), d.greekCount, greekBlock, d.englishCount, {});
    index.englishCount = static_cast<int>(d.englishCount);
    index.greekCount = static_cast<int>(d.greekCount);
    supplementRefs.insert(supplementRefs.end(), std::make_move_iterator(refs.begin()),
                          std::make_move_iterator(refs.end()));
    if (extras != nullptr) {
        Reader starts(startBytes);
        for (uint16_t &start : extras->starts.english)
            start = starts.Get<uint16_t>();
        for (uint16_t &start : extras->starts.greek)
            start = starts.Get<uint16_t>();
        extras->forms = forms;
        extras->englishOrder = {englishOrder.data(), d.englishOrder};
        extras->greekOrder = {greekOrder.data(), d.greekOrder};
        extras->mapping = keep;
    }
    return true;
}

bool ReadIndexSnapshot(const fs::path &file, const IndexSources &sources, EntryIndex &index,
                       std::vector<std::string> &supplementRefs, SnapshotExtras *extras)
{
    auto mapped = std::make_shared<const MappedSnapshot>(file);
    const std::string_view bytes = mapped->bytes();
    return ReadIndexSnapshotBytes(bytes, std::move(mapped), sources, index, supplementRefs, extras);
}

IndexLoadStatus LoadEntryIndexCached(const ProgramPaths &paths, const IndexCache &cache,
                                     EntryIndex &index, std::vector<std::string> &supplementRefs,
                                     SnapshotExtras *extras)
{
    // Stamped before anything is read: a file that changes during the load then no longer
    // matches what the snapshot records, and the next load reads it again.
    const IndexSources sources = cache.folder.empty() ? IndexSources() : StampIndexSources(paths);
    if (!sources.program.exists) // no folder, or no way to tell one build from another
        return LoadEntryIndex(paths, index, supplementRefs);
    const fs::path file = IndexSnapshotFile(cache.folder, sources);
    if (ReadIndexSnapshot(file, sources, index, supplementRefs, extras))
        return {};
    // The records' references count from the first one the caller held: only a load that
    // started with none has references a snapshot can keep as they are.
    const bool refsFromZero = supplementRefs.empty();
    const IndexLoadStatus status = LoadEntryIndex(paths, index, supplementRefs);
    if (status.complete && refsFromZero && sources.SettledFor(cache.settleTime))
        WriteIndexSnapshot(file, sources, index, supplementRefs);
    return status;
}

} // namespace termdex
