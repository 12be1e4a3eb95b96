#include "data/folded_headwords.h"

#include "lib/folding.h"

#include <algorithm>
#include <cstring>

namespace termdex {
namespace {

template <typename Fold>
void Build(FoldedTable &table, const RecordTable &records, int count, Fold fold)
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
    m_mappedBytes = {};
    m_mappedEnds = nullptr;
    m_mappedRecords = 0;
}

void FoldedTable::Map(Cp1253View bytes, const char *ends, uint32_t records)
{
    Clear();
    m_mappedBytes = bytes;
    m_mappedEnds = ends;
    m_mappedRecords = records;
}

Cp1253View FoldedTable::MappedAt(int record) const
{
    if (record < 1 || static_cast<uint32_t>(record) > m_mappedRecords)
        return {};
    uint32_t begin = 0, end = 0;
    std::memcpy(&begin, m_mappedEnds + 4 * static_cast<size_t>(record - 1), 4);
    std::memcpy(&end, m_mappedEnds + 4 * static_cast<size_t>(record), 4);
    if (begin > end || end > m_mappedBytes.size())
        return {};
    return m_mappedBytes.substr(begin, end - begin);
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
    m_mapping.reset();
    m_englishOrder = m_greekOrder = {};
    m_hasOrder = false;
}

void FoldedHeadwords::Adopt(const EntryIndex *index, std::shared_ptr<const void> mapping,
                            const std::array<FoldedTable, kFoldedForms> &forms, ExactOrder english,
                            ExactOrder greek)
{
    Reset(index);
    m_english = forms[static_cast<int>(FoldedForm::English)];
    m_greekLocale = forms[static_cast<int>(FoldedForm::GreekLocale)];
    m_greekAscii = forms[static_cast<int>(FoldedForm::GreekAscii)];
    m_englishExact = forms[static_cast<int>(FoldedForm::EnglishExact)];
    m_greekExact = forms[static_cast<int>(FoldedForm::GreekExact)];
    m_mapping = std::move(mapping);
    m_englishOrder = english;
    m_greekOrder = greek;
    m_hasOrder = true;
}

const FoldedTable &FoldedHeadwords::Form(FoldedForm form)
{
    switch (form) {
    case FoldedForm::English:
        return English();
    case FoldedForm::GreekLocale:
        return GreekLocale();
    case FoldedForm::GreekAscii:
        return GreekAscii();
    case FoldedForm::EnglishExact:
        return EnglishExact();
    case FoldedForm::GreekExact:
        break;
    }
    return GreekExact();
}

std::vector<int> FoldedHeadwords::ExactRecords(Cp1253View key, bool greek)
{
    std::vector<int> found;
    if (!m_hasOrder)
        return found;
    const ExactOrder order = greek ? m_greekOrder : m_englishOrder;
    const FoldedTable &forms = greek ? GreekExact() : EnglishExact();
    auto recordAt = [&](uint32_t i) {
        uint16_t record = 0;
        std::memcpy(&record, order.records + 2 * static_cast<size_t>(i), 2);
        return static_cast<int>(record);
    };
    uint32_t lo = 0, hi = order.size; // the first whose form is not below key
    while (lo < hi) {
        const uint32_t mid = lo + (hi - lo) / 2;
        if (forms.At(recordAt(mid)) < key)
            lo = mid + 1;
        else
            hi = mid;
    }
    for (; lo < order.size && forms.At(recordAt(lo)) == key; ++lo)
        found.push_back(recordAt(lo));
    return found;
}

std::vector<uint16_t> FoldedHeadwords::SortedByExactForm(bool greek)
{
    const FoldedTable &forms = greek ? GreekExact() : EnglishExact();
    const int count = m_index == nullptr ? 0 : greek ? m_index->greekCount : m_index->englishCount;
    std::vector<uint16_t> order;
    for (int r = 1; r <= count; ++r)
        if (!forms.At(r).empty())
            order.push_back(static_cast<uint16_t>(r));
    std::stable_sort(order.begin(), order.end(),
                     [&](uint16_t a, uint16_t b) { return forms.At(a) < forms.At(b); });
    return order;
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

Cp1253 FoldEnglishHeadword(Cp1253View headword) { return AsciiLower(TrimLeft(headword)); }

Cp1253 FoldGreekHeadword(Cp1253View headword, bool localeLower)
{
    const Cp1253 key = GreekKey(TrimLeft(headword), true);
    return localeLower ? LocaleLower(key) : AsciiLower(key);
}

uint16_t LetterStarts::EnglishStart(unsigned char c) const
{
    const uint16_t slot = c >= 'a' && c <= 'z' ? english[c - 'a'] : 0;
    return slot != 0 ? slot : 1;
}

uint16_t LetterStarts::GreekStart(unsigned char c) const
{
    const uint16_t slot = c >= 0xE1 && c <= 0xF9 ? greek[c - 0xE1] : 0;
    return slot != 0 ? slot : 1;
}

namespace {

// The first byte of FoldEnglishHeadword(headword) from the 1-based position matchStart (below 1
// counts as 1), or 0 when the folded headword is shorter: TrimLeft and ASCII lower-casing of one
// byte, without building the folded string.
unsigned char FoldedEnglishByteAt(Cp1253View headword, uint8_t matchStart)
{
    size_t first = 0;
    while (first < headword.size() && static_cast<unsigned char>(headword[first]) <= 32)
        ++first;
    const size_t at = first + (matchStart > 1 ? matchStart - 1u : 0u);
    if (at >= headword.size())
        return 0;
    const auto c = static_cast<unsigned char>(headword[at]);
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

// The first byte of FoldGreekHeadword(headword, true), or 0 when it is empty, without building
// it: GreekKey trims blanks and control bytes from both ends and drops Latin letters, leading
// digits and the punctuation marks, so its first byte is the letter fold of the first byte that
// is none of these; the locale lower-casing then applies to that byte.
unsigned char FirstFoldedGreekByte(Cp1253View headword)
{
    headword = UntilNul(headword);
    for (size_t i = 0; i < headword.size(); ++i) {
        const char ch = headword[i];
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 32 || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || IsDigit(ch) ||
            IsFoldPunctuation(c))
            continue;
        if (c == kCapitalSigma && EndsWordAt(headword, i))
            return kFinalSigma;
        return LocaleLowerByte(FoldGreekLetter(c));
    }
    return 0;
}

} // namespace

// Only the first folded byte of each headword matters here, so it is computed alone: this runs
// at every load, over both full tables.
LetterStarts ComputeLetterStarts(const EntryIndex &index)
{
    LetterStarts starts;
    for (int r = 1; r <= index.englishCount && index.english[r].id != 0; ++r) {
        const IndexRecord &record = index.english[r];
        const unsigned char c = FoldedEnglishByteAt(record.headword, record.matchStart);
        if (c >= 'a' && c <= 'z' && starts.english[c - 'a'] == 0)
            starts.english[c - 'a'] = static_cast<uint16_t>(r);
    }
    for (int r = 1; r <= index.greekCount && index.greek[r].id != 0; ++r) {
        const unsigned char c = FirstFoldedGreekByte(index.greek[r].headword);
        if (c >= 0xE1 && c <= 0xF9 && starts.greek[c - 0xE1] == 0)
            starts.greek[c - 0xE1] = static_cast<uint16_t>(r);
    }
    return starts;
}

} // namespace termdex
