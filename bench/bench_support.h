// What every benchmark program shares: the full-size dictionary it runs on, benchmarks with a
// target time, and a closing summary of per-iteration medians against those targets.
#pragma once

#include "data/paths.h"

#include <functional>
#include <string>

namespace termdex::bench {

// The program folder of the full-size dictionary, with its custom folder set. The folder named
// by the environment variable TERMDEX_BENCH_DICTIONARY is used (and generated first when it
// holds no dictionary yet); otherwise a dictionary with seed 1 is generated into a temporary
// folder that is removed when the program ends.
const ProgramPaths &DictionaryPaths();

// utf8 padded with blanks to width characters, for the reports' columns.
std::string Padded(const std::string &utf8, size_t width);

// Registers a benchmark that times each call of body on its own. A target of 0 means none.
void AddTimed(const std::string &name, double targetMilliseconds, std::function<void()> body);

// A target on the ratio of two benchmarks' medians, both measured in the same run.
void AddRatioTarget(const std::string &numerator, const std::string &denominator, double maxRatio);

// Runs what the command line selects (the usual --benchmark_* flags), then prints each timed
// benchmark's median per call against its target. Returns 1 when a target was missed.
int RunBenchmarks(int argc, char **argv);

} // namespace termdex::bench
