// The in-memory headword index: two parallel tables of slots, English and Greek, loaded from the
// shipped index files and merged with the reader's own index files.
#pragma once

#include "data/paths.h"
#include "lib/text.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace termdex {

// A table has 30002 slots; the slot number is the record number. Slot 0 is never filled, so
// record number 0 (with its empty headword) stands for "no record".
constexpr int kTableSlots = 30002;
constexpr int kMaxRecords = kTableSlots - 1;

// An English record's kind, held as the letter that has always named it (the command line
// prints it, backups store it): 'L' a shipped entry, 'C' the reader's own, 'A' a shipped entry
// with the reader's supplement. Greek records and empty slots have none.
enum class EntryKind : char { None = 0, Shipped = 'L', Own = 'C', Supplemented = 'A' };
constexpr char KindLetter(EntryKind kind) { return static_cast<char>(kind); }

struct IndexRecord
{
    uint32_t id = 0; // entry number, shared by an entry's English and Greek record (5 digits)
    // Trailing blanks cut, and never a NUL (every parser cuts the column at its first one); the
    // bytes belong to the index's HeadwordStore.
    Cp1253View headword;
    int32_t descOffset = 0; // 'L'/'A': 0-based offset in data/Termdex.tbo; 'C': 1-based position
    int32_t descLength = 0; // 5 digits: wider than 16 bits, so no length wraps
    EntryKind kind = EntryKind::None;
    uint8_t matchStart = 0;    // 1-based position from which the start-with lookup compares
    int32_t supplementRef = 0; // 'A': index into the supplement references
    uint16_t greekIndex = 0;   // English record: its Greek record, 0 for none
    uint16_t englishIndex = 0; // Greek record: its English record, 0 when none was found
};

// The bytes of one table's headwords, kept in blocks that never move: a load stores 30,000
// headwords without a heap allocation each, and the records' views stay valid until the next
// load or Clear.
class HeadwordStore
{
public:
    HeadwordStore() = default;
    HeadwordStore(HeadwordStore &&) = default;
    HeadwordStore &operator=(HeadwordStore &&) = default;
    HeadwordStore(const HeadwordStore &) = delete;
    HeadwordStore &operator=(const HeadwordStore &) = delete;

    Cp1253View Store(Cp1253View text);
    // Forgets every text but keeps the blocks, so a reload reuses their memory.
    void Clear();

private:
    static constexpr size_t kBlockBytes = 256 * 1024;
    struct Block
    {
        std::unique_ptr<char[]> bytes;
        size_t size = 0;
    };
    std::vector<Block> m_blocks;
    size_t m_block = 0; // the block being filled
    size_t m_used = 0;  // bytes used in it
};

// The layout of one record in a snapshot (data/index_snapshot.cpp), read in place: the fields
// below in this order, each in the machine's byte order, the headword as an offset and a length
// in its table's headword block.
constexpr size_t kPackedRecordBytes = 4 + 4 + 4 + 4 + 4 + 2 + 2 + 2 + 1 + 1;

// One table of slots. After a load from the index files it is held in memory; after a load from
// a snapshot it reads the mapped file in place, so a lookup touches only the pages of the records
// it reads. Either way every slot outside 1..count reads as an empty record.
class RecordTable
{
public:
    // Record r; an empty record for slot 0, for slots past the table and for any r beyond it.
    // A mapped record's headword is empty when its offset or length points outside the block.
    IndexRecord operator[](size_t r) const
    {
        if (m_fields == nullptr)
            return r < m_held.size() ? m_held[r] : IndexRecord();
        return r >= 1 && r <= m_count ? Unpack(r) : IndexRecord();
    }
    size_t size() const { return kTableSlots; }
    // The writable slot r (below kTableSlots) of a held table; a mapped table is copied into
    // memory first (its headwords keep viewing the mapping).
    IndexRecord &Slot(size_t r);
    // Every slot emptied; the table is held in memory from here on.
    void Clear();
    // The supplement references a mapped table's records may name: refs of them, numbered
    // from base.
    struct RefRange
    {
        int32_t base = 0, refs = 0;
    };
    // Reads count records laid out as kPackedRecordBytes each at fields, their headwords in
    // headwords; mapping keeps the bytes alive. A link to the other table past linkLimit reads
    // as none, and so does a supplement reference outside refs.
    void Map(std::shared_ptr<const void> mapping, const char *fields, uint32_t count,
             Cp1253View headwords, uint32_t linkLimit, RefRange refs);
    bool Mapped() const { return m_fields != nullptr; }

private:
    IndexRecord Unpack(size_t r) const;

    std::vector<IndexRecord> m_held; // empty until the first write
    std::shared_ptr<const void> m_mapping;
    const char *m_fields = nullptr;
    uint32_t m_count = 0;
    Cp1253View m_headwords;
    uint32_t m_linkLimit = 0;
    RefRange m_refs;
};

struct EntryIndex
{
    RecordTable english, greek;
    int englishCount = 0; // records filled, numbered 1..englishCount
    int greekCount = 0;
    HeadwordStore englishHeadwords, greekHeadwords;

    EntryIndex() = default;
    EntryIndex(EntryIndex &&) = default;
    EntryIndex &operator=(EntryIndex &&) = default;
    // A copy holds its own headword bytes (or shares the mapped snapshot), so it outlives the
    // index it was copied from.
    EntryIndex(const EntryIndex &other);
    EntryIndex &operator=(const EntryIndex &other);
};

// Where a load stopped early, for callers that report it (the window stays quiet).
struct IndexLoadStatus
{
    bool complete = true;
    std::string failedFile; // the shipped file that was missing or unreadable, if any
};

// Builds both tables anew from the shipped and custom index files and appends one 13-character
// reference (8-digit 1-based position, 5-digit length) to supplementRefs per supplement line.
// A missing custom file means no custom entries; a bad shipped line ends that pass (and, in the
// English pass, the load) with the records read so far.
IndexLoadStatus LoadEntryIndex(const ProgramPaths &paths, EntryIndex &index,
                               std::vector<std::string> &supplementRefs);

// Parsers of one decoded index line; false for a line whose numeric columns are not numbers.
// The record's headword views the line: a loader stores it before the line goes.
bool ParseShippedEnglishLine(Cp1253View line, IndexRecord &record);
bool ParseShippedGreekLine(Cp1253View line, IndexRecord &record);

// The first slot at which the start-with scan begins for a key's first character: the first
// record whose folded headword (English: from matchStart) begins with that letter; 1 for a
// character that begins no headword. Computed once per load.
struct LetterStarts
{
    std::array<uint16_t, 26> english{}; // "a".."z"
    std::array<uint16_t, 25> greek{};   // 0xE1..0xF9, "α".."ω" with "ς"
    uint16_t EnglishStart(unsigned char firstKeyChar) const;
    uint16_t GreekStart(unsigned char firstKeyChar) const;
};
LetterStarts ComputeLetterStarts(const EntryIndex &index);

// The folded headwords that the lookup compares, as defined for the headword list: English is
// TrimLeft and ASCII lower-casing; Greek is GreekKey(TrimLeft, true) then lower-cased
// (locale-aware for the start-with mode, ASCII for the others).
Cp1253 FoldEnglishHeadword(Cp1253View headword);
Cp1253 FoldGreekHeadword(Cp1253View headword, bool localeLower);

} // namespace termdex
