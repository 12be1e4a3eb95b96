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
constexpr char kMagic[8] = {'T', 'D', 'X', 'I', 'D', 'X', '0', '3'};
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

// A checksum of the payload that runs at memory speed: four independent lanes of 8-byte words,
// so a damaged or half-written snapshot is refused before any of it is used.
uint64_t Checksum(std::string_view bytes)
{
    constexpr uint64_t kPrime = 0x9E3779B97F4A7C15ULL;
    uint64_t lanes[4] = {1, 2, 3, 4};
    size_t i = 0;
    for (; i + 32 <= bytes.size(); i += 32)
        for (int l = 0; l < 4; ++l) {
            uint64_t word;
            std::memcpy(&word, bytes.data() + i + 8 * l, 8);
            lanes[l] = (lanes[l] ^ word) * kPrime;
            lanes[l] ^= lanes[l] >> 31;
        }
    uint64_t hash = Fnv1a(bytes.substr(i), bytes.size());
    for (uint64_t lane : lanes)
        hash = (hash ^ lane) * kPrime;
    return hash ^ (hash >> 29);
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

// The bytes of one record after its table's headword block: the fields that the table uses
// (a Greek record has only its id, its English record and its headword), the headword given by
// its length, as the headwords follow each other in the block in record order.
constexpr size_t kEnglishRecordBytes = 4 + 4 + 4 + 1 + 1 + 4 + 2 + 2;
constexpr size_t kGreekRecordBytes = 4 + 2 + 2;

template <typename T> void Take(const char *&p, T &value)
{
    std::memcpy(&value, p, sizeof(T));
    p += sizeof(T);
}

// One table: its count, its headword block, then its records 1..count.
void PutTable(Writer &out, const std::vector<IndexRecord> &table, int count, bool english)
{
    out.Put(static_cast<uint32_t>(count));
    size_t bytes = 0;
    for (int r = 1; r <= count; ++r)
        bytes += table[static_cast<size_t>(r)].headword.size();
    out.Put(static_cast<uint32_t>(bytes));
    for (int r = 1; r <= count; ++r)
        out.str().append(table[static_cast<size_t>(r)].headword);
    for (int r = 1; r <= count; ++r) {
        const IndexRecord &record = table[static_cast<size_t>(r)];
        out.Put(record.id);
        if (english) {
            out.Put(record.descOffset);
            out.Put(record.descLength);
            out.Put(record.kind);
            out.Put(record.matchStart);
            out.Put(record.supplementRef);
            out.Put(record.greekIndex);
        } else {
            out.Put(record.englishIndex);
        }
        out.Put(static_cast<uint16_t>(record.headword.size()));
    }
}

// Reads one table into slots 1..count, emptying the slots after it. The headword block goes
// into the table's store in one piece, and every record's headword views it.
bool GetTable(Reader &in, std::vector<IndexRecord> &table, HeadwordStore &headwords, int &count,
              bool english)
{
    const uint32_t records = in.Get<uint32_t>();
    if (!in.ok() || records > static_cast<uint32_t>(kMaxRecords))
        return false;
    const Cp1253View block = headwords.Store(in.GetText(std::numeric_limits<uint32_t>::max()));
    const size_t recordBytes = english ? kEnglishRecordBytes : kGreekRecordBytes;
    const std::string_view fields = in.GetBytes(records * recordBytes);
    if (!in.ok())
        return false;
    count = static_cast<int>(records);
    table.resize(kTableSlots);
    std::fill(table.begin() + count + 1, table.end(), IndexRecord());
    table[0] = IndexRecord();
    const char *p = fields.data();
    size_t offset = 0;
    for (uint32_t r = 1; r <= records; ++r) {
        IndexRecord &record = table[r];
        record = IndexRecord();
        Take(p, record.id);
        if (english) {
            Take(p, record.descOffset);
            Take(p, record.descLength);
            Take(p, record.kind);
            Take(p, record.matchStart);
            Take(p, record.supplementRef);
            Take(p, record.greekIndex);
        } else {
            Take(p, record.englishIndex);
        }
        uint16_t length = 0;
        Take(p, length);
        if (length > block.size() - offset)
            return false;
        record.headword = block.substr(offset, length);
        offset += length;
    }
    return offset == block.size();
}

// The links between the tables and to the supplement references point where they may.
bool Consistent(const EntryIndex &index, size_t supplementRefs)
{
    for (int r = 1; r <= index.englishCount; ++r) {
        const IndexRecord &record = index.english[static_cast<size_t>(r)];
        if (record.greekIndex > index.greekCount || record.supplementRef < 0 ||
            (record.kind == EntryKind::Supplemented &&
             static_cast<size_t>(record.supplementRef) >= supplementRefs))
            return false;
    }
    for (int r = 1; r <= index.greekCount; ++r)
        if (index.greek[static_cast<size_t>(r)].englishIndex > index.englishCount)
            return false;
    return true;
}

// A snapshot mapped read-only for the time of one read: its pages come from the page cache
// without a copy or fresh memory. The program never shortens a snapshot in place (a new one is
// renamed over it, and the mapping keeps the old file), so the mapping stays whole.
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

} // namespace

fs::path DefaultIndexCacheFolder()
{
    const char *off = std::getenv("TERMDEX_NO_INDEX_CACHE");
    if (off && *off && std::strcmp(off, "0") != 0)
        return {};
    // Relative values are ignored, as the XDG base-directory rules ask.
    if (const char *cache = std::getenv("XDG_CACHE_HOME"); cache && *cache == '/')
        return fs::path(cache) / "Termdex";
    if (const char *home = std::getenv("HOME"); home && *home == '/')
        return fs::path(home) / ".cache" / "Termdex";
    return {};
}

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
    Writer payload;
    for (const SourceStamp &stamp : sources.files)
        PutStamp(payload, stamp);
    PutStamp(payload, sources.program);
    PutTable(payload, index.english, index.englishCount, true);
    PutTable(payload, index.greek, index.greekCount, false);
    payload.Put(static_cast<uint32_t>(supplementRefs.size()));
    for (const std::string &ref : supplementRefs)
        payload.PutText(ref);

    Writer header;
    header.str().append(kMagic, sizeof kMagic);
    header.Put(static_cast<uint64_t>(payload.str().size()));
    header.Put(Checksum(payload.str()));

    std::error_code ec;
    const fs::path folder = file.parent_path();
    fs::create_directories(folder, ec);
    std::string temporary = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool written = true;
    for (const std::string *part : {&header.str(), &payload.str()}) {
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
    Prune(folder);
    return true;
}

bool ReadIndexSnapshot(const fs::path &file, const IndexSources &sources, EntryIndex &index,
                       std::vector<std::string> &supplementRefs)
{
    const MappedSnapshot mapped(file);
    const std::string_view bytes = mapped.bytes();
    constexpr size_t kHeader = sizeof kMagic + 2 * sizeof(uint64_t);
    if (bytes.size() < kHeader || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return false;
    Reader header(bytes.substr(sizeof kMagic, 2 * sizeof(uint64_t)));
    const auto size = header.Get<uint64_t>();
    const auto checksum = header.Get<uint64_t>();
    const std::string_view payload = bytes.substr(kHeader);
    if (size != payload.size())
        return false;
    // The stamps first: an outdated snapshot is refused without a pass over all of it (the
    // reads are bounded, so unchecked bytes are safe to compare).
    Reader in(payload);
    for (const SourceStamp &expected : sources.files)
        if (!(GetStamp(in) == expected))
            return false;
    if (!(GetStamp(in) == sources.program) || Checksum(payload) != checksum)
        return false;
    index.englishHeadwords.Clear();
    index.greekHeadwords.Clear();
    if (!GetTable(in, index.english, index.englishHeadwords, index.englishCount, true) ||
        !GetTable(in, index.greek, index.greekHeadwords, index.greekCount, false))
        return false;
    const uint32_t refCount = in.Get<uint32_t>();
    if (!in.ok() || refCount > payload.size())
        return false;
    std::vector<std::string> refs;
    refs.reserve(refCount);
    for (uint32_t i = 0; i < refCount && in.ok(); ++i)
        refs.emplace_back(in.GetText(1024));
    if (!in.AtEnd() || !Consistent(index, refs.size()))
        return false;
    // References are numbered from the ones the caller already holds, as a load appends them.
    if (!supplementRefs.empty())
        for (int r = 1; r <= index.englishCount; ++r)
            if (index.english[static_cast<size_t>(r)].kind == EntryKind::Supplemented)
                index.english[static_cast<size_t>(r)].supplementRef +=
                    static_cast<int32_t>(supplementRefs.size());
    supplementRefs.insert(supplementRefs.end(), std::make_move_iterator(refs.begin()),
                          std::make_move_iterator(refs.end()));
    return true;
}

IndexLoadStatus LoadEntryIndexCached(const ProgramPaths &paths, const IndexCache &cache,
                                     EntryIndex &index, std::vector<std::string> &supplementRefs)
{
    // Stamped before anything is read: a file that changes during the load then no longer
    // matches what the snapshot records, and the next load reads it again.
    const IndexSources sources = cache.folder.empty() ? IndexSources() : StampIndexSources(paths);
    if (!sources.program.exists) // no folder, or no way to tell one build from another
        return LoadEntryIndex(paths, index, supplementRefs);
    const fs::path file = IndexSnapshotFile(cache.folder, sources);
    if (ReadIndexSnapshot(file, sources, index, supplementRefs))
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
