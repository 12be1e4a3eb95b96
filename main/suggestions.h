// Headwords the reader may mean when the entry field names none exactly: dictionary forms of
// the typed word that are headwords ("taxes" -> "tax"), then headwords spelled nearly alike
// ("inflatoin" -> "inflation"). The folded headwords are arranged once per load, so a
// keystroke compares the typed key only with headwords of about its length.
#pragma once

#include "data/entry_index.h"
#include "data/folded_headwords.h"
#include "lib/text.h"
#include "main/word_forms.h"

#include <filesystem>
#include <unordered_map>
#include <vector>

namespace termdex {

enum class SuggestionReason { Form, Spelling };
const char *SuggestionReasonName(SuggestionReason reason); // "form", "spelling"

struct Suggestion
{
    int record = 0; // English record number
    Cp1253 text;    // the headword in the language of the lookup
    SuggestionReason reason = SuggestionReason::Spelling;
    bool operator==(const Suggestion &) const = default;
};

constexpr size_t kMaxSuggestions = 5;

// The Damerau-Levenshtein distance of a and b (insertions, deletions, substitutions and swaps
// of two neighbouring bytes, no byte edited twice) when it is at most bound, else bound + 1.
// Work is bounded by the shorter text times 2 * bound + 1.
int BoundedEditDistance(Cp1253View a, Cp1253View b, int bound);

// The largest distance a spelling suggestion may lie from a folded key of that many bytes.
inline int SpellingBound(size_t keyLength) { return keyLength <= 4 ? 1 : 2; }

class HeadwordSuggester
{
public:
    explicit HeadwordSuggester(std::filesystem::path hunspellFolder = kHunspellFolder);

    // A new load: the index and its folded headwords (both outlive this until the next Reset).
    void Reset(const EntryIndex *index, FoldedHeadwords *folded);
    // The English record of the first headword of the language that text names exactly (the
    // fold of the typed-text exact test on both sides), 0 for none.
    int ExactRecord(Cp1253View text, bool greek);
    // Up to kMaxSuggestions suggestions for text in the language: forms first, then spellings,
    // nearest first and in table order among equals; no record twice. Empty when text names a
    // headword exactly.
    std::vector<Suggestion> Suggest(Cp1253View text, bool greek);
    // Whether the forms of that language can be had (the dictionary is loaded to find out).
    bool FormsAvailable(bool greek) { return m_forms.Available(greek); }

private:
    struct Side
    {
        bool built = false;
        std::unordered_map<Cp1253, int> exact;  // folded headword -> its first table record
        std::vector<std::vector<int>> byLength; // table records by folded length
    };
    Side &SideOf(bool greek);
    const FoldedTable &Folded(bool greek);
    Cp1253 FoldKey(Cp1253View text, bool greek) const;
    // True when a headword of the language folds to key.
    bool NamesHeadword(const Cp1253 &key, bool greek);
    // The English record of a record of the table of the language; 0 for none.
    int EnglishOf(int record, bool greek) const;
    Cp1253 TextOf(int englishRecord, bool greek) const;

    const EntryIndex *m_index = nullptr;
    FoldedHeadwords *m_folded = nullptr;
    Side m_english, m_greek;
    WordForms m_forms;
};

} // namespace termdex
