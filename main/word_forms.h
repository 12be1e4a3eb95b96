// The dictionary forms of a typed word ("taxes" -> "tax", "πληθωρισμού" -> "πληθωρισμός"),
// found with Hunspell and the system's English and Greek dictionaries. Each dictionary is read
// on the first word of its language and then kept; without its files that language has no
// forms. Not thread-safe: the window thread (or the command line) uses it alone.
#pragma once

#include "lib/text.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

class Hunspell;

namespace termdex {

// Where Debian's hunspell-en-us and hunspell-el put en_US.{aff,dic} and el_GR.{aff,dic}.
inline const std::filesystem::path kHunspellFolder = "/usr/share/hunspell";

// The folded (GreekKey) candidates for the dictionary form of a folded Greek word: its noun and
// adjective endings replaced by those of the nominative singular, the word itself excluded.
std::vector<Cp1253> GreekFormCandidates(Cp1253View foldedWord);
// The spellings of a folded Greek word with the acute accent on one of its vowels, the bare
// word first.
std::vector<Cp1253> GreekAccentVariants(Cp1253View foldedWord);

class WordForms
{
public:
    // vocabulary: the folded words that a form can usefully be (the Greek side loads only the
    // dictionary words that fold to one of them, which keeps its load short); it is asked for
    // on the first Greek word.
    using Vocabulary = std::function<std::unordered_set<Cp1253>()>;
    explicit WordForms(std::filesystem::path folder = kHunspellFolder, Vocabulary greek = {});
    ~WordForms();
    WordForms(const WordForms &) = delete;
    WordForms &operator=(const WordForms &) = delete;

    // The folded forms (English LocaleLower, Greek GreekKey) of one word; accept tells which
    // folded candidates would be of use, so that the dictionary is asked only about those.
    std::vector<Cp1253> Forms(Cp1253View word, bool greek,
                              const std::function<bool(Cp1253View folded)> &accept);
    // True when the dictionary of that language could be loaded (loading it if need be).
    bool Available(bool greek);
    // The Greek vocabulary changed (the index was loaded again): the Greek side is read anew
    // at its next use.
    void ForgetGreek();

private:
    Hunspell *English();
    Hunspell *Greek();

    std::filesystem::path m_folder;
    Vocabulary m_greekVocabulary;
    std::unique_ptr<Hunspell> m_english, m_greek;
    bool m_englishTried = false, m_greekTried = false;
    bool m_greekUtf8 = false;
};

} // namespace termdex
