// The full-text search in the descriptions: every English record whose rendered description
// holds a word as a whole word, in English table order. It reads the shipped description file a
// block of records at a time (one read and one decoding pass where their texts lie together) and
// the reader's file once into memory, renders each text with the plain-text RTF reader (the
// document preamble read once) and folds the result; the records may be scanned by two threads,
// and the result is the one-thread result.
#pragma once

#include "data/dictionary.h"
#include "data/entry_index.h"
#include "data/paths.h"
#include "lib/text.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

namespace termdex {

constexpr int kMaxSearchMatches = 32000; // the scan ends when this many entries are listed
constexpr int kSearchReadBuffer = 50000; // a longer text (or supplement) is searched as empty

// The word that the descriptions are searched for, from the entry field's text: Greek
// FoldGreekLetters (trimmed, folded, punctuation kept); English ASCII lower-casing only.
Cp1253 DescrSearchWord(Cp1253View entryText, bool greek);

struct DescrSearchOptions
{
    // Called on the calling thread between blocks of records: records scanned so far, and the
    // number of records to scan.
    std::function<void(int scanned, int total)> progress;
    // Set from any thread to stop; the matches of the records scanned in table order up to the
    // stop are kept.
    const std::atomic<bool> *cancel = nullptr;
    int threads = 0; // 1 or 2; 0 chooses 2 on a machine with two cores
    int matchLimit = kMaxSearchMatches;
};

struct DescrSearchResult
{
    std::vector<int> records; // English record numbers, in table order
    bool cancelled = false;
    // A description could not be read (the main file is missing, a text lies past a file's
    // end): the search ended there, and records holds the matches before it.
    bool failed = false;
};

// Searches records 1 .. the first empty slot. The text of a record is its shipped description
// (kinds 'L', 'A'; seed descOffset + 1) followed by a blank, then for 'A' the reader's supplement
// and a blank, for 'C' the reader's text and a blank (both from the custom description file,
// when it can be read), joined as line 2 under rtfHeader and closed by "}". Its plain text,
// folded with GreekKey (greek) or LatinKey (dropLeadingDigits false), must hold word whole.
// An empty word finds nothing.
DescrSearchResult SearchDescriptions(const ProgramPaths &paths, const EntryIndex &index,
                                     const std::vector<std::string> &supplementRefs,
                                     const Cp1253 &rtfHeader, const Cp1253 &word, bool greek,
                                     const DescrSearchOptions &options = {});
// The same over a loaded dictionary.
inline DescrSearchResult SearchDescriptions(const Dictionary &dictionary, const Cp1253 &word,
                                            bool greek, const DescrSearchOptions &options = {})
{
    return SearchDescriptions(dictionary.paths, dictionary.index, dictionary.supplementRefs,
                              dictionary.preamble, word, greek, options);
}

// The fold that the search applies to a rendered text, written into out (which it empties
// first): exactly GreekKey (greek) or LatinKey with dropLeadingDigits false, in one pass.
void FoldDescriptionText(Cp1253View plain, bool greek, Cp1253 &out);

// A span of a text: its first byte and its length.
struct TextSpan
{
    size_t start = 0, length = 0;
    bool operator==(const TextSpan &) const = default;
};
// Every place where the search's word (folded, as DescrSearchWord gives it) stands as a whole
// word in plain, folded as the search folds a description: spans of plain itself, in order.
std::vector<TextSpan> WholeWordSpans(Cp1253View plain, Cp1253View foldedWord, bool greek);

} // namespace termdex
