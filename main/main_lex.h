// The main window's logic without its widgets: the state that the window shows, and its
// handlers under their own names. The Qt window reads its widgets into a call, then mirrors the
// state back into the widgets (with its own change signals blocked: the core already ran what
// a change would run). The command line drives the same object.
//
// Record numbers are English slot numbers, 1-based, 0 for none. Every number that comes from
// outside (a history tag, a list record, a command-line argument) is range-checked before use.
#pragma once

#include "data/dictionary.h"
#include "lib/text.h"
#include "main/descr_search.h"
#include "main/entry_links.h"
#include "main/keyboard.h"
#include "main/search_report.h"
#include "main/suggestions.h"
#include "store/file_system.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace termdex {

enum class LookupMode { Start, Contain, End, Specific, Multi };
// "START", "CONTAIN", "END", "SPECIFIC", "MULTI".
const char *LookupModeName(LookupMode mode);

constexpr int kMaxListItems = 32736; // items one lookup adds at most
constexpr int kMaxPrevItems = 15;    // PrevMenu's length

// True for the 34 small and 33 capital Greek letters that make a text Greek ("ΐ" and "ΰ" are
// in neither set).
bool IsGreekLetter(unsigned char c);

// The language of the headwords looked up and listed (LanguageMode). English is false when
// taken as a bool, Greek true, as every greek flag of the core reads it.
enum class Language : bool { English = false, Greek = true };

// The control that last took the focus of the three that Copy decides between (LastFocusName).
enum class FocusName { None, Entries_List, Description_Text, Entry_Text };

// A history menu item.
struct HistoryItem
{
    Cp1253 caption;      // the list item's text when it was shown, " *" mark included
    int tag = 0;         // its English record number
    uint64_t serial = 0; // tells two items apart that hold the same caption and tag
};

// The keys that Entry_TextKeyDown moves the list with.
enum class EntryKey { Down, Up, PageUp, PageDown, Other };

// The three texts of the search-criteria dialog closed with OK, exactly as typed.
struct SearchCriteria
{
    Cp1253 start, contain, end;
};

// What Copy puts on the clipboard, decided from the focus history and the selections.
enum class CopySource {
    Nothing,              // no list item selected and an empty entry field
    DescriptionSelection, // the description's selected text, as plain text
    WholeDescription,     // the whole description with its formatting; selection collapsed after
    EntrySelection,       // the entry field's selected text
    WholeEntry,           // the whole entry field; selection collapsed after
    ListItem,             // the selected list item's text (" *" included), as plain text
};
struct CopyDecision
{
    CopySource source = CopySource::Nothing;
    Cp1253 text; // for ListItem: the item text
};

// The window's state as plain data. Fields named after the window's own variables keep those
// names; the rest mirror a widget, named in the comment.
struct MainLexState
{
    Cp1253 entryText;                 // Entry_Text
    std::vector<Cp1253> listItems;    // Entries_List: the item texts as shown
    std::vector<int> ListRecords;     // parallel to listItems: each item's English record
    int itemIndex = -1;               // Entries_List's selected item, -1 for none
    Cp1253 listHint;                  // Entries_List's hint (set when the description is hidden)
    Cp1253 entryLabel;                // Entry_Label: the headword in the lookup language
    Cp1253 transLabel;                // Trans_Label: its rendering
    Cp1253 descriptionDocument;       // the RTF loaded into Description_Text; empty for none
    Cp1253 descriptionText;           // its plain text (paragraphs joined with CR LF)
    bool medicalImageVisible = true;  // Medical_Image, the banner shown while nothing is displayed
    bool modifyEntryEnabled = false;  // ModifyEntryItem
    bool deleteEntryEnabled = false;  // DeleteEntryItem
    bool descriptionAreaShown = true; // Description_Text has a width and a height (the window
                                      // says so through SetDescriptionAreaShown)
    int shownRecord = 0;              // the entry on display; 0 from ResetDisplay until a display
    Cp1253 searchReport;              // what the last search found (SearchReport); emptied by
                                      // ResetDisplay, so every new lookup takes it away
    // The line under the entry field: what the typed text may have meant when it named no
    // headword; emptied by every lookup.
    std::vector<Suggestion> suggestions;
    // The entries the description on display names after "βλ.", in text order.
    std::vector<EntryLink> links;
    // After a full-text search, the folded word that its entries' descriptions highlight
    // (WholeWordSpans); empty otherwise.
    Cp1253 highlightWord;
    bool highlightGreek = false;

    Language LanguageMode = Language::English;
    bool SuppressEntryChange = false;
    bool OwnClipboardWrite = false;
    FocusName LastFocusName = FocusName::None;
    Cp1253 CurrentEntryCaption;
    int CurrentEntryRecord = 0;
    std::vector<HistoryItem> PrevMenu; // most recent first, at most 15, tags unique
    std::vector<HistoryItem> NextMenu; // most recent first
    Cp1253 SearchStartText, SearchContainText, SearchEndText;
    LookupMode DefaultLookupMode = LookupMode::Start;
    ModeKeyboards keyboards; // GreekLayout, EnglishLayout
};

// Limits that tests lower to reach them with small tables.
struct MainLexLimits
{
    int listItems = kMaxListItems;
    int searchMatches = kMaxSearchMatches;
};

class MainLexCore
{
public:
    // The window's creation: keeps the paths, finds the keyboard layouts (keyboard may be null:
    // no layouts), sets English and activates its layout. Every read of the reader's files
    // (under their folder's lock) and every edit goes through files, which must outlive the core.
    MainLexCore(ProgramPaths paths, FileSystem &files, KeyboardLayouts *keyboard = nullptr,
                MainLexLimits limits = {});
    MainLexCore(const MainLexCore &) = delete; // the suggester points into the dictionary
    MainLexCore &operator=(const MainLexCore &) = delete;

    const MainLexState &State() const { return m_state; }
    // The dictionary the window shows; its members are also reachable one by one below.
    const Dictionary &Dict() const { return m_dict; }
    const EntryIndex &Index() const { return m_dict.index; }
    const std::vector<std::string> &SupplementRefs() const { return m_dict.supplementRefs; }
    const ProgramPaths &Paths() const { return m_dict.paths; }
    // The file system the core was given; the editing commands write through it.
    FileSystem &Files() const { return m_files; }
    // For the custom-folder resolution, which sets the six custom paths.
    ProgramPaths &MutablePaths() { return m_dict.paths; }
    // Loads from here on go through snapshots in cache.folder (none by default).
    void UseIndexCache(IndexCache cache) { m_dict.cache = std::move(cache); }
    // The English record number of list item index, 0 when there is no such item or the number
    // is not a record.
    int ListRecord(int index) const;
    // ListRecord of the selected item.
    int SelectedRecord() const { return ListRecord(m_state.itemIndex); }
    // True for a record number within 1 .. the English count with a used slot.
    bool IsRecord(int record) const;

    // ---- Start-up and the display (the window's FormShow, ResetDisplay) ----
    // The first showing's load step, which runs only while the dictionary's preamble is empty:
    // LoadEntryIndex, LoadRtfHeader, ResetDisplay, DefaultLookupMode = START. Returns where the
    // load stopped.
    IndexLoadStatus FormShow();
    // LoadEntryIndex again after the reader's files changed; the folded headwords and letter
    // starts follow the new tables. The list and the display are left to the caller (their
    // record numbers are checked whenever they are read).
    IndexLoadStatus ReloadIndex();
    // Where the last load of the tables stopped: not complete when a shipped index file was
    // missing or ended in a line that is not a record (editing is then refused).
    const IndexLoadStatus &LoadStatus() const { return m_dict.status; }
    // Takes item index (0-based) and its record out of the list; the selection follows.
    void RemoveListItem(int index);
    // Empties both labels, the list with ListRecords and the description, disables modify and
    // delete and shows the banner.
    void ResetDisplay();
    // After the reader's files changed, or before an edit under the folder's lock
    // (custom/main_lex_reload.cpp): finishes a commit that a crash interrupted, reloads the tables
    // and carries every record number the state holds (list items, history items, the entry on
    // display) over to the new tables by entry id; list and history items whose entry is gone are
    // dropped.
    IndexLoadStatus ReloadAfterEdit();
    // ReloadAfterEdit when the reader's index file is no longer the one the tables were loaded
    // from (another program's edit moved the descriptions they point to). Called under the
    // folder's lock, so that what is read next belongs to the same files.
    void FollowOtherWriters();
    // After a delete: empties both labels and the description and disables modify and delete;
    // the list stays.
    void ClearEntryDisplay();
    // The window reports whether Description_Text still has a width and a height.
    void SetDescriptionAreaShown(bool shown) { m_state.descriptionAreaShown = shown; }
    // Builds every folded form of the headwords now rather than at the first keystroke.
    void PrepareFoldedHeadwords();
    // The folder of the Hunspell dictionaries that give the dictionary forms of typed words.
    void UseHunspellFolder(const std::filesystem::path &folder);

    // ---- The headword list ----
    // The lookup: clears the list and fills it in mode, from the entry field. recordNumber is
    // read by SPECIFIC only; customOnly restricts START, CONTAIN and END to kinds 'C' and 'A',
    // and with an empty entry field lists the edited entries.
    void FillEntryList(LookupMode mode, int recordNumber, bool customOnly);
    // The entry field now holds text (typed, pasted or emptied): unless SuppressEntryChange,
    // empties NextMenu, runs the START lookup, selects item 0 and shows it when the text names
    // its headword exactly.
    void Entry_TextChange(Cp1253View text);
    // The program writes the entry field itself: no lookup runs.
    void WriteEntryText(Cp1253View text) { m_state.entryText = Cp1253(text); }
    // Arrow and page keys in the entry field; visibleItems is the list's height divided by its
    // item height. True when the selection moved (the focus goes to the list and the entry is
    // shown); the key is never consumed.
    bool Entry_TextKeyDown(EntryKey key, int visibleItems);
    // Enter: empties NextMenu, then the lookup in DefaultLookupMode.
    void Fill_List_ButtonClick();
    // Every English headword, unmarked, up to the item limit, whatever the language.
    void WholeLex_ButtonClick();
    // The reader selects list item index (-1 for none) without the display step running yet.
    void SelectListItem(int index);
    // The display step of the selected item: labels, description, modify/delete, hint, and the
    // entry being left recorded in PrevMenu. Nothing is shown when no item is selected.
    void Entries_ListClick();
    // A list holding only record (in the current language, marked as in every list), selected
    // and shown: what clicking that record in a list does. False when record is not a record.
    bool ShowRecord(int record);
    // Shows record as a jump through the history does: its headword in the current language
    // goes into the entry field (unseen by the incremental lookup), the one entry is listed
    // and shown, and the entry left goes into PrevMenu. False when record is not a record.
    bool JumpToRecord(int record);

    // ---- Suggestions ----
    // What text may mean when it names no headword exactly: up to five headwords of its
    // language (Greek when it begins with a Greek letter, else the current one), dictionary
    // forms of its last word first, then near spellings. Empty when a headword is named.
    std::vector<Suggestion> SuggestHeadwords(Cp1253View text);

    // ---- Language ----
    // Greek when the entry field's first character is a Greek letter, else English; an empty
    // field changes nothing.
    void DetectLanguage();
    // Sets the mode (the window changes Lang_Button's glyph) and activates the mode's layout.
    void SetLanguageMode(bool greek);
    // Activates GreekLayout or EnglishLayout; a mode without a layout leaves the keyboard alone.
    void ActivateModeKeyboard();
    // Flips the mode and empties the entry field (which runs Entry_TextChange when it held text).
    void Lang_ButtonClick();

    // ---- Search-criteria dialog and full-text search ----
    // The dialog closed: nullopt for Cancel (nothing changes). With OK the criteria are kept,
    // NextMenu is emptied, and one criterion runs its own mode on the entry field, two or three
    // run MULTI on an empty field.
    void Search_ButtonClick(const std::optional<SearchCriteria> &accepted);
    // The word dialog closed: nullopt for Cancel. With a word, the entry field takes it without
    // leading blanks, the display is reset, the language detected, and the list receives the
    // English headword of every record whose description holds the word. Returns the scan's
    // outcome (the matching records are also the list's).
    DescrSearchResult DescrSearch_ButtonClick(const std::optional<Cp1253> &word,
                                              const DescrSearchOptions &options = {});

    // ---- History ----
    void Prev_ButtonClick();
    void Next_ButtonClick();
    // Jumps to item index of PrevMenu / NextMenu; an index outside the menu does nothing.
    void PrevMenuClick(int index);
    void NextMenuClick(int index);
    // Empties NextMenu, as every new lookup that the reader starts does.
    void ClearNextMenu() { m_state.NextMenu.clear(); }

    // ---- Focus, copy and paste ----
    void Entries_ListEnter() { m_state.LastFocusName = FocusName::Entries_List; }
    void Description_TextEnter() { m_state.LastFocusName = FocusName::Description_Text; }
    // The window also selects the whole entry field.
    void Entry_TextEnter() { m_state.LastFocusName = FocusName::Entry_Text; }
    // What Copy takes, given whether the description and the entry field have a selection.
    CopyDecision ChooseCopySource(bool descriptionHasSelection, bool entryHasSelection) const;
    // Copy: in English mode the Greek layout is active around the write; OwnClipboardWrite is
    // true only while write runs (and false again whatever write does).
    void Copy_ButtonClick(bool descriptionHasSelection, bool entryHasSelection,
                          const std::function<void(const CopyDecision &)> &write);
    // Paste: the entry field is emptied, then holds the pasted text without the punctuation
    // and quotation marks around it; each change runs its lookup.
    void Paste_ButtonClick(Cp1253View pasted);
    // Quick translation of copied text: pasted as above; when it names no headword but has
    // exactly one dictionary form that does, that entry is shown (JumpToRecord).
    void QuickTranslate(Cp1253View copied);

private:
    // Fills the tables anew (through the index cache) and recomputes what follows from them.
    IndexLoadStatus LoadIndex();
    void Loaded();
    // Appends one item; every path that adds an item adds its record with it.
    void AddItem(Cp1253 text, int record);
    // The item of English record e as the list of the current language shows it: the Greek
    // headword of Greek record g (in Greek mode) or e's own, with " *" for kind 'C'.
    void AddListItem(int e, int g);
    bool ItemLimitReached() const { return m_addedItems >= m_limits.listItems; }
    // English record r, when it passes customOnly.
    bool EnglishIncluded(int r, bool customOnly) const;
    // The English record of Greek record g, or 0 when it has none or fails customOnly.
    int GreekToEnglish(int g, bool customOnly) const;
    int GreekOf(int e) const; // the Greek record of English record e, 0 for none
    void LookupStart(const Cp1253 &key, bool customOnly);
    // The scan of "START" from the slot of key's first character: visit(e, g) for each included
    // record whose folded headword (English: from its match start) passes matches.
    template <typename Matches, typename Visit>
    void ScanStartSlot(const Cp1253 &key, bool customOnly, const Matches &matches,
                       const Visit &visit);
    void LookupContain(const Cp1253 &key, bool customOnly);
    void LookupEnd(const Cp1253 &key, bool customOnly);
    // The scan of "CONTAIN" and "END": every record of the current language's table, from 1,
    // compared ASCII-folded; matches(folded headword) decides.
    template <typename Matches> void ScanWholeTable(bool customOnly, const Matches &matches);
    void LookupSpecific(int record);
    void ListEditedEntries();
    void LookupMulti();
    bool ExactMatch(int record);
    void ShowDescriptionOf(const IndexRecord &record);
    void RecordEntryLeft();
    void RemoveBySerial(std::vector<HistoryItem> &menu, uint64_t serial);
    HistoryItem NewHistoryItem(const Cp1253 &caption, int tag);

    Dictionary m_dict;
    FileSystem &m_files;
    SourceStamp m_customStamp; // the reader's index file as the last load found it
    KeyboardLayouts *m_keyboard;
    MainLexLimits m_limits;
    MainLexState m_state;
    std::unique_ptr<HeadwordSuggester> m_suggester; // follows m_dict's tables and folded forms
    int m_addedItems = 0;
    bool m_startKeyShortened = false; // the last START lookup listed a shortened key's matches
    uint64_t m_nextSerial = 1;
};

} // namespace termdex
