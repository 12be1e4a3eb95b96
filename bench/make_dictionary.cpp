// termdex-make-dictionary DIR [--seed N]: writes the full-size benchmark dictionary into DIR
// (DIR/data and the custom folder DIR/custom) and prints what it wrote.
#include "bench/dictionary_generator.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: termdex-make-dictionary DIR [--seed N]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    termdex::bench::GeneratorOptions options;
    const char *folder = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--seed" && i + 1 < argc) {
            const std::string_view value = argv[++i];
            const auto parsed =
                std::from_chars(value.data(), value.data() + value.size(), options.seed);
            if (parsed.ec != std::errc() || parsed.ptr != value.data() + value.size())
                return Usage();
        } else if (!arg.empty() && arg[0] != '-' && folder == nullptr) {
            folder = argv[i];
        } else {
            return Usage();
        }
    }
    if (folder == nullptr)
        return Usage();
    const auto result = termdex::bench::WriteDictionary(folder, options);
    if (!result.ok) {
        std::fprintf(stderr, "termdex-make-dictionary: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("%s: %d shipped entries, %d own entries, %d supplements (seed %u)\n", folder,
                result.shippedEntries, result.customEntries, result.supplements, options.seed);
    std::printf("descriptions: %lld bytes; lengths %lld..%lld, median %lld; own texts %lld bytes\n",
                static_cast<long long>(result.descriptionFileBytes),
                static_cast<long long>(result.shortestDescription),
                static_cast<long long>(result.longestDescription),
                static_cast<long long>(result.medianDescription),
                static_cast<long long>(result.customDescriptionBytes));
    std::printf("custom folder: %s/custom\n", folder);
    return 0;
}
