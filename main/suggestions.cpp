#include "main/suggestions.h"

#include "lib/folding.h"

#include <algorithm>
#include <tuple>

namespace termdex {

const char *SuggestionReasonName(SuggestionReason reason)
{
    return reason == SuggestionReason::Form ? "form" : "spelling";
}

int BoundedEditDistance(Cp1253View a, Cp1253View b, int bound)
{
    if (a.size() > b.size())
        std::swap(a, b);
    const int n = static_cast<int>(a.size()), m = static_cast<int>(b.size());
    const int big = bound + 1;
    if (m - n > bound)
        return big;
    // Three rows over b; only the band |i - j| <= bound is computed, the cells just outside it
    // hold big, so a row whose band is all above the bound ends the comparison.
    thread_local std::vector<int> rows[3];
    for (auto &row : rows)
        row.assign(static_cast<size_t>(m) + 2, big);
    int *before = rows[0].data(), *prev = rows[1].data(), *cur = rows[2].data();
    for (int j = 0; j <= m; ++j)
        prev[j] = std::min(j, big);
    for (int i = 1; i <= n; ++i) {
        const int lo = std::max(1, i - bound), hi = std::min(m, i + bound);
        cur[lo - 1] = lo == 1 ? std::min(i, big) : big;
        int rowMin = big;
        for (int j = lo; j <= hi; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int v = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                v = std::min(v, before[j - 2] + 1);
            cur[j] = std::min(v, big);
            rowMin = std::min(rowMin, cur[j]);
        }
        if (hi < m)
            cur[hi + 1] = big;
        if (rowMin > bound)
            return big;
        std::tie(before, prev, cur) = std::make_tuple(prev, cur, before);
    }
    return std::min(prev[m], big);
}

HeadwordSuggester::HeadwordSuggester(std::filesystem::path hunspellFolder)
    : m_forms(std::move(hunspellFolder), [this] {
          // Every word of every Greek headword: a form is looked up as a whole headword, and
          // for a key of several words the form stands last after the typed words.
          std::unordered_set<Cp1253> words;
          const FoldedTable &folded = Folded(true);
          const int count = m_index != nullptr ? m_index->greekCount : 0;
          for (int g = 1; g <= count; ++g) {
              const Cp1253View key = folded.At(g);
              size_t start = 0;
              while (start < key.size()) {
                  size_t end = key.find(' ', start);
                  if (end == Cp1253View::npos)
                      end = key.size();
                  if (end > start)
                      words.emplace(key.substr(start, end - start));
                  start = end + 1;
              }
          }
          return words;
      })
{
}

void HeadwordSuggester::Reset(const EntryIndex *index, FoldedHeadwords *folded)
{
    m_index = index;
    m_folded = folded;
    m_english = Side();
    m_greek = Side();
    m_forms.ForgetGreek();
}

const FoldedTable &HeadwordSuggester::Folded(bool greek)
{
    static const FoldedTable kNone;
    if (m_folded == nullptr)
        return kNone;
    return greek ? m_folded->GreekExact() : m_folded->EnglishExact();
}

HeadwordSuggester::Side &HeadwordSuggester::SideOf(bool greek)
{
    Side &side = greek ? m_greek : m_english;
    if (side.built || m_index == nullptr)
        return side;
    side.built = true;
    const FoldedTable &folded = Folded(greek);
    const auto &table = greek ? m_index->greek : m_index->english;
    const int count = greek ? m_index->greekCount : m_index->englishCount;
    for (int r = 1; r <= count && table[static_cast<size_t>(r)].id != 0; ++r) {
        if (EnglishOf(r, greek) == 0)
            continue;
        const Cp1253View key = folded.At(r);
        if (key.empty())
            continue;
        side.exact.emplace(key, r);
        if (side.byLength.size() <= key.size())
            side.byLength.resize(key.size() + 1);
        side.byLength[key.size()].push_back(r);
    }
    return side;
}

Cp1253 HeadwordSuggester::FoldKey(Cp1253View text, bool greek) const
{
    return greek ? GreekKey(text, true) : LocaleLower(LatinKey(text, true));
}

int HeadwordSuggester::EnglishOf(int record, bool greek) const
{
    if (!greek)
        return record;
    const int e = m_index->greek[static_cast<size_t>(record)].englishIndex;
    return e >= 1 && e <= m_index->englishCount ? e : 0;
}

Cp1253 HeadwordSuggester::TextOf(int englishRecord, bool greek) const
{
    const IndexRecord &english = m_index->english[static_cast<size_t>(englishRecord)];
    if (!greek)
        return Cp1253(english.headword);
    const int g = english.greekIndex;
    return g >= 1 && g <= m_index->greekCount
               ? Cp1253(m_index->greek[static_cast<size_t>(g)].headword)
               : Cp1253();
}

int HeadwordSuggester::ExactRecord(Cp1253View text, bool greek)
{
    const Side &side = SideOf(greek);
    const auto found = side.exact.find(FoldKey(text, greek));
    return found == side.exact.end() ? 0 : EnglishOf(found->second, greek);
}

bool HeadwordSuggester::NamesHeadword(const Cp1253 &key, bool greek)
{
    if (m_english.built && !greek)
        return m_english.exact.contains(key);
    if (m_greek.built && greek)
        return m_greek.exact.contains(key);
    if (m_folded != nullptr && m_folded->HasExactOrder()) {
        for (int r : m_folded->ExactRecords(key, greek))
            if (EnglishOf(r, greek) != 0)
                return true;
        return false;
    }
    if (greek) {
        const FoldedTable &folded = Folded(true);
        for (int g = 1; g <= m_index->greekCount; ++g)
            if (folded.At(g) == key && EnglishOf(g, true) != 0)
                return true;
        return false;
    }
    // Before the first suggestion of a load there is no table of folded keys, and a text that
    // names a headword needs none: only headwords whose first kept letter is the key's, and
    // that are long enough, are folded to be compared.
    const auto first = static_cast<unsigned char>(key[0]);
    for (int r = 1; r <= m_index->englishCount; ++r) {
        const Cp1253View h = m_index->english[static_cast<size_t>(r)].headword;
        if (h.size() < key.size())
            continue;
        size_t i = 0;
        while (i < h.size() && (static_cast<unsigned char>(h[i]) <= 32 || IsDigit(h[i]) ||
                                IsFoldPunctuation(static_cast<unsigned char>(h[i]))))
            ++i;
        if (i == h.size())
            continue;
        const auto c = static_cast<unsigned char>(h[i]);
        if (c != kCapitalSigma && LocaleLowerByte(c) != first) // "Σ" lowers by its neighbours
            continue;
        if (FoldKey(h, false) == key)
            return true;
    }
    return false;
}

std::vector<Suggestion> HeadwordSuggester::Suggest(Cp1253View text, bool greek)
{
    std::vector<Suggestion> out;
    if (m_index == nullptr)
        return out;
    const Cp1253 key = FoldKey(text, greek);
    if (key.empty() || NamesHeadword(key, greek))
        return out;
    const Side &side = SideOf(greek);
    auto add = [&](int record, SuggestionReason reason) {
        const int e = EnglishOf(record, greek);
        if (e == 0 || out.size() >= kMaxSuggestions ||
            std::any_of(out.begin(), out.end(), [e](const Suggestion &s) { return s.record == e; }))
            return;
        out.push_back({e, TextOf(e, greek), reason});
    };

    // Forms: the last word reduced, the words before it kept.
    const size_t space = key.rfind(' ');
    const Cp1253 prefix = space == Cp1253::npos ? Cp1253() : key.substr(0, space + 1);
    const Cp1253View last = Cp1253View(key).substr(prefix.size());
    const auto lookup = [&](Cp1253View form) {
        const auto found = side.exact.find(prefix + Cp1253(form));
        return found == side.exact.end() ? 0 : found->second;
    };
    if (!last.empty())
        for (const Cp1253 &form :
             m_forms.Forms(last, greek, [&](Cp1253View form) { return lookup(form) != 0; }))
            add(lookup(form), SuggestionReason::Form);

    // Spellings: only headwords whose length is within the bound can be within it.
    const int bound = SpellingBound(key.size());
    const FoldedTable &folded = Folded(greek);
    std::vector<std::pair<int, int>> near; // distance, record
    const size_t lo = key.size() > static_cast<size_t>(bound) ? key.size() - bound : 0;
    for (size_t length = lo; length <= key.size() + bound && length < side.byLength.size();
         ++length)
        for (int r : side.byLength[length])
            if (const int d = BoundedEditDistance(key, folded.At(r), bound); d <= bound)
                near.emplace_back(d, r);
    std::sort(near.begin(), near.end());
    for (const auto &[distance, record] : near)
        add(record, SuggestionReason::Spelling);
    return out;
}

} // namespace termdex
