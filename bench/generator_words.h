// The words of the benchmark dictionary: the vocabulary in code page 1253, a seeded random
// source whose sequence no standard library can change, and the headword pairs drawn from them.
#pragma once

#include "lib/text.h"

#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace termdex::bench {

// Uniform integers and weighted choices from mt19937's raw 32-bit output, by rejection, so the
// sequence does not depend on a standard library's distribution classes.
class Random
{
public:
    explicit Random(uint32_t seed) : m_engine(seed) {}

    uint32_t Next() { return static_cast<uint32_t>(m_engine()); }
    // 0..n-1 for n >= 1, without modulo bias.
    uint32_t Below(uint32_t n)
    {
        const uint64_t range = uint64_t(1) << 32;
        const uint64_t limit = range - range % n;
        uint64_t r = Next();
        while (r >= limit)
            r = Next();
        return static_cast<uint32_t>(r % n);
    }
    // lo..hi inclusive.
    int Between(int lo, int hi) { return lo + static_cast<int>(Below(uint32_t(hi - lo + 1))); }
    bool PerMille(uint32_t chance) { return Below(1000) < chance; }
    // An index chosen with probability proportional to its weight; the weights must not all be 0.
    size_t Weighted(std::span<const uint32_t> weights)
    {
        uint32_t total = 0;
        for (uint32_t w : weights)
            total += w;
        uint32_t pick = Below(total);
        for (size_t i = 0; i < weights.size(); ++i) {
            if (pick < weights[i])
                return i;
            pick -= weights[i];
        }
        return weights.size() - 1;
    }
    template <typename T> const T &Pick(const std::vector<T> &items)
    {
        return items[Below(static_cast<uint32_t>(items.size()))];
    }

private:
    std::mt19937 m_engine;
};

// The word lists in code page 1253.
struct NounText
{
    Cp1253 english, nominative, genitive;
    char gender = 'm';
};
struct AdjectiveText
{
    Cp1253 english, masculine, feminine, neuter;
    bool trailing = false;
    const Cp1253 &For(char gender) const
    {
        return gender == 'f' ? feminine : gender == 'n' ? neuter : masculine;
    }
};

struct Words
{
    std::vector<NounText> nouns;
    std::vector<AdjectiveText> adjectives;
    std::vector<Cp1253> function, verbs, links, citations;

    Words(); // the vocabulary's lists, converted once
};

struct Entry
{
    Cp1253 english, greek;
    Cp1253 englishKey, greekKey; // LatinKey / GreekKey with leading digits dropped
    int id = 0;
    bool custom = false;
    bool supplemented = false;
};

// The first character in capitals (Latin, Greek, Greek with tonos).
Cp1253 CapitalFirst(Cp1253 text);

// count entries whose folded English and Greek headwords are all distinct, each headword at most
// 80 characters (the room in the reader's index lines).
std::vector<Entry> MakeEntries(Random &random, const Words &words, int count);

} // namespace termdex::bench
