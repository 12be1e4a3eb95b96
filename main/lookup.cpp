// The headword list: FillEntryList in its five modes and the edited-entries listing, and the
// handlers of the entry field and the list that run it.
#include "main/main_lex.h"

#include "lib/folding.h"

#include <algorithm>

namespace termdex {
namespace {

// Position matchStart (1-based; 0 counts as 1) of a folded English headword, as far as it goes.
Cp1253View FromMatchStart(Cp1253View folded, uint8_t matchStart)
{
    const size_t at = matchStart > 1 ? matchStart - 1u : 0u;
    return at <= folded.size() ? folded.substr(at) : Cp1253View();
}

// The first n characters of text equal the first n of key (text may be shorter: then not).
bool BeginsWith(Cp1253View text, Cp1253View key, size_t n)
{
    return text.size() >= n && text.compare(0, n, key.substr(0, n)) == 0;
}

size_t CommonPrefixLength(Cp1253View text, Cp1253View key)
{
    const size_t most = std::min(text.size(), key.size());
    size_t n = 0;
    while (n < most && text[n] == key[n])
        ++n;
    return n;
}

bool EndsWith(Cp1253View text, Cp1253View key)
{
    return text.size() >= key.size() &&
           text.compare(text.size() - key.size(), key.size(), key) == 0;
}

// The "@" test: replacing the first occurrence of the key by "@" leaves an "@" in the text,
// so a headword that holds "@" itself passes every key.
bool ContainsTest(Cp1253View text, Cp1253View key)
{
    return text.find(key) != Cp1253View::npos || text.find('@') != Cp1253View::npos;
}

bool IsEdited(EntryKind kind) { return kind == EntryKind::Own || kind == EntryKind::Supplemented; }

} // namespace

void MainLexCore::AddItem(Cp1253 text, int record)
{
    m_state.listItems.push_back(std::move(text));
    m_state.ListRecords.push_back(record);
    ++m_addedItems;
}

void MainLexCore::AddListItem(int e, int g)
{
    const IndexRecord &english = m_dict.index.english[static_cast<size_t>(e)];
    Cp1253 text(m_state.LanguageMode == Language::Greek
                    ? m_dict.index.greek[static_cast<size_t>(g)].headword
                    : english.headword);
    if (english.kind == EntryKind::Own)
        text += " *";
    AddItem(std::move(text), e);
}

bool MainLexCore::EnglishIncluded(int r, bool customOnly) const
{
    return !customOnly || IsEdited(m_dict.index.english[static_cast<size_t>(r)].kind);
}

int MainLexCore::GreekToEnglish(int g, bool customOnly) const
{
    // A Greek record that found no English one has no record number to list and no kind.
    const int e = m_dict.index.greek[static_cast<size_t>(g)].englishIndex;
    if (!IsRecord(e) || !EnglishIncluded(e, customOnly))
        return 0;
    return e;
}

void MainLexCore::FillEntryList(LookupMode mode, int recordNumber, bool customOnly)
{
    m_state.entryText = TrimLeft(m_state.entryText);
    if (!m_state.entryText.empty())
        DetectLanguage();
    ResetDisplay();
    m_state.highlightWord.clear(); // the list no longer holds a full-text search's entries
    m_addedItems = 0;
    if (m_state.entryText.empty()) {
        if (customOnly)
            ListEditedEntries();
        else if (mode == LookupMode::Multi)
            LookupMulti();
    } else {
        // The language follows the first character, so a Greek key begins with a Greek letter
        // and neither key is empty.
        const Cp1253 key = m_state.LanguageMode == Language::Greek
                               ? AsciiLower(GreekKey(m_state.entryText, true))
                               : AsciiLower(m_state.entryText);
        if (!key.empty() || mode == LookupMode::Specific) {
            switch (mode) {
            case LookupMode::Start:
                LookupStart(key, customOnly);
                break;
            case LookupMode::Contain:
                LookupContain(key, customOnly);
                break;
            case LookupMode::End:
                LookupEnd(key, customOnly);
                break;
            case LookupMode::Specific:
                LookupSpecific(recordNumber);
                break;
            case LookupMode::Multi:
                break; // the combined search runs on an empty field only
            }
        }
    }
    if (m_state.listItems.empty()) {
        m_state.modifyEntryEnabled = false;
        m_state.deleteEntryEnabled = false;
    }
}

void MainLexCore::LookupStart(const Cp1253 &key, bool customOnly)
{
    // The key is shortened from its end until something matches: to the longest beginning of
    // it that a listed headword starts with. That length is found in one pass, so a pasted
    // paragraph costs three scans of the table, not one per character.
    const auto listBeginning = [&](size_t n) {
        ScanStartSlot(
            key, customOnly, [&](Cp1253View folded) { return BeginsWith(folded, key, n); },
            [&](int e, int g) { AddListItem(e, g); });
    };
    listBeginning(key.size());
    size_t listed = key.size();
    if (m_state.listItems.empty() && key.size() > 1) {
        size_t longest = 0, candidate = 0;
        ScanStartSlot(
            key, customOnly,
            [&](Cp1253View folded) {
                const size_t common = CommonPrefixLength(folded, key);
                candidate = common;
                return common > longest;
            },
            [&](int, int) { longest = candidate; });
        listed = std::max<size_t>(longest, 1);
        if (longest > 0)
            listBeginning(longest);
    }
    m_startKeyShortened = listed < key.size();
}

template <typename Matches, typename Visit>
void MainLexCore::ScanStartSlot(const Cp1253 &key, bool customOnly, const Matches &matches,
                                const Visit &visit)
{
    // The scan starts at the slot of the key's first character and runs to the table's end.
    const auto c = static_cast<unsigned char>(key[0]);
    if (m_state.LanguageMode == Language::English) {
        const FoldedTable &folded = m_dict.folded.English();
        for (int r = m_dict.letterStarts.EnglishStart(c);
             r <= m_dict.index.englishCount && !ItemLimitReached(); ++r) {
            const IndexRecord &record = m_dict.index.english[static_cast<size_t>(r)];
            if (record.id == 0)
                break;
            if (matches(FromMatchStart(folded.At(r), record.matchStart)) &&
                EnglishIncluded(r, customOnly))
                visit(r, 0);
        }
    } else {
        const FoldedTable &folded = m_dict.folded.GreekLocale();
        for (int g = m_dict.letterStarts.GreekStart(c);
             g <= m_dict.index.greekCount && !ItemLimitReached(); ++g) {
            if (m_dict.index.greek[static_cast<size_t>(g)].id == 0)
                break;
            if (!matches(folded.At(g)))
                continue;
            if (const int e = GreekToEnglish(g, customOnly))
                visit(e, g);
        }
    }
}

template <typename Matches>
void MainLexCore::ScanWholeTable(bool customOnly, const Matches &matches)
{
    if (m_state.LanguageMode == Language::English) {
        const FoldedTable &folded = m_dict.folded.English();
        for (int r = 1; r <= m_dict.index.englishCount && !ItemLimitReached(); ++r) {
            if (m_dict.index.english[static_cast<size_t>(r)].id == 0)
                break;
            if (matches(folded.At(r)) && EnglishIncluded(r, customOnly))
                AddListItem(r, 0);
        }
    } else {
        const FoldedTable &folded = m_dict.folded.GreekAscii();
        for (int g = 1; g <= m_dict.index.greekCount && !ItemLimitReached(); ++g) {
            if (m_dict.index.greek[static_cast<size_t>(g)].id == 0)
                break;
            if (!matches(folded.At(g)))
                continue;
            if (const int e = GreekToEnglish(g, customOnly))
                AddListItem(e, g);
        }
    }
}

void MainLexCore::LookupContain(const Cp1253 &key, bool customOnly)
{
    ScanWholeTable(customOnly, [&key](Cp1253View folded) { return ContainsTest(folded, key); });
}

void MainLexCore::LookupEnd(const Cp1253 &key, bool customOnly)
{
    // A key longer than the headword takes the whole headword, which is then shorter than the
    // key: such a headword never ends with it.
    ScanWholeTable(customOnly, [&key](Cp1253View folded) { return EndsWith(folded, key); });
}

void MainLexCore::LookupSpecific(int record)
{
    // The record comes from a history tag or from outside: one that is not in the table lists
    // nothing.
    if (!IsRecord(record))
        return;
    const int g = m_state.LanguageMode == Language::Greek ? GreekOf(record) : 0;
    AddListItem(record, g);
    // The caller holds SuppressEntryChange, so this write starts no lookup.
    m_state.entryText = m_state.LanguageMode == Language::Greek
                            ? m_dict.index.greek[static_cast<size_t>(g)].headword
                            : m_dict.index.english[static_cast<size_t>(record)].headword;
    m_state.itemIndex = 0;
    Entries_ListClick();
}

void MainLexCore::ListEditedEntries()
{
    if (m_state.LanguageMode == Language::English) {
        for (int r = 1; r <= m_dict.index.englishCount && !ItemLimitReached(); ++r) {
            const IndexRecord &record = m_dict.index.english[static_cast<size_t>(r)];
            if (record.id == 0)
                break;
            if (IsEdited(record.kind))
                AddListItem(r, 0);
        }
    } else {
        for (int g = 1; g <= m_dict.index.greekCount && !ItemLimitReached(); ++g) {
            if (m_dict.index.greek[static_cast<size_t>(g)].id == 0)
                break;
            if (const int e = GreekToEnglish(g, true))
                AddListItem(e, g);
        }
    }
}

void MainLexCore::LookupMulti()
{
    // The criteria are compared as typed: neither folded nor trimmed, so capitals and accents
    // match nothing.
    const Cp1253 &start = m_state.SearchStartText;
    const Cp1253 &contain = m_state.SearchContainText;
    const Cp1253 &end = m_state.SearchEndText;
    const Cp1253 *first = !start.empty()     ? &start
                          : !contain.empty() ? &contain
                          : !end.empty()     ? &end
                                             : nullptr;
    // With no criterion at all there is nothing to compare (the dialog never asks for this).
    if (first == nullptr)
        return;
    SetLanguageMode(IsGreekLetter(static_cast<unsigned char>((*first)[0])));

    if (m_state.LanguageMode == Language::English) {
        const FoldedTable &folded = m_dict.folded.English();
        for (int r = 1; r <= m_dict.index.englishCount && !ItemLimitReached(); ++r) {
            const IndexRecord &record = m_dict.index.english[static_cast<size_t>(r)];
            if (record.id == 0)
                break;
            const Cp1253View h = folded.At(r);
            if (!start.empty() &&
                !BeginsWith(FromMatchStart(h, record.matchStart), start, start.size()))
                continue;
            if (!contain.empty() && !ContainsTest(h, contain))
                continue;
            if (!end.empty() && !EndsWith(h, end))
                continue;
            AddListItem(r, 0);
        }
    } else {
        const FoldedTable &locale = m_dict.folded.GreekLocale();
        const FoldedTable &ascii = m_dict.folded.GreekAscii();
        for (int g = 1; g <= m_dict.index.greekCount && !ItemLimitReached(); ++g) {
            if (m_dict.index.greek[static_cast<size_t>(g)].id == 0)
                break;
            if (!start.empty() && !BeginsWith(locale.At(g), start, start.size()))
                continue;
            if (!contain.empty() && !ContainsTest(ascii.At(g), contain))
                continue;
            if (!end.empty() && !EndsWith(ascii.At(g), end))
                continue;
            if (const int e = GreekToEnglish(g, false))
                AddListItem(e, g);
        }
    }
}

bool MainLexCore::ExactMatch(int record)
{
    if (!IsRecord(record))
        return false;
    // Only the typed side is folded here; the headword side was folded at load. Both English
    // sides drop punctuation, or "acid-test ratio" could never name its own headword.
    if (m_state.LanguageMode == Language::English)
        return LocaleLower(LatinKey(m_state.entryText, true)) ==
               m_dict.folded.EnglishExact().At(record);
    const int g = GreekOf(record);
    return g != 0 && FoldGreekLetters(Trim(GreekKey(m_state.entryText, true))) ==
                         m_dict.folded.GreekExact().At(g);
}

void MainLexCore::Entry_TextChange(Cp1253View text)
{
    m_state.entryText = Cp1253(text);
    if (m_state.SuppressEntryChange)
        return;
    m_state.NextMenu.clear();
    FillEntryList(LookupMode::Start, 0, false);
    if (!m_state.listItems.empty()) {
        m_state.itemIndex = 0;
        if (ExactMatch(ListRecord(0))) {
            Entries_ListClick();
            return; // a named headword costs no suggestion work
        }
    }
    m_state.suggestions =
        m_suggester->Suggest(m_state.entryText, m_state.LanguageMode == Language::Greek);
}

bool MainLexCore::Entry_TextKeyDown(EntryKey key, int visibleItems)
{
    const int page = visibleItems;
    const int count = static_cast<int>(m_state.listItems.size());
    const int i = m_state.itemIndex;
    int next = i;
    switch (key) {
    case EntryKey::Down:
        // A list of one item opens it, unless it is the entry on display already.
        if (count == 1 &&
            !(i == 0 && m_state.shownRecord != 0 && m_state.shownRecord == ListRecord(0))) {
            next = 0;
            break;
        }
        if (!(i < count - 1))
            return false;
        next = i + 1;
        break;
    case EntryKey::Up:
        if (!(i > 0))
            return false;
        next = i - 1;
        break;
    case EntryKey::PageUp:
        if (!(i > 0))
            return false;
        next = i > page ? i - page : 0;
        break;
    case EntryKey::PageDown:
        if (!(i < count - 1))
            return false;
        next = i > count - 1 - page ? count - 1 : i + page;
        break;
    case EntryKey::Other:
        return false;
    }
    Entries_ListEnter(); // the focus moves to the list
    SelectListItem(next);
    Entries_ListClick();
    return true;
}

void MainLexCore::Fill_List_ButtonClick()
{
    m_state.NextMenu.clear();
    FillEntryList(m_state.DefaultLookupMode, 0, false);
}

void MainLexCore::WholeLex_ButtonClick()
{
    ResetDisplay();
    m_state.highlightWord.clear();
    m_addedItems = 0;
    for (int r = 1; r <= m_dict.index.englishCount && !ItemLimitReached(); ++r) {
        const IndexRecord &record = m_dict.index.english[static_cast<size_t>(r)];
        if (record.id == 0)
            break;
        AddItem(Cp1253(record.headword), r);
    }
}

} // namespace termdex
