#include "data/entry_index.h"

#include "data/index_line.h"
#include "lib/codecs.h"
#include "lib/files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <future>
#include <system_error>
#include <unistd.h>

namespace termdex {
namespace {

// An index file of 30001 lines of 152 characters is under 5 MB; anything far larger is not one.
constexpr int64_t kMaxIndexFileBytes = 64LL * 1024 * 1024;

// Lines of a file held in memory, split at CR LF, LF or CR, without copying.
class LineReader
{
public:
    explicit LineReader(std::string_view text) : m_text(text) {}
    bool Next(std::string_view &line)
    {
        if (m_pos >= m_text.size())
            return false;
        // The line ends at its first CR or LF. Two memchr scans: find_first_of would test
        // every byte of the file against the set one call at a time.
        const char *begin = m_text.data() + m_pos;
        const size_t rest = m_text.size() - m_pos;
        const void *lf = std::memchr(begin, '\n', rest);
        const size_t untilLf = lf ? static_cast<const char *>(lf) - begin : rest;
        const void *cr = std::memchr(begin, '\r', untilLf);
        const size_t end = m_pos + (cr ? static_cast<const char *>(cr) - begin : untilLf);
        line = m_text.substr(m_pos, end - m_pos);
        m_pos = end;
        if (m_pos < m_text.size() && m_text[m_pos] == '\r')
            ++m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '\n')
            ++m_pos;
        return true;
    }

private:
    std::string_view m_text;
    size_t m_pos = 0;
};

// The lines of a shipped index file, read through one buffer of a few hundred kilobytes, so a
// load neither holds nor faults in a copy of the whole file. A line is valid until the next
// call; a "line" longer than the longest the buffer may grow to comes back cut in pieces.
class FileLines
{
public:
    explicit FileLines(const std::filesystem::path &path)
    {
        // Only a regular file: fopen would wait for ever on a named pipe.
        const int fd = OpenRegularFile(path);
        if (fd >= 0 && !(m_file = ::fdopen(fd, "rb")))
            ::close(fd);
        m_buffer.resize(kChunk);
    }
    ~FileLines()
    {
        if (m_file)
            std::fclose(m_file);
    }
    FileLines(const FileLines &) = delete;
    FileLines &operator=(const FileLines &) = delete;
    bool IsOpen() const { return m_file != nullptr; }

    bool Next(std::string_view &line)
    {
        for (;;) {
            const char *begin = m_buffer.data() + m_pos;
            const size_t rest = m_end - m_pos;
            const void *lf = std::memchr(begin, '\n', rest);
            const size_t untilLf = lf ? static_cast<const char *>(lf) - begin : rest;
            const void *cr = std::memchr(begin, '\r', untilLf);
            const size_t length = cr ? static_cast<const char *>(cr) - begin : untilLf;
            // A CR as the last byte read may be the first half of a CR LF: read on first.
            const bool complete = (lf || cr) && !(cr && !lf && length + 1 == rest && !m_eof);
            if (complete || (m_eof && rest > 0) || rest >= kLongestLine) {
                line = std::string_view(begin, length);
                m_pos += length;
                if (m_pos < m_end && m_buffer[m_pos] == '\r')
                    ++m_pos;
                if (m_pos < m_end && m_buffer[m_pos] == '\n')
                    ++m_pos;
                return true;
            }
            if (m_eof)
                return false;
            Refill();
        }
    }

private:
    static constexpr size_t kChunk = 256 * 1024;
    static constexpr size_t kLongestLine = 4 * 1024 * 1024;

    void Refill()
    {
        std::memmove(m_buffer.data(), m_buffer.data() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
        if (m_buffer.size() - m_end < kChunk / 2)
            m_buffer.resize(m_buffer.size() * 2);
        const size_t got =
            m_file ? std::fread(m_buffer.data() + m_end, 1, m_buffer.size() - m_end, m_file) : 0;
        m_end += got;
        if (got == 0)
            m_eof = true;
    }

    std::FILE *m_file = nullptr;
    std::string m_buffer;
    size_t m_pos = 0, m_end = 0;
    bool m_eof = false;
};

// The reader's index file, decoded line by line as the merge asks for the next line.
class CustomLines
{
public:
    explicit CustomLines(const std::string &path)
    {
        if (!path.empty())
            if (auto text = ReadWholeFile(path, kMaxIndexFileBytes))
                m_text = std::move(*text);
        m_reader = LineReader(m_text);
        Advance();
    }
    // The anchor of the pending line: -5 at the end of the file (no id equals it), and also
    // after a line whose anchor or own id is not a number, which ends the merge rather than
    // the whole load.
    long long anchor() const { return m_anchor; }
    const Cp1253 &line() const { return m_line; }
    long long ownId() const { return m_ownId; }
    bool IsSupplement() const
    {
        return ColumnOf(m_line, CustomEnglishLayout::anchor) ==
               ColumnOf(m_line, CustomEnglishLayout::ownId);
    }
    void Advance()
    {
        std::string_view coded;
        m_anchor = -5;
        if (!m_reader.Next(coded))
            return;
        m_line = ShiftCodec(coded, true);
        long long anchor = 0;
        if (ReadNumber(m_line, CustomEnglishLayout::anchor, anchor) &&
            ReadNumber(m_line, CustomEnglishLayout::ownId, m_ownId))
            m_anchor = anchor;
    }

private:
    std::string m_text;
    LineReader m_reader{std::string_view()};
    Cp1253 m_line;
    long long m_anchor = -5;
    long long m_ownId = 0;
};

// English slots grouped by id, so the pairing search ("the first English record at or after a
// slot with this id") is a binary search instead of a walk that may run the whole table. Ids
// come from five-digit columns, so a counting sort groups them in one pass.
class SlotsById
{
public:
    static constexpr uint32_t kIds = 100000;
    explicit SlotsById(const EntryIndex &index) : m_first(kIds + 1, 0)
    {
        for (int r = 1; r <= index.englishCount; ++r)
            if (index.english[r].id < kIds)
                ++m_first[index.english[r].id + 1];
        for (uint32_t id = 0; id < kIds; ++id)
            m_first[id + 1] += m_first[id];
        m_slots.resize(m_first[kIds]);
        std::vector<int> next(m_first.begin(), m_first.end() - 1);
        for (int r = 1; r <= index.englishCount; ++r) // ascending, so each group is sorted
            if (index.english[r].id < kIds)
                m_slots[next[index.english[r].id]++] = r;
    }
    // 0 when no English record with that id stands at or after start.
    int Find(uint32_t id, int start) const
    {
        if (id >= kIds)
            return 0;
        const auto begin = m_slots.begin() + m_first[id], end = m_slots.begin() + m_first[id + 1];
        const auto it = std::lower_bound(begin, end, start);
        return it != end ? *it : 0;
    }

private:
    std::vector<int> m_first; // m_first[id] .. m_first[id + 1]: the slots of id in m_slots
    std::vector<int> m_slots;
};

bool LoadEnglish(const ProgramPaths &paths, EntryIndex &index,
                 std::vector<std::string> &supplementRefs, IndexLoadStatus &status)
{
    const auto path = paths.ShippedEnglishIndex();
    FileLines lines(path);
    if (!lines.IsOpen() || !FileExists(path)) {
        status = {false, path.string()};
        return false;
    }
    CustomLines custom(FileExists(paths.customIndexPath) ? paths.customIndexPath : std::string());
    HeadwordStore &headwords = index.englishHeadwords;
    std::string_view coded;
    Cp1253 decoded;
    int r = 0;
    for (int32_t n = 1; r < kMaxRecords && lines.Next(coded); ++n) {
        IndexRecord &record = index.english.Slot(++r);
        MirrorDecodeInto(n, coded, decoded);
        if (!ParseShippedEnglishLine(decoded, record)) {
            record = IndexRecord();
            index.englishCount = r - 1;
            status = {false, path.string()};
            return false;
        }
        record.headword = headwords.Store(record.headword);
        while (custom.anchor() == static_cast<long long>(record.id)) {
            using L = CustomEnglishLayout;
            const Cp1253 &line = custom.line();
            long long offset = 0, length = 0;
            if (custom.IsSupplement()) {
                record.kind = EntryKind::Supplemented;
                supplementRefs.emplace_back(ColumnOf(line, L::reference));
                record.supplementRef = static_cast<int32_t>(supplementRefs.size() - 1);
            } else if (r < kMaxRecords && ReadNumber(line, L::position, offset) &&
                       ReadNumber(line, L::length, length)) {
                IndexRecord &own = index.english.Slot(++r);
                own.id = static_cast<uint32_t>(custom.ownId());
                own.headword = headwords.Store(ReadText(line, L::headword));
                own.descOffset = static_cast<int32_t>(offset);
                own.descLength = static_cast<int32_t>(length);
                own.kind = EntryKind::Own;
                own.matchStart = 1;
            }
            custom.Advance();
        }
    }
    index.englishCount = r;
    return true;
}

// How the reading of the shipped Greek file went.
struct ShippedGreekLines
{
    bool opened = false;
    bool stoppedAtBadLine = false; // a line that was not a record ended the reading
    int count = 0;                 // records read into slots 1..count
};

// The shipped Greek lines, decoded and parsed straight into the Greek table on a thread of
// their own while the English pass runs: they need nothing from it until they are paired.
ShippedGreekLines ReadShippedGreekLines(const std::filesystem::path &path, EntryIndex &index)
{
    ShippedGreekLines result;
    FileLines lines(path);
    if (!lines.IsOpen() || !FileExists(path))
        return result;
    result.opened = true;
    std::string_view coded;
    Cp1253 decoded;
    for (int32_t n = 1; result.count < kMaxRecords && lines.Next(coded); ++n) {
        IndexRecord &record = index.greek.Slot(static_cast<size_t>(result.count) + 1);
        MirrorDecodeInto(n, coded, decoded);
        if (!ParseShippedGreekLine(decoded, record)) {
            record = IndexRecord();
            result.stoppedAtBadLine = true;
            break;
        }
        record.headword = index.greekHeadwords.Store(record.headword);
        ++result.count;
    }
    return result;
}

// Merges the reader's Greek lines into the shipped records of slots 1..shipped.count (each
// custom line after the shipped record whose id its anchor names, as far as the anchors follow
// the shipped order) and pairs every Greek record with its English one.
void LoadGreek(const ProgramPaths &paths, EntryIndex &index, const ShippedGreekLines &shipped,
               IndexLoadStatus &status)
{
    if (!shipped.opened) {
        status = {false, paths.ShippedGreekIndex().string()};
        return;
    }
    // Which custom lines follow which shipped record; the rest of the custom file is ignored.
    struct Insertion
    {
        int after; // the shipped record's slot before the merge
        uint32_t id;
        Cp1253View headword;
    };
    std::vector<Insertion> insertions;
    CustomLines custom(FileExists(paths.customGreekIndexPath) ? paths.customGreekIndexPath
                                                              : std::string());
    for (int i = 1; i <= shipped.count && custom.anchor() >= 0; ++i) {
        while (custom.anchor() == static_cast<long long>(index.greek[i].id)) {
            insertions.push_back(
                {i, static_cast<uint32_t>(custom.ownId()),
                 index.greekHeadwords.Store(ReadText(custom.line(), CustomGreekLayout::headword))});
            custom.Advance();
        }
    }
    // Each shipped record moves up by the insertions before it. Moving from the back, no record
    // is overwritten before it has moved; whatever lands past the table's end is dropped.
    const int total = shipped.count + static_cast<int>(insertions.size());
    std::vector<bool> own(static_cast<size_t>(std::min(total, kMaxRecords)) + 1, false);
    size_t k = insertions.size();
    for (int i = shipped.count; i >= 1; --i) {
        for (; k > 0 && insertions[k - 1].after == i; --k) {
            const int slot = i + static_cast<int>(k);
            if (slot <= kMaxRecords) {
                IndexRecord &record = index.greek.Slot(slot);
                record = IndexRecord();
                record.id = insertions[k - 1].id;
                record.headword = insertions[k - 1].headword;
                own[slot] = true;
            }
        }
        const int slot = i + static_cast<int>(k);
        if (slot <= kMaxRecords && slot != i)
            index.greek.Slot(slot) = index.greek[i];
    }
    index.greekCount = std::min(total, kMaxRecords);
    // The bad line counts only when the load got as far as it (the table may fill first).
    if (shipped.stoppedAtBadLine && total < kMaxRecords)
        status = {false, paths.ShippedGreekIndex().string()};

    // Paired in table order, as a later Greek record of the same entry takes the English
    // record's reference. A shipped record looks from five slots before its id on.
    const SlotsById english(index);
    for (int r = 1; r <= index.greekCount; ++r) {
        IndexRecord &record = index.greek.Slot(r);
        const int start = own[r] ? 1 : record.id >= 6 ? static_cast<int>(record.id) - 5 : 1;
        record.englishIndex = static_cast<uint16_t>(english.Find(record.id, start));
        if (record.englishIndex != 0)
            index.english.Slot(record.englishIndex).greekIndex = static_cast<uint16_t>(r);
    }
}

} // namespace

bool ParseShippedEnglishLine(Cp1253View line, IndexRecord &record)
{
    using L = ShippedEnglishLayout;
    long long id = 0, offset = 0, length = 0, matchStart = 0;
    if (!ReadNumber(line, L::id, id) || !ReadNumber(line, L::descOffset, offset) ||
        !ReadNumber(line, L::descLength, length) || !ReadNumber(line, L::matchStart, matchStart))
        return false;
    record = IndexRecord();
    record.id = static_cast<uint32_t>(id);
    record.headword = ReadText(line, L::headword);
    record.descOffset = static_cast<int32_t>(offset);
    record.descLength = static_cast<int32_t>(length);
    record.kind = EntryKind::Shipped;
    record.matchStart = static_cast<uint8_t>(matchStart);
    return true;
}

bool ParseShippedGreekLine(Cp1253View line, IndexRecord &record)
{
    long long id = 0;
    if (!ReadNumber(line, ShippedGreekLayout::id, id))
        return false;
    record = IndexRecord();
    record.id = static_cast<uint32_t>(id);
    record.headword = ReadText(line, ShippedGreekLayout::headword);
    return true;
}

Cp1253View HeadwordStore::Store(Cp1253View text)
{
    if (text.empty())
        return {};
    while (m_block < m_blocks.size() && m_blocks[m_block].size - m_used < text.size()) {
        ++m_block;
        m_used = 0;
    }
    if (m_block == m_blocks.size()) {
        const size_t size = std::max(kBlockBytes, text.size());
        m_blocks.push_back({std::make_unique_for_overwrite<char[]>(size), size});
        m_used = 0;
    }
    char *at = m_blocks[m_block].bytes.get() + m_used;
    std::memcpy(at, text.data(), text.size());
    m_used += text.size();
    return {at, text.size()};
}

void HeadwordStore::Clear()
{
    m_block = 0;
    m_used = 0;
}

IndexRecord &RecordTable::Slot(size_t r)
{
    if (m_fields != nullptr) {
        std::vector<IndexRecord> held(kTableSlots);
        for (size_t i = 1; i <= m_count; ++i)
            held[i] = Unpack(i);
        m_held = std::move(held);
        m_fields = nullptr;
        m_count = 0;
    } else if (m_held.size() < kTableSlots) {
        m_held.resize(kTableSlots);
    }
    return m_held[r < kTableSlots ? r : 0];
}

void RecordTable::Clear()
{
    m_held.assign(kTableSlots, IndexRecord());
    m_mapping.reset();
    m_fields = nullptr;
    m_count = 0;
    m_headwords = {};
}

void RecordTable::Map(std::shared_ptr<const void> mapping, const char *fields, uint32_t count,
                      Cp1253View headwords, uint32_t linkLimit, RefRange refs)
{
    m_held = {};
    m_mapping = std::move(mapping);
    m_fields = fields;
    m_count = std::min(count, static_cast<uint32_t>(kMaxRecords));
    m_headwords = headwords;
    m_linkLimit = linkLimit;
    m_refs = refs;
}

namespace {

template <typename T> T TakeField(const char *&p)
{
    T value;
    std::memcpy(&value, p, sizeof(T));
    p += sizeof(T);
    return value;
}

} // namespace

IndexRecord RecordTable::Unpack(size_t r) const
{
    const char *p = m_fields + (r - 1) * kPackedRecordBytes;
    IndexRecord record;
    record.id = TakeField<uint32_t>(p);
    record.descOffset = TakeField<int32_t>(p);
    record.descLength = TakeField<int32_t>(p);
    record.supplementRef = TakeField<int32_t>(p);
    const auto offset = TakeField<uint32_t>(p);
    const auto length = TakeField<uint16_t>(p);
    record.greekIndex = TakeField<uint16_t>(p);
    record.englishIndex = TakeField<uint16_t>(p);
    // A snapshot is a cache anyone may damage: a letter that names no kind reads as none.
    switch (const char letter = TakeField<char>(p)) {
    case KindLetter(EntryKind::Shipped):
    case KindLetter(EntryKind::Own):
    case KindLetter(EntryKind::Supplemented):
        record.kind = static_cast<EntryKind>(letter);
        break;
    default:
        record.kind = EntryKind::None;
    }
    record.matchStart = TakeField<uint8_t>(p);
    if (offset <= m_headwords.size() && length <= m_headwords.size() - offset)
        record.headword = m_headwords.substr(offset, length);
    if (record.greekIndex > m_linkLimit)
        record.greekIndex = 0;
    if (record.englishIndex > m_linkLimit)
        record.englishIndex = 0;
    // The references of a load count on from those the caller held before it.
    if (record.kind == EntryKind::Supplemented)
        record.supplementRef = record.supplementRef >= 0 && record.supplementRef < m_refs.refs
                                   ? record.supplementRef + m_refs.base
                                   : -1;
    return record;
}

EntryIndex::EntryIndex(const EntryIndex &other) { *this = other; }

EntryIndex &EntryIndex::operator=(const EntryIndex &other)
{
    if (this == &other)
        return *this;
    english = other.english;
    greek = other.greek;
    englishCount = other.englishCount;
    greekCount = other.greekCount;
    englishHeadwords.Clear();
    greekHeadwords.Clear();
    // A mapped table's headwords view the mapping, which the copy shares.
    for (auto [table, store] : {std::pair{&english, &englishHeadwords}, {&greek, &greekHeadwords}})
        if (!table->Mapped())
            for (size_t r = 1; r <= static_cast<size_t>(kMaxRecords); ++r)
                if (const IndexRecord record = (*table)[r]; !record.headword.empty())
                    table->Slot(r).headword = store->Store(record.headword);
    return *this;
}

IndexLoadStatus LoadEntryIndex(const ProgramPaths &paths, EntryIndex &index,
                               std::vector<std::string> &supplementRefs)
{
    // Emptied in place: the slots and headword blocks keep their memory, so a load (and the
    // first one, into the tables the caller made) does not fault in a second pair of tables.
    index.english.Clear();
    index.greek.Clear();
    index.englishHeadwords.Clear();
    index.greekHeadwords.Clear();
    index.englishCount = 0;
    index.greekCount = 0;
    IndexLoadStatus status;
    // Two cores read the two files at once, each into its own table and headword store;
    // without a thread the Greek lines are read after the English ones.
    const auto greekPath = paths.ShippedGreekIndex();
    auto readGreek = [&] { return ReadShippedGreekLines(greekPath, index); };
    std::future<ShippedGreekLines> greek;
    try {
        greek = std::async(std::launch::async, readGreek);
    } catch (const std::system_error &) {
        greek = std::async(std::launch::deferred, readGreek);
    }
    const bool englishLoaded = LoadEnglish(paths, index, supplementRefs, status);
    const ShippedGreekLines shipped = greek.get();
    if (englishLoaded)
        LoadGreek(paths, index, shipped, status);
    else
        index.greek.Clear();
    return status;
}

} // namespace termdex
