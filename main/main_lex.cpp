#include "main/main_lex.h"

#include "data/description_store.h"
#include "lib/folding.h"
#include "main/quick_translation.h"
#include "richtext/plain_text.h"
#include "store/folder_lock.h"

#include <algorithm>
#include <array>

namespace termdex {
namespace {

// The small and capital Greek letters: 0xE1..0xF9 with "ς", "άέήίόύώ", "ϊϋ"; 0xC1..0xD9
// without 0xD2, "ΆΈΉΊΌΎΏ", "ΪΫ".
constexpr std::string_view kGreekSmall =
    "\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF3\xF4\xF5\xF6\xF7"
    "\xF8\xF9\xF2\xDC\xDD\xDE\xDF\xFC\xFD\xFE\xFA\xFB";
constexpr std::string_view kGreekCapital =
    "\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD3\xD4\xD5\xD6\xD7"
    "\xD8\xD9\xA2\xB8\xB9\xBA\xBC\xBE\xBF\xDA\xDB";
static_assert(kGreekSmall.size() == 34 && kGreekCapital.size() == 33);

// Sets a flag back to false when the handler ends, whichever way it ends.
class FalseOnExit
{
public:
    explicit FalseOnExit(bool &flag) : m_flag(flag) { m_flag = true; }
    ~FalseOnExit() { m_flag = false; }
    FalseOnExit(const FalseOnExit &) = delete;
    FalseOnExit &operator=(const FalseOnExit &) = delete;

private:
    bool &m_flag;
};

} // namespace

const char *LookupModeName(LookupMode mode)
{
    switch (mode) {
    case LookupMode::Start:
        return "START";
    case LookupMode::Contain:
        return "CONTAIN";
    case LookupMode::End:
        return "END";
    case LookupMode::Specific:
        return "SPECIFIC";
    case LookupMode::Multi:
        return "MULTI";
    }
    return "START";
}

bool IsGreekLetter(unsigned char c)
{
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> t{};
        for (char ch : kGreekSmall)
            t[static_cast<unsigned char>(ch)] = true;
        for (char ch : kGreekCapital)
            t[static_cast<unsigned char>(ch)] = true;
        return t;
    }();
    return table[c];
}

MainLexCore::MainLexCore(ProgramPaths paths, FileSystem &files, KeyboardLayouts *keyboard,
                         MainLexLimits limits)
    : m_dict(std::move(paths)), m_files(files), m_keyboard(keyboard), m_limits(limits),
      m_suggester(std::make_unique<HeadwordSuggester>())
{
    m_state.keyboards = FindKeyboardLayouts(m_keyboard);
    m_state.LanguageMode = Language::English;
    ActivateModeKeyboard();
    Loaded();
}

int MainLexCore::ListRecord(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= m_state.ListRecords.size())
        return 0;
    const int record = m_state.ListRecords[static_cast<size_t>(index)];
    return IsRecord(record) ? record : 0;
}

bool MainLexCore::IsRecord(int record) const
{
    return record >= 1 && record <= m_dict.index.englishCount;
}

// ---- Start-up and the display ----

IndexLoadStatus MainLexCore::LoadIndex()
{
    m_customStamp = StampFile(m_dict.paths.customIndexPath);
    LoadEntryIndex(m_dict);
    Loaded();
    return m_dict.status;
}

void MainLexCore::Loaded() { m_suggester->Reset(&m_dict.index, &m_dict.folded); }

void MainLexCore::UseHunspellFolder(const std::filesystem::path &folder)
{
    m_suggester = std::make_unique<HeadwordSuggester>(folder);
    m_suggester->Reset(&m_dict.index, &m_dict.folded);
}

IndexLoadStatus MainLexCore::FormShow()
{
    if (!m_dict.preamble.empty())
        return {};
    // Read under the folder's lock, so never half way through another program's rewrite; one
    // that a crash interrupted is finished first.
    IndexLoadStatus status;
    {
        const FolderLock lock = LockForReading(m_files, m_dict.paths);
        status = LoadIndex();
    }
    LoadPreamble(m_dict);
    ResetDisplay();
    m_state.DefaultLookupMode = LookupMode::Start;
    return status;
}

IndexLoadStatus MainLexCore::ReloadIndex()
{
    const FolderLock lock = LockForReading(m_files, m_dict.paths);
    return LoadIndex();
}

void MainLexCore::RemoveListItem(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_state.listItems.size())
        return;
    m_state.listItems.erase(m_state.listItems.begin() + index);
    if (static_cast<size_t>(index) < m_state.ListRecords.size())
        m_state.ListRecords.erase(m_state.ListRecords.begin() + index);
    if (m_state.itemIndex == index)
        m_state.itemIndex = -1;
    else if (m_state.itemIndex > index)
        --m_state.itemIndex;
}

void MainLexCore::PrepareFoldedHeadwords()
{
    m_dict.folded.English();
    m_dict.folded.GreekLocale();
    m_dict.folded.GreekAscii();
    m_dict.folded.EnglishExact();
    m_dict.folded.GreekExact();
}

void MainLexCore::ResetDisplay()
{
    m_state.entryLabel.clear();
    m_state.transLabel.clear();
    m_state.listItems.clear();
    m_state.ListRecords.clear();
    m_state.itemIndex = -1;
    m_state.listHint.clear(); // the hint spoke of the list that is gone
    m_state.descriptionDocument.clear();
    m_state.descriptionText.clear();
    m_state.modifyEntryEnabled = false;
    m_state.deleteEntryEnabled = false;
    m_state.medicalImageVisible = true;
    m_state.shownRecord = 0;
    m_state.searchReport.clear();
    m_state.suggestions.clear();
    m_state.links.clear();
}

void MainLexCore::SelectListItem(int index)
{
    const bool valid = index >= 0 && static_cast<size_t>(index) < m_state.listItems.size();
    m_state.itemIndex = valid ? index : -1;
}

int MainLexCore::GreekOf(int e) const
{
    const int g = m_dict.index.english[static_cast<size_t>(e)].greekIndex;
    return g >= 1 && g <= m_dict.index.greekCount ? g : 0;
}

void MainLexCore::Entries_ListClick()
{
    // The description is read under the folder's lock, from the files the tables describe.
    const FolderLock lock = LockForReading(m_files, m_dict.paths);
    FollowOtherWriters();
    m_state.medicalImageVisible = false;
    if (m_state.itemIndex < 0 || static_cast<size_t>(m_state.itemIndex) >= m_state.listItems.size())
        return;
    const int r = ListRecord(m_state.itemIndex);
    if (r == 0)
        return;
    const IndexRecord &english = m_dict.index.english[static_cast<size_t>(r)];
    const int g = GreekOf(r);
    const Cp1253View greek = m_dict.index.greek[static_cast<size_t>(g)].headword; // slot 0: empty
    m_state.entryLabel = m_state.LanguageMode == Language::Greek ? greek : english.headword;
    m_state.transLabel = m_state.LanguageMode == Language::Greek ? english.headword : greek;

    // Every entry can be modified; only the reader's own ('C') can be deleted.
    m_state.modifyEntryEnabled = true;
    if (english.kind == EntryKind::Shipped || english.kind == EntryKind::Supplemented)
        m_state.deleteEntryEnabled = false;
    else if (english.kind == EntryKind::Own)
        m_state.deleteEntryEnabled = true;
    ShowDescriptionOf(english);

    // With the description area squeezed away, the list's hint carries the whole entry.
    if (m_state.descriptionAreaShown) {
        m_state.listHint.clear();
    } else {
        Cp1253 hint = m_state.entryLabel;
        if (!Trim(m_state.transLabel).empty())
            hint += " [" + m_state.transLabel + "]";
        // The description's closing paragraph ends would show as blank lines under it.
        if (!Trim(m_state.descriptionText).empty())
            hint += "\r\n" + TrimRight(m_state.descriptionText);
        m_state.listHint = std::move(hint);
    }

    RecordEntryLeft();
    m_state.CurrentEntryCaption = m_state.listItems[static_cast<size_t>(m_state.itemIndex)];
    m_state.CurrentEntryRecord = r;
    m_state.shownRecord = r;
}

void MainLexCore::ShowDescriptionOf(const IndexRecord &record)
{
    // A description that cannot be read leaves the description as it was.
    const auto source = DescriptionSourceFor(m_dict.paths, record, m_dict.supplementRefs);
    if (!source)
        return;
    auto document = ReadDescriptionDocument(m_dict.preamble, *source);
    if (!document)
        return;
    Cp1253 plain = RtfToPlainText(*document);
    // A document the reader could not take shows its own source; the view is emptied instead.
    if (plain.starts_with("{\\rtf1")) {
        m_state.descriptionDocument.clear();
        m_state.descriptionText.clear();
        m_state.links.clear();
        return;
    }
    m_state.links.clear();
    if (plain.find("\xE2\xEB.") != Cp1253::npos || plain.find("\xC2\xEB.") != Cp1253::npos)
        m_state.links = FindEntryLinks(*document, [this](Cp1253View headword) {
            return m_suggester->ExactRecord(headword, false);
        });
    m_state.descriptionDocument = std::move(*document);
    m_state.descriptionText = std::move(plain);
}

bool MainLexCore::ShowRecord(int record)
{
    if (!IsRecord(record))
        return false;
    ResetDisplay();
    m_addedItems = 0;
    AddListItem(record, m_state.LanguageMode == Language::Greek ? GreekOf(record) : 0);
    m_state.itemIndex = 0;
    Entries_ListClick();
    return true;
}

bool MainLexCore::JumpToRecord(int record)
{
    if (!IsRecord(record))
        return false;
    Cp1253 caption;
    if (m_state.LanguageMode == Language::Greek)
        caption = m_dict.index.greek[static_cast<size_t>(GreekOf(record))].headword;
    // An entry without a Greek headword is shown in English.
    if (Trim(caption).empty())
        caption = m_dict.index.english[static_cast<size_t>(record)].headword;
    if (Trim(caption).empty())
        return ShowRecord(record);
    FalseOnExit suppress(m_state.SuppressEntryChange);
    m_state.entryText = caption;
    DetectLanguage();
    FillEntryList(LookupMode::Specific, record, false);
    m_state.NextMenu.clear();
    return true;
}

std::vector<Suggestion> MainLexCore::SuggestHeadwords(Cp1253View text)
{
    const Cp1253 trimmed = TrimLeft(text);
    const bool greek = trimmed.empty() ? m_state.LanguageMode == Language::Greek
                                       : IsGreekLetter(static_cast<unsigned char>(trimmed[0]));
    return m_suggester->Suggest(trimmed, greek);
}

// ---- Language ----

void MainLexCore::DetectLanguage()
{
    if (m_state.entryText.empty())
        return;
    SetLanguageMode(IsGreekLetter(static_cast<unsigned char>(m_state.entryText[0])));
}

void MainLexCore::SetLanguageMode(bool greek)
{
    m_state.LanguageMode = greek ? Language::Greek : Language::English;
    ActivateModeKeyboard();
}

void MainLexCore::ActivateModeKeyboard()
{
    const LayoutHandle layout = m_state.LanguageMode == Language::Greek
                                    ? m_state.keyboards.greekLayout
                                    : m_state.keyboards.englishLayout;
    if (m_keyboard != nullptr && layout != 0)
        m_keyboard->Activate(layout);
}

void MainLexCore::Lang_ButtonClick()
{
    SetLanguageMode(m_state.LanguageMode == Language::English);
    // Emptying a field that is already empty is no change, so no lookup runs then.
    if (!m_state.entryText.empty())
        Entry_TextChange("");
}

// ---- Search-criteria dialog and full-text search ----

void MainLexCore::Search_ButtonClick(const std::optional<SearchCriteria> &accepted)
{
    if (!accepted)
        return;
    m_state.SearchStartText = accepted->start;
    m_state.SearchContainText = accepted->contain;
    m_state.SearchEndText = accepted->end;
    m_state.NextMenu.clear();
    // A criterion is given when it is not the empty string; blanks count.
    const bool start = !accepted->start.empty();
    const bool contain = !accepted->contain.empty();
    const bool end = !accepted->end.empty();
    const int given = int(start) + int(contain) + int(end);
    if (given == 0)
        return;
    {
        FalseOnExit suppress(m_state.SuppressEntryChange);
        m_state.entryText = given > 1 ? Cp1253()
                            : start   ? accepted->start
                            : contain ? accepted->contain
                                      : accepted->end;
    }
    const LookupMode mode = given > 1 ? LookupMode::Multi
                            : start   ? LookupMode::Start
                            : contain ? LookupMode::Contain
                                      : LookupMode::End;
    m_startKeyShortened = false;
    FillEntryList(mode, 0, false);
    SearchOutcome outcome;
    outcome.found = static_cast<int>(m_state.listItems.size());
    outcome.limited = ItemLimitReached();
    outcome.nearest = mode == LookupMode::Start && m_startKeyShortened && outcome.found > 0;
    m_state.searchReport = SearchReport(outcome);
}

DescrSearchResult MainLexCore::DescrSearch_ButtonClick(const std::optional<Cp1253> &word,
                                                       const DescrSearchOptions &options)
{
    FalseOnExit suppress(m_state.SuppressEntryChange);
    if (!word)
        return {};
    m_state.entryText = TrimLeft(*word);
    ResetDisplay();
    DetectLanguage();
    const Cp1253 searchWord =
        DescrSearchWord(m_state.entryText, m_state.LanguageMode == Language::Greek);
    m_state.highlightWord = searchWord;
    m_state.highlightGreek = m_state.LanguageMode == Language::Greek;
    DescrSearchOptions limited = options;
    limited.matchLimit = std::min(options.matchLimit, m_limits.searchMatches);
    const FolderLock lock = LockForReading(m_files, m_dict.paths);
    FollowOtherWriters();
    DescrSearchResult result =
        SearchDescriptions(m_dict, searchWord, m_state.LanguageMode == Language::Greek, limited);
    // The list always shows English headwords, marked as every list marks them.
    m_addedItems = 0;
    for (int r : result.records) {
        const IndexRecord &record = m_dict.index.english[static_cast<size_t>(r)];
        AddItem(record.kind == EntryKind::Own ? Cp1253(record.headword) + " *"
                                              : Cp1253(record.headword),
                r);
    }
    SearchOutcome outcome;
    outcome.kind = SearchKind::Descriptions;
    outcome.found = static_cast<int>(m_state.listItems.size());
    outcome.limited =
        ItemLimitReached() || (!result.cancelled && !result.failed &&
                               static_cast<int>(result.records.size()) >= limited.matchLimit);
    outcome.cancelled = result.cancelled;
    outcome.failed = result.failed;
    outcome.word = m_state.entryText;
    m_state.searchReport = SearchReport(outcome);
    return result;
}

// ---- History ----

HistoryItem MainLexCore::NewHistoryItem(const Cp1253 &caption, int tag)
{
    return HistoryItem{caption, tag, m_nextSerial++};
}

void MainLexCore::RemoveBySerial(std::vector<HistoryItem> &menu, uint64_t serial)
{
    const auto it = std::find_if(menu.begin(), menu.end(),
                                 [&](const HistoryItem &item) { return item.serial == serial; });
    if (it != menu.end())
        menu.erase(it);
}

void MainLexCore::RecordEntryLeft()
{
    if (m_state.CurrentEntryCaption.empty())
        return;
    auto &prev = m_state.PrevMenu;
    const auto same = std::find_if(prev.begin(), prev.end(), [&](const HistoryItem &item) {
        return item.tag == m_state.CurrentEntryRecord;
    });
    if (same != prev.end())
        prev.erase(same);
    prev.insert(prev.begin(),
                NewHistoryItem(m_state.CurrentEntryCaption, m_state.CurrentEntryRecord));
    if (prev.size() > static_cast<size_t>(kMaxPrevItems))
        prev.erase(prev.begin() + kMaxPrevItems);
}

void MainLexCore::Prev_ButtonClick()
{
    if (m_state.PrevMenu.empty())
        return;
    FalseOnExit suppress(m_state.SuppressEntryChange);
    const HistoryItem target = m_state.PrevMenu.front();
    m_state.entryText = target.caption;
    DetectLanguage();
    FillEntryList(LookupMode::Specific, target.tag, false);
    // The display recorded the entry just left as PrevMenu's first item: it moves to NextMenu.
    if (!m_state.PrevMenu.empty()) {
        const HistoryItem left = m_state.PrevMenu.front();
        m_state.NextMenu.insert(m_state.NextMenu.begin(), NewHistoryItem(left.caption, left.tag));
        m_state.PrevMenu.erase(m_state.PrevMenu.begin());
    }
    RemoveBySerial(m_state.PrevMenu, target.serial);
}

void MainLexCore::Next_ButtonClick()
{
    if (m_state.NextMenu.empty())
        return;
    FalseOnExit suppress(m_state.SuppressEntryChange);
    const HistoryItem target = m_state.NextMenu.front();
    m_state.entryText = target.caption;
    DetectLanguage();
    FillEntryList(LookupMode::Specific, target.tag, false);
    RemoveBySerial(m_state.NextMenu, target.serial);
}

void MainLexCore::PrevMenuClick(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_state.PrevMenu.size())
        return;
    FalseOnExit suppress(m_state.SuppressEntryChange);
    const HistoryItem chosen = m_state.PrevMenu[static_cast<size_t>(index)];
    m_state.entryText = chosen.caption;
    DetectLanguage();
    FillEntryList(LookupMode::Specific, chosen.tag, false);
    // Recording the entry left may already have removed it, when it names that entry.
    RemoveBySerial(m_state.PrevMenu, chosen.serial);
    m_state.NextMenu.clear();
}

void MainLexCore::NextMenuClick(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_state.NextMenu.size())
        return;
    FalseOnExit suppress(m_state.SuppressEntryChange);
    const HistoryItem chosen = m_state.NextMenu[static_cast<size_t>(index)];
    m_state.entryText = chosen.caption;
    DetectLanguage();
    FillEntryList(LookupMode::Specific, chosen.tag, false);
    // The entries that stood before the chosen one are not kept.
    m_state.NextMenu.clear();
}

// ---- Focus, copy and paste ----

CopyDecision MainLexCore::ChooseCopySource(bool descriptionHasSelection,
                                           bool entryHasSelection) const
{
    if (m_state.LastFocusName == FocusName::Description_Text)
        return {descriptionHasSelection ? CopySource::DescriptionSelection
                                        : CopySource::WholeDescription,
                {}};
    if (m_state.itemIndex < 0 ||
        static_cast<size_t>(m_state.itemIndex) >= m_state.listItems.size()) {
        if (m_state.entryText.empty())
            return {CopySource::Nothing, {}};
        return {entryHasSelection ? CopySource::EntrySelection : CopySource::WholeEntry, {}};
    }
    return {CopySource::ListItem, m_state.listItems[static_cast<size_t>(m_state.itemIndex)]};
}

void MainLexCore::Copy_ButtonClick(bool descriptionHasSelection, bool entryHasSelection,
                                   const std::function<void(const CopyDecision &)> &write)
{
    const bool english = m_state.LanguageMode == Language::English;
    auto activate = [&](LayoutHandle layout) {
        if (m_keyboard != nullptr && layout != 0)
            m_keyboard->Activate(layout);
    };
    // Copying in English mode happens under the Greek layout, so that the text goes out as
    // Greek to programs that take the clipboard's language from the active layout.
    if (english)
        activate(m_state.keyboards.greekLayout);
    FalseOnExit own(m_state.OwnClipboardWrite);
    if (write)
        write(ChooseCopySource(descriptionHasSelection, entryHasSelection));
    if (english)
        activate(m_state.keyboards.englishLayout);
}

void MainLexCore::Paste_ButtonClick(Cp1253View pasted)
{
    const Cp1253 text = TrimPastedText(pasted);
    if (!m_state.entryText.empty())
        Entry_TextChange("");
    if (!text.empty())
        Entry_TextChange(text);
}

void MainLexCore::QuickTranslate(Cp1253View copied)
{
    Paste_ButtonClick(copied);
    if (m_state.shownRecord != 0)
        return;
    const Suggestion *form = nullptr;
    for (const Suggestion &s : m_state.suggestions) {
        if (s.reason != SuggestionReason::Form)
            continue;
        if (form != nullptr)
            return; // more than one dictionary form: the reader chooses
        form = &s;
    }
    if (form != nullptr)
        JumpToRecord(form->record);
}

} // namespace termdex
