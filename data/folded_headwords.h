// The folded forms of every headword that the lookup compares, computed once per load of the
// index so that a keystroke folds no headword. Each form is built on its first use after a load
// and kept in one flat buffer per form, which a scan reads in table order.
#pragma once

#include "data/entry_index.h"
#include "lib/text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace termdex {

// One folded text per record of a table; record 0 and records past the count are empty.
class FoldedTable
{
public:
    Cp1253View At(int record) const
    {
        if (record < 1 || static_cast<size_t>(record) >= m_ends.size())
            return {};
        return Cp1253View(m_bytes).substr(m_ends[record - 1], m_ends[record] - m_ends[record - 1]);
    }
    bool Built() const { return !m_ends.empty(); }
    void Clear();
    // Appends the next record's text (records are added from 1 in order).
    void Begin(size_t records, size_t bytes);
    void Append(Cp1253View text);
    // Takes a whole table at once: bytes, and ends as m_ends below.
    void Assign(std::string bytes, std::vector<uint32_t> ends);

private:
    std::string m_bytes;
    std::vector<uint32_t> m_ends; // m_ends[r] = end of record r's text; m_ends[0] = 0
};

// The folded forms of one loaded index. Not thread-safe: one window thread builds and reads it.
class FoldedHeadwords
{
public:
    // Forgets every form; the next use folds the given index anew. The index must outlive this.
    void Reset(const EntryIndex *index);

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

private:
    const EntryIndex *m_index = nullptr;
    FoldedTable m_english, m_greekLocale, m_greekAscii, m_englishExact, m_greekExact;
};

} // namespace termdex
