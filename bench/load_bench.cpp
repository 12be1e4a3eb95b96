// The load of the whole headword index from the full-size dictionary, with the reader's entries
// and supplements merged in, as at start-up and after every edit; and the same tables taken from
// a current snapshot.
#include "bench/bench_support.h"
#include "data/entry_index.h"
#include "data/index_snapshot.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

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
    // The same tables from a current snapshot, as at every start after the first: written once
    // into a folder of this run's own, then read.
    static const auto snapshot = std::filesystem::temp_directory_path() /
                                 ("termdex-bench-snapshot-" + std::to_string(::getpid()));
    bench::AddTimed("ReadIndexSnapshot", 0, [] {
        static const IndexSources sources = [] {
            const IndexSources stamped = StampIndexSources(bench::DictionaryPaths());
            EntryIndex index;
            std::vector<std::string> refs;
            LoadEntryIndex(bench::DictionaryPaths(), index, refs);
            if (!WriteIndexSnapshot(snapshot, stamped, index, refs)) {
                std::fprintf(stderr, "no snapshot could be written to %s\n", snapshot.c_str());
                std::exit(2);
            }
            return stamped;
        }();
        EntryIndex index;
        std::vector<std::string> supplementRefs;
        if (!ReadIndexSnapshot(snapshot, sources, index, supplementRefs) ||
            index.englishCount != kMaxRecords) {
            std::fprintf(stderr, "the snapshot did not read whole\n");
            std::exit(2);
        }
        benchmark::DoNotOptimize(index);
    });
    const int status = bench::RunBenchmarks(argc, argv);
    std::filesystem::remove(snapshot);
    return status;
}
