// import: another dictionary's files into a program folder of their own.
#include "lib/cp1253.h"
#include "tools/cli.h"
#include "tools/import_folder.h"
#include "tools/json.h"

#include <ostream>

namespace termdex::cli {
namespace {

// Source text passed through as UTF-8 with any invalid bytes replaced, so the report stays JSON.
std::string CleanUtf8(std::string_view text)
{
    std::string out;
    for (size_t at = 0; at < text.size();)
        import::AppendUtf8(out, import::NextCodePoint(text, at));
    return out;
}

int Import(Run &run)
{
    if (!run.args.Parse({"--to", "--name"}, {}) || run.args.positional().size() < 2 ||
        !run.args.Value("--to"))
        return run.Fail(run.args.error().empty()
                            ? "usage: import FORMAT SOURCE... --to DIR [--name NAME]"
                            : run.args.error());
    const std::vector<std::string> &positional = run.args.positional();
    const std::vector<std::filesystem::path> sources(positional.begin() + 1, positional.end());
    const ImportReport report = ImportDictionary(positional[0], sources, *run.args.Value("--to"),
                                                 run.args.Value("--name").value_or(""));
    if (report.outcome != ImportReport::Outcome::Ok)
        return run.Fail(report.error, report.outcome == ImportReport::Outcome::Refused
                                          ? kExitUsage
                                          : kExitFailure);
    // The counts are always JSON: scripts and readers alike want to see what was left out.
    JsonWriter json;
    json.BeginObject()
        .Key("records")
        .Int(static_cast<int64_t>(report.records))
        .Key("skipped")
        .BeginArray();
    for (const import::Note &note : report.skipped)
        json.BeginObject()
            .Key("entry")
            .Utf8(CleanUtf8(note.entry))
            .Key("reason")
            .Utf8(CleanUtf8(note.reason))
            .EndObject();
    json.EndArray().Key("warnings").BeginArray();
    for (const std::string &warning : report.warnings)
        json.Utf8(CleanUtf8(warning));
    run.PrintJson(json.EndArray().EndObject().str());
    return kExitOk;
}

} // namespace

std::vector<Command> ImportCommands()
{
    return {
        {"import",
         "import FORMAT SOURCE... --to DIR [--name NAME]  another dictionary's files (tsv, csv, "
         "dictd, stardict, tbx, tei) as a program folder",
         Import},
    };
}

} // namespace termdex::cli
