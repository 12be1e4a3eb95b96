// The full-text search over every description of the full-size dictionary, against the floor
// that no search can beat: reading the whole description file and decoding it, timed in the
// same run.
#include "bench/bench_support.h"
#include "lib/codecs.h"
#include "lib/cp1253.h"
#include "main/main_lex.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace termdex;

namespace {

constexpr const char *kFloor = "ReadAndDecodeDescriptions (floor)";

// The least work any search has to do: every byte of the file read once and decoded once, in
// pieces of 256 KiB through one buffer. Each description is coded with its own file position
// as the seed, so decoding a piece with its position decodes whatever it holds.
void ReadAndDecodeDescriptions()
{
    std::FILE *file = std::fopen(bench::DictionaryPaths().DescriptionFile().c_str(), "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot open the description file\n");
        std::exit(2);
    }
    std::string piece(256 * 1024, '\0');
    int64_t position = 1;
    size_t count = 0;
    unsigned checksum = 0;
    while ((count = std::fread(piece.data(), 1, piece.size(), file)) > 0) {
        const Cp1253 plain = DescriptionDecode(static_cast<int32_t>(position),
                                               std::string_view(piece.data(), count));
        checksum += static_cast<unsigned char>(plain.back());
        position += static_cast<int64_t>(count);
    }
    std::fclose(file);
    benchmark::DoNotOptimize(checksum);
}

// The window after its first showing.
MainLexCore &Core()
{
    static const std::unique_ptr<MainLexCore> core = [] {
        auto made = std::make_unique<MainLexCore>(bench::DictionaryPaths(), RealFileSystem());
        const IndexLoadStatus status = made->FormShow();
        if (!status.complete || made->Index().englishCount != kMaxRecords) {
            std::fprintf(stderr, "the dictionary did not load whole\n");
            std::exit(2);
        }
        return made;
    }();
    return *core;
}

// The search dialog closed with OK holding word: the whole handler, list filled.
void AddSearch(const char *name, double target, const char *utf8, int threads)
{
    const auto converted = Utf8ToCp1253(utf8);
    const Cp1253 word = converted.text ? *converted.text : Cp1253();
    DescrSearchOptions options;
    options.threads = threads;
    const DescrSearchResult first = Core().DescrSearch_ButtonClick(word, options);
    std::fprintf(stderr, "  %s %6zu matches%s\n", bench::Padded(name, 40).c_str(),
                 first.records.size(), first.failed ? " (the search failed)" : "");
    bench::AddTimed(name, target, [word, options] {
        benchmark::DoNotOptimize(Core().DescrSearch_ButtonClick(word, options));
    });
}

} // namespace

int main(int argc, char **argv)
{
    bench::DictionaryPaths();
    std::fprintf(stderr, "What each search finds on this dictionary:\n");
    bench::AddTimed(kFloor, 0, ReadAndDecodeDescriptions);
    constexpr const char *kSearch = "DescrSearch_ButtonClick \"tax\"";
    AddSearch(kSearch, 400, "tax", 0);
    AddSearch("DescrSearch_ButtonClick \"φόρος\"", 400, "φόρος", 0);
    AddSearch("DescrSearch_ButtonClick \"tax\", one thread", 0, "tax", 1);
    bench::AddRatioTarget(kSearch, kFloor, 4);
    return bench::RunBenchmarks(argc, argv);
}
