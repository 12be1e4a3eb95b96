// The load of the whole headword index from the full-size dictionary, with the reader's entries
// and supplements merged in, as at start-up and after every edit.
#include "bench/bench_support.h"
#include "data/entry_index.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

using namespace termdex;

int main(int argc, char **argv)
{
    bench::AddTimed("LoadEntryIndex", 20, [] {
        EntryIndex index;
        std::vector<std::string> supplementRefs;
        const IndexLoadStatus status =
            LoadEntryIndex(bench::DictionaryPaths(), index, supplementRefs);
        if (!status.complete || index.englishCount != kMaxRecords) {
            std::fprintf(stderr, "the dictionary did not load whole\n");
            std::exit(2);
        }
        benchmark::DoNotOptimize(index);
    });
    bench::AddTimed("LoadEntryIndex+ComputeLetterStarts", 0, [] {
        EntryIndex index;
        std::vector<std::string> supplementRefs;
        LoadEntryIndex(bench::DictionaryPaths(), index, supplementRefs);
        LetterStarts starts = ComputeLetterStarts(index);
        benchmark::DoNotOptimize(starts);
    });
    return bench::RunBenchmarks(argc, argv);
}
