#include "bench/bench_support.h"

#include "bench/dictionary_generator.h"
#include "lib/files.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace termdex::bench {
namespace {

// A generated dictionary that is removed with the program.
struct DictionaryFolder
{
    std::filesystem::path folder;
    bool temporary = false;
    ProgramPaths paths;
    ~DictionaryFolder()
    {
        std::error_code ec;
        if (temporary)
            std::filesystem::remove_all(folder, ec);
    }
};

std::unique_ptr<DictionaryFolder> MakeDictionary()
{
    auto dictionary = std::make_unique<DictionaryFolder>();
    if (const char *given = std::getenv("TERMDEX_BENCH_DICTIONARY"); given && *given) {
        dictionary->folder = given;
    } else {
        dictionary->folder = std::filesystem::temp_directory_path() /
                             ("termdex-bench-" + std::to_string(::getpid()));
        dictionary->temporary = true;
    }
    if (!FileExists(dictionary->folder / "data" / "TermdexI.tbo")) {
        std::fprintf(stderr, "Generating the dictionary in %s\n", dictionary->folder.c_str());
        const GeneratorResult result = WriteDictionary(dictionary->folder, GeneratorOptions());
        if (!result.ok) {
            std::fprintf(stderr, "cannot generate the dictionary: %s\n", result.error.c_str());
            std::exit(2);
        }
    }
    dictionary->paths.programFolder = dictionary->folder;
    SetCustomPaths(dictionary->paths, (dictionary->folder / "custom").string());
    return dictionary;
}

struct Timed
{
    double target = 0;
    std::vector<double> milliseconds;    // wall time of each call
    std::vector<double> cpuMilliseconds; // CPU time of the process (all threads) in each call
};

double ProcessCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}
struct Ratio
{
    std::string numerator, denominator;
    double maxRatio = 0;
};

std::map<std::string, Timed> &TimedBenchmarks()
{
    static std::map<std::string, Timed> timed;
    return timed;
}
std::vector<std::string> &RegistrationOrder()
{
    static std::vector<std::string> order;
    return order;
}
std::vector<Ratio> &Ratios()
{
    static std::vector<Ratio> ratios;
    return ratios;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

std::string Padded(const std::string &utf8, size_t width)
{
    size_t columns = 0;
    for (char c : utf8)
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return columns < width ? utf8 + std::string(width - columns, ' ') : utf8;
}

const ProgramPaths &DictionaryPaths()
{
    static const std::unique_ptr<DictionaryFolder> dictionary = MakeDictionary();
    return dictionary->paths;
}

void AddTimed(const std::string &name, double targetMilliseconds, std::function<void()> body)
{
    TimedBenchmarks()[name].target = targetMilliseconds;
    RegistrationOrder().push_back(name);
    auto *registered = benchmark::RegisterBenchmark(
        name.c_str(), [name, body = std::move(body)](benchmark::State &state) {
            Timed &timed = TimedBenchmarks()[name];
            for (auto _ : state) {
                const double cpuStart = ProcessCpuMilliseconds();
                const auto start = std::chrono::steady_clock::now();
                body();
                const auto end = std::chrono::steady_clock::now();
                timed.cpuMilliseconds.push_back(ProcessCpuMilliseconds() - cpuStart);
                timed.milliseconds.push_back(
                    std::chrono::duration<double, std::milli>(end - start).count());
            }
        });
    registered->Unit(targetMilliseconds > 0 && targetMilliseconds < 5 ? benchmark::kMicrosecond
                                                                      : benchmark::kMillisecond);
}

void AddRatioTarget(const std::string &numerator, const std::string &denominator, double maxRatio)
{
    Ratios().push_back({numerator, denominator, maxRatio});
}

int RunBenchmarks(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 2;
    DictionaryPaths();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    bool missed = false;
    std::printf("\nPer call, median over every timed call (warm-up included): wall time, and\n"
                "the process's CPU time (all threads), which a busy machine inflates less:\n");
    for (const std::string &name : RegistrationOrder()) {
        const Timed &timed = TimedBenchmarks()[name];
        if (timed.milliseconds.empty())
            continue;
        const double median = Median(timed.milliseconds);
        std::printf("  %s %10.4f ms wall %10.4f ms cpu (%zu calls)", Padded(name, 40).c_str(),
                    median, Median(timed.cpuMilliseconds), timed.milliseconds.size());
        if (timed.target > 0) {
            const bool met = median <= timed.target;
            missed |= !met;
            std::printf("  target <= %g ms: %s", timed.target, met ? "met" : "MISSED");
            if (!met)
                std::printf(" by %.1f%%", (median / timed.target - 1) * 100);
        }
        std::printf("\n");
    }
    for (const Ratio &ratio : Ratios()) {
        const auto &numerator = TimedBenchmarks()[ratio.numerator].milliseconds;
        const auto &denominator = TimedBenchmarks()[ratio.denominator].milliseconds;
        if (numerator.empty() || denominator.empty())
            continue;
        const double value = Median(numerator) / Median(denominator);
        const bool met = value <= ratio.maxRatio;
        missed |= !met;
        std::printf("  %s / %s = %.2f  target <= %g: %s\n", ratio.numerator.c_str(),
                    ratio.denominator.c_str(), value, ratio.maxRatio, met ? "met" : "MISSED");
    }
    return missed ? 1 : 0;
}

} // namespace termdex::bench
