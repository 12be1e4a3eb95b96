#include "bench/generator_words.h"

#include "bench/vocabulary.h"
#include "lib/cp1253.h"
#include "lib/folding.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace termdex::bench {
namespace {

// How often a headword begins with each letter "a".."z", per 10000, as in an English glossary
// of economics: many c, p, s, t; few j, k, q and hardly any x, y, z.
constexpr std::array<uint32_t, 26> kInitialWeights = {600,  450, 950, 550, 450, 450, 250, 180, 500,
                                                      50,   35,  350, 600, 280, 250, 900, 50,  500,
                                                      1000, 600, 200, 150, 180, 5,   25,  15};

Cp1253 ToCp1253(const char *utf8)
{
    auto converted = Utf8ToCp1253(utf8);
    return converted.text ? *converted.text : Cp1253(utf8);
}

// The capital of a code page 1253 letter: Latin and plain Greek small letters, and the Greek
// small letters with tonos; anything else stays.
unsigned char UpperByte(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE1 && c <= 0xF9 && c != 0xF2)
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0xDC:
        return 0xA2; // ά -> Ά
    case 0xDD:
        return 0xB8; // έ -> Έ
    case 0xDE:
        return 0xB9; // ή -> Ή
    case 0xDF:
        return 0xBA; // ί -> Ί
    case 0xFC:
        return 0xBC; // ό -> Ό
    case 0xFD:
        return 0xBE; // ύ -> Ύ
    case 0xFE:
        return 0xBF; // ώ -> Ώ
    default:
        return c;
    }
}

} // namespace

Cp1253 CapitalFirst(Cp1253 text)
{
    if (!text.empty())
        text[0] = static_cast<char>(UpperByte(static_cast<unsigned char>(text[0])));
    return text;
}

namespace {

Cp1253 TitleCase(Cp1253 text)
{
    for (size_t i = 0; i < text.size(); ++i)
        if (i == 0 || text[i - 1] == ' ')
            if (text.compare(i, 3, "of ") != 0 && text.compare(i, 4, "the ") != 0)
                text[i] = static_cast<char>(UpperByte(static_cast<unsigned char>(text[i])));
    return text;
}

// One headword pair. English word order with its Greek rendering: an adjective agrees with the
// head noun, an English noun modifier becomes a Greek genitive after the head.
class HeadwordMaker
{
public:
    explicit HeadwordMaker(const Words &words) : m_words(words)
    {
        for (size_t i = 0; i < words.nouns.size(); ++i)
            m_nounsByInitial[Initial(words.nouns[i].english)].push_back(i);
        for (size_t i = 0; i < words.adjectives.size(); ++i)
            m_adjectivesByInitial[Initial(words.adjectives[i].english)].push_back(i);
    }

    void Make(Random &random, Cp1253 &english, Cp1253 &greek)
    {
        // The initial letter first, so the list has a glossary's letter distribution; then a
        // pattern that can start with that letter.
        int letter = 0;
        do
            letter = static_cast<int>(random.Weighted(kInitialWeights));
        while (m_nounsByInitial[letter].empty() && m_adjectivesByInitial[letter].empty());
        const bool haveNoun = !m_nounsByInitial[letter].empty();
        const bool haveAdjective = !m_adjectivesByInitial[letter].empty();
        // Patterns: adjective noun, noun noun, noun "of" noun, adjective noun noun, adjective
        // adjective noun, a lone noun.
        const std::array<uint32_t, 6> weights = {haveAdjective ? 30u : 0u, haveNoun ? 30u : 0u,
                                                 haveNoun ? 12u : 0u,      haveAdjective ? 15u : 0u,
                                                 haveAdjective ? 8u : 0u,  haveNoun ? 3u : 0u};
        const size_t pattern = random.Weighted(weights);
        const auto &nouns = m_words.nouns;
        const auto &adjectives = m_words.adjectives;
        auto anyNoun = [&]() -> const NounText & { return random.Pick(nouns); };
        auto anyAdjective = [&]() -> const AdjectiveText & { return random.Pick(adjectives); };
        auto firstNoun = [&]() -> const NounText & {
            return nouns[random.Pick(m_nounsByInitial[letter])];
        };
        auto firstAdjective = [&]() -> const AdjectiveText & {
            return adjectives[random.Pick(m_adjectivesByInitial[letter])];
        };
        switch (pattern) {
        case 0: {
            const AdjectiveText &a = firstAdjective();
            const NounText &n = anyNoun();
            english = a.english + " " + n.english;
            greek = a.trailing ? n.nominative + " " + a.For(n.gender)
                               : a.For(n.gender) + " " + n.nominative;
            break;
        }
        case 1: {
            const NounText &modifier = firstNoun();
            const NounText &head = anyNoun();
            english = modifier.english + " " + head.english;
            greek = head.nominative + " " + modifier.genitive;
            break;
        }
        case 2: {
            const NounText &head = firstNoun();
            const NounText &of = anyNoun();
            const bool article = random.PerMille(250);
            english = head.english + (article ? " of the " : " of ") + of.english;
            greek = head.nominative + (of.gender == 'f' ? " της " : " του ") + of.genitive;
            break;
        }
        case 3: {
            const AdjectiveText &a = firstAdjective();
            const NounText &modifier = anyNoun();
            const NounText &head = anyNoun();
            english = a.english + " " + modifier.english + " " + head.english;
            const Cp1253 &agreeing = a.For(head.gender);
            greek = a.trailing ? head.nominative + " " + modifier.genitive + " " + agreeing
                               : agreeing + " " + head.nominative + " " + modifier.genitive;
            break;
        }
        case 4: {
            const AdjectiveText &a = firstAdjective();
            const AdjectiveText &b = anyAdjective();
            const NounText &n = anyNoun();
            english = a.english + " " + b.english + " " + n.english;
            Cp1253 front, back;
            for (const AdjectiveText *adjective : {&a, &b})
                (adjective->trailing ? back : front) += adjective->For(n.gender) + " ";
            greek = front + n.nominative + (back.empty() ? "" : " " + TrimRight(back));
            break;
        }
        default: {
            const NounText &n = firstNoun();
            english = n.english;
            greek = n.nominative;
            break;
        }
        }
        AbbreviateAndCapitalise(random, english, greek);
    }

private:
    // Three words and more sometimes carry their abbreviation, in both languages; then the
    // capitals.
    static void AbbreviateAndCapitalise(Random &random, Cp1253 &english, Cp1253 &greek)
    {
        if (std::count(english.begin(), english.end(), ' ') >= 2 && random.PerMille(120)) {
            Cp1253 initials;
            for (size_t i = 0; i < english.size(); ++i)
                if ((i == 0 || english[i - 1] == ' ') && english.compare(i, 3, "of ") != 0 &&
                    english.compare(i, 4, "the ") != 0)
                    initials +=
                        static_cast<char>(UpperByte(static_cast<unsigned char>(english[i])));
            english += " (" + initials + ")";
            greek += " (" + initials + ")";
        }
        const uint32_t style = random.Below(100);
        if (style < 88)
            english = CapitalFirst(english);
        else if (style < 96)
            english = TitleCase(english);
        greek = CapitalFirst(greek);
    }

    static int Initial(const Cp1253 &english)
    {
        const auto c = static_cast<unsigned char>(AsciiLower(english.substr(0, 1))[0]);
        return c >= 'a' && c <= 'z' ? c - 'a' : 0;
    }

    const Words &m_words;
    std::array<std::vector<size_t>, 26> m_nounsByInitial;
    std::array<std::vector<size_t>, 26> m_adjectivesByInitial;
};

} // namespace

std::vector<Entry> MakeEntries(Random &random, const Words &words, int count)
{
    HeadwordMaker maker(words);
    std::vector<Entry> entries;
    entries.reserve(count);
    std::unordered_set<Cp1253> englishKeys, greekKeys;
    // The vocabulary holds far more distinct combinations than a table has room for; a draw
    // that repeats a folded headword in either language is simply drawn again.
    while (static_cast<int>(entries.size()) < count) {
        Entry entry;
        maker.Make(random, entry.english, entry.greek);
        entry.englishKey = LatinKey(entry.english, true);
        entry.greekKey = GreekKey(entry.greek, true);
        // 80 characters is the room of a headword in the reader's index lines.
        if (entry.english.size() > 80 || entry.greek.size() > 80 || entry.englishKey.empty() ||
            entry.greekKey.empty() || englishKeys.count(entry.englishKey) ||
            greekKeys.count(entry.greekKey))
            continue;
        englishKeys.insert(entry.englishKey);
        greekKeys.insert(entry.greekKey);
        entries.push_back(std::move(entry));
    }
    return entries;
}

Words::Words()
{
    for (const Noun &n : Nouns())
        nouns.push_back(
            {ToCp1253(n.english), ToCp1253(n.nominative), ToCp1253(n.genitive), n.gender});
    for (const Adjective &a : Adjectives())
        adjectives.push_back({ToCp1253(a.english), ToCp1253(a.masculine), ToCp1253(a.feminine),
                              ToCp1253(a.neuter), a.trailing});
    for (const char *w : GreekFunctionWords())
        function.push_back(ToCp1253(w));
    for (const char *w : GreekVerbs())
        verbs.push_back(ToCp1253(w));
    for (const char *w : GreekLinkPhrases())
        links.push_back(ToCp1253(w));
    for (const char *w : LatinCitations())
        citations.push_back(ToCp1253(w));
}

} // namespace termdex::bench
