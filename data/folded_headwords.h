// The folded forms of every headword that the lookup compares, computed once per load of the
// index so that a keystroke folds no headword. Each form is built on its first use after a load
// and kept in one flat buffer per form, which a scan reads in table order.
#pragma once

#include "data/entry_index.h"
#include "lib/text.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace termdex {

// One folded text per record of a table; record 0 and records past the count are empty.
class FoldedTable
{
public:
    Cp1253View At(int record) const
    {
        if (m_mappedEnds != nullptr)
            return MappedAt(record);
        if (record < 1 || static_cast<size_t>(record) >= m_ends.size())
            return {};
        return Cp1253View(m_bytes).substr(m_ends[record - 1], m_ends[record] - m_ends[record - 1]);
    }
    bool Built() const { return !m_ends.empty() || m_mappedEnds != nullptr; }
    void Clear();
    // Appends the next record's text (records are added from 1 in order).
    void Begin(size_t records, size_t bytes);
    void Append(Cp1253View text);
    // Takes a whole table at once: bytes, and ends as m_ends below.
    void Assign(std::string bytes, std::vector<uint32_t> ends);
    // Reads a table in place: records + 1 ends (32-bit, the machine's byte order, unaligned) at
    // ends, into bytes. An end that runs backwards or past bytes gives its record no text.
    void Map(Cp1253View bytes, const char *ends, uint32_t records);

private:
    Cp1253View MappedAt(int record) const;

    std::string m_bytes;
    std::vector<uint32_t> m_ends; // m_ends[r] = end of record r's text; m_ends[0] = 0
    Cp1253View m_mappedBytes;
    const char *m_mappedEnds = nullptr;
    uint32_t m_mappedRecords = 0;
};

// The forms, in the order a snapshot stores them.
enum class FoldedForm { English, GreekLocale, GreekAscii, EnglishExact, GreekExact };
constexpr int kFoldedForms = 5;

// Record numbers (16-bit, unaligned) in the order of their exact forms, for a binary search.
struct ExactOrder
{
    const char *records = nullptr;
    uint32_t size = 0;
};

// The folded forms of one loaded index. Not thread-safe: one window thread builds and reads it.
class FoldedHeadwords
{
public:
    // Forgets every form; the next use folds the given index anew. The index must outlive this.
    void Reset(const EntryIndex *index);
    // Takes every form and both exact orders ready-made from a snapshot, which mapping keeps.
    void Adopt(const EntryIndex *index, std::shared_ptr<const void> mapping,
               const std::array<FoldedTable, kFoldedForms> &forms, ExactOrder english,
               ExactOrder greek);

    // English: TrimLeft and ASCII lower-casing (every mode).
    const FoldedTable &English();
    // Greek: GreekKey(TrimLeft, true) lowered as the locale does (the start-with mode) ...
    const FoldedTable &GreekLocale();
    // ... or with ASCII lower-casing (the other modes).
    const FoldedTable &GreekAscii();
    // The headword side of the typed-text exact-match test: English LocaleLower(LatinKey(h, true));
    // Greek GreekKey(h, true).
    const FoldedTable &EnglishExact();
    const FoldedTable &GreekExact();
    const FoldedTable &Form(FoldedForm form);

    // Whether the exact orders came with the forms (they do from a snapshot only).
    bool HasExactOrder() const { return m_hasOrder; }
    // The records whose exact form (EnglishExact or GreekExact) is key, found by a binary search
    // of the exact order; empty without one.
    std::vector<int> ExactRecords(Cp1253View key, bool greek);
    // The order of a table's records (1..count) with a non-empty exact form, by that form.
    std::vector<uint16_t> SortedByExactForm(bool greek);

private:
    const EntryIndex *m_index = nullptr;
    FoldedTable m_english, m_greekLocale, m_greekAscii, m_englishExact, m_greekExact;
    std::shared_ptr<const void> m_mapping;
    ExactOrder m_englishOrder, m_greekOrder;
    bool m_hasOrder = false;
};

} // namespace termdex
