#include "data/folded_headwords.h"

#include "lib/folding.h"

namespace termdex {
namespace {

template <typename Fold>
void Build(FoldedTable &table, const std::vector<IndexRecord> &records, int count, Fold fold)
{
    size_t bytes = 0;
    for (int r = 1; r <= count; ++r)
        bytes += records[r].headword.size();
    table.Begin(static_cast<size_t>(count), bytes);
    for (int r = 1; r <= count; ++r)
        table.Append(fold(records[r].headword));
}

} // namespace

void FoldedTable::Clear()
{
    m_bytes.clear();
    m_ends.clear();
}

void FoldedTable::Begin(size_t records, size_t bytes)
{
    Clear();
    m_bytes.reserve(bytes);
    m_ends.reserve(records + 1);
    m_ends.push_back(0);
}

void FoldedTable::Append(Cp1253View text)
{
    m_bytes.append(text);
    m_ends.push_back(static_cast<uint32_t>(m_bytes.size()));
}

void FoldedTable::Assign(std::string bytes, std::vector<uint32_t> ends)
{
    m_bytes = std::move(bytes);
    m_ends = std::move(ends);
}

void FoldedHeadwords::Reset(const EntryIndex *index)
{
    m_index = index;
    for (FoldedTable *table :
         {&m_english, &m_greekLocale, &m_greekAscii, &m_englishExact, &m_greekExact})
        table->Clear();
}

const FoldedTable &FoldedHeadwords::English()
{
    if (!m_english.Built() && m_index != nullptr) {
        // TrimLeft and ASCII lower-casing in one branch-free pass over the headword bytes
        // (which hold no NUL), written straight into one buffer: the form every English
        // keystroke needs first, built at the first one.
        const auto &records = m_index->english;
        const int count = m_index->englishCount;
        size_t total = 0;
        for (int r = 1; r <= count; ++r)
            total += records[r].headword.size();
        std::string bytes(total, '\0');
        std::vector<uint32_t> ends;
        ends.reserve(static_cast<size_t>(count) + 1);
        ends.push_back(0);
        char *out = bytes.data();
        for (int r = 1; r <= count; ++r) {
            const Cp1253View headword = records[r].headword;
            size_t i = 0;
            while (i < headword.size() && static_cast<unsigned char>(headword[i]) <= 32)
                ++i;
            for (; i < headword.size(); ++i) {
                const auto c = static_cast<unsigned char>(headword[i]);
                *out++ = static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 32 : 0));
            }
            ends.push_back(static_cast<uint32_t>(out - bytes.data()));
        }
        bytes.resize(static_cast<size_t>(out - bytes.data()));
        m_english.Assign(std::move(bytes), std::move(ends));
    }
    return m_english;
}

const FoldedTable &FoldedHeadwords::GreekLocale()
{
    if (!m_greekLocale.Built() && m_index != nullptr)
        Build(m_greekLocale, m_index->greek, m_index->greekCount,
              [](Cp1253View h) { return FoldGreekHeadword(h, true); });
    return m_greekLocale;
}

const FoldedTable &FoldedHeadwords::GreekAscii()
{
    if (!m_greekAscii.Built() && m_index != nullptr)
        Build(m_greekAscii, m_index->greek, m_index->greekCount,
              [](Cp1253View h) { return FoldGreekHeadword(h, false); });
    return m_greekAscii;
}

const FoldedTable &FoldedHeadwords::EnglishExact()
{
    if (!m_englishExact.Built() && m_index != nullptr)
        Build(m_englishExact, m_index->english, m_index->englishCount,
              [](Cp1253View h) { return LocaleLower(LatinKey(h, true)); });
    return m_englishExact;
}

const FoldedTable &FoldedHeadwords::GreekExact()
{
    if (!m_greekExact.Built() && m_index != nullptr)
        Build(m_greekExact, m_index->greek, m_index->greekCount,
              [](Cp1253View h) { return GreekKey(h, true); });
    return m_greekExact;
}

} // namespace termdex
