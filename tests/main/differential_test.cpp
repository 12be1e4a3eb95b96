// Every lookup mode against a plain scan written from the lookup's description: each headword
// folded at the moment it is compared, every scan from slot 1, substrings taken the way a
// 1-based Copy takes them. Run over a generated dictionary with the reader's entries, and over
// the demo dictionary of the build.
#include "main/main_lex.h"

#include "dictionary_fixture.h"
#include "lib/files.h"
#include "lib/folding.h"

#include <random>
#include <set>

namespace termdex {
namespace {
using namespace termdex::testing;

struct Item
{
    Cp1253 text;
    int record;
    bool operator==(const Item &) const = default;
};
using ItemList = std::vector<Item>;

// Copy(s, index, count) with a 1-based index: an index below 1 counts as 1, one past the end
// gives the empty string, and the count is cut at the end.
Cp1253 Copy(const Cp1253 &s, long index, long count)
{
    if (index < 1)
        index = 1;
    if (index > static_cast<long>(s.size()) || count <= 0)
        return {};
    return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

class Reference
{
public:
    Reference(const EntryIndex &index, bool greek) : m_index(index), m_greek(greek) {}

    // The folded headword of a record of the current language's table.
    Cp1253 FoldedEnglish(int r) const { return AsciiLower(TrimLeft(m_index.english[r].headword)); }
    Cp1253 FoldedGreek(int g, bool localeLower) const
    {
        const Cp1253 key = GreekKey(TrimLeft(m_index.greek[g].headword), true);
        return localeLower ? LocaleLower(key) : AsciiLower(key);
    }

    // Walks the table of the language; add(r or g) returns nothing. Greek records whose English
    // record is missing are passed over.
    template <typename Test> ItemList Scan(Test test, bool customOnly) const
    {
        ItemList items;
        const auto &table = m_greek ? m_index.greek : m_index.english;
        const int count = m_greek ? m_index.greekCount : m_index.englishCount;
        for (int slot = 1; slot <= count && table[slot].id != 0; ++slot) {
            const int e = m_greek ? table[slot].englishIndex : slot;
            if (e < 1 || e > m_index.englishCount)
                continue;
            const IndexRecord &english = m_index.english[e];
            if (customOnly && english.kind != EntryKind::Own &&
                english.kind != EntryKind::Supplemented)
                continue;
            if (!test(slot, english))
                continue;
            items.push_back(
                {Cp1253(table[slot].headword) + (english.kind == EntryKind::Own ? " *" : ""), e});
        }
        return items;
    }

    ItemList Start(const Cp1253 &key, bool customOnly) const
    {
        for (long n = static_cast<long>(key.size()); n > 0; --n) {
            ItemList items = Scan(
                [&](int slot, const IndexRecord &english) {
                    if (m_greek)
                        return Copy(FoldedGreek(slot, true), 1, n) == Copy(key, 1, n);
                    return Copy(FoldedEnglish(slot), english.matchStart, n) == Copy(key, 1, n);
                },
                customOnly);
            if (!items.empty())
                return items;
        }
        return {};
    }
    bool AtTest(Cp1253 folded, const Cp1253 &key) const
    {
        const size_t at = folded.find(key);
        if (at != Cp1253::npos)
            folded.replace(at, key.size(), "@");
        return folded.find('@') != Cp1253::npos;
    }
    Cp1253 Folded(int slot, bool localeLower) const
    {
        return m_greek ? FoldedGreek(slot, localeLower) : FoldedEnglish(slot);
    }
    bool EndTest(const Cp1253 &folded, const Cp1253 &key) const
    {
        const long m = static_cast<long>(folded.size()), n = static_cast<long>(key.size());
        return Copy(folded, m - n + 1, n) == key;
    }
    ItemList Contain(const Cp1253 &key, bool customOnly) const
    {
        return Scan([&](int slot, const IndexRecord &) { return AtTest(Folded(slot, false), key); },
                    customOnly);
    }
    ItemList End(const Cp1253 &key, bool customOnly) const
    {
        return Scan(
            [&](int slot, const IndexRecord &) { return EndTest(Folded(slot, false), key); },
            customOnly);
    }
    ItemList Multi(const SearchCriteria &c) const
    {
        return Scan(
            [&](int slot, const IndexRecord &english) {
                const Cp1253 folded = Folded(slot, false);
                if (!c.start.empty()) {
                    const Cp1253 from = m_greek ? Copy(FoldedGreek(slot, true), 1, c.start.size())
                                                : Copy(folded, english.matchStart, c.start.size());
                    if (from != c.start)
                        return false;
                }
                if (!c.contain.empty() && !AtTest(folded, c.contain))
                    return false;
                if (!c.end.empty() && !EndTest(folded, c.end))
                    return false;
                return true;
            },
            false);
    }

private:
    const EntryIndex &m_index;
    bool m_greek;
};

bool GreekFirst(const Cp1253 &text)
{
    static const Cp1253 letters = Cp("αβγδεζηθικλμνξοπρστυφχψωςάέήίόύώϊϋ"
                                     "ΑΒΓΔΕΖΗΘΙΚΛΜΝΞΟΠΡΣΤΥΦΧΨΩΆΈΉΊΌΎΏΪΫ");
    return !text.empty() && letters.find(text[0]) != Cp1253::npos;
}

ItemList ListOf(const MainLexState &state)
{
    ItemList items;
    for (size_t i = 0; i < state.listItems.size(); ++i)
        items.push_back({state.listItems[i], state.ListRecords[i]});
    return items;
}

// Lookup texts drawn from the headwords: beginnings, middles and ends, with capitals, accents
// and blanks the reader might type.
std::vector<Cp1253> KeysFrom(const EntryIndex &index, unsigned seed, size_t count)
{
    std::mt19937 random(seed);
    std::set<Cp1253> keys = {"a",         "t",         "x",     "tax ",  " tax",
                             "zz",        "-",         "@",     "1",     Cp("φ"),
                             Cp("ΦΟΡΟΣ"), Cp("φόρος"), Cp("ς"), Cp("Ϋ"), Cp("τιμή ")};
    auto take = [&](const Cp1253 &h) {
        if (h.empty())
            return;
        const size_t from = random() % 3 == 0 ? random() % h.size() : 0;
        const size_t length = 1 + random() % std::min<size_t>(h.size() - from, 8);
        Cp1253 key = h.substr(from, length);
        if (random() % 4 == 0)
            key = LocaleLower(key);
        if (random() % 7 == 0)
            key += ' ';
        keys.insert(key);
        keys.insert(h.substr(h.size() - std::min<size_t>(h.size(), 1 + random() % 6)));
    };
    for (int i = 0; keys.size() < count && i < 20000; ++i) {
        if (index.englishCount > 0)
            take(Cp1253(index.english[1 + random() % index.englishCount].headword));
        if (index.greekCount > 0)
            take(Cp1253(index.greek[1 + random() % index.greekCount].headword));
    }
    // A field of blanks only is emptied by the lookup; the lookup tests cover it.
    std::vector<Cp1253> list;
    for (const Cp1253 &key : keys)
        if (!TrimLeft(key).empty())
            list.push_back(key);
    return list;
}

void CompareEveryMode(MainLexCore &core, const std::vector<Cp1253> &keys)
{
    const EntryIndex &index = core.Index();
    for (const Cp1253 &typed : keys) {
        const Cp1253 entry = TrimLeft(typed);
        const bool greek = GreekFirst(entry);
        const Reference reference(index, greek);
        const Cp1253 key = greek ? AsciiLower(GreekKey(entry, true)) : AsciiLower(entry);
        const std::string label = Cp1253ToUtf8(typed);
        for (bool customOnly : {false, true}) {
            struct Run
            {
                LookupMode mode;
                ItemList expected;
            };
            for (const Run &run : {Run{LookupMode::Start, reference.Start(key, customOnly)},
                                   Run{LookupMode::Contain, reference.Contain(key, customOnly)},
                                   Run{LookupMode::End, reference.End(key, customOnly)}}) {
                core.WriteEntryText(typed);
                core.FillEntryList(run.mode, 0, customOnly);
                ASSERT_EQ(ListOf(core.State()), run.expected)
                    << LookupModeName(run.mode) << " " << label << " customOnly " << customOnly;
                ASSERT_EQ(core.State().LanguageMode == Language::Greek, greek) << label;
            }
        }
        // Typing: item 0 selected, shown when the text names its headword exactly.
        core.Entry_TextChange(typed);
        const ItemList start = reference.Start(key, false);
        ASSERT_EQ(ListOf(core.State()), start) << label;
        bool exact = false;
        if (!start.empty()) {
            const IndexRecord &english = index.english[start[0].record];
            exact = greek ? FoldGreekLetters(Trim(GreekKey(entry, true))) ==
                                GreekKey(index.greek[english.greekIndex].headword, true)
                          : LocaleLower(LatinKey(entry, true)) ==
                                LocaleLower(LatinKey(english.headword, true));
        }
        EXPECT_EQ(core.State().shownRecord, exact ? start[0].record : 0) << label;
    }
    // Combined criteria from pairs of keys, compared unfolded.
    std::mt19937 random(11);
    for (size_t i = 0; i < keys.size(); ++i) {
        SearchCriteria criteria;
        const Cp1253 &a = keys[i], &b = keys[random() % keys.size()];
        switch (random() % 4) {
        case 0:
            criteria = {a, b, ""};
            break;
        case 1:
            criteria = {a, "", b};
            break;
        case 2:
            criteria = {"", a, b};
            break;
        default:
            criteria = {a, b, keys[random() % keys.size()]};
            break;
        }
        core.Search_ButtonClick(criteria);
        const Cp1253 &first = !criteria.start.empty() ? criteria.start : criteria.contain;
        ASSERT_EQ(ListOf(core.State()), Reference(index, GreekFirst(first)).Multi(criteria))
            << Cp1253ToUtf8(criteria.start) << " | " << Cp1253ToUtf8(criteria.contain) << " | "
            << Cp1253ToUtf8(criteria.end);
    }
}

class DifferentialTest : public DictionaryTest
{
};

TEST_F(DifferentialTest, GeneratedDictionaryWithOwnEntries)
{
    // Headwords from pieces, so that many share beginnings, middles and ends.
    const std::vector<std::string> english = {"tax", "Tax ",  "rate", "-free", " (the)", "cost",
                                              "@",   "price", "s",    "2nd ",  "market", "Ab"};
    const std::vector<std::string> greek = {"φόρος", "ΦΟΡΟΣ", "τιμή", "τιμές", " ", "αγορά",
                                            "Ϋ",     "-",     "ς",    "ΐ",     "2", "οικονομία"};
    std::mt19937 random(3);
    std::vector<ShippedEntry> entries;
    for (int i = 0; i < 400; ++i) {
        std::string en, gr;
        for (int k = 0, n = 1 + static_cast<int>(random() % 3); k < n; ++k)
            en += english[random() % english.size()];
        for (int k = 0, n = 1 + static_cast<int>(random() % 3); k < n; ++k)
            gr += greek[random() % greek.size()];
        const int matchStart = random() % 10 == 0 ? 1 + static_cast<int>(random() % 5) : 1;
        entries.push_back({en, random() % 8 == 0 ? "" : Cp(gr), "x", matchStart});
    }
    WriteShipped(entries);
    std::vector<OwnEntry> own;
    for (int i = 7; i < 400; i += 23)
        own.push_back({i, 20000 + i, "tax own " + std::to_string(i), Cp("φόρος δικός"), "{x}"});
    WriteCustom(own, {{12, "{s}"}, {50, "{s}"}, {333, "{s}"}});
    MainLexCore &core = Open();
    ASSERT_GT(core.Index().englishCount, 400);
    CompareEveryMode(core, KeysFrom(core.Index(), 5, 400));
}

TEST(DemoDictionaryTest, EveryModeOverTheBuiltDictionary)
{
    const ProgramPaths paths = testing::DemoPaths();
    ASSERT_TRUE(testing::DemoIsBuilt(paths));
    MainLexCore core(paths, RealFileSystem());
    ASSERT_TRUE(core.FormShow().complete);
    ASSERT_GT(core.Index().englishCount, 100);
    CompareEveryMode(core, KeysFrom(core.Index(), 9, 600));
}

} // namespace
} // namespace termdex
