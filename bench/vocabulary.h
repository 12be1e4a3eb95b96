// Word lists of economics vocabulary, English with Greek renderings, from which the generated
// dictionary combines its headwords and writes its descriptions. The texts are UTF-8 here and
// are converted to code page 1253 once, by the generator.
#pragma once

#include <span>

namespace termdex::bench {

// A noun with its Greek nominative and genitive (singular) and grammatical gender: 'm', 'f', 'n'.
struct Noun
{
    const char *english;
    const char *nominative;
    const char *genitive;
    char gender;
};

// An adjective with its three Greek nominative forms (masculine, feminine, neuter). A trailing
// adjective is a Greek phrase that stands after its noun and does not agree with it ("zero-sum",
// "παίγνιο μηδενικού αθροίσματος"): all three forms are the same.
struct Adjective
{
    const char *english;
    const char *masculine;
    const char *feminine;
    const char *neuter;
    bool trailing;
};

std::span<const Noun> Nouns();
std::span<const Adjective> Adjectives();

// Words of Greek prose for the descriptions: short function words, verbs and linking phrases.
std::span<const char *const> GreekFunctionWords();
std::span<const char *const> GreekVerbs();
std::span<const char *const> GreekLinkPhrases();
// Names and Latin terms that descriptions cite in Latin letters.
std::span<const char *const> LatinCitations();

} // namespace termdex::bench
