// A full-size dictionary for the benchmarks, written in the shipped and the reader's file
// formats: the tables' full room of 30001 English and 30001 Greek records (shipped entries plus
// the reader's own), realistic headwords in both languages combined from economics word lists,
// RTF descriptions of 200 to 6000 bytes, and a custom folder with the reader's entries and
// supplements. The same seed gives the same bytes on every platform: all randomness comes from
// std::mt19937 (whose output the standard fixes) through integer-only distributions.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace termdex::bench {

struct GeneratorOptions
{
    uint32_t seed = 1;
    int totalEntries = 30001; // shipped + the reader's own: the room of each table
    int customEntries = 300;  // the reader's own entries, anchored among the shipped ones
    int supplements = 150;    // the reader's supplements to shipped entries
};

struct GeneratorResult
{
    bool ok = false;
    std::string error; // what failed, when !ok
    int shippedEntries = 0;
    int customEntries = 0;
    int supplements = 0;
    int64_t descriptionFileBytes = 0; // data/Termdex.tbo
    int64_t customDescriptionBytes = 0;
    int64_t shortestDescription = 0;
    int64_t medianDescription = 0;
    int64_t longestDescription = 0;
};

// Writes folder/data/{TermdexI,TermdexHI,Termdex}.tbo and
// folder/custom/Data/{TermdexIC,TermdexHIC,TermdexC}.tbo, creating the folders; existing files
// of those names are replaced. The custom folder to hand the program is folder/custom.
GeneratorResult WriteDictionary(const std::filesystem::path &folder,
                                const GeneratorOptions &options);

} // namespace termdex::bench
