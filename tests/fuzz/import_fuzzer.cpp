// Fuzzes one importer's parser (IMPORT_PARSER, set by the build: one target per parser) and the
// authoring text made of what it accepts. The first byte picks how the input is split among a
// format's files.
#include "tools/import/authoring.h"
#include "tools/import/parsers.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace termdex::import;
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    Parsed parsed;
    const std::string_view rest = size > 0 ? input.substr(1) : input;
    const size_t a = size > 0 ? rest.size() * (data[0] & 0x0F) / 16 : 0;
    const size_t b = size > 0 ? a + (rest.size() - a) * (data[0] >> 4) / 16 : 0;
#if IMPORT_PARSER == 1
    ParseDelimited(input, true, parsed);
    ParseDelimited(input, false, parsed);
#elif IMPORT_PARSER == 2
    // .index and .dict; the .dict also as a dictzip file
    ParseDictd(rest.substr(0, b), rest.substr(b), parsed);
    std::string error;
    if (const auto inflated = Inflate(rest.substr(b), 1 << 20, error))
        ParseDictd(rest.substr(0, b), *inflated, parsed);
#elif IMPORT_PARSER == 3
    ParseStardict(rest.substr(0, a), rest.substr(a, b - a), rest.substr(b), parsed);
#elif IMPORT_PARSER == 4
    ParseTbx(input, parsed);
#elif IMPORT_PARSER == 5
    ParseTei(input, parsed);
#else
    RichText rich;
    MarkupToRichText(input, size % 2 == 0, rich);
    parsed.entries.push_back({"markup", "", rich.Finish(), rich.cut()});
#endif
    const AuthoringResult result = MakeAuthoringText(std::move(parsed.entries));
    if (result.ok && result.text.find('\0') != std::string::npos)
        __builtin_trap(); // the build refuses NUL bytes
    return 0;
}
