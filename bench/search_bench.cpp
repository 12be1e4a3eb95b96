// The full-text search over every description of the full-size dictionary, against the floor
// that no search can beat: reading the whole description file and decoding it, timed in the
// same run.
#include "bench/bench_support.h"
#include "lib/codecs.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
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
        const Cp1253 plain =
            DescriptionDecode(static_cast<int32_t>(position), std::string_view(piece.data(), count));
        checksum += static_cast<unsigned char>(plain.back());
        position += static_cast<int64_t>(count);
    }
    std::fclose(file);
    benchmark::DoNotOptimize(checksum);
}

} // namespace

int main(int argc, char **argv)
{
    bench::AddTimed(kFloor, 0, ReadAndDecodeDescriptions);
    return bench::RunBenchmarks(argc, argv);
}
